// The dialogs' rules that need no display: drawing files, the keypad's keys, numbers in text.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "kyx_rules.h"

using namespace kyx;

namespace {

TEST(NumberText, LeadingNumberSaturatesAndTellsWhatItTook)
{
	struct number_case {
		const char *text;
		int value;
		std::size_t used;
	};
	const number_case cases[] = {
		{"-38", -38, 3}, {"12.5", 12, 2}, {"7-1", 7, 1}, {"+7", 7, 2}, {"", 0, 0}, {"-", 0, 0},
		{"+", 0, 0}, {"x1", 0, 0}, {"99999999999", INT_MAX, 11}, {"-99999999999", INT_MIN, 12},
	};
	for (const number_case& c : cases) {
		SCOPED_TRACE(c.text);
		std::size_t used = 99;
		EXPECT_EQ(leading_number(c.text, &used), c.value);
		EXPECT_EQ(used, c.used);
	}
}

// Drawing files.

struct drawing_read {
	bool is_drawing;
	drawing d;
};

drawing_read read_text(const std::string &text)
{
	drawing_read r{};
	std::FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
	r.is_drawing = read_drawing(f, r.d, 0xCCCCCC);
	std::fclose(f);
	return r;
}

TEST(DrawingFile, ReadsHeaderHeightBeforeWidthAndElements)
{
	drawing_read r = read_text("qdr ff0000 1 100 200\n2 ffffff 10 10 50 20\n");
	ASSERT_TRUE(r.is_drawing);
	EXPECT_EQ(r.d.background, 0xff0000UL);
	EXPECT_EQ(r.d.width, 200);
	EXPECT_EQ(r.d.height, 100);
	ASSERT_EQ(r.d.count, 1);
	const drawing_element &el = r.d.element[0];
	EXPECT_EQ(el.type, 2);
	EXPECT_EQ(el.colour, 0xffffffUL);
	EXPECT_EQ(el.x1, 10);
	EXPECT_EQ(el.y1, 10);
	EXPECT_EQ(el.x2, 50);
	EXPECT_EQ(el.y2, 20);
}

TEST(DrawingFile, FirstWordDecidesDrawingOrPicture)
{
	EXPECT_TRUE(read_text("qdrx 0x00ff00 0 30 40").is_drawing);
	EXPECT_EQ(read_text("qdrx 0x00ff00 0 30 40").d.background, 0x00ff00UL);
	EXPECT_FALSE(read_text("/* XPM */\nstatic char *x[] = {").is_drawing);
	EXPECT_FALSE(read_text("qd 0 0 1 1").is_drawing);
	EXPECT_FALSE(read_text("").is_drawing);
}

TEST(DrawingFile, LongWordsAreCutAndTheirRestSkipped)
{
	drawing_read r = read_text("qdr" + std::string(60, 'z') + " ff00000000000 1 100 200\n"
				   "1 123456789abc 1 2 3 4\n");
	ASSERT_TRUE(r.is_drawing);
	EXPECT_EQ(r.d.background, 0xF0000000UL);
	EXPECT_EQ(r.d.height, 100);
	EXPECT_EQ(r.d.width, 200);
	ASSERT_EQ(r.d.count, 1);
	EXPECT_EQ(r.d.element[0].colour, 0x23456789UL);
	EXPECT_EQ(r.d.element[0].y2, 4);
}

TEST(DrawingFile, StopsAtEndOrNonNumberAndKeepsWhatWasRead)
{
	EXPECT_EQ(read_text("qdr 0 3 50 50 1 0 1 1 2 2 2 0 3 3").d.count, 1);
	EXPECT_EQ(read_text("qdr 0 3 50 50 1 0 1 1 2 2 2 0 3 3 x 4 1 0 1 1 2 2").d.count, 1);
	EXPECT_EQ(read_text("qdr 0 3 50 50 1 0 1 1 2 2 2 0 3 3 4 4 1 0 1 1 2 2").d.count, 3);
	EXPECT_EQ(read_text("qdr 0 2 50 50 1 0 1 1 2 2 1.5 0 3 3 4 4").d.count, 1);
	using namespace std::string_literals;
	EXPECT_EQ(read_text("qdr 0 2 50 50 1 0 1 1 2 2 \0\0 0 3 3 4 4"s).d.count, 1);
	EXPECT_EQ(read_text("qdr 0 \0 50 50"s).d.width, 20);
	drawing_read cut = read_text("qdr 0 5 40");
	EXPECT_EQ(cut.d.height, 40);
	EXPECT_EQ(cut.d.width, 20);
	EXPECT_EQ(cut.d.count, 0);
}

TEST(DrawingFile, AtMostFiveHundredElements)
{
	std::string text = "qdr 0 600 50 50\n";
	for (int i = 0; i < 600; ++i)
		text += "1 ff 0 0 " + std::to_string(i) + " 1\n";
	drawing_read r = read_text(text);
	EXPECT_EQ(r.d.count, 500);
	EXPECT_EQ(r.d.element[499].x2, 499);
}

TEST(DrawingFile, SidesOfZeroOrLessCountAsTwenty)
{
	drawing_read r = read_text("qdr 0 0 0 -7");
	EXPECT_EQ(r.d.height, 20);
	EXPECT_EQ(r.d.width, 20);
	EXPECT_EQ(read_text("qdr 0 -3 10 10 1 0 1 1 2 2").d.count, 0);
}

// The keypad's keys.

TEST(KeypadKeys, EachTypeHasItsOwnTable)
{
	struct key_case {
		int type, keycode;
		const char *appended;   // null: not listed
		bool fills, low_row;
	};
	const key_case cases[] = {
		{1, 10, "1", false, false},   {1, 19, "0", false, false},   {1, 26, "-1", true, false},
		{1, 40, "-2", true, false},   {1, 60, nullptr, false, false}, {1, 38, nullptr, false, false},
		{2, 60, ".", false, false},   {2, 26, nullptr, false, false}, {2, 15, "6", false, false},
		{3, 38, "-38", false, false}, {3, 40, "-40", false, false},   {3, 26, "-26", false, true},
		{3, 44, "-44", false, true},  {3, 31, "-31", false, true},    {3, 60, nullptr, false, false},
		{3, 16, "7", false, false},   {0, 10, nullptr, false, false}, {4, 10, nullptr, false, false},
	};
	for (const key_case &c : cases) {
		SCOPED_TRACE(testing::Message() << "type " << c.type << " key " << c.keycode);
		const keypad_key *k = keypad_lookup(c.type, c.keycode);
		if (!c.appended) {
			EXPECT_EQ(k, nullptr);
			continue;
		}
		ASSERT_NE(k, nullptr);
		EXPECT_STREQ(k->appended, c.appended);
		EXPECT_EQ(k->fills, c.fills);
		EXPECT_EQ(k->low_row, c.low_row);
	}
	EXPECT_STREQ(keypad_lookup(1, 26)->drawn, "ETF");
	EXPECT_STREQ(keypad_lookup(1, 40)->drawn, "DEP");
}

} // namespace
