// libzip, loaded when the first archive is read rather than at every start: linked in, it and
// the libraries it stands on took about 4 ms to load and bind, a tenth of the whole time of
// lineagecheck -s over a 100 MB file, for the few runs that ever open an archive.
#pragma once

#include <cstddef>

#include <zip.h>

// Every call of libzip the GEDZIP reader makes.
#define LINEAGE_ZIP_CALLS(X)                                                                              \
	X(zip_discard) X(zip_error_fini) X(zip_error_init) X(zip_error_init_with_code) X(zip_error_strerror) \
	X(zip_fclose) X(zip_file_strerror) X(zip_fopen_index) X(zip_fread) X(zip_get_name)                 \
	X(zip_get_num_entries) X(zip_name_locate) X(zip_open) X(zip_open_from_source)                        \
	X(zip_source_buffer_create) X(zip_source_free) X(zip_stat_index) X(zip_strerror)

struct zip_library {
#define LINEAGE_ZIP_MEMBER(name) decltype(&::name) name;
	LINEAGE_ZIP_CALLS(LINEAGE_ZIP_MEMBER)
#undef LINEAGE_ZIP_MEMBER
};

// The library's calls, loaded on the first use and kept; null when it cannot be loaded, with
// the reason written to `why` (at most `size` bytes).
const zip_library *load_zip_library(char *why, std::size_t size);
