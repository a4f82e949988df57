// Tests of lineagecheck's rules and its whole check, in memory.
#include <gtest/gtest.h>

#include "lineagecheck.h"
#include "gedfile.h"
#include "memfile.h"

#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string run_check(const std::string &input, char flag)
{
	option = flag;
	FILE *in = open_bytes(input);
	std::string result = written_by([in](FILE *out) { print_report(text_over(in), out); });
	std::fclose(in);
	return result;
}

std::string head_msg(int line)
{
	return "Verified GEDCOM has HEAD tag at line " + std::to_string(line) + ".\n\n";
}
const std::string trailer_msg = "Verified GEDCOM has trailer tag.\n";
const std::string no_trailer_msg = "Lineagecheck: Sorry, no trailer tag found.\n";
std::string counts(int individuals, int lines)
{
	return " Number of Individuals in GED  = " + std::to_string(individuals) +
	       "\n Lines of Data in GED = " + std::to_string(lines) + "\n";
}

} // namespace

TEST(CheckRules, HeadIsReportedWithTheNumberOfItsPiece)
{
	EXPECT_EQ(run_check("0 HEAD\n0 TRLR\n", 'b'), head_msg(1) + trailer_msg);
	EXPECT_EQ(run_check("x\ny\n0 HEAD\n0 TRLR\n", 'b'), head_msg(3) + trailer_msg);
}

TEST(CheckRules, EveryPieceHoldingHeadIsReported)
{
	std::string file = "0 HEAD\n1 NOTE see 0 HEAD above\n\xEF\xBB\xBF"
	                   "0 HEAD\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 'b'), head_msg(1) + head_msg(2) + head_msg(3) + trailer_msg);
}

// The head text is sought only in pieces that hold an H, found a few characters at a time:
// it must be found at every place in pieces of every length, and only where it stands whole.
TEST(CheckRules, HeadIsFoundAtEveryPlaceOfPiecesOfEveryLength)
{
	std::string file;
	std::string want;
	int line = 0;
	for (std::size_t length = 6; length < 79; ++length) {
		for (std::size_t at = 0; at + 6 <= length; ++at) {
			std::string piece(length, 'x');
			piece.replace(at, 6, "0 HEAD");
			file += piece + "\n";
			want += head_msg(++line);
			piece[at + 5] = 'x';
			file += piece + "\n";
			++line;
		}
	}
	file += "0 HEAD";
	want += head_msg(++line);
	EXPECT_EQ(run_check(file, 'b'), want + no_trailer_msg);
}

TEST(CheckRules, HeadSplitBetweenTwoPiecesIsNotReported)
{
	std::string file = std::string(76, 'x') + "0 HEAD\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 'b'), trailer_msg);
}

// Individuals are records with the tag INDI, not name lines: a person may have two names or
// none, and a submitter has one.
TEST(CheckRules, OnlyIndividualRecordsAreCounted)
{
	struct {
		const char *line;
		int individuals;
	} cases[] = {
		{"0 @I1@ INDI\n", 1}, {"0 @PERSON1@ INDI\r\n", 1}, {"0 @I2@ INDI\r", 1}, {"0 @I3@ INDI", 1},
		{"0 @I4@ INDI value\n", 1}, {"1 NAME A /B/\n", 0}, {"0 @S1@ SUBM\n", 0},
		{"0 @I5@ INDIVIDUAL\n", 0}, {"0 @I6@ indi\n", 0}, {"0 @I7 INDI\n", 0}, {"2 @I8@ INDI\n", 0},
		{"0 @N1@ NOTE INDI\n", 0}, {"0 NOTE @I9@ INDI\n", 0},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.line);
		EXPECT_EQ(run_check(c.line, 's'), no_trailer_msg + counts(c.individuals, 1));
	}
}

TEST(CheckRules, CountsIncludeHeadAndTrailer)
{
	std::string file = "0 HEAD\n1 SOUR X\n0 @I1@ INDI\n1 NAME A\n1 SEX M\n0 @I2@ INDI\n"
	                   "1 NAME B\n0 @F1@ FAM\n1 HUSB @I1@\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(2, 10));
}

TEST(CheckRules, TrailerEndsReadingEvenWithLinesAfterIt)
{
	std::string file = "0 HEAD\n0 TRLR\n1 NAME A\n0 HEAD\n";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(0, 2));
}

