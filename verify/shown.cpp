// A file's text as a terminal may show it: control bytes and bytes that are no UTF-8 written
// as \xHH, so that a finding can neither move the cursor, ring the bell nor hide a NUL.
#include "findings.h"

namespace {

// The length of the UTF-8 character at `at`, or 0 when the bytes there are not one (an
// overlong form, a surrogate or a code point past U+10FFFF included).
std::size_t character_length(std::string_view s, std::size_t at)
{
	auto b = [&](std::size_t i) { return at + i < s.size() ? static_cast<unsigned char>(s[at + i]) : 0u; };
	auto follow = [&](std::size_t i) { return (b(i) & 0xC0) == 0x80; };
	unsigned c = b(0);
	if (c >= 0xC2 && c <= 0xDF)
		return follow(1) ? 2 : 0;
	if (c >= 0xE0 && c <= 0xEF) {
		bool second = (c == 0xE0 && b(1) >= 0xA0) || (c == 0xED && b(1) < 0xA0) || (c != 0xE0 && c != 0xED);
		return second && follow(1) && follow(2) ? 3 : 0;
	}
	if (c >= 0xF0 && c <= 0xF4) {
		bool second = (c == 0xF0 && b(1) >= 0x90) || (c == 0xF4 && b(1) < 0x90) || (c != 0xF0 && c != 0xF4);
		return second && follow(1) && follow(2) && follow(3) ? 4 : 0;
	}
	return 0;
}

// How many bytes at `at` stand as they are; 0 when the byte there is to be escaped. A C1
// control (U+0080 to U+009F) is escaped byte by byte, as its two bytes.
std::size_t printable_run(std::string_view s, std::size_t at)
{
	auto c = static_cast<unsigned char>(s[at]);
	if (c < 0x80)
		return c >= 0x20 && c != 0x7F ? 1 : 0;
	std::size_t n = character_length(s, at);
	if (n == 2 && c == 0xC2 && static_cast<unsigned char>(s[at + 1]) < 0xA0)
		return 0;
	return n;
}

void escape_byte(unsigned char c, std::string &room)
{
	static constexpr char digits[] = "0123456789ABCDEF";
	room += "\\x";
	room += digits[c >> 4];
	room += digits[c & 15];
}

} // namespace

std::string_view shown(std::string_view text, std::string &room)
{
	std::size_t at = 0;
	while (at < text.size() && static_cast<unsigned char>(text[at]) >= 0x20 &&
	       static_cast<unsigned char>(text[at]) < 0x7F)
		++at;
	if (at == text.size())
		return text;
	room.assign(text.substr(0, at));
	while (at < text.size()) {
		std::size_t n = printable_run(text, at);
		if (n == 0) {
			escape_byte(static_cast<unsigned char>(text[at]), room);
			++at;
			continue;
		}
		room.append(text.substr(at, n));
		at += n;
	}
	return room;
}
