"""A walk of whole sites from their home page: no link leads nowhere, every person's page is
reached, and each person's page links every relative who has a page of their own."""

import os
import tempfile
import unittest

import gedfamily
import sitepages


class Crawl(unittest.TestCase):
    def check_site(self, ged):
        with tempfile.TemporaryDirectory() as out:
            run = sitepages.run_site(ged, out)
            self.assertEqual(run.returncode, 0, run.stderr)
            reached, broken, pages = sitepages.crawl(out)
            self.assertEqual(broken[:10], [])
            people = {f for f in sitepages.all_files(out) if f.startswith("people" + os.sep)}
            self.assertEqual(sorted(people - reached)[:10], [])
            self.check_relatives(gedfamily.GedFile(ged), out, pages)

    def check_relatives(self, family, out, pages):
        for xref in family.people:
            name = sitepages.page_name(xref)
            page = os.path.join("people", name) if name else None
            if page not in pages:
                continue
            targets = (sitepages.resolve(page, link) for _, link in pages[page].links)
            linked = {target[0] for target in targets if target}
            for kind, group in zip(("parent", "partner", "child"), family.relatives(xref)):
                for other in group:
                    other_name = sitepages.page_name(other) if other in family.people else None
                    other_page = os.path.join("people", other_name) if other_name else None
                    if other_page and os.path.isfile(os.path.join(out, other_page)):
                        self.assertIn(other_page, linked, f"{kind} {other} on {page}")

    def test_every_sample_and_the_hand_made_family(self):
        files = [os.path.join(sitepages.DATA, n) for n in ("family.ged", "hostile.ged")]
        files += sitepages.samples()
        self.assertGreater(len(files), 2, "no samples in LINEAGE_SAMPLES")
        for ged in files:
            with self.subTest(ged=os.path.basename(ged)):
                self.check_site(ged)


if __name__ == "__main__":
    unittest.main()
