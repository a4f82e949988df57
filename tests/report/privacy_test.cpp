// Who is private, and what the report withholds of them, in the year 2026.
#include <gtest/gtest.h>

#include "report_run.h"

namespace {

constexpr int now = 2026;

void decide_privacy(std::string_view gedcom)
{
	FILE *in = open_bytes(gedcom);
	find_private(text_over(in), now);
	std::fclose(in);
}

bool is_private(std::string_view xref)
{
	return names_private("1 HUSB @" + std::string(xref) + "@\n");
}

std::string run_private(char flag, const std::string& gedcom)
{
	option = flag;
	private_mode = true;
	decide_privacy(gedcom);
	return run_report(flag, gedcom);
}

// A date line whose year stands across the end of its first piece.
std::string date_across_pieces(std::string_view year, std::size_t digits_in_first)
{
	std::string line = "2 DATE ABT";
	line.append(piece_max - digits_in_first - line.size(), ' ');
	return line + std::string(year) + "\n";
}

struct rule_case {
	const char *what;
	std::string records; // @I1@ is the person asked about
	bool hidden;
};

std::string person(std::string_view lines)
{
	return "0 @I1@ INDI\n1 NAME Ann /Lee/\n" + std::string(lines);
}

std::string parent_born(std::string_view year)
{
	return person("1 FAMC @F1@\n") + "0 @I2@ INDI\n1 BIRT\n2 DATE " + std::string(year) +
	       "\n1 DEAT\n0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n";
}

std::string parent_with_dates(std::string_view later)
{
	return person("1 FAMC @F1@\n") + "0 @I2@ INDI\n1 BIRT\n2 DATE 1920\n1 CHR\n2 DATE " + std::string(later) +
	       "\n0 @F1@ FAM\n1 WIFE @I2@\n1 CHIL @I1@\n";
}

std::string family_of(std::string_view role, std::string_view year)
{
	return "0 @F1@ FAM\n1 HUSB @I1@\n1 " + std::string(role) + " @I2@\n0 @I2@ INDI\n1 BIRT\n2 DATE " +
	       std::string(year) + "\n1 DEAT\n" + person("1 FAMS @F1@\n");
}

} // namespace

TEST(PrivacyRule, EachPersonIsDecidedByTheirOwnFactsThenTheirRelatives)
{
	const rule_case cases[] = {
		{"RESN privacy, dead long ago", person("1 RESN privacy\n1 BIRT\n2 DATE 1800\n1 DEAT Y\n"), true},
		{"RESN in capitals", person("1 RESN CONFIDENTIAL\n"), true},
		{"RESN as a list", person("1 RESN Confidential, LOCKED\n1 BURI\n"), true},
		{"RESN list, privacy second", person("1 RESN LOCKED,  PRIVACY \n1 BURI\n"), true},
		{"RESN locked", person("1 RESN locked\n1 BIRT\n2 DATE 1800\n"), false},
		{"born 99 years ago", person("1 BIRT\n2 DATE 1927\n"), true},
		{"born 100 years ago", person("1 BIRT\n2 DATE 1926\n"), false},
		{"young but buried", person("1 BIRT\n2 DATE 1990\n1 BURI\n"), false},
		{"cremated, tag in small letters", person("1 crem\n"), false},
		{"the earliest event counts", person("1 BIRT\n2 DATE 1990\n1 RESI\n2 DATE 1900\n"), false},
		{"a year of three digits", person("1 CHR\n2 DATE ABT 850\n"), false},
		{"a change date is no event", person("1 CHAN\n2 DATE 1900\n"), true},
		{"a date below level 2 is no event", person("1 SOUR @S1@\n2 DATA\n3 DATE 1800\n"), true},
		{"five digits are no year", person("1 BIRT\n2 DATE 12 MAR 19000\n"), true},
		{"a year across two pieces", person("1 BIRT\n" + date_across_pieces("1900", 2)), false},
		{"three digits of a year at a piece's end", person("1 BIRT\n" + date_across_pieces("1948", 3)), true},
		{"no dates, no relatives", person(""), true},
		{"parent 120 years", parent_born("1906"), false},
		{"parent 119 years", parent_born("1907"), true},
		{"a parent's earlier date after a later one", parent_with_dates("1900"), false},
		{"partner 100 years", family_of("WIFE", "1926"), false},
		{"partner 99 years", family_of("WIFE", "1927"), true},
		{"child 80 years", family_of("CHIL", "1946"), false},
		{"child 79 years", family_of("CHIL", "1947"), true},
		{"a parent found only by the family's CHIL", person("") +
			"0 @I2@ INDI\n1 BIRT\n2 DATE 1800\n0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n", true},
	};
	for (const rule_case& c : cases) {
		SCOPED_TRACE(c.what);
		decide_privacy("0 HEAD\n" + c.records + "0 TRLR\n");
		EXPECT_EQ(is_private("I1"), c.hidden);
	}
}

