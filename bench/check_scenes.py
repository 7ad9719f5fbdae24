#!/usr/bin/env python3
"""Writes the interference-check scenes of bench/paired.sh into the folder given: blocks100.json, 100
identical blocks at one place (every pair overlaps), and fixtures300.json, 300 blocks, cylinders and
prisms scattered (seeded) over 400 x 400 so that neighbours overlap."""
import json
import random
import sys

folder = sys.argv[1]
blocks = [{"name": f"b{i}", "block": {"corner": [0, 0, 0], "size": [50, 40, 30]}} for i in range(100)]
json.dump({"name": "blocks100", "objects": blocks}, open(f"{folder}/blocks100.json", "w"))

rng = random.Random(7)
objects = []
for i in range(300):
    x, y, z = rng.uniform(0, 400), rng.uniform(0, 400), rng.uniform(0, 40)
    if i % 3 == 0:
        objects.append({"name": f"b{i}", "block": {"corner": [x, y, z],
                        "size": [rng.uniform(10, 40), rng.uniform(10, 40), rng.uniform(5, 30)]}})
    elif i % 3 == 1:
        objects.append({"name": f"c{i}", "cylinder": {"base": [x, y, z], "axis": [0, 0, 1],
                        "height": rng.uniform(10, 40), "diameter": rng.uniform(5, 30)}})
    else:
        w = rng.uniform(8, 30)
        objects.append({"name": f"p{i}", "prism": {"outline": [[x, y], [x + w, y], [x + w * 0.5, y + w]],
                        "z": [z, z + rng.uniform(5, 30)]}})
json.dump({"name": "fixtures300", "objects": objects}, open(f"{folder}/fixtures300.json", "w"))
