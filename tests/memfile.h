// Files in memory for tests and fuzz targets: bytes read through a FILE *, and what a writer wrote.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A stream that reads `bytes`, which must outlive it; null if it cannot be made. fmemopen
// refuses a size of 0, so an empty input is one byte already read.
inline FILE *open_bytes(std::string_view bytes)
{
	static char none;
	if (bytes.empty()) {
		FILE *in = fmemopen(&none, 1, "r");
		if (in)
			std::fgetc(in);
		return in;
	}
	return fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "r");
}

// All that `write` writes to the stream it is handed.
template <typename Writer>
std::string written_by(Writer write)
{
	char *text = nullptr;
	std::size_t size = 0;
	FILE *out = open_memstream(&text, &size);
	if (!out)
		std::abort();
	write(out);
	std::fclose(out);
	std::string result(text, size);
	std::free(text);
	return result;
}
