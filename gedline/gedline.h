// gedline: a GEDCOM file as lineagehtml and lineagecheck read it, in line pieces.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// fgets with 80 bytes: a longer line comes back in pieces, each classified and counted on its own.
inline constexpr std::size_t piece_max = 79;

// Bytes read from the file at a time.
inline constexpr std::size_t read_block = std::size_t{1} << 17;
// Line ends are looked for in spans of 64 bytes, one bit a byte.
inline constexpr std::size_t mask_span = 64;

// Where the next piece starts, and the line ends of the span around it.
struct piece_cursor {
	std::size_t pos;    // first byte of the next piece
	std::size_t span;   // start of the span that `ends` describes
	std::uint64_t ends; // the LF and CR bytes of that span at or after pos and before len
};

// Pieces are cut from a block read in one go, so that a file is not read a character at a
// time; a piece never straddles two blocks. The block has room for one span beyond its
// end, whose bytes past those read are never taken for a line end.
struct piece_reader {
	FILE *fp;
	std::size_t window; // bytes of the block in use; smaller only in tests, to meet refills early
	std::size_t len;    // bytes read into the block
	bool at_end;        // nothing more will come from fp
	piece_cursor at;
	alignas(mask_span) std::array<char, read_block + mask_span> block;
};

// Opens a GEDCOM file for reading, or returns null. A folder opens for reading but holds no
// lines, so it counts as no file.
FILE *open_gedcom(const char *path);

void reader_start(piece_reader &r, FILE *fp, std::size_t window);

// Takes the next piece in every case: a refill, a piece cut at the limit, a CR at the end of
// the bytes read, the end of the file. False when nothing is left.
bool take_any(piece_reader &r, std::string_view &piece);

// One bit for each LF or CR among the 64 bytes at p, which is aligned to a span.
inline std::uint64_t line_end_bits(const char *p)
{
#if defined(__SSE2__)
	const __m128i lf = _mm_set1_epi8('\n');
	const __m128i cr = _mm_set1_epi8('\r');
	std::uint64_t bits = 0;
	for (std::size_t k = 0; k < mask_span; k += 16) {
		__m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(p + k));
		__m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
		bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << k;
	}
	return bits;
#else
	std::uint64_t bits = 0;
	for (std::size_t k = 0; k < mask_span; ++k)
		if (p[k] == '\n' || p[k] == '\r')
			bits |= std::uint64_t{1} << k;
	return bits;
#endif
}

// The case of nearly every line: shorter than a piece, its end among the `len` bytes read
// into block `p`, found from the bits of the span without a search. False where the piece
// needs more care.
inline bool take_short(const char *p, std::size_t len, piece_cursor &c, std::string_view &piece)
{
	if (c.ends == 0) {
		if (c.span + 2 * mask_span > len)
			return false;
		c.span += mask_span;
		c.ends = line_end_bits(p + c.span);
		// The LF of a CR LF that closed the last span went with its piece.
		if (c.pos > c.span)
			c.ends &= ~std::uint64_t{0} << (c.pos - c.span);
		if (c.ends == 0)
			return false;
	}
	std::size_t end = c.span + static_cast<unsigned>(std::countr_zero(c.ends));
	std::size_t n = end + 1 - c.pos;
	if (n > piece_max || (p[end] != '\n' && end + 1 == len))
		return false;
	c.ends &= c.ends - 1;
	if (p[end] == '\r' && p[end + 1] == '\n' && n < piece_max) {
		++n;
		c.ends &= c.ends - 1;
	}
	piece = {p + c.pos, n};
	c.pos += n;
	return true;
}

// Reads fp from its start and hands each piece in turn to `handle`, until it returns false
// or the file ends. A piece is a view into the reader's block that holds until `handle`
// returns: at most 79 characters, ending after a LF, or after a CR that no LF follows
// (GEDCOM allows CR alone as the line end). CR LF is one line end; a CR that the limit
// separates from its LF ends its piece as fgets would. A read error ends the file.
template <typename Handler>
void read_pieces(piece_reader &r, FILE *fp, Handler handle, std::size_t window = read_block)
{
	reader_start(r, fp, window);
	for (;;) {
		// The cursor stays in registers while the pieces come from the block.
		piece_cursor c = r.at;
		const std::size_t len = r.len;
		std::string_view piece;
		while (take_short(r.block.data(), len, c, piece)) {
			if (!handle(piece)) {
				r.at = c;
				return;
			}
		}
		r.at = c;
		std::string_view other;
		if (!take_any(r, other) || !handle(other))
			return;
	}
}
