// lineagecheck: checks that a GEDCOM file has its head and trailer, with header lines or counts on request.
#include "lineagecheck.h"

#include "gedline.h"

#include <cstdio>

enum class notice { no_flag, no_valid_flag, no_file, help };

static void print_notice(notice n)
{
	switch (n) {
	case notice::no_flag:
		std::fputs("Lineagecheck: Sorry, no flag specified.\n"
		           "For more information type: lineagecheck -h\n", stdout);
		break;
	case notice::no_valid_flag:
		std::fputs("Lineagecheck: Sorry, no valid flag specified.\n"
		           "For more information type: lineagecheck -h\n", stdout);
		break;
	case notice::no_file:
		std::fputs("Lineagecheck: Sorry, no file found. \n", stdout);
		break;
	case notice::help:
		std::printf("\nLineagecheck %s, GEDCOM verifier, by the Lineage tools developers\n", r_version);
		std::fputs("lineagecheck -b|-h|-s|-t gedfile \n"
		           "\n-s Stats\n-h This help\n"
		           "-t Header info\n", stdout);
		break;
	}
}

// The command line: the verdict, the help or an apology, all on standard output.
static void run(int argc, char **argv)
{
	if ((argc != 2 && argc != 3) || argv[1][0] != '-') {
		print_notice(notice::no_flag);
		return;
	}
	option = argv[1][1];
	// The name is used as given, however long.
	const char *filename = argc == 3 ? argv[2] : "";
	if (option == 'h') {
		print_notice(notice::help);
		return;
	}
	if (option != 's' && option != 't' && option != 'b') {
		print_notice(notice::no_valid_flag);
		return;
	}
	static ged_text text;
	if (!ged_open(text, filename)) {
		print_notice(notice::no_file);
		return;
	}
	print_report(text, stdout);
	ged_close(text);
}

// Every outcome, errors included, ends with status 0, callers reading the verdict from the
// text; only a text that could not be written is a failure.
int main(int argc, char **argv)
{
	run(argc, argv);
	if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
		std::fputs("Lineagecheck: Sorry, cannot write the results.\n", stderr);
		return 1;
	}
	return 0;
}
