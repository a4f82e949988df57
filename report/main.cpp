// lineagehtml: one HTML report of a GEDCOM file on standard output.
#include "lineagehtml.h"
#include "pages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace {

// A failure goes to standard error, so that it never ends up inside a page redirected to a file.
int print_usage_message(const char *what)
{
	std::fprintf(stderr, "Lineagehtml: Sorry, %s\nFor more information type: lineagehtml -h\n", what);
	return 1;
}

int print_no_file()
{
	std::fputs("Lineagehtml: Sorry, no file found. \n", stderr);
	return 1;
}

const char *plural(long long n, const char *one, const char *more)
{
	return n == 1 ? one : more;
}

// After the page, what it could not show, so that a page with gaps is not taken for a whole
// one; the page and the exit status stay as they are.
void print_notices()
{
	long long members = 0LL + unshown.members_unnumbered + unshown.members_shared + unshown.members_unread;
	if (members > 0)
		std::fprintf(stderr, "lineagehtml: %lld family member %s without a name: %d not numbered 0 to 9998, "
			     "%d in a row another record holds, %d not read before their family\n",
			     members, plural(members, "line", "lines"), unshown.members_unnumbered,
			     unshown.members_shared, unshown.members_unread);
	if (unshown.records_unnumbered > 0)
		std::fprintf(stderr, "lineagehtml: %d individual %s not numbered as @I<number>@: "
			     "%s facts go under another record\n",
			     unshown.records_unnumbered, plural(unshown.records_unnumbered, "record", "records"),
			     plural(unshown.records_unnumbered, "its", "their"));
	if (!unshown.record_line_seen)
		std::fprintf(stderr, "lineagehtml: no record line among %d %s read: not a GEDCOM file\n",
			     lines_of_data, plural(lines_of_data, "line", "lines"));
}

void print_help()
{
	std::printf("\n");
	std::printf("Lineagehtml %s - GEDCOM to HTML reports, by the Lineage tools developers\n", r_version);
	std::printf("lineagehtml -i|-f|-s|-h|-t gedfile >htmlfile\n");
	std::printf("-i Individuals Report\n-f Family Report\n-s Surname Report\n-h This help\n");
	std::printf("-t Header and base support\n");
	std::printf("lineagehtml --private -i|-f|-s|-t gedfile >htmlfile\n");
	std::printf("--private Publish without the living: a person is shown as Private when the record\n"
		    "  has RESN privacy or confidential, or has no DEAT, BURI or CREM and its earliest\n"
		    "  date (CHAN aside) is less than 100 years ago; without dates, when no parent's\n"
		    "  earliest date is 120, partner's 100 or child's 80 years ago. The year is taken\n"
		    "  from SOURCE_DATE_EPOCH when set, else from the clock. -s is unchanged.\n");
}

// The year the page is made in: SOURCE_DATE_EPOCH when it is set, so that a page can be
// made again byte for byte, otherwise the clock.
int current_year()
{
	std::time_t now = std::time(nullptr);
	const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
	if (epoch && *epoch && std::strspn(epoch, "0123456789") == std::strlen(epoch) && std::strlen(epoch) < 16)
		now = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
	std::tm parts{};
	gmtime_r(&now, &parts);
	return parts.tm_year + 1900;
}

// The one place that opens the GEDCOM file; --private opens it once for each pass.
bool open_input(ged_text &text, const char *path)
{
	return ged_open(text, path);
}

// A pipe would give an empty page the second time it is read.
bool readable_twice(const ged_text &text)
{
	struct stat st;
	return fstat(fileno(text.fp), &st) == 0 && S_ISREG(st.st_mode);
}

template <typename Table>
void widen(std::uintptr_t& low, std::uintptr_t& high, const Table& t)
{
	low = std::min(low, reinterpret_cast<std::uintptr_t>(t.data()));
	high = std::max(high, reinterpret_cast<std::uintptr_t>(t.data() + t.size()));
}

// The record tables take some 22 MB (the first pass of --private up to 40 MB more), and a
// large file fills them a row at a time; in 2 MB pages they cost a dozen page faults instead
// of thousands. A small file touches a few rows, and clearing whole large pages for them
// would cost more than it saves. Where large pages are not offered the call fails and
// nothing changes.
void tables_in_large_pages(FILE *fp)
{
	constexpr off_t large_file = off_t{4} << 20;
	struct stat st;
	if (fstat(fileno(fp), &st) != 0 || st.st_size < large_file)
		return;
	std::uintptr_t low = UINTPTR_MAX;
	std::uintptr_t high = 0;
	widen(low, high, indi_xref);
	for (const auto *t : {&indi_name, &indi_note, &seximage, &indi_birt_date, &indi_birt_plac,
			      &indi_birt_note, &indi_deat_date, &indi_deat_plac, &indi_deat_note,
			      &indi_buri_date, &indi_buri_plac, &indi_buri_note, &indi_crem_plac,
			      &indi_chan_date, &indi_educ, &indi_occu, &indi_reli, &indi_surname,
			      &disp_surname})
		widen(low, high, *t);
	for (const auto *t : {&fam_marr_date, &fam_marr_plac, &fam_div_date, &fam_div_plac})
		widen(low, high, *t);
	// The tables lie apart from the rest of the program's data, from a huge page's start to
	// another's (reader.cpp): the part of the last one past their end is theirs too.
	high = (high + huge_page - 1) & ~(huge_page - 1);
	advise_huge_pages(reinterpret_cast<void *>(low), high - low);
}

// The command line: the page or the help on standard output, or an apology; the exit status.
// With --private before the flag, the file is read twice: once to decide who is private, once
// for the page. A pipe cannot be read again, so it is refused before anything is written.
// It stays whole so that the steps read in the order the page needs them, each a call.
int run(int argc, char **argv)
{
	bool hide_living = argc > 1 && std::strcmp(argv[1], "--private") == 0;
	if (hide_living) {
		--argc;
		++argv;
	}
	if ((argc != 2 && argc != 3) || argv[1][0] != '-')
		return print_usage_message("no flag specified.");
	option = argv[1][1];
	const char *path = argc == 3 ? argv[2] : "";
	filename = path;

	if (option == 'h') {
		print_help();
		return 0;
	}
	if (option != 'i' && option != 'f' && option != 's' && option != 't')
		return print_usage_message("no valid flag specified.");
	static ged_text text;
	if (!open_input(text, path))
		return print_no_file();
	tables_in_large_pages(text.fp);
	// Surnames and counts are not private: -s needs no first pass.
	private_mode = hide_living && option != 's';
	if (private_mode) {
		if (!readable_twice(text)) {
			std::fputs("Lineagehtml: Sorry, --private reads the file twice and cannot read a pipe.\n", stderr);
			ged_close(text);
			return 1;
		}
		find_private(text, current_year());
		ged_close(text);
		if (!open_input(text, path))
			return print_no_file();
	}
	// The report gathers its output in large blocks of its own; a stream buffer would only
	// copy every block once more.
	std::setvbuf(stdout, nullptr, _IONBF, 0);
	print_page_start(stdout);
	print_head(stdout);
	print_report(text, stdout);
	ged_close(text);
	print_tail(stdout);
	print_page_end(stdout);
	print_notices();
	return 0;
}

} // namespace

int main(int argc, char **argv)
{
	int status = run(argc, argv);
	// A full disk must not leave a cut page that a script takes for a finished one.
	if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
		std::fputs("Lineagehtml: Sorry, cannot write the report.\n", stderr);
		return 1;
	}
	return status;
}
