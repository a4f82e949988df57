// Writing the record tables as GEDCOM: people, families, links and the flat file's conventions.
#include <gtest/gtest.h>

#include "flatged_test_util.h"

#include <string>

static std::string console_of_write;

// Reads the flat text and returns the whole GEDCOM file written from it.
static std::string convert(const std::string& flat)
{
	EXPECT_EQ(read_text(flat), read_status::ok);
	captured ged;
	captured out;
	write_i_data(ged.f, out.f);
	write_f_data(ged.f);
	write_c_data(ged.f);
	console_of_write = out.text();
	return ged.text();
}

// The lines from the one starting with `first` up to the next level-0 line.
static std::string record_of(const std::string& ged, const std::string& first)
{
	std::size_t from = ged.find(first + "\n");
	if (from == std::string::npos)
		return "(no record " + first + ")";
	std::size_t to = ged.find("\n0 ", from);
	return ged.substr(from, to == std::string::npos ? std::string::npos : to + 1 - from);
}

static std::string flat(const char *words)
{
	return std::string(words) + "\n";
}

TEST(GedcomFile, HeaderNamesTheOutputPathAndEndsWithTrailer)
{
	filename = "a/rather/long/path/to/the/family/file/of/the/lund/household.ged";
	std::string ged = convert("0 stop9");
	EXPECT_EQ(ged,
		"0 HEAD\n1 SOUR HALVORN\n2 NAME Flatged\n2 VERS 0.1.0\n1 DEST ANSTFILE\n"
		"1 CHAR ANSI\n1 FILE a/rather/long/path/to/the/family/file/of/the/lund/household.ged\n"
		"1 GEDC\n2 VERS 5.5\n2 FORM LINEAGE-LINKED\n0 @F0001@ FAM\n0 TRLR\n");
	filename = default_filename;
}

TEST(GedcomFile, ConsoleCountsEveryRowVisitedAlsoSkippedOnes)
{
	convert(person(7, "Nils") + person(12345, "sven") + "0 stop9");
	EXPECT_EQ(console_of_write,
		"\n\nGEDCOM Heading written....\n\nwritting INDI I0007 \nwritting INDI I12345 \n");
}

TEST(GedcomPeople, NothingGivenLeavesNameSexBirthAndLinks)
{
	std::string ged = convert(flat("5 Nils Lund M z - z - - - - - 0 0 0") +
		flat("6 Ida Lund F z - z - - - - - 5 0 0") + "0 stop9");
	EXPECT_EQ(record_of(ged, "0 @I0005@ INDI"),
		"0 @I0005@ INDI\n1 NAME Nils /Lund/\n1 SEX M\n1 BIRT\n1 FAMC @F0001@\n"
		"1 FAMS @F0002@\n");
}

TEST(GedcomPeople, EveryFactGivenInItsOrder)
{
	std::string ged = convert(
		flat("7 Ida Berg F 1*JAN*1901 Lund 2*FEB*1980 Malmo Ystad School Baker Lutheran 0 0 0") +
		"0 stop9");
	EXPECT_EQ(record_of(ged, "0 @I0007@ INDI"),
		"0 @I0007@ INDI\n1 NAME Ida /Berg/\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1901\n2 PLAC Lund\n"
		"1 DEAT\n2 DATE 2 FEB 1980\n2 PLAC Malmo\n1 BURI\n2 PLAC Ystad\n1 EDUC School\n"
		"1 OCCU Baker\n1 RELI Lutheran\n1 FAMC @F0001@\n");
}

TEST(GedcomPeople, DeathEventOnlyWhenDateOrPlaceIsKnown)
{
	const struct {
		const char *date;
		const char *place;
		const char *lines;
	} cases[] = {
		{"z", "-", ""},
		{"1980", "-", "1 DEAT\n2 DATE 1980\n"},
		{"z", "Malmo", "1 DEAT\n2 PLAC Malmo\n"},
		{"zero", "-", ""},	// any date word starting with z is no date
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(std::string(c.date) + " " + c.place);
		std::string ged = convert("1 Ida Berg F z - " + std::string(c.date) + " " + c.place +
			" Lund - - - 0 0 0 0 stop9");
		EXPECT_EQ(record_of(ged, "0 @I0001@ INDI"),
			"0 @I0001@ INDI\n1 NAME Ida /Berg/\n1 SEX F\n1 BIRT\n" + std::string(c.lines) +
			"1 BURI\n2 PLAC Lund\n1 FAMC @F0001@\n");
	}
}

TEST(GedcomPeople, BlanksComeBackOnlyWithinEachFieldsLeadingCharacters)
{
	std::string ged = convert(flat("1 Anne*Marie*of*the*Valley Van*Dyke F 1*JAN*1901*or*else*1902 "
				       "Lund*in*the*Skane*county 1980 "
				       "Sea*of*the*North*and*beyond*the*horizon*far*away*again Old*church "
				       "Lund*University*of*the*South*and*far*beyond*it *Baker* R*C 0 0 0") +
		"0 stop9");
	EXPECT_EQ(record_of(ged, "0 @I0001@ INDI"),
		"0 @I0001@ INDI\n1 NAME Anne Marie of the*Valley /Van*Dyke/\n1 SEX F\n1 BIRT\n"
		"2 DATE 1 JAN 1901 or else*1902\n2 PLAC Lund in the Skane*county\n1 DEAT\n2 DATE 1980\n"
		"2 PLAC Sea of the North and beyond the horizon far away*again\n"
		"1 BURI\n2 PLAC Old*church\n1 EDUC Lund University of the South and far beyond it\n"
		"1 OCCU  Baker \n1 RELI R C\n1 FAMC @F0001@\n");
}

