// gedtext: a GEDCOM file opened and read as UTF-8 text, whatever character set it is written in.
// Every program reads its GEDCOM files through it, in blocks; line ends stay as the file has
// them, and a UTF-8 byte-order mark stays too (gedline's cutters of lines pass over it).
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
	// The next plain read is looked over here even where its caller would look itself: at the
	// start, where the line after a byte-order mark is tidied as a line of its own, and after
	// lines were given back, until a block needs nothing mended.
	bool look = true;
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

// The least room a read may be given.
inline constexpr std::size_t read_min = 64;

// Passes over the UTF-8 byte-order mark that the text starts with, for a reader that takes the
// text word by word: its length, which offsets in the text count, or 0 when there is none or
// text was read already.
std::size_t ged_pass_mark(ged_text &t);

// Fills `to` with the next at most `cap` bytes of text (cap of read_min or more), always whole
// characters; 0 only at the end of the text or after a read error (then t.failed).
std::size_t ged_read(ged_text &t, char *to, std::size_t cap);

// As ged_read, but lines that need no decoding may come as the file has them, not looked over
// for what tidying or decoding would change: then `unlooked` is set, and the bytes are whole
// lines from a line start. The caller looks at them itself with ged_as_read and gives back,
// from a line start, what must be read again. Nothing is told to the sink of such lines.
std::size_t ged_read_unlooked(ged_text &t, char *to, std::size_t cap, bool &unlooked);

// Of text handed on unlooked, the length of the character at the start of `rest`, a byte of
// 0x80 or above, as ged_read would hand it on; 0 when it must be decoded (it begins no
// well-formed UTF-8, or the file's set is still to be settled). Blanks and tabs are looked at
// with prefix_kept.
std::size_t ged_unlooked_char(const ged_text &t, std::string_view rest);

// Puts the last n bytes handed on unlooked back in front of what waits to be read, from a line
// start: the next read looks them over.
void ged_give_back(ged_text &t, const char *bytes, std::size_t n);

// Appends the whole text to `to`; false on a read error.
bool ged_read_all(ged_text &t, std::string &to);

// Whether the file's own lines, at their own offsets, can be read again and decoded one at
// a time with ged_decode_raw: a regular file in a set of single bytes. One that names ANSEL
// or ANSI must be settled by ged_settle_by as its raw bytes are read in order from the start.
bool ged_rereadable(const ged_text &t);

// Settles a file that names ANSEL or ANSI at its first byte of 0x80 or above, should the raw
// block read at offset `at` hold it; false on a read error.
bool ged_settle_by(ged_text &t, std::string_view block, std::uint64_t at);

// Raw bytes of such a file, from a line start, as text (at most decoded_room(raw.size())
// bytes at out), as the reader would have handed them on.
std::size_t ged_decode_raw(const ged_text &t, std::string_view raw, char *out);

// Appends at most n raw bytes of the file from offset `at` to buf; the bytes read, 0 at the
// end, -1 on a read error.
long ged_read_at(const ged_text &t, std::uint64_t at, std::size_t n, std::string &buf);
