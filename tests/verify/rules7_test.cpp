// Tests of the GEDCOM 7.0 rules: the official example files, a file of every structure type, and each fault alone.
#include <gtest/gtest.h>

#include "gedfile.h"
#include "lineagecheck.h"
#include "memfile.h"
#include "rules7.h"
#include "rules7_internal.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace rules7;

namespace {

struct seen_finding {
	std::uint64_t line;
	kind7 kind;
	std::string text;
};

struct run7 {
	std::vector<seen_finding> findings;
	std::vector<std::pair<std::string, std::string>> pointers; // target, record tag
	std::map<std::string, std::string> records;		    // xref, tag
	std::set<std::string> types;
};

std::string message_of(const finding7 &f)
{
	return written_by([&f](FILE *out) { rules7_message(f, out); });
}

void keep_finding(void *context, const finding7 &f)
{
	static_cast<run7 *>(context)->findings.push_back({f.line, f.kind, message_of(f)});
}

void keep_pointer(void *context, const pointer7 &p)
{
	static_cast<run7 *>(context)->pointers.emplace_back(std::string(p.target), std::string(p.record_tag));
}

// Cut the way a line grammar would: level, optional @xref@, tag, the rest.
line7 cut(std::uint64_t number, std::string_view text)
{
	line7 l{number, 0, {}, {}, {}};
	std::size_t sp = text.find(' ');
	for (char c : text.substr(0, sp))
		l.level = l.level * 10 + static_cast<unsigned>(c - '0');
	text = sp == std::string_view::npos ? std::string_view{} : text.substr(sp + 1);
	if (text.starts_with('@') && text.find("@ ") != std::string_view::npos) {
		std::size_t end = text.find("@ ");
		l.xref = text.substr(1, end - 1);
		text.remove_prefix(end + 2);
	}
	sp = text.find(' ');
	l.tag = text.substr(0, sp);
	l.value = sp == std::string_view::npos ? std::string_view{} : text.substr(sp + 1);
	return l;
}

run7 check(std::string text)
{
	if (text.starts_with("\xEF\xBB\xBF"))
		text.erase(0, 3);
	run7 r;
	checker7 c;
	rules7_start(c, keep_finding, keep_pointer, &r);
	std::istringstream in(text);
	std::string line;
	for (std::uint64_t n = 1; std::getline(in, line); ++n) {
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		line7 l = cut(n, line);
		rules7_line(c, l);
		if (l.level == 0 && !l.xref.empty())
			r.records[std::string(l.xref)] = std::string(l.tag);
		r.types.insert(l.tag == "CONT" ? "CONT" : std::string(structure_name7(rules7_open_type(c))));
	}
	rules7_finish(c);
	return r;
}

std::string read_file(const std::filesystem::path &path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string all_findings(const run7 &r)
{
	std::string all;
	for (const seen_finding &f : r.findings)
		all += std::to_string(f.line) + ": " + f.text + "\n";
	return all;
}

// What lineagecheck -v writes for the file, named "f".
std::string verified(const std::string &file)
{
	FILE *in = open_bytes(file);
	std::string out = written_by([in](FILE *o) { print_findings(text_over(in), "f", o); });
	std::fclose(in);
	return out;
}

// Every pointer names a record of the file, of the kind its structure points to.
void expect_pointers_land(const run7 &r)
{
	for (const auto &[target, tag] : r.pointers) {
		SCOPED_TRACE(target);
		auto found = r.records.find(target);
		ASSERT_NE(found, r.records.end());
		EXPECT_EQ(found->second, tag);
	}
}

} // namespace

// The 7.0 rules find nothing in any official file. -v finds what their dates say: date-all.ged,
// which writes every form of date with days drawn at random, names days its calendars lack
// (31 NOV 1042, FRENCH_R 23 COMP 38, ADS in a common Hebrew year, 30 FEB) and ranges that
// end before they begin (BET 1950 AND 302). Its people, and those of two other files, stand
// in more than one family tree; no date of any file is in doubt.
TEST(Rules7Files, EveryOfficialSevenFileIsClean)
{
	std::filesystem::path folder = std::filesystem::path(LINEAGE_SAMPLES) / "gedcom7code" / "7";
	const std::map<std::string, std::string> last_lines = {
		{"date-all.ged", "976 problems found in f."}};
	int files = 0, trees = 0;
	long long no_day = 0, reversed = 0;
	for (const auto &entry : std::filesystem::directory_iterator(folder)) {
		std::string name = entry.path().filename().string();
		SCOPED_TRACE(name);
		run7 r = check(read_file(entry.path()));
		EXPECT_EQ(all_findings(r), "");
		std::istringstream out(verified(read_file(entry.path())));
		std::vector<std::string> lines;
		for (std::string l; std::getline(out, l);)
			lines.push_back(l);
		ASSERT_FALSE(lines.empty());
		auto last = last_lines.find(name);
		EXPECT_EQ(lines.back(), last == last_lines.end() ? "No problems found in f." : last->second);
		lines.pop_back();
		for (const std::string &l : lines) {
			bool day = l.ends_with("\" names a day its calendar does not have");
			bool range = l.ends_with("\" ends before it begins");
			bool tree = l.ends_with(" family trees not linked to one another by FAMC and FAMS");
			no_day += day;
			reversed += range;
			trees += tree;
			EXPECT_TRUE(day || range || tree) << l;
		}
		expect_pointers_land(r);
		++files;
	}
	EXPECT_EQ(files, 25);
	EXPECT_EQ(no_day, 51);
	EXPECT_EQ(reversed, 925);
	EXPECT_EQ(trees, 3);
}

// A file that uses every structure type of the tables at least once, each where it belongs.
TEST(Rules7Files, AFileOfEveryStructureTypeIsClean)
{
	std::string file = read_file(std::filesystem::path(RULES7_TEST_DATA) / "every-structure-7.ged");
	run7 r = check(file);
	EXPECT_EQ(all_findings(r), "");
	// @I3@ is in no family: the closing line counts two trees.
	EXPECT_EQ(verified(file), "f: 2 family trees not linked to one another by FAMC and FAMS\nNo problems found in f.\n");
	expect_pointers_land(r);
	std::string unused;
	for (int type = 1; !structure_name7(type).empty(); ++type)
		if (!r.types.contains(std::string(structure_name7(type))))
			unused += std::string(structure_name7(type)) + " ";
	EXPECT_EQ(unused, "");
}

namespace {

// A valid 7.0 file into which each case plants one change.
const std::vector<std::string> base_file = {
	"0 HEAD",		 // 1
	"1 GEDC",		 // 2
	"2 VERS 7.0",		 // 3
	"1 SCHMA",		 // 4
	"2 TAG _DATE https://gedcom.io/terms/v7/DATE", // 5
	"1 SUBM @U1@",		 // 6
	"0 @I1@ INDI",		 // 7
	"1 NAME Anna /Smith/",	 // 8
	"1 SEX F",		 // 9
	"1 BIRT",		 // 10
	"2 DATE 2 MAR 1900",	 // 11
	"1 NOTE A note",	 // 12
	"1 FAMC @F1@",		 // 13
	"0 @F1@ FAM",		 // 14
	"1 CHIL @I1@",		 // 15
	"0 @U1@ SUBM",		 // 16
	"1 NAME Submitter",	 // 17
	"0 @N1@ SNOTE Shared",	 // 18
	"0 TRLR",		 // 19
};

enum edit7 { replace_line, insert_before, delete_line };

struct planted {
	const char *what;
	edit7 edit;
	std::size_t at;
	const char *text;
};

std::string planted_file(const planted &p)
{
	std::vector<std::string> lines = base_file;
	if (p.edit == replace_line)
		lines[p.at - 1] = p.text;
	else if (p.edit == insert_before)
		lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(p.at - 1), p.text);
	else
		lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(p.at - 1));
	std::string file;
	for (const std::string &l : lines)
		file += l + "\n";
	return file;
}

