// Which set a GEDCOM file is written in, from its first bytes.
#include "charset.h"
#include "grammar.h"
#include "head.h"
#include "span.h"
#include "gedcom_version.h"

#include <array>

namespace {

bool same_letters(std::string_view a, std::string_view b)
{
	if (a.size() != b.size())
		return false;
	for (std::size_t i = 0; i < a.size(); i++) {
		char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
		if (x != b[i])
			return false;
	}
	return true;
}

constexpr std::array<std::string_view, 8> ansi_names{
	"ANSI", "WINDOWS", "WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1", "LATIN-1",
};

// The value of the first level-1 CHAR line of the header.
std::string_view head_char_value(std::string_view start)
{
	std::string_view value;
	each_head_line(start, [&](const line_parts &h) {
		bool found = h.level == 1 && h.tag == "CHAR";
		if (found)
			value = trim_blanks(h.value);
		return found;
	});
	return value;
}

} // namespace

charset_guess guess_charset(std::string_view start)
{
	auto starts = [&start](std::string_view with) { return start.starts_with(with); };
	using namespace std::string_view_literals;
	if (utf8_mark_length(start) != 0)
		return {ged_charset::utf8, false, 0};
	if (starts("\xFF\xFE"))
		return {ged_charset::utf16le, false, 2};
	if (starts("\xFE\xFF"))
		return {ged_charset::utf16be, false, 2};
	if (starts("0\0"sv))
		return {ged_charset::utf16le, false, 0};
	if (starts("\0000"sv))
		return {ged_charset::utf16be, false, 0};
	// A file of version 7 is UTF-8 whatever a CHAR line says: that version has none.
	version_seek seek;
	if (is_version7(gedcom_version(start, seek)))
		return {ged_charset::utf8, false, 0};
	std::string_view name = head_char_value(start);
	if (same_letters(name, "ANSEL"))
		return {ged_charset::ansel, true, 0};
	for (std::string_view ansi : ansi_names)
		if (same_letters(name, ansi))
			return {ged_charset::cp1252, true, 0};
	return {ged_charset::utf8, false, 0};
}

void settle_named(decode_state &d, std::string_view rest)
{
	if (d.named && utf8_sequence(rest) != 0)
		d.set = ged_charset::utf8;
	d.named = false;
}
