// The main window: placement, closing, backgrounds and the limits of the tables.
#include "kyx_fixture.h"

#include <cstring>
#include <string>

using MainWindow = KyxTest;
using Backgrounds = KyxTest;
using Limits = KyxTest;
using Redraw = KyxTest;

TEST_F(MainWindow, PlacedCentredWithTitleAndMapped)
{
	kyx_window("GEDCOM Individual", 500, 400);
	XSync(display, False);
	XWindowAttributes a{};
	ASSERT_TRUE(XGetWindowAttributes(display, window2, &a));
	EXPECT_EQ(a.x, 390);
	EXPECT_EQ(a.y, 362);
	EXPECT_EQ(a.width, 500);
	EXPECT_EQ(a.border_width, 1);
	EXPECT_EQ(a.map_state, IsViewable);
	EXPECT_EQ(kyx_window_status, 1);
	char *name = nullptr;
	ASSERT_TRUE(XFetchName(display, window2, &name));
	EXPECT_STREQ(name, "GEDCOM Individual");
	XFree(name);
}

TEST_F(MainWindow, CloseUnmapsAndEndsTheLoopAtOnce)
{
	open_window();
	kyx_closewindow();
	EXPECT_EQ(kyx_window_status, 0);
	EXPECT_FALSE(mapped(window2));
	kyx_main();  // returns without reading an event
}

TEST_F(Backgrounds, TiledStopsAt1024By860)
{
	open_window(1200, 900);
	kyx_setwindowbg(xpm("red.xpm", 8, 8, "#FF0000").c_str(), 1);
	redraw();
	EXPECT_EQ(pixel(500, 500), 0xFF0000u);
	EXPECT_EQ(pixel(1023, 859), 0xFF0000u);
	EXPECT_EQ(pixel(1100, 100), grey);
	EXPECT_EQ(pixel(100, 880), grey);
}

TEST_F(Backgrounds, WholeWindowTilingFollowsTheWindowAsItGrows)
{
	open_window(1000, 700);
	kyx_setwindowbg(xpm("red.xpm", 8, 8, "#FF0000").c_str(), kyx_bg_whole);
	XMoveResizeWindow(display, window2, 0, 0, 1200, 900);
	redraw();
	EXPECT_EQ(pixel(1199, 100), 0xFF0000u);
	EXPECT_EQ(pixel(100, 899), 0xFF0000u);
}

TEST_F(Backgrounds, UntiledKeepTheirOwnSize)
{
	open_window();
	int l = kyx_label("abcdefghij", 100, 100, 0);
	kyx_setwindowbg(xpm("small.xpm", 20, 20, "#FF0000").c_str(), 0);
	kyx_setlabelbg(xpm("wide.xpm", 50, 10, "#00FF00").c_str(), 0, l);
	EXPECT_EQ(attributes_bg.width, 50u);
	redraw();
	EXPECT_EQ(pixel(10, 10), 0xFF0000u);
	EXPECT_EQ(pixel(30, 5), grey);
	EXPECT_EQ(pixel(138, 90), 0x00FF00u);
	EXPECT_EQ(pixel(153, 90), grey);
}

TEST_F(Limits, HandlesCountPerKindFromZero)
{
	open_window();
	EXPECT_EQ(kyx_label("a", 10, 20, 0), 0);
	EXPECT_EQ(kyx_label("b", 10, 40, 0), 1);
	EXPECT_EQ(kyx_button(10, 60, "c", nullptr), 0);
	EXPECT_EQ(kyx_menubar(), 0);
	EXPECT_EQ(kyx_menubar(), 1);
}

TEST_F(Limits, BeyondCapacityCreatesNothing)
{
	open_window();
	for (int i = 0; i < kyx_capacity; ++i)
		ASSERT_EQ(kyx_button(0, 0, "b", nullptr), i);
	EXPECT_EQ(kyx_button(0, 0, "b", nullptr), -1);
	EXPECT_EQ(global_button_num, 256);
	for (int i = 0; i < kyx_capacity; ++i)
		kyx_hseparator(0, i, 5);
	kyx_hseparator(1, 1, 1);
	EXPECT_EQ(global_hline_num, 256);
	kyx_menu(0, "M");
	for (int i = 0; i < kyx_capacity; ++i)
		kyx_menuitem(0, "i", nullptr);
	EXPECT_EQ(kyx_menuitem(0, "i", nullptr), -1);
}

