#!/usr/bin/env python3
"""The generator's calendar conversions against known days and against their own inverses."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import calendar_days as cd  # noqa: E402

KNOWN = [
    # (day number, to the date, that date, what it is)
    (2299160, cd.julian_date, (1582, 10, 4), "the last Julian day before the Gregorian reform"),
    (2299161, cd.julian_date, (1582, 10, 5), "the first Gregorian day, 15 October 1582"),
    (0, cd.julian_date, (-4712, 1, 1), "the first Julian day, 1 January 4713 BCE"),
    (2451545, cd.julian_date, (1999, 12, 19), "1 January 2000"),
    (2375840, cd.french_date, (1, 1, 1), "1 Vendemiaire I, 22 September 1792"),
    (2376235, cd.french_date, (2, 2, 1), "1 Brumaire II, 22 October 1793"),
    (2378444, cd.french_date, (8, 2, 18), "18 Brumaire VIII, 9 November 1799"),
    (2380687, cd.french_date, (14, 4, 10), "10 Nivose XIV, 31 December 1805"),
    (2460204, cd.hebrew_date, (5784, 1, 1), "Rosh Hashanah, 16 September 2023"),
    (2460381, cd.hebrew_date, (5784, 7, 1), "1 Adar II, 11 March 2024"),
    (2460424, cd.hebrew_date, (5784, 8, 15), "Passover, 23 April 2024"),
    (2460587, cd.hebrew_date, (5785, 1, 1), "Rosh Hashanah, 3 October 2024"),
    (2460677, cd.hebrew_date, (5785, 4, 1), "1 Tevet, 1 January 2025"),
]

# Each calendar's way back, the last day of its months, and the days to try: every 13th over
# centuries, so that every month and leap rule comes up.
CALENDARS = [
    (cd.julian_date, cd.julian_day, lambda y, m: 12, range(2000000, 2470000, 13)),
    (cd.french_date, cd.french_day, lambda y, m: 13, range(cd.FRENCH_EPOCH, cd.FRENCH_EPOCH + 300 * 366, 13)),
    (cd.hebrew_date, cd.hebrew_day, lambda y, m: 13, range(2000000, 2470000, 13)),
]


class CalendarDays(unittest.TestCase):
    def test_known_days(self):
        for day, to_date, expected, what in KNOWN:
            with self.subTest(what):
                self.assertEqual(to_date(day), expected)

    def test_each_date_names_its_day(self):
        for to_date, to_day, months, days in CALENDARS:
            for day in days:
                year, month, d = to_date(day)
                self.assertTrue(1 <= month <= months(year, month) and d >= 1, (to_date.__name__, day))
                self.assertEqual(to_day(year, month, d), day, (to_date.__name__, day))

    def test_ordinals_are_day_numbers(self):
        import datetime
        self.assertEqual(datetime.date(2000, 1, 1).toordinal() + cd.ORDINAL_TO_DAY, 2451545)

    def test_no_french_day_before_the_epoch(self):
        with self.assertRaises(ValueError):
            cd.french_date(cd.FRENCH_EPOCH - 1)


if __name__ == "__main__":
    unittest.main()
