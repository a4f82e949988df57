// The surname report: an entry per individual while reading, the sorted list at the end.
#include "lineagehtml.h"

#include <cstdlib>

row_text last_surname;

namespace {

constexpr std::string_view line_break = "<br />\n";
constexpr std::string_view count_open = "<b><font color=009900><img src=gedline1.gif align=center />";

// The surname part of an entry: the entry is a space, the surname and the line break.
std::string_view surname_of(std::string_view entry)
{
	if (entry.size() < 1 + line_break.size())
		return {};
	return entry.substr(1, entry.size() - 1 - line_break.size());
}

} // namespace

void build_surname(int row, std::string_view name_value)
{
	std::string_view surname = name_value.substr(name_value.size());
	std::size_t slash = name_value.find('/');
	if (slash != std::string_view::npos) {
		surname = name_value.substr(slash + 1);
		std::size_t close = surname.find('/');
		if (close != std::string_view::npos)
			surname = surname.substr(0, close);
	}
	// A NUL byte would end the entry early as text and leave it without its line break.
	// A value from a line piece always fits; the cut guards the row against other callers.
	constexpr std::size_t room = text_size - 2 - line_break.size();
	surname = surname.substr(0, strnlen(surname.data(), surname.size() < room ? surname.size() : room));
	row_text& entry = indi_surname[row];
	entry[0] = ' ';
	if (!surname.empty())
		std::memcpy(entry.data() + 1, surname.data(), surname.size());
	std::memcpy(entry.data() + 1 + surname.size(), line_break.data(), line_break.size());
	entry[1 + surname.size() + line_break.size()] = '\0';
}

int comp_string(const void *a, const void *b)
{
	return std::strcmp(static_cast<const row_text *>(a)->data(), static_cast<const row_text *>(b)->data());
}

void print_surnames(FILE *out)
{
	std::fprintf(out, "%s Number of Individuals in GED  = %d</font></b><br />\n", count_open.data(),
		     number_of_individuals);
	std::fprintf(out, "%s Lines of Data in GED = %d</font></b><br />\n", count_open.data(), lines_of_data);

	// Only rows that a name line filled take part; the others would sort first as empty text.
	std::size_t n = 0;
	for (const row_text& entry : indi_surname)
		if (entry[0] != '\0')
			disp_surname[n++] = entry;
	std::qsort(disp_surname.data(), n, sizeof(row_text), comp_string);

	for (std::size_t i = 0; i < n; ++i) {
		std::string_view entry = text_of(disp_surname[i]);
		std::string_view surname = surname_of(entry);
		if (surname.empty() || entry == text_of(last_surname))
			continue;
		write_parts(out, {{"<img src=gedline2.gif align=center /> ", false}, {surname, true},
				  {line_break, false}});
		copy_text(last_surname, entry);
	}
	flush_output(out);
}
