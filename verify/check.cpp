// The verifier's check: reads a GEDCOM file in line pieces and reports its head, trailer and counts.
#include "lineagecheck.h"

#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

char option;
long long number_of_names;
long long lines_of_data;
bool use_block_scan = true;
std::size_t check_window = reader_buffer_size;

static piece_reader check_reader;

// Bytes read past the end of a piece or a block: the rest of a level and tag, and the
// character after a CR. Past the end of the file they read as zero.
static constexpr std::size_t lookahead = 4;

void reader_start(piece_reader &r, FILE *fp, std::size_t window)
{
	if (window < reader_window_min)
		window = reader_window_min;
	if (window > reader_buffer_size)
		window = reader_buffer_size;
	r.fp = fp;
	r.window = window;
	r.start = 0;
	r.end = 0;
	r.at_end = false;
}

// Keeps at least a full piece and the character after it in view, unless the file ends first.
static void refill(piece_reader &r)
{
	std::size_t left = r.end - r.start;
	if (r.at_end || left >= reader_window_min)
		return;
	if (left > 0)
		std::memmove(r.buf.data(), r.buf.data() + r.start, left);
	r.start = 0;
	r.end = left;
	// fread returns short only at end of file or on an error; either way nothing more will come.
	std::size_t want = r.window - r.end;
	std::size_t got = std::fread(r.buf.data() + r.end, 1, want, r.fp);
	r.end += got;
	if (got < want)
		r.at_end = true;
	std::memset(r.buf.data() + r.end, 0, lookahead);
}

bool read_piece(piece_reader &r, std::string_view &piece)
{
	refill(r);
	std::size_t s = r.start;
	std::size_t avail = r.end - s;
	if (avail == 0)
		return false;
	const char *p = r.buf.data() + s;
	std::size_t limit = avail < piece_max ? avail : piece_max;
	std::size_t n = 0;
	while (n < limit) {
		char c = p[n++];
		if (c == '\n')
			break;
		// GEDCOM allows CR alone as the line end; without this a CR-only file is one endless
		// line. A CR LF stays one line end (the LF comes next), unless the piece is full.
		if (c == '\r' && !(n < avail && p[n] == '\n'))
			break;
	}
	r.start = s + n;
	piece = std::string_view(p, n);
	return true;
}

static bool is_line_end(unsigned c)
{
	return c == '\n' || c == '\r';
}

// One bit per byte of a 64-byte block, for each character the block scan looks for.
struct block_marks {
	std::uint64_t lf, cr, h, e;
};

static block_marks mark_block(const char *p)
{
	block_marks m{};
#if defined(__SSE2__)
	const __m128i lf = _mm_set1_epi8('\n');
	const __m128i cr = _mm_set1_epi8('\r');
	const __m128i h = _mm_set1_epi8('H');
	const __m128i e = _mm_set1_epi8('E');
	auto chunk = [&](std::size_t k) {
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k));
		auto bits = [&v, k](__m128i c) {
			return static_cast<std::uint64_t>(
				static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c)))) << k;
		};
		m.lf |= bits(lf);
		m.cr |= bits(cr);
		m.h |= bits(h);
		m.e |= bits(e);
	};
	chunk(0);
	chunk(16);
	chunk(32);
	chunk(48);
#else
	for (std::size_t k = 0; k < block_size; k++) {
		std::uint64_t bit = std::uint64_t{1} << k;
		m.lf |= p[k] == '\n' ? bit : 0;
		m.cr |= p[k] == '\r' ? bit : 0;
		m.h |= p[k] == 'H' ? bit : 0;
		m.e |= p[k] == 'E' ? bit : 0;
	}
#endif
	return m;
}

// The level and the first two tag letters of the piece at p, level in the lowest byte.
static std::uint32_t first_four(const char *p)
{
	auto u = reinterpret_cast<const unsigned char *>(p);
	return u[0] | u[1] << 8 | static_cast<std::uint32_t>(u[2]) << 16 |
	       static_cast<std::uint32_t>(u[3]) << 24;
}

static constexpr std::uint32_t tag_word(char level, char a, char b)
{
	return static_cast<unsigned char>(level) | static_cast<unsigned char>(a) << 16 |
	       static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 24;
}

static constexpr std::uint32_t level_and_two_letters = 0xFFFF00FF;
static constexpr std::uint32_t level_and_letter = 0x00FF00FF;
static constexpr std::uint32_t name_word = tag_word('1', 'N', 'A');
static constexpr std::uint32_t trailer_word = tag_word('0', 'T', '\0');

