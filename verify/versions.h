// -v by the file's version: the lines of a 5.5.1 file go to its line checks, those of a 7.0 file to the 7.0 rules.
#pragma once

#include "rules7.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

// As findings_start, findings_line, findings_invalid and findings_finish, for a file of any
// version; the head's lines wait until its version is known.
void judged_start();
void judged_line(std::uint64_t line, std::string_view text, std::uint64_t chars);
void judged_invalid(std::uint64_t line);
long long judged_finish(const char *file, FILE *out);

// What the reader tidied in the prefix of a line (prefix_mend flags), before the line itself:
// nothing to the 5.5.1 rules, which let readers ignore it, and a finding to the 7.0 rules.
void judged_mended(std::uint64_t line, unsigned mends);

// The same for a file judged by the 7.0 rules.
void lines7_start();
void lines7_line(std::uint64_t line, std::string_view text, std::uint64_t chars);
void lines7_invalid(std::uint64_t line);
void lines7_mended(std::uint64_t line, unsigned mends);
long long lines7_finish(const char *file, FILE *out);

// Called for the path of every FILE of a 7.0 file as its line is read, while a hook is set
// (a GEDZIP archive, which must hold an entry for each local path).
using file_path_hook = void (*)(void *context, std::uint64_t line, std::string_view path);
void set_file_path_hook(file_path_hook hook, void *context);

// A finding of the 7.0 rules, into the log of the other findings.
void add_finding7(const rules7::finding7 &f);
