// lineagetree: the family around one person of a GEDCOM file. The reader and its record
// index, the relations, the text listing, the window's layout and the window on kyx.
#pragma once

#include "gedtext.h"
#include "records.h"
#include "grammar.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ---------------------------------------------------------------- reading

// Where a GEDCOM file is read from: a UTF-8 file, read a piece at a time where it is needed,
// or a text already in memory (the decoded text of a file in another set or of a pipe, the
// tests). Offsets count from the first byte of the file or text, a byte-order mark included.
struct ged_source {
	ged_text *file = nullptr;
	std::string_view text;
};

// An open file, or the text of one that cannot be read at its own offsets; closed when it goes.
struct opened_file {
	ged_source source;
	std::unique_ptr<ged_text> file;
	std::string contents;

	opened_file() = default;
	opened_file(const opened_file &) = delete;
	opened_file &operator=(const opened_file &) = delete;
	~opened_file();
};

// False when the file cannot be opened or read (a folder, no permission, a read error).
bool open_tree_file(const char *path, opened_file &into);

// One GEDCOM line in its parts, as the grammar cuts it, its value without the blanks around it.
using ged_line = line_parts;

// Cuts the line that starts at pos; pos moves to the start of the next one. A line ends at
// LF, CR or CR LF; blanks and tabs before its level are skipped.
ged_line next_line(std::string_view text, std::size_t &pos);

// A link's target: the value up to its closing "@", or the whole value when it has none.
std::string_view link_target(std::string_view value);

inline constexpr std::size_t no_record = static_cast<std::size_t>(-1);

// Calls found(offset, line) for each line of level 0 of the source, in file order; false
// when the source cannot be read.
bool each_record_line(const ged_source &source,
	const std::function<void(std::size_t at, const ged_line &line)> &found);

// The record that begins at offset `at`: its lines up to the next line of level 0. The text
// lies in buf when it had to be read from the file. Empty when it cannot be read.
std::string_view record_text(const ged_source &source, std::size_t at, std::string &buf);

// The records of a file by cross-reference: an open-addressing table of the keys' 64-bit
// hashes and the records' offsets. Keys are read again from the file only to confirm a hash.
struct index_slot {
	std::uint64_t hash = 0;
	std::uint64_t at = 0;  // offset + 1; 0 for an empty slot
};

struct record_index {
	ged_source source;
	record_table<index_slot> table;
	std::size_t count = 0;
};

// False when the source cannot be read.
bool index_records(const ged_source &source, record_index &index);

// Offset of the record line of xref whose tag is `tag`, or no_record. The first record of a
// cross-reference wins over later ones.
std::size_t find_record(const record_index &index, std::string_view xref, std::string_view tag);

// The individual the viewer means by number: "@I" number "@"; failing that the first
// individual "@I...@" whose number has the same value; a number that begins with "@" is a
// whole cross-reference. no_record when there is none, or when the file cannot be read (then
// `readable`, when given, is set false).
std::size_t find_person(const record_index &index, std::string_view number, bool *readable = nullptr);

// ---------------------------------------------------------------- relations

struct person_facts {
	std::size_t at = no_record;  // offset of the record line; no_record: nobody
	std::string xref;
	std::string name;
	std::string birth;
	std::string death;
};

struct person_record {
	person_facts facts;
	std::vector<std::string> famc;
	std::vector<std::string> fams;
};

struct family_record {
	std::string husb;
	std::string wife;
	std::vector<std::string> chil;
};

// From the text of a record (record_text) that begins at offset at.
person_record read_person(std::string_view record, std::size_t at);
family_record read_family(std::string_view record);

// The person, then ancestors: place p's father is at 2p + 1, the mother at 2p + 2, so the
// places of a generation run in binary order with the father as 0.
inline constexpr int pedigree_places = 15;

struct family_part {
	person_facts partner;
	std::vector<person_facts> children;
};

struct family_view {
	std::array<person_facts, pedigree_places> pedigree;
	std::vector<family_part> families;
};

family_view view_of(const record_index &index, std::size_t person);

// "person", "father", "mother.father" ... for a pedigree place.
std::string relation_name(int place);

// The tab-separated listing of a view; false when writing failed.
bool print_view(const family_view &view, FILE *out);

// ---------------------------------------------------------------- the window's layout

inline constexpr int tree_window_width = 960;
inline constexpr int tree_window_height = 720;
inline constexpr int box_width = 210;
inline constexpr int box_height = 34;
inline constexpr int box_text_cells = 32;   // characters a box's name or dates line holds
inline constexpr int family_rows = 8;      // rows of partners and children on one page
inline constexpr int family_slots = family_rows * 4;
inline constexpr int tree_slots = pedigree_places + family_slots;
inline constexpr int off_window = -10000;   // where unused widgets wait, never seen nor hit
inline constexpr int pedigree_top = 44;
inline constexpr int family_top = 388;

// Left edge of the boxes of a column: 0 the person, 1 to 3 the generations before.
constexpr int column_x(int column)
{
	return 48 + column * (box_width + 20);
}

struct tree_box {
	int x = off_window;   // top left of the box's frame
	int y = off_window;
	person_facts who;     // nobody in an empty place
	std::string name;     // as shown, cut to the box
	std::string dates;
};

struct tree_layout {
	std::array<tree_box, tree_slots> boxes;  // pedigree places first, then the families
	int page = 0;                            // of the family rows, counted from 0
	int pages = 1;
};

// The boxes with the family rows of one page; a page beyond the last shows the last.
tree_layout layout_view(const family_view &view, int page = 0);

// The lines that join each box of the pedigree to its parents' boxes: from the box's right
// edge to the middle of the gap, up and down to the parents' heights, and on to their boxes.
struct tree_line {
	int x;
	int y;
	int length;
	bool vertical;
};
std::vector<tree_line> pedigree_lines();

// The name as a person reads it: the surname's slashes dropped, blanks single.
std::string display_name(std::string_view gedcom_name);
std::string dates_text(std::string_view birth, std::string_view death);
// At most `cells` characters of UTF-8 text, never cutting one apart; a cut text ends in "..".
std::string cut_to_cells(std::string_view text, int cells);
// "Family tree: " and the name, or the cross-reference of a person without one.
std::string window_title(const person_facts &who);

// ---------------------------------------------------------------- the window

// Builds the window around the person at `at` (x_open must have run); the tests drive it
// through the functions below, main through kyx_main.
void open_tree_window(const record_index &index, std::size_t at);
void focus_on(std::size_t at);       // moves the focus and remembers the one it leaves
void click_slot(int slot);           // what a click on a box's button does
void go_back();                      // the Back button
std::size_t focused_person();
const tree_layout &shown_layout();
