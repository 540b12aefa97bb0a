# SPDX-License-Identifier: MIT
"""What a user would otherwise write for quenrow-lookup --stack, with numpy:
read the stack file and each layer's table, then for every energy at once
subtract each layer's mass thickness from its CSDA range (log-log between the
rows around it), take the energy of what is left, and write a CSV row per
energy per layer: beam, layer, energy in, out, lost, WET, range left in
water, stop depth (empty unless it stops there).

    python3 peer_numpy_stack.py STACK_FILE DATA_DIR < energies
"""
import io
import os
import sys

import numpy as np

UNITS = {"um": 1e-4, "mm": 0.1, "cm": 1.0}


def load(path):
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    density = float(lines[2].split()[0])
    rows = np.array([line.split()[:5] for line in lines[6:6 + 132]], dtype=float)
    return density, np.log(rows[:, 0]), np.log(rows[:, 4]), rows[0, 4]


def loglog(xs, ys, x):
    upper = np.clip(np.searchsorted(xs, np.log(x), side="left"), 1, len(xs) - 1)
    lx = np.log(x)
    return np.exp(ys[upper] - (ys[upper] - ys[upper - 1]) * (xs[upper] - lx) /
                  (xs[upper] - xs[upper - 1]))


def read_stack(path):
    layers = []
    for line in open(path):
        words = line.split("#")[0].split()
        if not words:
            continue
        name, value, unit = words[0], float(words[1]), words[2]
        density = float(words[3]) if len(words) > 3 else None
        layers.append((name, value, unit, density))
    return layers


def main():
    np.seterr(all="ignore")  # energies stopped in a layer go through log(0)
    stack, data = sys.argv[1], sys.argv[2]
    water = load(os.path.join(data, "Water_liquid.psp"))
    energies = np.array(sys.stdin.buffer.read().split(), dtype=float)
    energy = energies.copy()
    alive = np.ones(len(energy), dtype=bool)
    water_range = loglog(water[1], water[2], energy)
    columns = []
    for number, (name, value, unit, density) in enumerate(read_stack(stack), 1):
        file_density, log_e, log_r, first_range = load(os.path.join(data, name))
        rho = density or file_density
        mass = value if unit == "g/cm2" else value * UNITS[unit] * rho
        range_in = loglog(log_e, log_r, energy)
        left = range_in - mass
        stops = alive & (left < first_range)
        out = np.where(alive & ~stops, loglog(log_r, log_e, np.maximum(left, first_range)), 0.0)
        water_out = np.where(out > 0, loglog(water[1], water[2], np.maximum(out, 1e-3)), 0.0)
        block = np.column_stack([energies, np.full(len(energy), number), energy, out, energy - out,
                                 (water_range - water_out) / water[0], water_out / water[0],
                                 np.where(stops, range_in / rho, np.nan)])
        block[~alive, 2:] = np.nan
        columns.append(block)
        alive &= ~stops
        energy, water_range = out, water_out
    rows = np.stack(columns, axis=1).reshape(-1, 8)
    text = io.StringIO()
    np.savetxt(text, rows, fmt="%.17g", delimiter=",",
               header="beam_MeV,layer,energy_in_MeV,energy_out_MeV,energy_lost_MeV,wet_cm,"
                      "residual_water_range_cm,stop_depth_cm", comments="")
    sys.stdout.write(text.getvalue().replace("nan", ""))


if __name__ == "__main__":
    main()
