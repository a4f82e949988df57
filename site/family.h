// The file's records as the site reads them: each record's lines in the text, and the family
// links between people resolved to record numbers, so that parents, partners and children
// are lookups.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class record_kind : std::uint8_t { indi, fam, sour, note, snote, obje, subm, repo, head, other };

struct site_record {
	record_kind kind;
	std::string_view xref;  // without its @ signs; empty for HEAD and records with none
	std::uint32_t first;    // the record's first line in the lines table
	std::uint32_t end;      // past its last
};

// One line of the text, cut by the one grammar.
struct site_line {
	std::uint8_t level;
	std::string_view tag;
	std::string_view value;
};

inline constexpr int no_record = -1;

struct family_tree {
	std::string text;
	std::vector<site_line> lines;
	std::vector<site_record> records;
	std::unordered_map<std::string_view, int> by_xref; // the first record of each cross-reference
	int head = no_record;
};

// Cuts the text into lines and records. Lines that do not parse are passed over; a record
// whose cross-reference is used before keeps its lines but is not found by it.
void read_tree(family_tree &tree);

// The record a pointer value (with its @ signs) names; no_record for @VOID@, for a value that
// is not a pointer, and for a record the file does not hold.
int pointed_record(const family_tree &tree, std::string_view value);

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

// The first value of `tag` at the level below line `at`; empty when there is none.
std::string_view sub_value(const family_tree &tree, std::uint32_t at, std::string_view tag);

// A line's value with its CONT and CONC lines joined (CONT as a line feed).
std::string long_value(const family_tree &tree, std::uint32_t at);
