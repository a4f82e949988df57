// What -v says for each 7.0 finding, in the words of its 5.5.1 messages where they say the same.
#include "findings.h"
#include "rules7.h"
#include "rules7_types.h"

#include <array>
#include <string>

namespace rules7 {

// A long value is cut at a character boundary, not in the middle of one.
inline constexpr std::size_t quoted_bytes7 = 60;

// The quoted text, cut and with every control byte and stray byte written as \xHH, so that a
// file's bytes never reach a terminal as they are. Built where it is used: it points into
// its own room, so it is never copied.
struct shown7 {
	std::string room;
	int length;
	const char *text;
	const char *cut;

	shown7(std::string_view t, bool cut_before)
	{
		std::size_t n = t.size() <= quoted_bytes7 ? t.size() : quoted_bytes7;
		while (n < t.size() && n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80)
			--n;
		cut = cut_before || n < t.size() ? "..." : "";
		std::string_view v = ::shown(t.substr(0, n), room);
		length = static_cast<int>(v.size());
		text = v.data();
	}
	shown7(const shown7 &) = delete;
	shown7 &operator=(const shown7 &) = delete;
};

static shown7 shown(std::string_view t, bool cut)
{
	return shown7(t, cut);
}

static const char *expected(std::uint32_t payload)
{
	static constexpr std::array<const char *, 21> what = {
		"empty", "Y or nothing", "text", "a language tag", "a URI", "a whole number", "a media type",
		"an age ([< or >] [Ny] [Nm] [Nw] [Nd])", "a 7.0 date", "an exact date (day, month and year)",
		"a date period (FROM ... TO ...)", "one of its values", "a file path", "a latitude (N or S and degrees)",
		"a list of its values", "a list", "a longitude (E or W and degrees)",
		"a personal name (at most one /surname/)", "an extension tag and its URI",
		"a time (hh:mm[:ss[.fraction]][Z])", "a pointer to a record"};
	static_assert(what.size() == static_cast<std::size_t>(payload7::pay_pointer) + 1);
	return payload < what.size() ? what[payload] : "valid";
}

static void print_fixed(kind7 kind, FILE *out)
{
	switch (kind) {
	case kind7::void_xref: std::fputs("@VOID@ cannot be a record's cross-reference: it stands for no record", out); break;
	case kind7::first_line: std::fputs("the file does not begin with 0 HEAD", out); break;
	case kind7::after_trailer: std::fputs("line after 0 TRLR", out); break;
	case kind7::no_trailer: std::fputs("the file does not end with 0 TRLR", out); break;
	case kind7::conc: std::fputs("CONC is 5.5.1 syntax; 7.0 writes the text whole, with CONT for a line break", out); break;
	case kind7::cont_misplaced: std::fputs("CONT does not follow a line of text or another CONT", out); break;
	case kind7::blank_line: std::fputs("blank line, which GEDCOM 7.0 does not allow", out); break;
	case kind7::leading_space: std::fputs("white space before the level, which GEDCOM 7.0 does not allow", out); break;
	default: break;
	}
}

static void print_too_many(const finding7 &f, const shown7 &q, FILE *out)
{
	int dl = static_cast<int>(f.detail.size());
	if (dl == 0)
		std::fprintf(out, "more than one %.*s%s in the file", q.length, q.text, q.cut);
	else
		std::fprintf(out, "more than one %.*s%s under %.*s, which allows one", q.length, q.text, q.cut, dl,
			     f.detail.data());
}

static void print_not_one_space(const finding7 &f, const shown7 &q, FILE *out)
{
	static constexpr std::array<const char *, 2> parts = {"the level", "the cross-reference"};
	std::uint32_t part = f.code & ~std::uint32_t{delimiter_tab};
	std::string tag = std::string(q.text, static_cast<std::size_t>(q.length)) + q.cut;
	const char *after = part < parts.size() ? parts[part] : tag.c_str();
	if ((f.code & delimiter_tab) != 0)
		std::fprintf(out, "a tab after %s, where GEDCOM 7.0 writes one space", after);
	else
		std::fprintf(out, "more than one space after %s, where GEDCOM 7.0 writes one", after);
}

static void print_bad_payload(const finding7 &f, const shown7 &q, FILE *out)
{
	int dl = static_cast<int>(f.detail.size());
	const char *d = f.detail.data();
	if (f.quote.empty() && f.code == static_cast<std::uint32_t>(payload7::pay_pointer))
		std::fprintf(out, "%.*s without a pointer to a record", dl, d);
	else if (f.quote.empty())
		std::fprintf(out, "%.*s without a value: it takes %s", dl, d, expected(f.code));
	else
		std::fprintf(out, "%.*s \"%.*s%s\" is not %s", dl, d, q.length, q.text, q.cut, expected(f.code));
}

void rules7_message(const finding7 &f, FILE *out)
{
	shown7 q = shown(f.quote, f.cut);
	int dl = static_cast<int>(f.detail.size());
	const char *d = f.detail.data();
	switch (f.kind) {
	case kind7::bad_xref: std::fprintf(out, "\"@%.*s%s@\" is not a cross-reference", q.length, q.text, q.cut); break;
	case kind7::xref_not_record:
		std::fprintf(out, "%.*s has cross-reference @%.*s%s@, but only records have one", dl, d, q.length, q.text, q.cut);
		break;
	case kind7::record_without_xref: std::fprintf(out, "%.*s record without a cross-reference", dl, d); break;
	case kind7::bad_tag: std::fprintf(out, "\"%.*s%s\" is not a tag", q.length, q.text, q.cut); break;
	case kind7::banned_character:
		std::fprintf(out, "character U+%04X is not allowed in a GEDCOM 7.0 file", static_cast<unsigned>(f.code));
		break;
	case kind7::lone_at:
		std::fprintf(out, "\"%.*s%s\" begins with a single @, which text writes as @@", q.length, q.text, q.cut);
		break;
	case kind7::not_record: std::fprintf(out, "%.*s%s is not a kind of record", q.length, q.text, q.cut); break;
	case kind7::not_allowed: std::fprintf(out, "%.*s%s is not allowed under %.*s", q.length, q.text, q.cut, dl, d); break;
	case kind7::too_many: print_too_many(f, q, out); break;
	case kind7::missing: std::fprintf(out, "%.*s without %.*s%s", dl, d, q.length, q.text, q.cut); break;
	case kind7::value_not_allowed:
		std::fprintf(out, "%.*s takes no value, not \"%.*s%s\"", dl, d, q.length, q.text, q.cut);
		break;
	case kind7::bad_payload: print_bad_payload(f, q, out); break;
	case kind7::legacy: std::fprintf(out, "%.*s%s is 5.5.1 syntax; 7.0 writes %.*s", q.length, q.text, q.cut, dl, d); break;
	case kind7::note_pointer:
		std::fprintf(out, "NOTE %.*s%s is 5.5.1 syntax; 7.0 writes SNOTE %.*s%s", q.length, q.text, q.cut, q.length,
			     q.text, q.cut);
		break;
	case kind7::not_one_space: print_not_one_space(f, q, out); break;
	case kind7::space_without_value:
		std::fprintf(out, "%.*s%s is followed by a space but no value, which GEDCOM 7.0 does not allow", q.length,
			     q.text, q.cut);
		break;
	case kind7::no_entry: std::fprintf(out, "FILE \"%.*s%s\" has no entry in the archive", q.length, q.text, q.cut); break;
	default: print_fixed(f.kind, out); break;
	}
}

} // namespace rules7
