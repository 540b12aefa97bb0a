// SPDX-License-Identifier: MIT
// End-to-end benchmark: drives the real windows on whatever platform Qt
// has (an X display such as Xvfb, or offscreen when there is none).
//   quenrow_e2e startup [N]   exec to the main window's first finished paint,
//                             N fresh quenrow_session processes after one warm-up
//   quenrow_e2e go [N]        GO press to the plot window shown with the
//                             finished plot, window kept open between presses
//   quenrow_e2e go-new [N]    the same, with the plot window closed before each
//                             press so every press builds and maps a new one
//   quenrow_e2e go-row [N]    the same as go, with a table row selected before
//                             each press (boxes and markers showing it)
//   quenrow_e2e pointer [N]   pointer moves over the plot frame, each handled
//                             and repainted (plot, list, boxes) before the next
//   quenrow_e2e rss [K]       peak RSS of a fresh session after K loads
//   quenrow_e2e calc-key [N]  keystrokes in the calculator's energy box, each
//                             to its result block repainted
//   quenrow_e2e compare-choose [N]  in the compare window with 10 materials shown,
//                             a material added or the quantity switched, each
//                             to the plot repainted
//   quenrow_e2e compare-pointer [N] pointer moves over the compare plot with
//                             10 curves, each with its readout and line repainted
//   quenrow_e2e layers-key [N] keystrokes in a thickness of a 20-layer stack,
//                             each to the results table repainted
//   quenrow_e2e all           all of the above with the default counts
// Each figure is printed as one tab-separated line:
//   name  unit  n  median  p99  p10  min  max  [note]
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QLineEdit>
#include <qcustomplot.h>
#include <QTest>

#include "data/plot_geometry.h"
#include "session_support.h"
#include "ui/calc/calculator_window.h"
#include "ui/compare/compare_window.h"
#include "ui/layers/layers_window.h"
#include "ui/message.h"

using namespace quenrow;
using namespace quenrow::bench;

namespace {

std::string sibling(const char *name)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return name;
    self[n] = '\0';
    std::string path(self);
    return path.substr(0, path.rfind('/') + 1) + name;
}

// Runs quenrow_session with `args`; its one line of output, or "" on failure.
std::string runSession(const std::vector<std::string> &args, bool stampExec)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    // Everything allocated before fork(): the child only stamps and execs.
    std::string program = sibling("quenrow_session");
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    char stamp[32] = "";
    std::vector<char *> argv;
    for (auto &a : all)
        argv.push_back(a.data());
    if (stampExec)
        argv.push_back(stamp);
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        std::snprintf(stamp, sizeof stamp, "%lld", static_cast<long long>(nowNs()));
        ::execv(program.c_str(), argv.data()); // the process starts here
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, std::size_t(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return out;
}

void report(const char *name, const char *unit, const std::vector<double> &values,
            const std::string &note = {})
{
    if (values.empty()) {
        std::printf("%s\t%s\t0\tnan\tnan\tnan\tnan\tnan\tFAILED %s\n", name, unit, note.c_str());
        std::fflush(stdout);
        return;
    }
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    std::printf("%s\t%s\t%zu\t%.4g\t%.4g\t%.4g\t%.4g\t%.4g\t%s\n", name, unit, values.size(),
                median(values), percentile(values, 99), percentile(values, 10), *lo, *hi,
                note.c_str());
    std::fflush(stdout);
}

int benchStartup(int runs)
{
    const useconds_t kSettleUs = std::getenv("QUENROW_BENCH_SETTLE_US")
                                     ? useconds_t(std::atol(std::getenv("QUENROW_BENCH_SETTLE_US")))
                                     : 300000;
    std::vector<double> total, app, form, show;
    for (int i = 0; i <= runs; ++i) {
        // A user starts the program on a settled desktop: let the display
        // server finish with the last session before the next one starts.
        ::usleep(kSettleUs);
        // "first-paint" gets the exec time stamp appended as its T0.
        const std::string line = runSession({"first-paint"}, true);
        double t[5];
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf", &t[0], &t[1], &t[2], &t[3], &t[4]) !=
            5) {
            report("start_to_first_paint", "ms", {}, "session failed");
            return 1;
        }
        if (i == 0)
            continue; // warm-up: page cache, font cache
        total.push_back(t[0]);
        app.push_back(t[2]);
        form.push_back(t[3] - t[2]);
        show.push_back(t[0] - t[4]);
    }
    char note[160];
    std::snprintf(
        note, sizeof note,
        "medians: exec+QApplication %.1f ms, Form1 built %.1f ms, show to painted %.1f ms",
        median(app), median(form), median(show));
    report("start_to_first_paint", "ms", total, note);
    return 0;
}

