// Layout and hit arithmetic of the toolkit, without a display.
#include <climits>
#include <gtest/gtest.h>

#include "kyx_internal.h"
#include "kyx_pictures.h"

using namespace kyx;

extern "C" {
int *c_menu_x(void);
int *c_list_state(void);
int *c_entry_focus(void);
char *c_entry_text(int i);
char *c_label_text(int i);
kyx_callback *c_callbacks(void);
std::size_t c_text_size(void);
std::size_t c_object_size(void);
std::size_t c_textobject_size(void);
}

TEST(WindowPlacement, CentredAndFiftyBelowTheMiddle)
{
	kyx_point p = window_place(1280, 1024, 500, 400);
	EXPECT_EQ(p.x, 390);
	EXPECT_EQ(p.y, 362);
	// The dialogs are placed by the same rule: the blank box, 450 square.
	EXPECT_EQ(window_place(1280, 1024, 450, 450).x, 415);
	EXPECT_EQ(window_place(1280, 1024, 450, 450).y, 337);
}

TEST(WindowPlacement, LargerThanTheScreenGoesNegativeUnclamped)
{
	kyx_point p = window_place(1280, 1024, 1401, 1301);
	EXPECT_EQ(p.x, -60);
	EXPECT_EQ(p.y, -88);
	// Halving toward zero.
	EXPECT_EQ(window_place(1280, 1024, 1501, 93).x, -110);
}

TEST(HitRectangles, ButtonEdgesAreInside)
{
	// A two-letter button at (100, 50): x from 97 to 114, y from 38 to 52.
	struct {
		int ex, ey;
		bool hit;
	} cases[] = {{97, 50, true}, {114, 50, true}, {96, 50, false}, {115, 50, false},
		{100, 38, true}, {100, 52, true}, {100, 37, false}, {100, 53, false}};
	for (auto c : cases) {
		SCOPED_TRACE(::testing::Message() << c.ex << "," << c.ey);
		EXPECT_EQ(button_hit(100, 50, 2, c.ex, c.ey), c.hit);
	}
}

TEST(HitRectangles, EntryCheckAndMenuItemEdges)
{
	EXPECT_TRUE(entry_hit(10, 20, 100, 110, 36));
	EXPECT_FALSE(entry_hit(10, 20, 100, 111, 36));
	EXPECT_FALSE(entry_hit(10, 20, 100, 10, 37));
	EXPECT_TRUE(chkbutton_hit(10, 20, 23, 33));
	EXPECT_FALSE(chkbutton_hit(10, 20, 24, 33));
	EXPECT_TRUE(menuitem_hit(2, 26, 4, -1, 19));
	EXPECT_FALSE(menuitem_hit(2, 26, 4, 29, 26));
	EXPECT_FALSE(menuitem_hit(2, 26, 4, 10, 18));
}

TEST(HitRectangles, ListRowsArrowsAndTheStripBelow)
{
	// Item area at (10, 20), 80 x 50.
	EXPECT_EQ(list_row_hit(10, 20, 80, 50, 50, 21), 0);
	EXPECT_EQ(list_row_hit(10, 20, 80, 50, 50, 20), -1);
	EXPECT_EQ(list_row_hit(10, 20, 80, 50, 50, 70), 40);
	for (int ey = 71; ey <= 80; ++ey)
		EXPECT_EQ(list_row_hit(10, 20, 80, 50, 50, ey), -1);
	EXPECT_TRUE(list_up_hit(10, 20, 80, 91, 30));
	EXPECT_FALSE(list_up_hit(10, 20, 80, 90, 30));
	EXPECT_TRUE(list_down_hit(10, 20, 80, 50, 101, 60));
	EXPECT_FALSE(list_down_hit(10, 20, 80, 50, 102, 60));
}

TEST(ListSizes, SmallListsGrowToEightColumnsAndFiveRows)
{
	EXPECT_EQ(list_width_px(3), 80);
	EXPECT_EQ(list_height_px(2), 50);
	EXPECT_EQ(list_width_px(20), 200);
	EXPECT_EQ(list_height_px(12), 120);
}

TEST(ListSizes, HugeCountsStopAtAMillionPixelsInsteadOfOverflowing)
{
	EXPECT_EQ(list_width_px(INT_MAX), 1000000);
	EXPECT_EQ(list_height_px(INT_MAX), 1000000);
}

