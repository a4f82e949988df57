// personview: the word scan for one individual, the window it fills, and the paths it builds.
#pragma once

#include "gedtext.h"
#include "pictures.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

// Words and display texts hold 255 characters; a longer value is cut, since it is only shown.
inline constexpr std::size_t word_size = 256;
inline constexpr std::size_t display_size = 256;

using word_text = std::array<char, word_size>;
using display_text = std::array<char, display_size>;

// The facts the scan reports, in the order of the window's rows.
enum person_field : int {
	field_name,
	field_sex,
	field_birth_date,
	field_birth_place,
	field_death_date,
	field_death_place,
	field_count
};

enum scan_result : int {
	scan_done,        // the record was shown, or the trailer ended the search
	scan_read_error   // the search met an empty word, or the end of the file before the trailer
};

// A word of the file, and whether it is the first word of its line.
struct scan_word {
	word_text text;
	bool begins_line;
};

// The scan's word reader: open_words starts it on a file, after a UTF-8 byte-order mark;
// read_scan_word gives the next word, or an empty one and false at the end of the file.
void open_words(ged_text &in);
bool read_scan_word(scan_word &w);

// The number text of the last individual record header examined (0007 for @I0007@).
extern word_text indi_check;
// Whether that record's cross-reference is the number alone (@12@), not @I12@.
extern bool indi_check_bare;
// What tree is given for that record: its number text, or for a number alone the whole
// cross-reference, which an @I record of the same number cannot answer to.
std::string tree_number();
// What indi_check holds before the scan: no number text has an "@" in it.
inline constexpr word_text nobody_checked{'@'};

// The GEDCOM path as typed; tree receives it unchanged.
extern const char *filename;
// How personview was called (argv[0]).
extern const char *program_path;

scan_result scan_individual(ged_text &in, const char *number, void (*add_field)(int field, const char *text),
	FILE *out);

// The tree button's command: ./tree, or the lineagetree program at the path given.
std::string tree_command(std::string_view path, std::string_view number, std::string_view lineagetree = {});
bool working_directory_has_tree();
std::string lineagetree_beside(const char *argv0);

// The window, on the toolkit.
void build_window(const char *number);
// Whether the scan found the individual asked for: the last record it checked has that
// number. Until this is set, the tree button starts nothing.
// Whether two numbers' leading digit runs are the same whole number: 7 finds @I0007@.
bool same_number(std::string_view a, std::string_view b);
void note_scan_result(const char *number);
void add_field(int field, const char *text);
void show_read_error();
void destroy();
void parent();