TEST_F(Limits, LongTextsAreCutToTheirBuffers)
{
	open_window();
	std::string long_text(400, 'x');
	int l = kyx_label(long_text.c_str(), 0, 20, 1);
	EXPECT_EQ(std::strlen(global_label_text[l].data()), 255u);
	int e = kyx_textentry(0, 0, 3000, 0);
	kyx_settextentry(e, long_text.c_str());
	EXPECT_EQ(std::strlen(numberstring[e].data()), 255u);
	EXPECT_EQ(place[e], 1530);
	static char items[600][kyx_item_size];
	std::memset(items[0], 'y', sizeof items[0]);
	int s = kyx_selectlist(0, 0, 600, items, 10, 10);
	EXPECT_EQ(global_selectlist_nl[s], 512);
	EXPECT_EQ(std::strlen(kyx_selectlist_item(s, 0)), 511u);
}

TEST_F(Limits, HandlesOutsideTheTablesDoNothing)
{
	open_window();
	kyx_settextentry(0, "no entry yet");
	kyx_settextentry(-1, "x");
	kyx_setlabelbg(xpm("bg.xpm", 4, 4, "#FF0000").c_str(), 1, 300);
	EXPECT_EQ(kyx_setbuttoncolor(256, 0xFF0000), nullptr);
	kyx_setfunction(-1, nullptr);
	kyx_ExecCallback(256);
	kyx_ExecCallback4(-5);
	EXPECT_EQ(kyx_menuitem(3, "no such menu", nullptr), -1);
	EXPECT_EQ(kyx_selectlist_item(256, 0), nullptr);
	EXPECT_EQ(KYX_event_flag, 0);
	EXPECT_STREQ(numberstring[0].data(), "");
}

TEST_F(Limits, EmptyCallbackSlotDoesNothing)
{
	open_window();
	kyx_button(20, 20, "Go", nullptr);
	kyx_ExecCallback(0);
	kyx_ExecCallback2(7);
	kyx_ExecCallback3(0);
	kyx_ExecCallback4(255);
	click(22, 18);
}

TEST_F(Limits, UnreadablePicturesLeaveWidgetsBlank)
{
	open_window();
	int l = kyx_label("x", 10, 20, 0);
	kyx_setwindowbg("/nonexistent.xpm", 0);
	kyx_setlabelbg("/nonexistent.xpm", 1, l);
	int i = kyx_image(10, 40, "/nonexistent.xpm");
	int b = kyx_imagebutton(10, 80, "/nonexistent.xpm", nullptr);
	EXPECT_EQ(background_pixmap, 0);
	EXPECT_EQ(backgroundlabel_pixmap[l], 0);
	EXPECT_EQ(global_image_w[i], 0);
	EXPECT_EQ(xpm_imagebutton[b], 0u);
	redraw();
	EXPECT_EQ(pixel(15, 45), grey);
	EXPECT_EQ(pixel(15, 85), grey);
}

TEST_F(Redraw, LaterWidgetsCoverEarlierOnesAndFramesComeLast)
{
	open_window();
	kyx_button(100, 50, "Wide", nullptr);
	kyx_button(100, 50, "Wide", nullptr);
	kyx_setbuttoncolor(0, 0xFF0000);
	kyx_setbuttoncolor(1, 0x0000FF);
	char items[1][kyx_item_size] = {""};
	kyx_selectlist(20, 100, 1, items, 3, 5);
	kyx_frame(10, 120, 200, 250, "");
	redraw();
	EXPECT_EQ(pixel(98, 40), 0x0000FFu);
	EXPECT_EQ(pixel(50, 120), black);
	EXPECT_EQ(pixel(50, 121), white);
}