int benchRss(int loads)
{
    const std::string line = runSession({"load", std::to_string(loads)}, false);
    long hwm = 0, rss = 0;
    if (std::sscanf(line.c_str(), "%ld %ld", &hwm, &rss) != 2) {
        report("peak_rss", "MB", {}, "session failed");
        return 1;
    }
    report("peak_rss", "MB", {hwm / 1024.0},
           "VmHWM after " + std::to_string(loads) + " loads; VmRSS then " +
               std::to_string(rss / 1024) + " MB");
    return 0;
}

struct Session {
    BenchApplication &app;
    Form1 form{dataDirectory()};
    QStringList warnings;

    explicit Session(BenchApplication &application) : app(application)
    {
        setWarningHandler([this](QWidget *, const QString &text) { warnings << text; });
        app.watchPaint([this](QObject *painted) { return painted == &form; });
        form.show();
        app.waitForPaint(10000);
        app.settle(20);
    }
    ~Session() { setWarningHandler(nullptr); }
};

enum class Before { Nothing, NewWindow, RowShown };

int benchGo(BenchApplication &app, int presses, Before before)
{
    Session session(app);
    const bool newWindow = before == Before::NewWindow;
    const char *name = newWindow                    ? "go_to_plot_new_window"
                       : before == Before::RowShown ? "go_to_plot_row_shown"
                                                    : "go_to_plot";
    constexpr int kWarmUp = 10;
    constexpr int kCycle = 4; // a few materials, alternately from either list
    std::vector<double> ms, cpuMs;
    for (int i = 0; i < kWarmUp + presses; ++i) {
        if (newWindow && session.form.plotWindow())
            session.form.plotWindow()->close();
        // As after reading the table: a row selected, the boxes and markers showing it.
        if (before == Before::RowShown && session.form.List1->count() > 60)
            session.form.List1->setCurrentRow(40 + i % 20);
        selectFile(session.form, kMaterials[i % kCycle]);
        app.settle(3);
        std::int64_t cpu = 0;
        std::int64_t ns = 0;
        {
            Collect collect;
            ns = pressGo(app, session.form, &cpu);
        }
        if (ns < 0) {
            report(name, "ms", {}, "the plot never painted");
            return 1;
        }
        if (i >= kWarmUp) {
            ms.push_back(ns / 1e6);
            cpuMs.push_back(cpu / 1e6);
        }
    }
    app.settle(3);
    if (!session.warnings.isEmpty()) {
        report(name, "ms", {}, "warning: " + session.warnings.first().toStdString());
        return 1;
    }
    char note[160];
    std::snprintf(note, sizeof note, "CPU %.2f ms median%s", median(cpuMs),
                  newWindow                    ? "; plot window closed before each press"
                  : before == Before::RowShown ? "; a table row shown before each press"
                                               : "");
    report(name, "ms", ms, note);
    return 0;
}

// Left to right and back across the frame on a wave, so both markers move
// and the row under the pointer changes every few moves.
std::vector<QPoint> pointerPath(int moves)
{
    const QPointF topLeft = PictureBox::toWidget(0, kFrameTop);
    const QPointF bottomRight = PictureBox::toWidget(kFrameRight, 0);
    constexpr int kPerSweep = 250;
    std::vector<QPoint> path;
    for (int i = 0; i < moves; ++i) {
        const int sweep = i / kPerSweep;
        double t = (i % kPerSweep) / double(kPerSweep - 1);
        if (sweep % 2)
            t = 1 - t;
        const double wave = 0.5 + 0.45 * std::sin(2 * M_PI * (1.5 * t + 0.25 * sweep));
        path.emplace_back(int(std::lround(topLeft.x() + t * (bottomRight.x() - topLeft.x()))),
                          int(std::lround(topLeft.y() + wave * (bottomRight.y() - topLeft.y()))));
    }
    return path;
}

