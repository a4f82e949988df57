// The character sets of GEDCOM files turned into UTF-8: windows-1252, ANSEL, UTF-16, and the
// stray bytes of UTF-8 files.
#include "charset.h"
#include "grammar.h"
#include "span.h"

#include <array>
#include <cstring>

#include <utf8proc.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// windows-1252 as the WHATWG index gives it: 0x80 to 0x9F; every other byte is its own code point.
constexpr std::array<char16_t, 32> cp1252_high{
	0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
	0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
	0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
	0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// ANSEL's spacing characters, 0xA0 to 0xDF, with GEDCOM's additions; 0 has no meaning.
constexpr std::array<char16_t, 64> ansel_spacing{
	0,      0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, // A0
	0x00B7, 0x266D, 0x00AE, 0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,      // A8
	0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE, 0x00E6, 0x0153, 0x02BA, // B0
	0x0131, 0x00A3, 0x00F0, 0,      0x01A1, 0x01B0, 0x25A1, 0x25A0, // B8
	0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, // C0
	0x20AC, 0,      0,      0,      0,      0x0065, 0x006F, 0x00DF, // C8
	0,      0,      0,      0,      0,      0,      0,      0,      // D0
	0,      0,      0,      0,      0,      0,      0,      0,      // D8
};

// ANSEL's combining marks, 0xE0 to 0xFF, written before the letter they mark.
constexpr std::array<char16_t, 32> ansel_marks{
	0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, // E0
	0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, // E8
	0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326, // F0
	0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313, 0,      // F8
};

bool blank(char c)
{
	return c == ' ' || c == '\t';
}

bool line_end(char c)
{
	return c == '\n' || c == '\r';
}

bool digit(char c)
{
	return c >= '0' && c <= '9';
}

} // namespace

char32_t cp1252_char(unsigned char b)
{
	return b >= 0x80 && b < 0xA0 ? cp1252_high[b - 0x80] : b;
}

char32_t ansel_char(unsigned char b)
{
	return b >= 0xA0 && b < 0xE0 ? ansel_spacing[b - 0xA0] : 0;
}

char32_t ansel_mark(unsigned char b)
{
	return b >= 0xE0 ? ansel_marks[b - 0xE0] : 0;
}

std::size_t put_utf8(char32_t c, char *out)
{
	if (c < 0x80) {
		out[0] = static_cast<char>(c);
		return 1;
	}
	if (c < 0x800) {
		out[0] = static_cast<char>(0xC0 | (c >> 6));
		out[1] = static_cast<char>(0x80 | (c & 0x3F));
		return 2;
	}
	if (c < 0x10000) {
		out[0] = static_cast<char>(0xE0 | (c >> 12));
		out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
		out[2] = static_cast<char>(0x80 | (c & 0x3F));
		return 3;
	}
	out[0] = static_cast<char>(0xF0 | (c >> 18));
	out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
	out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
	out[3] = static_cast<char>(0x80 | (c & 0x3F));
	return 4;
}

std::size_t utf8_sequence(std::string_view s)
{
	if (s.empty())
		return 0;
	auto at = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
	unsigned char b = at(0);
	if (b < 0x80)
		return 1;
	// The second byte's range depends on the first: this is what rules out overlong forms,
	// surrogates and code points beyond U+10FFFF.
	std::size_t n;
	unsigned char lo = 0x80, hi = 0xBF;
	if (b >= 0xC2 && b <= 0xDF)
		n = 2;
	else if (b >= 0xE0 && b <= 0xEF) {
		n = 3;
		if (b == 0xE0)
			lo = 0xA0;
		if (b == 0xED)
			hi = 0x9F;
	} else if (b >= 0xF0 && b <= 0xF4) {
		n = 4;
		if (b == 0xF0)
			lo = 0x90;
		if (b == 0xF4)
			hi = 0x8F;
	} else
		return 0;
	if (s.size() < n || at(1) < lo || at(1) > hi)
		return 0;
	for (std::size_t i = 2; i < n; i++)
		if (at(i) < 0x80 || at(i) > 0xBF)
			return 0;
	return n;
}

