// Tests of the version a file declares: HEAD.GEDC.VERS by level, and the family of rules it names.
#include <gtest/gtest.h>

#include "gedcom_version.h"

#include <string>
#include <vector>

TEST(GedcomVersion, OnlyTheHeadsGedcVersCountsAndNamesItsFamily)
{
	struct row {
		const char *what;
		std::string text;
		const char *version;
		gedcom_family family;
	};
	using enum gedcom_family;
	const std::vector<row> rows = {
		{"7.0", "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 TRLR\n", "7.0", seven},
		{"a byte-order mark, CR LF, blanks", "\xEF\xBB\xBF" "0 HEAD\r\n1 GEDC\r\n2 VERS  7.0.3 \r\n", "7.0.3", seven},
		{"CR alone", "0 HEAD\r1 GEDC\r2 VERS 7.1\r", "7.1", seven_later},
		{"5.5.1 after the source's VERS", "0 HEAD\n1 SOUR P\n2 VERS 7.0\n1 GEDC\n2 VERS 5.5.1\n", "5.5.1", five},
		{"a VERS under GEDC's FORM", "0 HEAD\n1 GEDC\n2 FORM LINEAGE-LINKED\n3 VERS 7.0\n", "", five},
		{"after the head", "0 HEAD\n0 @I1@ INDI\n1 GEDC\n2 VERS 7.0\n", "", five},
		{"a head after a record", "0 @N1@ SNOTE x\n0 HEAD\n1 GEDC\n2 VERS 7.0\n", "7.0", seven},
		{"7.0 as the start of a longer word", "0 HEAD\n1 GEDC\n2 VERS 7.00\n", "7.00", five},
		{"7.2", "0 HEAD\n1 GEDC\n2 VERS 7.2\n", "7.2", five},
		{"an empty VERS", "0 HEAD\n1 GEDC\n2 VERS\n", "", five},
		{"no text", "", "", five},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.what);
		version_seek s;
		EXPECT_EQ(gedcom_version(r.text, s), r.version);
		EXPECT_EQ(family_of_version(sought_version(s)), r.family);
	}
}
