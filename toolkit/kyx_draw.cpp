// The full redraw of the main window from the widget tables, and the drawing pieces the
// partial repaints of input handling share with it.
#include "kyx.h"

#include <array>
#include <cstdio>

#include "kyx_internal.h"
#include "kyx_utf8_draw.h"

namespace kyx {

// The sizes a tiled picture fills, in the window and in a label.
static constexpr kyx_point tiled_bg{1024, 860};
static constexpr kyx_point tiled_label{640, 20};
static constexpr int menu_bar_right = 1111;
static constexpr int pulldown_frame_depth = 900;
static constexpr int menus_drawn = 20;  // titles and items only of bars and menus 0 to 19

static void draw_background()
{
	if (background_pixmap != 1)
		return;
	XFlush(display);
	if (windowtile == kyx_bg_tiled)
		fill_rect(window2, gcP, 0, 0, tiled_bg.x, tiled_bg.y);
	else if (windowtile == kyx_bg_whole)
		fill_rect(window2, gcP, 0, 0, main_window_size.x, main_window_size.y);
	else
		fill_rect(window2, gcP, 0, 0, window_bg_size.x, window_bg_size.y);
}

static void draw_menu_bars()
{
	if (global_menubar_num != 1 && global_menubar_num != 2)
		return;
	fill_lines(window2, global_pen5, 0, menu_bar_right, 0, 17);
	draw_line(window2, global_pen3, 0, 19, menu_bar_right, 19);
	if (global_menubar_num == 2) {
		fill_lines(window2, global_pen5, 0, menu_bar_right, 20, 37);
		draw_line(window2, global_pen3, 0, 39, menu_bar_right, 39);
	}
}

static void draw_menus()
{
	for (int i = 0; i < global_menu_num && i < kyx_capacity; ++i) {
		draw_line(pulldown[i], global_pen2, 0, 0, menu_pulldown_width, 0);
		draw_line(pulldown[i], global_pen2, 0, 0, 0, pulldown_frame_depth);
		draw_line(pulldown[i], global_pen3, 99, 0, 99, pulldown_frame_depth);
		if (in_range(global_menu_parent[i], 0, menus_drawn - 1))
			utf8_draw(window2, global_pen, global_menu_x[i], menu_title_baseline,
				text_of(global_menu_label[i]));
	}
	for (int j = 0; j < global_menuitem_num && j < kyx_capacity; ++j) {
		int m = global_menuitem_parent[j];
		if (in_range(m, 0, menus_drawn - 1) && m < global_menu_num)
			utf8_draw(pulldown[m], global_pen, global_menuitem_x[j], global_menuitem_y[j],
				text_of(global_menuitem_label[j]));
	}
}

static void draw_pie(int i)
{
	int x = global_pie_x[i];
	int y = global_pie_y[i];
	int d = global_pie_r[i];
	fill_arc(window2, global_pen3, x, y, d, d, 0, full_circle);
	fill_arc(window2, global_pen2, x, y, d, d, 0, pie_extent(kyx_pie_obj[i]));
	draw_arc(window2, global_pen, x, y, d, d, 0, full_circle);
	std::array<char, 16> percent;
	std::snprintf(percent.data(), percent.size(), "%d%%", kyx_pie_obj[i]);
	utf8_draw(window2, global_pen, static_cast<long>(x) + d - 20, y + d / 2 - 1L,
		text_of(percent));
}

static void draw_label(int i)
{
	Window w = wlabel[i];
	if (!w)
		return;
	XMapWindow(display, w);
	if (backgroundlabel_pixmap[i] == 1) {
		XFlush(display);
		if (labeltile[i] == 1)
			fill_rect(w, gcP_label[i], 0, 0, tiled_label.x, tiled_label.y);
		else
			fill_rect(w, gcP_label[i], 0, 0, label_bg_size[i].x, label_bg_size[i].y);
	}
	int l = text_width(text_cells(global_label_text[i])) + 4;
	GC top_left = nullptr;
	GC bottom_right = nullptr;
	switch (global_label_border[i]) {
	case 1:
		top_left = bottom_right = global_pen;
		break;
	case 2:
		top_left = global_pen;
		bottom_right = global_pen2;
		break;
	case 3:
		top_left = global_pen2;
		bottom_right = global_pen;
		break;
	default:
		break;
	}
	if (top_left) {
		draw_line(w, top_left, 0, 0, l, 0);
		draw_line(w, top_left, 0, 0, 0, 11);
		draw_line(w, bottom_right, 0, 12, l, 12);
		draw_line(w, bottom_right, l, 0, l, 11);
	}
	utf8_draw(w, global_pen, 3, 11, text_of(global_label_text[i]));
}

static void draw_separators()
{
	for (int i = 0; i < global_hline_num && i < kyx_capacity; ++i) {
		int x = global_hline_x[i];
		int y = global_hline_y[i];
		int len = global_hline_len[i];
		draw_line(window2, global_pen, x, y, x + len, y);
		draw_line(window2, global_pen2, x, y + 1, x + len, y + 1);
	}
	for (int i = 0; i < global_vline_num && i < kyx_capacity; ++i) {
		int x = global_vline_x[i];
		int y = global_vline_y[i];
		int len = global_vline_len[i];
		draw_line(window2, global_pen, x, y, x, y + len);
		draw_line(window2, global_pen2, x + 1, y, x + 1, y + len);
	}
}

// The 3-D frame of buttons and toggle buttons; inner and outer are its right edges.
static void draw_bevel(int x, int y, int inner, int outer)
{
	draw_line(window2, global_pen3, x - 4, y + 3, inner, y + 3);
	draw_line(window2, global_pen, x - 5, y + 4, outer, y + 4);
	draw_line(window2, global_pen2, x - 4, y + 3, x - 4, y - 13);
	draw_line(window2, global_pen, x - 5, y + 4, x - 5, y - 14);
	draw_line(window2, global_pen3, inner, y + 3, inner, y - 13);
	draw_line(window2, global_pen, outer, y + 4, outer, y - 14);
	draw_line(window2, global_pen2, x - 4, y - 13, inner, y - 13);
	draw_line(window2, global_pen, x - 5, y - 14, outer, y - 14);
}

static void draw_button(int i)
{
	int x = global_button_x[i];
	int y = global_button_y[i];
	int r = x + text_width(text_cells(global_button_text[i]));
	fill_lines(window2, global_button_pen[i], x - 4, r + 3, y - 13, y + 2);
	utf8_draw(window2, global_pen, x, y, text_of(global_button_text[i]));
	draw_bevel(x, y, r + 3, r + 4);
}

static void draw_image(Window w, GC pen, int width, int height)
{
	if (!w)
		return;
	XMapWindow(display, w);
	fill_rect(w, pen, 0, 0, width, height);
}

static void draw_imagebutton(int i)
{
	Window w = xpm_imagebutton[i];
	if (!w)
		return;
	int width = global_imagebutton_w[i];
	int h = global_imagebutton_h[i];
	draw_image(w, global_imagebutton_i[i], width, h);
	draw_line(w, global_pen2, 0, 0, width, 0);
	draw_line(w, global_pen2, 0, 0, 0, h);
	draw_line(w, global_pen, 1, h - 1, width - 1, h - 1);
	draw_line(w, global_pen, width - 1, 1, width - 1, h - 1);
}

void draw_lamp(int i)
{
	int x = global_lbutton_x[i];
	int y = global_lbutton_y[i];
	GC lamp = kyx_lbutton_obj.state[i] == 1 ? gcpixmap1 : gcpixmap2;
	fill_rect(window2, lamp, x - 1, y - 9, 10, 10);
	draw_line(window2, global_pen3, x - 2, y, x - 2, y - 9);
	draw_line(window2, global_pen3, x - 2, y - 10, x + 8, y - 10);
	draw_line(window2, global_pen2, x + 9, y - 10, x + 9, y);
	draw_line(window2, global_pen2, x + 9, y, x - 1, y);
}

static void draw_lbutton(int i)
{
	int x = global_lbutton_x[i];
	int y = global_lbutton_y[i];
	int r = x + text_width(text_cells(global_lbutton_text[i]));
	draw_lamp(i);
	utf8_draw(window2, global_pen, x + 12, y, text_of(global_lbutton_text[i]));
	draw_bevel(x, y, r + 15, r + 16);
}

void clear_entry_text(int i)
{
	int x = global_textentry_x[i];
	int y = global_textentry_y[i];
	fill_lines(window2, global_pen2, x + 2, x + global_textentry_width[i], y + 2, y + 14);
}

void draw_entry_text(int i)
{
	int x = global_textentry_x[i] + 6;
	int y = global_textentry_y[i] + 12;
	if (global_textentry_type[i] == 0)
		utf8_draw(window2, global_pen, x, y, text_of(numberstring[i]));
	else if (global_textentry_type[i] == 1)
		utf8_draw(window2, global_pen, x, y, password_stars.substr(0,
			static_cast<std::size_t>(entry_stars(place[i]))));
}

static void draw_entry(int i)
{
	int x = global_textentry_x[i];
	int y = global_textentry_y[i];
	int w = global_textentry_width[i];
	fill_lines(window2, global_pen2, x, x + w, y, y + 14);
	draw_line(window2, global_pen3, x, y - 1, x + w + 1, y - 1);
	draw_line(window2, global_pen, x, y, x + w, y);
	draw_line(window2, global_pen, x, y, x, y + 15);
	draw_line(window2, global_pen2, x + w + 2, y - 1, x + w + 2, y + 16);
	draw_line(window2, global_pen2, x, y + 16, x + w + 2, y + 16);
	// Only a password entry hides its text here; input handling repaints just the plain and
	// password kinds, so an entry of any other type shows its text only after a full redraw.
	if (global_textentry_type[i] == 1)
		draw_entry_text(i);
	else
		utf8_draw(window2, global_pen, x + 6, y + 12, text_of(numberstring[i]));
}

static void draw_tick(int x, int y)
{
	draw_line(window2, global_pen, x + 3, y + 5, x + 6, y + 10);
	draw_line(window2, global_pen, x + 4, y + 5, x + 7, y + 10);
	draw_line(window2, global_pen, x + 6, y + 10, x + 10, y + 2);
	draw_line(window2, global_pen, x + 7, y + 10, x + 11, y + 2);
}

void draw_check_mark(int i)
{
	int x = global_chkbutton_x[i];
	int y = global_chkbutton_y[i];
	fill_lines(window2, global_pen2, x + 2, x + 11, y + 2, y + 11);
	if (kyx_chkbutton_obj.state[i] == 1)
		draw_tick(x, y);
}

static void draw_chkbutton(int i)
{
	int x = global_chkbutton_x[i];
	int y = global_chkbutton_y[i];
	utf8_draw(window2, global_pen, x + 17, y + 12, text_of(global_chkbutton_label[i]));
	draw_line(window2, global_pen3, x, y, x + 12, y);
	draw_line(window2, global_pen, x + 1, y + 1, x + 11, y + 1);
	draw_line(window2, global_pen2, x + 13, y, x + 13, y + 13);
	draw_line(window2, global_pen2, x, y + 13, x + 13, y + 13);
	draw_line(window2, global_pen3, x, y, x, y + 12);
	draw_line(window2, global_pen, x + 1, y + 1, x + 1, y + 11);
	draw_check_mark(i);
}

void clear_list_area(int i)
{
	int x = global_selectlist_x[i];
	int y = global_selectlist_y[i];
	fill_lines(window2, global_pen2, x, x + global_selectlist_c[i], y,
		y + global_selectlist_r[i] - 1);
}

void draw_list_highlight(int i)
{
	int h = global_selectlist_r[i];
	int offset = kyx_selectlist_obj.offset[i];
	if (!list_highlight_shown(kyx_selectlist_obj.state[i], offset, h))
		return;
	int x = global_selectlist_x[i];
	int y = global_selectlist_y[i] + offset;
	fill_lines(window2, global_pen4, x, x + global_selectlist_c[i], y, y + 9);
}

void draw_list_items(int i)
{
	int x = global_selectlist_x[i];
	int y = global_selectlist_y[i];
	int rows = global_selectlist_r[i] / list_row_height;
	const auto& items = list_items[i];
	for (int k = 0; k < rows; ++k) {
		long item = static_cast<long>(kyx_selectlist_obj.top[i]) + k;
		if (item < 0 || item >= static_cast<long>(items.size()))
			continue;
		utf8_draw(window2, global_pen, x + 2, y + 10 * k + 9, text_of(items[item]));
	}
}

static void draw_selectlist(int i)
{
	int x = global_selectlist_x[i];
	int y = global_selectlist_y[i];
	int h = global_selectlist_r[i];
	int sx = x + global_selectlist_c[i];
	clear_list_area(i);
	draw_line(window2, global_pen, x - 1, y - 1, sx + 11, y - 1);
	draw_line(window2, global_pen2, x - 1, y + h, sx + 11, y + h);
	draw_line(window2, global_pen, x - 1, y - 1, x - 1, y + h - 1);

	draw_line(window2, global_pen2, sx + 1, y, sx + 11, y);
	draw_line(window2, global_pen, sx + 1, y + 10, sx + 11, y + 10);
	draw_line(window2, global_pen2, sx + 1, y + 11, sx + 11, y + 11);
	for (int k = 0; k <= 2; ++k)
		draw_line(window2, global_pen, sx + 5 - k, y + 4 + k, sx + 6 + k, y + 4 + k);

	draw_line(window2, global_pen, sx + 1, y + h - 12, sx + 11, y + h - 12);
	draw_line(window2, global_pen2, sx + 1, y + h - 11, sx + 11, y + h - 11);
	draw_line(window2, global_pen, sx + 1, y + h - 1, sx + 11, y + h - 1);
	draw_line(window2, global_pen, sx + 5, y + h - 5, sx + 6, y + h - 5);
	draw_line(window2, global_pen, sx + 4, y + h - 6, sx + 7, y + h - 6);
	draw_line(window2, global_pen, sx + 3, y + h - 7, sx + 8, y + h - 7);
	draw_line(window2, global_pen, sx + 11, y, sx + 11, y + h - 1);

	draw_list_highlight(i);
	draw_list_items(i);
}

static void draw_frame(int i)
{
	int x1 = global_frame_x1[i];
	int y1 = global_frame_y1[i];
	int x2 = global_frame_x2[i];
	int y2 = global_frame_y2[i];
	utf8_draw(window2, global_pen, x1, y1, text_of(global_frame_label[i]));
	draw_line(window2, global_pen, x1, y1, x2, y1);
	draw_line(window2, global_pen2, x1, y1 + 1, x2, y1 + 1);
	draw_line(window2, global_pen, x1, y2, x2, y2);
	draw_line(window2, global_pen, x1, y1, x1, y2);
	draw_line(window2, global_pen2, x1 + 1, y1 + 1, x1 + 1, y2);
	draw_line(window2, global_pen, x2, y1, x2, y2);
}

// Every row of a widget table in turn, in the order they were made.
static void draw_each(int num, void (*draw)(int))
{
	for (int i = 0; i < count_of(num); ++i)
		draw(i);
}

void kyx_redraw()
{
	XClearWindow(display, window2);
	draw_background();
	draw_menu_bars();
	draw_menus();
	draw_each(global_pie_num, draw_pie);
	draw_each(global_label_num, draw_label);
	draw_separators();
	draw_each(global_button_num, draw_button);
	draw_each(global_image_num,
		  [](int i) { draw_image(xpm_image[i], global_image_i[i], global_image_w[i], global_image_h[i]); });
	draw_each(global_imagebutton_num, draw_imagebutton);
	draw_each(global_lbutton_num, draw_lbutton);
	draw_each(global_textentry_num, draw_entry);
	draw_each(global_chkbutton_num, draw_chkbutton);
	draw_each(global_selectlist_num, draw_selectlist);
	draw_each(global_frame_num, draw_frame);
}

} // namespace kyx