// ---------------------------------------------------------------- which set

namespace {

bool same_letters(std::string_view a, std::string_view b)
{
	if (a.size() != b.size())
		return false;
	for (std::size_t i = 0; i < a.size(); i++) {
		char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
		if (x != b[i])
			return false;
	}
	return true;
}

constexpr std::array<std::string_view, 8> ansi_names{
	"ANSI", "WINDOWS", "WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1", "LATIN-1",
};

// The value of the first level-1 CHAR line of the header: the lines from the first to the
// next one of level 0.
std::string_view head_char_value(std::string_view start)
{
	start.remove_prefix(utf8_mark_length(start));
	const char *text_end = start.data() + start.size();
	std::size_t pos = 0;
	for (bool first = true; pos < start.size(); first = false) {
		auto end = static_cast<std::size_t>(find_line_end(start.data() + pos, text_end) - start.data());
		line_parts h = parse_line(start.substr(pos, end - pos));
		if (!first && h.level == 0)
			break;
		if (h.level == 1 && h.tag == "CHAR")
			return trim_blanks(h.value);
		pos = end + 1;
	}
	return {};
}

} // namespace

charset_guess guess_charset(std::string_view start)
{
	auto starts = [&start](std::string_view with) { return start.starts_with(with); };
	using namespace std::string_view_literals;
	if (utf8_mark_length(start) != 0)
		return {ged_charset::utf8, false, 0};
	if (starts("\xFF\xFE"))
		return {ged_charset::utf16le, false, 2};
	if (starts("\xFE\xFF"))
		return {ged_charset::utf16be, false, 2};
	if (starts("0\0"sv))
		return {ged_charset::utf16le, false, 0};
	if (starts("\0000"sv))
		return {ged_charset::utf16be, false, 0};
	std::string_view name = head_char_value(start);
	if (same_letters(name, "ANSEL"))
		return {ged_charset::ansel, true, 0};
	for (std::string_view ansi : ansi_names)
		if (same_letters(name, ansi))
			return {ged_charset::cp1252, true, 0};
	return {ged_charset::utf8, false, 0};
}

void settle_named(decode_state &d, std::string_view rest)
{
	if (d.named && utf8_sequence(rest) != 0)
		d.set = ged_charset::utf8;
	d.named = false;
}

// ---------------------------------------------------------------- tidy line prefixes

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
// Thirty-two bytes at a time where the processor has AVX2: the index of the first byte to
// look at closer, or the end of the whole spans from i.
template <bool bytes>
[[gnu::target("avx2")]] std::size_t wide_scan(const char *p, std::size_t i, std::size_t n)
{
	const __m256i tab = _mm256_set1_epi8('\t');
	const __m256i blank = _mm256_set1_epi8(' ');
	for (; i + 32 <= n; i += 32) {
		__m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i));
		__m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i - 1));
		__m256i tabs = _mm256_cmpeq_epi8(v, tab);
		__m256i ws = _mm256_or_si256(tabs, _mm256_cmpeq_epi8(v, blank));
		__m256i low_before = _mm256_cmpeq_epi8(_mm256_max_epu8(before, blank), blank);
		__m256i flag = _mm256_or_si256(tabs, _mm256_and_si256(ws, low_before));
		if constexpr (bytes)
			flag = _mm256_or_si256(flag, v);
		if (auto hits = static_cast<unsigned>(_mm256_movemask_epi8(flag)))
			return i + static_cast<std::size_t>(__builtin_ctz(hits));
	}
	return i;
}

const bool has_avx2 = __builtin_cpu_supports("avx2");
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
		if (i >= 1 && has_avx2)
			i = wide_scan<bytes>(p, i, n);
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


