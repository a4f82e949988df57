// The site as it is made: the family tree, who is shown, and the addresses of index entries
// that the pages link to.
#pragma once

#include "family.h"
#include "output.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct person_info {
	int record;
	std::string name;     // given names, surname, suffix, as written
	std::string surname;
	std::string folded;   // the name folded, for sorting and search
	int born = 0;         // years; 0 when unknown
	int died = 0;
	bool shown = false;
};

struct site_state {
	family_tree tree;
	std::vector<person_info> people;
	std::vector<int> person_of;   // by record number; -1 for a record that is no person
	std::vector<const person_info *> in_order;  // the shown people as the indexes list them
	std::string title;
	std::string lang = "en";
	std::string made_on;          // the footer's date
	// Addresses from the site's root of each place's and surname's entry in its index.
	std::unordered_map<std::string, std::string> place_href;
	std::unordered_map<std::string, std::string> surname_href;
	// Each letter of an index with the file of its first part, in order.
	std::vector<std::pair<std::string, std::string>> surname_letters;
	std::vector<std::pair<std::string, std::string>> place_letters;
	std::size_t surnames = 0;
	std::size_t places = 0;
	std::size_t sources = 0;
	int families_shown = 0;
	int first_year = 0;
	int last_year = 0;
};

// The person of a record number, or null.
const person_info *person_at(const site_state &site, int record);

// The name of a person's record for their page: given names, surname and suffix.
void fill_person(site_state &site, person_info &p);

// The shown people in the order of the indexes: by name folded, then birth, then record.
// Sorted once, into site.in_order, when the people are known.
std::vector<const person_info *> shown_people(const site_state &site);

// "1850–1920", "1850–", "–1920" or nothing.
std::string years_text(const person_info &p);

// A link to a shown person from a page `root` below the top ("../"), "Private" for one
// withheld, and nothing for a record that is no person.
void append_person_link(std::string &out, const site_state &site, int record, std::string_view root);

// The page around a body: head, header with the site title and search, and footer.
void append_page_start(std::string &out, const site_state &site, std::string_view title, std::string_view root);
void append_page_end(std::string &out, const site_state &site);

// The page of one shown person, of one source record.
std::string person_page(const site_state &site, const person_info &p);
std::string source_page(const site_state &site, int record);

// The indexes: surnames and places by letter, sources, and the home page; each writes its
// files and leaves the addresses of its entries in the site. False when a write failed.
bool write_surnames(site_state &site, site_output &out);
bool write_places(site_state &site, site_output &out);
bool write_sources(const site_state &site, site_output &out);
bool write_home(const site_state &site, site_output &out);

// The search: the script, and the data by the first two letters of every word of a name.
bool write_search(const site_state &site, site_output &out);

// The style sheet and the search script as written into every site.
std::string_view style_sheet();
std::string_view search_script();

// The individual event and attribute tags with their labels; empty for another tag.
std::string_view event_label(std::string_view tag);
std::string_view family_event_label(std::string_view tag);
