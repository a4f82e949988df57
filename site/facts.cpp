// Events, notes, citations and media as the record pages show them.
#include "facts.h"

#include "grammar.h"
#include "text.h"

#include <algorithm>
#include <vector>

void append_text(std::string &out, std::string_view text)
{
	std::size_t start = 0;
	for (std::size_t cut = text.find('\n'); cut != std::string_view::npos; cut = text.find('\n', start)) {
		append_escaped(out, text.substr(start, cut - start));
		out += "<br>";
		start = cut + 1;
	}
	append_escaped(out, text.substr(start));
}

void append_note(std::string &out, const site_state &site, std::uint32_t line)
{
	const family_tree &tree = site.tree;
	int r = line_target(tree, line);
	bool shared = r != no_record && (tree.records[static_cast<std::size_t>(r)].kind == record_kind::note ||
					 tree.records[static_cast<std::size_t>(r)].kind == record_kind::snote);
	std::string text = shared ? long_value(tree, tree.records[static_cast<std::size_t>(r)].first)
				  : long_value(tree, line);
	std::string_view value = line_value(tree, line);
	bool dangling = !shared && value.size() > 2 && value.front() == '@' && value.back() == '@';
	if (text.empty() || dangling)
		return;
	out += "<p class=\"note\">";
	append_text(out, text);
	out += "</p>\n";
}

void append_citation(std::string &out, const site_state &site, std::uint32_t line, std::string_view root)
{
	const family_tree &tree = site.tree;
	int r = line_target(tree, line);
	out += "<li class=\"cite\">";
	if (r != no_record && tree.records[static_cast<std::size_t>(r)].kind == record_kind::sour) {
		const site_record &s = tree.records[static_cast<std::size_t>(r)];
		std::string_view title = sub_value(tree, s.first, "TITL");
		out += "<a href=\"";
		out += root;
		out += "sources/" + page_name(s.xref) + ".html\">";
		append_escaped(out, title.empty() ? s.xref : title);
		out += "</a>";
	} else if (line_value(tree, line).empty() || line_value(tree, line).front() == '@') {
		out += "Unknown source";
	} else {
		append_text(out, long_value(tree, line));
	}
	std::string_view page = sub_value(tree, line, "PAGE");
	if (!page.empty()) {
		out += ", ";
		append_escaped(out, page);
	}
	out += "</li>\n";
}

std::string_view place_of(const site_state &site, std::uint32_t line)
{
	return trim_blanks(sub_value(site.tree, line, "PLAC"));
}

namespace {

void append_detail(std::string &out, std::string_view cls, std::string_view label, std::string_view value)
{
	if (value.empty())
		return;
	out += " <span class=\"";
	out += cls;
	out += "\">";
	out += label;
	append_escaped(out, value);
	out += "</span>";
}

void append_place(std::string &out, const site_state &site, std::string_view place, std::string_view root)
{
	if (place.empty())
		return;
	auto href = site.place_href.find(std::string(place));
	out += " <span class=\"place\">";
	if (href != site.place_href.end()) {
		out += "<a href=\"";
		out += root;
		out += href->second + "\">";
		append_escaped(out, place);
		out += "</a>";
	} else {
		append_escaped(out, place);
	}
	out += "</span>";
}

void append_subnotes(std::string &out, const site_state &site, std::uint32_t line, std::string_view root)
{
	const family_tree &tree = site.tree;
	std::uint32_t end = sub_end(tree, line, static_cast<std::uint32_t>(tree.lines.size()));
	std::string cites;
	for (std::uint32_t i = line + 1; i < end; ++i) {
		if (tree.lines[i].level != tree.lines[line].level + 1)
			continue;
		if (line_tag(tree, i) == "NOTE" || line_tag(tree, i) == "SNOTE")
			append_note(out, site, i);
		else if (line_tag(tree, i) == "SOUR")
			append_citation(cites, site, i, root);
	}
	if (!cites.empty())
		out += "<ul class=\"sources\">\n" + cites + "</ul>\n";
}

} // namespace

void append_event(std::string &out, const site_state &site, std::uint32_t line, std::string_view label,
		  std::string_view root)
{
	const family_tree &tree = site.tree;
	std::string_view value = line_value(tree, line);
	out += "<li><span class=\"what\">";
	append_escaped(out, label);
	out += "</span>";
	if (!value.empty() && value != "Y")
		append_detail(out, "value", "", value);
	append_detail(out, "type", "", sub_value(tree, line, "TYPE"));
	append_detail(out, "date", "", sub_value(tree, line, "DATE"));
	append_place(out, site, place_of(site, line), root);
	append_detail(out, "age", "age ", sub_value(tree, line, "AGE"));
	append_detail(out, "cause", "cause: ", sub_value(tree, line, "CAUS"));
	append_subnotes(out, site, line, root);
	out += "</li>\n";
}

std::string events_list(const site_state &site, std::uint32_t first, std::uint32_t end, event_labels label,
			std::string_view root)
{
	struct dated {
		std::uint32_t key;
		std::uint32_t line;
	};
	std::vector<dated> events;
	std::uint32_t last = 0;
	for (std::uint32_t i = first + 1; i < end; ++i) {
		if (site.tree.lines[i].level != 1 || label(line_tag(site.tree, i)).empty())
			continue;
		std::uint32_t key = date_key(sub_value(site.tree, i, "DATE"));
		last = key ? key : last;
		events.push_back({last, i});
	}
	std::stable_sort(events.begin(), events.end(), [](dated a, dated b) { return a.key < b.key; });
	std::string out;
	for (dated e : events)
		append_event(out, site, e.line, label(line_tag(site.tree, e.line)), root);
	return out.empty() ? out : "<ol class=\"events\">\n" + out + "</ol>\n";
}

void append_media(std::string &out, const site_state &site, std::uint32_t line, std::string_view root)
{
	const family_tree &tree = site.tree;
	int r = line_target(tree, line);
	std::uint32_t at = r != no_record ? tree.records[static_cast<std::size_t>(r)].first : line;
	std::uint32_t end = sub_end(tree, at, static_cast<std::uint32_t>(tree.lines.size()));
	for (std::uint32_t i = at + 1; i < end; ++i) {
		if (line_tag(tree, i) != "FILE" || tree.lines[i].level != tree.lines[at].level + 1)
			continue;
		std::string_view file = line_value(tree, i);
		std::string_view title = sub_value(tree, i, "TITL");
		if (title.empty())
			title = sub_value(tree, at, "TITL");
		out += "<li>";
		if (linkable_address(file)) {
			out += "<a href=\"";
			bool web = file.find(':') != std::string_view::npos;
			if (!web)
				out += root;
			append_escaped(out, file);
			out += "\">";
			append_escaped(out, title.empty() ? file : title);
			out += "</a>";
		} else {
			append_escaped(out, title.empty() ? file : title);
		}
		out += "</li>\n";
	}
}
