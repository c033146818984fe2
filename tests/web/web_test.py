#!/usr/bin/env python3
"""The browser build in headless Chromium, against the desktop build.

Serves build-web/ on 127.0.0.1, drives Chromium over its DevTools pipe (no extra packages),
and compares the page's test-mode report with the desktop program's --stats report.
Run after scripts/web.sh and scripts/build.sh; SG2_SKIP_SLOW=1 leaves out the whole show.
"""
import fcntl
import functools
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PAGE_DIR = os.path.join(ROOT, "build-web")
NATIVE = os.path.join(ROOT, "build", "stormglass2")


class Browser:
    """One headless Chromium with its DevTools protocol on file descriptors 3 and 4."""

    def __init__(self, extra_flags=()):
        self.profile = tempfile.TemporaryDirectory(prefix="sg2-chromium-")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        flags = [
            "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--remote-debugging-pipe", "--user-data-dir=" + self.profile.name,
            *extra_flags, "about:blank",
        ]

        def give_pipes():
            # Out of the way first, so neither end lands on the other's number.
            read_end = fcntl.fcntl(to_browser_read, fcntl.F_DUPFD, 100)
            write_end = fcntl.fcntl(from_browser_write, fcntl.F_DUPFD, 100)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self.process = subprocess.Popen(
            ["chromium", *flags], preexec_fn=give_pipes, pass_fds=(3, 4),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.pending = b""
        self.next_id = 0
        self.events = []
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        self.page("Runtime.enable")

    def call(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            while b"\0" not in self.pending:
                if time.monotonic() > deadline:
                    raise TimeoutError(method)
                chunk = os.read(self.from_browser, 1 << 16)
                if not chunk:
                    raise RuntimeError("Chromium closed its DevTools pipe")
                self.pending += chunk
            raw, self.pending = self.pending.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]
            self.events.append(reply)

    def page(self, method, params=None, timeout=60):
        return self.call(method, params, self.session, timeout)

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True,
                            "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                value = self.evaluate(expression)
            except RuntimeError:  # the page is still being replaced
                value = None
            if value:
                return value
            time.sleep(0.25)
        raise TimeoutError(f"{expression}\npage console:\n{self.console()}")

    def console(self):
        lines = []
        for event in self.events:
            params = event.get("params", {})
            if event.get("method") == "Runtime.consoleAPICalled":
                lines.append(" ".join(str(a.get("value", a.get("description", "")))
                                      for a in params.get("args", [])))
            elif event.get("method") == "Runtime.exceptionThrown":
                details = params.get("exceptionDetails", {})
                lines.append(details.get("exception", {}).get("description", str(details)))
        return "\n".join(lines[-20:])

    def press(self, key, code, key_code, text=None):
        for kind in ("keyDown", "keyUp"):
            event = {"type": kind, "key": key, "code": code, "windowsVirtualKeyCode": key_code}
            if text and kind == "keyDown":
                event["text"] = text
            self.page("Input.dispatchKeyEvent", event)

    def centre_of(self, element_id):
        """The element's centre in the viewport, after scrolling it into view."""
        return self.evaluate(f"""(() => {{
            const e = document.getElementById('{element_id}');
            e.scrollIntoView({{block: 'center'}});
            const r = e.getBoundingClientRect();
            const inside = r.width > 0 && r.left >= 0 && r.top >= 0 &&
                           r.right <= innerWidth && r.bottom <= innerHeight;
            return inside ? [r.left + r.width / 2, r.top + r.height / 2] : null; }})()""")

    def tap(self, element_id):
        at = self.centre_of(element_id)
        if at is None:
            raise AssertionError(f"#{element_id} is not inside the viewport")
        point = [{"x": at[0], "y": at[1]}]
        self.page("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": point})
        self.page("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def click(self, element_id):
        at = self.centre_of(element_id)
        if at is None:
            raise AssertionError(f"#{element_id} is not inside the viewport")
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent", {"type": kind, "x": at[0], "y": at[1],
                                                   "button": "left", "clickCount": 1})

    def before_load(self, script):
        """Runs `script` in every page before the page's own scripts."""
        self.page("Page.enable")
        self.page("Page.addScriptToEvaluateOnNewDocument", {"source": script})

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except (RuntimeError, TimeoutError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        self.profile.cleanup()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve():
    handler = functools.partial(QuietHandler, directory=PAGE_DIR)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def native_report(options):
    """The desktop program's headless report with the same options, and its wall time."""
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, "stats.json")
        began = time.monotonic()
        subprocess.run([NATIVE, "--headless", "--stats", path, *options],
                       cwd=os.path.dirname(NATIVE), stdout=subprocess.DEVNULL, check=True)
        elapsed = (time.monotonic() - began) * 1000
        with open(path, encoding="utf-8") as report:
            return json.load(report), elapsed


