#!/usr/bin/python3
"""The page as site owners serve it and visitors come back to it, in headless Chromium through
Selenium: a new build under each kind of caching header, a page removed or moved, the page at a
site's root beside others, opened from disk, each failure to start, a strict policy, 400 % zoom and
axe-core's audit. Usage: served_test.py PAGE_FOLDER"""
import email.utils
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.wait import WebDriverWait

PAGE = pathlib.Path(sys.argv.pop(1)).resolve()
ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(ROOT / "scripts" / "lib"))
from web_server import serve  # noqa: E402

STRICT = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'"
FILES = sorted(f.name for f in PAGE.iterdir() if f.name != "service-worker.js")


def build(folder, mark):
    """A copy of the page as another build would be: other bytes in the page and in its script,
    the worker stamped as the build stamps it."""
    shutil.copytree(PAGE, folder)
    index = folder / "index.html"
    index.write_text(index.read_text().replace("<head>", f'<head><meta name="build" content="{mark}">'))
    with open(folder / "converter.js", "a") as script:
        script.write(f"\nself.build = '{mark}';\n")
    subprocess.run(["/usr/bin/python3", ROOT / "packaging/web/finish_page.py", "stamp",
                    ROOT / "packaging/web/service-worker.js.in", folder, *FILES], check=True)
    return folder


