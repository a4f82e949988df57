// Cross-references as keys of 64 bits, for tables that hold one for every line with a link:
// a name of up to seven bytes lies in the key itself, the top byte holding its length; a
// longer one stands in a list of texts, at the offset in the key's low bytes, the top byte
// long_key. Nearly every file's names are short, so nearly no key needs the list.
#pragma once

#include "grow_list.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline constexpr std::uint64_t long_key = std::uint64_t{0x80} << 56;
inline constexpr std::uint64_t key_offset_mask = (std::uint64_t{1} << 56) - 1;
inline constexpr std::size_t short_key_max = 7;
static_assert(std::endian::native == std::endian::little, "a short key's text is its low bytes");

// The key of a name (a cross-reference without its @ signs); a long one is appended to
// `longs`. False when memory ran out.
inline bool name_key(std::string_view name, grow_list<char> &longs, std::uint64_t &key)
{
	std::size_t n = name.size();
	if (n <= short_key_max) {
		// In two loads that may overlap, not a copy of a length known only here: most lines
		// of a file with links name one.
		const char *p = name.data();
		key = 0;
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
		key |= std::uint64_t{n} << 56;
		return true;
	}
	std::size_t at = longs.size;
	auto length = static_cast<std::uint32_t>(n);
	if (n > UINT32_MAX || !grow_to(longs, at + sizeof length + n))
		return false;
	std::memcpy(longs.items + at, &length, sizeof length);
	std::memcpy(longs.items + at + sizeof length, name.data(), n);
	longs.size += sizeof length + n;
	key = long_key | at;
	return true;
}

// The name of a key. A short key's text lies in the key itself, so the view holds while the
// key does.
inline std::string_view key_name(const std::uint64_t &key, const grow_list<char> &longs)
{
	if (key & long_key) {
		std::uint64_t at = key & key_offset_mask;
		std::uint32_t n;
		std::memcpy(&n, longs.items + at, sizeof n);
		return {longs.items + at + sizeof n, n};
	}
	return {reinterpret_cast<const char *>(&key), static_cast<std::size_t>(key >> 56)};
}
