// After the page, lineagehtml tells on standard error what the page could not show, each kind
// with its count; the page and the exit status are those of any other file.
#include <gtest/gtest.h>

#include "program_run.h"

#include <cstdint>

namespace {

std::string person(const std::string& xref, int n)
{
	return "0 " + xref + " INDI\n1 NAME P" + std::to_string(n) + " /Gen/\n1 BIRT\n2 DATE 1900\n";
}

std::string numbered(int n)
{
	return "@I" + std::to_string(n) + "@";
}

// Forty families of three members each, written before their members.
std::string families_first()
{
	std::string file = "0 HEAD\n";
	for (int f = 0; f < 40; ++f)
		file += "0 @F" + std::to_string(f) + "@ FAM\n1 HUSB " + numbered(3 * f) + "\n1 WIFE " +
			numbered(3 * f + 1) + "\n1 CHIL " + numbered(3 * f + 2) + "\n";
	for (int n = 0; n < 120; ++n)
		file += person(numbered(n), n);
	return file + "0 TRLR\n";
}

// Numbers 0 to 11999: from 10000 on, ten numbers agree in their first four characters with
// each other and with one below 1200; the last of them read keeps the row.
std::string numbers_above_table()
{
	std::string file = "0 HEAD\n";
	for (int n = 0; n < 12000; ++n)
		file += person(numbered(n), n);
	file += "0 @F1@ FAM\n";
	for (int n = 0; n < 12000; ++n)
		file += "1 CHIL " + numbered(n) + "\n";
	return file + "0 TRLR\n";
}

// @I7@ and @I0007@ are two records in one row; the second keeps it.
std::string shared_rows()
{
	std::string file = "0 HEAD\n";
	for (int n = 1; n <= 300; ++n) {
		char padded[16];
		std::snprintf(padded, sizeof padded, "@I%04d@", n);
		file += person(numbered(n), n) + person(padded, n) + "0 @F" + std::to_string(n) + "@ FAM\n1 HUSB " +
			numbered(n) + "\n1 WIFE " + padded + "\n";
	}
	return file + "0 TRLR\n";
}

// Records named as words have no row: every name goes to row 0, where the last one stays.
std::string word_records()
{
	std::string file = "0 HEAD\n";
	for (int n = 1; n <= 50; ++n)
		file += person("@PERSON" + std::to_string(n) + "@", n);
	file += "0 @F1@ FAM\n";
	for (int n = 1; n <= 50; ++n)
		file += "1 CHIL @PERSON" + std::to_string(n) + "@\n";
	return file + "0 TRLR\n";
}

// 200 lines of bytes of every value but the line ends; none is longer than a piece even when
// each byte becomes a three-byte character.
std::string random_lines()
{
	std::string file;
	std::uint32_t seed = 20240229;
	for (int line = 0; line < 200; ++line) {
		for (int k = 0; k < 26; ++k) {
			seed = seed * 1664525u + 1013904223u;
			char c = static_cast<char>(seed >> 24);
			file += c == '\n' || c == '\r' ? 'x' : c;
		}
		file += '\n';
	}
	return file;
}

std::string small_family()
{
	return "0 HEAD\n" + person("@I1@", 1) + person("@I2@", 2) + "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n0 TRLR\n";
}

struct notice_case {
	const char *what;
	std::string file;
	const char *flag;
	const char *notices;
};

} // namespace

TEST(Notices, EachKindOfLossIsCountedAfterAWholePage)
{
	const notice_case cases[] = {
		{"families first", families_first(), "-f",
		 "lineagehtml: 120 family member lines without a name: 0 not numbered 0 to 9998, 0 in a row "
		 "another record holds, 120 not read before their family\n"},
		{"numbers above 9998", numbers_above_table(), "-f",
		 "lineagehtml: 2001 family member lines without a name: 1801 not numbered 0 to 9998, 200 in a "
		 "row another record holds, 0 not read before their family\n"},
		{"shared rows", shared_rows(), "-f",
		 "lineagehtml: 300 family member lines without a name: 0 not numbered 0 to 9998, 300 in a row "
		 "another record holds, 0 not read before their family\n"},
		{"records without numbers", word_records(), "-f",
		 "lineagehtml: 49 family member lines without a name: 49 not numbered 0 to 9998, 0 in a row "
		 "another record holds, 0 not read before their family\n"
		 "lineagehtml: 50 individual records not numbered as @I<number>@: their facts go under another record\n"},
		{"records without numbers, no families shown", word_records(), "-i",
		 "lineagehtml: 50 individual records not numbered as @I<number>@: their facts go under another record\n"},
		{"one record without a number", person("@P1@", 1), "-s",
		 "lineagehtml: 1 individual record not numbered as @I<number>@: its facts go under another record\n"},
		{"families first, no families shown", families_first(), "-t", ""},
		{"random bytes", random_lines(), "-i", "lineagehtml: no record line among 200 lines read: not a GEDCOM file\n"},
		{"empty file", "", "-s", "lineagehtml: no record line among 0 lines read: not a GEDCOM file\n"},
		{"members before their family", small_family(), "-f", ""},
		{"@VOID@ members are no one, so nothing is lost", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @F1@ FAM\n"
		 "1 HUSB @VOID@\n1 WIFE @I2@\n1 CHIL @VOID@\n" + person("@I2@", 2) + "0 TRLR\n", "-f",
		 "lineagehtml: 1 family member line without a name: 0 not numbered 0 to 9998, 0 in a row "
		 "another record holds, 1 not read before their family\n"},
	};
	for (const notice_case& c : cases) {
		SCOPED_TRACE(c.what);
		run_result r = run_over(c.file, c.flag);
		EXPECT_EQ(r.err, c.notices);
		EXPECT_EQ(r.status, 0);
		EXPECT_TRUE(r.out.starts_with("<html>\n") && r.out.ends_with("</h5>\n</body>\n</html>\n"));
	}
}
