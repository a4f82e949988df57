// tag_table: what a program knows of a few tags, found by one multiply instead of a chain of
// compares, which would guess wrong at nearly every line: the tags of a file follow no pattern.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// A tag of up to four letters as one word, its first letter lowest; 0 for a longer one.
constexpr std::uint32_t tag_word(std::string_view tag)
{
	if (tag.size() > 4)
		return 0;
	std::uint32_t w = 0;
	for (std::size_t i = 0; i < tag.size(); ++i)
		w |= static_cast<std::uint32_t>(static_cast<unsigned char>(tag[i])) << (8 * i);
	return w;
}

// The word of a tag followed in its line by `after` bytes: read in one load where the line
// has four bytes from the tag's start.
inline std::uint32_t tag_word(std::string_view tag, std::size_t after)
{
	if (tag.size() > 4)
		return 0;
	if (tag.size() + after < 4)
		return tag_word(tag);
	std::uint32_t w;
	std::memcpy(&w, tag.data(), sizeof w);
	return tag.size() == 4 ? w : w & ((std::uint32_t{1} << (8 * tag.size())) - 1);
}

template <typename T>
struct tag_entry {
	std::uint32_t word;
	T value;
};

// Values by word in 2^bits slots: the top bits of word * multiplier. Built from its entries
// at compile time; `distinct` tells whether each entry got a slot of its own, which the table's
// definition asserts, so a multiplier that makes two words meet does not build. A word of no
// entry finds `none`.
template <typename T, std::uint32_t multiplier, unsigned bits>
struct tag_table {
	static_assert(bits > 0 && bits < 32);
	std::array<tag_entry<T>, std::size_t{1} << bits> slots{};
	T none;
	bool distinct = true;

	static constexpr std::size_t place(std::uint32_t word)
	{
		return static_cast<std::uint32_t>(word * multiplier) >> (32 - bits);
	}

	template <std::size_t N>
	consteval tag_table(const tag_entry<T> (&entries)[N], T unknown) : none(unknown)
	{
		for (tag_entry<T> &s : slots)
			s = {0, unknown};
		for (const tag_entry<T> &e : entries) {
			tag_entry<T> &s = slots[place(e.word)];
			distinct = distinct && e.word != 0 && s.word == 0;
			s = e;
		}
	}

	constexpr const T &find(std::uint32_t word) const
	{
		const tag_entry<T> &s = slots[place(word)];
		return s.word == word ? s.value : none;
	}
};