TEST(ListScrolling, TwelveItemsInFiveRowsStopAtSeven)
{
	list_scroll s{0, 0};
	for (int i = 0; i < 10; ++i)
		s = list_scroll_down(s.top, s.offset, 12, 5);
	EXPECT_EQ(s.top, 7);
	EXPECT_EQ(s.offset, -70);
	EXPECT_EQ(list_scroll_down(0, 0, 3, 5).top, 0);
	EXPECT_EQ(list_scroll_up(0, 20).offset, 20);
}

TEST(ListScrolling, HighlightFollowsItsRowInTheListsOwnHeight)
{
	EXPECT_FALSE(list_highlight_shown(-1, 0, 50));
	EXPECT_TRUE(list_highlight_shown(3, 40, 50));
	EXPECT_FALSE(list_highlight_shown(3, 50, 50));
	EXPECT_FALSE(list_highlight_shown(3, -10, 50));
	EXPECT_TRUE(list_highlight_shown(6, 60, 100));
	EXPECT_TRUE(list_highlight_shown(9, 90, 100));
}

TEST(Entries, CaretLimitAndStars)
{
	EXPECT_EQ(entry_caret_limit(100), 88);
	EXPECT_EQ(entry_stars(18), 3);
	EXPECT_EQ(entry_stars(200), 16);
}

TEST(MenuLayout, ThreeFourLetterTitles)
{
	kyx_point a = menu_span(0, 0, 4);
	kyx_point b = menu_span(1, a.y, 4);
	kyx_point c = menu_span(2, b.y, 4);
	EXPECT_EQ(a.x, 8);
	EXPECT_EQ(a.y, 35);
	EXPECT_EQ(b.x, 38);
	EXPECT_EQ(b.y, 65);
	EXPECT_EQ(c.x, 68);
	EXPECT_EQ(c.y, 95);
}

TEST(Pie, ExtentInSixtyFourthsTruncated)
{
	EXPECT_EQ(pie_extent(25), 5760);
	EXPECT_EQ(pie_extent(33), 7603);
	EXPECT_EQ(pie_extent(100), 23040);
	EXPECT_EQ(pie_extent(-33), -7603);
}

TEST(CView, CProgramsSeeTheSameTablesAsCpp)
{
	EXPECT_EQ(c_menu_x(), global_menu_x.data());
	EXPECT_EQ(c_list_state(), kyx_selectlist_obj.state.data());
	EXPECT_EQ(c_entry_focus(), kyx_textentry_obj.focus.data());
	EXPECT_EQ(c_entry_text(3), kyx_textentry_obj.text[3].data());
	EXPECT_EQ(c_label_text(255), global_label_text[255].data());
	EXPECT_EQ(c_callbacks(), kyx_Array3.data());
	EXPECT_EQ(c_text_size(), 256u);
	EXPECT_EQ(c_object_size(), sizeof(kyx_object));
	EXPECT_EQ(c_textobject_size(), sizeof(kyx_textobject));
}

namespace {
// Rows of a compiled-in picture that hold only transparent pixels, counted from the top.
int transparent_rows(const char **data, unsigned expect_w, unsigned expect_h, unsigned colours)
{
	XpmImage image{};
	XpmInfo info{};
	EXPECT_EQ(XpmCreateXpmImageFromData(const_cast<char **>(data), &image, &info), XpmSuccess);
	EXPECT_EQ(image.width, expect_w);
	EXPECT_EQ(image.height, expect_h);
	EXPECT_EQ(image.ncolors, colours);
	int rows = 0;
	for (unsigned y = 0; y < image.height; ++y) {
		bool clear = true;
		for (unsigned x = 0; x < image.width; ++x) {
			const char *c = image.colorTable[image.data[y * image.width + x]].c_color;
			clear = clear && c && std::string_view{c} == "None";
		}
		if (!clear)
			break;
		++rows;
	}
	XpmFreeXpmImage(&image);
	XpmFreeXpmInfo(&info);
	return rows;
}
}

TEST(Pictures, CompiledInPicturesParseWithTheirSizesAndMargins)
{
	EXPECT_EQ(transparent_rows(rn_xpm, 10, 10, 7), 0);
	EXPECT_EQ(transparent_rows(rn2_xpm, 10, 10, 5), 0);
	EXPECT_EQ(transparent_rows(warning_xpm, 40, 40, 7), 9);
	EXPECT_EQ(transparent_rows(information_xpm, 40, 40, 6), 7);
}
