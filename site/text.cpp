// File names, escaping, safe addresses, folding and dates.
#include "text.h"

#include "records.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utf8proc.h>

namespace {

constexpr std::size_t most_name_bytes = 100;

bool kept_in_name(unsigned char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void append_hex(std::string &out, std::uint64_t value, int digits)
{
	static constexpr char hex[] = "0123456789abcdef";
	for (int i = digits - 1; i >= 0; --i)
		out += hex[(value >> (4 * i)) & 15];
}

bool starts_folded(std::string_view text, std::string_view lower)
{
	if (text.size() < lower.size())
		return false;
	for (std::size_t i = 0; i < lower.size(); ++i) {
		char c = text[i];
		if (c >= 'A' && c <= 'Z')
			c = static_cast<char>(c - 'A' + 'a');
		if (c != lower[i])
			return false;
	}
	return true;
}

} // namespace

namespace {

void append_name_bytes(std::string &name, std::string_view xref)
{
	for (char ch : xref) {
		auto c = static_cast<unsigned char>(ch);
		if (kept_in_name(c)) {
			name += ch;
		} else {
			name += '-';
			append_hex(name, c, 2);
		}
	}
}

} // namespace

void append_page_name(std::string &out, std::string_view xref)
{
	// Each byte gives at most three: a short one needs no cut, and is written in place.
	if (xref.size() * 3 <= most_name_bytes)
		append_name_bytes(out, xref);
	else
		out += page_name(xref);
}

std::string page_name(std::string_view xref)
{
	std::string name;
	append_name_bytes(name, xref);
	if (name.size() > most_name_bytes) {
		name.resize(most_name_bytes - 17);
		name += '-';
		append_hex(name, xref_hash(xref, false), 16);
	}
	return name;
}

namespace {

// How many bytes at `i` make a character no HTML page may hold (a control character or a
// noncharacter), which is shown as U+FFFD instead; 0 for any other.
std::size_t unfit_at(std::string_view text, std::size_t i)
{
	auto at = [text](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
	unsigned c = at(i);
	if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
		return 1;
	if (c == 0xC2 && at(i + 1) >= 0x80 && at(i + 1) <= 0x9F)
		return 2;
	if (c == 0xEF && ((at(i + 1) == 0xB7 && at(i + 2) >= 0x90 && at(i + 2) <= 0xAF) ||
			  (at(i + 1) == 0xBF && at(i + 2) >= 0xBE)))
		return 3;
	return 0;
}

std::string_view entity_of(char c)
{
	switch (c) {
	case '&': return "&amp;";
	case '<': return "&lt;";
	case '>': return "&gt;";
	case '"': return "&quot;";
	case '\'': return "&#39;";
	default: return {};
	}
}

} // namespace

void append_escaped(std::string &out, std::string_view text)
{
	std::size_t start = 0;
	for (std::size_t i = 0; i < text.size(); ++i) {
		std::string_view entity = entity_of(text[i]);
		std::size_t unfit = entity.empty() ? unfit_at(text, i) : 0;
		if (entity.empty() && unfit == 0)
			continue;
		out.append(text.substr(start, i - start));
		out += unfit ? std::string_view("\uFFFD") : entity;
		i += unfit ? unfit - 1 : 0;
		start = i + 1;
	}
	out.append(text.substr(start));
}

bool linkable_address(std::string_view address)
{
	if (address.empty())
		return false;
	if (starts_folded(address, "http://") || starts_folded(address, "https://"))
		return address.find_first_of(" \t\r\n") == std::string_view::npos;
	for (char c : address)
		if (static_cast<unsigned char>(c) < 0x20 || c == ':' || c == '\\')
			return false;
	return address.front() != '/';
}

std::string fold_text(std::string_view text)
{
	utf8proc_uint8_t *folded = nullptr;
	auto options = static_cast<utf8proc_option_t>(UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD | UTF8PROC_STRIPMARK);
	utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t *>(text.data()),
					  static_cast<utf8proc_ssize_t>(text.size()), &folded, options);
	if (n < 0) {
		std::string lower(text);
		for (char &c : lower)
			if (c >= 'A' && c <= 'Z')
				c = static_cast<char>(c - 'A' + 'a');
		return lower;
	}
	std::string out(reinterpret_cast<const char *>(folded), static_cast<std::size_t>(n));
	std::free(folded);
	return out;
}

std::string letter_of(std::string_view folded)
{
	if (folded.empty())
		return "_";
	utf8proc_int32_t c = 0;
	utf8proc_ssize_t n = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(folded.data()),
					      static_cast<utf8proc_ssize_t>(folded.size()), &c);
	if (n <= 0 || !(utf8proc_category(c) <= UTF8PROC_CATEGORY_LO))
		return "_";
	std::array<utf8proc_uint8_t, 4> bytes{};
	utf8proc_ssize_t len = utf8proc_encode_char(utf8proc_toupper(c), bytes.data());
	return std::string(reinterpret_cast<const char *>(bytes.data()), static_cast<std::size_t>(len));
}

int date_year(std::string_view date)
{
	int digits = 0;
	int value = 0;
	for (std::size_t i = 0; i <= date.size(); ++i) {
		unsigned d = i < date.size() ? static_cast<unsigned char>(date[i]) - unsigned{'0'} : 10;
		if (d <= 9) {
			value = digits < 5 ? value * 10 + static_cast<int>(d) : value;
			++digits;
			continue;
		}
		if (digits == 3 || digits == 4)
			return value;
		digits = 0;
		value = 0;
	}
	return 0;
}

std::uint32_t date_key(std::string_view date)
{
	static constexpr std::string_view months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
						      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
	int year = date_year(date);
	if (year == 0)
		return 0;
	unsigned month = 0;
	for (unsigned m = 0; m < 12; ++m)
		if (date.find(months[m]) != std::string_view::npos)
			month = m + 1;
	unsigned day = 0;
	for (std::size_t i = 0; month != 0 && i < 2 && i < date.size() && date[i] >= '0' && date[i] <= '9'; ++i)
		day = day * 10 + static_cast<unsigned>(date[i] - '0');
	return static_cast<std::uint32_t>(year) * 10000 + month * 100 + (day <= 31 ? day : 0);
}