int benchPointer(BenchApplication &app, int moves)
{
    Session session(app);
    selectFile(session.form, "Water_liquid.psp");
    app.settle(3);
    if (pressGo(app, session.form) < 0) {
        report("pointer_move", "us", {}, "the plot never painted");
        return 1;
    }
    app.settle(20);
    Form2 *plot = session.form.plotWindow();
    QWindow *window = plot->windowHandle();
    const auto toWindow = [&](QPoint p) { return plot->Picture1->mapTo(plot, p); };

    // Enter from outside the frame, then one untimed sweep.
    QTest::mouseMove(window, toWindow(QPoint(10, 10)));
    for (const QPoint &p : pointerPath(250))
        QTest::mouseMove(window, toWindow(p));
    app.settle(20);

    const bool trace = std::getenv("QUENROW_BENCH_TRACE") != nullptr;
    std::vector<double> us;
    long paints = 0, latePaints = 0;
    int rowChanges = 0;
    std::vector<double> rowChanged, rowKept; // the list's row changed with the move, or not
    std::vector<double> crosshair; // until the plot window's markers were painted and flushed
    int lastRow = session.form.List1->currentRow();
    for (const QPoint &p : pointerPath(moves)) {
        const QPoint at = toWindow(p);
        const long before = app.paintEvents();
        app.watchPaint([box = plot->Picture1](QObject *painted) { return painted == box; });
        const std::int64_t start = nowNs();
        if (trace)
            app.traceFrom(start);
        // Delivered as the platform delivers it, then the event loop runs
        // once: posted repaints are painted and flushed in there.
        {
            Collect collect;
            QTest::mouseMove(window, at);
        }
        const std::int64_t end = nowNs();
        if (trace) {
            app.stopTrace();
            std::fprintf(stderr, "move to (%d, %d): %.3f ms\n", p.x(), p.y(), (end - start) / 1e6);
        }
        us.push_back((end - start) / 1e3);
        if (app.paintDone())
            crosshair.push_back((app.paintDoneAt() - start) / 1e3);
        paints += app.paintEvents() - before;
        const long settled = app.paintEvents();
        QCoreApplication::processEvents();
        latePaints += app.paintEvents() - settled;
        if (session.form.List1->currentRow() != lastRow) {
            ++rowChanges;
            lastRow = session.form.List1->currentRow();
            rowChanged.push_back(us.back());
        } else {
            rowKept.push_back(us.back());
        }
    }
    app.settle(3);
    char note[200];
    std::snprintf(note, sizeof note,
                  "%.2f paint events a move, %ld left for later; list row changed on %d moves "
                  "(median %.0f us), kept on %zu (median %.0f us)",
                  double(paints) / moves, latePaints, rowChanges, median(rowChanged),
                  rowKept.size(), median(rowKept));
    if (!session.warnings.isEmpty()) {
        report("pointer_move", "us", {}, "warning: " + session.warnings.first().toStdString());
        return 1;
    }
    report("pointer_move", "us", us, note);
    // Qt paints the plot window first, then the main window's list and boxes.
    report("pointer_move_crosshair", "us", crosshair,
           std::to_string(crosshair.size()) + " of " + std::to_string(moves) +
               " moves repainted the markers");
    return 0;
}

// Typing "150" and taking it back again, over and over: every key changes
// the total the window shows (an emptied box clears it).
int benchCalculatorKey(BenchApplication &app, int keys)
{
    Session session(app);
    selectFile(session.form, "Water_liquid.psp");
    app.settle(3);
    if (pressGo(app, session.form) < 0) {
        report("calculator_key", "us", {}, "the plot never painted");
        return 1;
    }
    session.form.openCalculator();
    CalculatorWindow *calculator = session.form.calculatorWindow();
    QLabel *total = calculator->valueLabel(ResultRow::Total, 0);
    app.settle(50);

    constexpr Qt::Key kCycle[] = {Qt::Key_1,         Qt::Key_5,         Qt::Key_0,
                                  Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace};
    constexpr int kWarmUp = 60;
    const bool trace = std::getenv("QUENROW_BENCH_TRACE") != nullptr;
    std::vector<double> us;
    int missed = 0;
    for (int i = 0; i < kWarmUp + keys; ++i) {
        app.watchPaint([total](QObject *painted) { return painted == total; });
        const std::int64_t start = nowNs();
        if (trace)
            app.traceFrom(start);
        std::int64_t handled = 0;
        {
            Collect collect;
            QTest::keyClick(calculator->energyBox, kCycle[i % std::size(kCycle)]);
            handled = nowNs();
            if (!app.waitForPaint(1000))
                ++missed;
        }
        if (trace) {
            app.stopTrace();
            std::fprintf(stderr, "key %d: handled at %.3f ms, repainted at %.3f ms\n", i,
                         (handled - start) / 1e6, (app.paintDoneAt() - start) / 1e6);
        }
        if (i >= kWarmUp && app.paintDone())
            us.push_back((app.paintDoneAt() - start) / 1e3);
    }
    app.settle(3);
    if (!session.warnings.isEmpty() || missed) {
        report("calculator_key", "us", {},
               missed ? std::to_string(missed) + " keys never repainted the total"
                      : "warning: " + session.warnings.first().toStdString());
        return 1;
    }
    report("calculator_key", "us", us, "energy box of the calculator, WATER, LIQUID");
    return 0;
}

