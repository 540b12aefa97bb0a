// SPDX-License-Identifier: MIT
// Saving the plot and the table as files, driven through the windows.
#include <QXmlStreamReader>
#include <QtTest>

#include <csignal>
#include <fstream>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"
#include "ui/plot/plot_file.h"
#include "ui/save_file.h"

using namespace quenrow;
using test::TempDirectory;

namespace {

// While alive, every save is answered with `path` and the filter containing
// `filter` (the one proposed when empty); the names proposed are kept.
struct SaveAnswer {
    explicit SaveAnswer(QString answer, QString chosen = {}) : path(answer), filter(chosen)
    {
        previous = setSaveNameChooser([this](QWidget *, const QString &, const QString &offered,
                                             const QStringList &filters, QString *selected) {
            proposed << QFileInfo(offered).fileName();
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
struct PermissionsApply {
    PermissionsApply()
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct held[2] = {saved[0], saved[1]};
        held[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header, held);
    }
    ~PermissionsApply() { syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};

// While alive, no file of this process grows past 1000 bytes (EFBIG, as
// ENOSPC on a full disk); or, with `tmpfs`, a full 64 KiB tmpfs is mounted
// over `at` if this process may mount one. Either way with a file "old".
struct FullDisk {
    FullDisk(const std::filesystem::path &folder, bool tmpfs) : at(folder)
    {
        mounted = tmpfs && ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (tmpfs != mounted)
            return;
        std::ofstream(at / "old") << std::string(900, 'o');
        if (mounted) {
            for (std::ofstream filler(at / "filler"); filler << 'f' << std::flush;) {
            }
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit{1000, saved.rlim_max};
        limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FullDisk()
    {
        if (limited)
            setrlimit(RLIMIT_FSIZE, &saved);
        if (mounted)
            ::umount2(at.c_str(), MNT_DETACH);
    }
    std::filesystem::path at;
    rlimit saved{};
    bool mounted = false, limited = false;
};

QByteArray contents(const QString &path)
{
    return QByteArray::fromStdString(test::readBytes(path.toStdString()));
}

// Ctrl+S where the user presses it: in the table list, or in the plot window.
void pressCtrlS(QWidget *target)
{
    target->window()->show();
    target->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(target->window()));
    target->setFocus();
    QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
}

} // namespace

class SaveTest : public QObject {
    Q_OBJECT

    TempDirectory dir, data;
    QString folder = QString::fromStdString(dir.path().string());
    test::MaterialText water = test::MaterialText::fromBundled();
    test::WarningRecorder warnings;

    // A window with the bundled water table loaded under the name `name`.
    std::unique_ptr<Form1> loaded(const std::string &name = "WATER, LIQUID")
    {
        test::MaterialText text = water;
        text.name = name;
        data.write("Water_liquid.psp", text.str());
        auto form = std::make_unique<Form1>(data.path());
        [&] { QVERIFY(test::loadFile(*form, QStringLiteral("Water_liquid.psp"))); }();
        return form;
    }

private slots:
    void initTestCase() { registerFontSubstitutions(); }
    void init() { warnings.texts.clear(); }

    void svgHasTheCurvesTheLegendTheMarkersAndTheCaption()
    {
        auto form = loaded("<b>A & B</b>");
        form->Text3->setText(QStringLiteral("10"));
        QTest::keyClick(form->Text3, Qt::Key_Return); // shows both markers
        SaveAnswer answer(folder + QStringLiteral("/plot.svg"));
        pressCtrlS(form->plotWindow());
        QCOMPARE(answer.proposed, QStringList({"Water_liquid.svg"}));

        // The pen of each drawing stands on the group around it.
        QXmlStreamReader svg(contents(answer.path));
        QString stroke, width, title;
        QStringList curves, texts;
        int markers = 0;
        while (!svg.atEnd()) {
            if (svg.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto attributes = svg.attributes();
            if (svg.name() == u"g") {
                stroke = attributes.value("stroke").toString();
                width = attributes.value("stroke-width").toString();
            } else if (svg.name() == u"path" &&
                       attributes.value("d").count(u'L') == kRowCount - 1) {
                curves << stroke;
            } else if (svg.name() == u"polyline") {
                markers += stroke == "#ffff00" && width == "1";
            } else if (svg.name() == u"text") {
                texts << svg.readElementText();
            } else if (svg.name() == u"title") {
                title = svg.readElementText();
            }
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QCOMPARE(curves, QStringList({"#ff0000", "#ffff00", "#ffffff"}));
        QCOMPARE(markers, 2);
        for (const char *legend :
             {"Stopping Power", "Electronic", "(Collision)", "Nuclear", "Total"})
            QVERIFY2(texts.contains(legend), legend);
        QCOMPARE(title, form->plotWindow()->windowTitle().trimmed());
        QVERIFY(warnings.texts.isEmpty());
    }

    void pdfHasOnePageAndPngIsTheWindowsPlotAtTwiceItsDensity()
    {
        auto form = loaded();
        form->List1->setCurrentRow(40); // shows the vertical marker
        SaveAnswer answer(folder + QStringLiteral("/plot.pdf"));
        form->plotWindow()->savePlot();
        const QByteArray pdf = contents(answer.path);
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1);

        PictureBox *box = form->plotWindow()->Picture1;
        const qreal ratio = box->devicePixelRatio();
        QCOMPARE(plotImage(form->material()->table, *box, ratio),
                 box->grab(QRect(2, 2, 525, 525)).toImage().convertToFormat(QImage::Format_RGB32));
        answer.path = folder + QStringLiteral("/plot.png");
        form->plotWindow()->savePlot();
        QImage png(answer.path);
        png.setDevicePixelRatio(2 * ratio);
        QCOMPARE(png.convertToFormat(QImage::Format_RGB32),
                 plotImage(form->material()->table, *box, 2 * ratio));
        QVERIFY(warnings.texts.isEmpty());
    }

    void tableFileHoldsTheDataFilesValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::newRow("csv") << "t.csv"
                             << ""
                             << "t.csv";
        QTest::newRow("ending over filter") << "t.TSV"
                                            << "CSV"
                                            << "t.TSV";
        QTest::newRow("no ending: the filter's") << "t"
                                                 << "Tab"
                                                 << "t.txt";
    }
    void tableFileHoldsTheDataFilesValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        water.rows[0] = "1.000E-03 1.337E+02 4.315E+01 1.769E+02 n/a 2.878E-06 0.4555";
        water.rows[1] = "+1.50000E-03 1.638E+02 3.460E+01 1.984E+02 8.969E-06 4.400E-06 0.4906";
        auto form = loaded();
        SaveAnswer answer(folder + '/' + name, filter);
        pressCtrlS(form->List1);
        QCOMPARE(answer.proposed, QStringList({"Water_liquid.csv"}));
        const QString separator = saved.endsWith(QLatin1String(".csv")) ? "," : "\t";
        const QStringList lines = QString(contents(folder + '/' + saved)).split('\n');
        QCOMPARE(lines.size(), 2 + kRowCount + 1);
        QCOMPARE(lines[0], QStringLiteral("# WATER, LIQUID, density 1 g/cm3"));
        // Named as quenrow-lookup names its columns.
        QCOMPARE(lines[1].split(separator).first(), QStringLiteral("energy_MeV"));
        QCOMPARE(lines[1].split(separator).last(), QStringLiteral("detour_factor"));
        for (int k = 1; k <= kRowCount; ++k) {
            // The data file's texts of the seven values, where they read back as the values.
            QStringList expected =
                QString::fromStdString(water.rows[k - 1]).split(' ', Qt::SkipEmptyParts);
            if (k == 1)
                expected[4] = "NaN";
            QCOMPARE(lines[k + 1].split(separator), expected);
        }
        QVERIFY(warnings.texts.isEmpty());
    }

    void failedSaveWarnsOnceAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("read-only folder") << "Water_liquid.csv";
        QTest::newRow("name is a folder") << "folder.csv";
        QTest::newRow("no such folder") << "nowhere/Water_liquid.csv";
    }
    void failedSaveWarnsOnceAndKeepsTheOldFile()
    {
        QFETCH(QString, name);
        auto form = loaded();
        TempDirectory target;
        const QString root = QString::fromStdString(target.path().string());
        target.write("Water_liquid.csv", "old");
        QDir(root).mkdir(QStringLiteral("folder.csv"));
        std::optional<PermissionsApply> held;
        if (QTest::currentDataTag() == QLatin1String("read-only folder")) {
            QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner);
            held.emplace();
            if (::faccessat(AT_FDCWD, target.path().c_str(), W_OK, AT_EACCESS) == 0)
                QSKIP("cannot make a folder read-only here");
        }
        SaveAnswer answer(root + '/' + name);
        pressCtrlS(form->List1);
        held.reset();
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY2(warnings.texts[0].contains(answer.path), qPrintable(warnings.texts[0]));
        QCOMPARE(test::readBytes(target.path() / "Water_liquid.csv"), std::string("old"));
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"folder.csv", "Water_liquid.csv"}));
    }

    // The table's few kilobytes fail only in the last flush, which QSaveFile
    // does not report by itself; a drawing fails part way.
    void fullDiskKeepsTheOldFileAndLeavesNoNewOne_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("tmpfs");
        for (const char *name : {"csv", "tsv", "svg", "pdf", "png"}) {
            QTest::addRow("%s over an old file", name) << QString("old.") + name << false;
            QTest::addRow("%s, new file", name) << QString("new.") + name << false;
            QTest::addRow("%s on a full tmpfs", name) << QString("old.") + name << true;
        }
    }
    void fullDiskKeepsTheOldFileAndLeavesNoNewOne()
    {
        QFETCH(QString, name);
        QFETCH(bool, tmpfs);
        auto form = loaded();
        TempDirectory target;
        const QDir folder(QString::fromStdString(target.path().string()));
        SaveAnswer answer(folder.filePath(name));
        FullDisk disk(target.path(), tmpfs);
        if (tmpfs && !disk.mounted)
            QSKIP("cannot mount a tmpfs here");
        if (name.startsWith(QLatin1String("old")))
            QFile::rename(folder.filePath("old"), answer.path);
        const QStringList before = folder.entryList(QDir::Files);
        const QByteArray oldBytes = contents(answer.path);
        if (name.endsWith(QLatin1String("sv")))
            pressCtrlS(form->List1);
        else
            form->plotWindow()->savePlot();
        QCOMPARE(contents(answer.path), oldBytes);
        QCOMPARE(folder.entryList(QDir::Files), before);
        QCOMPARE(warnings.texts.size(), 1);
        const QString cause = tmpfs ? "No space left on device" : "File too large";
        QVERIFY2(warnings.texts[0].contains(answer.path) && warnings.texts[0].contains(cause),
                 qPrintable(warnings.texts[0]));
    }
};

QTEST_MAIN(SaveTest)
#include "save_test.moc"
