// The verifier's check: reads a GEDCOM file in line pieces and reports its head, trailer and counts.
#include "lineagecheck.h"

#include <cstring>

char option;
long long number_of_names;
long long lines_of_data;

static piece_reader check_reader;

void reader_start(piece_reader &r, FILE *fp, std::size_t window)
{
	if (window < reader_window_min)
		window = reader_window_min;
	if (window > r.buf.size())
		window = r.buf.size();
	r.fp = fp;
	r.window = window;
	r.start = 0;
	r.end = 0;
	r.next_cr = 0;
	r.cr_known = false;
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
	r.cr_known = false;
	// fread returns short only at end of file or on an error; either way nothing more will come.
	std::size_t want = r.window - r.end;
	std::size_t got = std::fread(r.buf.data() + r.end, 1, want, r.fp);
	r.end += got;
	if (got < want)
		r.at_end = true;
}

static std::size_t find_cr(const piece_reader &r, std::size_t from)
{
	const void *p = std::memchr(r.buf.data() + from, '\r', r.end - from);
	return p ? static_cast<std::size_t>(static_cast<const char *>(p) - r.buf.data()) : r.end;
}

bool read_piece(piece_reader &r, std::string_view &piece)
{
	refill(r);
	std::size_t s = r.start;
	std::size_t avail = r.end - s;
	if (avail == 0)
		return false;
	std::size_t len = avail < piece_max ? avail : piece_max;
	const char *base = r.buf.data() + s;
	if (const void *lf = std::memchr(base, '\n', len))
		len = static_cast<std::size_t>(static_cast<const char *>(lf) - base) + 1;

	// GEDCOM allows CR alone as the line end; without this a CR-only file is one endless line.
	if (!r.cr_known || r.next_cr < s) {
		r.next_cr = find_cr(r, s);
		r.cr_known = true;
	}
	std::size_t cr = r.next_cr;
	if (cr < s + len) {
		bool crlf = cr + 1 < r.end && r.buf[cr + 1] == '\n';
		if (!crlf)
			len = cr - s + 1;
	}
	r.start = s + len;
	piece = std::string_view(base, len);
	return true;
}

bool has_at(std::string_view piece, std::size_t at, std::string_view letters)
{
	return piece.size() >= at + letters.size() && piece.compare(at, letters.size(), letters) == 0;
}

bool contains_head(std::string_view piece)
{
	return piece.find("0 HEAD") != std::string_view::npos;
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
	if (piece.empty())
		return;
	if (piece[0] == '1') {
		if (has_at(piece, 2, "SOUR"))
			write_line(out, "Source of GEDCOM is ", piece);
		else if (has_at(piece, 2, "DA"))
			write_line(out, "GEDCOM Date = ", piece);
		else if (has_at(piece, 2, "FI"))
			write_line(out, "GEDCOM FILE = ", piece);
	} else if (piece[0] == '2') {
		if (has_at(piece, 2, "NA"))
			write_line(out, "GEDCOM Source Name = ", piece);
		else if (has_at(piece, 2, "TI"))
			write_line(out, "GEDCOM Time = ", piece);
	}
}

bool handle_piece(std::string_view piece, FILE *out)
{
	if (contains_head(piece))
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
	reader_start(check_reader, fp);
	bool trailer = false;
	std::string_view piece;
	while (!trailer && read_piece(check_reader, piece))
		trailer = handle_piece(piece, out);
	if (trailer)
		std::fputs("Verified GEDCOM has trailer tag.\n", out);
	else
		std::fputs("Lineagecheck: Sorry, no trailer tag found.\n", out);
	if (option == 's') {
		std::fprintf(out, " Number of Individuals in GED  = %lld\n", number_of_names);
		std::fprintf(out, " Lines of Data in GED = %lld\n", lines_of_data);
	}
}
