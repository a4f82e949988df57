// version: the GEDCOM version a file's header names.
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

// The value of the header's VERS under its GEDC, without blanks around it ("5.5.1", "7.0");
// empty when the header names none.
std::string_view gedcom_version(std::string_view start);

// 7, 7.0, 7.0.14 and 7.1 are written to the same rules: UTF-8, no CHAR, @VOID@ for nobody.
inline bool is_version7(std::string_view version)
{
	return version == "7" || version.starts_with("7.");
}
