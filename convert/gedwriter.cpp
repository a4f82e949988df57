// flatged: writes the record tables as a GEDCOM 5.5 lineage-linked file.
#include "flatged.h"

#include <cstring>

// A word cannot hold a blank, so the flat file writes "*" for one; only the leading
// characters of each field are searched, a "*" further on stays as it is.
template <std::size_t N>
static void restore_blanks(std::array<char, N>& text, std::size_t searched)
{
	for (std::size_t k = 0; k < searched && k < N && text[k] != '\0'; ++k)
		if (text[k] == '*')
			text[k] = ' ';
}

static bool row_ok(int row)
{
	return row >= 1 && row <= last_row;
}

static int last_person_row()
{
	int last = end_marker_read ? num_of_entries - 1 : num_of_entries;
	return last < last_row ? last : last_row;
}

static int last_family_row()
{
	return stop9 < last_row ? stop9 : last_row;
}

bool person_written(int row)
{
	if (!row_ok(row) || row > last_person_row())
		return false;
	const name_text& name = firstname[row];
	return name[0] != '\0' && name[0] != 's' && !is_end_marker(row);
}

// A family line naming nobody with a record of their own would make the whole file corrupt.
static bool id_written(std::int32_t id)
{
	for (int row = 1; row <= last_person_row(); ++row)
		if (idnum[row] == id && person_written(row))
			return true;
	return false;
}

static void write_header(FILE *ged)
{
	std::fprintf(ged, "0 HEAD\n");
	std::fprintf(ged, "1 SOUR HALVORN\n");
	std::fprintf(ged, "2 NAME Flatged\n");
	std::fprintf(ged, "2 VERS %s\n", r_version);
	std::fprintf(ged, "1 DEST ANSTFILE\n");
	// Other programs read the names in the set the header gives.
	std::fprintf(ged, names_in_utf8 ? "1 CHAR UTF-8\n" : "1 CHAR ANSI\n");
	std::fprintf(ged, "1 FILE %s\n", filename);
	std::fprintf(ged, "1 GEDC\n");
	std::fprintf(ged, "2 VERS 5.5\n");
	std::fprintf(ged, "2 FORM LINEAGE-LINKED\n");
}

static void write_date_place(FILE *ged, const name_text& date, const place_text& place)
{
	if (date[0] != 'z')
		std::fprintf(ged, "2 DATE %s\n", date.data());
	if (place[0] != '-')
		std::fprintf(ged, "2 PLAC %s\n", place.data());
}

static void write_fact(FILE *ged, const char *tag, place_text& value)
{
	restore_blanks(value, value.size());
	if (value[0] != '-')
		std::fprintf(ged, "1 %s %s\n", tag, value.data());
}

// Id 0 stands for "no parent", so a person numbered 0 is nobody's spouse.
static void write_spouse_links(FILE *ged, int row)
{
	std::int32_t id = idnum[row];
	if (id == 0)
		return;
	for (int j = 1; j <= last_family_row(); ++j)
		if (father[j] == id)
			std::fprintf(ged, "1 FAMS @F%04d@\n", j);
	for (int j = 1; j <= last_family_row(); ++j)
		if (mother[j] == id)
			std::fprintf(ged, "1 FAMS @F%04d@\n", j);
}

static void write_person(FILE *ged, int i)
{
	std::fprintf(ged, "0 @I%04d@ INDI\n", static_cast<int>(idnum[i]));
	restore_blanks(firstname[i], 15);
	std::fprintf(ged, "1 NAME %s /%s/\n", firstname[i].data(), surname[i].data());
	std::fprintf(ged, "1 SEX %c\n", sex[i][0]);

	std::fprintf(ged, "1 BIRT\n");
	restore_blanks(birth_date[i], 15);
	restore_blanks(birth_place[i], 15);
	write_date_place(ged, birth_date[i], birth_place[i]);

	// An empty death event would declare a living person dead.
	restore_blanks(death_date[i], 15);
	restore_blanks(death_place[i], 45);
	if (death_date[i][0] != 'z' || death_place[i][0] != '-') {
		std::fprintf(ged, "1 DEAT\n");
		write_date_place(ged, death_date[i], death_place[i]);
	}

	if (burial_place[i][0] != '-')
		std::fprintf(ged, "1 BURI\n2 PLAC %s\n", burial_place[i].data());
	write_fact(ged, "EDUC", education[i]);
	write_fact(ged, "OCCU", occupation[i]);
	write_fact(ged, "RELI", religon[i]);

	std::fprintf(ged, "1 FAMC @F%04d@\n", i);
	write_spouse_links(ged, i);
}

void write_i_data(FILE *ged, FILE *out)
{
	write_header(ged);
	std::fprintf(out, "\n\nGEDCOM Heading written....\n\n");
	for (int i = 1; i <= last_person_row(); ++i) {
		std::fprintf(out, "writting INDI I%04d \n", static_cast<int>(idnum[i]));
		if (person_written(i))
			write_person(ged, i);
	}
}

// Every row makes a family: its parents and the row's own person as the one child.
void write_f_data(FILE *ged)
{
	for (int j = 1; j <= last_family_row(); ++j) {
		std::fprintf(ged, "0 @F%04d@ FAM\n", j);
		if (father[j] != 0 && id_written(father[j]))
			std::fprintf(ged, "1 HUSB @I%04d@\n", static_cast<int>(father[j]));
		if (mother[j] != 0 && id_written(mother[j]))
			std::fprintf(ged, "1 WIFE @I%04d@\n", static_cast<int>(mother[j]));
		if (person_written(j))
			std::fprintf(ged, "1 CHIL @I%04d@\n", static_cast<int>(idnum[j]));
	}
}

void write_c_data(FILE *ged)
{
	std::fprintf(ged, "0 TRLR\n");
}
