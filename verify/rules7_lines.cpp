// The 7.0 line form: tags, cross-references, banned characters, and finding a standard tag.
#include "rules7_internal.h"
#include "rules7_tables.h"

#include <cstring>

namespace rules7 {

static bool is_tag_char(unsigned char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

static bool all_tag_chars(std::string_view text)
{
	for (unsigned char c : text)
		if (!is_tag_char(c))
			return false;
	return true;
}

// The same hash the generator used to place the tags; the tag packed into 8 bytes is compared
// at once, since no standard tag is longer.
int find_tag7(std::string_view tag)
{
	if (tag.size() > 8)
		return -1;
	std::uint32_t h = tag_hash_seed7;
	std::uint64_t key = 0;
	for (std::size_t i = 0; i < tag.size(); ++i) {
		auto c = static_cast<unsigned char>(tag[i]);
		h = (h ^ c) * 0x01000193u;
		key |= static_cast<std::uint64_t>(c) << (8 * i);
	}
	int slot = tag_slots7[(h ^ (h >> 16)) & tag_hash_mask7];
	return slot >= 0 && tag_keys7[slot] == key && tags7[slot].size() == tag.size() ? slot : -1;
}

bool is_xref_form(std::string_view xref)
{
	return !xref.empty() && all_tag_chars(xref);
}

bool is_std_tag(std::string_view tag)
{
	return !tag.empty() && tag[0] >= 'A' && tag[0] <= 'Z' && all_tag_chars(tag);
}

bool is_ext_tag(std::string_view tag)
{
	return tag.size() > 1 && tag[0] == '_' && all_tag_chars(tag);
}

bool is_tag_form(std::string_view tag)
{
	return is_std_tag(tag) || is_ext_tag(tag);
}

bool is_pointer_form(std::string_view value)
{
	return value.size() > 2 && value.front() == '@' && value.back() == '@' &&
	       is_xref_form(value.substr(1, value.size() - 2));
}

// Bytes are already valid UTF-8, so the banned code points above ASCII are fixed byte pairs
// and triples: C1 is C2 80-9F, surrogates ED A0-BF, U+FFFE and U+FFFF are EF BF BE and BF.
static std::uint32_t banned_after(std::string_view text, std::size_t i)
{
	auto c = static_cast<unsigned char>(text[i]);
	auto next = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
	if (c == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F)
		return next(1);
	if (c == 0xED && next(1) >= 0xA0 && next(1) <= 0xBF)
		return 0xD000u | ((next(1) & 0x3Fu) << 6) | (next(2) & 0x3Fu);
	if (c == 0xEF && next(1) == 0xBF && (next(2) == 0xBE || next(2) == 0xBF))
		return 0xFFC0u | (next(2) & 0x3Fu);
	return 0;
}

// True when the 8 bytes hold one below space or one from DEL up: only those can be banned.
static bool has_unusual_byte(std::uint64_t w)
{
	constexpr std::uint64_t ones = 0x0101010101010101u;
	constexpr std::uint64_t highs = 0x8080808080808080u;
	return (((w - ones * 0x20) & ~w) | w | (w + ones)) & highs;
}

// The first banned character of the text, no_banned7 when there is none. Values are mostly
// printable ASCII, so they are read 8 bytes at a time until a byte needs a closer look.
std::uint32_t banned_character(std::string_view text)
{
	std::size_t i = 0;
	for (; i < text.size(); ++i) {
		if (i + 8 <= text.size() && i % 8 == 0) {
			std::uint64_t w;
			std::memcpy(&w, text.data() + i, 8);
			if (!has_unusual_byte(w)) {
				i += 7;
				continue;
			}
		}
		auto c = static_cast<unsigned char>(text[i]);
		if ((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r')
			continue;
		if (c < 0x80)
			return c;
		if (std::uint32_t b = banned_after(text, i))
			return b;
	}
	return no_banned7;
}

} // namespace rules7
