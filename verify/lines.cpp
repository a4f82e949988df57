// The reading of -v: the file's pieces joined into whole lines for the line checks.
#include "findings.h"
#include "lineagecheck.h"

#include "gedline.h"

#include <array>

namespace {

piece_reader gedcom;

// The line being joined from pieces. Only its first line_keep bytes are kept; its length
// is counted whole.
struct line_join {
	std::uint64_t line;   // its number, from 1
	std::uint64_t offset; // of the next piece in the text
	std::uint64_t chars;
	std::size_t kept;
	bool open;     // part of the line has come
	bool full;     // no more of it is kept
	bool after_cr; // the last piece ended in CR: a LF first in the next is its line end's
	std::array<char, line_keep> text;
};

line_join join;

grow_list<std::uint64_t> invalid_offsets;
std::size_t invalid_next;

// A line of no more bytes than this has no more characters than GEDCOM allows, so its
// characters need not be counted.
constexpr std::uint64_t short_line = 255;

std::uint64_t chars_of(std::string_view s)
{
	std::uint64_t n = 0;
	for (char c : s)
		n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
	return n;
}

void keep(std::string_view part)
{
	std::size_t room = join.full ? 0 : join.text.size() - join.kept;
	std::size_t n = part.size() < room ? part.size() : room;
	// What is kept ends with a whole character; the rest of the line is only counted.
	while (n < part.size() && n > 0 && (static_cast<unsigned char>(part[n]) & 0xC0) == 0x80)
		--n;
	join.full = join.full || n < part.size();
	if (n > 0)
		std::memcpy(join.text.data() + join.kept, part.data(), n);
	join.kept += n;
	join.chars += chars_of(part);
	join.open = true;
}

void end_line(std::string_view last)
{
	if (!join.open) {
		findings_line(join.line, last, last.size() <= short_line ? last.size() : chars_of(last));
	} else {
		keep(last);
		findings_line(join.line, {join.text.data(), join.kept}, join.chars);
		join.kept = 0;
		join.chars = 0;
		join.open = false;
		join.full = false;
	}
	++join.line;
}

bool handle_piece(std::string_view piece)
{
	join.offset += piece.size();
	while (invalid_next < invalid_offsets.size && invalid_offsets.items[invalid_next] < join.offset) {
		findings_invalid(join.line);
		++invalid_next;
	}
	if (join.after_cr) {
		join.after_cr = false;
		if (piece[0] == '\n') {
			piece.remove_prefix(1);
			if (piece.empty())
				return true;
		}
	}
	char last = piece.back();
	if (last != '\n' && last != '\r') {
		keep(piece);
		return true;
	}
	std::size_t body = piece.size() - 1;
	if (last == '\r')
		join.after_cr = true;
	else if (body > 0 && piece[body - 1] == '\r')
		--body;
	end_line(piece.substr(0, body));
	return true;
}

// Where the reader replaced a byte, by an offset in the text it hands on (that of the byte's
// line); offsets come in rising order, before the pieces that hold them.
void note_invalid_byte(void *, std::uint64_t text_offset)
{
	if (!push(invalid_offsets, text_offset))
		out_of_memory = true;
}

} // namespace

long long print_findings(ged_text &text, const char *file, FILE *out)
{
	findings_start();
	join = {};
	join.line = 1;
	text.invalid = {note_invalid_byte, nullptr};
	read_pieces(gedcom, text, [](std::string_view piece) { return handle_piece(piece); });
	text.invalid = {};
	if (join.open)
		end_line({});
	release(invalid_offsets);
	invalid_next = 0;
	if (text.failed) {
		findings_start();
		return -2;
	}
	return findings_finish(file, out);
}
