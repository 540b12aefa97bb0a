// SPDX-License-Identifier: MIT
// quenrow as a desktop starts it: --help and --version with no display,
// usage errors, a material file named at start loaded as GO loads one, and
// the menu's icons.
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"

namespace quenrow {

using test::Snapshot;
using test::TempDirectory;
using test::WarningRecorder;

class ProgramTest : public QObject {
    Q_OBJECT

    std::filesystem::path bundled = test::bundledDataDirectory();

private slots:
    void initTestCase() { registerFontSubstitutions(); }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display"); // false: no X, no Wayland, no QT_QPA_PLATFORM
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says"); // on standard output for 0, else on standard error
        const QString version = QStringLiteral("quenrow " QUENROW_VERSION "\n");
        QTest::newRow("--version") << QStringList{"--version"} << false << 0 << version;
        QTest::newRow("-V") << QStringList{"-V"} << false << 0 << version;
        QTest::newRow("--help") << QStringList{"--help"} << false << 0 << "Usage: quenrow";
        QTest::newRow("-h after a file")
            << QStringList{"Water_liquid.psp", "-h"} << false << 0 << "Usage: quenrow";
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << true << 2 << "quenrow: unknown option --bogus";
        QTest::newRow("two files")
            << QStringList{"a.psp", "b.psp"} << true << 2 << "quenrow: one material file at a time";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        if (display)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUENROW_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QByteArray out = program.readAllStandardOutput(),
                         err = program.readAllStandardError();
        QVERIFY2(QString::fromLocal8Bit(exitCode == 0 ? out : err).contains(says), out + err);
        QVERIFY2((exitCode == 0 ? err : out).isEmpty(), out + err);
    }

    void fileOutsideTheDataFolderLoadsAsGoDoes()
    {
        TempDirectory elsewhere;
        const auto file =
            elsewhere.write("my water.psp", test::readBytes(bundled / "Water_liquid.psp"));
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        QVERIFY(form.loadFile(file));
        QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n')));
        QCOMPARE(QString::fromStdString(form.material()->name()), QStringLiteral("WATER, LIQUID"));
        QCOMPARE(form.List1->count(), kRowCount);
        QVERIFY(form.Text3->isEnabled());
        QVERIFY(form.plotWindow() && form.plotWindow()->isVisible());
        QVERIFY(form.plotWindow()->windowTitle().contains(QStringLiteral("WATER, LIQUID")));
    }

    void refusedFileWarnsAndKeepsWhatWasShown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: no such file
        QTest::addColumn<bool>("loadedBefore");
        const QByteArray truncated =
            QByteArray::fromStdString(test::readBytes(bundled / "Water_liquid.psp").substr(0, 400));
        QTest::newRow("missing, empty window") << "gone.psp" << QByteArray() << false;
        QTest::newRow("truncated, empty window") << "short.psp" << truncated << false;
        QTest::newRow("truncated, water loaded") << "short.psp" << truncated << true;
    }
    void refusedFileWarnsAndKeepsWhatWasShown()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loadedBefore);
        TempDirectory elsewhere;
        const auto file = bytes.isEmpty()
                              ? elsewhere.path() / name.toStdString()
                              : elsewhere.write(name.toStdString(), bytes.toStdString());
        WarningRecorder warnings;
        Form1 form(bundled);
        form.show();
        if (loadedBefore)
            QVERIFY(form.loadFile(bundled / "Water_liquid.psp"));
        const Snapshot before = Snapshot::of(form);
        QVERIFY(!form.loadFile(file));
        QCOMPARE(warnings.texts.size(), 1);
        QVERIFY2(warnings.texts.first().contains(name), qPrintable(warnings.texts.first()));
        QVERIFY(Snapshot::of(form) == before);
        QCOMPARE(form.plotWindow() != nullptr, loadedBefore);
    }

    void iconsAreTheirSizeAndRed_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void iconsAreTheirSizeAndRed()
    {
        QFETCH(int, size);
        const QImage icon(QStringLiteral(QUENROW_ICONS "/quenrow-%1.png").arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
        // The pennant: a transparent corner, and red cloth, never all black.
        QCOMPARE(icon.pixelColor(size - 1, size - 1).alpha(), 0);
        int red = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = icon.pixelColor(x, y);
                red += c.alpha() == 255 && c.red() > 200 && c.green() < 60 && c.blue() < 60;
            }
        QVERIFY2(red > size * size / 8, qPrintable(QString::number(red)));
    }
};

} // namespace quenrow

QTEST_MAIN(quenrow::ProgramTest)
#include "program_test.moc"
