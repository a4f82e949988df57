// Modal dialogs: layout from font metrics, redraw pixels, close tests and results, driven event by event.
#include <gtest/gtest.h>

#include "kyx.h"
#include "kyx_dialogs_internal.h"
#include "kyx_fixture.h"

#include <X11/extensions/XTest.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace kyx;

namespace {

// "fixed" on the test server is the 6 x 13 cell font: ascent 11, descent 2.
class Dialogs : public KyxTest {
protected:
	// The error count lives as long as the process; start from whatever earlier cases left.
	void SetUp() override
	{
		KyxTest::SetUp();
		allowed_errors = kyx_x_error_count();
	}

	std::string write_file(const char *name, const std::string &content)
	{
		std::string path = dir + name;
		std::FILE *f = std::fopen(path.c_str(), "w");
		EXPECT_NE(f, nullptr);
		if (f) {
			std::fputs(content.c_str(), f);
			EXPECT_EQ(std::fclose(f), 0);
		}
		return path;
	}

	// For the cases that destroy a dialog's window on purpose to make its attribute read fail.
	void expect_errors()
	{
		XSync(display, False);
		EXPECT_GT(kyx_x_error_count(), allowed_errors);
		allowed_errors = kyx_x_error_count();
	}
};

XEvent expose_event(Window w)
{
	XEvent e{};
	e.type = Expose;
	e.xexpose.window = w;
	e.xexpose.count = 0;
	return e;
}

XEvent button_event(Window w, int x, int y)
{
	XEvent e{};
	e.type = ButtonPress;
	e.xbutton.window = w;
	e.xbutton.x = x;
	e.xbutton.y = y;
	e.xbutton.button = Button3;
	return e;
}

XEvent key_event(Window w, int keycode)
{
	XEvent e{};
	e.type = KeyPress;
	e.xkey.window = w;
	e.xkey.keycode = static_cast<unsigned>(keycode);
	return e;
}

// Waits until the server has mapped the window, then redraws it through the dialog's own handler.
template <typename State>
void redraw_dialog(State &s, dialog_outcome (*on_event)(State &, const XEvent &))
{
	XSync(display, False);
	dialog_outcome o = on_event(s, expose_event(s.frame.win));
	ASSERT_FALSE(o.done);
	XSync(display, False);
}

int count_pixels(Window w, int x, int y, int width, int height, unsigned long colour)
{
	XImage *img = XGetImage(display, w, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
				AllPlanes, ZPixmap);
	if (!img)
		return -1;
	int n = 0;
	for (int j = 0; j < height; ++j)
		for (int i = 0; i < width; ++i)
			n += (XGetPixel(img, i, j) & 0xFFFFFF) == colour;
	XDestroyImage(img);
	return n;
}

kyx_point window_origin(Window w)
{
	Window root;
	int x, y;
	unsigned width, height, border, depth;
	XGetGeometry(display, w, &root, &x, &y, &width, &height, &border, &depth);
	return {x, y};
}

kyx_point window_size(Window w)
{
	XWindowAttributes a;
	XGetWindowAttributes(display, w, &a);
	return {a.width, a.height};
}

// Runs body in a child process with stdout captured; returns the output and the exit status.
template <typename Body>
std::pair<std::string, int> run_child(Body body)
{
	std::fflush(stdout);
	int fds[2];
	if (pipe(fds) != 0)
		return {"", -1};
	pid_t pid = fork();
	if (pid == 0) {
		close(fds[0]);
		dup2(fds[1], 1);
		body();
		std::fflush(stdout);
		_exit(0);
	}
	close(fds[1]);
	std::string out;
	std::array<char, 256> buf;
	ssize_t n;
	while ((n = read(fds[0], buf.data(), buf.size())) > 0)
		out.append(buf.data(), static_cast<std::size_t>(n));
	close(fds[0]);
	int status = 0;
	waitpid(pid, &status, 0);
	return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// From a second connection, as a user would: wait for the titled window to show, then act on it.
template <typename Act>
pid_t user_in_child(const char *title, Act act)
{
	pid_t pid = fork();
	if (pid != 0)
		return pid;
	Display *d = XOpenDisplay(nullptr);
	for (int tries = 0; d && tries < 500; ++tries) {
		Window root = DefaultRootWindow(d), parent, *children = nullptr;
		unsigned n = 0;
		XQueryTree(d, root, &root, &parent, &children, &n);
		for (unsigned i = 0; i < n; ++i) {
			char *name = nullptr;
			XWindowAttributes a;
			if (XFetchName(d, children[i], &name) && name && std::strcmp(name, title) == 0 &&
			    XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) {
				XFree(name);
				usleep(100000);
				act(d, children[i]);
				XSync(d, False);
				_exit(0);
			}
			if (name)
				XFree(name);
		}
		if (children)
			XFree(children);
		usleep(20000);
	}
	_exit(1);
}

int child_status(pid_t pid)
{
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void click_at(Display *d, Window w, int x, int y)
{
	Window child;
	int rx, ry;
	XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rx, &ry, &child);
	XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, 0);
	XTestFakeButtonEvent(d, 1, True, 0);
	XTestFakeButtonEvent(d, 1, False, 0);
}

void type_keys(Display *d, Window w, std::initializer_list<unsigned> keycodes)
{
	Window child;
	int rx, ry;
	XTranslateCoordinates(d, w, DefaultRootWindow(d), 2, 2, &rx, &ry, &child);
	XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, 0);
	for (unsigned k : keycodes) {
		XTestFakeKeyEvent(d, k, True, 0);
		XTestFakeKeyEvent(d, k, False, 0);
	}
}

// Message box.

TEST(MessageBoxClose, RegionStartsInsideTheButtonAndRunsToTheEdges)
{
	// w 110, h 93: the corner of the region is (31, 55).
	EXPECT_TRUE(msgbox_closes(31, 55, 110, 93));
	EXPECT_TRUE(msgbox_closes(109, 92, 110, 93));
	EXPECT_TRUE(msgbox_closes(5000, 5000, 110, 93));
	EXPECT_FALSE(msgbox_closes(30, 80, 110, 93));
	EXPECT_FALSE(msgbox_closes(60, 54, 110, 93));
	// Margin 0: one line high, so the whole height is in the region.
	EXPECT_TRUE(msgbox_closes(31, 0, 110, 13));
}

