"""The hand-made family's site in headless Chromium, opened as file:// the way a reader opens
a folder: browsing by clicks, search as one types, and axe-core's accessibility rules."""

import os
import shutil
import tempfile
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

import sitepages
from searchtime import TYPIST, search_time, start_chromium

AXE = os.environ.get("AXE_JS", "")


class Browser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp()
        cls.out = os.path.join(cls.work, "site")
        run = sitepages.run_site(os.path.join(sitepages.DATA, "family.ged"), cls.out)
        assert run.returncode == 0, run.stderr
        cls.driver = start_chromium(os.path.join(cls.work, "profile"))
        cls.driver.set_page_load_timeout(30)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.work)

    def open(self, rel):
        self.driver.get("file://" + os.path.join(self.out, rel))

    def heading(self):
        return self.driver.find_element(By.TAG_NAME, "h1").text

    def click(self, text):
        self.driver.find_element(By.LINK_TEXT, text).click()

    def test_from_the_home_page_to_a_parent_by_clicks(self):
        self.open("index.html")
        self.click("L")
        self.click("Erik Lindqvist")
        self.assertEqual(self.heading(), "Erik Lindqvist")
        self.click("Åsa Berg")
        self.assertEqual(self.heading(), "Åsa Berg")
        self.assertTrue(self.driver.current_url.endswith("/people/I2.html"))

    def search(self, typed):
        box = self.driver.find_element(By.CSS_SELECTOR, 'input[type="search"]')
        box.clear()
        box.send_keys(typed)
        wait = WebDriverWait(self.driver, 5)
        return wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#search-results a"))

    def test_search_as_one_types(self):
        cases = [  # typed, page it starts on, the one result wanted, and why
            ("tove", "index.html", "Tove Lindqvist", "a given name"),
            ("asa", "people/I3.html", "Åsa Berg", "accents ignored, from a page in a folder"),
            ("EKSTR", "surnames/L.html", "Maja Ekström", "case ignored, part of a word"),
        ]
        for typed, start, wanted, why in cases:
            with self.subTest(typed=typed, why=why):
                self.open(start)
                names = [a.text for a in self.search(typed)]
                self.assertIn(wanted, names)
                self.click(wanted)
                self.assertEqual(self.heading(), wanted)

    def test_search_finds_no_one_private(self):
        self.open("index.html")
        names = [a.text for a in self.search("lindqvist")]
        self.assertIn("Tove Lindqvist", names)
        for private in ("Sven Lindqvist", "Karin Lindqvist", "Linnea Lindqvist"):
            self.assertNotIn(private, names)

    def test_results_are_shown_within_100_ms_of_the_last_key(self):
        # bench/search.py times the same on 300,000 people.
        for typed, start in (("lindq", "index.html"), ("eks", "people/I3.html")):
            with self.subTest(typed=typed):
                self.open(start)
                ms, names = search_time(self.driver, typed, TYPIST)
                self.assertTrue(names)
                self.assertLess(ms, 100)
                ms, names = search_time(self.driver, typed)
                self.assertLess(ms, 100, "with its data loaded")

    @unittest.skipUnless(os.path.isfile(AXE), "no axe.min.js in AXE_JS")
    def test_no_accessibility_violations(self):
        with open(AXE, encoding="utf-8") as f:
            axe = f.read()
        for rel in ("index.html", "surnames/L.html", "people/I3.html"):
            with self.subTest(page=rel):
                self.open(rel)
                self.driver.execute_script(axe)
                found = self.driver.execute_async_script(
                    "var done = arguments[arguments.length - 1];"
                    "axe.run(document).then(function (r) { done(r.violations.map("
                    "function (v) { return v.id + ': ' + v.nodes.length; })); });")
                self.assertEqual(found, [])


if __name__ == "__main__":
    unittest.main()
