// A person's page: names, events, parents and siblings, families, ancestors, notes, sources,
// media and the record's own facts.
#include "facts.h"
#include "text.h"

#include "grammar.h"

namespace {

constexpr std::string_view up = "../";

const site_record &record_of(const site_state &site, int r)
{
	return site.tree.records[static_cast<std::size_t>(r)];
}

// "John /Smith/ Jr" as "John Smith Jr", and its surname.
void split_name(std::string_view written, std::string &name, std::string &surname)
{
	std::size_t open = written.find('/');
	std::size_t close = open == std::string_view::npos ? open : written.find('/', open + 1);
	if (close != std::string_view::npos)
		surname = std::string(trim_blanks(written.substr(open + 1, close - open - 1)));
	name.clear();
	for (char c : written) {
		if (c == '/')
			c = ' ';
		if (c == ' ' && (name.empty() || name.back() == ' '))
			continue;
		name += c;
	}
	while (!name.empty() && name.back() == ' ')
		name.pop_back();
}

int event_year(const site_state &site, const site_record &r, std::initializer_list<std::string_view> tags)
{
	for (std::string_view tag : tags)
		for (std::uint32_t i = r.first + 1; i < r.end; ++i)
			if (site.tree.lines[i].level == 1 && line_tag(site.tree, i) == tag)
				if (int year = date_year(sub_value(site.tree, i, "DATE")))
					return year;
	return 0;
}

void append_heading(std::string &out, std::string_view text)
{
	out += "<h2>";
	out += text;
	out += "</h2>\n";
}

} // namespace

void fill_person(site_state &site, person_info &p)
{
	const site_record &r = record_of(site, p.record);
	for (std::uint32_t i = r.first + 1; i < r.end; ++i) {
		if (site.tree.lines[i].level != 1 || line_tag(site.tree, i) != "NAME")
			continue;
		split_name(line_value(site.tree, i), p.name, p.surname);
		if (p.surname.empty())
			p.surname = std::string(trim_blanks(sub_value(site.tree, i, "SURN")));
		break;
	}
	p.folded = fold_text(p.name);
	p.born = event_year(site, r, {"BIRT", "CHR", "BAPM"});
	p.died = event_year(site, r, {"DEAT", "BURI", "CREM"});
}

