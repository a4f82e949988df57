// lineagecheck: checks that a GEDCOM file has its head and trailer, with header lines or counts on request.
#include "lineagecheck.h"

#include "gedline.h"

#include <cstdio>

enum class notice { no_flag, no_valid_flag, no_file, help };

// The help on standard output; an apology on standard error, so that a script reading the
// results never takes it for them. Returns the exit status.
static int print_notice(notice n)
{
	switch (n) {
	case notice::no_flag:
		std::fputs("Lineagecheck: Sorry, no flag specified.\n"
		           "For more information type: lineagecheck -h\n", stderr);
		return 1;
	case notice::no_valid_flag:
		std::fputs("Lineagecheck: Sorry, no valid flag specified.\n"
		           "For more information type: lineagecheck -h\n", stderr);
		return 1;
	case notice::no_file:
		std::fputs("Lineagecheck: Sorry, no file found. \n", stderr);
		return 1;
	case notice::help:
		std::printf("\nLineagecheck %s, GEDCOM verifier, by the Lineage tools developers\n", r_version);
		std::fputs("lineagecheck -b|-h|-s|-t gedfile \n"
		           "\n-s Stats\n-h This help\n"
		           "-t Header info\n", stdout);
		return 0;
	}
	return 1;
}

// The command line: the verdict or the help, or an apology; the exit status.
static int run(int argc, char **argv)
{
	if ((argc != 2 && argc != 3) || argv[1][0] != '-')
		return print_notice(notice::no_flag);
	option = argv[1][1];
	// The name is used as given, however long.
	const char *filename = argc == 3 ? argv[2] : "";
	if (option == 'h')
		return print_notice(notice::help);
	if (option != 's' && option != 't' && option != 'b')
		return print_notice(notice::no_valid_flag);
	static ged_text text;
	if (!ged_open(text, filename))
		return print_notice(notice::no_file);
	print_report(text, stdout);
	ged_close(text);
	return 0;
}

// The verdict itself (no trailer, say) is text and ends with status 0; a call that gets no
// verdict, or results that could not be written, end with 1.
int main(int argc, char **argv)
{
	int status = run(argc, argv);
	if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
		std::fputs("Lineagecheck: Sorry, cannot write the results.\n", stderr);
		return 1;
	}
	return status;
}
