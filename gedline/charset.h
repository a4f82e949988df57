// The character sets GEDCOM files are written in, and how their bytes become UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class ged_charset : unsigned char { utf8, utf16le, utf16be, ansel, cp1252 };

inline constexpr char32_t replacement_char = 0xFFFD;

// The UTF-8 byte-order mark, which the text keeps; readers of lines pass over the first
// utf8_mark_length(start) bytes of it.
inline constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";

inline std::size_t utf8_mark_length(std::string_view start)
{
	return start.starts_with(utf8_mark) ? utf8_mark.size() : 0;
}

// The windows-1252 character of a byte (every byte has one).
char32_t cp1252_char(unsigned char b);

// The character of an ANSEL byte of 0x80 or above that stands for itself, or 0 when it is a
// combining mark or has no meaning.
char32_t ansel_char(unsigned char b);

// The combining character of an ANSEL mark byte, or 0 when the byte is no mark.
char32_t ansel_mark(unsigned char b);

// Writes c as UTF-8 at out (room for 4 bytes); returns the bytes written.
std::size_t put_utf8(char32_t c, char *out);

// The length of the well-formed UTF-8 sequence at the start of s, or 0 when it is not one
// (cut short, a continuation byte first, overlong, a surrogate, beyond U+10FFFF).
std::size_t utf8_sequence(std::string_view s);

// The character set a file's first bytes name: a byte-order mark or the zero bytes of UTF-16,
// else the value of the header's first level-1 CHAR line. `named` is set when that value is
// ANSEL or one of the ANSI names: such a file is still read as UTF-8 while its first byte of
// 0x80 or above begins a well-formed UTF-8 sequence. `skip` is the UTF-16 mark's length.
struct charset_guess {
	ged_charset set;
	bool named;
	std::size_t skip;
};
charset_guess guess_charset(std::string_view start);

// Line by line, the white space GEDCOM readers ignore is dropped: blanks and tabs before the
// level, and a run of them after the level and after a cross-reference that follows it
// becomes one blank. The state carries a line that arrives in parts.
enum class prefix_state : unsigned char { line_start, level, level_gap, xref, xref_end, xref_gap, rest };

// The first byte of s, which starts at a line start, that tidying may change: a blank or tab
// at a line's start or after another blank, or any tab; with `bytes`, also a byte of 0x80 or
// above that begins no well-formed UTF-8 sequence (any such byte in a file still `named`).
// s.size() when there is none.
template <bool bytes>
std::size_t first_to_mend(std::string_view s, bool named = false);

// What tidying changed in a line's prefix, as flags: a checker of a version that allows none
// of it is told, since the text it reads no longer shows it.
enum prefix_mend : unsigned {
	mend_leading = 1,	      // blanks or tabs before the level
	mend_level_gap = 2,	      // more than one blank after the level
	mend_level_tab = 4,	      // a tab after the level
	mend_xref_gap = 8,	      // more than one blank after the cross-reference
	mend_xref_tab = 16,	      // a tab after the cross-reference
};

// Where a decoded text is reported to the caller: each replacement of a byte that is not
// valid in the file's character set, as an offset in the UTF-8 written; and, when `mended` is
// set, what tidying changed in a line, at an offset in the UTF-8 written that lies in that
// line (a line the reader hands on in parts may be told more than once).
struct invalid_sink {
	void (*note)(void *context, std::uint64_t at) = nullptr;
	void *context = nullptr;
	void (*mended)(void *context, std::uint64_t at, unsigned mends) = nullptr;
};

// Appends the UTF-8 text s to out, its line prefixes tidied; returns the bytes written,
// never more than s.size(). What it changes is told to the sink, with `base` the offset in
// the text of out.
std::size_t tidy_prefixes(prefix_state &state, std::string_view s, char *out,
	const invalid_sink *sink = nullptr, std::uint64_t base = 0);

// Whether tidy_prefixes would leave the start of a line, s, as it stands.
bool prefix_kept(std::string_view s);

// The state that decoding keeps from one part of a file to the next.
struct decode_state {
	ged_charset set = ged_charset::utf8;
	bool named = false;   // named ANSEL or ANSI; no byte of 0x80 or above met yet
	prefix_state prefix = prefix_state::line_start;
};

// Decides a file that names ANSEL or ANSI by its first byte of 0x80 or above, which begins
// `rest`: UTF-8 when it begins a well-formed sequence, else the named set.
void settle_named(decode_state &d, std::string_view rest);

// Room that decoding n bytes of any set may need: three bytes of UTF-8 a byte, at most.
inline constexpr std::size_t decoded_room(std::size_t n)
{
	return 3 * n + 8;
}

// Decodes raw, whole lines or a part of a line cut where no character and no ANSEL mark and
// its letter are split, into UTF-8 at out (room for decoded_room(raw.size()) bytes), tidied
// as tidy_prefixes does. Replacements and mends are told at `base` plus their offset in out.
std::size_t decode_part(decode_state &d, std::string_view raw, char *out, std::uint64_t base,
	const invalid_sink &sink);

// The most ANSEL marks that wait for their letter, or join the letter before them at a line's
// end; more begin a group of their own. A letter with this many on each side and its line's
// end is the longest run of bytes that no part may cut, so any part of at least that many
// bytes has a place to end.
inline constexpr std::size_t ansel_marks_max = 8;
inline constexpr std::size_t uncut_max = 2 * ansel_marks_max + 2;

// Where a part of at most `most` bytes of raw may end when it holds no line end: never inside
// a character, a UTF-16 pair, or between an ANSEL mark and its letter. At least one unit. With
// `most` of uncut_max or more, only a run of stray UTF-8 continuation bytes longer than `most`
// is cut where it must be, which changes no letter.
std::size_t safe_cut(const decode_state &d, std::string_view raw, std::size_t most);

// The offset after the first LF or CR of raw in the set (for UTF-16, after its unit); npos
// when raw holds none. The LF of a CR LF then begins the next part, which changes nothing.
std::size_t line_end_in(ged_charset set, std::string_view raw);

// The offset after the last LF or CR of raw in the set; npos when raw holds none.
std::size_t last_line_end_in(ged_charset set, std::string_view raw);
