// Characters of the toolkit's UTF-8 texts, with no display involved: where each one starts and
// ends, how many there are, and the code points to draw. A byte that is not part of valid UTF-8
// is a character of its own, whose code point is the byte's value (its Latin-1 reading).
#ifndef KYX_UTF8_H
#define KYX_UTF8_H

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace kyx {

inline constexpr std::size_t utf8_max_bytes = 4;

struct utf8_char {
	char32_t code;
	int size;  // bytes it takes: 1 for ASCII and for a byte that is not valid UTF-8
};

// The first character of s; size 0 only when s is empty.
utf8_char utf8_first(std::string_view s);

int utf8_count(std::string_view s);

// The longest prefix of at most max bytes that does not split a character.
std::size_t utf8_cut(std::string_view s, std::size_t max);

// Where the last character starts (0 for an empty text).
std::size_t utf8_last_start(std::string_view s);

// True when s holds a valid sequence of two or more bytes, so that it needs the 10646 font.
bool utf8_has_multibyte(std::string_view s);

// Code points of up to capacity characters, one per character; those beyond the 16-bit range
// of the core fonts become U+FFFD. Returns how many were written.
int utf8_to_ucs2(std::string_view s, char16_t *out, int capacity);

// The first character a key translated to, as UTF-8: a lone byte of 0x80 or more is a Latin-1
// character, which is what XLookupString gives in the C locale. Returns the bytes written.
int utf8_typed(std::string_view translation, char (&out)[utf8_max_bytes]);

// An XLFD font name with its last two fields (registry and encoding) replaced by charset.
// False when name is no XLFD name or the result does not fit.
bool xlfd_with_charset(const char *name, const char *charset, char *out, std::size_t size);

// Number of characters, and so of 6-pixel cells, in a text buffer.
template <std::size_t N>
int text_cells(const std::array<char, N>& t)
{
	return utf8_count(std::string_view{t.data(), strnlen(t.data(), N)});
}

} // namespace kyx

#endif
