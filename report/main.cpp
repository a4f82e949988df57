// lineagehtml: one HTML report of a GEDCOM file on standard output.
#include "lineagehtml.h"

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>

namespace {

void print_usage_message(const char *what)
{
	std::printf("Lineagehtml: Sorry, %s\nFor more information type: lineagehtml -h\n", what);
}

void print_help()
{
	std::printf("\n");
	std::printf("Lineagehtml %s - GEDCOM to HTML reports, by the Lineage tools developers\n", r_version);
	std::printf("lineagehtml -i|-f|-s|-h|-t gedfile >htmlfile\n");
	std::printf("-i Individuals Report\n-f Family Report\n-s Surname Report\n-h This help\n");
	std::printf("-t Header and base support\n");
}

// A folder opens for reading but holds no lines; it counts as no file.
FILE *open_gedcom(const char *path)
{
	FILE *fp = std::fopen(path, "r");
	struct stat st;
	if (fp && fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode)) {
		std::fclose(fp);
		return nullptr;
	}
	return fp;
}

// The record tables take some 25 MB and are filled a row at a time; in 2 MB pages they
// cost a dozen page faults instead of thousands, which for a small file is most of the run.
// Where large pages are not offered the call fails and nothing changes.
void tables_in_large_pages()
{
#if defined(MADV_HUGEPAGE)
	const void *tables[][2] = {
		{indi_name.data(), indi_name.data() + indi_rows}, {indi_note.data(), indi_note.data() + indi_rows},
		{seximage.data(), seximage.data() + indi_rows}, {indi_birt_date.data(), indi_birt_date.data() + indi_rows},
		{indi_reli.data(), indi_reli.data() + indi_rows}, {indi_surname.data(), indi_surname.data() + indi_rows},
		{disp_surname.data(), disp_surname.data() + indi_rows}, {fam_div_plac.data(), fam_div_plac.data() + fam_rows},
	};
	std::uintptr_t low = UINTPTR_MAX;
	std::uintptr_t high = 0;
	for (const auto& t : tables) {
		low = std::min(low, reinterpret_cast<std::uintptr_t>(t[0]));
		high = std::max(high, reinterpret_cast<std::uintptr_t>(t[1]));
	}
	constexpr std::uintptr_t large_page = std::uintptr_t{1} << 21;
	low = (low + large_page - 1) & ~(large_page - 1);
	high &= ~(large_page - 1);
	if (low < high)
		madvise(reinterpret_cast<void *>(low), high - low, MADV_HUGEPAGE);
#endif
}

} // namespace

int main(int argc, char **argv)
{
	if ((argc != 2 && argc != 3) || argv[1][0] != '-') {
		print_usage_message("no flag specified.");
		return 0;
	}
	option = argv[1][1];
	const char *path = argc == 3 ? argv[2] : "";
	filename = path;

	if (option == 'h') {
		print_help();
		return 0;
	}
	if (option != 'i' && option != 'f' && option != 's' && option != 't') {
		print_usage_message("no valid flag specified.");
		return 0;
	}
	FILE *fp = open_gedcom(path);
	if (!fp) {
		std::printf("Lineagehtml: Sorry, no file found. \n");
		return 0;
	}
	tables_in_large_pages();
	// The reader takes the file and the report gathers its output in large blocks of their
	// own; stream buffers would only copy every block once more.
	std::setvbuf(fp, nullptr, _IONBF, 0);
	std::setvbuf(stdout, nullptr, _IONBF, 0);
	print_page_start(stdout);
	print_head(stdout);
	print_report(fp, stdout);
	std::fclose(fp);
	print_tail(stdout);
	print_page_end(stdout);
	return 0;
}
