# SPDX-License-Identifier: MIT
"""What a user would otherwise write for quenrow-lookup's job, with numpy:
read a stopping-power table, read energies, interpolate every column log-log
between the two rows around each energy (the first row at or above it, as
Quenrow does), and write CSV with a header line.

    python3 peer_numpy.py FILE [ENERGY...]

With no ENERGY the energies come from standard input, whitespace-separated.
Energies outside the table are left out, as quenrow-lookup leaves them out
of its output.
"""
import sys

import numpy as np


def load(path):
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    rows = [line.replace(",", " ").split()[:6] for line in lines[6:6 + 132]]
    return np.array(rows, dtype=float)  # energy, electronic, nuclear, total, CSDA, projected


def interpolate(table, energies):
    energy = table[:, 0]
    inside = (energies >= max(energy[0], 0.001)) & (energies <= min(energy[-1], 10000))
    e = energies[inside]
    upper = np.maximum(np.searchsorted(energy, e, side="left"), 1)
    logs = np.log(table)
    c, d = logs[upper, 0], logs[upper - 1, 0]
    a, b = logs[upper, 1:], logs[upper - 1, 1:]
    columns = np.exp(a - (a - b) * (c - np.log(e))[:, None] / (c - d)[:, None])
    detour = columns[:, 4] / columns[:, 3]
    return np.column_stack([e, columns, detour])


def main():
    table = load(sys.argv[1])
    if len(sys.argv) > 2:
        energies = np.array(sys.argv[2:], dtype=float)
    else:
        energies = np.array(sys.stdin.buffer.read().split(), dtype=float)
    result = interpolate(table, energies)
    header = ("energy_MeV,electronic_MeV_cm2_per_g,nuclear_MeV_cm2_per_g,total_MeV_cm2_per_g,"
              "csda_range_g_per_cm2,projected_range_g_per_cm2,detour_factor")
    np.savetxt(sys.stdout, result, fmt="%.17g", delimiter=",", header=header, comments="")


if __name__ == "__main__":
    main()
