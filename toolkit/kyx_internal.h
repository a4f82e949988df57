// Toolkit internals: layout and hit arithmetic as plain int functions, the per-event handlers
// and the X error record, shared by the toolkit's units and its tests.
#ifndef KYX_INTERNAL_H
#define KYX_INTERNAL_H

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "kyx.h"
#include "kyx_paint.h"
#include "kyx_utf8.h"

namespace kyx {

// Text is never measured: every character is one cell of the font "fixed".
inline constexpr int char_width = 6;
inline constexpr int list_row_height = 10;
inline constexpr int menu_bar_height = 20;  // the bar reacts to pointer y up to this
inline constexpr int menu_title_baseline = 12;
inline constexpr int menu_item_spacing = 14;
inline constexpr int menu_pulldown_width = 100;
inline constexpr int password_stars_max = 16;
inline constexpr std::string_view password_stars = "****************";
static_assert(password_stars.size() == password_stars_max);

inline int text_width(int n)
{
	return n * char_width;
}

inline bool in_range(int v, int lo, int hi)
{
	return lo <= v && v <= hi;
}

// Buttons and toggle buttons share this rectangle around their text.
inline bool button_hit(int x, int y, int n, int ex, int ey)
{
	return in_range(ex, x - 3, x + text_width(n) + 2) && in_range(ey, y - 12, y + 2);
}

inline bool menuitem_hit(int x, int b, int n, int ex, int ey)
{
	return in_range(ex, x - 3, x + text_width(n) + 2) && in_range(ey, b - 7, b + 2);
}

inline bool entry_hit(int x, int y, int width, int ex, int ey)
{
	return in_range(ex, x, x + width) && in_range(ey, y, y + 16);
}

inline bool chkbutton_hit(int x, int y, int ex, int ey)
{
	return in_range(ex, x, x + 13) && in_range(ey, y, y + 13);
}

// Select lists: W and H are the item area's width and height in pixels.
inline bool list_down_hit(int x, int y, int w, int h, int ex, int ey)
{
	return in_range(ex, x + w + 1, x + w + 11) && in_range(ey, y + h - 10, y + h);
}

inline bool list_up_hit(int x, int y, int w, int ex, int ey)
{
	return in_range(ex, x + w + 1, x + w + 11) && in_range(ey, y, y + 10);
}

// Pixel offset of the row hit (0, 10, 20 ...), or -1 when the click is on no row.
inline int list_row_hit(int x, int y, int w, int h, int ex, int ey)
{
	if (!in_range(ex, x, x + w))
		return -1;
	for (int r = 0; r < h; r += list_row_height)
		if (in_range(ey, y + r + 1, y + r + list_row_height))
			return r;
	return -1;
}

// Columns of 7 or less count as 8, rows of 4 or less as 5; ten pixels each.
// No screen is a million pixels across; the cap keeps the sizes and every
// coordinate computed from them far from int overflow.
inline constexpr int kyx_list_cells_max = 100000;

inline int list_width_px(int columns)
{
	return (columns <= 7 ? 8 : columns < kyx_list_cells_max ? columns : kyx_list_cells_max) * 10;
}

inline int list_height_px(int rows)
{
	return (rows <= 4 ? 5 : rows < kyx_list_cells_max ? rows : kyx_list_cells_max) * 10;
}

struct list_scroll {
	int top;
	int offset;
};

inline list_scroll list_scroll_down(int top, int offset, int items, int rows)
{
	if (top < items - rows)
		return list_scroll{top + 1, offset - list_row_height};
	return list_scroll{top, offset};
}

inline list_scroll list_scroll_up(int top, int offset)
{
	if (top > 0)
		return list_scroll{top - 1, offset + list_row_height};
	return list_scroll{top, offset};
}

// The highlight is drawn only while the selected row lies inside the list's own height.
inline bool list_highlight_shown(int state, int offset, int h)
{
	return state != -1 && 0 <= offset && offset <= h - list_row_height;
}

inline int entry_caret_limit(int width)
{
	return width - 12;
}

inline int entry_stars(int caret)
{
	int n = caret / char_width;
	if (n < 0)
		return 0;
	return n > password_stars_max ? password_stars_max : n;
}

// Menus sit left to right in creation order, 3 pixels apart, the first at x = 8.
inline kyx_point menu_span(int handle, int previous_right, int n)
{
	int left = handle == 0 ? 8 : previous_right + 3;
	return kyx_point{left, left + text_width(n) + 3};
}

inline int menuitem_baseline(int items_in_menu, int previous_baseline)
{
	return items_in_menu == 0 ? menu_title_baseline : previous_baseline + menu_item_spacing;
}

// Sixty-fourths of a degree for a percentage: p x 3.6 x 64, truncated toward zero.
inline long long pie_extent(int percent)
{
	return static_cast<long long>(percent) * 2304 / 10;
}

inline int label_window_width(int n)
{
	return text_width(n) + 5;
}

// Texts of the main window are UTF-8: one cut to fit its buffer is cut between characters.
template <std::size_t N>
void copy_text(std::array<char, N>& to, std::string_view from)
{
	std::size_t n = from.size() < N ? from.size() : utf8_cut(from, N - 1);
	std::memcpy(to.data(), from.data(), n);
	to[n] = '\0';
}

// A handle that names a widget already created.
inline bool handle_ok(int h, int count)
{
	return h >= 0 && h < count && h < kyx_capacity;
}

// How many widgets of a kind the loops visit: never more than the tables hold.
inline int count_of(int num)
{
	return std::clamp(num, 0, static_cast<int>(kyx_capacity));
}

// Per-event handlers of kyx_main, callable one event at a time.
void handle_motion(XMotionEvent *ev);
void handle_keypress(XKeyEvent *ev);
void handle_buttonpress(XButtonEvent *ev);
// The window manager's request to close the main window, or the window a keypad left up.
void handle_close_request(const XEvent &ev);
// False when the main window's attributes cannot be read: the loop must end.
bool handle_expose(XExposeEvent *ev);
// False when the loop must end.
bool handle_event(XEvent *ev);
void repaint_entry_texts();

// The full redraw of the main window.
void kyx_redraw();

// Drawing pieces shared by the redraw and the partial repaints of input handling.
void draw_lamp(int button);
void draw_check_mark(int chkbutton);
void clear_entry_text(int entry);
void draw_entry_text(int entry);
void draw_list_items(int list);
void clear_list_area(int list);
void draw_list_highlight(int list);

// Protocol errors recorded by the handler x_open installs.
int kyx_x_error_count();
int kyx_x_last_error();

// The main window's size as the last exposure found it.
extern kyx_point main_window_size;
// Size of the picture each background was loaded from.
extern kyx_point window_bg_size;
extern std::array<kyx_point, kyx_capacity> label_bg_size;

// Item texts of each select list: the items it was given, no more.
extern std::array<std::vector<kyx_item>, kyx_capacity> list_items;

} // namespace kyx

#endif
