/* A first kyx program in C: a name entry, a button that greets in a message box, and a
 * File menu whose Quit closes the window, which ends the program.
 *
 * Build it against an installed kyx with
 *     cc hello.c $(pkg-config --cflags --libs kyx)
 * or with the CMakeLists.txt beside it. */
#include <stdio.h>

#include "kyx.h"

static int name_entry;

static void greet(void)
{
	const char *name = kyx_textentry_obj.text[name_entry];
	char message[sizeof kyx_textentry_obj.text[0] + sizeof "Hello, !"];
	/* x_msgbox writes "fixed" over "DEFAULT", so the buffer is filled afresh on every call. */
	char font[] = "DEFAULT";

	if (name[0] != '\0')
		snprintf(message, sizeof message, "Hello, %s!", name);
	else
		snprintf(message, sizeof message, "Hello! Type your name first.");
	x_msgbox(5, message, "Greeting", font, 50);
}

static void quit(void)
{
	kyx_closewindow();
}

int main(void)
{
	int file;

	x_open();
	kyx_window("Hello from kyx", 320, 130);

	kyx_menubar();
	file = kyx_menu(0, "File");
	kyx_menuitem(file, "Greet", greet);
	kyx_menuitem(file, "Quit", quit);

	kyx_label("Your name", 20, 62, 0);
	name_entry = kyx_textentry(90, 50, 200, 0);
	kyx_button(90, 100, "Greet me", greet);

	kyx_main();
	x_close();
	return 0;
}