std::size_t tidy_prefixes(prefix_state &state, std::string_view s, char *out)
{
	// The one blank of a gap is written as its first blank or tab is read, so the text never
	// grows, even where a gap runs on from an earlier part: tidying can work in place.
	using st = prefix_state;
	std::size_t n = 0;
	const char *p = s.data();
	const char *end = p + s.size();
	while (p < end) {
		// Lines that need nothing move as they are, all at once; so does the rest of a line
		// after its tag.
		if (state == st::line_start) {
			std::string_view ahead(p, static_cast<std::size_t>(end - p));
			std::size_t first = first_to_mend<false>(ahead);
			// The last line, when nothing needs tidying, is still read for the state it ends in.
			std::size_t stop = first == ahead.size() ? ahead.find_last_of("\r\n") + 1 : first;
			while (stop > 0 && !line_end(ahead[stop - 1]))
				stop--;
			if (stop > 0) {
				if (out + n != p)
					std::memmove(out + n, p, stop);
				n += stop;
				p += stop;
				continue;
			}
		}
		if (state == st::rest) {
			const char *stop = find_line_end(p, end);
			auto len = static_cast<std::size_t>(stop - p);
			if (out + n != p)
				std::memmove(out + n, p, len);
			n += len;
			p = stop;
			if (p == end)
				break;
		}
		char c = *p++;
		if (line_end(c)) {
			out[n++] = c;
			state = st::line_start;
			continue;
		}
		switch (state) {
		case st::line_start:
			if (blank(c))
				continue;
			state = digit(c) ? st::level : st::rest;
			break;
		case st::level:
		case st::xref_end:
			if (blank(c)) {
				out[n++] = ' ';
				state = state == st::level ? st::level_gap : st::xref_gap;
				continue;
			}
			if (state == st::xref_end || !digit(c))
				state = st::rest;
			break;
		case st::level_gap:
		case st::xref_gap:
			if (blank(c))
				continue;
			state = state == st::level_gap && c == '@' ? st::xref : st::rest;
			break;
		case st::xref:
			if (c == '@')
				state = st::xref_end;
			break;
		case st::rest:
			break;
		}
		out[n++] = c;
	}
	return n;
}

// ---------------------------------------------------------------- decoding

namespace {

constexpr std::size_t marks_max = ansel_marks_max;

struct mark_queue {
	std::array<char32_t, marks_max> marks;
	std::size_t count = 0;
};

std::size_t put_marks(mark_queue &q, char *out)
{
	std::size_t n = 0;
	for (std::size_t i = 0; i < q.count; i++)
		n += put_utf8(q.marks[i], out + n);
	q.count = 0;
	return n;
}

// Whether a segment may end before text[at]: a character that combines with nothing before it.
bool starts_cluster(const char *text, std::size_t n, std::size_t at)
{
	auto b = static_cast<unsigned char>(text[at]);
	if (b < 0x80)
		return true;
	if ((b & 0xC0) == 0x80)
		return false;
	utf8proc_int32_t c;
	utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(text + at), static_cast<utf8proc_ssize_t>(n - at), &c);
	return c >= 0 && utf8proc_get_property(c)->combining_class == 0;
}

// Normalization Form C in place over a decoded ANSEL line, in segments that end before a
// character no composition reaches across.
std::size_t compose(char *text, std::size_t n)
{
	constexpr std::size_t segment_max = 1024;
	static std::array<utf8proc_int32_t, 4 * segment_max> code_points;
	static std::array<char, 4 * segment_max> composed;
	const auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE);
	std::size_t read = 0, written = 0;
	while (read < n) {
		std::size_t end = n - read <= segment_max ? n : read + segment_max;
		while (end < n && end > read + 1 && !starts_cluster(text, n, end))
			end--;
		// With no such character in reach, the segment ends at a character's start.
		if (end == read + 1)
			for (end = read + segment_max; end < n && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;)
				end++;
		std::size_t len = end - read;
		auto got = utf8proc_decompose(reinterpret_cast<const utf8proc_uint8_t *>(text + read),
			static_cast<utf8proc_ssize_t>(len), code_points.data(),
			static_cast<utf8proc_ssize_t>(code_points.size()), options);
		std::size_t out_len = len;
		const char *from = text + read;
		if (got >= 0 && static_cast<std::size_t>(got) <= code_points.size()) {
			got = utf8proc_reencode(code_points.data(), got, options);
			if (got >= 0 && static_cast<std::size_t>(got) <= composed.size()) {
				std::memcpy(composed.data(), code_points.data(), static_cast<std::size_t>(got));
				from = composed.data();
				out_len = static_cast<std::size_t>(got);
			}
		}
		// Composition never lengthens a text, so the result fits where the segment was.
		std::memmove(text + written, from, out_len);
		written += out_len;
		read = end;
	}
	return written;
}


