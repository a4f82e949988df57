// lineagetree: shows a person of a GEDCOM file with their ancestors, partners and children.
#include "lineagetree.h"

#include <cstring>
#include <string>

#include "kyx.h"

static int apologise(const std::string &message)
{
	std::fputs(message.c_str(), stderr);
	return 1;
}

int main(int argc, char **argv)
{
	bool print = argc > 1 && std::strcmp(argv[1], "--print") == 0;
	int first = print ? 2 : 1;
	if (argc - first != 2)
		return apologise("Usage: lineagetree [--print] gedfile number\n");
	const char *path = argv[first];
	const char *number = argv[first + 1];

	opened_file file;
	record_index index;
	const std::string unreadable = std::string("Lineagetree: Sorry, cannot read ") + path + "\n";
	if (!open_tree_file(path, file) || !index_records(file.source, index))
		return apologise(unreadable);
	bool readable = true;
	std::size_t person = find_person(index, number, &readable);
	if (!readable)
		return apologise(unreadable);
	if (person == no_record)
		return apologise(std::string("Lineagetree: Sorry, no individual ") + number + " in " + path + "\n");

	if (print) {
		bool written = print_view(view_of(index, person), stdout);
		if (std::fclose(stdout) != 0 || !written)
			return apologise("Lineagetree: Sorry, cannot write the tree.\n");
		return 0;
	}
	x_open();
	open_tree_window(index, person);
	kyx_main();
	x_close();
	return 0;
}
