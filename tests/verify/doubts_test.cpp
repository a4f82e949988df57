// Tests of -v's doubts and of the 5.5.1 findings beside them, on a hand-made family with each
// planted once, and the same family with its dates made vague.
#include <gtest/gtest.h>

#include "doubts.h"
#include "gedfile.h"
#include "lineagecheck.h"
#include "memfile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct run {
	std::vector<std::string> lines;
	long long problems;
};

// The family as a 7.0 file, each line where it was: the head's CHAR, which 7.0 has not, gives
// way to a LANG.
std::string as_seven(std::string text)
{
	for (auto [from, to] : {std::pair{"2 VERS 5.5.1\n", "2 VERS 7.0\n"}, {"1 CHAR UTF-8\n", "1 LANG en\n"}}) {
		std::size_t at = text.find(from);
		EXPECT_NE(at, std::string::npos);
		if (at != std::string::npos)
			text.replace(at, std::string(from).size(), to);
	}
	return text;
}

run check_text(const std::string &text, bool doubts)
{
	setenv("SOURCE_DATE_EPOCH", "1765000000", 1); // in 2025
	FILE *f = open_bytes(text);
	doubts_wanted = doubts;
	run r{{}, 0};
	std::string out = written_by([&](FILE *o) { r.problems = print_findings(text_over(f), "f", o); });
	doubts_wanted = true;
	std::fclose(f);
	std::istringstream s(out);
	for (std::string l; std::getline(s, l);)
		r.lines.push_back(l);
	return r;
}

run check_family(const char *name, bool doubts, bool seven = false)
{
	std::ifstream in(std::string(RULES7_TEST_DATA) + "/" + name, std::ios::binary);
	std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
	return check_text(seven ? as_seven(text) : text, doubts);
}

} // namespace

// Each error and each doubt at its line, the later of its two facts, and nothing else; the
// doubts leave the count of problems, and so the status, alone.
TEST(Doubts, EachPlantedFaultAtItsLineAndNothingElse)
{
	const std::vector<std::string> expected = {
		"f:1: HEAD without SUBM",
		"f:3: GEDC without FORM",
		"f:29: doubt: death at line 29 comes before birth at line 27",
		"f:35: doubt: birth at line 35 comes more than 10 days and less than 8 months after that of @I3@, of the same mother, at line 27",
		"f:37: doubt: christening or baptism at line 37 comes before birth at line 35",
		"f:41: doubt: burial or cremation at line 41 comes before death at line 39",
		"f:47: doubt: birth at line 47 comes more than ten months after the death of father @I1@ at line 12",
		"f:51: doubt: event at line 49 comes more than a year after death at line 51",
		"f:58: doubt: birth at line 58: mother @I2@, born at line 18, is over 60",
		"f:58: doubt: birth at line 58 comes after the death of mother @I2@ at line 20",
		"f:74: doubt: birth at line 74: father @I8@, born at line 69, is under 12",
		"f:74: doubt: birth at line 74 comes before that of ancestor @I5@ at line 47",
		"f:79: doubt: date after 2025, the current year",
		"f:81: DATE \"29 FEB 1900\" names a day its calendar does not have",
		"f:82: AGE \"45\" does not follow GEDCOM's age grammar",
		"f:84: DATE \"BET 1900 AND 1890\" ends before it begins",
		"f:90: doubt: death or burial at line 90 comes more than 120 years after birth at line 88",
		"f:105: doubt: birth at line 105: mother @I13@, born at line 100, is under 12",
		"f:105: doubt: birth at line 105: father @I12@, born at line 95, is over 90",
		"f:111: doubt: marriage at line 111 comes after the death of @I1@ at line 12",
		"f:122: doubt: marriage at line 122: @I5@, born at line 47, is under 12",
		// A line of descent from @I15@: each born before a later ancestor, that of @I18@ one
		// its parent was not born before; @I19@ and @I20@ repeat @I18@'s, and are not doubted.
		"f:148: doubt: birth at line 148: father @I16@, born at line 142, is under 12",
		"f:148: doubt: birth at line 148 comes before that of ancestor @I15@ at line 137",
		"f:154: doubt: birth at line 154 comes before that of ancestor @I16@ at line 142",
		"f: 4 family trees not linked to one another by FAMC and FAMS",
		"5 problems and 19 doubts found in f.",
	};
	run r = check_family("family.ged", true);
	EXPECT_EQ(r.lines, expected);
	EXPECT_EQ(r.problems, 5);
	run plain = check_family("family.ged", false);
	std::vector<std::string> errors;
	for (const std::string &l : expected)
		if (l.find("doubt") == std::string::npos && l.find("trees") == std::string::npos)
			errors.push_back(l);
	errors.push_back("5 problems found in f.");
	EXPECT_EQ(plain.lines, errors);
	EXPECT_EQ(plain.problems, 5);
}

