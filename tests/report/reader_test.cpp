// The reader: counting line pieces, record numbers, references, the event context, the rules.
#include <gtest/gtest.h>

#include "report_run.h"

// Every piece is counted, and a record line counts as an individual only when its piece begins the line.
TEST(ReaderCounts, ReportCountsEveryPieceOfLinesOfEveryLengthAndEnd)
{
	const char *ends[] = {"\n", "\r\n", "\r", "\n\r"};
	std::string bytes;
	for (int k = 0; bytes.size() < 400000; ++k) {
		std::string line = "0 @I1@ INDI " + std::string(k % 113, static_cast<char>('a' + k % 26));
		bytes += line + ends[(k / 113) % 4];
	}
	static piece_reader r;
	FILE *in = open_bytes(bytes);
	int pieces = 0;
	int individuals = 0;
	read_pieces(r, text_over(in), [&](std::string_view p) {
		++pieces;
		individuals += p.starts_with("0 @I1@ INDI ");
		return true;
	});
	std::fclose(in);
	run_report('s', bytes + "0 TRLR\n1 NAME After /Trailer/\n");
	EXPECT_EQ(lines_of_data, pieces + 1);
	EXPECT_EQ(number_of_individuals, individuals);
}

TEST(ReaderCounts, EveryPieceIsCountedTheTrailerIncluded)
{
	run_report('s', "0 HEAD\n1 NOTE " + std::string(90, 'n') + "\n0 TRLR\n0 @I1@ INDI\n");
	EXPECT_EQ(lines_of_data, 4);
}

TEST(ReaderCounts, LoneZeroIsNoTrailer)
{
	run_report('s', "0 HEAD\n0\n1 NAME A /B/\n0 TRLR\n");
	EXPECT_EQ(lines_of_data, 4);
	EXPECT_EQ(row(indi_name[0]), "A /B/\n");
}

TEST(ReaderCounts, CarriageReturnFileIsReadLineByLine)
{
	run_report('s', "0 HEAD\r0 @I1@ INDI\r1 NAME Ann /Lee/\r0 TRLR\r");
	EXPECT_EQ(lines_of_data, 4);
	EXPECT_EQ(row(indi_name[1]), "Ann /Lee/\r");
}

TEST(ReaderRecords, RecordNumberIsTheFourCharactersAfterTheLetter)
{
	run_report('i', "0 @I7@ INDI\n");
	EXPECT_EQ(indi_r, 7);
	EXPECT_STREQ(indi.data(), "7   ");
	run_report('i', "0 @I0012@ INDI\n");
	EXPECT_EQ(indi_r, 12);
	EXPECT_STREQ(indi.data(), "0012");
	run_report('i', "0 @I12345@ INDI\n");
	EXPECT_EQ(indi_r, 1234);
	run_report('i', "0 @F0001@ FAM\n");
	EXPECT_EQ(fam_r, 1);
	EXPECT_STREQ(fam.data(), "0001");
	run_report('i', "0 @F7@ FAM\n");
	EXPECT_STREQ(fam.data(), "7   ");
}

TEST(ReaderRecords, ShortAndMalformedRecordLinesGiveRowZero)
{
	run_report('i', "0 @I5@ INDI\n0 @I\n");
	EXPECT_EQ(indi_r, 0);
	EXPECT_STREQ(indi.data(), "\n");
	run_report('i', "0 @I5@ INDI\n0 @IX1@ INDI\n");
	EXPECT_EQ(indi_r, 0);
	run_report('i', "0 @I5@ INDI\n0 @I3\n");
	EXPECT_EQ(indi_r, 3);
	EXPECT_STREQ(indi.data(), "3\n");
}

