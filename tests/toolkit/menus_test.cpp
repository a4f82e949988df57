// Menus: layout, the bar, the pull-downs and their items.
#include "kyx_fixture.h"

#include <string>
#include <vector>

using Menus = KyxTest;

TEST_F(Menus, ItemBaselinesFollowTheItemBefore)
{
	open_window();
	kyx_menubar();
	int m0 = kyx_menu(0, "File");
	int m1 = kyx_menu(0, "Edit");
	int order[] = {m0, m1, m1, m1};
	int expect_y[] = {12, 12, 26, 40};
	int expect_h[] = {17, 17, 31, 45};
	for (int k = 0; k < 4; ++k) {
		int item = kyx_menuitem(order[k], "Item", nullptr);
		EXPECT_EQ(global_menuitem_y[item], expect_y[k]);
		XSync(display, False);
		XWindowAttributes a{};
		XGetWindowAttributes(display, pulldown[order[k]], &a);
		EXPECT_EQ(a.height, expect_h[k]);
	}
	EXPECT_EQ(global_menu_x[m1], 38);
	EXPECT_EQ(global_menuitem_numinmenu[m1], 3);
}

TEST_F(Menus, BarsTitlesAndPulldownFrames)
{
	open_window();
	kyx_menubar();
	int m = kyx_menu(0, "File");
	kyx_menuitem(m, "Open", nullptr);
	redraw();
	EXPECT_EQ(pixel(300, 19), dgrey);
	EXPECT_EQ(pixel(300, 39), grey);
	EXPECT_GT(count(black, 8, 0, 27, 17), 0);
	kyx_menubar();
	redraw();
	EXPECT_EQ(pixel(300, 39), dgrey);
}

class MenuFixture : public KyxTest {
protected:
	void SetUp() override
	{
		KyxTest::SetUp();
		open_window();
		kyx_menubar();
		kyx_menu(0, "File");  // title from 8 to 35
		kyx_menuitem(0, "Open", run_a);
		kyx_menuitem(0, "Quit", run_b);
	}
};

using MenuPointer = MenuFixture;

TEST_F(MenuPointer, TitleHighlightedOnlyStrictlyInside)
{
	move(20, 10);
	EXPECT_EQ(pixel(20, 16), blue4);
	EXPECT_TRUE(mapped(pulldown[0]));
	for (int x : {8, 35}) {
		move(x, 10);
		EXPECT_EQ(pixel(20, 16), grey);
		EXPECT_FALSE(mapped(pulldown[0]));
	}
	move(20, 10);
	move(20, 21);
	EXPECT_TRUE(mapped(pulldown[0]));
}

TEST_F(MenuPointer, TwoBarsHighlightNothing)
{
	kyx_menubar();
	move(20, 10);
	EXPECT_EQ(pixel(20, 16), grey);
	EXPECT_FALSE(mapped(pulldown[0]));
}

TEST_F(MenuPointer, ItemsHighlightAndRunInTheirPulldown)
{
	move(20, 10);
	move(50, 20, pulldown[0]);
	XSync(display, False);
	EXPECT_EQ(pixel(90, 20, pulldown[0]), blue4);
	EXPECT_EQ(pixel(90, 10, pulldown[0]), grey);
	move(50, 26, pulldown[0]);
	EXPECT_EQ(pixel(90, 20, pulldown[0]), grey);
	click(10, 24, pulldown[0]);
	click(10, 24);
	EXPECT_EQ(ran, (std::vector<std::string>{"b"}));
}

// The coordinates of a click are those of the window it happened in: one in a pull-down does
// not also hit the main window's widgets that lie at the same numbers.
TEST_F(MenuPointer, ClickInAPulldownHitsNothingOfTheMainWindow)
{
	kyx_button(8, 26, "Zz", [] { ran.push_back("button"); });
	kyx_lbutton(8, 26, "Zz", nullptr);
	kyx_chkbutton(4, 20, "Zz");
	kyx_textentry(0, 16, 40, 0);
	char items[1][kyx_item_size] = {"row"};
	kyx_selectlist(0, 14, 1, items, 3, 2);
	ran.clear();
	click(10, 24, pulldown[0]);
	EXPECT_EQ(ran, (std::vector<std::string>{"b"}));
	EXPECT_EQ(kyx_lbutton_obj.state[0], 0);
	EXPECT_EQ(kyx_chkbutton_obj.state[0], 0);
	EXPECT_EQ(kyx_textentry_obj.focus[0], 0);
	EXPECT_EQ(kyx_selectlist_obj.state[0], -1);
	click(10, 24);
	EXPECT_EQ(ran, (std::vector<std::string>{"b", "button"}));
	EXPECT_EQ(kyx_lbutton_obj.state[0], 1);
	EXPECT_EQ(kyx_chkbutton_obj.state[0], 1);
	EXPECT_EQ(kyx_textentry_obj.focus[0], 1);
	EXPECT_EQ(kyx_selectlist_obj.state[0], 0);
}
