// The line checks of -v: each line cut by the grammar, its tag's checks, its cross-references noted.
#include "checks551.h"
#include "doubts.h"
#include "findings.h"
#include "lineagecheck.h"

#include "grammar.h"
#include "tag_table.h"

#include <array>
#include <cstring>

namespace {

// GEDCOM's limits: a line of 255 characters, levels up to 99.
constexpr std::uint64_t line_chars_max = 255;
constexpr unsigned level_max = 99;

struct line_state {
	bool seen_first;   // a line that is not blank has been read
	bool trailer;      // 0 TRLR has been read; lines after it are not checked
	bool after_noted;  // a line after the trailer has been noted
	bool record_named; // the last occurrence is a record's own cross-reference
	unsigned level;    // of the last line that parsed
	record_kind record;
	std::uint64_t last_line;
	std::uint64_t invalid_line;
	std::array<bool, level_max + 1> user; // by level: under a tag of the user's own
};

line_state state;

// What the checks do with the few tags they know.
enum tag_action : std::uint8_t { acts_none, acts_date, acts_family, acts_spouse, acts_sex, acts_age };

struct tag_info {
	tag_action action;
	link_tag link;
	record_kind kind; // kind_none: no record
};

constexpr tag_entry<tag_info> known_tags[] = {
	{tag_word("DATE"), {acts_date, link_other, kind_none}},    {tag_word("SEX"), {acts_sex, link_other, kind_none}},
	{tag_word("FAMC"), {acts_family, link_famc, kind_none}},   {tag_word("FAMS"), {acts_family, link_fams, kind_none}},
	{tag_word("CHIL"), {acts_family, link_chil, kind_none}},   {tag_word("HUSB"), {acts_spouse, link_husb, kind_none}},
	{tag_word("WIFE"), {acts_spouse, link_wife, kind_none}},   {tag_word("SOUR"), {acts_none, link_sour, kind_sour}},
	{tag_word("NOTE"), {acts_none, link_note, kind_note}},     {tag_word("OBJE"), {acts_none, link_obje, kind_obje}},
	{tag_word("REPO"), {acts_none, link_repo, kind_repo}},     {tag_word("SUBM"), {acts_none, link_subm, kind_subm}},
	{tag_word("SUBN"), {acts_none, link_subn, kind_subn}},     {tag_word("ASSO"), {acts_none, link_asso, kind_none}},
	{tag_word("ALIA"), {acts_none, link_alia, kind_none}},     {tag_word("ANCI"), {acts_none, link_anci, kind_none}},
	{tag_word("DESI"), {acts_none, link_desi, kind_none}},     {tag_word("HEAD"), {acts_none, link_other, kind_head}},
	{tag_word("TRLR"), {acts_none, link_other, kind_trlr}},    {tag_word("INDI"), {acts_none, link_other, kind_indi}},
	{tag_word("FAM"), {acts_none, link_other, kind_fam}},      {tag_word("AGE"), {acts_age, link_other, kind_none}}};

constexpr tag_table<tag_info, 0x84b1fc3d, 5> tag_infos(known_tags, {acts_none, link_other, kind_none});
static_assert(tag_infos.distinct, "each known tag has a slot of its own");

// What the checks know of the line's tag.
const tag_info &info_of(std::string_view line, const line_parts &g)
{
	return tag_infos.find(tag_word(g.tag, static_cast<std::size_t>(line.data() + line.size() - g.tag.data()) - g.tag.size()));
}

std::string_view trim_end(std::string_view v)
{
	while (!v.empty() && is_blank(v.back()))
		v.remove_suffix(1);
	return v;
}


void note(std::uint64_t line, finding_kind kind)
{
	add_finding({line, 0, 0, 0, 0, kind, 0});
}

void add_occurrence(std::uint64_t key, std::uint64_t line, unsigned code)
{
	if (!push(occurrences, occurrence{key, line | std::uint64_t{code} << code_shift}))
		out_of_memory = true;
}

// The level of a line whose level is not one digit and a blank; false, with its finding,
// Turns why the line does not parse into its finding; false when it does not.
bool note_fault(std::uint64_t line, const line_parts &g)
{
	if (!g.odd_level.empty())
		add_text_finding(line, finds_level_form, g.odd_level);
	switch (g.fault) {
	case line_fault::none:
		return true;
	case line_fault::no_level:
		add_text_finding(line, finds_no_level, g.faulty);
		return false;
	case line_fault::bad_xref:
		add_text_finding(line, finds_bad_xref, g.faulty);
		return false;
	case line_fault::no_tag:
		add_text_finding(line, finds_no_tag, g.faulty);
		return false;
	default:
		return false;
	}
}

record_kind kind_of_tag(const line_parts &g, const tag_info &info)
{
	record_kind kind = info.kind;
	if (kind != kind_none)
		return kind;
	return g.tag[0] == '_' ? kind_user : kind_other;
}

[[gnu::noinline]] void record_line(std::uint64_t line, const line_parts &g, const tag_info &info)
{
	record_kind kind = kind_of_tag(g, info);
	state.record = kind;
	state.user[0] = kind == kind_user;
	if (kind == kind_trlr)
		state.trailer = true;
	if (kind == kind_other)
		add_text_finding(line, finds_not_record, g.tag);
	bool named = kind >= kind_indi && kind <= kind_subn;
	if (!g.xref.empty() && kind != kind_head && kind != kind_trlr) {
		add_occurrence(xref_key(xref_name(g.xref)), line, occurrence_code(occurs_record, kind, 0));
		state.record_named = true;
		return;
	}
	if (named)
		add_text_finding(line, finds_no_xref, g.tag);
	if (state.record_named)
		add_occurrence(0, line, occurrence_code(occurs_anonymous, kind, 0));
	state.record_named = false;
}

// A value that is a pointer to a record: @, then no @ and no # first (an escape), then @.
bool is_pointer(std::string_view v)
{
	return v.size() >= 3 && v[0] == '@' && v.back() == '@' && v[1] != '#' &&
	       v.find('@', 1) == v.size() - 1;
}

// The FAMC and FAMS of a person and the CHIL, HUSB and WIFE of a family, at level 1.
bool family_link(link_tag tag, unsigned level, record_kind record)
{
	if (level != 1)
		return false;
	if (tag == link_famc || tag == link_fams)
		return record == kind_indi;
	return (tag == link_chil || tag == link_husb || tag == link_wife) && record == kind_fam;
}

[[gnu::noinline]] void pointer_line(std::uint64_t line, const line_parts &g, const tag_info &info,
				       std::string_view value, bool user)
{
	link_tag tag = info.link;
	unsigned marks = user ? code_unchecked : family_link(tag, g.level, state.record) ? code_family : 0;
	add_occurrence(xref_key(value.substr(1, value.size() - 2)), line, occurrence_code(occurs_link, tag, marks));
}

[[gnu::noinline]] void check_age(std::uint64_t line, std::string_view value)
{
	if (!age_value_ok(value))
		add_text_finding(line, finds_bad_age, trim_blanks(value));
}

[[gnu::noinline]] void not_pointer(std::uint64_t line, const line_parts &g, const tag_info &info)
{
	add_text_finding(line, finds_not_pointer, trim_blanks(g.value), info.link);
}

[[gnu::noinline]] void check_sex(std::uint64_t line, std::string_view value)
{
	value = trim_end(value);
	if (!(value == "M" || value == "F" || value == "U"))
		add_text_finding(line, finds_bad_sex, value);
}

void field_line(std::uint64_t line, const line_parts &g, const tag_info &info, bool user)
{
	if (!g.value.empty() && g.value[0] == '@') {
		std::string_view value = trim_end(g.value);
		if (is_pointer(value)) {
			pointer_line(line, g, info, value, user);
			return;
		}
	}
	tag_action action = info.action;
	if (user || action == acts_none)
		return;
	switch (action) {
	case acts_date:
		check_date_value(line, static_cast<unsigned>(g.level), g.value);
		return;
	case acts_age:
		check_age(line, g.value);
		return;
	case acts_family:
		not_pointer(line, g, info);
		return;
	case acts_spouse:
		if (g.level == 1 && state.record == kind_fam)
			not_pointer(line, g, info);
		return;
	default:
		check_sex(line, g.value);
		return;
	}
}

void after_trailer(std::uint64_t line, std::string_view text)
{
	if (!state.after_noted && text.find_first_not_of(" \t") != std::string_view::npos) {
		state.after_noted = true;
		note(line, finds_after_trailer);
	}
}

} // namespace

