// Index pages by letter: entries sorted and filed under their first letter, a letter with
// more than a page holds split into numbered parts.
#pragma once

#include "site.h"

#include <string>
#include <unordered_map>
#include <vector>

struct index_entry {
	std::string letter;
	std::string sort_key;
	std::string name;   // as the entry's heading shows it, and the key of its address
	std::string body;   // the entry's list items, each ending in "</li>\n"
};

inline constexpr std::size_t most_page_bytes = 400 * 1024;

struct letter_index {
	std::string_view folder;  // "surnames"
	std::string_view title;   // "Surnames"
	std::vector<index_entry> entries;
};

// Sorts and writes the pages; each entry's address goes to `hrefs`, each letter's first file
// to `letters`. False when a write failed.
bool write_letters(const site_state &site, site_output &out, letter_index &index,
		   std::unordered_map<std::string, std::string> &hrefs,
		   std::vector<std::pair<std::string, std::string>> &letters);

// The letters as a row of links from a page `root` below the top.
void append_letter_nav(std::string &out, const std::vector<std::pair<std::string, std::string>> &letters,
		       std::string_view folder, std::string_view root, std::string_view label);
