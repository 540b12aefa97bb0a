// SPDX-License-Identifier: MIT
// Quenrow benchmarks: driving the main window as a user would.
#pragma once

#include <QListWidget>
#include <QPushButton>

#include "bench_support.h"
#include "ui/main/form1.h"
#include "ui/plot/form2.h"

namespace quenrow::bench {

// Materials from both lists, light and heavy, as a user might try them.
inline const char *const kMaterials[] = {
    "Water_liquid.psp", "001-Hydrogen.ps",          "Air_dry.psp",     "082-Lead.ps",
    "006-Carbon.ps",    "Bone_compact_ICRU.psp",    "013-Aluminum.ps", "Polyethylene.psp",
    "092-Uranium.ps",   "Muscle_skeletal_ICRP.psp",
};
inline constexpr int kMaterialCount = int(std::size(kMaterials));

// Highlights `fileName` in whichever list shows it, as a click would.
inline bool selectFile(Form1 &form, const char *fileName)
{
    for (QListWidget *list : {form.File1, form.File2}) {
        const auto found = list->findItems(QString::fromLatin1(fileName), Qt::MatchExactly);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.first());
            return true;
        }
    }
    return false;
}

// Watches for the plot window's picture to paint a plot drawn since now: a
// new picture box, or a changed image, rules out a repaint of the old plot.
inline void watchForNewPlot(BenchApplication &app, Form1 &form)
{
    Form2 *before = form.plotWindow();
    const QObject *boxBefore = before ? before->Picture1 : nullptr;
    const qint64 keyBefore = before ? before->Picture1->image().cacheKey() : 0;
    app.watchPaint([&form, boxBefore, keyBefore](QObject *painted) {
        Form2 *plot = form.plotWindow();
        return plot && painted == plot->Picture1 && plot->isVisible() &&
               (painted != boxBefore || plot->Picture1->image().cacheKey() != keyBefore);
    });
}

// Presses GO and waits for the finished plot; the time from the press in ns,
// or -1 if it never came.
inline std::int64_t pressGo(BenchApplication &app, Form1 &form, std::int64_t *cpu = nullptr)
{
    watchForNewPlot(app, form);
    const std::int64_t cpuStart = cpuNs();
    const std::int64_t start = nowNs();
    static const bool trace = std::getenv("QUENROW_BENCH_TRACE") != nullptr;
    if (trace)
        app.traceFrom(start);
    form.Command2->click();
    const std::int64_t clicked = nowNs();
    const bool painted = app.waitForPaint(10000);
    if (trace) {
        app.stopTrace();
        std::fprintf(stderr, "GO: click() returned at %.3f ms, plot finished at %.3f ms\n",
                     (clicked - start) / 1e6, (app.paintDoneAt() - start) / 1e6);
    }
    if (!painted)
        return -1;
    if (cpu)
        *cpu = cpuNs() - cpuStart;
    return app.paintDoneAt() - start;
}

} // namespace quenrow::bench
