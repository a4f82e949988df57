// Tests of the calendars' day numbers against known dates, and of the spans and faults of
// DATE values.
#include <gtest/gtest.h>

#include "calendars.h"
#include "date_spans.h"
#include "rules7_internal.h"

namespace {

struct day_case {
	calendar cal;
	std::int64_t year;
	unsigned month, day;
	std::int64_t number;
	const char *what;
};

struct month_case {
	calendar cal;
	std::int64_t year;
	unsigned month, days;
};

struct span_case {
	const char *value;
	bool has_span;
	std::int64_t lo, hi;
	date_fault fault;
};

} // namespace

TEST(Calendars, DayNumbersOfKnownDates)
{
	const day_case cases[] = {
		{gregorian, 2000, 1, 1, 2451545, "the Julian day of 2000"},
		{gregorian, 1582, 10, 15, 2299161, "the first Gregorian day"},
		{julian, 1582, 10, 4, 2299160, "the last Julian day before it"},
		{julian, -4713, 1, 1, 0, "the first Julian day, 4713 B.C."},
		{gregorian, -1, 12, 31, 1721426 - 1, "31 December 1 B.C., the day before 1 January 1"},
		{hebrew, 5784, 1, 1, 2460204, "Rosh Hashanah, 16 September 2023"},
		{hebrew, 5784, 7, 1, 2460381, "1 Adar II, 11 March 2024"},
		{hebrew, 5784, 8, 15, 2460424, "Passover, 23 April 2024"},
		{hebrew, 5785, 1, 1, 2460587, "Rosh Hashanah, 3 October 2024"},
		{hebrew, 5785, 4, 1, 2460677, "1 Tevet, 1 January 2025, after a long Cheshvan and Kislev"},
		{french, 1, 1, 1, 2375840, "1 Vendemiaire I, 22 September 1792"},
		{french, 2, 2, 1, 2376235, "1 Brumaire II, 22 October 1793"},
		{french, 8, 2, 18, 2378444, "18 Brumaire VIII, 9 November 1799"},
		{french, 14, 4, 10, 2380687, "10 Nivose XIV, 31 December 1805"},
	};
	for (const day_case &c : cases) {
		SCOPED_TRACE(c.what);
		EXPECT_EQ(day_number(c.cal, c.year, c.month, c.day), c.number);
	}
}

TEST(Calendars, MonthLengthsFollowEachCalendarsLeapYears)
{
	const month_case cases[] = {
		{gregorian, 1900, 2, 28}, {gregorian, 2000, 2, 29}, {gregorian, 1996, 2, 29}, {gregorian, 1999, 2, 28},
		{julian, 1900, 2, 29}, {julian, 1901, 2, 28}, {julian, -1, 2, 29}, {julian, -2, 2, 28},
		{gregorian, 1900, 4, 30}, {gregorian, 1900, 13, 0},
		// 5784 is a deficient leap year (383 days), 5785 a complete common one (355).
		{hebrew, 5784, 2, 29}, {hebrew, 5784, 3, 29}, {hebrew, 5784, 6, 30}, {hebrew, 5784, 7, 29},
		{hebrew, 5785, 2, 30}, {hebrew, 5785, 3, 30}, {hebrew, 5785, 6, 29}, {hebrew, 5785, 7, 0},
		{hebrew, 5785, 13, 29},
		{french, 3, 13, 6}, {french, 4, 13, 5}, {french, 11, 13, 6}, {french, 20, 13, 6}, {french, 5, 1, 30},
	};
	for (const month_case &c : cases) {
		SCOPED_TRACE(std::to_string(c.cal) + " " + std::to_string(c.year) + " " + std::to_string(c.month));
		EXPECT_EQ(days_in_month(c.cal, c.year, c.month), c.days);
	}
}