TEST(PrivacyRule, CountsGiveTheReasons)
{
	decide_privacy(person("1 RESN privacy\n") + "0 @I2@ INDI\n1 BIRT\n2 DATE 2000\n0 @I3@ INDI\n"
		       "0 @I4@ INDI\n1 DEAT\n0 @I5@ INDI\n1 BIRT\n2 DATE 2001\n");
	EXPECT_EQ(private_counts.restricted, 1);
	EXPECT_EQ(private_counts.living, 2);
	EXPECT_EQ(private_counts.undated, 1);
	EXPECT_EQ(private_counts.published, 1);
}

// Beyond what its memory may hold the pass learns no more, and whoever it did not learn of
// is private.
TEST(PrivacyRule, PeopleBeyondTheTablesArePrivate)
{
	std::string gedcom;
	for (int n = 0; n < 800000; ++n)
		gedcom += "0 @I" + std::to_string(n) + "@ INDI\n1 DEAT\n";
	decide_privacy(gedcom);
	EXPECT_FALSE(is_private("I0"));
	EXPECT_TRUE(is_private("I799999"));
}

TEST(PrivateReport, FamilyFactsAreWithheldWhereverTheyStandInTheRecord)
{
	std::string page = run_private('f', person("1 BIRT\n2 DATE 2000\n") +
						     "0 @I2@ INDI\n1 NAME Bo /Lee/\n1 DEAT\n"
						     "0 @F1@ FAM\n1 MARR\n2 DATE 2020\n2 PLAC Kew\n1 HUSB @I2@\n"
						     "1 WIFE @I1@\n1 DIV\n2 DATE 2021\n0 TRLR\n");
	EXPECT_EQ(page.find("Marriage"), std::string::npos);
	EXPECT_EQ(page.find("Divorce"), std::string::npos);
	EXPECT_NE(page.find("Husband = <b>Bo /Lee/\n"), std::string::npos);
	EXPECT_NE(page.find("Wife = <b>Private\n</b> ( - )"), std::string::npos);
}

// The rest of a private person's long line may look like a record line to the reader; what
// follows it is still the private person's, and is neither shown nor kept for another row.
TEST(PrivateReport, APrivateRecordStaysWithheldPastAPieceThatLooksLikeARecordLine)
{
	std::string gedcom = "0 @I2@ INDI\n1 NAME Bo /Lee/\n1 DEAT\n" + person("1 BIRT\n2 DATE 2000\n") +
			     "1 NOTE " + std::string(72, 'x') + "0 @I2@ INDI\n1 NAME Secret /Lee/\n2 DATE 2000\n"
			     "0 @F1@ FAM\n1 HUSB @I2@\n0 TRLR\n";
	EXPECT_EQ(run_private('i', gedcom).find("Secret"), std::string::npos);
	std::string families = run_private('f', gedcom);
	EXPECT_EQ(families.find("Secret"), std::string::npos);
	EXPECT_NE(families.find("Husband = <b>Bo /Lee/\n"), std::string::npos);
}

// Such a record may be an individual's: it is withheld whole, and where its cross-reference
// can be read, a family line that names it shows "Private".
TEST(PrivateReport, RecordLinesThatCannotBeLookedUpAreWithheld)
{
	const std::string lines[] = {"0 @I1" + std::string(80, '1'), "0 INDI", "0 @I1@"};
	for (const std::string& line : lines) {
		SCOPED_TRACE(line);
		std::string gedcom = line + "\n1 NAME Ann /Lee/\n1 BIRT\n2 DATE 1800\n0 @F1@ FAM\n1 HUSB @I1@\n0 TRLR\n";
		std::string individuals = run_private('i', gedcom);
		EXPECT_EQ(individuals.find("Ann"), std::string::npos);
		EXPECT_NE(individuals.find(" Name = Private"), std::string::npos);
		EXPECT_EQ(run_private('f', gedcom).find("Ann"), std::string::npos);
	}
}

TEST(PrivateReport, PrivateKeepsTheLineEndsOfTheFile)
{
	std::string gedcom = "0 @I1@ INDI\r\n1 NAME Ann /Lee/\r\n0 @F1@ FAM\r\n1 WIFE @I1@\r\n0 TRLR\r\n";
	EXPECT_NE(run_private('i', gedcom).find(std::string(l1) + " Name = Private\r\n\n"), std::string::npos);
	EXPECT_NE(run_private('f', gedcom).find("Wife = <b>Private\r\n</b> ( - )"), std::string::npos);
}
