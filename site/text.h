// Texts of the site: file names made from cross-references, HTML escaping, addresses safe to
// link, and the folding of names for sorting and search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A cross-reference (without its @ signs) as a file name without its ending: A-Z, 0-9 and _
// kept, every other byte as - and two small hex digits; one over 100 bytes is cut and ends
// in a hash of the whole, so that every cross-reference gives one safe name.
std::string page_name(std::string_view xref);
void append_page_name(std::string &out, std::string_view xref);

// Text for an HTML element or a quoted attribute.
void append_escaped(std::string &out, std::string_view text);

// Whether a media reference may be a link: a relative path, or an http or https address.
bool linkable_address(std::string_view address);

// The text in lower case without accents, for sorting and search ("Åsa" is "asa").
std::string fold_text(std::string_view text);

// The letter a folded text is filed under: its first character as a capital, or "_" for an
// empty text.
std::string letter_of(std::string_view folded);

// A date's sortable number (year, month, day); 0 when it has no year.
std::uint32_t date_key(std::string_view date);

// The first year a date names (three or four digits), or 0.
int date_year(std::string_view date);
