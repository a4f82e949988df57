// Fuzz target for the toolkit's UTF-8 reading of texts. Input: any bytes.
// Beyond the sanitizers it stops when the characters do not tile the text, when a character
// of several bytes is not the one shortest encoding of a Unicode scalar value, or when
// counting, cutting and BackSpace disagree with the characters found.
#include "fuzz_input.h"
#include "kyx_utf8.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

using namespace kyx;

static void check(bool ok)
{
	if (!ok)
		std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view text = input_bytes(data, size);
	std::vector<std::size_t> starts;
	bool multibyte = false;
	for (std::size_t at = 0; at < size;) {
		std::string_view rest = text.substr(at);
		utf8_char c = utf8_first(rest);
		check(c.size >= 1 && static_cast<std::size_t>(c.size) <= rest.size());
		if (c.size == 1) {
			check(c.code == static_cast<unsigned char>(rest[0]));
		} else {
			char again[utf8_max_bytes];
			check(c.code >= 0x80 && c.code <= 0x10FFFF && (c.code < 0xD800 || c.code > 0xDFFF));
			check(utf8_typed(rest, again) == c.size && std::memcmp(again, rest.data(), c.size) == 0);
			multibyte = true;
		}
		starts.push_back(at);
		at += static_cast<std::size_t>(c.size);
	}
	check(utf8_count(text) == static_cast<int>(starts.size()));
	check(utf8_has_multibyte(text) == multibyte);
	check(utf8_last_start(text) == (starts.empty() ? 0 : starts.back()));
	starts.push_back(size);
	// The cut keeps every character that fits and no part of the next. Each cut reads the text
	// from its start, so only some boundaries are tried.
	std::size_t step = starts.size() / 64 + 1;
	for (std::size_t k = 0; k + 1 < starts.size(); k += step) {
		check(utf8_cut(text, starts[k + 1] - 1) == starts[k]);
		check(utf8_cut(text, starts[k + 1]) == starts[k + 1]);
	}
	std::vector<char16_t> codes(starts.size());
	check(utf8_to_ucs2(text, codes.data(), static_cast<int>(codes.size())) == utf8_count(text));
	return 0;
}
