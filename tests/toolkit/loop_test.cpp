// kyx_main end to end, driven by real pointer and key events from the XTest extension.
#include "kyx_fixture.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
uint32_t face_seen;
void close_window()
{
	face_seen = KyxTest::pixel(96, 45);
	kyx_closewindow();
}

void press_at(Window w, int x, int y)
{
	int rx = 0;
	int ry = 0;
	Window child = 0;
	XTranslateCoordinates(display, w, DefaultRootWindow(display), x, y, &rx, &ry, &child);
	XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
	XTestFakeButtonEvent(display, 1, True, CurrentTime);
	XTestFakeButtonEvent(display, 1, False, CurrentTime);
	XFlush(display);
}

void press_key(KeySym sym)
{
	KeyCode code = XKeysymToKeycode(display, sym);
	XTestFakeKeyEvent(display, code, True, CurrentTime);
	XTestFakeKeyEvent(display, code, False, CurrentTime);
	XFlush(display);
}
}

using EventLoop = KyxTest;

TEST_F(EventLoop, ImageButtonClickEndsTheLoopAfterTheFirstRedraw)
{
	open_window();
	kyx_button(100, 50, "OK", nullptr);
	int b = kyx_imagebutton(200, 200, xpm("close.xpm", 24, 24, "#FF0000").c_str(), close_window);
	// Map the image button without painting, so that the loop's own first redraw paints.
	kyx_redraw();
	XClearWindow(display, window2);
	XSync(display, False);
	press_at(window2, 10, 10);  // a click on nothing comes first and changes nothing
	press_at(xpm_imagebutton[b], 5, 5);
	kyx_main();
	EXPECT_EQ(kyx_window_status, 0);
	EXPECT_EQ(face_seen, white);
	EXPECT_TRUE(mapped(xpm_imagebutton[b]));
}

TEST_F(EventLoop, TypingGoesThroughTheKeyboardMapOfTheServer)
{
	open_window();
	int e = kyx_textentry(20, 100, 100, 0);
	kyx_button(200, 50, "Done", [] { kyx_closewindow(); });
	XSync(display, False);
	press_at(window2, 30, 105);
	for (KeySym k : {XK_h, XK_Left, XK_Up, XK_Right, XK_Down, XK_Alt_R, XK_Control_R, XK_i})
		press_key(k);
	press_at(window2, 205, 45);
	kyx_main();
	EXPECT_STREQ(numberstring[e].data(), "hi");
	EXPECT_EQ(place[e], 12);
}

TEST_F(EventLoop, UnreadableWindowAttributesEndTheLoop)
{
	open_window();
	XEvent ev{};
	ev.type = Expose;
	ev.xexpose.window = window2;
	XDestroyWindow(display, window2);
	XPutBackEvent(display, &ev);
	kyx_main();
	XSync(display, False);
	EXPECT_EQ(kyx_window_status, 1);
	EXPECT_EQ(kyx_x_last_error(), BadWindow);
	allowed_errors = kyx_x_error_count();
	EXPECT_GE(allowed_errors, 1);
}

TEST(Connection, NoDisplayPrintsItsNameAndExits)
{
	std::string out = ::testing::TempDir() + "kyx_no_display.txt";
	EXPECT_EXIT(
		{
			std::freopen(out.c_str(), "w", stdout);
			setenv("DISPLAY", ":977", 1);
			x_open();
		},
		::testing::ExitedWithCode(1), "");
	std::ifstream f(out);
	std::stringstream text;
	text << f.rdbuf();
	EXPECT_EQ(text.str(), "Can't open :977 \n");
}
