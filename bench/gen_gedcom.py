#!/usr/bin/env python3
"""Writes a large GEDCOM 5.5 file of realistic shape for the benchmarks.

usage: gen_gedcom.py MEGABYTES PATH [--people N] [--linked | --seven]

Individuals carry names, sex, birth and death events with dates and places,
occupations, notes with continuation lines and change dates; families carry
husband, wife, children and a marriage. All individuals come before all
families, as the converter writes them. With --people N exactly N individuals
are written and the size argument is ignored; individual N is then the last.
Links are drawn at random, so nearly every family link is one-way; with --linked
the file is sound instead, as a verifier would have it: family N has individuals
2N-1 and 2N as husband and wife, every child is a child of a family whose parents
have lower numbers, and each family lists exactly the children whose FAMC names it.
With --seven the file is a sound GEDCOM 7.0 file instead (gen_gedcom7.py).
"""
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


def individual(rng, n, nfam, links=None):
    male = rng.random() < 0.5 if links is None else n % 2 == 1
    given = rng.choice(GIVEN_M if male else GIVEN_F)
    if rng.random() < 0.4:
        given += " " + rng.choice(GIVEN_M if male else GIVEN_F)
    surname = rng.choice(SURNAMES).replace("*", " ")
    born = rng.randint(1700, 1990)
    out = [f"0 @I{n:04d}@ INDI", f"1 NAME {given} /{surname}/", f"1 SEX {'M' if male else 'F'}",
           "1 BIRT", f"2 DATE {date(rng, born, born)}", f"2 PLAC {rng.choice(PLACES)}"]
    if born < 1930 or rng.random() < 0.2:
        died = born + rng.randint(1, 95)
        out += ["1 DEAT", f"2 DATE {date(rng, died, died)}", f"2 PLAC {rng.choice(PLACES)}"]
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


def family(rng, n, npeople, children=None):
    if children is None:
        out = [f"0 @F{n:04d}@ FAM", f"1 HUSB @I{rng.randint(1, npeople):04d}@", f"1 WIFE @I{rng.randint(1, npeople):04d}@"]
        for _ in range(rng.randint(0, 5)):
            out.append(f"1 CHIL @I{rng.randint(1, npeople):04d}@")
    else:
        out = [f"0 @F{n:04d}@ FAM", f"1 HUSB @I{2 * n - 1:04d}@", f"1 WIFE @I{2 * n:04d}@"]
        out += [f"1 CHIL @I{child:04d}@" for child in children]
    out += ["1 MARR", f"2 DATE {date(rng, 1720, 2010)}", f"2 PLAC {rng.choice(PLACES)}"]
    if rng.random() < 0.05:
        out += ["1 DIV", f"2 DATE {date(rng, 1900, 2010)}"]
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
    famc = fams = children = None
    if "--seven" in sys.argv:
        import gen_gedcom7
        gen_gedcom7.write(path, rng, npeople, nfam, sound_links(rng, npeople, nfam))
        return
    if "--linked" in sys.argv:
        famc, fams, children = sound_links(rng, npeople, nfam)
    with open(path, "w", newline="\n") as f:
        f.write("0 HEAD\n1 SOUR BENCH\n2 NAME Benchmark generator\n2 VERS 1.0\n1 DEST ANSTFILE\n"
                "1 DATE 8 DEC 2026\n2 TIME 12:00:00\n1 CHAR ANSI\n1 FILE bench.ged\n1 GEDC\n2 VERS 5.5\n"
                "2 FORM LINEAGE-LINKED\n")
        for n in range(1, npeople + 1):
            links = None if famc is None else (famc[n], fams[n])
            f.write("\n".join(individual(rng, n, nfam, links)) + "\n")
        for n in range(1, nfam + 1):
            f.write("\n".join(family(rng, n, npeople, None if children is None else children[n])) + "\n")
        f.write("0 TRLR\n")


if __name__ == "__main__":
    main()
