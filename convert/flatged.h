// flatged: the record tables shared by the flat-file reader and the GEDCOM writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <string_view>

// Row 0 stays unused; the first record goes to row 1, so 499 records fit.
inline constexpr int table_rows = 500;
inline constexpr int last_row = table_rows - 1;

using name_text = std::array<char, 50>;
using place_text = std::array<char, 70>;
using sex_text = std::array<char, 7>;

extern std::array<std::int32_t, table_rows> idnum;
extern std::array<name_text, table_rows> firstname;
extern std::array<name_text, table_rows> surname;
extern std::array<sex_text, table_rows> sex;
extern std::array<name_text, table_rows> birth_date;
extern std::array<place_text, table_rows> birth_place;
extern std::array<name_text, table_rows> death_date;
extern std::array<place_text, table_rows> death_place;
extern std::array<place_text, table_rows> burial_place;
extern std::array<place_text, table_rows> education;
extern std::array<place_text, table_rows> occupation;
extern std::array<place_text, table_rows> religon;
extern std::array<std::int32_t, table_rows> father;
extern std::array<std::int32_t, table_rows> mother;
extern std::array<std::int32_t, table_rows> married;

// Records read, the end marker included; equal to the end marker's row when there is one.
extern int num_of_entries;
extern int stop9;
// False when the file ended before an end-marker record: then every row read is a person.
extern bool end_marker_read;
// The file's first byte of 0x80 or above begins a UTF-8 sequence: its names are UTF-8.
extern bool names_in_utf8;

// The GEDCOM path; it points at the command line's text, so a path of any length fits.
extern const char *filename;
inline constexpr const char *r_version = "0.1.0";
inline constexpr const char *default_filename = "temp.ged";

// Outcome of read_data. On bad_record, problem_record and problem_text say which and why.
enum class read_status { ok, bad_record, unreadable };
extern int problem_record;
extern std::array<char, 96> problem_text;

read_status read_data(FILE *in, FILE *out);

// Number words are whole signed decimals that fit 32 bits; "12abc", "1.5" and "0x10" are none.
enum class number_check { ok, not_number, out_of_range };
number_check whole_number(std::string_view word, std::int32_t& value);

bool is_end_marker(int row);
bool person_written(int row);

void write_i_data(FILE *ged, FILE *out);
void write_f_data(FILE *ged);
void write_c_data(FILE *ged);
