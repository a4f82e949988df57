// The page around every report, and the writers that escape what comes from the input.
#include "lineagehtml.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Written text gathers here and goes to the stream in large blocks; a report line is a
// handful of short parts, and one stream call per part would cost more than the copy.
alignas(4096) std::array<char, 1 << 17> pending;
std::size_t used;

constexpr std::size_t page_size = 4096;

// Makes room for `need` bytes. It writes what is held only up to the last page boundary of
// the file and keeps the rest, because the kernel takes writes that end on a page boundary
// markedly faster than writes that end inside a page.
void make_room(FILE *out, std::size_t need)
{
	if (pending.size() - used >= need)
		return;
	off_t at = ftello(out);
	std::size_t skew = at >= 0 ? static_cast<std::size_t>(at) % page_size : 0;
	std::size_t whole = (skew + used) / page_size * page_size;
	if (whole > skew && pending.size() - (skew + used - whole) >= need) {
		std::size_t n = whole - skew;
		std::fwrite(pending.data(), 1, n, out);
		std::memmove(pending.data(), pending.data() + n, used - n);
		used -= n;
		return;
	}
	flush_output(out);
}

constexpr std::size_t longest_entity = 6;

constexpr std::array<bool, 256> needs_escape = [] {
	std::array<bool, 256> t{};
	t['&'] = t['<'] = t['>'] = t['"'] = true;
	return t;
}();

std::string_view entity(char c)
{
	switch (c) {
	case '&':
		return "&amp;";
	case '<':
		return "&lt;";
	case '>':
		return "&gt;";
	default:
		return "&quot;";
	}
}

[[gnu::always_inline]] inline char *copy_raw(char *to, std::string_view s)
{
	copy_short(to, s.data(), s.size());
	return to + s.size();
}

// Copies from `i` on, character by character, writing entities where they are needed.
char *copy_escaped_from(char *to, std::string_view s, std::size_t i)
{
	std::size_t start = i;
	for (; i < s.size(); ++i) {
		if (needs_escape[static_cast<unsigned char>(s[i])]) {
			to = copy_raw(to, s.substr(start, i - start));
			to = copy_raw(to, entity(s[i]));
			start = i + 1;
		}
	}
	return copy_raw(to, s.substr(start));
}

#if defined(__SSE2__)
// True when none of the sixteen characters needs an entity.
bool clean(__m128i v)
{
	__m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')),
						_mm_cmpeq_epi8(v, _mm_set1_epi8('<'))),
				   _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('>')),
						_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
	return _mm_movemask_epi8(hit) == 0;
}

template <std::size_t K>
__m128i load_low(const char *from)
{
	if constexpr (K == 8) {
		long long w;
		std::memcpy(&w, from, K);
		return _mm_cvtsi64_si128(w);
	} else {
		int w;
		std::memcpy(&w, from, K);
		return _mm_cvtsi32_si128(w);
	}
}

// A text of K to 2K characters is tested as its first and its last K, which may overlap;
// nothing outside the text is read.
template <std::size_t K>
bool copy_if_clean(char *to, const char *from, std::size_t n)
{
	if (!clean(_mm_unpacklo_epi64(load_low<K>(from), load_low<K>(from + n - K))))
		return false;
	move_bytes<K>(to, from);
	move_bytes<K>(to + n - K, from + n - K);
	return true;
}
#endif

// The caller leaves room for every character to become the longest entity. Most texts
// hold no character that needs one; they are tested and copied in whole registers, and
// only a text with such a character goes through the careful loop.
[[gnu::always_inline]] inline char *copy_escaped(char *to, std::string_view s)
{
	std::size_t n = s.size();
#if defined(__SSE2__)
	const char *from = s.data();
	if (n >= 16) {
		std::size_t i = 0;
		for (; i + 16 <= n; i += 16) {
			__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + i));
			if (!clean(v))
				return copy_escaped_from(to + i, s, i);
			_mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), v);
		}
		if (i == n)
			return to + n;
		// The last sixteen characters overlap those already copied, which were clean.
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + n - 16));
		if (!clean(v))
			return copy_escaped_from(to + i, s, i);
		_mm_storeu_si128(reinterpret_cast<__m128i *>(to + n - 16), v);
		return to + n;
	}
	if (n >= 8 && copy_if_clean<8>(to, from, n))
		return to + n;
	if (n >= 4 && n < 8 && copy_if_clean<4>(to, from, n))
		return to + n;
#endif
	if (n < 4) {
		bool plain = true;
		for (std::size_t k = 0; k < n; ++k)
			plain = plain && !needs_escape[static_cast<unsigned char>(s[k])];
		if (plain)
			return copy_raw(to, s);
	}
	return copy_escaped_from(to, s, 0);
}

