// What a DATE value allows: the widest span of days it can mean, and whether its days exist.
#pragma once

#include "date_reading.h"

#include <cstdint>

// Julian days, both ends within; an open end stands far beyond any date.
struct day_span {
	std::int64_t lo;
	std::int64_t hi;
};

inline constexpr std::int64_t far_before = -(std::int64_t{1} << 60);
inline constexpr std::int64_t far_after = std::int64_t{1} << 60;
// How far ABT, CAL and EST may stand from their date, each way.
inline constexpr int about_years = 5;
inline constexpr std::int64_t days_a_year = 365;
inline constexpr std::int64_t about_days = about_years * 366;

// False when the value names no day of a known calendar (a phrase, a Roman or unknown date).
bool span_of(const date_reading &r, day_span &s);

enum class date_fault : std::uint8_t { none, no_such_day, reversed };
// A day that its month does not have in that year, or a period or range that ends before it begins.
date_fault fault_of(const date_reading &r);
