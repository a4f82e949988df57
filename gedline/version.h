// version: the GEDCOM version a file's header names.
#pragma once

#include <string_view>

// The value of the header's VERS under its GEDC, without blanks around it ("5.5.1", "7.0");
// empty when the header names none.
std::string_view gedcom_version(std::string_view start);

// 7, 7.0, 7.0.14 and 7.1 are written to the same rules: UTF-8, no CHAR, @VOID@ for nobody.
inline bool is_version7(std::string_view version)
{
	return version == "7" || version.starts_with("7.");
}
