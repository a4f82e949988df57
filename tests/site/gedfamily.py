"""What a GEDCOM file says about its people, read independently of the program under test:
names, family links and who is private, so the site's pages can be checked against it."""

import re
from dataclasses import dataclass, field

LINE = re.compile(r"^\s*(\d+)\s+(?:(@[^@]+@)\s+)?(\S+)(?:\s(.*))?$")
YEAR = re.compile(r"\d+")


@dataclass
class Person:
    xref: str
    names: list = field(default_factory=list)
    text: list = field(default_factory=list)  # every value of the record
    restricted: bool = False
    ended: bool = False  # a death, burial or cremation line
    year: int = None  # earliest year of the person's own dated events
    famc: list = field(default_factory=list)
    fams: list = field(default_factory=list)


@dataclass
class Family:
    partners: list = field(default_factory=list)
    children: list = field(default_factory=list)


def decode(data):
    if data.startswith((b"\xff\xfe", b"\xfe\xff")):
        return data.decode("utf-16")
    if len(data) > 1 and data[1] == 0:
        return data.decode("utf-16-le")
    return data.decode("utf-8-sig", errors="replace")


def first_year(value):
    for digits in YEAR.findall(value):
        if len(digits) in (3, 4):
            return int(digits)
    return None


def restricts(value):
    return any(item.strip().upper() in ("PRIVACY", "CONFIDENTIAL") for item in value.split(","))


def shown_name(value):
    """A NAME value as a page shows it: the slashes around the surname dropped."""
    return " ".join(value.replace("/", " ").split())


class GedFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            text = decode(f.read())
        self.people = {}
        self.families = {}
        # Text of every record but the people's, for telling a leak from a text the site may show.
        self.other_text = []
        self._read(text.splitlines())

    def _read(self, lines):
        record, level1 = None, None
        for line in lines:
            m = LINE.match(line)
            if not m:
                continue
            level, xref, tag, value = int(m[1]), m[2], m[3].upper(), m[4] or ""
            if level == 0:
                record = self._begin(xref, tag)
                continue
            if level == 1:
                level1 = tag
            if isinstance(record, Person):
                self._person_line(record, level, tag, value, level1)
            elif isinstance(record, Family) and level == 1:
                self._family_line(record, tag, value)
            else:
                self.other_text.append(shown_name(value))

    def _begin(self, xref, tag):
        if xref and tag == "INDI":
            return self.people.setdefault(xref.strip("@"), Person(xref.strip("@")))
        if xref and tag == "FAM":
            return self.families.setdefault(xref.strip("@"), Family())
        return None

    def _person_line(self, p, level, tag, value, level1):
        p.text.append(shown_name(value))
        if level == 1 and tag == "NAME" and shown_name(value):
            p.names.append(shown_name(value))
        elif level == 1 and tag == "RESN":
            p.restricted = p.restricted or restricts(value)
        elif level == 1 and tag in ("DEAT", "BURI", "CREM"):
            p.ended = True
        elif level == 1 and tag in ("FAMC", "FAMS") and value.strip().startswith("@"):
            (p.famc if tag == "FAMC" else p.fams).append(value.strip().strip("@"))
        elif level == 2 and tag == "DATE" and level1 != "CHAN":
            y = first_year(value)
            if y is not None and (p.year is None or y < p.year):
                p.year = y

    def _family_line(self, f, tag, value):
        target = value.strip().strip("@")
        if tag in ("HUSB", "WIFE"):
            f.partners.append(target)
        elif tag == "CHIL":
            f.children.append(target)

    def public_text(self, now):
        """What the site may show: every value of the published people and other records."""
        shown = [t for x, p in self.people.items() if not self.is_private(x, now) for t in p.text]
        return "\n".join(shown + self.other_text)

    def relatives(self, xref):
        """(parents, partners, children) that the person's own family links name."""
        p = self.people[xref]
        parents = [x for f in p.famc if f in self.families for x in self.families[f].partners]
        partners, children = [], []
        for f in p.fams:
            if f in self.families:
                partners += [x for x in self.families[f].partners if x != xref]
                children += self.families[f].children
        return parents, partners, children

    def is_private(self, xref, now):
        p = self.people[xref]
        if p.restricted:
            return True
        if p.ended:
            return False
        if p.year is not None:
            return now - p.year < 100
        parents, partners, children = self.relatives(xref)
        for group, years in ((parents, 120), (partners, 100), (children, 80)):
            for x in group:
                other = self.people.get(x)
                if other and other.year is not None and now - other.year >= years:
                    return False
        return True
