// Reading idata.in into the record tables, and refusing what cannot be stored whole.
#include <gtest/gtest.h>

#include "flatged_test_util.h"

#include <cstring>
#include <string>

static std::string word_of(std::size_t n)
{
	return std::string(n, 'x');
}

TEST(ReaderRecords, ThreePeopleAndMarkerFillRowsOneToFour)
{
	std::string console;
	ASSERT_EQ(read_text(person(1, "Nils") + person(2, "Britta", 1) + person(3, "Karin", 1, 2) +
			"0 stop9 - - - - - - - - - - 0 0 0\n", &console),
		read_status::ok);
	EXPECT_EQ(console,
		"Input file opened....\n\nName read: Nils Lund \nName read: Britta Lund \n"
		"Name read: Karin Lund \n\nInput file read....\nNumber of lines read =4\n"
		"Input file closed...\n");
	EXPECT_EQ(num_of_entries, 4);
	EXPECT_EQ(stop9, 4);
	EXPECT_TRUE(end_marker_read);
	EXPECT_STREQ(firstname[3].data(), "Karin");
	EXPECT_STREQ(firstname[4].data(), "stop9");
	EXPECT_EQ(father[3], 1);
	EXPECT_EQ(mother[3], 2);
}

TEST(ReaderRecords, FieldsLandInFileOrder)
{
	ASSERT_EQ(read_text("17 Ida Berg F 1901 Lund 1980 Malmo Ystad School Baker Lutheran 3 4 1 0 stop9"),
		read_status::ok);
	EXPECT_EQ(idnum[1], 17);
	const char *want[] = {"Ida", "Berg", "F", "1901", "Lund", "1980", "Malmo", "Ystad", "School",
		"Baker", "Lutheran"};
	const char *got[] = {firstname[1].data(), surname[1].data(), sex[1].data(),
		birth_date[1].data(), birth_place[1].data(), death_date[1].data(),
		death_place[1].data(), burial_place[1].data(), education[1].data(),
		occupation[1].data(), religon[1].data()};
	for (std::size_t k = 0; k < std::size(want); ++k)
		EXPECT_STREQ(got[k], want[k]) << "field " << k + 2;
	EXPECT_EQ(father[1], 3);
	EXPECT_EQ(mother[1], 4);
	EXPECT_EQ(married[1], 1);
}

TEST(ReaderRecords, LineBreaksCarryNoMeaning)
{
	ASSERT_EQ(read_text("5 Ola Holm M\t1975 Lund\r\nz - -\n\nSchool Smith -\n7\n8 1\n0 stop9"),
		read_status::ok);
	EXPECT_STREQ(birth_place[1].data(), "Lund");
	EXPECT_STREQ(occupation[1].data(), "Smith");
	EXPECT_EQ(father[1], 7);
	EXPECT_EQ(mother[1], 8);
	EXPECT_EQ(num_of_entries, 2);
}

TEST(ReaderRecords, MarkerAloneAsLastTwoWordsLeavesItsFieldsEmpty)
{
	// Fill row 2 first, so that a marker which kept old values would show them.
	ASSERT_EQ(read_text(person(1, "Nils") + person(2, "Britta", 1, 1) + "0 stop9"), read_status::ok);
	ASSERT_EQ(read_text(person(1, "Nils") + "0 stop9"), read_status::ok);
	EXPECT_EQ(num_of_entries, 2);
	EXPECT_TRUE(end_marker_read);
	EXPECT_STREQ(surname[2].data(), "");
	EXPECT_STREQ(burial_place[2].data(), "");
	EXPECT_EQ(father[2], 0);
	EXPECT_EQ(mother[2], 0);
}

TEST(ReaderRecords, NineInFifthPlaceEndsInputButOnlyStop9HidesTheName)
{
	std::string console;
	ASSERT_EQ(read_text(person(1, "xstop9") + person(2, "Anna9") + person(3, "Never"), &console),
		read_status::ok);
	EXPECT_EQ(console,
		"Input file opened....\n\nName read: Anna9 Lund \n\nInput file read....\n"
		"Number of lines read =2\nInput file closed...\n");
	EXPECT_TRUE(end_marker_read);
}

TEST(ReaderRecords, EndOfFileBeforeMarkerKeepsWholeRecordsAndWarns)
{
	std::string console;
	ASSERT_EQ(read_text(person(1, "Nils") + person(2, "Britta"), &console), read_status::ok);
	EXPECT_EQ(num_of_entries, 2);
	EXPECT_EQ(stop9, 2);
	EXPECT_FALSE(end_marker_read);
	EXPECT_TRUE(console.ends_with("Number of lines read =2\nInput file closed...\n"
				      "Input file has no end marker....\n"));
}

TEST(ReaderRecords, LongSexWordIsKeptForItsFirstCharacter)
{
	ASSERT_EQ(read_text("1 Ida Berg Femininum 1901 Lund z - - - - - 0 0 0 0 stop9"), read_status::ok);
	EXPECT_EQ(sex[1][0], 'F');
}

