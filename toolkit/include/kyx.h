// kyx: a small widget toolkit on Xlib and libXpm. The operations, the palette and the callback
// type come first; the toolkit's state and widget tables follow in a section of their own.
#ifndef KYX_H
#define KYX_H

#include <stdint.h>

#include <X11/Xlib.h>
#include <X11/xpm.h>

#ifdef __cplusplus
#include <array>
#endif

// Capacities, shared with C callers, so an enum rather than constexpr.
enum {
	kyx_capacity = 256,   // widgets of one kind
	kyx_text_size = 256,  // every text buffer, terminator included
	kyx_object_slots = 512,
	kyx_list_items = 512, // items one select list can hold
	kyx_item_size = 512,  // one select-list item, terminator included
};

// How kyx_setwindowbg lays its picture: once at the window's origin, through its mask; tiled
// over 1024 x 860 pixels, whatever the window's size; or tiled over the whole window.
enum {
	kyx_bg_once = 0,
	kyx_bg_tiled = 1,
	kyx_bg_whole = 2,
};

#ifdef __cplusplus
extern "C" {
#endif

// What a button, toggle button, menu item or picture button runs; a null one does nothing.
typedef void (*kyx_callback)(void);

// Connection and main window.
// Opens the display named by DISPLAY; ends the process with status 1 when it cannot.
void x_open(void);
// Closes the display, and with it every window, pen and picture of the toolkit.
void x_close(void);
// Creates and shows the main window, centred across the screen and 50 pixels below its middle;
// the title may be UTF-8.
void kyx_window(const char *title, int width, int height);
// Gives the main window a background picture from an XPM file, laid as tile says: kyx_bg_once,
// kyx_bg_whole, or any other nonzero value for kyx_bg_tiled.
void kyx_setwindowbg(const char *path, int tile);

// Widget creation: each returns the new handle, or -1 when its kind is full.
// A line of text from x + 1, baseline y, in a border: 0 none, 1 box, 2 sunken, 3 raised.
int kyx_label(const char *text, int x, int y, int border);
// A horizontal groove from (x, y), length pixels long.
void kyx_hseparator(int x, int y, int length);
// A vertical groove from (x, y), length pixels long.
void kyx_vseparator(int x, int y, int length);
// A push button around text (baseline y); a click runs callback.
int kyx_button(int x, int y, const char *text, kyx_callback callback);
// Gives a button a face of colour pixel from the next repaint on; null outside the table.
GC kyx_setbuttoncolor(int button, uint32_t pixel);
// A toggle button: a lamp and text (baseline y); a click switches the lamp, then runs callback.
int kyx_lbutton(int x, int y, const char *text, kyx_callback callback);
// A scrolling list of count items, columns x 10 by rows x 10 pixels, at least 8 by 5.
int kyx_selectlist(int x, int y, int count, char items[][kyx_item_size], int columns, int rows);
// A check box with its top left corner at (x, y) and label on its right.
int kyx_chkbutton(int x, int y, const char *label);
// An empty one-line entry with its top left corner at (x, y); type 0 plain, 1 stars.
int kyx_textentry(int x, int y, int width, int type);
// A rectangle with corners (x1, y1) and (x2, y2), label written on its top edge.
int kyx_frame(int x1, int y1, int x2, int y2, const char *label);
// The picture of an XPM file with its top left corner at (x, y).
int kyx_image(int x, int y, const char *path);
// As kyx_image, and a click on the picture runs callback.
int kyx_imagebutton(int x, int y, const char *path, kyx_callback callback);
// A pie chart in the square at (x, y), showing percent in white.
int kyx_pie(int x, int y, int diameter, int percent);
// A menu bar across the top of the window; returns its number, 0 for the first.
int kyx_menubar(void);
// A menu titled title in the bar; menus follow one another from the left.
int kyx_menu(int bar, const char *title);
// An entry at the bottom of the menu's list; a click on it runs callback.
int kyx_menuitem(int menu, const char *label, kyx_callback callback);

// Setters.
// Gives a label a background picture from an XPM file, tiled when tile is nonzero.
void kyx_setlabelbg(const char *path, int tile, int label);
// Puts text into an entry and its caret after it.
void kyx_settextentry(int entry, const char *text);
// Hides the main window and makes kyx_main return once the event being handled is done.
void kyx_closewindow(void);
// Replace the callback of button, toggle button, menu item or picture button slot.
void kyx_setfunction(int slot, kyx_callback callback);
void kyx_setfunction2(int slot, kyx_callback callback);
void kyx_setfunction3(int slot, kyx_callback callback);
void kyx_setfunction4(int slot, kyx_callback callback);
// Run the callback of button, toggle button, menu item or picture button slot, as a click.
void kyx_ExecCallback(int slot);
void kyx_ExecCallback2(int slot);
void kyx_ExecCallback3(int slot);
void kyx_ExecCallback4(int slot);

// Changes after creation. A widget moved outside the window is neither seen nor hit.
// Gives the main window and its icon a new title, which may be UTF-8.
void kyx_settitle(const char *title);
// Gives a button a new text, shown at the next redraw.
void kyx_setbuttontext(int button, const char *text);
// Moves a button, x and y as kyx_button takes them; shown at the next redraw.
void kyx_movebutton(int button, int x, int y);
// Gives a label a new text; its window is resized to fit it.
void kyx_setlabeltext(int label, const char *text);
// Moves a label, x and y as kyx_label takes them.
void kyx_movelabel(int label, int x, int y);
// Moves a frame to new corners.
void kyx_moveframe(int frame, int x1, int y1, int x2, int y2);
// Gives a label the background picture of label from, without reading its file again.
void kyx_copylabelbg(int label, int from);
// Repaints the whole main window now, as an exposure would.
void kyx_repaint(void);
// Sends what the toolkit has drawn or changed to the server without waiting for an event.
void kyx_flush(void);

// Item text of a select list (writable, 512 bytes), or null for a list not created or an item
// beyond those the list was given.
char *kyx_selectlist_item(int list, int item);

// Event loop of the main window; returns once the window is closed, by kyx_closewindow or by
// the window manager's close button.
void kyx_main(void);

// Modal dialogs. Each takes every event of the program while it waits, and repaints the main
// window when it ends. The window manager's close button ends one as its own way of closing
// does, except the radio box, which waits for its choice.
// A one-line message; kind 1 OK button, 2 face and button, 3 face, 4 warning, 5 information.
int x_msgbox(int kind, const char *text, const char *title, char *fontname, int margin);
// A blank box of 450 x 450 pixels that closes on any click or key; returns 0.
int x_calbox(const char *title);
// Asks question with two options below it; returns the one chosen, 1 or 2.
int x_radiobox(const char *option1, const char *option2, const char *question,
	const char *title, char *fontname, int margin);
// Shows heading over count rows on alternating bands, marked rows yellow; returns 1.
int x_slistwindow(int width, int height, const char *title, int style, char marker, int count,
	char rows[][kyx_text_size], const char *fontname, const char *heading);
// A horizontal bar chart, one bar per value, as many pixels long as the value; returns 1.
int x_graphwindow(int width, int height, const char *title, int count, const int *values,
	const char *fontname);
// Shows an XPM picture or a drawing file; returns the x of the click that closes it.
int x_imgbox(const char *path, const char *title);
// Shows an XPM picture and echoes the keys typed; returns the number typed.
int x_imgkeybox(const char *path, const char *title, int type, int x, int y);

// Palette: 24-bit 0xRRGGBB pixel values, handed to a TrueColor server as they are.
extern const uint32_t X_RED;
extern const uint32_t X_RED2;
extern const uint32_t X_RED3;
extern const uint32_t X_LLGREEN;
extern const uint32_t X_LGREEN;
extern const uint32_t X_GREEN;
extern const uint32_t X_GREEN2;
extern const uint32_t X_BLUE;
extern const uint32_t X_BLUE2;
extern const uint32_t X_BLUE3;
extern const uint32_t X_BLUE4;
extern const uint32_t X_BLUE5;
extern const uint32_t X_YELLOW;
extern const uint32_t X_YELLOW3;
extern const uint32_t X_WHITE;
extern const uint32_t X_GREY;
extern const uint32_t X_DGREY;
extern const uint32_t X_BLACK;

#ifdef __cplusplus
}
#endif

