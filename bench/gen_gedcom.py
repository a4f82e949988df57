#!/usr/bin/env python3
"""Writes a large GEDCOM 5.5 file of realistic shape for the benchmarks.

usage: gen_gedcom.py MEGABYTES PATH [--people N] [--linked [--random-dates] | --seven [--linked]]

Individuals carry names, sex, birth and death events with dates and places,
occupations, notes with continuation lines and change dates; families carry
husband, wife, children and a marriage. All individuals come before all
families, as the converter writes them. With --people N exactly N individuals
are written and the size argument is ignored; individual N is then the last.
Links are drawn at random, so nearly every family link is one-way; with --linked
the file is sound instead, as a verifier would have it: family N has individuals
2N-1 and 2N as husband and wife, every child is a child of a family whose parents
have lower numbers, and each family lists exactly the children whose FAMC names it.
Its people are born in the order of their numbers, from 1500 to 1980, and its dates agree
with its links as a genealogist's do: a child is born when the parents are 20 to 36, a
year or more after a sibling (or on the same day, as a twin), a marriage comes when both
are 18 to 24 and before either death, a parent dies after the last child is born, nobody
lives past 95 or dies after 2025; about one person in a thousand has a planted impossible
fact (a death before the birth, or a birth 150 years early), so that a verifier has a
genealogist's few doubts to find. With --random-dates the links are drawn among all
lower numbers and the dates at random, as in the unlinked file, so that nearly every
birth and marriage is in doubt. With --seven the file is a sound GEDCOM 7.0 file instead
(gen_gedcom7.py), with links drawn as for --random-dates; with --seven --linked its links and
dates are those of --linked, each date written in one of the 7.0 calendars.
"""
import datetime
import random
import sys

GIVEN_M = "John William James George Thomas Henry Charles Robert Edward Arthur Frederick Albert Walter Harold Samuel Joseph".split()
GIVEN_F = "Mary Elizabeth Sarah Anne Margaret Jane Alice Emily Catherine Ellen Florence Martha Agnes Harriet Louisa Edith".split()
SURNAMES = ("Smith Brown Taylor Wilson Johnson Walker Wright Robinson Thompson White Hughes Edwards Green Hall Wood "
            "Harris Lewis Martin Jackson Clarke Clark Turner Hill Scott Cooper Morris Ward Moore King Watson Baker "
            "Harrison Morgan Patel Young Allen Mitchell James Anderson Phillips Lee Bell Parker Davis de*Vries "
            "O'Brien Smith-Jones MacLeod van*der*Berg Fitzgerald Ellison Holloway Pemberton Ashworth").split()
PLACES = ["London, England", "Manchester, Lancashire, England", "Leeds, Yorkshire, England",
          "Bristol, Gloucestershire, England", "Norwich, Norfolk, England", "Cardiff, Glamorgan, Wales",
          "Edinburgh, Midlothian, Scotland", "Cork, County Cork, Ireland", "Boston, Massachusetts, USA",
          "Toronto, Ontario, Canada", "Dunedin, Otago, New Zealand", "Hobart, Tasmania, Australia"]
MONTHS = "JAN FEB MAR APR MAY JUN JUL AUG SEP OCT NOV DEC".split()
OCCUPATIONS = ["Farmer", "Agricultural Labourer", "Blacksmith", "Weaver", "Schoolmistress", "Coal Miner",
               "Domestic Servant", "Clerk", "Carpenter", "Dressmaker", "Mariner", "Railway Porter"]
NOTE_WORDS = ("baptised in the parish church family bible records emigrated with brothers witness at the "
              "wedding census entry lists household of seven children buried in the churchyard").split()


def date(rng, lo, hi):
    return f"{rng.randint(1, 28)} {rng.choice(MONTHS)} {rng.randint(lo, hi)}"


def day(ordinal):
    d = datetime.date.fromordinal(ordinal)
    return f"{d.day} {MONTHS[d.month - 1]} {d.year}"


