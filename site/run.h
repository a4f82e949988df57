// One run of lineagesite: a GEDCOM file read, who is private decided, and the site written.
#pragma once

#include <string>

struct site_options {
	bool show_living = false;
	std::string title;       // empty: the submitter's name, else the file's name
	const char *ged_path = nullptr;
	const char *out_path = nullptr;
	long long now = 0;       // seconds since 1970, for the footer and the privacy decision
	bool progress = false;   // a progress line on standard error once the run takes a while
};

struct site_result {
	const char *problem = nullptr; // why the run failed; null when it did not
	std::string detail;            // the system's words for it
	long changed = 0;
	long removed = 0;
};

site_result make_site(const site_options &options);

// The site's tree, people, title and counts from the text already in site.tree.text, once
// the privacy decision is made; false when the text is too large to index.
struct site_state;
bool prepare_site(site_state &site, const site_options &options);

// The language tag of a file's LANG value: a tag as GEDCOM 7.0 writes it, or one for a
// language named in English; "en" for any other.
std::string language_tag(std::string_view lang);

// The date of `now` as YYYY-MM-DD, and its year.
std::string day_of(long long now);
int year_of(long long now);
