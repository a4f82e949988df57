// Tables, counters and functions of the GEDCOM to HTML report generator.
#pragma once

#include "gedline.h"
#include "privacy.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

inline constexpr const char *r_version = "2.1.0.2";

inline constexpr int indi_rows = 9999;
inline constexpr int fam_rows = 1900;
inline constexpr std::size_t text_size = 110;
// The value of a rule is the piece from this index on.
inline constexpr std::size_t value_start = 7;
inline constexpr std::size_t number_text = 4;

// The bullet of the report's lines.
inline constexpr std::string_view line1 = "<br /><img src=gedline1.gif align=center />";

using row_text = std::array<char, text_size>;
using short_text = std::array<char, number_text + 1>;

// A cross-reference from its "@" to the next, both included; size 0 when a line has none.
// It lies within one piece, so it always fits whole, and it is compared by its size, so
// that a NUL byte in it cannot end it early.
struct xref_text {
	std::uint8_t size;
	std::array<char, piece_max> text;
};

inline bool indi_row_ok(int r) { return r >= 0 && r < indi_rows; }
inline bool fam_row_ok(int r) { return r >= 0 && r < fam_rows; }

// Moves K bytes through a register; with K fixed the compiler needs no call for it.
template <std::size_t K>
void move_bytes(char *to, const char *from)
{
	char held[K];
	std::memcpy(held, from, K);
	std::memcpy(to, held, K);
}

// Values and report parts are short; a call to memcpy for each would cost more than the
// copy, so up to 64 bytes go in two overlapping moves.
[[gnu::always_inline]] inline void copy_short(char *to, const char *from, std::size_t n)
{
	if (n > 64)
		std::memcpy(to, from, n);
	else if (n >= 32) {
		move_bytes<32>(to, from);
		move_bytes<32>(to + n - 32, from + n - 32);
	} else if (n >= 16) {
		move_bytes<16>(to, from);
		move_bytes<16>(to + n - 16, from + n - 16);
	} else if (n >= 8) {
		move_bytes<8>(to, from);
		move_bytes<8>(to + n - 8, from + n - 8);
	} else if (n >= 4) {
		move_bytes<4>(to, from);
		move_bytes<4>(to + n - 4, from + n - 4);
	} else if (n > 0) {
		to[0] = from[0];
		to[n / 2] = from[n / 2];
		to[n - 1] = from[n - 1];
	}
}

template <std::size_t N>
void copy_text(std::array<char, N>& to, std::string_view from)
{
	std::size_t n = from.size() < N ? from.size() : N - 1;
	if (n > 0)
		std::memcpy(to.data(), from.data(), n);
	to[n] = '\0';
}

template <std::size_t N>
std::string_view text_of(const std::array<char, N>& t)
{
	return {t.data(), strnlen(t.data(), N)};
}

inline std::string_view text_of(const xref_text& x)
{
	return {x.text.data(), x.size};
}

// Command line and reader state.
extern char option;
extern std::string_view filename;
extern int indi_r;
extern int fam_r;
extern short_text indi;
extern short_text fam;
extern int id_pointer;
extern short_text last_action;
// The cross-reference of the last level-0 line, and whether the current row is that record's:
// whether indi_xref names it.
extern xref_text record_xref;
extern bool row_is_records;
extern int number_of_individuals;
extern int lines_of_data;

// What the page could not show, told after it: family member lines written without a name,
// by cause; individual records whose cross-reference holds no number for a row; and whether
// any record line was read at all.
struct unshown_counts {
	int members_unnumbered; // the reference gives no row of its own
	int members_shared;     // another record's facts hold the row
	int members_unread;     // no record of it was read before its family
	int records_unnumbered;
	bool record_line_seen;
};
extern unshown_counts unshown;

// Individual tables, indexed by record number. Several records can share a row
// (@I7@ and @I0007@, or @I10507@ and @I10508@, whose first four characters agree), so
// indi_xref names the record whose name, dates or sex last went into the row.
extern std::array<xref_text, indi_rows> indi_xref;
extern std::array<row_text, indi_rows> indi_name;
extern std::array<row_text, indi_rows> indi_note;
extern std::array<char, indi_rows> indi_sex;
extern std::array<row_text, indi_rows> seximage;
extern std::array<row_text, indi_rows> indi_birt_date;
extern std::array<row_text, indi_rows> indi_birt_plac;
extern std::array<row_text, indi_rows> indi_birt_note;
extern std::array<row_text, indi_rows> indi_deat_date;
extern std::array<row_text, indi_rows> indi_deat_plac;
extern std::array<row_text, indi_rows> indi_deat_note;
extern std::array<row_text, indi_rows> indi_buri_date;
extern std::array<row_text, indi_rows> indi_buri_plac;
extern std::array<row_text, indi_rows> indi_buri_note;
extern std::array<row_text, indi_rows> indi_crem_plac;
extern std::array<row_text, indi_rows> indi_chan_date;
extern std::array<row_text, indi_rows> indi_educ;
extern std::array<row_text, indi_rows> indi_occu;
extern std::array<row_text, indi_rows> indi_reli;

// Family tables, indexed by record number.
extern std::array<short_text, fam_rows> fam_husb;
extern std::array<short_text, fam_rows> fam_wife;
extern std::array<short_text, fam_rows> fam_chil;
extern std::array<row_text, fam_rows> fam_marr_date;
extern std::array<row_text, fam_rows> fam_marr_plac;
extern std::array<row_text, fam_rows> fam_div_date;
extern std::array<row_text, fam_rows> fam_div_plac;

// Surname report.
extern std::array<row_text, indi_rows> indi_surname;
extern std::array<row_text, indi_rows> disp_surname;
extern row_text last_surname;

// reader.cpp
int leading_number(std::string_view text);
void handle_piece(std::string_view piece, FILE *out);
// The rules in silent mode: what they keep is kept, nothing is written.
void keep_piece(std::string_view piece);
bool is_trailer(std::string_view piece);
void print_report(ged_text &text, FILE *out);

// withhold.cpp: with --private the decision's first pass runs before the report, which then
// writes "Private" for those it makes private.
extern bool private_mode;
void find_private(ged_text &text, int now);
void handle_private_piece(std::string_view piece, FILE *out);
// Whether a HUSB, WIFE or CHIL piece names a private person.
bool names_private(std::string_view piece);
// "Private" with the line end of the piece, as a name read from the file carries its own.
std::string_view private_name(std::string_view piece);

// html.cpp: everything taken from the file or the command line is escaped as it is
// written; the program's own markup is written raw. write_parts keeps what it is given
// until flush_output; every other writer below returns with nothing held back.
struct out_part {
	std::string_view text;
	bool from_input;
};
void write_parts(FILE *out, std::initializer_list<out_part> parts);
void flush_output(FILE *out);
// A report line: a bullet and a label, one text from the file, and markup after it.
void write_line(FILE *out, std::string_view bullet, std::string_view label, std::string_view value,
		std::string_view after);
// A family member's line: bullet, label, sex image and markup, then name (born - died).
void write_member_line(FILE *out, std::string_view bullet, std::string_view label, std::string_view image,
		       std::string_view bold, std::string_view name, std::string_view born, std::string_view died);
void print_page_start(FILE *out);
void print_head(FILE *out);
void print_tail(FILE *out);
void print_page_end(FILE *out);

// surnames.cpp
void build_surname(int row, std::string_view name_value);
int comp_string(const void *a, const void *b);
void print_surnames(FILE *out);
