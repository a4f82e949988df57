// The one line grammar: each form of line, its parts and its fault, the same through every
// reader that cuts lines with it (lineagecheck -v, the tree, the header's character-set line)
// and after each line end.
#include <gtest/gtest.h>

#include "charset.h"
#include "gedfile.h"
#include "grammar.h"
#include "lineagecheck.h"
#include "lineagetree.h"
#include "memfile.h"

#include <algorithm>
#include <string>

namespace {

struct line_form {
	const char *line;
	int level;
	const char *xref;
	const char *tag;
	const char *value; // as the line writes it; the tree trims it
	line_fault fault;
	const char *faulty; // or the odd level's digits
	const char *finding; // what -v says of it; "" for nothing
};

const line_form forms[] = {
	{"1 NAME John /Smith/", 1, "", "NAME", "John /Smith/", line_fault::none, "", ""},
	{"1 NAME  two blanks ", 1, "", "NAME", " two blanks ", line_fault::none, "", ""},
	{"  1 NOTE after blanks", 1, "", "NOTE", "after blanks", line_fault::none, "", ""},
	{"\t1 NOTE after a tab", 1, "", "NOTE", "after a tab", line_fault::none, "", ""},
	{"1 NOTE", 1, "", "NOTE", "", line_fault::none, "", ""},
	{"1 _MINE text", 1, "", "_MINE", "text", line_fault::none, "", ""},
	{"1 CHAR ANSEL ", 1, "", "CHAR", "ANSEL ", line_fault::none, "", ""},
	{"0 @I1@ INDI", 0, "@I1@", "INDI", "", line_fault::none, "", ""},
	{"0 @I 2@ INDI", 0, "@I 2@", "INDI", "", line_fault::none, "", ""},
	{"   ", -1, "", "", "", line_fault::empty, "", ""},
	{"x NAME", -1, "", "", "", line_fault::no_level, "x", "line does not begin with a level number: \"x\""},
	{"1NAME x", 1, "", "NAME", "x", line_fault::no_level, "1NAME", "line does not begin with a level number: \"1NAME\""},
	{"01 NOTE zero", 1, "", "NOTE", "zero", line_fault::none, "01", "level \"01\" has a leading zero"},
	{"100 NOTE deep", 100, "", "NOTE", "deep", line_fault::deep_level, "100", "level \"100\" is above 99"},
	{"0 @I3 INDI", 0, "@I3", "INDI", "", line_fault::bad_xref, "@I3", "\"@I3\" is not a cross-reference"},
	{"0 @@ INDI", 0, "@@", "INDI", "", line_fault::bad_xref, "@@", "\"@@\" is not a cross-reference"},
	{"0 @I4@INDI", 0, "@I4@", "INDI", "", line_fault::bad_xref, "@I4@INDI", "\"@I4@INDI\" is not a cross-reference"},
	{"1", 1, "", "", "", line_fault::no_tag, "", "line has no tag"},
	{"1 N@ME v", 1, "", "N@ME", "v", line_fault::no_tag, "N@ME", "\"N@ME\" is not a tag"},
	{"1 NAME\tJohn", 1, "", "NAME", "John", line_fault::no_tag, "NAME", "\"NAME\" is not a tag"},
};

std::string verify(const std::string &file)
{
	FILE *in = open_bytes(file);
	std::string out = written_by([&](FILE *o) { print_findings(text_over(in), "f", o); });
	std::fclose(in);
	return out;
}

// The findings without the one on the head's lines, which these files leave out: the lines
// under test are what is checked, and the count follows the findings that remain.
std::string without_head(const std::string &out)
{
	if (!out.starts_with("f:1: HEAD without "))
		return out;
	std::string rest = out.substr(out.find('\n') + 1);
	long long found = std::count(rest.begin(), rest.end(), '\n') - 1;
	rest.erase(rest.rfind('\n', rest.size() - 2) == std::string::npos ? 0 : rest.rfind('\n', rest.size() - 2) + 1);
	return rest + (found == 0 ? "No problems found in f.\n"
				  : std::to_string(found) + (found == 1 ? " problem" : " problems") + " found in f.\n");
}

} // namespace

TEST(LineGrammar, EveryFormCutsAlikeInEveryReaderAfterEveryLineEnd)
{
	for (const line_form &c : forms) {
		SCOPED_TRACE(c.line);
		line_parts g = parse_line(c.line);
		EXPECT_EQ(g.level, c.level);
		EXPECT_EQ(g.xref, c.xref);
		EXPECT_EQ(g.tag, c.tag);
		EXPECT_EQ(g.value, c.value);
		EXPECT_EQ(g.fault, c.fault);
		EXPECT_EQ(g.odd_level.empty() ? g.faulty : g.odd_level, c.faulty);
		for (std::string end : {"\n", "\r", "\r\n"}) {
			SCOPED_TRACE(end == "\n" ? "LF" : end == "\r" ? "CR" : "CR LF");
			std::string file = "0 HEAD" + end + c.line + end + "1 CHAR ANSI" + end + "0 TRLR" + end;
			std::string finding = *c.finding ? std::string("f:2: ") + c.finding + "\n1 problem found in f.\n"
							  : "No problems found in f.\n";
			EXPECT_EQ(without_head(verify(file)), finding);
			std::size_t pos = 6 + end.size();
			ged_line l = next_line(file, pos);
			EXPECT_EQ(l.level, c.level);
			EXPECT_EQ(l.xref, c.level < 0 ? "" : c.xref);
			EXPECT_EQ(l.tag, c.tag);
			EXPECT_EQ(l.value, trim_blanks(c.value));
			EXPECT_EQ(file.substr(pos), "1 CHAR ANSI" + end + "0 TRLR" + end);
			bool char_line = c.level == 1 && std::string_view(c.tag) == "CHAR";
			ged_charset set = c.level == 0 ? ged_charset::utf8 : char_line ? ged_charset::ansel : ged_charset::cp1252;
			EXPECT_EQ(guess_charset(file).set, set);
		}
	}
}