// What -v itself makes of a fault: the same finding; another one at its line, as bytes that are
// not UTF-8 are found before any rule reads them; the 5.5.1 rules, as the fault hides the version;
// or the finding `said`, of white space that -v finds as it reads the line, before any rule.
enum class through_v { same, not_utf8, not_seven, reading };

struct fault_case {
	planted p;
	kind7 kind;
	std::uint64_t line;
	through_v v = through_v::same;
	const char *said = nullptr;
};

// -v finds the one fault at its line and says what the rules say.
void expect_verified(const fault_case &c, const seen_finding *f)
{
	if (c.v == through_v::not_seven)
		return;
	std::string said = c.v == through_v::reading ? c.said
		: c.v == through_v::same		     ? f->text
							     : "bytes not valid in the file's character set";
	EXPECT_EQ(verified(planted_file(c.p)), "f:" + std::to_string(c.line) + ": " + said + "\n1 problem found in f.\n");
}

} // namespace

namespace {

// One fault planted in the sound file, the finding it gives, and its line.
const std::vector<fault_case> fault_cases = {
	{{"lower-case cross-reference", replace_line, 16, "0 @u1@ SUBM"}, kind7::bad_xref, 16},
	{{"cross-reference on a substructure", replace_line, 9, "1 @X1@ SEX F"}, kind7::xref_not_record, 9},
	{{"cross-reference on the header", replace_line, 1, "0 @H@ HEAD"}, kind7::xref_not_record, 1},
	{{"a record called @VOID@", replace_line, 18, "0 @VOID@ SNOTE Shared"}, kind7::void_xref, 18},
	{{"a record without cross-reference", replace_line, 18, "0 SNOTE Shared"}, kind7::record_without_xref, 18},
	{{"lower-case tag", replace_line, 9, "1 sex F"}, kind7::bad_tag, 9},
	{{"a lone underscore as tag", replace_line, 9, "1 _ F"}, kind7::bad_tag, 9},
	{{"C0 control", replace_line, 12, "1 NOTE A\x01note"}, kind7::banned_character, 12},
	{{"DEL", replace_line, 12, "1 NOTE A\x7Fnote"}, kind7::banned_character, 12},
	{{"C1 control", replace_line, 12, "1 NOTE A\xC2\x85note"}, kind7::banned_character, 12},
	{{"surrogate", replace_line, 12, "1 NOTE A\xED\xA0\x80note"}, kind7::banned_character, 12, through_v::not_utf8},
	{{"U+FFFF", replace_line, 12, "1 NOTE A\xEF\xBF\xBFnote"}, kind7::banned_character, 12},
	{{"C0 as a whole value", replace_line, 12, "1 NOTE \x01"}, kind7::banned_character, 12},
	{{"DEL ending a value of three bytes", replace_line, 12, "1 NOTE Ab\x7F"}, kind7::banned_character, 12},
	{{"C1 control in a value of three bytes", replace_line, 12, "1 NOTE A\xC2\x85"}, kind7::banned_character, 12},
	{{"DEL far into a value", replace_line, 12, "1 NOTE A longer note\x7F"}, kind7::banned_character, 12},
	{{"C0 far into a value", replace_line, 12, "1 NOTE A longer note, \x1F"}, kind7::banned_character, 12},
	{{"C0 past a value's 16th byte", replace_line, 12, "1 NOTE A note of more than 16 bytes\x1F"}, kind7::banned_character,
	 12},
	{{"surrogate far into a value", replace_line, 12, "1 NOTE A longer\xED\xBF\xBF note"}, kind7::banned_character, 12,
	 through_v::not_utf8},
	{{"lone leading @ in text", replace_line, 12, "1 NOTE @ home"}, kind7::lone_at, 12},
	{{"lone leading @ under an extension", insert_before, 13, "1 _X @home"}, kind7::lone_at, 13},
	{{"lone leading @ in a continuation", insert_before, 13, "2 CONT @ home"}, kind7::lone_at, 13},
	{{"a record before the header", insert_before, 1, "0 @N2@ SNOTE Early"}, kind7::first_line, 1},
	{{"a record after the trailer", insert_before, 20, "0 @U2@ SUBM"}, kind7::after_trailer, 20},
	{{"no trailer", delete_line, 19, ""}, kind7::no_trailer, 18},
	{{"a substructure as a record", replace_line, 18, "0 @N1@ DATE 1900"}, kind7::not_record, 18},
	{{"a tag where its superstructure has none", insert_before, 10, "2 DATE 1900"}, kind7::not_allowed, 10},
	{{"an unknown standard tag", insert_before, 10, "1 HOBBY Chess"}, kind7::not_allowed, 10},
	{{"a second SEX", insert_before, 10, "1 SEX M"}, kind7::too_many, 10},
	{{"a second header", insert_before, 19, "0 HEAD\n1 GEDC\n2 VERS 7.0"}, kind7::too_many, 19},
	{{"a second CHIL is fine, a second WIFE not", insert_before, 15, "1 WIFE @VOID@\n1 WIFE @VOID@"}, kind7::too_many, 16},
	{{"GEDC without VERS", delete_line, 3, ""}, kind7::missing, 2, through_v::not_seven},
	{{"HEAD without GEDC", replace_line, 2, "1 _GEDC"}, kind7::missing, 1, through_v::not_seven},
	{{"CHAN without DATE, ended with what stands under it", insert_before, 13, "1 CHAN\n2 NOTE Edited\n3 LANG en"},
	 kind7::missing, 13, through_v::not_seven},
	{{"CONC", insert_before, 13, "2 CONC more"}, kind7::conc, 13},
	{{"CONC under an extension", insert_before, 13, "1 _X some\n2 CONC more"}, kind7::conc, 14},
	{{"CONT under a structure without text", insert_before, 12, "2 CONT more"}, kind7::cont_misplaced, 12},
	{{"CONT after another substructure", insert_before, 13, "2 MIME text/plain\n2 CONT more"}, kind7::cont_misplaced, 14},
	{{"a value where none is taken", replace_line, 16, "0 @U1@ SUBM Me"}, kind7::value_not_allowed, 16},
	{{"Y flag", replace_line, 10, "1 BIRT N"}, kind7::bad_payload, 10},
	{{"enumeration", replace_line, 9, "1 SEX W"}, kind7::bad_payload, 9},
	{{"enumeration of another set", replace_line, 9, "1 SEX PRIVACY"}, kind7::bad_payload, 9},
	{{"enumeration in lower case", replace_line, 9, "1 SEX f"}, kind7::bad_payload, 9},
	{{"enumeration list", insert_before, 9, "1 RESN PRIVACY, SECRET"}, kind7::bad_payload, 9},
	{{"date month", replace_line, 11, "2 DATE 2 MAY. 1900"}, kind7::bad_payload, 11},
	{{"date month of another calendar", replace_line, 11, "2 DATE JULIAN 2 VEND 1900"}, kind7::bad_payload, 11},
	{{"BCE in the Hebrew calendar", replace_line, 11, "2 DATE HEBREW 5 TSH 100 BCE"}, kind7::bad_payload, 11},
	{{"date range without AND", replace_line, 11, "2 DATE BET 1900 1910"}, kind7::bad_payload, 11},
	{{"date with two spaces", replace_line, 11, "2 DATE 2  MAR 1900"}, kind7::bad_payload, 11},
	{{"exact date", insert_before, 14, "1 CHAN\n2 DATE MAR 1900"}, kind7::bad_payload, 15},
	{{"date period", insert_before, 14, "1 NO BIRT\n2 DATE ABT 1900"}, kind7::bad_payload, 15},
	{{"time", insert_before, 12, "3 TIME 24:00"}, kind7::bad_payload, 12},
	{{"age", insert_before, 12, "2 AGE 5"}, kind7::bad_payload, 12},
	{{"age units out of order", insert_before, 12, "2 AGE 5d 2y"}, kind7::bad_payload, 12},
	{{"non-negative integer", insert_before, 12, "1 NCHI -1"}, kind7::bad_payload, 12},
	{{"language", insert_before, 18, "1 LANG en_US"}, kind7::bad_payload, 18},
	{{"media type", insert_before, 13, "2 MIME plain"}, kind7::bad_payload, 13},
	{{"latitude", insert_before, 12, "2 PLAC Here\n3 MAP\n4 LATI N91\n4 LONG E0"}, kind7::bad_payload, 14},
	{{"longitude", insert_before, 12, "2 PLAC Here\n3 MAP\n4 LATI N0\n4 LONG 12.5"}, kind7::bad_payload, 15},
	{{"two surnames", replace_line, 8, "1 NAME Anna /Smith/ /Jones/"}, kind7::bad_payload, 8},
	{{"extension tag definition", replace_line, 5, "2 TAG _DATE"}, kind7::bad_payload, 5},
	{{"pointer", replace_line, 6, "1 SUBM U1"}, kind7::bad_payload, 6},
	{{"empty pointer", replace_line, 6, "1 SUBM"}, kind7::bad_payload, 6},
	{{"a relocated DATE keeps its payload", insert_before, 9, "2 _DATE 2 MAR"}, kind7::bad_payload, 9},
	{{"a relocated DATE keeps its substructures", insert_before, 9, "2 _DATE 1900\n3 SEX M"}, kind7::not_allowed, 10},
	{{"a relocated DATE where DATE itself belongs", insert_before, 12, "2 _DATE 1900"}, kind7::not_allowed, 12},
	{{"calendar escape", replace_line, 11, "2 DATE @#DJULIAN@ 2 MAR 1900"}, kind7::legacy, 11},
	{{"dual year", replace_line, 11, "2 DATE 2 MAR 1750/51"}, kind7::legacy, 11},
	{{"interpreted date", replace_line, 11, "2 DATE INT 1900 (about then)"}, kind7::legacy, 11},
	{{"date phrase", replace_line, 11, "2 DATE (in the spring)"}, kind7::legacy, 11},
	{{"B.C.", replace_line, 11, "2 DATE 44 B.C."}, kind7::legacy, 11},
	{{"CHAR", insert_before, 4, "1 CHAR UTF-8"}, kind7::legacy, 4},
	{{"SUBN", insert_before, 19, "0 @B1@ SUBN"}, kind7::legacy, 19},
	{{"NOTE record", replace_line, 18, "0 @N1@ NOTE Shared"}, kind7::legacy, 18},
	{{"NOTE pointer", replace_line, 12, "1 NOTE @N1@"}, kind7::note_pointer, 12},
	{{"blanks before the level", replace_line, 9, "  1 SEX F"}, kind7::leading_space, 9, through_v::reading,
	 "white space before the level, which GEDCOM 7.0 does not allow"},
	{{"a tab before the header, whose version is not yet known", replace_line, 1, "\t0 HEAD"}, kind7::leading_space,
	 1, through_v::reading, "white space before the level, which GEDCOM 7.0 does not allow"},
	{{"two blanks after the level", replace_line, 9, "1  SEX F"}, kind7::not_one_space, 9, through_v::reading,
	 "more than one space after the level, where GEDCOM 7.0 writes one"},
	{{"a tab after the level", replace_line, 9, "1\tSEX F"}, kind7::not_one_space, 9, through_v::reading,
	 "a tab after the level, where GEDCOM 7.0 writes one space"},
	{{"a blank and a tab after the cross-reference", replace_line, 7, "0 @I1@ \tINDI"}, kind7::not_one_space, 7,
	 through_v::reading, "more than one space after the cross-reference, where GEDCOM 7.0 writes one"},
	{{"a tab after the cross-reference", replace_line, 7, "0 @I1@\tINDI"}, kind7::not_one_space, 7,
	 through_v::reading, "a tab after the cross-reference, where GEDCOM 7.0 writes one space"},
	{{"a tab after the tag", replace_line, 9, "1 SEX\tF"}, kind7::not_one_space, 9, through_v::reading,
	 "a tab after SEX, where GEDCOM 7.0 writes one space"},
	{{"a space after the tag and no value", replace_line, 7, "0 @I1@ INDI "}, kind7::space_without_value, 7,
	 through_v::reading, "INDI is followed by a space but no value, which GEDCOM 7.0 does not allow"},
	{{"a blank line", insert_before, 10, ""}, kind7::blank_line, 10, through_v::reading,
	 "blank line, which GEDCOM 7.0 does not allow"},
	{{"a line of white space alone", insert_before, 10, " \t "}, kind7::blank_line, 10, through_v::reading,
	 "blank line, which GEDCOM 7.0 does not allow"},
};

} // namespace

