# SPDX-License-Identifier: MIT
"""quenrow-lookup and its numpy peer (peer_numpy.py), timed side by side as
whole processes: a million energies piped through each to CSV, and one
energy looked up per process.

    python3 lookup_timing.py QUENROW_LOOKUP DATA_DIR [BATCH_RUNS] [SINGLE_RUNS]

Prints tab-separated lines as quenrow_e2e does:
    name  unit  n  median  p99  p10  min  max  note
"""
import math
import os
import random
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def median(values):
    v = sorted(values)
    n = len(v)
    return v[n // 2] if n % 2 else (v[n // 2 - 1] + v[n // 2]) / 2


def percentile(values, p):
    v = sorted(values)
    return v[max(1, min(len(v), math.ceil(p / 100 * len(v)))) - 1]


def timed(command, runs, stdin_path=None):
    """Milliseconds from start to exit of each run; output thrown away."""
    times = []
    for _ in range(runs):
        stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
        start = time.perf_counter()
        done = subprocess.run(command, stdin=stdin, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE)
        times.append((time.perf_counter() - start) * 1000)
        if stdin_path:
            stdin.close()
        if done.returncode != 0:
            raise SystemExit(f"{command[0]} failed: {done.stderr.decode(errors='replace')}")
    return times


def report(name, times, note):
    print(f"{name}\tms\t{len(times)}\t{median(times):.4g}\t{percentile(times, 99):.4g}\t"
          f"{percentile(times, 10):.4g}\t{min(times):.4g}\t{max(times):.4g}\t{note}")


def main():
    lookup, data = sys.argv[1], sys.argv[2]
    batch_runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    single_runs = int(sys.argv[4]) if len(sys.argv) > 4 else 50
    water = os.path.join(data, "Water_liquid.psp")
    peer = [sys.executable, os.path.join(HERE, "peer_numpy.py"), water]
    ours = [lookup, "--data", data, "Water_liquid.psp"]

    random.seed(15)
    low, high = math.log(0.001), math.log(10000)
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("\n".join(repr(math.exp(random.uniform(low, high))) for _ in range(1000000)))
        f.write("\n")
        energies = f.name
    try:
        for _ in range(2):  # warm-up: caches, the interpreter's imports
            timed(ours + ["150"], 1)
            timed(peer + ["150"], 1)
        report("lookup_batch_1m_csv", timed(ours + ["--format", "csv"], batch_runs, energies),
               "quenrow-lookup, 1,000,000 energies piped to CSV")
        report("numpy_batch_1m_csv", timed(peer, batch_runs, energies),
               "numpy peer, the same energies to CSV")
        report("lookup_single", timed(ours + ["150"], single_runs),
               "quenrow-lookup Water_liquid.psp 150, whole process")
        report("numpy_single", timed(peer + ["150"], max(5, single_runs // 5)),
               "numpy peer, one energy, whole process")
    finally:
        os.unlink(energies)


if __name__ == "__main__":
    main()
