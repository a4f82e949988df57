// Decoding: the bytes of every set GEDCOM files are written in turned into UTF-8, whole lines
// or parts of them cut where no character is split.
#include "charset.h"
#include "span.h"

#include <array>
#include <cstring>

#include <utf8proc.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A letter, closing the group before it, with the marks that wait for it.
std::size_t put_letter(char32_t ch, mark_queue &q, cluster &c, char *out, std::size_t n)
{
	n = close_cluster(out, n, c);
	n += put_utf8(ch, out + n);
	c.marked = q.count > 0;
	return n + put_marks(q, out + n);
}

// An ANSEL byte of 0x80 or above: a mark waits for its letter, where a full queue of them
// begins a group of its own.
std::size_t put_ansel_high(unsigned char b, mark_queue &q, cluster &c, char *out, std::size_t n, std::size_t &bad)
{
	if (char32_t mark = ansel_mark(b); mark != 0) {
		if (q.count == marks_max) {
			n = close_cluster(out, n, c);
			c.marked = true;
			n += put_marks(q, out + n);
			n = close_cluster(out, n, c);
		}
		q.marks[q.count++] = mark;
		return n;
	}
	char32_t ch = ansel_char(b);
	if (ch == 0) {
		ch = replacement_char;
		bad++;
	}
	return put_letter(ch, q, c, out, n);
}

// A byte of 0x80 or above, at the start of `rest`, of a file read as UTF-8 or windows-1252,
// written at out + n; the bytes of rest it takes.
std::size_t put_single_high(ged_charset set, std::string_view rest, char *out, std::size_t &n, std::size_t &bad)
{
	auto b = static_cast<unsigned char>(rest[0]);
	std::size_t len = set == ged_charset::utf8 ? utf8_sequence(rest) : 1;
	if (set == ged_charset::utf8 && len != 0) {
		std::memcpy(out + n, rest.data(), len);
		n += len;
		return len;
	}
	n += put_utf8(cp1252_char(b), out + n);
	bad += set == ged_charset::utf8;
	return 1;
}

// One line (or a part of one) of an 8-bit set into UTF-8; `bad` counts replacements.
std::size_t decode_bytes(decode_state &d, std::string_view raw, char *out, std::size_t &bad)
{
	mark_queue q;
	cluster c;
	std::size_t n = 0;
	for (std::size_t i = 0; i < raw.size(); i++) {
		auto b = static_cast<unsigned char>(raw[i]);
		if (is_line_end(static_cast<char>(b))) {
			c.marked = c.marked || q.count > 0;
			n += put_marks(q, out + n);
			n = close_cluster(out, n, c);
			out[n++] = static_cast<char>(b);
			c.start = n;
		} else if (b < 0x80 && q.count == 0) {
			// A run of plain letters and line ends, with no mark waiting: each letter is its
			// own group, the last one open for marks left at the line's end.
			const char *stop = find_high(raw.data() + i, raw.data() + raw.size());
			auto len = static_cast<std::size_t>(stop - raw.data()) - i;
			n = close_cluster(out, n, c);
			std::memcpy(out + n, raw.data() + i, len);
			n += len;
			c.start = n - 1;
			i += len - 1;
		} else if (b < 0x80) {
			n = put_letter(b, q, c, out, n);
		} else {
			if (d.named)
				settle_named(d, raw.substr(i));
			if (d.set == ged_charset::ansel)
				n = put_ansel_high(b, q, c, out, n, bad);
			else
				i += put_single_high(d.set, raw.substr(i), out, n, bad) - 1;
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
	return c < raw.size() && !is_line_end(raw[c]);
}

// Where a part of UTF-16 may end: after a whole unit, and not inside a pair of surrogates.
static std::size_t utf16_cut(ged_charset set, std::string_view raw, std::size_t most)
{
	std::size_t c = most & ~std::size_t{1};
	if (c >= 2) {
		char16_t u = utf16_unit(set, raw, c - 2);
		if (u >= 0xD800 && u < 0xDC00)
			c -= 2;
	}
	return c > 0 ? c : raw.size() < 2 ? raw.size() : 2;
}

std::size_t safe_cut(const decode_state &d, std::string_view raw, std::size_t most)
{
	if (most >= raw.size())
		return raw.size();
	if (d.set == ged_charset::utf16le || d.set == ged_charset::utf16be)
		return utf16_cut(d.set, raw, most);
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
		return tidy_prefixes(d.prefix, {out, whole}, out, &sink, base);
	d = before;
	std::size_t n = 0;
	while (!raw.empty()) {
		std::size_t end = line_end_in(d.set, raw);
		if (end == std::string_view::npos)
			end = raw.size();
		std::size_t bad = 0;
		std::size_t len = decode_line(d, raw.substr(0, end), out + n, bad);
		std::size_t tidied = tidy_prefixes(d.prefix, {out + n, len}, out + n, &sink, base + n);
		// A replaced byte is reported at the start of its line in the text, which tidying
		// leaves where it is.
		for (; bad > 0 && sink.note; bad--)
			sink.note(sink.context, base + n);
		n += tidied;
		raw.remove_prefix(end);
	}
	return n;
}
