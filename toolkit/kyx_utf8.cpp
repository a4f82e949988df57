// UTF-8 decoding, counting and cutting for the toolkit's texts; no X here.
#include "kyx_utf8.h"

#include <cstdio>

namespace kyx {

static constexpr char16_t replacement = 0xFFFD;

static int sequence_size(unsigned char lead)
{
	if (lead >= 0xC2 && lead <= 0xDF)
		return 2;
	if (lead >= 0xE0 && lead <= 0xEF)
		return 3;
	if (lead >= 0xF0 && lead <= 0xF4)
		return 4;
	return 0;
}

utf8_char utf8_first(std::string_view s)
{
	if (s.empty())
		return utf8_char{0, 0};
	auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
	unsigned char lead = byte(0);
	utf8_char alone{lead, 1};
	int size = sequence_size(lead);
	if (size == 0 || s.size() < static_cast<std::size_t>(size))
		return alone;
	// The second byte's narrower range after these leads rules out overlong forms,
	// surrogates and code points beyond U+10FFFF.
	unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
	unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
	if (byte(1) < low || byte(1) > high)
		return alone;
	char32_t code = lead & (0x7F >> size);
	for (int i = 1; i < size; ++i) {
		if ((byte(i) & 0xC0) != 0x80)
			return alone;
		code = code << 6 | (byte(i) & 0x3F);
	}
	return utf8_char{code, size};
}

int utf8_count(std::string_view s)
{
	int n = 0;
	for (; !s.empty(); ++n)
		s.remove_prefix(utf8_first(s).size);
	return n;
}

std::size_t utf8_cut(std::string_view s, std::size_t max)
{
	std::size_t at = 0;
	while (at < s.size()) {
		std::size_t next = at + utf8_first(s.substr(at)).size;
		if (next > max)
			break;
		at = next;
	}
	return at;
}

std::size_t utf8_last_start(std::string_view s)
{
	std::size_t at = 0;
	std::size_t last = 0;
	while (at < s.size()) {
		last = at;
		at += utf8_first(s.substr(at)).size;
	}
	return last;
}

bool utf8_has_multibyte(std::string_view s)
{
	while (!s.empty()) {
		int size = utf8_first(s).size;
		if (size > 1)
			return true;
		s.remove_prefix(size);
	}
	return false;
}

int utf8_to_ucs2(std::string_view s, char16_t *out, int capacity)
{
	int n = 0;
	for (; n < capacity && !s.empty(); ++n) {
		utf8_char c = utf8_first(s);
		out[n] = c.code > 0xFFFF ? replacement : static_cast<char16_t>(c.code);
		s.remove_prefix(c.size);
	}
	return n;
}

static int encode(char32_t code, char (&out)[utf8_max_bytes])
{
	if (code < 0x80) {
		out[0] = static_cast<char>(code);
		return 1;
	}
	if (code < 0x800) {
		out[0] = static_cast<char>(0xC0 | code >> 6);
		out[1] = static_cast<char>(0x80 | (code & 0x3F));
		return 2;
	}
	if (code < 0x10000) {
		out[0] = static_cast<char>(0xE0 | code >> 12);
		out[1] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
		out[2] = static_cast<char>(0x80 | (code & 0x3F));
		return 3;
	}
	out[0] = static_cast<char>(0xF0 | code >> 18);
	out[1] = static_cast<char>(0x80 | (code >> 12 & 0x3F));
	out[2] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
	out[3] = static_cast<char>(0x80 | (code & 0x3F));
	return 4;
}

int utf8_typed(std::string_view translation, char (&out)[utf8_max_bytes])
{
	utf8_char c = utf8_first(translation);
	if (c.size == 0)
		return 0;
	return encode(c.code, out);
}

bool xlfd_with_charset(const char *name, const char *charset, char *out, std::size_t size)
{
	// An XLFD name has fourteen fields, each after a '-'; the registry is the thirteenth.
	constexpr int fields = 14;
	constexpr int registry = 13;
	if (!name || name[0] != '-')
		return false;
	std::size_t registry_at = 0;
	int dashes = 0;
	for (std::size_t i = 0; name[i]; ++i) {
		if (name[i] != '-')
			continue;
		if (++dashes == registry)
			registry_at = i + 1;
	}
	if (dashes != fields)
		return false;
	int n = std::snprintf(out, size, "%.*s%s", static_cast<int>(registry_at), name, charset);
	return n >= 0 && static_cast<std::size_t>(n) < size;
}

} // namespace kyx
