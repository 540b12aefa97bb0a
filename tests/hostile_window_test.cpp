// SPDX-License-Identifier: MIT
// The hostile corpus through the main window, in one session as a user would
// meet it: each file previewed and loaded after a good one. A refusal warns,
// names the cause and leaves everything as it was; a load shows the stated
// table and the window stays usable.
#include <array>
#include <charconv>
#include <memory>
#include <variant>

#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <sys/stat.h>

#include "data/number_format.h"
#include "hostile_cases.h"
#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"
#include "ui/main/form1.h"
#include "ui/plot/form2.h"
#include "ui/plot/picture_box.h"

using namespace quenrow;
using quenrow::test::HostileCase;
using quenrow::test::Refusal;
using quenrow::test::Snapshot;
using quenrow::test::TempDirectory;
using quenrow::test::WarningRecorder;

namespace fs = std::filesystem;

namespace {

const char *const kGood = "000-good.psp";

// Selects `name` as a click would, even when that entry is already highlighted
// in the list the other one was not chosen from.
bool choose(Form1 &form, const std::string &name)
{
    form.File1->clearSelection();
    form.File2->clearSelection();
    return quenrow::test::selectFile(form, QString::fromStdString(name));
}

QString warningFor(const ReadError &error)
{
    return QString::fromStdString(describe(error));
}

// What a user saw of a real warning box.
struct SeenBox {
    QString text, details;
    Qt::TextFormat format = Qt::AutoText;
    bool fitsTheScreen = false;
};

// Runs `action` with the real warning boxes; each one is looked at and
// closed with its OK button, as a user would.
QList<SeenBox> realBoxesDuring(const std::function<void()> &action)
{
    QList<SeenBox> seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const QRect screen = box->screen()->availableGeometry();
        seen << SeenBox{box->text(), box->detailedText(), box->textFormat(),
                        screen.contains(box->frameGeometry())};
        box->button(QMessageBox::Ok)->click();
    });
    timer.start();
    action();
    return seen;
}

// The text a tooltip shows, read as Qt reads it.
QString shownToolTip(const QString &tip)
{
    QTextDocument document;
    if (Qt::mightBeRichText(tip))
        document.setHtml(tip);
    else
        document.setPlainText(tip);
    return document.toPlainText();
}

} // namespace

class HostileWindowTest : public QObject {
    Q_OBJECT

    Material base;

    // A load of the good file, with a row picked so both boxes show values.
    void loadGood(Form1 &form, WarningRecorder &warnings)
    {
        warnings.texts.clear();
        QVERIFY(choose(form, kGood));
        form.Command2->click();
        QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n')));
        QCOMPARE(form.List1->count(), kRowCount);
        form.Text3->setText(QStringLiteral("5"));
        QTest::keyClick(form.Text3, Qt::Key_Return);
        form.List1->setCurrentRow(40);
        QVERIFY(!form.Text4->text().isEmpty());
        QVERIFY(form.plotWindow()->Line1().isVisible() && form.plotWindow()->Line2().isVisible());
    }

    void checkWarning(const QStringList &texts, const ReadError &error, const Refusal &expected,
                      const std::string &file, const char *stage)
    {
        const QString where = QString::fromStdString(file) + QLatin1String(": ") +
                              QLatin1String(stage) + QLatin1String(": ") + texts.join('\n');
        QVERIFY2(texts.size() == 1, qPrintable(where));
        QCOMPARE(texts[0], warningFor(error));
        QVERIFY2(error.cause == expected.cause, qPrintable(where));
        QVERIFY2(texts[0].contains(QString::fromStdString(file)), qPrintable(where));
        QVERIFY2(texts[0].contains(QString::fromUtf8(
                     quenrow::test::causeWords(expected.cause).data(),
                     static_cast<qsizetype>(quenrow::test::causeWords(expected.cause).size()))),
                 qPrintable(where));
    }

