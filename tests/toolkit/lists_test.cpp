// Select lists: sizes, selection, scrolling and the highlight.
#include "kyx_fixture.h"

using SelectLists = KyxTest;

TEST_F(SelectLists, SizesAndItems)
{
	open_window();
	char items[3][kyx_item_size] = {"one", "two", "three"};
	int a = kyx_selectlist(10, 10, 3, items, 3, 2);
	int b = kyx_selectlist(10, 100, 3, items, 20, 12);
	EXPECT_EQ(global_selectlist_c[a], 80);
	EXPECT_EQ(global_selectlist_r[a], 50);
	EXPECT_EQ(global_selectlist_c[b], 200);
	EXPECT_EQ(global_selectlist_r[b], 120);
	EXPECT_EQ(kyx_selectlist_obj.state[b], -1);
	EXPECT_STREQ(kyx_selectlist_item(b, 2), "three");
	// Reading past the last item finds nothing and stores nothing.
	EXPECT_EQ(kyx_selectlist_item(b, 7), nullptr);
	EXPECT_EQ(kyx_selectlist_item(b, 511), nullptr);
	EXPECT_EQ(list_items[b].size(), 3u);
}

TEST_F(SelectLists, SelectedRowBelowTheFifthKeepsItsHighlight)
{
	open_window();
	char items[12][kyx_item_size] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k",
		"l"};
	int l = kyx_selectlist(20, 20, 12, items, 3, 10);
	click(60, 85);
	EXPECT_EQ(kyx_selectlist_obj.state[l], 6);
	EXPECT_EQ(pixel(95, 85), yellow);
	redraw();
	expect_pixels({{95, 85, yellow}, {95, 75, white}, {50, 19, black}, {50, 120, white}, {111, 60, black}});
	// The tips of the up and the down arrow.
	expect_pixels({{106, 24, black}, {106, 115, black}});
}

class ListFixture : public KyxTest {
protected:
	int make(int count, int rows)
	{
		static char items[12][kyx_item_size] = {"i0", "i1", "i2", "i3", "i4", "i5", "i6",
			"i7", "i8", "i9", "i10", "i11"};
		open_window();
		return kyx_selectlist(20, 20, count, items, 3, rows);
	}
	// The arrows of a list at (20, 20), 80 wide, 50 high.
	void down() { click(105, 65); }
	void up() { click(105, 25); }
};

using ListScroll = ListFixture;

TEST_F(ListScroll, TwelveItemsScrollDownSevenTimes)
{
	int l = make(12, 5);
	for (int i = 0; i < 10; ++i)
		down();
	EXPECT_EQ(kyx_selectlist_obj.top[l], 7);
	up();
	EXPECT_EQ(kyx_selectlist_obj.top[l], 6);
}

TEST_F(ListScroll, ThreeItemsDoNotScroll)
{
	int l = make(3, 5);
	down();
	up();
	EXPECT_EQ(kyx_selectlist_obj.top[l], 0);
	EXPECT_EQ(kyx_selectlist_obj.offset[l], 0);
}

TEST_F(ListScroll, HighlightFollowsItsItemOutOfViewAndBack)
{
	int l = make(12, 5);
	click(50, 45);  // row 2
	EXPECT_EQ(kyx_selectlist_obj.state[l], 2);
	EXPECT_EQ(pixel(90, 45), yellow);
	down();
	down();
	EXPECT_EQ(kyx_selectlist_obj.offset[l], 0);
	EXPECT_EQ(pixel(90, 25), yellow);
	down();
	EXPECT_EQ(pixel(90, 25), white);
	up();
	EXPECT_EQ(pixel(90, 25), yellow);
	click(50, 35);
	EXPECT_EQ(kyx_selectlist_obj.state[l], 3);
}

TEST_F(ListScroll, ClickBelowTheLastRowSelectsNothing)
{
	int l = make(12, 5);
	for (int y = 71; y <= 80; ++y)
		click(50, y);
	EXPECT_EQ(kyx_selectlist_obj.state[l], -1);
}
