// SPDX-License-Identifier: MIT
// The program as ui/main.cpp starts it, plus a measurement, run as a fresh
// process by quenrow_e2e:
//   quenrow_session first-paint T0   exec (at CLOCK_MONOTONIC ns T0) to the
//                                    main window's first finished paint
//   quenrow_session load K           peak RSS after loading K materials in turn
// Kept out of the shipped program so it carries no benchmark hooks.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "session_support.h"
#include "ui/message.h"

using namespace quenrow;
using namespace quenrow::bench;

namespace {

long statusKb(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, length, key) == 0 && line.size() > length && line[length] == ':')
            return std::stol(line.substr(length + 1));
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::int64_t entered = nowNs();
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const long long argument = std::atoll(argv[2]);
    defaultToOffscreen();

    BenchApplication app(argc, argv);
    setUpApplication();
    const std::int64_t appReady = nowNs();
    int warnings = 0;
    setWarningHandler([&](QWidget *, const QString &text) {
        ++warnings;
        std::fprintf(stderr, "warning: %s\n", qPrintable(text));
    });

    Form1 form(dataDirectory());
    const std::int64_t formBuilt = nowNs();
    app.watchPaint([&form](QObject *painted) { return painted == &form; });
    form.show();
    const std::int64_t shown = nowNs();
    if (!app.waitForPaint(10000)) {
        std::fprintf(stderr, "the main window never painted\n");
        return 1;
    }

    if (mode == "first-paint") {
        const auto ms = [&](std::int64_t t) { return (t - argument) / 1e6; };
        // First the figure, then where the time went.
        std::printf("%.3f %.3f %.3f %.3f %.3f\n", ms(app.paintDoneAt()), ms(entered), ms(appReady),
                    ms(formBuilt), ms(shown));
        return warnings ? 1 : 0;
    }
    if (mode == "load") {
        for (long long i = 0; i < argument; ++i) {
            const char *file = kMaterials[i % kMaterialCount];
            if (!selectFile(form, file)) {
                std::fprintf(stderr, "%s is not listed\n", file);
                return 1;
            }
            app.settle(5);
            if (pressGo(app, form) < 0) {
                std::fprintf(stderr, "no plot for %s\n", file);
                return 1;
            }
            app.settle(5);
        }
        std::printf("%ld %ld\n", statusKb("VmHWM"), statusKb("VmRSS"));
        return warnings ? 1 : 0;
    }
    return 2;
}
