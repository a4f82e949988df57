// The white space before a line's tag that GEDCOM readers ignore, tidied away.
#include "charset.h"
#include "grammar.h"
#include "span.h"

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

bool digit(char c)
{
	return c >= '0' && c <= '9';
}

} // namespace

namespace {

// Whether the byte at i is one first_to_mend looks for: 0 when it is fine, else 1; `skip` is
// the length of what to pass over.
template <bool bytes>
int look_at(std::string_view s, std::size_t i, bool named, std::size_t &skip)
{
	auto b = static_cast<unsigned char>(s[i]);
	skip = 1;
	if (b == '\t')
		return 1;
	if (b == ' ')
		return i == 0 || static_cast<unsigned char>(s[i - 1]) <= ' ' ? 1 : 0;
	if (b < 0x80 || !bytes)
		return 0;
	if (named)
		return 1;
	skip = utf8_sequence(s.substr(i));
	return skip == 0 ? 1 : 0;
}

} // namespace

#if defined(__x86_64__)
// Sixty-four bytes at a time where the processor has AVX2: the index of the first byte to
// look at closer, or the end of the whole spans from i. A blank after a byte of at most a
// blank is the one place where the larger of the two is a blank; so is a line end or other
// control after a blank, which the closer look lets pass, as it does a valid sequence.
template <bool bytes>
[[gnu::target("avx2")]] inline __m256i wide_flags(const char *p)
{
	__m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
	__m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p - 1));
	__m256i flag = _mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('\t')),
				       _mm256_cmpeq_epi8(_mm256_max_epu8(v, before), _mm256_set1_epi8(' ')));
	if constexpr (bytes)
		flag = _mm256_or_si256(flag, v);
	return flag;
}

template <bool bytes>
[[gnu::target("avx2")]] std::size_t wide_scan(const char *p, std::size_t i, std::size_t n)
{
	for (; i + 64 <= n; i += 64) {
		__m256i low = wide_flags<bytes>(p + i);
		__m256i high = wide_flags<bytes>(p + i + 32);
		if (_mm256_movemask_epi8(_mm256_or_si256(low, high)) == 0)
			continue;
		auto hits = static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
			    static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high))) << 32;
		return i + static_cast<std::size_t>(std::countr_zero(hits));
	}
	if (i + 32 <= n) {
		if (auto hits = static_cast<std::uint32_t>(_mm256_movemask_epi8(wide_flags<bytes>(p + i))))
			return i + static_cast<std::size_t>(std::countr_zero(hits));
		i += 32;
	}
	return i;
}

#endif

template <bool bytes>
std::size_t first_to_mend(std::string_view s, bool named)
{
	const char *p = s.data();
	std::size_t n = s.size();
	std::size_t i = 0;
	std::size_t skip;
	while (i < n) {
#if defined(__x86_64__)
		// Its stops are only likely ones, so the narrower loop, which takes them for sure, is
		// kept for processors without it.
		if (i >= 1 && wide_compares)
			i = wide_scan<bytes>(p, i, n);
		else
#endif
#if defined(__SSE2__)
		// Sixteen bytes at a time, each with the byte before it, where both lie in s.
		while (i >= 1 && i + 16 <= n) {
			__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
			__m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i - 1));
			__m128i tab = _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'));
			__m128i ws = _mm_or_si128(tab, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
			__m128i low_before = _mm_cmpeq_epi8(_mm_max_epu8(before, _mm_set1_epi8(' ')), _mm_set1_epi8(' '));
			__m128i flag = _mm_or_si128(tab, _mm_and_si128(ws, low_before));
			if constexpr (bytes)
				flag = _mm_or_si128(flag, v);
			auto hits = static_cast<unsigned>(_mm_movemask_epi8(flag));
			if (hits != 0) {
				i += static_cast<std::size_t>(__builtin_ctz(hits));
				break;
			}
			i += 16;
		}
		if (i >= n)
			break;
#endif
		if (look_at<bytes>(s, i, named, skip) != 0)
			return i;
		i += skip;
	}
	return n;
}

