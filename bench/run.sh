#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Quenrow's benchmarks in Release (build-bench/), runs the micro
# benchmarks, the end-to-end benchmark offscreen and under Xvfb, and the
# matplotlib peer, then prints one table: each figure, its budget and its
# ratio to the peer. Exits 1 if a budget is missed.
#
# Each measurement runs in QUENROW_BENCH_ROUNDS (3) separate processes and the
# table shows the median of their medians: on this shared machine a whole
# process can run fast or slow, and one process must not decide a figure.
#
# bench/run.sh --quick: one round with fewer repetitions, the same table, in
# under three minutes; for a look, not for a record.
#
# Settings (environment): QUENROW_BENCH_REPS (micro repetitions, 10),
# QUENROW_BENCH_PRESSES (GO presses, 200), QUENROW_BENCH_MOVES (pointer
# moves, 1000), QUENROW_BENCH_KEYS (calculator keystrokes, 600),
# QUENROW_BENCH_STARTS (fresh starts, 20), QUENROW_PEER_RUNS
# (matplotlib plots, 200), QUENROW_LOOKUP_BATCH_RUNS (million-energy runs of
# quenrow-lookup and its numpy peer, 3), QUENROW_LOOKUP_RUNS (single lookups
# as processes, 50), QUENROW_BENCH_BUILD (build folder, build-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

quick=false
if [[ ${1:-} == --quick ]]; then
    quick=true
