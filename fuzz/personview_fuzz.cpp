// Fuzz target for personview's word scan and the tree command built from what it found.
// Input: the number asked for, up to the first line feed, then the GEDCOM file.
// Beyond the sanitizers it stops on a fact outside the window's rows, a display text longer
// than its capacity, and a tree command that a shell would not split back into its two texts.
#include "fuzz_input.h"
#include "gedfile.h"
#include "personview.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

int facts;

void record_field(int field, const char *text)
{
	if (field < 0 || field >= field_count || !text || std::strlen(text) >= display_size)
		std::abort();
	++facts;
}

// Splits a command the way a POSIX shell reads words made of single-quoted parts and \'.
std::string next_shell_word(std::string_view& command)
{
	std::string word;
	while (!command.empty() && command[0] == ' ')
		command.remove_prefix(1);
	while (!command.empty() && command[0] != ' ') {
		if (command[0] == '\'') {
			std::size_t close = command.find('\'', 1);
			if (close == std::string_view::npos)
				std::abort(); // unterminated quote
			word.append(command.substr(1, close - 1));
			command.remove_prefix(close + 1);
		} else if (command[0] == '\\' && command.size() > 1) {
			word += command[1];
			command.remove_prefix(2);
		} else {
			word += command[0];
			command.remove_prefix(1);
		}
	}
	return word;
}

void check_tree_command(std::string_view path, std::string_view number)
{
	std::string command = tree_command(path, number);
	std::string_view rest = command;
	if (next_shell_word(rest) != "./tree" || next_shell_word(rest) != path || next_shell_word(rest) != number ||
	    rest != " &")
		std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::optional<numbered_file> input = numbered_input(input_bytes(data, size));
	if (!input)
		return 0;
	// The number is a command-line argument: a C string.
	std::string number = input->number;
	number.resize(std::strlen(number.c_str()));
	FILE *in = input_file(input->file);
	FILE *out = std::fopen("/dev/null", "w");
	if (!out)
		std::abort();
	facts = 0;
	indi_check[0] = '\0';
	scan_result r = scan_individual(text_over(in), number.c_str(), record_field, out);
	std::fclose(in);
	std::fclose(out);
	if (r != scan_done && r != scan_read_error)
		std::abort();
	if (std::strlen(indi_check.data()) >= indi_check.size())
		std::abort();
	check_tree_command(number, indi_check.data());
	return 0;
}
