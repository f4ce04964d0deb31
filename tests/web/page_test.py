#!/usr/bin/python3
"""Uses the page as a person would, in headless Chromium through Selenium: types into the fields,
pastes, drops, presses Alt+B and Tab, reads back what the page shows, under three browser
languages. (Served as sites serve it, offline and updated: served_test.py.)
Usage: page_test.py PAGE_FOLDER"""
import pathlib
import sys
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.wait import WebDriverWait

PAGE = pathlib.Path(sys.argv.pop(1)).resolve()
# The desktop windows' end-to-end table of typed texts and results, shared.
TESTS = pathlib.Path(__file__).resolve().parent.parent
sys.path[:0] = [str(TESTS / "e2e"), str(TESTS.parent / "scripts" / "lib")]
from driver import cases  # noqa: E402
from web_server import serve  # noqa: E402


class Page:
    def __init__(self, language):
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", f"--accept-lang={language}"):
            options.add_argument(argument)
        self.server = serve(PAGE)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.open()

    def open(self):
        self.driver.get(self.server.url)
        WebDriverWait(self.driver, 10).until(lambda d: d.find_elements(By.ID, "Text1"))

    def close(self):
        self.driver.quit()
        self.server.stop()

    def field(self, name):
        return self.driver.find_element(By.ID, name)

    def text(self, name):
        return self.field(name).get_property("value")

    def replace(self, name, typed):
        self.field(name).click()
        self.field(name).send_keys(Keys.CONTROL, "a")
        typed = typed.replace("{KP_Decimal}", Keys.DECIMAL)  # the keypad's decimal key
        self.field(name).send_keys(typed if typed else Keys.DELETE)

    def keys(self, *keys):
        self.driver.switch_to.active_element.send_keys(*keys)

    def focused(self):
        return self.driver.switch_to.active_element.get_attribute("id")


class GermanPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = Page("de-DE")

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def setUp(self):
        self.page.open()

    def test_opens_as_the_window_does(self):
        page, driver = self.page, self.page.driver
        self.assertEqual(driver.title, "Feuchte abs -> rel")
        shown = {name: page.text(name) for name in ("I1", "I2", "Text1")}
        self.assertEqual(shown, {"I1": "23,0", "I2": "8,6", "Text1": "--- % rel"})
        self.assertEqual(page.focused(), "I1")
        self.assertEqual(driver.execute_script("return getSelection().toString()"), "23,0")
        names = {name: page.field(name).get_attribute("aria-label")
                 for name in ("I1", "I2", "Text1")}
        self.assertEqual(names, {"I1": "Temperatur in °C", "I2": "Absolute Feuchte in g/m³",
                                 "Text1": "Relative Feuchte"})
        self.assertEqual(page.field("Command1").accessible_name, "berechnen")
        self.assertEqual(page.field("Command1").get_attribute("accesskey"), "b")
        # Where the twips put them, in pixels from the window's corner.
        places = driver.execute_script(
            "const frame = document.getElementById('CALC_ABS_REL').getBoundingClientRect();"
            "return ['I1', 'Label2', 'Text1', 'Command1'].map((id) => {"
            "  const r = document.getElementById(id).getBoundingClientRect();"
            "  return [r.left - frame.left, r.top - frame.top, r.width, r.height]; })")
        self.assertEqual(places, [[16, 56, 41, 25], [136, 56, 41, 25], [16, 88, 217, 25],
                                  [16, 120, 217, 25]])
        self.assertEqual(page.field("Text1").value_of_css_property("font-weight"), "700")
        # The banner drawn from its vector picture, the dark one in a dark scheme.
        for scheme, picture in (("dark", "banner-dark.svg"), ("light", "banner.svg")):
            driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                "features": [{"name": "prefers-color-scheme", "value": scheme}]})
            WebDriverWait(driver, 5).until(lambda d: d.execute_script(
                "return document.getElementById('banner').currentSrc").endswith(picture))
            drawn = driver.execute_async_script(
                "const b = document.getElementById('banner'), done = arguments[0];"
                "b.decode().then(() => done([b.naturalWidth, b.width, b.height]), done)")
            self.assertEqual(drawn, [246, 246, 51], picture)
        # Installable as an app: Chromium finds the manifest, its icon and nothing missing.
        installable = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        self.assertEqual(installable["installabilityErrors"], [])
        # On a phone the whole window is as wide as the screen.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 640, "deviceScaleFactor": 2, "mobile": True})
        frame_width = "return document.getElementById('CALC_ABS_REL').getBoundingClientRect().width"
        try:  # the page hears of the new size with the next frame
            WebDriverWait(driver, 5).until(lambda d: abs(d.execute_script(frame_width) - 360) < 1)
        finally:
            driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_every_case_of_the_desktop_table(self):
        for case in cases():
            self.page.replace(case["field"], case["typed"])
            self.assertEqual(self.page.text("Text1"), case["text1"], case)

    def test_keys_alt_b_tab_and_escape(self):
        page = self.page
        page.field("I2").send_keys(Keys.END, "5")
        self.assertEqual((page.text("I2"), page.text("Text1")), ("8,65", "42,1 % rel"))
        live = page.driver.find_element(By.CSS_SELECTOR, "[aria-live=polite]")
        self.assertEqual(live.get_attribute("textContent"), "42,1 % rel")
        page.keys(Keys.TAB)
        self.assertEqual(page.focused(), "Text1")
        page.keys(Keys.CONTROL, "a", Keys.NULL, "x")
        page.keys(Keys.TAB)
        self.assertEqual((page.focused(), page.text("Text1")), ("Command1", "x"))
        page.keys(Keys.ALT, "b", Keys.NULL)
        self.assertEqual(page.text("Text1"), "42,1 % rel")
        page.field("Text1").send_keys(Keys.CONTROL, "a", Keys.NULL, "y")
        page.field("I1").send_keys(Keys.ESCAPE)
        self.assertEqual(page.text("Text1"), "42,1 % rel")
        page.field("Text1").send_keys(Keys.CONTROL, "a", Keys.NULL, "z")
        page.field("Command1").click()
        self.assertEqual(page.text("Text1"), "42,1 % rel")

    def test_one_recalculation_per_key_and_per_change(self):
        """Each key in a field and each other change shows the result once, for the texts after
        it. Text1 is overwritten first, so that every recalculation is announced anew: one before
        the key has taken effect announces a stale result, a lost one nothing."""
        page, driver = self.page, self.page.driver
        driver.execute_script(
            "const live = document.querySelector('[aria-live=polite]'); window.announced = [];"
            "new MutationObserver(() => announced.push(live.textContent))"
            ".observe(live, {childList: true, characterData: true, subtree: true})")
        key = lambda *keys: lambda: page.keys(*keys)
        cdp = driver.execute_cdp_cmd

        def paste(mime, data):  # Ctrl+V as one key, the Ctrl held
            def action():
                driver.execute_script(
                    "document.addEventListener('copy', (e) => { e.preventDefault();"
                    "  e.clipboardData.setData(arguments[0], arguments[1]); }, {once: true});"
                    "document.execCommand('copy')", mime, data)
                for kind in ("rawKeyDown", "keyUp"):
                    cdp("Input.dispatchKeyEvent", {"type": kind, "modifiers": 2, "key": "v",
                                                   "code": "KeyV", "windowsVirtualKeyCode": 86})
            return action

        def drop(mime, data):  # dragged in from another program, dropped at the field's end
            def action():
                at = page.field("I2").rect
                for kind in ("dragEnter", "dragOver", "drop"):
                    cdp("Input.dispatchDragEvent", {
                        "type": kind, "x": at["x"] + at["width"] - 4, "y": at["y"] + 12,
                        "data": {"items": [{"mimeType": mime, "data": data}],
                                 "dragOperationsMask": 1}})
            return action

        for what, before, caret, action, after, result in (
                ("a digit", "8,6", 3, key("5"), "8,65", "42,1 % rel"),
                ("a key that changes nothing", "8,65", 4, key(Keys.ARROW_LEFT), "8,65",
                 "42,1 % rel"),
                ("Escape", "8,65", 4, key(Keys.ESCAPE), "8,65", "42,1 % rel"),
                ("the keypad's decimal key", "86", 1, key(Keys.DECIMAL), "8,6", "41,8 % rel"),
                ("Ctrl+V, CR", "8,6", 3, paste("text/plain", "5\rX"), "8,65", "42,1 % rel"),
                ("Ctrl+V, NUL", "8,6", 3, paste("text/plain", "5\0X"), "8,65", "42,1 % rel"),
                ("Ctrl+V, HTML only", "8,6", 3, paste("text/html", "<p>5<p>X"), "8,65",
                 "42,1 % rel"),
                ("undo by the menu", None, None,
                 lambda: driver.execute_script("document.execCommand('undo')"), "8,6",
                 "41,8 % rel"),
                ("a drop, CRLF", "8,6", 3, drop("text/plain", "5\r\nX"), "8,65", "42,1 % rel"),
                ("a drop of HTML only", "8,6", 3, drop("text/html", "<b>5</b><br>X"), "8,65",
                 "42,1 % rel")):
            driver.execute_script(
                "const [field, text, caret] = arguments;"
                "if (text !== null) { field.focus(); field.value = text;"
                "  field.setSelectionRange(caret, caret); }"
                "document.getElementById('Text1').value = 'x'; announced.length = 0",
                page.field("I2"), before, caret)
            action()
            self.assertEqual((page.text("I2"), driver.execute_script("return announced")),
                             (after, [result]), what)

    def test_language_changed_while_open(self):
        page, driver = self.page, self.page.driver
        page.replace("I1", "23")
        page.replace("I2", "9")
        seen = [page.text("Text1")]
        user_agent = driver.execute_script("return navigator.userAgent")
        try:
            for language in ("en-US", "de-DE"):
                driver.execute_cdp_cmd("Emulation.setUserAgentOverride", {
                    "userAgent": user_agent, "acceptLanguage": language})
                # A browser announces a change of its language setting; headless, the test does.
                driver.execute_script("dispatchEvent(new Event('languagechange'))")
                seen += [page.text(name) for name in ("I1", "I2", "Text1")]
        finally:
            driver.execute_cdp_cmd("Emulation.setUserAgentOverride", {
                "userAgent": user_agent, "acceptLanguage": "de-DE"})
        self.assertEqual(seen, ["43,8 % rel", "23", "9", "43.8 % rel", "23", "9", "43,8 % rel"])

    def test_numbers_shown_whole_at_every_zoom(self):
        page, driver = self.page, self.page.driver
        try:
            for scale in (1, 1.25, 1.5, 2):
                driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": 800, "height": 600, "deviceScaleFactor": scale, "mobile": False})
                cut = driver.execute_script(
                    "return ['I1', 'I2'].flatMap((name) => {"
                    "  const field = document.getElementById(name);"
                    "  return ['-10,5', '12,34', '23,45', '100,0'].filter((text) => {"
                    "    field.value = text; return field.scrollWidth > field.clientWidth; }); })")
                self.assertEqual(cut, [], scale)
            # A longer text shows its start once the field has lost the focus.
            for name in ("I1", "I2"):
                page.replace(name, "-123456,75")
                scrolled = page.field(name).get_property("scrollLeft")
                page.keys(Keys.TAB)
                self.assertEqual((scrolled > 0, page.field(name).get_property("scrollLeft")),
                                 (True, 0), name)
        finally:
            driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


class OtherLanguages(unittest.TestCase):
    def test_number_format_of_the_browser_language(self):
        for language, *shown in (
                ("en-US", "23.0", "8.6", "41.8 % rel", "-1", "-4.9 % rel", "\u06f8.\u06f6"),
                ("sv-SE", "23,0", "8,6", "41,8 % rel", "\u22121", "\u22124,9 % rel",
                 "\u06f8,\u06f6"),
                ("fa-IR", "\u06f2\u06f3\u066b\u06f0", "\u06f8\u066b\u06f6",
                 "\u06f4\u06f1\u066b\u06f8 % rel", "\u2212\u06f1",
                 "\u2212\u06f4\u066b\u06f9 % rel", "\u06f8\u066b\u06f6")):
            page = Page(language)
            try:
                seen = [page.text("I1"), page.text("I2")]
                page.keys(Keys.ALT, "b", Keys.NULL)
                seen.append(page.text("Text1"))
                page.replace("I2", shown[3])
                seen += [page.text("I2"), page.text("Text1")]
                page.replace("I2", "\u06f8{KP_Decimal}\u06f6")
                seen.append(page.text("I2"))
                self.assertEqual(seen, shown, language)
            finally:
                page.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
