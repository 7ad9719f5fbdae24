"""Drives the studio in headless Chromium: starts a studio server on a free port, opens the page,
clicks at the screen positions of model points, waits for the page to finish each action, and
reads screenshots. Used by the browser tests and by bench/studio_load.py."""

import io
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

CHROMIUM = os.environ.get("DIEKIT_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("DIEKIT_CHROMEDRIVER", "/usr/bin/chromedriver")
# Without these Chromium waits on the closed network; SwiftShader gives WebGL without a GPU.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-dev-shm-usage", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--force-device-scale-factor=1"]
WAIT = 120  # seconds: a limit for hung runs on a loaded machine, not a speed check


def missing_tools():
    """What the browser tests need and this machine lacks (empty when all is there)."""
    gone = [p for p in (CHROMIUM, CHROMEDRIVER) if not shutil.which(p)]
    return gone


class Server:
    """A studio server process (`diehost serve ...`) and the address it printed."""

    def __init__(self, command, cwd=None):
        self.proc = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     text=True, start_new_session=True)
        self.url = None
        deadline = time.monotonic() + WAIT
        seen = []
        while time.monotonic() < deadline and self.proc.poll() is None:
            ready, _, _ = select.select([self.proc.stdout], [], [], 0.5)
            if not ready:
                continue
            line = self.proc.stdout.readline()
            seen.append(line)
            m = re.search(r"studio at (http://\S+)", line)
            if m:
                self.url = m.group(1)
                break
        if not self.url:
            err = self.proc.stderr.read() if self.proc.poll() is not None else ""
            self.stop()
            raise RuntimeError(f"studio server did not print its address: {''.join(seen)}{err}".strip())
        self.token = re.search(r"token=([0-9a-fA-F]+)", self.url).group(1)
        self.base = self.url.split("/?")[0]

    def stop(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(20)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()
        for s in (self.proc.stdout, self.proc.stderr):
            if s:
                s.close()


class Browser:
    """Headless Chromium on a fresh profile, downloading into its own folder."""

    def __init__(self, width=1400, height=1000):
        self.profile = tempfile.mkdtemp(prefix="diekit-chromium-")
        self.downloads = tempfile.mkdtemp(prefix="diekit-downloads-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for f in FLAGS:
            options.add_argument(f)
        options.add_argument(f"--window-size={width},{height}")
        options.add_argument(f"--user-data-dir={self.profile}")
        options.add_experimental_option("prefs", {
            "download.default_directory": self.downloads, "download.prompt_for_download": False,
            "profile.default_content_setting_values.automatic_downloads": 1,  # more than one file
            "safebrowsing.enabled": False})
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_script_timeout(WAIT)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": self.downloads})

    def quit(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)
            shutil.rmtree(self.downloads, ignore_errors=True)

    def console(self):
        return [f"{e['level']}: {e['message']}" for e in self.driver.get_log("browser")]


class Studio:
    """The studio page open in a browser, with helpers that act as a designer does."""

    def __init__(self, browser, url):
        self.b = browser
        self.d = browser.driver
        self.d.get(url)
        self.wait(lambda d: d.execute_script("return document.body.dataset.ready") == "1",
                  "the page to show the work part")
        self.idle()

    def wait(self, condition, what, limit=WAIT):
        try:
            return WebDriverWait(self.d, limit, poll_frequency=0.05).until(condition)
        except TimeoutException:
            raise AssertionError(f"timed out waiting for {what}; page console: {self.b.console()}") from None

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def idle(self):
        """Waits until every queued action has its reply and a frame has been drawn after it."""
        self.wait(lambda d: d.execute_script("return document.body.dataset.busy") == "0", "the page to finish")
        self.d.execute_async_script("studio.viewer.nextFrame().then(() => arguments[arguments.length - 1]())")

    def error(self):
        return self.js("const e = document.getElementById('error'); return e.hidden ? '' : e.textContent")

    def state(self):
        return self.js("return studio.app.state")

    def bodies(self):
        return self.state()["bodies"]

    def body(self, name):
        found = [b for b in self.bodies() if b["name"] == name]
        assert len(found) == 1, f"expected one body named {name}, found {len(found)}"
        return found[0]

    def click_at(self, x, y):
        """A real mouse click at viewport pixels (x, y)."""
        actions = ActionBuilder(self.d)
        actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
        actions.pointer_action.pause(0.05)
        actions.pointer_action.click()
        actions.perform()

    def screen_of(self, point):
        p = self.js("return studio.project(arguments[0])", point)
        assert p["inside"], f"model point {point} is outside the view"
        return p["x"], p["y"]

    def click_model(self, point):
        """Clicks in the 3D view where the model point appears; returns what the page would pick."""
        x, y = self.screen_of(point)
        self.click_at(x, y)
        self.idle()

    def view(self, name):
        self.d.find_element(By.CSS_SELECTOR, f'#view-tools [data-view="{name}"]').click()
        self.idle()

    def open_plugin(self, name):
        self.d.find_element(By.CSS_SELECTOR, f'#plugins button[data-plugin="{name}"]').click()
        self.idle()
        self.wait(lambda d: d.execute_script(
            "return document.getElementById('dialog-panel').dataset.plugin") == name, f"the {name} dialog")

    def block(self, block_id):
        return self.d.find_element(By.CSS_SELECTOR, f'#dialog-form [data-block="{block_id}"]')

    def host_block(self, block_id):
        return self.js("return studio.app.dialog.blocks.find(b => b.id === arguments[0])", block_id)

    def activate(self, block_id):
        row = self.block(block_id)
        if "active" not in row.get_attribute("class").split():
            row.find_element(By.CSS_SELECTOR, '[data-action="pick"]').click()
        self.wait(lambda d: d.execute_script("return document.body.dataset.picking") == block_id,
                  f"pick mode for {block_id}")

    def type_into(self, input_element, text):
        input_element.click()
        input_element.send_keys(Keys.CONTROL, "a")
        input_element.send_keys(text, Keys.ENTER)
        self.idle()

    def type_block(self, block_id, text):
        self.type_into(self.block(block_id).find_element(By.CSS_SELECTOR, "input"), text)

    def choose(self, block_id, member):
        from selenium.webdriver.support.ui import Select
        Select(self.block(block_id).find_element(By.TAG_NAME, "select")).select_by_visible_text(member)
        self.idle()

    def press(self, button):
        self.d.find_element(By.ID, f"dlg-{button}").click()
        self.idle()

    def download(self, what, suffix):
        """Clicks a download button; returns the path of the file the browser saved."""
        before = set(os.listdir(self.b.downloads))
        self.d.find_element(By.CSS_SELECTOR, f'[data-download="{what}"]').click()
        self.idle()

        def saved(_):
            new = [f for f in set(os.listdir(self.b.downloads)) - before
                   if f.endswith(suffix) and not f.endswith(".crdownload")]
            return os.path.join(self.b.downloads, new[0]) if new else False
        return self.wait(saved, f"the {what} download")

    def view_png(self):
        return self.d.find_element(By.CSS_SELECTOR, "#view canvas").screenshot_as_png

    def page_png(self):
        return self.d.get_screenshot_as_png()


def colour_share(png, rgb):
    """Share of the image's pixels that show the colour rgb (0..255) shaded: a multiple k of it
    (0.3 <= k <= 1.3, as lighting darkens or brightens it) within a small distance."""
    from PIL import Image
    img = Image.open(io.BytesIO(png)).convert("RGB").resize((350, 225))
    c = [float(v) for v in rgb]
    cc = sum(v * v for v in c) or 1.0
    hits = 0
    pixels = list(img.getdata())
    for p in pixels:
        k = (p[0] * c[0] + p[1] * c[1] + p[2] * c[2]) / cc
        if 0.3 <= k <= 1.3 and sum((p[i] - k * c[i]) ** 2 for i in range(3)) < 20 ** 2:
            hits += 1
    return hits / len(pixels)


def distinct_colours(png):
    """How many distinct colours (quantised to 4 bits a channel) cover at least 0.2 % of the image."""
    from PIL import Image
    img = Image.open(io.BytesIO(png)).convert("RGB").resize((350, 225))
    counts = {}
    for p in img.getdata():
        q = (p[0] >> 4, p[1] >> 4, p[2] >> 4)
        counts[q] = counts.get(q, 0) + 1
    total = img.width * img.height
    return sum(1 for n in counts.values() if n >= 0.002 * total)
