// gedtext: a GEDCOM file opened and read as UTF-8 text, whatever character set it is written in.
// Every program reads its GEDCOM files through it, in blocks; line ends stay as the file has
// them, and a UTF-8 byte-order mark stays too (each program skips it).
#pragma once

#include "charset.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Bytes asked of the file at a time, and the most a read hands on.
inline constexpr std::size_t text_block = std::size_t{1} << 17;

struct ged_text {
	FILE *fp = nullptr;
	bool owned = false;      // opened here, closed by ged_close
	bool file_end = false;   // nothing more will come from fp
	bool failed = false;     // a read error
	decode_state decode;
	std::uint64_t handed = 0;  // bytes of text handed on so far
	invalid_sink invalid;
	// Bytes read from the file and not yet handed on: the part of a line that the last block
	// cut, or what still waits to be decoded.
	std::size_t raw_at = 0;
	std::size_t raw_len = 0;
	std::array<char, 2 * text_block> raw;
};

// Opens a GEDCOM file for reading; false when it cannot be opened or is a folder.
bool ged_open(ged_text &t, const char *path);

// Reads an open stream instead (a pipe, a file in memory); it is not closed by ged_close.
void ged_start(ged_text &t, FILE *fp);

void ged_close(ged_text &t);

// Fills `to` with the next at most `cap` bytes of text (cap of 64 or more), always whole
// characters; 0 only at the end of the text or after a read error (then t.failed).
std::size_t ged_read(ged_text &t, char *to, std::size_t cap);

// Appends the whole text to `to`; false on a read error.
bool ged_read_all(ged_text &t, std::string &to);

// The raw bytes of a plain UTF-8 file as text: stray bytes and line prefixes mended as the
// reader mends them. For a file whose offsets are kept and read again (at a line start).
std::size_t mend_utf8(std::string_view raw, char *out);

// Whether the file's own bytes, at their own offsets, are its text apart from what mend_utf8
// mends, and can be read again there: a regular file read as UTF-8 from its start.
bool ged_rereadable(const ged_text &t);

// Appends at most n raw bytes of the file from offset `at` to buf; the bytes read, 0 at the
// end, -1 on a read error.
long ged_read_at(const ged_text &t, std::uint64_t at, std::size_t n, std::string &buf);
