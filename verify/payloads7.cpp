// 7.0 payloads by their type: flags, numbers, enumerations, language and media types, places, names.
#include "rules7_internal.h"
#include "rules7_tables.h"

namespace rules7 {

static bool is_enum_value(int set, std::string_view value)
{
	if (is_ext_tag(value))
		return true;
	if (set < 0)
		return is_std_tag(value) || all_digits(value);
	range7 r = enum_set_values7[set];
	for (int i = 0; i < r.count; ++i)
		if (enum_values7[r.first + i] == value)
			return true;
	return false;
}

static std::string_view trim_spaces(std::string_view t)
{
	while (!t.empty() && t.front() == ' ')
		t.remove_prefix(1);
	while (!t.empty() && t.back() == ' ')
		t.remove_suffix(1);
	return t;
}

static bool is_enum_list(int set, std::string_view value)
{
	while (true) {
		std::size_t comma = value.find(',');
		std::string_view item = value.substr(0, comma);
		if (!is_enum_value(set, trim_spaces(item)))
			return false;
		if (comma == std::string_view::npos)
			return true;
		value.remove_prefix(comma + 1);
	}
}

// N or S and up to 90 degrees, E or W and up to 180, each with an optional decimal fraction.
static bool is_coordinate(std::string_view value, char plus, char minus, int most)
{
	if (value.empty() || (value[0] != plus && value[0] != minus))
		return false;
	value.remove_prefix(1);
	std::size_t dot = value.find('.');
	std::string_view whole = value.substr(0, dot);
	std::size_t widest = most < 100 ? 2 : 3;
	if (!all_digits(whole) || whole.size() > widest || (dot != std::string_view::npos && !all_digits(value.substr(dot + 1))))
		return false;
	int degrees = 0;
	for (char c : whole)
		degrees = degrees * 10 + (c - '0');
	return degrees <= most;
}

// At most one pair of slashes around the surname, and no tab.
static bool is_personal_name(std::string_view value)
{
	int slashes = 0;
	for (char c : value) {
		if (c == '\t')
			return false;
		slashes += c == '/';
	}
	return slashes == 0 || slashes == 2;
}

static bool is_tag_definition(std::string_view value)
{
	std::size_t sp = value.find(' ');
	return sp != std::string_view::npos && is_ext_tag(value.substr(0, sp)) && sp + 1 < value.size() &&
	       value.find(' ', sp + 1) == std::string_view::npos;
}

static bool is_text(std::string_view value)
{
	return value.empty() || value[0] != '@' || value.starts_with("@@");
}

verdict7 check_payload(payload7 kind, int enum_set, std::string_view value)
{
	bool ok = true;
	switch (kind) {
	case payload7::pay_none: ok = value.empty(); break;
	case payload7::pay_y_or_null: ok = value.empty() || value == "Y"; break;
	case payload7::pay_text:
	case payload7::pay_text_list:
	case payload7::pay_uri:
	case payload7::pay_file_path: ok = is_text(value); break;
	case payload7::pay_integer: ok = all_digits(value); break;
	case payload7::pay_language: ok = is_language_tag(value); break;
	case payload7::pay_media_type: ok = is_media_type(value); break;
	case payload7::pay_age: return check_age(value);
	case payload7::pay_date:
	case payload7::pay_date_exact:
	case payload7::pay_date_period: return check_date(value, kind);
	case payload7::pay_time: return check_time(value);
	case payload7::pay_enum: ok = is_enum_value(enum_set, value); break;
	case payload7::pay_enum_list: ok = is_enum_list(enum_set, value); break;
	case payload7::pay_latitude: ok = is_coordinate(value, 'N', 'S', 90); break;
	case payload7::pay_longitude: ok = is_coordinate(value, 'E', 'W', 180); break;
	case payload7::pay_name: ok = is_text(value) && is_personal_name(value); break;
	case payload7::pay_tag_def: ok = is_tag_definition(value); break;
	case payload7::pay_pointer: ok = value == "@VOID@" || is_pointer_form(value); break;
	}
	return ok ? fine7 : wrong7;
}

} // namespace rules7
