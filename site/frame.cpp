// What every page shares: its head, the header with the title and the search box, the footer,
// and the way a person is named and linked.
#include "site.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <charconv>

const person_info *person_at(const site_state &site, int record)
{
	if (record < 0 || static_cast<std::size_t>(record) >= site.person_of.size())
		return nullptr;
	int p = site.person_of[static_cast<std::size_t>(record)];
	return p < 0 ? nullptr : &site.people[static_cast<std::size_t>(p)];
}

void append_years(std::string &out, const person_info &p)
{
	if (p.born == 0 && p.died == 0)
		return;
	std::array<char, 16> digits{};
	if (p.born)
		out.append(digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), p.born).ptr);
	out += "\u2013";
	if (p.died)
		out.append(digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), p.died).ptr);
}

std::string years_text(const person_info &p)
{
	std::string text;
	append_years(text, p);
	return text;
}

void append_person_link(std::string &out, const site_state &site, int record, std::string_view root)
{
	const person_info *p = person_at(site, record);
	if (!p)
		return;
	if (!p->shown) {
		out += "<span class=\"private\">Private</span>";
		return;
	}
	out += "<a href=\"";
	out += root;
	out += "people/";
	append_page_name(out, site.tree.records[static_cast<std::size_t>(record)].xref);
	out += ".html\">";
	append_escaped(out, p->name.empty() ? std::string_view("(no name)") : std::string_view(p->name));
	out += "</a>";
	if (p->born || p->died) {
		out += " <span class=\"years\">";
		append_years(out, *p);
		out += "</span>";
	}
}

void append_page_start(std::string &out, const site_state &site, std::string_view title, std::string_view root)
{
	out += "<!DOCTYPE html>\n<html lang=\"";
	append_escaped(out, site.lang);
	out += "\">\n<head>\n<meta charset=\"utf-8\">\n"
	       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
	append_escaped(out, title);
	if (title != site.title) {
		out += " \u2013 ";
		append_escaped(out, site.title);
	}
	out += "</title>\n<link rel=\"stylesheet\" href=\"";
	out += root;
	out += "style.css\">\n<script src=\"";
	out += root;
	out += "search.js\" defer></script>\n</head>\n<body>\n<header class=\"top\">\n<a class=\"site\" href=\"";
	out += root;
	out += "index.html\">";
	append_escaped(out, site.title);
	out += "</a>\n<form class=\"search\" role=\"search\" action=\"#\">\n"
	       "<label for=\"search\">Find a person</label>\n"
	       "<input type=\"search\" id=\"search\" name=\"q\" placeholder=\"Name\" autocomplete=\"off\" "
	       "aria-controls=\"search-results\" data-root=\"";
	out += root;
	out += "\">\n<ul id=\"search-results\" class=\"results\" aria-live=\"polite\"></ul>\n</form>\n"
	       "</header>\n<main>\n";
}

void append_page_end(std::string &out, const site_state &site)
{
	out += "</main>\n<footer>Made by lineagesite on ";
	append_escaped(out, site.made_on);
	out += ".</footer>\n</body>\n</html>\n";
}

// The shown people in the order of the indexes: by name folded, then birth, then record.
std::vector<const person_info *> shown_people(const site_state &site)
{
	std::vector<const person_info *> shown;
	for (const person_info &p : site.people)
		if (p.shown)
			shown.push_back(&p);
	std::sort(shown.begin(), shown.end(), [](const person_info *a, const person_info *b) {
		return std::tie(a->folded, a->born, a->record) < std::tie(b->folded, b->born, b->record);
	});
	return shown;
}
