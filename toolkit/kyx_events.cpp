// The event loop of the main window and one handler per event kind.
#include "kyx.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "kyx_internal.h"
#include "kyx_utf8_draw.h"

using namespace kyx;

// Filter by keysym; keycodes differ between keyboard maps.
static constexpr KeySym keys_not_typed[] = {
	XK_Return, XK_Escape, XK_Tab, XK_ISO_Left_Tab, XK_Caps_Lock,
	XK_Shift_L, XK_Shift_R, XK_Alt_L, XK_Alt_R, XK_Control_L, XK_Control_R,
	XK_Up, XK_Down, XK_Left, XK_Right, XK_BackSpace,
};

void kyx_main(void)
{
	while (kyx_window_status) {
		if (KYX_event_flag == 1)
			repaint_entry_texts();
		XNextEvent(display, &global_event);
		if (!handle_event(&global_event))
			return;
	}
}

namespace kyx {

bool handle_event(XEvent *ev)
{
	if (ev->type == MotionNotify)
		handle_motion(&ev->xmotion);
	if (ev->type == KeyPress)
		handle_keypress(&ev->xkey);
	if (ev->type == ButtonPress)
		handle_buttonpress(&ev->xbutton);
	if (ev->type == ClientMessage)
		handle_close_request(*ev);
	if (ev->type == Expose)
		return handle_expose(&ev->xexpose);
	return true;
}

void handle_close_request(const XEvent &ev)
{
	if (close_requested(ev, window2))
		kyx_closewindow();
	// A picture keypad leaves its window up, the caller's, when it ends: it can still be put
	// out of sight.
	else if (window && close_requested(ev, window))
		XWithdrawWindow(display, window, DefaultScreen(display));
}

void repaint_entry_texts()
{
	for (int i = 0; i < count_of(global_textentry_num); ++i) {
		if (global_textentry_type[i] != 0)
			continue;
		clear_entry_text(i);
		utf8_draw(window2, global_pen, global_textentry_x[i] + 6, global_textentry_y[i] + 12,
			text_of(kyx_textentry_obj.text[i]));
	}
	KYX_event_flag = 0;
}

bool handle_expose(XExposeEvent *)
{
	if (!take_exposures(window2, main_window_size))
		return false;
	kyx_redraw();
	return true;
}

static void paint_title(int i, GC band, GC text)
{
	fill_lines(window2, band, global_menu_x[i] - 1, global_menu_x2[i], 0, 17);
	utf8_draw(window2, text, global_menu_x[i], menu_title_baseline,
		text_of(global_menu_label[i]));
}

static void motion_over_bar(int px)
{
	for (int i = 0; i < count_of(global_menu_num); ++i) {
		int left = global_menu_x[i];
		int right = global_menu_x2[i];
		if (in_range(px, left, right)) {
			paint_title(i, global_pen6, global_pen2);
			XMapWindow(display, pulldown[i]);
		}
		if (px <= left || px >= right) {
			paint_title(i, global_pen5, global_pen);
			XUnmapWindow(display, pulldown[i]);
		}
	}
}

static void paint_item(Window w, int j, GC band, GC text)
{
	int b = global_menuitem_y[j];
	fill_lines(w, band, 1, 98, b - 10, b + 1);
	utf8_draw(w, text, 2, b, text_of(global_menuitem_label[j]));
}

static void motion_in_pulldown(Window w, int py)
{
	for (int i = 0; i < count_of(global_menu_num); ++i) {
		if (pulldown[i] != w)
			continue;
		for (int j = 0; j < count_of(global_menuitem_num); ++j) {
			if (global_menuitem_parent[j] != i)
				continue;
			int b = global_menuitem_y[j];
			if (in_range(py, b - 10, b))
				paint_item(w, j, global_pen6, global_pen2);
			if (py >= b || py <= b - 10)
				paint_item(w, j, global_pen5, global_pen);
		}
	}
}

void handle_motion(XMotionEvent *ev)
{
	if (global_menubar_num == 1 && ev->window == window2 && ev->y <= menu_bar_height)
		motion_over_bar(ev->x);
	motion_in_pulldown(ev->window, ev->y);
}

static bool typed_key(KeySym k)
{
	return std::find(std::begin(keys_not_typed), std::end(keys_not_typed), k)
		== std::end(keys_not_typed);
}

// The entry's text is UTF-8, so a character typed as Latin-1 is stored in two bytes.
static void type_character(int i, std::string_view translation)
{
	char typed[utf8_max_bytes];
	int size = utf8_typed(translation, typed);
	auto& text = numberstring[i];
	int n = static_cast<int>(text_of(text).size());
	if (size == 0 || n + size >= kyx_text_size)
		return;
	place[i] += char_width;
	int x = global_textentry_x[i] + place[i];
	int y = global_textentry_y[i] + 12;
	std::memcpy(text.data() + n, typed, static_cast<std::size_t>(size));
	text[n + size] = '\0';
	if (global_textentry_type[i] == 0)
		utf8_draw(window2, global_pen, x, y, std::string_view{text.data() + n,
			static_cast<std::size_t>(size)});
	else if (global_textentry_type[i] == 1)
		utf8_draw(window2, global_pen, x, y, password_stars.substr(0, 1));
}

static void erase_character(int i)
{
	place[i] = std::max(place[i] - char_width, 0);
	clear_entry_text(i);
	auto& text = numberstring[i];
	text[utf8_last_start(text_of(text))] = '\0';
	draw_entry_text(i);
}

void handle_keypress(XKeyEvent *ev)
{
	char buffer[kyx_text_size] = {};
	KeySym key = NoSymbol;
	int len = XLookupString(ev, buffer, kyx_text_size - 1, &key, nullptr);
	for (int i = 0; i < count_of(global_textentry_num); ++i) {
		if (kyx_textentry_obj.focus[i] != 1)
			continue;
		// A full entry still takes BackSpace, so that it can be corrected.
		if (key != XK_BackSpace && place[i] > global_textentry_me[i])
			continue;
		if (typed_key(key) && len > 0)
			type_character(i, std::string_view{buffer, static_cast<std::size_t>(len)});
		if (key == XK_BackSpace)
			erase_character(i);
		copy_text(kyx_textentry_obj.text[i], numberstring[i].data());
	}
}

// The field of an entry in the colour of its focus: white, or yellow when it has the focus.
static void paint_entry_field(int i, GC field)
{
	int x = global_textentry_x[i];
	int y = global_textentry_y[i];
	fill_lines(window2, field, x + 1, x + global_textentry_width[i], y + 1, y + 13);
	draw_entry_text(i);
}

static void focus_entry(int hit)
{
	for (int j = 0; j < count_of(global_textentry_num); ++j) {
		kyx_textentry_obj.focus[j] = 0;
		paint_entry_field(j, global_pen2);
	}
	kyx_textentry_obj.focus[hit] = 1;
	paint_entry_field(hit, global_pen4);
}

static void toggle(int i)
{
	int& state = kyx_lbutton_obj.state[i];
	state = state == 1 ? 0 : 1;
	draw_lamp(i);
	kyx_ExecCallback2(i);
}

static void check(int i)
{
	int& state = kyx_chkbutton_obj.state[i];
	state = state == 1 ? 0 : 1;
	draw_check_mark(i);
}

static void click_list(int i, int ex, int ey)
{
	int x = global_selectlist_x[i];
	int y = global_selectlist_y[i];
	int w = global_selectlist_c[i];
	int h = global_selectlist_r[i];
	int rows = h / list_row_height;
	int& top = kyx_selectlist_obj.top[i];
	int& offset = kyx_selectlist_obj.offset[i];
	if (list_down_hit(x, y, w, h, ex, ey)) {
		list_scroll s = list_scroll_down(top, offset, global_selectlist_nl[i], rows);
		top = s.top;
		offset = s.offset;
		clear_list_area(i);
		draw_list_items(i);
	}
	if (list_up_hit(x, y, w, ex, ey)) {
		list_scroll s = list_scroll_up(top, offset);
		top = s.top;
		offset = s.offset;
		clear_list_area(i);
		draw_list_items(i);
	}
	int r = list_row_hit(x, y, w, h, ex, ey);
	if (r >= 0) {
		kyx_selectlist_obj.state[i] = top + r / list_row_height;
		offset = r;
	}
	draw_line(window2, global_pen2, x - 1, y + h, x + w + 11, y + h);
	clear_list_area(i);
	draw_list_highlight(i);
	draw_list_items(i);
}

void handle_buttonpress(XButtonEvent *ev)
{
	int ex = ev->x;
	int ey = ev->y;
	// The coordinates are those of the window clicked: a click in a pull-down or a picture
	// button must not also hit what lies at the same place in the main window.
	bool in_main = ev->window == window2;
	for (int i = 0; in_main && i < count_of(global_textentry_num); ++i)
		if (entry_hit(global_textentry_x[i], global_textentry_y[i], global_textentry_width[i],
			    ex, ey))
			focus_entry(i);
	for (int i = 0; in_main && i < count_of(global_button_num); ++i)
		if (button_hit(global_button_x[i], global_button_y[i],
			    text_cells(global_button_text[i]), ex, ey))
			kyx_ExecCallback(i);
	for (int i = 0; i < count_of(global_menuitem_num); ++i) {
		int m = global_menuitem_parent[i];
		if (handle_ok(m, global_menu_num) && ev->window == pulldown[m]
			&& menuitem_hit(global_menuitem_x[i], global_menuitem_y[i],
				text_cells(global_menuitem_label[i]), ex, ey))
			kyx_ExecCallback3(i);
	}
	for (int i = 0; i < count_of(global_imagebutton_num); ++i)
		if (xpm_imagebutton[i] && ev->window == xpm_imagebutton[i])
			kyx_ExecCallback4(i);
	for (int i = 0; in_main && i < count_of(global_lbutton_num); ++i)
		if (button_hit(global_lbutton_x[i], global_lbutton_y[i],
			    text_cells(global_lbutton_text[i]), ex, ey))
			toggle(i);
	for (int i = 0; in_main && i < count_of(global_chkbutton_num); ++i)
		if (chkbutton_hit(global_chkbutton_x[i], global_chkbutton_y[i], ex, ey))
			check(i);
	for (int i = 0; in_main && i < count_of(global_selectlist_num); ++i)
		click_list(i, ex, ey);
}

} // namespace kyx
