// SPDX-License-Identifier: MIT
// The beam-through-layers window driven as a user would, offscreen: opened
// from the main window, typed into, asked backwards, saved and reopened.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>

#include "qt_support.h"
#include "test_support.h"
#include "ui/layers/layers_window.h"
#include "ui/look.h"
#include "ui/save_file.h"

using namespace quenrow;
using quenrow::test::TempDirectory;
using quenrow::test::WarningRecorder;

namespace {

enum Column { Layer, EnergyIn, EnergyOut, EnergyLost, Wet, WaterAfter, StopDepth };

QString cell(const LayersWindow &window, int row, int column)
{
    const QTableWidgetItem *item = window.resultTable->item(row, column);
    return item ? item->text() : QString();
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

bool shownInRed(const QWidget *editor)
{
    return editor->palette().color(QPalette::Text) == QColor(176, 0, 0);
}

// One water layer of `thickness` cm, typed in.
void oneWaterLayer(LayersWindow &window, const QString &thickness)
{
    while (window.layerCount())
        window.removeLayer();
    window.addButton->click();
    QCOMPARE(window.layerCount(), 1);
    QCOMPARE(window.materialBox(0)->currentText(),
             QStringLiteral("WATER, LIQUID  Water_liquid.psp"));
    typeInto(window.thicknessBox(0), thickness);
}

} // namespace

class LayersWindowTest : public QObject {
    Q_OBJECT

    std::filesystem::path bundled = quenrow::test::bundledDataDirectory();

private slots:
    void initTestCase()
    {
        registerFontSubstitutions();
        QStandardPaths::setTestModeEnabled(true);
    }
    void init()
    {
        // Every case starts as a first session would.
        QFile::remove(QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                          .filePath(QStringLiteral("layers.ini")));
    }

    void opensFromTheMainWindowOnceAndAnswersAsTyped()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_B, Qt::ControlModifier);
        LayersWindow *window = form.layersWindow();
        QVERIFY(window && window->isVisible());
        form.openLayers();
        QCOMPARE(form.layersWindow(), window); // one instance

        // A first session shows a range shifter in front of water at 150 MeV.
        QCOMPARE(window->layerCount(), 3);
        QCOMPARE(window->densityBox(1)->text(), QStringLiteral("1.18"));
        QCOMPARE(window->densityBox(2)->text(), QStringLiteral("1"));
        QCOMPARE(window->densityBox(0)->text(), QStringLiteral("2.6989"));
        QCOMPARE(cell(*window, 0, EnergyIn), QStringLiteral("1.500E+02"));
        QCOMPARE(window->resultTable->rowCount(), 4); // three layers and the stack

        // Figures computed apart from the program.
        oneWaterLayer(*window, QStringLiteral("5"));
        typeInto(window->beamBox, QStringLiteral("150"));
        QCOMPARE(cell(*window, 0, EnergyOut), QStringLiteral("1.207E+02"));
        QCOMPARE(cell(*window, 0, Wet), QStringLiteral("5.000E+00"));
        typeInto(window->beamBox, QStringLiteral("100"));
        QCOMPARE(cell(*window, 0, EnergyOut), QStringLiteral("5.585E+01"));
        QCOMPARE(cell(*window, 1, EnergyLost), QStringLiteral("4.415E+01"));

        // A layer the beam cannot cross: it stops 7.718 cm in.
        typeInto(window->thicknessBox(0), QStringLiteral("10"));
        QCOMPARE(cell(*window, 0, StopDepth), QStringLiteral("7.718E+00"));
        QCOMPARE(cell(*window, 0, EnergyOut), QStringLiteral("0.000E+00"));
        QVERIFY(window->summaryLabel->text().contains(QStringLiteral("stops in layer 1")));

        // A gas's density keeps every digit its file has.
        window->materialBox(0)->setEditText(QStringLiteral("001-Hydrogen.ps"));
        QCOMPARE(window->densityBox(0)->text(), QStringLiteral("8.3748E-05"));

