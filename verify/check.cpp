// The verifier's check: reads a GEDCOM file in line pieces and reports its head, trailer and counts.
#include "lineagecheck.h"

#include "gedline.h"
#include "grammar.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

char option;
long long number_of_individuals;
long long lines_of_data;

static piece_reader gedcom;

static constexpr std::string_view head_text = "0 HEAD";

// The per-piece rules are counted without branches where they can be: line lengths and
// levels follow no pattern a processor could learn, and a mispredicted branch costs more
// than the few instructions of a word compare. Pieces lie in the reader's block, which
// may be read past their ends (piece_slack).

// The level and the first two letters of the tag, the level in the lowest byte; the
// characters past a piece shorter than four are read as zero.
static std::uint32_t first_four(std::string_view piece)
{
	static_assert(piece_slack >= sizeof(std::uint32_t));
	std::uint32_t w;
	std::memcpy(&w, piece.data(), sizeof w);
	return piece.size() >= 4 ? w : w & ((std::uint32_t{1} << (8 * piece.size())) - 1);
}

static constexpr std::uint32_t tag_word(char level, char a, char b)
{
	return static_cast<unsigned char>(level) | static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 16 |
	       static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 24;
}

static constexpr std::uint32_t level_and_two_letters = 0xFFFF00FF;
static constexpr std::uint32_t level_and_letter = 0x00FF00FF;

// The lines -t may write, by level and first two letters; write_header_line decides.
static bool may_be_header_line(std::uint32_t w)
{
	std::uint32_t t = w & level_and_two_letters;
	return (t == tag_word('1', 'S', 'O')) | (t == tag_word('1', 'D', 'A')) | (t == tag_word('1', 'F', 'I')) |
	       (t == tag_word('2', 'N', 'A')) | (t == tag_word('2', 'T', 'I'));
}

// The reader notes the pieces that hold these two characters of the head text, which nearly
// no other piece holds, in the same wide compares that find the line ends; only those
// pieces are searched.
static constexpr char_pair head_pair = {'H', 'E'};

// Out of line, so that the rare search does not crowd the read loop.
[[gnu::noinline]] static bool find_head(std::string_view piece)
{
	return piece.find(head_text) != std::string_view::npos;
}

// Whether a word of the piece ends at `at`: a blank, a line end or the end of the piece follows.
static bool word_ends(std::string_view piece, std::size_t at)
{
	return piece.size() == at || piece[at] == ' ' || piece[at] == '\r' || piece[at] == '\n';
}

// Whether the piece's tag, from index 2, is `tag` whole, so that DATA is no date and TITL no time.
static bool is_tag(std::string_view piece, std::string_view tag)
{
	return has_at(piece, 2, tag) && word_ends(piece, 2 + tag.size());
}

// The record of an individual: its cross-reference and then the tag INDI, a word of its own.
// Called for the pieces that begin "0 @", about one in ten. Nearly every cross-reference
// closes within sixteen bytes of its "@", found in one compare; the tag is read in one word.
[[gnu::noinline]] static bool is_individual_record(std::string_view piece)
{
	static_assert(piece_slack >= 16 + 8);
	std::size_t close = std::string_view::npos;
#if defined(__SSE2__)
	__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(piece.data() + 3));
	auto ats = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('@'))));
	if (ats != 0 && 3 + static_cast<std::size_t>(std::countr_zero(ats)) < piece.size())
		close = 3 + static_cast<std::size_t>(std::countr_zero(ats));
	else if (piece.size() > 3 + 16)
#endif
		close = piece.find('@', 3);
	if (close == std::string_view::npos)
		return false;
	return indi_follows(piece.substr(close + 1));
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
		if (is_tag(piece, "SOUR"))
			write_line(out, "Source of GEDCOM is ", piece);
		else if (is_tag(piece, "DATE"))
			write_line(out, "GEDCOM Date = ", piece);
		else if (is_tag(piece, "FILE"))
			write_line(out, "GEDCOM FILE = ", piece);
	} else if (has_at(piece, 0, "2")) {
		if (is_tag(piece, "NAME"))
			write_line(out, "GEDCOM Source Name = ", piece);
		else if (is_tag(piece, "TIME"))
			write_line(out, "GEDCOM Time = ", piece);
	}
}

// The HEAD message, the count of individuals (only -s writes it), the -t lines and the line
// count of one piece. True when the piece is the trailer and reading must stop.
template <bool header_lines, bool counts>
static bool handle_piece(std::string_view piece, bool may_hold_head, FILE *out)
{
	if (may_hold_head && find_head(piece))
		std::fprintf(out, "Verified GEDCOM has HEAD tag at line %lld.\n\n", lines_of_data + 1);
	std::uint32_t w = first_four(piece);
	// A record line comes at no pattern the processor could learn, so the test costs a
	// mispredicted branch on every tenth piece: asked only where the count is written.
	if constexpr (counts)
		if ((w & level_and_letter) == tag_word('0', '@', '\0'))
			number_of_individuals += is_individual_record(piece);
	if constexpr (header_lines)
		if (may_be_header_line(w))
			write_header_line(piece, out);
	lines_of_data++;
	return (w & level_and_letter) == tag_word('0', 'T', '\0');
}

// True when the trailer was read. Only -t writes header lines and only -s counts, so each
// flag gets a loop without the other's question.
template <bool header_lines, bool counts>
[[gnu::flatten]] static bool check_pieces(ged_text &text, FILE *out)
{
	bool trailer = false;
	read_pieces(gedcom, text, head_pair, [out, &trailer](std::string_view piece, bool he) {
		trailer = handle_piece<header_lines, counts>(piece, he, out);
		return !trailer;
	});
	return trailer;
}

void print_report(ged_text &text, FILE *out)
{
	number_of_individuals = 0;
	lines_of_data = 0;
	bool trailer = option == 't'   ? check_pieces<true, false>(text, out)
		       : option == 's' ? check_pieces<false, true>(text, out)
				       : check_pieces<false, false>(text, out);
	if (trailer)
		std::fputs("Verified GEDCOM has trailer tag.\n", out);
	else
		std::fputs("Lineagecheck: Sorry, no trailer tag found.\n", out);
	if (option == 's') {
		std::fprintf(out, " Number of Individuals in GED  = %lld\n", number_of_individuals);
		std::fprintf(out, " Lines of Data in GED = %lld\n", lines_of_data);
	}
}
