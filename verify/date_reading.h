// A DATE value as read by the date grammar: its form and up to two dates, each in its calendar.
#pragma once

#include <cstdint>
#include <string_view>

enum calendar : std::uint8_t { gregorian, julian, hebrew, french, free_form };

// One date as written: day and month 0 where the value leaves them out; a year of B.C.
// stands negated (44 B.C. is -44); `dual` marks a year written with its other reading ("1699/00").
struct date_point {
	std::int64_t year;
	std::uint8_t day;
	std::uint8_t month;
	calendar cal;
	bool dual;
};

// The forms of a value: one date, an approximation (ABT, CAL, EST), a bound (BEF, AFT, TO),
// a period or a range with two dates, an interpreted date, or a phrase with no date at all.
enum date_form : std::uint8_t {
	form_exact, form_before, form_after, form_about, form_from, form_to, form_from_to, form_between,
	form_phrase
};

struct date_reading {
	date_form form;
	date_point first;
	date_point second; // of a period or a range
};

// Whether the value follows GEDCOM 5.5.1's date grammar, and what it says when it does.
bool read_date_value(std::string_view value, date_reading &r);
// What a value that GEDCOM 7.0's date grammar takes says, in the same terms; false when it names
// no day of a calendar the doubts count (an extension's calendar, month or epoch, or none).
bool read_date_value7(std::string_view value, date_reading &r);
namespace rules7 {
struct date_words7;
}
// The same of a value whose words the 7.0 rules have found already, when they took it.
bool read_date_words7(const rules7::date_words7 &words, date_reading &r);
