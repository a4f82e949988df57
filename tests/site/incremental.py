"""Runs into a site that is already there: only files whose bytes change are written, pages
that left the site go, other files and folders are never touched or written through."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

import sitepages

FAMILY = os.path.join(sitepages.DATA, "family.ged")
OLD = 1_000_000_000  # seconds: a modification time no run of the program can give


def snapshot(out):
    """Each file's identity, time and bytes, after every time is set back to OLD."""
    files = {}
    for rel in sitepages.all_files(out):
        path = os.path.join(out, rel)
        os.utime(path, (OLD, OLD), follow_symlinks=False)
        with open(path, "rb") as f:
            files[rel] = f.read()
    return files


def touched(out):
    """The files that a run since the snapshot created, replaced or rewrote."""
    return {rel for rel in sitepages.all_files(out)
            if os.lstat(os.path.join(out, rel)).st_mtime != OLD}


class Incremental(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.out = os.path.join(self.work, "site")
        self.ged = os.path.join(self.work, "family.ged")
        shutil.copy(FAMILY, self.ged)
        self.run_site()

    def tearDown(self):
        shutil.rmtree(self.work)

    def run_site(self):
        run = sitepages.run_site(self.ged, self.out)
        self.assertEqual(run.returncode, 0, run.stderr)

    def edit(self, old, new):
        with open(self.ged, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        with open(self.ged, "w", encoding="utf-8") as f:
            f.write(text.replace(old, new))

    def test_a_second_run_changes_no_file(self):
        before = snapshot(self.out)
        self.run_site()
        self.assertEqual(sorted(touched(self.out)), [])
        self.assertEqual(snapshot(self.out), before)

    def test_a_new_name_rewrites_only_the_pages_that_show_it(self):
        before = snapshot(self.out)
        self.edit("1 NAME Greta /Lindqvist/", "1 NAME Gretha /Lindqvist/")
        self.run_site()
        changed, after = touched(self.out), snapshot(self.out)
        differ = {rel for rel in after if before.get(rel) != after[rel]}
        self.assertEqual(changed, differ)
        self.assertIn("people/I4.html", changed)
        # The manifest holds the size and hash of every page.
        showing = {rel for rel, data in before.items() if b"greta" in data.lower()}
        self.assertEqual(sorted(changed - showing), ["lineagesite-manifest.txt"])
        self.assertEqual([rel for rel, data in after.items() if b"greta" in data.lower()], [])

    def test_a_page_that_left_the_site_is_removed_and_other_files_stay(self):
        for folder in ("", "people"):
            with open(os.path.join(self.out, folder, "mine.txt"), "w") as f:
                f.write("a note of the site's owner")
        self.edit("1 NAME Greta /Lindqvist/\n", "1 NAME Greta /Lindqvist/\n1 RESN privacy\n")
        before = snapshot(self.out)
        self.run_site()
        after = snapshot(self.out)
        self.assertNotIn("people/I4.html", after)
        for rel in ("mine.txt", "people/mine.txt"):
            self.assertEqual(after[rel], before[rel])
        self.assertEqual([rel for rel, data in after.items() if b"greta" in data.lower()], [])

    def test_a_page_changed_by_hand_is_written_again(self):
        # A second run trusts the manifest's sizes and hashes only for files that nothing has
        # changed since; these keep their size, so only the file's status can tell.
        page = os.path.join(self.out, "people", "I1.html")
        with open(page, "rb") as f:
            good = f.read()
        cases = [  # what is done to the page, and why
            (lambda: open(page, "r+b").write(good.replace(b"Lars", b"Lass")), "edited in place"),
            (lambda: (os.remove(page), open(page, "wb").write(good.swapcase())), "replaced, times kept"),
        ]
        for change, why in cases:
            with self.subTest(why=why):
                stat = os.stat(page)
                change()
                os.utime(page, ns=(stat.st_atime_ns, stat.st_mtime_ns))
                self.assertEqual(os.path.getsize(page), len(good))
                self.run_site()
                with open(page, "rb") as f:
                    self.assertEqual(f.read(), good)

    def test_a_planted_link_is_replaced_not_written_through(self):
        outside = os.path.join(self.work, "outside.html")
        with open(outside, "w") as f:
            f.write("not a page of the site")
        page = os.path.join(self.out, "people", "I1.html")
        os.remove(page)
        os.symlink(outside, page)
        self.run_site()
        with open(outside) as f:
            self.assertEqual(f.read(), "not a page of the site")
        self.assertFalse(os.path.islink(page))
        with open(page, encoding="utf-8") as f:
            self.assertIn("Lars Lindqvist", f.read())


class ForeignFolder(unittest.TestCase):
    CASES = [  # what the folder holds, and why it is not the program's
        ({"notes.txt": "mine"}, "a file of someone else's"),
        ({"index.html": "<p>my own home page</p>"}, "a home page of someone else's"),
        ({"lineagesite-manifest.txt": "people/../../x\n"}, "a manifest the program never wrote"),
    ]

    def test_a_folder_it_did_not_write_is_refused_and_left_alone(self):
        for files, why in self.CASES:
            with self.subTest(why=why), tempfile.TemporaryDirectory() as out:
                for name, text in files.items():
                    with open(os.path.join(out, name), "w") as f:
                        f.write(text)
                run = sitepages.run_site(FAMILY, out)
                self.assertEqual(run.returncode, 1)
                self.assertIn("is not a site written by lineagesite", run.stderr)
                self.assertEqual(sorted(sitepages.all_files(out)), sorted(files))
                for name, text in files.items():
                    with open(os.path.join(out, name)) as f:
                        self.assertEqual(f.read(), text)

    def test_a_first_run_stopped_midway_is_taken_up_by_the_next(self):
        queen = os.path.join(sitepages.SAMPLES, "Queen.ged")
        if not os.path.isfile(queen):
            self.skipTest("no samples")
        for after in (0.05, 0.1, 0.2, 0.4):
            with self.subTest(stopped_after=after), tempfile.TemporaryDirectory() as out:
                run = subprocess.Popen([sitepages.PROGRAM, queen, out], stderr=subprocess.DEVNULL)
                time.sleep(after)
                run.kill()
                run.wait()
                again = sitepages.run_site(queen, out)
                self.assertEqual(again.returncode, 0, again.stderr)
                self.assertTrue(os.path.isfile(os.path.join(out, "index.html")))

    def test_an_empty_folder_is_taken(self):
        with tempfile.TemporaryDirectory() as out:
            run = sitepages.run_site(FAMILY, out)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertTrue(os.path.isfile(os.path.join(out, "index.html")))


if __name__ == "__main__":
    unittest.main()
