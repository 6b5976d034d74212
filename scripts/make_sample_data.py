#!/usr/bin/env python3
"""Writes data/Ocuvis.3d, the sample data set the viewer opens by default.

The Lorenz attractor (sigma 10, rho 28, beta 8/3), integrated with fourth-order Runge-Kutta.
The orbit is cut into runs of 250 points separated by blank lines, so the connecting lines show
the flow in segments. The fourth field is the speed along the orbit: fast stretches get small
dots, slow ones (near the turning points) big dots. Labels mark the two wing centres and the
start of the orbit. The output is the same on every run.

Usage: scripts/make_sample_data.py [output path]
"""
import math
import os
import sys

SIGMA, RHO, BETA = 10.0, 28.0, 8.0 / 3.0
DT = 0.01
TRANSIENT_STEPS = 500
POINTS = 4000
RUN_LENGTH = 250


def derivative(p):
    x, y, z = p
    return (SIGMA * (y - x), x * (RHO - z) - y, x * y - BETA * z)


def rk4_step(p, dt):
    def add(a, b, f):
        return tuple(ai + f * bi for ai, bi in zip(a, b))

    k1 = derivative(p)
    k2 = derivative(add(p, k1, dt / 2))
    k3 = derivative(add(p, k2, dt / 2))
    k4 = derivative(add(p, k3, dt))
    return tuple(p[i] + dt / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]) for i in range(3))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "Ocuvis.3d")

    p = (1.0, 1.0, 1.0)
    for _ in range(TRANSIENT_STEPS):
        p = rk4_step(p, DT)

    centre = math.sqrt(BETA * (RHO - 1))
    lines = [
        "; Ocuvis sample data: the Lorenz attractor",
        "; sigma 10, rho 28, beta 8/3; fourth-order Runge-Kutta, step 0.01",
        f"; {POINTS} points in runs of {RUN_LENGTH}; a blank line ends each run",
        "; fields: x y z speed (fast stretches are drawn with small dots)",
        "; made by scripts/make_sample_data.py",
        f"{centre:.4f} {centre:.4f} {RHO - 1:.4f} !wing A",
        f"{-centre:.4f} {-centre:.4f} {RHO - 1:.4f} !wing B",
        f"{p[0]:.4f} {p[1]:.4f} {p[2]:.4f} !start",
    ]
    for i in range(POINTS):
        if i and i % RUN_LENGTH == 0:
            lines.append("")
        dx, dy, dz = derivative(p)
        speed = math.sqrt(dx * dx + dy * dy + dz * dz)
        lines.append(f"{p[0]:.4f} {p[1]:.4f} {p[2]:.4f} {speed:.2f}")
        p = rk4_step(p, DT)

    with open(out_path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
