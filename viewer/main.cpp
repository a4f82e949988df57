// personview: shows one individual of a GEDCOM file in a window.
#include "personview.h"

#include <cstdio>

#include "kyx.h"

static int apologise(const char *message)
{
	std::fputs(message, stdout);
	return 1;
}

int main(int argc, char **argv)
{
	if (argc < 3)
		return apologise("Usage: personview gedfile number\n");
	program_path = argv[0];
	filename = argv[1];
	// Read only: the viewer never writes, and a file the user may not change must still show.
	static ged_text in;
	if (!ged_open(in, filename))
		return apologise("Personview: Sorry, no file found. \n");

	x_open();
	build_window(argv[2]);
	std::printf("%s %s %s\n", argv[0], argv[1], argv[2]);
	indi_check = nobody_checked;
	if (scan_individual(in, argv[2], add_field, stdout) == scan_read_error) {
		show_read_error();
		std::fputs("NULL found!", stdout);
	}
	note_scan_result(argv[2]);
	ged_close(in);
	std::fflush(stdout);

	kyx_main();
	x_close();
	return 0;
}
