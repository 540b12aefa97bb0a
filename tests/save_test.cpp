// SPDX-License-Identifier: MIT
// Saving the plot and the table as files, driven through the windows.
#include <charconv>

#include <QAction>
#include <QListWidget>
#include <QXmlStreamReader>
#include <QtTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <unistd.h>

#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"
#include "ui/plot/plot_file.h"
#include "ui/save_file.h"

using namespace quenrow;
using test::TempDirectory;
using test::WarningRecorder;

namespace {

// While alive, every save is answered with `path` and `filter` (the first
// one offered when empty), and what was proposed is kept.
struct SaveAnswer {
    explicit SaveAnswer(QString answer, QString chosenFilter = {})
        : path(std::move(answer)), filter(std::move(chosenFilter))
    {
        previous = setSaveNameChooser([this](QWidget *, const QString &, const QString &offered,
                                             const QStringList &filters, QString *selected) {
            proposed << offered;
            if (!filter.isEmpty())
                *selected = filters.filter(filter).value(0);
            return path;
        });
    }
    ~SaveAnswer() { setSaveNameChooser(previous); }
    QString path, filter;
    QStringList proposed;
    SaveNameChooser previous;
};

// While alive, this thread is held to file permissions even as root.
class PermissionsApply {
public:
    PermissionsApply()
    {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header_, reduced);
    }
    ~PermissionsApply() { syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

QAction *action(QWidget *widget, const QString &text)
{
    for (QAction *a : widget->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<std::string> fields(const std::string &line, const char *separators)
{
    std::vector<std::string> out;
    for (auto at = line.find_first_not_of(separators); at != std::string::npos;) {
        const auto end = std::min(line.find_first_of(separators, at), line.size());
        out.push_back(line.substr(at, end - at));
        at = line.find_first_not_of(separators, end);
    }
    return out;
}

} // namespace

class SaveTest : public QObject {
    Q_OBJECT

    TempDirectory dir;
    QString folder = QString::fromStdString(dir.path().string());

    std::unique_ptr<Form1> water(WarningRecorder &warnings)
    {
        auto form = std::make_unique<Form1>(test::bundledDataDirectory());
        [&] { QVERIFY(test::loadFile(*form, QStringLiteral("Water_liquid.psp"))); }();
        [&] { QVERIFY(warnings.texts.isEmpty()); }();
        return form;
    }

    void showMarkers(Form1 &form)
    {
        form.Text3->setText(QStringLiteral("10"));
        QTest::keyClick(form.Text3, Qt::Key_Return);
    }

private slots:
    void initTestCase() { registerFontSubstitutions(); }

    void svgHoldsTheCurvesTheLegendAndTheVisibleMarkers_data()
    {
        QTest::addColumn<bool>("markers");
        QTest::newRow("markers shown") << true;
        QTest::newRow("markers hidden") << false;
    }
    void svgHoldsTheCurvesTheLegendAndTheVisibleMarkers()
    {
        QFETCH(bool, markers);
        WarningRecorder warnings;
        auto form = water(warnings);
        if (markers)
            showMarkers(*form);
        SaveAnswer answer(folder + QStringLiteral("/plot.svg"));
        form->plotWindow()->savePlot();
        QVERIFY(warnings.texts.isEmpty());

        // Stroke colour and width are set on the enclosing groups.
        QXmlStreamReader svg(contents(answer.path));
        QList<QPair<QString, QString>> stroke{{QString(), QString()}};
        QStringList curves, texts;
        int markerLines = 0;
        while (!svg.atEnd()) {
            svg.readNext();
            if (svg.isEndElement())
                stroke.removeLast();
            if (!svg.isStartElement())
                continue;
            const auto attributes = svg.attributes();
            const auto inherited = stroke.last();
            stroke.append({attributes.hasAttribute("stroke") ? attributes.value("stroke").toString()
                                                              : inherited.first,
                           attributes.hasAttribute("stroke-width")
                               ? attributes.value("stroke-width").toString()
                               : inherited.second});
            const QString name = svg.name().toString();
            if (name == "path" && attributes.value("d").count(u'L') >= kRowCount - 1)
                curves << stroke.last().first;
            if ((name == "polyline" || name == "path") && stroke.last() == qMakePair(QString("#ffff00"), QString("1")))
                ++markerLines;
            if (name == "text") {
                texts << svg.readElementText(); // consumes its end
                stroke.removeLast();
            }
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QCOMPARE(curves, QStringList({"#ff0000", "#ffff00", "#ffffff"}));
        QCOMPARE(markerLines, markers ? 2 : 0);
        for (const char *legend : {"Stopping Power", "Electronic", "(Collision)", "Nuclear", "Total"})
            QVERIFY2(texts.contains(legend), legend);
    }

    void svgTitleIsTheCaptionEvenWithMarkupInTheName()
    {
        WarningRecorder warnings;
        TempDirectory data;
        test::MaterialText text = test::MaterialText::fromBundled();
        text.name = "<b>A & B</b>";
        data.write("odd.psp", text.str());
        Form1 form(data.path());
        QVERIFY(test::loadFile(form, QStringLiteral("odd.psp")));
        SaveAnswer answer(folder + QStringLiteral("/odd.svg"));
        form.plotWindow()->savePlot();
        QXmlStreamReader svg(contents(answer.path));
        while (svg.readNextStartElement() && svg.name() != QLatin1String("title"))
            ;
        const QString title = svg.readElementText();
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QCOMPARE(title, form.plotWindow()->windowTitle().trimmed());
        QVERIFY(title.contains(QStringLiteral("<b>A & B</b>")));
    }

    void pdfHasOnePage()
    {
        WarningRecorder warnings;
        auto form = water(warnings);
        SaveAnswer answer(folder + QStringLiteral("/plot.pdf"));
        form->plotWindow()->savePlot();
        const QByteArray pdf = contents(answer.path);
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1);
        QVERIFY(warnings.texts.isEmpty());
    }

    void pngIsTheWindowsPlotAtTwiceTheDensity()
    {
        WarningRecorder warnings;
        auto form = water(warnings);
        showMarkers(*form);
        PictureBox *box = form->plotWindow()->Picture1;
        const qreal ratio = box->devicePixelRatio();
        const QImage shown = box->grab(QRect(PictureBox::kBorder, PictureBox::kBorder,
                                             PictureBox::kInner, PictureBox::kInner))
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(plotImage(form->materialTable(), *box, ratio), shown);

        SaveAnswer answer(folder + QStringLiteral("/plot.png"));
        form->plotWindow()->savePlot();
        QImage saved(answer.path);
        saved.setDevicePixelRatio(2 * ratio);
        QCOMPARE(saved.size(), QSize(525, 525) * 2 * ratio);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 plotImage(form->materialTable(), *box, 2 * ratio));
    }

    void tableFileReadsBackAsTheDataFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("separator");
        QTest::newRow("csv") << "table.csv" << "" << "table.csv" << ",";
        QTest::newRow("txt") << "table.txt" << "" << "table.txt" << "\t";
        QTest::newRow("tsv") << "table.TSV" << "CSV" << "table.TSV" << "\t";
        QTest::newRow("by the filter") << "table" << "Tab" << "table.txt" << "\t";
    }
    void tableFileReadsBackAsTheDataFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QFETCH(QString, separator);
        WarningRecorder warnings;
        auto form = water(warnings);
        SaveAnswer answer(folder + '/' + name, filter);
        action(form->List1, QStringLiteral("Save table as..."))->trigger();
        QVERIFY(warnings.texts.isEmpty());

        const QStringList lines = QString(contents(folder + '/' + saved)).split('\n');
        QCOMPARE(lines.size(), 1 + 1 + kRowCount + 1);
        QCOMPARE(lines[0], QStringLiteral("# WATER, LIQUID, density 1 g/cm3"));
        QCOMPARE(lines[1].split(separator).size(), 6);
        QVERIFY(lines[1].startsWith(QStringLiteral("Energy (MeV)") + separator));
        const auto dataFile =
            QString::fromStdString(test::readBytes(test::bundledDataDirectory() / "Water_liquid.psp"))
                .split(QStringLiteral("\r\n"));
        const MaterialTable &table = form->materialTable();
        for (int k = 1; k <= kRowCount; ++k) {
            const auto row = fields(lines[k + 1].toStdString(), separator == "," ? "," : "\t");
            const auto written = fields(dataFile[k + 5].toStdString(), " ");
            const double expected[] = {table.energy[k],           table.stoppingPower[1][k],
                                       table.stoppingPower[2][k], table.stoppingPower[3][k],
                                       table.range[1][k],         table.range[2][k]};
            QCOMPARE(row.size(), std::size_t(6));
            for (std::size_t i = 0; i < 6; ++i) {
                double value = 0;
                std::from_chars(row[i].data(), row[i].data() + row[i].size(), value);
                QCOMPARE(value, expected[i]);
                QCOMPARE(row[i], written[i]);
            }
        }
    }

    void failedSaveWarnsOnceAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("name is a folder") << "folder";
        QTest::newRow("no such folder") << "missing";
    }
    void failedSaveWarnsOnceAndKeepsTheOldFile()
    {
        QFETCH(QString, problem);
        TempDirectory target;
        const QString root = QString::fromStdString(target.path().string());
        QString path = root + QStringLiteral("/Water_liquid.csv");
        target.write("Water_liquid.csv", "old");
        if (problem == "folder") {
            path = root + QStringLiteral("/sub.csv");
            QVERIFY(QDir(root).mkdir(QStringLiteral("sub.csv")));
        }
        if (problem == "missing")
            path = root + QStringLiteral("/nowhere/Water_liquid.csv");
        std::optional<PermissionsApply> heldToPermissions;
        if (problem == "read-only") {
            QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner));
            heldToPermissions.emplace();
            if (::faccessat(AT_FDCWD, target.path().c_str(), W_OK, AT_EACCESS) == 0)
                QSKIP("cannot make a folder read-only here");
        }
        WarningRecorder warnings;
        auto form = water(warnings);
        SaveAnswer answer(path);
        action(form->List1, QStringLiteral("Save table as..."))->trigger();
        heldToPermissions.reset();
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY2(warnings.texts[0].contains(path), qPrintable(warnings.texts[0]));
        QCOMPARE(test::readBytes(target.path() / "Water_liquid.csv"), std::string("old"));
        const QStringList left = QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(left, problem == "folder" ? QStringList({"sub.csv", "Water_liquid.csv"})
                                           : QStringList({"Water_liquid.csv"}));
    }

    void proposedNamesFollowTheDataFileAndTheFolderSavedTo()
    {
        WarningRecorder warnings;
        auto form = water(warnings);
        SaveAnswer answer(folder + QStringLiteral("/elsewhere.csv"));
        action(form->List1, QStringLiteral("Save table as..."))->trigger();
        form->plotWindow()->savePlot();
        QCOMPARE(answer.proposed.size(), 2);
        QCOMPARE(QFileInfo(answer.proposed[0]).fileName(), QStringLiteral("Water_liquid.csv"));
        QCOMPARE(answer.proposed[1], folder + QStringLiteral("/Water_liquid.svg"));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/elsewhere.csv")));
    }

    void ctrlSSavesTheTableInTheListAndThePlotInItsWindow()
    {
        WarningRecorder warnings;
        auto form = water(warnings);
        SaveAnswer answer{QString()}; // cancelled
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->List1->setFocus();
        QTest::keyClick(form->List1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(QFileInfo(answer.proposed.value(0)).suffix(), QStringLiteral("csv"));
        Form2 *plot = form->plotWindow();
        plot->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(plot));
        QTest::keyClick(plot, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(QFileInfo(answer.proposed.value(1)).suffix(), QStringLiteral("svg"));
        QVERIFY(warnings.texts.isEmpty());
    }

    void kindFromTheEndingElseFromTheFilter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("format");
        const auto &kinds = plotFileKinds();
        QTest::newRow("ending wins") << "a.PDF" << kinds[0].filter << "a.PDF" << int(PlotFormat::Pdf);
        QTest::newRow("no ending") << "a" << kinds[2].filter << "a.png" << int(PlotFormat::Png);
        QTest::newRow("other ending") << "a.b" << kinds[0].filter << "a.b.svg" << int(PlotFormat::Svg);
        QTest::newRow("no filter") << "a" << QString() << "a.svg" << int(PlotFormat::Svg);
    }
    void kindFromTheEndingElseFromTheFilter()
    {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QFETCH(int, format);
        const SaveTarget target = saveTargetFor(path, filter, plotFileKinds());
        QCOMPARE(target.path, saved);
        QCOMPARE(int(target.kind), format);
    }
};

QTEST_MAIN(SaveTest)
#include "save_test.moc"
