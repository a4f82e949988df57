// Writes one family in every form the reader takes: UTF-8 with and without a mark, UTF-16 in
// both byte orders with and without one, ANSEL, UTF-8 labelled ANSEL, and a second family of
// windows-1252 letters in windows-1252 and in UTF-8. charset_forms FOLDER
#include "charset.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include <utf8proc.h>

namespace {

const char *const family =
	"0 HEAD\n1 SOUR TEST\n1 CHAR @CHAR@\n"
	"0 @I1@ INDI\n1 NAME Łukasz /Dvořák/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Þórshöfn\n1 FAMS @F1@\n"
	"0 @I2@ INDI\n1 NAME Guðrún /Straße/\n1 SEX F\n1 BIRT\n2 DATE 2 FEB 1902\n2 PLAC Œuvre, Kırıkkale\n"
	"1 FAMS @F1@\n"
	"0 @I3@ INDI\n1 NAME Nguyệt /Łukaszówna/\n1 SEX F\n1 BIRT\n2 DATE 3 MAR 1930\n"
	"2 PLAC © € Rzeszów\n1 FAMC @F1@\n"
	"0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 MARR\n2 DATE 4 APR 1925\n0 TRLR\n";

const char *const western =
	"0 HEAD\n1 SOUR TEST\n1 CHAR @CHAR@\n"
	"0 @I1@ INDI\n1 NAME Šárka /Grüber/\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Þórshöfn\n1 FAMS @F1@\n"
	"0 @I2@ INDI\n1 NAME Guðrún /Œuvre/\n1 SEX F\n1 BIRT\n2 PLAC © € Straße\n1 FAMC @F1@\n"
	"0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n0 TRLR\n";

std::string labelled(std::string text, std::string_view set)
{
	text.replace(text.find("@CHAR@"), 6, set);
	return text;
}

// The code points of a UTF-8 text, decomposed when `decompose`.
std::u32string code_points(std::string_view s, bool decompose)
{
	std::u32string out;
	const auto *p = reinterpret_cast<const utf8proc_uint8_t *>(s.data());
	for (utf8proc_ssize_t i = 0; i < static_cast<utf8proc_ssize_t>(s.size());) {
		utf8proc_int32_t c;
		i += utf8proc_iterate(p + i, static_cast<utf8proc_ssize_t>(s.size()) - i, &c);
		if (!decompose) {
			out += static_cast<char32_t>(c);
			continue;
		}
		utf8proc_int32_t parts[8];
		int last = 0;
		utf8proc_ssize_t n = utf8proc_decompose_char(c, parts, 8, UTF8PROC_DECOMPOSE, &last);
		for (utf8proc_ssize_t k = 0; k < n; k++)
			out += static_cast<char32_t>(parts[k]);
	}
	return out;
}

std::string utf16(std::string_view s, bool little, bool mark)
{
	std::string out;
	auto unit = [&](char32_t u) {
		char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
		out += little ? lo : hi;
		out += little ? hi : lo;
	};
	if (mark)
		unit(0xFEFF);
	for (char32_t c : code_points(s, false)) {
		if (c >= 0x10000) {
			unit(0xD800 + ((c - 0x10000) >> 10));
			unit(0xDC00 + ((c - 0x10000) & 0x3FF));
		} else
			unit(c);
	}
	return out;
}

// ANSEL writes a letter's marks before it, in the order they are read back.
std::string ansel(std::string_view s)
{
	std::map<char32_t, char> spacing, marks;
	for (int b = 0xFE; b >= 0xA0; b--) {
		if (char32_t c = ansel_char(static_cast<unsigned char>(b)))
			spacing[c] = static_cast<char>(b);
		if (char32_t m = ansel_mark(static_cast<unsigned char>(b)))
			marks[m] = static_cast<char>(b);
	}
	std::u32string points = code_points(s, true);
	std::string out;
	for (std::size_t i = 0; i < points.size(); i++) {
		std::size_t j = i + 1;
		while (j < points.size() && marks.count(points[j]))
			out += marks[points[j++]];
		char32_t c = points[i];
		out += c < 0x80 ? static_cast<char>(c) : spacing.at(c);
		i = j - 1;
	}
	return out;
}

std::string cp1252(std::string_view s)
{
	std::string out;
	for (char32_t c : code_points(s, false)) {
		int b = 0;
		while (b < 256 && cp1252_char(static_cast<unsigned char>(b)) != c)
			b++;
		out += static_cast<char>(b);
	}
	return out;
}

bool write(const std::string &folder, const char *name, const std::string &bytes)
{
	std::string path = folder + "/" + name;
	FILE *f = std::fopen(path.c_str(), "wb");
	bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
	return f && std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char **argv)
{
	if (argc != 2)
		return 2;
	std::string dir = argv[1];
	std::string text = labelled(family, "UTF-8");
	bool ok = write(dir, "utf8.ged", text) && write(dir, "utf8-mark.ged", "\xEF\xBB\xBF" + text) &&
		  write(dir, "utf16le.ged", utf16(text, true, false)) &&
		  write(dir, "utf16le-mark.ged", utf16(text, true, true)) &&
		  write(dir, "utf16be.ged", utf16(text, false, false)) &&
		  write(dir, "utf16be-mark.ged", utf16(text, false, true)) &&
		  write(dir, "ansel.ged", ansel(labelled(family, "ANSEL"))) &&
		  write(dir, "mislabelled.ged", labelled(family, "ANSEL")) &&
		  write(dir, "western-utf8.ged", labelled(western, "UTF-8")) &&
		  write(dir, "western-ansi.ged", cp1252(labelled(western, "ANSI")));
	return ok ? 0 : 1;
}