// Where the letter being written began, and whether marks went with it. A letter, its marks
// and the marks left at its line's end are composed together; marks beyond the queue's room
// begin a group of their own, so that no composition reaches across a part of a long line.
struct cluster {
	std::size_t start = 0;
	bool marked = false;
};

// An ASCII letter with one mark of the combining block, the commonest group by far, is
// composed once for each pair and then found in this table: 0 not yet asked, 1 no composed
// form, else the composed character.
constexpr char32_t mark_block = 0x300;
constexpr char32_t mark_block_end = 0x370;
std::array<std::array<char32_t, mark_block_end - mark_block>, 0x80> composed_pairs;

std::size_t compose_group(char *text, std::size_t n)
{
	auto at = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
	if (n == 3 && at(0) < 0x80 && (at(1) & 0xE0) == 0xC0) {
		char32_t mark = (char32_t{at(1)} & 0x1F) << 6 | (char32_t{at(2)} & 0x3F);
		if (mark >= mark_block && mark < mark_block_end) {
			char32_t &pair = composed_pairs[at(0)][mark - mark_block];
			if (pair == 0) {
				std::array<char, 3> probe{text[0], text[1], text[2]};
				auto len = static_cast<utf8proc_ssize_t>(compose(probe.data(), 3));
				utf8proc_int32_t c = 1;
				bool one = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(probe.data()), len, &c) == len;
				pair = one ? static_cast<char32_t>(c) : 1;
			}
			return pair == 1 ? n : put_utf8(pair, text);
		}
	}
	return compose(text, n);
}

std::size_t close_cluster(char *out, std::size_t n, cluster &c)
{
	if (c.marked)
		n = c.start + compose_group(out + c.start, n - c.start);
	c = cluster{n, false};
	return n;
}

// One line (or a part of one) of an 8-bit set into UTF-8; `bad` counts replacements.
std::size_t decode_bytes(decode_state &d, std::string_view raw, char *out, std::size_t &bad)
{
	mark_queue q;
	cluster c;
	std::size_t n = 0;
	auto letter = [&](char32_t ch) {
		n = close_cluster(out, n, c);
		n += put_utf8(ch, out + n);
		c.marked = q.count > 0;
		n += put_marks(q, out + n);
	};
	for (std::size_t i = 0; i < raw.size(); i++) {
		auto b = static_cast<unsigned char>(raw[i]);
		if (line_end(static_cast<char>(b))) {
			c.marked = c.marked || q.count > 0;
			n += put_marks(q, out + n);
			n = close_cluster(out, n, c);
			out[n++] = static_cast<char>(b);
			c.start = n;
			continue;
		}
		if (b < 0x80 && q.count == 0) {
			// A run of plain letters and line ends, with no mark waiting: each letter is its
			// own group, the last one open for marks left at the line's end.
			const char *stop = find_high(raw.data() + i, raw.data() + raw.size());
			auto len = static_cast<std::size_t>(stop - raw.data()) - i;
			n = close_cluster(out, n, c);
			std::memcpy(out + n, raw.data() + i, len);
			n += len;
			c.start = n - 1;
			i += len - 1;
			continue;
		}
		if (b < 0x80) {
			letter(b);
			continue;
		}
		if (d.named)
			settle_named(d, raw.substr(i));
		if (d.set == ged_charset::utf8) {
			std::size_t len = utf8_sequence(raw.substr(i));
			if (len != 0) {
				std::memcpy(out + n, raw.data() + i, len);
				n += len;
				i += len - 1;
			} else {
				n += put_utf8(cp1252_char(b), out + n);
				bad++;
			}
		} else if (d.set == ged_charset::cp1252) {
			n += put_utf8(cp1252_char(b), out + n);
		} else if (char32_t mark = ansel_mark(b); mark != 0) {
			if (q.count == marks_max) {
				n = close_cluster(out, n, c);
				c.marked = true;
				n += put_marks(q, out + n);
				n = close_cluster(out, n, c);
			}
			q.marks[q.count++] = mark;
		} else {
			char32_t ch = ansel_char(b);
			if (ch == 0) {
				ch = replacement_char;
				bad++;
			}
			letter(ch);
		}
	}
	// A part of a long line ends inside a run of marks only where the queue is full, and there
	// the whole line would have begun a new group too.
	if (q.count == marks_max)
		n = close_cluster(out, n, c);
	c.marked = c.marked || q.count > 0;
	n += put_marks(q, out + n);
	return close_cluster(out, n, c);
}

