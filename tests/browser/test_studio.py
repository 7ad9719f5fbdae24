"""The studio in a real browser: a designer's session on the fixture part, clicked through in
headless Chromium against `diehost serve`. Run by ctest (tests/browser/CMakeLists.txt):
    /usr/bin/python3 tests/browser/test_studio.py StudioTest.test_flatinsert
Needs DIEKIT_DIEHOST (the diehost command). Exit status 77 (skipped) when Chromium, its driver,
Selenium or PIL is missing; ./diekit installs them. DIEKIT_STUDIO_SCREENSHOT=path also saves the
page with the flatinsert dialog filled in there (the README's picture)."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

try:
    import PIL  # noqa: F401
    import harness
    from selenium.webdriver.common.by import By
except ImportError as e:  # the tools come from Debian packages that ./diekit installs
    print(f"browser tests skipped: {e}")
    sys.exit(77)

FIXTURE = os.path.join(HERE, "fixture.json")
DIEHOST = os.path.abspath(os.environ.get("DIEKIT_DIEHOST", os.path.join(HERE, "..", "..", "build", "bin", "diehost")))


def top_centre(body):
    x0, y0, _, x1, y1, z1 = body["box"]
    return [(x0 + x1) / 2, (y0 + y1) / 2, z1]


def picked_tags(block):
    """The tags a collector holds, as the host reports them."""
    if "picks" in block:
        return [p["tag"] for p in block["picks"]]
    return [v if isinstance(v, int) else v["tag"] for v in block["value"]]


def bodies_of(report):
    """What must match between two runs: each body's name, colour, volume and box, in order."""
    return [(b["name"], b["color"], round(b["volume"], 6), [round(v, 6) for v in b["bbox"]])
            for b in report["bodies"]]


class StudioTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory(prefix="diekit-studio-test-")
        self.server = harness.Server([DIEHOST, "serve", FIXTURE, "--port", "0"], cwd=self.work.name)
        self.addCleanup(self.server.stop)
        self.browser = harness.Browser()
        self.addCleanup(self.browser.quit)
        self.studio = harness.Studio(self.browser, self.server.url)

    def tearDown(self):
        self.work.cleanup()

    def assertNoError(self):
        self.assertEqual(self.studio.error(), "", "the page shows an error")

    def assertColourShown(self, png, rgb, what):
        share = harness.colour_share(png, rgb)
        self.assertGreater(share, 0.002, f"{what} (rgb {rgb}) not visible in the view: {share:.4%} of pixels")

    def test_flatinsert(self):
        s = self.studio
        plate, punch1, punch2 = s.body("plate"), s.body("punch1"), s.body("punch2")
        before = s.bodies()

        # The fixture is drawn in its colours before anything is done.
        png = s.view_png()
        self.assertGreaterEqual(harness.distinct_colours(png), 4, "the view looks blank")
        self.assertColourShown(png, plate["rgb"], "the plate")
        self.assertColourShown(png, punch1["rgb"], "the punches")

        s.open_plugin("flatinsert")
        s.activate("bodySelect0")
        s.click_model(top_centre(punch1))
        s.click_model(top_centre(punch2))
        self.assertEqual(picked_tags(s.host_block("bodySelect0")), [punch1["tag"], punch2["tag"]])
        s.activate("bodySelect01")
        x0, y0, _, _, _, z1 = plate["box"]
        s.click_model([x0 + 12, y0 + 12, z1])   # the plate's top, away from the punches
        self.assertEqual(picked_tags(s.host_block("bodySelect01")), [plate["tag"]])
        summary = s.block("bodySelect0").text
        self.assertIn("punch1", summary)
        self.assertIn("punch2", summary)

        s.type_block("expression0", "3")
        s.type_block("expression01", "1.5")
        s.block("toggle0").find_element(By.CSS_SELECTOR, "input").click()
        s.idle()
        self.assertEqual(s.host_block("expression0")["value"], 3)
        self.assertEqual(s.host_block("expression01")["value"], 1.5)
        self.assertIs(s.host_block("toggle0")["value"], True)
        self.assertNoError()
        if os.environ.get("DIEKIT_STUDIO_SCREENSHOT"):   # the README's picture: the filled dialog
            s.activate("bodySelect0")
            with open(os.environ["DIEKIT_STUDIO_SCREENSHOT"], "wb") as f:
                f.write(s.page_png())

        s.press("ok")
        self.assertNoError()
        self.assertFalse(s.d.find_element(By.ID, "dialog-panel").is_displayed(), "the dialog stayed open after OK")
        after = s.bodies()
        old = {b["tag"] for b in before}
        inserts = [b for b in after if b["tag"] not in old]
        self.assertEqual(len(inserts), 2, f"expected one insert per punch, got {inserts}")
        rows = [int(li.get_attribute("data-tag")) for li in s.d.find_elements(By.CSS_SELECTOR, "#bodies li[data-kind=body]")]
        self.assertEqual(rows, [b["tag"] for b in after], "the navigator does not list the work part's bodies")
        drawn = set(s.js("return studio.bodiesDrawn()"))
        self.assertTrue({b["tag"] for b in inserts} <= drawn, "the inserts are not drawn in the view")
        # Hiding the plate in the navigator shows the inserts whole; showing it brings it back.
        eye = f'#bodies li[data-tag="{plate["tag"]}"] [data-action=show]'
        s.d.find_element(By.CSS_SELECTOR, eye).click()
        s.idle()
        png = s.view_png()
        self.assertColourShown(png, inserts[0]["rgb"], "the inserts")
        self.assertLess(harness.colour_share(png, plate["rgb"]), 0.0005, "the hidden plate is still drawn")
        s.d.find_element(By.CSS_SELECTOR, eye).click()
        s.idle()
        self.assertColourShown(s.view_png(), plate["rgb"], "the plate shown again")

        # The session the page recorded replays to the same bodies as the studio's own report.
        session = s.download("session", ".json")
        report = s.download("report", ".json")
        with open(report) as f:
            studio_report = json.load(f)
        replayed = os.path.join(self.work.name, "replayed.json")
        run = subprocess.run([DIEHOST, "run", session, "--report", replayed, "-q"],
                             capture_output=True, text=True, cwd=self.work.name)
        self.assertEqual(run.returncode, 0, f"diehost run of the downloaded session failed: {run.stderr}")
        with open(replayed) as f:
            replay = json.load(f)
        self.assertEqual(bodies_of(replay), bodies_of(studio_report))
        self.assertEqual(len(replay["bodies"]), len(after))

    def test_boxspring(self):
        s = self.studio
        plate = s.body("plate")
        before = {b["tag"] for b in s.bodies()}
        s.open_plugin("boxspring")

        # A point picked on the plate's top lands on that face.
        s.activate("point0")
        s.click_model([55, 30, plate["box"][5]])
        x, y, z = s.host_block("point0")["value"]
        self.assertAlmostEqual(x, 55, delta=1.0)
        self.assertAlmostEqual(y, 30, delta=1.0)
        self.assertAlmostEqual(z, plate["box"][5], places=6)
        shown = [float(i.get_attribute("value")) for i in s.block("point0").find_elements(By.CSS_SELECTOR, "input")]
        self.assertEqual(shown, [x, y, z], "the point's fields do not show the host's point")

        # The spring length follows the size chosen (its free length) and the page shows the
        # host's formula, also over a length typed before; other blocks leave it alone.
        length = s.block("expression0").find_element(By.CSS_SELECTOR, "input")
        self.assertEqual(s.host_block("expression0")["formula"], "25")
        for member, free in [("SPRING32X38", "38"), ("SPRING50X64", "64"), ("SPRING13X25", "25")]:
            s.choose("enum0", member)
            self.assertEqual(s.host_block("expression0")["formula"], free, member)
            self.assertEqual(length.get_attribute("value"), free, member)
        s.type_block("expression0", "30")
        s.block("toggle0").find_element(By.CSS_SELECTOR, "input").click()
        s.idle()
        self.assertEqual(s.host_block("expression0")["formula"], "30")
        s.choose("enum0", "SPRING40X51")
        self.assertEqual(length.get_attribute("value"), "51")
        s.block("toggle0").find_element(By.CSS_SELECTOR, "input").click()
        s.idle()

        s.activate("selection0")
        x0, y0, _, _, _, z1 = plate["box"]
        s.click_model([x0 + 12, y0 + 12, z1])
        self.assertEqual(picked_tags(s.host_block("selection0")), [plate["tag"]])
        unbuilt = s.view_png()
        s.press("ok")
        self.assertNoError()
        springs = [b for b in s.bodies() if b["tag"] not in before]
        self.assertTrue(springs, "no spring in the work part after OK")
        centres = [((b["box"][0] + b["box"][3]) / 2, (b["box"][1] + b["box"][4]) / 2) for b in springs]
        self.assertTrue(any(abs(cx - x) < 1e-3 and abs(cy - y) < 1e-3 for cx, cy in centres),
                        f"no spring stands at the picked point {x, y}: {centres}")
        png = s.view_png()
        self.assertGreaterEqual(harness.distinct_colours(png), 4, "the view looks blank")
        # The spring is grey, like the smoothed edges of every body: it must add that colour to the view.
        grey = springs[0]["rgb"]
        added = harness.colour_share(png, grey) - harness.colour_share(unbuilt, grey)
        self.assertGreater(added, 0.002, f"the spring (rgb {grey}) is not visible in the view")


if __name__ == "__main__":
    missing = harness.missing_tools()
    if missing:
        print(f"browser tests skipped: {', '.join(missing)} not installed")
        sys.exit(77)
    unittest.main()
