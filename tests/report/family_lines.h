// Whether a family page ever shows one person's name, dates or sex for another, or a date of
// another event as a birth or death: each family line may show only what was read inside a
// record with the cross-reference it names, and as dates only those of its BIRT and DEAT lines.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace family_lines {

// What a record held, in the form the page would show it; empty is always allowed.
struct record_facts {
	std::set<std::string> names{""}, births{""}, deaths{""}, images{""};
};

// From an "@" at `at` to the next "@"; empty when there is none.
inline std::string xref_from(std::string_view piece, std::size_t at)
{
	std::size_t close = at < piece.size() && piece[at] == '@' ? piece.find('@', at + 1) : std::string_view::npos;
	return close == std::string_view::npos ? std::string() : std::string(piece.substr(at, close + 1 - at));
}

// The value as the page shows it: up to a NUL byte (the tables hold texts), escaped.
inline std::string shown(std::string_view piece)
{
	std::string out;
	for (char c : piece.substr(piece.size() > 7 ? 7 : piece.size())) {
		if (c == '\0')
			break;
		out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
	}
	return out;
}

// Whether the piece has the level and the whole tag: a blank or a line end, or nothing, follows it.
inline bool at_level(std::string_view piece, char level, std::string_view tag)
{
	std::size_t end = 2 + tag.size();
	return piece.size() >= end && piece[0] == level && piece.substr(2, tag.size()) == tag &&
	       (piece.size() == end || piece[end] == ' ' || piece[end] == '\r' || piece[end] == '\n');
}

// The facts of each record by cross-reference, and the HUSB, WIFE and CHIL lines' targets in
// file order, up to the trailer.
inline void gather_facts(const std::vector<std::string>& pieces, std::map<std::string, record_facts>& facts,
			 std::vector<std::string>& refs)
{
	std::string current;
	std::set<std::string> *event = nullptr;
	for (const std::string& p : pieces) {
		if (!p.empty() && p[0] == '0')
			current = xref_from(p, 2);
		record_facts& f = facts[current];
		if (!p.empty() && (p[0] == '0' || p[0] == '1'))
			event = at_level(p, '1', "BIRT") ? &f.births : at_level(p, '1', "DEAT") ? &f.deaths : nullptr;
		if (at_level(p, '1', "NAME"))
			f.names.insert(shown(p));
		else if (at_level(p, '2', "DATE") && event)
			event->insert(shown(p));
		else if (at_level(p, '1', "SEX") && p.size() > 6 && (p[6] == 'M' || p[6] == 'F'))
			f.images.insert(p[6] == 'M' ? "<img src=male.gif>" : "<img src=female.gif>");
		else if (at_level(p, '1', "HUSB") || at_level(p, '1', "WIFE") || at_level(p, '1', "CHIL"))
			refs.push_back(p.find('@', 7) == std::string::npos ? std::string() : xref_from(p, p.find('@', 7)));
		if (p.size() > 2 && p[0] == '0' && p[2] == 'T')
			break; // the trailer: reading ends
	}
}

inline bool dates_shown(const record_facts& held, std::string_view dates)
{
	for (const std::string& born : held.births)
		for (const std::string& died : held.deaths)
			if (dates == born + " - " + died + ")")
				return true;
	return false;
}

// Empty when every family line of `page` shows only facts of the record it refers to;
// otherwise a description of the first that does not. `pieces` are the file's line pieces.
inline std::string first_wrong_person(const std::vector<std::string>& pieces, std::string_view page)
{
	std::map<std::string, record_facts> facts;
	std::vector<std::string> refs;
	gather_facts(pieces, facts, refs);
	const record_facts nobody;
	std::size_t line = 0;
	const std::string_view bullet = "<br /><img src=gedline";
	for (std::size_t at = page.find(bullet); at != std::string_view::npos; at = page.find(bullet, at + 1)) {
		std::string_view rest = page.substr(at + bullet.size());
		std::string image;
		if (rest.starts_with("1.gif align=center /> Husband = <b>") ||
		    rest.starts_with("1.gif align=center /> Wife = <b>")) {
			rest.remove_prefix(rest.find("<b>") + 3);
		} else if (rest.starts_with("2.gif align=center /> Child = ")) {
			rest.remove_prefix(30);
			if (rest.find(" <b>") == std::string_view::npos)
				return "a child line without its name";
			image = rest.substr(0, rest.find(" <b>"));
			rest.remove_prefix(image.size() + 4);
		} else {
			continue;
		}
		if (line == refs.size())
			return "more family lines than HUSB, WIFE and CHIL lines";
		const std::string& xref = refs[line++];
		const record_facts& held = xref.empty() ? nobody : facts[xref];
		// Text from the file is escaped, so its first "<" is the program's own.
		std::string name(rest.substr(0, rest.find('<')));
		rest.remove_prefix(name.size());
		std::string_view dates = rest.starts_with("</b> (") ? rest.substr(6, rest.find('<', 1) - 6) : "";
		bool dates_ok = dates_shown(held, dates);
		std::string where = "family line " + std::to_string(line) + " (" + xref + ") shows ";
		if (!held.names.contains(name))
			return where + "the name " + name;
		if (!dates_ok)
			return where + "the dates (" + std::string(dates);
		if (!held.images.contains(image))
			return where + "the sex image " + image;
	}
	return line == refs.size() ? std::string() : "fewer family lines than HUSB, WIFE and CHIL lines";
}

} // namespace family_lines
