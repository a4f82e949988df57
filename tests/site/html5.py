"""Every page of a site parses as HTML5 without one error, says it is UTF-8, and keeps the
markup of a hostile file's texts as text."""

import os
import tempfile
import unittest
import urllib.parse

import html5lib

import sitepages

HOSTILE = os.path.join(sitepages.DATA, "hostile.ged")
SITES = [  # file, and why its pages are worth parsing
    (os.path.join(sitepages.DATA, "family.ged"), "every kind of relative, private ones"),
    (os.path.join(sitepages.SAMPLES, "TGC551LF.ged"), "every tag of 5.5.1, notes and sources"),
    (os.path.join(sitepages.SAMPLES, "gramps-sample.ged"), "places, events, families"),
]


def parse(path):
    parser = html5lib.HTMLParser(strict=False, namespaceHTMLElements=False)
    with open(path, "rb") as f:
        tree = parser.parse(f.read())
    return tree, parser.errors


class Html5(unittest.TestCase):
    def check_pages(self, out):
        for rel in sitepages.all_files(out):
            if not rel.endswith(".html"):
                continue
            tree, errors = parse(os.path.join(out, rel))
            self.assertEqual(errors[:5], [], rel)
            self.assertIsNotNone(tree.find("head/meta[@charset='utf-8']"), rel)
            self.assertTrue(tree.get("lang"), rel)
            self.check_no_markup_of_the_file(rel, tree)

    def check_no_markup_of_the_file(self, rel, tree):
        for element in tree.iter():
            if element.tag == "script":
                self.assertTrue(element.get("src"), f"inline script on {rel}")
            for name, value in element.attrib.items():
                self.assertFalse(name.lower().startswith("on"), f"{name} on {rel}")
                if name in ("href", "src"):
                    scheme = urllib.parse.urlsplit(value.strip()).scheme.lower()
                    self.assertIn(scheme, ("", "http", "https", "mailto"), f"{value} on {rel}")
            self.assertNotIn(element.tag, ("img", "iframe", "object", "embed"), rel)

    def check_site(self, ged):
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "site")
            run = sitepages.run_site(ged, out)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.check_pages(out)
            self.assertEqual(os.listdir(work), ["site"])

    def test_every_page_parses(self):
        for ged, why in SITES:
            with self.subTest(ged=os.path.basename(ged), why=why):
                if not os.path.isfile(ged):
                    self.skipTest(f"no {ged}")
                self.check_site(ged)

    def test_a_hostile_file_gives_safe_pages(self):
        # markup, quotes and script addresses in values; cross-references with slashes, dots,
        # control bytes and thousands of characters
        self.check_site(HOSTILE)


if __name__ == "__main__":
    unittest.main()
