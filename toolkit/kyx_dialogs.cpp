// Modal dialogs of the toolkit: message, radio, list, bar-chart, blank and picture boxes.
#include "kyx.h"
#include "kyx_dialogs_internal.h"
#include "kyx_pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

using namespace kyx;

namespace kyx {

namespace {

constexpr kyx_point picture_origin{50, 50};
// Rows and bars whose top lies beyond the 16-bit coordinate space can never be seen.
constexpr int list_row_limit = 2340;
constexpr int graph_bar_limit = 1639;

// The dialogs that are given a font name end the process when the server does not know it.
[[noreturn]] void die_unknown_font(const char *name)
{
	kyx_die("Display %s doesn't know the font '%s'\n", DisplayString(display), or_empty(name));
}

// The caller's buffer held "DEFAULT", so the shorter "fixed" always fits in it.
void replace_default_font(char *name)
{
	if (name && std::strcmp(name, "DEFAULT") == 0)
		std::memcpy(name, "fixed", sizeof "fixed");
}

// The window of a dialog is also the toolkit's window of the open dialog.
void take_window(dialog_frame &f, Window win, int w, int h)
{
	f.win = win;
	f.width = w;
	f.height = h;
	window = win;
}

void create_centred_window(dialog_frame &f, const char *title, int w, int h)
{
	take_window(f, make_centred_window(or_empty(title), w, h, X_GREY), w, h);
}

// Keeps drawn content centred while the user resizes, until the next redraw lays it out again.
void set_centre_gravity(Window win)
{
	XSetWindowAttributes a{};
	a.bit_gravity = CenterGravity;
	a.colormap = DefaultColormap(display, DefaultScreen(display));
	XChangeWindowAttributes(display, win, CWBitGravity | CWColormap, &a);
}

void close_window(Window win)
{
	XDestroyWindow(display, win);
	XFlush(display);
}

void free_pens(std::initializer_list<GC> pens)
{
	for (GC pen : pens)
		if (pen)
			XFreeGC(display, pen);
}

void free_pixmaps(std::initializer_list<Pixmap> pixmaps)
{
	for (Pixmap p : pixmaps)
		if (p != None)
			XFreePixmap(display, p);
}

// The frame's font; false when the server does not know it.
bool load_frame_font(dialog_frame &f, const char *name)
{
	f.font = load_font(name);
	return f.font != nullptr;
}

void free_font(dialog_frame &f)
{
	if (f.font)
		XFreeFont(display, f.font);
	f.font = nullptr;
}

bool is_last_expose(const XEvent &e)
{
	return e.type == Expose && e.xexpose.count == 0;
}

bool begin_redraw(dialog_frame &f)
{
	kyx_point size;
	if (!take_exposures(f.win, size))
		return false;
	f.width = size.x;
	f.height = size.y;
	XClearWindow(display, f.win);
	return true;
}

// The message box, the list and the bar chart only show what they hold: the event that
// `closes` them, or the window manager's close request, ends them with 1.
template <typename State>
dialog_outcome shown_until(State &s, const XEvent &e, bool closes, void (*draw)(const State &))
{
	if (closes || close_requested(e, s.frame.win)) {
		close_window(s.frame.win);
		return {true, 1};
	}
	if (is_last_expose(e)) {
		if (!begin_redraw(s.frame))
			return {true, 0};
		draw(s);
	}
	return {false, 0};
}

// The dialog takes every event of the connection while it runs, the main window's exposures
// too, so the main window is painted afresh once it ends, before the dialog's resources go. A
// request to close the main window is not lost meanwhile: the main loop ends as soon as the
// dialog has.
template <typename State>
int run_modal(State &s, dialog_outcome (*on_event)(State &, const XEvent &), void (*release)(State &))
{
	XEvent e;
	for (;;) {
		XNextEvent(display, &e);
		if (window2 && close_requested(e, window2))
			kyx_closewindow();
		dialog_outcome o = on_event(s, e);
		if (o.done) {
			kyx_repaint();
			release(s);
			return o.result;
		}
	}
}

int text_baseline(int ascent, int descent, int h)
{
	return (ascent + h - descent) / 2;
}

int font_ascent(const XFontStruct *font)
{
	return font->max_bounds.ascent;
}

int font_descent(const XFontStruct *font)
{
	return font->max_bounds.descent;
}

} // namespace

// Message box.

bool msgbox_closes(int ex, int ey, int w, int h)
{
	return ex >= w / 2 - 24 && ey >= h - 38;
}

namespace {

bool has_ok_button(int kind)
{
	return kind == 1 || kind == 2 || kind == 4 || kind == 5;
}

void make_icon(msgbox_state &s)
{
	s.icon = make_picture_pen(s.frame.win);
	// A colour warning still yields a picture; only a failure leaves the corner empty.
	picture p = read_picture_data(s.frame.win, s.kind == 4 ? warning_xpm : information_xpm);
	s.icon_pixmap = p.pixmap;
	s.icon_mask = p.mask;
	tile_pen(s.icon, p, true);
}

void draw_face(Window win, GC yellow, GC black)
{
	fill_arc(win, yellow, 10, 10, 30, 30, 0, full_circle);
	draw_arc(win, black, 10, 10, 30, 30, 0, full_circle);
	fill_arc(win, black, 17, 15, 5, 5, 0, full_circle);
	fill_arc(win, black, 28, 15, 5, 5, 0, full_circle);
	draw_arc(win, black, 15, 15, 20, 20, 0, -full_circle / 2);
}

void draw_ok_button(const msgbox_state &s, int c, int h, int ok_x)
{
	Window win = s.frame.win;
	fill_rect(win, s.dgrey, c - 25, h - 40, 50, 30);
	draw_line(win, s.white, c - 24, h - 39, c + 24, h - 39);
	draw_line(win, s.white, c - 23, h - 38, c + 23, h - 38);
	draw_line(win, s.white, c - 24, h - 39, c - 24, h - 12);
	fill_rect(win, s.grey, c - 23, h - 37, 46, 24);
	draw_text(win, s.black, ok_x, h - 20, "OK");
}

void msgbox_draw(const msgbox_state &s)
{
	const dialog_frame &f = s.frame;
	int w = f.width;
	int h = f.height;
	int text_x = (w - measured_width(f.font, text_of(s.text))) / 2;
	int ok_x = (w - measured_width(f.font, "OK")) / 2;
	int y = text_baseline(font_ascent(f.font), font_descent(f.font), h);
	draw_text(f.win, s.black, text_x, y, text_of(s.text));
	if (s.icon_pixmap != None)
		fill_rect(f.win, s.icon, 0, 0, msgbox_icon_size, msgbox_icon_size);
	if (s.kind == 2 || s.kind == 3)
		draw_face(f.win, s.yellow, s.black);
	if (has_ok_button(s.kind))
		draw_ok_button(s, w / 2, h, ok_x);
}

} // namespace

bool msgbox_open(msgbox_state &s, int kind, const char *text, const char *title, const char *font_name,
		 int margin)
{
	s = {};
	if (!load_frame_font(s.frame, font_name))
		return false;
	s.kind = kind;
	s.text = or_empty(text);
	long line = font_ascent(s.frame.font) + font_descent(s.frame.font);
	int w = window_extent(measured_width(s.frame.font, text_of(s.text)) + 2L * margin);
	int h = window_extent(line + 2L * margin);
	create_centred_window(s.frame, title, w, h);
	set_centre_gravity(s.frame.win);
	Font fid = s.frame.font->fid;
	s.white = make_pen(s.frame.win, X_WHITE, X_GREY, fid);
	s.grey = make_pen(s.frame.win, X_GREY, X_GREY, fid);
	s.dgrey = make_pen(s.frame.win, X_DGREY, X_GREY, fid);
	s.yellow = make_pen(s.frame.win, X_YELLOW, X_GREY, fid);
	s.black = make_pen(s.frame.win, X_BLACK, X_GREY, fid);
	if (kind == 4 || kind == 5)
		make_icon(s);
	show_window(s.frame.win);
	return true;
}

dialog_outcome msgbox_event(msgbox_state &s, const XEvent &e)
{
	bool ok = e.type == ButtonPress
		&& msgbox_closes(e.xbutton.x, e.xbutton.y, s.frame.width, s.frame.height);
	return shown_until(s, e, ok, msgbox_draw);
}

void msgbox_release(msgbox_state &s)
{
	free_pens({s.white, s.grey, s.dgrey, s.yellow, s.black, s.icon});
	free_pixmaps({s.icon_pixmap, s.icon_mask});
	free_font(s.frame);
	s = {};
}

} // namespace kyx

