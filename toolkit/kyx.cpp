// Connection, palette, main window, widget creation and setters of the kyx toolkit.
#include "kyx.h"

#include <cstddef>
#include <cstring>

#include <X11/Xutil.h>

#include "kyx_internal.h"
#include "kyx_pictures.h"
#include "kyx_utf8_draw.h"

using namespace kyx;

const uint32_t X_RED = 0xFF0000;
const uint32_t X_RED2 = 0xDD0000;
const uint32_t X_RED3 = 0xBB0000;
const uint32_t X_LLGREEN = 0xDDFFDD;
const uint32_t X_LGREEN = 0xAADD88;
const uint32_t X_GREEN = 0x00FF00;
const uint32_t X_GREEN2 = 0x00DD00;
const uint32_t X_BLUE = 0x0000FF;
const uint32_t X_BLUE2 = 0x0000DD;
const uint32_t X_BLUE3 = 0x0000BB;
const uint32_t X_BLUE4 = 0x000099;
const uint32_t X_BLUE5 = 0x000077;
const uint32_t X_YELLOW = 0xFFFF00;
const uint32_t X_YELLOW3 = 0xBBBB00;
const uint32_t X_WHITE = 0xFFFFFF;
const uint32_t X_GREY = 0xCCCCCC;
const uint32_t X_DGREY = 0x909090;
const uint32_t X_BLACK = 0;

Display *display;
Window window2;
Window window;
int X11return;
int kyx_window_status;
int KYX_event_flag;
XEvent global_event;

XGCValues global_pen_prop, global_pen2_prop, global_pen3_prop, global_pen4_prop,
	global_pen5_prop, global_pen6_prop, global_button_pen_prop;
GC global_pen, global_pen2, global_pen3, global_pen4, global_pen5, global_pen6;
std::array<GC, kyx_capacity> global_button_pen;
GC gcpixmap1, gcpixmap2;

GC gcP;
int windowtile;
int background_pixmap;
XpmAttributes attributes_bg;

int global_label_num, global_frame_num, global_hline_num, global_vline_num, global_button_num,
	global_lbutton_num, global_selectlist_num, global_chkbutton_num, global_textentry_num,
	global_pie_num, global_image_num, global_imagebutton_num, global_menubar_num,
	global_menu_num, global_menuitem_num;

std::array<kyx_text, kyx_capacity> global_label_text;
std::array<int, kyx_capacity> global_label_x, global_label_y, global_label_border;
std::array<Window, kyx_capacity> wlabel;
std::array<GC, kyx_capacity> gcP_label;
std::array<int, kyx_capacity> labeltile, backgroundlabel_pixmap;

std::array<int, kyx_capacity> global_hline_x, global_hline_y, global_hline_len;
std::array<int, kyx_capacity> global_vline_x, global_vline_y, global_vline_len;

std::array<int, kyx_capacity> global_frame_x1, global_frame_y1, global_frame_x2,
	global_frame_y2;
std::array<kyx_text, kyx_capacity> global_frame_label;

std::array<kyx_text, kyx_capacity> global_button_text;
std::array<int, kyx_capacity> global_button_x, global_button_y;

std::array<kyx_text, kyx_capacity> global_lbutton_text;
std::array<int, kyx_capacity> global_lbutton_x, global_lbutton_y;

std::array<kyx_text, kyx_capacity> global_chkbutton_label;
std::array<int, kyx_capacity> global_chkbutton_x, global_chkbutton_y;

std::array<int, kyx_capacity> global_selectlist_x, global_selectlist_y, global_selectlist_c,
	global_selectlist_r, global_selectlist_nl;

std::array<int, kyx_capacity> global_textentry_x, global_textentry_y, global_textentry_width,
	global_textentry_type, global_textentry_me, place;
std::array<kyx_text, kyx_capacity> numberstring;

std::array<int, kyx_capacity> global_pie_x, global_pie_y, global_pie_r, kyx_pie_obj;

std::array<int, kyx_capacity> global_image_x, global_image_y, global_image_w, global_image_h;
std::array<GC, kyx_capacity> global_image_i;
std::array<Window, kyx_capacity> xpm_image;
std::array<int, kyx_capacity> global_imagebutton_x, global_imagebutton_y,
	global_imagebutton_w, global_imagebutton_h;
