// SPDX-License-Identifier: MIT
// The compare window driven as a user would: opened from the main window,
// materials found by typing and ticked, a ratio chosen, the plot and the
// values saved and read back.
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <qcustomplot.h>

#include "qt_support.h"
#include "test_support.h"
#include "ui/compare/compare_window.h"
#include "ui/save_file.h"

using namespace quenrow;

namespace {

// Answers every save dialog with `path`.
struct SaveAnswer {
    explicit SaveAnswer(QString answer) : path(std::move(answer))
    {
        previous = setSaveNameChooser([this](QWidget *, const QString &, const QString &,
                                             const QStringList &, QString *) { return path; });
    }
    ~SaveAnswer() { setSaveNameChooser(previous); }
    QString path;
    SaveNameChooser previous;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList visibleEntries(const QListWidget *list)
{
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            shown << list->item(i)->text();
    return shown;
}

// Finds a material by typing part of its name, then ticks it with Space.
void tickByTyping(CompareWindow *window, const QString &part)
{
    window->findBox->clear();
    QTest::keyClicks(window->findBox, part);
    window->materialList->setFocus();
    QTest::keyClick(window->materialList, Qt::Key_Space);
}

} // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT
private slots:
    void choosesComparesSavesAndReadsBack()
    {
        test::WarningRecorder warnings;
        Form1 form(test::bundledDataDirectory());
        form.show();
        QVERIFY(test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
        auto *window = form.findChild<CompareWindow *>();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        // The loaded material is offered first, and shown.
        QCOMPARE(window->materialList->item(0)->text(), QStringLiteral("Water_liquid.psp"));
        QCOMPARE(window->chosenFiles(), std::vector<std::string>{"Water_liquid.psp"});

        QTest::keyClicks(window->findBox,
                         QStringLiteral("METHACR")); // the material's name, any case
        QCOMPARE(visibleEntries(window->materialList),
                 QStringList{QStringLiteral("Polymethyl_methacrylate.psp")});
        tickByTyping(window, QStringLiteral("013-Al"));
        tickByTyping(window, QStringLiteral("methacr"));
        QCOMPARE(window->chosenFiles(),
                 (std::vector<std::string>{"Water_liquid.psp", "013-Aluminum.ps",
                                           "Polymethyl_methacrylate.psp"}));
        QCOMPARE(window->plot->graphCount(), 3);
        // A GO with the window open offers its material first, without ticking it.
        QVERIFY(test::loadFile(form, QStringLiteral("082-Lead.ps")));
        QCOMPARE(window->materialList->item(0)->text(), QStringLiteral("082-Lead.ps"));
        QCOMPARE(window->chosenFiles().size(), std::size_t(3));
        QVERIFY(window->logYBox->isChecked());

        // Relative linear stopping power: a linear axis, water's own curve flat at one.
        window->unitsBox->setCurrentIndex(1);
        window->relativeBox->setChecked(true);
        QCOMPARE(window->referenceBox->currentText(), QStringLiteral("Water_liquid.psp"));
        QVERIFY(window->reference());
        QVERIFY(!window->logYBox->isChecked());
        QCOMPARE(window->plot->yAxis->scaleType(), QCPAxis::stLinear);
        const auto water = window->plot->graph(0)->data();
        QCOMPARE(water->size(), kRowCount);
        for (auto point = water->constBegin(); point != water->constEnd(); ++point)
            QCOMPARE(point->value, 1.0);
        QCOMPARE(window->plot->graph(2)->name(),
                 QStringLiteral("POLYMETHYL METHACRALATE (LUCITE, PERSPEX, PLEXIGLASS)"));

        window->showReadout(150);
        QVERIFY2(window->readout->text().contains(QStringLiteral("PLEXIGLASS): 1.1583")),
                 qPrintable(window->readout->text()));
        QVERIFY(window->readout->text().contains(QStringLiteral("ALUMINUM: 2.")));

        QTemporaryDir dir;
        const QString svg = dir.filePath(QStringLiteral("plot.svg")),
                      pdf = dir.filePath(QStringLiteral("plot.pdf")),
                      csv = dir.filePath(QStringLiteral("values.csv"));
        {
            SaveAnswer answer(svg);
            window->savePlot();
            answer.path = pdf;
            window->savePlot();
            answer.path = csv;
            window->saveValues();
        }
        QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join(QLatin1Char('\n'))));

