// Main-window text in the ISO 10646 sibling of the font "fixed", so that UTF-8 shows as its
// characters in the same 6-pixel cells.
#ifndef KYX_UTF8_DRAW_H
#define KYX_UTF8_DRAW_H

#include <string_view>

#include <X11/Xlib.h>

namespace kyx {

// Loads the 10646 font of the same name and cell as fixed, when the server has one.
void utf8_fonts_load(XFontStruct *fixed);
// The fonts to draw with: the pens' own, and the 10646 one or null.
void utf8_fonts_set(Font narrow, XFontStruct *wide);

// The main window's text drawing. Text with no multi-byte character goes out as it is, in the
// pen's font, through draw_text; other text in the 10646 font, or, on a server without it, as
// Latin-1 with '?' for the rest. The dialogs draw bytes in their own fonts with draw_text.
void utf8_draw(Drawable d, GC gc, long x, long y, std::string_view text);

} // namespace kyx

#endif