std::array<GC, kyx_capacity> global_imagebutton_i;
std::array<Window, kyx_capacity> xpm_imagebutton;

std::array<kyx_text, kyx_capacity> global_menu_label;
std::array<int, kyx_capacity> global_menu_parent, global_menu_x, global_menu_x2;
std::array<Window, kyx_capacity> pulldown;
std::array<int, kyx_capacity> global_menuitem_numinmenu;
std::array<kyx_text, kyx_capacity> global_menuitem_label;
std::array<int, kyx_capacity> global_menuitem_parent, global_menuitem_x, global_menuitem_y;

kyx_object kyx_lbutton_obj;
kyx_object kyx_chkbutton_obj;
kyx_object kyx_selectlist_obj;
kyx_textobject kyx_textentry_obj;

std::array<kyx_callback, kyx_capacity> kyx_Array, kyx_Array2, kyx_Array3, kyx_Array4;

namespace kyx {

kyx_point main_window_size;
kyx_point window_bg_size;
std::array<kyx_point, kyx_capacity> label_bg_size;
std::array<std::vector<kyx_item>, kyx_capacity> list_items;

static_assert(sizeof(kyx_object) == 3 * kyx_object_slots * sizeof(int));
static_assert(offsetof(kyx_object, state) == 2 * kyx_object_slots * sizeof(int));
static_assert(sizeof(kyx_textobject) == kyx_object_slots * (sizeof(int) + kyx_object_slots));

static int x_error_count;
static int x_last_error;

int kyx_x_error_count()
{
	return x_error_count;
}

int kyx_x_last_error()
{
	return x_last_error;
}

// Xlib's default handler ends the process on any protocol error; recording it instead lets
// the failure paths (a window whose attributes cannot be read) return as intended.
static int record_x_error(Display *, XErrorEvent *e)
{
	++x_error_count;
	x_last_error = e->error_code;
	return 0;
}

} // namespace kyx

char *kyx_selectlist_item(int list, int item)
{
	if (!handle_ok(list, global_selectlist_num) || item < 0)
		return nullptr;
	auto& items = list_items[list];
	return item < static_cast<int>(items.size()) ? items[item].data() : nullptr;
}

void x_open(void)
{
	display = XOpenDisplay(nullptr);
	if (!display)
		kyx_die("Can't open %s \n", XDisplayName(nullptr));
	XSetErrorHandler(record_x_error);
	kyx_window_status = 0;
}

void x_close(void)
{
	if (display)
		XCloseDisplay(display);
	display = nullptr;
}

static void set_pen_prop(XGCValues& prop, uint32_t fg, Font font)
{
	prop.foreground = fg;
	prop.background = X_GREY;
	prop.font = font;
}

// A main-window pen from its property record.
static GC pen_from(const XGCValues& prop)
{
	return make_pen(window2, prop.foreground, prop.background, prop.font);
}

// Lamps tile their picture whole: every row is one colour, so no mask is needed.
static GC make_lamp(const char *const *xpm)
{
	GC gc = make_picture_pen(window2);
	tile_pen(gc, read_picture_data(window2, xpm), false);
	return gc;
}

void kyx_window(const char *title, int width, int height)
{
	if (!display)
		return;
	XFontStruct *font = load_font("fixed");
	if (!font)
		kyx_die("Display doesn't know the font fixed\n");
	utf8_fonts_load(font);

	set_pen_prop(global_pen_prop, X_BLACK, font->fid);
	set_pen_prop(global_pen2_prop, X_WHITE, font->fid);
	set_pen_prop(global_pen3_prop, X_DGREY, font->fid);
	set_pen_prop(global_pen4_prop, X_YELLOW, font->fid);
	set_pen_prop(global_pen5_prop, X_GREY, font->fid);
	set_pen_prop(global_pen6_prop, X_BLUE4, font->fid);
	set_pen_prop(global_button_pen_prop, X_GREY, font->fid);

	window2 = make_centred_window(title, width, height, X_GREY);
	main_window_size = kyx_point{width, height};

	global_pen = pen_from(global_pen_prop);
	global_pen2 = pen_from(global_pen2_prop);
	global_pen3 = pen_from(global_pen3_prop);
	global_pen4 = pen_from(global_pen4_prop);
	global_pen5 = pen_from(global_pen5_prop);
	global_pen6 = pen_from(global_pen6_prop);
	for (GC& pen : global_button_pen)
		pen = pen_from(global_button_pen_prop);

	show_window(window2);
	kyx_window_status = 1;

	gcpixmap1 = make_lamp(rn_xpm);
	gcpixmap2 = make_lamp(rn2_xpm);
}

