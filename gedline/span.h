// span: the one kernel that finds line ends, 64 bytes a time, one bit a byte, and the searches
// for a line end or a byte of 0x80 or above that are built on the same wide compares.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline bool is_line_end(char c)
{
	return c == '\n' || c == '\r';
}

#if defined(__x86_64__)
// Whether the processor has AVX2, for the loops that have a form for it.
inline const bool wide_compares = __builtin_cpu_supports("avx2");
#endif

// Line ends are looked for in spans of 64 bytes, one bit a byte.
inline constexpr std::size_t mask_span = 64;

// Two characters, neither a line end, that read_pieces can look for in the same wide
// compares that find the line ends; a program that seeks a text beginning with them then
// skips the search in the pieces that lack them.
struct char_pair {
	char first;
	char second;
};

// The line ends of a span and the places where the pair starts in it, a bit a byte.
struct span_bits {
	std::uint64_t ends;
	std::uint64_t pairs;
};

// One bit for each LF or CR among the 64 bytes at p, which is aligned to a span, and with
// `noting`, one for each place where the pair starts (its second character may be the
// first byte of the next span).
template <bool noting>
inline span_bits scan_span(const char *p, char_pair pair)
{
	span_bits bits{};
#if defined(__SSE2__)
	const __m128i lf = _mm_set1_epi8('\n');
	const __m128i cr = _mm_set1_epi8('\r');
	for (std::size_t k = 0; k < mask_span; k += 16) {
		__m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(p + k));
		__m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
		bits.ends |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << k;
		if constexpr (noting) {
			__m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k + 1));
			__m128i both = _mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(pair.first)),
						     _mm_cmpeq_epi8(next, _mm_set1_epi8(pair.second)));
			bits.pairs |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(both))) << k;
		}
	}
#else
	for (std::size_t k = 0; k < mask_span; ++k) {
		if (p[k] == '\n' || p[k] == '\r')
			bits.ends |= std::uint64_t{1} << k;
		if (noting && p[k] == pair.first && p[k + 1] == pair.second)
			bits.pairs |= std::uint64_t{1} << k;
	}
#endif
	return bits;
}

// One bit for each of the 64 bytes at p, which need not be aligned, that is one of `bytes`.
template <char... bytes>
inline std::uint64_t bytes_in_span(const char *p)
{
	std::uint64_t bits = 0;
#if defined(__SSE2__)
	for (std::size_t k = 0; k < mask_span; k += 16) {
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k));
		__m128i hit = _mm_setzero_si128();
		((hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, _mm_set1_epi8(bytes)))), ...);
		bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << k;
	}
#else
	for (std::size_t k = 0; k < mask_span; ++k)
		bits |= static_cast<std::uint64_t>(((p[k] == bytes) || ...)) << k;
#endif
	return bits;
}

// The first LF or CR at or after p and before end, or end.
inline const char *find_line_end(const char *p, const char *end)
{
#if defined(__SSE2__)
	const __m128i lf = _mm_set1_epi8('\n');
	const __m128i cr = _mm_set1_epi8('\r');
	for (; end - p >= 16; p += 16) {
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
		__m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
		if (auto m = static_cast<unsigned>(_mm_movemask_epi8(hit)))
			return p + __builtin_ctz(m);
	}
#endif
	while (p < end && !is_line_end(*p))
		p++;
	return p;
}

// The first byte of 0x80 or above at or after p and before end, or end. Long runs of plain
// letters are passed over 64 bytes a time.
inline const char *find_high(const char *p, const char *end)
{
#if defined(__SSE2__)
	for (; end - p >= 64; p += 64) {
		__m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
		for (std::size_t k = 16; k < 64; k += 16)
			any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k)));
		if (_mm_movemask_epi8(any) != 0)
			break;
	}
	for (; end - p >= 16; p += 16) {
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
		if (auto m = static_cast<unsigned>(_mm_movemask_epi8(v)))
			return p + __builtin_ctz(m);
	}
#endif
	while (p < end && static_cast<unsigned char>(*p) < 0x80)
		p++;
	return p;
}
