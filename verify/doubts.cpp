// The doubts that one record's own lines raise, and the facts of each record kept for the
// doubts between records.
#include "doubts.h"

#include "calendars.h"

#include <cstdlib>
#include <ctime>

bool doubts_wanted = true;
grow_list<life_facts> lives;

namespace {

// The level-1 lines whose dates the doubts read. Burial, cremation, probate and the
// ordinances of the Latter-day Saints, which are given for the dead, may come long after a death.
enum event_class : std::uint8_t { event_none, event_birth, event_christening, event_death, event_burial,
				  event_after_death, event_marriage, event_other };

struct record_state {
	bool open;       // an individual or a family is being read
	event_class event;
	life_facts facts;
	day_span christening, burial;
	std::uint64_t christening_line, burial_line;
	std::int64_t last_event_lo; // the latest start of any other event, and its line
	std::uint64_t last_event_line;
};

record_state current;
std::int64_t year_end;  // the last day of the current year
std::int64_t this_year;

std::int64_t current_year()
{
	std::time_t now = std::time(nullptr);
	if (const char *epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch)
		now = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
	std::tm parts{};
	gmtime_r(&now, &parts);
	return parts.tm_year + 1900;
}

event_class class_of(std::string_view tag, bool family)
{
	if (family)
		return tag == "MARR" ? event_marriage : tag == "CHAN" || tag.starts_with("_") ? event_none : event_other;
	if (tag == "BIRT")
		return event_birth;
	if (tag == "CHR" || tag == "BAPM")
		return event_christening;
	if (tag == "DEAT")
		return event_death;
	if (tag == "BURI" || tag == "CREM")
		return event_burial;
	for (std::string_view later : {"PROB", "BAPL", "CONL", "ENDL", "SLGC", "SLGS", "WILL"})
		if (tag == later)
			return event_after_death;
	return tag == "CHAN" || tag.starts_with("_") ? event_none : event_other;
}

std::uint32_t offset_of(std::uint64_t line)
{
	std::uint64_t d = line - current.facts.line;
	return d < ~std::uint32_t{0} ? static_cast<std::uint32_t>(d) : 0;
}

std::uint64_t at(std::uint32_t offset)
{
	return current.facts.line + offset;
}

void person_doubts(const record_state &r)
{
	const life_facts &f = r.facts;
	bool birth = f.birth_at != 0, death = f.death_at != 0;
	if (birth && death && f.death.hi < f.birth.lo)
		add_doubt(doubts_death_before_birth, at(f.death_at), at(f.birth_at));
	if (death && r.burial_line && r.burial.hi < f.death.lo)
		add_doubt(doubts_burial_before_death, r.burial_line, at(f.death_at));
	if (birth && r.christening_line && r.christening.hi < f.birth.lo)
		add_doubt(doubts_christening_before_birth, r.christening_line, at(f.birth_at));
	if (death && r.last_event_line && r.last_event_lo > f.death.hi + 366)
		add_doubt(doubts_event_after_death, r.last_event_line, at(f.death_at));
	const day_span &end = death ? f.death : r.burial;
	std::uint64_t end_line = death ? at(f.death_at) : r.burial_line;
	if (birth && end_line && end.lo - f.birth.hi > most_days(120))
		add_doubt(doubts_long_life, end_line, at(f.birth_at));
}

void close_record()
{
	if (!current.open)
		return;
	if (!current.facts.family)
		person_doubts(current);
	if (!push(lives, current.facts))
		out_of_memory = true;
	current.open = false;
}

void take_date(std::uint64_t line, const day_span &span)
{
	life_facts &f = current.facts;
	switch (current.event) {
	case event_birth:
	case event_marriage:
		if (!f.birth_at)
			f.birth = span, f.birth_at = offset_of(line);
		return;
	case event_death:
		if (!f.death_at)
			f.death = span, f.death_at = offset_of(line);
		return;
	case event_christening:
		if (!current.christening_line)
			current.christening = span, current.christening_line = line;
		return;
	case event_burial:
		if (!current.burial_line)
			current.burial = span, current.burial_line = line;
		return;
	case event_other:
		if (!current.last_event_line || span.lo > current.last_event_lo)
			current.last_event_lo = span.lo, current.last_event_line = line;
		return;
	default:
		return;
	}
}

} // namespace

void add_doubt(finding_kind kind, std::uint64_t fact, std::uint64_t other_fact, std::uint32_t other)
{
	add_record_finding({fact > other_fact ? fact : other_fact, fact, other_fact, other, 0, kind, 0});
}

void doubts_start()
{
	current = {};
	release(lives);
	this_year = current_year();
	year_end = day_number(gregorian, this_year, 12, 31);
}

void doubts_record(std::uint64_t line, record_kind kind)
{
	if (!doubts_wanted)
		return;
	close_record();
	if (kind != kind_indi && kind != kind_fam)
		return;
	current = {};
	current.open = true;
	current.facts = {line, {}, {}, 0, 0, kind == kind_fam};
}

void doubts_event(std::string_view tag)
{
	if (!current.open)
		return;
	current.event = class_of(tag, current.facts.family);
}

void doubts_date(std::uint64_t line, const day_span &span)
{
	if (!current.open || current.event == event_none)
		return;
	if (span.lo > year_end)
		add_record_finding({line, line, static_cast<std::uint64_t>(this_year), 0, 0, doubts_future, 0});
	take_date(line, span);
}

void doubts_file_end()
{
	close_record();
}