char16_t utf16_unit(ged_charset set, std::string_view raw, std::size_t i)
{
	auto lo = static_cast<unsigned char>(raw[set == ged_charset::utf16le ? i : i + 1]);
	auto hi = static_cast<unsigned char>(raw[set == ged_charset::utf16le ? i + 1 : i]);
	return static_cast<char16_t>(hi << 8 | lo);
}

std::size_t decode_utf16(ged_charset set, std::string_view raw, char *out, std::size_t &bad)
{
	std::size_t n = 0;
	std::size_t i = 0;
	for (; i + 2 <= raw.size(); i += 2) {
#if defined(__SSE2__)
		// Eight units at a time while they are all ASCII.
		const __m128i not_ascii = _mm_set1_epi16(static_cast<short>(0xFF80));
		while (i + 16 <= raw.size()) {
			__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(raw.data() + i));
			if (set == ged_charset::utf16be)
				v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
			__m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, not_ascii), _mm_setzero_si128());
			if (_mm_movemask_epi8(ascii) != 0xFFFF)
				break;
			_mm_storel_epi64(reinterpret_cast<__m128i *>(out + n), _mm_packus_epi16(v, v));
			n += 8;
			i += 16;
		}
		if (i + 2 > raw.size())
			break;
#endif
		char32_t c = utf16_unit(set, raw, i);
		if (c >= 0xD800 && c < 0xDC00 && i + 4 <= raw.size()) {
			char32_t low = utf16_unit(set, raw, i + 2);
			if (low >= 0xDC00 && low < 0xE000) {
				c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
				i += 2;
			}
		}
		if (c >= 0xD800 && c < 0xE000) {
			c = replacement_char;
			bad++;
		}
		n += put_utf8(c, out + n);
	}
	if (i < raw.size()) {
		n += put_utf8(replacement_char, out + n);
		bad++;
	}
	return n;
}

std::size_t decode_line(decode_state &d, std::string_view raw, char *out, std::size_t &bad)
{
	if (d.set == ged_charset::utf16le || d.set == ged_charset::utf16be)
		return decode_utf16(d.set, raw, out, bad);
	return decode_bytes(d, raw, out, bad);
}

} // namespace

std::size_t line_end_in(ged_charset set, std::string_view raw)
{
	if (set == ged_charset::utf16le || set == ged_charset::utf16be) {
		for (std::size_t i = 0; i + 2 <= raw.size(); i += 2) {
			char16_t u = utf16_unit(set, raw, i);
			if (u == '\n' || u == '\r')
				return i + 2;
		}
		return std::string_view::npos;
	}
	const char *end = find_line_end(raw.data(), raw.data() + raw.size());
	return end == raw.data() + raw.size() ? std::string_view::npos : static_cast<std::size_t>(end - raw.data()) + 1;
}