def individual(rng, n, nfam, links=None, life=None):
    """LIFE, when given, is the person's birth and death (None for none) as day ordinals."""
    male = rng.random() < 0.5 if links is None else n % 2 == 1
    given = rng.choice(GIVEN_M if male else GIVEN_F)
    if rng.random() < 0.4:
        given += " " + rng.choice(GIVEN_M if male else GIVEN_F)
    surname = rng.choice(SURNAMES).replace("*", " ")
    born = rng.randint(1700, 1990) if life is None else None
    out = [f"0 @I{n:04d}@ INDI", f"1 NAME {given} /{surname}/", f"1 SEX {'M' if male else 'F'}",
           "1 BIRT", f"2 DATE {date(rng, born, born) if life is None else day(life[0])}",
           f"2 PLAC {rng.choice(PLACES)}"]
    if life is None and (born < 1930 or rng.random() < 0.2):
        died = born + rng.randint(1, 95)
        death = date(rng, died, died)
    else:
        death = None if life is None or life[1] is None else day(life[1])
    if death:
        out += ["1 DEAT", f"2 DATE {death}", f"2 PLAC {rng.choice(PLACES)}"]
        if rng.random() < 0.5:
            out += ["1 BURI", f"2 PLAC {rng.choice(PLACES)}"]
    if rng.random() < 0.6:
        out.append(f"1 OCCU {rng.choice(OCCUPATIONS)}")
    if rng.random() < 0.3:
        words = " ".join(rng.choice(NOTE_WORDS) for _ in range(rng.randint(8, 30)))
        out.append(f"1 NOTE {words[:60]}")
        rest = words[60:]
        while rest:
            out.append(f"2 CONC {rest[:60]}")
            rest = rest[60:]
    if links is None:
        out.append(f"1 FAMC @F{rng.randint(1, nfam):04d}@")
        if rng.random() < 0.5:
            out.append(f"1 FAMS @F{rng.randint(1, nfam):04d}@")
    else:
        famc, fams = links
        if famc:
            out.append(f"1 FAMC @F{famc:04d}@")
        if fams:
            out.append(f"1 FAMS @F{fams:04d}@")
    # Change times fall in working hours: personview takes any word that begins with 0 for
    # the start of a record, so a time such as 01:07:00 would hide the next record from it.
    out += ["1 CHAN", f"2 DATE {date(rng, 2000, 2025)}", f"3 TIME {rng.randint(10, 23)}:{rng.randint(0, 59):02d}:00"]
    return out


def family(rng, n, npeople, children=None, wedding=None):
    """WEDDING, when given, is the marriage and the divorce (None for none) as day ordinals."""
    if children is None:
        out = [f"0 @F{n:04d}@ FAM", f"1 HUSB @I{rng.randint(1, npeople):04d}@", f"1 WIFE @I{rng.randint(1, npeople):04d}@"]
        for _ in range(rng.randint(0, 5)):
            out.append(f"1 CHIL @I{rng.randint(1, npeople):04d}@")
    else:
        out = [f"0 @F{n:04d}@ FAM", f"1 HUSB @I{2 * n - 1:04d}@", f"1 WIFE @I{2 * n:04d}@"]
        out += [f"1 CHIL @I{child:04d}@" for child in children]
    if wedding is None:
        out += ["1 MARR", f"2 DATE {date(rng, 1720, 2010)}", f"2 PLAC {rng.choice(PLACES)}"]
        if rng.random() < 0.05:
            out += ["1 DIV", f"2 DATE {date(rng, 1900, 2010)}"]
        return out
    out += ["1 MARR", f"2 DATE {day(wedding[0])}", f"2 PLAC {rng.choice(PLACES)}"]
    if wedding[1] is not None:
        out += ["1 DIV", f"2 DATE {day(wedding[1])}"]
    return out


