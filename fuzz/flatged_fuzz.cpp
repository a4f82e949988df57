// Fuzz target: any bytes as idata.in through the flat reader and, when accepted, the GEDCOM writer.
// Every line written must be a GEDCOM line: a level digit, a blank, and no NUL or stray line end.
#include "flatged.h"
#include "fuzz_input.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

static void check_gedcom(std::string_view ged)
{
	if (ged.empty() || ged.back() != '\n')
		std::abort();
	std::size_t start = 0;
	while (start < ged.size()) {
		std::size_t end = ged.find('\n', start);
		std::string_view line = ged.substr(start, end - start);
		if (line.size() < 3 || line[0] < '0' || line[0] > '2' || line[1] != ' ')
			std::abort();
		if (line.find('\0') != std::string_view::npos || line.find('\r') != std::string_view::npos)
			std::abort();
		start = end + 1;
	}
	if (!ged.starts_with("0 HEAD\n") || !ged.ends_with("\n0 TRLR\n"))
		std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	FILE *in = input_file(input_bytes(data, size));
	char *console = nullptr;
	std::size_t console_size = 0;
	FILE *out = open_memstream(&console, &console_size);
	if (!out)
		std::abort();
	read_status status = read_data(in, out);
	std::fclose(in);
	if (status == read_status::ok) {
		char *ged = nullptr;
		std::size_t ged_size = 0;
		FILE *g = open_memstream(&ged, &ged_size);
		write_i_data(g, out);
		write_f_data(g);
		write_c_data(g);
		std::fclose(g);
		check_gedcom({ged, ged_size});
		std::free(ged);
	}
	std::fclose(out);
	std::free(console);
	return 0;
}
