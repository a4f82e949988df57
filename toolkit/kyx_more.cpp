// Changes to widgets after their creation, for windows whose contents follow the program's
// state: new texts and places, the window's title, and a repaint on request.
#include "kyx_internal.h"
#include "kyx_utf8.h"

using namespace kyx;

void kyx_settitle(const char *title)
{
	if (display && window2)
		set_title(window2, title);
}

void kyx_setbuttontext(int button, const char *text)
{
	if (handle_ok(button, global_button_num))
		copy_text(global_button_text[button], text_of(text));
}

void kyx_movebutton(int button, int x, int y)
{
	if (!handle_ok(button, global_button_num))
		return;
	global_button_x[button] = x;
	global_button_y[button] = y;
}

static void place_label_window(int label)
{
	XMoveResizeWindow(display, wlabel[label], global_label_x[label] - 2, global_label_y[label] - 11,
		static_cast<unsigned>(label_window_width(text_cells(global_label_text[label]))), 13);
}

void kyx_setlabeltext(int label, const char *text)
{
	if (!handle_ok(label, global_label_num))
		return;
	copy_text(global_label_text[label], text_of(text));
	place_label_window(label);
}

void kyx_movelabel(int label, int x, int y)
{
	if (!handle_ok(label, global_label_num))
		return;
	global_label_x[label] = x;
	global_label_y[label] = y;
	place_label_window(label);
}

void kyx_moveframe(int frame, int x1, int y1, int x2, int y2)
{
	if (!handle_ok(frame, global_frame_num))
		return;
	global_frame_x1[frame] = x1;
	global_frame_y1[frame] = y1;
	global_frame_x2[frame] = x2;
	global_frame_y2[frame] = y2;
}

void kyx_repaint(void)
{
	if (!display || !window2 || !kyx_window_status)
		return;
	kyx_redraw();
	XFlush(display);
}

void kyx_flush(void)
{
	if (display)
		XFlush(display);
}

void kyx_copylabelbg(int label, int from)
{
	if (!handle_ok(label, global_label_num) || !handle_ok(from, global_label_num) ||
	    backgroundlabel_pixmap[from] != 1)
		return;
	// A pen serves every window of its screen and depth: the picture is not read again.
	gcP_label[label] = gcP_label[from];
	labeltile[label] = labeltile[from];
	label_bg_size[label] = label_bg_size[from];
	backgroundlabel_pixmap[label] = 1;
}