TEST(Rules7Faults, EachFaultAloneGivesOneFindingAtItsLine)
{
	for (const fault_case &c : fault_cases) {
		SCOPED_TRACE(c.p.what);
		if (c.v == through_v::reading) {
			expect_verified(c, nullptr);
			continue;
		}
		run7 r = check(planted_file(c.p));
		if (r.findings.size() != 1) {
			ADD_FAILURE() << all_findings(r);
			continue;
		}
		EXPECT_EQ(r.findings[0].kind, c.kind) << all_findings(r);
		EXPECT_EQ(r.findings[0].line, c.line);
		expect_verified(c, &r.findings[0]);
	}
}

TEST(Rules7Faults, WhatSevenAllowsGivesNoFinding)
{
	const std::vector<planted> cases = {
		{"@VOID@ for a pointer", replace_line, 15, "1 CHIL @VOID@"},
		{"a doubled leading @", replace_line, 12, "1 NOTE @@home"},
		{"an @ inside text", replace_line, 12, "1 NOTE me@home @X@"},
		{"a tab and characters above ASCII", replace_line, 12, "1 NOTE A\tn\xC3\xB6te \xEF\xBF\xBD and \xC2\xA0 \xF0\x9F\x98\x80\t!"},
		{"blanks that begin and end a value are its own", replace_line, 12, "1 NOTE  \t A note \t"},
		{"an empty continuation, and one of blanks", insert_before, 13, "2 CONT\n2 CONT   "},
		{"CONT lines after a note", insert_before, 13, "2 CONT second\n2 CONT\n2 CONT @@third"},
		{"an empty note continued", replace_line, 12, "1 NOTE\n2 CONT text"},
		{"an undocumented extension and what is under it", insert_before, 12, "1 _HOBBY\n2 DATE often\n3 FOO x"},
		{"an extension record", insert_before, 19, "0 @P1@ _PLACE\n1 NAME Here"},
		{"a relocated standard structure", insert_before, 9, "2 _DATE FROM 1900 TO 1950\n3 PHRASE Then"},
		{"EXID without TYPE", insert_before, 12, "1 EXID 123"},
		{"an extension enumeration value", replace_line, 9, "1 SEX _OTHER"},
		{"an enumeration list", insert_before, 9, "1 RESN CONFIDENTIAL,LOCKED , _MINE"},
		{"an extension calendar with its months and epoch", replace_line, 11, "2 DATE _MAYAN 5 _POP 100 _BEFORE"},
		{"BCE", replace_line, 11, "2 DATE JULIAN 15 MAR 44 BCE"},
		{"each standard calendar", replace_line, 11, "2 DATE BET FRENCH_R 1 VEND 1 AND HEBREW ADS 5600"},
		{"an empty date", replace_line, 11, "2 DATE"},
		{"a period", insert_before, 12, "1 NO DEAT\n2 DATE FROM 1900 TO 1950"},
		{"a time with seconds, fraction and zone", insert_before, 12, "3 TIME 23:59:59.125Z"},
		{"bounded ages", insert_before, 12, "2 AGE < 1y 2m 3w 4d"},
		{"a language tag with script, region and private use", insert_before, 18, "1 LANG zh-Hant-TW-x-abc"},
		{"a media type with parameters", insert_before, 13, "2 MIME text/plain; charset=\"utf-8\""},
		{"places on the map", insert_before, 12, "2 PLAC Here\n3 MAP\n4 LATI S90\n4 LONG W180"},
		{"a name without surname", replace_line, 8, "1 NAME Anna"},
		{"a pointer to a missing record (checked later)", replace_line, 13, "1 FAMC @F9@"},
	};
	for (const planted &p : cases) {
		SCOPED_TRACE(p.what);
		EXPECT_EQ(all_findings(check(planted_file(p))), "");
		// The two that leave a link one way or to nothing are the end checks' to find.
		std::string_view what = p.what;
		if (!what.starts_with("a pointer to a missing record") && !what.starts_with("@VOID@")) {
			EXPECT_EQ(verified(planted_file(p)), "No problems found in f.\n");
		}
	}
}

