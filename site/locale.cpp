// The site's language and the day it is made on.
#include "run.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace {

bool tag_letter(char c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A BCP 47 tag in its common shape: two or three letters, then parts of letters and digits.
bool looks_like_tag(std::string_view lang)
{
	std::size_t i = 0;
	while (i < lang.size() && tag_letter(lang[i]))
		++i;
	if (i < 2 || i > 3)
		return false;
	for (; i < lang.size(); ++i)
		if (!(tag_letter(lang[i]) || (lang[i] >= '0' && lang[i] <= '9') || lang[i] == '-'))
			return false;
	return lang.back() != '-';
}

std::tm parts_of(long long now)
{
	std::time_t t = static_cast<std::time_t>(now);
	std::tm parts{};
	gmtime_r(&t, &parts);
	return parts;
}

} // namespace

std::string language_tag(std::string_view lang)
{
	static constexpr std::pair<std::string_view, std::string_view> named[] = {
		{"English", "en"}, {"German", "de"}, {"French", "fr"}, {"Dutch", "nl"}, {"Spanish", "es"},
		{"Italian", "it"}, {"Swedish", "sv"}, {"Norwegian", "no"}, {"Danish", "da"}, {"Finnish", "fi"},
		{"Polish", "pl"}, {"Portuguese", "pt"}, {"Czech", "cs"}, {"Hungarian", "hu"}, {"Russian", "ru"},
		{"Icelandic", "is"}, {"Afrikaans", "af"}, {"Hebrew", "he"}, {"Greek", "el"}, {"Japanese", "ja"},
	};
	for (auto [name, tag] : named)
		if (lang == name)
			return std::string(tag);
	return looks_like_tag(lang) ? std::string(lang) : "en";
}

std::string day_of(long long now)
{
	std::tm parts = parts_of(now);
	std::array<char, 32> day{};
	std::snprintf(day.data(), day.size(), "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
	return day.data();
}

int year_of(long long now)
{
	return parts_of(now).tm_year + 1900;
}
