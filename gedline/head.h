// head: the lines of a file's header, read from the text at its start.
#pragma once

#include "charset.h"
#include "grammar.h"
#include "span.h"

#include <string_view>

// Calls on(parts) for each line of the header, from the first line to the next one of level
// 0, until on returns true. The text starts at the file's start, a UTF-8 mark included.
template <class On>
void each_head_line(std::string_view start, On &&on)
{
	start.remove_prefix(utf8_mark_length(start));
	const char *text_end = start.data() + start.size();
	std::size_t pos = 0;
	for (bool first = true; pos < start.size(); first = false) {
		auto end = static_cast<std::size_t>(find_line_end(start.data() + pos, text_end) - start.data());
		line_parts h = parse_line(start.substr(pos, end - pos));
		if ((!first && h.level == 0) || on(h))
			return;
		pos = end + 1;
	}
}
