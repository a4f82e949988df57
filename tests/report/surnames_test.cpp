// The surname report: entries cut from name lines, the counts and the sorted list.
#include <gtest/gtest.h>

#include "report_run.h"

namespace {

constexpr const char *counts_open = "<b><font color=009900><img src=gedline1.gif align=center />";

// The surname lines of a page, one string per listed surname.
std::vector<std::string> listed(const std::string& page)
{
	std::vector<std::string> names;
	const std::string mark = "<img src=gedline2.gif align=center /> ";
	for (std::size_t at = page.find(mark); at != std::string::npos; at = page.find(mark, at + 1)) {
		std::size_t start = at + mark.size();
		names.push_back(page.substr(start, page.find("<br />\n", start) - start));
	}
	return names;
}

std::string people(std::initializer_list<const char *> names)
{
	std::string ged = "0 HEAD\n";
	int n = 1;
	for (const char *name : names)
		ged += "0 @I" + std::to_string(n++) + "@ INDI\n1 NAME " + name + "\n";
	return ged + "0 TRLR\n";
}

} // namespace

TEST(SurnameEntries, EntryIsSpaceSurnameAndLineBreak)
{
	run_report('s', people({"John /Smith/", "Ann /Brown", "/Lee/ Jr", "No Slash", "Empty //"}));
	EXPECT_EQ(row(indi_surname[1]), " Smith<br />\n");
	EXPECT_EQ(row(indi_surname[2]), " Brown\n<br />\n");
	EXPECT_EQ(row(indi_surname[3]), " Lee<br />\n");
	EXPECT_EQ(row(indi_surname[4]), " <br />\n");
	EXPECT_EQ(row(indi_surname[5]), " <br />\n");
}

TEST(SurnameEntries, OnlyBuiltForTheSurnameReport)
{
	run_report('i', people({"John /Smith/"}));
	EXPECT_EQ(row(indi_surname[1]), "");
}

TEST(SurnameList, CountsThenDistinctSurnamesInByteOrder)
{
	std::string page = run_report('s', people({"John /Smith/", "Mary /Smith/", "Ann /Brown/"}));
	EXPECT_EQ(page, std::string(counts_open) + " Number of Individuals in GED  = 3</font></b><br />\n" + counts_open +
				" Lines of Data in GED = 8</font></b><br />\n"
				"<img src=gedline2.gif align=center /> Brown<br />\n"
				"<img src=gedline2.gif align=center /> Smith<br />\n");
}

TEST(SurnameList, SortComparesBytesOfTheWholeEntry)
{
	std::string page = run_report('s', people({"A /de Vries/", "B /Zimmer/", "C /Smithson/", "D /Smith/",
						   "E /Smith-Jones/", "F /Smith Jones/", "G /smith/"}));
	std::vector<std::string> want = {"Smith Jones", "Smith-Jones", "Smith", "Smithson", "Zimmer", "de Vries",
					 "smith"};
	EXPECT_EQ(listed(page), want);
}

TEST(SurnameList, NamesWithoutSurnameGiveNoLine)
{
	std::string page = run_report('s', people({"No Slash", "Empty //", "Ann /Brown", "Bo /Brown/"}));
	// The newline of the open surname sorts below the "<" of the markup.
	std::vector<std::string> want = {"Brown\n", "Brown"};
	EXPECT_EQ(listed(page), want);
}

TEST(SurnameList, RowZeroCountsWhenANameLineFilledIt)
{
	std::string page = run_report('s', "0 @I0@ INDI\n1 NAME Zero /Nil/\n0 @I5@ INDI\n1 NAME Five /Fem/\n"
					   "1 NAME Again /Fem/\n0 TRLR\n");
	std::vector<std::string> want = {"Fem", "Nil"};
	EXPECT_EQ(listed(page), want);
	EXPECT_NE(page.find(" Number of Individuals in GED  = 2</font>"), std::string::npos);
}

TEST(SurnameList, FileWithoutTrailerIsFinishedAllTheSame)
{
	std::string page = run_report('s', "0 HEAD\n0 @I1@ INDI\n1 NAME A /Ek/");
	EXPECT_NE(page.find(" Lines of Data in GED = 3</font>"), std::string::npos);
	std::vector<std::string> want = {"Ek"};
	EXPECT_EQ(listed(page), want);
}

TEST(SurnameList, SurnameIsEscapedAndSortedRaw)
{
	std::string page = run_report('s', people({"A /<Lee>/", "B /&Co/", "C /\"Q\"/"}));
	EXPECT_NE(page.find("center /> &quot;Q&quot;<br />\n<img src=gedline2.gif align=center /> &amp;Co<br />\n"
			    "<img src=gedline2.gif align=center /> &lt;Lee&gt;<br />\n"),
		  std::string::npos);
}