// Reads an XPM file for a window or label background. attributes_bg keeps the size of the
// picture read last, whichever it was; each background also keeps its own size.
static picture load_background(Drawable d, const char *path)
{
	picture pic = read_picture_file(d, path);
	if (pic.pixmap) {
		attributes_bg.valuemask = XpmSize;
		attributes_bg.width = static_cast<unsigned>(pic.width);
		attributes_bg.height = static_cast<unsigned>(pic.height);
	}
	return pic;
}

// A tiled background covers its whole area; one drawn once shows through its mask.
static GC background_pen(Drawable d, const picture& pic, int tile)
{
	GC pen = make_picture_pen(d);
	tile_pen(pen, pic, !tile);
	return pen;
}

void kyx_setwindowbg(const char *path, int tile)
{
	if (!window2)
		return;
	picture pic = load_background(window2, path);
	if (!pic.pixmap) {
		background_pixmap = 0;
		return;
	}
	gcP = background_pen(window2, pic, tile);
	windowtile = tile == kyx_bg_whole ? kyx_bg_whole : tile ? kyx_bg_tiled : kyx_bg_once;
	window_bg_size = kyx_point{pic.width, pic.height};
	background_pixmap = 1;
}

static Window make_child(int x, int y, int w, int h, int border, uint32_t border_pixel)
{
	return XCreateSimpleWindow(display, window2, x, y, static_cast<unsigned>(w),
		static_cast<unsigned>(h), static_cast<unsigned>(border), border_pixel, X_GREY);
}

int kyx_label(const char *text, int x, int y, int border)
{
	int n = global_label_num;
	if (n >= kyx_capacity || !window2)
		return -1;
	copy_text(global_label_text[n], text_of(text));
	global_label_x[n] = x;
	global_label_y[n] = y;
	global_label_border[n] = border;
	wlabel[n] = make_child(x - 2, y - 11, label_window_width(text_cells(global_label_text[n])),
		13, 0, X_GREY);
	global_label_num = n + 1;
	return n;
}

void kyx_hseparator(int x, int y, int length)
{
	int n = global_hline_num;
	if (n >= kyx_capacity)
		return;
	global_hline_x[n] = x;
	global_hline_y[n] = y;
	global_hline_len[n] = length;
	global_hline_num = n + 1;
}

void kyx_vseparator(int x, int y, int length)
{
	int n = global_vline_num;
	if (n >= kyx_capacity)
		return;
	global_vline_x[n] = x;
	global_vline_y[n] = y;
	global_vline_len[n] = length;
	global_vline_num = n + 1;
}

int kyx_button(int x, int y, const char *text, kyx_callback callback)
{
	int n = global_button_num;
	if (n >= kyx_capacity)
		return -1;
	copy_text(global_button_text[n], text_of(text));
	global_button_x[n] = x;
	global_button_y[n] = y;
	kyx_Array[n] = callback;
	global_button_num = n + 1;
	return n;
}

GC kyx_setbuttoncolor(int button, uint32_t pixel)
{
	if (button < 0 || button >= kyx_capacity || !window2)
		return nullptr;
	global_button_pen_prop.foreground = pixel;
	global_button_pen_prop.background = pixel;
	// The face pen draws no text: it carries no font.
	global_button_pen[button] = make_pen(window2, pixel, pixel, 0);
	return global_button_pen[button];
}

int kyx_lbutton(int x, int y, const char *text, kyx_callback callback)
{
	int n = global_lbutton_num;
	if (n >= kyx_capacity)
		return -1;
	copy_text(global_lbutton_text[n], text_of(text));
	global_lbutton_x[n] = x;
	global_lbutton_y[n] = y;
	kyx_Array2[n] = callback;
	kyx_lbutton_obj.state[n] = 0;
	global_lbutton_num = n + 1;
	return n;
}

