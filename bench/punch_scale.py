#!/usr/bin/env python3
"""Cost per punch of flatinsert at two sizes, by instruction counts (steadier than wall time on a shared
machine): writes the plate-with-punches session of bench/scenes.hpp for 0 (the plate alone, no step)
and for each size asked, runs `diehost run ... --step` under callgrind (the held-back pockets are cut
when the STEP is written), and prints the instructions per punch above the plate-alone run and the
ratio of each size's per-punch cost to the first's.
Usage: /usr/bin/python3 bench/punch_scale.py [build/bin/diehost] [N ...]   (default: 10 500)"""
import json
import math
import os
import re
import subprocess
import sys
import tempfile

host = sys.argv[1] if len(sys.argv) > 1 else "build/bin/diehost"
sizes = [int(a) for a in sys.argv[2:]] or [10, 500]


def session(n):
    per_row = max(1, math.ceil(math.sqrt(n)))
    pitch, margin = 30, 20
    side = per_row * pitch + 2 * margin
    objects = [{"name": "plate", "block": {"corner": [0, 0, 0], "size": [side, side, 25]}, "color": 100}]
    for i in range(n):
        x, y = margin + pitch * (i % per_row + 0.5), margin + pitch * (i // per_row + 0.5)
        objects.append({"name": "punch", "cylinder": {"base": [x, y, -10], "axis": [0, 0, 1], "height": 60,
                                                      "diameter": 10}})
    step = {"plugin": "flatinsert",
            "values": {"bodySelect0": ["punch"], "bodySelect01": ["plate"], "expression0": 2, "expression01": 1,
                       "toggle0": True, "toggle03": True},
            "press": ["apply", "cancel"]}
    return {"name": f"scale{n}", "objects": objects, "steps": [step] if n else []}


def instructions(folder, n):
    path = os.path.join(folder, f"scale{n}.json")
    with open(path, "w") as f:
        json.dump(session(n), f)
    run = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={folder}/cg.{n}", host, "run", path,
                          "--step", os.path.join(folder, f"scale{n}.step"), "--quiet"],
                         capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"punch_scale: diehost run of {n} punches failed: {run.stderr.strip().splitlines()[-1:]}")
    return int(re.search(r"Collected : (\d+)", run.stderr).group(1))


with tempfile.TemporaryDirectory() as folder:
    base = instructions(folder, 0)
    print(f"plate alone: {base / 1e6:.0f} M instructions")
    first = None
    for n in sizes:
        per = (instructions(folder, n) - base) / n
        first = first or per
        print(f"{n} punches: {per / 1e6:.1f} M instructions per punch ({per / first:.2f} x the cost at {sizes[0]})")
