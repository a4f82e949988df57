// The site's indexes: surnames and places by letter, the sources, and the home page.
#include "facts.h"
#include "letters.h"
#include "text.h"

#include <algorithm>
#include <map>

namespace {

struct place_use {
	const person_info *person;
	std::string_view label;
	int year;
};

void add_place_uses(const site_state &site, const person_info &p, std::uint32_t first, std::uint32_t end,
		    event_labels label, std::map<std::string_view, std::vector<place_use>> &places)
{
	for (std::uint32_t i = first + 1; i < end; ++i) {
		if (site.tree.lines[i].level != 1 || label(line_tag(site.tree, i)).empty())
			continue;
		std::string_view place = place_of(site, i);
		if (!place.empty())
			places[place].push_back({&p, label(line_tag(site.tree, i)),
						 date_year(sub_value(site.tree, i, "DATE"))});
	}
}

bool all_partners_shown(const site_state &site, int fam)
{
	for (int r : parents_of_family(site.tree, fam))
		if (const person_info *q = person_at(site, r); q && !q->shown)
			return false;
	return true;
}

} // namespace

bool write_surnames(site_state &site, site_output &out)
{
	std::map<std::string, std::string> bodies;
	for (const person_info *p : site.in_order) {
		std::string &body = bodies[p->surname];
		body += "<li>";
		append_person_link(body, site, p->record, "../");
		body += "</li>\n";
	}
	letter_index index{"surnames", "Surnames", {}};
	for (auto &[surname, items] : bodies) {
		std::string folded = fold_text(surname);
		index.entries.push_back({letter_of(folded), folded, surname, std::move(items)});
	}
	site.surnames = bodies.size();
	return write_letters(site, out, index, site.surname_href, site.surname_letters);
}

namespace {

// The list items of a place's index entry: who was there, and for what and when.
std::string place_uses_list(const site_state &site, const std::vector<place_use> &uses)
{
	std::string body;
	for (const place_use &u : uses) {
		body += "<li>";
		append_person_link(body, site, u.person->record, "../");
		body += " <span class=\"what\">";
		body += u.label;
		if (u.year) {
			body += ' ';
			body += std::to_string(u.year);
		}
		body += "</span></li>\n";
	}
	return body;
}

} // namespace

bool write_places(site_state &site, site_output &out)
{
	std::map<std::string_view, std::vector<place_use>> places;
	for (const person_info *p : site.in_order) {
		const site_record &r = site.tree.records[static_cast<std::size_t>(p->record)];
		add_place_uses(site, *p, r.first, r.end, event_label, places);
		for (int fam : families_as_partner(site.tree, p->record))
			if (all_partners_shown(site, fam)) {
				const site_record &f = site.tree.records[static_cast<std::size_t>(fam)];
				add_place_uses(site, *p, f.first, f.end, family_event_label, places);
			}
	}
	letter_index index{"places", "Places", {}};
	for (auto &[place, uses] : places) {
		std::string body = place_uses_list(site, uses);
		// Given back as its body is made: the uses of every place and the bodies of every
		// place at once would be the run's peak on a large file.
		std::vector<place_use>().swap(uses);
		std::string folded = fold_text(place);
		index.entries.push_back({letter_of(folded), folded, std::string(place), std::move(body)});
	}
	site.places = places.size();
	if (!write_letters(site, out, index, site.place_href, site.place_letters))
		return false;
	std::string page;
	append_page_start(page, site, "Places", "../");
	page += "<h1>Places</h1>\n";
	append_letter_nav(page, site.place_letters, "", "", "Letters");
	if (site.place_letters.empty())
		page += "<p>No places are named.</p>\n";
	append_page_end(page, site);
	return put_file(out, "places/index.html", page);
}

bool write_sources(const site_state &site, site_output &out)
{
	std::vector<std::pair<std::string, int>> sources;
	for (std::size_t r = 0; r < site.tree.records.size(); ++r) {
		const site_record &s = site.tree.records[r];
		if (s.kind != record_kind::sour || s.xref.empty() || site.tree.by_xref.at(s.xref) != static_cast<int>(r))
			continue;
		std::string_view title = sub_value(site.tree, s.first, "TITL");
		sources.emplace_back(fold_text(title.empty() ? s.xref : title), static_cast<int>(r));
		if (!put_file(out, "sources/" + page_name(s.xref) + ".html", source_page(site, static_cast<int>(r))))
			return false;
	}
	std::sort(sources.begin(), sources.end());
	std::string page;
	append_page_start(page, site, "Sources", "../");
	page += "<h1>Sources</h1>\n<ul class=\"sources\">\n";
	for (const auto &[key, r] : sources) {
		const site_record &s = site.tree.records[static_cast<std::size_t>(r)];
		std::string_view title = sub_value(site.tree, s.first, "TITL");
		page += "<li><a href=\"" + page_name(s.xref) + ".html\">";
		append_escaped(page, title.empty() ? s.xref : title);
		page += "</a></li>\n";
	}
	page += "</ul>\n";
	append_page_end(page, site);
	return put_file(out, "sources/index.html", page);
}

bool write_home(const site_state &site, site_output &out)
{
	std::size_t shown = static_cast<std::size_t>(std::count_if(site.people.begin(), site.people.end(),
								   [](const person_info &p) { return p.shown; }));
	std::string page;
	append_page_start(page, site, site.title, "");
	page += "<h1>";
	append_escaped(page, site.title);
	page += "</h1>\n<dl class=\"counts\">\n";
	auto count = [&page](std::string_view what, std::string value) {
		page += "<div><dt>" + std::string(what) + "</dt><dd>" + value + "</dd></div>\n";
	};
	count("People", std::to_string(shown));
	count("Families", std::to_string(site.families_shown));
	count("Surnames", std::to_string(site.surnames));
	count("Places", std::to_string(site.places));
	if (site.first_year)
		count("Years", std::to_string(site.first_year) + "\u2013" + std::to_string(site.last_year));
	page += "</dl>\n<h2>Surnames</h2>\n";
	append_letter_nav(page, site.surname_letters, "surnames", "", "Surnames by letter");
	page += "<h2>More</h2>\n<ul class=\"more\">\n<li><a href=\"places/index.html\">Places</a></li>\n"
		"<li><a href=\"sources/index.html\">Sources</a></li>\n</ul>\n";
	append_page_end(page, site);
	return put_file(out, "index.html", page);
}
