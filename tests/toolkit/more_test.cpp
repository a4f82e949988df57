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

namespace {

// The one text of a text property, converted to UTF-8, the property freed; "(none)" when it
// does not convert to one text.
std::string converted(XTextProperty &p)
{
	char **list = nullptr;
	int n = 0;
	std::string text = "(none)";
	if (Xutf8TextPropertyToTextList(display, &p, &list, &n) == Success && n == 1)
		text = list[0];
	if (list)
		XFreeStringList(list);
	XFree(p.value);
	return text;
}

// The UTF8_STRING property of the window; "(none)" when it has none.
std::string utf8_property(const char *property)
{
	Atom type;
	int format;
	unsigned long items, after;
	unsigned char *value = nullptr;
	if (XGetWindowProperty(display, window2, XInternAtom(display, property, False), 0, 64, False,
			       XInternAtom(display, "UTF8_STRING", False), &type, &format, &items, &after,
			       &value) != Success || !value)
		return "(none)";
	std::string text(reinterpret_cast<char *>(value), items);
	XFree(value);
	return text;
}

} // namespace

// WM_NAME is STRING (Latin-1) where the title fits it and COMPOUND_TEXT where it does not;
// either way a reader that converts it gets the title back, and _NET_WM_NAME holds the UTF-8;
// the icon name the same.
TEST_F(Changes, TitleInEveryFormWindowManagersRead)
{
	open_window();
	struct {
		const char *title;
		const char *encoding;
	} cases[] = {
		{"Family tree: John Smith", "STRING"},
		{"Family tree: Hl\xC3\xB6\xC3\xB0vir", "STRING"},
		{"Family tree: \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "COMPOUND_TEXT"},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.title);
		kyx_settitle(c.title);
		XTextProperty p{};
		ASSERT_TRUE(XGetWMName(display, window2, &p));
		char *encoding = XGetAtomName(display, p.encoding);
		EXPECT_STREQ(encoding, c.encoding);
		XFree(encoding);
		EXPECT_EQ(converted(p), c.title);
		ASSERT_TRUE(XGetWMIconName(display, window2, &p));
		EXPECT_EQ(converted(p), c.title);
		for (const char *property : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"}) {
			SCOPED_TRACE(property);
			EXPECT_EQ(utf8_property(property), c.title);
		}
	}
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
