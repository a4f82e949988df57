// The word scan on GEDCOM texts in memory: which facts it reports, with which texts, and what it prints.
#include <gtest/gtest.h>

#include "gedfile.h"

#include "personview.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

namespace {

using field_list = std::vector<std::pair<int, std::string>>;

field_list recorded;

void record_field(int field, const char *text)
{
	recorded.emplace_back(field, text);
}

struct scan_run {
	field_list fields;
	std::string console;
	scan_result result;
};

FILE *open_text(const std::string &text)
{
	return text.empty() ? std::tmpfile() : fmemopen(const_cast<char *>(text.data()), text.size(), "r");
}

scan_run run_scan(const std::string &ged, const char *number)
{
	recorded.clear();
	FILE *in = open_text(ged);
	char *buf = nullptr;
	std::size_t len = 0;
	FILE *out = open_memstream(&buf, &len);
	scan_result result = scan_individual(text_over(in), number, record_field, out);
	std::fclose(out);
	std::fclose(in);
	std::string console(buf, len);
	std::free(buf);
	return {recorded, console, result};
}

// A record in the shape the converter writes, after its header.
const std::string converter_head =
	"0 HEAD\n1 SOUR HALVORN\n2 NAME Flatged\n2 VERS 0.1.0\n1 DEST ANSTFILE\n1 CHAR ANSI\n"
	"1 FILE temp.ged\n1 GEDC\n2 VERS 5.5\n2 FORM LINEAGE-LINKED\n";

std::string person(const std::string &xref, const std::string &lines)
{
	return converter_head + "0 " + xref + " INDI\n" + lines + "0 TRLR\n";
}

// The words of a text, each line's first marked with ^.
std::string words_of(const std::string &text)
{
	FILE *in = open_text(text);
	open_words(text_over(in));
	std::string seen;
	scan_word w;
	while (read_scan_word(w))
		seen += (seen.empty() ? "" : " ") + std::string(w.begins_line ? "^" : "") + w.text.data();
	EXPECT_STREQ(w.text.data(), "");
	std::fclose(in);
	return seen;
}

} // namespace

TEST(WordReader, LineEndsAndIndentationMarkLineStarts)
{
	const std::pair<std::string, std::string> cases[] = {
		{"0 HEAD\n1 SOUR X\n", "^0 HEAD ^1 SOUR X"},
		{"0 HEAD\r1 SOUR X\r", "^0 HEAD ^1 SOUR X"},
		{"0 HEAD\r\n1 SOUR X\r\n\r\n", "^0 HEAD ^1 SOUR X"},
		{"0 HEAD\n1 SOUR X", "^0 HEAD ^1 SOUR X"},
		{"  0 HEAD\n\t 1  SOUR\tX \n\n   \n2 VERS", "^0 HEAD ^1 SOUR X ^2 VERS"},
		{"\xEF\xBB\xBF" "0 HEAD\n1 CHAR UTF-8", "^0 HEAD ^1 CHAR UTF-8"},
		{"\xEF\xBB\xBF \r\n0 HEAD", "^0 HEAD"},
		// Half a byte-order mark is two stray bytes, read as their windows-1252 letters.
		{"\xEF\xBB" "0 HEAD", "^\xC3\xAF\xC2\xBB" "0 HEAD"},
		{"0 \xEF\xBB\xBF" "0\f1\v2", "^0 \xEF\xBB\xBF" "0 1 2"},
		{"", ""}, {" \n\r ", ""},
		// Across the boundary of the blocks the file is read in.
		{std::string(65534, '\n') + "TRLR 0", "^TRLR 0"},
		{std::string(65535, ' ') + "\r\n0", "^0"},
		{std::string(65535, '\n') + std::string(300, 'a') + " b", "^" + std::string(255, 'a') + " b"}};
	for (const auto &[text, words] : cases) {
		SCOPED_TRACE(text.size() > 80 ? text.substr(text.size() - 20) : text);
		EXPECT_EQ(words_of(text), words);
	}
}

