// The GEDCOM version a file's header names.
#include "version.h"
#include "head.h"

std::string_view gedcom_version(std::string_view start)
{
	std::string_view version;
	bool in_gedc = false;
	each_head_line(start, [&](const line_parts &h) {
		if (h.level == 1)
			in_gedc = h.tag == "GEDC";
		if (in_gedc && h.level == 2 && h.tag == "VERS")
			version = trim_blanks(h.value);
		return !version.empty();
	});
	return version;
}
