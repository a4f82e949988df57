// The full redraw, read back pixel by pixel after an Expose.
#include "kyx_fixture.h"

using RedrawButtons = KyxTest;
using RedrawLabels = KyxTest;
using RedrawShapes = KyxTest;
using RedrawEntries = KyxTest;
using RedrawLists = KyxTest;
using RedrawPictures = KyxTest;
using RedrawMenus = KyxTest;

TEST_F(RedrawButtons, FaceBevelAndOutline)
{
	open_window();
	kyx_button(100, 50, "OK", nullptr);
	kyx_setbuttoncolor(0, 0xFF0000);
	redraw();
	EXPECT_EQ(pixel(98, 40), 0xFF0000u);
	EXPECT_EQ(pixel(95, 40), black);
	EXPECT_EQ(pixel(116, 40), black);
	EXPECT_EQ(pixel(100, 36), black);
	EXPECT_EQ(pixel(100, 54), black);
	EXPECT_EQ(pixel(96, 45), white);
	EXPECT_EQ(pixel(105, 37), white);
	EXPECT_EQ(pixel(115, 45), dgrey);
	EXPECT_EQ(pixel(105, 53), dgrey);
	// Later lines win at the corners they share.
	EXPECT_EQ(pixel(96, 53), white);
	EXPECT_EQ(pixel(115, 37), white);
	EXPECT_GT(count(black, 100, 40, 12, 11), 0);
}

TEST_F(RedrawButtons, ToggleLampOnAndOff)
{
	open_window();
	kyx_lbutton(100, 109, "Lamp", nullptr);
	redraw();
	EXPECT_EQ(pixel(103, 103), 0xFFFFFFu);
	EXPECT_EQ(pixel(103, 100), 0xFFCCCCu);
	EXPECT_EQ(pixel(98, 104), dgrey);
	EXPECT_EQ(pixel(103, 99), dgrey);
	EXPECT_EQ(pixel(103, 109), white);
	EXPECT_EQ(pixel(130, 112), dgrey);  // the bevel reaches past the text
	EXPECT_EQ(pixel(140, 113), black);
	kyx_lbutton_obj.state[0] = 1;
	redraw();
	EXPECT_EQ(pixel(103, 103), 0xFF6666u);
	EXPECT_EQ(pixel(103, 108), 0xFF1111u);
}

TEST_F(RedrawLabels, BorderStyles)
{
	open_window();
	kyx_label("Hello", 50, 40, 2);
	kyx_label("Hello", 50, 80, 3);
	redraw();
	// Sunken: black top and left, white bottom and right (x = 34 in a 35-wide window).
	EXPECT_EQ(pixel(53, 29), black);
	EXPECT_EQ(pixel(48, 34), black);
	EXPECT_EQ(pixel(53, 41), white);
	EXPECT_EQ(pixel(82, 34), white);
	// Raised: the other way round.
	EXPECT_EQ(pixel(53, 69), white);
	EXPECT_EQ(pixel(82, 74), black);
	EXPECT_TRUE(mapped(wlabel[0]));
}

TEST_F(RedrawShapes, SeparatorsAndFrames)
{
	open_window();
	kyx_hseparator(10, 100, 50);
	kyx_vseparator(200, 10, 50);
	kyx_frame(300, 20, 380, 80, "F");
	redraw();
	EXPECT_EQ(pixel(60, 100), black);
	EXPECT_EQ(pixel(60, 101), white);
	EXPECT_EQ(pixel(200, 60), black);
	EXPECT_EQ(pixel(201, 60), white);
	EXPECT_EQ(pixel(340, 20), black);
	EXPECT_EQ(pixel(340, 21), white);
	EXPECT_EQ(pixel(340, 80), black);
	EXPECT_EQ(pixel(300, 50), black);
	EXPECT_EQ(pixel(301, 50), white);
	EXPECT_EQ(pixel(380, 50), black);
}

TEST_F(RedrawShapes, PieQuarters)
{
	open_window();
	kyx_pie(200, 100, 60, 25);
	kyx_pie(50, 100, 60, 0);
	kyx_pie(50, 200, 60, 100);
	redraw();
	EXPECT_EQ(pixel(240, 110), white);   // from three o'clock up to twelve
	EXPECT_EQ(pixel(220, 120), dgrey);
	EXPECT_EQ(pixel(220, 140), dgrey);
	EXPECT_EQ(pixel(90, 110), dgrey);
	EXPECT_EQ(pixel(70, 240), white);
	EXPECT_GT(count(black, 240, 118, 20, 14), 0);  // "25%"
}

