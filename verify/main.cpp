// lineagecheck: checks that a GEDCOM file has its head and trailer, with header lines or counts on request, or lists every problem of the file.
#include "lineagecheck.h"

#include "doubts.h"
#include "gedline.h"
#include "gedzip.h"

#include <cstdio>
#include <cstring>

enum class notice { no_flag, no_valid_flag, no_file, help, no_memory };

static ged_text text;

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
	case notice::no_memory:
		std::fputs("Lineagecheck: Sorry, not enough memory for the checks.\n", stderr);
		return 2;
	case notice::help:
		std::printf("\nLineagecheck %s, GEDCOM verifier, by the Lineage tools developers\n", r_version);
		std::fputs("lineagecheck -b|-h|-s|-t gedfile \n"
		           "\n-s Stats\n-h This help\n"
		           "-t Header info\n"
		           "-v Verify: every problem, one line each as FILE:LINE: message,\n"
		           "   and every doubt as FILE:LINE: doubt: message (-v --no-doubts leaves them out)\n", stdout);
		return 0;
	}
	return 1;
}

// A GEDZIP archive, known by its first bytes; a refusal's apology says why.
static long long archive_findings(const char *filename)
{
	archive_refusal why;
	long long found = print_archive_findings(filename, stdout, why);
	if (found == archive_refused)
		std::fprintf(stderr, "Lineagecheck: Sorry, %s: %s.\n", filename, why.data());
	return found;
}

// -v: 0 when the file has no problem, 1 when it has, 2 when it cannot be checked, so that
// its 1 always means problems found.
static int verify(const char *filename)
{
	long long found = -2;
	if (is_zip_archive(filename)) {
		found = archive_findings(filename);
		if (found == archive_refused)
			return 2;
	} else if (ged_open(text, filename)) {
		found = print_findings(text, filename, stdout);
		ged_close(text);
	}
	if (found == -1)
		return print_notice(notice::no_memory);
	if (found < 0) {
		print_notice(notice::no_file);
		return 2;
	}
	return found > 0 ? 1 : 0;
}

// -v --no-doubts FILE: the findings without the doubts.
static bool without_doubts(int &argc, char **argv)
{
	if (argc != 4 || std::strcmp(argv[1], "-v") != 0 || std::strcmp(argv[2], "--no-doubts") != 0)
		return false;
	argv[2] = argv[3];
	argc = 3;
	return true;
}

// The command line: the verdict, the findings or the help, or an apology; the exit status.
static int run(int argc, char **argv)
{
	doubts_wanted = !without_doubts(argc, argv);
	if ((argc != 2 && argc != 3) || argv[1][0] != '-')
		return print_notice(notice::no_flag);
	option = argv[1][1];
	// The name is used as given, however long.
	const char *filename = argc == 3 ? argv[2] : "";
	if (option == 'h')
		return print_notice(notice::help);
	if (option == 'v')
		return verify(filename);
	if (option != 's' && option != 't' && option != 'b')
		return print_notice(notice::no_valid_flag);
	if (!ged_open(text, filename))
		return print_notice(notice::no_file);
	print_report(text, stdout);
	ged_close(text);
	return 0;
}

// The verdict of the first flags (no trailer, say) is text and ends with status 0; -v's
// status tells its verdict. A call that gets no verdict, or results that could not be
// written, end with 1, or with 2 under -v, whose 1 means problems found.
int main(int argc, char **argv)
{
	int status = run(argc, argv);
	if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
		std::fputs("Lineagecheck: Sorry, cannot write the results.\n", stderr);
		return option == 'v' ? 2 : 1;
	}
	return status;
}