// ---- State and tables ----
// Everything below is the toolkit's own state, open to callers that read or adjust a widget
// directly (a label's text, a pie's percentage, a toggle's state). Handles index the tables.

// The widget tables are std::array in C++ and plain arrays in C; both have the same layout
// and, through C linkage, the same symbol.
#ifdef __cplusplus
using kyx_text = std::array<char, kyx_text_size>;
using kyx_item = std::array<char, kyx_item_size>;
#define KYX_TABLE(type, name, n) extern std::array<type, n> name
#else
typedef char kyx_text[kyx_text_size];
typedef char kyx_item[kyx_item_size];
#define KYX_TABLE(type, name, n) extern type name[n]
#endif

// The object records have one layout in both languages: C++ sees std::array where C sees a
// plain array of the same size.
#ifdef __cplusplus
#define KYX_MEMBER(type, name, n) std::array<type, n> name
#else
#define KYX_MEMBER(type, name, n) type name[n]
#endif

// Select-list scrolling and selection, toggle and check states, by handle. The item texts of
// the select lists are reached through kyx_selectlist_item().
struct kyx_object {
	KYX_MEMBER(int, offset, kyx_object_slots);
	KYX_MEMBER(int, top, kyx_object_slots);
	KYX_MEMBER(int, state, kyx_object_slots);
};

