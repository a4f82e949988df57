// Drawing the main window's UTF-8 texts with the core fonts.
#include "kyx_utf8_draw.h"

#include <array>
#include <string_view>

#include <X11/Xatom.h>

#include "kyx.h"
#include "kyx_paint.h"
#include "kyx_utf8.h"

namespace kyx {

static constexpr int chars_max = kyx_item_size;  // the longest text a widget holds
static constexpr std::size_t font_name_size = 256;

static Font narrow_font;
static XFontStruct *wide_font;

void utf8_fonts_set(Font narrow, XFontStruct *wide)
{
	narrow_font = narrow;
	wide_font = wide;
}

static bool same_cell(const XFontStruct *a, const XFontStruct *b)
{
	return a->ascent == b->ascent && a->descent == b->descent
		&& a->max_bounds.width == b->max_bounds.width
		&& a->min_bounds.width == b->min_bounds.width;
}

// "fixed" is an alias; the font's own XLFD name tells which family and cell it stands for.
static XFontStruct *load_sibling(XFontStruct *fixed)
{
	unsigned long atom = 0;
	if (!XGetFontProperty(fixed, XA_FONT, &atom) || !atom)
		return nullptr;
	char *name = XGetAtomName(display, atom);
	std::array<char, font_name_size> sibling{};
	bool named = xlfd_with_charset(name, "ISO10646-1", sibling.data(), sibling.size());
	if (name)
		XFree(name);
	if (!named)
		return nullptr;
	XFontStruct *wide = load_font(sibling.data());
	if (wide && !same_cell(wide, fixed)) {
		XFreeFont(display, wide);
		wide = nullptr;
	}
	return wide;
}

void utf8_fonts_load(XFontStruct *fixed)
{
	utf8_fonts_set(fixed->fid, load_sibling(fixed));
}

void utf8_draw(Drawable d, GC gc, long x, long y, std::string_view text)
{
	if (!utf8_has_multibyte(text)) {
		draw_text(d, gc, x, y, text);
		return;
	}
	std::array<char16_t, chars_max> codes;
	int count = utf8_to_ucs2(text, codes.data(), chars_max);
	if (!wide_font) {
		std::array<char, chars_max> latin1;
		for (int i = 0; i < count; ++i)
			latin1[i] = static_cast<char>(codes[i] <= 0xFF ? codes[i] : '?');
		draw_text(d, gc, x, y, std::string_view{latin1.data(), static_cast<std::size_t>(count)});
		return;
	}
	std::array<XChar2b, chars_max> chars;
	for (int i = 0; i < count; ++i)
		chars[i] = XChar2b{static_cast<unsigned char>(codes[i] >> 8),
			static_cast<unsigned char>(codes[i] & 0xFF)};
	XSetFont(display, gc, wide_font->fid);
	XDrawString16(display, d, gc, coordinate(x), coordinate(y), chars.data(), count);
	XSetFont(display, gc, narrow_font);
}

} // namespace kyx