int kyx_selectlist(int x, int y, int count, char items[][kyx_item_size], int columns, int rows)
{
	int n = global_selectlist_num;
	if (n >= kyx_capacity)
		return -1;
	if (count < 0 || !items)
		count = 0;
	if (count > kyx_list_items)
		count = kyx_list_items;
	global_selectlist_c[n] = list_width_px(columns);
	global_selectlist_r[n] = list_height_px(rows);
	global_selectlist_x[n] = x;
	global_selectlist_y[n] = y;
	global_selectlist_nl[n] = count;
	kyx_selectlist_obj.state[n] = -1;
	kyx_selectlist_obj.top[n] = 0;
	auto& store = list_items[n];
	store.assign(static_cast<std::size_t>(count), kyx_item{});
	for (int i = 0; i < count; ++i)
		copy_text(store[i], std::string_view{items[i], strnlen(items[i], kyx_item_size)});
	global_selectlist_num = n + 1;
	return n;
}

int kyx_chkbutton(int x, int y, const char *label)
{
	int n = global_chkbutton_num;
	if (n >= kyx_capacity)
		return -1;
	copy_text(global_chkbutton_label[n], text_of(label));
	global_chkbutton_x[n] = x;
	global_chkbutton_y[n] = y;
	kyx_chkbutton_obj.state[n] = 0;
	global_chkbutton_num = n + 1;
	return n;
}

int kyx_textentry(int x, int y, int width, int type)
{
	int n = global_textentry_num;
	if (n >= kyx_capacity)
		return -1;
	global_textentry_x[n] = x;
	global_textentry_y[n] = y;
	global_textentry_width[n] = width;
	global_textentry_type[n] = type;
	global_textentry_me[n] = entry_caret_limit(width);
	global_textentry_num = n + 1;
	return n;
}

int kyx_frame(int x1, int y1, int x2, int y2, const char *label)
{
	int n = global_frame_num;
	if (n >= kyx_capacity)
		return -1;
	global_frame_x1[n] = x1;
	global_frame_y1[n] = y1;
	global_frame_x2[n] = x2;
	global_frame_y2[n] = y2;
	copy_text(global_frame_label[n], text_of(label));
	global_frame_num = n + 1;
	return n;
}

// The picture of an image or image button. One that cannot be read leaves the widget blank:
// no size, no child window, nothing to paint or click.
static bool load_picture_pen(GC pen, const char *path, int& w, int& h)
{
	picture pic = read_picture_file(window2, path);
	tile_pen(pen, pic, false);
	w = pic.width;
	h = pic.height;
	return pic.pixmap && w > 0 && h > 0;
}

int kyx_image(int x, int y, const char *path)
{
	int n = global_image_num;
	if (n >= kyx_capacity || !window2)
		return -1;
	global_image_i[n] = make_picture_pen(window2);
	bool ok = load_picture_pen(global_image_i[n], path, global_image_w[n], global_image_h[n]);
	global_image_x[n] = x;
	global_image_y[n] = y;
	xpm_image[n] = ok ? make_child(x, y, global_image_w[n], global_image_h[n], 0, X_GREY) : 0;
	global_image_num = n + 1;
	return n;
}

int kyx_imagebutton(int x, int y, const char *path, kyx_callback callback)
{
	int n = global_imagebutton_num;
	if (n >= kyx_capacity || !window2)
		return -1;
	global_imagebutton_i[n] = make_picture_pen(window2);
	bool ok = load_picture_pen(global_imagebutton_i[n], path, global_imagebutton_w[n],
		global_imagebutton_h[n]);
	kyx_Array4[n] = callback;
	global_imagebutton_x[n] = x;
	global_imagebutton_y[n] = y;
	xpm_imagebutton[n] = 0;
	if (ok) {
		xpm_imagebutton[n] = make_child(x, y, global_imagebutton_w[n], global_imagebutton_h[n],
			0, X_GREY);
		XSelectInput(display, xpm_imagebutton[n], kyx_event_mask);
	}
	global_imagebutton_num = n + 1;
	return n;
}

