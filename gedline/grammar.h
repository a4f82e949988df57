// grammar: a GEDCOM line cut into its level, cross-reference, tag and value, or why it does not parse.
#pragma once

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
// they can.
struct line_parts {
	int level = -1;           // -1 when the line does not begin with a number
	std::string_view xref;    // with its @ signs; empty when the line has none
	std::string_view tag;
	std::string_view value;   // as written after the blank that follows the tag
	line_fault fault = line_fault::none;
	std::string_view faulty;  // the word at the fault
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

// The line without the blanks at its ends.
std::string_view trim_blanks(std::string_view v);

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

// The line of nearly every file but for record lines: a level of one digit, a space, a tag,
// and a space before its value. False for any other, which cut_line takes.
inline bool quick_cut(std::string_view text, line_parts &g)
{
	const char *p = text.data();
	std::size_t n = text.size();
	if (n < 3 || static_cast<unsigned char>(p[0] - '0') > 9 || p[1] != ' ' ||
	    !tag_char(static_cast<unsigned char>(p[2])))
		return false;
	std::size_t end = n >= 10 ? capital_tag(p + 2) + 2 : 2;
	if (end == 2) {
		end = 3;
		while (end < n && tag_char(static_cast<unsigned char>(p[end])))
			++end;
		if (end < n && p[end] != ' ')
			return false;
	}
	g.level = p[0] - '0';
	g.xref = {};
	g.tag = {p + 2, end - 2};
	g.value = end < n ? std::string_view{p + end + 1, n - end - 1} : std::string_view{};
	g.fault = line_fault::none;
	g.odd_level = {};
	return true;
}

// Cuts any line (without its line end); blanks before the level are passed over.
line_parts cut_line(std::string_view line);

// The line cut, the quick way where it can be.
inline line_parts parse_line(std::string_view line)
{
	line_parts g;
	if (!quick_cut(line, g))
		g = cut_line(line);
	return g;
}

// The name of a cross-reference written with its @ signs, without them.
inline std::string_view xref_name(std::string_view xref)
{
	return xref.size() >= 2 ? xref.substr(1, xref.size() - 2) : std::string_view{};
}