int x_msgbox(int kind, const char *text, const char *title, char *fontname, int margin)
{
	replace_default_font(fontname);
	msgbox_state s{};
	if (!msgbox_open(s, kind, text, title, fontname, margin)) {
		kyx_die("Display %s doesn't know the font '%s' ::RURovu\n", DisplayString(display),
			or_empty(fontname));
	}
	return run_modal(s, msgbox_event, msgbox_release);
}

namespace kyx {

// Blank box.

bool calbox_open(dialog_frame &f, const char *title)
{
	f = {};
	if (!load_frame_font(f, "fixed"))
		return false;
	create_centred_window(f, title, calbox_size, calbox_size);
	show_window(f.win);
	return true;
}

dialog_outcome calbox_event(dialog_frame &f, const XEvent &e)
{
	if (e.type == ButtonPress || e.type == KeyPress || close_requested(e, f.win)) {
		close_window(f.win);
		return {true, 0};
	}
	if (is_last_expose(e) && !begin_redraw(f))
		return {true, 0};
	return {false, 0};
}

} // namespace kyx

int x_calbox(const char *title)
{
	dialog_frame f{};
	if (!calbox_open(f, title)) {
		kyx_die("Display doesn't know the font fixed\n");
	}
	return run_modal(f, calbox_event, free_font);
}