static void release_all()
{
	release(occurrences);
	release(xref_text);
	release_findings();
	release_records();
	doubts_release();
}

void findings_start()
{
	release_all();
	out_of_memory = false;
	state = {};
	doubts_start();
}

// The lines quick_parse does not take: the first, blank ones, record lines and every
// line of an unusual form. False when nothing more is to be checked.
[[gnu::noinline]] static bool careful_line(std::uint64_t line, std::string_view text, std::uint64_t chars,
					   line_parts &g)
{
	g = cut_line(text);
	// Blank lines are for readers to pass over.
	if (g.fault == line_fault::empty)
		return false;
	if (chars > line_chars_max)
		add_finding({line, chars, 0, 0, 0, finds_long_line, 0});
	bool parsed = note_fault(line, g);
	bool first = !state.seen_first;
	state.seen_first = true;
	if (first) {
		if (!(parsed && g.level == 0 && g.xref.empty() && g.tag == "HEAD"))
			note(line, finds_first_line);
		state.level = parsed ? static_cast<unsigned>(g.level) : 0;
	}
	return parsed;
}

[[gnu::noinline]] static void level_jump(std::uint64_t line, unsigned level)
{
	finding f{line, 0, 0, 0, 0, finds_level_jump, 0};
	f.level = static_cast<std::uint8_t>(level);
	f.above = static_cast<std::uint8_t>(state.level);
	add_finding(f);
	for (unsigned k = state.level + 1; k < level; ++k)
		state.user[k] = state.user[state.level];
}

