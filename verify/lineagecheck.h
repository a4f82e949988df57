// lineagecheck: the verifier's state and its check.
#pragma once

#include "gedtext.h"

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
