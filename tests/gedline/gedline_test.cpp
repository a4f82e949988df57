// The piece reader: pieces as fgets(80) cuts them plus the lone-CR rule, wherever blocks,
// spans and refills fall.
#include <gtest/gtest.h>

#include "gedfile.h"
#include "gedline.h"
#include "memfile.h"

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using strings = std::vector<std::string>;

strings pieces_of(std::string_view bytes, std::size_t window = read_block)
{
	static piece_reader r;
	FILE *in = open_bytes(bytes);
	strings pieces;
	read_pieces(r, text_over(in), [&pieces](std::string_view piece) {
		pieces.emplace_back(piece);
		return true;
	}, window);
	std::fclose(in);
	return pieces;
}

// The plainest reading of a bounded line read of 80 bytes, one character at a time, with a
// lone CR also ending a piece: what the reader is held to.
strings model_pieces(std::string_view bytes)
{
	strings pieces;
	std::size_t at = 0;
	while (at < bytes.size()) {
		std::size_t n = 0;
		while (n < 79 && at + n < bytes.size()) {
			char c = bytes[at + n++];
			if (c == '\n' || (c == '\r' && !(at + n < bytes.size() && bytes[at + n] == '\n')))
				break;
		}
		pieces.emplace_back(bytes.substr(at, n));
		at += n;
	}
	return pieces;
}

// Lines of every shape the reader must cut: short and long, LF, CR, CR LF, LF CR, none.
std::string random_lines(std::mt19937& rng, std::size_t bytes)
{
	static const char *const starts[] = {"0 HEAD", "1 NAME", "0 @I1@ INDI", "2 DATE", "1", "", "0 TRLR"};
	static const char *const ends[] = {"\n", "\r", "\r\n", "\n\r", "", "\r\r"};
	std::uniform_int_distribution<int> start(0, std::size(starts) - 1);
	std::uniform_int_distribution<int> end(0, std::size(ends) - 1);
	std::uniform_int_distribution<int> len(0, 200);
	std::uniform_int_distribution<int> shape(0, 9);
	std::string s;
	while (s.size() < bytes) {
		s += starts[start(rng)];
		int n = shape(rng) == 0 ? len(rng) : len(rng) % 40;
		for (int k = 0; k < n; k++)
			s += static_cast<char>('A' + (k * 7 + n) % 26);
		s += ends[end(rng)];
	}
	return s;
}

} // namespace

TEST(ReaderPieces, LineEndsAndLengthsAsFgetsWithTheLoneCarriageReturn)
{
	std::string x78(78, 'x');
	std::string x79(79, 'x');
	struct {
		std::string bytes;
		strings pieces;
	} cases[] = {
		{"0 HEAD\n1 CHAR ASCII\n", {"0 HEAD\n", "1 CHAR ASCII\n"}},
		{"0 HEAD\r\n1 CHAR ASCII\r\n\r\n", {"0 HEAD\r\n", "1 CHAR ASCII\r\n", "\r\n"}},
		{"0 HEAD\r1 SOUR X\r\r0 TRLR\r", {"0 HEAD\r", "1 SOUR X\r", "\r", "0 TRLR\r"}},
		{"0 HEAD\r\r\n0 TRLR", {"0 HEAD\r", "\r\n", "0 TRLR"}},
		{"\n\n", {"\n", "\n"}},
		{"x\r", {"x\r"}},
		{"", {}},
		{std::string(100, 'x') + "\n", {x79, std::string(21, 'x') + "\n"}},
		{x79 + "\n", {x79, "\n"}},
		{x78 + "\n", {x78 + "\n"}},
		// A CR that the limit parts from its LF ends its piece as fgets would.
		{x78 + "\r\n0 TRLR\n", {x78 + "\r", "\n", "0 TRLR\n"}},
		{std::string("1 NA\0ME\n", 8), {std::string("1 NA\0ME\n", 8)}},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.bytes);
		EXPECT_EQ(pieces_of(c.bytes), c.pieces);
	}
}

// Lines of every length up to past a piece, with each kind of line end, put line ends at
// every position of the spans and the read blocks.
TEST(ReaderPieces, EveryLineLengthAndEndAcrossBlocks)
{
	const char *ends[] = {"\n", "\r\n", "\r", "\n\r"};
	std::string bytes;
	for (int k = 0; bytes.size() < 400000; ++k) {
		std::size_t length = 1 + k % 97;
		bytes += std::string(length, static_cast<char>('a' + k % 26));
		bytes += ends[(k / 97) % 4];
	}
	strings want = model_pieces(bytes);
	strings got = pieces_of(bytes);
	ASSERT_EQ(got.size(), want.size());
	for (std::size_t i = 0; i < want.size(); ++i)
		ASSERT_EQ(got[i], want[i]) << "piece " << i;
}

// Small blocks meet refills everywhere: right after a CR, inside a CR LF, at a full piece,
// and in blocks that end inside a span.
TEST(ReaderPieces, SmallBlocksCutTheSamePiecesAcrossRefills)
{
	std::mt19937 rng(7);
	for (std::size_t window : {std::size_t{144}, std::size_t{145}, std::size_t{161}, std::size_t{208},
				   std::size_t{193}, std::size_t{4099}, read_block}) {
		SCOPED_TRACE(window);
		std::string input = random_lines(rng, window * 3 + 1000);
		EXPECT_EQ(pieces_of(input, window), model_pieces(input));
	}
}

// The pair is noted where it stands whole inside a piece: across spans and refills, not
// across the end of a piece, and not split by the limit.
TEST(ReaderPairs, PairIsNotedInExactlyThePiecesThatHoldIt)
{
	std::mt19937 rng(3);
	std::string input = random_lines(rng, 300000);
	for (std::size_t at = 0; at + 1 < input.size(); at += 7)
		if (input[at] != '\n' && input[at] != '\r' && input[at + 1] != '\n' && input[at + 1] != '\r')
			input.replace(at, 2, rng() % 3 ? "HE" : "H");
	for (std::size_t window : {std::size_t{144}, std::size_t{193}, read_block}) {
		SCOPED_TRACE(window);
		static piece_reader r;
		FILE *in = open_bytes(input);
		strings held;
		read_pieces(r, text_over(in), char_pair{'H', 'E'}, [&held](std::string_view piece, bool he) {
			if (he)
				held.emplace_back(piece);
			return true;
		}, window);
		std::fclose(in);
		strings want;
		for (const std::string& piece : model_pieces(input))
			if (piece.find("HE") != std::string::npos)
				want.push_back(piece);
		EXPECT_EQ(held, want);
	}
}