    void tryCase(Form1 &form, WarningRecorder &warnings, const fs::path &dir, const HostileCase &c)
    {
        const fs::path file = dir / c.file;
        const QString name = QString::fromStdString(c.file);
        const Snapshot before = Snapshot::of(form);

        warnings.texts.clear();
        QVERIFY2(choose(form, c.file), qPrintable(name + QLatin1String(" is not listed")));
        if (c.header) {
            const auto header = readMaterialHeader(file);
            QVERIFY2(std::holds_alternative<ReadError>(header), qPrintable(name));
            checkWarning(warnings.texts, std::get<ReadError>(header), *c.header, c.file, "preview");
            // The preview names the file GO would load.
            QCOMPARE(form.Text1->text(), fileText(c.file));
            const bool density = c.header->cause == ReadFailure::NotANumber;
            QCOMPARE(form.Text2->text(),
                     density ? QStringLiteral("ρ= not a number") : QStringLiteral("ρ= ?"));
        } else {
            QVERIFY2(warnings.texts.isEmpty(), qPrintable(name + ": " + warnings.texts.join('\n')));
            Material expected = base;
            if (c.adjust)
                c.adjust(expected.table, expected.density);
            QCOMPARE(form.Text1->text(), fileText(expected.table.name));
            QVERIFY2(form.Text2->text().contains(
                         QString::fromStdString(formatGeneral(expected.density)) + " g/cm3"),
                     qPrintable(name + ": " + form.Text2->text()));
        }

        // A preview changes its two boxes and nothing else.
        const Snapshot previewed = Snapshot::of(form);
        Snapshot onlyBoxes = before;
        onlyBoxes.text1 = previewed.text1;
        onlyBoxes.text2 = previewed.text2;
        QVERIFY2(previewed == onlyBoxes, qPrintable(name + ": the preview changed more"));
        warnings.texts.clear();
        form.Command2->click();
        if (c.load) {
            const auto result = loadMaterial(file);
            QVERIFY2(std::holds_alternative<ReadError>(result), qPrintable(name));
            checkWarning(warnings.texts, std::get<ReadError>(result), *c.load, c.file, "GO");
            QVERIFY2(Snapshot::of(form) == previewed, qPrintable(name + " changed the window"));
            return;
        }

        QVERIFY2(warnings.texts.isEmpty(), qPrintable(name + ": " + warnings.texts.join('\n')));
        const Material stated = quenrow::test::expectedLoad(c, base, file);
        QVERIFY2(form.material()->table == stated.table, qPrintable(name));
        QCOMPARE(form.List1->count(), kRowCount);
        QVERIFY(form.plotWindow());
        QVERIFY2(form.plotWindow()->windowTitle().contains(fileText(stated.table.name)),
                 qPrintable(name));
        // The loaded table is usable: typed energies (one exactly a row's, where
        // the interpolation weight is 0), the first and the last row.
        std::array<char, 32> exact{};
        std::to_chars(exact.data(), exact.data() + exact.size() - 1, stated.table.energy[86]);
        for (const char *typed : {"0.001", "1", static_cast<const char *>(exact.data()), "10000"}) {
            form.Text3->setText(QString::fromLatin1(typed));
            QTest::keyClick(form.Text3, Qt::Key_Return);
            const QString shown = name + QLatin1String(" at ") + QLatin1String(typed) +
                                  QLatin1String(": ") + form.Text4->text() +
                                  warnings.texts.join('\n');
            // No value is a warning; a value is a number.
            QVERIFY2(warnings.texts.isEmpty() ? !form.Text4->text().isEmpty()
                                              : form.Text4->text().isEmpty(),
                     qPrintable(shown));
            QVERIFY2(!form.Text4->text().contains(QLatin1String("NaN")), qPrintable(shown));
            warnings.texts.clear();
        }
        form.List1->setCurrentRow(0);
        form.List1->setCurrentRow(kRowCount - 1);
        QVERIFY(!form.Text4->text().isEmpty());
        loadGood(form, warnings);
    }

private slots:
    void initTestCase()
    {
        registerFontSubstitutions();
        auto result =
            loadMaterial(quenrow::test::bundledDataDirectory() / quenrow::test::kHostileBase);
        QVERIFY(std::holds_alternative<MaterialPtr>(result));
        base = *std::get<MaterialPtr>(std::move(result));
    }

    void everyHostileFileIsRefusedOrLoadsAndTheWindowKeepsGoing()
    {
        TempDirectory dir;
        fs::copy_file(quenrow::test::bundledDataDirectory() / "Water_liquid.psp",
                      dir.path() / kGood);
        const auto committed = quenrow::test::committedHostileCases();
        for (const auto &c : committed)
            fs::copy_file(quenrow::test::hostileDirectory() / c.file, dir.path() / c.file);
        const auto made = quenrow::test::madeHostileCases();
        for (const auto &m : made) {
            if (m.afterListing)
                fs::copy_file(dir.path() / kGood, dir.path() / m.expected.file);
            else
                m.make(dir.path());
        }

        WarningRecorder warnings;
        Form1 form(dir.path());
        QCoreApplication::processEvents();
        QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n')));
        loadGood(form, warnings);
        if (QTest::currentTestFailed())
            return;
        // What changes between listing and clicking.
        for (const auto &m : made)
            if (m.afterListing) {
                fs::remove(dir.path() / m.expected.file);
                m.make(dir.path());
            }

        int loaded = 0, refused = 0;
        for (const auto &c : committed) {
            tryCase(form, warnings, dir.path(), c);
            if (QTest::currentTestFailed())
                return;
            ++(c.load ? refused : loaded);
        }
        for (const auto &m : made) {
            tryCase(form, warnings, dir.path(), m.expected);
            if (QTest::currentTestFailed())
                return;
            ++(m.expected.load ? refused : loaded);
        }
        QVERIFY(refused >= 30);
        QVERIFY(loaded >= 10);

        // Still the same program: the good file loads as on the first day.
        auto good = loadMaterial(dir.path() / kGood);
        QVERIFY(std::holds_alternative<MaterialPtr>(good));
        QVERIFY(form.material()->table == std::get<MaterialPtr>(good)->table);
    }