namespace kyx {

// Radio box.

int radio_choice(int ey, int baseline)
{
	long y = baseline;
	if (y + 10 <= ey && ey <= y + 20)
		return 1;
	if (y + 30 <= ey && ey <= y + 40)
		return 2;
	return 0;
}

namespace {

int radio_column(int w, int label1_width, int label2_width)
{
	return std::min((w - label1_width) / 2, (w - label2_width) / 2);
}

void draw_radio_mark(const radio_state &s, int x, int top)
{
	fill_arc(s.frame.win, s.dgrey, x - 21L, top, 15, 15, 0, full_circle);
	fill_arc(s.frame.win, s.white, x - 20L, top + 1L, 15, 15, 0, full_circle);
}

void radio_draw(radio_state &s)
{
	const dialog_frame &f = s.frame;
	int w = f.width;
	int question_x = (w - measured_width(f.font, text_of(s.question))) / 2;
	int x = radio_column(w, measured_width(f.font, text_of(s.option1)),
		measured_width(f.font, text_of(s.option2)));
	int y = text_baseline(font_ascent(f.font), font_descent(f.font), f.height);
	s.baseline = y;
	draw_text(f.win, s.black, question_x, y, text_of(s.question));
	draw_radio_mark(s, x, y + 4);
	draw_text(f.win, s.black, x, y + 20, text_of(s.option1));
	draw_radio_mark(s, x, y + 24);
	draw_text(f.win, s.black, x, y + 40, text_of(s.option2));
}

} // namespace

bool radio_open(radio_state &s, const char *option1, const char *option2, const char *question,
		const char *title, const char *font_name, int margin)
{
	s = {};
	if (!load_frame_font(s.frame, font_name))
		return false;
	s.option1 = or_empty(option1);
	s.option2 = or_empty(option2);
	s.question = or_empty(question);
	int ascent = font_ascent(s.frame.font);
	int descent = font_descent(s.frame.font);
	int w = window_extent(measured_width(s.frame.font, text_of(s.question)) + 2L * margin);
	int h = window_extent(static_cast<long>(ascent) + descent + 2L * margin);
	create_centred_window(s.frame, title, w, h);
	s.baseline = text_baseline(ascent, descent, h);
	set_centre_gravity(s.frame.win);
	Font fid = s.frame.font->fid;
	s.white = make_pen(s.frame.win, X_WHITE, X_GREY, fid);
	s.black = make_pen(s.frame.win, X_BLACK, X_GREY, fid);
	s.dgrey = make_pen(s.frame.win, X_DGREY, X_GREY, fid);
	show_window(s.frame.win);
	return true;
}

// The window manager's close request is not followed: the caller is owed a choice, 1 or 2,
// and neither stands for none.
dialog_outcome radio_event(radio_state &s, const XEvent &e)
{
	if (e.type == ButtonPress) {
		int choice = radio_choice(e.xbutton.y, s.baseline);
		if (choice != 0) {
			X11return = choice;
			close_window(s.frame.win);
			return {true, choice};
		}
	}
	if (is_last_expose(e)) {
		if (!begin_redraw(s.frame))
			return {true, X11return};
		radio_draw(s);
	}
	return {false, 0};
}

void radio_release(radio_state &s)
{
	free_pens({s.white, s.black, s.dgrey});
	free_font(s.frame);
	s = {};
}

} // namespace kyx

