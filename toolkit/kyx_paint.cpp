// The helper layer over Xlib that the main window and the dialogs share.
#include "kyx_paint.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <X11/Xutil.h>
#include <X11/xpm.h>

#include "kyx.h"

namespace kyx {

namespace {

constexpr long coordinate_min = -32768;
constexpr long coordinate_max = 32767;

} // namespace

void kyx_die(const char *format, ...)
{
	std::va_list args;
	va_start(args, format);
	std::vprintf(format, args);
	va_end(args);
	std::fflush(stdout);
	std::exit(1);
}

int coordinate(long v)
{
	return static_cast<int>(std::clamp(v, coordinate_min, coordinate_max));
}

int window_extent(long pixels)
{
	return static_cast<int>(std::clamp(pixels, 1L, coordinate_max));
}

namespace {

XSizeHints size_hints(kyx_point at, int w, int h)
{
	XSizeHints hints{};
	hints.flags = PPosition | PSize;
	hints.x = at.x;
	hints.y = at.y;
	hints.width = w;
	hints.height = h;
	return hints;
}

} // namespace

Window make_top_window(const char *title, kyx_point at, int w, int h, unsigned long background)
{
	w = window_extent(w);
	h = window_extent(h);
	Window root = RootWindow(display, DefaultScreen(display));
	Window win = XCreateSimpleWindow(display, root, at.x, at.y, static_cast<unsigned>(w),
		static_cast<unsigned>(h), 1, X_DGREY, background);
	XSizeHints hints = size_hints(at, w, h);
	XSetStandardProperties(display, win, title, title, None, nullptr, 0, &hints);
	return win;
}

void resize_top_window(Window win, kyx_point at, int w, int h)
{
	w = window_extent(w);
	h = window_extent(h);
	XResizeWindow(display, win, static_cast<unsigned>(w), static_cast<unsigned>(h));
	XSizeHints hints = size_hints(at, w, h);
	XSetWMNormalHints(display, win, &hints);
}

Window make_centred_window(const char *title, int w, int h, unsigned long background)
{
	int screen = DefaultScreen(display);
	kyx_point at = window_place(DisplayWidth(display, screen), DisplayHeight(display, screen),
		window_extent(w), window_extent(h));
	return make_top_window(title, at, w, h, background);
}

void show_window(Window w)
{
	XSelectInput(display, w, kyx_event_mask);
	XMapWindow(display, w);
}

bool take_exposures(Window w, kyx_point& size)
{
	XEvent queued;
	while (XCheckTypedEvent(display, Expose, &queued)) {
	}
	XWindowAttributes a;
	if (!XGetWindowAttributes(display, w, &a))
		return false;
	size = kyx_point{a.width, a.height};
	return true;
}

XFontStruct *load_font(const char *name)
{
	return name ? XLoadQueryFont(display, name) : nullptr;
}

GC make_pen(Drawable d, unsigned long foreground, unsigned long background, Font font)
{
	XGCValues v{};
	v.foreground = foreground;
	v.background = background;
	v.font = font;
	unsigned long mask = GCForeground | GCBackground | (font ? GCFont : 0);
	return XCreateGC(display, d, mask, &v);
}

GC make_picture_pen(Drawable d)
{
	XGCValues v{};
	v.function = GXcopy;
	v.plane_mask = AllPlanes;
	v.foreground = 0;
	return XCreateGC(display, d, GCFunction | GCPlaneMask | GCForeground, &v);
}

namespace {

// What libXpm gave back, kept only when it is a whole picture.
picture taken(int status, Pixmap pixmap, Pixmap mask, const XpmAttributes& a)
{
	if (status >= 0 && pixmap != None)
		return picture{pixmap, mask, static_cast<int>(a.width), static_cast<int>(a.height)};
	if (pixmap != None)
		XFreePixmap(display, pixmap);
	if (mask != None)
		XFreePixmap(display, mask);
	return picture{};
}

} // namespace

picture read_picture_file(Drawable d, const char *path)
{
	if (!path)
		return picture{};
	XpmAttributes a{};
	Pixmap pixmap = None;
	Pixmap mask = None;
	int status = XpmReadFileToPixmap(display, d, path, &pixmap, &mask, &a);
	picture p = taken(status, pixmap, mask, a);
	XpmFreeAttributes(&a);
	return p;
}

picture read_picture_data(Drawable d, const char *const *xpm)
{
	XpmAttributes a{};
	Pixmap pixmap = None;
	Pixmap mask = None;
	int status = XpmCreatePixmapFromData(display, d, const_cast<char **>(xpm), &pixmap, &mask,
		&a);
	picture p = taken(status, pixmap, mask, a);
	XpmFreeAttributes(&a);
	return p;
}

void tile_pen(GC pen, const picture& p, bool masked)
{
	if (p.pixmap == None)
		return;
	XSetFillStyle(display, pen, FillTiled);
	XSetTile(display, pen, p.pixmap);
	if (masked && p.mask != None)
		XSetClipMask(display, pen, p.mask);
}

int measured_width(XFontStruct *font, std::string_view text)
{
	return XTextWidth(font, text.data(), static_cast<int>(text.size()));
}

void draw_text(Drawable d, GC gc, long x, long y, std::string_view text)
{
	if (text.empty())
		return;
	int n = static_cast<int>(std::min(text.size(), text_length_max));
	XDrawString(display, d, gc, coordinate(x), coordinate(y), text.data(), n);
}

void draw_line(Drawable d, GC gc, long x1, long y1, long x2, long y2)
{
	XDrawLine(display, d, gc, coordinate(x1), coordinate(y1), coordinate(x2), coordinate(y2));
}

void fill_rect(Drawable d, GC gc, long x, long y, long w, long h)
{
	if (w <= 0 || h <= 0)
		return;
	XFillRectangle(display, d, gc, coordinate(x), coordinate(y),
		static_cast<unsigned>(std::min(w, coordinate_max)),
		static_cast<unsigned>(std::min(h, coordinate_max)));
}

void fill_lines(Drawable d, GC gc, long x1, long x2, long y1, long y2)
{
	long left = std::min(x1, x2);
	fill_rect(d, gc, left, y1, std::max(x1, x2) - left + 1, y2 - y1 + 1);
}

namespace {

using arc_call = int (*)(Display *, Drawable, GC, int, int, unsigned, unsigned, int, int);

void arc(arc_call call, Drawable d, GC gc, long x, long y, long w, long h, int from,
	long long extent)
{
	if (w <= 0 || h <= 0)
		return;
	call(display, d, gc, coordinate(x), coordinate(y),
		static_cast<unsigned>(std::min(w, coordinate_max)),
		static_cast<unsigned>(std::min(h, coordinate_max)), from,
		static_cast<int>(std::clamp<long long>(extent, -full_circle, full_circle)));
}

} // namespace

void fill_arc(Drawable d, GC gc, long x, long y, long w, long h, int from, long long extent)
{
	arc(XFillArc, d, gc, x, y, w, h, from, extent);
}

void draw_arc(Drawable d, GC gc, long x, long y, long w, long h, int from, long long extent)
{
	arc(XDrawArc, d, gc, x, y, w, h, from, extent);
}

} // namespace kyx
