// Tests of lineagecheck -v: the date grammar, line numbers, replaced bytes, the order of the
// findings, long lines of descent, and the real sample files.
#include <gtest/gtest.h>

#include "findings.h"
#include "gedfile.h"
#include "lineagecheck.h"
#include "memfile.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string verify(const std::string &input, long long *found = nullptr)
{
	FILE *in = open_bytes(input);
	long long n = 0;
	std::string out = written_by([&](FILE *o) { n = print_findings(text_over(in), "f", o); });
	std::fclose(in);
	if (found)
		*found = n;
	return out;
}

// Every finding of a file whose HEAD is only its level-0 line begins so.
const std::string bare_head = "f:1: HEAD without SOUR, SUBM, GEDC or CHAR\n";

struct date_case {
	const char *value;
	bool ok;
};

} // namespace

TEST(DateGrammar, FormsOfTheStandardAndTheirNeighbours)
{
	const date_case cases[] = {
		{"1 JAN 1900", true}, {"29 FEB 1900", true}, {"30 FEB 1900", false}, {"31 NOV 1900", false},
		{"0 JAN 1900", false}, {"32 JAN 1900", false}, {"12 jan 1900", true}, {"12 Jan 1900", true},
		{"JAN", false}, {"12 JAN", false}, {"1900", true}, {"45", true}, {"1699/00", true},
		{"1750/51", true}, {"1699/01", false}, {"1699/0", false}, {"1699/1700", false}, {"1699/", false},
		{"@#DJULIAN@ 1699/00", false}, {"@#DJULIAN@ 12 MAR 1699", true}, {"@#DGREGORIAN@ 1900", true},
		{"44 B.C.", true}, {"15 MAR 44 B.C.", true}, {"44 BC", false}, {"44 B.C", false},
		{"@#DHEBREW@ 1 TSH 5784", true}, {"@#DHEBREW@ 1 JAN 5784", false}, {"@#DHEBREW@ 5784 B.C.", false},
		{"@#DHEBREW@ 5784/85", false}, {"@#DFRENCH R@ 6 COMP 3", true}, {"@#DFRENCH R@ 7 COMP 3", false},
		{"@#DFRENCH R@ VEND 3", true}, {"@#DFRENCHR@ VEND 3", false}, {"@#DROMAN@ 12 _MONTH 3", true},
		{"@#DUNKNOWN@ 1900", true}, {"@#DUNKNOWN@ MAR", false}, {"@#DJULIAN@", false},
		{"JULIAN 1699", false}, {"ABT 1900", true}, {"abt 1900", true}, {"Abt. 1900", false},
		{"CAL 1900", true}, {"EST 1900", true}, {"BEF 1900", true}, {"AFT 1900", true},
		{"BET 1900 AND 1910", true}, {"BET 1900", false}, {"BET 1900 TO 1910", false},
		{"FROM 1900", true}, {"TO 1900", true}, {"FROM 1900 TO 1910", true}, {"FROM 1900 TO", false},
		{"FROM TO 1900", false}, {"ABT BEF 1900", false}, {"INT 1900 (census)", true}, {"INT 1900", false},
		{"INT (census)", false}, {"(a while ago)", true}, {"1900 (census)", false}, {"(unclosed", false},
		{"BEF  12  JAN  1900 ", true}, {"", false}, {"STILLBORN", false}, {"1900 or 1901", false},
		{"12 JAN 1900 1901", false}, {"ABT @#DJULIAN@ 1600", true},
		// Day 0 and a 31st of a month of 30 days, in every form a day can take.
		{"00 JAN 1900", false}, {"31 APR 1900", false}, {"30 APR 1900", true}, {"31 DEC 1900", true},
		{"0 JAN 1699/00", false}, {"31 SEP 1699/00", false}, {"30 SEP 1699/00", true},
		{"ABT 0 MAR 1900", false}, {"BEF 31 JUN 1900", false}, {"BET 1 JAN 1900 AND 31 NOV 1900", false},
		{"BET 0 JAN 1900 AND 1910", false}, {"FROM 1900 TO 31 SEP 1910", false}, {"FROM 00 MAY 1900", false},
		{"INT 31 APR 1900 (census)", false}, {"INT 30 APR 1900 (census)", true},
		{"@#DJULIAN@ 31 JUN 1699", false}, {"@#DJULIAN@ 0 JUN 1699", false}, {"@#DGREGORIAN@ 31 NOV 1900", false},
		{"31 APR 44 B.C.", false}, {"0 APR 44 B.C.", false}, {"30 APR 44 B.C.", true},
		{"@#DHEBREW@ 0 TSH 5784", false}, {"@#DHEBREW@ 31 TSH 5784", false}, {"@#DHEBREW@ 30 TSH 5784", true},
		{"@#DFRENCH R@ 0 VEND 3", false}, {"@#DFRENCH R@ 31 VEND 3", false}, {"@#DFRENCH R@ 30 VEND 3", true},
	};
	for (const date_case &c : cases) {
		SCOPED_TRACE(c.value);
		EXPECT_EQ(date_value_ok(c.value), c.ok);
	}
}

