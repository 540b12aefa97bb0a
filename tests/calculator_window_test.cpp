// SPDX-License-Identifier: MIT
// The calculator window driven as a user would, offscreen: opened from the
// main window, typed into, following the loaded material.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "qt_support.h"
#include "test_support.h"
#include "ui/calc/calculator_window.h"
#include "ui/look.h"

using namespace quenrow;
using quenrow::test::MaterialText;
using quenrow::test::TempDirectory;
using quenrow::test::WarningRecorder;

namespace {

QString shown(const CalculatorWindow &calculator, ResultRow quantity, int column = 0)
{
    return calculator.valueLabel(quantity, column)->text();
}

bool allValuesEmpty(const CalculatorWindow &calculator)
{
    for (int q = 0; q < kResultRowCount; ++q)
        for (int column = 0; column < kUnitColumns; ++column)
            if (QLabel *label = calculator.valueLabel(ResultRow(q), column);
                label && !label->text().isEmpty())
                return false;
    return true;
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

} // namespace

class CalculatorWindowTest : public QObject {
    Q_OBJECT

    std::filesystem::path bundled = quenrow::test::bundledDataDirectory();

private slots:
    void initTestCase() { registerFontSubstitutions(); }

    void followsTheMaterial()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        QTest::keyClicks(form.Text3, QStringLiteral("150"));
        QTest::keyClick(form.Text3, Qt::Key_Return);

        form.openCalculator();
        CalculatorWindow *calculator = form.calculatorWindow();
        QVERIFY(calculator && calculator->isVisible());
        QVERIFY(calculator->windowTitle().contains(QStringLiteral("WATER, LIQUID, 1 g/cm3")));
        // The energy typed in the main window is carried over, and both
        // windows give the same total for it.
        QCOMPARE(calculator->energyBox->text(), QStringLiteral("150"));
        QCOMPARE(shown(*calculator, ResultRow::Total), form.Text4->text());
        QCOMPARE(shown(*calculator, ResultRow::CsdaRange), QStringLiteral("1.577E+01"));
        QCOMPARE(calculator->rangeBox->text(), QStringLiteral("1.577E+01"));
        QCOMPARE(shown(*calculator, ResultRow::RatioToWater), QStringLiteral("1.000E+00"));
        QCOMPARE(calculator->valueLabel(ResultRow::Total, 1)->accessibleName(),
                 QStringLiteral("Total stopping power in MeV/cm: 5.445E+00"));

        calculator->rangeUnitBox->setCurrentIndex(1); // cm
        typeInto(calculator->rangeBox, QStringLiteral("2"));
        const QString waterEnergy = calculator->energyBox->text();
        QCOMPARE(shown(*calculator, ResultRow::CsdaRange, 1), QStringLiteral("2.000E+00"));

