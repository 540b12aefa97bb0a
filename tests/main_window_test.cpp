// SPDX-License-Identifier: MIT
// The three windows driven as a user would, offscreen.
#include <clocale>
#include <cmath>

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "data/data_directory.h"
#include "data/lookup.h"
#include "data/number_format.h"
#include "data/plot_geometry.h"
#include "qt_support.h"
#include "test_support.h"
#include "ui/about/form3.h"
#include "ui/calc/calculator_window.h"
#include "ui/look.h"
#include "ui/main/form1.h"
#include "ui/plot/draw_plot.h"
#include "ui/plot/form2.h"
#include "ui/plot/image_surface.h"
#include "ui/plot/picture_box.h"

using namespace quenrow;
using quenrow::test::MaterialText;
using quenrow::test::Snapshot;
using quenrow::test::TempDirectory;
using quenrow::test::WarningRecorder;

namespace {

QColor pixelAt(const QImage &image, double x, double y)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(QPoint(static_cast<int>(x * ratio), static_cast<int>(y * ratio)));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::filesystem::path bundled = quenrow::test::bundledDataDirectory();

    // A main window on the bundled data with WATER, LIQUID loaded.
    std::unique_ptr<Form1> loadedWater(WarningRecorder &warnings)
    {
        auto form = std::make_unique<Form1>(bundled);
        [&] { QVERIFY(quenrow::test::loadFile(*form, QStringLiteral("Water_liquid.psp"))); }();
        [&] { QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n'))); }();
        return form;
    }

    // The same, shown.
    std::unique_ptr<Form1> shownWater(WarningRecorder &warnings)
    {
        auto form = loadedWater(warnings);
        form->show();
        return form;
    }

private slots:
    void initTestCase() { registerFontSubstitutions(); }

    // --- start-up and the file preview ------------------------------------

    void startUpState()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        QCOMPARE(form.File1->count(), 26);
        QCOMPARE(form.File2->count(), 48);
        QCOMPARE(form.File1->item(0)->text(), QStringLiteral("001-Hydrogen.ps"));
        QCOMPARE(form.File2->item(0)->text(),
                 QStringLiteral("A-150_tissue-equivalent_plastic.psp"));
        QVERIFY(form.File1->selectedItems().isEmpty());
        QVERIFY(form.File2->selectedItems().isEmpty());
        for (QLineEdit *box : {form.Text1, form.Text2, form.Text3, form.Text4})
            QVERIFY(box->text().isEmpty());
        QVERIFY(!form.Text3->isEnabled());
        QVERIFY(!form.Text4->isEnabled());
        QCOMPARE(form.List1->count(), 0);
        QCOMPARE(form.focusWidget(), form.File1);
        QCOMPARE(form.selectedFile(), std::string());
        QCOMPARE(form.windowTitle(), QStringLiteral("Quenrow"));
        QCOMPARE(form.size(), QSize(719, 585));
        QVERIFY(form.plotWindow() == nullptr);
        QCoreApplication::processEvents();
        QVERIFY(warnings.texts.isEmpty());
    }

