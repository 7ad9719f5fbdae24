#!/usr/bin/python3
"""How soon the studio shows a part: serves a session with `diehost serve`, loads the page N times
in headless Chromium (a fresh navigation each time, the browser kept warm) and reports, measured
in the browser, the milliseconds from navigation start to the first frame with every body drawn,
and the same split into the page's own start (scripts loaded), the API replies, and the drawing.

    /usr/bin/python3 bench/studio_load.py [--runs N] [--diehost build/bin/diehost] [SESSION]

The default session is examples/demo.json (the full demo die, 44 bodies)."""

import argparse
import os
import statistics
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "browser"))
import harness  # noqa: E402

# Milliseconds since navigation start of: the page's module loaded, the state and mesh replies in
# (the mesh's resource entry), and the first full frame; bytes of the mesh.
PROBE = """
const mesh = performance.getEntriesByType('resource').find(e => e.name.includes('/api/mesh'));
const main = performance.getEntriesByType('resource').find(e => e.name.includes('/studio/js/main.js'));
return {frame: studio.timing.firstFrame, bodies: studio.timing.bodies,
        drawn: studio.bodiesDrawn().length, script: main ? main.responseEnd : null,
        mesh_start: mesh ? mesh.requestStart : null, mesh_end: mesh ? mesh.responseEnd : null,
        mesh_bytes: mesh ? mesh.encodedBodySize : null};
"""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("session", nargs="?", default=os.path.join(ROOT, "examples", "demo.json"))
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--diehost", default=os.path.join(ROOT, "build", "bin", "diehost"))
    args = ap.parse_args()

    work = tempfile.TemporaryDirectory(prefix="diekit-studio-bench-")
    server = harness.Server([args.diehost, "serve", os.path.abspath(args.session), "--port", "0"], cwd=work.name)
    browser = harness.Browser()
    rows = []
    try:
        harness.Studio(browser, server.url)   # warm-up: the browser's own start is not the page's
        for _ in range(args.runs):
            browser.driver.get("about:blank")
            harness.Studio(browser, server.url)
            rows.append(browser.driver.execute_script(PROBE))
    finally:
        browser.quit()
        server.stop()
        work.cleanup()

    def med(key):
        values = [r[key] for r in rows if r[key] is not None]
        return statistics.median(values) if values else float("nan")
    print(f"session {os.path.relpath(args.session, ROOT)}: {rows[0]['bodies']} bodies, "
          f"{rows[0]['drawn']} drawn, mesh {med('mesh_bytes') / 1e6:.2f} MB")
    print(f"first frame with every body drawn: median {med('frame'):.0f} ms after navigation start "
          f"(runs: {', '.join('%.0f' % r['frame'] for r in rows)})")
    print(f"  page script loaded {med('script'):.0f} ms, mesh requested {med('mesh_start'):.0f} ms, "
          f"mesh received {med('mesh_end'):.0f} ms, drawn {med('frame'):.0f} ms")


if __name__ == "__main__":
    main()
