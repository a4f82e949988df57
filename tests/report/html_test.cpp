// The lines each report writes, the page frame, and the escaping of what the input holds.
#include <gtest/gtest.h>

#include "report_run.h"

namespace {

std::string frame(char flag, std::string_view name)
{
	option = flag;
	filename = name;
	return written_by([](FILE *out) {
		print_page_start(out);
		print_head(out);
		print_tail(out);
		print_page_end(out);
	});
}

std::string escaped(std::string_view text)
{
	std::string out;
	for (char c : text)
		out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
	return out;
}

// Report lines written after `before`, as they reach a stream.
std::string written(std::string_view before, int lines, std::string_view value)
{
	return written_by([&](FILE *out) {
		std::fwrite(before.data(), 1, before.size(), out);
		for (int i = 0; i < lines; ++i)
			write_line(out, "<br /><img src=gedline1.gif align=center />", " Label = ", value, "\n");
		flush_output(out);
	});
}

} // namespace

TEST(PageFrame, StartHeadingFooterAndEnd)
{
	std::string page = frame('i', "dir/family.ged");
	std::string start = "<html>\n<head>\n<meta charset=\"utf-8\">\n<title> Lineagehtml on dir/family.ged </title>\n</head>\n"
			    "<body bgcolor=#FFFFFF>\n<b>";
	EXPECT_EQ(page.substr(0, start.size()), start);
	EXPECT_NE(page.find("<b><font color=009500>Individuals Report</font></b><br />\n<hr><h5>"),
		  std::string::npos);
	EXPECT_NE(page.find(" Version 2.1.0.2\n</h5>\n</body>\n</html>\n"), std::string::npos);
	EXPECT_EQ(page.back(), '\n');
}

TEST(PageFrame, EachFlagHasItsHeading)
{
	struct {
		char flag;
		const char *heading;
	} cases[] = {
		{'s', "\n<img src=gedbase.gif align=center /> <b>Surname Report</b><br />\n<hr><h5>"},
		{'f', "\n<b><font color=009500>Family Report</font></b><br />\n<hr><h5>"},
		{'t', "\n<img src=gedbase.gif align=center /> <b><font color=009500>Header and Base Report</font></b>\n<hr>"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.flag);
		EXPECT_NE(frame(c.flag, "a.ged").find(c.heading), std::string::npos);
	}
}

TEST(PageFrame, LongFileNameIsShownWholeAndEscaped)
{
	std::string name = std::string(60, 'd') + "/a&b<\"c\">.ged";
	std::string page = frame('t', name);
	EXPECT_NE(page.find("<title> Lineagehtml on " + std::string(60, 'd') + "/a&amp;b&lt;&quot;c&quot;&gt;.ged </title>\n"),
		  std::string::npos);
}

TEST(PageFrame, NameLongerThanTheOutputBufferComesOutWhole)
{
	std::string name;
	for (int i = 0; i < 20000; ++i)
		name += "a&";
	std::string title;
	for (int i = 0; i < 20000; ++i)
		title += "a&amp;";
	std::string page = frame('i', name);
	EXPECT_NE(page.find("<title> Lineagehtml on " + title + " </title>\n</head>\n"), std::string::npos);
}

TEST(HeaderReport, HeaderLinesInFileOrderThenNames)
{
	std::string page = run_report('t', "0 HEAD\n1 SOUR MyTree\n2 NAME My Tree\n2 VERS 3.1\n1 DEST ANY\n"
					   "1 CHAR UTF-8\n1 FILE fam.ged\n1 GEDC\n2 VERS 5.5\n2 FORM LINEAGE-LINKED\n"
					   "1 DATE 5 JAN 2020\n2 TIME 10:00\n2 CORP Maker\n0 @I1@ INDI\n1 NAME A /B/\n0 TRLR\n");
	std::string l(l1);
	EXPECT_EQ(page, l + " Source = MyTree\n" + l + " GEDCOM Source Name = My Tree\n" + l + " Version = 3.1\n" +
				l + " Character Set = UTF-8\n" + l + " GEDCOM FILE = fam.ged\n" + l +
				" Version = 5.5\n" + l + " Form = LINEAGE-LINKED\n" + l + " GEDCOM Date = 5 JAN 2020\n" +
				l + " GEDCOM Time = 10:00\n" + l + " CORP = Maker\n" + l + " Name = A /B/\n\n");
}

