# SPDX-License-Identifier: MIT
"""quenrow-lookup --stack and its numpy peer (peer_numpy_stack.py), timed
side by side as whole processes: 100,000 energies through a 5-layer stack,
piped in, a CSV row per energy per layer out.

    python3 stack_timing.py QUENROW_LOOKUP DATA_DIR [RUNS]

Prints tab-separated lines as quenrow_e2e does:
    name  unit  n  median  p99  p10  min  max  note
"""
import os
import random
import sys
import tempfile

from lookup_timing import timed
from timing_row import report

HERE = os.path.dirname(os.path.abspath(__file__))

# A range shifter, a film, air and a water phantom: low energies stop inside.
STACK = """# bench stack
013-Aluminum.ps 3 mm
Polymethyl_methacrylate.psp 2 cm 1.18
029-Copper.ps 0.5 mm
Air_dry.psp 50 cm
Water_liquid.psp 5 cm
"""


def main():
    lookup, data = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    random.seed(24)
    with tempfile.TemporaryDirectory() as folder:
        stack = os.path.join(folder, "bench.stack")
        with open(stack, "w") as f:
            f.write(STACK)
        energies = os.path.join(folder, "energies.txt")
        with open(energies, "w") as f:
            f.write("\n".join(repr(random.uniform(60, 250)) for _ in range(100000)) + "\n")
        ours = [lookup, "--data", data, "--stack", stack, "--format", "csv"]
        peer = [sys.executable, os.path.join(HERE, "peer_numpy_stack.py"), stack, data]
        timed(ours, 1, energies)  # warm-up: caches, the interpreter's imports
        timed(peer, 1, energies)
        report("stack_batch_100k_csv", timed(ours, runs, energies),
               "quenrow-lookup --stack, 5 layers, 100,000 energies piped to CSV")
        report("numpy_stack_batch_100k_csv", timed(peer, runs, energies),
               "numpy peer, the same stack and energies to CSV")


if __name__ == "__main__":
    main()