TEST(RecordSearch, ConverterFileShowsEveryFact)
{
	std::string ged = converter_head +
		"0 @I0001@ INDI\n1 NAME John /Smith/\n1 SEX M\n1 BIRT\n2 DATE 12 MAR 1900\n2 PLAC London\n"
		"1 DEAT\n2 DATE 5 JUN 1970\n2 PLAC Leeds\n1 BURI\n2 PLAC Leeds\n1 FAMC @F0001@\n1 FAMS @F0002@\n"
		"0 @I0002@ INDI\n1 NAME Mary /Smith/\n1 SEX F\n1 BIRT\n1 FAMC @F0002@\n"
		"0 @F0001@ FAM\n1 CHIL @I0001@\n0 @F0002@ FAM\n1 HUSB @I0001@\n1 CHIL @I0002@\n0 TRLR\n";
	scan_run run = run_scan(ged, "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_name, " John /Smith/ "}, {field_sex, "M"},
		{field_birth_date, " 12 MAR 1900  "}, {field_birth_place, " London  "},
		{field_death_date, " 5 JUN 1970  "}, {field_death_place, " Leeds  "}}));
	EXPECT_EQ(run.console,
		"check '0001' = '1'\n"
		"SUB individual data read '2'\nSUB individual data read 'DATE'\n"
		"SUB individual data read '12'\nSUB individual data read 'MAR'\nSUB individual data read '1900'\n"
		"SUB individual data read '2'\nSUB individual data read 'PLAC'\n"
		"SUB individual data read 'London'\nSUB individual data read '1'\n"
		"SUB individual data read '2'\nSUB individual data read 'DATE'\n"
		"SUB individual data read '5'\nSUB individual data read 'JUN'\nSUB individual data read '1970'\n"
		"SUB individual data read '2'\nSUB individual data read 'PLAC'\n"
		"SUB individual data read 'Leeds'\nSUB individual data read '1'\n");
	EXPECT_STREQ(indi_check.data(), "0001");
}

TEST(RecordSearch, SecondPersonIsFoundAfterCheckingTheFirst)
{
	std::string ged = converter_head + "0 @I0001@ INDI\n1 SEX M\n0 @I0002@ INDI\n1 SEX F\n0 TRLR\n";
	scan_run run = run_scan(ged, "2");
	EXPECT_EQ(run.fields, (field_list{{field_sex, "F"}}));
	EXPECT_EQ(run.console, "check '0001' = '2'\ncheck '0002' = '2'\n");
}

TEST(RecordSearch, NumberIsComparedAsWholeNumber)
{
	const std::pair<const char *, const char *> cases[] = {
		{"@I0001@", "1"}, {"@I0001@", "01"}, {"@I0001@", "0001"}, {"@I1@", "0001"},
		{"@I0007@", "7abc"}, {"@I0@", "zero"}, {"@I000000000000000000000123456789012345678901@",
		"123456789012345678901"}};
	for (auto [xref, number] : cases) {
		SCOPED_TRACE(std::string(xref) + " " + number);
		EXPECT_EQ(run_scan(person(xref, "1 SEX F\n"), number).fields, (field_list{{field_sex, "F"}}));
	}
	EXPECT_TRUE(run_scan(person("@I0010@", "1 SEX F\n"), "1").fields.empty());
	EXPECT_TRUE(run_scan(person("@I123456789012345678901@", "1 SEX F\n"), "123456789012345678902")
		.fields.empty());
}

TEST(RecordSearch, NumberTextIsWhatLiesBetweenIAndTheNextAt)
{
	const std::pair<const char *, const char *> cases[] = {
		{"@I0001@", "0001"}, {"@I12X@Y", "12X"}, {"@I7", "7"}, {"@I@", ""}};
	for (auto [xref, text] : cases) {
		SCOPED_TRACE(xref);
		scan_run run = run_scan(person(xref, ""), "99");
		EXPECT_STREQ(indi_check.data(), text);
		EXPECT_EQ(run.console, std::string("check '") + text + "' = '99'\n");
	}
}

TEST(RecordSearch, OnlyIndividualRecordsAreCompared)
{
	std::string ged = "0 @F0003@ FAM\n1 HUSB @I0003@\n0 @I0003@ NOTE\n1 SEX M\n0 @S3@ INDI\n0 TRLR\n";
	scan_run run = run_scan(ged, "3");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_TRUE(run.fields.empty());
	EXPECT_EQ(run.console, "");
}

TEST(RecordSearch, NoMatchEndsAtTrailerAndKeepsLastNumberText)
{
	std::string ged = converter_head + "0 @I0001@ INDI\n1 SEX M\n0 @I0002@ INDI\n1 SEX F\n"
		"0 @F0001@ FAM\n0 TRLR\n1 SEX M\n0 @I0003@ INDI\n";
	scan_run run = run_scan(ged, "3");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_TRUE(run.fields.empty());
	EXPECT_STREQ(indi_check.data(), "0002");
}

