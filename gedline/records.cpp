// The hash of a cross-reference, eight bytes at a time.
#include "records.h"

#include <cstring>

namespace {

std::uint64_t mix(std::uint64_t x)
{
	x ^= x >> 33;
	x *= 0xff51afd7ed558ccdULL;
	x ^= x >> 33;
	x *= 0xc4ceb9fe1a85ec53ULL;
	x ^= x >> 33;
	return x;
}

} // namespace

std::uint64_t xref_hash(std::string_view xref, bool fold_case)
{
	std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ xref.size();
	std::size_t i = 0;
	for (; i + 8 <= xref.size(); i += 8) {
		std::uint64_t w;
		std::memcpy(&w, xref.data() + i, 8);
		h = mix(h ^ (fold_case ? fold_ascii(w) : w));
	}
	std::uint64_t w = 0;
	if (i < xref.size())
		std::memcpy(&w, xref.data() + i, xref.size() - i);
	return mix(h ^ (fold_case ? fold_ascii(w) : w));
}
