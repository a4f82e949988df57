// The calendars of GEDCOM dates as day numbers (the Julian day of each date), so that dates
// of any two calendars compare.
#pragma once

#include "date_reading.h"

#include <cstdint>

// The days of a month of the year (months from 1 in the order GEDCOM names them); 0 for a
// month the year does not have (the Hebrew ADS outside a leap year).
unsigned days_in_month(calendar cal, std::int64_t year, unsigned month);
// The months of a year of the calendar: 12, or 13 for the Hebrew and French ones.
unsigned months_in_year(calendar cal);
// The Julian day of a day of the calendar; years of B.C. negated (1 B.C. is -1), as written.
std::int64_t day_number(calendar cal, std::int64_t year, unsigned month, unsigned day);
