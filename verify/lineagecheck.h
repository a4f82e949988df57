// lineagecheck: the verifier's state, its line-piece reader and the check.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

inline constexpr const char *r_version = "0.1.0";

// A piece is what fgets with an 80-byte buffer returns: at most 79 characters.
inline constexpr std::size_t piece_buffer_size = 80;
inline constexpr std::size_t piece_max = piece_buffer_size - 1;

inline constexpr std::size_t reader_buffer_size = 64 * 1024;
// The reader keeps one character past a full piece in view, to tell CR LF from a lone CR.
inline constexpr std::size_t reader_window_min = piece_max + 1;

// The flag letter of the command line; print_report acts on 's', 't' and 'b'.
extern char option;
// Counters are 64-bit so that a file of more than 2^31 pieces is still counted right.
extern long long number_of_names;
extern long long lines_of_data;

// Reads pieces from its own buffer instead of calling fgets for each one.
struct piece_reader {
	FILE *fp;
	std::size_t window;  // bytes of buf in use; smaller only in tests, to reach refills early
	std::size_t start;   // first byte of the next piece
	std::size_t end;     // one past the last byte read
	std::size_t next_cr; // first CR at or after start, or end when there is none
	bool cr_known;
	bool at_end;         // fp is exhausted (end of file or read error)
	std::array<char, reader_buffer_size> buf;
};

void reader_start(piece_reader &r, FILE *fp, std::size_t window = reader_buffer_size);
// The next piece: up to 79 characters, ending after a LF, or after a CR that no LF follows.
// False at end of file (or on a read error) with nothing left.
bool read_piece(piece_reader &r, std::string_view &piece);

bool has_at(std::string_view piece, std::size_t at, std::string_view letters);
bool contains_head(std::string_view piece);

// Handles one piece: HEAD message, name count, -t lines and the line count.
// True when the piece is the trailer and reading must stop.
bool handle_piece(std::string_view piece, FILE *out);

// Reads fp to its trailer (or its end) and writes the verdict and, for -s, the counts.
void print_report(FILE *fp, FILE *out);
