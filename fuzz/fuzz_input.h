// What the fuzz targets make of their input: its bytes as a file to read, and for the programs
// that take a file and a number, the number on its first line.
#pragma once

#include "memfile.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

inline std::string_view input_bytes(const std::uint8_t *data, std::size_t size)
{
	return {reinterpret_cast<const char *>(data), size};
}

// A stream that reads the bytes, empty ones too; the run stops where none can be made.
inline FILE *input_file(std::string_view bytes)
{
	FILE *in = open_bytes(bytes);
	if (!in)
		std::abort();
	return in;
}

struct numbered_file {
	std::string number;
	std::string_view file;
};

// The number asked for, up to the first line feed, then the file; nothing without a line feed.
inline std::optional<numbered_file> numbered_input(std::string_view input)
{
	std::size_t cut = input.find('\n');
	if (cut == std::string_view::npos)
		return std::nullopt;
	return numbered_file{std::string(input.substr(0, cut)), input.substr(cut + 1)};
}