namespace {

void append_names(std::string &out, const site_state &site, const person_info &p)
{
	const site_record &r = record_of(site, p.record);
	out += "<h1>";
	append_escaped(out, p.name.empty() ? std::string_view("(no name)") : std::string_view(p.name));
	out += "</h1>\n";
	std::string_view sex = sub_value(site.tree, r.first, "SEX");
	std::string others;
	bool first = true;
	for (std::uint32_t i = r.first + 1; i < r.end; ++i) {
		if (site.tree.lines[i].level != 1 || line_tag(site.tree, i) != "NAME")
			continue;
		if (first) {
			first = false;
			continue;
		}
		std::string name, surname;
		split_name(line_value(site.tree, i), name, surname);
		others += "<li>";
		append_escaped(others, name);
		std::string_view type = sub_value(site.tree, i, "TYPE");
		if (!type.empty()) {
			others += " <span class=\"type\">(";
			append_escaped(others, type);
			others += ")</span>";
		}
		others += "</li>\n";
	}
	out += "<p class=\"sex\">";
	out += sex == "M" ? "Male" : sex == "F" ? "Female" : sex == "X" ? "Other" : "Sex unknown";
	out += "</p>\n";
	auto href = site.surname_href.find(p.surname);
	if (href != site.surname_href.end()) {
		out += "<p class=\"surname\">Surname <a href=\"../" + href->second + "\">";
		append_escaped(out, p.surname);
		out += "</a></p>\n";
	}
	if (!others.empty())
		out += "<h2>Other names</h2>\n<ul class=\"names\">\n" + others + "</ul>\n";
}

// The pedigree under the FAMC line that names `fam`, when it is not a birth.
std::string_view pedigree(const site_state &site, int person, int fam)
{
	const site_record &r = record_of(site, person);
	for (std::uint32_t i = r.first + 1; i < r.end; ++i)
		if (site.tree.lines[i].level == 1 && line_tag(site.tree, i) == "FAMC" &&
		    line_target(site.tree, i) == fam) {
			std::string_view kind = sub_value(site.tree, i, "PEDI");
			return kind.empty() || kind == "birth" || kind == "BIRTH" ? std::string_view{} : kind;
		}
	return {};
}

void append_people(std::string &out, const site_state &site, const std::vector<int> &records, int except)
{
	std::string items;
	for (int r : records) {
		if (r == except || !person_at(site, r))
			continue;
		items += "<li>";
		append_person_link(items, site, r, up);
		items += "</li>\n";
	}
	if (!items.empty())
		out += "<ul class=\"people\">\n" + items + "</ul>\n";
}

void append_parents(std::string &out, const site_state &site, const person_info &p)
{
	for (int fam : families_as_child(site.tree, p.record)) {
		std::string_view kind = pedigree(site, p.record, fam);
		out += "<section class=\"family\">\n<h2>Parents";
		if (!kind.empty()) {
			out += " <span class=\"pedigree\">(";
			append_escaped(out, kind);
			out += ")</span>";
		}
		out += "</h2>\n";
		append_people(out, site, parents_of_family(site.tree, fam), no_record);
		std::vector<int> children = children_of_family(site.tree, fam);
		if (children.size() > 1) {
			out += "<h3>Siblings</h3>\n";
			append_people(out, site, children, p.record);
		}
		out += "</section>\n";
	}
}

bool has_private_partner(const site_state &site, int fam)
{
	for (int r : parents_of_family(site.tree, fam))
		if (const person_info *q = person_at(site, r); q && !q->shown)
			return true;
	return false;
}

void append_families(std::string &out, const site_state &site, const person_info &p)
{
	for (int fam : families_as_partner(site.tree, p.record)) {
		out += "<section class=\"family\">\n<h2>Family</h2>\n";
		std::string partners;
		append_people(partners, site, parents_of_family(site.tree, fam), p.record);
		out += partners.empty() ? "<p>Partner unknown</p>\n" : "<h3>Partner</h3>\n" + partners;
		if (!has_private_partner(site, fam)) {
			const site_record &f = record_of(site, fam);
			out += events_list(site, f.first, f.end, family_event_label, up);
		}
		std::vector<int> children = children_of_family(site.tree, fam);
		if (!children.empty()) {
			out += "<h3>Children</h3>\n";
			append_people(out, site, children, no_record);
		}
		out += "</section>\n";
	}
}

// Father and mother of the first family a person is a child in; no_record for one unknown.
std::pair<int, int> parents_pair(const site_state &site, int person)
{
	std::vector<int> fams = person == no_record ? std::vector<int>{} : families_as_child(site.tree, person);
	if (fams.empty())
		return {no_record, no_record};
	const site_record &f = record_of(site, fams.front());
	std::vector<int> husb = pointers_under(site.tree, f.first, f.end, "HUSB", record_kind::indi);
	std::vector<int> wife = pointers_under(site.tree, f.first, f.end, "WIFE", record_kind::indi);
	return {husb.empty() ? no_record : husb.front(), wife.empty() ? no_record : wife.front()};
}

void append_chart_cell(std::string &out, const site_state &site, int record, std::string_view where)
{
	out += "<div class=\"" + std::string(where) + "\">";
	if (person_at(site, record))
		append_person_link(out, site, record, up);
	else
		out += "<span class=\"unknown\">Unknown</span>";
	out += "</div>\n";
}

// Three generations: the person, the parents, the grandparents, as a grid of cells.
void append_chart(std::string &out, const site_state &site, const person_info &p)
{
	auto [father, mother] = parents_pair(site, p.record);
	if (father == no_record && mother == no_record)
		return;
	auto [ff, fm] = person_at(site, father) && person_at(site, father)->shown ? parents_pair(site, father)
										    : std::pair{no_record, no_record};
	auto [mf, mm] = person_at(site, mother) && person_at(site, mother)->shown ? parents_pair(site, mother)
										    : std::pair{no_record, no_record};
	out += "<section>\n<h2>Ancestors</h2>\n<div class=\"chart\">\n";
	append_chart_cell(out, site, p.record, "self");
	append_chart_cell(out, site, father, "father");
	append_chart_cell(out, site, mother, "mother");
	append_chart_cell(out, site, ff, "ff");
	append_chart_cell(out, site, fm, "fm");
	append_chart_cell(out, site, mf, "mf");
	append_chart_cell(out, site, mm, "mm");
	out += "</div>\n</section>\n";
}

// The record's own notes, sources and media, at its first level.
void append_record_lines(std::string &out, const site_state &site, const site_record &r)
{
	std::string notes, cites, media;
	for (std::uint32_t i = r.first + 1; i < r.end; ++i) {
		const site_line &l = site.tree.lines[i];
		if (l.level != 1)
			continue;
		std::string_view tag = line_tag(site.tree, i);
		if (tag == "NOTE" || tag == "SNOTE")
			append_note(notes, site, i);
		else if (tag == "SOUR")
			append_citation(cites, site, i, up);
		else if (tag == "OBJE")
			append_media(media, site, i, up);
	}
	if (!notes.empty())
		out += "<section>\n<h2>Notes</h2>\n" + notes + "</section>\n";
	if (!cites.empty())
		out += "<section>\n<h2>Sources</h2>\n<ul class=\"sources\">\n" + cites + "</ul>\n</section>\n";
	if (!media.empty())
		out += "<section>\n<h2>Media</h2>\n<ul class=\"media\">\n" + media + "</ul>\n</section>\n";
}

void append_record_facts(std::string &out, const site_state &site, const site_record &r)
{
	out += "<p class=\"record\">Record ";
	append_escaped(out, r.xref);
	for (std::uint32_t i = r.first + 1; i < r.end; ++i)
		if (site.tree.lines[i].level == 1 && line_tag(site.tree, i) == "CHAN") {
			std::string_view date = sub_value(site.tree, i, "DATE");
			if (!date.empty()) {
				out += ", last changed ";
				append_escaped(out, date);
			}
		}
	out += "</p>\n";
}

} // namespace

