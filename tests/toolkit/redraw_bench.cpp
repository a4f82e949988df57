// Times the full redraw of a window holding 100 widgets of every kind and counts its requests.
#include <chrono>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "kyx.h"
#include "kyx_internal.h"

using namespace kyx;

static void noop() {}

static std::string write_picture()
{
	std::string path = "/tmp/kyx_bench_" + std::to_string(getpid()) + ".xpm";
	FILE *f = std::fopen(path.c_str(), "w");
	if (!f)
		return path;
	std::fprintf(f, "/* XPM */\nstatic char *p[] = {\n\"16 16 2 1\",\n\". c #3366CC\",\n"
		"\"x c #FFCC00\",\n");
	for (int j = 0; j < 16; ++j)
		std::fprintf(f, "\"%s\"%s\n", j % 2 ? "x.x.x.x.x.x.x.x." : ".x.x.x.x.x.x.x.x",
			j < 15 ? "," : "};");
	std::fclose(f);
	return path;
}

static void add_widgets(const std::string &pic)
{
	static char items[20][kyx_item_size];
	for (int i = 0; i < 20; ++i)
		std::snprintf(items[i], sizeof items[i], "item %d", i);
	kyx_menubar();
	for (int i = 0; i < 100; ++i) {
		int x = (i % 10) * 110 + 10;
		int y = (i / 10) * 85 + 40;
		kyx_label("Label", x, y, i % 4);
		kyx_hseparator(x, y + 5, 80);
		kyx_vseparator(x + 95, y, 60);
		kyx_button(x + 5, y + 25, "Button", noop);
		kyx_image(x + 60, y, pic.c_str());
		kyx_imagebutton(x + 80, y + 20, pic.c_str(), noop);
		kyx_lbutton(x + 5, y + 45, "Lamp", noop);
		kyx_textentry(x, y + 55, 60, i % 2);
		kyx_chkbutton(x + 70, y + 50, "C");
		kyx_selectlist(x, y + 10, 20, items, 3, 5);
		kyx_pie(x + 40, y, 30, i);
		kyx_frame(x - 5, y - 15, x + 100, y + 75, "Frame");
		int m = kyx_menu(0, "Menu");
		kyx_menuitem(m, "Item", noop);
	}
}

int main()
{
	x_open();
	kyx_window("redraw timing", 1200, 900);
	std::string pic = write_picture();
	add_widgets(pic);
	std::remove(pic.c_str());
	kyx_redraw();
	XSync(display, False);

	constexpr int rounds = 50;
	unsigned long before = XNextRequest(display);
	kyx_redraw();
	XSync(display, False);
	unsigned long requests = XNextRequest(display) - before - 1;  // less the sync's own request
	auto start = std::chrono::steady_clock::now();
	for (int r = 0; r < rounds; ++r) {
		kyx_redraw();
		XSync(display, False);
	}
	auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now()
		- start);
	std::printf("full redraw, 100 widgets of each kind: %.2f ms each (mean of %d), "
		    "%lu X requests\n", elapsed.count() / rounds, rounds, requests);
	std::printf("protocol errors: %d\n", kyx_x_error_count());
	x_close();
	return 0;
}
