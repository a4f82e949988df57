// flatged: converts the flat people file idata.in of the working directory into a GEDCOM file.
#include "flatged.h"

static constexpr const char *input_name = "idata.in";

enum class apology { cannot_open, cannot_read, bad_record, cannot_write };

static int sorry(apology kind)
{
	switch (kind) {
	case apology::cannot_open:
		std::printf("Sorry, cannot open %s\n", input_name);
		break;
	case apology::cannot_read:
		std::printf("Sorry, cannot read %s\n", input_name);
		break;
	case apology::bad_record:
		std::printf("Sorry, record %d: %s\n", problem_record, problem_text.data());
		break;
	case apology::cannot_write:
		std::printf("Sorry, cannot write %s\n", filename);
		break;
	}
	return 1;
}

// A write error may only show when the buffer is flushed at the close.
static bool close_written(FILE *f)
{
	bool ok = !std::ferror(f);
	return std::fclose(f) == 0 && ok;
}

// Each step opens the file on its own: the header and people first, then the families
// and the trailer appended.
static bool write_gedcom()
{
	FILE *ged = std::fopen(filename, "w+");
	if (!ged)
		return false;
	write_i_data(ged, stdout);
	if (!close_written(ged))
		return false;
	std::printf("done writing individuals\n");

	ged = std::fopen(filename, "a");
	if (!ged)
		return false;
	write_f_data(ged);
	if (!close_written(ged))
		return false;

	ged = std::fopen(filename, "a");
	if (!ged)
		return false;
	write_c_data(ged);
	return close_written(ged);
}

static int run()
{
	std::printf("%s = filename\n", filename);
	FILE *in = std::fopen(input_name, "r");
	if (!in)
		return sorry(apology::cannot_open);
	read_status status = read_data(in, stdout);
	std::fclose(in);
	if (status == read_status::unreadable)
		return sorry(apology::cannot_read);
	if (status == read_status::bad_record)
		return sorry(apology::bad_record);
	// Only a whole, valid input reaches this point, so a refused one leaves no file behind.
	if (!write_gedcom())
		return sorry(apology::cannot_write);
	return 0;
}

int main(int argc, char **argv)
{
	if (argc == 2)
		filename = argv[1];
	int status = run();
	if (std::fflush(stdout) != 0 || std::ferror(stdout))
		status = 1;
	return status;
}
