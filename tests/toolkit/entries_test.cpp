// Text entries: caret, focus, typing, BackSpace and password stars.
#include "kyx_fixture.h"

#include <X11/keysym.h>

using Entries = KyxTest;

TEST_F(Entries, CaretFromItsText)
{
	open_window();
	int e = kyx_textentry(10, 10, 100, 0);
	EXPECT_EQ(global_textentry_me[e], 88);
	kyx_settextentry(e, "abc");
	EXPECT_EQ(place[e], 18);
	EXPECT_STREQ(numberstring[e].data(), "abc");
	EXPECT_STREQ(kyx_textentry_obj.text[e].data(), "abc");
	EXPECT_EQ(KYX_event_flag, 1);
}

TEST_F(Entries, FieldFrameAndFocusInTheRedraw)
{
	open_window();
	int pw = kyx_textentry(20, 200, 100, 1);
	kyx_settextentry(pw, "abc");
	redraw();
	expect_pixels({{50, 199, dgrey}, {50, 200, black}, {20, 210, black}, {122, 205, white},
		{50, 216, white}});
	click(50, 205);
	EXPECT_EQ(pixel(110, 205), yellow);
	redraw();
	EXPECT_EQ(pixel(110, 205), white);
	EXPECT_EQ(kyx_textentry_obj.focus[pw], 1);
}

// Each entry's ink against a plain entry's below it: a password shows stars, every other type
// its text.
TEST_F(Entries, RedrawShowsTheTextOfEveryTypeButPassword)
{
	struct {
		int type;
		const char *text;
		const char *plain_alike;
	} cases[] = {{1, "abc", "***"}, {2, "abc", "abc"}};
	open_window();
	int y = 20;
	for (const auto &c : cases) {
		SCOPED_TRACE(c.type);
		kyx_settextentry(kyx_textentry(20, y, 100, c.type), c.text);
		kyx_settextentry(kyx_textentry(20, y + 40, 100, 0), c.plain_alike);
		redraw();
		int shown = count(black, 21, y + 1, 99, 14);
		EXPECT_GT(shown, 0);
		EXPECT_EQ(shown, count(black, 21, y + 41, 99, 14));
		y += 100;
	}
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
	expect_pixels({{110, 105, white}, {110, 155, yellow}});
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
	expect_pixels({{110, 105, white}, {110, 101, yellow}});
	EXPECT_GT(count(black, 22, 103, 30, 12), 0);
}

// A key the server's keyboard map lacks, such as a Latin-1 letter on Xvfb's, bound to a spare
// keycode so that XLookupString translates it.
static void key_latin1(KeySym sym)
{
	int min = 0;
	int max = 0;
	XDisplayKeycodes(display, &min, &max);
	KeySym bound[] = {sym};
	XChangeKeyboardMapping(display, max, 1, bound, 1);
	XKeyEvent ev{};
	ev.type = KeyPress;
	ev.display = display;
	ev.window = window2;
	ev.keycode = static_cast<unsigned>(max);
	handle_keypress(&ev);
	XSync(display, False);
}

TEST_F(EntryEditing, CaretAndBackSpaceCountCharacters)
{
	kyx_settextentry(e, "Hl\xC3\xB6\xC3\xB0");
	EXPECT_EQ(place[e], 24);
	click(30, 105);
	key(XK_BackSpace);
	EXPECT_STREQ(numberstring[e].data(), "Hl\xC3\xB6");
	EXPECT_EQ(place[e], 18);
	for (int i = 0; i < 13; ++i)
		key_latin1(XK_eth);
	EXPECT_EQ(place[e], 90);
	EXPECT_EQ(text_cells(numberstring[e]), 15);
	EXPECT_STREQ(kyx_textentry_obj.text[e].data() + 26, "\xC3\xB0");
}

TEST_F(EntryEditing, BufferTakesOnlyWholeCharacters)
{
	int wide = kyx_textentry(20, 200, 2000, 0);
	click(30, 205);
	for (int i = 0; i < 128; ++i)
		key_latin1(XK_odiaeresis);
	EXPECT_EQ(std::strlen(numberstring[wide].data()), 254u);
	EXPECT_EQ(place[wide], 762);
}
