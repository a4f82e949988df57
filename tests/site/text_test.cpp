// File names of cross-references, escaping, safe addresses and folding.
#include "text.h"

#include <gtest/gtest.h>

namespace {

TEST(SitePageNames, EveryCrossReferenceGivesOneSafeName)
{
	struct row {
		std::string xref;
		std::string name;
	} rows[] = {
		{"I12", "I12"},
		{"i1", "-691"},
		{"I_1", "I_1"},
		{"../etc", "-2e-2e-2f-65-74-63"},
		{std::string("A\x01\xff", 3), "A-01-ff"},
		{"", ""},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.xref);
		EXPECT_EQ(page_name(r.xref), r.name);
	}
}

TEST(SitePageNames, LongCrossReferencesEndInAHashAndStayApart)
{
	std::string a(3000, 'A');
	std::string b = a;
	b.back() = 'B';
	EXPECT_EQ(page_name(std::string(100, 'A')), std::string(100, 'A'));
	EXPECT_EQ(page_name(a).size(), 100u);
	EXPECT_NE(page_name(a), page_name(b));
	EXPECT_EQ(page_name(a).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-abcdef"), std::string::npos);
}

TEST(SiteEscaping, MarkupBecomesEntitiesAndControlsReplacementCharacters)
{
	struct row {
		std::string_view text;
		std::string_view html;
	} rows[] = {
		{"<script>a & \"b\" 'c'</script>", "&lt;script&gt;a &amp; &quot;b&quot; &#39;c&#39;&lt;/script&gt;"},
		{"I\x01\x7f", "I\uFFFD\uFFFD"},
		{"a\u0081b\uFFFEc", "a\uFFFDb\uFFFDc"},
		{"tab\tline\nÅsa \u00a0", "tab\tline\nÅsa \u00a0"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.text);
		std::string out;
		append_escaped(out, r.text);
		EXPECT_EQ(out, r.html);
	}
}

TEST(SiteAddresses, OnlyRelativePathsAndWebAddressesAreLinked)
{
	struct row {
		std::string_view address;
		bool linked;
	} rows[] = {
		{"photos/anna.jpg", true},     {"http://example.org/a.jpg", true},
		{"HTTPS://example.org/", true}, {"javascript:alert(1)", false},
		{"JavaScript:alert(1)", false}, {"data:text/html,<b>x</b>", false},
		{"vbscript:msgbox", false},     {" javascript:alert(1)", false},
		{"/etc/passwd", false},         {"C:\\pictures\\anna.jpg", false},
		{"file:///etc/passwd", false},  {"", false},
		{"a\tb", false},                {"http://a b", false},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.address);
		EXPECT_EQ(linkable_address(r.address), r.linked);
	}
}

TEST(SiteFolding, CaseAndAccentsAreIgnoredAndLettersFiled)
{
	struct row {
		std::string_view text;
		std::string_view folded;
		std::string_view letter;
	} rows[] = {
		{"Åsa", "asa", "A"}, {"ÉMILE", "emile", "E"}, {"Øystein", "øystein", "Ø"},
		{"", "", "_"},       {"(unknown)", "(unknown)", "_"}, {"straße", "strasse", "S"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.text);
		EXPECT_EQ(fold_text(r.text), r.folded);
		EXPECT_EQ(letter_of(fold_text(r.text)), r.letter);
	}
}

TEST(SiteDates, DatesSortByYearMonthAndDay)
{
	struct row {
		std::string_view date;
		std::uint32_t key;
	} rows[] = {
		{"12 MAR 1850", 18500312}, {"MAR 1850", 18500300}, {"ABT 1850", 18500000},
		{"BET 1850 AND 1860", 18500000}, {"", 0}, {"unknown", 0}, {"5 JAN 800", 8000105},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.date);
		EXPECT_EQ(date_key(r.date), r.key);
	}
}

} // namespace
