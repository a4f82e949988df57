// Dialog state and helpers behind the x_ dialogs, exposed so tests can drive them one event at a time.
#ifndef KYX_DIALOGS_INTERNAL_H
#define KYX_DIALOGS_INTERNAL_H

#include <X11/Xlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "kyx_paint.h"
#include "kyx_rules.h"

namespace kyx {

// What a dialog does with one event: keep waiting, or end the call with a result.
struct dialog_outcome {
	bool done;
	int result;
};

// The per-call part every dialog shares. width and height are those of the most recent redraw;
// until the first one they hold the size the window was created with.
struct dialog_frame {
	XFontStruct *font;
	Window win;
	int width;
	int height;
};

// Message box.
inline constexpr int msgbox_icon_size = 40;
bool msgbox_closes(int ex, int ey, int w, int h);

struct msgbox_state {
	dialog_frame frame;
	int kind;
	const char *text;
	GC white, grey, dgrey, yellow, black;
	GC icon;
	Pixmap icon_pixmap, icon_mask;
};
// Creates the window and pens; false (and nothing created) when the server lacks the font.
bool msgbox_open(msgbox_state &s, int kind, const char *text, const char *title, const char *font_name,
		 int margin);
dialog_outcome msgbox_event(msgbox_state &s, const XEvent &e);
void msgbox_release(msgbox_state &s);

// Blank box.
inline constexpr int calbox_size = 450;
bool calbox_open(dialog_frame &f, const char *title);
dialog_outcome calbox_event(dialog_frame &f, const XEvent &e);

// Radio box: 0 means the press chose nothing.
int radio_choice(int ey, int baseline);

struct radio_state {
	dialog_frame frame;
	const char *option1, *option2, *question;
	int baseline;
	GC white, black, dgrey;
};
bool radio_open(radio_state &s, const char *option1, const char *option2, const char *question,
		const char *title, const char *font_name, int margin);
dialog_outcome radio_event(radio_state &s, const XEvent &e);
void radio_release(radio_state &s);

// List window.
inline constexpr std::size_t list_slot_size = 256;
enum class list_band { none, yellow, light_green, pale_green, white };
list_band list_row_band(int style, char marker, char first, int index);

struct list_state {
	dialog_frame frame;
	int list_width;
	int style;
	char marker;
	int count;
	char (*rows)[list_slot_size];
	const char *heading;
	GC black, white, light_green, pale_green, yellow;
};
bool list_open(list_state &s, int width, int height, const char *title, int style, char marker, int count,
	       char (*rows)[list_slot_size], const char *font_name, const char *heading);
dialog_outcome list_event(list_state &s, const XEvent &e);
void list_release(list_state &s);

// Bar chart.
struct graph_state {
	dialog_frame frame;
	int count;
	const int *values;
	GC blue, black;
};
bool graph_open(graph_state &s, int width, int height, const char *title, int count, const int *values,
		const char *font_name);
dialog_outcome graph_event(graph_state &s, const XEvent &e);
void graph_release(graph_state &s);

// Picture shared by the picture box and the keypad, with the pen that paints it.
struct dialog_picture {
	picture image;
	GC pen;
};

struct imgbox_state {
	dialog_frame frame;
	bool is_drawing;
	drawing art;
	std::array<GC, drawing_capacity> element_pen;
	dialog_picture pic;
};
enum class imgbox_open_result { opened, no_file, no_font };
// Nothing is created unless the result is opened.
imgbox_open_result imgbox_open(imgbox_state &s, const char *path, const char *title);
dialog_outcome imgbox_event(imgbox_state &s, const XEvent &e);
void imgbox_release(imgbox_state &s);

// Picture keypad.
struct keypad_state {
	dialog_frame frame;
	int type, x, y;
	int offset, capacity;
	std::array<char, keypad_text_size> text;
	std::size_t length;
	GC text_pen;
	dialog_picture pic;
};
bool keypad_open(keypad_state &s, const char *path, const char *title, int type, int x, int y);
dialog_outcome keypad_event(keypad_state &s, const XEvent &e);
void keypad_release(keypad_state &s);

} // namespace kyx

#endif
