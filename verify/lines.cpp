// The reading of -v: the file's text cut into whole lines for the line checks.
#include "findings.h"
#include "lineagecheck.h"
#include "versions.h"

#include "gedline.h"
#include "text_lines.h"

#include <array>

namespace {

// Text is cut into lines a block at a time.
constexpr std::size_t block_size = std::size_t{1} << 18;

struct text_block_read {
	// The last span is read for line ends past the text, and holds none.
	alignas(mask_span) std::array<char, block_size + mask_span> bytes;
	std::size_t len;
	bool last; // nothing follows: the end of the text, or a read error
	bool out_of_memory;
	grow_list<std::uint64_t> invalid; // where the reader replaced bytes, in rising order
	grow_list<std::uint64_t> mended;  // where it tidied a line: the offset, shifted, and its mends
};

// A mend's offset is kept above its flags, which fit below this.
constexpr unsigned mend_bits = 8;

text_block_read block;
std::size_t window = block_size;

// Where the reader replaced a byte, by an offset in the text it hands on (that of the byte's
// line); offsets come in rising order.
void note_invalid_byte(void *read, std::uint64_t text_offset)
{
	auto &s = *static_cast<text_block_read *>(read);
	if (!push(s.invalid, text_offset))
		s.out_of_memory = true;
}

// Where the reader tidied a line's prefix, told in rising order of offsets as well.
void note_mended_line(void *read, std::uint64_t text_offset, unsigned mends)
{
	auto &s = *static_cast<text_block_read *>(read);
	if (!push(s.mended, text_offset << mend_bits | mends))
		s.out_of_memory = true;
}

void fill_block(ged_text &text, text_block_read &s)
{
	s.invalid.size = 0;
	s.mended.size = 0;
	s.last = false;
	text.invalid = {note_invalid_byte, &s, note_mended_line};
	std::size_t len = 0;
	while (window - len >= read_min) {
		std::size_t n = ged_read(text, s.bytes.data() + len, window - len);
		if (n == 0) {
			s.last = true;
			break;
		}
		len += n;
	}
	text.invalid = {};
	s.len = len;
	// No line end is seen in the bytes of the last span past the text.
	std::memset(s.bytes.data() + len, 0, mask_span);
}

// The line being cut. A line begun in one block and ended in a later one is kept here: its
// first line_keep bytes, its length counted whole.
struct line_cut {
	std::uint64_t line;   // its number, from 1
	std::uint64_t offset; // in the text, of the block being cut
	std::uint64_t chars;
	std::size_t kept;
	bool open; // part of the line has come
	bool full; // no more of it is kept
	span_cutter spans;
	std::size_t invalid_next;
	std::size_t mended_next;
	std::array<char, line_keep> text;
};

line_cut cut;

// What the reader told of the bytes up to offset `upto` of the text, for the line being cut.
void tell_line(const text_block_read &s, std::uint64_t upto)
{
	for (; cut.invalid_next < s.invalid.size && s.invalid.items[cut.invalid_next] <= upto; ++cut.invalid_next)
		judged_invalid(cut.line);
	for (; cut.mended_next < s.mended.size && s.mended.items[cut.mended_next] >> mend_bits <= upto; ++cut.mended_next)
		judged_mended(cut.line, static_cast<unsigned>(s.mended.items[cut.mended_next] & ((1u << mend_bits) - 1)));
}

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

// The first `room` bytes of s or fewer, ending with a whole character.
std::string_view whole_start(std::string_view s, std::size_t room)
{
	if (s.size() <= room)
		return s;
	std::size_t n = room;
	while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
		--n;
	return s.substr(0, n);
}

void keep(std::string_view part)
{
	std::string_view kept = whole_start(part, cut.full ? 0 : line_keep - cut.kept);
	cut.full = cut.full || kept.size() < part.size();
	if (!kept.empty())
		std::memcpy(cut.text.data() + cut.kept, kept.data(), kept.size());
	cut.kept += kept.size();
	cut.chars += chars_of(part);
	cut.open = true;
}

// The line ending at `end` in the block, which began at `start` or in an earlier block.
void end_line(const text_block_read &s, std::size_t start, std::size_t end)
{
	if (cut.invalid_next < s.invalid.size || cut.mended_next < s.mended.size)
		tell_line(s, cut.offset + end);
	std::string_view body(s.bytes.data() + start, end - start);
	if (!cut.open) {
		std::string_view kept = whole_start(body, line_keep);
		judged_line(cut.line, kept, body.size() <= short_line ? body.size() : chars_of(body));
	} else {
		keep(body);
		judged_line(cut.line, {cut.text.data(), cut.kept}, cut.chars);
		cut.kept = 0;
		cut.chars = 0;
		cut.open = false;
		cut.full = false;
	}
	++cut.line;
}

// The lines of a block.
void cut_lines(const text_block_read &s)
{
	cut.invalid_next = 0;
	cut.mended_next = 0;
	std::size_t start = cut_spans(cut.spans, s.bytes.data(), s.len,
				      [&s](std::size_t from, std::size_t end) { end_line(s, from, end); });
	if (start < s.len)
		keep({s.bytes.data() + start, s.len - start});
	// What the reader told of the line still open is passed on now: the lists go with the block.
	tell_line(s, ~std::uint64_t{0});
	cut.offset += s.len;
}

} // namespace

void set_findings_window(std::size_t bytes)
{
	window = bytes < read_min ? read_min : bytes > block_size ? block_size : bytes;
}

long long print_findings(ged_text &text, const char *file, FILE *out)
{
	judged_start();
	cut = {};
	cut.line = 1;
	block.out_of_memory = false;
	do {
		fill_block(text, block);
		cut_lines(block);
	} while (!block.last);
	if (cut.open)
		end_line(block, block.len, block.len);
	release(block.invalid);
	release(block.mended);
	if (text.failed) {
		judged_start();
		return -2;
	}
	if (block.out_of_memory)
		out_of_memory = true;
	return judged_finish(file, out);
}