TEST(CheckRules, TrailerNeedsTheLetterTAtIndexTwo)
{
	EXPECT_EQ(run_check("0 T", 's'), trailer_msg + counts(0, 1));
	EXPECT_EQ(run_check("0xTRLR\n", 's'), trailer_msg + counts(0, 1));
	EXPECT_EQ(run_check("0\n", 's'), no_trailer_msg + counts(0, 1));
	EXPECT_EQ(run_check("0", 's'), no_trailer_msg + counts(0, 1));
	EXPECT_EQ(run_check("0\nT\n", 's'), no_trailer_msg + counts(0, 2));
	EXPECT_EQ(run_check("00 TRLR\n0 t\n", 's'), no_trailer_msg + counts(0, 2));
}

TEST(CheckRules, SecondPieceOfALongLineIsTestedOnItsOwn)
{
	std::string file = "0 HEAD\n" + std::string(79, 'x') + "0 TRLR\n1 NAME after\n";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(0, 3));
}

TEST(CheckRules, MissingTrailerIsReportedAndCountsStillFollow)
{
	EXPECT_EQ(run_check("0 HEAD\n0 @I1@ INDI\n", 's'), head_msg(1) + no_trailer_msg + counts(1, 2));
	EXPECT_EQ(run_check("0 HEAD\n0 @I1@ INDI\n", 'b'), head_msg(1) + no_trailer_msg);
	EXPECT_EQ(run_check("", 's'), no_trailer_msg + counts(0, 0));
	EXPECT_EQ(run_check("1 DATE 1 JAN 2000\n", 't'),
	          "GEDCOM Date = 1 DATE 1 JAN 2000\n\n" + no_trailer_msg);
}

TEST(CheckRules, CarriageReturnOnlyFileIsReadLineByLine)
{
	std::string file = "0 HEAD\r1 SOUR X\r0 @I1@ INDI\r0 TRLR\r0 @I2@ INDI\r";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(1, 4));
	EXPECT_EQ(run_check(file, 't'), head_msg(1) + "Source of GEDCOM is 1 SOUR X\r\n" + trailer_msg);
}

TEST(CheckRules, CrLfFileCountsAsManyLinesAsItHas)
{
	std::string file = "0 HEAD\r\n0 @I1@ INDI\r\n\r\n0 TRLR\r\n";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(1, 4));
}

TEST(HeaderLines, EachRuleWritesTheWholePieceAndOneMoreNewline)
{
	std::string file = "0 HEAD\n1 SOUR PAF\n2 NAME Family Files\n1 DATE 7 DEC 2003\n"
	                   "2 TIME 10:00\n1 FILE x.ged\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 't'), head_msg(1) + "Source of GEDCOM is 1 SOUR PAF\n\n"
	                                    "GEDCOM Source Name = 2 NAME Family Files\n\n"
	                                    "GEDCOM Date = 1 DATE 7 DEC 2003\n\n"
	                                    "GEDCOM Time = 2 TIME 10:00\n\n"
	                                    "GEDCOM FILE = 1 FILE x.ged\n\n" +
	                                    trailer_msg);
}

TEST(HeaderLines, RulesMatchAnywhereAndOnlyAtTheirLevel)
{
	std::string file = "0 @I1@ INDI\n2 NAME anywhere\n1 NAME no\n2 DATE no\n1 TIME no\n"
	                   "1 SOU no\n1 date no\n1 DAY no\n2 TITL no\n1 FIX no\n"
	                   "1 SOURCE no\n1 FILE yes\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 't'), "GEDCOM Source Name = 2 NAME anywhere\n\n"
	                                "GEDCOM FILE = 1 FILE yes\n\n" +
	                                    trailer_msg);
}

TEST(HeaderLines, PieceWithoutNewlineGetsOnlyTheFormatsNewline)
{
	EXPECT_EQ(run_check("1 DATE " + std::string(72, '9') + "0 TRLR\n", 't'),
	          "GEDCOM Date = 1 DATE " + std::string(72, '9') + "\n" + trailer_msg);
}

TEST(HeaderLines, FlagsOtherThanTWriteNoHeaderLines)
{
	std::string file = "0 HEAD\n1 SOUR X\n1 DATE 1 JAN 2000\n0 TRLR\n";
	EXPECT_EQ(run_check(file, 'b'), head_msg(1) + trailer_msg);
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(0, 4));
}

