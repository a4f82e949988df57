// Day numbers of the Gregorian, Julian, Hebrew and French republican calendars.
#include "calendars.h"

namespace {

// Division rounding down, for the years before the calendars' epochs.
std::int64_t floor_div(std::int64_t a, std::int64_t b)
{
	return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The year counted with a year 0: 1 B.C. is 0, 2 B.C. is -1.
std::int64_t counted(std::int64_t year)
{
	return year < 0 ? year + 1 : year;
}

bool gregorian_leap(std::int64_t y)
{
	return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

// The days from the Hebrew epoch to the new year of year y, by the molad of Tishri and the
// first of the postponements; the other two come from the lengths of the years around it.
std::int64_t hebrew_elapsed(std::int64_t y)
{
	std::int64_t months = floor_div(235 * y - 234, 19);
	std::int64_t parts = 12084 + 13753 * months;
	std::int64_t day = 29 * months + floor_div(parts, 25920);
	return (3 * (day + 1)) % 7 < 3 ? day + 1 : day;
}

std::int64_t hebrew_new_year(std::int64_t y)
{
	std::int64_t before = hebrew_elapsed(y - 1), now = hebrew_elapsed(y), after = hebrew_elapsed(y + 1);
	std::int64_t delay = after - now == 356 ? 2 : now - before == 382 ? 1 : 0;
	constexpr std::int64_t epoch = 347998; // 1 Tishri of year 1, Monday 7 October 3761 B.C. (Julian)
	return epoch + now + delay;
}

bool hebrew_leap(std::int64_t y)
{
	return ((7 * y + 1) % 19 + 19) % 19 < 7;
}

// The days of a month of year y, a year of `length` days; only Cheshvan and Kislev read it.
unsigned hebrew_days(std::int64_t y, unsigned month, std::int64_t length)
{
	static constexpr unsigned char days[] = {30, 29, 30, 29, 30, 29, 29, 30, 29, 30, 29, 30, 29};
	if (month == 2 && length % 10 == 5)
		return 30; // a long Cheshvan
	if (month == 3 && length % 10 == 3)
		return 29; // a short Kislev
	if (month == 6)
		return hebrew_leap(y) ? 30 : 29;
	if (month == 7)
		return hebrew_leap(y) ? 29 : 0;
	return days[month - 1];
}

// The year's length takes the new years of two years, six reckonings of a molad: only for the
// months whose days it changes.
unsigned hebrew_month_days(std::int64_t y, unsigned month)
{
	bool counts = month == 2 || month == 3;
	return hebrew_days(y, month, counts ? hebrew_new_year(y + 1) - hebrew_new_year(y) : 0);
}

// The republic's sextile years: 3, 7 and 11 as decreed and kept, then every fourth year
// but the centuries not divisible by 400.
bool french_leap(std::int64_t y)
{
	if (y < 15)
		return y % 4 == 3;
	return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

std::int64_t french_leaps_before(std::int64_t y)
{
	std::int64_t n = 0;
	for (std::int64_t k : {3, 7, 11})
		n += k < y;
	if (y <= 16)
		return n;
	std::int64_t last = y - 1;
	auto upto = [](std::int64_t x) { return x / 4 - x / 100 + x / 400; };
	return n + upto(last) - upto(15);
}

} // namespace

unsigned months_in_year(calendar cal)
{
	return cal == hebrew || cal == french ? 13 : 12;
}

unsigned days_in_month(calendar cal, std::int64_t year, unsigned month)
{
	static constexpr unsigned char days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
	if (month == 0 || month > months_in_year(cal))
		return 0;
	if (cal == hebrew)
		return hebrew_month_days(year, month);
	if (cal == french)
		return month < 13 ? 30 : french_leap(year) ? 6 : 5;
	std::int64_t y = counted(year);
	bool leap = cal == julian ? floor_div(y, 4) * 4 == y : gregorian_leap(y);
	return month == 2 && leap ? 29 : days[month - 1];
}

std::int64_t day_number(calendar cal, std::int64_t year, unsigned month, unsigned day)
{
	if (cal == hebrew) {
		std::int64_t first = hebrew_new_year(year);
		std::int64_t length = month > 2 ? hebrew_new_year(year + 1) - first : 0;
		std::int64_t n = first;
		for (unsigned m = 1; m < month; ++m)
			n += hebrew_days(year, m, length);
		return n + day - 1;
	}
	if (cal == french) {
		constexpr std::int64_t epoch = 2375840; // 1 Vendemiaire I, 22 September 1792
		return epoch + 365 * (year - 1) + french_leaps_before(year) + 30 * (month - 1) + day - 1;
	}
	// The days from March of a year counted from 4800 B.C., so that February ends each year.
	std::int64_t a = month <= 2 ? 1 : 0;
	std::int64_t y = counted(year) + 4800 - a;
	std::int64_t m = month + 12 * a - 3;
	std::int64_t n = day + (153 * m + 2) / 5 + 365 * y + floor_div(y, 4);
	return cal == julian ? n - 32083 : n - floor_div(y, 100) + floor_div(y, 400) - 32045;
}
