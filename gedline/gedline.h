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

// Pieces are cut from a block read in one go, so that a file is not read a character at a
// time; a piece never straddles two blocks. The block has room for one span beyond its
// end, whose bytes past those read are never taken for a line end.
struct piece_reader {
	FILE *fp;
	std::size_t window; // bytes of the block in use; smaller only in tests, to meet refills early
	std::size_t pos;    // first byte of the next piece
	std::size_t len;    // bytes read into the block
	bool at_end;        // nothing more will come from fp
	std::size_t span;   // start of the span that `ends` describes
	std::uint64_t ends; // the LF and CR bytes of that span at or after pos and before len
	alignas(mask_span) std::array<char, read_block + mask_span> block;
};

// Opens a GEDCOM file for reading, or returns null. A folder opens for reading but holds no
// lines, so it counts as no file.
FILE *open_gedcom(const char *path);

void reader_start(piece_reader &r, FILE *fp, std::size_t window = read_block);

// Every case of next_piece that its inline part leaves: a refill, a piece cut at the limit,
// a CR at the end of the bytes read, the end of the file.
bool next_piece_slow(piece_reader &r, std::string_view &piece);

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

// The next piece, a view into the reader's block that holds until the next call: at most 79
// characters, ending after a LF, or after a CR that no LF follows (GEDCOM allows CR alone as
// the line end). CR LF is one line end; a CR that the limit separates from its LF ends its
// piece as fgets would. False at the end of the file (or on a read error) with nothing left.
//
// Inline is the case of nearly every line: shorter than a piece, its end among the bytes
// read, found from the bits of the span without a search.
inline bool next_piece(piece_reader &r, std::string_view &piece)
{
	if (r.ends == 0 && r.span + 2 * mask_span <= r.len) {
		r.span += mask_span;
		r.ends = line_end_bits(r.block.data() + r.span);
		// The LF of a CR LF that closed the last span went with its piece.
		if (r.pos > r.span)
			r.ends &= ~std::uint64_t{0} << (r.pos - r.span);
	}
	if (r.ends != 0) {
		const char *p = r.block.data();
		std::size_t end = r.span + static_cast<std::size_t>(std::countr_zero(r.ends));
		std::size_t n = end + 1 - r.pos;
		if (n <= piece_max && (p[end] == '\n' || end + 1 < r.len)) {
			r.ends &= r.ends - 1;
			if (p[end] == '\r' && p[end + 1] == '\n' && n < piece_max) {
				++n;
				r.ends &= r.ends - 1;
			}
			piece = {p + r.pos, n};
			r.pos += n;
			return true;
		}
	}
	return next_piece_slow(r, piece);
}
