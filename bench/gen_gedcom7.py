#!/usr/bin/env python3
"""The GEDCOM 7.0 form of the benchmark file, written by gen_gedcom.py --seven.

A valid 7.0 file with the links of the sound 5.5 file: dates in every calendar (Gregorian,
Julian with BCE, French republican, Hebrew) as exact dates, periods, ranges and approximations,
ages at death, times, shared notes (SNOTE records and pointers to them), @VOID@ for an unknown
parent family, partner or child, EXID with its TYPE, UID, and an extension tag that the header
documents under SCHMA. Its lines are about as long as those of the 5.5 file.

Given the lives and weddings of gen_gedcom.py --linked (--seven --linked), its dates agree with
its links instead: each birth, death, marriage and divorce is the planned day, written in one of
the calendars as that day's exact conversion (the French republican one only from its epoch on),
now and then as ABT that date or a range of years around it.
"""
import datetime

import calendar_days
from gen_gedcom import GIVEN_F, GIVEN_M, MONTHS, NOTE_WORDS, OCCUPATIONS, PLACES, SURNAMES

FRENCH_MONTHS = "VEND BRUM FRIM NIVO PLUV VENT GERM FLOR PRAI MESS THER FRUC".split()
HEBREW_MONTHS = "TSH CSH KSL TVT SHV ADR ADS NSN IYR SVN TMZ AAV".split()
# Every month of the two calendars, for the exact conversions (the lists above leave the last out).
FRENCH_ALL_MONTHS = FRENCH_MONTHS + ["COMP"]
HEBREW_ALL_MONTHS = HEBREW_MONTHS + ["ELL"]
HOBBIES = ["chess", "fishing", "bell ringing", "embroidery", "choir", "bowls"]
NOTES_PER_PERSON = 20


def gregorian(rng, year):
    return f"{rng.randint(1, 28)} {rng.choice(MONTHS)} {year}"


def hebrew(rng, year):
    """A day of the Hebrew year: Adar Sheni (ADS) is a month of its leap years only."""
    month = rng.choice(HEBREW_MONTHS)
    if month == "ADS" and (7 * year + 1) % 19 >= 7:
        month = "ADR"
    return f"HEBREW {rng.randint(1, 29)} {month} {year}"


def calendar_date(rng, year):
    """A date of about `year` in one of the calendars, in one of the forms of a date value."""
    pick = rng.random()
    if pick < 0.55:
        exact = gregorian(rng, year)
    elif pick < 0.7:
        exact = f"JULIAN {gregorian(rng, year - 1400) if year > 1500 else gregorian(rng, year)}"
    elif pick < 0.78:
        exact = f"JULIAN {rng.randint(1, 28)} {rng.choice(MONTHS)} {rng.randint(1, 800)} BCE"
    elif pick < 0.86:
        exact = f"FRENCH_R {rng.randint(1, 30)} {rng.choice(FRENCH_MONTHS)} {rng.randint(1, 14)}"
    elif pick < 0.94:
        exact = hebrew(rng, year + 3760)
    else:
        exact = f"GREGORIAN {rng.choice(MONTHS)} {year}"
    form = rng.random()
    if form < 0.8:
        return exact
    if form < 0.87:
        return f"ABT {exact}"
    if form < 0.94:
        return f"BET {year} AND {year + rng.randint(1, 9)}"
    return f"FROM {year} TO {year + rng.randint(1, 9)}"


def planned_date(rng, ordinal):
    """The planned day (a proleptic Gregorian ordinal) as a date value that allows it."""
    day = ordinal + calendar_days.ORDINAL_TO_DAY
    gregorian_day = datetime.date.fromordinal(ordinal)
    pick = rng.random()
    if pick < 0.55:
        exact = f"{gregorian_day.day} {MONTHS[gregorian_day.month - 1]} {gregorian_day.year}"
    elif pick < 0.75:
        y, m, d = calendar_days.julian_date(day)
        exact = f"JULIAN {d} {MONTHS[m - 1]} {y}" if y > 0 else f"JULIAN {d} {MONTHS[m - 1]} {1 - y} BCE"
    elif pick < 0.85 and day >= calendar_days.FRENCH_EPOCH:
        y, m, d = calendar_days.french_date(day)
        exact = f"FRENCH_R {d} {FRENCH_ALL_MONTHS[m - 1]} {y}"
    else:
        y, m, d = calendar_days.hebrew_date(day)
        exact = f"HEBREW {d} {HEBREW_ALL_MONTHS[m - 1]} {y}"
    form = rng.random()
    if form < 0.86:
        return exact
    if form < 0.93:
        return f"ABT {exact}"
    year = gregorian_day.year
    return f"BET {year - rng.randint(0, 4)} AND {year + rng.randint(1, 5)}"


def time(rng):
    second = f":{rng.randint(0, 59):02d}" if rng.random() < 0.5 else ""
    fraction = f".{rng.randint(0, 99)}" if second and rng.random() < 0.2 else ""
    return f"{rng.randint(10, 23)}:{rng.randint(0, 59):02d}{second}{fraction}{'Z' if rng.random() < 0.3 else ''}"


