// Who is private: a person whose record restricts it, or who is presumed living, or who is
// undated without a relative old enough. Decided once over the file's records, for any
// program to ask, in any order or in file order.
#pragma once

#include "gedtext.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

struct privacy_counts {
	int restricted;
	int living;
	int undated;
	int published;
};
extern privacy_counts private_counts;

// Reads the line pieces of `text` and decides who is private in the year `now`; with
// `families`, also which partners and children of each family are, for a reader of family
// lines. Whoever the tables had no room for is private. With `living_shown`, those presumed
// living (by their years, or for want of any) are not private; a restriction still is.
void decide_privacy(ged_text &text, int now, bool families, bool living_shown = false);

// A record line as the decision reads it. A record that may be an individual but whose
// cross-reference or tag is cut off or missing is unreadable, and withheld whole; where its
// cross-reference can be read, the key is not 0.
enum class private_kind { other, person, family, unreadable };
struct private_record {
	private_kind kind;
	std::uint64_t key;
};
private_record read_private_record(std::string_view piece);

// Whether the person of this cross-reference (without its @ signs) is private.
bool is_private_person(std::string_view xref);

// Where a second reading of the file stands in the decision's lists, which are in file
// order: each record's answer is found in turn, without a search.
struct privacy_walk {
	std::size_t next_person = 0;
	std::size_t next_family = 0;
	std::size_t members_from = 0; // the family read last: its members in the list
	std::size_t members_end = 0;
};

// Whether the person record `key` (of read_private_record) is private; the walk moves past it.
bool walk_person(privacy_walk &w, std::uint64_t key);
// Whether the family record `key` has a private partner, or is not known to have none.
bool walk_family(privacy_walk &w, std::uint64_t key);
// Whether the person the line points to from `from` on is private, among the members of
// the family read last or else anywhere; false when the line points to no one.
bool points_to_private(const privacy_walk &w, std::string_view line, std::size_t from);
