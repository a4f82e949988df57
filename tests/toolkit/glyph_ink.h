// Text on the test server read back as black pixels, and the same cells as the ISO 10646
// "fixed" font draws them, so a test can tell which characters a widget shows.
#ifndef GLYPH_INK_H
#define GLYPH_INK_H

#include <string_view>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "kyx.h"

inline constexpr const char *wide_font_name =
	"-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso10646-1";
inline constexpr int glyph_ascent = 11;
inline constexpr int cell_width = 6;
inline constexpr int cell_height = 13;

// Which pixels are black in the cells above the baseline of n characters starting at x.
inline std::vector<bool> ink(Drawable d, int x, int baseline, int n)
{
	int w = n * cell_width;
	std::vector<bool> black(static_cast<std::size_t>(w * glyph_ascent));
	XImage *img = XGetImage(display, d, x, baseline - glyph_ascent, static_cast<unsigned>(w), glyph_ascent,
		AllPlanes, ZPixmap);
	if (!img)
		return {};
	for (int j = 0; j < glyph_ascent; ++j)
		for (int i = 0; i < w; ++i)
			black[static_cast<std::size_t>(j * w + i)] = (XGetPixel(img, i, j) & 0xFFFFFF) == 0;
	XDestroyImage(img);
	return black;
}

// The same cells as the server draws the code points with the 10646 font itself.
inline std::vector<bool> glyphs(std::u16string_view codes)
{
	int n = static_cast<int>(codes.size());
	XFontStruct *font = XLoadQueryFont(display, wide_font_name);
	if (!font)
		return {};
	Pixmap p = XCreatePixmap(display, window2, static_cast<unsigned>(n * cell_width), cell_height,
		static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))));
	XGCValues v{};
	v.foreground = 0xFFFFFF;
	v.font = font->fid;
	GC gc = XCreateGC(display, p, GCForeground | GCFont, &v);
	XFillRectangle(display, p, gc, 0, 0, static_cast<unsigned>(n * cell_width), cell_height);
	XSetForeground(display, gc, 0);
	std::vector<XChar2b> chars;
	for (char16_t c : codes)
		chars.push_back(XChar2b{static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c)});
	XDrawString16(display, p, gc, 0, glyph_ascent, chars.data(), n);
	std::vector<bool> black = ink(p, 0, glyph_ascent, n);
	XFreeGC(display, gc);
	XFreePixmap(display, p);
	XFreeFont(display, font);
	return black;
}

#endif
