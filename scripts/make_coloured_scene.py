#!/usr/bin/env python3
"""Writes a coloured point cloud of a small made-up outdoor scene as a binary little-endian PLY
file, for trying the viewer's colours: rolling grass, a path, a house with white walls and a red
roof, and trees with brown trunks and green crowns, each surface sampled as a scanner might,
with a little noise in place and colour. Vertices carry float x, y, z and uchar red,
green, blue, with y up as the viewer shows it; the output is the same on every run.

Usage: scripts/make_coloured_scene.py [output path [number of points]]
       (default scene.ply, 200000)
"""
import math
import random
import struct
import sys

rng = random.Random(7)


def jitter(colour, amount=14):
    return tuple(max(0, min(255, int(c + rng.uniform(-amount, amount)))) for c in colour)


def ground_height(x, y):
    return 0.6 * math.sin(0.35 * x) * math.cos(0.27 * y) + 0.15 * math.sin(1.3 * x + 0.7 * y)


def ground(points, count):
    for _ in range(count):
        x, y = rng.uniform(-15, 15), rng.uniform(-15, 15)
        z = ground_height(x, y)
        on_path = abs(y - 2.5 * math.sin(0.3 * x) + 4) < 0.9
        colour = (176, 152, 112) if on_path else (70 + int(25 * z), 140 + int(30 * z), 55)
        points.append((x, y, z + rng.gauss(0, 0.02), jitter(colour)))


def house(points, count, cx, cy):
    base = ground_height(cx, cy)
    w, d, h = 3.0, 2.2, 2.4
    for _ in range(count):
        pick = rng.random()
        if pick < 0.45:  # walls
            side = rng.randrange(4)
            s, up = rng.uniform(-1, 1), rng.uniform(0, h)
            x, y = [(s * w, -d), (s * w, d), (-w, s * d), (w, s * d)][side]
            colour = (235, 232, 222)
            if side == 0 and abs(s * w) < 0.5 and up < 1.9:
                colour = (110, 70, 40)  # the door
            points.append((cx + x, cy + y, base + up, jitter(colour, 8)))
        else:  # two roof planes meeting at the ridge
            s, t = rng.uniform(-1.1, 1.1), rng.uniform(0, 1)
            sign = 1 if rng.random() < 0.5 else -1
            y = sign * (d + 0.3) * (1 - t)
            points.append((cx + s * w, cy + y, base + h + 1.6 * t, jitter((170, 45, 35))))


def tree(points, count, cx, cy, size):
    base = ground_height(cx, cy)
    trunk = count // 6
    for _ in range(trunk):
        a, up = rng.uniform(0, 2 * math.pi), rng.uniform(0, 2.2 * size)
        r = 0.18 * size
        points.append((cx + r * math.cos(a), cy + r * math.sin(a), base + up,
                       jitter((105, 75, 45))))
    for _ in range(count - trunk):
        a, b = rng.uniform(0, 2 * math.pi), math.acos(rng.uniform(-1, 1))
        r = size * (1.2 + 0.15 * rng.random())
        shade = 0.7 + 0.3 * (math.cos(b) + 1) / 2  # lighter on top
        colour = (int(40 * shade), int(125 * shade), int(45 * shade))
        points.append((cx + r * math.sin(b) * math.cos(a), cy + r * math.sin(b) * math.sin(a),
                       base + 2.6 * size + r * math.cos(b), jitter(colour)))


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "scene.ply"
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200000
    points = []
    ground(points, count * 45 // 100)
    house(points, count * 25 // 100, 1.0, 4.0)
    trees = [(-8, 6, 1.3), (-6, -7, 1.0), (8, -6, 1.5), (10, 8, 1.1), (-11, -1, 0.9)]
    for x, y, size in trees:
        tree(points, (count - len(points)) // (len(trees) - trees.index((x, y, size))), x, y,
             size)
    header = ("ply\nformat binary_little_endian 1.0\ncomment made by make_coloured_scene.py\n"
              "element vertex %d\nproperty float x\nproperty float y\nproperty float z\n"
              "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n"
              % len(points))
    with open(path, "wb") as out:
        out.write(header.encode("ascii"))
        for x, y, z, (r, g, b) in points:
            # Up is y in the viewer; the ground's depth goes into z.
            out.write(struct.pack("<fffBBB", x, z, y, r, g, b))


if __name__ == "__main__":
    main()
