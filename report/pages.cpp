// The page around every report, and the writers that escape what comes from the input.
#include "lineagehtml.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Written text gathers here and goes to the stream in large blocks; a report line is a
// handful of short parts, and one stream call per part would cost more than the copy.
std::array<char, 1 << 16> pending;
std::size_t used;

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

char *copy_raw(char *to, std::string_view s)
{
	if (!s.empty())
		std::memcpy(to, s.data(), s.size());
	return to + s.size();
}

// The caller leaves room for every character to become the longest entity.
char *copy_escaped(char *to, std::string_view s)
{
	std::size_t i = 0;
#if defined(__SSE2__)
	// Sixteen characters at a time while none of them needs an entity.
	const __m128i amp = _mm_set1_epi8('&');
	const __m128i lt = _mm_set1_epi8('<');
	const __m128i gt = _mm_set1_epi8('>');
	const __m128i quot = _mm_set1_epi8('"');
	while (i + 16 <= s.size()) {
		__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.data() + i));
		__m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, amp), _mm_cmpeq_epi8(v, lt)),
					   _mm_or_si128(_mm_cmpeq_epi8(v, gt), _mm_cmpeq_epi8(v, quot)));
		unsigned mask = _mm_movemask_epi8(hit);
		if (mask == 0) {
			_mm_storeu_si128(reinterpret_cast<__m128i *>(to), v);
			to += 16;
			i += 16;
			continue;
		}
		std::size_t k = __builtin_ctz(mask);
		to = copy_raw(to, s.substr(i, k));
		to = copy_raw(to, entity(s[i + k]));
		i += k + 1;
	}
#endif
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

// Texts too long for the buffer (a file name may be) go through it in slices.
void put_long(FILE *out, std::string_view s, bool from_input)
{
	constexpr std::size_t slice = pending.size() / longest_entity;
	while (!s.empty()) {
		std::string_view part = s.substr(0, slice);
		if (pending.size() - used < part.size() * longest_entity)
			flush_output(out);
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
	if (pending.size() - used < need)
		flush_output(out);
	char *to = pending.data() + used;
	for (const out_part& p : parts)
		to = p.from_input ? copy_escaped(to, p.text) : copy_raw(to, p.text);
	used = to - pending.data();
}

void print_page_start(FILE *out)
{
	write_parts(out, {{"<html>\n<head>\n<title> Lineagehtml on ", false}, {filename, true},
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