TEST(HeaderReport, CarriageReturnsStayInValues)
{
	std::string page = run_report('t', "0 HEAD\r\n1 SOUR X\r\n0 TRLR\r\n");
	EXPECT_EQ(page, std::string(l1) + " Source = X\r\n");
}

TEST(IndividualsReport, EveryRuleWritesItsLine)
{
	std::string page = run_report('i', "0 @I7@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n1 BIRT\n2 DATE 1 MAR 1900\n"
					   "2 PLAC Lund\n2 NOTE early\n1 DEAT\n2 DATE 1970\n2 PLAC Ystad\n2 NOTE old\n"
					   "1 BURI\n2 DATE 1971\n2 PLAC Hill\n2 NOTE rest\n1 CREM\n2 PLAC Oven\n"
					   "1 EDUC School\n1 OCCU Baker\n1 RELI None\n1 NOTE Kind\n1 OBJE\n2 FORM jpg\n"
					   "2 FILE ann.jpg\n1 CHAN\n2 DATE 2 FEB 2001\n0 TRLR\n");
	std::string l(l1);
	EXPECT_EQ(page, "<br /><br /><img src=gedbase.gif align=center /> Record = 7   \n" + l + " Name = Ann /Lee/\n\n" +
				l + " Sex = F \n" + l + " Birth Date  = 1 MAR 1900\n" + l + "  Birth Place = Lund\n" +
				l + " Birth Notes = early\n" + l + "  Death Date  = 1970\n" + l +
				"  Death Place = Ystad\n" + l + " Death Notes = old\n" + l + "  Burial Notes = 1971\n" + l +
				"  Burial Place = Hill\n" + l + " Burial Notes = rest\n" + l + "  Cremation Place = Oven\n" +
				l + "  Education = School\n" + l + " Occupation = Baker\n" + l + " Religion = None\n" + l +
				" Notes = Kind\n" + l + "  Media = <a href=ann.jpg\n><img src=photo.gif border=0 /></a>" + l +
				"  Record Last Edited = 2 FEB 2001\n");
}

TEST(FamilyReport, MembersShowWhatTheTablesHoldAtThatMoment)
{
	std::string page = run_report('f', "0 @I1@ INDI\n1 NAME Tom /Lee/\n1 BIRT\n2 DATE 1890\n1 DEAT\n2 DATE 1950\n"
					   "0 @I2@ INDI\n1 NAME Ann /Bo/\n1 SEX U\n0 @I3@ INDI\n1 NAME Kid /Lee/\n1 SEX M\n"
					   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I2@\n1 CHIL @I4@\n"
					   "1 MARR\n2 DATE 1915\n2 PLAC Lund\n1 DIV\n2 DATE 1920\n2 PLAC Court\n"
					   "0 @I4@ INDI\n1 NAME Late /Lee/\n0 TRLR\n");
	std::string l(l1);
	std::string l2 = "<br /><img src=gedline2.gif align=center />";
	EXPECT_EQ(page, "<br /><br /><img src=gedbase.gif align=center /> Family Record = 1   \n" + l +
				" Husband = <b>Tom /Lee/\n</b> (1890\n - 1950\n)" + l + " Wife = <b>Ann /Bo/\n</b> ( - )" +
				l2 + " Child = <img src=male.gif> <b>Kid /Lee/\n</b> ( - )" + l2 +
				" Child =  <b>Ann /Bo/\n</b> ( - )" + l2 + " Child =  <b></b> ( - )" + l +
				" Marriage Date = 1915\n" + l + "  Marriage Place = Lund\n" + l + " Divorce Date = 1920\n" + l +
				"  Divorce Place = Court\n");
}

TEST(FamilyReport, LaterNameIsTheOneShown)
{
	std::string page = run_report('f', "0 @I1@ INDI\n1 NAME First /A/\n1 NAME Second /A/\n0 @F1@ FAM\n"
					   "1 HUSB @I1@\n");
	EXPECT_NE(page.find("<b>Second /A/\n</b>"), std::string::npos);
}