TEST(ReaderRecords, FourHundredNinetyNineRecordsFitWithTheMarker)
{
	std::string text;
	for (int id = 1; id <= 498; ++id)
		text += person(id, "Nils");
	ASSERT_EQ(read_text(text + "0 stop9"), read_status::ok);
	EXPECT_EQ(num_of_entries, 499);
}

struct refusal {
	const char *name;
	std::string text;
	int record;
	const char *problem;
};

TEST(ReaderRefusals, EachProblemNamesItsRecord)
{
	std::string too_many;
	for (int id = 1; id <= 499; ++id)
		too_many += person(id, "Nils");
	const refusal cases[] = {
		{"id no number", person(1, "Nils") + "x2 Britta", 2, "id number is not a whole number"},
		{"trailing letters", "12abc Nils", 1, "id number is not a whole number"},
		{"decimal point", person(1, "Nils") + person(2, "Ida") + "1.5 Nils", 3,
			"id number is not a whole number"},
		{"hexadecimal", "1 Ida Berg F 1 2 z - - - - - 0x10 0 0", 1,
			"father's id number is not a whole number"},
		{"bare sign", "1 Ida Berg F 1 2 z - - - - - 0 - 0", 1,
			"mother's id number is not a whole number"},
		{"too large", "1 Ida Berg F 1 2 z - - - - - 0 0 2147483648", 1, "married is out of range"},
		{"very long number", "1" + std::string(100, '0') + " Ida", 1, "id number is out of range"},
		{"cut after id", person(1, "Nils") + "2", 2, "cut short by the end of the file"},
		{"cut after 14 words", "1 Ida Berg F 1 2 z - - - - - 0 0", 1,
			"cut short by the end of the file"},
		{"id twice", person(4, "Nils") + person(5, "Ida") + person(4, "Karin"), 3,
			"id number 4 used twice"},
		{"zero twice", person(0, "Nils") + person(0, "Ida"), 2, "id number 0 used twice"},
		{"500th record", too_many + "0 stop9", 500, "more records than the tables hold (499)"},
		{"nul byte", std::string("1 Id\0a Berg", 11), 1, "first name holds a NUL character"},
	};
	for (const refusal& c : cases) {
		SCOPED_TRACE(c.name);
		EXPECT_EQ(read_text(c.text), read_status::bad_record);
		EXPECT_EQ(problem_record, c.record);
		EXPECT_STREQ(problem_text.data(), c.problem);
	}
}

TEST(ReaderRefusals, EveryTextFieldTakesItsLongestWordAndNoMore)
{
	struct field {
		int position;
		const char *name;
		std::size_t longest;
	};
	const field fields[] = {{1, "first name", 49}, {2, "surname", 49}, {4, "birth date", 49},
		{5, "birth place", 69}, {6, "death date", 49}, {7, "death place", 69},
		{8, "burial place", 69}, {9, "education", 69}, {10, "occupation", 69},
		{11, "religion", 69}};
	for (const field& f : fields) {
		SCOPED_TRACE(f.name);
		for (std::size_t length : {f.longest, f.longest + 1}) {
			std::string words[15] = {"1", "Ida", "Berg", "F", "1901", "Lund", "z", "-", "-", "-",
				"-", "-", "0", "0", "0"};
			words[f.position] = word_of(length);
			std::string text;
			for (const std::string& w : words)
				text += w + ' ';
			read_status status = read_text(text + "0 stop9");
			if (length == f.longest) {
				EXPECT_EQ(status, read_status::ok);
				continue;
			}
			EXPECT_EQ(status, read_status::bad_record);
			std::string want = std::string(f.name) + " is longer than " +
				std::to_string(f.longest) + " characters";
			EXPECT_EQ(problem_text.data(), want);
		}
	}
}

TEST(ReaderRefusals, MarkerFieldsAreCheckedLikeAnyOther)
{
	EXPECT_EQ(read_text(person(1, "Nils") + "0 stop9 - - - - - - - - - - 0 0 no"),
		read_status::bad_record);
	EXPECT_EQ(problem_record, 2);
	EXPECT_STREQ(problem_text.data(), "married is not a whole number");
	EXPECT_EQ(read_text(person(1, "Nils") + "1 stop9"), read_status::ok);
}

TEST(NumberWords, WholeSignedDecimalsOnly)
{
	const struct {
		const char *word;
		number_check check;
		std::int32_t value;
	} cases[] = {
		{"0", number_check::ok, 0},
		{"+7", number_check::ok, 7},
		{"-12", number_check::ok, -12},
		{"007", number_check::ok, 7},
		{"2147483647", number_check::ok, 2147483647},
		{"-2147483648", number_check::ok, -2147483647 - 1},
		{"2147483648", number_check::out_of_range, 0},
		{"-99999999999999999999", number_check::out_of_range, 0},
		{"12abc", number_check::not_number, 0},
		{"1.5", number_check::not_number, 0},
		{"0x10", number_check::not_number, 0},
		{"+-1", number_check::not_number, 0},
		{"-", number_check::not_number, 0},
		{"", number_check::not_number, 0},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.word);
		std::int32_t value = 0;
		EXPECT_EQ(whole_number(c.word, value), c.check);
		if (c.check == number_check::ok) {
			EXPECT_EQ(value, c.value);
		}
	}
}
