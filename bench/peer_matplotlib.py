# SPDX-License-Identifier: MIT
"""What a user would otherwise do: load a stopping-power table and draw the
same log-log plot (grid, three curves, legend) with matplotlib, to an
in-memory PNG the size of Quenrow's plot. Timed like Quenrow's GO: from the
start of the load to the finished picture, after warm-up, median of N.

    python3 peer_matplotlib.py [FILE] [RUNS]

Prints one tab-separated line as quenrow_e2e does:
    name  unit  n  median  p99  p10  min  max  note
"""
import io
import os
import sys
import time

import matplotlib

matplotlib.use("Agg")  # no display: draws into memory, as a script would
from matplotlib.figure import Figure  # noqa: E402  (after choosing the backend)

from timing_row import report  # noqa: E402

SIZE_PX = 525
DPI = 100


def load(path):
    """Both passes Quenrow makes: the values of rows 1..132, then their text."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    name = lines[1].strip()
    density = float(lines[2].split(",")[0].split()[0])
    rows = lines[6:6 + 132]
    energy, electronic, nuclear, total = [], [], [], []
    for row in rows:
        fields = row.replace(",", " ").split()
        energy.append(float(fields[0]))
        electronic.append(float(fields[1]))
        nuclear.append(float(fields[2]))
        total.append(float(fields[3]))
    texts = [row[:59] for row in rows]
    return name, density, energy, electronic, nuclear, total, texts


def plot(name, density, energy, electronic, nuclear, total):
    fig = Figure(figsize=(SIZE_PX / DPI, SIZE_PX / DPI), dpi=DPI, facecolor="#000080")
    ax = fig.add_subplot()
    ax.set_facecolor("#000080")
    ax.loglog(energy, electronic, color="red", lw=1, label="Electronic (Collision)")
    ax.loglog(energy, nuclear, color="yellow", lw=1, label="Nuclear")
    ax.loglog(energy, total, color="white", lw=1, label="Total")
    ax.set_xlim(1e-3, 1e4)
    ax.set_ylim(1e-4, 1e4)
    ax.grid(True, which="both", color="grey", lw=0.5)
    ax.set_xlabel("Proton kinetic energy,   MeV", color="white")
    ax.set_ylabel("MeV cm$^2$/g", color="white")
    ax.tick_params(colors="white", which="both")
    ax.set_title(f"{name}     Density = {density:.3f} [g/cm3]", color="white")
    ax.legend(title="Stopping Power", facecolor="#000080", labelcolor="white")
    out = io.BytesIO()
    fig.savefig(out, format="png", facecolor=fig.get_facecolor())
    return out.getvalue()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] else os.path.join(
        here, "..", "quenrow-data", "Water_liquid.psp")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    for _ in range(3):  # warm-up: imports done, font cache and caches filled
        plot(*load(path)[:6])
    times = []
    png = b""
    for _ in range(runs):
        start = time.perf_counter()
        png = plot(*load(path)[:6])
        times.append((time.perf_counter() - start) * 1000)
    assert png.startswith(b"\x89PNG"), "no PNG drawn"
    report("peer_matplotlib_load_and_plot", times,
           f"matplotlib {matplotlib.__version__}, Agg, {len(png)} byte PNG")


if __name__ == "__main__":
    main()