// Each form of value as its widest span: a year is all its days, ABT five years each way of
// its date, BEF and AFT open on one side.
TEST(DateSpans, EachFormAsWidelyAsItReads)
{
	constexpr std::int64_t y1900 = 2415021, y1901 = 2415386, y1910 = 2418673;
	const span_case cases[] = {
		{"1 JAN 1900", true, y1900, y1900, date_fault::none},
		{"1900", true, y1900, y1901 - 1, date_fault::none},
		{"FEB 1900", true, y1900 + 31, y1900 + 58, date_fault::none},
		{"BEF 1900", true, far_before, y1901 - 1, date_fault::none},
		{"AFT 1900", true, y1900, far_after, date_fault::none},
		{"TO 1900", true, far_before, y1901 - 1, date_fault::none},
		{"FROM 1900", true, y1900, far_after, date_fault::none},
		{"ABT 1900", true, y1900 - about_days, y1901 - 1 + about_days, date_fault::none},
		{"EST 1 JAN 1900", true, y1900 - about_days, y1900 + about_days, date_fault::none},
		{"BET 1900 AND 1909", true, y1900, y1910 - 1, date_fault::none},
		{"FROM 1900 TO 1909", true, y1900, y1910 - 1, date_fault::none},
		{"1899/00", true, y1900 - 365, y1901 - 1, date_fault::none},
		{"@#DJULIAN@ 20 DEC 1899", true, y1900, y1900, date_fault::none},
		{"INT 1 JAN 1900 (New Year)", true, y1900, y1900, date_fault::none},
		{"(the winter of the storm)", false, 0, 0, date_fault::none},
		{"@#DROMAN@ 12 _MONTH 3", false, 0, 0, date_fault::none},
		{"29 FEB 1900", true, y1900 + 59, y1900 + 59, date_fault::no_such_day},
		{"29 FEB 1699/00", true, 0, 0, date_fault::none},
		{"@#DJULIAN@ 29 FEB 1900", true, 0, 0, date_fault::none},
		{"@#DHEBREW@ 30 CSH 5784", true, 0, 0, date_fault::no_such_day},
		{"@#DHEBREW@ ADS 5785", true, 0, 0, date_fault::no_such_day},
		{"@#DFRENCH R@ 6 COMP 4", true, 0, 0, date_fault::no_such_day},
		{"BET 1900 AND 1890", true, 0, 0, date_fault::reversed},
		{"FROM 1900 TO 1850", true, 0, 0, date_fault::reversed},
		{"BET 1900 AND 1900", true, 0, 0, date_fault::none},
		{"BET 2 JAN 1900 AND 1 JAN 1900", true, 0, 0, date_fault::reversed},
		{"BET 1 JAN 1900 AND 29 FEB 1900", true, 0, 0, date_fault::no_such_day},
	};
	for (const span_case &c : cases) {
		SCOPED_TRACE(c.value);
		date_reading r;
		ASSERT_TRUE(read_date_value(c.value, r));
		EXPECT_EQ(fault_of(r), c.fault);
		day_span s{};
		EXPECT_EQ(span_of(r, s), c.has_span);
		if (c.has_span && (c.lo != 0 || c.hi != 0)) {
			EXPECT_EQ(s.lo, c.lo);
			EXPECT_EQ(s.hi, c.hi);
		}
	}
}