namespace {

struct payload_row {
	payload7 kind;
	const char *value;
	bool ok;
};

} // namespace

TEST(Rules7Payloads, BorrowedAndOwnSyntaxesAreReadByTheirGrammar)
{
	using enum payload7;
	const std::vector<payload_row> rows = {
		{pay_language, "en", true}, {pay_language, "i-klingon", true}, {pay_language, "x-whatever", true},
		{pay_language, "en-GB-oed", true}, {pay_language, "zh-min-nan", true}, {pay_language, "sr-Latn-RS", true},
		{pay_language, "de-CH-1901", true}, {pay_language, "en-a-bbb-x-c", true}, {pay_language, "", false},
		{pay_language, "en-", false}, {pay_language, "-en", false}, {pay_language, "en--US", false},
		{pay_language, "e", false}, {pay_language, "en-a", false}, {pay_language, "en-x", false},
		{pay_language, "abcdefghi", false}, {pay_language, "en-US-US", false},
		{pay_media_type, "text/plain", true}, {pay_media_type, "application/vnd.api+json", true},
		{pay_media_type, "text/plain;", true}, {pay_media_type, "text/plain; q=\"a\\\"b\"", true},
		{pay_media_type, "text/", false}, {pay_media_type, "/plain", false}, {pay_media_type, "text/plain; a", false},
		{pay_media_type, "text/plain; q=\"open", false},
		{pay_date, "ABT JULIAN 1700", true}, {pay_date, "TO 1900", true}, {pay_date, "1900 BCE", true},
		{pay_date, "_CAL JAN 5", true}, {pay_date, "AFT 2 FEB 3", true}, {pay_date, "JULIAN ABT 1700", false},
		{pay_date, "FROM 1900 TO", false}, {pay_date, "BET 1900 AND", false}, {pay_date, "BCE", false},
		{pay_date, "2 1900", false}, {pay_date, "JAN", false}, {pay_date, "1900 ", false},
		{pay_date, "FRENCH_R 1 VEND 1 BCE", false}, {pay_date, "ABT 1900", true}, {pay_date, "ABT  1900", false},
		{pay_date, "ABT 1 MAR 190", true}, {pay_date, "ABT 1 MAR  19", false}, {pay_date, "JULIAN 15 MAR  44", false},
		{pay_date, "BEF 12 MAR 1900 ", false}, {pay_date, "JULIAN 15 MAR 44 BCE", true},
		// A month belongs to its own calendars, by every letter and no more.
		{pay_date, "FRENCH_R 1 VEND 1", true}, {pay_date, "JULIAN 1 VEND 1900", false},
		{pay_date, "HEBREW 1 ADS 5000", true}, {pay_date, "HEBREW 1 JAN 5000", false},
		{pay_date, "1 JANUARY 1900", false}, {pay_date, "1 JA 1900", false}, {pay_date, "1 jan 1900", false},
		{pay_date, "FRENCH_R 1 VENDE 1", false}, {pay_date, "FRENCH_R 1 VEN 1", false},
		{pay_date, "BET 1 2 3 4 5 6 7 8 9 10 AND", false}, {pay_date, "1 2 3 4 5 6 7 8 9 10 11 12 13", false},
		{pay_date_period, "", true}, {pay_date_period, "BEF 1900", false},
		{pay_date_exact, "1 JAN 1900", true}, {pay_date_exact, "1 _X 1900", false}, {pay_date_exact, "", false},
		{pay_time, "9:05", true}, {pay_time, "12:30Z", true}, {pay_time, "09:5", false}, {pay_time, "12:60", false},
		{pay_time, "12:30:60", false}, {pay_time, "12:30:15.", false}, {pay_time, "123:00", false},
		{pay_age, "", true}, {pay_age, "> 5y", true}, {pay_age, "<  5y", false}, {pay_age, "5y5m", false},
		{pay_age, "5y 5y", false}, {pay_age, "y", false},
		{pay_latitude, "N90.0", true}, {pay_latitude, "N090", false}, {pay_latitude, "N", false},
		{pay_latitude, "N.5", false}, {pay_longitude, "E180", true}, {pay_longitude, "W099.5", true},
		{pay_longitude, "E181", false}, {pay_longitude, "N10", false},
		{pay_integer, "007", true}, {pay_integer, "", false}, {pay_y_or_null, "", true}, {pay_y_or_null, "y", false},
		{pay_name, "/Smith/", true}, {pay_name, "Anna /Smith", false}, {pay_name, "A\tB", false},
		{pay_tag_def, "_X https://example.com/x", true}, {pay_tag_def, "X https://example.com/x", false},
		{pay_pointer, "@VOID@", true}, {pay_pointer, "@a@", false}, {pay_text, "@@", true}, {pay_text, "@X@", false},
	};
	for (const payload_row &r : rows) {
		SCOPED_TRACE(std::to_string(static_cast<int>(r.kind)) + " \"" + r.value + "\"");
		EXPECT_EQ(check_payload(r.kind, -1, r.value).result == result7::ok, r.ok);
	}
}

