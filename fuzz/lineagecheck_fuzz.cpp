// Fuzz target for lineagecheck's check: any bytes as a GEDCOM file, under every flag. Beyond
// the sanitizers it stops on a verdict that differs from the plainest reading of the pieces,
// which holds the quick search for the head text to a plain one.
#include "gedline.h"
#include "lineagecheck.h"
#include "gedfile.h"
#include "fuzz_input.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

static std::string check(std::string_view file, char flag)
{
	option = flag;
	FILE *in = input_file(file);
	std::string result = written_by([in](FILE *out) { print_report(text_over(in), out); });
	std::fclose(in);
	return result;
}

// The HEAD messages and the verdict of -b, each piece searched plainly for the head text.
static std::string plain_verdict(std::string_view file)
{
	static piece_reader r;
	FILE *in = input_file(file);
	std::string text;
	long long line = 0;
	bool trailer = false;
	read_pieces(r, text_over(in), [&](std::string_view piece) {
		++line;
		if (piece.find("0 HEAD") != std::string_view::npos)
			text += "Verified GEDCOM has HEAD tag at line " + std::to_string(line) + ".\n\n";
		trailer = piece.size() > 2 && piece[0] == '0' && piece[2] == 'T';
		return !trailer;
	});
	std::fclose(in);
	return text + (trailer ? "Verified GEDCOM has trailer tag.\n" : "Lineagecheck: Sorry, no trailer tag found.\n");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view file = input_bytes(data, size);
	if (check(file, 'b') != plain_verdict(file))
		std::abort();
	check(file, 's');
	check(file, 't');
	return 0;
}
