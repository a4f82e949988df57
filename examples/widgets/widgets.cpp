// One widget of every kind on one window, to look at and try.
// Usage: kyx_widgets [picture folder]; the folder defaults to the example's own sources.
#include <cstdio>
#include <initializer_list>
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

// The dialogs answer with an int; show the latest one so a person can see what came back, and
// write it on standard output, where a script can read it.
static int result_label;

static void show_result(const char *dialog, int result)
{
	std::printf("%s: %d\n", dialog, result);
	std::fflush(stdout);
	XClearWindow(display, wlabel[result_label]);
	std::snprintf(global_label_text[result_label].data(), kyx_text_size, "%s: %d", dialog, result);
	repaint();
}

// "DEFAULT" is overwritten in the buffer each time, so it is written afresh before each call.
static char *default_font()
{
	static char font[16];
	std::snprintf(font, sizeof font, "DEFAULT");
	return font;
}

static void message(int kind, const char *text)
{
	show_result("Message box", x_msgbox(kind, text, "Message", default_font(), 40));
}

static void plain_message() { message(1, "A plain message: press OK."); }
static void face_message() { message(2, "Done, and all is well."); }
static void face_only() { message(3, "No button: click the lower right."); }
static void warning_message() { message(4, "The file has no trailer record."); }
static void information_message() { message(5, "The file was written."); }

static void blank_box()
{
	show_result("Blank box", x_calbox("Blank box"));
}

static void radio_box()
{
	show_result("Radio box", x_radiobox("Yes, save it", "No, leave it", "Save the family file?", "Question",
					    default_font(), 40));
}

// The keypad leaves its window up for the caller, who has no further use for it here.
static void keypad(int type, const char *title)
{
	int result = x_imgkeybox(picture("keypad.xpm").c_str(), title, type, 2, 40);
	XDestroyWindow(display, window);
	show_result(title, result);
}

static void keypad_number() { keypad(1, "Number, E or D"); }
static void keypad_decimal() { keypad(2, "Decimal number"); }
static void keypad_letter() { keypad(3, "Digit or a to j"); }

static void list(int style)
{
	static char rows[6][kyx_text_size] = {"*Smith, John  1820", "Brown, Mary   1822", "Smith, Anne   1845",
					      "*Smith, Peter 1848", "Jones, Tom    1850", "Smith, Ruth   1852"};
	show_result("List window", x_slistwindow(240, 115, "Persons", style, '*', 6, rows, "fixed",
						 "Persons, Smiths marked"));
}

static void list_green() { list(1); }
static void list_white() { list(2); }

static void bar_chart()
{
	static const int values[] = {120, 45, 200, 80, 150};
	show_result("Bar chart", x_graphwindow(240, 110, "Births per decade", 5, values, "fixed"));
}

static void drawing()
{
	show_result("Picture box x", x_imgbox(picture("family.qdr").c_str(), "Drawing"));
}

static void xpm_picture()
{
	show_result("Picture box x", x_imgbox(picture("landscape.xpm").c_str(), "Picture"));
}

struct menu_item {
	const char *label;
	kyx_callback run;
};

// A menu on the bar with its items in order; an item that runs nothing may have no callback.
static void add_menu(const char *title, std::initializer_list<menu_item> items)
{
	int menu = kyx_menu(0, title);
	for (const menu_item &item : items)
		kyx_menuitem(menu, item.label, item.run);
}

static void menus()
{
	kyx_menubar();
	add_menu("File", {{"Press", press}, {"Quit", quit}});
	add_menu("Help", {{"Nothing here", nullptr}});
	add_menu("Messages", {
		{"Plain message", plain_message},
		{"Smiling face", face_message},
		{"Face, no button", face_only},
		{"Warning", warning_message},
		{"Information", information_message},
		{"Blank box", blank_box},
	});
	add_menu("Choices", {
		{"Radio box", radio_box},
		{"Keypad: number", keypad_number},
		{"Keypad: decimal", keypad_decimal},
		{"Keypad: letter", keypad_letter},
	});
	add_menu("Data", {
		{"List, green", list_green},
		{"List, white", list_white},
		{"Bar chart", bar_chart},
		{"Drawing", drawing},
		{"Picture", xpm_picture},
	});
}

static void buttons_and_text()
{
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
}

static void lists_and_pictures()
{
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
	result_label = kyx_label("No dialog answered yet", 370, 300, 1);
}

int main(int argc, char **argv)
{
	if (argc > 1)
		folder = argv[1];
	x_open();
	kyx_window("kyx widgets", 640, 420);
	menus();
	buttons_and_text();
	lists_and_pictures();
	kyx_main();
	x_close();
	return 0;
}
