// -v over a GEDZIP archive: its gedcom.ged judged where it lies in the archive, and each local FILE path looked up.
#pragma once

#include <array>
#include <cstdio>
#include <string_view>

// Whether the file begins as a zip archive does, whatever its name.
bool is_zip_archive(const char *path);

// Why an archive was not judged, for the apology.
using archive_refusal = std::array<char, 512>;

inline constexpr long long archive_refused = -3;

// The findings of the archive's gedcom.ged as print_findings writes them, under the archive's
// name; archive_refused, with nothing written and the reason in `why`, for an archive that
// cannot be opened, has no gedcom.ged, names an entry outside itself or unpacks beyond sense;
// -1 when memory ran out.
long long print_archive_findings(const char *path, FILE *out, archive_refusal &why);
// The same for an archive in memory, its findings under `name`.
long long print_archive_bytes(std::string_view bytes, const char *name, FILE *out, archive_refusal &why);