int x_radiobox(const char *option1, const char *option2, const char *question, const char *title,
	       char *fontname, int margin)
{
	replace_default_font(fontname);
	radio_state s{};
	if (!radio_open(s, option1, option2, question, title, fontname, margin)) {
		die_unknown_font(fontname);
	}
	return run_modal(s, radio_event, radio_release);
}

namespace kyx {

// List window.

list_band list_row_band(int style, char marker, char first, int index)
{
	if (style != 1 && style != 2)
		return list_band::none;
	if (first == marker)
		return list_band::yellow;
	if (index % 2 == 0)
		return style == 1 ? list_band::light_green : list_band::white;
	return style == 1 ? list_band::pale_green : list_band::none;
}

namespace {

int list_row_baseline(int index)
{
	return 30 + 14 * index;
}

int list_frame_bottom(int count)
{
	return 17 + 14 * std::clamp(count, 0, list_row_limit);
}

GC band_pen(const list_state &s, list_band band)
{
	switch (band) {
	case list_band::yellow:
		return s.yellow;
	case list_band::light_green:
		return s.light_green;
	case list_band::pale_green:
		return s.pale_green;
	case list_band::white:
		return s.white;
	case list_band::none:
		break;
	}
	return nullptr;
}

void list_draw(const list_state &s)
{
	Window win = s.frame.win;
	long right = static_cast<long>(s.list_width) - 6;
	draw_text(win, s.black, 5, 10, text_of(s.heading));
	draw_line(win, s.black, 1, 12, right, 12);
	int rows = s.rows ? std::clamp(s.count, 0, list_row_limit) : 0;
	for (int i = 0; i < rows; ++i) {
		const char *row = s.rows[i];
		int y = list_row_baseline(i);
		GC pen = band_pen(s, list_row_band(s.style, s.marker, row[0], i));
		if (pen)
			fill_rect(win, pen, 0, y - 12, right + 1, 14);
		draw_text(win, s.black, 5, y, std::string_view{row, strnlen(row, list_slot_size)});
	}
	int bottom = list_frame_bottom(rows);
	draw_line(win, s.white, right, 12, right, bottom);
	draw_line(win, s.white, 1, bottom, right, bottom);
}

} // namespace

bool list_open(list_state &s, int width, int height, const char *title, int style, char marker, int count,
	       char (*rows)[list_slot_size], const char *font_name, const char *heading)
{
	s = {};
	if (!load_frame_font(s.frame, font_name))
		return false;
	s.list_width = width;
	s.style = style;
	s.marker = marker;
	s.count = count;
	s.rows = rows;
	s.heading = or_empty(heading);
	create_centred_window(s.frame, title, window_extent(width), window_extent(height));
	Window win = s.frame.win;
	Font fid = s.frame.font->fid;
	s.black = make_pen(win, X_BLACK, X_GREY, fid);
	s.white = make_pen(win, X_WHITE, X_GREY, fid);
	s.light_green = make_pen(win, X_LGREEN, X_GREY, fid);
	s.pale_green = make_pen(win, X_LLGREEN, X_GREY, fid);
	s.yellow = make_pen(win, X_YELLOW, X_GREY, fid);
	show_window(win);
	return true;
}

dialog_outcome list_event(list_state &s, const XEvent &e)
{
	return shown_until(s, e, e.type == ButtonPress || e.type == KeyPress, list_draw);
}

void list_release(list_state &s)
{
	free_pens({s.black, s.white, s.light_green, s.pale_green, s.yellow});
	free_font(s.frame);
	s = {};
}

} // namespace kyx

int x_slistwindow(int width, int height, const char *title, int style, char marker, int count,
		  char rows[][kyx_text_size], const char *fontname, const char *heading)
{
	list_state s{};
	if (!list_open(s, width, height, title, style, marker, count, rows, fontname, heading)) {
		die_unknown_font(fontname);
	}
	return run_modal(s, list_event, list_release);
}