void findings_line(std::uint64_t line, std::string_view text, std::uint64_t chars)
{
	state.last_line = line;
	if (state.trailer) {
		after_trailer(line, text);
		return;
	}
	line_parts g;
	if (!state.seen_first || !quick_cut(text, g)) {
		if (!careful_line(line, text, chars, g))
			return;
	} else if (chars > line_chars_max) {
		add_finding({line, chars, 0, 0, 0, finds_long_line, 0});
	}
	auto level = static_cast<unsigned>(g.level);
	if (level > state.level + 1)
		level_jump(line, level);
	state.level = level;
	const tag_info &info = info_of(text, g);
	if (level == 0) {
		if (state.record == kind_head)
			head_end();
		record_line(line, g, info);
		if (state.record == kind_head)
			head_start(line);
		doubts_record(line, state.record);
		return;
	}
	if (state.record == kind_head)
		head_line(line, level, g.tag);
	else if (level == 1)
		doubts_event(g.tag);
	bool user = g.tag[0] == '_' || state.user[level - 1];
	state.user[level] = user;
	field_line(line, g, info, user);
}

void findings_invalid(std::uint64_t line)
{
	if (state.invalid_line == line)
		return;
	state.invalid_line = line;
	note(line, finds_invalid_bytes);
}

// The findings of the three sources, each in line order, merged.
long long findings_finish(const char *file, FILE *out)
{
	std::uint64_t last = state.last_line > 0 ? state.last_line : 1;
	if (!state.seen_first)
		note(last, finds_first_line);
	if (!state.trailer)
		note(last, finds_no_trailer);
	if (state.record == kind_head)
		head_end();
	doubts_file_end();
	long long count = write_findings(file, out);
	release_all();
	return count;
}

bool line_fault_found(std::uint64_t line, const line_parts &g)
{
	return note_fault(line, g);
}