// Lines are cut from blocks of text: a CR LF, a long line and a replaced byte across the
// ends of blocks, a CR alone, stray bytes, one in a UTF-16 file, a first line after the mark. The reader tells where it
// replaced bytes, and where it tidied a line's white space (which only 7.0 files are told of),
// by their place in the text it hands on.
TEST(VerifyLines, LinesAndReplacedBytesAcrossBlocks)
{
	auto utf16_of = [](const std::string &text) {
		std::string utf16 = "\xFF\xFE";
		for (char c : text)
			utf16 += c == 'x' ? std::string("\x00\xD8", 2) : std::string{c, '\0'};
		return utf16;
	};
	std::string utf16 = utf16_of("0 HEAD\n1 NOTE x\n0 TRLR\n");
	const std::string seven = "0 HEAD\n1 GEDC\n2 VERS 7.0\n";
	const std::string leading = "white space before the level, which GEDCOM 7.0 does not allow\n";
	const std::pair<std::string, std::string> cases[] = {
		{"0 HEAD\r\n1 NOTE " + std::string(71, 'x') + "\r\n1 SEX X\r\n1 NOTE " + std::string(300, 'y') +
			 "\n1 SEX Y\r0 TRLR\r\n",
		 bare_head + "f:3: SEX \"X\" is not M, F or U\n"
		 "f:4: line of 307 characters, longer than GEDCOM's 255\n"
		 "f:5: SEX \"Y\" is not M, F or U\n"
		 "4 problems found in f.\n"},
		{"0 HEAD\n1 NOTE " + std::string(100, 'x') + "\xFF\n1 NOTE \xE9t\xE9\n1 NOTE \xC3\xA9\n0 TRLR\n",
		 bare_head + "f:2: bytes not valid in the file's character set\n"
		 "f:3: bytes not valid in the file's character set\n"
		 "3 problems found in f.\n"},
		{utf16, bare_head + "f:2: bytes not valid in the file's character set\n2 problems found in f.\n"},
		{seven + "0 @N1@ SNOTE " + std::string(70, 'x') + "\r\n  1 CONT y\r\n1\t CONT " + std::string(100, 'z') +
			 "\xFF\n \n  0 TRLR",
		 "f:5: " + leading + "f:6: bytes not valid in the file's character set\n"
		 "f:6: a tab after the level, where GEDCOM 7.0 writes one space\n"
		 "f:7: blank line, which GEDCOM 7.0 does not allow\nf:8: " + leading + "5 problems found in f.\n"},
		{utf16_of(seven + "0 @N1@ SNOTE a\n\t1 CONT b\n0 TRLR\n"), "f:5: " + leading + "1 problem found in f.\n"},
		// The byte-order mark is no character of the first line.
		{"\xEF\xBB\xBF" "0 HEAD " + std::string(248, 'x') + "\r\n0 TRLR\r\n", bare_head + "1 problem found in f.\n"},
		{"\xEF\xBB\xBF" "0 HEAD " + std::string(249, 'x') + "\r\n0 TRLR\r\n",
		 "f:1: line of 256 characters, longer than GEDCOM's 255\n" + bare_head + "2 problems found in f.\n"},
		{seven + "0 @N1@ SNOTE x\n" + std::string(200, ' '),
		 "f:5: blank line, which GEDCOM 7.0 does not allow\nf:5: the file does not end with 0 TRLR\n2 problems found in f.\n"},
	};
	for (std::size_t window : {64, 65, 66, 67, 70, 79, 80, 1 << 20}) {
		SCOPED_TRACE(window);
		set_findings_window(window);
		for (const auto &[file, expected] : cases)
			EXPECT_EQ(verify(file), expected);
	}
}