    // Names and fields that look like markup, one pointing at a pipe with no
    // writer: the boxes and tooltips show them as text and never read it.
    void markupFromFilesIsShownAsText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("density");
        QTest::addColumn<QString>("quoted"); // what the warning must show
        // "%1" is the pipe's path with its slashes as character references.
        const QString pipeImage = QStringLiteral("<img\u00a0src=%1>");
        QTest::newRow("image of a pipe as the density")
            << "density-img.ps" << pipeImage << QString("\"<img\u00a0src=&#47;");
        QTest::newRow("image of a pipe as a name")
            << "<img src=%1>.ps" << QString() << QString("<img src=%1>.ps");
        QTest::newRow("huge image as a name") << "<img src=x width=30000 height=30000>.ps"
                                              << QString() << QString("width=30000 height");
        QTest::newRow("heading as a name") << "<h1 style=\"font-size:900px\">BIG.ps" << QString()
                                           << QString("<h1 style=\"font-size:900px\">BIG.ps");
        QTest::newRow("entity as a name") << "&lt;b&gt;x.ps" << QString() << "&lt;b&gt;x.ps";
    }

    void markupFromFilesIsShownAsText()
    {
        QFETCH(QString, file);
        QFETCH(QString, density);
        QFETCH(QString, quoted);
        TempDirectory dir;
        const fs::path pipe = dir.path() / "qf";
        QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
        const QString pipeRef = QString::fromStdString(pipe.string()).replace('/', "&#47;");
        file.replace(QLatin1String("%1"), pipeRef);
        quoted.replace(QLatin1String("%1"), pipeRef);
        fs::copy_file(quenrow::test::bundledDataDirectory() / "Water_liquid.psp",
                      dir.path() / kGood);
        // No density: every name here is refused at the preview and at GO.
        density.replace(QLatin1String("%1"), pipeRef);
        dir.write(file.toStdString(), "title\r\nNAME\r\n" + density.toUtf8().toStdString() +
                                          (density.isEmpty() ? "" : "\r\n"));
        Form1 form(dir.path());
        form.show();
        QListWidget *list = form.File1;
        const auto found = list->findItems(file, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);

        // The pointer rests on the entry.
        const QPoint at = list->visualItemRect(found[0]).center();
        QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &hover);
        QCOMPARE(shownToolTip(QToolTip::text()), file);
        QToolTip::hideText();

        const auto seen = realBoxesDuring([&] {
            list->setCurrentItem(found[0]);
            form.Command2->click(); // the next click is answered, again in plain text
        });
        QCOMPARE(seen.size(), 2);
        for (const SeenBox &box : seen) {
            QCOMPARE(box.format, Qt::PlainText);
            QVERIFY2(box.fitsTheScreen, qPrintable(box.text));
            // Less the breaks allowed in long runs, which only show as such.
            const QString shown = QString(box.text).remove(QChar(0x200B));
            QVERIFY2((box.details.isEmpty() ? shown : box.details).contains(quoted),
                     qPrintable(box.text));
        }
        QVERIFY(quenrow::test::selectFile(form, QString::fromLatin1(kGood)));
        QCOMPARE(form.Text1->text(), QStringLiteral("WATER, LIQUID"));
    }

    // A warning quoting a deep path is cut in the middle to fit the screen,
    // with the whole text in its details.
    void aLongWarningFitsTheScreen()
    {
        fs::path nowhere = fs::temp_directory_path();
        for (int i = 0; i < 40; ++i)
            nowhere /= std::string(90, char('a' + i % 26));
        std::unique_ptr<Form1> form;
        const auto seen = realBoxesDuring([&] {
            form = std::make_unique<Form1>(nowhere);
            QCoreApplication::processEvents();
        });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen[0].fitsTheScreen);
        QVERIFY(seen[0].text.contains(QChar(0x2026)));
        QVERIFY(seen[0].details.contains(QString::fromStdString(nowhere.string())));
    }

    void aFolderPresentAtStartIsNotListed()
    {
        TempDirectory dir;
        fs::copy_file(quenrow::test::bundledDataDirectory() / "Water_liquid.psp",
                      dir.path() / kGood);
        fs::create_directory(dir.path() / "x.ps");
        fs::create_directory(dir.path() / "y.psp");
        WarningRecorder warnings;
        Form1 form(dir.path());
        QCoreApplication::processEvents();
        QVERIFY(warnings.texts.isEmpty());
        QCOMPARE(form.File1->count(), 0);
        QCOMPARE(form.File2->count(), 1);
        QCOMPARE(form.File2->item(0)->text(), QString::fromLatin1(kGood));
    }
};

QTEST_MAIN(HostileWindowTest)
#include "hostile_window_test.moc"
