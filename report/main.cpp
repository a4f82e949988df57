// lineagehtml: one HTML report of a GEDCOM file on standard output.
#include "lineagehtml.h"

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>

namespace {

// A failure goes to standard error, so that it never ends up inside a page redirected to a file.
int print_usage_message(const char *what)
{
	std::fprintf(stderr, "Lineagehtml: Sorry, %s\nFor more information type: lineagehtml -h\n", what);
	return 1;
}

void print_help()
{
	std::printf("\n");
	std::printf("Lineagehtml %s - GEDCOM to HTML reports, by the Lineage tools developers\n", r_version);
	std::printf("lineagehtml -i|-f|-s|-h|-t gedfile >htmlfile\n");
	std::printf("-i Individuals Report\n-f Family Report\n-s Surname Report\n-h This help\n");
	std::printf("-t Header and base support\n");
}

template <typename Table>
void widen(std::uintptr_t& low, std::uintptr_t& high, const Table& t)
{
	low = std::min(low, reinterpret_cast<std::uintptr_t>(t.data()));
	high = std::max(high, reinterpret_cast<std::uintptr_t>(t.data() + t.size()));
}

// The record tables take some 22 MB and a large file fills them a row at a time; in 2 MB
// pages they cost a dozen page faults instead of thousands. A small file touches a few
// rows, and clearing whole large pages for them would cost more than it saves. Where large
// pages are not offered the call fails and nothing changes.
void tables_in_large_pages(FILE *fp)
{
#if defined(MADV_HUGEPAGE)
	constexpr off_t large_file = off_t{4} << 20;
	struct stat st;
	if (fstat(fileno(fp), &st) != 0 || st.st_size < large_file)
		return;
	std::uintptr_t low = UINTPTR_MAX;
	std::uintptr_t high = 0;
	for (const auto *t : {&indi_name, &indi_note, &seximage, &indi_birt_date, &indi_birt_plac,
			      &indi_birt_note, &indi_deat_date, &indi_deat_plac, &indi_deat_note,
			      &indi_buri_date, &indi_buri_plac, &indi_buri_note, &indi_crem_plac,
			      &indi_chan_date, &indi_educ, &indi_occu, &indi_reli, &indi_surname,
			      &disp_surname})
		widen(low, high, *t);
	for (const auto *t : {&fam_marr_date, &fam_marr_plac, &fam_div_date, &fam_div_plac})
		widen(low, high, *t);
	constexpr std::uintptr_t large_page = std::uintptr_t{1} << 21;
	low = (low + large_page - 1) & ~(large_page - 1);
	high &= ~(large_page - 1);
	if (low < high)
		madvise(reinterpret_cast<void *>(low), high - low, MADV_HUGEPAGE);
#else
	(void)fp;
#endif
}

// The command line: the page or the help on standard output, or an apology; the exit status.
int run(int argc, char **argv)
{
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
	if (!ged_open(text, path)) {
		std::fputs("Lineagehtml: Sorry, no file found. \n", stderr);
		return 1;
	}
	tables_in_large_pages(text.fp);
	// The report gathers its output in large blocks of its own; a stream buffer would only
	// copy every block once more.
	std::setvbuf(stdout, nullptr, _IONBF, 0);
	print_page_start(stdout);
	print_head(stdout);
	print_report(text, stdout);
	ged_close(text);
	print_tail(stdout);
	print_page_end(stdout);
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