TEST(VerifyLines, LineBeyondWhatIsKeptIsCheckedOnItsStart)
{
	std::string file = "0 HEAD\n1 BIRT\n2 DATE 1 JAN 1900 " + std::string(2000, 'z') + "\n1 SEX Q\n0 TRLR\n";
	EXPECT_EQ(verify(file), bare_head + "f:3: line of 2018 characters, longer than GEDCOM's 255\n"
				"f:3: DATE \"1 JAN 1900 zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz...\" does "
				"not follow GEDCOM's date grammar\n"
				"f:4: SEX \"Q\" is not M, F or U\n"
				"4 problems found in f.\n");
}

TEST(VerifyLines, FindingsOfTheEndComeInLineOrder)
{
	for (int blocks : {1, 60000}) {
		SCOPED_TRACE(blocks);
		std::string file = "0 HEAD\n";
		std::string expected = bare_head;
		for (int k = 0, at = 2; k < blocks; ++k, at += 6) {
			std::string id = "@I" + std::to_string(k) + "@";
			file += "0 " + id + " INDI\n1 FAMC @F9@\n1 SEX Z\n0 " + id + " INDI\n1 BIRT\n2 DATE soon\n";
			std::string f = "f:";
			expected += f + std::to_string(at + 1) + ": FAMC @F9@ points to no record\n" + f +
				    std::to_string(at + 2) + ": SEX \"Z\" is not M, F or U\n" + f + std::to_string(at + 3) + ": " +
				    id + " is already the cross-reference of the record at line " + std::to_string(at) + "\n" + f +
				    std::to_string(at + 5) + ": DATE \"soon\" does not follow GEDCOM's date grammar\n";
		}
		long long found = 0;
		std::string trees = blocks > 1 ? "f: " + std::to_string(blocks) + " family trees not linked to one another by FAMC and FAMS\n" : "";
		EXPECT_EQ(verify(file + "0 TRLR\n", &found),
			  expected + trees + std::to_string(4 * blocks + 1) + " problems found in f.\n");
		EXPECT_EQ(found, 4 * blocks + 1);
	}
}

// A link's target is the first record of its cross-reference, of the kind the tag asks for.
TEST(VerifyLinks, EachTargetIsTheFirstRecordOfItsKind)
{
	const std::pair<std::string, std::string> cases[] = {
		{"0 HEAD\n0 @I1@ INDI\n1 ANCI @S1@\n1 DESI @F1@\n1 ANCI @U1@\n1 DESI @U1@\n0 @F1@ FAM\n0 @S1@ SOUR\n"
		 "0 @U1@ SUBM\n0 TRLR\n",
		 bare_head + "f:3: ANCI @S1@ points to a SOUR record, not to a SUBM record\n"
		 "f:4: DESI @F1@ points to a FAM record, not to a SUBM record\n3 problems found in f.\n"},
		// The later records of a cross-reference used twice take no link over.
		{"0 HEAD\n0 @I1@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @I1@\n0 @I1@ SOUR\n0 @F1@ NOTE\n0 TRLR\n",
		 bare_head + "f:6: @I1@ is already the cross-reference of the record at line 2\n"
		 "f:7: @F1@ is already the cross-reference of the record at line 4\n3 problems found in f.\n"},
		// A child of their own family.
		{"0 HEAD\n0 @I1@ INDI\n1 FAMC @F1@\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I1@\n0 TRLR\n",
		 bare_head + "f:2: @I1@ is their own ancestor, as a child of @F1@\n2 problems found in f.\n"},
		// Cross-references of eight bytes, which a file of a million people is full of, found
		// whatever their case, told apart by one byte, and quoted as the link writes them.
		{"0 HEAD\n0 @I1000000@ INDI\n1 FAMS @f1000000@\n1 FAMC @F1000001@\n0 @I1000001@ INDI\n1 FAMS @F1000000@\n"
		 "0 @F1000000@ FAM\n1 HUSB @i1000000@\n1 WIFE @I1000001@\n1 CHIL @I1000002@\n0 @f1000001@ FAM\n"
		 "1 CHIL @I100000@\n0 @I100000@ INDI\n1 FAMC @F1000001@\n0 TRLR\n",
		 bare_head + "f:4: @I1000000@ has FAMC @F1000001@, but @F1000001@ has no CHIL @I1000000@\n"
		 "f:10: CHIL @I1000002@ points to no record\n"
		 "f: 2 family trees not linked to one another by FAMC and FAMS\n3 problems found in f.\n"},
	};
	for (const auto &[file, expected] : cases) {
		SCOPED_TRACE(file);
		EXPECT_EQ(verify(file), expected);
	}
}