// A record's cross-reference ends at its own closing "@": near or far, never at one of the
// next line, and only then is the record an individual's and its whole number written.
TEST(ReaderRecords, CrossReferenceEndsAtTheClosingAtOfItsOwnLine)
{
	struct {
		const char *lines;
		int individuals;
		const char *record; // the record line -i writes, or none
		const char *kept;   // the four characters the row is taken from
	} cases[] = {
		{"0 @I1234567890123456789@ INDI\n", 1, " Record = 1234567890123456789\n", "1234"},
		{"0 @I12345678901234@ INDI\n", 1, " Record = 12345678901234\n", "1234"},
		{"0 @I12 INDI\n@ INDI\n", 0, " Record = 12  \n", "12  "},
		{"0 @I1234567890123456789 INDI\n@ INDI\n", 0, " Record = 1234\n", "1234"},
		{"0 @II1I@ INDI\n", 1, " Record = I1  \n", "I1  "},
		{"0 @I@@I INDI\n", 0, " Record = @   \n", "@   "},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.lines);
		number_of_individuals = 0;
		std::string page = run_report('i', c.lines);
		EXPECT_EQ(number_of_individuals, c.individuals);
		EXPECT_NE(page.find(c.record), std::string::npos) << page;
		EXPECT_STREQ(indi.data(), c.kept);
	}
}

TEST(ReaderRecords, FactsGoToTheRowOfTheRecordNumber)
{
	run_report('i', "0 @I0042@ INDI\n1 NAME Eva /Ek/\n1 SEX F\n1 OCCU Smith\n1 EDUC School\n"
			"1 RELI None\n1 NOTE Kind\n");
	EXPECT_EQ(row(indi_name[42]), "Eva /Ek/\n");
	EXPECT_EQ(indi_sex[42], 'F');
	EXPECT_EQ(row(seximage[42]), "<img src=female.gif>");
	EXPECT_EQ(row(indi_occu[42]), "Smith\n");
	EXPECT_EQ(row(indi_educ[42]), "School\n");
	EXPECT_EQ(row(indi_reli[42]), "None\n");
	EXPECT_EQ(row(indi_note[42]), "Kind\n");
	EXPECT_EQ(row(indi_name[0]), "");
}

TEST(ReaderRecords, LinesBeforeTheFirstRecordLandInRowZero)
{
	run_report('i', "0 HEAD\n0 @S1@ SUBM\n1 NAME Sub Mitter\n0 @F3@ FAM\n1 NOTE family note\n");
	EXPECT_EQ(row(indi_name[0]), "Sub Mitter\n");
	EXPECT_EQ(row(indi_note[0]), "family note\n");
}

// Records without a row still write their lines but store nothing until the next record.
TEST(ReaderRecords, OutOfRangeRecordsStoreNothing)
{
	std::string page = run_report('i', "0 @I1@ INDI\n1 NAME One /A/\n0 @I9999@ INDI\n1 NAME Big /B/\n"
					   "1 SEX M\n1 BIRT\n2 DATE 1900\n0 @I-1@ INDI\n1 NAME Neg /C/\n"
					   "0 @I2@ INDI\n1 NAME Two /D/\n");
	EXPECT_NE(page.find(" Record = 9999\n"), std::string::npos);
	EXPECT_NE(page.find(" Name = Big /B/\n"), std::string::npos);
	EXPECT_NE(page.find(" Sex = M \n"), std::string::npos);
	EXPECT_NE(page.find(" Birth Date  = 1900\n"), std::string::npos);
	EXPECT_EQ(row(indi_name[1]), "One /A/\n");
	EXPECT_EQ(row(indi_name[2]), "Two /D/\n");
	EXPECT_EQ(row(indi_name[0]), "");
	EXPECT_EQ(row(indi_birt_date[1]), "");
	EXPECT_EQ(number_of_individuals, 4);

	run_report('f', "0 @F1900@ FAM\n1 HUSB @I1@\n1 MARR\n2 DATE 1920\n0 @F-2@ FAM\n1 WIFE @I1@\n");
	EXPECT_STREQ(fam_husb[0].data(), "");
	EXPECT_STREQ(fam_wife[0].data(), "");
	EXPECT_EQ(row(fam_marr_date[0]), "");
}

TEST(ReaderReferences, ReferenceTextIsFourCharactersAfterTheAt)
{
	run_report('f', "0 @F2@ FAM\n1 HUSB @I0012@\n1 WIFE @I7@\n1 CHIL @I3@\n1 CHIL @I4@\n");
	EXPECT_STREQ(fam_husb[2].data(), "0012");
	EXPECT_STREQ(fam_wife[2].data(), "7 \n");
	EXPECT_STREQ(fam_chil[2].data(), "4 \n");
	EXPECT_EQ(id_pointer, 4);
}

