// grammar: a GEDCOM line cut into its level, cross-reference, tag and value, or why it does not parse.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Why a line does not parse, the first fault a reader meets in it.
enum class line_fault : std::uint8_t {
	none,
	empty,      // nothing but blanks
	no_level,   // no level number first, or one that a blank does not follow
	deep_level, // a level above 99
	bad_xref,   // an @ with no closing @, an empty @@, or a closing @ that a blank does not follow
	no_tag,     // no tag, or one of other bytes than letters, digits and _ or ended by other than a space
};

// A line in its parts. Where the line has a fault the parts are still filled as a forgiving
// reader takes them (a level of any length, a cross-reference to its next @ or blank, the next
// word as the tag), so that one cut serves the strict checks and the readers that take what
// they can. None has a default, so that the quick cut of a line writes each part only once.
struct line_parts {
	int level;                  // -1 when the line does not begin with a number
	line_fault fault;
	std::string_view xref;      // with its @ signs; empty when the line has none
	std::string_view tag;
	std::string_view value;     // as written after the blank that follows the tag
	std::string_view faulty;    // the word at the fault
	std::string_view odd_level; // the level's digits, when they have a leading zero or are more than two
};

inline bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

inline constexpr bool tag_char(unsigned char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether the word is one or more digits and nothing else.
inline bool all_digits(std::string_view word)
{
	if (word.empty())
		return false;
	for (char c : word)
		if (c < '0' || c > '9')
			return false;
	return true;
}

// The line without the blanks at its ends.
inline std::string_view trim_blanks(std::string_view v)
{
	while (!v.empty() && is_blank(v.front()))
		v.remove_prefix(1);
	while (!v.empty() && is_blank(v.back()))
		v.remove_suffix(1);
	return v;
}

// The length of the tag at p when it is of capital letters and followed by a space within the
// eight bytes there, which the caller has; 0 for any other.
inline std::size_t capital_tag(const char *p)
{
	constexpr std::uint64_t ones = 0x0101010101010101ULL;
	constexpr std::uint64_t high = 0x80 * ones;
	std::uint64_t w;
	std::memcpy(&w, p, sizeof w);
	std::uint64_t spaced = w ^ (0x20 * ones);
	std::uint64_t blanks = (spaced - ones) & ~spaced & high;
	if (blanks == 0)
		return 0;
	std::size_t n = static_cast<std::size_t>(std::countr_zero(blanks)) / 8;
	// The bytes before the blank, each A to Z: below Z + 1 and at least A, with no high bit.
	std::uint64_t before = n == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * n);
	std::uint64_t low7 = w & ~high;
	std::uint64_t from_a = low7 + (0x80 - 'A') * ones;
	std::uint64_t past_z = low7 + (0x80 - 'Z' - 1) * ones;
	std::uint64_t capitals = from_a & ~past_z & ~w & high;
	return n > 0 && (capitals | ~before | ~high) == ~std::uint64_t{0} ? n : 0;
}

// The end of the tag at `at` when it is followed by a space or the end of the line; 0 when
// there is none. Where eight bytes from the tag lie in the line, one load reads them.
inline std::size_t quick_tag_end(const char *p, std::size_t n, std::size_t at)
{
	std::size_t end = n >= at + 8 ? capital_tag(p + at) + at : at;
	if (end == at) {
		if (at >= n || !tag_char(static_cast<unsigned char>(p[at])))
			return 0;
		end = at + 1;
		while (end < n && tag_char(static_cast<unsigned char>(p[end])))
			++end;
		if (end < n && p[end] != ' ')
			return 0;
	}
	return end;
}

// The lines of nearly every file: a level of one digit, a space, a cross-reference and a space
// or none, a tag, and a space before its value. False for any other, which cut_line takes.
// A line it takes has no fault, so it leaves `faulty` and `odd_level` as they were.
inline bool quick_cut(std::string_view text, line_parts &g)
{
	const char *p = text.data();
	std::size_t n = text.size();
	if (n < 3 || static_cast<unsigned char>(p[0] - '0') > 9 || p[1] != ' ')
		return false;
	std::size_t at = 2;
	g.xref = {};
	if (p[2] == '@') {
		const void *close = n > 3 ? std::memchr(p + 3, '@', n - 3) : nullptr;
		if (!close || close == p + 3)
			return false;
		at = static_cast<std::size_t>(static_cast<const char *>(close) - p) + 1;
		if (at >= n || p[at] != ' ')
			return false;
		g.xref = {p + 2, at - 2};
		++at;
	}
	std::size_t end = quick_tag_end(p, n, at);
	if (end == 0)
		return false;
	g.level = p[0] - '0';
	g.tag = {p + at, end - at};
	g.value = end < n ? std::string_view{p + end + 1, n - end - 1} : std::string_view{};
	g.fault = line_fault::none;
	return true;
}

// Cuts any line (without its line end); blanks before the level are passed over.
line_parts cut_line(std::string_view line);

// The line cut, the quick way where it can be.
inline line_parts parse_line(std::string_view line)
{
	line_parts g{-1, line_fault::none, {}, {}, {}, {}, {}};
	if (!quick_cut(line, g))
		g = cut_line(line);
	return g;
}

// The name of a cross-reference written with its @ signs, without them.
inline std::string_view xref_name(std::string_view xref)
{
	return xref.size() >= 2 ? xref.substr(1, xref.size() - 2) : std::string_view{};
}

// Whether the text after a record line's cross-reference names an individual: the tag INDI
// after a blank, a word of its own (a blank, a line end or nothing after it).
inline bool indi_follows(std::string_view rest)
{
	return rest.size() >= 5 && rest.substr(0, 5) == " INDI" &&
	       (rest.size() == 5 || rest[5] == ' ' || rest[5] == '\r' || rest[5] == '\n');
}

// Whether the word is `upper` with its ASCII letters in either case: files write tags, keywords
// and months in small letters too, and every program reads them alike.
inline bool same_caseless(std::string_view word, std::string_view upper)
{
	auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
	return word.size() == upper.size() &&
	       std::equal(word.begin(), word.end(), upper.begin(), [&](char w, char u) { return up(w) == u; });
}
