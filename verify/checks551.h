// The checks of -v that follow from GEDCOM 5.5.1's rules beyond its line grammar: the lines
// HEAD requires, the age grammar, days that exist, ranges in order; and the doubts that no
// reading of a file's dates can clear.
#pragma once

#include "date_reading.h"
#include "findings.h"

#include <cstdint>
#include <string_view>

// HEAD's lines, as they come: the record begun at `line`, each line under it, its end.
void head_start(std::uint64_t line);
void head_line(std::uint64_t line, unsigned level, std::string_view tag);
void head_end();

// Whether an AGE value follows the age grammar: CHILD, INFANT, STILLBORN, or an optional < or >
// and years, months and days (nnny nnm nnnd), each optional but not all.
bool age_value_ok(std::string_view value);

// The faults of a DATE value that the grammar lets through, and what the doubts take of it.
void check_date_value(std::uint64_t line, unsigned level, std::string_view value);
// The same for a value that the 7.0 rules found to be a date, from the words they found in it;
// they have judged its grammar.
void check_date_words7(std::uint64_t line, unsigned level, std::string_view value, const rules7::date_words7 &words);
