// The page around every report, and the writers that escape what comes from the input.
#include "lineagehtml.h"

namespace {

// A written line is gathered here and handed to the stream in one call.
std::array<char, 2048> line;
std::size_t used;

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

void flush_line(FILE *out)
{
	if (used > 0)
		std::fwrite(line.data(), 1, used, out);
	used = 0;
}

void put_raw(FILE *out, std::string_view s)
{
	while (!s.empty()) {
		if (used == line.size())
			flush_line(out);
		std::size_t n = s.size() < line.size() - used ? s.size() : line.size() - used;
		std::memcpy(line.data() + used, s.data(), n);
		used += n;
		s.remove_prefix(n);
	}
}

void put_escaped(FILE *out, std::string_view s)
{
	std::size_t start = 0;
	for (std::size_t i = 0; i < s.size(); ++i) {
		if (needs_escape[static_cast<unsigned char>(s[i])]) {
			put_raw(out, s.substr(start, i - start));
			put_raw(out, entity(s[i]));
			start = i + 1;
		}
	}
	put_raw(out, s.substr(start));
}

} // namespace

void write_parts(FILE *out, std::initializer_list<out_part> parts)
{
	for (const out_part& p : parts) {
		if (p.from_input)
			put_escaped(out, p.text);
		else
			put_raw(out, p.text);
	}
	flush_line(out);
}

void write_escaped(FILE *out, std::string_view text)
{
	write_parts(out, {{text, true}});
}

void print_page_start(FILE *out)
{
	std::fputs("<html>\n", out);
	std::fputs("<head>\n", out);
	write_parts(out, {{"<title> Lineagehtml on ", false}, {filename, true}, {" </title>\n", false}});
	std::fputs("</head>\n", out);
	std::fputs("<body bgcolor=#FFFFFF>\n", out);
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
