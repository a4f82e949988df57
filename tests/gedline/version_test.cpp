// The version a file's header names, which decides how the file is read.
#include <gtest/gtest.h>

#include "version.h"

TEST(FileVersion, OnlyTheGedcVersOfTheHeaderCounts)
{
	struct {
		const char *text;
		const char *version;
		bool seven;
	} cases[] = {
		{"\xEF\xBB\xBF" "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 TRLR\n", "7.0", true},
		{"0 HEAD\r\n1 SOUR X\r\n2 VERS 7.0\r\n1 GEDC\r\n2 FORM LINEAGE-LINKED\r\n2 VERS  5.5.1 \r\n", "5.5.1", false},
		{"0 HEAD\n  1 GEDC\n    2 VERS 7.0.14\n", "7.0.14", true},
		{"0 HEAD\n1 GEDC\n2 VERS 70\n", "70", false},
		{"0 HEAD\n1 GEDC\n1 VERS 7.0\n", "", false},
		{"0 HEAD\n1 GEDC\n0 @I1@ INDI\n2 VERS 7.0\n", "", false},
		{"0 HEAD\n1 GEDC\n2 FORM LINEAGE-LINKED\n3 VERS 7.0\n", "", false},
		{"", "", false},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.text);
		EXPECT_EQ(gedcom_version(c.text), c.version);
		EXPECT_EQ(is_version7(gedcom_version(c.text)), c.seven);
	}
}
