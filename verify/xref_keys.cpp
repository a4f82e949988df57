// The cross-references of -v as keys: the short ones in the key itself, the others in one text.
#include "findings.h"

#include <cstring>

grow_list<occurrence> occurrences;
grow_list<char> xref_text;
bool out_of_memory;

std::uint64_t xref_key(std::string_view xref)
{
	std::size_t n = xref.size();
	if (n <= short_key_max) {
		// In two loads that may overlap, not a copy of a length known only here: most lines
		// of a file with links name one.
		const char *p = xref.data();
		std::uint64_t key = 0;
		if (n >= 4) {
			std::uint32_t low;
			std::uint32_t high;
			std::memcpy(&low, p, sizeof low);
			std::memcpy(&high, p + n - 4, sizeof high);
			key = low | std::uint64_t{high} << (8 * (n - 4));
		} else if (n > 0) {
			auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i); };
			key = byte(0) | byte(n / 2) | byte(n - 1);
		}
		return key | std::uint64_t{n} << 56;
	}
	std::size_t at = xref_text.size;
	auto length = static_cast<std::uint32_t>(n);
	if (!grow_to(xref_text, at + sizeof length + n)) {
		out_of_memory = true;
		return 1;
	}
	std::memcpy(xref_text.items + at, &length, sizeof length);
	std::memcpy(xref_text.items + at + sizeof length, xref.data(), n);
	xref_text.size += sizeof length + n;
	return long_key | at;
}

std::string_view key_text(const std::uint64_t &key)
{
	if (key & long_key) {
		std::uint64_t at = key & line_mask;
		std::uint32_t n;
		std::memcpy(&n, xref_text.items + at, sizeof n);
		return {xref_text.items + at + sizeof n, n};
	}
	return {reinterpret_cast<const char *>(&key), static_cast<std::size_t>(key >> 56)};
}
