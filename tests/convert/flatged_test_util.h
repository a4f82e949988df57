// Runs the flat-file reader and the GEDCOM writer over texts in memory.
#pragma once

#include "flatged.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// Collects what is written to a FILE * into a std::string.
struct captured {
	char *data = nullptr;
	std::size_t size = 0;
	FILE *f = open_memstream(&data, &size);
	std::string text()
	{
		std::fflush(f);
		return std::string(data, size);
	}
	~captured()
	{
		std::fclose(f);
		std::free(data);
	}
};

inline read_status read_text(std::string text, std::string *console = nullptr)
{
	text += ' ';	// fmemopen refuses an empty buffer; a blank changes no word
	FILE *in = fmemopen(text.data(), text.size(), "r");
	captured out;
	read_status status = read_data(in, out.f);
	std::fclose(in);
	if (console)
		*console = out.text();
	return status;
}

// A whole record with every field given; parents and id as stated.
inline std::string person(int id, const char *first, int dad = 0, int mum = 0)
{
	char line[200];
	std::snprintf(line, sizeof line, "%d %s Lund M 1900 Ystad z - - - - - %d %d 0\n", id, first,
		dad, mum);
	return line;
}
