// The days a DATE value allows, each vague form taken as widely as it can be read.
#include "date_spans.h"

#include "calendars.h"

namespace {

bool known(const date_point &p)
{
	return p.cal != free_form;
}

// A year written with its other reading ("1699/00") may be either year.
day_span point_span(const date_point &p)
{
	std::int64_t last_year = p.dual ? p.year + 1 : p.year;
	unsigned first_month = p.month ? p.month : 1;
	unsigned last_month = p.month ? p.month : months_in_year(p.cal);
	std::int64_t lo = day_number(p.cal, p.year, first_month, p.day ? p.day : 1);
	if (p.day && p.month && !p.dual)
		return {lo, lo};
	unsigned last_day = p.day ? p.day : days_in_month(p.cal, last_year, last_month);
	// A Hebrew year without ADS ends with ELL all the same; a month of no days ends before it.
	std::int64_t hi = last_day ? day_number(p.cal, last_year, last_month, last_day)
				   : day_number(p.cal, last_year, last_month, 1) - 1;
	return {lo, hi < lo ? lo : hi};
}

bool day_exists(const date_point &p)
{
	if (!known(p) || p.month == 0)
		return true;
	auto fits = [&](calendar cal, std::int64_t year) {
		unsigned days = days_in_month(cal, year, p.month);
		return days > 0 && p.day <= days;
	};
	// A year written both ways is a date of the years when both were in use, so of the
	// Julian calendar as well.
	return fits(p.cal, p.year) || (p.dual && (fits(p.cal, p.year + 1) || fits(julian, p.year + 1)));
}

bool two_dates(date_form f)
{
	return f == form_from_to || f == form_between;
}

} // namespace

bool span_of(const date_reading &r, day_span &s)
{
	if (r.form == form_phrase || !known(r.first) || (two_dates(r.form) && !known(r.second)))
		return false;
	day_span first = point_span(r.first);
	switch (r.form) {
	case form_before:
	case form_to:
		s = {far_before, first.hi};
		return true;
	case form_after:
	case form_from:
		s = {first.lo, far_after};
		return true;
	case form_about:
		s = {first.lo - about_days, first.hi + about_days};
		return true;
	case form_from_to:
	case form_between:
		s = {first.lo, point_span(r.second).hi};
		return true;
	default:
		s = first;
		return true;
	}
}

date_fault fault_of(const date_reading &r)
{
	if (r.form == form_phrase)
		return date_fault::none;
	bool two = two_dates(r.form);
	if (!day_exists(r.first) || (two && !day_exists(r.second)))
		return date_fault::no_such_day;
	if (two && known(r.first) && known(r.second) && point_span(r.second).hi < point_span(r.first).lo)
		return date_fault::reversed;
	return date_fault::none;
}
