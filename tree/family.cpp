// The relations around one person, followed through the links of the records, and their
// listing as text. Every walk is bounded by the places it fills, so loops of links end.
#include "lineagetree.h"

static person_record person_at(const record_index &index, std::size_t at)
{
	if (at == no_record)
		return person_record{};
	std::string buf;
	return read_person(record_text(index.source, at, buf), at);
}

static family_record family_at(const record_index &index, std::size_t at)
{
	std::string buf;
	return read_family(record_text(index.source, at, buf));
}

family_view view_of(const record_index &index, std::size_t person)
{
	family_view view;
	std::array<person_record, pedigree_places> places;
	places[0] = person_at(index, person);
	for (int p = 0; 2 * p + 2 < pedigree_places; p++) {
		for (const std::string &famc : places[p].famc) {
			std::size_t fam = find_record(index, famc, "FAM");
			if (fam == no_record)
				continue;
			family_record f = family_at(index, fam);
			places[2 * p + 1] = person_at(index, find_record(index, f.husb, "INDI"));
			places[2 * p + 2] = person_at(index, find_record(index, f.wife, "INDI"));
			break;
		}
	}
	for (int p = 0; p < pedigree_places; p++)
		view.pedigree[p] = std::move(places[p].facts);

	for (const std::string &fams : places[0].fams) {
		std::size_t fam = find_record(index, fams, "FAM");
		if (fam == no_record)
			continue;
		family_record f = family_at(index, fam);
		family_part part;
		for (const std::string *side : {&f.husb, &f.wife}) {
			std::size_t at = find_record(index, *side, "INDI");
			if (at != no_record && at != person) {
				part.partner = person_at(index, at).facts;
				break;
			}
		}
		for (const std::string &child : f.chil) {
			std::size_t at = find_record(index, child, "INDI");
			if (at != no_record)
				part.children.push_back(person_at(index, at).facts);
		}
		view.families.push_back(std::move(part));
	}
	return view;
}

std::string relation_name(int place)
{
	if (place <= 0)
		return "person";
	std::string name;
	while (place > 0) {
		bool father = place % 2 == 1;
		std::string step = father ? "father" : "mother";
		name = name.empty() ? step : step + "." + name;
		place = (place - 1) / 2;
	}
	return name;
}

// A tab inside a value would add a field: it is written as a blank.
static void put_field(std::string_view text, FILE *out)
{
	for (char c : text)
		std::fputc(c == '\t' ? ' ' : c, out);
}

static void put_person(std::string_view relation, const person_facts &who, FILE *out)
{
	if (who.at == no_record)
		return;
	put_field(relation, out);
	for (std::string_view field : {who.xref, who.name, who.birth, who.death}) {
		std::fputc('\t', out);
		put_field(field, out);
	}
	std::fputc('\n', out);
}

bool print_view(const family_view &view, FILE *out)
{
	for (int p = 0; p < pedigree_places; p++)
		put_person(relation_name(p), view.pedigree[p], out);
	for (const family_part &part : view.families) {
		put_person("spouse", part.partner, out);
		for (const person_facts &child : part.children)
			put_person("child", child, out);
	}
	return std::fflush(out) == 0 && !std::ferror(out);
}
