// The doubts that one record's own lines raise, and the facts of each record kept for the
// doubts between records.
#include "doubts.h"

#include "calendars.h"
#include "tag_table.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>

bool doubts_wanted = true;
grow_list<life_facts> lives;

namespace {

// The level-1 lines whose dates the doubts read. Burial, cremation, probate and the
// ordinances of the Latter-day Saints, which are given for the dead, may come long after a death.
// A record's creation and change are no events of a life, nor is an event said not to have
// happened (NO).
enum event_class : std::uint8_t { event_none, event_birth, event_christening, event_death, event_burial,
				  event_after_death, event_marriage, event_other };

// A record's own facts, as life_facts holds them but for the days, held whole until its
// own doubts are raised.
struct read_facts {
	std::uint64_t line;
	day_span birth;
	day_span death;
	std::uint32_t birth_at;
	std::uint32_t death_at;
	bool family;
};

struct record_state {
	bool open;       // an individual or a family is being read
	event_class event;
	read_facts facts;
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

constexpr tag_entry<event_class> person_events[] = {
	{tag_word("BIRT"), event_birth}, {tag_word("CHR"), event_christening}, {tag_word("BAPM"), event_christening},
	{tag_word("DEAT"), event_death}, {tag_word("BURI"), event_burial}, {tag_word("CREM"), event_burial},
	{tag_word("PROB"), event_after_death}, {tag_word("BAPL"), event_after_death}, {tag_word("CONL"), event_after_death},
	{tag_word("ENDL"), event_after_death}, {tag_word("SLGC"), event_after_death}, {tag_word("SLGS"), event_after_death},
	{tag_word("WILL"), event_after_death}, {tag_word("INIL"), event_after_death}, {tag_word("CHAN"), event_none},
	{tag_word("CREA"), event_none}, {tag_word("NO"), event_none},
};
constexpr tag_table<event_class, 0xa38fd547, 5> person_event_table(person_events, event_other);
static_assert(person_event_table.distinct, "each event has a slot of its own");

event_class class_of(std::string_view tag, bool family)
{
	if (tag.starts_with("_"))
		return event_none;
	std::uint32_t word = tag_word(tag);
	event_class c = person_event_table.find(word);
	if (family)
		return word == tag_word("MARR") ? event_marriage : c == event_none ? event_none : event_other;
	return c;
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
	const read_facts &f = r.facts;
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
	const read_facts &f = current.facts;
	if (!push(lives, life_facts{f.line, f.family, held(f.birth), held(f.death), f.birth_at, f.death_at}))
		out_of_memory = true;
	current.open = false;
}

void take_date(std::uint64_t line, const day_span &span)
{
	read_facts &f = current.facts;
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

// A doubt in 16 bytes: a file with random dates has one on nearly every line of births. Its
// line, kind and rank, line first, so that they sort in the order they are written (of a
// marriage, the husband's doubt before the wife's of the same kind); then, for a
// doubt between records, the two records, whose facts' lines the doubts keep; for one of a
// record's own, the line of the fact it does not stand at, marked when that is the first
// fact its message names (or the current year, for a date after it).
struct held_doubt {
	std::uint64_t line_kind;
	std::uint64_t other;
};
constexpr std::uint64_t first_named = std::uint64_t{1} << 63;
static_assert(doubts_close_births < 128, "a kind and its rank fit a byte");

grow_list<held_doubt> held_doubts;

bool between_records(finding_kind kind)
{
	return kind >= doubts_mother_young;
}

void hold(std::uint64_t line, finding_kind kind, std::uint64_t other, bool second = false)
{
	if (!push(held_doubts, held_doubt{line << 8 | unsigned{kind} << 1 | second, other}))
		out_of_memory = true;
}

// The line of the fact a doubt names first.
std::uint64_t first_line(const held_doubt &d)
{
	if (between_records(static_cast<finding_kind>((d.line_kind & 0xFF) >> 1)))
		return birth_line_of(static_cast<std::uint32_t>(d.other >> 32));
	return d.other & first_named ? d.other & ~first_named : d.line_kind >> 8;
}

std::int32_t held_day(std::int64_t day, std::int32_t open, std::int32_t past_open)
{
	constexpr std::int64_t least = std::numeric_limits<std::int32_t>::min();
	constexpr std::int64_t most = std::numeric_limits<std::int32_t>::max();
	if (day <= least)
		return open == least ? open : past_open;
	if (day >= most)
		return open == most ? open : past_open;
	return static_cast<std::int32_t>(day);
}

} // namespace

held_span held(const day_span &s)
{
	constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
	constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
	return {held_day(s.lo, least, most - 1), held_day(s.hi, most, least + 1)};
}

day_span days_of(const held_span &s)
{
	return {s.lo == std::numeric_limits<std::int32_t>::min() ? far_before : s.lo,
		s.hi == std::numeric_limits<std::int32_t>::max() ? far_after : s.hi};
}

void add_doubt(finding_kind kind, std::uint64_t fact, std::uint64_t other_fact)
{
	if (kind == doubts_future || fact >= other_fact)
		hold(fact, kind, other_fact);
	else
		hold(other_fact, kind, fact | first_named);
}

void add_kin_doubt(finding_kind kind, std::uint32_t subject, std::uint32_t other, std::uint64_t fact,
		   std::uint64_t other_fact, bool second)
{
	hold(fact > other_fact ? fact : other_fact, kind, std::uint64_t{subject} << 32 | other, second);
}

void release_held_doubts()
{
	release(lives);
	release(held_doubts);
}

// Doubts of one kind at one line, such as a father's under 12 at two of his children's
// births, in the order of the lines they name first.
void sort_doubts()
{
	std::sort(held_doubts.items, held_doubts.items + held_doubts.size,
		  [](const held_doubt &a, const held_doubt &b) {
			  if (a.line_kind != b.line_kind)
				  return a.line_kind < b.line_kind;
			  std::uint64_t x = first_line(a), y = first_line(b);
			  return x != y ? x < y : a.other < b.other;
		  });
}

bool next_doubt(std::size_t &walk, finding &f)
{
	if (walk >= held_doubts.size)
		return false;
	const held_doubt &d = held_doubts.items[walk++];
	auto kind = static_cast<finding_kind>((d.line_kind & 0xFF) >> 1);
	std::uint64_t line = d.line_kind >> 8;
	f = {line, line, d.other, 0, 0, kind, 0};
	if (between_records(kind)) {
		auto subject = static_cast<std::uint32_t>(d.other >> 32);
		f.record = static_cast<std::uint32_t>(d.other);
		bool death = kind == doubts_after_mother_death || kind == doubts_after_father_death ||
			     kind == doubts_married_after_death;
		f.number = birth_line_of(subject);
		f.key = death ? death_line_of(f.record) : birth_line_of(f.record);
	} else if (d.other & first_named) {
		f.number = d.other & ~first_named;
		f.key = line;
	}
	return true;
}

void doubts_start()
{
	current = {};
	release_held_doubts();
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

bool doubts_take_date()
{
	return current.open && current.event != event_none;
}

void doubts_date(std::uint64_t line, const day_span &span)
{
	if (!doubts_take_date())
		return;
	if (span.lo > year_end)
		add_doubt(doubts_future, line, static_cast<std::uint64_t>(this_year));
	take_date(line, span);
}

void doubts_file_end()
{
	close_record();
}