namespace kyx {

// Bar chart.

namespace {

void graph_draw(const graph_state &s)
{
	Window win = s.frame.win;
	int bars = s.values ? std::clamp(s.count, 0, graph_bar_limit) : 0;
	for (int i = 0; i < bars; ++i) {
		int v = s.values[i];
		int y = 10 + 20 * i;
		draw_line(win, s.black, 1, y, v, y);
		for (int k = 1; k <= 4; ++k)
			draw_line(win, s.blue, 1, y + k, v, y + k);
		draw_line(win, s.black, 1, y + 5, v, y + 5);
		std::array<char, 16> label{};
		std::snprintf(label.data(), label.size(), "$%d", v);
		draw_text(win, s.black, 5, y, text_of(label));
	}
}

} // namespace

bool graph_open(graph_state &s, int width, int height, const char *title, int count, const int *values,
		const char *font_name)
{
	s = {};
	if (!load_frame_font(s.frame, font_name))
		return false;
	s.count = count;
	s.values = values;
	create_centred_window(s.frame, title, window_extent(width), window_extent(height));
	Font fid = s.frame.font->fid;
	s.blue = make_pen(s.frame.win, X_BLUE, X_GREY, fid);
	s.black = make_pen(s.frame.win, X_BLACK, X_GREY, fid);
	show_window(s.frame.win);
	return true;
}

dialog_outcome graph_event(graph_state &s, const XEvent &e)
{
	return shown_until(s, e, e.type == ButtonPress || e.type == KeyPress, graph_draw);
}

void graph_release(graph_state &s)
{
	free_pens({s.blue, s.black});
	free_font(s.frame);
	s = {};
}

} // namespace kyx

int x_graphwindow(int width, int height, const char *title, int count, const int *values, const char *fontname)
{
	graph_state s{};
	if (!graph_open(s, width, height, title, count, values, fontname)) {
		die_unknown_font(fontname);
	}
	return run_modal(s, graph_event, graph_release);
}

namespace kyx {

// Pictures.

namespace {

// A picture that cannot be read leaves the window at its first size and paints nothing.
void load_picture(dialog_picture &p, Window win, const char *path)
{
	p.pen = make_picture_pen(win);
	p.image = read_picture_file(win, path);
	if (p.image.pixmap == None)
		return;
	tile_pen(p.pen, p.image, true);
	resize_top_window(win, picture_origin, p.image.width, p.image.height);
}

void draw_picture(const dialog_picture &p, Window win)
{
	if (p.image.pixmap == None)
		return;
	XFlush(display);
	fill_rect(win, p.pen, 0, 0, p.image.width + 2L, p.image.height + 2L);
}

void release_picture(dialog_picture &p)
{
	free_pens({p.pen});
	free_pixmaps({p.image.pixmap, p.image.mask});
	p = {};
}

} // namespace

// Picture box.

namespace {

void open_picture_window(dialog_frame &f, const char *title, unsigned long background, int w, int h)
{
	w = window_extent(w);
	h = window_extent(h);
	take_window(f, make_top_window(or_empty(title), picture_origin, w, h, background), w, h);
	set_centre_gravity(f.win);
}

void draw_elements(const imgbox_state &s)
{
	for (int i = 0; i < s.art.count; ++i) {
		const drawing_element &el = s.art.element[static_cast<std::size_t>(i)];
		GC pen = s.element_pen[static_cast<std::size_t>(i)];
		if (el.type == 1)
			draw_line(s.frame.win, pen, el.x1, el.y1, el.x2, el.y2);
		else if (el.type == 2)
			fill_rect(s.frame.win, pen, el.x1, el.y1, el.x2, el.y2);
	}
}

} // namespace

imgbox_open_result imgbox_open(imgbox_state &s, const char *path, const char *title)
{
	s.frame = {};
	s.pic = {};
	s.element_pen.fill(nullptr);
	std::FILE *f = path ? std::fopen(path, "r") : nullptr;
	if (!f)
		return imgbox_open_result::no_file;
	s.is_drawing = read_drawing(f, s.art, X_GREY);
	std::fclose(f);
	if (!load_frame_font(s.frame, "fixed"))
		return imgbox_open_result::no_font;
	if (s.is_drawing) {
		open_picture_window(s.frame, title, s.art.background, s.art.width, s.art.height);
		for (int i = 0; i < s.art.count; ++i)
			s.element_pen[static_cast<std::size_t>(i)] =
				make_pen(s.frame.win, s.art.element[static_cast<std::size_t>(i)].colour, s.art.background,
					 s.frame.font->fid);
	} else {
		open_picture_window(s.frame, title, X_GREY, picture_default_size, picture_default_size);
		load_picture(s.pic, s.frame.win, path);
	}
	show_window(s.frame.win);
	return imgbox_open_result::opened;
}

dialog_outcome imgbox_event(imgbox_state &s, const XEvent &e)
{
	if (e.type == ButtonPress) {
		close_window(s.frame.win);
		return {true, e.xbutton.x};
	}
	// Closed without a click: there is no position to give.
	if (close_requested(e, s.frame.win)) {
		close_window(s.frame.win);
		return {true, -1};
	}
	if (e.type == KeyPress) {
		std::printf("%d\n", static_cast<int>(e.xkey.keycode));
		std::fflush(stdout);
	} else if (is_last_expose(e)) {
		if (!begin_redraw(s.frame))
			return {true, -1};
		if (s.is_drawing)
			draw_elements(s);
		else
			draw_picture(s.pic, s.frame.win);
	}
	return {false, 0};
}

void imgbox_release(imgbox_state &s)
{
	for (GC &pen : s.element_pen) {
		free_pens({pen});
		pen = nullptr;
	}
	release_picture(s.pic);
	free_font(s.frame);
}

} // namespace kyx