class Served(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--accept-lang=de-DE"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.temp = tempfile.TemporaryDirectory()
        cls.builds = {mark: build(pathlib.Path(cls.temp.name) / mark, mark) for mark in "AB"}

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.temp.cleanup()

    def run_async(self, script):
        return self.driver.execute_async_script(
            f"const done = arguments[0]; (async () => {{ {script} }})().then(done, (e) => done(String(e)))")

    def open(self, url):
        """Opens the page; returns the result after 8,65 typed into the second field."""
        self.driver.get(url)
        field = WebDriverWait(self.driver, 10).until(lambda d: d.find_elements(By.ID, "I2"))[0]
        field.send_keys(Keys.END, "5")
        return self.driver.find_element(By.ID, "Text1").get_property("value")

    def build_seen(self):
        self.assertEqual(self.open(self.driver.current_url), "42,1 % rel")
        return self.driver.execute_script(
            "return [document.querySelector('meta[name=build]').content, self.build]")

    def worker_settled(self):
        """Until the worker of the build the server now has controls the page and keeps that build
        alone, as the browser brings it about after a visit, by itself: nothing here asks it to
        look for an update."""
        return self.run_async(
            "const worker = await (await fetch('service-worker.js', {cache: 'no-store'})).text();"
            "const build = worker.match(/cacheName = prefix \\+ '(\\w+)'/)[1];"
            "const r = await navigator.serviceWorker.ready;"
            "for (;;) { const kept = await caches.keys();"
            "  if (kept.length === 1 && kept[0].endsWith(build) && !r.installing && !r.waiting &&"
            "      navigator.serviceWorker.controller === r.active) return;"
            "  await new Promise((f) => setTimeout(f, 50)); }")

    def stored(self):
        return self.run_async(
            "const urls = []; for (const name of await caches.keys())"
            "  for (const r of await (await caches.open(name)).keys()) urls.push(r.url);"
            "return [(await navigator.serviceWorker.getRegistrations()).length, urls.sort()]")

    def failure(self, server, wait=10):
        self.driver.get(server.url)
        message = self.driver.find_element(By.ID, "failure")
        WebDriverWait(self.driver, wait).until(lambda d: message.is_displayed())
        frame = self.driver.find_element(By.ID, "CALC_ABS_REL").rect
        self.assertLessEqual(message.rect["y"] + message.rect["height"], frame["y"] + frame["height"])
        return message.text

    def test_a_new_build_arrives_by_the_second_visit_whatever_the_headers(self):
        month_ago = email.utils.formatdate(time.time() - 30 * 86400, usegmt=True)
        for headers in ({"Last-Modified": None}, {"Last-Modified": month_ago},
                        {"Cache-Control": "max-age=3600", "Last-Modified": month_ago}):
            with self.subTest(headers=headers), serve(self.builds["A"], headers=headers) as server:
                self.open(server.url)
                self.worker_settled()
                self.assertEqual(self.build_seen(), ["A", "A"])
                server.folder = self.builds["B"]
                first = self.build_seen()
                self.assertIn(first, (["A", "A"], ["B", "B"]))
                self.worker_settled()
                self.assertEqual(self.build_seen(), ["B", "B"])
                server.stop()  # and offline the new build still opens
                self.assertEqual(self.build_seen(), ["B", "B"])

    def test_a_removed_page_goes_a_moved_one_is_followed(self):
        with serve(PAGE) as server, serve(PAGE) as elsewhere:
            self.open(server.url)
            self.worker_settled()
            server.answers["/"] = (301, elsewhere.url)
            self.assertEqual(self.open(server.url), "42,1 % rel")
            self.assertEqual(self.driver.current_url, elsewhere.url)
            for status in (404, 410):
                server.answers.clear()
                self.open(server.url)
                self.worker_settled()
                server.answers["/"] = status
                self.driver.get(server.url)
                self.assertEqual(self.driver.title, str(status))
                self.assertEqual(self.stored(), [0, []])

    def test_at_a_sites_root_only_its_own_files(self):
        with tempfile.TemporaryDirectory() as site:
            site = pathlib.Path(site) / "site"
            shutil.copytree(PAGE, site)
            with serve(site, headers={"Last-Modified": None}) as server:
                self.open(server.url)
                self.worker_settled()
                answers = []
                for user in ("alice", "bob"):
                    (site / "other.html").write_text(f"<title>{user}</title>")
                    (site / "api.json").write_text(f'"{user}"')
                    self.driver.get(server.url + "other.html")
                    answers.append(self.driver.title)
                    answers.append(self.run_async(
                        f"return (await fetch('api.json?user={user}')).json()"))
                self.assertEqual(answers, ["alice", "alice", "bob", "bob"])
                self.open(server.url)
                self.assertEqual(self.stored(), [1, sorted(server.url + f for f in FILES)])

    def test_opened_from_disk(self):
        self.assertEqual(self.open((PAGE / "index.html").as_uri()), "42,1 % rel")

    def test_each_failure_to_start_is_said_in_the_windows_place(self):
        # The page's own policy in the header as well, as README has it: the page works.
        with serve(PAGE, headers={"Content-Security-Policy": STRICT}) as server:
            self.driver.get_log("browser")
            self.assertEqual(self.open(server.url), "42,1 % rel")
            said = [entry for entry in self.driver.get_log("browser")
                    if entry["level"] == "SEVERE" or "Policy" in entry["message"]]
            self.assertEqual(said, [])
        cases = (
            ({"/converter.js": 404}, {}, {}, "converter.js fehlt auf dem Server (HTTP 404)"),
            ({"/page.css": 404}, {}, {}, "page.css fehlt auf dem Server (HTTP 404)"),
            ({}, {"/converter.js": "text/plain"}, {"X-Content-Type-Options": "nosniff"},
             "converter.js kommt mit dem Inhaltstyp „text/plain“"),
            ({}, {}, {"Content-Security-Policy": "script-src 'self'"},
             "verbietet WebAssembly: script-src muss 'wasm-unsafe-eval' erlauben"),
            ({}, {}, {"Content-Security-Policy": "script-src 'none'"}, "page.js lief nicht"),
            ({"/page.js": 404}, {}, {}, "page.js lief nicht"))
        for answers, types, headers, said in cases:
            with self.subTest(said=said), serve(PAGE, headers=headers) as server:
                server.answers.update(answers)
                server.types.update(types)
                self.assertIn(said, self.failure(server))
        without = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                              {"source": "delete self.WebAssembly"})
        try:
            with serve(PAGE) as server:
                self.assertIn("Dieser Browser kann kein WebAssembly", self.failure(server))
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", without)

    def test_keypad_reflow_at_400_percent_and_audit(self):
        axe = (pathlib.Path(__file__).parent / "node_modules/axe-core/axe.min.js").read_text()
        with serve(PAGE) as server:
            self.open(server.url)
            # A phone's keypad for numbers, nothing corrected or capitalised.
            asked = self.driver.execute_script(
                "return ['I1', 'I2'].map((id) => { const f = document.getElementById(id);"
                "  return [f.inputMode, f.spellcheck, f.autocomplete,"
                "          f.getAttribute('autocorrect'), f.getAttribute('autocapitalize')]; })")
            self.assertEqual(asked, [["decimal", False, "off", "off", "off"]] * 2)
            for scheme in ("light", "dark"):
                self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                    "features": [{"name": "prefers-color-scheme", "value": scheme}]})
                self.driver.execute_script(axe)
                found = self.run_async("return (await axe.run()).violations.map((v) => v.id)")
                self.assertEqual(found, [], scheme)
            for width, height in ((1280, 720), (1366, 768)):
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width // 4, "height": height // 4, "deviceScaleFactor": 4,
                    "mobile": False})
                try:
                    self.open(server.url)
                    sideways = "const e = document.documentElement; return [e.scrollWidth, e.clientWidth]"
                    WebDriverWait(self.driver, 5).until(
                        lambda d: d.execute_script(sideways + "[0] <= e.clientWidth"))
                finally:
                    self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


if __name__ == "__main__":
    unittest.main(verbosity=2)
