// text_lines: decoded text cut into its lines, as every reader of a whole file cuts it. A line
// ends at LF, CR or CR LF, the UTF-8 byte-order mark before the first line is passed over (the
// offsets still count it), and a line that the end of one block cuts is carried into the next.
#pragma once

#include "charset.h"
#include "span.h"

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
