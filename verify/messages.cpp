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

// The message of a finding that quotes its line: the quote, then "..." where it was cut.
void print_quoting(const finding &f, shown_text q, FILE *out)
{
	const char *format = nullptr;
	switch (f.kind) {
	case finds_no_level:
		format = "line does not begin with a level number: \"%.*s%s\"";
		break;
	case finds_level_form:
		format = q.text[0] == '0' ? "level \"%.*s%s\" has a leading zero" : "level \"%.*s%s\" is above 99";
		break;
	case finds_no_tag:
		format = q.length == 0 ? "line has no tag" : "\"%.*s%s\" is not a tag";
		break;
	case finds_bad_xref:
		format = "\"%.*s%s\" is not a cross-reference";
		break;
	case finds_not_record:
		format = "%.*s%s is not a kind of record";
		break;
	case finds_no_xref:
		format = "%.*s%s record without a cross-reference";
		break;
	case finds_bad_date:
		format = "DATE \"%.*s%s\" does not follow GEDCOM's date grammar";
		break;
	case finds_bad_sex:
		format = "SEX \"%.*s%s\" is not M, F or U";
		break;
	case finds_no_such_day:
		format = "DATE \"%.*s%s\" names a day its calendar does not have";
		break;
	case finds_reversed:
		format = "DATE \"%.*s%s\" ends before it begins";
		break;
	case finds_bad_age:
		format = "AGE \"%.*s%s\" does not follow GEDCOM's age grammar";
		break;
	default:
		if (q.length == 0)
			std::fprintf(out, "%s without a pointer to a record", tag_name(f.tag));
		else
			std::fprintf(out, "%s \"%.*s%s\" is not a pointer to a record", tag_name(f.tag), q.length, q.text, q.cut);
		return;
	}
	std::fprintf(out, format, q.length, q.text, q.cut);
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