        // SVG: white for print, every legend name as text, the pointer line left out.
        const QByteArray drawing = readAll(svg);
        QVERIFY(drawing.contains("<svg"));
        QVERIFY(drawing.contains("fill=\"#ffffff\""));
        QVERIFY(!drawing.contains("fill=\"#101420\""));
        QVERIFY(drawing.contains("ALUMINUM"));
        QVERIFY(drawing.contains("relative to WATER, LIQUID"));
        const QByteArray document = readAll(pdf);
        QVERIFY(document.startsWith("%PDF"));
        QCOMPARE(document.count("/Type /Page\n") + document.count("/Type /Page\r"), 1);

        const QList<QByteArray> lines = readAll(csv).split('\n');
        QCOMPARE(lines.value(0), QByteArray("# Total stopping power relative to WATER, LIQUID"));
        QCOMPARE(lines.value(1),
                 QByteArray("Energy (MeV),\"WATER, LIQUID\",ALUMINUM,"
                            "\"POLYMETHYL METHACRALATE (LUCITE, PERSPEX, PLEXIGLASS)\""));
        QCOMPARE(lines.size(), 2 + kRowCount + 1); // the last line ends too
        const auto row150 = std::find_if(lines.begin(), lines.end(), [](const QByteArray &line) {
            return line.startsWith("150,");
        });
        QVERIFY(row150 != lines.end());
        const QList<QByteArray> fields = row150->split(',');
        QCOMPARE(fields.value(1), QByteArray("1"));
        QVERIFY(qAbs(fields.value(3).toDouble() - 1.1583) < 5e-5);

        // Screen colours kept on request.
        window->screenColoursBox->setChecked(true);
        {
            SaveAnswer answer(svg);
            window->savePlot();
        }
        QVERIFY(readAll(svg).contains("fill=\"#101420\""));
    }

    // Okabe-Ito's eight colours, then the same colours dashed; black is
    // white on the dark screen and black on paper.
    void curvesPastThePaletteAreDashed()
    {
        CompareWindow window(test::bundledDataDirectory());
        for (int i = 0; i < 9; ++i)
            window.setChosen(window.materialList->item(i)->text().toStdString(), true);
        QCOMPARE(window.plot->graphCount(), 9);
        QCPGraph *first = window.plot->graph(0), *black = window.plot->graph(7),
                 *ninth = window.plot->graph(8);
        QCOMPARE(ninth->pen().color(), first->pen().color());
        QCOMPARE(first->pen().style(), Qt::SolidLine);
        QCOMPARE(ninth->pen().style(), Qt::DashLine);
        QCOMPARE(black->pen().color(), QColor(Qt::white));
        QSet<QRgb> colours;
        for (int i = 0; i < 8; ++i)
            colours << window.plot->graph(i)->pen().color().rgb();
        QCOMPARE(colours.size(), 8);

        QImage onPaper;
        {
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            QVERIFY(window.writePlot(png, CompareFileFormat::Png));
            QVERIFY(onPaper.loadFromData(png.data(), "PNG"));
        }
        QCOMPARE(onPaper.pixelColor(2, 2), QColor(Qt::white));
        QCOMPARE(black->pen().color(), QColor(Qt::white)); // the screen's again

        window.copyValues();
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(), window.valuesText());
    }

    void aRefusedFileIsNamedAndLeftUnticked()
    {
        test::TempDirectory data;
        data.write("Water_liquid.psp",
                   test::readBytes(materialPath(test::bundledDataDirectory(), "Water_liquid.psp")));
        data.write("Broken.psp", "title\nBROKEN\n1\n");
        test::WarningRecorder warnings;
        CompareWindow window(data.path());
        window.setChosen("Water_liquid.psp", true);
        window.setChosen("Broken.psp", true);
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY2(warnings.texts.first().contains(QStringLiteral("Broken.psp")),
                 qPrintable(warnings.texts.first()));
        QCOMPARE(window.chosenFiles(), std::vector<std::string>{"Water_liquid.psp"});
        QCOMPARE(window.plot->graphCount(), 1);

        // A reference that cannot be read leaves the plain values.
        window.referenceBox->setCurrentIndex(
            window.referenceBox->findText(QStringLiteral("Broken.psp")));
        window.relativeBox->setChecked(true);
        QCOMPARE(warnings.texts.size(), 2);
        QVERIFY(!window.relativeBox->isChecked());
        QVERIFY(!window.reference());
        QVERIFY(window.logYBox->isChecked());

        CompareWindow noFolder(data.path() / "absent");
        QCOMPARE(noFolder.materialList->count(), 0);
        QVERIFY2(noFolder.readout->text().contains(QStringLiteral("absent")),
                 qPrintable(noFolder.readout->text()));
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
