// Fuzz target for the reader's decoding: any bytes, in every character set a header can name,
// read in blocks of many sizes, come out as valid UTF-8; a file that is already UTF-8 with
// single blanks where GEDCOM puts them comes out unchanged, and the same in every block size.
#include "reader_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool blank(char c)
{
	return c == ' ' || c == '\t';
}

// Each line: no blank before the level, one blank after it and after a cross-reference.
bool tidy_lines(std::string_view s)
{
	for (std::size_t pos = 0; pos < s.size();) {
		std::size_t end = s.find_first_of("\r\n", pos);
		std::string_view line = s.substr(pos, end == std::string_view::npos ? s.npos : end - pos);
		pos = end == std::string_view::npos ? s.size() : end + 1;
		if (!line.empty() && blank(line[0]))
			return false;
		std::size_t i = 0;
		while (i < line.size() && line[i] >= '0' && line[i] <= '9')
			i++;
		if (i == 0 || i == line.size())
			continue;
		if (line[i] == '\t' || (line[i] == ' ' && i + 1 < line.size() && blank(line[i + 1])))
			return false;
		if (line[i] != ' ' || i + 1 == line.size() || line[i + 1] != '@')
			continue;
		std::size_t close = line.find('@', i + 2);
		if (close != std::string_view::npos && close + 1 < line.size() && blank(line[close + 1]) &&
		    (line[close + 1] == '\t' || (close + 2 < line.size() && blank(line[close + 2]))))
			return false;
	}
	return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view file = input_bytes(data, size);
	std::string whole = decoded_text(file, text_block);
	if (!whole_utf8(whole))
		std::abort();
	if (decoded_text(file, 64 + size % 509) != whole)
		std::abort();
	charset_guess guess = guess_charset(file);
	bool utf16 = guess.set == ged_charset::utf16le || guess.set == ged_charset::utf16be;
	// The text after a UTF-8 mark starts a line of its own.
	std::string_view lines = file.starts_with("\xEF\xBB\xBF") ? file.substr(3) : file;
	if (!utf16 && whole_utf8(file) && tidy_lines(lines) && whole != file)
		std::abort();
	return 0;
}
