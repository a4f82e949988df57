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
// Whether a DATE line there is one the doubts read, so that its span is worth working out.
bool doubts_take_date();
// The end of the file: the last record's doubts, then those between records once the links
// are resolved. False when memory ran out.
void doubts_file_end();
bool doubts_of_families();
// The closing line on the file's family trees, when there is more than one.
void write_trees_line(const char *file, FILE *out);
void doubts_release();

// What the doubts between records take of each individual and family with a cross-reference,
// in file order: for a family, its marriage stands as its birth. A fact's line is the record's
// line plus its offset, 0 when the record has no date for it. The days are held in 32 bits,
// which a file has hundreds of thousands of: a day beyond them is held as the open end of its
// span, so a span only ever widens, and no doubt comes of it.
struct held_span {
	std::int32_t lo;
	std::int32_t hi;
};
struct life_facts {
	std::uint64_t line : 63;
	std::uint64_t family : 1;
	held_span birth;
	held_span death;
	std::uint32_t birth_at;
	std::uint32_t death_at;
};
extern grow_list<life_facts> lives;

held_span held(const day_span &s);
day_span days_of(const held_span &s);

// Raises a doubt on two facts of one record, or a date after the current year (`other_fact`
// its year): at the line of the later of them, naming both lines.
void add_doubt(finding_kind kind, std::uint64_t fact, std::uint64_t other_fact);
// Raises a doubt on the birth (or marriage) of record `subject` and a fact of record `other`,
// whose lines are `fact` and `other_fact`, at the later of them; `second` after another of
// the kind at that line.
void add_kin_doubt(finding_kind kind, std::uint32_t subject, std::uint32_t other, std::uint64_t fact,
		   std::uint64_t other_fact, bool second = false);
// The lines of a record's birth and death, for the messages of the doubts between records.
std::uint64_t birth_line_of(std::uint32_t id);
std::uint64_t death_line_of(std::uint32_t id);
// The doubts in line order, as findings, from a walk that begins at 0 once the doubts between
// records are in.
void sort_doubts();
void release_held_doubts();
bool next_doubt(std::size_t &walk, finding &f);

// The lines of descent, parent to child, by record number: the children of `p` are
// children[start[p]] to children[start[p + 1]], and each record has `parents` of them.
struct descent_lists {
	grow_list<std::uint32_t> start, parents, children;
};
// The doubts of births before an ancestor's, once per line of descent; `parents` is used up.
// False when memory ran out.
// `facts_of` holds each record's facts by its number, line 0 where it has none.
bool ancestor_doubts(const grow_list<life_facts> &facts_of, descent_lists &descent);

// A list of `n` items, each `value`. The tables of the doubts are as long as the file has
// records, in memory on huge pages: on small ones, the first touch of every page would cost
// more than the doubts. False when memory ran out.
template <typename T>
bool fill_list(grow_list<T> &list, std::size_t n, const T &value)
{
	if (!grow_zeroed(list, n))
		return false;
	for (std::size_t i = 0; i < n; ++i)
		list.items[i] = value;
	return true;
}

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
