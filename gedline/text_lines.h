// text_lines: decoded text cut into its lines, as every reader of a whole file cuts it. A line
// ends at LF, CR or CR LF, the UTF-8 byte-order mark before the first line is passed over (the
// offsets still count it), and a line that the end of one block cuts is carried into the next.
#pragma once

#include "charset.h"
#include "span.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct text_line {
	std::string_view text; // without its line end
	std::uint64_t offset;  // of its first byte in the whole text
	std::uint64_t number;  // from 1
};

// The cutting of one text that arrives in blocks.
struct line_cutter {
	std::uint64_t base = 0;   // offset of the next block's first byte
	std::uint64_t number = 1; // of the next line
	std::uint64_t carry_at = 0;
	std::string carry;        // the start of a line that the last block cut
	bool after_cr = false;    // the last block ended in CR: a LF first in the next is its end
};

// Hands each whole line of the next block of the text to on(const text_line &), which returns
// false to stop the cutting; `last` says that no text follows, so that the block's unended
// tail is a line too. The first block holds the whole mark when there is one (any block of
// at least its three bytes does). A line's text points into the block, or into the cutter when blocks cut
// it: it lasts until on returns. False when on stopped the cutting.
template <class On>
bool cut_block(line_cutter &c, std::string_view b, bool last, On &&on)
{
	std::size_t pos = c.base == 0 ? utf8_mark_length(b) : 0;
	if (c.after_cr && !b.empty()) {
		pos = b[0] == '\n' ? 1 : 0;
		c.after_cr = false;
	}
	bool going = true;
	while (going && pos < b.size()) {
		auto end = static_cast<std::size_t>(find_line_end(b.data() + pos, b.data() + b.size()) - b.data());
		if (c.carry.empty())
			c.carry_at = c.base + pos;
		if (end == b.size()) {
			if (last && c.carry.empty())
				going = on(text_line{b.substr(pos), c.carry_at, c.number++});
			else
				c.carry.append(b.substr(pos));
			break;
		}
		std::string_view line = b.substr(pos, end - pos);
		if (!c.carry.empty()) {
			c.carry.append(line);
			line = c.carry;
		}
		going = on(text_line{line, c.carry_at, c.number++});
		c.carry.clear();
		pos = end + 1;
		if (b[end] == '\r' && pos == b.size())
			c.after_cr = true;
		else if (b[end] == '\r' && b[pos] == '\n')
			++pos;
	}
	c.base += b.size();
	if (last && going && !c.carry.empty()) {
		going = on(text_line{c.carry, c.carry_at, c.number++});
		c.carry.clear();
	}
	return going;
}

// Each line of a whole text; every line's text points into it.
template <class On>
bool each_text_line(std::string_view text, On &&on)
{
	line_cutter c;
	return cut_block(c, text, true, on);
}

// The line that starts at `start` of a text: where it ends (its first LF or CR, or the text's
// end) and where the next line starts, past a CR LF as one line end.
struct line_span {
	std::size_t end;
	std::size_t next;
};

inline line_span line_from(std::string_view text, std::size_t start)
{
	const char *end = find_line_end(text.data() + start, text.data() + text.size());
	auto at = static_cast<std::size_t>(end - text.data());
	if (at == text.size())
		return {at, at};
	return {at, at + (end[0] == '\r' && at + 1 < text.size() && end[1] == '\n' ? 2 : 1)};
}

// The cutting at their line ends of a text that arrives in blocks, for a reader that takes
// each line's bytes where they lie in the block and keeps what a block cuts itself.
struct span_cutter {
	std::uint64_t base = 0; // offset in the text of the next block's first byte
	bool after_cr = false;  // the last block ended in CR: a LF first in the next is its line end's
};

// Calls on(start, end) for each line end in the `len` bytes at p, found a span of 64 bytes at a
// time: p is aligned to a span, and the bytes past len up to the span's end hold no line end.
// The line's bytes in the block run from start to end; start is 0 for a line that began in an
// earlier block. The mark before the text's first line is passed over. Returns where the
// block's unended tail starts.
template <class On>
std::size_t cut_spans(span_cutter &c, const char *p, std::size_t len, On &&on)
{
	std::size_t start = c.base == 0 ? utf8_mark_length({p, len}) : 0;
	if (c.after_cr && len > 0) {
		c.after_cr = false;
		start = p[0] == '\n';
	}
	for (std::size_t span = 0; span < len; span += mask_span) {
		for (std::uint64_t ends = scan_span<false>(p + span, {}).ends; ends != 0; ends &= ends - 1) {
			std::size_t end = span + static_cast<std::size_t>(std::countr_zero(ends));
			if (end < start)
				continue;
			on(start, end);
			start = end + 1;
			if (p[end] == '\r') {
				if (end + 1 == len)
					c.after_cr = true;
				else if (p[end + 1] == '\n')
					++start;
			}
		}
	}
	c.base += len;
	return start;
}

// Calls on(at) for each start of a line at or after `from` in a piece of a text whose first
// byte is one of `first`, for a reader that looks closer only at such lines: they are found
// 64 bytes at a time, so that the other lines cost no work of their own. `base` is the piece's
// offset in the text, whose first line starts after the mark (the first piece holds the whole
// mark when there is one); `starts` says that a line starts at `from`. True when a line starts
// at the next piece's first byte.
template <char... first, class On>
bool each_line_start(std::string_view piece, std::uint64_t base, std::size_t from, bool starts, On &&on)
{
	auto wanted = [](char c) { return ((c == first) || ...); };
	if (starts) {
		std::size_t at = from + (base == 0 && from == 0 ? utf8_mark_length(piece) : 0);
		// A piece that holds no more than the mark leaves the first line to start the next.
		if (at >= piece.size())
			return true;
		if (wanted(piece[at]))
			on(at);
	}
	const char *p = piece.data();
	std::size_t i = from;
	std::uint64_t ended = 0; // the byte before the span ended a line
	for (; i + mask_span <= piece.size(); i += mask_span) {
		std::uint64_t ends = bytes_in_span<'\n', '\r'>(p + i);
		for (std::uint64_t m = ((ends << 1) | ended) & bytes_in_span<first...>(p + i); m != 0; m &= m - 1)
			on(i + static_cast<std::size_t>(std::countr_zero(m)));
		ended = ends >> 63;
	}
	for (; i < piece.size(); i++) {
		if (ended && wanted(p[i]))
			on(i);
		ended = is_line_end(p[i]);
	}
	return ended != 0;
}
