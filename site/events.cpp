// The event and attribute tags of individuals and families, with the words a page shows.
#include "site.h"

namespace {

struct labelled {
	std::string_view tag;
	std::string_view label;
};

constexpr labelled individual_tags[] = {
	{"BIRT", "Birth"}, {"CHR", "Christening"}, {"BAPM", "Baptism"}, {"DEAT", "Death"},
	{"BURI", "Burial"}, {"CREM", "Cremation"}, {"ADOP", "Adoption"}, {"BARM", "Bar mitzvah"},
	{"BASM", "Bat mitzvah"}, {"BLES", "Blessing"}, {"CHRA", "Adult christening"},
	{"CONF", "Confirmation"}, {"FCOM", "First communion"}, {"ORDN", "Ordination"},
	{"NATU", "Naturalisation"}, {"EMIG", "Emigration"}, {"IMMI", "Immigration"},
	{"CENS", "Census"}, {"PROB", "Probate"}, {"WILL", "Will"}, {"GRAD", "Graduation"},
	{"RETI", "Retirement"}, {"EVEN", "Event"}, {"CAST", "Caste"}, {"DSCR", "Description"},
	{"EDUC", "Education"}, {"IDNO", "Identity number"}, {"NATI", "Nationality"},
	{"NCHI", "Children"}, {"NMR", "Marriages"}, {"OCCU", "Occupation"}, {"PROP", "Property"},
	{"RELI", "Religion"}, {"RESI", "Residence"}, {"SSN", "Social security number"},
	{"TITL", "Title"}, {"FACT", "Fact"}, {"BAPL", "Baptism (LDS)"}, {"CONL", "Confirmation (LDS)"},
	{"ENDL", "Endowment (LDS)"}, {"INIL", "Initiatory (LDS)"}, {"SLGC", "Sealing to parents (LDS)"},
	{"NO", "Did not happen"},
};

constexpr labelled family_tags[] = {
	{"ANUL", "Annulment"}, {"CENS", "Census"}, {"DIV", "Divorce"}, {"DIVF", "Divorce filed"},
	{"ENGA", "Engagement"}, {"MARB", "Marriage banns"}, {"MARC", "Marriage contract"},
	{"MARR", "Marriage"}, {"MARL", "Marriage licence"}, {"MARS", "Marriage settlement"},
	{"RESI", "Residence"}, {"EVEN", "Event"}, {"NCHI", "Children"}, {"FACT", "Fact"},
	{"SLGS", "Sealing to spouse (LDS)"}, {"NO", "Did not happen"},
};

template <std::size_t N>
std::string_view find_label(const labelled (&table)[N], std::string_view tag)
{
	for (const labelled &l : table)
		if (l.tag == tag)
			return l.label;
	return {};
}

} // namespace

std::string_view event_label(std::string_view tag)
{
	return find_label(individual_tags, tag);
}

std::string_view family_event_label(std::string_view tag)
{
	return find_label(family_tags, tag);
}
