// The GEDCOM 7.0 rules of -v: fed one parsed line at a time, reporting each finding through a hook.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace rules7 {

enum class kind7 : std::uint8_t {
	bad_xref,		// quote: the cross-reference as written, without its @
	xref_not_record,	// quote: the cross-reference; detail: the line's tag
	void_xref,		// a record that calls itself @VOID@
	record_without_xref,	// detail: the record's tag
	bad_tag,		// quote: the tag
	banned_character,	// code: the character
	lone_at,		// quote: the value
	first_line,
	after_trailer,
	no_trailer,
	not_record,		// quote: the tag
	not_allowed,		// quote: the tag; detail: the superstructure's tag
	too_many,		// quote: the tag; detail: the superstructure's tag
	missing,		// quote: the missing tag; detail: the superstructure's tag
	conc,
	cont_misplaced,
	value_not_allowed,	// quote: the value; detail: the tag
	bad_payload,		// quote: the value; detail: the tag; code: what was expected (a payload7)
	legacy,			// quote: the 5.5.1 form; detail: what 7.0 writes instead
	note_pointer,		// quote: the pointer NOTE holds
	blank_line,
	no_entry,		// quote: the FILE path that a GEDZIP archive holds no entry for
	leading_space,		// white space before the level
	not_one_space,		// code: a delimiter7; quote: the tag, after the tag
	space_without_value,	// quote: the tag
};

// Which delimiter of a line is not the one space it must be, and whether a tab stands there.
enum delimiter7 : std::uint32_t { after_level, after_xref, after_tag, delimiter_tab = 4 };

// One line, already cut into its parts; xref without its @, value empty when there is none.
struct line7 {
	std::uint64_t number;
	unsigned level;
	std::string_view xref;
	std::string_view tag;
	std::string_view value;
};

// quote points into the line handed in and lives only as long as the call of the hook;
// detail is text of the checker's own and lives as long as the program.
struct finding7 {
	std::uint64_t line;
	kind7 kind;
	std::string_view quote;
	std::string_view detail;
	std::uint32_t code;
	bool cut = false;	// the quote was cut before: it is shown as cut
};

// A pointer whose target the record table must hold, as a record whose tag is record_tag.
struct pointer7 {
	std::uint64_t line;
	std::string_view target;
	std::string_view record_tag;
	int tag;	// the line's tag, its place in the tables' tags; -1 for an extension tag
};

using finding_hook7 = void (*)(void *context, const finding7 &finding);
using pointer_hook7 = void (*)(void *context, const pointer7 &pointer);

inline constexpr int open_levels7 = 128;
inline constexpr int counted_substructures7 = 64;
inline constexpr int documented_tags7 = 64;
inline constexpr int documented_tag_bytes7 = 48;

// Which substructures have been seen under one open structure, a bit for each slot: seen once
// already is all a cardinality needs.
struct open7 {
	std::int16_t type;	// -1: an extension, or a line already reported; nothing under it is judged
	std::uint64_t line;
	std::uint64_t seen;
};

// The words of a date value, each without its blanks. The longest standard date, BET with two
// dates each with calendar, day, month, year and epoch, has 11 words; more than this cannot be one.
inline constexpr int most_date_words7 = 12;

struct date_words7 {
	std::array<std::string_view, most_date_words7> w;
	int n;
};

struct documented7 {
	std::array<char, documented_tag_bytes7> tag;
	std::uint8_t length;
	std::int16_t type;	// the standard structure it relocates, -1 for none
};

// Big (about 7 KB) and needs no memory of its own after rules7_start: keep one per file.
struct checker7 {
	finding_hook7 on_finding;
	pointer_hook7 on_pointer;
	void *context;
	std::array<open7, open_levels7> open;
	int depth;		// open levels, the file itself not counted
	std::uint64_t lacking;	// bit i: open[i] still lacks a substructure it needs (i below 64)
	std::array<documented7, documented_tags7> documented;
	int documented_count;
	std::uint64_t lines;
	std::uint64_t last_line;
	unsigned last_level;
	bool last_cont;
	// The words of the last date the rules took, at date_line: its days are read from them.
	date_words7 date;
	std::uint64_t date_line;
	bool trailer;
	bool reported_after_trailer;
};

void rules7_start(checker7 &c, finding_hook7 on_finding, pointer_hook7 on_pointer, void *context);
void rules7_line(checker7 &c, const line7 &line);
void rules7_finish(checker7 &c);

// The structure type the last line opened (its name in structure_name7), -1 for none known:
// an extension, a CONT, or a line already reported.
int rules7_open_type(const checker7 &c);
// The words of the date the last line holds when the rules took it, null for none.
inline const date_words7 *rules7_taken_date(const checker7 &c)
{
	return c.date_line != 0 && c.date_line == c.last_line ? &c.date : nullptr;
}
std::string_view structure_name7(int type);

// One finding's text, without file, line or newline.
void rules7_message(const finding7 &f, FILE *out);

} // namespace rules7