// The compare window with the first nine materials shown, and the tenth.
CompareWindow *openCompareWith(BenchApplication &app, Session &session)
{
    session.form.openCompare();
    auto *window = session.form.findChild<CompareWindow *>();
    for (int i = 0; i < kMaterialCount - 1; ++i)
        window->setChosen(kMaterials[i], true);
    app.settle(50);
    return window;
}

// Half the samples add the tenth material to nine (it is taken away again
// untimed), half switch the quantity with all ten shown.
int benchCompareChoose(BenchApplication &app, int changes)
{
    Session session(app);
    CompareWindow *window = openCompareWith(app, session);
    const char *tenth = kMaterials[kMaterialCount - 1];
    std::vector<double> added, switched;
    int missed = 0;
    const auto timed = [&](const std::function<void()> &change, std::vector<double> *into) {
        app.watchPaint([plot = window->plot](QObject *painted) { return painted == plot; });
        const std::int64_t start = nowNs();
        {
            Collect collect;
            change();
            if (!app.waitForPaint(1000))
                ++missed;
        }
        if (into && app.paintDone())
            into->push_back((app.paintDoneAt() - start) / 1e3);
    };
    for (int i = 0; i < 20 + changes; ++i) {
        const bool warm = i < 20;
        if (i % 2 == 0) {
            timed([&] { window->setChosen(tenth, true); }, warm ? nullptr : &added);
            timed([&] { window->setChosen(tenth, false); }, nullptr);
        } else {
            window->setChosen(tenth, true);
            app.settle(2);
            const int next =
                (window->quantityBox->currentIndex() + 1) % window->quantityBox->count();
            timed([&] { window->quantityBox->setCurrentIndex(next); }, warm ? nullptr : &switched);
            window->setChosen(tenth, false);
        }
        app.settle(2);
    }
    if (!session.warnings.isEmpty() || missed) {
        report("compare_choose", "us", {},
               missed ? std::to_string(missed) + " changes never repainted the plot"
                      : "warning: " + session.warnings.first().toStdString());
        return 1;
    }
    std::vector<double> all = added;
    all.insert(all.end(), switched.begin(), switched.end());
    char note[160];
    std::snprintf(note, sizeof note,
                  "10 materials; adding the tenth median %.0f us, switching the quantity %.0f us",
                  median(added), median(switched));
    report("compare_choose", "us", all, note);
    return 0;
}

// The pointer swept over the compare plot with ten curves: each move
// updates the readout of all ten and the pointer's line.
int benchComparePointer(BenchApplication &app, int moves)
{
    Session session(app);
    CompareWindow *window = openCompareWith(app, session);
    window->setChosen(kMaterials[kMaterialCount - 1], true);
    app.settle(50);
    QWindow *handle = window->windowHandle();
    const QRect frame = window->plot->axisRect()->rect();
    // Sweeps of 250 moves across the frame, a little up and down.
    const auto at = [&](int i) {
        const double t = (i % 250) / 249.0;
        const int x = frame.left() + 1 + int(std::lround(t * (frame.width() - 3)));
        return window->plot->mapTo(window, QPoint(x, frame.center().y() + (i % 7) - 3));
    };
    for (int i = 0; i < 250; ++i)
        QTest::mouseMove(handle, at(i));
    app.settle(20);
    std::vector<double> us;
    for (int i = 0; i < moves; ++i) {
        const QPoint p = at(i);
        const std::int64_t start = nowNs();
        {
            Collect collect;
            QTest::mouseMove(handle, p);
        }
        us.push_back((nowNs() - start) / 1e3);
        QCoreApplication::processEvents();
    }
    app.settle(3);
    if (!session.warnings.isEmpty()) {
        report("compare_pointer", "us", {}, "warning: " + session.warnings.first().toStdString());
        return 1;
    }
    report("compare_pointer", "us", us, "10 curves, readout and pointer line repainted");
    return 0;
}

