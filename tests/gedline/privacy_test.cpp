// Who is private, asked of the model by cross-reference, as any program asks it.
#include <gtest/gtest.h>

#include "gedfile.h"
#include "memfile.h"
#include "privacy.h"

#include <string>

namespace {

constexpr int now = 2026;

void decide(const std::string &gedcom, bool families)
{
	FILE *in = open_bytes(gedcom);
	decide_privacy(text_over(in), now, families);
	std::fclose(in);
}

struct ask_case {
	const char *xref;
	bool hidden;
};

} // namespace

TEST(PrivacyDecision, AnyProgramGetsTheSameAnswerByCrossReference)
{
	const std::string gedcom = "0 HEAD\n"
				   "0 @I1@ INDI\n1 BIRT\n2 DATE 1990\n"
				   "0 @i1@ INDI\n1 BIRT\n2 DATE 1800\n"
				   "0 @I2@ INDI\n1 RESN confidential\n1 DEAT\n"
				   "0 @I3@ INDI\n1 FAMC @F1@\n"
				   "0 @I4@ INDI\n1 BIRT\n2 DATE 1880\n1 DEAT\n"
				   "0 @I5@ INDI\n1 FAMS @F2@\n"
				   "0 @I7@ INDI\n1 BIRT\n2 DATE 1926\n"
				   "0 @F1@ FAM\n1 HUSB @I4@\n1 CHIL @I3@\n"
				   "0 @F2@ FAM\n1 HUSB @I5@\n"
				   "0 @I8@ INDI\n1 FAMC @VOID@\n1 FAMC @F3@\n"
				   "0 @F3@ FAM\n1 HUSB @VOID@\n1 CHIL @I8@\n"
				   "0 @VOID@ INDI\n1 BIRT\n2 DATE 1800\n"
				   "0 TRLR\n0 @I6@ INDI\n1 DEAT\n";
	const ask_case cases[] = {
		{"I1", true},   // born 36 years ago
		{"i1", false},  // another person: case tells cross-references apart
		{"I2", true},   // restricted, though dead
		{"I3", false},  // undated, a parent born 146 years ago
		{"I4", false},  // dead
		{"I5", true},   // undated, a family without anyone dated
		{"I7", false},  // born 100 years ago
		{"I6", false},  // after the trailer, where reading ends: no one known
		{"I8", true},   // undated; @VOID@ is no parent, though a record calls itself so
	};
	for (bool families : {false, true}) {
		decide(gedcom, families);
		for (const ask_case &c : cases) {
			SCOPED_TRACE(std::string(c.xref) + (families ? " with families" : ""));
			EXPECT_EQ(is_private_person(c.xref), c.hidden);
		}
	}
}
