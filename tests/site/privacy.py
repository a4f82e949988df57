"""With the default, a private person has no page and their name is nowhere in the site:
not in indexes, search data, places, or a relative's page."""

import html
import os
import re
import tempfile
import unittest

import gedfamily
import sitepages

FAMILY = os.path.join(sitepages.DATA, "family.ged")

# Who the hand-made family publishes, and why: living, dead, restricted and undated people meet.
FAMILY_CASES = [
    ("I1", False, "dead"),
    ("I2", False, "dead, name with an accent"),
    ("I3", False, "dead"),
    ("I4", False, "born over a hundred years ago, no death"),
    ("I5", True, "RESN confidential outweighs a death"),
    ("i_16", False, "dead, cross-reference in lower case"),
    ("I6", False, "undated, a partner born over a hundred years ago"),
    ("I7", True, "born under a hundred years ago"),
    ("I8", True, "undated, a parent born under 120 years ago"),
    ("I9", True, "undated, a partner presumed living"),
    ("I10", True, "born under a hundred years ago"),
    ("I11", False, "dead"),
    ("I12", False, "undated, a partner born over a hundred years ago"),
    ("I13", False, "dead though born under a hundred years ago"),
    ("I14", True, "RESN privacy outweighs a death"),
    ("I15", True, "its only date is the record's change date"),
]


# What the site writes in place of a withheld or missing person; a record may be named so too.
STAND_INS = {"private", "unknown", "living"}


def site_text(out):
    """Everything the site wrote, as a reader or a script would see it, in lower case."""
    parts = []
    for rel in sitepages.all_files(out):
        with open(os.path.join(out, rel), encoding="utf-8", errors="replace") as f:
            content = f.read()
        # The search data's file names, as the manifest lists them too, and the key on their
        # first line, are the first letters of shown people's words: a private "Wig" meets a
        # shown "Wigebert" in search/wig.js. Their people are read.
        if rel.startswith("search" + os.sep):
            content = content.partition("\n")[2]
        else:
            parts.append(rel)
        if rel == "lineagesite-manifest.txt":
            content = "\n".join(line for line in content.split("\n") if not line.startswith("search/"))
        parts.append(html.unescape(content) if "&" in content else content)
    return "\n".join(parts).lower()


def appears(word, text):
    if word.lower() not in text:
        return False
    return re.search(r"(?<!\w)" + re.escape(word.lower()) + r"(?!\w)", text) is not None


class Privacy(unittest.TestCase):
    def make_site(self, ged, out, *options):
        run = sitepages.run_site(ged, out, *options)
        self.assertEqual(run.returncode, 0, run.stderr)
        return {f for f in sitepages.all_files(out) if f.startswith("people" + os.sep)}

    def check_withheld(self, ged):
        family = gedfamily.GedFile(ged)
        with tempfile.TemporaryDirectory() as out:
            pages = self.make_site(ged, out)
            public = {os.path.join("people", sitepages.page_name(x)) for x in family.people
                      if not family.is_private(x, sitepages.NOW) and sitepages.page_name(x)}
            self.assertEqual(sorted(pages ^ public)[:10], [])
            text, allowed = site_text(out), family.public_text(sitepages.NOW).lower()
            for xref, p in family.people.items():
                if family.is_private(xref, sitepages.NOW):
                    for name in p.names:
                        if name.lower() not in STAND_INS and not appears(name, allowed):
                            self.assertFalse(appears(name, text), f"{name} ({xref})")

    def test_no_private_name_in_any_sample(self):
        for ged in [FAMILY] + sitepages.samples():
            with self.subTest(ged=os.path.basename(ged)):
                self.check_withheld(ged)

    def test_who_the_hand_made_family_publishes(self):
        family = gedfamily.GedFile(FAMILY)
        with tempfile.TemporaryDirectory() as out:
            pages = self.make_site(FAMILY, out)
            text = site_text(out)
            for xref, private, why in FAMILY_CASES:
                with self.subTest(xref=xref, why=why):
                    self.assertEqual(family.is_private(xref, sitepages.NOW), private)
                    page = os.path.join("people", sitepages.page_name(xref))
                    self.assertEqual(page in pages, not private)
                    if private:  # not even as a search entry or an address
                        self.assertFalse(appears(xref, text))
            self.assertIn('<span class="private">Private</span>', read(out, "people/I3.html"))

    def test_show_living_keeps_restricted_records_private(self):
        with tempfile.TemporaryDirectory() as out:
            pages = self.make_site(FAMILY, out, "--show-living")
            restricted = {"I5", "I14"}
            for xref, _, why in FAMILY_CASES:
                with self.subTest(xref=xref, why=why):
                    page = os.path.join("people", sitepages.page_name(xref))
                    self.assertEqual(page in pages, xref not in restricted)


def read(out, rel):
    with open(os.path.join(out, rel), encoding="utf-8") as f:
        return f.read()


if __name__ == "__main__":
    unittest.main()
