// lineagecheck: checks that a GEDCOM file has its head and trailer, with header lines or counts on request.
#include "lineagecheck.h"

#include "gedline.h"

#include <cstdio>

enum class notice { no_flag, no_valid_flag, no_file, help, no_memory };

static ged_text text;

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
	case notice::no_memory:
		std::fputs("Lineagecheck: Sorry, not enough memory for the checks.\n", stderr);
		break;
	case notice::help:
		std::printf("\nLineagecheck %s, GEDCOM verifier, by the Lineage tools developers\n", r_version);
		std::fputs("lineagecheck -b|-h|-s|-t gedfile \n"
		           "\n-s Stats\n-h This help\n"
		           "-t Header info\n"
		           "-v Verify: every problem, one line each as FILE:LINE: message\n", stdout);
		break;
	}
}

// -v: 0 when the file has no problem, 1 when it has, 2 when it cannot be checked. A file
// that cannot be read is told on standard error, apart from the findings.
static int verify(const char *filename)
{
	long long found = -2;
	if (ged_open(text, filename)) {
		found = print_findings(text, filename, stdout);
		ged_close(text);
	}
	if (found == -2) {
		std::fflush(stdout);
		std::fputs("Lineagecheck: Sorry, no file found. \n", stderr);
		return 2;
	}
	if (found < 0) {
		print_notice(notice::no_memory);
		return 2;
	}
	return found > 0 ? 1 : 0;
}

// The command line: the verdict, the help or an apology, all on standard output. The
// status of the run: only -v gives one other than 0.
static int run(int argc, char **argv)
{
	if ((argc != 2 && argc != 3) || argv[1][0] != '-') {
		print_notice(notice::no_flag);
		return 0;
	}
	option = argv[1][1];
	// The name is used as given, however long.
	const char *filename = argc == 3 ? argv[2] : "";
	if (option == 'h') {
		print_notice(notice::help);
		return 0;
	}
	if (option == 'v')
		return verify(filename);
	if (option != 's' && option != 't' && option != 'b') {
		print_notice(notice::no_valid_flag);
		return 0;
	}
	if (!ged_open(text, filename)) {
		print_notice(notice::no_file);
		return 0;
	}
	print_report(text, stdout);
	ged_close(text);
	return 0;
}

// Every outcome of the first flags, errors included, ends with status 0, callers reading
// the verdict from the text; -v's status tells its verdict. Results that could not be
// written are a failure: 1, or 2 with -v, whose 1 means problems found.
int main(int argc, char **argv)
{
	int status = run(argc, argv);
	if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
		std::fputs("Lineagecheck: Sorry, cannot write the results.\n", stderr);
		return option == 'v' ? 2 : 1;
	}
	return status;
}
