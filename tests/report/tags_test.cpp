// Each rule of both programs takes its own tag whole, ended by a blank, a line end or the end
// of the piece; a longer tag that begins with the same letters is another fact.
#include <gtest/gtest.h>

#include "program_run.h"

namespace {

struct tag_case {
	char program;       // lineagehtml's flag i, f, s or t; c for lineagecheck -t
	const char *before; // the lines that give the rule its record and event
	const char *line;   // level and tag
	const char *after;  // lines that show what the rule kept; empty when it writes at once
	const char *value;  // after the tag and a blank
	const char *shown;  // in the output with that value
};

constexpr const char *indi = "0 @I1@ INDI\n";
constexpr const char *head = "0 HEAD\n";
constexpr const char *ada = "Ada /Vane/";

const tag_case tag_cases[] = {
	{'i', indi, "1 NAME", "", ada, "/> Name = Ada /Vane/\n\n"},
	{'i', indi, "1 NOTE", "", ada, "/> Notes = Ada /Vane/\n"},
	{'i', indi, "1 EDUC", "", ada, "/>  Education = Ada /Vane/\n"},
	{'i', indi, "1 OCCU", "", ada, "/> Occupation = Ada /Vane/\n"},
	{'i', indi, "1 RELI", "", ada, "/> Religion = Ada /Vane/\n"},
	{'i', indi, "1 SEX", "", "F", "/> Sex = F \n"},
	{'i', indi, "1 BIRT", "2 DATE 1900\n", ada, "/> Birth Date  = 1900\n"},
	{'i', indi, "1 DEAT", "2 DATE 1900\n", ada, "/>  Death Date  = 1900\n"},
	{'i', indi, "1 BURI", "2 DATE 1900\n", ada, "/>  Burial Notes = 1900\n"},
	{'i', indi, "1 CREM", "2 PLAC Oslo\n", ada, "/>  Cremation Place = Oslo\n"},
	{'i', indi, "1 CHAN", "2 DATE 1900\n", ada, "/>  Record Last Edited = 1900\n"},
	{'i', indi, "1 OBJE", "2 FILE a.jpg\n", ada, "/>  Media = <a href=a.jpg\n>"},
	{'i', "0 @I1@ INDI\n1 BIRT\n", "2 NOTE", "", ada, "/> Birth Notes = Ada /Vane/\n"},
	{'i', "0 @I1@ INDI\n1 DEAT\n", "2 DATE", "", ada, "/>  Death Date  = Ada /Vane/\n"},
	{'i', "0 @I1@ INDI\n1 BURI\n", "2 PLAC", "", ada, "/>  Burial Place = Ada /Vane/\n"},
	{'i', "0 @I1@ INDI\n1 OBJE\n", "2 FILE", "", ada, "/>  Media = <a href=Ada%20/Vane/\n>"},
	// An empty name, as of a NAME line without a value, shows only as the name it replaces.
	{'f', "0 @I1@ INDI\n1 NAME Old /Name/\n", "1 NAME", "0 @F1@ FAM\n1 HUSB @I1@\n", ada,
	 "Husband = <b>Ada /Vane/\n</b> ( - )"},
	{'f', "0 @I1@ INDI\n1 NAME Ann /Lee/\n0 @F1@ FAM\n", "1 HUSB", "", "@I1@", "Husband = <b>Ann /Lee/\n</b>"},
	{'f', "0 @I1@ INDI\n1 NAME Ann /Lee/\n0 @F1@ FAM\n", "1 WIFE", "", "@I1@", "Wife = <b>Ann /Lee/\n</b>"},
	{'f', "0 @I1@ INDI\n1 NAME Ann /Lee/\n0 @F1@ FAM\n", "1 CHIL", "", "@I1@", "Child =  <b>Ann /Lee/\n</b>"},
	{'f', "0 @F1@ FAM\n", "1 MARR", "2 PLAC Rome\n", ada, "/>  Marriage Place = Rome\n"},
	{'f', "0 @F1@ FAM\n", "1 DIV", "2 DATE 1950\n", ada, "/> Divorce Date = 1950\n"},
	{'f', "0 @F1@ FAM\n1 MARR\n", "2 DATE", "", ada, "/> Marriage Date = Ada /Vane/\n"},
	{'f', "0 @F1@ FAM\n1 DIV\n", "2 PLAC", "", ada, "/>  Divorce Place = Ada /Vane/\n"},
	{'s', "0 @I1@ INDI\n1 NAME Ann /Kept/\n", "1 NAME", "", ada, "/> Vane<br />\n"},
	{'t', head, "1 SOUR", "", ada, "/> Source = Ada /Vane/\n"},
	{'t', "0 HEAD\n1 SOUR X\n", "2 CORP", "", ada, "/> CORP = Ada /Vane/\n"},
	{'t', "0 HEAD\n1 GEDC\n", "2 FORM", "", ada, "/> Form = Ada /Vane/\n"},
	{'t', "0 HEAD\n1 GEDC\n", "2 VERS", "", ada, "/> Version = Ada /Vane/\n"},
	{'t', "0 HEAD\n1 SOUR X\n", "2 NAME", "", ada, "/> GEDCOM Source Name = Ada /Vane/\n"},
	{'t', head, "1 DATE", "", ada, "/> GEDCOM Date = Ada /Vane/\n"},
	{'t', "0 HEAD\n1 DATE 1 JAN 2000\n", "2 TIME", "", ada, "/> GEDCOM Time = Ada /Vane/\n"},
	{'t', head, "1 FILE", "", ada, "/> GEDCOM FILE = Ada /Vane/\n"},
	{'t', head, "1 CHAR", "", ada, "/> Character Set = Ada /Vane/\n"},
	{'t', indi, "1 NAME", "", ada, "/> Name = Ada /Vane/\n\n"},
	{'c', head, "1 SOUR", "", ada, "Source of GEDCOM is 1 SOUR Ada /Vane/\n\n"},
	{'c', "0 HEAD\n1 SOUR X\n", "2 NAME", "", ada, "GEDCOM Source Name = 2 NAME Ada /Vane/\n\n"},
	{'c', head, "1 DATE", "", ada, "GEDCOM Date = 1 DATE Ada /Vane/\n\n"},
	{'c', "0 HEAD\n1 DATE 1 JAN 2000\n", "2 TIME", "", ada, "GEDCOM Time = 2 TIME Ada /Vane/\n\n"},
	{'c', head, "1 FILE", "", ada, "GEDCOM FILE = 1 FILE Ada /Vane/\n\n"},
};

std::string output_of(const tag_case& c, const std::string& line)
{
	std::string file = c.before + line + c.after;
	const char flag[] = {'-', c.program == 'c' ? 't' : c.program, '\0'};
	run_result r = run_over(file, flag, c.program == 'c' ? LINEAGECHECK : LINEAGEHTML);
	EXPECT_EQ(r.status, 0) << line;
	return r.out;
}

} // namespace

// A tag no rule knows, at the same level, is the page the rule must change; a longer tag
// must leave it as it is.
TEST(WholeTags, EachRuleTakesItsTagEndedByBlankLineEndOrPieceEnd)
{
	for (const tag_case& c : tag_cases) {
		SCOPED_TRACE(std::string(1, c.program) + " " + c.line);
		const std::string level(c.line, 2);
		const std::string unknown = output_of(c, level + "ZZZZ " + c.value + "\n");
		ASSERT_EQ(unknown.find(c.shown), std::string::npos);
		EXPECT_NE(output_of(c, std::string(c.line) + " " + c.value + "\n").find(c.shown), std::string::npos);
		EXPECT_NE(output_of(c, std::string(c.line) + "\n"), unknown) << "ended by LF";
		EXPECT_NE(output_of(c, std::string(c.line) + "\r"), unknown) << "ended by CR";
		// Nothing can follow the end of the file, so only a rule that writes at once shows it there.
		if (*c.after == '\0') {
			EXPECT_NE(output_of(c, c.line), unknown) << "ended with the file";
		}
		EXPECT_EQ(output_of(c, std::string(c.line) + "S " + c.value + "\n"), unknown) << "longer tag";
	}
}