// Texts too long for the buffer (a file name may be) go through it in slices.
void put_long(FILE *out, std::string_view s, bool from_input)
{
	constexpr std::size_t slice = pending.size() / longest_entity;
	while (!s.empty()) {
		std::string_view part = s.substr(0, slice);
		make_room(out, part.size() * longest_entity);
		char *end = from_input ? copy_escaped(pending.data() + used, part)
				       : copy_raw(pending.data() + used, part);
		used = end - pending.data();
		s.remove_prefix(part.size());
	}
}

} // namespace

void flush_output(FILE *out)
{
	if (used > 0)
		std::fwrite(pending.data(), 1, used, out);
	used = 0;
}

// Where a line of at most `need` bytes goes in the buffer; null when the line is larger than
// the buffer, and so to be written in parts. The parts are named only on that path: built for
// every line, their list cost more stores than the line's own copy.
[[gnu::always_inline]] inline char *room_for(FILE *out, std::size_t need)
{
	if (need <= pending.size() - used)
		return pending.data() + used;
	if (need > pending.size())
		return nullptr;
	make_room(out, need);
	return pending.data() + used;
}

void write_line(FILE *out, std::string_view bullet, std::string_view label, std::string_view value,
		std::string_view after)
{
	std::size_t need = bullet.size() + label.size() + value.size() * longest_entity + after.size();
	char *to = room_for(out, need);
	if (!to) {
		write_parts(out, {{bullet, false}, {label, false}, {value, true}, {after, false}});
		return;
	}
	to = copy_raw(to, bullet);
	to = copy_raw(to, label);
	to = copy_escaped(to, value);
	to = copy_raw(to, after);
	used = to - pending.data();
}


void write_member_line(FILE *out, std::string_view bullet, std::string_view label, std::string_view image,
		       std::string_view bold, std::string_view name, std::string_view born, std::string_view died)
{
	constexpr std::string_view name_end = "</b> (";
	constexpr std::string_view dash = " - ";
	constexpr std::string_view close = ")";
	std::size_t need = bullet.size() + label.size() + image.size() + bold.size() + name_end.size() +
			   dash.size() + close.size() + (name.size() + born.size() + died.size()) * longest_entity;
	char *to = room_for(out, need);
	if (!to) {
		write_parts(out, {{bullet, false}, {label, false}, {image, false}, {bold, false}, {name, true},
				  {name_end, false}, {born, true}, {dash, false}, {died, true}, {close, false}});
		return;
	}
	to = copy_raw(to, bullet);
	to = copy_raw(to, label);
	to = copy_raw(to, image);
	to = copy_raw(to, bold);
	to = copy_escaped(to, name);
	to = copy_raw(to, name_end);
	to = copy_escaped(to, born);
	to = copy_raw(to, dash);
	to = copy_escaped(to, died);
	to = copy_raw(to, close);
	used = to - pending.data();
}

void write_parts(FILE *out, std::initializer_list<out_part> parts)
{
	std::size_t need = 0;
	for (const out_part& p : parts)
		need += p.from_input ? p.text.size() * longest_entity : p.text.size();
	if (need > pending.size()) {
		for (const out_part& p : parts)
			put_long(out, p.text, p.from_input);
		return;
	}
	make_room(out, need);
	char *to = pending.data() + used;
	for (const out_part& p : parts)
		to = p.from_input ? copy_escaped(to, p.text) : copy_raw(to, p.text);
	used = to - pending.data();
}

void print_page_start(FILE *out)
{
	write_parts(out, {{"<html>\n<head>\n<meta charset=\"utf-8\">\n<title> Lineagehtml on ", false}, {filename, true},
			  {" </title>\n</head>\n<body bgcolor=#FFFFFF>\n", false}});
	flush_output(out);
}

void print_head(FILE *out)
{
	switch (option) {
	case 's':
		std::fputs("<img src=gedbase.gif align=center /> <b>Surname Report</b><br />\n", out);
		break;
	case 'f':
		std::fputs("<b><font color=009500>Family Report</font></b><br />\n", out);
		break;
	case 'i':
		std::fputs("<b><font color=009500>Individuals Report</font></b><br />\n", out);
		break;
	case 't':
		std::fputs("<img src=gedbase.gif align=center /> <b><font color=009500>Header and Base Report"
			   "</font></b>\n", out);
		break;
	default:
		break;
	}
}

void print_tail(FILE *out)
{
	std::fprintf(out, "<hr><h5>Written by Lineagehtml, GEDCOM to HTML reports, Version %s\n", r_version);
	std::fputs("</h5>\n", out);
}

void print_page_end(FILE *out)
{
	std::fputs("</body>\n", out);
	std::fputs("</html>\n", out);
}