TEST_F(Dialogs, MessageBoxSizedAndPlacedFromTheFont)
{
	msgbox_state s{};
	ASSERT_TRUE(msgbox_open(s, 1, "Hello", "Greeting", "fixed", 40));
	XSync(display, False);
	EXPECT_EQ(window, s.frame.win);
	EXPECT_EQ(window_size(s.frame.win).x, 110);
	EXPECT_EQ(window_size(s.frame.win).y, 93);
	EXPECT_EQ(window_origin(s.frame.win).x, 585);
	EXPECT_EQ(window_origin(s.frame.win).y, 515);
	XWindowAttributes a;
	XGetWindowAttributes(display, s.frame.win, &a);
	EXPECT_EQ(a.bit_gravity, CenterGravity);
	EXPECT_EQ(a.border_width, 1);
	char *name = nullptr;
	ASSERT_TRUE(XFetchName(display, s.frame.win, &name));
	EXPECT_STREQ(name, "Greeting");
	XFree(name);
	XDestroyWindow(display, s.frame.win);
	msgbox_release(s);
}

TEST_F(Dialogs, MessageBoxWithEmptyTextAndNoMarginStillGetsAWindow)
{
	msgbox_state s{};
	ASSERT_TRUE(msgbox_open(s, 1, "", "Empty", "fixed", 0));
	redraw_dialog(s, msgbox_event);
	EXPECT_EQ(window_size(s.frame.win).x, 1);
	EXPECT_EQ(window_size(s.frame.win).y, 13);
	XDestroyWindow(display, s.frame.win);
	msgbox_release(s);
}

TEST_F(Dialogs, MessageBoxCloseTestBeforeTheFirstRedrawUsesTheNewSize)
{
	for (int kind : {1, 3, 7}) {
		SCOPED_TRACE(kind);
		msgbox_state s{};
		ASSERT_TRUE(msgbox_open(s, kind, "Hello", "Before", "fixed", 40));
		Window w = s.frame.win;
		EXPECT_FALSE(msgbox_event(s, button_event(w, 30, 92)).done);
		EXPECT_FALSE(msgbox_event(s, button_event(w, 109, 54)).done);
		EXPECT_FALSE(msgbox_event(s, key_event(w, 36)).done);
		dialog_outcome o = msgbox_event(s, button_event(w, 31, 55));
		EXPECT_TRUE(o.done);
		EXPECT_EQ(o.result, 1);
		msgbox_release(s);
	}
}

TEST_F(Dialogs, MessageBoxCloseRegionFollowsTheSizeOfTheLatestRedraw)
{
	msgbox_state s{};
	ASSERT_TRUE(msgbox_open(s, 1, "Hello", "Resized", "fixed", 40));
	XResizeWindow(display, s.frame.win, 300, 200);
	redraw_dialog(s, msgbox_event);
	// Corner now (126, 162): the old corner no longer closes.
	EXPECT_FALSE(msgbox_event(s, button_event(s.frame.win, 31, 55)).done);
	EXPECT_FALSE(msgbox_event(s, button_event(s.frame.win, 125, 199)).done);
	EXPECT_TRUE(msgbox_event(s, button_event(s.frame.win, 126, 162)).done);
	msgbox_release(s);
}

TEST_F(Dialogs, MessageBoxFaceButtonAndTextPixels)
{
	msgbox_state s{};
	ASSERT_TRUE(msgbox_open(s, 2, "Hello", "Face", "fixed", 40));
	redraw_dialog(s, msgbox_event);
	Window w = s.frame.win;
	EXPECT_EQ(pixel(25, 13, w), X_YELLOW);
	EXPECT_EQ(pixel(25, 10, w), X_BLACK);   // outline
	EXPECT_EQ(pixel(19, 17, w), X_BLACK);   // left eye
	EXPECT_EQ(pixel(30, 17, w), X_BLACK);   // right eye
	EXPECT_EQ(pixel(25, 35, w), X_BLACK);   // bottom of the mouth
	EXPECT_EQ(pixel(25, 15, w), X_YELLOW);  // no upper half of the mouth
	// Button around c = 55, top at h - 40 = 53.
	EXPECT_EQ(pixel(30, 53, w), X_DGREY);
	EXPECT_EQ(pixel(55, 54, w), X_WHITE);
	EXPECT_EQ(pixel(55, 55, w), X_WHITE);
	EXPECT_EQ(pixel(31, 70, w), X_WHITE);
	EXPECT_EQ(pixel(35, 63, w), X_GREY);
	EXPECT_EQ(pixel(78, 63, w), X_DGREY);
	EXPECT_EQ(pixel(55, 82, w), X_DGREY);
	EXPECT_EQ(pixel(80, 63, w), X_GREY);
	EXPECT_GT(count_pixels(w, 49, 60, 12, 15, X_BLACK), 0);   // "OK"
	// "Hello" at x 40, baseline 51: nothing left of it, something in it.
	EXPECT_GT(count_pixels(w, 40, 41, 30, 11, X_BLACK), 0);
	EXPECT_EQ(count_pixels(w, 41, 0, 69, 9, X_BLACK), 0);
	msgbox_release(s);
}

TEST_F(Dialogs, MessageBoxKindsDrawTheirPictureOrNone)
{
	struct kind_case {
		int kind;
		bool face, button;
	};
	for (kind_case c : {kind_case{1, false, true}, kind_case{3, true, false}, kind_case{6, false, false}}) {
		SCOPED_TRACE(c.kind);
		msgbox_state s{};
		ASSERT_TRUE(msgbox_open(s, c.kind, "Hello", "Kinds", "fixed", 40));
		redraw_dialog(s, msgbox_event);
		EXPECT_EQ(pixel(25, 13, s.frame.win), c.face ? X_YELLOW : X_GREY);
		EXPECT_EQ(pixel(30, 53, s.frame.win), c.button ? X_DGREY : X_GREY);
		msgbox_release(s);
	}
}

