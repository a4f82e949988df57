// The character tables of GEDCOM's sets: windows-1252, ANSEL's letters and marks, and UTF-8.
#include "charset.h"

#include <array>

namespace {

// windows-1252 as the WHATWG index gives it: 0x80 to 0x9F; every other byte is its own code point.
constexpr std::array<char16_t, 32> cp1252_high{
	0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
	0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
	0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
	0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// ANSEL's spacing characters, 0xA0 to 0xDF, with GEDCOM's additions; 0 has no meaning.
constexpr std::array<char16_t, 64> ansel_spacing{
	0,      0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, // A0
	0x00B7, 0x266D, 0x00AE, 0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,      // A8
	0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE, 0x00E6, 0x0153, 0x02BA, // B0
	0x0131, 0x00A3, 0x00F0, 0,      0x01A1, 0x01B0, 0x25A1, 0x25A0, // B8
	0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, // C0
	0x20AC, 0,      0,      0,      0,      0x0065, 0x006F, 0x00DF, // C8
	0,      0,      0,      0,      0,      0,      0,      0,      // D0
	0,      0,      0,      0,      0,      0,      0,      0,      // D8
};

// ANSEL's combining marks, 0xE0 to 0xFF, written before the letter they mark.
constexpr std::array<char16_t, 32> ansel_marks{
	0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, // E0
	0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, // E8
	0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326, // F0
	0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313, 0,      // F8
};

} // namespace

char32_t cp1252_char(unsigned char b)
{
	return b >= 0x80 && b < 0xA0 ? cp1252_high[b - 0x80] : b;
}

char32_t ansel_char(unsigned char b)
{
	return b >= 0xA0 && b < 0xE0 ? ansel_spacing[b - 0xA0] : 0;
}

char32_t ansel_mark(unsigned char b)
{
	return b >= 0xE0 ? ansel_marks[b - 0xE0] : 0;
}

std::size_t put_utf8(char32_t c, char *out)
{
	if (c < 0x80) {
		out[0] = static_cast<char>(c);
		return 1;
	}
	if (c < 0x800) {
		out[0] = static_cast<char>(0xC0 | (c >> 6));
		out[1] = static_cast<char>(0x80 | (c & 0x3F));
		return 2;
	}
	if (c < 0x10000) {
		out[0] = static_cast<char>(0xE0 | (c >> 12));
		out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
		out[2] = static_cast<char>(0x80 | (c & 0x3F));
		return 3;
	}
	out[0] = static_cast<char>(0xF0 | (c >> 18));
	out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
	out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
	out[3] = static_cast<char>(0x80 | (c & 0x3F));
	return 4;
}

std::size_t utf8_sequence(std::string_view s)
{
	if (s.empty())
		return 0;
	auto at = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
	unsigned char b = at(0);
	if (b < 0x80)
		return 1;
	// The second byte's range depends on the first: this is what rules out overlong forms,
	// surrogates and code points beyond U+10FFFF.
	std::size_t n;
	unsigned char lo = 0x80, hi = 0xBF;
	if (b >= 0xC2 && b <= 0xDF)
		n = 2;
	else if (b >= 0xE0 && b <= 0xEF) {
		n = 3;
		if (b == 0xE0)
			lo = 0xA0;
		if (b == 0xED)
			hi = 0x9F;
	} else if (b >= 0xF0 && b <= 0xF4) {
		n = 4;
		if (b == 0xF0)
			lo = 0x90;
		if (b == 0xF4)
			hi = 0x8F;
	} else
		return 0;
	if (s.size() < n || at(1) < lo || at(1) > hi)
		return 0;
	for (std::size_t i = 2; i < n; i++)
		if (at(i) < 0x80 || at(i) > 0xBF)
			return 0;
	return n;
}