int kyx_pie(int x, int y, int diameter, int percent)
{
	int n = global_pie_num;
	if (n >= kyx_capacity)
		return -1;
	global_pie_x[n] = x;
	global_pie_y[n] = y;
	global_pie_r[n] = diameter;
	kyx_pie_obj[n] = percent;
	global_pie_num = n + 1;
	return n;
}

int kyx_menubar(void)
{
	return global_menubar_num++;
}

int kyx_menu(int bar, const char *title)
{
	int n = global_menu_num;
	if (n >= kyx_capacity || !window2)
		return -1;
	global_menu_parent[n] = bar;
	copy_text(global_menu_label[n], text_of(title));
	kyx_point span = menu_span(n, n > 0 ? global_menu_x2[n - 1] : 0,
		text_cells(global_menu_label[n]));
	global_menu_x[n] = span.x;
	global_menu_x2[n] = span.y;
	pulldown[n] = make_child(span.x, 21, menu_pulldown_width, 100, 1, X_DGREY);
	XSelectInput(display, pulldown[n], kyx_event_mask);
	global_menu_num = n + 1;
	return n;
}

int kyx_menuitem(int menu, const char *label, kyx_callback callback)
{
	int n = global_menuitem_num;
	if (n >= kyx_capacity || !handle_ok(menu, global_menu_num))
		return -1;
	global_menuitem_parent[n] = menu;
	copy_text(global_menuitem_label[n], text_of(label));
	kyx_Array3[n] = callback;
	global_menuitem_x[n] = 2;
	int b = menuitem_baseline(global_menuitem_numinmenu[menu],
		n > 0 ? global_menuitem_y[n - 1] : 0);
	global_menuitem_y[n] = b;
	XResizeWindow(display, pulldown[menu], menu_pulldown_width, static_cast<unsigned>(b + 5));
	++global_menuitem_numinmenu[menu];
	global_menuitem_num = n + 1;
	return n;
}

void kyx_setlabelbg(const char *path, int tile, int label)
{
	if (!handle_ok(label, global_label_num))
		return;
	picture pic = load_background(wlabel[label], path);
	if (!pic.pixmap) {
		backgroundlabel_pixmap[label] = 0;
		return;
	}
	gcP_label[label] = background_pen(wlabel[label], pic, tile);
	labeltile[label] = tile ? 1 : 0;
	label_bg_size[label] = kyx_point{pic.width, pic.height};
	backgroundlabel_pixmap[label] = 1;
}

void kyx_settextentry(int entry, const char *text)
{
	if (!handle_ok(entry, global_textentry_num))
		return;
	KYX_event_flag = 1;
	copy_text(numberstring[entry], text_of(text));
	copy_text(kyx_textentry_obj.text[entry], numberstring[entry].data());
	place[entry] = text_width(text_cells(numberstring[entry]));
}

void kyx_closewindow(void)
{
	if (window2)
		XUnmapWindow(display, window2);
	kyx_window_status = 0;
}

static void set_slot(std::array<kyx_callback, kyx_capacity>& table, int slot, kyx_callback f)
{
	if (slot >= 0 && slot < kyx_capacity)
		table[slot] = f;
}

static void run_slot(const std::array<kyx_callback, kyx_capacity>& table, int slot)
{
	if (slot >= 0 && slot < kyx_capacity && table[slot])
		table[slot]();
}

void kyx_setfunction(int slot, kyx_callback callback)
{
	set_slot(kyx_Array, slot, callback);
}

void kyx_setfunction2(int slot, kyx_callback callback)
{
	set_slot(kyx_Array2, slot, callback);
}

void kyx_setfunction3(int slot, kyx_callback callback)
{
	set_slot(kyx_Array3, slot, callback);
}

void kyx_setfunction4(int slot, kyx_callback callback)
{
	set_slot(kyx_Array4, slot, callback);
}

void kyx_ExecCallback(int slot)
{
	run_slot(kyx_Array, slot);
}

void kyx_ExecCallback2(int slot)
{
	run_slot(kyx_Array2, slot);
}

void kyx_ExecCallback3(int slot)
{
	run_slot(kyx_Array3, slot);
}

void kyx_ExecCallback4(int slot)
{
	run_slot(kyx_Array4, slot);
}
