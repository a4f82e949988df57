// The messages of -v's findings.
#include "findings.h"

#include <array>

bool has_quote(finding_kind kind)
{
	switch (kind) {
	case finds_no_level:
	case finds_level_form:
	case finds_no_tag:
	case finds_bad_xref:
	case finds_not_record:
	case finds_no_xref:
	case finds_not_pointer:
	case finds_bad_date:
	case finds_no_such_day:
	case finds_reversed:
	case finds_bad_age:
	case finds_bad_sex:
	case finds_rules7:
		return true;
	default:
		return false;
	}
}

namespace {

const char *tag_name(unsigned tag)
{
	static constexpr std::array<const char *, 16> names = {"FAMC", "FAMS", "CHIL", "HUSB", "WIFE", "SOUR",
							      "NOTE", "OBJE", "REPO", "SUBM", "SUBN", "ASSO",
							      "ALIA", "ANCI", "DESI", "pointer"};
	return seven_rules && (tag & 15) == link_note ? "SNOTE" : names[tag & 15];
}

const char *record_name(unsigned kind)
{
	static constexpr std::array<const char *, 13> names = {
		"no", "a HEAD", "a TRLR", "an INDI", "a FAM", "a SOUR", "a NOTE", "an OBJE", "a REPO", "a SUBM",
		"a SUBN", "a user-defined", "an unknown kind of"};
	if (seven_rules && kind == kind_note)
		return "an SNOTE";
	return kind < names.size() ? names[kind] : names[0];
}

// The link that answers a family link from the other record.
const char *way_back(unsigned tag)
{
	switch (tag) {
	case link_famc: return "CHIL";
	case link_fams: return "HUSB or WIFE";
	case link_chil: return "FAMC";
	default: return "FAMS";
	}
}

struct shown_text {
	int length;
	const char *text;
	const char *cut;
};

struct shown_xref {
	int length;
	const char *text;
};

// Cross-references come from the file too; a message names at most two.
std::string xref_room[2];

shown_xref xref(std::uint32_t id)
{
	std::string_view t = shown(record_xref(id), xref_room[0]);
	return {static_cast<int>(t.size()), t.data()};
}

shown_xref written(const finding &f)
{
	std::string_view t = shown(key_text(f.key), xref_room[1]);
	return {static_cast<int>(t.size()), t.data()};
}

struct quoting_format {
	finding_kind kind;
	const char *format; // of the quote's length, its text and "..." where it was cut
};

// The findings whose message is one format around the quote, whatever it holds.
constexpr quoting_format quoting_formats[] = {
	{finds_no_level, "line does not begin with a level number: \"%.*s%s\""},
	{finds_bad_xref, "\"%.*s%s\" is not a cross-reference"},
	{finds_not_record, "%.*s%s is not a kind of record"},
	{finds_no_xref, "%.*s%s record without a cross-reference"},
	{finds_bad_date, "DATE \"%.*s%s\" does not follow GEDCOM's date grammar"},
	{finds_bad_sex, "SEX \"%.*s%s\" is not M, F or U"},
	{finds_no_such_day, "DATE \"%.*s%s\" names a day its calendar does not have"},
	{finds_reversed, "DATE \"%.*s%s\" ends before it begins"},
	{finds_bad_age, "AGE \"%.*s%s\" does not follow GEDCOM's age grammar"},
};

const char *format_quoting(const finding &f, shown_text q)
{
	if (f.kind == finds_level_form)
		return q.text[0] == '0' ? "level \"%.*s%s\" has a leading zero" : "level \"%.*s%s\" is above 99";
	if (f.kind == finds_no_tag)
		return q.length == 0 ? "line has no tag" : "\"%.*s%s\" is not a tag";
	for (const quoting_format &q_format : quoting_formats)
		if (q_format.kind == f.kind)
			return q_format.format;
	return nullptr;
}

// The message of a finding that quotes its line: the quote, then "..." where it was cut. The
// rest quote a pointer's value.
void print_quoting(const finding &f, shown_text q, FILE *out)
{
	if (const char *format = format_quoting(f, q))
		std::fprintf(out, format, q.length, q.text, q.cut);
	else if (q.length == 0)
		std::fprintf(out, "%s without a pointer to a record", tag_name(f.tag));
	else
		std::fprintf(out, "%s \"%.*s%s\" is not a pointer to a record", tag_name(f.tag), q.length, q.text, q.cut);
}

// The message of a finding about records and the links between them.
void print_linking(const finding &f, FILE *out)
{
	shown_xref x = f.kind == finds_one_way || f.kind == finds_own_ancestor ? xref(f.record) : shown_xref{0, ""};
	shown_xref w = f.kind != finds_own_ancestor ? written(f) : shown_xref{0, ""};
	switch (f.kind) {
	case finds_duplicate:
		std::fprintf(out, "@%.*s@ is already the cross-reference of the record at line %llu", w.length, w.text,
			     static_cast<unsigned long long>(f.number));
		break;
	case finds_dangling:
		std::fprintf(out, "%s @%.*s@ points to no record", tag_name(f.tag), w.length, w.text);
		break;
	case finds_wrong_kind:
		std::fprintf(out, "%s @%.*s@ points to %s record, not to %s record", tag_name(f.tag), w.length, w.text,
			     record_name(f.other), record_name(kind_a_tag_asks(f.tag)));
		break;
	case finds_one_way:
		std::fprintf(out, "@%.*s@ has %s @%.*s@, but @%.*s@ has no %s @%.*s@", x.length, x.text,
			     tag_name(f.tag), w.length, w.text, w.length, w.text, way_back(f.tag), x.length, x.text);
		break;
	default: {
		shown_xref y = xref(f.other);
		std::fprintf(out, "@%.*s@ is their own ancestor, as a child of @%.*s@", x.length, x.text, y.length, y.text);
		break;
	}
	}
}

// The message of a finding about the file's bytes, lines and order, which quotes nothing.
void print_about_file(const finding &f, FILE *out)
{
	switch (f.kind) {
	case finds_invalid_bytes:
		std::fputs("bytes not valid in the file's character set", out);
		break;
	case finds_long_line:
		std::fprintf(out, "line of %llu characters, longer than GEDCOM's 255",
			     static_cast<unsigned long long>(f.number));
		break;
	case finds_first_line:
		std::fputs("the file does not begin with 0 HEAD", out);
		break;
	case finds_level_jump:
		std::fprintf(out, "level %u follows level %u, more than one deeper", f.level, f.above);
		break;
	case finds_after_trailer:
		std::fputs("line after 0 TRLR", out);
		break;
	default:
		std::fputs("the file does not end with 0 TRLR", out);
		break;
	}
}

} // namespace

void print_message(const finding &f, std::string_view quote, FILE *out)
{
	if (f.kind == finds_rules7) {
		print_message7(f, quote, out);
		return;
	}
	if (has_quote(f.kind)) {
		static std::string room;
		quote = shown(quote, room);
		print_quoting(f, {static_cast<int>(quote.size()), quote.data(), f.cut ? "..." : ""}, out);
		return;
	}
	if (is_doubt(f.kind)) {
		print_doubt(f, out);
		return;
	}
	if (f.kind >= finds_duplicate) {
		print_linking(f, out);
		return;
	}
	if (f.kind == finds_head_lines || f.kind == finds_gedc_lines) {
		print_missing(f, out);
		return;
	}
	print_about_file(f, out);
}
