// lineagecheck: the verifier's state and its check.
#pragma once

#include "gedtext.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

inline constexpr const char *r_version = "0.1.0";

// The flag letter of the command line; print_report acts on 's', 't' and 'b'.
extern char option;
// Counters are 64-bit so that a file of more than 2^31 pieces is still counted right.
extern long long number_of_individuals;
extern long long lines_of_data;

// Reads fp to its trailer (or its end) and writes the verdict and, for -s, the counts.
void print_report(ged_text &text, FILE *out);

// -v: what is wrong with a file, each finding as FILE:LINE: message, in line order.
// The line checks take the lines in order: number from 1, text without its line end (at
// most the first line_keep bytes of it), whole length in characters.
inline constexpr std::size_t line_keep = 1024;
void findings_start();
void findings_line(std::uint64_t line, std::string_view text, std::uint64_t chars);
// Bytes of the line were not valid in the file's character set and were replaced.
void findings_invalid(std::uint64_t line);
// The end of the file: the checks of its links, then every finding and the count of them,
// which it returns; -1 when memory ran out, with nothing written.
long long findings_finish(const char *file, FILE *out);

// Reads the text line by line into the checks and writes the findings as findings_finish
// does; -2, with nothing written, when the file could not be read to its end.
long long print_findings(ged_text &text, const char *file, FILE *out);
// Bytes of text handed to the checks at a time, for the rest of the run; less than the most
// only in tests, to meet the ends of blocks often.
void set_findings_window(std::size_t bytes);
