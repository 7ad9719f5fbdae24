#!/usr/bin/python3
"""How soon the studio shows a part: serves a session with `diehost serve`, loads the page once and
then N times more in headless Chromium (a fresh navigation each time, the browser kept) and reports, measured
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
const t = studio.timing;
return {modules: t.modules, viewer: t.viewer, frame: t.firstFrame, replies: t.replies, parsed: t.parsed, built: t.built, bodies: studio.timing.bodies,
        drawn: studio.bodiesDrawn().length, script: main ? main.responseEnd : null,
        mesh_start: mesh ? mesh.requestStart : null, mesh_end: mesh ? mesh.responseEnd : null,
        mesh_bytes: mesh ? mesh.encodedBodySize : null};
"""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("session", nargs="?", default=os.path.join(ROOT, "examples", "demo.json"))
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--diehost", default=os.path.join(ROOT, "build", "bin", "diehost"))
    ap.add_argument("--accept-encoding", help="Accept-Encoding the browser sends (e.g. identity: no compression)")
    args = ap.parse_args()

    work = tempfile.TemporaryDirectory(prefix="diekit-studio-bench-")
    server = harness.Server([args.diehost, "serve", os.path.abspath(args.session), "--port", "0"], cwd=work.name)
    browser = harness.Browser()
    rows = []
    try:
        if args.accept_encoding:
            browser.driver.execute_cdp_cmd("Network.enable", {})
            browser.driver.execute_cdp_cmd("Network.setExtraHTTPHeaders",
                                           {"headers": {"Accept-Encoding": args.accept_encoding}})
        # The first load after the server started (the server may still be meshing the part);
        # the runs after it are the page's steady cost.
        harness.Studio(browser, server.url)
        cold = browser.driver.execute_script(PROBE)
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
    print(f"first load after the server started: first full frame at {cold['frame']:.0f} ms "
          f"(mesh received {cold['mesh_end']:.0f} ms)")
    print(f"first frame with every body drawn: median {med('frame'):.0f} ms after navigation start "
          f"(runs: {', '.join('%.0f' % r['frame'] for r in rows)})")
    print(f"  medians: page script loaded {med('script'):.0f} ms, mesh requested {med('mesh_start'):.0f} ms, "
          f"mesh received {med('mesh_end'):.0f} ms, modules evaluated {med('modules'):.0f} ms, "
          f"WebGL view made {med('viewer'):.0f} ms, replies taken {med('replies'):.0f} ms, "
          f"mesh parsed {med('parsed'):.0f} ms, scene built {med('built'):.0f} ms, drawn {med('frame'):.0f} ms")


if __name__ == "__main__":
    main()