def native_first_window(frames):
    """The first `frames` stereo frames the desktop program's --wav writes, as 16-bit pairs."""
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, "song.wav")
        subprocess.run([NATIVE, "--headless", "--wav", path, "--quit-at", "0:16"],
                       cwd=os.path.dirname(NATIVE), stdout=subprocess.DEVNULL, check=True)
        with wave.open(path) as song:
            raw = song.readframes(frames)
    samples = memoryview(raw).cast("h")
    return list(samples[0::2]), list(samples[1::2])


# Lit pixels on the page's canvas: more than a thousand means the show is drawing.
PICTURE_LIT = """(() => {
    const c = document.getElementById('screen');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let lit = 0;
    for (let i = 0; i < d.length; i += 4) lit += (d[i] | d[i + 1] | d[i + 2]) ? 1 : 0;
    return lit > 1000; })()"""
PICTURE_SUM = """(() => {
    const c = document.getElementById('screen');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let sum = 0;
    for (let i = 0; i < d.length; ++i) sum = (sum * 31 + d[i]) | 0;
    return sum; })()"""
SHOWING = ("document.getElementById('launcher').hidden && "
           "document.getElementById('stage').classList.contains('running')")


def figures(label, report, elapsed_ms):
    frames = sum(scene["frames"] for scene in report["scenes"])
    playing_s = (elapsed_ms - report["prepMs"]) / 1000
    return (f"{label}: preparation {report['prepMs']:.0f} ms, {frames} frames "
            f"at {frames / playing_s:.0f} fps")


class WebTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for needed in ("index.html", "stormglass2.js", "stormglass2.wasm", "sg2.dat", "sg2.it"):
            if not os.path.exists(os.path.join(PAGE_DIR, needed)):
                raise unittest.SkipTest(f"build-web/{needed} is missing: run scripts/web.sh")
        cls.server = serve()
        cls.base = f"http://127.0.0.1:{cls.server.server_address[1]}/"

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def report_of(self, query, timeout):
        browser = Browser()
        try:
            browser.page("Page.navigate", {"url": self.base + "index.html?" + query})
            browser.wait_for("document.getElementById('stats').dataset.status !== undefined",
                             timeout)
            status = browser.evaluate("document.getElementById('stats').dataset.status")
            text = browser.evaluate("document.getElementById('stats').textContent")
            elapsed = float(browser.evaluate("document.getElementById('stats').dataset.runMs"))
        finally:
            browser.close()
        self.assertEqual(status, "0", text)
        return json.loads(text), elapsed

    def assertSameShow(self, web, native):
        # Timings differ; positions, frame counts and every picture must not.
        keys = ("scene", "startOrder", "startRow", "endOrder", "endRow", "frames", "frameHash")
        strip = lambda report: [{k: scene[k] for k in keys} for scene in report["scenes"]]
        self.assertEqual(web["dots"], native["dots"])
        self.assertEqual(strip(web), strip(native))

    def test_first_scenes_equal_native(self):
        for query, options in (("headless&quit-at=3:0", ["--quit-at", "3:0"]),
                               ("headless&dance&trail=1&quit-at=2:0",
                                ["--dance", "--trail", "1", "--quit-at", "2:0"])):
            with self.subTest(query=query):
                web, web_ms = self.report_of(query, 300)
                native, native_ms = native_report(options)
                self.assertSameShow(web, native)
                self.assertGreaterEqual(len(web["scenes"]), 2)
                print("\n  " + figures("chromium", web, web_ms) +
                      "\n  " + figures("native  ", native, native_ms), file=sys.stderr)

    @unittest.skipIf(os.environ.get("SG2_SKIP_SLOW") == "1", "slow: the whole show")
    def test_whole_show_equals_native(self):
        web, web_ms = self.report_of("headless&dance&trail=2", 900)
        native, native_ms = native_report(["--dance", "--trail", "2"])
        self.assertEqual(len(web["scenes"]), 21)
        self.assertSameShow(web, native)
        print("\n  " + figures("chromium", web, web_ms) +
              "\n  " + figures("native  ", native, native_ms), file=sys.stderr)
        for scene in web["scenes"]:
            print(f"  scene {scene['scene']:2} {scene['frameHash']}", file=sys.stderr)

    def test_real_time_play_shows_pictures_and_sound_then_escape_returns(self):
        browser = Browser(["--autoplay-policy=no-user-gesture-required"])
        try:
            browser.page("Page.navigate", {"url": self.base + "index.html"})
            browser.wait_for("!document.getElementById('launcher').hidden", 30)
            browser.evaluate("document.getElementById('trail').value = '2';"
                             "document.getElementById('run').click()")
            browser.wait_for("document.getElementById('launcher').hidden", 10)
            # Preparation comes first; then pictures and sound must follow within seconds.
            browser.wait_for(PICTURE_LIT, 60)
            self.assertEqual(browser.evaluate("sg2AudioState()"), "running")
            # The song reaches the context through the program's own buffers (not the silent
            # fallback): about 43 a second.
            browser.wait_for("(running.sg2AudioBuffers || 0) > 40", 10)
            # What the speakers got first is the song from its first sample, as the desktop
            # records it: nothing lost while the show prepared.
            window = browser.evaluate("Array.from(running.sg2FirstWindow)")
            half = len(window) // 2
            heard = ([round(v * 32768) for v in window[:half]],
                     [round(v * 32768) for v in window[half:]])
            native = native_first_window(half)
            self.assertTrue(any(native[0]), "the song's first window is silent")
            self.assertEqual(heard, native)
            self.assertTrue(browser.evaluate("document.getElementById('stage')"
                                             ".classList.contains('running')"))
            browser.press("Escape", "Escape", 27)
            browser.wait_for("!document.getElementById('launcher').hidden", 30)
            self.assertEqual(browser.evaluate("document.getElementById('message').textContent"),
                             "")
            # The form starts the show again after an ended one, and an Escape pressed before
            # the program is ready still ends it (after its preparation).
            browser.evaluate("document.getElementById('run').click()")
            browser.wait_for("document.getElementById('launcher').hidden", 10)
            browser.press("Escape", "Escape", 27)
            browser.wait_for("!document.getElementById('launcher').hidden", 60)
        finally:
            browser.close()


    def page_in(self, browser, query="", timeout=30):
        browser.page("Page.navigate", {"url": self.base + "index.html" + query})
        browser.wait_for("document.readyState === 'complete'", timeout)

    def test_failures_said_in_plain_words(self):
        # Each failure a visitor may meet leaves words on the page, never a black screen.
        cases = (
            ("delete window.WebAssembly;", "failure", "cannot run WebAssembly"),
            ("""const realFetch = window.fetch;
                window.fetch = (what, options) => String(what).endsWith('sg2.it')
                    ? Promise.resolve(new Response('', {status: 404,
                                                        statusText: 'File not found'}))
                    : realFetch(what, options);""", "failure", "sg2.it could not be downloaded"),
        )
        for script, element, words in cases:
            with self.subTest(words=words):
                browser = Browser()
                try:
                    browser.before_load(script)
                    self.page_in(browser)
                    text = browser.wait_for(f"""(() => {{ const e =
                        document.getElementById('{element}');
                        return !e.hidden && e.offsetHeight > 0 && e.textContent; }})()""", 30)
                    self.assertIn(words, text)
                    self.assertTrue(browser.evaluate(
                        "document.getElementById('launcher').hidden"))
                finally:
                    browser.close()
        # Without JavaScript the page says so.
        browser = Browser()
        try:
            browser.page("Emulation.setScriptExecutionDisabled", {"value": True})
            self.page_in(browser)
            text = browser.page("Runtime.evaluate", {"expression": "document.body.innerText",
                                                      "returnByValue": True})
            self.assertIn("JavaScript", text["result"].get("value", ""))
        finally:
            browser.close()

    def test_sound_refused_plays_silently_and_says_why(self):
        browser = Browser()
        try:
            browser.before_load(
                "AudioContext.prototype.resume = function () { return new Promise(() => {}); };")
            self.page_in(browser)
            browser.evaluate("document.getElementById('run').click()")
            browser.wait_for(PICTURE_LIT, 60)
            line = browser.wait_for("""(() => { const e = document.getElementById('sound-line');
                return !e.hidden && e.offsetHeight > 0 && e.textContent; })()""", 5)
            self.assertIn("silently", line)
            self.assertIn("Try sound again", line)
            self.assertNotEqual(browser.evaluate("sg2AudioState()"), "running")
        finally:
            browser.close()

    def test_loading_indicator_while_a_slow_connection_downloads(self):
        browser = Browser()
        try:
            browser.page("Network.enable")
            browser.page("Network.setCacheDisabled", {"cacheDisabled": True})
            browser.page("Network.emulateNetworkConditions",
                         {"offline": False, "latency": 50, "downloadThroughput": 16e6 / 8,
                          "uploadThroughput": 16e6 / 8})
            browser.page("Page.navigate", {"url": self.base + "index.html"})
            browser.wait_for("document.getElementById('run') && "
                             "!document.getElementById('launcher').hidden", 30)
            # Run Demo at once, before the downloads are done.
            browser.evaluate("document.getElementById('run').click()")
            seen = set()
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline and not browser.evaluate(PICTURE_LIT):
                seen.add(browser.evaluate("""(() => {
                    const box = document.getElementById('loading');
                    const bar = document.getElementById('loading-bar');
                    if (box.hidden || box.offsetHeight === 0) return 'none';
                    if (bar.value > 0 && bar.value < bar.max &&
                        document.getElementById('loading-text').textContent
                            .startsWith('Loading')) return 'bytes';
                    return 'other'; })()"""))
                time.sleep(0.1)
            self.assertTrue(browser.evaluate(PICTURE_LIT), browser.console())
            self.assertIn("bytes", seen)
            # The program was fetched alongside the data, not after it.
            wasm_start, data_end = browser.evaluate("""(() => {
                const entry = (name) => performance.getEntriesByType('resource')
                    .find((e) => e.name.endsWith(name));
                return [entry('stormglass2.wasm').startTime, entry('sg2.dat').responseEnd];
                })()""")
            self.assertLess(wasm_start, data_end)
        finally:
            browser.close()

    def test_preparation_moves_the_bar_before_the_first_frame(self):
        browser = Browser(["--autoplay-policy=no-user-gesture-required"])
        try:
            self.page_in(browser)
            browser.wait_for("loaded.done", 30)
            # The bar as each painted frame shows it, from Run Demo to the first picture.
            browser.evaluate("""(() => {
                window.barSeen = [];
                const sample = () => {
                    if (prepared) return;
                    const text = document.getElementById('loading-text').textContent;
                    const bar = document.getElementById('loading-bar');
                    if (text.startsWith('Preparing')) {
                        barSeen.push([bar.value, bar.max, text.length - text.indexOf('.')]);
                    }
                    requestAnimationFrame(sample);
                };
                document.getElementById('run').click();
                requestAnimationFrame(sample); })()""")
            browser.wait_for(PICTURE_LIT, 60)
            seen = browser.evaluate("barSeen")
            values = [value for value, _, _ in seen]
            self.assertTrue(all(bar_max == 46 for _, bar_max, _ in seen), seen)
            self.assertEqual(values, sorted(values))
            # Dots and bar agree, and the bar stood between empty and full on several frames.
            self.assertTrue(all(value == dots for value, _, dots in seen if value > 0), seen)
            between = {value for value in values if 0 < value < 46}
            self.assertGreaterEqual(len(between), 3, seen)
        finally:
            browser.close()

    def test_phone_touch_full_screen_and_stop(self):
        browser = Browser(["--autoplay-policy=no-user-gesture-required"])
        try:
            browser.page("Emulation.setDeviceMetricsOverride",
                         {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
            browser.page("Emulation.setTouchEmulationEnabled", {"enabled": True})
            self.page_in(browser)
            browser.tap("run")
            browser.wait_for(PICTURE_LIT, 60)
            # Full screen on and off during the show leaves it playing.
            browser.tap("show-fullscreen")
            browser.wait_for("document.fullscreenElement !== null", 5)
            browser.tap("show-fullscreen")
            browser.wait_for("document.fullscreenElement === null", 5)
            time.sleep(0.5)
            self.assertTrue(browser.evaluate(SHOWING))
            picture = browser.evaluate(PICTURE_SUM)
            browser.wait_for(f"{PICTURE_SUM} !== {picture}", 5)
            # A finger ends the show, and the form takes the focus back.
            browser.tap("stop")
            browser.wait_for("!document.getElementById('launcher').hidden", 30)
            self.assertEqual(browser.evaluate("document.activeElement.id"), "run")
        finally:
            browser.close()

    def test_choices_remembered_and_enter_only_on_buttons(self):
        browser = Browser()
        try:
            self.page_in(browser)
            browser.click("dance")
            browser.click("stereo")
            browser.evaluate("""(() => { const t = document.getElementById('trail');
                t.value = '1'; t.dispatchEvent(new Event('change', {bubbles: true})); })()""")
            # Enter on a box changes nothing.
            browser.evaluate("document.getElementById('dance').focus()")
            browser.press("Enter", "Enter", 13, "\r")
            time.sleep(0.5)
            self.assertFalse(browser.evaluate("document.getElementById('launcher').hidden"))
            browser.page("Page.reload")
            browser.wait_for("document.readyState === 'complete' && "
                             "!document.getElementById('launcher').hidden", 30)
            self.assertEqual(browser.evaluate("""[document.getElementById('dance').checked,
                document.getElementById('stereo').checked,
                document.getElementById('trail').value]"""), [True, True, "1"])
        finally:
            browser.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