// A tag is looked up by its bytes packed into one number: each length packs its own way.
TEST(Rules7Tags, EachStandardTagIsFoundAndNoNearMiss)
{
	using namespace std::string_view_literals;
	for (std::string_view tag : {"NO"sv, "SEX"sv, "NAME"sv, "SNOTE"sv, "PHRASE"sv}) {
		SCOPED_TRACE(tag);
		int found = find_tag7(tag);
		ASSERT_GE(found, 0);
		std::string copy(tag);
		EXPECT_EQ(find_tag7(copy), found);
		for (std::string miss : {copy + "X", copy + '\0', copy.substr(0, copy.size() - 1) + "Q", copy.substr(1)})
			EXPECT_NE(find_tag7(miss), found) << miss;
	}
	for (std::string_view miss : {""sv, "sex"sv, "NAMEABCDE"sv, "\0\0\0"sv})
		EXPECT_EQ(find_tag7(miss), -1) << miss;
}

TEST(Rules7Payloads, EachFiveFiveOneDateFormIsNamedWithWhatSevenWrites)
{
	struct row {
		const char *value;
		const char *quote;
		const char *instead;
	};
	const std::vector<row> rows = {
		{"@#DFRENCH R@ 1 VEND 1", "@#DFRENCH R@", "FRENCH_R"},
		{"ABT @#DHEBREW@ 5600", "@#DHEBREW@", "HEBREW"},
		{"@#DROMAN@ 5", "@#DROMAN@", "the calendar's name, or an extension tag for a calendar of its own"},
		{"INT 1900 (about then)", "INT", "the date alone, with the text in its PHRASE"},
		{"(in the spring)", "(in the spring)", "an empty DATE, with the text in its PHRASE"},
		{"FROM 44 B.C. TO 1", "B.C.", "BCE"},
		{"BET 1750/51 AND 1760", "1750/51", "one year, with the dual year in the date's PHRASE"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.value);
		verdict7 v = check_date(r.value, payload7::pay_date);
		EXPECT_EQ(v.result, result7::legacy);
		EXPECT_EQ(v.quote, r.quote);
		EXPECT_EQ(v.instead, r.instead);
	}
}

