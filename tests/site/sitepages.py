"""Running lineagesite into a folder and reading what it wrote: page addresses, the links of
each page, and a walk of the site from its home page."""

import html.parser
import os
import string
import subprocess
import urllib.parse

# A fixed year keeps who is presumed living the same whenever the tests run.
EPOCH = "1780000000"
NOW = 2026
PROGRAM = os.environ.get("LINEAGESITE", "lineagesite")
SAMPLES = os.environ.get("LINEAGE_SAMPLES", "")
KEPT = set(string.ascii_uppercase + string.digits + "_")
SITE_FILES = (".html", ".css", ".js")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")


def run_site(ged, out, *options):
    env = dict(os.environ, SOURCE_DATE_EPOCH=EPOCH)
    return subprocess.run([PROGRAM, *options, ged, out], env=env, capture_output=True,
                          text=True, timeout=120)


def samples():
    if not SAMPLES or not os.path.isdir(SAMPLES):
        return []
    return sorted(os.path.join(SAMPLES, n) for n in os.listdir(SAMPLES) if n.endswith(".ged"))


def page_name(xref):
    """The file name of a record's page, or None when it is long enough to end in a hash."""
    name = "".join(chr(b) if chr(b) in KEPT else "-%02x" % b for b in xref.encode("utf-8"))
    return None if len(name) > 100 else name + ".html"


class PageLinks(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links, self.ids, self.text = [], set(), []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for key in ("href", "src"):
            if attrs.get(key) is not None:
                self.links.append((tag, attrs[key]))

    def handle_data(self, data):
        self.text.append(data)


def read_page(path):
    parser = PageLinks()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    return parser


def all_files(out):
    for folder, _, names in os.walk(out):
        for n in names:
            yield os.path.relpath(os.path.join(folder, n), out)


def crawl(out):
    """Walks every page and file reachable from index.html. Returns the files reached and
    the links that lead nowhere (a missing file, a missing anchor, or a script address)."""
    reached, broken, anchors = set(), [], []
    todo = ["index.html"]
    pages = {}
    while todo:
        rel = todo.pop()
        if rel in reached:
            continue
        reached.add(rel)
        if not rel.endswith(".html"):
            continue
        pages[rel] = read_page(os.path.join(out, rel))
        for tag, link in pages[rel].links:
            target = resolve(rel, link)
            if target is None:
                if unsafe(link):
                    broken.append((rel, link))
            elif not target[0].endswith(SITE_FILES):
                continue  # a media file of the user's, which the site refers to only
            elif target[0].startswith("..") or not os.path.isfile(os.path.join(out, target[0])):
                broken.append((rel, link))
            else:
                todo.append(target[0])
                if target[1]:
                    anchors.append((rel, link, target))
    for rel, link, (file, fragment) in anchors:
        if file in pages and fragment not in pages[file].ids:
            broken.append((rel, link))
    return reached, broken, pages


def unsafe(link):
    scheme = urllib.parse.urlsplit(link.strip()).scheme.lower()
    return scheme not in ("http", "https", "mailto")


def resolve(page, link):
    """(file inside the site, fragment) of a link, or None for an outside or script address."""
    parts = urllib.parse.urlsplit(link)
    if parts.scheme or parts.netloc:
        return None
    path = urllib.parse.unquote(parts.path)
    file = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
    return file, urllib.parse.unquote(parts.fragment)
