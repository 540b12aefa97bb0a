// SPDX-License-Identifier: MIT
// Quenrow benchmarks: the data folder, the application set up as ui/main.cpp
// does it, and order statistics.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include <time.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include "ui/look.h"

namespace quenrow::bench {

// Counts instructions only while one lives, when run under
// `valgrind --tool=callgrind --collect-atstart=no`; otherwise does nothing.
class Collect {
public:
    Collect() { toggle(); }
    ~Collect() { toggle(); }
    Collect(const Collect &) = delete;
    Collect &operator=(const Collect &) = delete;

private:
    static void toggle()
    {
#ifdef CALLGRIND_TOGGLE_COLLECT
        CALLGRIND_TOGGLE_COLLECT;
#endif
    }
};

inline std::filesystem::path dataDirectory()
{
    if (const char *dir = std::getenv("QUENROW_DATA_DIR"))
        return dir;
    return QUENROW_BENCH_DATA;
}

// Kept identical to ui/main.cpp, so fonts and style cost what they cost there.
inline void setUpApplication()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("Quenrow"));
    QApplication::setDesktopFileName(QStringLiteral("quenrow"));
    registerFontSubstitutions();
}

// The offscreen platform says so on every raise(); nothing else is dropped.
inline void quietOffscreenNotices()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (text != QLatin1String("This plugin does not support raise()"))
                previous(type, context, text);
        });
}

// Without a display the windows still exist and paint, on the offscreen platform.
inline void defaultToOffscreen()
{
    quietOffscreenNotices();
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// Nearest-rank percentile, p in (0, 100].
inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

inline double median(const std::vector<double> &values)
{
    if (values.empty())
        return NAN;
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// CLOCK_MONOTONIC, comparable across processes.
inline std::int64_t nowNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// CPU time of this process, to tell work from waiting.
inline std::int64_t cpuNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Sees every event the program handles. A paint counts as finished when the
// outermost event that caused it returns: by then the window's backing store
// has been painted and flushed to the platform, which is what a user sees.
class BenchApplication : public QApplication {
public:
    BenchApplication(int &argc, char **argv) : QApplication(argc, argv) {}

    // Starts watching for a paint of a widget for which `ready` holds.
    void watchPaint(std::function<bool(QObject *)> ready)
    {
        ready_ = std::move(ready);
        seen_ = false;
        done_ = false;
        doneAt_ = 0;
    }
    bool paintDone() const { return done_; }
    std::int64_t paintDoneAt() const { return doneAt_; }
    long paintEvents() const { return paintEvents_; }

    // Handles events, sleeping while there are none, until the watched paint
    // has finished or `timeoutMs` has passed.
    bool waitForPaint(int timeoutMs)
    {
        bool timedOut = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] { timedOut = true; });
        timer.start(timeoutMs);
        while (!done_ && !timedOut)
            processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        return done_;
    }

    // Lets the program settle (layouts, late repaints, deferred deletes)
    // outside any timed span.
    void settle(int ms)
    {
        sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bool over = false;
        QTimer::singleShot(ms, [&] { over = true; });
        while (!over)
            processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // With QUENROW_BENCH_TRACE set, each paint is listed: when it began
    // (from `origin`), how long it took, and what painted.
    void traceFrom(std::int64_t origin) { traceOrigin_ = origin; }
    void stopTrace() { traceOrigin_ = 0; }

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool paint = event->type() == QEvent::Paint;
        const std::int64_t began = paint && traceOrigin_ ? nowNs() : 0;
        ++depth_;
        const bool result = QApplication::notify(receiver, event);
        --depth_;
        if (paint) {
            ++paintEvents_;
            if (began)
                std::fprintf(stderr, "  paint at %8.3f ms  %7.3f ms  %s %s\n",
                             (began - traceOrigin_) / 1e6, (nowNs() - began) / 1e6,
                             receiver->metaObject()->className(),
                             qPrintable(receiver->objectName()));
            if (!seen_ && ready_ && ready_(receiver))
                seen_ = true;
        }
        if (seen_ && !done_ && depth_ == 0) {
            done_ = true;
            doneAt_ = nowNs();
        }
        return result;
    }

private:
    std::function<bool(QObject *)> ready_;
    std::int64_t traceOrigin_ = 0;
    int depth_ = 0;
    bool seen_ = false;
    bool done_ = false;
    std::int64_t doneAt_ = 0;
    long paintEvents_ = 0;
};

} // namespace quenrow::bench