TEST(ReaderReferences, ReferenceBeyondTheTableWritesEmptyFacts)
{
	std::string page = run_report('f', "0 @F1@ FAM\n1 HUSB @I99999@\n1 WIFE @I-5@\n1 CHIL @I9999@\n");
	EXPECT_NE(page.find(" Husband = <b></b> ( - )"), std::string::npos);
	EXPECT_NE(page.find(" Wife = <b></b> ( - )"), std::string::npos);
	EXPECT_NE(page.find(" Child =  <b></b> ( - )"), std::string::npos);
}

TEST(ReaderContext, EventContextChoosesTheTable)
{
	run_report('i', "0 @I1@ INDI\n1 BIRT\n2 DATE 1 MAR 1900\n2 PLAC Lund\n2 NOTE born\n"
			"1 DEAT\n2 DATE 1970\n2 PLAC Ystad\n2 NOTE died\n1 BURI\n2 DATE 1971\n2 PLAC Hill\n"
			"2 NOTE grave\n1 CREM\n2 PLAC Oven\n1 CHAN\n2 DATE 2001\n");
	EXPECT_EQ(row(indi_birt_date[1]), "1 MAR 1900\n");
	EXPECT_EQ(row(indi_birt_plac[1]), "Lund\n");
	EXPECT_EQ(row(indi_birt_note[1]), "born\n");
	EXPECT_EQ(row(indi_deat_date[1]), "1970\n");
	EXPECT_EQ(row(indi_deat_plac[1]), "Ystad\n");
	EXPECT_EQ(row(indi_deat_note[1]), "died\n");
	EXPECT_EQ(row(indi_buri_date[1]), "1971\n");
	EXPECT_EQ(row(indi_buri_plac[1]), "Hill\n");
	EXPECT_EQ(row(indi_buri_note[1]), "grave\n");
	EXPECT_EQ(row(indi_crem_plac[1]), "Oven\n");
	EXPECT_EQ(row(indi_chan_date[1]), "2001\n");
	EXPECT_STREQ(last_action.data(), "CHAN");
}

// A level-2 line belongs to the event line above it: the context ends at every level-0 line
// and at every level-1 line but the eight events, and lines below level 1 keep it.
TEST(ReaderContext, ContextEndsAtRecordsAndAtOtherLevelOneLines)
{
	run_report('f', "0 @I1@ INDI\n1 BIRT\n0 @I2@ INDI\n2 PLAC Here\n0 @F1@ FAM\n1 MARR\n"
			"1 ENGA\n2 DATE 1 MAY 1920\n0 @F2@ FAM\n1 DIV\n2 PLAC Court\n0 @F3@ FAM\n2 DATE 1930\n");
	EXPECT_EQ(row(indi_birt_plac[2]), "");
	EXPECT_EQ(row(fam_marr_date[1]), "");
	EXPECT_EQ(row(fam_div_plac[2]), "Court\n");
	EXPECT_EQ(row(fam_div_date[3]), "");

	struct {
		const char *lines;
		const char *birth;
	} cases[] = {
		{"1 BIRT\n2 DATE 1900\n1 CHR\n2 DATE 1901\n", "1900\n"},
		{"1 BIRT\n2 SOUR @S1@\n3 PAGE 4\n2 DATE 1902\n", "1902\n"},
		{"1 BIRT\n1\n2 DATE 1903\n", ""},
		{"1 BIRT\n0\n2 DATE 1904\n", ""},
		{"1 BIRT\n1 BIRTH\n2 DATE 1905\n", ""},
	};
	int r = 10;
	for (const auto& c : cases) {
		SCOPED_TRACE(c.lines);
		run_report('i', "0 @I" + std::to_string(++r) + "@ INDI\n" + c.lines);
		EXPECT_EQ(row(indi_birt_date[r]), c.birth);
	}
}

