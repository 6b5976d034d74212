#!/usr/bin/env python3
"""Writes data/Ocuvis.3d, the sample data set the viewer opens by default.

A trefoil knot, x = sin t + 2 sin 2t, y = 2 cos 2t - cos t, z = -sin 3t, sampled at 2,400
points and cut into twelve runs of 200 separated by blank lines, so that connecting lines show
the knot in segments. The depth z makes each of the three crossings pass over or under, which is
what the stereo pair shows. The fourth field is a dot size that swells and shrinks six times
around the knot; with the dot size field chosen in the input set-up the knot becomes a string of
pearls, and without it every point gets the same middle-sized dot. Three text labels mark the
start, the top lobe and a crossing. The first line is a point, not a comment, because the input
set-up shows the first line of a file as its example record. The output is the same on every
run.

Usage: scripts/make_sample_data.py [output path]
"""
import math
import os
import sys

POINTS = 2400
RUN_LENGTH = 200


def knot(t):
    return (math.sin(t) + 2 * math.sin(2 * t), 2 * math.cos(2 * t) - math.cos(t), -math.sin(3 * t))


def first_crossing():
    """The parameters of two strands that meet in the x-y plane: a crossing of the picture."""
    steps = 720
    points = [knot(2 * math.pi * i / steps) for i in range(steps)]
    best = None
    for i in range(steps):
        for j in range(i + steps // 8, i + steps - steps // 8):
            a, b = points[i], points[j % steps]
            d = (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2
            if best is None or d < best[0]:
                best = (d, i, j % steps)
    return points[best[1]] if points[best[1]][2] > points[best[2]][2] else points[best[2]]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "Ocuvis.3d")

    start = knot(0.0)
    top = knot(math.pi)
    crossing = first_crossing()
    def record(i):
        t = 2 * math.pi * i / POINTS
        x, y, z = knot(t)
        return f"{x:.4f} {y:.4f} {z:.4f} {2 + math.sin(6 * t):.3f}"

    lines = [
        record(0),
        "; Ocuvis sample data: a trefoil knot",
        "; x = sin t + 2 sin 2t, y = 2 cos 2t - cos t, z = -sin 3t",
        f"; {POINTS} points in runs of {RUN_LENGTH}; a blank line ends each run",
        "; fields: x y z dot size",
        "; made by scripts/make_sample_data.py",
        f"{start[0]:.4f} {start[1]:.4f} {start[2]:.4f} !t = 0",
        f"{top[0]:.4f} {top[1] + 0.4:.4f} {top[2]:.4f} !top lobe",
        f"{crossing[0]:.4f} {crossing[1]:.4f} {crossing[2]:.4f} !crossing",
    ]
    for i in range(1, POINTS):
        if i % RUN_LENGTH == 0:
            lines.append("")
        lines.append(record(i))

    with open(out_path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
