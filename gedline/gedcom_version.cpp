// The version a GEDCOM file declares, and the family of rules it belongs to.
#include "gedcom_version.h"

#include <cstring>

namespace {

enum stage : std::uint8_t { before_head, in_head, in_gedc, found };

bool done(version_seek &s)
{
	s.stage = found;
	return true;
}

void keep_version(version_seek &s, std::uint64_t line, std::string_view value)
{
	value = trim_blanks(value);
	std::size_t n = value.size() < version_text_max ? value.size() : version_text_max;
	if (n > 0)
		std::memcpy(s.text.data(), value.data(), n);
	s.length = static_cast<std::uint8_t>(n);
	s.line = line;
}

} // namespace

bool seek_version(version_seek &s, std::uint64_t line, const line_parts &g)
{
	if (s.stage == found)
		return true;
	if (g.fault != line_fault::none)
		return false;
	if (g.level == 0) {
		if (s.stage != before_head)
			return done(s);
		if (g.tag == "HEAD")
			s.stage = in_head;
		return false;
	}
	if (s.stage == before_head)
		return false;
	if (g.level == 1) {
		s.stage = g.tag == "GEDC" ? in_gedc : in_head;
	} else if (g.level == 2 && s.stage == in_gedc && g.tag == "VERS") {
		keep_version(s, line, g.value);
		return done(s);
	}
	return false;
}

std::string_view sought_version(const version_seek &s)
{
	return {s.text.data(), s.length};
}

std::string_view gedcom_version(std::string_view text, version_seek &s)
{
	s = {};
	if (text.starts_with("\xEF\xBB\xBF"))
		text.remove_prefix(3);
	for (std::uint64_t line = 1; !text.empty(); ++line) {
		std::size_t end = text.find_first_of("\r\n");
		std::string_view body = text.substr(0, end);
		if (seek_version(s, line, parse_line(body)))
			break;
		if (end == std::string_view::npos)
			break;
		text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
	}
	return sought_version(s);
}

gedcom_family family_of_version(std::string_view version)
{
	auto within = [version](std::string_view base) {
		return version == base || (version.starts_with(base) && version[base.size()] == '.' &&
					   version.size() > base.size() + 1);
	};
	if (within("7.0"))
		return gedcom_family::seven;
	if (within("7.1"))
		return gedcom_family::seven_later;
	return gedcom_family::five;
}
