// The run: read, decide, index, then write every page, at most once each.
#include "run.h"

#include "gedtext.h"
#include "privacy.h"
#include "site.h"
#include "text.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

bool read_text(const char *path, std::string &text)
{
	ged_text t;
	if (!ged_open(t, path))
		return false;
	bool ok = ged_read_all(t, text);
	ged_close(t);
	return ok;
}

bool decide(const site_options &options)
{
	ged_text t;
	if (!ged_open(t, options.ged_path))
		return false;
	decide_privacy(t, year_of(options.now), false, options.show_living);
	bool ok = !t.failed;
	ged_close(t);
	return ok;
}

void find_people(site_state &site)
{
	const family_tree &tree = site.tree;
	site.person_of.assign(tree.records.size(), -1);
	for (std::size_t r = 0; r < tree.records.size(); ++r) {
		const site_record &rec = tree.records[r];
		if (rec.kind != record_kind::indi || rec.xref.empty() || tree.by_xref.at(rec.xref) != static_cast<int>(r))
			continue;
		site.person_of[r] = static_cast<int>(site.people.size());
		person_info p{static_cast<int>(r), {}, {}, {}, 0, 0, !is_private_person(rec.xref)};
		fill_person(site, p);
		site.people.push_back(std::move(p));
	}
}

std::string base_name(std::string_view path)
{
	std::size_t slash = path.find_last_of('/');
	return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void find_title(site_state &site, const site_options &options)
{
	site.title = options.title;
	const family_tree &tree = site.tree;
	if (site.title.empty() && tree.head != no_record) {
		std::uint32_t line = sub_line(tree, tree.records[static_cast<std::size_t>(tree.head)].first, "SUBM");
		int subm = line ? line_target(tree, line) : no_record;
		if (subm != no_record)
			site.title = std::string(sub_value(tree, tree.records[static_cast<std::size_t>(subm)].first, "NAME"));
	}
	if (site.title.empty())
		site.title = base_name(options.ged_path);
	if (tree.head != no_record)
		site.lang = language_tag(sub_value(tree, tree.records[static_cast<std::size_t>(tree.head)].first, "LANG"));
}

// The families with anyone shown, and the years of the shown people.
void count_shown(site_state &site)
{
	for (std::size_t r = 0; r < site.tree.records.size(); ++r) {
		if (site.tree.records[r].kind != record_kind::fam)
			continue;
		std::vector<int> members = parents_of_family(site.tree, static_cast<int>(r));
		std::vector<int> children = children_of_family(site.tree, static_cast<int>(r));
		members.insert(members.end(), children.begin(), children.end());
		for (int m : members)
			if (const person_info *p = person_at(site, m); p && p->shown) {
				++site.families_shown;
				break;
			}
	}
	for (const person_info &p : site.people)
		for (int year : {p.born, p.died})
			if (p.shown && year) {
				site.first_year = site.first_year ? std::min(site.first_year, year) : year;
				site.last_year = std::max(site.last_year, year);
			}
}

struct progress_line {
	bool wanted;
	std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
	bool shown = false;
};

void report_progress(progress_line &line, std::size_t done, std::size_t all)
{
	if (!line.wanted || (done % 4096 != 0 && done != all))
		return;
	if (!line.shown && std::chrono::steady_clock::now() - line.start < std::chrono::seconds(1))
		return;
	line.shown = true;
	std::fprintf(stderr, "\rlineagesite: %zu of %zu people written", done, all);
	if (done == all)
		std::fputc('\n', stderr);
}

bool write_people(const site_state &site, site_output &out, bool progress)
{
	progress_line line{progress};
	std::size_t done = 0;
	for (const person_info &p : site.people) {
		++done;
		if (p.shown) {
			std::string path = "people/" + page_name(site.tree.records[static_cast<std::size_t>(p.record)].xref) + ".html";
			if (!put_file(out, path, person_page(site, p)))
				return false;
		}
		report_progress(line, done, site.people.size());
	}
	return true;
}

bool write_site(site_state &site, site_output &out, bool progress)
{
	return put_file(out, "style.css", style_sheet()) && write_surnames(site, out) && write_places(site, out) &&
	       write_sources(site, out) && write_people(site, out, progress) && write_search(site, out) &&
	       write_home(site, out) && finish_site(out);
}

} // namespace

bool prepare_site(site_state &site, const site_options &options)
{
	if (!read_tree(site.tree))
		return false;
	find_people(site);
	site.in_order = shown_people(site);
	find_title(site, options);
	count_shown(site);
	site.made_on = day_of(options.now);
	return true;
}

site_result make_site(const site_options &options)
{
	site_result result;
	site_state site;
	if (!read_text(options.ged_path, site.tree.text) || !decide(options)) {
		result.problem = "cannot be read";
		return result;
	}
	if (!prepare_site(site, options)) {
		result.problem = "is too large";
		return result;
	}
	site_output out;
	if (const char *refused = open_site(out, options.out_path)) {
		result.problem = refused;
		result.detail = out.failure;
		return result;
	}
	if (!write_site(site, out, options.progress)) {
		close_site(out);
		result.problem = "cannot be written";
		result.detail = out.failure;
	}
	result.changed = out.changed;
	result.removed = out.removed;
	return result;
}