TEST_F(RedrawEntries, FieldFocusAndStars)
{
	open_window();
	int pw = kyx_textentry(20, 200, 100, 1);
	int plain = kyx_textentry(20, 240, 100, 0);
	kyx_settextentry(pw, "abc");
	kyx_settextentry(plain, "***");
	redraw();
	EXPECT_EQ(pixel(50, 199), dgrey);
	EXPECT_EQ(pixel(50, 200), black);
	EXPECT_EQ(pixel(20, 210), black);
	EXPECT_EQ(pixel(122, 205), white);
	EXPECT_EQ(pixel(50, 216), white);
	int stars = count(black, 21, 201, 99, 14);
	EXPECT_GT(stars, 0);
	EXPECT_EQ(stars, count(black, 21, 241, 99, 14));
	click(50, 205);
	EXPECT_EQ(pixel(110, 205), yellow);
	redraw();
	EXPECT_EQ(pixel(110, 205), white);
	EXPECT_EQ(kyx_textentry_obj.focus[pw], 1);
}

TEST_F(RedrawEntries, CheckBoxAndTick)
{
	open_window();
	int c = kyx_chkbutton(300, 200, "Tick");
	redraw();
	EXPECT_EQ(pixel(300, 200), dgrey);
	EXPECT_EQ(pixel(301, 205), black);
	EXPECT_EQ(pixel(313, 205), white);
	EXPECT_EQ(pixel(303, 205), white);
	kyx_chkbutton_obj.state[c] = 1;
	redraw();
	EXPECT_EQ(pixel(303, 205), black);
	EXPECT_EQ(pixel(311, 202), black);
}

TEST_F(RedrawLists, SelectedRowBelowTheFifthKeepsItsHighlight)
{
	open_window();
	char items[12][kyx_item_size] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k",
		"l"};
	int l = kyx_selectlist(20, 20, 12, items, 3, 10);
	click(60, 85);
	EXPECT_EQ(kyx_selectlist_obj.state[l], 6);
	EXPECT_EQ(pixel(95, 85), yellow);
	redraw();
	EXPECT_EQ(pixel(95, 85), yellow);
	EXPECT_EQ(pixel(95, 75), white);
	EXPECT_EQ(pixel(50, 19), black);
	EXPECT_EQ(pixel(50, 120), white);
	EXPECT_EQ(pixel(111, 60), black);
	EXPECT_EQ(pixel(106, 24), black);  // tip of the up arrow
	EXPECT_EQ(pixel(106, 115), black);  // tip of the down arrow
}

TEST_F(RedrawPictures, ImagesAndImageButtons)
{
	open_window();
	kyx_image(200, 250, xpm("blue.xpm", 10, 10, "#0000FF").c_str());
	int b = kyx_imagebutton(250, 250, xpm("green.xpm", 20, 20, "#00FF00").c_str(), nullptr);
	redraw();
	EXPECT_EQ(pixel(205, 255), 0x0000FFu);
	EXPECT_EQ(pixel(260, 260), 0x00FF00u);
	EXPECT_EQ(pixel(260, 250), white);
	EXPECT_EQ(pixel(250, 260), white);
	EXPECT_EQ(pixel(260, 269), black);
	EXPECT_EQ(pixel(269, 260), black);
	EXPECT_TRUE(mapped(xpm_imagebutton[b]));
}

TEST_F(RedrawPictures, TiledBackgroundStopsAt1024By860)
{
	open_window(1200, 900);
	kyx_setwindowbg(xpm("red.xpm", 8, 8, "#FF0000").c_str(), 1);
	redraw();
	EXPECT_EQ(pixel(500, 500), 0xFF0000u);
	EXPECT_EQ(pixel(1023, 859), 0xFF0000u);
	EXPECT_EQ(pixel(1100, 100), grey);
	EXPECT_EQ(pixel(100, 880), grey);
}

TEST_F(RedrawPictures, UntiledBackgroundsKeepTheirOwnSize)
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

TEST_F(RedrawMenus, BarsTitlesAndPulldownFrames)
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