// The same family as a 7.0 file: the same doubts at the same lines, with or without the 7.0
// rules' own findings beside them, and none with --no-doubts.
TEST(Doubts, ASevenFileHasTheSameDoubtsAtTheSameLines)
{
	run five = check_family("family.ged", true);
	run seven = check_family("family.ged", true, true);
	auto doubts_of = [](const run &r) {
		std::vector<std::string> d;
		for (const std::string &l : r.lines)
			if (l.find(": doubt: ") != std::string::npos || l.find(" family trees ") != std::string::npos)
				d.push_back(l);
		return d;
	};
	EXPECT_EQ(doubts_of(seven), doubts_of(five));
	EXPECT_EQ(doubts_of(seven).size(), 20u);
	// 7.0 asks an EVEN for its TYPE and writes ages with units; the days and the range are
	// faults in both versions, in the same words.
	const std::vector<std::string> errors = {
		"f:80: EVEN without TYPE",
		"f:81: DATE \"29 FEB 1900\" names a day its calendar does not have",
		"f:82: AGE \"45\" is not an age ([< or >] [Ny] [Nm] [Nw] [Nd])",
		"f:84: DATE \"BET 1900 AND 1890\" ends before it begins",
	};
	std::vector<std::string> rest;
	for (const std::string &l : seven.lines)
		if (l.find(": doubt: ") == std::string::npos && l.find(" family trees ") == std::string::npos)
			rest.push_back(l);
	std::vector<std::string> expected = errors;
	expected.push_back("4 problems and 19 doubts found in f.");
	EXPECT_EQ(rest, expected);
	EXPECT_EQ(seven.problems, 4);
	run plain = check_family("family.ged", false, true);
	expected.back() = "4 problems found in f.";
	EXPECT_EQ(plain.lines, expected);
	run vague = check_family("family-vague.ged", true, true);
	const std::vector<std::string> none = {"f:80: EVEN without TYPE",
					       "f: 3 family trees not linked to one another by FAMC and FAMS",
					       "1 problem found in f."};
	EXPECT_EQ(vague.lines, none);
}

// The same family, each doubtful date made vague so that one reading makes the facts
// possible: a death AFT a year with a child born BEF a later one, twins on one day, a child
// born in the year of the father's death, ABT within its five years, ranges and bounds.
TEST(Doubts, VagueDatesThatAllowTheFactsRaiseNone)
{
	run r = check_family("family-vague.ged", true);
	const std::vector<std::string> expected = {
		"f:1: HEAD without SUBM", "f:3: GEDC without FORM",
		"f: 3 family trees not linked to one another by FAMC and FAMS", "2 problems found in f."};
	EXPECT_EQ(r.lines, expected);
}

// A record's facts are found by its number whatever came before it: a record without a
// cross-reference, records of other kinds, a cross-reference named twice (whose first record
// line's facts stand: the second's birth would make the father over 90, not under 12; a
// first without a birth leaves no doubt at all).
TEST(Doubts, FactsFollowTheirRecordPastOddRecords)
{
	const std::string head = "0 HEAD\n1 SOUR T\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n";
	const std::string father = "0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n";
	const std::string again = "0 @I1@ INDI\n1 BIRT\n2 DATE 1800\n";
	const std::string child = "0 @I2@ INDI\n1 BIRT\n2 DATE 1905\n";
	const std::string family = "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n0 TRLR\n";
	const struct {
		std::string records;
		int child_line, father_line;
	} cases[] = {
		{father + child + family, 12, 9},
		{"0 INDI\n1 BIRT\n2 DATE 1700\n" + father + child + family, 15, 12},
		{father + child + again + family, 12, 9},
		{"0 @I1@ INDI\n" + father + child + family, 0, 0},
		{"0 @S1@ SOUR\n0 @S2@ SOUR\n0 @S3@ SOUR\n" + father + again + child + family, 18, 12},
	};
	for (const auto &c : cases) {
		run r = check_text(head + c.records, true);
		std::vector<std::string> doubts;
		for (const std::string &l : r.lines)
			if (l.find(": doubt: ") != std::string::npos)
				doubts.push_back(l);
		std::vector<std::string> want;
		if (c.child_line)
			want.push_back("f:" + std::to_string(c.child_line) + ": doubt: birth at line " +
				       std::to_string(c.child_line) + ": father @I1@, born at line " +
				       std::to_string(c.father_line) + ", is under 12");
		EXPECT_EQ(doubts, want) << c.records;
	}
}
