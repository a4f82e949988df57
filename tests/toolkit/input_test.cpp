// Input handling, one hand-built event at a time: clicks, keys and pointer motion.
#include "kyx_fixture.h"

#include <X11/keysym.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> ran;
void run_a() { ran.push_back("a"); }
void run_b() { ran.push_back("b"); }
void run_toggle() { ran.push_back("toggle " + std::to_string(kyx_lbutton_obj.state[0])); }
void add_button() { kyx_button(300, 250, "New", run_b); }
}

using ButtonClicks = KyxTest;
using CheckClicks = KyxTest;
using ListClicks = KyxTest;
using EntryKeys = KyxTest;
using MenuMotion = KyxTest;

TEST_F(ButtonClicks, EdgesOfTheRectangleRunTheCallback)
{
	open_window();
	kyx_button(100, 50, "OK", run_a);
	for (auto [x, y] : {std::pair{97, 50}, {114, 50}, {100, 38}, {100, 52}})
		click(x, y);
	EXPECT_EQ(ran.size(), 4u);
	for (auto [x, y] : {std::pair{96, 50}, {115, 50}, {100, 37}, {100, 53}})
		click(x, y);
	EXPECT_EQ(ran.size(), 4u);
}

TEST_F(ButtonClicks, OverlappingButtonsBothRunLowerHandleFirst)
{
	open_window();
	kyx_button(100, 50, "Second", run_b);
	kyx_button(102, 50, "First", run_a);
	kyx_setfunction(0, run_a);
	kyx_setfunction(1, run_b);
	click(110, 45);
	EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
}

TEST_F(ButtonClicks, CallbackMayCreateWidgetsTestedInTheSameEvent)
{
	open_window();
	kyx_button(300, 250, "Add", add_button);
	click(305, 245);
	EXPECT_EQ(global_button_num, 2);
	EXPECT_EQ(ran, (std::vector<std::string>{"b"}));
}

TEST_F(ButtonClicks, ToggleFlipsBeforeItsCallbackAndRepaintsTheLamp)
{
	open_window();
	kyx_lbutton(100, 109, "Lamp", run_toggle);
	click(101, 105);
	click(101, 105);
	EXPECT_EQ(ran, (std::vector<std::string>{"toggle 1", "toggle 0"}));
	kyx_lbutton_obj.state[0] = 7;
	click(101, 105);
	EXPECT_EQ(kyx_lbutton_obj.state[0], 1);
	EXPECT_EQ(pixel(103, 103), 0xFF6666u);
}

TEST_F(ButtonClicks, ImageButtonOnlyFromItsOwnWindow)
{
	open_window();
	int b = kyx_imagebutton(50, 50, xpm("p.xpm", 20, 20, "#00FF00").c_str(), run_a);
	click(55, 55);
	EXPECT_TRUE(ran.empty());
	click(5, 5, xpm_imagebutton[b]);
	EXPECT_EQ(ran.size(), 1u);
}

TEST_F(CheckClicks, TickComesAndGoes)
{
	open_window();
	int c = kyx_chkbutton(300, 200, "Tick");
	click(313, 213);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 1);
	EXPECT_EQ(pixel(303, 205), black);
	click(300, 200);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 0);
	EXPECT_EQ(pixel(303, 205), white);
	click(314, 205);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 0);
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

class EntryFixture : public KyxTest {
protected:
	void SetUp() override
	{
		KyxTest::SetUp();
		open_window();
		e = kyx_textentry(20, 100, 100, 0);
		p = kyx_textentry(20, 150, 100, 1);
	}
	int e = 0;
	int p = 0;
};

using EntryEditing = EntryFixture;

TEST_F(EntryEditing, KeysGoOnlyToTheFocusedEntry)
{
	type("ab");
	EXPECT_STREQ(numberstring[e].data(), "");
	click(30, 105);
	type("ab");
	click(30, 155);
	type("cd");
	EXPECT_STREQ(numberstring[e].data(), "ab");
	EXPECT_STREQ(kyx_textentry_obj.text[p].data(), "cd");
	EXPECT_EQ(kyx_textentry_obj.focus[e], 0);
	EXPECT_EQ(pixel(110, 105), white);
	EXPECT_EQ(pixel(110, 155), yellow);
}

TEST_F(EntryEditing, FullEntryTakesOnlyBackSpace)
{
	click(30, 105);
	type("abcdefghijklmnopq");
	EXPECT_STREQ(numberstring[e].data(), "abcdefghijklmno");
	EXPECT_EQ(place[e], 90);
	key(XK_BackSpace);
	EXPECT_STREQ(numberstring[e].data(), "abcdefghijklmn");
	EXPECT_EQ(place[e], 84);
	type("xy");
	EXPECT_STREQ(numberstring[e].data(), "abcdefghijklmnx");
}

TEST_F(EntryEditing, BackSpaceOnEmptyStaysEmpty)
{
	click(30, 105);
	key(XK_BackSpace);
	EXPECT_STREQ(numberstring[e].data(), "");
	EXPECT_EQ(place[e], 0);
}

TEST_F(EntryEditing, KeysWithoutCharacterAndFilteredKeysAddNothing)
{
	click(30, 105);
	for (KeySym k : {XK_Return, XK_Tab, XK_Escape, XK_Up, XK_Down, XK_Left, XK_Right,
		     XK_Shift_L, XK_Shift_R, XK_Control_R, XK_Alt_R, XK_F1})
		key(k);
	EXPECT_STREQ(numberstring[e].data(), "");
	EXPECT_EQ(place[e], 0);
	key(XK_a, ShiftMask);
	EXPECT_STREQ(numberstring[e].data(), "A");
}

TEST_F(EntryEditing, PasswordShowsStarsAfterBackSpace)
{
	kyx_settextentry(e, "***");
	click(30, 155);
	type("abcd");
	key(XK_BackSpace);
	EXPECT_STREQ(numberstring[p].data(), "abc");
	EXPECT_EQ(count(black, 22, 152, 97, 13), count(black, 22, 102, 97, 13));
}

TEST_F(EntryEditing, SetTextRepaintsPlainEntriesBeforeTheNextEvent)
{
	click(30, 105);
	kyx_settextentry(e, "new");
	repaint_entry_texts();
	XSync(display, False);
	EXPECT_EQ(KYX_event_flag, 0);
	EXPECT_EQ(pixel(110, 105), white);
	EXPECT_EQ(pixel(110, 101), yellow);
	EXPECT_GT(count(black, 22, 103, 30, 12), 0);
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