TEST(Rules7Messages, EachKindReadsInTheStyleOfTheOtherFindings)
{
	struct row {
		finding7 f;
		const char *text;
	};
	const std::string long_value(70, 'a');
	const std::vector<row> rows = {
		{{1, kind7::bad_xref, "i1", {}, 0}, "\"@i1@\" is not a cross-reference"},
		{{1, kind7::xref_not_record, "X1", "SEX", 0}, "SEX has cross-reference @X1@, but only records have one"},
		{{1, kind7::record_without_xref, {}, "SNOTE", 0}, "SNOTE record without a cross-reference"},
		{{1, kind7::banned_character, "x", {}, 0x85}, "character U+0085 is not allowed in a GEDCOM 7.0 file"},
		{{1, kind7::lone_at, "@ home", {}, 0}, "\"@ home\" begins with a single @, which text writes as @@"},
		{{1, kind7::not_allowed, "DATE", "SEX", 0}, "DATE is not allowed under SEX"},
		{{1, kind7::too_many, "SEX", "INDI", 0}, "more than one SEX under INDI, which allows one"},
		{{1, kind7::too_many, "HEAD", {}, 0}, "more than one HEAD in the file"},
		{{1, kind7::missing, "VERS", "GEDC", 0}, "GEDC without VERS"},
		{{1, kind7::value_not_allowed, "Me", "record-SUBM", 0}, "record-SUBM takes no value, not \"Me\""},
		{{1, kind7::bad_payload, "25:00", "TIME", static_cast<std::uint32_t>(payload7::pay_time)},
		 "TIME \"25:00\" is not a time (hh:mm[:ss[.fraction]][Z])"},
		{{1, kind7::bad_payload, long_value, "NOTE", static_cast<std::uint32_t>(payload7::pay_text)},
		 "NOTE \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" is not text"},
		{{1, kind7::bad_payload, {}, "CHIL", static_cast<std::uint32_t>(payload7::pay_pointer)},
		 "CHIL without a pointer to a record"},
		{{1, kind7::bad_payload, {}, "SEX", static_cast<std::uint32_t>(payload7::pay_enum)},
		 "SEX without a value: it takes one of its values"},
		{{1, kind7::legacy, "@#DJULIAN@", "JULIAN", 0}, "@#DJULIAN@ is 5.5.1 syntax; 7.0 writes JULIAN"},
		{{1, kind7::note_pointer, "@N1@", {}, 0}, "NOTE @N1@ is 5.5.1 syntax; 7.0 writes SNOTE @N1@"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.text);
		EXPECT_EQ(message_of(r.f), r.text);
	}
}

// Lines put together at random from pieces of real ones: whatever they hold, every finding
// names a line that was read and says something (run under the sanitizers by scripts/test).
TEST(Rules7Files, RandomLinesNeverLeaveTheTables)
{
	const std::vector<std::string> pieces = {
		"0 ", "1 ", "2 ", "3 ", "99 ", "@I1@ ", "@VOID@ ", "HEAD", "TRLR", "INDI", "NAME", "DATE", "CONT", "CONC",
		"SOUR", "_X", " BET", " AND", " 1900", " JAN", " BCE", " @@", " @", "@", "/", " ", "\xC2\x85", "\xED\xA0",
		"\xEF\xBF", " TO", " FROM", " x-", "-", ":", " <", "y", "N9", ".5", ";", "=", "\""};
	std::uint32_t seed = 12345;
	auto next = [&seed](std::size_t n) {
		seed = seed * 1103515245u + 12345u;
		return static_cast<std::size_t>((seed >> 8) % n);
	};
	std::string file;
	for (int line = 0; line < 20000; ++line) {
		for (std::size_t parts = 1 + next(6); parts > 0; --parts)
			file += pieces[next(pieces.size())];
		file += "\n";
	}
	run7 r = check(file);
	EXPECT_FALSE(r.findings.empty());
	for (const seen_finding &f : r.findings) {
		ASSERT_GE(f.line, 1u);
		ASSERT_LE(f.line, 20000u);
		ASSERT_FALSE(f.text.empty());
	}
}

// Through -v: the head's version chooses the rules, and a 7.0 file's links are checked by record type.
TEST(Verify7, TheHeadsVersionChoosesTheRulesAndPointersLandOnTheirRecordType)
{
	const std::string body = "0 @I1@ INDI\n1 FAMC @F1@\n0 @F1@ FAM\n1 CHIL @I1@\n0 @N1@ SNOTE Shared\n0 TRLR\n";
	const std::string clean = "No problems found in f.\n";
	struct row {
		const char *what;
		std::string file;
		std::string out;
	};
	const std::vector<row> rows = {
		{"7.0", "0 HEAD\n1 GEDC\n2 VERS 7.0\n" + body, clean},
		{"7.0.x, after another GEDC line", "0 HEAD\n1 GEDC\n2 _X 1\n2 VERS 7.0.14\n" + body, clean},
		{"5.5.1", "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n" + body,
		 "f:1: HEAD without SOUR, SUBM or CHAR\nf:2: GEDC without FORM\nf:8: SNOTE is not a kind of record\n3 problems found in f.\n"},
		{"no version", "0 HEAD\n1 GEDC\n1 CHAR UTF-8\n" + body,
		 "f:1: HEAD without SOUR or SUBM\nf:2: GEDC without VERS or FORM\nf:8: SNOTE is not a kind of record\n3 problems found in f.\n"},
		{"an unknown version, all of the 5.5.1 rules", "0 HEAD\n1 GEDC\n2 VERS 7.2\n" + body,
		 "f:1: HEAD without SOUR, SUBM or CHAR\nf:2: GEDC without FORM\nf:8: SNOTE is not a kind of record\n3 problems found in f.\n"},
		{"a control byte quoted printable", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 SEX F\x1B\n0 TRLR\n",
		 "f:5: character U+001B is not allowed in a GEDCOM 7.0 file\nf:5: SEX \"F\\x1B\" is not one of its values\n"
		 "2 problems found in f.\n"},
		{"a source program's VERS", "0 HEAD\n1 SOUR X\n2 VERS 7.0\n" + body,
		 "f:1: HEAD without SUBM, GEDC or CHAR\nf:8: SNOTE is not a kind of record\n2 problems found in f.\n"},
		{"a VERS too deep", "0 HEAD\n1 GEDC\n2 FORM x\n3 VERS 7.0\n" + body, "f:1: HEAD without SOUR, SUBM or CHAR\nf:2: GEDC without VERS\nf:9: SNOTE is not a kind of record\n3 problems found in f.\n"},
		{"7.1", "0 HEAD\n1 GEDC\n2 VERS 7.1\n" + body, "f:3: note: GEDCOM 7.1 is checked by the rules of 7.0\n" + clean},
		{"a byte-order mark, CR LF", "\xEF\xBB\xBF" "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n0 TRLR\r\n", clean},
		{"white space and blank lines, each at its line however lines end",
		 "\xEF\xBB\xBF 0 HEAD\r\n1 GEDC\r2 VERS 7.0\r\n\r\r\n  0 TRLR\r",
		 "f:1: white space before the level, which GEDCOM 7.0 does not allow\n"
		 "f:4: blank line, which GEDCOM 7.0 does not allow\nf:5: blank line, which GEDCOM 7.0 does not allow\n"
		 "f:6: white space before the level, which GEDCOM 7.0 does not allow\n4 problems found in f.\n"},
		{"white space after the last line end", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 TRLR\n \t", "f:5: line after 0 TRLR\n1 problem found in f.\n"},
		{"white space after the last line end, and no trailer", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @N1@ SNOTE x\n \t",
		 "f:5: blank line, which GEDCOM 7.0 does not allow\nf:5: the file does not end with 0 TRLR\n2 problems found in f.\n"},
		{"5.5.1, whose readers ignore white space before the tag", " 0 HEAD\n1\tGEDC\n2  VERS 5.5.1\n" + body,
		 "f:1: HEAD without SOUR, SUBM or CHAR\nf:2: GEDC without FORM\nf:8: SNOTE is not a kind of record\n3 problems found in f.\n"},
		{"no 255 limit", "0 HEAD\n1 GEDC\n2 VERS 7.0\n1 NOTE " + std::string(300, 'x') + "\n0 TRLR\n", clean},
		{"a blank line", "0 HEAD\n1 GEDC\n2 VERS 7.0\n\n0 TRLR\n", "f:4: blank line, which GEDCOM 7.0 does not allow\n1 problem found in f.\n"},
		{"the trailer missed at the last line, a blank one", "0 HEAD\n1 GEDC\n2 VERS 7.0\n \n",
		 "f:4: blank line, which GEDCOM 7.0 does not allow\nf:4: the file does not end with 0 TRLR\n2 problems found in f.\n"},
		{"a level jump", "0 HEAD\n1 GEDC\n2 VERS 7.0\n4 _X\n0 TRLR\n", "f:4: level 4 follows level 2, more than one deeper\n1 problem found in f.\n"},
		{"a leading zero", "0 HEAD\n1 GEDC\n02 VERS 7.0\n0 TRLR\n", "f:3: level \"02\" has a leading zero\n1 problem found in f.\n"},
		{"@VOID@ is no link", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @F1@ FAM\n1 HUSB @VOID@\n1 CHIL @VOID@\n0 TRLR\n", clean},
		{"CHIL to a family", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @F1@ FAM\n1 CHIL @F1@\n0 TRLR\n",
		 "f:5: CHIL @F1@ points to a FAM record, not to an INDI record\n1 problem found in f.\n"},
		{"SNOTE to a person", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 SNOTE @I1@\n0 TRLR\n",
		 "f:5: SNOTE @I1@ points to an INDI record, not to an SNOTE record\n1 problem found in f.\n"},
		{"ASSO to a family", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @F1@ FAM\n0 @I1@ INDI\n1 ASSO @F1@\n2 ROLE FRIEND\n0 TRLR\n",
		 "f:6: ASSO @F1@ points to a FAM record, not to an INDI record\n1 problem found in f.\n"},
		{"a shared note missing", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 SNOTE @N9@\n0 TRLR\n",
		 "f:5: SNOTE @N9@ points to no record\n1 problem found in f.\n"},
		{"one-way", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n0 TRLR\n",
		 "f:5: @I1@ has FAMS @F1@, but @F1@ has no HUSB or WIFE @I1@\n1 problem found in f.\n"},
		{"a day its month lacks, in the head's exact date", "0 HEAD\n1 GEDC\n2 VERS 7.0\n1 DATE 31 APR 2020\n0 TRLR\n",
		 "f:4: DATE \"31 APR 2020\" names a day its calendar does not have\n1 problem found in f.\n"},
		{"a date the 7.0 rules refuse gets their finding alone; 30 FEB, which they take, is no day",
		 "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 BIRT\n2 DATE 29 feb 1900\n1 DEAT\n2 DATE 30 FEB 1900\n0 TRLR\n",
		 "f:6: DATE \"29 feb 1900\" is not a 7.0 date\nf:8: DATE \"30 FEB 1900\" names a day its calendar does not have\n"
		 "2 problems found in f.\n"},
		{"a reversed period deeper down", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @S1@ SOUR\n1 DATA\n2 EVEN BIRT\n3 DATE FROM 1900 TO 1850\n0 TRLR\n",
		 "f:7: DATE \"FROM 1900 TO 1850\" ends before it begins\n1 problem found in f.\n"},
		{"a doubt through the family links, @VOID@ none of them",
		 "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n1 FAMC @F1@\n1 FAMC @VOID@\n0 @I2@ INDI\n"
		 "1 BIRT\n2 DATE 1950\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @VOID@\n1 CHIL @I1@\n1 CHIL @VOID@\n0 TRLR\n",
		 "f:11: doubt: birth at line 6: father @I2@, born at line 11, is under 12\nNo problems found; 1 doubt in f.\n"},
		{"a record's creation, an event that did not happen and an ordinance are no events of a life",
		 "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 DEAT\n2 DATE 1800\n1 CREA\n2 DATE 1 JAN 2020\n1 NO MARR\n"
		 "2 DATE FROM 1850 TO 1900\n1 INIL\n2 DATE 1990\n0 TRLR\n", clean},
		{"a record named twice", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @N1@ SNOTE a\n0 @N1@ SNOTE b\n0 TRLR\n",
		 "f:5: @N1@ is already the cross-reference of the record at line 4\n1 problem found in f.\n"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.what);
		EXPECT_EQ(verified(r.file), r.out);
	}
}

// A structure that lacks what it needs is found when it ends, after findings of the lines under
// it: -v still writes every finding in line order.
TEST(Verify7, AMissingSubstructureComesInLineOrder)
{
	EXPECT_EQ(verified("0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 ASSO @VOID@\n2 DATE 1900\n1 SEX W\n0 TRLR\n"),
		  "f:5: ASSO without ROLE\nf:6: DATE is not allowed under ASSO\nf:7: SEX \"W\" is not one of its values\n"
		  "3 problems found in f.\n");
}

// The benchmark's 7.0 file holds every kind of line it is meant to time, and is clean.
TEST(Rules7Files, TheBenchmarksGeneratedFileIsClean)
{
	std::string text = read_file(BENCH_SEVEN_FILE);
	run7 r = check(text);
	EXPECT_EQ(all_findings(r).substr(0, 2000), "");
	// Its dates are drawn at random, so -v doubts many, but every day exists and every range is in order.
	std::string said = verified(text);
	EXPECT_NE(said.rfind("\nNo problems found; "), std::string::npos) << said.substr(said.size() - std::min<std::size_t>(said.size(), 200));
	expect_pointers_land(r);
	for (const char *kind : {" JULIAN ", " BCE\n", " FRENCH_R ", " HEBREW ", " GREGORIAN ", "2 DATE ABT ",
		     "2 DATE BET ", "2 DATE FROM ", " AGE > ", "y 3m\n", " TIME ", "Z\n", " SNOTE @N", "@ SNOTE ",
		     "1 CONT ", "FAMC @VOID@", "CHIL @VOID@", "1 EXID ", "2 TYPE https:", "1 UID ",
		     "2 TAG _HOBBY ", "1 _HOBBY "}) {
		SCOPED_TRACE(kind);
		EXPECT_NE(text.find(kind), std::string::npos);
	}
}

// Its dates, written in every calendar as the days its links planned, name days that exist and
// leave as few facts in doubt as a genealogist's file (the conversions themselves are tried on
// known days by tests/bench/calendar_days_test.py).
TEST(Rules7Files, TheBenchmarksLinkedFileHasAGenealogistsFewDoubts)
{
	std::string text = read_file(BENCH_SEVEN_LINKED_FILE);
	std::string said = verified(text);
	std::size_t at = said.rfind("\nNo problems found; ");
	ASSERT_NE(at, std::string::npos) << said.substr(said.size() - std::min<std::size_t>(said.size(), 200));
	// About one person in a thousand has a planted impossible fact, each giving a doubt or a few.
	EXPECT_LT(std::stoi(said.substr(at + 20)), 40) << said.substr(at);
	for (const char *kind : {" JULIAN ", " FRENCH_R ", " HEBREW ", "2 DATE ABT ", "2 DATE BET "}) {
		SCOPED_TRACE(kind);
		EXPECT_NE(text.find(kind), std::string::npos);
	}
}
