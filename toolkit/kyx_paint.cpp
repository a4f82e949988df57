// The helper layer over Xlib that the main window and the dialogs share.
#include "kyx_paint.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <errno.h>
#include <unistd.h>

#include <X11/Xatom.h>
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

Atom atom(const char *name)
{
	return XInternAtom(display, name, False);
}

// The instance and class names of every window: the program's own name, as the user may set
// it through RESOURCE_NAME, and the same with a capital, so that desktops can tell it apart.
struct program_names {
	std::array<char, 256> instance;
	std::array<char, 256> cls;
};

const program_names &names_of_program()
{
	static program_names names = [] {
		program_names n{};
		const char *name = std::getenv("RESOURCE_NAME");
		if (!name || !*name)
			name = program_invocation_short_name;
		std::snprintf(n.instance.data(), n.instance.size(), "%s", name);
		n.cls = n.instance;
		if (n.cls[0] >= 'a' && n.cls[0] <= 'z')
			n.cls[0] = static_cast<char>(n.cls[0] - 'a' + 'A');
		return n;
	}();
	return names;
}

// What a window manager reads from a top-level window besides its name: size hints, the
// machine, the class, the process, and that the window closes on request rather than by
// the end of the connection.
void set_program_properties(Window win, const XSizeHints &hints)
{
	const program_names &names = names_of_program();
	XClassHint class_hint{};
	class_hint.res_name = const_cast<char *>(names.instance.data());
	class_hint.res_class = const_cast<char *>(names.cls.data());
	XSizeHints h = hints;
	XSetWMProperties(display, win, nullptr, nullptr, nullptr, 0, &h, nullptr, &class_hint);
	long pid = getpid();
	XChangeProperty(display, win, atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
		reinterpret_cast<const unsigned char *>(&pid), 1);
	Atom delete_window = atom("WM_DELETE_WINDOW");
	XSetWMProtocols(display, win, &delete_window, 1);
}

} // namespace

void set_title(Window win, const char *title)
{
	char *list[] = {const_cast<char *>(or_empty(title))};
	XTextProperty p{};
	// STRING where the title fits Latin-1, else COMPOUND_TEXT: WM_NAME readers then show it
	// right, whatever they make of raw UTF-8.
	if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &p) >= Success) {
		XSetWMName(display, win, &p);
		XSetWMIconName(display, win, &p);
		XFree(p.value);
	} else {
		XStoreName(display, win, list[0]);
		XSetIconName(display, win, list[0]);
	}
	std::string_view text = text_of(title);
	for (const char *property : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
		XChangeProperty(display, win, atom(property), atom("UTF8_STRING"), 8, PropModeReplace,
			reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
}

bool close_requested(const XEvent &e, Window win)
{
	return e.type == ClientMessage && e.xclient.window == win && e.xclient.format == 32
		&& e.xclient.message_type == atom("WM_PROTOCOLS")
		&& static_cast<Atom>(e.xclient.data.l[0]) == atom("WM_DELETE_WINDOW");
}

Window make_top_window(const char *title, kyx_point at, int w, int h, unsigned long background)
{
	w = window_extent(w);
	h = window_extent(h);
	Window root = RootWindow(display, DefaultScreen(display));
	Window win = XCreateSimpleWindow(display, root, at.x, at.y, static_cast<unsigned>(w),
		static_cast<unsigned>(h), 1, X_DGREY, background);
	set_program_properties(win, size_hints(at, w, h));
	set_title(win, title);
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
