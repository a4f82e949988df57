// The search data: every shown person under the first two and the first three letters of
// each word of their name, one script file for each, so that a search loads only the file
// its first word needs, from a folder opened as file:// too.
#include "site.h"
#include "text.h"

#include <algorithm>
#include <map>
#include <utf8proc.h>

namespace {

bool separates(char c)
{
	return c == ' ' || c == '\t' || c == '-' || c == '.' || c == ',' || c == '\'' || c == '(' || c == ')' ||
	       c == '"' || c == '/';
}

std::vector<std::string_view> words_of(std::string_view folded)
{
	std::vector<std::string_view> words;
	std::size_t i = 0;
	while (i < folded.size()) {
		while (i < folded.size() && separates(folded[i]))
			++i;
		std::size_t start = i;
		while (i < folded.size() && !separates(folded[i]))
			++i;
		if (i > start)
			words.push_back(folded.substr(start, i - start));
	}
	return words;
}

// The first n characters of a word; empty for a shorter word.
std::string_view first_chars(std::string_view word, int n)
{
	std::size_t at = 0;
	for (int k = 0; k < n; ++k) {
		utf8proc_int32_t c;
		if (at >= word.size())
			return {};
		utf8proc_ssize_t len = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(word.data() + at),
							static_cast<utf8proc_ssize_t>(word.size() - at), &c);
		if (len <= 0)
			return {};
		at += static_cast<std::size_t>(len);
	}
	return word.substr(0, at);
}

std::string file_of(std::string_view key)
{
	static constexpr char hex[] = "0123456789abcdef";
	std::string name;
	for (char ch : key) {
		auto c = static_cast<unsigned char>(ch);
		if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
			name += ch;
		} else {
			name += '-';
			name += hex[c >> 4];
			name += hex[c & 15];
		}
	}
	return name;
}

// A JavaScript string literal that cannot end the script element it is loaded by.
void append_js_string(std::string &out, std::string_view text)
{
	static constexpr char hex[] = "0123456789abcdef";
	out += '"';
	for (char ch : text) {
		auto c = static_cast<unsigned char>(ch);
		if (c == '"' || c == '\\' || c < 0x20 || c == '<' || c == '>' || c == '&') {
			out += "\\u00";
			out += hex[c >> 4];
			out += hex[c & 15];
		} else {
			out += ch;
		}
	}
	out += '"';
}

} // namespace

bool write_search(const site_state &site, site_output &out)
{
	std::map<std::string_view, std::string> files;
	for (const person_info *p : site.in_order) {
		std::vector<std::string_view> words = words_of(p->folded);
		std::string entry = "[";
		std::string joined;
		for (std::string_view w : words) {
			if (!joined.empty())
				joined += ' ';
			joined += w;
		}
		append_js_string(entry, joined);
		entry += ',';
		append_js_string(entry, p->name);
		entry += ',';
		append_js_string(entry, years_text(*p));
		entry += ',';
		append_js_string(entry, page_name(site.tree.records[static_cast<std::size_t>(p->record)].xref));
		entry += "],\n";
		std::vector<std::string_view> keys;
		// Two letters typed load the file of the two, three or more that of the first three:
		// a tenth of the size, so a search on a page just opened waits less for its data.
		for (std::string_view w : words)
			for (int n : {2, 3})
				if (std::string_view key = first_chars(w, n);
				    !key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end())
					keys.push_back(key);
		for (std::string_view key : keys)
			files[key] += entry;
	}
	for (auto &[key, entries] : files) {
		std::string script = "lineageSearch(";
		append_js_string(script, key);
		script += ", [\n" + entries + "]);\n";
		if (!put_file(out, "search/" + file_of(key) + ".js", script))
			return false;
	}
	return put_file(out, "search.js", search_script());
}
