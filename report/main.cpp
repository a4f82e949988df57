// lineagehtml: one HTML report of a GEDCOM file on standard output.
#include "lineagehtml.h"

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
	static std::array<char, 1 << 16> out_buffer;
	std::setvbuf(stdout, out_buffer.data(), _IOFBF, out_buffer.size());
	print_page_start(stdout);
	print_head(stdout);
	print_report(fp, stdout);
	std::fclose(fp);
	print_tail(stdout);
	print_page_end(stdout);
	return 0;
}