        // The next load is followed: the same 2 cm now in PMMA.
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("Polymethyl_methacrylate.psp")));
        QVERIFY(calculator->windowTitle().contains(QStringLiteral("1.19 g/cm3")));
        QCOMPARE(calculator->energyBox->text(), QStringLiteral("5.113E+01"));
        QVERIFY(waterEnergy != calculator->energyBox->text());
        QCOMPARE(shown(*calculator, ResultRow::CsdaRange), QStringLiteral("2.380E+00"));
        QCOMPARE(shown(*calculator, ResultRow::RatioToWater), QStringLiteral("1.159E+00"));

        // And the energy entry agrees with it on the new material too.
        typeInto(calculator->energyBox, QStringLiteral("51.13"));
        QTest::mouseClick(form.Text3, Qt::LeftButton);
        QTest::keyClicks(form.Text3, QStringLiteral("51.13"));
        QTest::keyClick(form.Text3, Qt::Key_Return);
        QCOMPARE(shown(*calculator, ResultRow::Total), form.Text4->text());
        QVERIFY(warnings.texts.isEmpty());
    }

    // A 60,000-character name without blanks: the heading is cut, the
    // window stays on the screen, and what it shows is what Ctrl+C copies.
    void longNameKeepsTheWindowOnTheScreen()
    {
        TempDirectory dir;
        MaterialText text = MaterialText::fromBundled();
        text.name = std::string(60000, 'L');
        dir.write("long.psp", text.str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("long.psp")));
        form.openCalculator();
        CalculatorWindow *calculator = form.calculatorWindow();
        const int screenWidth = calculator->screen()->availableGeometry().width();
        QVERIFY(calculator->materialLabel->text().contains(QChar(0x2026)));
        typeInto(calculator->energyBox, QStringLiteral("99999"));
        typeInto(calculator->energyBox, QStringLiteral("15"));
        QCOMPARE(calculator->messageLabel->text(), QString());
        QTest::keyClick(calculator->energyBox, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("\t1.500E+01")));
        calculator->setEnergyText(QString(60000, 'x'));
        QVERIFY(calculator->width() <= screenWidth &&
                calculator->minimumSizeHint().width() <= screenWidth);
    }

    void openedFromEveryPlace()
    {
        Form1 form(bundled);
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        const auto calculatorAction = [](QWidget *widget) -> QAction * {
            for (QAction *action : widget->actions())
                if (action->text() == QStringLiteral("Calculator...") &&
                    action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_L))
                    return action;
            return nullptr;
        };
        QVERIFY(calculatorAction(form.List1));
        QAction *fromPlot = calculatorAction(form.plotWindow()->Picture1);
        QVERIFY(fromPlot);
        fromPlot->trigger();
        CalculatorWindow *calculator = form.calculatorWindow();
        QVERIFY(calculator && calculator->isVisible());
        QCOMPARE(shown(*calculator, ResultRow::Total), QString());
        QTest::keyClick(calculator->energyBox, Qt::Key_Escape);
        QVERIFY(!calculator->isVisible());

        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(calculator->isVisible());
        QCOMPARE(form.calculatorWindow(), calculator); // one instance
    }

    // Every input without an answer leaves no value on screen.
    void badInputClearsTheResults_data()
    {
        QTest::addColumn<bool>("range");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        struct Case {
            const char *name;
            bool range;
            const char *typed, *message;
        };
        const Case cases[] = {
            {"energy above the table", false, "10001", "outside the table"},
            {"energy below the table", false, "0.0009", "outside the table"},
            {"not a number", false, "abc", "\"abc\" is not a number."},
            {"two numbers", false, "1 5", "\"1 5\" is not a number."},
            {"decimal comma", false, "1,5", "is not a number"},
            {"another box's unit", false, "150 cm", "is not a number"},
            {"range not a number", true, "nan", "\"nan\" is not a number."},
            {"range in hexadecimal", true, "0x10", "is not a number"},
            {"overflowing energy", false, "1e999", "outside the table"},
            {"range above the table", true, "1e6", "outside the table"},
            {"negative range", true, "-1", "outside the table"},
        };
        for (const Case &c : cases)
            QTest::newRow(c.name) << c.range << QString::fromUtf8(c.typed)
                                  << QString::fromUtf8(c.message);
    }
    void badInputClearsTheResults()
    {
        QFETCH(bool, range);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        CalculatorWindow calculator(bundled);
        auto loaded = loadMaterial(bundled / "Water_liquid.psp");
        const auto &water = (*std::get<MaterialPtr>(loaded));
        calculator.setMaterial(std::make_shared<const Material>(water));
        QLineEdit *box = range ? calculator.rangeBox : calculator.energyBox;
        QLineEdit *other = range ? calculator.energyBox : calculator.rangeBox;
        typeInto(box, QStringLiteral("10"));
        QVERIFY(!allValuesEmpty(calculator));
        QVERIFY(!other->text().isEmpty());
        typeInto(box, typed);
        QVERIFY2(calculator.messageLabel->text().contains(message),
                 qPrintable(calculator.messageLabel->text()));
        QVERIFY(allValuesEmpty(calculator));
        QVERIFY(other->text().isEmpty());
        QCOMPARE(calculator.resultsText(), QString());
        typeInto(box, QStringLiteral("10"));
        QCOMPARE(calculator.messageLabel->text(), QString());
    }

    // What a file lacks is named, and only its own values go missing.
    void missingValuesSaySo_data()
    {
        QTest::addColumn<QString>("density");
        QTest::addColumn<bool>("badCsdaRow");
        QTest::addColumn<bool>("water");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QList<int>>("missing"); // Quantity * 10 + unit column
        QTest::newRow("density 0") << "0" << false << true << "linear units are unavailable"
                                   << QList<int>{11, 12, 21, 22, 31, 32, 41, 42, 51, 52, 70};
        QTest::newRow("CSDA column not a number")
            << "1" << true << true << "CSDA range of row 10" << QList<int>{40, 41, 42};
        QTest::newRow("no water file")
            << "1" << false << false << "no ratio to water" << QList<int>{70};
    }
    void missingValuesSaySo()
    {
        QFETCH(QString, density);
        QFETCH(bool, badCsdaRow);
        QFETCH(bool, water);
        QFETCH(QString, note);
        QFETCH(QList<int>, missing);
        TempDirectory folder;
        MaterialText text = MaterialText::fromBundled();
        text.density = density.toStdString();
        if (badCsdaRow)
            text.rows[9].replace(40, 9, "    x    "); // the CSDA range field
        const auto file = folder.write("Test.psp", text.str());
        if (water)
            folder.write(kWaterFileName, MaterialText::fromBundled().str());
        auto loaded = loadMaterial(file);
        if (auto *error = std::get_if<ReadError>(&loaded))
            QFAIL(describe(*error).c_str());
        const auto &material = (*std::get<MaterialPtr>(loaded));

        CalculatorWindow calculator(folder.path());
        calculator.setMaterial(std::make_shared<const Material>(material));
        typeInto(calculator.energyBox, QStringLiteral("150"));
        QVERIFY2(calculator.notesLabel->text().contains(note),
                 qPrintable(calculator.notesLabel->text()));
        QCOMPARE(calculator.messageLabel->text(), QString());
        for (int q = 0; q < kResultRowCount; ++q)
            for (int column = 0; column < kUnitColumns; ++column)
                if (QLabel *label = calculator.valueLabel(ResultRow(q), column)) {
                    const bool gone = missing.contains(q * 10 + column);
                    QVERIFY2(gone == (label->text() == QString(QChar(0x2013))),
                             qPrintable(label->objectName() + " " + label->text()));
                }
    }

    // The heading, caption and copy give the density as its file wrote it.
    void densityHasTheFilesDigits_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("density");
        QTest::newRow("hydrogen") << "001-Hydrogen.ps"
                                  << "8.3748E-05";
        QTest::newRow("dry air") << "Air_dry.psp"
                                 << "0.00120479";
        QTest::newRow("water") << "Water_liquid.psp"
                               << "1";
    }
    void densityHasTheFilesDigits()
    {
        QFETCH(QString, file);
        QFETCH(QString, density);
        CalculatorWindow calculator(bundled);
        calculator.setMaterial(std::get<MaterialPtr>(loadMaterial(bundled / file.toStdString())));
        typeInto(calculator.energyBox, QStringLiteral("150"));
        QVERIFY(calculator.materialLabel->fullText().endsWith("   density " + density + " g/cm3"));
        QVERIFY(calculator.windowTitle().endsWith(", " + density + " g/cm3"));
        QVERIFY(calculator.resultsText().contains("\nDensity\t" + density + "\tg/cm3\n"));
    }

    void copiesTheResultsAsTabSeparatedText()
    {
        CalculatorWindow calculator(bundled);
        auto loaded = loadMaterial(bundled / "Water_liquid.psp");
        const auto &water = (*std::get<MaterialPtr>(loaded));
        calculator.setMaterial(std::make_shared<const Material>(water));
        typeInto(calculator.energyBox, QStringLiteral("150"));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        QTest::keyClick(calculator.energyBox, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = clipboard->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3 + 18);
        QCOMPARE(lines[0], QStringLiteral("Quantity\tValue\tUnit"));
        QCOMPARE(lines[1], QStringLiteral("Material\tWATER, LIQUID\t"));
        QVERIFY(lines.contains(QStringLiteral("Total stopping power\t5.445E-01\tkeV/um")));
        QVERIFY(lines.contains(QStringLiteral("CSDA range\t1.577E+02\tmm")));
        QCOMPARE(lines.last(), QStringLiteral("Ratio to liquid water\t1.000E+00\t"));
        // A selection in a box is copied as the box's own.
        calculator.energyBox->selectAll();
        QTest::keyClick(calculator.energyBox, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("150"));
    }
};

QTEST_MAIN(CalculatorWindowTest)
#include "calculator_window_test.moc"
