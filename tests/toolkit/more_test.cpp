// Widgets changed after their creation: new texts and places, the title, a repaint on request.
#include "kyx_fixture.h"

#include <X11/Xatom.h>

using Changes = KyxTest;

TEST_F(Changes, MovedButtonIsDrawnAndHitOnlyAtItsNewPlace)
{
	open_window();
	int b = kyx_button(20, 40, "Old", run_a);
	kyx_setbuttontext(b, "Longer");
	kyx_movebutton(b, 100, 80);
	kyx_repaint();
	XSync(display, False);
	EXPECT_EQ(pixel(15, 44), grey);          // the old outline is gone
	EXPECT_EQ(pixel(95, 84), black);         // outer corner: x - 5, y + 4
	EXPECT_EQ(pixel(100 + 36 + 4, 84), black);  // six characters wide
	ran.clear();
	click(22, 38);
	EXPECT_TRUE(ran.empty());
	click(102, 78);
	EXPECT_EQ(ran, std::vector<std::string>{"a"});
	kyx_movebutton(b, -10000, -10000);
	click(0, 0);
	EXPECT_EQ(ran.size(), 1u);
}

TEST_F(Changes, LabelWindowFollowsItsTextAndPlace)
{
	open_window();
	int l = kyx_label("ab", 10, 20, 1);
	kyx_setlabeltext(l, "abcdef");
	kyx_movelabel(l, 50, 60);
	XSync(display, False);
	XWindowAttributes a{};
	ASSERT_TRUE(XGetWindowAttributes(display, wlabel[l], &a));
	EXPECT_EQ(a.x, 48);
	EXPECT_EQ(a.y, 49);
	EXPECT_EQ(a.width, 41);
	EXPECT_STREQ(global_label_text[l].data(), "abcdef");
}

TEST_F(Changes, FrameMovesAndRepaintDrawsWithoutExposure)
{
	open_window();
	kyx_frame(10, 10, 60, 60, "");
	kyx_moveframe(0, 100, 120, 200, 220);
	kyx_repaint();
	XSync(display, False);
	EXPECT_EQ(pixel(150, 120), black);
	EXPECT_EQ(pixel(150, 121), white);
	EXPECT_EQ(pixel(200, 150), black);
	EXPECT_EQ(pixel(35, 10), grey);
}

TEST_F(Changes, TitleInLatin1AndUtf8)
{
	open_window();
	kyx_settitle("Fam\xC3\xADlia");
	char *name = nullptr;
	ASSERT_TRUE(XFetchName(display, window2, &name));
	EXPECT_STREQ(name, "Fam\xC3\xADlia");
	XFree(name);
	Atom type;
	int format;
	unsigned long n, after;
	unsigned char *value = nullptr;
	ASSERT_EQ(XGetWindowProperty(display, window2, XInternAtom(display, "_NET_WM_NAME", False), 0, 64,
		False, XInternAtom(display, "UTF8_STRING", False), &type, &format, &n, &after, &value), Success);
	EXPECT_EQ(std::string(reinterpret_cast<char *>(value), n), "Fam\xC3\xADlia");
	XFree(value);
}

TEST_F(Changes, HandlesOutsideTheTablesChangeNothing)
{
	open_window();
	int b = kyx_button(20, 40, "B", run_a);
	for (int h : {-1, b + 1, static_cast<int>(kyx_capacity)}) {
		kyx_setbuttontext(h, "x");
		kyx_movebutton(h, 1, 1);
		kyx_setlabeltext(h, "x");
		kyx_movelabel(h, 1, 1);
		kyx_moveframe(h, 1, 1, 2, 2);
	}
	EXPECT_STREQ(global_button_text[b].data(), "B");
	EXPECT_EQ(global_button_x[b], 20);
	EXPECT_EQ(global_label_num, 0);
}

TEST_F(Changes, LabelTakesAnotherLabelsBackground)
{
	open_window();
	int a = kyx_label("aaaa", 20, 20, 0);
	int b = kyx_label("bbbb", 20, 60, 0);
	int c = kyx_label("cccc", 20, 100, 0);
	kyx_setlabelbg(xpm("red.xpm", 8, 8, "#FF0000").c_str(), 1, a);
	kyx_copylabelbg(b, a);
	kyx_copylabelbg(c, b + 1);   // c has no background to give
	redraw();
	EXPECT_EQ(pixel(1, 1, wlabel[b]), 0xFF0000u);
	EXPECT_EQ(pixel(1, 1, wlabel[c]), grey);
	EXPECT_EQ(backgroundlabel_pixmap[c], 0);
}