// Input text is escaped when written; the tables keep it raw.
TEST(Escaping, InputTextIsEscapedAndMarkupIsNot)
{
	std::string page = run_report('i', "0 @I<1>@ INDI\n1 NAME Tom \"T\" /Lee & Co/\n1 SEX <\n"
					   "1 OBJE\n2 FILE a.jpg?x=1&y=\"2\"\n");
	EXPECT_NE(page.find(" Record = &lt;1&gt;"), std::string::npos);
	EXPECT_NE(page.find(" Name = Tom &quot;T&quot; /Lee &amp; Co/\n\n"), std::string::npos);
	EXPECT_NE(page.find(" Sex = &lt; \n"), std::string::npos);
	EXPECT_NE(page.find("<a href=a.jpg?x=1&amp;y=&quot;2&quot;\n><img src=photo.gif border=0 /></a>"),
		  std::string::npos);
	EXPECT_EQ(row(indi_name[0]), "Tom \"T\" /Lee & Co/\n");
}

// A blank would end the unquoted link target and turn the rest of the value into attributes.
TEST(Escaping, BlanksInAMediaLinkCannotAddAttributes)
{
	std::string page = run_report('i', "0 @I1@ INDI\n1 OBJE\n2 FILE my photo.jpg autofocus\tonfocus=alert(1)\f\r\n");
	EXPECT_NE(page.find("<a href=my%20photo.jpg%20autofocus%09onfocus=alert(1)%0C\r\n><img src=photo.gif border=0 /></a>"),
		  std::string::npos);
}

// Clicking the picture must not run what a GEDCOM file put into the link.
TEST(Escaping, ScriptAddressesInAMediaLinkBecomeFileNames)
{
	const std::pair<const char *, const char *> cases[] = {
		{"javascript:alert(1)\n", "<a href=./javascript:alert(1)\n>"},
		{"JavaScript:alert(1)\n", "<a href=./JavaScript:alert(1)\n>"},
		{"\x01vbscript:msgbox(1)\n", "<a href=./\x01vbscript:msgbox(1)\n>"},
		{"data:text/html,x\n", "<a href=./data:text/html,x\n>"},
		{"http://example.org/a.jpg\n", "<a href=http://example.org/a.jpg\n>"},
		{"photos/ann:1.jpg\n", "<a href=photos/ann:1.jpg\n>"},
	};
	for (const auto& [value, link] : cases) {
		SCOPED_TRACE(value);
		std::string page = run_report('i', std::string("0 @I1@ INDI\n1 OBJE\n2 FILE ") + value);
		EXPECT_NE(page.find(link), std::string::npos);
	}
}

TEST(Escaping, FamilyLinesEscapeStoredTextsButNotTheSexImage)
{
	std::string page = run_report('f', "0 @I1@ INDI\n1 NAME <b>Bold</b>\n1 SEX F\n1 BIRT\n2 DATE <1900>\n"
					   "0 @F1@ FAM\n1 CHIL @I1@\n1 MARR\n2 PLAC A&B\n");
	EXPECT_NE(page.find(" Child = <img src=female.gif> <b>&lt;b&gt;Bold&lt;/b&gt;\n</b> (&lt;1900&gt;\n - )"),
		  std::string::npos);
	EXPECT_NE(page.find("  Marriage Place = A&amp;B\n"), std::string::npos);
}

// Texts of every length, with a character that needs an entity at every place or nowhere.
TEST(Escaping, EveryLengthAndPlaceOfASpecialCharacter)
{
	const std::string line1 = "<br /><img src=gedline1.gif align=center />";
	for (std::size_t n = 0; n <= 40; ++n)
		for (std::size_t at = 0; at <= n; ++at)
			for (char special : {'&', '<', '>', '"'}) {
				std::string value;
				for (std::size_t k = 0; k < n; ++k)
					value += static_cast<char>('a' + k % 26);
				if (at < n)
					value[at] = special;
				SCOPED_TRACE(value);
				ASSERT_EQ(written("", 1, value), line1 + " Label = " + escaped(value) + "\n");
			}
}

// Output is gathered and written in blocks that end on page boundaries of the stream;
// nothing may be lost or reordered whatever the stream held before.
TEST(Escaping, LongReportComesOutWholeAfterAnyStart)
{
	const std::string line = "<br /><img src=gedline1.gif align=center /> Label = A &amp; B\n";
	for (std::size_t size : {0, 1, 4095, 5000}) {
		std::string before(size, 'y');
		SCOPED_TRACE(before.size());
		std::string want = before;
		for (int i = 0; i < 20000; ++i)
			want += line;
		ASSERT_EQ(written(before, 20000, "A & B"), want);
	}
}