TEST(RecordSearch, WordsAfterALinesFirstNeverStartOrEndARecord)
{
	// Lines of the header and of both records that hold words a search by words alone would
	// take for a record start, a level number or the trailer.
	std::string long_note = "1 NOTE";
	while (long_note.size() < 70000)
		long_note += " 0 TRLR";
	const std::string cases[] = {"2 DATE 05 MAR 1900\n", "1 CHAN\n2 DATE 22 JAN 2010\n3 TIME 01:35:26\n",
		"1 NOTE version 0.1.0\n", "1 NOTE 0 @I0002@ INDI\n", "1 NOTE ends in the\n2 CONT TRLR record\n",
		"1 NOTE TRLR\n", long_note + "\n", "1 NOTE a\0b\n"s, "1 NOTE 0\0 @I0002@ INDI\n"s};
	for (const std::string &lines : cases) {
		SCOPED_TRACE(lines.substr(0, 40));
		scan_run run = run_scan("0 HEAD\n" + lines + "0 @I0001@ INDI\n" + lines +
			"0 @I0002@ INDI\n1 SEX F\n" + lines + "1 BIRT\n2 DATE 2 FEB 1876\n2 PLAC Lund\n0 TRLR\n", "2");
		EXPECT_EQ(run.result, scan_done);
		EXPECT_EQ(run.fields, (field_list{{field_sex, "F"}, {field_birth_date, " 2 FEB 1876  "},
			{field_birth_place, " Lund  "}}));
		EXPECT_EQ(run.console.substr(0, 38), "check '0001' = '2'\ncheck '0002' = '2'\n");
	}
}

TEST(RecordSearch, EndOfFileBeforeTrailerIsAReadError)
{
	const char *cases[] = {"", "   \n\n", "0 HEAD\n1 SOUR X\n", "0 @I0001@ INDI\n1 SEX M\n0",
		"0 @I0001@ INDI\n1 SEX M\n0 @I0002@", "0 HEAD\n1 NOTE TRLR\n", "0 HEAD\n1 NOTE 0 TRLR\n"};
	for (const char *ged : cases) {
		SCOPED_TRACE(ged);
		scan_run run = run_scan(ged, "5");
		EXPECT_EQ(run.result, scan_read_error);
		EXPECT_TRUE(run.fields.empty());
	}
}

TEST(RecordSearch, TrailerAtTheVeryEndIsNoError)
{
	EXPECT_EQ(run_scan("0 HEAD\n1 SOUR X\n0 TRLR", "1").result, scan_done);
	EXPECT_EQ(run_scan("0 HEAD\n1 SOUR X\r\n  0 TRLR\r\n", "1").result, scan_done);
}

TEST(RecordSearch, EmptyWordFromNulByteIsAReadError)
{
	for (const std::string &line : {"1 NOTE \0x\n"s, "1 SOUR a\0b \0c\n"s, "1 NOTE x\n\0\n"s}) {
		SCOPED_TRACE(line);
		scan_run run = run_scan("0 HEAD\n" + line + "0 @I0001@ INDI\n1 SEX M\n0 TRLR\n", "1");
		EXPECT_EQ(run.result, scan_read_error);
		EXPECT_TRUE(run.fields.empty());
	}
}

TEST(RecordSearch, OverlongWordStaysOneWord)
{
	// Were the word split at its capacity, its tail would be read as the tag NAME.
	std::string sex(255, 'M');
	EXPECT_EQ(run_scan(person("@I0001@", "1 SEX " + sex + "NAME Ann /Lee/\n"), "1").fields,
		(field_list{{field_sex, sex}}));
}

// Where the reads of 64 KiB that the scan makes end in a text.
std::vector<std::size_t> read_ends(const std::string &text)
{
	FILE *in = open_text(text);
	ged_text &t = text_over(in);
	static std::array<char, 1 << 16> block;
	std::vector<std::size_t> ends;
	std::size_t at = 0;
	while (std::size_t got = ged_read(t, block.data(), block.size()))
		ends.push_back(at += got);
	std::fclose(in);
	return ends;
}