TEST_F(Dialogs, MessageBoxSignsShowThroughTheirMasks)
{
	struct sign_case {
		int kind;
		int clear_rows;
	};
	for (sign_case c : {sign_case{4, 9}, sign_case{5, 7}}) {
		SCOPED_TRACE(c.kind);
		msgbox_state s{};
		ASSERT_TRUE(msgbox_open(s, c.kind, "Hello", "Sign", "fixed", 40));
		redraw_dialog(s, msgbox_event);
		EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 40, c.clear_rows, X_GREY), 40 * c.clear_rows);
		EXPECT_GT(40 * (40 - c.clear_rows) - count_pixels(s.frame.win, 0, c.clear_rows, 40, 40 - c.clear_rows, X_GREY),
			  200);
		EXPECT_EQ(pixel(30, 53, s.frame.win), X_DGREY);
		msgbox_release(s);
	}
}

TEST_F(Dialogs, MessageBoxReturnsZeroWhenItsWindowIsGone)
{
	msgbox_state s{};
	ASSERT_TRUE(msgbox_open(s, 1, "Hello", "Gone", "fixed", 40));
	XDestroyWindow(display, s.frame.win);
	dialog_outcome o = msgbox_event(s, expose_event(s.frame.win));
	EXPECT_TRUE(o.done);
	EXPECT_EQ(o.result, 0);
	expect_errors();
	msgbox_release(s);
}

TEST_F(Dialogs, MessageBoxDefaultFontBecomesFixedInTheCallersBuffer)
{
	XEvent e = button_event(DefaultRootWindow(display), 2000, 2000);
	XPutBackEvent(display, &e);
	char font[] = "DEFAULT";
	EXPECT_EQ(x_msgbox(1, "Hello", "Default", font, 40), 1);
	EXPECT_STREQ(font, "fixed");
}

TEST_F(Dialogs, MessageBoxClosesOnAClickOfTheOkButton)
{
	pid_t user = user_in_child("Click OK", [](Display *d, Window w) { click_at(d, w, 55, 68); });
	char font[] = "fixed";
	EXPECT_EQ(x_msgbox(2, "Hello", "Click OK", font, 40), 1);
	EXPECT_EQ(child_status(user), 0);
}

TEST_F(Dialogs, UnknownFontEndsTheProcessWithItsMessage)
{
	std::string name = DisplayString(display);
	struct font_case {
		int dialog;
		const char *font;
		std::string message;
	};
	const std::vector<font_case> cases = {
		{0, "no-such-font", "Display " + name + " doesn't know the font 'no-such-font' ::RURovu\n"},
		{0, "default", "Display " + name + " doesn't know the font 'default' ::RURovu\n"},
		{1, "no-such-font", "Display " + name + " doesn't know the font 'no-such-font'\n"},
		{2, "DEFAULT", "Display " + name + " doesn't know the font 'DEFAULT'\n"},
		{3, "DEFAULT", "Display " + name + " doesn't know the font 'DEFAULT'\n"},
	};
	for (const font_case &c : cases) {
		SCOPED_TRACE(c.message);
		auto [out, status] = run_child([&c] {
			x_open();
			alarm(10);
			std::array<char, 32> font{};
			std::snprintf(font.data(), font.size(), "%s", c.font);
			int value = 5;
			char rows[1][256] = {"row"};
			if (c.dialog == 0)
				x_msgbox(1, "text", "t", font.data(), 10);
			else if (c.dialog == 1)
				x_radiobox("a", "b", "q", "t", font.data(), 10);
			else if (c.dialog == 2)
				x_slistwindow(100, 100, "t", 1, '*', 1, rows, font.data(), "h");
			else
				x_graphwindow(100, 100, "t", 1, &value, font.data());
		});
		EXPECT_EQ(status, 1);
		EXPECT_EQ(out, c.message);
	}
}