// The second thickness of 20 layers typed as "1", "15", "1", ...: every key
// changes every result after that layer.
int benchLayersKey(BenchApplication &app, int keys)
{
    Session session(app);
    session.form.openLayers();
    LayersWindow *window = session.form.layersWindow();
    std::vector<WrittenLayer> layers;
    const char *files[] = {"013-Aluminum.ps", "Polymethyl_methacrylate.psp", "Water_liquid.psp",
                           "029-Copper.ps"};
    for (int i = 0; i < 20; ++i)
        layers.push_back({files[i % 4], {1, ThicknessUnit::Millimetre}, {}});
    window->setLayers(layers);
    window->beamBox->setText(QStringLiteral("150"));
    QLineEdit *thickness = window->thicknessBox(1); // its results are in view
    thickness->setText(QStringLiteral("1"));
    thickness->setFocus();
    thickness->end(false);
    QWidget *results = window->resultTable->viewport();
    app.settle(50);

    constexpr Qt::Key kCycle[] = {Qt::Key_5, Qt::Key_Backspace};
    constexpr int kWarmUp = 40;
    std::vector<double> us;
    int missed = 0;
    for (int i = 0; i < kWarmUp + keys; ++i) {
        app.watchPaint([results](QObject *painted) { return painted == results; });
        const std::int64_t start = nowNs();
        {
            Collect collect;
            QTest::keyClick(thickness, kCycle[i % std::size(kCycle)]);
            if (!app.waitForPaint(1000))
                ++missed;
        }
        if (i >= kWarmUp && app.paintDone())
            us.push_back((app.paintDoneAt() - start) / 1e3);
    }
    app.settle(3);
    if (!session.warnings.isEmpty() || missed || window->resultTable->rowCount() != 21) {
        report("layers_key", "us", {},
               (missed ? std::to_string(missed) + " keys never repainted the results: "
                       : std::string("no results or a warning: ")) +
                   window->messageLabel->text().toStdString());
        return 1;
    }
    report("layers_key", "us", us, "thickness of layer 2 of 20, 150 MeV");
    return 0;
}

int countArgument(int argc, char **argv, int fallback)
{
    return argc > 2 ? std::max(1, std::atoi(argv[2])) : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: %s startup|go|go-new|go-row|pointer|calc-key|layers-key|compare-choose|"
            "compare-pointer|rss|all [count]\n",
            argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "startup")
        return benchStartup(countArgument(argc, argv, 20));
    if (mode == "rss")
        return benchRss(countArgument(argc, argv, 10));

    defaultToOffscreen();
    BenchApplication app(argc, argv);
    setUpApplication();
    if (mode == "go")
        return benchGo(app, countArgument(argc, argv, 200), Before::Nothing);
    if (mode == "go-new")
        return benchGo(app, countArgument(argc, argv, 200), Before::NewWindow);
    if (mode == "go-row")
        return benchGo(app, countArgument(argc, argv, 200), Before::RowShown);
    if (mode == "pointer")
        return benchPointer(app, countArgument(argc, argv, 1000));
    if (mode == "calc-key")
        return benchCalculatorKey(app, countArgument(argc, argv, 600));
    if (mode == "compare-choose")
        return benchCompareChoose(app, countArgument(argc, argv, 200));
    if (mode == "compare-pointer")
        return benchComparePointer(app, countArgument(argc, argv, 1000));
    if (mode == "layers-key")
        return benchLayersKey(app, countArgument(argc, argv, 600));
    if (mode == "all") {
        int failed = 0;
        failed += benchGo(app, 200, Before::Nothing);
        failed += benchGo(app, 200, Before::NewWindow);
        failed += benchGo(app, 200, Before::RowShown);
        failed += benchPointer(app, 1000);
        failed += benchCalculatorKey(app, 600);
        failed += benchCompareChoose(app, 200);
        failed += benchComparePointer(app, 1000);
        failed += benchLayersKey(app, 600);
        failed += benchStartup(20);
        failed += benchRss(10);
        return failed ? 1 : 0;
    }
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
