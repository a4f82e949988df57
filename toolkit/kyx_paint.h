// The one helper layer between the toolkit and Xlib, used by the main window and every dialog
// alike: the fatal exit, window placement, pens, tiled pictures, text, and drawing clamped to
// the protocol's 16-bit coordinates.
#ifndef KYX_PAINT_H
#define KYX_PAINT_H

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include <X11/Xlib.h>

namespace kyx {

// Prints one line to standard output and ends the process with status 1.
[[noreturn]] void kyx_die(const char *format, ...) __attribute__((format(printf, 1, 2)));

inline constexpr long kyx_event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask
	| ExposureMask;
inline constexpr int full_circle = 360 * 64;  // arcs are measured in 64ths of a degree

struct kyx_point {
	int x;
	int y;
};

// Top-left of a window centred horizontally and 50 pixels below the vertical centre.
inline kyx_point window_place(int screen_w, int screen_h, int w, int h)
{
	return kyx_point{(screen_w - w) / 2, (screen_h - h) / 2 + 50};
}

// Coordinates travel as signed 16-bit fields, sizes as unsigned ones; a value outside
// would wrap on the wire, so it is held at the nearest end instead.
int coordinate(long v);
// A window side: 1 to 32767 pixels, the sizes the server accepts.
int window_extent(long pixels);

// Windows.
// A top-level window with the toolkit's border, named title, that takes part in the window
// manager's close protocol; its class names the program.
Window make_top_window(const char *title, kyx_point at, int w, int h, unsigned long background);
// Centred on the default screen as window_place puts it.
Window make_centred_window(const char *title, int w, int h, unsigned long background);
// Resizes a top-level window and tells the window manager its new size.
void resize_top_window(Window win, kyx_point at, int w, int h);
void show_window(Window w);
// The window and icon name of a top-level window, in every form window managers read.
void set_title(Window win, const char *title);
// True when e is the window manager's request to close win.
bool close_requested(const XEvent &e, Window win);
// A burst of exposures costs one redraw: takes every Expose already queued and reads the
// window's size. False when its attributes cannot be read (the window is gone).
bool take_exposures(Window w, kyx_point& size);

// Pens and pictures.
XFontStruct *load_font(const char *name);
// Font 0: a pen without a font.
GC make_pen(Drawable d, unsigned long foreground, unsigned long background, Font font);
// A pen that only copies a tile, through its mask where it has one; foreground 0 is never seen.
GC make_picture_pen(Drawable d);

struct picture {
	Pixmap pixmap;
	Pixmap mask;
	int width;
	int height;
};
// An XPM picture from a file or compiled-in data; all zero when it cannot be read, so that
// nothing unset is ever handed to the server.
picture read_picture_file(Drawable d, const char *path);
picture read_picture_data(Drawable d, const char *const *xpm);
// Makes pen tile with the picture, clipped to its mask when masked; a blank picture leaves it.
void tile_pen(GC pen, const picture& p, bool masked);

// Text. Every text handed to the server is a view of its real length, at most this long.
inline constexpr std::size_t text_length_max = 32767;

inline const char *or_empty(const char *s)
{
	return s ? s : "";
}

inline std::string_view text_of(const char *s)
{
	return std::string_view{or_empty(s), strnlen(or_empty(s), text_length_max)};
}

template <std::size_t N>
std::string_view text_of(const std::array<char, N>& t)
{
	return std::string_view{t.data(), strnlen(t.data(), N)};
}

// Width in pixels of text in a font that the dialogs measure.
int measured_width(XFontStruct *font, std::string_view text);
// Text with its baseline at y, starting at x; an empty text sends nothing.
void draw_text(Drawable d, GC gc, long x, long y, std::string_view text);

// Drawing. A line includes both end points.
void draw_line(Drawable d, GC gc, long x1, long y1, long x2, long y2);
// A width or height of 0 or less has no pixels and paints nothing.
void fill_rect(Drawable d, GC gc, long x, long y, long w, long h);
// Paints the lines y1 to y2, each from x1 to x2.
void fill_lines(Drawable d, GC gc, long x1, long x2, long y1, long y2);
// Arcs of the ellipse in the box at (x, y), w x h, from angle from over extent, in 64ths of
// a degree. Beyond a full turn the server draws a whole circle, so extent stops there
// rather than wrap its 16-bit field.
void fill_arc(Drawable d, GC gc, long x, long y, long w, long h, int from, long long extent);
void draw_arc(Drawable d, GC gc, long x, long y, long w, long h, int from, long long extent);

} // namespace kyx

#endif