// Couples each in a family of their own, and links to people who are in no record, whose
// records the table of cross-references grows by: every link found, whatever the keys are
// like, however they are spelt and however full the table is.
TEST(VerifyLinks, EveryLinkIsFoundWhateverTheKeysAndHowFullTheTable)
{
	const std::pair<const char *, const char *> styles[] = {
		{"I", ""}, {"i", "0"}, {"", "A"}, {"PERSON", ""}, {"I100", ""}, {"FAMILY", "9"},
	};
	for (const auto &[prefix, suffix] : styles)
		for (int people : {4, 700, 1536, 6000})
			for (int missing : {0, 1, 3000}) {
				SCOPED_TRACE(std::string(prefix) + " " + suffix + " " + std::to_string(people) + " " + std::to_string(missing));
				auto key = [&](char kind, int k) { return std::string("@") + kind + prefix + std::to_string(k) + suffix + "@"; };
				std::ostringstream f;
				f << "0 HEAD\n";
				for (int k = 0; k < people; ++k)
					f << "0 " << key('P', k) << " INDI\n1 FAMS " << key('F', k / 2) << "\n";
				// A wife's link in small letters, which finds her record all the same.
				auto lower = [](std::string s) {
					for (char &c : s)
						c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
					return s;
				};
				for (int k = 0; k < people / 2; ++k)
					f << "0 " << key('F', k) << " FAM\n1 HUSB " << key('P', 2 * k) << "\n1 WIFE " << lower(key('P', 2 * k + 1)) << "\n";
				for (int k = 0; k < missing; ++k)
					f << "1 CHIL " << key('Q', k) << "\n";
				f << "0 TRLR\n";
				long long found = 0;
				std::string out = verify(f.str(), &found);
				EXPECT_EQ(found, missing + 1);
				std::size_t unfound = 0;
				for (std::size_t at = out.find("points to no record"); at != std::string::npos; at = out.find("points to no record", at + 1))
					++unfound;
				EXPECT_EQ(unfound, static_cast<std::size_t>(missing));
				EXPECT_NE(out.find("f: " + std::to_string(people / 2) + " family trees"), std::string::npos) << out.substr(0, 400);
			}
}

// Each person is the only child of a family whose husband is the person before; the search
// for loops must not need a stack as deep as the line. The last person is also the husband
// of the first family, which closes one loop through every generation.
TEST(VerifyDescent, LineOfAHundredThousandGenerations)
{
	constexpr int generations = 100000;
	for (bool closed : {false, true}) {
		SCOPED_TRACE(closed);
		std::ostringstream f;
		f << "0 HEAD\n";
		for (int i = 1; i <= generations; ++i) {
			f << "0 @I" << i << "@ INDI\n1 FAMC @F" << i << "@\n";
			if (i < generations || closed)
				f << "1 FAMS @F" << (i % generations + 1) << "@\n";
		}
		for (int i = 1; i <= generations; ++i) {
			f << "0 @F" << i << "@ FAM\n1 CHIL @I" << i << "@\n";
			if (i > 1 || closed)
				f << "1 HUSB @I" << (i == 1 ? generations : i - 1) << "@\n";
		}
		f << "0 TRLR\n";
		long long found = 0;
		std::string out = verify(f.str(), &found);
		EXPECT_EQ(found, closed ? generations + 1 : 1);
		EXPECT_TRUE(out.starts_with(bare_head + (closed ? "f:2: @I1@ is their own ancestor, as a child of @F1@\n"
								: "1 problem found in f.\n")));
	}
}