TEST(ReaderContext, ContextsWithoutAnEntryStoreAndWriteNothing)
{
	std::string page = run_report('i', "0 @I1@ INDI\n1 CREM\n2 DATE 1900\n2 NOTE ash\n1 OBJE\n"
					   "2 PLAC Shelf\n1 MARR\n2 NOTE wed\n1 BIRT\n2 FILE a.jpg\n");
	EXPECT_EQ(page, "<br /><br /><img src=gedbase.gif align=center /> Record = 1   \n");
	EXPECT_EQ(row(indi_birt_date[1]), "");
	EXPECT_EQ(row(indi_crem_plac[1]), "");
}

// A tag that begins with a rule's letters is another fact: it neither replaces nor adds one.
TEST(ReaderRules, TagsSharingARulesLettersKeepNothing)
{
	run_report('i', "0 @I1@ INDI\n1 NAME Old /One/\n1 NATI Swedish\n1 RESI Town\n1 WILL @I9@\n");
	EXPECT_EQ(row(indi_name[1]), "Old /One/\n");
	EXPECT_EQ(row(indi_reli[1]), "");
	EXPECT_EQ(id_pointer, 0);
}

TEST(ReaderRules, LinesNoRuleKnowsAreOnlyCounted)
{
	std::string page = run_report('i', "0 @I1@ INDI\n2 CONC more\n2 CONT more\n1 FAMC @F1@\n"
					   "1 FAMS @F2@\n1 CHR\n3 DATE 1900\n"
					   "1 name lower /y/\n1 N\n0 TRLR\n");
	EXPECT_EQ(page, "<br /><br /><img src=gedbase.gif align=center /> Record = 1   \n");
	EXPECT_EQ(lines_of_data, 10);
	EXPECT_EQ(row(indi_name[1]), "");
}

TEST(ReaderRules, ValueStartsAtIndexSeven)
{
	run_report('i', "0 @I1@ INDI\n1 NOTE\n");
	EXPECT_EQ(row(indi_note[1]), "");
	run_report('i', "0 @I2@ INDI\n1 NO\n");
	EXPECT_EQ(row(indi_note[2]), "");
	run_report('i', "0 @I3@ INDI\n1 NOTE " + std::string(80, 'n') + "\n");
	EXPECT_EQ(row(indi_note[3]), std::string(72, 'n'));
}

TEST(ReaderRules, SexCharacterIsIndexSixOrABlank)
{
	std::string page = run_report('i', "0 @I1@ INDI\n1 SEX M\n0 @I2@ INDI\n1 SEX\n0 @I3@ INDI\n"
					   "1 SEX F\n1 SEX U\n");
	EXPECT_EQ(indi_sex[1], 'M');
	EXPECT_EQ(row(seximage[1]), "<img src=male.gif>");
	EXPECT_EQ(indi_sex[2], ' ');
	EXPECT_EQ(row(seximage[2]), "");
	EXPECT_NE(page.find(" Sex =   \n"), std::string::npos);
	EXPECT_EQ(indi_sex[3], 'U');
	EXPECT_EQ(row(seximage[3]), "<img src=female.gif>");
}

TEST(ReaderRules, TrailerEndsReadingEvenWithLinesAfterIt)
{
	std::string page = run_report('i', "0 @I1@ INDI\n0 TRLR\n0 @I2@ INDI\n");
	EXPECT_EQ(page, "<br /><br /><img src=gedbase.gif align=center /> Record = 1   \n");
	EXPECT_EQ(lines_of_data, 2);
}

TEST(ReaderRules, LeadingNumberReadsLikeAtoiButSaturates)
{
	struct {
		const char *text;
		int number;
	} cases[] = {
		{"0012", 12}, {"9999", 9999}, {"12a4", 12}, {"1 23", 1}, {"-123", -123}, {" 042", 42},
		{"7 \n", 7}, {" 42x", 42}, {"-3", -3}, {"+5", 5}, {"abc", 0}, {"", 0},
		{"99999999999999", 2147483647}, {"-99999999999999", -2147483647 - 1},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.text);
		EXPECT_EQ(leading_number(c.text), c.number);
	}
}
