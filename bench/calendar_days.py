"""Days of the Julian, French republican and Hebrew calendars as the verifier counts them, so that
a generated date in any of them can be the exact conversion of a planned day.

A day is a Julian day number (2451545 is 1 January 2000); date.toordinal() + ORDINAL_TO_DAY is
one. Years are as written: a Julian year 0 or below is (1 - year) BCE. Months count from 1 in the
order the 7.0 tables list them: the Hebrew year begins with Tishri (TSH), and Adar II (ADS, the
7th) has days only in leap years; the 13th French month is the complementary days.
"""

ORDINAL_TO_DAY = 1721425
FRENCH_EPOCH = 2375840  # 1 Vendemiaire I, 22 September 1792
HEBREW_EPOCH = 347998   # 1 Tishri of year 1


def julian_day(year, month, day):
    a = 1 if month <= 2 else 0
    y = year + 4800 - a
    m = month + 12 * a - 3
    return day + (153 * m + 2) // 5 + 365 * y + y // 4 - 32083


def julian_date(jd):
    c = jd + 32082
    d = (4 * c + 3) // 1461
    e = c - 1461 * d // 4
    m = (5 * e + 2) // 153
    return d - 4800 + m // 10, m + 3 - 12 * (m // 10), e - (153 * m + 2) // 5 + 1


def french_leap(year):
    """The sextile years: 3, 7 and 11 as decreed and kept, then the Gregorian rule."""
    if year < 15:
        return year % 4 == 3
    return year % 4 == 0 and (year % 100 != 0 or year % 400 == 0)


def french_day(year, month, day):
    leaps = sum(1 for y in range(1, year) if french_leap(y))
    return FRENCH_EPOCH + 365 * (year - 1) + leaps + 30 * (month - 1) + day - 1


def french_date(jd):
    """Year 1 on: the calendar has no days before its epoch."""
    if jd < FRENCH_EPOCH:
        raise ValueError("before the French republican calendar's epoch")
    year, start = 1, FRENCH_EPOCH
    while start + (366 if french_leap(year) else 365) <= jd:
        start += 366 if french_leap(year) else 365
        year += 1
    return year, (jd - start) // 30 + 1, (jd - start) % 30 + 1


def _hebrew_elapsed(y):
    months = (235 * y - 234) // 19
    parts = 12084 + 13753 * months
    day = 29 * months + parts // 25920
    return day + 1 if (3 * (day + 1)) % 7 < 3 else day


def hebrew_new_year(y):
    before, now, after = _hebrew_elapsed(y - 1), _hebrew_elapsed(y), _hebrew_elapsed(y + 1)
    delay = 2 if after - now == 356 else 1 if now - before == 382 else 0
    return HEBREW_EPOCH + now + delay


def hebrew_leap(y):
    return (7 * y + 1) % 19 < 7


def hebrew_month_days(y, month):
    length = hebrew_new_year(y + 1) - hebrew_new_year(y)
    if month == 2:
        return 30 if length % 10 == 5 else 29
    if month == 3:
        return 29 if length % 10 == 3 else 30
    if month == 6:
        return 30 if hebrew_leap(y) else 29
    if month == 7:
        return 29 if hebrew_leap(y) else 0
    return (30, 29, 30, 29, 30, 29, 29, 30, 29, 30, 29, 30, 29)[month - 1]


def hebrew_day(year, month, day):
    return hebrew_new_year(year) + sum(hebrew_month_days(year, m) for m in range(1, month)) + day - 1


def hebrew_date(jd):
    year = (jd - HEBREW_EPOCH) * 98496 // 35975351 + 1  # mean years, then corrected
    while hebrew_new_year(year) > jd:
        year -= 1
    while hebrew_new_year(year + 1) <= jd:
        year += 1
    day = jd - hebrew_new_year(year) + 1
    month = 1
    while day > hebrew_month_days(year, month):
        day -= hebrew_month_days(year, month)
        month += 1
    return year, month, day
