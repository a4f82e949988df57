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

// What a record held that a family line may show.
struct record_facts {
	std::set<std::string> names;
	std::set<std::string> births;
	std::set<std::string> deaths;
	bool male = false;
	bool female = false;
};

// From an "@" at `at` to the next "@"; empty when there is none.
inline std::string xref_from(std::string_view piece, std::size_t at)
{
	if (at >= piece.size() || piece[at] != '@')
		return {};
	std::size_t close = piece.find('@', at + 1);
	return close == std::string_view::npos ? std::string() : std::string(piece.substr(at, close + 1 - at));
}

inline std::string escaped(std::string_view text)
{
	std::string out;
	for (char c : text) {
		switch (c) {
		case '&': out += "&amp;"; break;
		case '<': out += "&lt;"; break;
		case '>': out += "&gt;"; break;
		case '"': out += "&quot;"; break;
		default: out += c;
		}
	}
	return out;
}

inline bool at_level(std::string_view piece, char level, std::string_view letters)
{
	return piece.size() >= 2 + letters.size() && piece[0] == level && piece.substr(2, letters.size()) == letters;
}

inline std::vector<std::string> shown_forms(const std::set<std::string>& dates)
{
	std::vector<std::string> forms = {""};
	for (const std::string& d : dates)
		forms.push_back(escaped(d));
	return forms;
}

// "born - died)" where each date is empty or one the record held under that event.
inline bool dates_fit(std::string_view shown, const record_facts& facts)
{
	for (const std::string& born : shown_forms(facts.births))
		for (const std::string& died : shown_forms(facts.deaths))
			if (shown == born + " - " + died + ")")
				return true;
	return false;
}

// Empty when every family line of `page` shows only facts of the record it refers to;
// otherwise a description of the first that does not. `pieces` are the file's line pieces.
inline std::string first_wrong_person(const std::vector<std::string>& pieces, std::string_view page)
{
	std::map<std::string, record_facts> facts;
	std::vector<std::string> refs;
	std::string current;
	enum { other, birth, death } event = other;
	for (const std::string& p : pieces) {
		// The tables hold texts, which end at a NUL byte.
		std::string_view value = p.size() > 7 ? std::string_view(p).substr(7) : std::string_view();
		value = value.substr(0, value.find('\0'));
		if (!p.empty() && (p[0] == '0' || p[0] == '1'))
			event = at_level(p, '1', "BI") ? birth : at_level(p, '1', "DEA") ? death : other;
		if (!p.empty() && p[0] == '0')
			current = xref_from(p, 2);
		else if (at_level(p, '1', "NA"))
			facts[current].names.insert(std::string(value));
		else if (at_level(p, '2', "DA") && event != other)
			(event == birth ? facts[current].births : facts[current].deaths).insert(std::string(value));
		else if (at_level(p, '1', "SE") && p.size() > 6) {
			facts[current].male |= p[6] == 'M';
			facts[current].female |= p[6] == 'F';
		} else if (at_level(p, '1', "HU") || at_level(p, '1', "WI") || at_level(p, '1', "CHI")) {
			std::size_t at = p.find('@', 7);
			refs.push_back(at == std::string::npos ? std::string() : xref_from(p, at));
		}
		if (p.size() > 2 && p[0] == '0' && p[2] == 'T')
			break; // the trailer: reading ends
	}

	const std::string husband = "<br /><img src=gedline1.gif align=center /> Husband = <b>";
	const std::string wife = "<br /><img src=gedline1.gif align=center /> Wife = <b>";
	const std::string child = "<br /><img src=gedline2.gif align=center /> Child = ";
	std::size_t line = 0;
	for (std::size_t at = page.find("<br /><img src=gedline"); at != std::string_view::npos;
	     at = page.find("<br /><img src=gedline", at + 1)) {
		std::string_view rest = page.substr(at);
		std::string image;
		if (rest.starts_with(husband) || rest.starts_with(wife)) {
			rest.remove_prefix(rest.starts_with(husband) ? husband.size() : wife.size());
		} else if (rest.starts_with(child)) {
			rest.remove_prefix(child.size());
			for (std::string_view pic : {"<img src=male.gif>", "<img src=female.gif>"})
				if (rest.starts_with(pic))
					image = pic;
			rest.remove_prefix(image.size());
			if (!rest.starts_with(" <b>"))
				return "a child line without its name markup";
			rest.remove_prefix(4);
		} else {
			continue;
		}
		if (line == refs.size())
			return "more family lines than HUSB, WIFE and CHIL lines";
		const std::string& xref = refs[line++];
		std::string where = "family line " + std::to_string(line) + " (" + xref + "): ";
		// Text from the file is escaped, so its first "<" is the program's own.
		std::size_t name_end = rest.find('<');
		std::string_view name = rest.substr(0, name_end);
		if (!rest.substr(name_end).starts_with("</b> ("))
			return where + "no name end";
		rest.remove_prefix(name_end + 6);
		std::string_view shown_dates = rest.substr(0, rest.find('<'));
		const record_facts& held = xref.empty() ? record_facts{} : facts[xref];
		bool name_ok = name.empty();
		for (const std::string& n : held.names)
			name_ok = name_ok || name == escaped(n);
		if (!name_ok)
			return where + "shows the name " + std::string(name);
		if (!dates_fit(shown_dates, held))
			return where + "shows the dates (" + std::string(shown_dates);
		if ((image == "<img src=male.gif>" && !held.male) || (image == "<img src=female.gif>" && !held.female))
			return where + "shows the sex image " + image;
	}
	return line == refs.size() ? std::string() : "fewer family lines than HUSB, WIFE and CHIL lines";
}

} // namespace family_lines
