// The doubts of -v: facts that no reading of the file's dates makes possible. They are
// collected as the lines come and reported with the findings, counted apart.
#pragma once

#include "date_spans.h"
#include "findings.h"

#include <cstdint>
#include <string_view>

// Whether -v reports doubts (--no-doubts leaves them out).
extern bool doubts_wanted;

void doubts_start();
// A record begins at `line`; a level-1 line of it; a level-2 DATE under that line.
void doubts_record(std::uint64_t line, record_kind kind);
void doubts_event(std::string_view tag);
void doubts_date(std::uint64_t line, const day_span &span);
// The end of the file: the last record's doubts, then those between records once the links
// are resolved. False when memory ran out.
void doubts_file_end();
bool doubts_of_families();
// The closing line on the file's family trees, when there is more than one.
void write_trees_line(const char *file, FILE *out);
void doubts_release();

// What the doubts between records take of each individual and family with a cross-reference,
// in file order: for a family, its marriage stands as its birth. A fact's line is the record's
// line plus its offset, 0 when the record has no date for it.
struct life_facts {
	std::uint64_t line;
	day_span birth;
	day_span death;
	std::uint32_t birth_at;
	std::uint32_t death_at;
	bool family;
};
extern grow_list<life_facts> lives;

// Raises a doubt on two facts: at the line of the later of them, naming both lines, and the
// other record `other` where it is one.
void add_doubt(finding_kind kind, std::uint64_t fact, std::uint64_t other_fact, std::uint32_t other = 0);

// Years as days, for a doubt: the fewest days so many years can have when the doubt is that
// less time passed, the most when it is that more did.
inline constexpr std::int64_t fewest_days(int years)
{
	return years * std::int64_t{365};
}
inline constexpr std::int64_t most_days(int years)
{
	return years * std::int64_t{366};
}