// A server of its own whose font path holds no "fixed": started on a font folder with no font
// in it, then cleared of the built-in fonts that the server always adds behind the folder.
// The connection it keeps stops the server from resetting its path until the test ends.
class ServerWithoutFixed {
public:
	ServerWithoutFixed()
	{
		char tmpl[] = "/tmp/kyx_fontsXXXXXX";
		if (!mkdtemp(tmpl))
			return;
		fonts = tmpl;
		std::FILE *f = std::fopen((fonts + "/fonts.dir").c_str(), "w");
		if (!f || std::fputs("0\n", f) < 0 || std::fclose(f) != 0)
			return;
		int ready[2];
		if (pipe(ready) != 0)
			return;
		server = fork();
		if (server == 0) {
			prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server outlives a test that was killed
			close(ready[0]);
			int quiet = open("/dev/null", O_WRONLY);
			dup2(quiet, 1);
			dup2(quiet, 2);
			std::string fd = std::to_string(ready[1]);
			execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-fp",
			       fonts.c_str(), "-screen", "0", "640x480x24", static_cast<char *>(nullptr));
			_exit(127);
		}
		close(ready[1]);
		std::string number;
		char c;
		pollfd p{ready[0], POLLIN, 0};
		while (poll(&p, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n')
			number += c;
		close(ready[0]);
		if (number.empty())
			return;
		name = ":" + number;
		keeper = XOpenDisplay(name.c_str());
		if (!keeper)
			return;
		char *path[] = {fonts.data()};
		XSetFontPath(keeper, path, 1);
		XSync(keeper, False);
	}

	~ServerWithoutFixed()
	{
		if (keeper)
			XCloseDisplay(keeper);
		if (server > 0) {
			kill(server, SIGTERM);
			waitpid(server, nullptr, 0);
		}
		if (!fonts.empty()) {
			std::remove((fonts + "/fonts.dir").c_str());
			rmdir(fonts.c_str());
		}
	}

	bool knows_fixed() const
	{
		XFontStruct *f = XLoadQueryFont(keeper, "fixed");
		if (f)
			XFreeFont(keeper, f);
		return f != nullptr;
	}

	std::string fonts;
	std::string name;
	Display *keeper = nullptr;
	pid_t server = -1;
};

TEST(FatalFont, EveryUserOfFixedEndsTheProcessWithItsMessage)
{
	ServerWithoutFixed server;
	ASSERT_NE(server.keeper, nullptr) << "no Xvfb of its own could be started";
	ASSERT_FALSE(server.knows_fixed());
	std::string picture = server.fonts + "/fonts.dir";
	struct fatal_case {
		int call;
		const char *message;
	};
	const fatal_case cases[] = {
		{0, "Display doesn't know the font fixed\n"},
		{1, "Display doesn't know the font fixed\n"},
		{2, "Display doesn't know the font 'fixed'\n"},
		{3, "xcord , ycord 4 , 9 \nDisplay doesn't know the font 'fixed'\n"},
	};
	for (const fatal_case &c : cases) {
		SCOPED_TRACE(c.message);
		auto [out, status] = run_child([&] {
			setenv("DISPLAY", server.name.c_str(), 1);
			x_open();
			alarm(10);
			if (c.call == 0)
				kyx_window("t", 100, 100);
			else if (c.call == 1)
				x_calbox("t");
			else if (c.call == 2)
				x_imgbox(picture.c_str(), "t");
			else
				x_imgkeybox(picture.c_str(), "t", 1, 4, 9);
		});
		EXPECT_EQ(status, 1);
		EXPECT_EQ(out, c.message);
	}
}

// Blank box.

TEST_F(Dialogs, BlankBoxIsFourHundredFiftySquareAndClosesOnKeyOrButton)
{
	for (int type : {KeyPress, ButtonPress}) {
		dialog_frame f{};
		ASSERT_TRUE(calbox_open(f, "Blank"));
		XSync(display, False);
		EXPECT_EQ(window_size(f.win).x, 450);
		EXPECT_EQ(window_size(f.win).y, 450);
		EXPECT_EQ(window_origin(f.win).x, 415);
		EXPECT_EQ(window_origin(f.win).y, 337);
		EXPECT_FALSE(calbox_event(f, expose_event(f.win)).done);
		XEvent e = type == KeyPress ? key_event(f.win, 38) : button_event(f.win, 1, 1);
		EXPECT_TRUE(calbox_event(f, e).done);
		XFreeFont(display, f.font);
	}
}

TEST_F(Dialogs, BlankBoxTakesAKeyPressedInAnotherWindow)
{
	XEvent e = key_event(DefaultRootWindow(display), 24);
	XPutBackEvent(display, &e);
	EXPECT_EQ(x_calbox("Blank"), 0);
}

// Radio box.

TEST(RadioBands, EachBandIsElevenPixelsAndTheRestIgnored)
{
	const int y = 51;
	struct band_case {
		int ey, choice;
	};
	for (band_case c : {band_case{61, 1}, {71, 1}, {81, 2}, {91, 2}, {60, 0}, {72, 0}, {80, 0}, {92, 0},
			    {55, 0}, {75, 0}}) {
		SCOPED_TRACE(c.ey);
		EXPECT_EQ(radio_choice(c.ey, y), c.choice);
	}
}

TEST_F(Dialogs, RadioBoxChoosesByBandWhateverTheX)
{
	struct press_case {
		int x, y, result;
	};
	// Margin 40: baseline 51.
	for (press_case c : {press_case{0, 61, 1}, {181, 71, 1}, {90, 81, 2}, {5000, 91, 2}}) {
		SCOPED_TRACE(c.y);
		radio_state s{};
		ASSERT_TRUE(radio_open(s, "Yes", "Certainly", "Pick one of these", "Radio", "fixed", 40));
		redraw_dialog(s, radio_event);
		EXPECT_EQ(s.baseline, 51);
		Window w = s.frame.win;
		EXPECT_FALSE(radio_event(s, button_event(w, c.x, 55)).done);
		EXPECT_FALSE(radio_event(s, button_event(w, c.x, 75)).done);
		EXPECT_FALSE(radio_event(s, key_event(w, 36)).done);
		dialog_outcome o = radio_event(s, button_event(w, c.x, c.y));
		EXPECT_TRUE(o.done);
		EXPECT_EQ(o.result, c.result);
		EXPECT_EQ(X11return, c.result);
		radio_release(s);
	}
}

TEST_F(Dialogs, RadioBoxMarksAndLabelsLineUp)
{
	radio_state s{};
	ASSERT_TRUE(radio_open(s, "Yes", "Certainly", "Pick one of these", "Radio", "fixed", 40));
	redraw_dialog(s, radio_event);
	Window w = s.frame.win;
	EXPECT_EQ(window_size(w).x, 182);
	EXPECT_EQ(window_size(w).y, 93);
	// Column 64: marks' boxes begin at 43, one at y 55, the other at y 75.
	EXPECT_EQ(pixel(45, 58, w), X_DGREY);   // rim at the top left
	EXPECT_EQ(pixel(51, 63, w), X_WHITE);
	EXPECT_EQ(pixel(57, 67, w), X_WHITE);   // no rim at the bottom right
	EXPECT_EQ(pixel(42, 62, w), X_GREY);
	EXPECT_EQ(pixel(45, 78, w), X_DGREY);
	EXPECT_EQ(pixel(51, 83, w), X_WHITE);
	EXPECT_EQ(pixel(57, 87, w), X_WHITE);
	// Both labels begin at x 64 and nothing of them lies left of it.
	EXPECT_EQ(count_pixels(w, 60, 60, 4, 33, X_BLACK), 0);
	EXPECT_GT(count_pixels(w, 64, 60, 6, 13, X_BLACK), 0);
	EXPECT_GT(count_pixels(w, 64, 80, 6, 13, X_BLACK), 0);
	// The question, centred: 17 characters from x 40.
	EXPECT_GT(count_pixels(w, 40, 40, 102, 13, X_BLACK), 0);
	EXPECT_EQ(count_pixels(w, 0, 40, 40, 13, X_BLACK), 0);
	radio_release(s);
}

TEST_F(Dialogs, RadioBoxFailedAttributeReadReturnsTheLastAnswer)
{
	for (int previous : {0, 2}) {
		SCOPED_TRACE(previous);
		X11return = previous;
		radio_state s{};
		ASSERT_TRUE(radio_open(s, "a", "b", "Question", "Radio", "fixed", 40));
		XDestroyWindow(display, s.frame.win);
		dialog_outcome o = radio_event(s, expose_event(s.frame.win));
		EXPECT_TRUE(o.done);
		EXPECT_EQ(o.result, previous);
		expect_errors();
		radio_release(s);
	}
}

TEST_F(Dialogs, RadioBoxLoopLeavesEachAnswerInX11return)
{
	char font[] = "DEFAULT";
	XEvent second = button_event(DefaultRootWindow(display), 0, 91);
	XPutBackEvent(display, &second);
	EXPECT_EQ(x_radiobox("a", "b", "Question", "Radio", font, 40), 2);
	EXPECT_STREQ(font, "fixed");
	XEvent first = button_event(DefaultRootWindow(display), 0, 61);
	XPutBackEvent(display, &first);
	EXPECT_EQ(x_radiobox("a", "b", "Question", "Radio", font, 40), 1);
	EXPECT_EQ(X11return, 1);
}

// List window.

TEST(ListBands, StyleMarkerAndParityPickTheBand)
{
	struct band_case {
		int style;
		char first;
		int index;
		list_band band;
	};
	const band_case cases[] = {
		{1, 'a', 0, list_band::light_green}, {1, 'a', 1, list_band::pale_green},
		{1, '*', 1, list_band::yellow},      {1, '*', 0, list_band::yellow},
		{2, 'a', 0, list_band::white},       {2, 'a', 1, list_band::none},
		{2, '*', 1, list_band::yellow},      {0, '*', 0, list_band::none},
		{3, 'a', 0, list_band::none},
	};
	for (const band_case &c : cases) {
		SCOPED_TRACE(testing::Message() << c.style << c.first << c.index);
		EXPECT_EQ(list_row_band(c.style, '*', c.first, c.index), c.band);
	}
	EXPECT_EQ(list_row_band(1, '\0', '\0', 0), list_band::yellow);
}

TEST_F(Dialogs, ListWindowPaintsBandsPerStyle)
{
	char rows[3][256] = {"alpha", "*beta", "gamma"};
	char plain[3][256] = {"alpha", "beta", "gamma"};
	const unsigned long grey = X_GREY;
	struct style_case {
		int style;
		char (*rows)[256];
		std::array<unsigned long, 3> band;
	};
	const style_case cases[] = {
		{1, rows, {X_LGREEN, X_YELLOW, X_LGREEN}},
		{1, plain, {X_LGREEN, X_LLGREEN, X_LGREEN}},
		{2, rows, {X_WHITE, X_YELLOW, X_WHITE}},
		{2, plain, {X_WHITE, grey, X_WHITE}},
		{0, rows, {grey, grey, grey}},
		{3, rows, {grey, grey, grey}},
	};
	for (const style_case &c : cases) {
		SCOPED_TRACE(testing::Message() << c.style << c.rows[1]);
		list_state s{};
		ASSERT_TRUE(list_open(s, 200, 100, "List", c.style, '*', 3, c.rows, "fixed", "Heading"));
		redraw_dialog(s, list_event);
		Window w = s.frame.win;
		for (int i = 0; i < 3; ++i) {
			EXPECT_EQ(pixel(0, 18 + 14 * i, w), c.band[i]);      // top row of the band
			EXPECT_EQ(pixel(193, 31 + 14 * i - (i == 2), w), c.band[i]);
		}
		EXPECT_EQ(pixel(195, 30, w), X_GREY);
		EXPECT_EQ(pixel(194, 20, w), X_WHITE);   // right frame over the band
		EXPECT_EQ(pixel(100, 59, w), X_WHITE);   // bottom frame over the last band
		EXPECT_EQ(pixel(100, 60, w), X_GREY);
		EXPECT_EQ(pixel(100, 12, w), X_BLACK);
		EXPECT_GT(count_pixels(w, 5, 19, 30, 13, X_BLACK), 0);   // first row's text
		list_release(s);
	}
}

TEST_F(Dialogs, ListWindowWithoutRowsShowsHeadingLineAndCorner)
{
	list_state s{};
	ASSERT_TRUE(list_open(s, 200, 100, "List", 1, '*', 0, nullptr, "fixed", "Heading"));
	redraw_dialog(s, list_event);
	Window w = s.frame.win;
	EXPECT_GT(count_pixels(w, 5, 0, 42, 12, X_BLACK), 0);
	EXPECT_EQ(pixel(1, 12, w), X_BLACK);
	EXPECT_EQ(pixel(194, 12, w), X_WHITE);
	EXPECT_EQ(pixel(194, 17, w), X_WHITE);
	EXPECT_EQ(pixel(1, 17, w), X_WHITE);
	EXPECT_EQ(pixel(194, 18, w), X_GREY);
	EXPECT_EQ(pixel(100, 18, w), X_GREY);
	list_release(s);
}

TEST_F(Dialogs, ListWindowLayoutIgnoresTheWindowSize)
{
	char rows[1][256] = {"alpha"};
	list_state s{};
	ASSERT_TRUE(list_open(s, 200, 100, "List", 2, '*', 1, rows, "fixed", "Heading"));
	XWindowAttributes a;
	XGetWindowAttributes(display, s.frame.win, &a);
	EXPECT_EQ(a.bit_gravity, ForgetGravity);
	XResizeWindow(display, s.frame.win, 300, 120);
	redraw_dialog(s, list_event);
	EXPECT_EQ(pixel(193, 20, s.frame.win), X_WHITE);
	EXPECT_EQ(pixel(250, 20, s.frame.win), X_GREY);
	dialog_outcome o = list_event(s, key_event(s.frame.win, 9));
	EXPECT_TRUE(o.done);
	EXPECT_EQ(o.result, 1);
	list_release(s);
}

// Bar chart.

TEST_F(Dialogs, BarChartDrawsSixPixelBarsFromXOne)
{
	const int values[] = {50, 1, 0, -5, 65537};
	graph_state s{};
	ASSERT_TRUE(graph_open(s, 200, 120, "Bars", 5, values, "fixed"));
	redraw_dialog(s, graph_event);
	Window w = s.frame.win;
	EXPECT_EQ(pixel(30, 10, w), X_BLACK);
	for (int y = 11; y <= 14; ++y)
		EXPECT_EQ(pixel(30, y, w), X_BLUE);
	EXPECT_EQ(pixel(30, 15, w), X_BLACK);
	EXPECT_EQ(pixel(30, 16, w), X_GREY);
	EXPECT_EQ(pixel(50, 12, w), X_BLUE);
	EXPECT_EQ(pixel(51, 12, w), X_GREY);
	EXPECT_EQ(pixel(0, 12, w), X_GREY);
	EXPECT_GT(count_pixels(w, 5, 0, 18, 10, X_BLACK), 0);   // "$50" above the bar
	// 1: the single column x = 1.
	EXPECT_EQ(pixel(1, 32, w), X_BLUE);
	EXPECT_EQ(pixel(2, 32, w), X_GREY);
	EXPECT_EQ(pixel(0, 32, w), X_GREY);
	// 0: columns 0 and 1.
	EXPECT_EQ(pixel(0, 52, w), X_BLUE);
	EXPECT_EQ(pixel(1, 52, w), X_BLUE);
	EXPECT_EQ(pixel(2, 52, w), X_GREY);
	// Negative: leftwards out of the window.
	EXPECT_EQ(pixel(0, 72, w), X_BLUE);
	EXPECT_EQ(pixel(2, 72, w), X_GREY);
	// "$-5" has a third character where "$0" has none.
	EXPECT_GT(count_pixels(w, 17, 60, 6, 10, X_BLACK), 0);
	EXPECT_EQ(count_pixels(w, 17, 40, 6, 10, X_BLACK), 0);
	// Longer than any coordinate: the bar runs across the window instead of wrapping to x 1.
	EXPECT_EQ(pixel(199, 92, w), X_BLUE);
	EXPECT_TRUE(graph_event(s, button_event(w, 3, 3)).done);
	graph_release(s);
}

TEST_F(Dialogs, BarChartLoopClosesOnAnyKeyAndEmptyChartIsBlank)
{
	graph_state s{};
	ASSERT_TRUE(graph_open(s, 100, 100, "Bars", 0, nullptr, "fixed"));
	redraw_dialog(s, graph_event);
	EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 100, 100, X_GREY), 100 * 100);
	XDestroyWindow(display, s.frame.win);
	graph_release(s);

	const int values[] = {40};
	XEvent e = key_event(DefaultRootWindow(display), 50);
	XPutBackEvent(display, &e);
	EXPECT_EQ(x_graphwindow(100, 100, "Bars", 1, values, "fixed"), 1);
}

