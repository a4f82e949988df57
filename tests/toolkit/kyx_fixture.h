// Test fixture for toolkit tests on a live X server: opens the connection, builds events by
// hand, reads pixels back and writes small XPM pictures.
#ifndef KYX_FIXTURE_H
#define KYX_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include <unistd.h>

#include <X11/Xutil.h>

#include "kyx.h"
#include "kyx_internal.h"
#include "x_server.h"

using namespace kyx;

// Callbacks for the tests record the order in which they ran.
inline std::vector<std::string> ran;
inline void run_a()
{
	ran.push_back("a");
}
inline void run_b()
{
	ran.push_back("b");
}

class KyxTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		if (!std::getenv("DISPLAY"))
			FAIL() << "run the tests through scripts/test";
		keeper = wait_for_x_server();
		ASSERT_NE(keeper, nullptr) << "the X server did not come back";
		x_open();
		dir = ::testing::TempDir() + "kyx_" + std::to_string(getpid()) + "_";
	}

	void TearDown() override
	{
		if (display) {
			XSync(display, False);
			EXPECT_EQ(kyx_x_error_count(), allowed_errors) << "X protocol errors, last code "
							  << kyx_x_last_error();
		}
		x_close();
		if (keeper)
			XCloseDisplay(keeper);
	}

	// A window that fits on the 1280 x 1024 screen, so every pixel can be read back.
	void open_window(int w = 400, int h = 300)
	{
		kyx_window("kyx test", w, h);
		XSync(display, False);
	}

	void redraw()
	{
		XExposeEvent ev{};
		ev.type = Expose;
		ev.window = window2;
		ASSERT_TRUE(handle_expose(&ev));
		XSync(display, False);
	}

public:
	static uint32_t pixel(int x, int y, Window w = 0)
	{
		XImage *img = XGetImage(display, w ? w : window2, x, y, 1, 1, AllPlanes, ZPixmap);
		if (!img)
			return 0xDEADBEEF;
		uint32_t p = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
		XDestroyImage(img);
		return p;
	}

	struct point_colour {
		int x, y;
		uint32_t colour;
	};

	// Each point of the main window in its colour, a failure naming the point.
	static void expect_pixels(std::initializer_list<point_colour> points)
	{
		for (const point_colour &p : points)
			EXPECT_EQ(pixel(p.x, p.y), p.colour) << "at (" << p.x << ", " << p.y << ")";
	}

protected:
	// Pixels of one colour in a rectangle: enough to tell drawn text from none.
	static int count(uint32_t colour, int x, int y, int w, int h)
	{
		XImage *img = XGetImage(display, window2, x, y, static_cast<unsigned>(w),
			static_cast<unsigned>(h), AllPlanes, ZPixmap);
		int n = 0;
		for (int j = 0; img && j < h; ++j)
			for (int i = 0; i < w; ++i)
				n += (XGetPixel(img, i, j) & 0xFFFFFF) == colour;
		if (img)
			XDestroyImage(img);
		return n;
	}

	// An event of the pointer at (x, y) in w, the main window when w is 0.
	template <typename Event>
	static Event pointer_event(int type, int x, int y, Window w)
	{
		Event ev{};
		ev.type = type;
		ev.display = display;
		ev.window = w ? w : window2;
		ev.x = x;
		ev.y = y;
		return ev;
	}

	static void click(int x, int y, Window w = 0)
	{
		XButtonEvent ev = pointer_event<XButtonEvent>(ButtonPress, x, y, w);
		ev.button = Button1;
		handle_buttonpress(&ev);
		XSync(display, False);
	}

	static void move(int x, int y, Window w = 0)
	{
		XMotionEvent ev = pointer_event<XMotionEvent>(MotionNotify, x, y, w);
		handle_motion(&ev);
		XSync(display, False);
	}

	static void key(KeySym sym, unsigned state = 0)
	{
		XKeyEvent ev{};
		ev.type = KeyPress;
		ev.display = display;
		ev.window = window2;
		ev.keycode = XKeysymToKeycode(display, sym);
		ev.state = state;
		handle_keypress(&ev);
		XSync(display, False);
	}

	static void type(const char *s)
	{
		for (; *s; ++s)
			key(static_cast<KeySym>(static_cast<unsigned char>(*s)));
	}

	static bool mapped(Window w)
	{
		XWindowAttributes a{};
		XGetWindowAttributes(display, w, &a);
		return a.map_state != IsUnmapped;
	}

	// A solid picture of one colour.
	std::string xpm(const char *name, int w, int h, const char *colour)
	{
		std::string path = dir + name;
		FILE *f = std::fopen(path.c_str(), "w");
		EXPECT_NE(f, nullptr);
		std::fprintf(f, "/* XPM */\nstatic char *p[] = {\n\"%d %d 1 1\",\n\". c %s\",\n", w,
			h, colour);
		for (int j = 0; j < h; ++j)
			std::fprintf(f, "\"%s\"%s\n", std::string(static_cast<std::size_t>(w), '.').c_str(),
				j + 1 < h ? "," : "};");
		std::fclose(f);
		return path;
	}

	std::string dir;
	int allowed_errors = 0;
	Display *keeper = nullptr;
};

#endif
