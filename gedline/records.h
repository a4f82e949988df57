// Records by cross-reference: one hash of the cross-reference, one home slot, one probe. Each
// program keeps its own data in the slots (a record number, an offset, what it decided) and
// says which slot is filled and which holds the record it asks for.
#pragma once

#include "grow_list.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline constexpr std::uint64_t repeat_bytes = 0x0101010101010101ULL;

// The eight bytes of a word with small ASCII letters made capitals; other bytes, those of
// UTF-8 sequences among them, are kept.
constexpr std::uint64_t fold_ascii(std::uint64_t word)
{
	constexpr std::uint64_t high = 0x80 * repeat_bytes;
	std::uint64_t low7 = word & ~high;
	std::uint64_t from_a = low7 + (0x80 - 'a') * repeat_bytes;
	std::uint64_t past_z = low7 + (0x80 - 'z' - 1) * repeat_bytes;
	std::uint64_t lower = from_a & ~past_z & ~word & high;
	return word ^ (lower >> 2);
}

constexpr std::uint64_t mix_bits(std::uint64_t x)
{
	x ^= x >> 33;
	x *= 0xff51afd7ed558ccdULL;
	x ^= x >> 33;
	x *= 0xc4ceb9fe1a85ec53ULL;
	x ^= x >> 33;
	return x;
}

// The last 1 to 7 bytes as one word, in loads of fixed size that may overlap: a copy of a
// length known only at run time would be a call, costlier than the hash. With the length
// mixed in, the word still tells any two tails of one length apart.
inline std::uint64_t tail_word(const char *p, std::size_t n)
{
	if (n >= 4) {
		std::uint32_t lo;
		std::uint32_t hi;
		std::memcpy(&lo, p, 4);
		std::memcpy(&hi, p + n - 4, 4);
		return lo | std::uint64_t{hi} << 32;
	}
	if (n == 0)
		return 0;
	auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
	return byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
}

// The hash of a cross-reference as written; with fold_case, one that ignores ASCII case.
// Inline: the programs hash a key for every link of a file.
inline std::uint64_t xref_hash(std::string_view xref, bool fold_case)
{
	std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ xref.size();
	std::size_t i = 0;
	for (; i + 8 <= xref.size(); i += 8) {
		std::uint64_t w;
		std::memcpy(&w, xref.data() + i, 8);
		h = mix_bits(h ^ (fold_case ? fold_ascii(w) : w));
	}
	std::uint64_t w = tail_word(xref.data() + i, xref.size() - i);
	return mix_bits(h ^ (fold_case ? fold_ascii(w) : w));
}

template <typename Slot>
struct record_table {
	grow_list<Slot> slots; // a power of two of them, every byte zero in an empty one
	unsigned shift = 64;   // 64 less the power
	std::size_t used = 0;
};

// An empty table of 2^log2 slots; false when the system has no more memory.
template <typename Slot>
bool make_table(record_table<Slot> &table, unsigned log2)
{
	release(table.slots);
	if (!grow_zeroed(table.slots, std::size_t{1} << log2))
		return false;
	table.shift = 64 - log2;
	table.used = 0;
	return true;
}

// The product with 2^64 over the golden ratio carries every bit of the hash into its top
// bits, which choose the slot; the low bits of a hash may then hold anything.
template <typename Slot>
std::size_t home_of(const record_table<Slot> &table, std::uint64_t hash)
{
	return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> table.shift);
}

template <typename Slot>
void fetch_home(const record_table<Slot> &table, std::uint64_t hash)
{
	__builtin_prefetch(&table.slots.items[home_of(table, hash)]);
}

// A table of any number of buckets of `lanes` slots, for one sized to its records, which a
// power of two would make up to twice as large. Most files number their records in turn,
// and the records of a family, or the families of one generation, are then numbers close
// together: keys that differ only in their last digit have their homes side by side in one
// bucket, so that a family's links touch a line or two of the table instead of one apiece
// all over it (with more than a million people, a table is far beyond the caches). The
// bucket and the lanes' turn come from the hash of the key without its last digit, so that
// however a file's last digits fall, every lane is as full as the others.
inline constexpr std::size_t lanes = 10;

struct lane_home {
	std::uint64_t bucket_hash;
	std::uint32_t lane;
};

// The home of a key whose text ends in the byte `last`: when that is a digit, `before_last`
// (the text before it, as a word or a hash) chooses the bucket, else `whole` (the key's).
inline lane_home home_by_last_digit(std::uint64_t before_last, std::uint64_t whole, unsigned last)
{
	bool digit = last >= '0' && last <= '9';
	std::uint64_t h = mix_bits(digit ? before_last : whole);
	auto turn = static_cast<std::uint32_t>(((h & 0xFFFFFFFF) * lanes) >> 32);
	return {h, static_cast<std::uint32_t>((turn + (digit ? last - '0' : 0)) % lanes)};
}

// The slots of such a table: a whole number of buckets, at least `want` slots.
inline std::size_t lane_slots(std::size_t want)
{
	return (want + lanes - 1) / lanes * lanes;
}

template <typename Slot>
std::size_t home_in(const grow_list<Slot> &slots, const lane_home &home)
{
	std::size_t buckets = slots.size / lanes;
	return static_cast<std::size_t>(((home.bucket_hash >> 32) * buckets) >> 32) * lanes + home.lane;
}

// As probe, in a table of buckets: a lane is searched from bucket to bucket, and past the
// last bucket in the next lane, so that a search passes every slot before it comes back.
template <typename Slot, typename Filled, typename Is>
Slot &probe_in(grow_list<Slot> &slots, const lane_home &home, Filled filled, Is is_it)
{
	for (std::size_t i = home_in(slots, home);; i += lanes) {
		if (i >= slots.size)
			i = (i - slots.size + 1) % lanes;
		Slot &s = slots.items[i];
		if (!filled(s) || is_it(s))
			return s;
	}
}

// The slot where filled(slot) is false or is_it(slot) true, from the home of `hash` on: the
// record's own, or the empty one where it belongs.
template <typename Table, typename Filled, typename Is>
auto &probe(Table &table, std::uint64_t hash, Filled filled, Is is_it)
{
	std::size_t mask = table.slots.size - 1;
	for (std::size_t i = home_of(table, hash);; i = (i + 1) & mask) {
		auto &s = table.slots[i];
		if (!filled(s) || is_it(s))
			return s;
	}
}
