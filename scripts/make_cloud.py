#!/usr/bin/env python3
"""Writes a large point cloud as a binary little-endian PLY file, for trying the viewer on a
million points.

The points lie on a torus knot wound 200 times around, each shifted a little off the curve by a
fixed pseudo-random amount, so the cloud has depth to show in stereo and a visible structure at
every scale. Vertices carry float x, y, z; the output is the same on every run.

Usage: scripts/make_cloud.py [output path [number of points]]   (default cloud.ply, 1000000)
"""
import math
import random
import sys
from array import array


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "cloud.ply"
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    noise = random.Random(1)
    values = array("f")
    for i in range(count):
        t = 2 * math.pi * i / count
        ring = 3 + math.cos(413 * t) + 0.08 * noise.random()
        values.extend((ring * math.cos(200 * t), ring * math.sin(200 * t),
                       math.sin(413 * t) + 0.08 * noise.random()))
    if sys.byteorder != "little":
        values.byteswap()
    header = ("ply\nformat binary_little_endian 1.0\ncomment made by make_cloud.py\n"
              "element vertex %d\nproperty float x\nproperty float y\nproperty float z\n"
              "end_header\n" % count)
    with open(path, "wb") as out:
        out.write(header.encode("ascii"))
        values.tofile(out)


if __name__ == "__main__":
    main()
