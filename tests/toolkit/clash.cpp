// A program with functions of its own under the names and parameters that were once the
// toolkit's internals: it links against libkyx.a, and the toolkit never calls them.
#include <kyx.h>

#include <cstdio>

static int own_calls;

XFontStruct *load_font(const char *)
{
	++own_calls;
	return nullptr;
}

void draw_line(Drawable, GC, long, long, long, long)
{
	++own_calls;
}

void fill_rect(Drawable, GC, long, long, long, long)
{
	++own_calls;
}

bool handle_event(XEvent *)
{
	++own_calls;
	return true;
}

int main()
{
	x_open();
	kyx_window("Own functions", 200, 100);
	kyx_button(20, 40, "OK", nullptr);
	kyx_label("A label", 20, 70, 1);
	kyx_repaint();
	x_close();
	if (own_calls != 0) {
		std::printf("the toolkit called the program's own functions %d times\n", own_calls);
		return 1;
	}
	XEvent e{};
	if (load_font("fixed") || !handle_event(&e))
		return 1;
	draw_line(0, nullptr, 0, 0, 1, 1);
	fill_rect(0, nullptr, 0, 0, 1, 1);
	return own_calls == 4 ? 0 : 1;
}
