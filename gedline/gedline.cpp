// The parts of the piece reader that run once a block or for the rare piece.
#include "gedline.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
	r.mapped = 0;
	r.at_end = false;
	r.noting = pair != nullptr;
	r.pair = pair ? *pair : char_pair{};
	r.at = {};
}

namespace {

// Of the bytes of a span, those in [look, end): the marks a look closer must see.
std::uint64_t marks_within(std::uint64_t marks, std::size_t span, std::size_t look, std::size_t end)
{
	if (look >= span + mask_span)
		return 0;
	if (look > span)
		marks &= ~std::uint64_t{0} << (look - span);
	if (end - span < mask_span)
		marks &= (std::uint64_t{1} << (end - span)) - 1;
	return marks;
}

// The bytes that tidying or decoding may change are marked where the reader's own compares
// find the line ends: a tab, a byte of 0x80 or above, and a blank after a byte of at most a
// blank, the one place where the larger of the two is a blank, beside a control after a blank
// (a line end is left out: a line that ends in blanks is common and needs nothing).
#if defined(__x86_64__)
template <bool noting>
[[gnu::target("avx2")]] inline void half_wide(const char *p, char_pair pair, std::uint64_t &ends,
					      std::uint64_t &pairs, std::uint64_t &marks)
{
	__m256i v = _mm256_load_si256(reinterpret_cast<const __m256i *>(p));
	__m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p - 1));
	__m256i end = _mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('\n')),
				      _mm256_cmpeq_epi8(v, _mm256_set1_epi8('\r')));
	__m256i blank = _mm256_andnot_si256(end, _mm256_cmpeq_epi8(_mm256_max_epu8(v, before), _mm256_set1_epi8(' ')));
	__m256i look = _mm256_or_si256(_mm256_or_si256(blank, _mm256_cmpeq_epi8(v, _mm256_set1_epi8('\t'))), v);
	ends = static_cast<std::uint32_t>(_mm256_movemask_epi8(end));
	marks = static_cast<std::uint32_t>(_mm256_movemask_epi8(look));
	if constexpr (noting) {
		__m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 1));
		__m256i both = _mm256_and_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(pair.first)),
						_mm256_cmpeq_epi8(next, _mm256_set1_epi8(pair.second)));
		pairs = static_cast<std::uint32_t>(_mm256_movemask_epi8(both));
	}
}

template <bool noting>
[[gnu::target("avx2")]] std::size_t map_wide(const char *p, std::size_t span, std::size_t end, std::size_t look,
					     char_pair pair, span_bits *map, std::uint64_t &marks)
{
	for (; span < end; span += mask_span) {
		std::uint64_t ends[2], pairs[2] = {0, 0}, found[2];
		half_wide<noting>(p + span, pair, ends[0], pairs[0], found[0]);
		half_wide<noting>(p + span + 32, pair, ends[1], pairs[1], found[1]);
		map[span / mask_span] = {ends[0] | ends[1] << 32, pairs[0] | pairs[1] << 32};
		std::uint64_t m = found[0] | found[1] << 32;
		if (m != 0 && (m = marks_within(m, span, look, end)) != 0) {
			marks = m;
			return span + mask_span;
		}
	}
	marks = 0;
	return span;
}
#endif

template <bool noting>
std::size_t map_narrow(const char *p, std::size_t span, std::size_t end, std::size_t look, char_pair pair,
		       span_bits *map, std::uint64_t &marks)
{
	for (; span < end; span += mask_span) {
		map[span / mask_span] = scan_span<noting>(p + span, pair);
		std::uint64_t m = 0;
#if defined(__SSE2__)
		for (std::size_t k = 0; k < mask_span; k += 16) {
			__m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(p + span + k));
			__m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + span + k - 1));
			__m128i end_at = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
			__m128i blank = _mm_andnot_si128(end_at, _mm_cmpeq_epi8(_mm_max_epu8(v, before), _mm_set1_epi8(' ')));
			__m128i flag = _mm_or_si128(_mm_or_si128(blank, _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))), v);
			m |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(flag))) << k;
		}
#else
		for (std::size_t k = 0; k < mask_span; ++k) {
			auto c = static_cast<unsigned char>(p[span + k]);
			auto b = static_cast<unsigned char>(p[span + k - 1]);
			bool blank = c == ' ' ? b <= ' ' : c <= ' ' && b == ' ' && !is_line_end(p[span + k]);
			m |= static_cast<std::uint64_t>(c == '\t' || c >= 0x80 || blank) << k;
		}