// A line longer than a read: the word NAME just after the end of a read is still the tail
// of the sex word, not a tag; a record longer than a read before the person is passed over.
// Where reads end is asked of the reader, so that the word is placed there.
TEST(RecordSearch, WordsAndRecordsAcrossTheReadBlocks)
{
	const std::string before = converter_head + "0 @I0001@ INDI\n1 SEX ";
	auto file = [&](std::size_t sex) {
		return before + std::string(sex, 'M') + "NAME Ann /Lee/ " + std::string(100000, 'x') + "\n0 TRLR\n";
	};
	std::vector<std::size_t> ends = read_ends(file(200000));
	auto cut = std::find_if(ends.begin(), ends.end(), [&](std::size_t e) { return e > before.size() + 300; });
	ASSERT_NE(cut, ends.end());
	std::string ged = file(*cut - before.size());
	std::vector<std::size_t> again = read_ends(ged);
	ASSERT_NE(std::find(again.begin(), again.end(), *cut), again.end()) << "no read ends before NAME";
	EXPECT_EQ(run_scan(ged, "1").fields, (field_list{{field_sex, std::string(255, 'M')}}));

	std::string many_words = converter_head + "0 @I0002@ INDI\n1 NOTE";
	while (many_words.size() < 200000)
		many_words += " n";
	EXPECT_EQ(run_scan(many_words + "\n0 @I0001@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n0 TRLR\n", "1").fields,
		(field_list{{field_name, " Ann /Lee/ "}, {field_sex, "F"}}));
}

