// lineagesite: the command line, the time of the run, and the messages.
#include "run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

void usage(FILE *to)
{
	std::fputs("usage: lineagesite [--show-living] [--title TEXT] GEDFILE OUTDIR\n"
		   "  writes a static web site of GEDFILE into OUTDIR: a page for every person shown,\n"
		   "  surname, place and source indexes, and a search. The living, the undated without\n"
		   "  an old relative, and records marked RESN privacy or confidential are withheld;\n"
		   "  --show-living shows all but the last. SOURCE_DATE_EPOCH, when set, is the time.\n",
		   to);
}

// SOURCE_DATE_EPOCH when it is set, so that a site can be made again byte for byte.
long long run_time()
{
	const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
	if (epoch && *epoch && std::strspn(epoch, "0123456789") == std::strlen(epoch) && std::strlen(epoch) < 16)
		return std::strtoll(epoch, nullptr, 10);
	return static_cast<long long>(std::time(nullptr));
}

bool read_arguments(int argc, char **argv, site_options &options)
{
	int i = 1;
	for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
		if (std::strcmp(argv[i], "--show-living") == 0)
			options.show_living = true;
		else if (std::strcmp(argv[i], "--title") == 0 && i + 1 < argc)
			options.title = argv[++i];
		else
			return false;
	}
	if (argc - i != 2)
		return false;
	options.ged_path = argv[i];
	options.out_path = argv[i + 1];
	return true;
}

} // namespace

int main(int argc, char **argv)
{
	site_options options;
	if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
		usage(stdout);
		return 0;
	}
	if (!read_arguments(argc, argv, options)) {
		usage(stderr);
		return 1;
	}
	options.now = run_time();
	options.progress = isatty(STDERR_FILENO) == 1;
	site_result result = make_site(options);
	if (result.problem) {
		bool out_dir = std::strcmp(result.problem, "cannot be read") != 0;
		std::fprintf(stderr, "lineagesite: %s %s", out_dir ? options.out_path : options.ged_path, result.problem);
		if (!result.detail.empty())
			std::fprintf(stderr, " (%s)", result.detail.c_str());
		std::fputc('\n', stderr);
		return 1;
	}
	return 0;
}
