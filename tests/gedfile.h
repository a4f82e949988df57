// A GEDCOM text read from a stream in memory, as the programs read their files.
#pragma once

#include "gedtext.h"

#include <cstdio>

// The one text of a test process, started over `in`; what it reads stays valid until the next call.
inline ged_text &text_over(FILE *in)
{
	static ged_text text;
	ged_start(text, in);
	return text;
}
