// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <QApplication>
#include <QFile>
#include <QStyleFactory>
#include <QTimer>

#include "data/data_directory.h"
#include "ui/look.h"
#include "ui/main/form1.h"

namespace {

void printHelp()
{
    std::printf("Usage: quenrow [OPTION]... [FILE]\n"
                "Look up and plot the stopping power and range of protons in a material, from\n"
                "the NIST proton tables (PSTAR, NISTIR 4999).\n"
                "\n"
                "Select a material in one of the two lists, then GO (the green OK button): the\n"
                "table and the plot window show its electronic, nuclear and total stopping\n"
                "power, CSDA and projected range and detour factor at 132 energies. Type an\n"
                "energy for the interpolated total stopping power; Ctrl+L opens the calculator.\n"
                "\n"
                "With FILE, a material data file in the layout of the bundled tables (inside\n"
                "the data folder or anywhere else), Quenrow loads it at once, as GO does; a\n"
                "file it cannot read is named in a warning and the window starts empty.\n"
                "\n"
                "Options:\n"
                "  -h, --help     show this help and exit\n"
                "  -V, --version  show the version and exit\n"
                "Qt's own options (-style NAME, -platform NAME, ...) are understood as well.\n"
                "\n"
                "The tables are read from ./quenrow-data when the working directory has one,\n"
                "else from %s.\n"
                "quenrow-lookup gives the same numbers on the command line.\n",
                quenrow::installedDataDirectory().c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before Qt starts, so that they need no display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            printHelp();
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-V")) {
            std::printf("quenrow %s\n", QUENROW_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("Quenrow"));
    QApplication::setApplicationVersion(QStringLiteral(QUENROW_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quenrow"));
    quenrow::registerFontSubstitutions();

    // What Qt left over: at most one file, after "--" anything is a file.
    QStringList files;
    bool optionsEnd = false;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            std::fprintf(stderr, "quenrow: unknown option %s (see quenrow --help)\n",
                         argument.toLocal8Bit().constData());
            return 2;
        } else {
            files << argument;
        }
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "quenrow: one material file at a time (see quenrow --help)\n");
        return 2;
    }

    // ./quenrow-data when there is one, else the installed copy.
    quenrow::Form1 form(quenrow::findDataDirectory());
    form.show();
    if (!files.isEmpty()) {
        const std::filesystem::path file(QFile::encodeName(files.first()).toStdString());
        // Once the window is up, so that a warning has something to stand on.
        QTimer::singleShot(0, &form, [&form, file] { form.loadFile(file); });
    }
    return app.exec();
}