std::size_t last_line_end_in(ged_charset set, std::string_view raw)
{
	if (set == ged_charset::utf16le || set == ged_charset::utf16be) {
		for (std::size_t i = raw.size() & ~std::size_t{1}; i >= 2; i -= 2) {
			char16_t u = utf16_unit(set, raw, i - 2);
			if (u == '\n' || u == '\r')
				return i;
		}
		return std::string_view::npos;
	}
	// Each end found is looked for again only before the other, so the search reads raw once.
	std::size_t end = 0;
	for (char c : {'\n', '\r'}) {
		const void *at = memrchr(raw.data() + end, c, raw.size() - end);
		if (at)
			end = static_cast<std::size_t>(static_cast<const char *>(at) - raw.data()) + 1;
	}
	return end == 0 ? std::string_view::npos : end;
}

// Whether the ANSEL marks that begin at c are followed by their letter within raw, rather
// than left at the end of their line (where they join the letter before them).
static bool marks_lead_to_letter(std::string_view raw, std::size_t c)
{
	while (c < raw.size() && ansel_mark(static_cast<unsigned char>(raw[c])) != 0)
		c++;
	return c < raw.size() && !line_end(raw[c]);
}

std::size_t safe_cut(const decode_state &d, std::string_view raw, std::size_t most)
{
	if (most >= raw.size())
		return raw.size();
	if (d.set == ged_charset::utf16le || d.set == ged_charset::utf16be) {
		std::size_t c = most & ~std::size_t{1};
		if (c >= 2) {
			char16_t u = utf16_unit(d.set, raw, c - 2);
			if (u >= 0xD800 && u < 0xDC00)
				c -= 2;
		}
		return c > 0 ? c : raw.size() < 2 ? raw.size() : 2;
	}
	// An ANSEL letter ends its marks, and so does a full queue of them when another follows;
	// no UTF-8 sequence begins with a continuation byte.
	auto at = [&raw](std::size_t c) { return static_cast<unsigned char>(raw[c]); };
	// A file still to be decided is cut by the rules of what its first byte of 0x80 or above
	// will make it: cut by both, a long letter group could find no place to end.
	if (d.named) {
		std::size_t k = 0;
		while (k <= most && at(k) < 0x80)
			k++;
		if (k > most)
			return most > 0 ? most : 1;
		decode_state settled = d;
		settle_named(settled, raw.substr(k));
		return safe_cut(settled, raw, most);
	}
	auto marks_before = [&](std::size_t c) {
		std::size_t n = 0;
		while (n < c && ansel_mark(at(c - 1 - n)) != 0)
			n++;
		return n;
	};
	for (std::size_t c = most; c > 0; c--) {
		std::size_t run = d.set == ged_charset::ansel ? marks_before(c) : 0;
		bool next_mark = d.set == ged_charset::ansel && ansel_mark(at(c)) != 0;
		bool letter_done = run == 0 ? !next_mark || marks_lead_to_letter(raw, c) : run % marks_max == 0 && next_mark;
		bool sequence_done = d.set == ged_charset::ansel || (at(c) & 0xC0) != 0x80;
		if (letter_done && sequence_done)
			return c;
	}
	return most > 0 ? most : 1;
}

std::size_t decode_part(decode_state &d, std::string_view raw, char *out, std::uint64_t base,
	const invalid_sink &sink)
{
	// The part is decoded whole; only when a byte was replaced, and someone is told where,
	// is it decoded again a line at a time, to tell the line.
	decode_state before = d;
	std::size_t replaced = 0;
	std::size_t whole = decode_line(d, raw, out, replaced);
	if (replaced == 0 || !sink.note)
		return tidy_prefixes(d.prefix, {out, whole}, out);
	d = before;
	std::size_t n = 0;
	while (!raw.empty()) {
		std::size_t end = line_end_in(d.set, raw);
		if (end == std::string_view::npos)
			end = raw.size();
		std::size_t bad = 0;
		std::size_t len = decode_line(d, raw.substr(0, end), out + n, bad);
		std::size_t tidied = tidy_prefixes(d.prefix, {out + n, len}, out + n);
		// A replaced byte is reported at the start of its line in the text, which tidying
		// leaves where it is.
		for (; bad > 0 && sink.note; bad--)
			sink.note(sink.context, base + n);
		n += tidied;
		raw.remove_prefix(end);
	}
	return n;
}
