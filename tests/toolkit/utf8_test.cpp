// Characters of UTF-8 texts and the 10646 font's name, without a display.
#include <gtest/gtest.h>

#include <string>

#include "kyx_internal.h"
#include "kyx_utf8.h"

using namespace kyx;

TEST(Utf8Characters, ValidSequencesAreOneCharacterEachBadByteItsOwn)
{
	struct {
		const char *text;
		int count;
		char32_t first;
	} cases[] = {
		{"A", 1, U'A'},
		{"\xC3\xB6", 1, 0xF6},
		{"\xE2\x82\xAC", 1, 0x20AC},
		{"\xF0\x9F\x98\x80", 1, 0x1F600},
		{"\xF4\x8F\xBF\xBF", 1, 0x10FFFF},
		{"\xF6", 1, 0xF6},               // Latin-1
		{"\x80", 1, 0x80},               // a continuation byte alone
		{"\xC3", 1, 0xC3},               // cut short by the end
		{"\xE2\x82(", 3, 0xE2},          // cut short by an ASCII byte
		{"\xC0\xAF", 2, 0xC0},           // overlong forms
		{"\xE0\x80\xAF", 3, 0xE0},
		{"\xF0\x80\x80\xAF", 4, 0xF0},
		{"\xED\xA0\x80", 3, 0xED},       // a surrogate
		{"\xF4\x90\x80\x80", 4, 0xF4},   // beyond U+10FFFF
		{"\xF5\x80\x80\x80", 4, 0xF5},
	};
	for (auto c : cases) {
		SCOPED_TRACE(c.text);
		EXPECT_EQ(utf8_count(c.text), c.count);
		EXPECT_EQ(utf8_first(c.text).code, c.first);
		EXPECT_EQ(utf8_has_multibyte(c.text), c.count == 1 && std::string(c.text).size() > 1);
	}
}

TEST(Utf8Characters, CodesToDrawStayInSixteenBits)
{
	char16_t codes[8] = {};
	int n = utf8_to_ucs2("H\xC3\xB6\xF6\xF0\x9F\x98\x80!", codes, 4);
	ASSERT_EQ(n, 4);
	EXPECT_EQ(std::u16string(codes, 4), u"H\u00F6\u00F6\uFFFD");
}

TEST(Utf8Cutting, NeverSplitsACharacter)
{
	std::string_view s = "a\xC3\xB6" "b\xE2\x82\xAC";
	const std::size_t prefix[] = {0, 1, 1, 3, 4, 4, 4, 7, 7};
	for (std::size_t max = 0; max < std::size(prefix); ++max) {
		SCOPED_TRACE(max);
		EXPECT_EQ(utf8_cut(s, max), prefix[max]);
	}
	EXPECT_EQ(utf8_last_start(s), 4u);
	EXPECT_EQ(utf8_last_start("a\xE2\x82"), 2u);
	EXPECT_EQ(utf8_last_start(""), 0u);

	std::array<char, 5> buffer;
	copy_text(buffer, "a\xC3\xB6\xC3\xB6");
	EXPECT_STREQ(buffer.data(), "a\xC3\xB6");
}

TEST(FontNames, TheSiblingDiffersOnlyInItsCharacterSet)
{
	char out[80];
	ASSERT_TRUE(xlfd_with_charset("-Misc-Fixed-Medium-R-SemiCondensed--13-120-75-75-C-60-ISO8859-1",
		"ISO10646-1", out, sizeof out));
	EXPECT_STREQ(out, "-Misc-Fixed-Medium-R-SemiCondensed--13-120-75-75-C-60-ISO10646-1");
	EXPECT_FALSE(xlfd_with_charset("fixed", "ISO10646-1", out, sizeof out));
	EXPECT_FALSE(xlfd_with_charset("-a-b-c", "ISO10646-1", out, sizeof out));
	EXPECT_FALSE(xlfd_with_charset("-Misc-Fixed-Medium-R-SemiCondensed--13-120-75-75-C-60-ISO8859-1",
		"ISO10646-1", out, 20));
}