    void layoutMatchesTheDesign_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twipRect");
        QTest::newRow("File1") << "File1" << QRect(120, 600, 1695, 6165);
        QTest::newRow("File2") << "File2" << QRect(1920, 600, 2535, 6165);
        QTest::newRow("Text1") << "Text1" << QRect(120, 6960, 4335, 285);
        QTest::newRow("Text2") << "Text2" << QRect(1080, 7320, 2295, 285);
        QTest::newRow("Command3") << "Command3" << QRect(120, 7320, 855, 615);
        QTest::newRow("Command2") << "Command2" << QRect(3480, 7680, 855, 735);
        QTest::newRow("Command1") << "Command1" << QRect(120, 8040, 855, 615);
        QTest::newRow("Picture1") << "Picture1" << QRect(2160, 7920, 480, 480);
        QTest::newRow("List1") << "List1" << QRect(4680, 840, 5895, 7080);
        QTest::newRow("Text3") << "Text3" << QRect(7560, 8040, 1575, 285);
        QTest::newRow("Text4") << "Text4" << QRect(7560, 8400, 1575, 285);
        QTest::newRow("Label11") << "Label11" << QRect(4680, 8040, 2895, 285);
        QTest::newRow("Label27") << "Label27" << QRect(9120, 8400, 1455, 285);
    }
    void layoutMatchesTheDesign()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twipRect);
        Form1 form(bundled);
        auto *widget = form.findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(),
                 twips(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
        QCOMPARE(widget->accessibleName(), name);
    }

    void headingsAreNeverCut()
    {
        Form1 form(bundled);
        const auto labels = form.findChildren<QLabel *>(QRegularExpression("^Label"));
        QCOMPARE(labels.size(), 25);
        for (QLabel *label : labels)
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                     qPrintable(label->objectName()));
    }

    void listUsesAFixedPitchFont()
    {
        // IPAGothic reports itself as proportional; measure instead.
        Form1 form(bundled);
        const QFontMetrics metrics(form.List1->font());
        QCOMPARE(metrics.horizontalAdvance(QLatin1Char('1')), metrics.horizontalAdvance('E'));
        QCOMPARE(metrics.horizontalAdvance(QLatin1Char('.')), metrics.horizontalAdvance('0'));
        QCOMPARE(metrics.horizontalAdvance(QLatin1Char(' ')), metrics.horizontalAdvance('+'));
    }

    void fixedPitchTextIsCrispAtOneDevicePixelAPixel()
    {
        // Antialiased at 1x the decimal point read as a comma; on denser
        // screens antialiasing stays.
        WarningRecorder warnings;
        auto form = shownWater(warnings);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const bool crisp = form->devicePixelRatio() <= 1;
        for (QWidget *widget :
             {static_cast<QWidget *>(form->List1), static_cast<QWidget *>(form->Text1),
              static_cast<QWidget *>(form->Text2)})
            QVERIFY2(bool(widget->font().styleStrategy() & QFont::NoAntialias) == crisp,
                     qPrintable(widget->objectName()));
        // The proportional and serif texts keep their antialiasing.
        for (QWidget *widget :
             {static_cast<QWidget *>(form->File1), static_cast<QWidget *>(form->Text3),
              form->findChild<QWidget *>(QStringLiteral("Label11"))})
            QVERIFY2(!(widget->font().styleStrategy() & QFont::NoAntialias),
                     qPrintable(widget->objectName()));
        // The rows' text: black on white only, or with greys where antialiased.
        const QImage rows = form->List1->viewport()->grab(QRect(0, 0, 200, 40)).toImage();
        int greys = 0;
        for (int y = 0; y < rows.height(); ++y)
            for (int x = 0; x < rows.width(); ++x)
                greys +=
                    rows.pixel(x, y) != qRgb(0, 0, 0) && rows.pixel(x, y) != qRgb(255, 255, 255);
        QCOMPARE(greys == 0, crisp);
    }

    void tabOrderFollowsTheDesign()
    {
        Form1 form(bundled);
        const QList<QWidget *> order = {form.File1,    form.File2,   form.Command2, form.Text1,
                                        form.Text2,    form.List1,   form.Text3,    form.Text4,
                                        form.Command1, form.Command3};
        auto nextTabStop = [](QWidget *w) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() ||
                   qobject_cast<QListWidget *>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                                 : nullptr));
            return w;
        };
        form.Text3->setEnabled(true);
        form.Text4->setEnabled(true);
        for (int i = 1; i < order.size(); ++i)
            QCOMPARE(nextTabStop(order[i - 1]), order[i]);
    }

    void previewFollowsTheListUsedLast()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.File1->setCurrentRow(0);
        QCOMPARE(form.Text1->text(), QStringLiteral("HYDROGEN"));
        QCOMPARE(form.Text2->text(), QStringLiteral("ρ= 8.3748E-05 g/cm3"));
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("Water_liquid.psp")));
        QCOMPARE(form.selectedFile(), std::string("Water_liquid.psp"));
        QCOMPARE(form.Text1->text(), QStringLiteral("WATER, LIQUID"));
        QCOMPARE(form.Text2->text(), QStringLiteral("ρ= 1 g/cm3"));
        QCOMPARE(form.File1->selectedItems().size(), 1); // the other highlight stays

        // Clicking the still-highlighted element again previews it again.
        QListWidgetItem *hydrogen = form.File1->item(0);
        QTest::mouseClick(form.File1->viewport(), Qt::LeftButton, {},
                          form.File1->visualItemRect(hydrogen).center());
        QCOMPARE(form.selectedFile(), std::string("001-Hydrogen.ps"));
        QCOMPARE(form.Text1->text(), QStringLiteral("HYDROGEN"));

        // Arrow keys preview every file they pass.
        form.File1->setFocus();
        QTest::keyClick(form.File1, Qt::Key_Down);
        QCOMPARE(form.selectedFile(), std::string("002-Helium.ps"));
        QCOMPARE(form.Text1->text(), QStringLiteral("HELIUM"));
        QVERIFY(warnings.texts.isEmpty());
    }

    // Once chosen, an entry stays highlighted whatever Ctrl does to it.
    void fileListsKeepTheirHighlight_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Ctrl+click") << false;
        QTest::newRow("Ctrl+Space") << true;
    }

    void fileListsKeepTheirHighlight()
    {
        QFETCH(bool, byKey);
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        QListWidget *list = form.File1;
        list->setFocus();
        list->setCurrentRow(2);
        for (int i = 0; i < 2; ++i) {
            if (byKey)
                QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
            else
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  list->visualItemRect(list->item(2)).center());
            QCOMPARE(list->selectedItems().size(), 1);
            QCOMPARE(list->selectedItems().first(), list->item(2));
        }
        QCOMPARE(form.selectedFile(), list->item(2)->text().toStdString());
        form.Command2->click();
        QVERIFY(warnings.texts.isEmpty());
        QVERIFY(form.plotWindow()->windowTitle().contains(form.Text1->text()));
    }

    void previewShowsLeadingBlanksAndTheGeneralForm()
    {
        TempDirectory dir;
        MaterialText text = MaterialText::fromBundled();
        text.name = "   SPACED NAME";
        text.density = "2.6989";
        dir.write("spaced.psp", text.str());
        Form1 form(dir.path());
        QCOMPARE(form.File1->count(), 0);
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("spaced.psp")));
        QCOMPARE(form.Text1->text(), QStringLiteral("   SPACED NAME"));
        QCOMPARE(form.Text2->text(), QStringLiteral("ρ= 2.6989 g/cm3"));
    }

    void fileTextShowsBytesAsTheyRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("ascii") << QByteArray(" 1.000E-03  1.234E+02\t~")
                               << " 1.000E-03  1.234E+02\t~";
        QTest::newRow("delete is kept") << QByteArray("a\x7f") << QStringLiteral("a\x7f");
        QTest::newRow("controls") << QByteArray("a\rb\x01", 4) << "a" + bad + "b" + bad;
        QTest::newRow("nul") << QByteArray("a\0b", 3) << "a" + bad + "b";
        QTest::newRow("utf-8") << QByteArray("\xcf\x81= 1") << QStringLiteral("\u03c1= 1");
        QTest::newRow("utf-8 and a control")
            << QByteArray("\xcf\x81\n") << QStringLiteral("\u03c1") + bad;
        QTest::newRow("latin-1") << QByteArray("caf\xe9 1") << QStringLiteral("caf\u00e9 1");
        QTest::newRow("latin-1 at the end") << QByteArray("caf\xe9") << QStringLiteral("caf\u00e9");
        QTest::newRow("cut utf-8 at the end") << QByteArray("a\xcf") << QStringLiteral("a\u00cf");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void fileTextShowsBytesAsTheyRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(fileText(bytes.toStdString()), shown);
    }

    void fileNamesThatAreNotUtf8StillOpen()
    {
        WarningRecorder warnings;
        TempDirectory dir;
        dir.write("caf\xe9.psp", MaterialText::fromBundled().str());
        dir.write("bell\x07.psp", MaterialText::fromBundled("Air_dry.psp").str());
        Form1 form(dir.path());
        QCOMPARE(form.File2->count(), 2);
        QVERIFY(quenrow::test::selectFile(form, QString::fromLatin1("caf\xe9.psp")));
        QCOMPARE(form.Text1->text(), QStringLiteral("WATER, LIQUID"));
        form.File2->setCurrentRow(0);
        QVERIFY(form.Text1->text().startsWith(QStringLiteral("AIR")));
        form.Command2->click();
        QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n')));
        QCOMPARE(form.List1->count(), 132);
    }

    void missingDataFolderWarnsAndKeepsRunning()
    {
        WarningRecorder warnings;
        TempDirectory dir;
        Form1 form(dir.path() / "nowhere");
        QCoreApplication::processEvents();
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY(warnings.texts[0].contains(QStringLiteral("nowhere")));
        QCOMPARE(form.File1->count(), 0);
        QCOMPARE(form.File2->count(), 0);
        form.Command2->click();
        QCOMPARE(warnings.texts.last(), QStringLiteral("Select material"));
    }

    void dataFolderIsTheLocalOneElseTheInstalledOne_data()
    {
        QTest::addColumn<QStringList>("folders"); // those that exist
        QTest::addColumn<QString>("listed");      // empty: a warning naming both instead
        QTest::newRow("both") << QStringList({"quenrow-data", "installed"}) << "quenrow-data.ps";
        QTest::newRow("installed only") << QStringList({"installed"}) << "installed.ps";
        QTest::newRow("neither") << QStringList() << "";
    }
    void dataFolderIsTheLocalOneElseTheInstalledOne()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, listed);
        WarningRecorder warnings;
        TempDirectory dir;
        for (const QString &folder : folders) {
            std::filesystem::create_directory(dir.path() / folder.toStdString());
            dir.write((folder + '/' + folder + ".ps").toStdString(), MaterialText().str());
        }
        Form1 form(findDataDirectory(dir.path() / "quenrow-data", dir.path() / "installed"));
        QCoreApplication::processEvents();
        QCOMPARE(form.File1->count(), listed.isEmpty() ? 0 : 1);
        QCOMPARE(warnings.texts.size(), listed.isEmpty() ? 1 : 0);
        if (!listed.isEmpty()) {
            QCOMPARE(form.File1->item(0)->text(), listed);
            return;
        }
        for (const char *folder : {"quenrow-data", "installed"})
            QVERIFY(
                warnings.texts[0].contains(QString::fromStdString((dir.path() / folder).string())));
    }

    // After any failed preview the boxes name the file GO then loads, and
    // GO refuses it by the same rule.
    void failedPreviewNamesTheFileGoLoads_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: a folder by then
        QTest::addColumn<QString>("density");
        const QString notANumber = QStringLiteral("ρ= not a number");
        QTest::newRow("density not a number") << QByteArray("t\r\nNAME\r\nabc\r\n") << notANumber;
        QTest::newRow("density out of range") << QByteArray("t\r\nNAME\r\n1e999\r\n") << notANumber;
        QTest::newRow("ends before the density") << QByteArray("title only\r\nNAME\r\n") << "ρ= ?";
        QTest::newRow("too long a line")
            << QByteArray(static_cast<int>(kMaxLineLength) + 1, 'x') << "ρ= ?";
        QTest::newRow("a folder") << QByteArray() << "ρ= ?";
    }

    void failedPreviewNamesTheFileGoLoads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, density);
        WarningRecorder warnings;
        TempDirectory dir;
        dir.write("good.ps", MaterialText::fromBundled("001-Hydrogen.ps").str());
        dir.write("bad.ps", bytes.toStdString());
        Form1 form(dir.path());
        if (bytes.isEmpty()) { // swapped in after the listing
            std::filesystem::remove(dir.path() / "bad.ps");
            std::filesystem::create_directory(dir.path() / "bad.ps");
        }
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("good.ps")));
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("bad.ps")));
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY(warnings.texts[0].contains(QStringLiteral("bad.ps")));
        QCOMPARE(form.selectedFile(), std::string("bad.ps"));
        QCOMPARE(form.Text1->text(), QStringLiteral("bad.ps"));
        QCOMPARE(form.Text2->text(), density);
        form.Command2->click();
        QCOMPARE(warnings.texts.size(), 2);
        QCOMPARE(warnings.texts[1], warnings.texts[0]);
        QCOMPARE(form.List1->count(), 0);
    }

    // The toolkit takes the C locale from the environment; numbers must not follow it.
    void numbersIgnoreACommaDecimalLocale()
    {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QSKIP("de_DE.UTF-8 is not generated on this machine");
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        QVERIFY(quenrow::test::selectFile(*form, QStringLiteral("013-Aluminum.ps")));
        QCOMPARE(form->Text2->text(), QStringLiteral("ρ= 2.6989 g/cm3"));
        form->List1->setCurrentRow(1);
        QCOMPARE(form->Text3->text(), QStringLiteral("1.500E-03"));
        form->Text3->setText(QStringLiteral("2.5"));
        QTest::keyClick(form->Text3, Qt::Key_Return);
        QVERIFY(warnings.texts.isEmpty());
        QVERIFY(form->plotWindow()->windowTitle().endsWith(QStringLiteral("1.000[g/cm3]")));
        form->Text3->setText(QStringLiteral("1,5")); // the habit of this locale: refused, not 1
        QTest::keyClick(form->Text3, Qt::Key_Return);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY(form->Text4->text().isEmpty());
    }

    // --- GO ----------------------------------------------------------------

    void goWithoutSelectionChangesNothing()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.Command2->click();
        QCOMPARE(warnings.texts, QStringList{QStringLiteral("Select material")});
        QVERIFY(!form.Text3->isEnabled());
        QCOMPARE(form.List1->count(), 0);
        QVERIFY(form.plotWindow() == nullptr);
    }

    void goLoadsDrawsAndShows()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        QCOMPARE(form->List1->count(), 132);
        QCOMPARE(form->List1->item(0)->text(),
                 QStringLiteral(" 1.000E-03 1.337E+02 4.315E+01 1.769E+02 6.319E-06 2.878E-06"));
        QVERIFY(form->Text3->isEnabled());
        QVERIFY(form->Text4->isEnabled());
        Form2 *plot = form->plotWindow();
        QVERIFY(plot && plot->isVisible());
        QCOMPARE(plot->windowTitle(), QStringLiteral("  WATER, LIQUID     Density = 1.000[g/cm3]"));
        QVERIFY(!plot->Line1().isVisible());
        QVERIFY(!plot->Line2().isVisible());

        // Again: the same 132 rows, the boxes emptied, the window reused.
        form->List1->setCurrentRow(3);
        QVERIFY(plot->Line1().isVisible());
        form->Command2->click();
        QCOMPARE(form->List1->count(), 132);
        QVERIFY(form->Text3->text().isEmpty());
        QVERIFY(form->Text4->text().isEmpty());
        QCOMPARE(form->plotWindow(), plot);
        QVERIFY(!plot->Line1().isVisible());
    }

    void goLoadsTheFileOfTheListUsedLast()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.File1->setCurrentRow(0);
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("Water_liquid.psp")));
        form.Command2->click();
        QCOMPARE(form.material()->table.name, std::string("WATER, LIQUID"));
    }

    // The file replaced between its preview and GO: the preview follows the load.
    void previewShowsWhatGoLoaded()
    {
        WarningRecorder warnings;
        TempDirectory dir;
        dir.write("m.psp", MaterialText::fromBundled().str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("m.psp")));
        dir.write("m.psp", MaterialText::fromBundled("082-Lead.ps").str());
        form.Command2->click();
        QCOMPARE(form.Text1->text(), QStringLiteral("LEAD"));
        QCOMPARE(form.Text2->text(), QStringLiteral("ρ= 11.35 g/cm3"));
    }

    void captionShowsNameAndDensity_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("density");
        QTest::addColumn<QString>("caption");
        QTest::newRow("unit density") << "WATER"
                                      << "1"
                                      << "  WATER     Density = 1.000[g/cm3]";
        QTest::newRow("gas") << "AIR"
                             << "0.0012048"
                             << "  AIR     Density = 0.001205[g/cm3]";
        QTest::newRow("lead") << "LEAD"
                              << "11.35"
                              << "  LEAD     Density = 11.350[g/cm3]";
        QTest::newRow("leading blanks") << "  SPACED"
                                        << "1"
                                        << "    SPACED     Density = 1.000[g/cm3]";
        // Not the "modified" mark, nor markup.
        QTest::newRow("marks") << "A[*]<b>B</b>"
                               << "1"
                               << "  A[*]<b>B</b>     Density = 1.000[g/cm3]";
        // A caption is cut in the middle, keeping its density.
        QTest::newRow("long name") << QString(300, 'L') << "1"
                                   << "  " + QString(78, 'L') + QChar(0x2026) + QString(52, 'L') +
                                          "     Density = 1.000[g/cm3]";
    }
    void captionShowsNameAndDensity()
    {
        QFETCH(QString, name);
        QFETCH(QString, density);
        QFETCH(QString, caption);
        WarningRecorder warnings;
        TempDirectory dir;
        MaterialText text = MaterialText::fromBundled();
        text.name = name.toStdString();
        text.density = density.toStdString();
        dir.write("m.psp", text.str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("m.psp")));
        QCOMPARE(form.plotWindow()->windowHandle()->title(), caption);
    }

    // A bidirectional control in a file name or a name line would reorder
    // what is shown ("\u202Egnp.psp" as "psp.png"): it shows as U+FFFD.
    void bidiControlsAreShownAsReplacementCharacters()
    {
        const QString controls = QString::fromUtf16(
            u"\u202A\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069\u200E\u200F\u061C");
        const QChar bad = QChar::ReplacementCharacter;
        QCOMPARE(withoutBidiControls(controls), QString(controls.size(), bad));
        WarningRecorder warnings;
        TempDirectory dir;
        MaterialText text = MaterialText::fromBundled();
        text.name = "\u202EDIUQIL";
        dir.write("\u202Egnp.psp", text.str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::loadFile(form, bad + QStringLiteral("gnp.psp")));
        form.openCalculator();
        for (const QString &shown :
             {form.File2->item(0)->toolTip(), form.Text1->text(), form.plotWindow()->windowTitle(),
              form.calculatorWindow()->windowTitle(),
              form.calculatorWindow()->materialLabel->text(),
              form.calculatorWindow()->materialLabel->toolTip(), boxText(controls)})
            QVERIFY2(shown.contains(bad) && !shown.contains(QChar(0x202E)), qPrintable(shown));
    }

    void longRowsAreCutTo59Characters()
    {
        WarningRecorder warnings;
        TempDirectory dir;
        MaterialText text = MaterialText::fromBundled();
        text.rows[0].replace(60, 6, "0.455500000000000"); // a longer seventh field
        dir.write("m.psp", text.str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("m.psp")));
        QVERIFY(warnings.texts.isEmpty());
        QCOMPARE(form.List1->count(), 132);
        QCOMPARE(form.List1->item(0)->text().size(), 60);
        QCOMPARE(form.List1->item(0)->text(),
                 QLatin1Char(' ') + QString::fromStdString(text.rows[0].substr(0, 59)));
    }

    void brokenFileChangesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("inMessage");
        QTest::newRow("131 rows") << 0 << "row 132";
        QTest::newRow("not a number") << 1 << "not a number";
        QTest::newRow("zero stopping power") << 2 << "greater than zero";
        QTest::newRow("descending energies") << 3 << "not greater than";
        QTest::newRow("missing since listed") << 4 << "Cannot open";
    }
    void brokenFileChangesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, inMessage);
        WarningRecorder warnings;
        TempDirectory dir;
        MaterialText good = MaterialText::fromBundled();
        dir.write("a-good.psp", good.str());
        MaterialText bad = good;
        switch (kind) {
        case 0:
            bad.rows.pop_back();
            break;
        case 1:
            bad.rows[20].replace(10, 9, "1.2.3E+02");
            break;
        case 2:
            bad.rows[30].replace(30, 9, "0.000E+00");
            break;
        case 3:
            std::swap(bad.rows[5], bad.rows[6]);
            break;
        default:
            break;
        }
        const auto badFile = dir.write("b-bad.psp", bad.str());
        Form1 form(dir.path());
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("a-good.psp")));
        form.List1->setCurrentRow(10);
        form.Text3->setText(QStringLiteral("typed"));
        if (kind == 4)
            std::filesystem::remove(badFile);
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("b-bad.psp")));
        const Snapshot before = Snapshot::of(form);
        warnings.texts.clear();
        form.Command2->click();
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY2(warnings.texts[0].contains(QStringLiteral("b-bad.psp")),
                 qPrintable(warnings.texts[0]));
        QVERIFY2(warnings.texts[0].contains(inMessage), qPrintable(warnings.texts[0]));
        QVERIFY(Snapshot::of(form) == before);
    }

    void goDuringALoadIsIgnored()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("Water_liquid.psp")));
        int extraPresses = 0;
        // Fires at the load's first pause, like an impatient second click.
        QTimer::singleShot(0, &form, [&] {
            ++extraPresses;
            form.Command2->click();
        });
        form.Command2->click();
        QCOMPARE(extraPresses, 1);
        QCOMPARE(form.List1->count(), 132);
        QVERIFY(warnings.texts.isEmpty());
    }

    void closingTheMainWindowDuringALoadShowsNoPlot()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        QVERIFY(quenrow::test::selectFile(form, QStringLiteral("Water_liquid.psp")));
        QTimer::singleShot(0, &form, [&] { form.close(); });
        form.Command2->click();
        QVERIFY(form.plotWindow() == nullptr || !form.plotWindow()->isVisible());
    }

    void plotImageHasFrameGridAndMasks()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        const QImage &image = form->plotWindow()->Picture1->image();
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(525, 525));
        const QColor background(0, 0, 128);
        for (const QPointF corner :
             {QPointF(0, 0), QPointF(524, 0), QPointF(0, 524), QPointF(524, 524)})
            QCOMPARE(pixelAt(image, corner.x(), corner.y()), background);
        // Frame corners, within a pixel of where the scale puts them.
        for (const QPointF corner : {QPointF(43.5, 477.5), QPointF(510.5, 17.5)}) {
            bool white = false;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    white |= pixelAt(image, corner.x() + dx, corner.y() + dy) == Qt::white;
            QVERIFY2(white, qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
        }
        // The grid line of 0.01 MeV, away from every curve.
        const double gridX = UserScale::toPixelX(std::log(10.0));
        bool grey = false;
        for (int dx = -1; dx <= 1; ++dx)
            grey |= pixelAt(image, gridX + dx, UserScale::toPixelY(3.2)) == QColor(128, 128, 128);
        QVERIFY(grey);
        // Above the frame nothing but the mask colour.
        for (int y = 0; y < 15; ++y)
            for (int x = 46; x < 525; ++x)
                QCOMPARE(pixelAt(image, x, y), background);
    }

    void curvesLeavingTheFrameAreHiddenByTheBandsAndDrawnInOrder()
    {
        // Straight lines from 10^-6 to 10^6 MeV cm2/g, crossing both bands. The
        // electronic curve lies under the total one; the nuclear one is 100 times lower.
        const auto plotOf = [](double span) {
            MaterialTable table;
            const auto power = [span](int k, double scale) {
                return scale * std::pow(10.0, span * ((k - 1) / (kRowCount - 1.0) - 0.5));
            };
            for (int k = 1; k <= kRowCount; ++k) {
                table.energy[k] = 1e-3 * std::pow(1e7, (k - 1) / (kRowCount - 1.0));
                table.stoppingPower[1][k] = table.stoppingPower[3][k] = power(k, 1);
                table.stoppingPower[2][k] = power(k, 0.01);
            }
            QImage image = PictureBox::newImage(1);
            {
                ImageSurface surface(image);
                drawPlotImage(surface, table);
            }
            return image;
        };
        const QImage tame = plotOf(2);   // 0.1 to 10 MeV cm2/g, well inside the frame
        const QImage image = plotOf(12); // 10^-6 to 10^6, through both bands
        // The bands above and below the frame look the same either way.
        for (int x = 46; x < 525; ++x)
            for (int y : {0, 5, 10, 15, 480, 490, 500, 510, 524})
                QVERIFY2(image.pixel(x, y) == tame.pixel(x, y),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        // At 10^0.5 MeV, halfway along: 1 MeV cm2/g on the total curve. Within two pixels.
        const auto coloursNear = [&](double scale) {
            QSet<QRgb> colours;
            const double x = UserScale::toPixelX(PlotX(std::sqrt(10.0)));
            const double y = UserScale::toPixelY(PlotY(scale));
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    colours.insert(pixelAt(image, x + dx, y + dy).rgb());
            return colours;
        };
        QVERIFY(coloursNear(1).contains(QColor(Qt::white).rgb()));
        QVERIFY(!coloursNear(1).contains(QColor(Qt::red).rgb()));
        QVERIFY(coloursNear(0.01).contains(QColor(Qt::yellow).rgb()));
    }

    void eachPlotIsTheWholePlotDrawnAfresh()
    {
        // GO starts from the grid kept by the window: whatever was plotted
        // before, the image is the one drawn whole on a new image.
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        for (const QString &file :
             {QStringLiteral("001-Hydrogen.ps"), QStringLiteral("Water_liquid.psp")}) {
            QVERIFY(quenrow::test::loadFile(*form, file));
            QImage whole =
                PictureBox::newImage(form->plotWindow()->Picture1->image().devicePixelRatio());
            {
                ImageSurface surface(whole);
                drawPlotImage(surface, form->material()->table);
            }
            QVERIFY2(form->plotWindow()->Picture1->image() == whole, qPrintable(file));
        }
    }

    void crosshairPassesThroughThePointersPixel()
    {
        // Every device column and row of the inner area, reached as a real
        // move reaches it, with the lines set as the plot window sets them:
        // each line lights the pointer's own pixel (checked away from the
        // other line).
        PictureBox box;
        connect(&box, &PictureBox::mouseMoved, &box, [&box](float x, float y) {
            box.line1().setX1(x);
            box.line1().setX2(x);
            box.line2().setY1(y);
            box.line2().setY2(y);
        });
        const qreal ratio = box.devicePixelRatio();
        const auto move = [&box](QPointF at) {
            QMouseEvent event(QEvent::MouseMove, at, box.mapToGlobal(at), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&box, &event);
        };
        const auto lit = [&](QPointF at) {
            // From an even pixel, which starts on a device pixel at 1.5x too.
            const QPoint corner(int(at.x()) / 2 * 2 - 2, int(at.y()) / 2 * 2 - 2);
            const QImage image = box.grab(QRect(corner, QSize(6, 6))).toImage();
            const QPointF device = (at - corner) * ratio;
            return image.pixelColor(qRound(device.x()), qRound(device.y())) == QColor(255, 255, 0);
        };
        const int devicePixels = qRound(PictureBox::kInner * ratio);
        for (int k = 0; k < devicePixels; ++k) {
            const double at = PictureBox::kBorder + k / ratio;
            move(QPointF(at, 300));
            QVERIFY2(lit(QPointF(at, 100)), qPrintable(QStringLiteral("column %1").arg(k)));
            move(QPointF(200, at));
            QVERIFY2(lit(QPointF(400, at)), qPrintable(QStringLiteral("row %1").arg(k)));
        }
    }

    void closingThePlotDestroysItAndRowSelectionRecreatesItHidden()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        QPointer<Form2> plot = form->plotWindow();
        plot->close();
        QTRY_VERIFY(plot.isNull());
        QVERIFY(form->plotWindow() == nullptr);
        form->List1->setCurrentRow(131); // 10000 MeV: the plot is not touched
        QVERIFY(form->plotWindow() == nullptr);
        form->List1->setCurrentRow(0);
        Form2 *again = form->plotWindow();
        QVERIFY(again);
        QVERIFY(!again->isVisible());
        QCOMPARE(again->windowTitle(), QString());
        QVERIFY(again->Line1().isVisible());
        QVERIFY(again->Line2().isVisible());
        QCOMPARE(again->Line2().y1(), 6.62f); // as created
        form->Command2->click();
        QVERIFY(again->isVisible());
        QVERIFY(!again->Line1().isVisible());
    }

    // --- energy entry ---------------------------------------------------------

    void energyEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("warning"); // when refused: the out-of-range one unless given
        QTest::newRow("lowest") << "0.001" << true << QString();
        QTest::newRow("highest") << "10000" << true << QString();
        QTest::newRow("below") << "0.000999" << false << QString();
        QTest::newRow("above") << "10000.01" << false << QString();
        QTest::newRow("overflow") << "1e999" << false << QString();
        QTest::newRow("word") << "abc" << false << QString();
        QTest::newRow("empty") << "" << false << QString();
        QTest::newRow("with unit") << "10 MeV" << true << QString();
        const QString comma = "\"%1\" has a decimal comma: type the energy with a decimal point.";
        QTest::newRow("decimal comma") << "1,5" << false << comma.arg("1,5");
        QTest::newRow("comma after decimals") << " 1.5,3 MeV" << false << comma.arg("1.5,3 MeV");
        QTest::newRow("comma after an exponent") << "1.e1,5" << false << comma.arg("1.e1,5");
        QTest::newRow("comma after a point") << "1.,5" << true << QString();
        QTest::newRow("comma before a blank") << "10, 5" << true << QString();
    }
    void energyEntry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, warning);
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        Form2 *plot = form->plotWindow();
        form->List1->setCurrentRow(20); // puts Line1 somewhere known
        const float line1Before = plot->Line1().x1();
        const float line2Before = plot->Line2().y1();
        form->Text3->setText(typed);
        QTest::keyClick(form->Text3, Qt::Key_Return);
        if (!accepted) {
            QCOMPARE(warnings.texts,
                     QStringList{warning.isEmpty() ? QStringLiteral("This value is out of range.")
                                                   : warning});
            QVERIFY(form->Text3->text().isEmpty());
            QVERIFY(form->Text4->text().isEmpty());
            QCOMPARE(plot->Line1().x1(), line1Before);
            QCOMPARE(plot->Line2().y1(), line2Before);
            QVERIFY(!plot->Line2().isVisible());
            return;
        }
        QVERIFY(warnings.texts.isEmpty());
        const double energy = parseNumber(typed.toStdString());
        const double total = *interpolateTotal(*form->material(), energy);
        QCOMPARE(form->Text3->text(), typed); // not reformatted
        QCOMPARE(form->Text4->text(), QString::fromStdString(formatScientific(total)));
        QCOMPARE(plot->Line1().x1(), static_cast<float>(MarkerX(energy)));
        QCOMPARE(plot->Line1().x2(), plot->Line1().x1());
        QCOMPARE(plot->Line2().y1(), static_cast<float>(MarkerY(total)));
        QCOMPARE(plot->Line2().y2(), plot->Line2().y1());
        QVERIFY(plot->Line1().isVisible());
        QVERIFY(plot->Line2().isVisible());
        QCOMPARE(plot->Line1().y1(), 18.39867f); // the other ends never move
        QCOMPARE(plot->Line2().x1(), 0.00086f);
    }

    void tableEnergyShowsThatRowsValue()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        form->Text3->setText(QStringLiteral("10"));
        QTest::keyClick(form->Text3, Qt::Key_Enter);
        QCOMPARE(form->Text4->text(), QStringLiteral("4.567E+01")); // the 10 MeV row of the table
    }

    // Tab makes row 1 current without selecting it: the first Down or Space
    // selects row 1, not row 2.
    void firstKeyInTheTableSelectsRow1_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }

    void firstKeyInTheTableSelectsRow1()
    {
        QFETCH(int, key);
        WarningRecorder warnings;
        auto form = shownWater(warnings);
        QApplication::setActiveWindow(form.get());
        form->Text2->setFocus();
        QTest::keyClick(form->Text2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->List1);
        QVERIFY(form->List1->selectedItems().isEmpty());
        QTest::keyClick(form->List1, Qt::Key(key));
        QCOMPARE(form->List1->currentRow(), 0);
        QVERIFY(form->List1->item(0)->isSelected());
        QCOMPARE(form->Text3->text(), QStringLiteral("1.000E-03"));
        QTest::keyClick(form->List1, Qt::Key_Down);
        QCOMPARE(form->List1->currentRow(), 1);
    }

    void clickIntoTheEnergyBoxEmptiesBothBoxes()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        form->List1->setCurrentRow(40);
        QVERIFY(!form->Text4->text().isEmpty());
        const float marker = form->plotWindow()->Line1().x1();
        QTest::mouseClick(form->Text3, Qt::LeftButton);
        QVERIFY(form->Text3->text().isEmpty());
        QVERIFY(form->Text4->text().isEmpty());
        QCOMPARE(form->plotWindow()->Line1().x1(), marker);
        QVERIFY(form->plotWindow()->Line1().isVisible());
    }

    // --- table row selection ------------------------------------------------------

    void rowSelectionMovesLine1UpTo100MeV()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        const MaterialTable &table = form->material()->table;
        Form2 *plot = form->plotWindow();
        int row100 = 0;
        for (int k = 1; k <= kRowCount; ++k)
            if (table.energy[k] == 100)
                row100 = k;
        QVERIFY(row100 > 0);
        const float line2y = plot->Line2().y1();

        form->List1->setCurrentRow(0);
        QCOMPARE(form->Text3->text(), QStringLiteral("1.000E-03"));
        QCOMPARE(form->Text4->text(), QStringLiteral("1.769E+02"));
        QCOMPARE(plot->Line1().x1(), static_cast<float>(std::log(0.001) + 6.909));

        form->List1->setCurrentRow(row100 - 1);
        const float at100 = static_cast<float>(MarkerX(100));
        QCOMPARE(plot->Line1().x1(), at100);
        QCOMPARE(plot->Line1().x2(), at100);
        QVERIFY(plot->Line1().isVisible());

        form->List1->setCurrentRow(row100); // above 100 MeV
        QCOMPARE(form->Text3->text(),
                 QString::fromStdString(formatScientific(table.energy[row100 + 1])));
        QCOMPARE(plot->Line1().x1(), at100);
        QCOMPARE(plot->Line2().y1(), line2y);
        QVERIFY(!plot->Line2().isVisible());
    }

    // --- cursor readout -------------------------------------------------------------------

    void pointerOverThePlotSelectsTheNearestRow()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        Form2 *plot = form->plotWindow();
        const MaterialTable &table = form->material()->table;
        auto move = [&](float x, float y) { emit plot->Picture1->mouseMoved(x, y); };

        const float x50 = static_cast<float>(MarkerX(table.energy[50]));
        move(x50, 5);
        QCOMPARE(form->List1->currentRow(), 49);
        QCOMPARE(form->Text3->text(), QString::fromStdString(formatScientific(table.energy[50])));
        QCOMPARE(plot->Picture1->cursor().shape(), Qt::CrossCursor);
        QVERIFY(plot->Line1().isVisible() && plot->Line2().isVisible());
        QCOMPARE(plot->Line2().y1(), 5.0f);
        QCOMPARE(plot->Line2().y2(), 5.0f);

        move(x50, 17); // Y never changes the row
        QCOMPARE(form->List1->currentRow(), 49);

        // Edges count as inside.
        for (const QPointF edge : {QPointF(0, 0), QPointF(16.1, 18.4), QPointF(0, 18.4)}) {
            move(static_cast<float>(edge.x()), static_cast<float>(edge.y()));
            QVERIFY(plot->Line2().isVisible());
        }
        QCOMPARE(form->List1->currentRow(), 0); // (0, 18.4): left of row 1's marker

        // Above 100 MeV the vertical line stays under the pointer.
        move(15.0f, 3);
        QCOMPARE(plot->Line1().x1(), 15.0f);
        QVERIFY(table.energy[form->List1->currentRow() + 1] > 100);

        // Just outside: lines hidden, pointer back, readout kept.
        const QString text3 = form->Text3->text();
        move(16.11f, 3);
        QVERIFY(!plot->Line1().isVisible());
        QVERIFY(!plot->Line2().isVisible());
        QCOMPARE(plot->Picture1->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(form->Text3->text(), text3);
    }

    void pointerSnapsLine1ToTheRowAtOrBelow100MeV()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        Form2 *plot = form->plotWindow();
        const MaterialTable &table = form->material()->table;
        const float x = static_cast<float>(MarkerX(table.energy[30])) + 0.001f;
        emit plot->Picture1->mouseMoved(x, 5);
        emit plot->Picture1->mouseMoved(x + 0.001f, 5); // same row, again
        QCOMPARE(plot->Line1().x1(), static_cast<float>(MarkerX(table.energy[30])));
    }

    void pointerMoveWhileTheListIsEmptySelectsNothing()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        form->List1->clear(); // as between emptying and refilling during a load
        emit form->plotWindow()->Picture1->mouseMoved(8, 8);
        QCOMPARE(form->List1->count(), 0);
        QVERIFY(form->plotWindow()->Line1().isVisible());
    }

    void realMouseMovesReachTheReadout()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        Form2 *plot = form->plotWindow();
        const QPointF at = PictureBox::toWidget(MarkerX(form->material()->table.energy[60]), 5);
        QMouseEvent move(QEvent::MouseMove, at, plot->Picture1->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(plot->Picture1, &move);
        QCOMPARE(form->List1->currentRow(), 59);
    }

    // --- about window -------------------------------------------------------------------------

    void aboutWindowIsOneInstanceShownAndHidden()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        form.Command3->click();
        Form3 *about = form.aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("mu"));
        QCOMPARE(about->size(), QSize(396, 196));
        QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
        auto *authors = about->findChild<QLabel *>(QStringLiteral("Label7"));
        QCOMPARE(authors->text(),
                 QStringLiteral("M. J. Berger, J. S. Coursey, M. A. Zucker and J. Chang"));
        QVERIFY(authors->font().italic());
        form.Command3->click();
        QCOMPARE(form.aboutWindow(), about);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return qobject_cast<Form3 *>(w) != nullptr; }),
                 1);

        // The main window works while it is open.
        QVERIFY(quenrow::test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        QCOMPARE(form.List1->count(), 132);

        about->Command1->click();
        QVERIFY(!about->isVisible());
        form.Command3->click();
        QCOMPARE(form.aboutWindow(), about);
        QVERIFY(about->isVisible());
    }

    // --- keyboard only ---------------------------------------------------------------------------

    void everyActionIsReachableFromTheKeyboard()
    {
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto press = [&](int key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(form.focusWidget(), static_cast<Qt::Key>(key), modifiers);
        };
        QCOMPARE(form.focusWidget(), form.File1);
        press(Qt::Key_Down);
        QVERIFY(!form.Text1->text().isEmpty());
        press(Qt::Key_Tab);
        QCOMPARE(form.focusWidget(), form.File2);
        press(Qt::Key_End);
        press(Qt::Key_Up);
        QCOMPARE(form.Text1->text(), QStringLiteral("WATER, LIQUID"));
        press(Qt::Key_Tab);
        QCOMPARE(form.focusWidget(), form.Command2);
        press(Qt::Key_Space);
        QCOMPARE(form.List1->count(), 132);
        press(Qt::Key_Return); // Enter on the button loads as well
        QCOMPARE(form.List1->count(), 132);
        QVERIFY(warnings.texts.isEmpty());

        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Tab);
        QCOMPARE(form.focusWidget(), form.List1);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QVERIFY(form.List1->currentRow() >= 0);
        QCOMPARE(form.Text3->text(),
                 QString::fromStdString(formatScientific(
                     form.material()->table.energy[form.List1->currentRow() + 1])));

        press(Qt::Key_Tab);
        QCOMPARE(form.focusWidget(), form.Text3);
        form.Text3->clear();
        QTest::keyClicks(form.Text3, QStringLiteral("10"));
        press(Qt::Key_Return);
        QCOMPARE(form.Text4->text(), QStringLiteral("4.567E+01"));

        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        QCOMPARE(form.focusWidget(), form.Command3);
        press(Qt::Key_Return);
        Form3 *about = form.aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->focusProxy(), about->Command1);
        QTest::keyClick(about->Command1, Qt::Key_Space);
        QVERIFY(!about->isVisible());
        press(Qt::Key_Space);
        QVERIFY(about->isVisible());
        QTest::keyClick(about->Command1, Qt::Key_Return);
        QVERIFY(!about->isVisible());
        press(Qt::Key_Space);
        QTest::keyClick(about->Command1, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
        const auto focusable = about->findChildren<QWidget *>();
        for (QWidget *child : focusable)
            QVERIFY2(child == about->Command1 || !(child->focusPolicy() & Qt::TabFocus),
                     qPrintable(child->objectName()));
    }

    // --- clipboard
    // ----------------------------------------------------------------------------------

    void rowsTableAndPlotGoToTheClipboard()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        QClipboard *clipboard = QGuiApplication::clipboard();
        form->List1->setCurrentRow(2);
        QTest::keyClick(form->List1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(),
                 QStringLiteral("2.000E-03 1.891E+02 2.927E+01 2.184E+02 1.137E-05 5.909E-06"));

        auto action = [](QWidget *widget, const QString &text) -> QAction * {
            for (QAction *a : widget->actions())
                if (a->text() == text)
                    return a;
            return nullptr;
        };
        QVERIFY(action(form->List1, QStringLiteral("Copy row")));
        QAction *copyTable = action(form->List1, QStringLiteral("Copy table"));
        QVERIFY(copyTable);
        copyTable->trigger();
        const QStringList lines = clipboard->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 133);
        QVERIFY(lines[0].startsWith(QStringLiteral("Energy (MeV)\tElectronic")));
        QCOMPARE(lines[1],
                 QStringLiteral("0.001\t133.7\t43.15\t176.9\t6.319E-06\t2.878E-06\t0.4555"));
        QCOMPARE(lines[132].split(QLatin1Char('\t')).first(), QStringLiteral("10000"));

        Form2 *plot = form->plotWindow();
        QAction *copyPlot = action(plot->Picture1, QStringLiteral("Copy plot"));
        QVERIFY(copyPlot);
        copyPlot->trigger();
        const QImage image = clipboard->image();
        const qreal ratio = plot->Picture1->image().devicePixelRatio();
        QCOMPARE(image.size(), QSize(525, 525) * ratio);
        QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 128));
    }

    void closingTheMainWindowClosesTheOthers()
    {
        WarningRecorder warnings;
        auto form = loadedWater(warnings);
        form->Command3->click();
        QPointer<Form2> plot = form->plotWindow();
        QPointer<Form3> about = form->aboutWindow();
        form->Command1->click();
        QVERIFY(!form->isVisible());
        QVERIFY(plot.isNull() || !plot->isVisible());
        QVERIFY(!about->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
