#!/usr/bin/python3
"""Measures the page: each file's size gzipped, navigation to the window ready for input with an
empty cache in headless Chromium, and an input event to the result shown. With --screenshot it
also writes docs/screenshot-web.png (1x), docs/screenshot-web-2x.png and docs/screenshot-web-dark.png.
With --lighthouse it audits the page three times with Lighthouse (installed from npm into
tests/web at the version its lock file names), as a phone on a slow network, and prints the scores.
Usage: scripts/measure-web.py [--screenshot] [--lighthouse]   (after cmake --build --preset web)"""
import gzip
import json
import os
import pathlib
import statistics
import subprocess
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.wait import WebDriverWait

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "scripts" / "lib"))
from web_server import serve  # noqa: E402

PAGE = ROOT / "build-web" / "window" / "web" / "page"

total = 0
for file in sorted(f for f in PAGE.iterdir() if f.is_file()):
    packed = len(gzip.compress(file.read_bytes(), 9))
    total += packed
    print(f"{file.name:24} {file.stat().st_size:7,} bytes, {packed:7,} gzipped")
print(f"{'all files':24} {total:23,} gzipped (budget 40,960)")


server = serve(PAGE)
url = server.url

options = webdriver.ChromeOptions()
for argument in ("--headless=new", "--no-sandbox", "--accept-lang=de-DE"):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
ready = lambda d: d.execute_script("return performance.getEntriesByName('converter-ready')[0]")
try:
    # Neither the HTTP cache nor the service worker's: every run loads every file.
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
    times = []
    for _ in range(7):
        driver.get(url)
        times.append(WebDriverWait(driver, 10).until(ready)["startTime"])
    print(f"navigation to the window ready: median {statistics.median(times):.0f} ms "
          f"(of {len(times)}: {', '.join(f'{t:.0f}' for t in times)}; budget 150 ms)")

    per_event = driver.execute_script("""
        const field = document.getElementById('I2'), result = document.getElementById('Text1');
        const count = 20000, texts = ['8,6', '8,65'], shown = new Set();
        const start = performance.now();
        for (let i = 0; i < count; ++i) {
          field.value = texts[i % 2];
          field.dispatchEvent(new Event('input'));
          shown.add(result.value);
        }
        const micros = (performance.now() - start) * 1000 / count;
        return shown.size === 2 ? micros : -1;""")
    print(f"input event to result shown: {per_event:.1f} µs (mean of 20,000; budget 100 µs)")

    if "--screenshot" in sys.argv:
        for name, scale, scheme in (("screenshot-web.png", 1, "light"),
                                    ("screenshot-web-2x.png", 2, "light"),
                                    ("screenshot-web-dark.png", 1, "dark")):
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 640, "height": 300, "deviceScaleFactor": scale, "mobile": False})
            driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                "features": [{"name": "prefers-color-scheme", "value": scheme}]})
            driver.get(url)
            WebDriverWait(driver, 10).until(ready)
            driver.find_element(By.ID, "I2").send_keys(Keys.CONTROL, "a", Keys.NULL, "8,65")
            driver.execute_script("document.activeElement.blur()")  # no blinking caret
            driver.find_element(By.ID, "CALC_ABS_REL").screenshot(str(ROOT / "docs" / name))
            print(f"wrote docs/{name}")
finally:
    driver.quit()


def lighthouse():
    tests = ROOT / "tests" / "web"
    cli = tests / "node_modules" / "lighthouse" / "cli" / "index.js"
    if not cli.exists():
        subprocess.run(["npm", "ci", "--prefix", tests, "--no-audit", "--no-fund", "--silent"],
                       check=True)
    version = json.loads((cli.parent.parent / "package.json").read_text())["version"]
    chromium = subprocess.run(["/usr/bin/chromium", "--version"], capture_output=True,
                              text=True).stdout.strip()
    print(f"Lighthouse {version}, {chromium}, mobile (its default), three runs:")
    for run in range(3):
        report = json.loads(subprocess.run(
            ["node", cli, url, "--output=json", "--output-path=stdout", "--quiet",
             "--chrome-flags=--headless=new --no-sandbox"],
            env=dict(os.environ, CHROME_PATH="/usr/bin/chromium"), capture_output=True, check=True,
            text=True).stdout)
        scores = {name: round(category["score"] * 100)
                  for name, category in report["categories"].items()}
        metrics = report["audits"]["metrics"]["details"]["items"][0]
        print(f"  run {run + 1}: {scores}; largest paint {metrics['largestContentfulPaint']} ms, "
              f"blocking {metrics['totalBlockingTime']} ms, layout shift "
              f"{metrics['cumulativeLayoutShift']:.3f}; the machine's speed as Lighthouse "
              f"benchmarks it {report['environment']['benchmarkIndex']:.0f} (busy below 1000)")


try:
    if "--lighthouse" in sys.argv:
        lighthouse()
finally:
    server.stop()
