// What the parts of the 7.0 checker share: the line-form tests, the payload verdicts.
#pragma once

#include "rules7.h"
#include "rules7_types.h"
#include "grammar.h"

#include <cstdint>
#include <string_view>

namespace rules7 {

enum class result7 : std::uint8_t { ok, bad, legacy };

// For legacy, quote is the 5.5.1 form found in the value and instead what 7.0 writes.
struct verdict7 {
	result7 result;
	std::string_view quote;
	std::string_view instead;
};

inline constexpr verdict7 fine7 = {result7::ok, {}, {}};
inline constexpr verdict7 wrong7 = {result7::bad, {}, {}};

int find_tag7(std::string_view tag);
bool is_xref_form(std::string_view xref);
bool is_tag_form(std::string_view tag);
bool is_ext_tag(std::string_view tag);
bool is_std_tag(std::string_view tag);
bool is_pointer_form(std::string_view value);
inline constexpr std::uint32_t no_banned7 = 0xFFFFFFFFu;
std::uint32_t banned_character(std::string_view text);

bool is_language_tag(std::string_view value);
bool is_media_type(std::string_view value);
// Extension tags that HEAD.SCHMA defines, and the standard structure each relocates.
void note_documented(checker7 &c, std::string_view definition);
int documented_type(const checker7 &c, std::string_view tag);

verdict7 check_payload(payload7 kind, int enum_set, std::string_view value);
verdict7 check_date(std::string_view value, payload7 kind);
// The same, the value's words left in words when it is taken (none for an empty value).
verdict7 check_date(std::string_view value, payload7 kind, date_words7 &words);
verdict7 check_time(std::string_view value);
verdict7 check_age(std::string_view value);

} // namespace rules7
