// A DATE line's checks: its grammar, its days, the order of its range, and its span for the doubts.
#include "checks551.h"
#include "date_spans.h"
#include "doubts.h"

#include "grammar.h"

namespace {

void check_reading(std::uint64_t line, unsigned level, std::string_view value, const date_reading &r)
{
	date_fault fault = fault_of(r);
	if (fault != date_fault::none) {
		add_text_finding(line, fault == date_fault::reversed ? finds_reversed : finds_no_such_day,
				 trim_blanks(value));
		return;
	}
	day_span span;
	if (level == 2 && doubts_take_date() && span_of(r, span))
		doubts_date(line, span);
}

} // namespace

void check_date_value(std::uint64_t line, unsigned level, std::string_view value)
{
	date_reading r;
	if (!read_date_value(value, r))
		add_text_finding(line, finds_bad_date, trim_blanks(value));
	else
		check_reading(line, level, value, r);
}

void check_date_words7(std::uint64_t line, unsigned level, std::string_view value, const rules7::date_words7 &words)
{
	date_reading r;
	if (read_date_words7(words, r))
		check_reading(line, level, value, r);
}