TEST(GedcomPeople, CrossReferencesHaveAtLeastFourDigits)
{
	std::string ged = convert(person(7, "Nils") + person(12345, "Ida", 7) + "0 stop9");
	EXPECT_NE(ged.find("0 @I0007@ INDI\n"), std::string::npos);
	EXPECT_NE(ged.find("0 @I12345@ INDI\n"), std::string::npos);
	EXPECT_NE(ged.find("0 @F0002@ FAM\n1 HUSB @I0007@\n1 CHIL @I12345@\n"), std::string::npos);
}

TEST(GedcomFamilies, SiblingsMakeOneFamilyEachAndFatherLinksComeFirst)
{
	// Person 6 is the mother of rows 3 and 4 and the father of row 5.
	std::string ged = convert(person(5, "Nils") + person(6, "Ida") + person(7, "Olle", 5, 6) +
		person(8, "Karin", 5, 6) + person(9, "Per", 6, 0) + "0 stop9");
	EXPECT_TRUE(record_of(ged, "0 @I0005@ INDI").ends_with("1 FAMC @F0001@\n1 FAMS @F0003@\n1 FAMS @F0004@\n"));
	EXPECT_TRUE(record_of(ged, "0 @I0006@ INDI")
			.ends_with("1 FAMC @F0002@\n1 FAMS @F0005@\n1 FAMS @F0003@\n1 FAMS @F0004@\n"));
	EXPECT_EQ(record_of(ged, "0 @F0003@ FAM"),
		"0 @F0003@ FAM\n1 HUSB @I0005@\n1 WIFE @I0006@\n1 CHIL @I0007@\n");
	EXPECT_EQ(record_of(ged, "0 @F0004@ FAM"),
		"0 @F0004@ FAM\n1 HUSB @I0005@\n1 WIFE @I0006@\n1 CHIL @I0008@\n");
}

TEST(GedcomFamilies, OnePersonAsBothParentsGetsTwoSpouseLinks)
{
	std::string ged = convert(person(5, "Nils") + person(6, "Olle", 5, 5) + "0 stop9");
	EXPECT_TRUE(record_of(ged, "0 @I0005@ INDI").ends_with("1 FAMS @F0002@\n1 FAMS @F0002@\n"));
	EXPECT_EQ(record_of(ged, "0 @F0002@ FAM"),
		"0 @F0002@ FAM\n1 HUSB @I0005@\n1 WIFE @I0005@\n1 CHIL @I0006@\n");
}

TEST(GedcomFamilies, SkippedRowKeepsItsFamilyButNobodyLinksToIt)
{
	std::string ged = convert(person(5, "Nils") + person(6, "sarah", 5) + person(7, "Olle", 6) +
		"0 stop9");
	EXPECT_EQ(record_of(ged, "0 @I0006@ INDI"), "(no record 0 @I0006@ INDI)");
	EXPECT_EQ(record_of(ged, "0 @F0002@ FAM"), "0 @F0002@ FAM\n1 HUSB @I0005@\n");
	EXPECT_TRUE(record_of(ged, "0 @I0005@ INDI").ends_with("1 FAMS @F0002@\n"));
	EXPECT_EQ(record_of(ged, "0 @F0003@ FAM"), "0 @F0003@ FAM\n1 CHIL @I0007@\n");
}

TEST(GedcomFamilies, ParentWithoutRecordIsLeftOut)
{
	std::string ged = convert(person(5, "Nils") + person(6, "Olle", 44, 5) + "0 stop9");
	EXPECT_EQ(record_of(ged, "0 @F0002@ FAM"), "0 @F0002@ FAM\n1 WIFE @I0005@\n1 CHIL @I0006@\n");
}

TEST(GedcomFamilies, EndMarkerRowHasAFamilyButNoPerson)
{
	std::string ged = convert(person(5, "Nils") + person(6, "Ida") +
		"3 stop9 - - - - - - - - - - 5 6 0");
	EXPECT_EQ(ged.find("@I0003@"), std::string::npos);
	EXPECT_EQ(record_of(ged, "0 @F0003@ FAM"), "0 @F0003@ FAM\n1 HUSB @I0005@\n1 WIFE @I0006@\n");
	EXPECT_TRUE(record_of(ged, "0 @I0005@ INDI").ends_with("1 FAMS @F0003@\n"));
}

TEST(GedcomFamilies, PersonNumberedZeroIsNobodysSpouseButStillAChild)
{
	std::string ged = convert(person(5, "Nils") + person(0, "Olle", 5) + person(7, "Ida") +
		"0 stop9");
	EXPECT_EQ(record_of(ged, "0 @I0000@ INDI"),
		"0 @I0000@ INDI\n1 NAME Olle /Lund/\n1 SEX M\n1 BIRT\n2 DATE 1900\n2 PLAC Ystad\n"
		"1 FAMC @F0002@\n");
	EXPECT_EQ(record_of(ged, "0 @F0002@ FAM"), "0 @F0002@ FAM\n1 HUSB @I0005@\n1 CHIL @I0000@\n");
	EXPECT_EQ(record_of(ged, "0 @F0004@ FAM"), "0 @F0004@ FAM\n");
}

TEST(GedcomFamilies, WithoutEndMarkerEveryRowIsAPersonAndAFamily)
{
	std::string ged = convert(person(5, "Nils") + person(6, "Olle", 5));
	EXPECT_NE(ged.find("0 @I0006@ INDI\n"), std::string::npos);
	EXPECT_NE(ged.find("0 @F0002@ FAM\n1 HUSB @I0005@\n1 CHIL @I0006@\n0 TRLR\n"),
		std::string::npos);
	EXPECT_EQ(ged.find("@F0003@"), std::string::npos);
}
