// The dialogs' rules that need no display: the drawing-file reader, the keypad's key table and
// the one reader of decimal numbers in text.
#include "kyx_rules.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kyx {

int leading_number(std::string_view text, std::size_t *used)
{
	std::size_t i = 0;
	bool negative = false;
	if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
		negative = text[0] == '-';
		i = 1;
	}
	std::size_t first_digit = i;
	long long v = 0;
	for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
		v = std::min(v * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
	if (used)
		*used = i > first_digit ? i : 0;
	v = negative ? -v : v;
	return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

namespace {

// A longer word is cut to fit and its rest skipped, so it never spills into the next field.
template <std::size_t N>
bool read_word(std::FILE *f, std::array<char, N>& to)
{
	int c;
	do
		c = std::getc(f);
	while (c != EOF && std::isspace(c));
	std::size_t n = 0;
	while (c != EOF && !std::isspace(c)) {
		if (n + 1 < N)
			to[n++] = static_cast<char>(c);
		c = std::getc(f);
	}
	to[n] = '\0';
	return n > 0;
}

// A whole signed decimal word, saturated to int; anything else is no number.
bool read_number(std::FILE *f, int& value)
{
	std::array<char, drawing_word_size> word;
	if (!read_word(f, word))
		return false;
	// A word of NUL bytes is empty as text, and no number.
	std::string_view w(word.data());
	std::size_t used = 0;
	int v = leading_number(w, &used);
	if (used == 0 || used != w.size())
		return false;
	value = v;
	return true;
}

// Base 16 up to the first non-digit, "0x" allowed; pixels are 32 bits on the wire.
bool read_colour(std::FILE *f, unsigned long& pixel)
{
	std::array<char, colour_word_size> word;
	if (!read_word(f, word))
		return false;
	pixel = std::strtoul(word.data(), nullptr, 16) & 0xFFFFFFFFUL;
	return true;
}

bool read_element(std::FILE *f, drawing_element& el)
{
	return read_number(f, el.type) && read_colour(f, el.colour) && read_number(f, el.x1)
		&& read_number(f, el.y1) && read_number(f, el.x2) && read_number(f, el.y2);
}

int window_side(int pixels)
{
	return pixels > 0 ? pixels : picture_default_size;
}

} // namespace

bool read_drawing(std::FILE *f, drawing& d, unsigned long default_background)
{
	d.background = default_background;
	d.count = 0;
	d.width = picture_default_size;
	d.height = picture_default_size;
	std::array<char, drawing_word_size> first;
	if (!read_word(f, first) || std::strncmp(first.data(), "qdr", 3) != 0)
		return false;
	int count = 0;
	if (!read_colour(f, d.background) || !read_number(f, count) || !read_number(f, d.height))
		return true;
	d.height = window_side(d.height);
	if (!read_number(f, d.width))
		return true;
	d.width = window_side(d.width);
	count = std::clamp(count, 0, drawing_capacity);
	for (int i = 0; i < count; ++i) {
		if (!read_element(f, d.element[static_cast<std::size_t>(i)]))
			break;
		d.count = i + 1;
	}
	return true;
}

namespace {

constexpr unsigned type1 = 1U << 1;
constexpr unsigned type2 = 1U << 2;
constexpr unsigned type3 = 1U << 3;
constexpr unsigned every_type = type1 | type2 | type3;

// Raw keycodes of the usual PC map; they are the same on the old and the evdev maps.
constexpr std::array<keypad_key, 23> keypad_keys{{
	{10, every_type, "1", false, "1", false},
	{11, every_type, "2", false, "2", false},
	{12, every_type, "3", false, "3", false},
	{13, every_type, "4", false, "4", false},
	{14, every_type, "5", false, "5", false},
	{15, every_type, "6", false, "6", false},
	{16, every_type, "7", false, "7", false},
	{17, every_type, "8", false, "8", false},
	{18, every_type, "9", false, "9", false},
	{19, every_type, "0", false, "0", false},
	{26, type1, "ETF", false, "-1", true},
	{40, type1, "DEP", false, "-2", true},
	{60, type2, ".", false, ".", false},
	{38, type3, "a", false, "-38", false},
	{56, type3, "b", false, "-56", false},
	{54, type3, "c", false, "-54", false},
	{40, type3, "d", false, "-40", false},
	{26, type3, "e", true, "-26", false},
	{41, type3, "f", true, "-41", false},
	{42, type3, "g", true, "-42", false},
	{43, type3, "h", true, "-43", false},
	{31, type3, "i", true, "-31", false},
	{44, type3, "j", true, "-44", false},
}};

} // namespace

const keypad_key *keypad_lookup(int type, int keycode)
{
	if (type < 1 || type > 3)
		return nullptr;
	for (const keypad_key& k : keypad_keys)
		if (k.keycode == keycode && (k.types & (1U << type)) != 0)
			return &k;
	return nullptr;
}

int keypad_capacity(int type)
{
	switch (type) {
	case 1:
		return 60;
	case 2:
		return 90;
	case 3:
		return 10;
	default:
		return 0;
	}
}

} // namespace kyx