// Picture box.

TEST_F(Dialogs, PictureBoxDrawsTheFileAtFiftyFifty)
{
	std::string path = write_file("art", "qdr ff0000 5 100 200\n2 ffffff 10 10 50 20\n"
					     "1 0000ff 5 80 100 80\n3 00ff00 0 0 200 100\n"
					     "2 00ff00 100 0 -1 60\n2 00ff00 100 0 60 0\n");
	imgbox_state s{};
	ASSERT_EQ(imgbox_open(s, path.c_str(), "Art"), imgbox_open_result::opened);
	redraw_dialog(s, imgbox_event);
	Window w = s.frame.win;
	EXPECT_EQ(window_size(w).x, 200);
	EXPECT_EQ(window_size(w).y, 100);
	EXPECT_EQ(window_origin(w).x, 50);
	EXPECT_EQ(window_origin(w).y, 50);
	EXPECT_EQ(pixel(10, 10, w), 0xFFFFFFUL);
	EXPECT_EQ(pixel(59, 29, w), 0xFFFFFFUL);
	EXPECT_EQ(pixel(60, 10, w), 0xFF0000UL);
	EXPECT_EQ(pixel(10, 30, w), 0xFF0000UL);
	EXPECT_EQ(pixel(9, 10, w), 0xFF0000UL);
	EXPECT_EQ(pixel(50, 80, w), 0x0000FFUL);
	EXPECT_EQ(pixel(150, 50, w), 0xFF0000UL);   // type 3 draws nothing
	// Rectangles with no width or height paint nothing, rather than a 16-bit wrapped size.
	EXPECT_EQ(count_pixels(w, 0, 0, 200, 100, 0x00FF00), 0);
	imgbox_release(s);
}