template std::size_t first_to_mend<true>(std::string_view, bool);
template std::size_t first_to_mend<false>(std::string_view, bool);


// The bytes of whole lines at the start of `ahead` that need no tidying; the last line, when
// nothing needs tidying, is still read for the state it ends in.
static std::size_t plain_lines(std::string_view ahead)
{
	std::size_t first = first_to_mend<false>(ahead);
	std::size_t stop = first == ahead.size() ? ahead.find_last_of("\r\n") + 1 : first;
	while (stop > 0 && !is_line_end(ahead[stop - 1]))
		stop--;
	return stop;
}

// Moves the state on over byte c of a line, no line end; false when c is dropped. The blank
// that a gap keeps is written here, at n. What it changes is added to `mends`.
static bool prefix_byte(prefix_state &state, char c, char *out, std::size_t &n, unsigned &mends)
{
	using st = prefix_state;
	switch (state) {
	case st::line_start:
		if (is_blank(c)) {
			mends |= mend_leading;
			return false;
		}
		state = digit(c) ? st::level : st::rest;
		return true;
	case st::level:
	case st::xref_end:
		if (is_blank(c)) {
			out[n++] = ' ';
			if (c == '\t')
				mends |= state == st::level ? mend_level_tab : mend_xref_tab;
			state = state == st::level ? st::level_gap : st::xref_gap;
			return false;
		}
		if (state == st::xref_end || !digit(c))
			state = st::rest;
		return true;
	case st::level_gap:
	case st::xref_gap:
		if (is_blank(c)) {
			mends |= state == st::level_gap ? mend_level_gap : mend_xref_gap;
			return false;
		}
		state = state == st::level_gap && c == '@' ? st::xref : st::rest;
		return true;
	case st::xref:
		if (c == '@')
			state = st::xref_end;
		return true;
	default:
		return true;
	}
}

std::size_t tidy_prefixes(prefix_state &state, std::string_view s, char *out, const invalid_sink *sink,
	std::uint64_t base)
{
	// The one blank of a gap is written as its first blank or tab is read, so the text never
	// grows, even where a gap runs on from an earlier part: tidying can work in place.
	std::size_t n = 0;
	unsigned mends = 0;
	// Told at the line end it is written to, or where the rest of its line will follow.
	auto tell = [&] {
		if (mends != 0 && sink && sink->mended)
			sink->mended(sink->context, base + n, mends);
		mends = 0;
	};
	const char *p = s.data();
	const char *end = p + s.size();
	while (p < end) {
		// Lines that need nothing move as they are, all at once; so does the rest of a line
		// after its tag. A line whose leading blanks were just dropped is not one of them.
		const char *stop = state == prefix_state::line_start && mends == 0
			? p + plain_lines({p, static_cast<std::size_t>(end - p)})
			: state == prefix_state::rest ? find_line_end(p, end) : p;
		if (stop != p) {
			auto len = static_cast<std::size_t>(stop - p);
			if (out + n != p)
				std::memmove(out + n, p, len);
			n += len;
			p = stop;
			if (p == end)
				break;
		}
		char c = *p++;
		if (is_line_end(c)) {
			tell();
			out[n++] = c;
			state = prefix_state::line_start;
		} else if (prefix_byte(state, c, out, n, mends)) {
			out[n++] = c;
		}
	}
	tell();
	return n;
}

bool prefix_kept(std::string_view s)
{
	prefix_state state = prefix_state::line_start;
	unsigned mends = 0;
	for (char c : s) {
		if (state == prefix_state::rest)
			return true;
		// Only the blank a gap keeps is written, and nothing reads it.
		char gap[1];
		std::size_t n = 0;
		prefix_byte(state, c, gap, n, mends);
		if (mends != 0)
			return false;
	}
	return true;
}
