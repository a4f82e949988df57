// nobody: the pointer that stands for no record.
#pragma once

#include <string_view>

// Whether a cross-reference, with or without its @ signs, is @VOID@: a link to no one, which
// no record can answer to, even one that calls itself so.
inline bool points_to_nobody(std::string_view xref)
{
	return xref == "@VOID@" || xref == "VOID";
}
