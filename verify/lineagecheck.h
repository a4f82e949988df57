// lineagecheck: the verifier's state, its line-piece reader and the check.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

inline constexpr const char *r_version = "0.1.0";

// A piece is what fgets with an 80-byte buffer returns: at most 79 characters.
inline constexpr std::size_t piece_buffer_size = 80;
inline constexpr std::size_t piece_max = piece_buffer_size - 1;

// The block scan looks at 64 bytes at a time, one bit per byte.
inline constexpr std::size_t block_size = 64;
inline constexpr std::size_t reader_buffer_size = 256 * 1024;
inline constexpr std::size_t reader_blocks = reader_buffer_size / block_size;
// The reader keeps one character past a full piece in view, to tell CR LF from a lone CR.
inline constexpr std::size_t reader_window_min = piece_max + 1;

// The flag letter of the command line; print_report acts on 's', 't' and 'b'.
extern char option;
// Counters are 64-bit so that a file of more than 2^31 pieces is still counted right.
extern long long number_of_names;
extern long long lines_of_data;
// Counts in whole blocks where it can; off, every piece is checked on its own.
extern bool use_block_scan;
// Bytes the check reads at a time; tests make it small to meet many refills.
extern std::size_t check_window;

// Reads pieces from a buffer of its own, which the block scan reads as well.
struct piece_reader {
	FILE *fp;
	std::size_t window; // bytes of buf in use; smaller only in tests, to reach refills early
	std::size_t start;  // first byte of the next piece
	std::size_t end;    // one past the last byte read
	bool at_end;        // fp is exhausted (end of file or read error)
	std::array<char, reader_buffer_size + block_size> buf; // room for reading ahead past end
};

void reader_start(piece_reader &r, FILE *fp, std::size_t window = reader_buffer_size);
// The next piece: up to 79 characters, ending after a LF, or after a CR that no LF follows.
// False at end of file (or on a read error) with nothing left.
bool read_piece(piece_reader &r, std::string_view &piece);

// A test of a character beyond the end of the piece fails.
inline bool has_at(std::string_view piece, std::size_t at, std::string_view letters)
{
	if (piece.size() < at + letters.size())
		return false;
	for (std::size_t i = 0; i < letters.size(); i++)
		if (piece[at + i] != letters[i])
			return false;
	return true;
}

// Handles one piece: HEAD message, name count, -t lines and the line count.
// True when the piece is the trailer and reading must stop.
bool handle_piece(std::string_view piece, FILE *out);

// Reads fp to its trailer (or its end) and writes the verdict and, for -s, the counts.
void print_report(FILE *fp, FILE *out);
