// Runs the reader over bytes in memory and returns the page text it wrote.
#pragma once

#include "lineagehtml.h"
#include "gedfile.h"
#include "memfile.h"

#include <string>

inline std::string run_report(char flag, std::string_view gedcom)
{
	option = flag;
	FILE *in = open_bytes(gedcom);
	std::string page = written_by([in](FILE *out) { print_report(text_over(in), out); });
	std::fclose(in);
	return page;
}

inline std::string row(const row_text& r)
{
	return std::string(text_of(r));
}

inline constexpr const char *l1 = "<br /><img src=gedline1.gif align=center />";
