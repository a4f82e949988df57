// Fuzz target for lineagecheck's check: any bytes as a GEDCOM file, under every flag and
// many buffer sizes. Beyond the sanitizers it stops on a piece that breaks the reading rules, and
// on a block scan that counts differently from the piece by piece check.
#include "lineagecheck.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

static std::string check(std::string_view file, char flag, bool blocks, std::size_t window)
{
	option = flag;
	use_block_scan = blocks;
	check_window = window;
	FILE *in = fmemopen(const_cast<char *>(file.data()), file.size(), "r");
	char *text = nullptr;
	std::size_t size = 0;
	FILE *out = open_memstream(&text, &size);
	if (!in || !out)
		std::abort();
	print_report(in, out);
	std::fclose(in);
	std::fclose(out);
	std::string result(text, size);
	std::free(text);
	return result;
}

// Pieces must give back the file byte for byte, each as fgets(80) plus the lone-CR rule cuts it.
static void check_pieces(std::string_view file, std::size_t window)
{
	static piece_reader r;
	FILE *in = fmemopen(const_cast<char *>(file.data()), file.size(), "r");
	if (!in)
		std::abort();
	reader_start(r, in, window);
	std::size_t at = 0;
	std::string_view piece;
	while (read_piece(r, piece)) {
		if (piece.empty() || piece.size() > piece_max || file.substr(at, piece.size()) != piece)
			std::abort();
		at += piece.size();
		for (std::size_t i = 0; i + 1 < piece.size(); i++)
			if (piece[i] == '\n' || (piece[i] == '\r' && piece[i + 1] != '\n'))
				std::abort(); // a line end inside the piece
		char last = piece.back();
		bool ended = last == '\n' || (last == '\r' && (at == file.size() || file[at] != '\n'));
		if (!ended && piece.size() < piece_max && at < file.size())
			std::abort(); // cut short without a reason
	}
	std::fclose(in);
	if (at != file.size())
		std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view file(reinterpret_cast<const char *>(data), size);
	// The input stays a plain file so that real GEDCOM files seed the corpus; its length picks
	// the buffer size, so refills fall everywhere as the fuzzer grows and shrinks inputs.
	std::size_t window = reader_window_min + size % 509;

	check_pieces(file, window);
	for (char flag : {'b', 's', 't'})
		if (check(file, flag, true, window) != check(file, flag, false, reader_buffer_size))
			std::abort();
	return 0;
}