// Pieces that -t may write: the piece by piece check decides and writes them.
static bool may_be_header_line(std::uint32_t w)
{
	std::uint32_t t = w & level_and_two_letters;
	return t == tag_word('1', 'S', 'O') || t == tag_word('1', 'D', 'A') ||
	       t == tag_word('1', 'F', 'I') || t == tag_word('2', 'N', 'A') ||
	       t == tag_word('2', 'T', 'I');
}

// Counts whole 64-byte blocks of pieces at a time, from bit masks of their line ends, so that
// big files go at nearly the speed of the disk. It counts exactly what the piece by piece check
// counts, and leaves to it what needs a closer look: a piece longer than 79 characters, a
// possible head line ("HE"), a piece -t may write, the last bytes of the buffer. True when it
// has counted the trailer.
static bool scan_blocks(piece_reader &r, bool header_lines)
{
	std::size_t ps = r.start; // start of the piece not yet ended
	std::size_t b = ps / block_size;
	std::size_t stop = r.at_end ? r.end : (r.end > lookahead ? r.end - lookahead : 0);
	long long names = 0;
	long long lines = 0;
	bool trailer = false;
	while (!trailer && (b + 1) * block_size <= stop) {
		std::size_t block_start = b * block_size;
		const char *p = r.buf.data() + block_start;
		block_marks m = mark_block(p);
		auto after = [p](std::uint64_t mask, char c) {
			return mask >> 1 | static_cast<std::uint64_t>(p[block_size] == c) << 63;
		};
		std::uint64_t from = ps > block_start ? ~std::uint64_t{0} << (ps - block_start)
		                                      : ~std::uint64_t{0};
		if (m.h & after(m.e, 'E') & from)
			break;
		std::uint64_t ends = (m.lf | (m.cr & ~after(m.lf, '\n'))) & from;
		bool closer_look = false;
		while (ends != 0) {
			std::size_t t = block_start + static_cast<std::size_t>(std::countr_zero(ends));
			ends &= ends - 1;
			// Bytes 2 and 3 are letters, so the piece reaches them when byte 1 does not end it.
			std::uint32_t w = first_four(r.buf.data() + ps);
			bool tag_follows = !is_line_end((w >> 8) & 0xFF);
			if (t + 1 - ps > piece_max || (header_lines && tag_follows && may_be_header_line(w))) {
				closer_look = true;
				break;
			}
			names += (w & level_and_two_letters) == name_word && tag_follows;
			lines++;
			ps = t + 1;
			if ((w & level_and_letter) == trailer_word && tag_follows) {
				trailer = true;
				break;
			}
		}
		if (closer_look || block_start + block_size - ps >= piece_max)
			break;
		b++;
	}
	r.start = ps;
	number_of_names += names;
	lines_of_data += lines;
	return trailer;
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

bool handle_piece(std::string_view piece, FILE *out)
{
	if (piece.find("0 HEAD") != std::string_view::npos)
		std::fprintf(out, "Verified GEDCOM has HEAD tag at line %lld.\n\n", lines_of_data + 1);
	if (has_at(piece, 0, "1") && has_at(piece, 2, "NA"))
		number_of_names++;
	if (option == 't')
		write_header_line(piece, out);
	lines_of_data++;
	return has_at(piece, 0, "0") && has_at(piece, 2, "T");
}

void print_report(FILE *fp, FILE *out)
{
	number_of_names = 0;
	lines_of_data = 0;
	reader_start(check_reader, fp, check_window);
	bool blocks = use_block_scan && (option == 's' || option == 'b' || option == 't');
	bool trailer = false;
	std::string_view piece;
	while (!trailer) {
		if (blocks && scan_blocks(check_reader, option == 't')) {
			trailer = true;
			break;
		}
		if (!read_piece(check_reader, piece))
			break;
		trailer = handle_piece(piece, out);
	}
	if (trailer)
		std::fputs("Verified GEDCOM has trailer tag.\n", out);
	else
		std::fputs("Lineagecheck: Sorry, no trailer tag found.\n", out);
	if (option == 's') {
		std::fprintf(out, " Number of Individuals in GED  = %lld\n", number_of_names);
		std::fprintf(out, " Lines of Data in GED = %lld\n", lines_of_data);
	}
}
