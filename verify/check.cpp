// The verifier's check: reads a GEDCOM file in line pieces and reports its head, trailer and counts.
#include "lineagecheck.h"

#include "gedline.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

char option;
long long number_of_names;
long long lines_of_data;

static piece_reader gedcom;

static constexpr std::string_view head_text = "0 HEAD";

// A test of a character beyond the end of the piece fails.
static bool has_at(std::string_view piece, std::size_t at, std::string_view letters)
{
	if (piece.size() < at + letters.size())
		return false;
	for (std::size_t i = 0; i < letters.size(); i++)
		if (piece[at + i] != letters[i])
			return false;
	return true;
}

#if defined(__SSE2__)
// The K characters at `first` in the low half, those at `second` in the high half.
template <std::size_t K>
static __m128i load_two(const char *first, const char *second)
{
	std::uint64_t a = 0;
	std::uint64_t b = 0;
	std::memcpy(&a, first, K);
	std::memcpy(&b, second, K);
	return _mm_set_epi64x(static_cast<long long>(b), static_cast<long long>(a));
}
#endif

// Out of line, so that the rare exact search does not crowd the read loop.
[[gnu::noinline]] static bool find_head(std::string_view piece)
{
	return piece.find(head_text) != std::string_view::npos;
}

// Most pieces hold no H at all, which a few loads of sixteen characters tell before the head
// text is sought. A piece shorter than sixteen is taken as its first and last eight (or
// four) characters, which overlap; nothing outside the piece is read.
static bool holds_head(std::string_view piece)
{
	std::size_t n = piece.size();
	if (n < head_text.size())
		return false;
#if defined(__SSE2__)
	const char *p = piece.data();
	const __m128i h = _mm_set1_epi8('H');
	__m128i hits;
	if (n >= 16) {
		hits = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 16)), h);
		for (std::size_t i = 0; i + 16 < n; i += 16)
			hits = _mm_or_si128(hits, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)), h));
	} else if (n >= 8) {
		hits = _mm_cmpeq_epi8(load_two<8>(p, p + n - 8), h);
	} else {
		hits = _mm_cmpeq_epi8(load_two<4>(p, p + n - 4), h);
	}
	if (_mm_movemask_epi8(hits) == 0)
		return false;
#endif
	return find_head(piece);
}

static void write_line(FILE *out, const char *label, std::string_view piece)
{
	std::fputs(label, out);
	std::fwrite(piece.data(), 1, piece.size(), out);
	std::fputc('\n', out);
}

// With -t, a header line is written whole, its own line end followed by one more.
static void write_header_line(std::string_view piece, FILE *out)
{
	if (has_at(piece, 0, "1")) {
		if (has_at(piece, 2, "SOUR"))
			write_line(out, "Source of GEDCOM is ", piece);
		else if (has_at(piece, 2, "DA"))
			write_line(out, "GEDCOM Date = ", piece);
		else if (has_at(piece, 2, "FI"))
			write_line(out, "GEDCOM FILE = ", piece);
	} else if (has_at(piece, 0, "2")) {
		if (has_at(piece, 2, "NA"))
			write_line(out, "GEDCOM Source Name = ", piece);
		else if (has_at(piece, 2, "TI"))
			write_line(out, "GEDCOM Time = ", piece);
	}
}

// The HEAD message, the name count, the -t lines and the line count of one piece. True when
// the piece is the trailer and reading must stop.
template <bool header_lines>
static bool handle_piece(std::string_view piece, FILE *out)
{
	if (holds_head(piece))
		std::fprintf(out, "Verified GEDCOM has HEAD tag at line %lld.\n\n", lines_of_data + 1);
	if (has_at(piece, 0, "1") && has_at(piece, 2, "NA"))
		number_of_names++;
	if constexpr (header_lines)
		write_header_line(piece, out);
	lines_of_data++;
	return has_at(piece, 0, "0") && has_at(piece, 2, "T");
}

// True when the trailer was read. Only -t writes header lines, so the other flags get a loop
// without the question.
template <bool header_lines>
[[gnu::flatten]] static bool check_pieces(FILE *fp, FILE *out)
{
	bool trailer = false;
	read_pieces(gedcom, fp, [out, &trailer](std::string_view piece) {
		trailer = handle_piece<header_lines>(piece, out);
		return !trailer;
	});
	return trailer;
}

void print_report(FILE *fp, FILE *out)
{
	number_of_names = 0;
	lines_of_data = 0;
	bool trailer = option == 't' ? check_pieces<true>(fp, out) : check_pieces<false>(fp, out);
	if (trailer)
		std::fputs("Verified GEDCOM has trailer tag.\n", out);
	else
		std::fputs("Lineagecheck: Sorry, no trailer tag found.\n", out);
	if (option == 's') {
		std::fprintf(out, " Number of Individuals in GED  = %lld\n", number_of_names);
		std::fprintf(out, " Lines of Data in GED = %lld\n", lines_of_data);
	}
}
