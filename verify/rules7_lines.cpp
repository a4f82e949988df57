// The 7.0 line form: tags, cross-references, banned characters, and finding a standard tag.
#include "rules7_internal.h"
#include "rules7_tables.h"

#include "records.h"

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

// The generator chose the multiplier that gives each standard tag's key a slot of its own. The
// key holds every byte of a tag of up to 8, so a key and a length that match are the tag.
int find_tag7(std::string_view tag)
{
	if (tag.size() > 8)
		return -1;
	std::uint64_t key = tail_word(tag.data(), tag.size());
	int slot = tag_slots7[(key * tag_hash_multiplier7) >> (64 - tag_hash_bits7)];
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

// True when the bytes hold one below space or one from DEL up: only those can be banned.
template <typename word>
static bool has_unusual_byte(word w)
{
	constexpr word ones = static_cast<word>(0x0101010101010101u);
	constexpr word highs = static_cast<word>(0x8080808080808080u);
	return ((((w - ones * 0x20) & ~w) | w | (w + ones)) & highs) != 0;
}

template <typename word>
static word load(const char *p)
{
	word w;
	std::memcpy(&w, p, sizeof w);
	return w;
}

// Where the first byte that needs a closer look may stand: none in the text when it is s.size().
// Values are mostly printable ASCII, read 8 bytes at a time, and the last part of a value at
// once through loads that overlap what was read already; one of fewer than 4 bytes is its
// first, middle and last byte among spaces, tested at once like the others.
static std::size_t first_unusual(std::string_view s)
{
	const char *p = s.data();
	std::size_t n = s.size();
	if (n == 0)
		return 0;
	if (n < 4)
		return has_unusual_byte(tail_word(p, n) | 0x2020202020000000u) ? 0 : n;
	// Up to 16 bytes, most values, in two loads and no loop, whose end the processor would guess
	// wrong as often as the values' lengths change.
	if (n < 8)
		return has_unusual_byte(load<std::uint32_t>(p)) | has_unusual_byte(load<std::uint32_t>(p + n - 4)) ? 0 : n;
	if (n <= 16)
		return has_unusual_byte(load<std::uint64_t>(p)) | has_unusual_byte(load<std::uint64_t>(p + n - 8)) ? 0 : n;
	std::size_t i = 0;
	while (i + 8 <= n && !has_unusual_byte(load<std::uint64_t>(p + i)))
		i += 8;
	return i + 8 > n && !has_unusual_byte(load<std::uint64_t>(p + n - 8)) ? n : i;
}

// The first banned character of the text, no_banned7 when there is none.
std::uint32_t banned_character(std::string_view text)
{
	for (std::size_t i = first_unusual(text); i < text.size(); ++i) {
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
