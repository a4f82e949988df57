// The shapes of the generated GEDCOM 7.0 rule tables: structure types, their substructures, enumerations, calendars.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace rules7 {

enum class payload7 : std::uint8_t {
	pay_none,
	pay_y_or_null,
	pay_text,
	pay_language,
	pay_uri,
	pay_integer,
	pay_media_type,
	pay_age,
	pay_date,
	pay_date_exact,
	pay_date_period,
	pay_enum,
	pay_file_path,
	pay_latitude,
	pay_enum_list,
	pay_text_list,
	pay_longitude,
	pay_name,
	pay_tag_def,
	pay_time,
	pay_pointer,
};

// Structure 0 is the file itself: its substructures are the records.
struct structure7 {
	std::string_view name;
	std::int16_t tag;
	payload7 payload;
	std::int16_t target;	// the record structure a pointer must name, -1 for none
	std::int16_t enum_set;
	std::uint16_t first_sub;
	std::uint16_t sub_count;
	std::uint16_t first_required;	// in required7: the substructures it needs at least once
	std::uint16_t required_count;
};

// Sorted by tag within each structure; max 0 means any number.
struct substructure7 {
	std::int16_t tag;
	std::int16_t type;
	std::uint8_t min;
	std::uint8_t max;
};

struct range7 {
	std::uint16_t first;
	std::uint16_t count;
};

struct calendar7 {
	std::string_view tag;
	std::uint16_t first_month;
	std::uint16_t month_count;
	bool bce;
};

} // namespace rules7