TEST_F(Dialogs, PictureBoxPrintsKeysAndReturnsTheXOfAClick)
{
	std::string path = write_file("empty", "qdr 00ff00 0 60 80");
	imgbox_state s{};
	ASSERT_EQ(imgbox_open(s, path.c_str(), "Art"), imgbox_open_result::opened);
	redraw_dialog(s, imgbox_event);
	EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 80, 60, 0x00FF00), 80 * 60);
	testing::internal::CaptureStdout();
	EXPECT_FALSE(imgbox_event(s, key_event(s.frame.win, 38)).done);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "38\n");
	dialog_outcome o = imgbox_event(s, button_event(s.frame.win, 37, 5));
	EXPECT_TRUE(o.done);
	EXPECT_EQ(o.result, 37);
	imgbox_release(s);
}

TEST_F(Dialogs, PictureBoxShowsAnXpmAtItsSize)
{
	std::string path = xpm("pic.xpm", 30, 25, "#123456");
	imgbox_state s{};
	ASSERT_EQ(imgbox_open(s, path.c_str(), "Picture"), imgbox_open_result::opened);
	EXPECT_FALSE(s.is_drawing);
	redraw_dialog(s, imgbox_event);
	EXPECT_EQ(window_size(s.frame.win).x, 30);
	EXPECT_EQ(window_size(s.frame.win).y, 25);
	EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 30, 25, 0x123456), 30 * 25);
	imgbox_release(s);
}

