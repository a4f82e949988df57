// grammar: the careful cut of a line, for every line the quick one does not take.
#include "grammar.h"

namespace {

// Levels beyond this read as this; no reader tells them apart.
constexpr int level_cap = 1000000;

std::size_t skip_blanks(std::string_view s, std::size_t i)
{
	while (i < s.size() && is_blank(s[i]))
		++i;
	return i;
}

std::size_t skip_word(std::string_view s, std::size_t i)
{
	while (i < s.size() && !is_blank(s[i]))
		++i;
	return i;
}

void fault_at(line_parts &g, line_fault why, std::string_view rest)
{
	if (g.fault == line_fault::none) {
		g.fault = why;
		g.faulty = rest.substr(0, skip_word(rest, 0));
	}
}

// The level at i; i is left after its digits.
void cut_level(line_parts &g, std::string_view t, std::size_t &i)
{
	std::size_t start = i;
	g.level = 0;
	for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
		g.level = g.level < level_cap ? g.level * 10 + (t[i] - '0') : level_cap;
	if (i < t.size() && !is_blank(t[i])) {
		fault_at(g, line_fault::no_level, t.substr(start));
		return;
	}
	std::string_view digits = t.substr(start, i - start);
	if (digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) {
		g.odd_level = digits;
		std::size_t first = digits.find_first_not_of('0');
		if (first != std::string_view::npos && digits.size() - first > 2)
			g.fault = line_fault::deep_level;
	}
}

void cut_xref(line_parts &g, std::string_view t, std::size_t &i)
{
	std::size_t close = t.find('@', i + 1);
	if (close == std::string_view::npos || close == i + 1 || (close + 1 < t.size() && !is_blank(t[close + 1])))
		fault_at(g, line_fault::bad_xref, t.substr(i));
	std::size_t end = close == std::string_view::npos ? skip_word(t, i) : close + 1;
	g.xref = t.substr(i, end - i);
	i = skip_blanks(t, end);
}

} // namespace

line_parts cut_line(std::string_view t)
{
	line_parts g{-1, line_fault::none, {}, {}, {}, {}, {}};
	std::size_t i = skip_blanks(t, 0);
	if (i == t.size()) {
		g.fault = line_fault::empty;
		return g;
	}
	if (t[i] < '0' || t[i] > '9') {
		fault_at(g, line_fault::no_level, t.substr(i));
		return g;
	}
	cut_level(g, t, i);
	i = skip_blanks(t, i);
	if (i < t.size() && t[i] == '@')
		cut_xref(g, t, i);
	std::size_t end = i;
	while (end < t.size() && tag_char(static_cast<unsigned char>(t[end])))
		++end;
	if (end == i || (end < t.size() && t[end] != ' '))
		fault_at(g, line_fault::no_tag, t.substr(i));
	std::size_t tag_end = skip_word(t, i);
	g.tag = t.substr(i, tag_end - i);
	g.value = tag_end < t.size() ? t.substr(tag_end + 1) : std::string_view{};
	return g;
}