TEST(CheckRules, LongRegularFileIsCountedExactly)
{
	std::string body;
	for (int i = 1; i <= 40000; i++)
		body += i % 4 == 0 ? "0 @I1@ INDI\n" : "2 DATE 1 JAN 1900\r\n";
	std::string file = "0 HEAD\n" + body + "0 TRLR\n1 NAME late\n";
	EXPECT_EQ(run_check(file, 's'), head_msg(1) + trailer_msg + counts(10000, 40002));
}

// The real files of other programs: every flag, counted independently of this code.
struct sample_case {
	const char *file;
	bool head;
	bool trailer;
	int individuals;
	int lines;
	int header_lines;
};

void PrintTo(const sample_case &c, std::ostream *os)
{
	*os << c.file;
}

class SampleFiles : public testing::TestWithParam<sample_case> {};

TEST_P(SampleFiles, EveryFlagGivesTheIndependentCounts)
{
	std::filesystem::path dir = LINEAGE_SAMPLES;
	if (!std::filesystem::exists(dir))
		GTEST_SKIP() << "no sample folder " << dir;
	const sample_case &c = GetParam();
	FILE *in = std::fopen((dir / c.file).c_str(), "rb");
	ASSERT_NE(in, nullptr) << c.file;
	std::string input;
	char buf[65536];
	for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;)
		input.append(buf, n);
	std::fclose(in);

	std::string verdict = (c.head ? head_msg(1) : "") + (c.trailer ? trailer_msg : no_trailer_msg);
	EXPECT_EQ(run_check(input, 'b'), verdict);
	EXPECT_EQ(run_check(input, 's'), verdict + counts(c.individuals, c.lines));

	std::string t = run_check(input, 't');
	int written = 0;
	for (const char *label : {"Source of GEDCOM is ", "GEDCOM Source Name = ", "GEDCOM Date = ",
	                          "GEDCOM Time = ", "GEDCOM FILE = "})
		for (std::size_t at = t.find(label); at != std::string::npos; at = t.find(label, at + 1))
			written += at == 0 || t[at - 1] == '\n';
	EXPECT_EQ(written, c.header_lines);
	EXPECT_TRUE(t.ends_with(c.trailer ? trailer_msg : no_trailer_msg));
}

INSTANTIATE_TEST_SUITE_P(
	All, SampleFiles,
	testing::Values(sample_case{"Queen.ged", true, true, 4683, 107175, 4},
	                sample_case{"TGC551LF.ged", true, true, 15, 2418, 12},
	                sample_case{"TGC55C.ged", true, true, 15, 2454, 12},
	                sample_case{"burzyn-paf5.ged", true, true, 4578, 72971, 5},
	                sample_case{"gedcompm-royal-indented.ged", true, true, 93, 1407, 4},
	                sample_case{"gramps-sample.ged", true, true, 42, 953, 5},
	                sample_case{"john_of_sea_20101009.ged", true, true, 61, 1437, 9},
	                sample_case{"legacycustomtags.ged", true, true, 8, 220, 5},
	                sample_case{"royal92.ged", true, true, 3010, 30682, 3},
	                sample_case{"superlongline-ansel.ged", true, true, 0, 15, 1},
	                sample_case{"utf16le.ged", true, true, 0, 12, 1},
	                sample_case{"utf8_crlf_bom.ged", true, true, 10, 77, 3},
	                sample_case{"willis.ged", true, true, 761, 23986, 4}),
	[](const testing::TestParamInfo<sample_case> &info) {
		std::string name = info.param.file;
		for (char &ch : name)
			if (!std::isalnum(static_cast<unsigned char>(ch)))
				ch = '_';
		return name;
	});

TEST(SampleFiles, EveryFileInTheFolderIsListed)
{
	std::filesystem::path dir = LINEAGE_SAMPLES;
	if (!std::filesystem::exists(dir))
		GTEST_SKIP() << "no sample folder " << dir;
	int files = 0;
	for (const auto &entry : std::filesystem::directory_iterator(dir))
		files += entry.path().extension() == ".ged";
	EXPECT_EQ(files, 13) << "a new sample file needs its counts in the table above";
}
