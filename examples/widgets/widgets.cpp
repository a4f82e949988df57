// One widget of every kind on one window, to look at and try.
// Usage: kyx_widgets [picture folder]; the folder defaults to the example's own sources.
#include <cstdio>
#include <string>

#include "kyx.h"

#ifndef KYX_WIDGETS_DIR
#define KYX_WIDGETS_DIR "."
#endif

static std::string folder = KYX_WIDGETS_DIR;
static int pie;
static int status_label;

static std::string picture(const char *name)
{
	return folder + "/" + name;
}

// The toolkit paints only on Expose, so ask the server for one.
static void repaint()
{
	XClearArea(display, window2, 0, 0, 0, 0, True);
}

static void press()
{
	kyx_pie_obj[pie] = (kyx_pie_obj[pie] + 10) % 110;
	repaint();
}

// A label's window is not cleared by the redraw, so clear it before its text changes.
static void lamp()
{
	XClearWindow(display, wlabel[status_label]);
	std::snprintf(global_label_text[status_label].data(), kyx_text_size, "Lamp %s",
		kyx_lbutton_obj.state[0] ? "on " : "off");
	repaint();
}

static void quit()
{
	kyx_closewindow();
}

int main(int argc, char **argv)
{
	if (argc > 1)
		folder = argv[1];
	x_open();
	kyx_window("kyx widgets", 640, 420);

	kyx_menubar();
	int file = kyx_menu(0, "File");
	kyx_menuitem(file, "Press", press);
	kyx_menuitem(file, "Quit", quit);
	int help = kyx_menu(0, "Help");
	kyx_menuitem(help, "Nothing here", nullptr);

	kyx_frame(10, 45, 300, 165, "Buttons");
	kyx_button(30, 75, "Press", press);
	int red = kyx_button(100, 75, "Red", press);
	kyx_setbuttoncolor(red, X_RED3);
	kyx_lbutton(30, 110, "Lamp", lamp);
	kyx_chkbutton(30, 128, "Check me");
	status_label = kyx_label("Lamp off", 180, 110, 1);

	kyx_frame(320, 45, 630, 165, "Text");
	kyx_label("Plain", 335, 70, 0);
	kyx_label("Box", 385, 70, 1);
	kyx_label("Sunken", 425, 70, 2);
	kyx_label("Raised", 485, 70, 3);
	int paper = kyx_label("On paper", 555, 70, 1);
	kyx_setlabelbg(picture("paper.xpm").c_str(), 1, paper);
	kyx_label("Name", 335, 102, 0);
	int name = kyx_textentry(395, 90, 150, 0);
	kyx_settextentry(name, "Ann");
	kyx_label("Password", 335, 132, 0);
	kyx_textentry(395, 120, 150, 1);

	kyx_hseparator(10, 180, 620);
	kyx_vseparator(230, 190, 210);

	static char items[15][kyx_item_size];
	for (int i = 0; i < 15; ++i)
		std::snprintf(items[i], sizeof items[i], "Row number %d", i + 1);
	kyx_selectlist(20, 200, 15, items, 16, 8);

	pie = kyx_pie(250, 200, 90, 30);
	kyx_image(370, 205, picture("landscape.xpm").c_str());
	kyx_label("Image", 375, 268, 0);
	kyx_imagebutton(450, 210, picture("quit.xpm").c_str(), quit);
	kyx_label("Quit", 454, 258, 0);

	kyx_main();
	x_close();
	return 0;
}