def sound_links(rng, npeople, nfam):
    """Each person's FAMC and FAMS family (0 for none) and each family's children: family N has
    individuals 2N-1 and 2N as husband and wife, and a child's family has parents numbered below
    the child, so no one is their own ancestor."""
    famc = [0, 0, 0] + [rng.randint(1, min(nfam, (n - 1) // 2)) for n in range(3, npeople + 1)]
    fams = [0] + [(n + 1) // 2 if (n + 1) // 2 <= nfam else 0 for n in range(1, npeople + 1)]
    children = [[] for _ in range(nfam + 1)]
    for n in range(1, npeople + 1):
        if famc[n]:
            children[famc[n]].append(n)
    return famc, fams, children


FIRST_YEAR, LAST_YEAR, LAST_DEATH = 1500, 1980, 2025
YEAR = 365.25


def plausible_lives(rng, npeople, nfam):
    """Links and dates that agree, as the module's docstring says: each person's FAMC and FAMS
    family, each family's children, each person's birth and death, each family's marriage and
    divorce."""
    per_year = npeople / (LAST_YEAR - FIRST_YEAR)
    first = datetime.date(FIRST_YEAR, 1, 1).toordinal()
    last_death = datetime.date(LAST_DEATH, 12, 31).toordinal()
    birth = [0] * (npeople + 1)
    famc = [0] * (npeople + 1)
    children = [[] for _ in range(nfam + 1)]
    for n in range(1, npeople + 1):
        birth[n] = first + int((n / per_year + rng.uniform(-0.5, 0.5)) * YEAR)
        if n < 3:
            continue
        for _ in range(3):
            f = int(n - rng.uniform(20, 36) * per_year + 1) // 2
            if 1 <= f <= nfam and 2 * f < n and len(children[f]) < 6:
                famc[n] = f
                break
        f = famc[n]
        if not f:
            continue
        parents_born = max(birth[2 * f - 1], birth[2 * f])
        birth[n] = max(birth[n], parents_born + int(20 * YEAR))
        if children[f]:
            sibling = birth[children[f][-1]]
            birth[n] = sibling if rng.random() < 0.01 else max(birth[n], sibling + rng.randint(400, 1000))
        children[f].append(n)
    fams = [0] + [(n + 1) // 2 if (n + 1) // 2 <= nfam else 0 for n in range(1, npeople + 1)]
    wedding = [None] * (nfam + 1)
    latest = birth[:]  # the last day a person must outlive: a child's birth, a marriage
    for f in range(1, nfam + 1):
        married = max(birth[2 * f - 1], birth[2 * f]) + int(rng.uniform(18, 24) * YEAR)
        if children[f]:
            married = min(married, birth[children[f][0]] - 300)
        married = max(married, max(birth[2 * f - 1], birth[2 * f]) + int(16 * YEAR))
        divorced = married + int(rng.uniform(1, 20) * YEAR) if rng.random() < 0.05 else None
        wedding[f] = (married, divorced)
        for spouse in (2 * f - 1, 2 * f):
            latest[spouse] = max([latest[spouse], married] + [birth[c] for c in children[f]])
    lives = [None]
    for n in range(1, npeople + 1):
        death = max(birth[n] + int(rng.uniform(1, 95) * YEAR), latest[n] + 365)
        if death > last_death or death - birth[n] > 95 * YEAR:
            death = None
        born = birth[n]
        planted = rng.random()
        if planted < 0.0005 and death is not None:
            death = born - rng.randint(1, 3650)
        elif planted < 0.001:
            born -= int(150 * YEAR)
        lives.append((born, death))
    return famc, fams, children, lives, wedding


def main():
    megabytes = float(sys.argv[1])
    path = sys.argv[2]
    people = int(sys.argv[sys.argv.index("--people") + 1]) if "--people" in sys.argv else None
    rng = random.Random(1852)
    target = int(megabytes * 1024 * 1024)
    # About 330 bytes per individual and 0.4 families of about 170 bytes each; in 7.0 about
    # 365 bytes in all, the shared notes included.
    npeople = people if people else max(10, target // (365 if "--seven" in sys.argv else 370))
    nfam = max(1, npeople * 2 // 5)
    famc = fams = children = lives = weddings = None
    if "--seven" in sys.argv:
        import gen_gedcom7
        if "--linked" in sys.argv:
            famc, fams, children, lives, weddings = plausible_lives(rng, npeople, nfam)
            gen_gedcom7.write(path, rng, npeople, nfam, (famc, fams, children), lives, weddings)
        else:
            gen_gedcom7.write(path, rng, npeople, nfam, sound_links(rng, npeople, nfam))
        return
    if "--linked" in sys.argv and "--random-dates" in sys.argv:
        famc, fams, children = sound_links(rng, npeople, nfam)
    elif "--linked" in sys.argv:
        famc, fams, children, lives, weddings = plausible_lives(rng, npeople, nfam)
    with open(path, "w", newline="\n") as f:
        f.write("0 HEAD\n1 SOUR BENCH\n2 NAME Benchmark generator\n2 VERS 1.0\n1 DEST ANSTFILE\n"
                "1 DATE 8 DEC 2026\n2 TIME 12:00:00\n1 CHAR ANSI\n1 FILE bench.ged\n1 GEDC\n2 VERS 5.5\n"
                "2 FORM LINEAGE-LINKED\n")
        for n in range(1, npeople + 1):
            links = None if famc is None else (famc[n], fams[n])
            f.write("\n".join(individual(rng, n, nfam, links, lives and lives[n])) + "\n")
        for n in range(1, nfam + 1):
            f.write("\n".join(family(rng, n, npeople, None if children is None else children[n],
                                     weddings and weddings[n])) + "\n")
        f.write("0 TRLR\n")


if __name__ == "__main__":
    main()