        // The PMMA figure, with its density typed.
        window->materialBox(0)->setEditText(QStringLiteral("Polymethyl_methacrylate.psp"));
        typeInto(window->densityBox(0), QStringLiteral("1.19"));
        typeInto(window->thicknessBox(0), QStringLiteral("1"));
        typeInto(window->beamBox, QStringLiteral("150"));
        QCOMPARE(cell(*window, 0, EnergyOut), QStringLiteral("1.436E+02"));
        QCOMPARE(cell(*window, 0, Wet), QStringLiteral("1.158E+00"));
        QVERIFY(warnings.texts.isEmpty());
    }

    void backwardsGivesTheEnergyNeeded_data()
    {
        QTest::addColumn<int>("beam");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("needed");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("behind");
        QTest::newRow("energy out") << int(LayersWindow::Beam::EnergyOut) << "120.69"
                                    << "1.500E+02" << int(EnergyOut) << "1.207E+02";
        QTest::newRow("water depth") << int(LayersWindow::Beam::WaterDepth) << "12"
                                     << "1.566E+02" << int(WaterAfter) << "1.200E+01";
    }
    void backwardsGivesTheEnergyNeeded()
    {
        QFETCH(int, beam);
        QFETCH(QString, typed);
        QFETCH(QString, needed);
        QFETCH(int, column);
        QFETCH(QString, behind);
        LayersWindow window(bundled);
        oneWaterLayer(window, QStringLiteral("5"));
        window.beamModeBox->setCurrentIndex(beam);
        typeInto(window.beamBox, typed);
        QCOMPARE(window.summaryLabel->text(),
                 QStringLiteral("Energy needed going in: ") + needed + QStringLiteral(" MeV"));
        QCOMPARE(cell(window, 0, EnergyIn), needed);
        QCOMPARE(cell(window, 0, column), behind);
    }

    // Every input without an answer empties the results and names the cause.
    void badInputClearsTheResults_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("beam not a number") << "beam"
                                           << "abc"
                                           << "not a number";
        QTest::newRow("beam above the table") << "beam"
                                              << "10001"
                                              << "outside the table";
        QTest::newRow("beam beyond a double") << "beam"
                                              << "1e999"
                                              << "not a number";
        QTest::newRow("thickness not a number") << "thickness"
                                                << "5 cm"
                                                << "thickness is not a number";
        QTest::newRow("thickness negative") << "thickness"
                                            << "-1"
                                            << "not a positive number";
        QTest::newRow("density zero") << "density"
                                      << "0"
                                      << "not a positive number";
        QTest::newRow("no such material") << "material"
                                          << "unobtainium"
                                          << "no material matches";
        QTest::newRow("backwards beyond the table") << "backwards"
                                                    << "9999"
                                                    << "outside";
    }
    void badInputClearsTheResults()
    {
        QFETCH(QString, editor);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        LayersWindow window(bundled);
        oneWaterLayer(window, QStringLiteral("5"));
        typeInto(window.beamBox, QStringLiteral("150"));
        QCOMPARE(window.resultTable->rowCount(), 2);

        QLineEdit *box = editor == QStringLiteral("thickness")  ? window.thicknessBox(0)
                         : editor == QStringLiteral("density")  ? window.densityBox(0)
                         : editor == QStringLiteral("material") ? window.materialBox(0)->lineEdit()
                                                                : window.beamBox;
        if (editor == QStringLiteral("backwards")) {
            window.beamModeBox->setCurrentIndex(int(LayersWindow::Beam::EnergyOut));
            box = window.thicknessBox(0);
            typeInto(window.beamBox, typed);
        } else {
            typeInto(box, typed);
        }
        QVERIFY2(window.messageLabel->text().contains(message),
                 qPrintable(window.messageLabel->text()));
        QCOMPARE(window.resultTable->rowCount(), 0);
        QCOMPARE(window.resultsText(), QString());
        QVERIFY(window.summaryLabel->text().isEmpty());
        QVERIFY(shownInRed(box));

        // Mended, the answer and the colour come back.
        if (editor == QStringLiteral("backwards"))
            window.beamModeBox->setCurrentIndex(int(LayersWindow::Beam::EnergyIn));
        typeInto(window.thicknessBox(0), QStringLiteral("5"));
        typeInto(window.densityBox(0), QStringLiteral("1"));
        window.materialBox(0)->setEditText(QStringLiteral("Water_liquid.psp"));
        typeInto(window.beamBox, QStringLiteral("150"));
        QCOMPARE(window.messageLabel->text(), QString());
        QCOMPARE(cell(window, 0, EnergyOut), QStringLiteral("1.207E+02"));
        QVERIFY(!shownInRed(box));
    }

    void keyboardAloneBuildsTheStack()
    {
        LayersWindow window(bundled);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        oneWaterLayer(window, QStringLiteral("2"));
        window.thicknessBox(0)->setFocus();

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N,
                        Qt::ControlModifier); // add after it
        QCOMPARE(window.layerCount(), 2);
        QVERIFY(window.materialBox(1)->hasFocus() || window.materialBox(1)->lineEdit()->hasFocus());
        QTest::keyClicks(window.materialBox(1)->lineEdit(), QStringLiteral("alumin"));
        QVERIFY(shownInRed(window.materialBox(1)->lineEdit())); // two aluminium files match
        window.materialBox(1)->completer()->popup()->hide();
        window.materialBox(1)->setEditText(QStringLiteral("013-Aluminum.ps"));
        QCOMPARE(window.densityBox(1)->text(), QStringLiteral("2.6989"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window.layerCount(), 3);
        QCOMPARE(window.writtenLayers()[2].material, std::string("013-Aluminum.ps"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up, Qt::ControlModifier);
        const auto moved = window.writtenLayers();
        QCOMPARE(moved[0].material, std::string("013-Aluminum.ps"));
        QCOMPARE(moved[1].material, std::string("Water_liquid.psp"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window.layerCount(), 2);

        // Every control can be reached with Tab, and each has a name to be read by.
        QSet<QWidget *> reached;
        window.beamModeBox->setFocus();
        for (int i = 0; i < 40; ++i) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QWidget *control : std::initializer_list<QWidget *>{
                 window.beamModeBox, window.beamBox, window.thicknessBox(1), window.densityBox(1),
                 window.unitBox(0), window.addButton, window.saveResultsButton,
                 window.resultTable}) {
            QVERIFY2(reached.contains(control), qPrintable(control->objectName()));
            QVERIFY(!control->accessibleName().isEmpty());
        }
    }

    void savesAndOpensAStackAndReopensTheLast()
    {
        TempDirectory folder;
        const QString stackPath = QString::fromStdString((folder.path() / "shifter").string());
        auto previousSave =
            setSaveNameChooser([&](QWidget *, const QString &, const QString &, const QStringList &,
                                   QString *) { return stackPath; });
        {
            LayersWindow window(bundled);
            window.setLayers(
                {{"013-Aluminum.ps", {5, ThicknessUnit::Millimetre}, {}},
                 {"Polymethyl_methacrylate.psp", {2, ThicknessUnit::Centimetre}, 1.18}});
            window.saveButton->click();
            const auto read = readStackFile(folder.path() / "shifter.stack");
            QVERIFY(std::holds_alternative<std::vector<WrittenLayer>>(read));
            QCOMPARE(std::get<std::vector<WrittenLayer>>(read), window.writtenLayers());
            QCOMPARE(std::get<std::vector<WrittenLayer>>(read).size(), std::size_t(2));
            QVERIFY(!std::get<std::vector<WrittenLayer>>(read)[0].density); // the file's

            // The results leave as CSV under the quantities' keys.
            const QString csvPath =
                QString::fromStdString((folder.path() / "results.csv").string());
            setSaveNameChooser([&](QWidget *, const QString &, const QString &, const QStringList &,
                                   QString *) { return csvPath; });
            typeInto(window.beamBox, QStringLiteral("150"));
            window.saveResultsButton->click();
            const std::string csv = test::readBytes(folder.path() / "results.csv");
            QVERIFY(csv.starts_with(
                "layer,material,energy_in_MeV,energy_out_MeV,energy_lost_MeV,wet_cm,"));
            QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 3);
            window.copyResults();
            QCOMPARE(QGuiApplication::clipboard()->text(), window.resultsText());
            QVERIFY(
                window.resultsText().startsWith(QStringLiteral("layer\tmaterial\tenergy_in_MeV")));

            // A stack written by hand, then one that is not a stack.
            const auto hand =
                folder.write("hand.txt", "# film stack\nwater, liquid 3 cm\nlead 1mm 11\n");
            QString opened = QString::fromStdString(hand.string());
            auto previousOpen = setOpenNameChooser(
                [&](QWidget *, const QString &, const QString &) { return opened; });
            window.openStack();
            QCOMPARE(window.layerCount(), 2);
            QCOMPARE(window.writtenLayers()[1].material, std::string("082-Lead.ps"));
            QCOMPARE(window.densityBox(1)->text(), QStringLiteral("11"));
            WarningRecorder warnings;
            opened = QString::fromStdString(folder.write("bad.txt", "water 3 inches\n").string());
            window.openStack();
            QCOMPARE(warnings.texts.size(), 1);
            QVERIFY(warnings.texts[0].contains(QStringLiteral("Line 1")));
            QCOMPARE(window.layerCount(), 2); // kept what it had
            setOpenNameChooser(previousOpen);

            window.beamModeBox->setCurrentIndex(int(LayersWindow::Beam::WaterDepth));
            typeInto(window.beamBox, QStringLiteral("12"));
            window.close();
        }
        setSaveNameChooser(previousSave);
        LayersWindow again(bundled);
        QCOMPARE(again.layerCount(), 2);
        QCOMPARE(again.writtenLayers()[1].material, std::string("082-Lead.ps"));
        QCOMPARE(again.beamModeBox->currentIndex(), int(LayersWindow::Beam::WaterDepth));
        QCOMPARE(again.beamBox->text(), QStringLiteral("12"));
    }
};

QTEST_MAIN(LayersWindowTest)
#include "layers_window_test.moc"