#endif
		if (m != 0 && (m = marks_within(m, span, look, end)) != 0) {
			marks = m;
			return span + mask_span;
		}
	}
	marks = 0;
	return span;
}

// Fills the map from the span at `span` through the one holding byte end - 1 and returns the
// start of the next span, or stops after the first span with marks at or after `look`, which
// it sets in `marks`.
std::size_t map_spans(piece_reader &r, std::size_t span, std::size_t end, std::size_t look, std::uint64_t &marks)
{
	const char *p = r.block();
#if defined(__x86_64__)
	if (wide_compares)
		return r.noting ? map_wide<true>(p, span, end, look, r.pair, r.map.data(), marks)
				: map_wide<false>(p, span, end, look, r.pair, r.map.data(), marks);
#endif
	return r.noting ? map_narrow<true>(p, span, end, look, r.pair, r.map.data(), marks)
			: map_narrow<false>(p, span, end, look, r.pair, r.map.data(), marks);
}

// The start of the line that holds byte i, found in the bits of the spans, at `from` or after.
std::size_t line_start(const piece_reader &r, std::size_t i, std::size_t from)
{
	std::size_t span = i & ~(mask_span - 1);
	std::uint64_t ends = r.map[span / mask_span].ends & ((std::uint64_t{1} << (i - span)) - 1);
	while (ends == 0) {
		if (span <= from)
			return from;
		span -= mask_span;
		ends = r.map[span / mask_span].ends;
	}
	std::size_t start = span + mask_span - static_cast<std::size_t>(std::countl_zero(ends));
	return start > from ? start : from;
}

// Maps the bytes read since `from`. Those the text handed on unlooked are looked at here, at
// their marks only: from the first line not as ged_read would have handed it, the bytes go
// back to the text to be read again, mended.
void map_read(piece_reader &r, std::size_t from, bool unlooked)
{
	const char *b = r.block();
	const std::size_t end = r.len;
	std::size_t span = r.mapped;
	std::size_t seen = from; // the bytes of a character looked at already
	for (bool looking = true; looking;) {
		std::uint64_t marks = 0;
		span = map_spans(r, span, end, unlooked ? from : end, marks);
		looking = marks != 0;
		std::size_t at = span - mask_span;
		for (; marks != 0; marks &= marks - 1) {
			std::size_t i = at + static_cast<std::size_t>(std::countr_zero(marks));
			if (i < seen)
				continue;
			bool kept;
			if (static_cast<unsigned char>(b[i]) >= 0x80) {
				std::size_t n = ged_unlooked_char(*r.text, {b + i, end - i});
				kept = n != 0;
				seen = i + n;
			} else {
				std::size_t start = line_start(r, i, from);
				kept = prefix_kept({b + start, i + 1 - start});
			}
			if (!kept) {
				std::size_t start = line_start(r, i, from);
				ged_give_back(*r.text, b + start, end - start);
				r.len = start;
				looking = false;
				break;
			}
		}
	}
	// The last span may be partial, and a pair at its end looks at the next byte, which the
	// next read may change.
	r.mapped = r.len == 0 ? 0 : (r.len - 1) & ~(mask_span - 1);
}

void refill(piece_reader &r)
{
	std::size_t keep = r.len - r.at.pos;
	std::memmove(r.block(), r.block() + r.at.pos, keep);
	r.at.pos = 0;
	r.len = keep;
	r.mapped = 0;
	// The text comes in whole lines, so a read may bring less than there is room for; a piece
	// is cut only from a block that holds more than a piece, or the end of the text.
	do {
		std::size_t from = r.len;
		bool unlooked = false;
		std::size_t got = r.at_end ? 0 : ged_read_unlooked(*r.text, r.block() + r.len, r.window - r.len, unlooked);
		r.len += got;
		r.at_end = got == 0;
		map_read(r, from, unlooked);
	} while (r.len - r.at.pos <= piece_max && !r.at_end);
}

// The line ends and the pairs at or after `from` in the span at `span`, none at or past len.
span_bits bits_from(const piece_reader &r, std::size_t span, std::size_t from)
{
	span_bits bits = r.noting ? scan_span<true>(r.block() + span, r.pair)
				  : scan_span<false>(r.block() + span, r.pair);
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
	const char *b = r.block();
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
