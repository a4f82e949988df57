// What the targets over the reader make of the text it hands on: the text of an input, read
// in blocks or whole, and whether a text is whole UTF-8 characters.
#pragma once

#include "charset.h"
#include "fuzz_input.h"
#include "gedtext.h"

#include <cstdlib>
#include <string>
#include <string_view>

// The text of the file as the reader hands it on, in blocks of `block` bytes, or through
// ged_read_all when block is 0.
inline std::string decoded_text(std::string_view file, std::size_t block)
{
	static ged_text text;
	FILE *in = input_file(file);
	ged_start(text, in);
	std::string out;
	if (block == 0) {
		if (!ged_read_all(text, out))
			std::abort();
	} else {
		std::string part(block, '\0');
		while (std::size_t got = ged_read(text, part.data(), block))
			out.append(part, 0, got);
	}
	std::fclose(in);
	return out;
}

inline bool whole_utf8(std::string_view s)
{
	for (std::size_t i = 0; i < s.size();) {
		std::size_t n = utf8_sequence(s.substr(i));
		if (n == 0)
			return false;
		i += n;
	}
	return true;
}
