// Runs the reader over bytes in memory and returns the page text it wrote.
#pragma once

#include "lineagehtml.h"

#include <cstdlib>
#include <string>
#include <vector>

// fmemopen refuses a buffer of size 0: an empty input is one byte already read.
inline FILE *open_bytes(std::string& copy, std::size_t size)
{
	copy.push_back('\0');
	FILE *in = fmemopen(copy.data(), size > 0 ? size : 1, "r");
	if (size == 0)
		std::fgetc(in);
	return in;
}

inline std::string run_report(char flag, std::string_view gedcom)
{
	option = flag;
	std::string copy(gedcom);
	FILE *in = open_bytes(copy, gedcom.size());
	char *buf = nullptr;
	std::size_t len = 0;
	FILE *out = open_memstream(&buf, &len);
	print_report(in, out);
	std::fclose(out);
	std::fclose(in);
	std::string page(buf, len);
	std::free(buf);
	return page;
}

inline std::vector<std::string> cut_pieces(std::string_view bytes)
{
	std::string copy(bytes);
	FILE *in = open_bytes(copy, bytes.size());
	reader_start(in);
	std::vector<std::string> pieces;
	std::string_view piece;
	while (next_piece(piece))
		pieces.emplace_back(piece);
	std::fclose(in);
	return pieces;
}

inline std::string row(const row_text& r)
{
	return std::string(text_of(r));
}

inline constexpr const char *l1 = "<br /><img src=gedline1.gif align=center />";