// Entry focus, and each entry's text as of its last change.
struct kyx_textobject {
	KYX_MEMBER(int, focus, kyx_object_slots);
#ifdef __cplusplus
	std::array<std::array<char, kyx_object_slots>, kyx_object_slots> text;
#else
	char text[kyx_object_slots][kyx_object_slots];
#endif
};

#ifdef __cplusplus
extern "C" {
#endif

// Connection, main window and the dialog window.
extern Display *display;
extern Window window2;
extern Window window;
extern int X11return;
extern int kyx_window_status;
extern int KYX_event_flag;
extern XEvent global_event;

// Pens of the main window.
extern XGCValues global_pen_prop, global_pen2_prop, global_pen3_prop, global_pen4_prop,
	global_pen5_prop, global_pen6_prop, global_button_pen_prop;
extern GC global_pen, global_pen2, global_pen3, global_pen4, global_pen5, global_pen6;
KYX_TABLE(GC, global_button_pen, kyx_capacity);
extern GC gcpixmap1, gcpixmap2;

// Window background.
extern GC gcP;
extern int windowtile;
extern int background_pixmap;
extern XpmAttributes attributes_bg;

// Counters: widgets of each kind created so far, which is also the next handle.
extern int global_label_num, global_frame_num, global_hline_num, global_vline_num,
	global_button_num, global_lbutton_num, global_selectlist_num, global_chkbutton_num,
	global_textentry_num, global_pie_num, global_image_num, global_imagebutton_num,
	global_menubar_num, global_menu_num, global_menuitem_num;

// Labels.
KYX_TABLE(kyx_text, global_label_text, kyx_capacity);
KYX_TABLE(int, global_label_x, kyx_capacity);
KYX_TABLE(int, global_label_y, kyx_capacity);
KYX_TABLE(int, global_label_border, kyx_capacity);
KYX_TABLE(Window, wlabel, kyx_capacity);
KYX_TABLE(GC, gcP_label, kyx_capacity);
KYX_TABLE(int, labeltile, kyx_capacity);
KYX_TABLE(int, backgroundlabel_pixmap, kyx_capacity);

// Separators.
KYX_TABLE(int, global_hline_x, kyx_capacity);
KYX_TABLE(int, global_hline_y, kyx_capacity);
KYX_TABLE(int, global_hline_len, kyx_capacity);
KYX_TABLE(int, global_vline_x, kyx_capacity);
KYX_TABLE(int, global_vline_y, kyx_capacity);
KYX_TABLE(int, global_vline_len, kyx_capacity);

// Frames.
KYX_TABLE(int, global_frame_x1, kyx_capacity);
KYX_TABLE(int, global_frame_y1, kyx_capacity);
KYX_TABLE(int, global_frame_x2, kyx_capacity);
KYX_TABLE(int, global_frame_y2, kyx_capacity);
KYX_TABLE(kyx_text, global_frame_label, kyx_capacity);

// Buttons.
KYX_TABLE(kyx_text, global_button_text, kyx_capacity);
KYX_TABLE(int, global_button_x, kyx_capacity);
KYX_TABLE(int, global_button_y, kyx_capacity);

// Toggle buttons.
KYX_TABLE(kyx_text, global_lbutton_text, kyx_capacity);
KYX_TABLE(int, global_lbutton_x, kyx_capacity);
KYX_TABLE(int, global_lbutton_y, kyx_capacity);

// Check buttons.
KYX_TABLE(kyx_text, global_chkbutton_label, kyx_capacity);
KYX_TABLE(int, global_chkbutton_x, kyx_capacity);
KYX_TABLE(int, global_chkbutton_y, kyx_capacity);

// Select lists.
KYX_TABLE(int, global_selectlist_x, kyx_capacity);
KYX_TABLE(int, global_selectlist_y, kyx_capacity);
KYX_TABLE(int, global_selectlist_c, kyx_capacity);
KYX_TABLE(int, global_selectlist_r, kyx_capacity);
KYX_TABLE(int, global_selectlist_nl, kyx_capacity);

// Text entries.
KYX_TABLE(int, global_textentry_x, kyx_capacity);
KYX_TABLE(int, global_textentry_y, kyx_capacity);
KYX_TABLE(int, global_textentry_width, kyx_capacity);
KYX_TABLE(int, global_textentry_type, kyx_capacity);
KYX_TABLE(int, global_textentry_me, kyx_capacity);
KYX_TABLE(int, place, kyx_capacity);
KYX_TABLE(kyx_text, numberstring, kyx_capacity);

// Pies.
KYX_TABLE(int, global_pie_x, kyx_capacity);
KYX_TABLE(int, global_pie_y, kyx_capacity);
KYX_TABLE(int, global_pie_r, kyx_capacity);
KYX_TABLE(int, kyx_pie_obj, kyx_capacity);

// Images and image buttons.
KYX_TABLE(int, global_image_x, kyx_capacity);
KYX_TABLE(int, global_image_y, kyx_capacity);
KYX_TABLE(int, global_image_w, kyx_capacity);
KYX_TABLE(int, global_image_h, kyx_capacity);
KYX_TABLE(GC, global_image_i, kyx_capacity);
KYX_TABLE(Window, xpm_image, kyx_capacity);
KYX_TABLE(int, global_imagebutton_x, kyx_capacity);
KYX_TABLE(int, global_imagebutton_y, kyx_capacity);
KYX_TABLE(int, global_imagebutton_w, kyx_capacity);
KYX_TABLE(int, global_imagebutton_h, kyx_capacity);
KYX_TABLE(GC, global_imagebutton_i, kyx_capacity);
KYX_TABLE(Window, xpm_imagebutton, kyx_capacity);

// Menus and menu items.
KYX_TABLE(kyx_text, global_menu_label, kyx_capacity);
KYX_TABLE(int, global_menu_parent, kyx_capacity);
KYX_TABLE(int, global_menu_x, kyx_capacity);
KYX_TABLE(int, global_menu_x2, kyx_capacity);
KYX_TABLE(Window, pulldown, kyx_capacity);
KYX_TABLE(int, global_menuitem_numinmenu, kyx_capacity);
KYX_TABLE(kyx_text, global_menuitem_label, kyx_capacity);
KYX_TABLE(int, global_menuitem_parent, kyx_capacity);
KYX_TABLE(int, global_menuitem_x, kyx_capacity);
KYX_TABLE(int, global_menuitem_y, kyx_capacity);

// Object records: toggle and check states, select-list scrolling and selection, entry focus.
extern struct kyx_object kyx_lbutton_obj;
extern struct kyx_object kyx_chkbutton_obj;
extern struct kyx_object kyx_selectlist_obj;
extern struct kyx_textobject kyx_textentry_obj;

// Callbacks of buttons, toggle buttons, menu items and image buttons.
KYX_TABLE(kyx_callback, kyx_Array, kyx_capacity);
KYX_TABLE(kyx_callback, kyx_Array2, kyx_capacity);
KYX_TABLE(kyx_callback, kyx_Array3, kyx_capacity);
KYX_TABLE(kyx_callback, kyx_Array4, kyx_capacity);

#ifdef __cplusplus
}
#endif

#undef KYX_TABLE
#undef KYX_MEMBER

#endif