TEST_F(Dialogs, PictureBoxKeepsAGreyWindowForAnUnreadablePicture)
{
	std::string path = write_file("broken.xpm", "this is no picture\n");
	imgbox_state s{};
	ASSERT_EQ(imgbox_open(s, path.c_str(), "Broken"), imgbox_open_result::opened);
	redraw_dialog(s, imgbox_event);
	EXPECT_EQ(window_size(s.frame.win).x, 20);
	EXPECT_EQ(window_size(s.frame.win).y, 20);
	EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 20, 20, X_GREY), 400);
	EXPECT_TRUE(imgbox_event(s, button_event(s.frame.win, 4, 4)).done);
	imgbox_release(s);
}

TEST_F(Dialogs, PictureBoxFailuresReturnMinusOne)
{
	window = None;
	EXPECT_EQ(x_imgbox((dir + "missing").c_str(), "Missing"), -1);
	EXPECT_EQ(window, None);

	std::string path = write_file("art", "qdr ff0000 0 10 10");
	imgbox_state s{};
	ASSERT_EQ(imgbox_open(s, path.c_str(), "Gone"), imgbox_open_result::opened);
	XDestroyWindow(display, s.frame.win);
	dialog_outcome o = imgbox_event(s, expose_event(s.frame.win));
	EXPECT_TRUE(o.done);
	EXPECT_EQ(o.result, -1);
	expect_errors();
	imgbox_release(s);
}

// Picture keypad.

TEST_F(Dialogs, KeypadCollectsUntilReturnOrCapacity)
{
	struct typing_case {
		int type;
		std::vector<int> keys;
		const char *printed;
		int result;
	};
	const typing_case cases[] = {
		{1, {10, 11, 12, 36}, "numberstring='123' x11return=123\n", 123},
		{1, {10, 11, 12, 13, 14, 15, 16}, "numberstring='123456' x11return=123456\n", 123456},
		{1, {26, 10}, "numberstring='-1' x11return=-1\n", -1},
		{1, {40, 36}, "numberstring='-2' x11return=-2\n", -2},
		{1, {13, 26, 10}, "numberstring='4-1' x11return=4\n", 4},
		{1, {50, 60, 10, 36}, "numberstring='1' x11return=1\n", 1},
		{2, {10, 60, 14, 36}, "numberstring='1.5' x11return=1\n", 1},
		{2, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, "numberstring='123456789' x11return=123456789\n",
		 123456789},
		{3, {38, 10}, "numberstring='-38' x11return=-38\n", -38},
		{3, {16, 16}, "numberstring='7' x11return=7\n", 7},
		{1, {36}, "numberstring='' x11return=0\n", 0},
		{9, {10}, "numberstring='' x11return=0\n", 0},
	};
	for (const typing_case &c : cases) {
		SCOPED_TRACE(c.printed);
		keypad_state s{};
		ASSERT_TRUE(keypad_open(s, (dir + "none.xpm").c_str(), "Keys", c.type, 0, 15));
		XSync(display, False);
		EXPECT_FALSE(keypad_event(s, button_event(s.frame.win, 5, 5)).done);
		testing::internal::CaptureStdout();
		dialog_outcome o{};
		std::size_t used = 0;
		while (used < c.keys.size() && !o.done)
			o = keypad_event(s, key_event(s.frame.win, c.keys[used++]));
		EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
		EXPECT_TRUE(o.done);
		EXPECT_EQ(used, c.keys.size());
		EXPECT_EQ(o.result, c.result);
		XDestroyWindow(display, s.frame.win);
		keypad_release(s);
	}
}

TEST_F(Dialogs, KeypadEchoesTenPixelsApartAndARedrawWipesIt)
{
	std::string path = xpm("pad.xpm", 120, 130, "#FFFFFF");
	keypad_state s{};
	ASSERT_TRUE(keypad_open(s, path.c_str(), "Pad", 1, 20, 40));
	redraw_dialog(s, keypad_event);
	Window w = s.frame.win;
	EXPECT_EQ(window_size(w).x, 120);
	EXPECT_EQ(count_pixels(w, 0, 0, 120, 130, X_WHITE), 120 * 130);
	for (int key : {10, 11, 26})
		EXPECT_FALSE(keypad_event(s, key_event(w, key)).done);
	XSync(display, False);
	EXPECT_EQ(count_pixels(w, 20, 28, 10, 15, X_BLACK), 0);
	for (int x : {30, 40, 50, 60, 70})   // 1, 2, E, T, F
		EXPECT_GT(count_pixels(w, x, 28, 6, 15, X_BLACK), 0) << x;
	EXPECT_EQ(count_pixels(w, 80, 28, 30, 15, X_BLACK), 0);
	EXPECT_EQ(s.offset, 100);
	redraw_dialog(s, keypad_event);
	EXPECT_EQ(count_pixels(w, 0, 0, 120, 130, X_WHITE), 120 * 130);
	EXPECT_STREQ(s.text.data(), "12-1");
	XDestroyWindow(display, s.frame.win);
	keypad_release(s);
}

TEST_F(Dialogs, KeypadDrawsLettersEToJOnTheLowRow)
{
	std::string path = xpm("pad.xpm", 60, 130, "#FFFFFF");
	keypad_state s{};
	ASSERT_TRUE(keypad_open(s, path.c_str(), "Pad", 3, 0, 40));
	redraw_dialog(s, keypad_event);
	EXPECT_FALSE(keypad_event(s, key_event(s.frame.win, 26)).done);
	XSync(display, False);
	EXPECT_EQ(count_pixels(s.frame.win, 0, 0, 60, 100, X_BLACK), 0);
	EXPECT_GT(count_pixels(s.frame.win, 10, 108, 6, 15, X_BLACK), 0);
	XDestroyWindow(display, s.frame.win);
	keypad_release(s);
}

