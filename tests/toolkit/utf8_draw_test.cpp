// UTF-8 texts in every kind of widget: drawn as the font's glyphs, measured in characters.
#include "kyx_fixture.h"

#include <cstring>
#include <string_view>

#include <X11/Xlib.h>

#include "glyph_ink.h"
#include "kyx_utf8_draw.h"

namespace {

// "Hlöðvir Ł": nine characters in twelve bytes.
constexpr const char *name = "Hl\xC3\xB6\xC3\xB0vir \xC5\x81";
constexpr std::u16string_view name_codes = u"Hl\u00F6\u00F0vir \u0141";

struct made_widgets {
	int menu;
	int label;
	int entry;
};

// One widget of every kind, each showing the name.
made_widgets add_every_kind()
{
	kyx_menubar();
	int menu = kyx_menu(0, name);
	kyx_menuitem(menu, name, nullptr);
	int label = kyx_label(name, 200, 100, 0);
	kyx_button(20, 60, name, run_a);
	kyx_lbutton(20, 90, name, nullptr);
	kyx_chkbutton(20, 110, name);
	int entry = kyx_textentry(20, 140, 100, 0);
	kyx_settextentry(entry, name);
	static char items[2][kyx_item_size] = {};
	std::snprintf(items[1], sizeof items[1], "%s", name);
	kyx_selectlist(20, 200, 2, items, 10, 5);
	kyx_frame(200, 150, 390, 190, name);
	return {menu, label, entry};
}

} // namespace

using Utf8Text = KyxTest;

TEST_F(Utf8Text, EveryKindOfWidgetShowsTheCharacters)
{
	open_window();
	auto [menu, label, entry] = add_every_kind();
	move(global_menu_x[menu] + 5, 5);
	redraw();

	struct {
		const char *what;
		Drawable d;
		int x, baseline;
	} shown[] = {
		{"menu", window2, 8, 12},
		{"menu item", pulldown[menu], 2, 12},
		{"label", wlabel[label], 3, 11},
		{"button", window2, 20, 60},
		{"toggle button", window2, 32, 90},
		{"check button", window2, 37, 122},
		{"entry", window2, 26, 152},
		{"list", window2, 22, 219},
		{"frame", window2, 200, 150},
	};
	std::vector<bool> expected = glyphs(name_codes);
	ASSERT_FALSE(expected.empty()) << "the server lacks " << wide_font_name;
	for (const auto& s : shown) {
		SCOPED_TRACE(s.what);
		EXPECT_EQ(ink(s.d, s.x, s.baseline, 9), expected);
	}

	// Nine characters, not twelve bytes, set every width and hit rectangle.
	XWindowAttributes a{};
	XGetWindowAttributes(display, wlabel[label], &a);
	EXPECT_EQ(a.width, 59);
	EXPECT_EQ(global_menu_x2[menu], 65);
	EXPECT_EQ(place[entry], 54);
	EXPECT_EQ(pixel(78, 60), black);
	click(80, 60);
	EXPECT_TRUE(ran.empty());
	click(76, 60);
	EXPECT_EQ(ran.size(), 1u);
}

TEST_F(Utf8Text, WithoutTheWideFontLatin1StillShows)
{
	open_window();
	utf8_fonts_set(global_pen_prop.font, nullptr);
	int label = kyx_label("\xC3\xB6\xC5\x81\xF0", 50, 50, 0);
	redraw();
	EXPECT_EQ(ink(wlabel[label], 3, 11, 3), glyphs(u"\u00F6?\u00F0"));
}
