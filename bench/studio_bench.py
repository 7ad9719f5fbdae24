#!/usr/bin/python3
"""Studio timings on the demo die (44 bodies), over HTTP as the page sees them: the first state and
mesh after the start (every body meshed), the same again (cached), the mesh size, and the round trips
of an Apply and of an OK against the plug-in's own time (the reply's "ms"), with the mesh fetched after
the OK (only the changed bodies meshed again). Medians of N runs.
Usage: bench/studio_bench.py [DIEHOST] [N]"""

import http.client
import json
import os
import re
import signal
import socket
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIEHOST = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin", "diehost")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 7


def start():
    process = subprocess.Popen([DIEHOST, "serve", os.path.join(ROOT, "examples", "demo.json")],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    for line in process.stdout:
        found = re.search(r"http://([\d.]+):(\d+)/\?token=(\w+)", line)
        if found:
            return process, found.group(1), int(found.group(2)), found.group(3)
    raise RuntimeError("diehost serve printed no address")


def main():
    process, host, port, token = start()
    connection = http.client.HTTPConnection(host, port, timeout=600)
    connection.connect()
    # Without it the client's small writes wait for a delayed ACK (about 40 ms a request).
    connection.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def call(method, path, body=None):
        began = time.perf_counter()
        connection.request(method, path, body=json.dumps(body) if body is not None else ("" if method == "POST" else None),
                           headers={"X-Diekit-Token": token})
        response = connection.getresponse()
        data = response.read()
        elapsed = (time.perf_counter() - began) * 1000
        assert response.status == 200, (path, response.status, data[:200])
        return data, elapsed

    _, cold_state = call("GET", "/api/state")
    mesh, cold_mesh = call("GET", "/api/mesh")
    bodies = len(json.loads(call("GET", "/api/state")[0])["bodies"])
    warm = [call("GET", "/api/state")[1] + call("GET", "/api/mesh")[1] for _ in range(RUNS)]

    def fill_boxspring():
        call("POST", "/api/dialog/open", {"plugin": "boxspring"})
        for block, value in [("point0", [0, -60, 0]), ("enum0", 3), ("expression0", 46),
                             ("selection0", ["xie_liao_ban", "xia_gu_ding_ban"])]:
            call("POST", "/api/dialog/value", {"block": block, "value": value})

    def press(button, plugin, overhead):
        reply, wall = call("POST", "/api/dialog/press", {"button": button})
        ms = json.loads(reply)["ms"]
        plugin.append(ms)
        overhead.append(wall - ms)

    apply_overhead, apply_plugin, ok_overhead, ok_plugin, remesh = [], [], [], [], []
    for _ in range(RUNS):
        fill_boxspring()
        press("apply", apply_plugin, apply_overhead)  # the dialog stays open
        call("POST", "/api/dialog/press", {"button": "cancel"})
        call("POST", "/api/undo")
        fill_boxspring()
        press("ok", ok_plugin, ok_overhead)  # answered once Show() has returned
        remesh.append(call("GET", "/api/state")[1] + call("GET", "/api/mesh")[1])
        call("POST", "/api/undo")

    process.send_signal(signal.SIGTERM)
    process.wait()
    print(f"demo die: {bodies} bodies, mesh {len(mesh) / 1e6:.2f} MB")
    print(f"first state + mesh after the start: {cold_state + cold_mesh:.0f} ms (state {cold_state:.0f}, mesh {cold_mesh:.0f})")
    print(f"state + mesh again (cached), median of {RUNS}: {statistics.median(warm):.1f} ms")
    for button, plugin, overhead in [("Apply", apply_plugin, apply_overhead), ("OK", ok_plugin, ok_overhead)]:
        print(f"boxspring {button} on the demo die, median of {RUNS}: plug-in {statistics.median(plugin):.1f} ms, "
              f"round trip minus plug-in {statistics.median(overhead):.1f} ms (largest {max(overhead):.1f})")
    print(f"state + mesh after that OK (changed bodies meshed again): {statistics.median(remesh):.1f} ms")


if __name__ == "__main__":
    main()
