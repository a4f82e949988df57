// The window's layout and texts, worked out without a display.
#include <gtest/gtest.h>

#include "lineagetree.h"

namespace {

person_facts someone(const char *name, std::size_t at = 1)
{
	person_facts p;
	p.at = at;
	p.xref = "@X@";
	p.name = name;
	return p;
}

} // namespace

TEST(TreeLayout, PedigreePlacesSitBetweenTheirParents)
{
	tree_layout l = layout_view(family_view{});
	struct place {
		int slot, x, y;
	} places[] = {{0, 48, 184}, {1, 278, 104}, {2, 278, 264}, {3, 508, 64}, {6, 508, 304},
		{7, 738, 44}, {14, 738, 324}};
	for (const place &p : places) {
		SCOPED_TRACE(p.slot);
		EXPECT_EQ(l.boxes[p.slot].x, p.x);
		EXPECT_EQ(l.boxes[p.slot].y, p.y);
	}
	// Nobody is there: nothing to show, but the places keep their frames.
	EXPECT_EQ(l.boxes[3].who.at, no_record);
	EXPECT_EQ(l.boxes[3].name, "");
	EXPECT_EQ(l.boxes[pedigree_places].x, off_window);
}

TEST(TreeLayout, LinesJoinEachBoxToItsParents)
{
	std::vector<tree_line> lines = pedigree_lines();
	ASSERT_EQ(lines.size(), 28u);
	// The person (right edge 258, middle 201) to the middle of the gap, then up and down
	// from the father's middle (121) to the mother's (281), then on to each box.
	EXPECT_EQ(lines[0].x, 258);
	EXPECT_EQ(lines[0].y, 201);
	EXPECT_EQ(lines[0].length, 10);
	EXPECT_TRUE(lines[1].vertical);
	EXPECT_EQ(lines[1].y, 121);
	EXPECT_EQ(lines[1].length, 160);
	EXPECT_EQ(lines[2].x + lines[2].length, 278);
	EXPECT_EQ(lines[3].y, 281);
}

TEST(TreeLayout, FamiliesTakeARowEachAndChildrenWrapByThree)
{
	family_view v;
	family_part first;
	first.partner = someone("Anne");
	for (int i = 0; i < 4; i++)
		first.children.push_back(someone("Child"));
	family_part second;  // no partner known
	second.children.push_back(someone("Late"));
	v.families = {first, second};
	tree_layout l = layout_view(v);
	auto slot = [](int row, int column) { return pedigree_places + row * 4 + column; };
	EXPECT_EQ(l.boxes[slot(0, 0)].name, "Anne");
	EXPECT_EQ(l.boxes[slot(0, 0)].y, 388);
	EXPECT_EQ(l.boxes[slot(0, 3)].x, 738);
	EXPECT_EQ(l.boxes[slot(1, 1)].name, "Child");   // the fourth child wraps
	EXPECT_EQ(l.boxes[slot(1, 0)].x, off_window);
	EXPECT_EQ(l.boxes[slot(2, 0)].x, 48);          // an empty frame for the unknown partner
	EXPECT_EQ(l.boxes[slot(2, 0)].who.at, no_record);
	EXPECT_EQ(l.boxes[slot(2, 1)].name, "Late");
	EXPECT_EQ(l.pages, 1);
}

// Eleven rows: a family of thirty children takes ten, the next family one. The second page
// begins inside the first family and shows its partner again.
TEST(TreeLayout, RowsBeyondTheEighthGoOnTheNextPage)
{
	std::vector<std::string> names;
	for (int i = 1; i <= 30; i++)
		names.push_back("C" + std::to_string(i));
	family_view v;
	family_part big;
	big.partner = someone("Anne");
	for (const std::string &name : names)
		big.children.push_back(someone(name.c_str()));
	family_part small;
	small.partner = someone("Beth");
	small.children.push_back(someone("D"));
	v.families = {big, small};
	auto slot = [](int row, int column) { return pedigree_places + row * 4 + column; };

	tree_layout first = layout_view(v, 0);
	EXPECT_EQ(first.pages, 2);
	EXPECT_EQ(first.boxes[slot(0, 0)].name, "Anne");
	EXPECT_EQ(first.boxes[slot(1, 0)].x, off_window);
	EXPECT_EQ(first.boxes[slot(7, 3)].name, "C24");
	EXPECT_EQ(first.boxes[slot(7, 3)].y, 668);

	tree_layout second = layout_view(v, 1);
	EXPECT_EQ(second.page, 1);
	EXPECT_EQ(second.boxes[slot(0, 0)].name, "Anne");
	EXPECT_EQ(second.boxes[slot(0, 1)].name, "C25");
	EXPECT_EQ(second.boxes[slot(0, 1)].y, 388);
	EXPECT_EQ(second.boxes[slot(1, 0)].x, off_window);
	EXPECT_EQ(second.boxes[slot(2, 0)].name, "Beth");
	EXPECT_EQ(second.boxes[slot(2, 1)].name, "D");
	EXPECT_EQ(second.boxes[slot(3, 0)].x, off_window);
	EXPECT_EQ(layout_view(v, 7).page, 1);
}

// One family of so many children: three to a row, and a row even for none.
TEST(TreeLayout, PagesHoldEightRowsEach)
{
	struct {
		int children, pages;
	} cases[] = {{0, 1}, {21, 1}, {24, 1}, {25, 2}, {48, 2}, {49, 3}};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.children);
		family_view v;
		v.families.emplace_back();
		for (int i = 0; i < c.children; i++)
			v.families[0].children.push_back(someone("Child"));
		tree_layout l = layout_view(v, 99);
		EXPECT_EQ(l.pages, c.pages);
		EXPECT_EQ(l.page, c.pages - 1);
	}
}

TEST(TreeTexts, NamesDatesAndCuts)
{
	EXPECT_EQ(display_name("John  /Smith/ Jr."), "John Smith Jr.");
	EXPECT_EQ(display_name(" /Smith/ "), "Smith");
	EXPECT_EQ(display_name("//"), "");
	EXPECT_EQ(display_name("Frederick/Windsor/"), "Frederick Windsor");
	EXPECT_EQ(display_name("Ann/Lee/Jr."), "Ann Lee Jr.");
	EXPECT_EQ(display_name("/Lee/Ann"), "Lee Ann");
	EXPECT_EQ(dates_text("1900", "1970"), "b. 1900  d. 1970");
	EXPECT_EQ(dates_text("", "1970"), "d. 1970");
	EXPECT_EQ(dates_text("", ""), "");
	EXPECT_EQ(cut_to_cells("abcdef", 6), "abcdef");
	EXPECT_EQ(cut_to_cells("abcdefg", 6), "abcd..");
	// Characters, not bytes: ü is two bytes and one cell, and is never cut apart.
	EXPECT_EQ(cut_to_cells("Grüber", 6), "Grüber");
	EXPECT_EQ(cut_to_cells("Grüberger", 6), "Grüb..");
	EXPECT_EQ(window_title(someone("Ann /Lee/")), "Family tree: Ann Lee");
	EXPECT_EQ(window_title(someone("")), "Family tree: @X@");
}

TEST(TreeTexts, RelationsInBinaryOrder)
{
	const char *expected[pedigree_places] = {"person", "father", "mother", "father.father",
		"father.mother", "mother.father", "mother.mother", "father.father.father",
		"father.father.mother", "father.mother.father", "father.mother.mother",
		"mother.father.father", "mother.father.mother", "mother.mother.father",
		"mother.mother.mother"};
	for (int p = 0; p < pedigree_places; p++)
		EXPECT_EQ(relation_name(p), expected[p]);
}