def age(rng, years):
    bound = rng.choice(["", "", "> ", "< "])
    months = f" {rng.randint(1, 11)}m" if rng.random() < 0.4 else ""
    return f"{bound}{years}y{months}"


def uid(rng):
    h = f"{rng.getrandbits(128):032x}"
    return f"{h[:8]}-{h[8:12]}-4{h[13:16]}-a{h[17:20]}-{h[20:]}"


def event(rng, tag, year, extra=(), planned=None):
    """PLANNED, when given, is the event's day as an ordinal, and YEAR is not read."""
    written = calendar_date(rng, year) if planned is None else planned_date(rng, planned)
    out = [f"1 {tag}", f"2 DATE {written}"]
    if rng.random() < 0.1:
        out.append(f"3 TIME {time(rng)}")
    return out + [f"2 PLAC {rng.choice(PLACES)}"] + list(extra)


def individual(rng, n, links, nnotes, life=None):
    """LIFE, when given, is the person's birth and death (None for none) as ordinals."""
    famc, fams = links
    male = n % 2 == 1
    given = rng.choice(GIVEN_M if male else GIVEN_F)
    surname = rng.choice(SURNAMES).replace("*", " ")
    out = [f"0 @I{n}@ INDI", f"1 NAME {given} /{surname}/", f"1 SEX {'M' if male else 'F'}"]
    if life is None:
        born = rng.randint(1700, 1990)
        out += event(rng, "BIRT", born)
        if born < 1930 or rng.random() < 0.2:
            died = rng.randint(1, 95)
            out += event(rng, "DEAT", born + died, [f"2 AGE {age(rng, died)}"])
    else:
        out += event(rng, "BIRT", None, planned=life[0])
        if life[1] is not None:
            years = max(0, int((life[1] - life[0]) / 365.25))
            out += event(rng, "DEAT", None, [f"2 AGE {age(rng, years)}"], planned=life[1])
    if rng.random() < 0.6:
        out.append(f"1 OCCU {rng.choice(OCCUPATIONS)}")
    if rng.random() < 0.3:
        out.append(f"1 SNOTE @N{rng.randint(1, nnotes)}@")
    if rng.random() < 0.2:
        out += [f"1 EXID {rng.randint(100000, 999999)}", "2 TYPE https://example.org/bench/ids"]
    if rng.random() < 0.3:
        out.append(f"1 UID {uid(rng)}")
    if rng.random() < 0.1:
        out.append(f"1 _HOBBY {rng.choice(HOBBIES)}")
    # A family known to exist but not in the file (here a second, adoptive one) is @VOID@.
    if famc:
        out.append(f"1 FAMC @F{famc}@")
    if rng.random() < 0.03:
        out += ["1 FAMC @VOID@", "2 PEDI ADOPTED"]
    if fams:
        out.append(f"1 FAMS @F{fams}@")
    out += ["1 CHAN", f"2 DATE {gregorian(rng, rng.randint(2000, 2025))}", f"3 TIME {time(rng)}"]
    return out


def family(rng, n, children, wedding=None):
    """WEDDING, when given, is the marriage and the divorce (None for none) as ordinals."""
    out = [f"0 @F{n}@ FAM", f"1 HUSB @I{2 * n - 1}@", f"1 WIFE @I{2 * n}@"]
    out += [f"1 CHIL @I{child}@" for child in children]
    if rng.random() < 0.05:
        out.append("1 CHIL @VOID@")
    if wedding is not None:
        out += event(rng, "MARR", None, planned=wedding[0])
        if wedding[1] is not None:
            out += ["1 DIV", f"2 DATE {planned_date(rng, wedding[1])}"]
        return out
    out += event(rng, "MARR", rng.randint(1720, 2010))
    if rng.random() < 0.05:
        out += ["1 DIV", f"2 DATE {calendar_date(rng, rng.randint(1900, 2010))}"]
    return out


def shared_note(rng, n):
    words = " ".join(rng.choice(NOTE_WORDS) for _ in range(rng.randint(8, 30)))
    out = [f"0 @N{n}@ SNOTE {words[:60]}"]
    rest = words[60:]
    while rest:
        out.append(f"1 CONT {rest[:60]}")
        rest = rest[60:]
    return out


def write(path, rng, npeople, nfam, links, lives=None, weddings=None):
    famc, fams, children = links
    nnotes = max(1, npeople // NOTES_PER_PERSON)
    with open(path, "w", newline="\n") as f:
        f.write("0 HEAD\n1 GEDC\n2 VERS 7.0\n1 SCHMA\n2 TAG _HOBBY https://example.org/bench/hobby\n"
                "1 SOUR BENCH\n2 NAME Benchmark generator\n2 VERS 1.0\n1 DATE 8 DEC 2026\n2 TIME 12:00:00\n")
        for n in range(1, npeople + 1):
            f.write("\n".join(individual(rng, n, (famc[n], fams[n]), nnotes, lives and lives[n])) + "\n")
        for n in range(1, nfam + 1):
            f.write("\n".join(family(rng, n, children[n], weddings and weddings[n])) + "\n")
        for n in range(1, nnotes + 1):
            f.write("\n".join(shared_note(rng, n)) + "\n")
        f.write("0 TRLR\n")
