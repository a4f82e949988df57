// Fuzz target for lineagetree's reader, relations, listing and layout.
// Input: the number asked for, up to the first line feed, then the GEDCOM file.
// Beyond the sanitizers it stops when a person linked is not the first record of their
// cross-reference as a plain search of the lines finds it, or is not linked to the person
// in focus the way their place says: a parent through the child's family, a partner or a
// child through one of the person's own families.
#include "fuzz_input.h"
#include "lineagetree.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The first record line of xref, found without the index: every line, cut one by one.
std::size_t plain_search(std::string_view text, std::string_view xref)
{
	std::size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
	while (pos < text.size()) {
		std::size_t at = pos;
		ged_line l = next_line(text, pos);
		if (l.level == 0 && l.xref == xref)
			return at;
	}
	return no_record;
}

bool links(const std::vector<std::string> &list, std::string_view xref)
{
	for (const std::string &x : list)
		if (x == xref)
			return true;
	return false;
}

void check_shown(const record_index &index, const person_facts &who)
{
	if (who.at != no_record && plain_search(index.source.text, who.xref) != who.at)
		std::abort();
}

family_record family(const record_index &index, std::string_view xref)
{
	std::string buf;
	std::size_t at = find_record(index, xref, "FAM");
	return at == no_record ? family_record{} : read_family(record_text(index.source, at, buf));
}

person_record person(const record_index &index, std::size_t at)
{
	std::string buf;
	return read_person(record_text(index.source, at, buf), at);
}

void check_view(const record_index &index, const family_view &view)
{
	for (int p = 1; p < pedigree_places; p++) {
		const person_facts &who = view.pedigree[p];
		check_shown(index, who);
		if (who.at == no_record)
			continue;
		const person_facts &child = view.pedigree[(p - 1) / 2];
		if (child.at == no_record)
			std::abort();
		bool linked = false;
		for (const std::string &famc : person(index, child.at).famc) {
			family_record f = family(index, famc);
			linked = linked || (p % 2 == 1 ? f.husb : f.wife) == who.xref;
		}
		if (!linked)
			std::abort();
	}
	std::vector<std::string> fams = person(index, view.pedigree[0].at).fams;
	for (const family_part &part : view.families) {
		check_shown(index, part.partner);
		bool partner = part.partner.at == no_record;
		for (const std::string &x : fams) {
			family_record f = family(index, x);
			partner = partner || f.husb == part.partner.xref || f.wife == part.partner.xref;
		}
		if (!partner)
			std::abort();
		for (const person_facts &child : part.children) {
			check_shown(index, child);
			bool linked = false;
			for (const std::string &x : fams)
				linked = linked || links(family(index, x).chil, child.xref);
			if (!linked)
				std::abort();
		}
	}
}

} // namespace

// Every child is on exactly one page of the family area.
static void check_pages(const family_view &view)
{
	std::size_t children = 0;
	for (const family_part &part : view.families)
		children += part.children.size();
	std::size_t shown = 0;
	int pages = layout_view(view).pages;
	for (int page = 0; page < pages; page++) {
		tree_layout l = layout_view(view, page);
		for (int slot = pedigree_places; slot < tree_slots; slot++)
			shown += (slot - pedigree_places) % 4 != 0 && l.boxes[slot].who.at != no_record;
	}
	if (shown != children)
		std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::optional<numbered_file> input = numbered_input(input_bytes(data, size));
	if (!input)
		return 0;
	const std::string &number = input->number;
	ged_source source;
	source.text = input->file;
	record_index index;
	if (!index_records(source, index))
		std::abort();
	std::size_t at = find_person(index, number);
	if (at == no_record)
		return 0;
	family_view view = view_of(index, at);
	// The person asked for by number may be a later record of a cross-reference used twice.
	std::size_t pos = at;
	if (next_line(source.text, pos).xref != view.pedigree[0].xref)
		std::abort();
	check_view(index, view);
	FILE *out = std::fopen("/dev/null", "w");
	if (!out || !print_view(view, out))
		std::abort();
	std::fclose(out);
	check_pages(view);
	return 0;
}
