// The few facts of a person's or a family's record that the tree shows.
#include "lineagetree.h"

person_record read_person(std::string_view record, std::size_t at)
{
	person_record r;
	std::size_t pos = 0;
	r.facts.at = at;
	r.facts.xref = next_line(record, pos).xref;
	bool named = false;
	int births = 0;
	int deaths = 0;
	bool birth_dated = false;
	bool death_dated = false;
	std::string_view event;  // the level-1 tag the lines below belong to
	while (pos < record.size()) {
		ged_line l = next_line(record, pos);
		if (l.level == 1) {
			event = l.tag;
			if (l.tag == "NAME" && !named) {
				r.facts.name = l.value;
				named = true;
			}
			births += l.tag == "BIRT";
			deaths += l.tag == "DEAT";
			if (l.tag == "FAMC")
				r.famc.emplace_back(link_target(l.value));
			if (l.tag == "FAMS")
				r.fams.emplace_back(link_target(l.value));
		} else if (l.level == 2 && l.tag == "DATE") {
			if (event == "BIRT" && births == 1 && !birth_dated) {
				r.facts.birth = l.value;
				birth_dated = true;
			}
			if (event == "DEAT" && deaths == 1 && !death_dated) {
				r.facts.death = l.value;
				death_dated = true;
			}
		}
	}
	return r;
}

family_record read_family(std::string_view record)
{
	family_record f;
	std::size_t pos = 0;
	next_line(record, pos);
	bool husb = false;
	bool wife = false;
	while (pos < record.size()) {
		ged_line l = next_line(record, pos);
		if (l.level != 1)
			continue;
		if (l.tag == "HUSB" && !husb) {
			f.husb = link_target(l.value);
			husb = true;
		}
		if (l.tag == "WIFE" && !wife) {
			f.wife = link_target(l.value);
			wife = true;
		}
		if (l.tag == "CHIL")
			f.chil.emplace_back(link_target(l.value));
	}
	return f;
}
