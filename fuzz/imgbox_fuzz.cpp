// Fuzz target for the picture box's drawing-file reader, which needs no display.
// Beyond the sanitizers it compares the reader with a plain reading of the same words:
// a drawing when the first word starts "qdr", header colour, count, height and width, then
// whole six-word elements up to the count, the capacity, the end or the first non-number.
#include "fuzz_input.h"
#include "kyx_rules.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace kyx;

namespace {

std::vector<std::string> words_of(std::string_view text)
{
	std::vector<std::string> words;
	std::size_t i = 0;
	while (i < text.size()) {
		while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
			++i;
		std::size_t start = i;
		while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
			++i;
		if (i > start)
			words.emplace_back(text.substr(start, i - start));
	}
	return words;
}

// A whole signed decimal, read from the part of the word the reader keeps, as C text.
std::optional<int> number_of(std::string_view w)
{
	w = w.substr(0, drawing_word_size - 1);
	w = w.substr(0, w.find('\0'));
	std::size_t i = w.starts_with('+') || w.starts_with('-') ? 1 : 0;
	if (i == w.size())
		return std::nullopt;
	long long v = 0;
	for (std::size_t k = i; k < w.size(); ++k) {
		if (!std::isdigit(static_cast<unsigned char>(w[k])))
			return std::nullopt;
		v = std::min(v * 10 + (w[k] - '0'), 1LL << 40);
	}
	v = w[0] == '-' ? -v : v;
	return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

unsigned long colour_of(std::string_view w)
{
	std::string kept(w.substr(0, colour_word_size - 1));
	return std::strtoul(kept.c_str(), nullptr, 16) & 0xFFFFFFFFUL;
}

void expect(bool ok)
{
	if (!ok)
		std::abort();
}

void compare(const std::vector<std::string>& w, bool is_drawing, const drawing& d)
{
	expect(d.count >= 0 && d.count <= drawing_capacity && d.width > 0 && d.height > 0);
	expect(is_drawing == (!w.empty() && w[0].starts_with("qdr")));
	if (!is_drawing)
		return;
	if (w.size() < 2) {
		expect(d.background == 0x123456 && d.count == 0);
		return;
	}
	expect(d.background == colour_of(w[1]));
	std::optional<int> count = w.size() > 2 ? number_of(w[2]) : std::nullopt;
	std::optional<int> height = count && w.size() > 3 ? number_of(w[3]) : std::nullopt;
	std::optional<int> width = height && w.size() > 4 ? number_of(w[4]) : std::nullopt;
	expect(d.height == (height && *height > 0 ? *height : picture_default_size));
	expect(d.width == (width && *width > 0 ? *width : picture_default_size));
	if (!width) {
		expect(d.count == 0);
		return;
	}
	int read = 0;
	int wanted = std::clamp(*count, 0, drawing_capacity);
	for (std::size_t at = 5; read < wanted && at + 6 <= w.size(); at += 6) {
		std::optional<int> type = number_of(w[at]), x1 = number_of(w[at + 2]), y1 = number_of(w[at + 3]),
				   x2 = number_of(w[at + 4]), y2 = number_of(w[at + 5]);
		if (!type || !x1 || !y1 || !x2 || !y2)
			break;
		const drawing_element& el = d.element[static_cast<std::size_t>(read)];
		expect(el.type == *type && el.colour == colour_of(w[at + 1]) && el.x1 == *x1 && el.y1 == *y1 &&
		       el.x2 == *x2 && el.y2 == *y2);
		++read;
	}
	expect(d.count == read);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string_view text = input_bytes(data, size);
	FILE *f = input_file(text);
	static drawing d;
	bool is_drawing = read_drawing(f, d, 0x123456);
	std::fclose(f);
	compare(words_of(text), is_drawing, d);
	return 0;
}