namespace {

std::string read_file(const std::filesystem::path &path)
{
	std::ifstream in(path, std::ios::binary);
	return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The findings of a file, each checked for its form: FILE:LINE: message, lines rising,
// the count at the end.
std::vector<std::string> checked_findings(const std::filesystem::path &path)
{
	FILE *in = std::fopen(path.c_str(), "rb");
	EXPECT_NE(in, nullptr);
	if (!in)
		return {};
	long long found = 0;
	std::string name = path.filename().string();
	std::string out = written_by([&](FILE *o) { found = print_findings(text_over(in), name.c_str(), o); });
	std::fclose(in);
	std::vector<std::string> lines;
	std::istringstream text(out);
	for (std::string l; std::getline(text, l);)
		lines.push_back(l);
	EXPECT_FALSE(lines.empty());
	std::string closing = lines.back();
	lines.pop_back();
	if (!lines.empty() && lines.back().starts_with(name + ": ") && lines.back().ends_with(" family trees not linked to one another by FAMC and FAMS"))
		lines.pop_back();
	long long doubts = std::count_if(lines.begin(), lines.end(), [](const std::string &l) { return l.find(": doubt: ") != std::string::npos; });
	auto plural = [](long long n, const char *what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
	std::string summary = doubts == 0 ? (found == 0 ? "No problems found in " + name + "." : plural(found, "problem") + " found in " + name + ".")
				: found == 0 ? "No problems found; " + plural(doubts, "doubt") + " in " + name + "."
				: plural(found, "problem") + " and " + plural(doubts, "doubt") + " found in " + name + ".";
	EXPECT_EQ(closing, summary);
	EXPECT_EQ(static_cast<long long>(lines.size()), found + doubts);
	unsigned long long last = 1;
	for (const std::string &l : lines) {
		unsigned long long at = 0;
		std::size_t colon = l.find(": ", name.size() + 1);
		EXPECT_TRUE(l.starts_with(name + ":") && colon != std::string::npos) << l;
		if (colon != std::string::npos)
			at = std::stoull(l.substr(name.size() + 1, colon - name.size() - 1));
		EXPECT_GE(at, last) << l;
		last = at;
	}
	return lines;
}

bool names_calendar_by_word(const std::string &v)
{
	for (const char *word : {"GREGORIAN", "JULIAN", "HEBREW", "FRENCH_R", "ROMAN", "UNKNOWN"})
		if (v.find(word) != std::string::npos)
			return true;
	return false;
}

// A year "Y/Z" whose Z is not the next year's last two digits.
bool has_wrong_dual_year(const std::string &v)
{
	for (std::size_t slash = v.find('/'); slash != std::string::npos; slash = v.find('/', slash + 1)) {
		std::size_t start = v.find_last_not_of("0123456789", slash - 1) + 1;
		std::size_t end = v.find_first_not_of("0123456789", slash + 1);
		std::string other = v.substr(slash + 1, end == std::string::npos ? std::string::npos : end - slash - 1);
		int year = std::stoi(v.substr(start, slash - start));
		if (other.size() != 2 || std::stoi(other) != (year + 1) % 100)
			return true;
	}
	return false;
}

} // namespace

// The converter's test files: every date form, and dual years right and wrong. The date
// forms of a later version name their calendar by a word instead of an escape; apart from
// that, the only forms refused are dual years whose second year is not the next.
TEST(VerifySamples, DateFilesAreRefusedWhereTheGrammarDoes)
{
	std::filesystem::path dir = std::filesystem::path(LINEAGE_SAMPLES) / "gedcom7code" / "5";
	if (!std::filesystem::exists(dir))
		GTEST_SKIP() << "no sample folder " << dir;
	for (const char *name : {"date-all.ged", "date-dual-valid.ged", "date-dual-invalid.ged"}) {
		SCOPED_TRACE(name);
		std::set<std::string> expected;
		std::istringstream text(read_file(dir / name));
		int line = 0;
		for (std::string l; std::getline(text, l);) {
			++line;
			if (l.starts_with("2 DATE ") && (names_calendar_by_word(l.substr(7)) || has_wrong_dual_year(l.substr(7))))
				expected.insert(std::string(name) + ":" + std::to_string(line));
		}
		std::set<std::string> found;
		for (const std::string &f : checked_findings(dir / name)) {
			// Ranges that end before they begin are refused too; the head's lines and the
			// doubts are not of dates.
			if (f.find(" ends before it begins") != std::string::npos) {
				EXPECT_TRUE(f.find("\"BET ") != std::string::npos || f.find("\"FROM ") != std::string::npos) << f;
				continue;
			}
			if (f.find(": HEAD without ") != std::string::npos || f.find(": doubt: ") != std::string::npos)
				continue;
			EXPECT_NE(f.find(": DATE \""), std::string::npos) << f;
			found.insert(f.substr(0, f.find(": ")));
		}
		EXPECT_EQ(found, expected);
	}
}

// Every real file, each finding in its form and in line order; a few findings checked
// against the files by hand.
TEST(VerifySamples, EveryFileGivesWellFormedFindings)
{
	std::filesystem::path dir = LINEAGE_SAMPLES;
	if (!std::filesystem::exists(dir))
		GTEST_SKIP() << "no sample folder " << dir;
	std::vector<std::string> all;
	int files = 0;
	for (const auto &entry : std::filesystem::recursive_directory_iterator(dir))
		if (entry.path().extension() == ".ged") {
			SCOPED_TRACE(entry.path().string());
			++files;
			for (std::string &f : checked_findings(entry.path()))
				all.push_back(std::move(f));
		}
	EXPECT_EQ(files, 64);
	for (const char *known : {"Queen.ged:906: FAMS @F98@ points to no record",
				  "superlongline-ansel.ged:10: line of 371 characters, longer than GEDCOM's 255",
				  "legacycustomtags.ged:96: REPO @R0@ points to no record",
				  "willis.ged:130: DATE \"20 MAR\" does not follow GEDCOM's date grammar"}) {
		SCOPED_TRACE(known);
		EXPECT_NE(std::find(all.begin(), all.end(), known), all.end());
	}
}

namespace {

// Whether the text holds a control byte other than the line end, DEL or a C1 control: all
// that a terminal might act on.
bool holds_control(const std::string &s)
{
	for (std::size_t i = 0; i < s.size(); ++i) {
		auto c = static_cast<unsigned char>(s[i]);
		auto next = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0u;
		if ((c < 0x20 && c != '\n') || c == 0x7F || (c == 0xC2 && next >= 0x80 && next < 0xA0))
			return true;
	}
	return false;
}

} // namespace

// What a finding quotes of the file, and the file's name, reach the terminal as \xHH.
TEST(VerifyShown, ControlsAndStrayBytesAreEscaped)
{
	const std::pair<std::string, std::string> cases[] = {
		{"\x1B[31m", "\\x1B[31m"}, {std::string("19\0" "00", 5), "19\\x0000"}, {"a\x7F" "b", "a\\x7Fb"},
		{"\xC2\x85", "\\xC2\\x85"}, {"\xC2\xA0\xC3\xA9", "\xC2\xA0\xC3\xA9"}, {"\xE9t\xE9", "\\xE9t\\xE9"},
		{"\xC0\xAF", "\\xC0\\xAF"}, {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
		{"\xE2\x82", "\\xE2\\x82"}, {"tab\there", "tab\\x09here"}, {"plain", "plain"},
	};
	for (const auto &[text, expected] : cases) {
		SCOPED_TRACE(expected);
		std::string room;
		EXPECT_EQ(std::string(shown(text, room)), expected);
	}
	FILE *in = open_bytes("0 HEAD\n1 SEX \x07\n0 @\x1B@ INDI\n1 FAMC @\x1B@\n0 TRLR\n");
	std::string out = written_by([&](FILE *o) { print_findings(text_over(in), "a\x1B" "b.ged", o); });
	std::fclose(in);
	EXPECT_NE(out.find("a\\x1Bb.ged:2: SEX \"\\x07\" is not M, F or U\n"), std::string::npos) << out;
	EXPECT_NE(out.find("FAMC @\\x1B@ points to an INDI record, not to a FAM record"), std::string::npos) << out;
	EXPECT_FALSE(holds_control(out)) << out;
}

// A file of random bytes: many findings, none with a byte a terminal would act on.
TEST(VerifyShown, RandomBytesGiveNoControlByte)
{
	std::mt19937 random(28);
	std::string file = "0 HEAD\n";
	for (int i = 0; i < 200000; ++i) {
		auto c = static_cast<char>(random() % 256);
		file += random() % 8 == 0 ? (random() % 2 ? "\n1 DATE " : "\n0 @") : "";
		file += c;
	}
	long long found = 0;
	std::string out = verify(file, &found);
	EXPECT_GT(found, 1000);
	EXPECT_FALSE(holds_control(out));
}
