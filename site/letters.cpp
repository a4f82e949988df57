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
	if (part > 1)
		file += "-" + std::to_string(part);
	return file + ".html";
}

struct letter_run {
	std::size_t from;
	std::size_t to;
	std::vector<std::size_t> part_starts;
};

// The entries of each letter, cut into parts where they pass the page size.
std::vector<letter_run> plan_parts(const std::vector<index_entry> &entries)
{
	std::vector<letter_run> runs;
	std::size_t bytes = 0;
	for (std::size_t i = 0; i < entries.size(); ++i) {
		std::size_t size = entries[i].body.size() + entries[i].name.size() + 64;
		if (runs.empty() || entries[i].letter != entries[runs.back().from].letter) {
			runs.push_back({i, i, {i}});
			bytes = 0;
		} else if (bytes + size > most_page_bytes) {
			runs.back().part_starts.push_back(i);
			bytes = 0;
		}
		bytes += size;
		runs.back().to = i + 1;
	}
	return runs;
}

void append_part_nav(std::string &out, const index_entry &first, std::size_t parts, std::size_t at)
{
	if (parts < 2)
		return;
	out += "<nav class=\"parts\" aria-label=\"Parts\"><ul>\n";
	for (std::size_t n = 1; n <= parts; ++n) {
		if (n == at)
			out += "<li><span aria-current=\"page\">Part " + std::to_string(n) + "</span></li>\n";
		else
			out += "<li><a href=\"" + part_file(first.letter, static_cast<int>(n)) + "\">Part " +
			       std::to_string(n) + "</a></li>\n";
	}
	out += "</ul></nav>\n";
}

bool write_part(const site_state &site, site_output &out, const letter_index &index, const letter_run &run,
		std::size_t part, const std::vector<std::pair<std::string, std::string>> &letters)
{
	std::size_t from = run.part_starts[part];
	std::size_t to = part + 1 < run.part_starts.size() ? run.part_starts[part + 1] : run.to;
	const index_entry &first = index.entries[from];
	std::string title = std::string(index.title) + ": " + (first.letter == "_" ? "other" : first.letter);
	std::string page;
	append_page_start(page, site, title, "../");
	page += "<h1>";
	append_escaped(page, title);
	page += "</h1>\n";
	append_letter_nav(page, letters, "", "", "Letters");
	append_part_nav(page, first, run.part_starts.size(), part + 1);
	for (std::size_t i = from; i < to; ++i) {
		const index_entry &e = index.entries[i];
		page += "<section class=\"entry\">\n<h2 id=\"" + anchor_of(e.name) + "\">";
		append_escaped(page, e.name.empty() ? std::string_view("(none)") : std::string_view(e.name));
		page += "</h2>\n" + e.body + "</section>\n";
	}
	append_page_end(page, site);
	std::string path = std::string(index.folder) + "/" + part_file(first.letter, static_cast<int>(part + 1));
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
		letters.emplace_back(index.entries[run.from].letter, part_file(index.entries[run.from].letter, 1));
		for (std::size_t part = 0; part < run.part_starts.size(); ++part) {
			std::size_t to = part + 1 < run.part_starts.size() ? run.part_starts[part + 1] : run.to;
			for (std::size_t i = run.part_starts[part]; i < to; ++i)
				hrefs[index.entries[i].name] = std::string(index.folder) + "/" +
							       part_file(index.entries[i].letter, static_cast<int>(part + 1)) +
							       "#" + anchor_of(index.entries[i].name);
		}
	}
	for (const letter_run &run : runs)
		for (std::size_t part = 0; part < run.part_starts.size(); ++part)
			if (!write_part(site, out, index, run, part, letters))
				return false;
	return true;
}
