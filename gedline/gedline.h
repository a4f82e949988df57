// gedline: a GEDCOM file as lineagehtml and lineagecheck read it, in line pieces.
#pragma once

#include "gedtext.h"
#include "span.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

// fgets with 80 bytes: a longer line comes back in pieces, each classified and counted on its own.
inline constexpr std::size_t piece_max = 79;

// Whether `letters` stand at index `at` of the piece; a test of a character beyond its end
// fails, so a piece too short for a tag matches no rule.
inline bool has_at(std::string_view piece, std::size_t at, std::string_view letters)
{
	if (piece.size() < at + letters.size())
		return false;
	for (std::size_t i = 0; i < letters.size(); ++i)
		if (piece[at + i] != letters[i])
			return false;
	return true;
}

// Bytes read from the file at a time.
inline constexpr std::size_t read_block = std::size_t{1} << 17;

// Where the next piece starts, and the line ends of the span around it.
struct piece_cursor {
	std::size_t pos;     // first byte of the next piece
	std::size_t span;    // start of the span that `ends` describes
	std::uint64_t ends;  // the LF and CR bytes of that span at or after pos and before len
	std::uint64_t pairs; // where the pair starts in that span at or after pos; bit 0 also
			     // when it stands in the part of the next piece before the span
};

// Every piece is followed in the block by at least this many bytes that may be read, so that
// a reader of pieces can load whole words and mask what lies past the piece's end.
inline constexpr std::size_t piece_slack = mask_span;

// Pieces are cut from a block read in one go, so that a file is not read a character at a
// time; a piece never straddles two blocks. The block has room for one span beyond its
// end, whose bytes past those read are never taken for a line end, and one before its start,
// whose last byte stands for the line end before the first line.
// The bits of every span are found as the block is read, in one pass that also looks over
// the lines the text came with unlooked (gedtext), so that the text is not read twice.
struct piece_reader {
	ged_text *text;
	std::size_t window; // bytes of the block in use; smaller only in tests, to meet refills early
	std::size_t len;    // bytes read into the block
	std::size_t mapped; // the spans before this one have their bits in map
	bool at_end;        // nothing more will come from fp
	bool noting;        // the pair is looked for
	char_pair pair;
	piece_cursor at;
	std::array<span_bits, read_block / mask_span + 1> map;
	alignas(mask_span) std::array<char, mask_span + read_block + mask_span> store;

	char *block() { return store.data() + mask_span; }
	const char *block() const { return store.data() + mask_span; }
};

void reader_start(piece_reader &r, ged_text &text, std::size_t window, const char_pair *pair);

// Takes the next piece in every case: a refill, a piece cut at the limit, a CR at the end of
// the bytes read, the end of the file. False when nothing is left.
bool take_any(piece_reader &r, std::string_view &piece);

// Whether the pair stands in the piece, looked for plainly.
bool holds_pair(std::string_view piece, char_pair pair);

// The case of nearly every line: shorter than a piece, its end among the `len` bytes read
// into block `p`, found from the bits of the span in `map` without a search. False where the
// piece needs more care. With `noting`, `held` tells whether the pair stands in the piece.
template <bool noting>
inline bool take_short(const char *p, const span_bits *map, std::size_t len, piece_cursor &c,
		       std::string_view &piece, bool &held)
{
	if (c.ends == 0) {
		if (c.span + 2 * mask_span > len)
			return false;
		c.span += mask_span;
		span_bits bits = map[c.span / mask_span];
		// A pair left in the last span stands in the piece that runs on into this one.
		if constexpr (noting)
			c.pairs = bits.pairs | (c.pairs != 0);
		c.ends = bits.ends;
		// The LF of a CR LF that closed the last span went with its piece.
		if (c.pos > c.span) {
			c.ends &= ~std::uint64_t{0} << (c.pos - c.span);
			if constexpr (noting)
				c.pairs &= ~std::uint64_t{0} << (c.pos - c.span);
		}
		if (c.ends == 0)
			return false;
	}
	std::size_t end = c.span + static_cast<unsigned>(std::countr_zero(c.ends));
	std::size_t n = end + 1 - c.pos;
	if (n > piece_max || (p[end] != '\n' && end + 1 == len))
		return false;
	if constexpr (noting) {
		// The places through the line end are the piece's; a pair cannot start at the end.
		// Nearly every span holds no pair, and then there is nothing to take from it.
		held = false;
		if (c.pairs != 0) {
			std::uint64_t through = c.ends ^ (c.ends - 1);
			held = (c.pairs & through) != 0;
			c.pairs &= ~through;
		}
	}
	c.ends &= c.ends - 1;
	if (p[end] == '\r' && p[end + 1] == '\n' && n < piece_max) {
		++n;
		c.ends &= c.ends - 1;
	}
	piece = {p + c.pos, n};
	c.pos += n;
	return true;
}

// The loop of both forms of read_pieces: the short pieces from the bits of the spans, the
// others from take_any, until `handle` returns false or nothing is left.
template <bool noting, typename Handler>
void read_all(piece_reader &r, Handler &handle)
{
	const char_pair pair = r.pair;
	for (;;) {
		// The cursor stays in registers while the pieces come from the block.
		piece_cursor c = r.at;
		const std::size_t len = r.len;
		std::string_view piece;
		bool held = false;
		while (take_short<noting>(r.block(), r.map.data(), len, c, piece, held)) {
			bool more;
			if constexpr (noting)
				more = handle(piece, held);
			else
				more = handle(piece);
			if (!more) {
				r.at = c;
				return;
			}
		}
		r.at = c;
		std::string_view other;
		if (!take_any(r, other))
			return;
		bool more;
		if constexpr (noting)
			more = handle(other, holds_pair(other, pair));
		else
			more = handle(other);
		if (!more)
			return;
	}
}

// Reads the text from its start and hands each piece in turn to `handle`, until it returns
// false or the text ends. A piece is a view into the reader's block that holds until `handle`
// returns: at most 79 bytes, ending after a LF, or after a CR that no LF follows (GEDCOM
// allows CR alone as the line end), and never inside a character: a piece that a character
// would carry past 79 bytes ends before it. CR LF is one line end; a CR that the limit
// separates from its LF ends its piece as fgets would. A read error ends the text.
template <typename Handler>
void read_pieces(piece_reader &r, ged_text &text, Handler handle, std::size_t window = read_block)
{
	reader_start(r, text, window, nullptr);
	read_all<false>(r, handle);
}

// As read_pieces, and `handle` takes with each piece whether the pair stands in it.
template <typename Handler>
void read_pieces(piece_reader &r, ged_text &text, char_pair pair, Handler handle, std::size_t window = read_block)
{
	reader_start(r, text, window, &pair);
	read_all<true>(r, handle);
}