std::string person_page(const site_state &site, const person_info &p)
{
	const site_record &r = record_of(site, p.record);
	std::string out;
	append_page_start(out, site, p.name.empty() ? std::string_view("(no name)") : std::string_view(p.name), up);
	out += "<article class=\"person\">\n";
	append_names(out, site, p);
	std::string events = events_list(site, r.first, r.end, event_label, up);
	if (!events.empty()) {
		append_heading(out, "Events");
		out += events;
	}
	append_parents(out, site, p);
	append_families(out, site, p);
	append_chart(out, site, p);
	append_record_lines(out, site, r);
	append_record_facts(out, site, r);
	out += "</article>\n";
	append_page_end(out, site);
	return out;
}

std::string source_page(const site_state &site, int record)
{
	const site_record &r = record_of(site, record);
	std::string_view title = sub_value(site.tree, r.first, "TITL");
	std::string out;
	append_page_start(out, site, title.empty() ? r.xref : title, up);
	out += "<article class=\"source\">\n<h1>";
	append_escaped(out, title.empty() ? r.xref : title);
	out += "</h1>\n<dl>\n";
	static constexpr std::pair<std::string_view, std::string_view> parts[] = {
		{"AUTH", "Author"}, {"PUBL", "Published"}, {"ABBR", "Short title"}, {"TEXT", "Text"}};
	for (std::uint32_t i = r.first + 1; i < r.end; ++i)
		for (auto [tag, label] : parts)
			if (site.tree.lines[i].level == 1 && line_tag(site.tree, i) == tag) {
				out += "<dt>" + std::string(label) + "</dt><dd>";
				append_text(out, long_value(site.tree, i));
				out += "</dd>\n";
			}
	out += "</dl>\n";
	append_record_lines(out, site, r);
	append_record_facts(out, site, r);
	out += "</article>\n";
	append_page_end(out, site);
	return out;
}
