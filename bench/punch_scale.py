#!/usr/bin/env python3
"""Cost per punch of flatinsert at two sizes: writes the plate-with-punches session of bench/scenes.hpp
for 0 (the plate alone, no step) and for each size asked, runs `diehost run ... --step` (the held-back
pockets are cut when the STEP is written), and prints the cost per punch above the plate-alone run and
the ratio of each size's per-punch cost to the first's. The cost is the process's CPU seconds (user +
system, median of 3 runs), or with --callgrind its instruction count (steadier on a shared machine, but
about 50 times slower: for small sizes).
Usage: /usr/bin/python3 bench/punch_scale.py [--callgrind] [build/bin/diehost] [N ...]   (default: 10 500)"""
import json
import math
import os
import re
import subprocess
import sys
import tempfile

args = sys.argv[1:]
callgrind = "--callgrind" in args
args = [a for a in args if a != "--callgrind"]
host = args[0] if args else "build/bin/diehost"
sizes = [int(a) for a in args[1:]] or [10, 500]
unit, scale = ("M instructions", 1e6) if callgrind else ("ms CPU", 1e-3)


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


def run_once(command):
    """The command's CPU seconds (user + system) and its standard error."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    err = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"punch_scale: {' '.join(command[-4:])} failed: {err.strip().splitlines()[-1:]}")
    return usage.ru_utime + usage.ru_stime, err


def cost(folder, n):
    path = os.path.join(folder, f"scale{n}.json")
    with open(path, "w") as f:
        json.dump(session(n), f)
    command = [host, "run", path, "--step", os.path.join(folder, f"scale{n}.step"), "--quiet"]
    if callgrind:
        _, err = run_once(["valgrind", "--tool=callgrind", f"--callgrind-out-file={folder}/cg.{n}"] + command)
        return int(re.search(r"Collected : (\d+)", err).group(1))
    return sorted(run_once(command)[0] for _ in range(3))[1]


with tempfile.TemporaryDirectory() as folder:
    base = cost(folder, 0)
    print(f"plate alone: {base / scale:.0f} {unit}")
    first = None
    for n in sizes:
        per = (cost(folder, n) - base) / n
        first = first or per
        print(f"{n} punches: {per / scale:.1f} {unit} per punch ({per / first:.2f} x the cost at {sizes[0]})")