int x_imgbox(const char *path, const char *title)
{
	// The element table and its pens are too large to sit comfortably on a caller's stack.
	static imgbox_state s;
	switch (imgbox_open(s, path, title)) {
	case imgbox_open_result::no_file:
		return -1;
	case imgbox_open_result::no_font:
		kyx_die("Display doesn't know the font 'fixed'\n");
	case imgbox_open_result::opened:
		break;
	}
	return run_modal(s, imgbox_event, imgbox_release);
}

namespace kyx {

// Picture keypad.

namespace {

void keypad_accept(keypad_state &s, const keypad_key &k)
{
	s.offset += keypad_step;
	long baseline = k.low_row ? keypad_low_baseline : s.y;
	for (int i = 0; k.drawn[i] != '\0'; ++i)
		draw_text(s.frame.win, s.text_pen, static_cast<long>(s.x) + s.offset + keypad_step * i, baseline,
			  std::string_view{&k.drawn[i], 1});
	std::size_t add = std::strlen(k.appended);
	if (s.length + add < s.text.size()) {
		std::memcpy(s.text.data() + s.length, k.appended, add + 1);
		s.length += add;
	}
	if (k.fills)
		s.offset = keypad_full;
}

dialog_outcome keypad_finish(const keypad_state &s)
{
	int result = leading_number(std::string_view(s.text.data(), s.length));
	std::printf("numberstring='%s' x11return=%d\n", s.text.data(), result);
	std::fflush(stdout);
	XFlush(display);
	return {true, result};
}

} // namespace

bool keypad_open(keypad_state &s, const char *path, const char *title, int type, int x, int y)
{
	s = {};
	s.type = type;
	s.x = x;
	s.y = y;
	s.capacity = keypad_capacity(type);
	if (!load_frame_font(s.frame, "fixed"))
		return false;
	open_picture_window(s.frame, title, X_GREY, picture_default_size, picture_default_size);
	s.text_pen = make_pen(s.frame.win, X_BLACK, X_GREY, s.frame.font->fid);
	load_picture(s.pic, s.frame.win, path);
	show_window(s.frame.win);
	return true;
}

dialog_outcome keypad_event(keypad_state &s, const XEvent &e)
{
	// Ends as Return does. The window stays the caller's, as after Return, but leaves the
	// screen, since the user asked for that.
	if (close_requested(e, s.frame.win)) {
		XWithdrawWindow(display, s.frame.win, DefaultScreen(display));
		return keypad_finish(s);
	}
	if (e.type == KeyPress) {
		int code = static_cast<int>(e.xkey.keycode);
		if (code == keypad_return || s.offset >= s.capacity)
			return keypad_finish(s);
		if (const keypad_key *k = keypad_lookup(s.type, code))
			keypad_accept(s, *k);
	} else if (is_last_expose(e)) {
		if (!begin_redraw(s.frame))
			return {true, -1};
		draw_picture(s.pic, s.frame.win);
	}
	return {false, 0};
}

void keypad_release(keypad_state &s)
{
	free_pens({s.text_pen});
	release_picture(s.pic);
	free_font(s.frame);
}

} // namespace kyx

int x_imgkeybox(const char *path, const char *title, int type, int x, int y)
{
	std::printf("xcord , ycord %d , %d \n", x, y);
	std::fflush(stdout);
	keypad_state s{};
	if (!keypad_open(s, path, title, type, x, y)) {
		kyx_die("Display doesn't know the font 'fixed'\n");
	}
	return run_modal(s, keypad_event, keypad_release);
}