TEST_F(Dialogs, KeypadFailedAttributeReadReturnsMinusOne)
{
	keypad_state s{};
	ASSERT_TRUE(keypad_open(s, "/nonexistent.xpm", "Pad", 1, 0, 15));
	XSync(display, False);
	EXPECT_EQ(window_size(s.frame.win).x, 20);
	XDestroyWindow(display, s.frame.win);
	dialog_outcome o = keypad_event(s, expose_event(s.frame.win));
	EXPECT_TRUE(o.done);
	EXPECT_EQ(o.result, -1);
	expect_errors();
	keypad_release(s);
}

// The close request the window manager sends for a window's close button.
XEvent close_request(Window w)
{
	XEvent e{};
	e.type = ClientMessage;
	e.xclient.window = w;
	e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	e.xclient.format = 32;
	e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
	return e;
}

TEST_F(Dialogs, KeypadTypedOnTheKeyboardReturnsTheNumberAndStaysUp)
{
	std::string path = xpm("pad.xpm", 80, 40, "#FFFFFF");
	pid_t user = user_in_child("Typing", [](Display *d, Window w) { type_keys(d, w, {10, 11, 12, 36}); });
	testing::internal::CaptureStdout();
	int result = x_imgkeybox(path.c_str(), "Typing", 1, 5, 20);
	EXPECT_EQ(testing::internal::GetCapturedStdout(),
		  "xcord , ycord 5 , 20 \nnumberstring='123' x11return=123\n");
	EXPECT_EQ(result, 123);
	EXPECT_EQ(child_status(user), 0);
	XWindowAttributes a;
	ASSERT_TRUE(XGetWindowAttributes(display, window, &a));
	EXPECT_EQ(a.map_state, IsViewable);
	// The window left up still goes from the title bar once the keypad is over.
	handle_close_request(close_request(window));
	XSync(display, False);
	EXPECT_FALSE(mapped(window));
	XDestroyWindow(display, window);
}

// The window manager's close button.

// A request for another window is not the dialog's; one for its own window ends it.
template <typename State>
dialog_outcome closed_by_manager(State &s, Window w, dialog_outcome (*on_event)(State &, const XEvent &))
{
	XSync(display, False);
	EXPECT_FALSE(on_event(s, close_request(DefaultRootWindow(display))).done);
	return on_event(s, close_request(w));
}

void expect_outcome(dialog_outcome o, bool done, int result)
{
	EXPECT_EQ(o.done, done);
	if (done) {
		EXPECT_EQ(o.result, result);
	}
}

TEST_F(Dialogs, CloseRequestEndsEachDialogAsItsOwnCloseActionDoes)
{
	char font[] = "fixed";
	{
		SCOPED_TRACE("message box: as OK");
		msgbox_state s{};
		ASSERT_TRUE(msgbox_open(s, 3, "Hi", "M", font, 40));
		expect_outcome(closed_by_manager(s, s.frame.win, msgbox_event), true, 1);
		msgbox_release(s);
	}
	{
		SCOPED_TRACE("blank box");
		dialog_frame f{};
		ASSERT_TRUE(calbox_open(f, "B"));
		expect_outcome(closed_by_manager(f, f.win, calbox_event), true, 0);
		XFreeFont(display, f.font);
	}
	{
		SCOPED_TRACE("list, and so the bar chart: as any key");
		list_state l{};
		ASSERT_TRUE(list_open(l, 100, 50, "L", 1, '*', 0, nullptr, "fixed", "H"));
		expect_outcome(closed_by_manager(l, l.frame.win, list_event), true, 1);
		list_release(l);
	}
}

TEST_F(Dialogs, CloseRequestEndsEachPictureDialogAsItsOwnCloseActionDoes)
{
	char font[] = "fixed";
	std::string picture = xpm("pic.xpm", 30, 30, "#FFFFFF");
	{
		SCOPED_TRACE("picture box: no click, no position");
		static imgbox_state s;
		ASSERT_EQ(imgbox_open(s, picture.c_str(), "P"), imgbox_open_result::opened);
		expect_outcome(closed_by_manager(s, s.frame.win, imgbox_event), true, -1);
		imgbox_release(s);
	}
	{
		SCOPED_TRACE("keypad: as Return, its window kept but out of sight");
		keypad_state s{};
		ASSERT_TRUE(keypad_open(s, picture.c_str(), "K", 1, 0, 15));
		EXPECT_FALSE(keypad_event(s, key_event(s.frame.win, 14)).done);
		testing::internal::CaptureStdout();
		expect_outcome(closed_by_manager(s, s.frame.win, keypad_event), true, 5);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "numberstring='5' x11return=5\n");
		XSync(display, False);
		EXPECT_FALSE(mapped(s.frame.win));
		XDestroyWindow(display, s.frame.win);
		keypad_release(s);
	}
	{
		SCOPED_TRACE("radio box: waits for its choice");
		radio_state s{};
		ASSERT_TRUE(radio_open(s, "Yes", "No", "Save?", "R", font, 40));
		expect_outcome(closed_by_manager(s, s.frame.win, radio_event), false, 0);
		XDestroyWindow(display, s.frame.win);
		radio_release(s);
	}
}

// The dialog took the main window's exposures while it ran: the main window is painted once
// it ends. A close request for the main window meanwhile ends the main loop afterwards.
TEST_F(Dialogs, EndOfADialogRepaintsTheMainWindowAndKeepsItsCloseRequest)
{
	open_window();
	kyx_button(40, 40, "Hi", nullptr);
	char font[] = "fixed";
	XEvent ok = button_event(DefaultRootWindow(display), 5000, 5000);
	XPutBackEvent(display, &ok);
	EXPECT_EQ(x_msgbox(1, "Hello", "Repaint", font, 40), 1);
	XSync(display, False);
	EXPECT_EQ(pixel(35, 44), black);  // the button's outer corner: x - 5, y + 4
	EXPECT_EQ(kyx_window_status, 1);
	XPutBackEvent(display, &ok);
	XEvent close = close_request(window2);
	XPutBackEvent(display, &close);
	EXPECT_EQ(x_msgbox(1, "Hello", "Repaint", font, 40), 1);
	EXPECT_EQ(kyx_window_status, 0);
}

} // namespace