elif (($# > 0)); then
    echo "usage: bench/run.sh [--quick]" >&2
    exit 2
fi
if $quick; then
    rounds=${QUENROW_BENCH_ROUNDS:-1}
    reps=${QUENROW_BENCH_REPS:-3}
    presses=${QUENROW_BENCH_PRESSES:-50}
    moves=${QUENROW_BENCH_MOVES:-300}
    keys=${QUENROW_BENCH_KEYS:-150}
    starts=${QUENROW_BENCH_STARTS:-8}
    peer_runs=${QUENROW_PEER_RUNS:-30}
    lookup_batch_runs=${QUENROW_LOOKUP_BATCH_RUNS:-1}
    lookup_runs=${QUENROW_LOOKUP_RUNS:-15}
else
    rounds=${QUENROW_BENCH_ROUNDS:-3}
    reps=${QUENROW_BENCH_REPS:-10}
    presses=${QUENROW_BENCH_PRESSES:-200}
    moves=${QUENROW_BENCH_MOVES:-1000}
    keys=${QUENROW_BENCH_KEYS:-600}
    starts=${QUENROW_BENCH_STARTS:-20}
    peer_runs=${QUENROW_PEER_RUNS:-200}
    lookup_batch_runs=${QUENROW_LOOKUP_BATCH_RUNS:-3}
    lookup_runs=${QUENROW_LOOKUP_RUNS:-50}
fi
build=${QUENROW_BENCH_BUILD:-build-bench}

packages=(cmake g++ make pkgconf qt6-base-dev libqcustomplot-dev libbenchmark-dev fonts-ipafont-gothic
          fonts-liberation xvfb python3-matplotlib libcli11-dev python3-numpy)
bash scripts/install_packages.sh "${packages[@]}"
# Debian's interpreter, where python3-matplotlib lives, whatever PATH prefers.
python=/usr/bin/python3

echo "Building $build (Release) ..."
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUENROW_BENCH=ON -DQUENROW_TESTS=OFF \
    >/dev/null
cmake --build "$build" -j"$(nproc)" --target quenrow_micro quenrow_e2e quenrow_session \
    quenrow-lookup >/dev/null

out=$(mktemp -d)
xvfb_pid=
cleanup()
{
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$out"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$out/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The layers window keeps its last stack there; not in the user's settings.
export XDG_CONFIG_HOME="$out/config"
export QUENROW_DATA_DIR="$PWD/quenrow-data"
e2e="$build/bench/quenrow_e2e"

cut -d' ' -f1-3 /proc/loadavg >"$out/load-before"
head -1 /proc/stat >"$out/stat-before"

# One failed step is reported in the table, not fatal to the others.
run_e2e()
{
    local platform=$1
    shift
    local step round
    for round in $(seq "$rounds"); do
        for step in "go $presses" "go-new $presses" "pointer $moves" "calc-key $keys" "layers-key $keys" \
            "compare-choose 200" "compare-pointer $moves" "startup $starts" "rss 10"; do
            echo "  $platform, round $round: $step"
            # shellcheck disable=SC2086
            if ! "$e2e" $step >>"$out/$platform.tsv" 2>>"$out/$platform.log"; then
                echo "    failed; see below" >&2
                tail -5 "$out/$platform.log" >&2
            fi
        done
        # A fractional density, where Qt's painting takes its slower paths.
        echo "  $platform, round $round: pointer $moves at QT_SCALE_FACTOR=1.5"
        # shellcheck disable=SC2086
        if ! QT_SCALE_FACTOR=1.5 "$e2e" pointer $moves >>"$out/$platform-1.5x.tsv" \
            2>>"$out/$platform.log"; then
            echo "    failed; see below" >&2
            tail -5 "$out/$platform.log" >&2
        fi
    done
}

for round in $(seq "$rounds"); do
    echo "Micro benchmarks, round $round ($reps repetitions) ..."
    QT_QPA_PLATFORM=offscreen "$build/bench/quenrow_micro" --benchmark_repetitions="$reps" \
        --benchmark_display_aggregates_only=true --benchmark_out="$out/micro-$round.json" \
        --benchmark_out_format=json >/dev/null 2>"$out/micro.log" || {
        tail -5 "$out/micro.log" >&2
        exit 1
    }
done

echo "End to end, offscreen ..."
QT_QPA_PLATFORM=offscreen DISPLAY= run_e2e offscreen

if command -v Xvfb >/dev/null; then
    echo "End to end, Xvfb ..."
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out/display" \
        2>"$out/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s $out/display ]] && break; sleep 0.05; done
    DISPLAY=":$(cat "$out/display")" QT_QPA_PLATFORM=xcb run_e2e xvfb
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
fi

echo "matplotlib peer ($peer_runs plots) ..."
"$python" bench/peer_matplotlib.py "$QUENROW_DATA_DIR/Water_liquid.psp" "$peer_runs" \
    >"$out/peer.tsv" 2>"$out/peer.log" || tail -5 "$out/peer.log" >&2

echo "quenrow-lookup and the numpy peer ($lookup_batch_runs x 1,000,000 energies, $lookup_runs single lookups) ..."
"$python" bench/lookup_timing.py "$build/quenrow-lookup" "$QUENROW_DATA_DIR" "$lookup_batch_runs" \
    "$lookup_runs" >"$out/lookup.tsv" 2>"$out/lookup.log" || tail -5 "$out/lookup.log" >&2

echo "quenrow-lookup --stack and its numpy peer ($lookup_batch_runs x 100,000 energies, 5 layers) ..."
"$python" bench/stack_timing.py "$build/quenrow-lookup" "$QUENROW_DATA_DIR" "$lookup_batch_runs" \
    >"$out/stack.tsv" 2>"$out/stack.log" || tail -5 "$out/stack.log" >&2

cut -d' ' -f1-3 /proc/loadavg >"$out/load-after"
head -1 /proc/stat >"$out/stat-after"

"$python" - "$out" <<'EOF'
import json, os, platform, sys

out = sys.argv[1]

import glob, statistics

def rows(name):
    """Each figure over the rounds: median of medians (and of the other columns)."""
    path = os.path.join(out, name)
    rounds = {}
    if os.path.exists(path):
        for line in open(path):
            f = line.rstrip("\n").split("\t")
            if len(f) >= 8:
                rounds.setdefault(f[0], []).append(f)
    result = {}
    for key, rs in rounds.items():
        good = [f for f in rs if int(f[2]) > 0]
        if not good:
            result[key] = dict(unit=rs[0][1], n=0, median=float("nan"), p99=float("nan"),
                               p10=float("nan"), note=rs[0][8] if len(rs[0]) > 8 else "",
                               rounds=[])
            continue
        col = lambda i: statistics.median(float(f[i]) for f in good)
        result[key] = dict(unit=good[0][1], n=sum(int(f[2]) for f in good), median=col(3),
                           p99=col(4), p10=col(5), note=good[-1][8] if len(good[-1]) > 8 else "",
                           rounds=[float(f[3]) for f in good])
    return result

micro_rounds, micro_low = {}, {}  # microseconds: median of each round, fastest repetition
for path in sorted(glob.glob(os.path.join(out, "micro-*.json"))):
    medians = {}
    for b in json.load(open(path))["benchmarks"]:
        name = b["run_name"].split("/")[0]
        value = b["real_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
        if b.get("run_type") == "iteration":
            micro_low[name] = min(micro_low.get(name, value), value)
            medians.setdefault(name, value)  # a benchmark run once has no aggregates
        elif b.get("aggregate_name") == "median":
            medians[name] = value
    for name, value in medians.items():
        micro_rounds.setdefault(name, []).append(value)
micro = {name: statistics.median(v) for name, v in micro_rounds.items()}

e2e = {"offscreen": rows("offscreen.tsv"), "offscreen 1.5x": rows("offscreen-1.5x.tsv"),
       "Xvfb": rows("xvfb.tsv"), "Xvfb 1.5x": rows("xvfb-1.5x.tsv")}
peer = rows("peer.tsv").get("peer_matplotlib_load_and_plot")

table = []  # figure, where, measured, low, budget, met (None: no budget)
def add(figure, where, measured, budget="", met=None, low=""):
    table.append((figure, where, measured, low, budget, met))

def us(v):
    return f"{v:.1f} us" if v < 1000 else f"{v / 1000:.2f} ms"

m = micro.get
def low(name):
    return us(micro_low[name]) if name in micro_low else ""
def low_ns(name):
    return f"{micro_low[name] * 1000:.0f} ns" if name in micro_low else ""
add("Load Water_liquid.psp (loadMaterial)", "micro", us(m("BM_LoadMaterial", float("nan"))),
    "<= 0.5 ms", m("BM_LoadMaterial", 1e9) <= 500, low("BM_LoadMaterial"))
add("DrawPlot into the 525 x 525 image", "micro", us(m("BM_DrawPlot", float("nan"))),
    low=low("BM_DrawPlot"))
add("  background and grid, once a plot window", "micro", us(m("BM_DrawPlotGrid", float("nan"))),
    low=low("BM_DrawPlotGrid"))
add("  first DrawPlot of a process (one run)", "micro",
    us(m("BM_DrawPlotFirstInProcess", float("nan"))))
add("Energy-entry interpolation", "micro", f"{m('BM_InterpolateTotal', float('nan')) * 1000:.0f} ns")
add("Cursor nearest-row search", "micro", f"{m('BM_NearestRow', float('nan')) * 1000:.0f} ns")
add("Every column at an energy (interpolateRow)", "micro",
    f"{m('BM_InterpolateRow', float('nan')) * 1000:.0f} ns", "<= 1 us",
    m("BM_InterpolateRow", 1e9) <= 1, low_ns("BM_InterpolateRow"))
add("Energy for a CSDA range (energyForRange)", "micro",
    f"{m('BM_EnergyForRange', float('nan')) * 1000:.0f} ns", "<= 1 us",
    m("BM_EnergyForRange", 1e9) <= 1, low_ns("BM_EnergyForRange"))

add("Beam through 20 layers (throughStack)", "micro", us(m("BM_ThroughStack20", float("nan"))),
    "<= 20 us", m("BM_ThroughStack20", 1e9) <= 20, low("BM_ThroughStack20"))

peer_ms = peer["median"] if peer else None
for where, r in e2e.items():
    if not r:
        continue
    def get(name):
        return r.get(name)
    s = get("start_to_first_paint")
    if s:
        budget = "<= 150 ms" if where == "Xvfb" else ""
        add("Process start to first paint (median)", where, f"{s['median']:.1f} ms", budget,
            s["median"] <= 150 if budget else None, f"{s['p10']:.1f} ms")
    g = get("go_to_plot")
    if g:
        add("GO to plot shown, plot window open (median)", where, f"{g['median']:.2f} ms",
            low=f"{g['p10']:.2f} ms")
        add("  ... 99th percentile", where, f"{g['p99']:.2f} ms")
        if peer_ms:
            add("  ... matplotlib peer / Quenrow", where, f"{peer_ms / g['median']:.0f}x",
                ">= 100x", peer_ms / g["median"] >= 100)
    g = get("go_to_plot_new_window")
    if g:
        add("GO to plot shown, new plot window (median)", where, f"{g['median']:.2f} ms",
            low=f"{g['p10']:.2f} ms")
    p = get("pointer_move")
    if p:
        add("Pointer move with its repaint (median)", where, f"{p['median']:.0f} us",
            "<= 1 ms", p["median"] <= 1000, f"{p['p10']:.0f} us")
        add("  ... 99th percentile", where, f"{p['p99']:.0f} us", "<= 8 ms", p["p99"] <= 8000)
    c = get("pointer_move_crosshair")
    if c:
        add("  ... of which until the crosshair is shown", where, f"{c['median']:.0f} us",
            low=f"{c['p10']:.0f} us")
        add("  ... its 99th percentile", where, f"{c['p99']:.0f} us")
    def under_xvfb(name, label, budget_us, ms=False):
        """A median whose budget holds under Xvfb; the offscreen figure is for comparison."""
        v = get(name)
        if not v:
            return None
        shown = (lambda x: f"{x / 1000:.2f} ms") if ms else (lambda x: f"{x:.0f} us")
        budgeted = where == "Xvfb"
        add(label, where, shown(v["median"]), f"<= {budget_us // 1000} ms" if budgeted else "",
            v["median"] <= budget_us if budgeted else None, shown(v["p10"]))
        return v
    under_xvfb("calculator_key", "Calculator keystroke to its repainted result (median)", 2000)
    under_xvfb("layers_key", "Layers: keystroke in a 20-layer stack to repainted results (median)",
               2000)
    under_xvfb("compare_choose",
               "Compare, 10 materials: add one or switch quantity to repainted plot (median)",
               16000, ms=True)
    cp = under_xvfb("compare_pointer", "Compare pointer move, readout of 10 curves (median)", 2000)
    if cp:
        budgeted = where == "Xvfb"
        add("  ... 99th percentile", where, f"{cp['p99']:.0f} us", "<= 8 ms" if budgeted else "",
            cp["p99"] <= 8000 if budgeted else None)
    r10 = get("peak_rss")
    if r10:
        add("Peak RSS after loading 10 materials", where, f"{r10['median']:.1f} MB", "<= 60 MB",
            r10["median"] <= 60)
    for name, v in r.items():
        if v["n"] == 0:
            add(f"FAILED {name}: {v['note']}", where, "-", "", False)
if peer:
    add("matplotlib: load and plot to PNG (median)", "python", f"{peer['median']:.1f} ms",
        low=f"{peer['p10']:.1f} ms")
else:
    add("FAILED matplotlib peer", "python", "-", "", False)

lookup = rows("lookup.tsv")
batch, numpy_batch = lookup.get("lookup_batch_1m_csv"), lookup.get("numpy_batch_1m_csv")
single, numpy_single = lookup.get("lookup_single"), lookup.get("numpy_single")
if batch and numpy_batch:
    add("quenrow-lookup: 1,000,000 energies to CSV", "process", f"{batch['median']:.0f} ms",
        low=f"{batch['p10']:.0f} ms")
    add("  ... numpy peer / quenrow-lookup", "process",
        f"{numpy_batch['median'] / batch['median']:.1f}x", ">= 10x",
        numpy_batch["median"] / batch["median"] >= 10)
else:
    add("FAILED quenrow-lookup batch or its numpy peer", "process", "-", "", False)
stack = rows("stack.tsv")
stack_batch, numpy_stack = stack.get("stack_batch_100k_csv"), stack.get("numpy_stack_batch_100k_csv")
if stack_batch and numpy_stack:
    add("quenrow-lookup --stack: 100,000 energies, 5 layers, to CSV", "process",
        f"{stack_batch['median']:.0f} ms", low=f"{stack_batch['p10']:.0f} ms")
    add("  ... numpy peer / quenrow-lookup", "process",
        f"{numpy_stack['median'] / stack_batch['median']:.1f}x", ">= 5x",
        numpy_stack["median"] / stack_batch["median"] >= 5)
else:
    add("FAILED quenrow-lookup --stack or its numpy peer", "process", "-", "", False)
if single and numpy_single:
    add("quenrow-lookup Water_liquid.psp 150, whole process", "process",
        f"{single['median']:.2f} ms", low=f"{single['p10']:.2f} ms")
    add("  ... numpy peer / quenrow-lookup", "process",
        f"{numpy_single['median'] / single['median']:.0f}x")
else:
    add("FAILED quenrow-lookup single or its numpy peer", "process", "-", "", False)

model = "?"
for line in open("/proc/cpuinfo"):
    if line.startswith("model name"):
        model = line.split(":", 1)[1].strip()
        break
print()
print(f"Machine: {os.cpu_count()} CPUs, {model}, {platform.system()} {platform.release()}")
print(f"Load average (1, 5, 15 min) before: {open(os.path.join(out, 'load-before')).read().strip()}"
      f"; after: {open(os.path.join(out, 'load-after')).read().strip()}")
def jiffies(name):
    f = [int(x) for x in open(os.path.join(out, name)).read().split()[1:]]
    return sum(f), f[3] + f[4]  # all, idle + iowait
(total0, idle0), (total1, idle1) = jiffies("stat-before"), jiffies("stat-after")
busy = 100 * (1 - (idle1 - idle0) / max(1, total1 - total0))
print(f"CPUs busy during the run, all processes (ours too): {busy:.0f}%")
print()
w = [max(len(r[i]) for r in table) for i in range(5)]
w[0] = max(w[0], 6); w[1] = max(w[1], 5); w[2] = max(w[2], 8); w[3] = max(w[3], 3)
head = (f"{'Figure':<{w[0]}}  {'Where':<{w[1]}}  {'Measured':>{w[2]}}  {'Low':>{w[3]}}  "
        f"{'Budget':<{w[4]}}  Met")
print(head)
print("-" * len(head))
missed = 0
for figure, where, measured, lo, budget, met in table:
    mark = "" if met is None else ("yes" if met else "NO")
    missed += met is False
    print(f"{figure:<{w[0]}}  {where:<{w[1]}}  {measured:>{w[2]}}  {lo:>{w[3]}}  "
          f"{budget:<{w[4]}}  {mark}")
print()
print(f"Measured: median of {len(glob.glob(os.path.join(out, 'micro-*.json')))} rounds' medians,"
      " as the budgets are. Low: 10th percentile (end to end)")
print("or fastest repetition (micro), what a run gets when the shared machine leaves it alone.")
print()
print("Budgets met." if not missed else f"{missed} budget(s) missed.")
def rounds_text(values, unit):
    return ", ".join(f"{v:.3g}" for v in values) + f" {unit}"
print("Round by round (medians):")
for name in ("BM_LoadMaterial", "BM_DrawPlot"):
    if name in micro_rounds:
        print(f"  micro {name}: {rounds_text(micro_rounds[name], 'us')}")
for where, r in e2e.items():
    for name in ("go_to_plot", "go_to_plot_new_window", "pointer_move", "pointer_move_crosshair",
                 "start_to_first_paint"):
        if name in r:
            print(f"  {where} {name}: {rounds_text(r[name]['rounds'], r[name]['unit'])}")
print("Notes from the last round:")
for where, r in e2e.items():
    for name in ("go_to_plot", "go_to_plot_new_window", "pointer_move", "start_to_first_paint"):
        if name in r and r[name]["note"]:
            print(f"  {where} {name}: {r[name]['note']}")
sys.exit(1 if missed else 0)
EOF
