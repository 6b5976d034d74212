#!/usr/bin/env python3
"""Writes data/Ocuvis.3d, the sample data set the viewer opens by default.

A trefoil knot, x = sin t + 2 sin 2t, y = 2 cos 2t - cos t, z = -sin 3t, scaled by 0.9 (its x
extent of 4.9 then just fits a rounded range of 5, so it fills the grid), sampled at 48 points
evenly spaced along it and cut into six runs of eight separated by blank lines; the last run
closes the knot with a 49th record on top of the first. The depth z makes each of the three
crossings pass over or under, which is what the stereo pair shows.

Every point line has four fields, so the viewer draws every dot at its own size class. With the
dot size field left at "none" all sizes are equal and every dot gets the middle class (3
pixels); the points lie far enough apart in the default 780 x 239 frame that connecting lines
show between the dots and the breaks between runs can be seen. The fourth field runs from 1.0
up to 3.0 and back in every run; with it chosen as the dot size the knot becomes a string of
pearls. The largest dot size of a file gets class 0, no dot, and smaller values get bigger
dots, so the closing record carries a value above all the others: its missing dot lies under
the first record's, and every visible point keeps a dot of 1 to 6 pixels.

Three text labels mark the start, the top lobe and a crossing. The first line is a point, not
a comment, because the input set-up shows the first line of a file as its example record. The
output is the same on every run.

Usage: scripts/make_sample_data.py [output path]
"""
import math
import os
import sys

POINTS = 48
RUN_LENGTH = 8
SCALE = 0.9
# Above the largest swelling size (3.0): the one value that maps to class 0.
CLOSING_DOT_SIZE = 3.5


def knot(t):
    x = math.sin(t) + 2 * math.sin(2 * t)
    y = 2 * math.cos(2 * t) - math.cos(t)
    z = -math.sin(3 * t)
    return (SCALE * x, SCALE * y, SCALE * z)


def even_parameters(count):
    """The parameters of count points evenly spaced along the knot as seen from the front (x
    and y only), so that in the first picture every connecting line between two dots is about
    as long as every other."""
    steps = 20000
    lengths = [0.0]
    previous = knot(0.0)
    for i in range(1, steps + 1):
        point = knot(2 * math.pi * i / steps)
        lengths.append(lengths[-1] + math.dist(previous[:2], point[:2]))
        previous = point
    parameters = []
    j = 0
    for k in range(count):
        wanted = lengths[-1] * k / count
        while lengths[j + 1] < wanted:
            j += 1
        share = (wanted - lengths[j]) / (lengths[j + 1] - lengths[j])
        parameters.append(2 * math.pi * (j + share) / steps)
    return parameters + [2 * math.pi]


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
    parameters = even_parameters(POINTS)

    def record(i, dot_size=None):
        x, y, z = knot(parameters[i])
        if dot_size is None:
            # 1.0, 1.5 ... 3.0 ... 1.5: five of the seven size classes.
            dot_size = 3.0 - 0.5 * abs(i % RUN_LENGTH - RUN_LENGTH // 2)
        return f"{x:.4f} {y:.4f} {z:.4f} {dot_size:.3f}"

    lines = [
        record(0),
        "; Ocuvis sample data: a trefoil knot",
        f"; {SCALE} times (sin t + 2 sin 2t, 2 cos 2t - cos t, -sin 3t)",
        f"; {POINTS + 1} points in runs of {RUN_LENGTH}; a blank line ends each run,",
        "; the last record closes the knot",
        "; fields: x y z dot size (the smaller the value, the bigger the dot)",
        "; made by scripts/make_sample_data.py",
        f"{start[0]:.4f} {start[1]:.4f} {start[2]:.4f} !t = 0",
        f"{top[0]:.4f} {top[1] + 0.4:.4f} {top[2]:.4f} !top lobe",
        f"{crossing[0]:.4f} {crossing[1]:.4f} {crossing[2]:.4f} !crossing",
    ]
    for i in range(1, POINTS):
        if i % RUN_LENGTH == 0:
            lines.append("")
        lines.append(record(i))
    lines.append(record(POINTS, CLOSING_DOT_SIZE))

    with open(out_path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
