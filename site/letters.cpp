// The letter pages of an index, each under a size a phone loads at once.
#include "letters.h"

#include "records.h"
#include "text.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string anchor_of(std::string_view name)
{
	std::array<char, 24> id{};
	std::snprintf(id.data(), id.size(), "e%016llx", static_cast<unsigned long long>(xref_hash(name, false)));
	return id.data();
}

std::string part_file(std::string_view letter, int part)
{
	std::string file = page_name(letter);
	if (part > 1) {
		file += '-';
		file += std::to_string(part);
	}
	return file + ".html";
}

// A stretch of an entry's items, and the stretches each part of a letter shows.
struct slice {
	std::size_t entry;
	std::size_t begin;
	std::size_t end;
};
using part_plan = std::vector<slice>;

struct letter_run {
	std::string letter;
	std::vector<part_plan> parts;
};

constexpr std::string_view item_end = "</li>\n";

// The end of the items from `at` that fit in `room` bytes, at least one of them.
std::size_t items_end(std::string_view body, std::size_t at, std::size_t room, bool at_least_one)
{
	if (body.size() - at <= room)
		return body.size();
	std::size_t cut = room >= item_end.size() ? body.rfind(item_end, at + room - item_end.size()) : std::string_view::npos;
	if (cut != std::string_view::npos && cut >= at)
		return cut + item_end.size();
	if (!at_least_one)
		return at;
	cut = body.find(item_end, at);
	return cut == std::string_view::npos ? body.size() : cut + item_end.size();
}

// The entries of each letter, cut into parts where they pass the page size; an entry with
// more items than a page holds goes on over the parts that follow.
std::vector<letter_run> plan_parts(const std::vector<index_entry> &entries)
{
	std::vector<letter_run> runs;
	std::size_t bytes = 0;
	for (std::size_t i = 0; i < entries.size(); ++i) {
		if (runs.empty() || entries[i].letter != runs.back().letter) {
			runs.push_back({entries[i].letter, {{}}});
			bytes = 0;
		}
		std::string_view body = entries[i].body;
		std::size_t overhead = entries[i].name.size() + 96;
		std::size_t at = 0;
		do {
			part_plan &part = runs.back().parts.back();
			std::size_t room = most_page_bytes > bytes + overhead ? most_page_bytes - bytes - overhead : 0;
			std::size_t end = items_end(body, at, room, part.empty());
			if (end == at && !body.empty()) {
				runs.back().parts.emplace_back();
				bytes = 0;
				continue;
			}
			part.push_back({i, at, end});
			bytes += overhead + end - at;
			at = end;
			if (at < body.size()) {
				runs.back().parts.emplace_back();
				bytes = 0;
			}
		} while (at < body.size());
	}
	return runs;
}

void append_part_nav(std::string &out, std::string_view letter, std::size_t parts, std::size_t at)
{
	if (parts < 2)
		return;
	out += "<nav class=\"parts\" aria-label=\"Parts\"><ul>\n";
	for (std::size_t n = 1; n <= parts; ++n) {
		if (n == at)
			out += "<li><span aria-current=\"page\">Part " + std::to_string(n) + "</span></li>\n";
		else
			out += "<li><a href=\"" + part_file(letter, static_cast<int>(n)) + "\">Part " +
			       std::to_string(n) + "</a></li>\n";
	}
	out += "</ul></nav>\n";
}

bool write_part(const site_state &site, site_output &out, const letter_index &index, const letter_run &run,
		std::size_t part, const std::vector<std::pair<std::string, std::string>> &letters)
{
	std::string title = std::string(index.title) + ": " + (run.letter == "_" ? "other" : run.letter);
	std::string page;
	append_page_start(page, site, title, "../");
	page += "<h1>";
	append_escaped(page, title);
	page += "</h1>\n";
	append_letter_nav(page, letters, "", "", "Letters");
	append_part_nav(page, run.letter, run.parts.size(), part + 1);
	for (const slice &s : run.parts[part]) {
		const index_entry &e = index.entries[s.entry];
		page += "<section class=\"entry\">\n<h2";
		page += s.begin == 0 ? " id=\"" + anchor_of(e.name) + "\">" : std::string(">");
		append_escaped(page, e.name.empty() ? std::string_view("(none)") : std::string_view(e.name));
		page += s.begin == 0 ? "</h2>\n" : " (continued)</h2>\n";
		page += "<ul class=\"people\">\n" + e.body.substr(s.begin, s.end - s.begin) + "</ul>\n</section>\n";
	}
	append_page_end(page, site);
	std::string path = std::string(index.folder) + "/" + part_file(run.letter, static_cast<int>(part + 1));
	return put_file(out, path, page);
}

} // namespace

void append_letter_nav(std::string &out, const std::vector<std::pair<std::string, std::string>> &letters,
		       std::string_view folder, std::string_view root, std::string_view label)
{
	if (letters.empty())
		return;
	out += "<nav class=\"letters\" aria-label=\"";
	append_escaped(out, label);
	out += "\"><ul>\n";
	for (const auto &[letter, file] : letters) {
		out += "<li><a href=\"";
		out += root;
		if (!folder.empty())
			out += std::string(folder) + "/";
		out += file + "\">";
		append_escaped(out, letter == "_" ? std::string_view("other") : std::string_view(letter));
		out += "</a></li>\n";
	}
	out += "</ul></nav>\n";
}

bool write_letters(const site_state &site, site_output &out, letter_index &index,
		   std::unordered_map<std::string, std::string> &hrefs,
		   std::vector<std::pair<std::string, std::string>> &letters)
{
	std::sort(index.entries.begin(), index.entries.end(), [](const index_entry &a, const index_entry &b) {
		return std::tie(a.letter, a.sort_key, a.name) < std::tie(b.letter, b.sort_key, b.name);
	});
	std::vector<letter_run> runs = plan_parts(index.entries);
	letters.clear();
	for (const letter_run &run : runs) {
		letters.emplace_back(run.letter, part_file(run.letter, 1));
		for (std::size_t part = 0; part < run.parts.size(); ++part)
			for (const slice &s : run.parts[part])
				if (s.begin == 0)
					hrefs[index.entries[s.entry].name] = std::string(index.folder) + "/" +
						part_file(run.letter, static_cast<int>(part + 1)) + "#" +
						anchor_of(index.entries[s.entry].name);
	}
	for (const letter_run &run : runs)
		for (std::size_t part = 0; part < run.parts.size(); ++part)
			if (!write_part(site, out, index, run, part, letters))
				return false;
	return true;
}
