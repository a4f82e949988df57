// The file's records as the site reads them: each record's lines in the text, and the family
// links between people resolved to record numbers, so that parents, partners and children
// are lookups.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr int no_record = -1;

enum class record_kind : std::uint8_t { indi, fam, sour, note, snote, obje, subm, repo, head, other };

struct site_record {
	record_kind kind;
	std::string_view xref;  // without its @ signs; empty for HEAD and records with none
	std::uint32_t first;    // the record's first line in the lines table
	std::uint32_t end;      // past its last
};

// One line of the text, cut by the one grammar: its tag and value as places in the text, and
// the record its value points to, found once. Five million lines of a large file take 16
// bytes each.
struct site_line {
	std::uint32_t tag_at;
	std::uint32_t value_size;
	std::int32_t target;      // a record number, or no_record
	std::uint8_t level;
	std::uint8_t tag_size;
};


struct family_tree {
	std::string text;
	std::vector<site_line> lines;
	std::vector<site_record> records;
	std::unordered_map<std::string_view, int> by_xref; // the first record of each cross-reference
	int head = no_record;
};

inline std::string_view line_tag(const family_tree &tree, std::uint32_t i)
{
	return {tree.text.data() + tree.lines[i].tag_at, tree.lines[i].tag_size};
}

inline std::string_view line_value(const family_tree &tree, std::uint32_t i)
{
	const site_line &l = tree.lines[i];
	return l.value_size ? std::string_view{tree.text.data() + l.tag_at + l.tag_size + 1, l.value_size}
			    : std::string_view{};
}

// The record line i points to; no_record for @VOID@, for a value that is no pointer, and for
// a record the file does not hold.
inline int line_target(const family_tree &tree, std::uint32_t i)
{
	return tree.lines[i].target;
}

// Cuts the text into lines and records; false for a text too large to index (4 GiB). Lines that do not parse are passed over; a record
// whose cross-reference is used before keeps its lines but is not found by it.
bool read_tree(family_tree &tree);

// The lines of a record, or of a line's substructure: from `at`, those deeper than its level.
std::uint32_t sub_end(const family_tree &tree, std::uint32_t at, std::uint32_t end);

// The record numbers of the first line with `tag` under line `at` pointing to a record of
// `kind`; and all of them, in order.
std::vector<int> pointers_under(const family_tree &tree, std::uint32_t at, std::uint32_t end,
				std::string_view tag, record_kind kind);

std::vector<int> parents_of_family(const family_tree &tree, int fam);
std::vector<int> children_of_family(const family_tree &tree, int fam);
std::vector<int> families_as_child(const family_tree &tree, int person);
std::vector<int> families_as_partner(const family_tree &tree, int person);

// The first line of `tag` at the level below line `at`, or 0 when there is none; its value,
// empty when there is none.
std::uint32_t sub_line(const family_tree &tree, std::uint32_t at, std::string_view tag);
std::string_view sub_value(const family_tree &tree, std::uint32_t at, std::string_view tag);

// A line's value with its CONT and CONC lines joined (CONT as a line feed).
std::string long_value(const family_tree &tree, std::uint32_t at);