// A 7.0 date, which the 7.0 rules take, reads as its 5.5.1 twin does (nullptr: it has none,
// and the fault is the row's); an extension's calendar, month or epoch reads as no date.
TEST(DateSpans, SevenDatesReadAsTheirFiveFiveOneTwins)
{
	struct row {
		const char *seven;
		const char *twin;
		date_fault fault;
	};
	const row rows[] = {
		{"1 JAN 1900", "1 JAN 1900", date_fault::none},
		{"GREGORIAN FEB 1900", "FEB 1900", date_fault::none},
		{"JULIAN 29 FEB 1900", "@#DJULIAN@ 29 FEB 1900", date_fault::none},
		{"29 FEB 1900", "29 FEB 1900", date_fault::no_such_day},
		{"44 BCE", "44 B.C.", date_fault::none},
		{"JULIAN 15 MAR 44 BCE", "@#DJULIAN@ 15 MAR 44 B.C.", date_fault::none},
		{"JULIAN 29 FEB 2 BCE", "@#DJULIAN@ 29 FEB 2 B.C.", date_fault::no_such_day},
		{"HEBREW 30 CSH 5784", "@#DHEBREW@ 30 CSH 5784", date_fault::no_such_day},
		{"HEBREW 30 CSH 5785", "@#DHEBREW@ 30 CSH 5785", date_fault::none},
		{"HEBREW ADS 5785", "@#DHEBREW@ ADS 5785", date_fault::no_such_day},
		{"HEBREW 29 ADS 5784", "@#DHEBREW@ 29 ADS 5784", date_fault::none},
		{"FRENCH_R 6 COMP 3", "@#DFRENCH R@ 6 COMP 3", date_fault::none},
		{"FRENCH_R 6 COMP 4", "@#DFRENCH R@ 6 COMP 4", date_fault::no_such_day},
		{"ABT HEBREW TSH 5784", "ABT @#DHEBREW@ TSH 5784", date_fault::none},
		{"CAL 1900", "CAL 1900", date_fault::none},
		{"EST JULIAN 1900", "EST @#DJULIAN@ 1900", date_fault::none},
		{"BEF 1900", "BEF 1900", date_fault::none},
		{"AFT 1900 BCE", "AFT 1900 B.C.", date_fault::none},
		{"TO 1900", "TO 1900", date_fault::none},
		{"FROM 1900", "FROM 1900", date_fault::none},
		{"BET 1900 AND 1890", "BET 1900 AND 1890", date_fault::reversed},
		{"FROM 1900 TO 1850", "FROM 1900 TO 1850", date_fault::reversed},
		{"FROM 1 JAN 1900 TO 31 FEB 1900", nullptr, date_fault::no_such_day},
		// Julian 25 December 1899 is 6 January 1900.
		{"BET 5 JAN 1900 AND JULIAN 25 DEC 1899", "BET 5 JAN 1900 AND @#DJULIAN@ 25 DEC 1899", date_fault::none},
		{"BET FRENCH_R 1 VEND 1 AND 1792", "BET @#DFRENCH R@ 1 VEND 1 AND 1792", date_fault::none},
		{"001 JAN 1900", "1 JAN 1900", date_fault::none},
		// What 5.5.1's grammar does not take at all, 7.0's takes as days that do not exist.
		{"30 FEB 1900", nullptr, date_fault::no_such_day},
		{"32 JAN 1900", nullptr, date_fault::no_such_day},
		{"0 JAN 1900", nullptr, date_fault::no_such_day},
		{"_MAYA 12 _UINAL 3", nullptr, date_fault::none},
		{"JULIAN _LEAP 1900", nullptr, date_fault::none},
		{"1900 _AUC", nullptr, date_fault::none},
		{"", nullptr, date_fault::none},
		{"12345678", nullptr, date_fault::none},
	};
	for (const row &c : rows) {
		SCOPED_TRACE(c.seven);
		ASSERT_EQ(rules7::check_date(c.seven, rules7::payload7::pay_date).result, rules7::result7::ok);
		date_reading seven, twin;
		bool read = read_date_value7(c.seven, seven);
		bool known = c.twin != nullptr || c.fault != date_fault::none;
		ASSERT_EQ(read, known);
		if (!read)
			continue;
		EXPECT_EQ(fault_of(seven), c.fault);
		if (!c.twin)
			continue;
		ASSERT_TRUE(read_date_value(c.twin, twin));
		EXPECT_EQ(fault_of(twin), c.fault);
		day_span a{}, b{};
		ASSERT_EQ(span_of(seven, a), span_of(twin, b));
		EXPECT_EQ(a.lo, b.lo);
		EXPECT_EQ(a.hi, b.hi);
	}
}
