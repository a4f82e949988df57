// Fuzz target for the piece reader: any bytes as a GEDCOM file, read in blocks of many
// sizes. Beyond the sanitizers it stops on a piece that breaks the reading rules of the text
// the reader hands on, and on a pair of characters noted in a piece that does not hold it,
// or not noted in one that does.
#include "gedline.h"
#include "reader_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Pieces must give back the file byte for byte, each as fgets(80) plus the lone-CR rule cuts it.
void check_piece(std::string_view file, std::size_t& at, std::string_view piece)
{
	if (piece.empty() || piece.size() > piece_max || file.substr(at, piece.size()) != piece)
		std::abort();
	at += piece.size();
	for (std::size_t i = 0; i + 1 < piece.size(); i++)
		if (piece[i] == '\n' || (piece[i] == '\r' && piece[i + 1] != '\n'))
			std::abort(); // a line end inside the piece
	char last = piece.back();
	bool ended = last == '\n' || (last == '\r' && (at == file.size() || file[at] != '\n'));
	// Short of the limit only at a line end, or before a character that would cross it.
	if (!ended && at < file.size() && piece.size() + utf8_sequence(file.substr(at)) <= piece_max)
		std::abort(); // cut short without a reason
	if (!whole_utf8(piece))
		std::abort(); // a piece that ends inside a character
}

void check_pieces(std::string_view bytes, std::size_t window, bool noting)
{
	static piece_reader r;
	static ged_text text;
	FILE *in = input_file(bytes);
	ged_start(text, in);
	std::string whole = decoded_text(bytes, 0);
	std::string_view file = whole;
	std::size_t at = 0;
	if (noting) {
		read_pieces(r, text, char_pair{'H', 'E'}, [file, &at](std::string_view piece, bool he) {
			check_piece(file, at, piece);
			if (he != (piece.find("HE") != std::string_view::npos))
				std::abort();
			return true;
		}, window);
	} else {
		read_pieces(r, text, [file, &at](std::string_view piece) {
			check_piece(file, at, piece);
			return true;
		}, window);
	}
	std::fclose(in);
	if (at != file.size())
		std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view file = input_bytes(data, size);
	// The input stays a plain file so that real GEDCOM files seed the corpus; its length picks
	// the block size, so refills fall everywhere as the fuzzer grows and shrinks inputs.
	check_pieces(file, piece_max + 1 + size % 509, true);
	check_pieces(file, read_block, size % 2 == 0);
	return 0;
}