TEST(RecordSearch, EndOfFileInsideTheMatchShowsWhatWasCollected)
{
	scan_run run = run_scan("0 @I0001@ INDI\n1 NAME Ann /Lee/\n1 SEX", "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_name, " Ann /Lee/ "}, {field_sex, ""}}));
}

TEST(NameStep, CollectsThroughTheSurnameWord)
{
	scan_run run = run_scan(person("@I0001@", "1 NAME John Henry /Smith/ Jr\n1 SEX M\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_name, " John Henry /Smith/ "}, {field_sex, "M"}}));
}

TEST(NameStep, NameWithoutSurnameEndsAtLevelWord)
{
	scan_run run = run_scan(person("@I0001@", "1 NAME John\n1 SEX M\n1 BIRT\n2 DATE 1900\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_name, " John  "}, {field_sex, "M"},
		{field_birth_date, " 1900  "}}));
}

TEST(NameStep, NameEndingOnZeroEndsTheRecord)
{
	std::string ged = "0 @I0001@ INDI\n1 NAME Mary\n0 @I0002@ INDI\n1 SEX F\n0 TRLR\n";
	scan_run run = run_scan(ged, "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_name, " Mary  "}}));
}

TEST(NameStep, NameCutShortByEndOfFileIsShown)
{
	EXPECT_EQ(run_scan("0 @I0001@ INDI\n1 NAME John Henry", "1").fields,
		(field_list{{field_name, " John Henry "}}));
}

TEST(NameStep, LongNameIsCutAt255Characters)
{
	std::string given(200, 'g');
	scan_run run = run_scan(person("@I0001@", "1 NAME " + given + " /" + std::string(100, 's') + "/\n"), "1");
	ASSERT_EQ(run.fields.size(), 1u);
	EXPECT_EQ(run.fields[0].second, " " + given + " /" + std::string(52, 's'));
}

TEST(NameStep, SecondNameAddsSecondField)
{
	scan_run run = run_scan(person("@I0001@", "1 NAME Ann /Lee/\n1 NAME Anna /Leigh/\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_name, " Ann /Lee/ "}, {field_name, " Anna /Leigh/ "}}));
}

TEST(SexStep, SexIsTheWordAlone)
{
	EXPECT_EQ(run_scan(person("@I0001@", "1 SEX F\n"), "1").fields, (field_list{{field_sex, "F"}}));
	EXPECT_EQ(run_scan(person("@I0001@", "1 SEX Female\n"), "1").fields, (field_list{{field_sex, "Female"}}));
}

TEST(SexStep, BirthDirectlyBeforeSexLosesTheSex)
{
	scan_run run = run_scan(person("@I0001@", "1 BIRT\n1 SEX M\n1 NAME Ann /Lee/\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_name, " Ann /Lee/ "}}));
	EXPECT_EQ(run.console, "check '0001' = '1'\nSUB individual data read '1'\nSUB individual data read 'SEX'\n");
}

TEST(BirthStep, PlaceWithoutDateShowsNeitherField)
{
	EXPECT_TRUE(run_scan(person("@I0001@", "1 BIRT\n2 PLAC London\n"), "1").fields.empty());
}

TEST(BirthStep, DayOneOrTwoIsPartOfTheDate)
{
	scan_run run = run_scan(person("@I0001@", "1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC London 2\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_birth_date, " 1 JAN 1900  "}, {field_birth_place, " London 2  "}}));
}

TEST(BirthStep, DateFollowedBySourceGivesOneBlankPlace)
{
	scan_run run = run_scan(person("@I0001@", "1 BIRT\n2 DATE 1900\n2 SOUR @S1@\n1 SEX F\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_birth_date, " 1900  "}, {field_birth_place, " "},
		{field_sex, "F"}}));
}

TEST(BirthStep, DateAtEndOfFileIsShown)
{
	scan_run run = run_scan("0 @I0001@ INDI\n1 BIRT\n2 DATE 12 MAR", "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_birth_date, " 12 MAR "}}));
}

TEST(BirthStep, PlaceEndingOnZeroEndsTheRecord)
{
	std::string ged = "0 @I0001@ INDI\n1 BIRT\n2 DATE 1900\n2 PLAC Bergen Norway\n0 @I0002@ INDI\n"
		"1 SEX F\n0 TRLR\n";
	EXPECT_EQ(run_scan(ged, "1").fields, (field_list{{field_birth_date, " 1900  "},
		{field_birth_place, " Bergen Norway  "}}));
}

TEST(BirthStep, LongPlaceIsCutAt255Characters)
{
	std::string words;
	for (int i = 0; i < 40; i++)
		words += "Placename ";
	scan_run run = run_scan(person("@I0001@", "1 BIRT\n2 DATE 1900\n2 PLAC " + words + "\n"), "1");
	ASSERT_EQ(run.fields.size(), 2u);
	EXPECT_EQ(run.fields[1].second, " " + words.substr(0, 254));
}

TEST(DeathStep, YIsSkipped)
{
	scan_run run = run_scan(person("@I0001@", "1 DEAT Y\n2 DATE 1950\n2 PLAC Leeds\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_death_date, " 1950  "}, {field_death_place, " Leeds  "}}));
	EXPECT_NE(run.console.find("SUB individual data read 'Y'\nSUB individual data read '2'\n"
		"SUB individual data read 'DATE'\n"), std::string::npos);
}

TEST(DeathStep, DeathWithoutYReadsTheSameFacts)
{
	scan_run run = run_scan(person("@I0001@", "1 DEAT\n2 DATE ABT 1950\n2 PLAC Leeds\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_death_date, " ABT 1950  "}, {field_death_place, " Leeds  "}}));
}

TEST(DeathStep, DateFollowedBySourceGivesOneBlankPlace)
{
	scan_run run = run_scan(person("@I0001@", "1 DEAT\n2 DATE 1950\n2 SOUR @S1@\n"), "1");
	EXPECT_EQ(run.fields, (field_list{{field_death_date, " 1950  "}, {field_death_place, " "}}));
}

TEST(DeathStep, EndOfFileAfterYIsHarmless)
{
	scan_run run = run_scan("0 @I0001@ INDI\n1 SEX M\n1 DEAT Y", "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_sex, "M"}}));
}

namespace {

// The sample files' names, or none where the folder is missing.
std::vector<std::string> sample_files()
{
	std::vector<std::string> names;
	DIR *dir = opendir(LINEAGE_SAMPLES_DIR);
	if (!dir)
		return names;
	while (dirent *e = readdir(dir)) {
		std::string name = e->d_name;
		if (name.size() > 4 && name.substr(name.size() - 4) == ".ged")
			names.push_back(name);
	}
	closedir(dir);
	return names;
}

std::string read_sample(const std::string &name)
{
	std::ifstream in(std::string(LINEAGE_SAMPLES_DIR) + "/" + name, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

// Individual records counted line by line, as another reader would: a level 0, a
// cross-reference @I...@ and a tag beginning with IN. A UTF-16 file is counted in its
// characters: people in it that the viewer cannot read as bytes must show up as missing.
int count_individuals(std::string text)
{
	if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"))
		std::erase(text, '\0');
	static const std::regex record("[ \t]*0[ \t]+@I[^@]*@[ \t]+IN.*");
	int count = 0;
	std::size_t at = 0;
	while (at < text.size()) {
		std::size_t end = text.find_first_of("\r\n", at);
		end = end == std::string::npos ? text.size() : end;
		count += std::regex_match(text.begin() + at, text.begin() + end, record);
		at = end + 1;
	}
	return count;
}

int count_lines(const std::string &text, const std::string &start)
{
	int count = text.starts_with(start);
	for (std::size_t at = text.find("\n" + start); at != std::string::npos; at = text.find("\n" + start, at + 1))
		count++;
	return count;
}

} // namespace

TEST(RealFiles, RoyalFileShowsItsFirstPerson)
{
	if (sample_files().empty())
		GTEST_SKIP() << "no sample folder " << LINEAGE_SAMPLES_DIR;
	scan_run run = run_scan(read_sample("royal92.ged"), "1");
	EXPECT_EQ(run.result, scan_done);
	EXPECT_EQ(run.fields, (field_list{{field_name, " Victoria /Hanover/ "}, {field_sex, "F"},
		{field_birth_date, " 24 MAY 1819  "}, {field_birth_place, " Kensington,Palace,London,England  "},
		{field_death_date, " 22 JAN 1901  "}, {field_death_place, " Osborne House,Isle of Wight,England  "}}));
}

TEST(RealFiles, SearchComparesEveryIndividualOfEverySample)
{
	std::vector<std::string> names = sample_files();
	if (names.empty())
		GTEST_SKIP() << "no sample folder " << LINEAGE_SAMPLES_DIR;
	for (const std::string &name : names) {
		SCOPED_TRACE(name);
		std::string text = read_sample(name);
		scan_run run = run_scan(text, "9999999999999999999999");
		EXPECT_EQ(count_lines(run.console, "check '"), count_individuals(text));
		EXPECT_TRUE(run.fields.empty());
	}
}

TEST(RealFiles, EverySampleEndsWithinItsTexts)
{
	std::vector<std::string> names = sample_files();
	if (names.empty())
		GTEST_SKIP() << "no sample folder " << LINEAGE_SAMPLES_DIR;
	for (const std::string &name : names) {
		std::string text = read_sample(name);
		for (const char *number : {"1", "2", "0"}) {
			SCOPED_TRACE(name + " " + number);
			for (const auto &field : run_scan(text, number).fields) {
				EXPECT_GE(field.first, 0);
				EXPECT_LT(field.first, field_count);
				EXPECT_LE(field.second.size(), 255u);
			}
		}
	}
}

// Every individual of the version 7 samples that a number can name, @1@ as well as @I1@;
// the same file in version 5.5.1 keeps the viewer's own rule, which knows only @I.
TEST(RealFiles, EveryNumberedPersonOfTheVersion7Samples)
{
	struct {
		const char *file;
		const char *number;
		const char *checked;
		const char *tree;
		std::size_t fields;
	} cases[] = {
		{"7/date-dual-invalid.ged", "1", "1", "@1@", 0},
		{"7/enum-ext.ged", "2", "2", "@2@", 2},
		{"7/enum-ext.ged", "05", "5", "@5@", 1}, // its NAME stands under _MAYBE
		{"7/obje-1.ged", "2", "2", "@2@", 0},
		{"7/pedi-1.ged", "1", "1", "@1@", 0},
		{"7/rela_1.ged", "1", "1", "1", 0},
		{"7/rela_1.ged", "2", "2", "2", 0},
		{"7/sour-1.ged", "1", "1", "@1@", 0},
		{"7/sour-1.ged", "2", "1", "@1@", 0}, // @2@ is a source
		{"5/pedi-1.ged", "1", "@", "@", 0},
	};
	if (sample_files().empty())
		GTEST_SKIP() << "no sample folder " << LINEAGE_SAMPLES_DIR;
	for (const auto &c : cases) {
		SCOPED_TRACE(std::string(c.file) + " " + c.number);
		indi_check = nobody_checked;
		indi_check_bare = false;
		scan_run run = run_scan(read_sample("gedcom7code/"s + c.file), c.number);
		EXPECT_EQ(run.result, scan_done);
		EXPECT_STREQ(indi_check.data(), c.checked);
		EXPECT_EQ(tree_number(), c.tree);
		EXPECT_EQ(run.fields.size(), c.fields);
	}
	scan_run run = run_scan(read_sample("gedcom7code/7/enum-ext.ged"), "2");
	EXPECT_EQ(run.fields, (field_list{{field_name, " /Family/ "}, {field_name, " King /Kong/ "}}));
}
