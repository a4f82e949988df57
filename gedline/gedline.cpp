// The parts of the piece reader that run once a block or for the rare piece.
#include "gedline.h"

#include <cstring>

void reader_start(piece_reader &r, ged_text &text, std::size_t window, const char_pair *pair)
{
	// One byte beyond a full piece must fit, to tell CR LF from a lone CR, and a read of the
	// text asks for room for a few characters at least.
	constexpr std::size_t window_min = piece_max + 1 + read_min;
	if (window < window_min)
		window = window_min;
	if (window > read_block)
		window = read_block;
	r.text = &text;
	r.window = window;
	r.len = 0;
	r.at_end = false;
	r.noting = pair != nullptr;
	r.pair = pair ? *pair : char_pair{};
	r.at = {};
}

namespace {

void refill(piece_reader &r)
{
	std::size_t keep = r.len - r.at.pos;
	std::memmove(r.block.data(), r.block.data() + r.at.pos, keep);
	r.at.pos = 0;
	r.len = keep;
	// The text comes in whole lines, so a read may bring less than there is room for; a piece
	// is cut only from a block that holds more than a piece, or the end of the text.
	while (r.len - r.at.pos <= piece_max && !r.at_end) {
		std::size_t got = ged_read(*r.text, r.block.data() + r.len, r.window - r.len);
		r.len += got;
		r.at_end = got == 0;
	}
}

// The line ends and the pairs at or after `from` in the span at `span`, none at or past len.
span_bits bits_from(const piece_reader &r, std::size_t span, std::size_t from)
{
	span_bits bits = r.noting ? scan_span<true>(r.block.data() + span, r.pair)
				  : scan_span<false>(r.block.data() + span, r.pair);
	std::uint64_t keep = ~std::uint64_t{0};
	if (from > span)
		keep &= ~std::uint64_t{0} << (from - span);
	if (r.len - span < mask_span)
		keep &= (std::uint64_t{1} << (r.len - span)) - 1;
	bits.ends &= keep;
	bits.pairs &= keep;
	return bits;
}

// The first LF or CR at or after pos and before limit, or limit.
std::size_t first_line_end(const piece_reader &r, std::size_t limit)
{
	std::size_t span = r.at.pos & ~(mask_span - 1);
	std::uint64_t bits = bits_from(r, span, r.at.pos).ends;
	while (bits == 0) {
		span += mask_span;
		if (span >= limit)
			return limit;
		bits = bits_from(r, span, span).ends;
	}
	std::size_t end = span + static_cast<std::size_t>(std::countr_zero(bits));
	return end < limit ? end : limit;
}

} // namespace

bool take_any(piece_reader &r, std::string_view &piece)
{
	piece_cursor &c = r.at;
	if (r.len - c.pos <= piece_max && !r.at_end)
		refill(r);
	if (c.pos == r.len)
		return false;
	// Indexed through the pointer, as in the inline part: the bounds are known, and a checked
	// index would tie lineagecheck to the C++ runtime library, whose loading costs a small run
	// more than its reading.
	const char *b = r.block.data();
	std::size_t limit = c.pos + piece_max < r.len ? c.pos + piece_max : r.len;
	// A piece cut at the limit ends before a character that would run past it.
	while (limit < r.len && limit > c.pos + 1 && (static_cast<unsigned char>(b[limit]) & 0xC0) == 0x80)
		limit--;
	std::size_t end = first_line_end(r, limit);
	if (end < limit) {
		bool crlf = b[end] == '\r' && end + 1 < r.len && b[end + 1] == '\n';
		end += crlf ? 2 : 1;
		if (end > limit)
			end = limit;
	}
	piece = {b + c.pos, end - c.pos};
	c.pos = end;
	c.span = c.pos & ~(mask_span - 1);
	span_bits bits = c.span < r.len ? bits_from(r, c.span, c.pos) : span_bits{};
	c.ends = bits.ends;
	c.pairs = bits.pairs;
	return true;
}

bool holds_pair(std::string_view piece, char_pair pair)
{
	for (std::size_t i = 0; i + 1 < piece.size(); ++i)
		if (piece[i] == pair.first && piece[i + 1] == pair.second)
			return true;
	return false;
}
