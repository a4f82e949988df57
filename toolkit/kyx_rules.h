// What the dialogs read and decide without a display: drawing files, the keypad's keys and
// numbers in text. No X header comes in here, so this unit builds and runs on its own.
#ifndef KYX_RULES_H
#define KYX_RULES_H

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

namespace kyx {

// The leading decimal number of text: an optional sign and the digits after it, saturated to
// the range of int, 0 when there is no digit. used, when given, receives how many characters
// the number took, sign included; 0 when there was no digit.
int leading_number(std::string_view text, std::size_t *used = nullptr);

// Drawing files of the picture box.
inline constexpr int drawing_capacity = 500;
inline constexpr std::size_t drawing_word_size = 36;  // 35 characters and the terminator
inline constexpr std::size_t colour_word_size = 10;   // 9 hex digits and the terminator
inline constexpr int picture_default_size = 20;

struct drawing_element {
	int type;
	unsigned long colour;
	int x1, y1, x2, y2;
};

struct drawing {
	unsigned long background;
	int count;  // elements actually read
	int width, height;
	std::array<drawing_element, drawing_capacity> element;
};

// True when the stream starts with a "qdr" word; d then holds what could be read of the drawing.
bool read_drawing(std::FILE *f, drawing& d, unsigned long default_background);

// The picture keypad.
inline constexpr int keypad_return = 36;
inline constexpr int keypad_step = 10;
inline constexpr int keypad_full = 100;
inline constexpr int keypad_low_baseline = 120;
inline constexpr std::size_t keypad_text_size = 16;

struct keypad_key {
	int keycode;
	unsigned types;     // bit t set: listed for type t
	const char *drawn;  // one character every 10 pixels
	bool low_row;       // drawn on the fixed baseline, not at y
	const char *appended;
	bool fills;         // the next key press finishes
};

const keypad_key *keypad_lookup(int type, int keycode);
// Pixels of echo a type takes before the next key finishes: 10 per character.
int keypad_capacity(int type);

} // namespace kyx

#endif
