// The lines of a file judged by the 7.0 rules: each cut by the grammar, handed to the rules, its
// records and pointers noted for the end checks that 5.5.1 files get too.
#include "versions.h"

#include "checks551.h"
#include "doubts.h"
#include "findings.h"
#include "grammar.h"
#include "lineagecheck.h"
#include "rules7_tables.h"

#include <array>
#include <cstdint>

using namespace rules7;

namespace {

struct state7 {
	checker7 rules;
	line7 line;		// the line being judged, for its pointers
	unsigned level;		// of the last line that parsed
	bool seen_first;
	bool record_named;	// the last occurrence is a record's own cross-reference
	record_kind record;
	std::uint64_t invalid_line;
	std::uint64_t flagged_line;	// the last line with a finding of its own
	std::uint64_t mended_line;	// the line whose prefix the reader tidied, which comes next
	unsigned mends;
	file_path_hook on_path;
	void *path_context;
};

state7 state;

template <typename T, std::size_t N>
constexpr T kind_by_tag(const std::pair<std::string_view, T> (&table)[N], std::string_view tag, T otherwise)
{
	for (const auto &[name, kind] : table)
		if (name == tag)
			return kind;
	return otherwise;
}

record_kind record_kind7(std::string_view tag)
{
	static constexpr std::pair<std::string_view, record_kind> kinds[] = {
		{"INDI", kind_indi}, {"FAM", kind_fam},   {"SOUR", kind_sour}, {"SNOTE", kind_note},
		{"OBJE", kind_obje}, {"REPO", kind_repo}, {"SUBM", kind_subm}};
	return kind_by_tag(kinds, tag, tag.starts_with('_') ? kind_user : kind_other);
}

// The link each standard tag of the tables makes, by its place among them: a pointer line's tag
// is known by number already.
constexpr auto link_tags = [] {
	constexpr std::pair<std::string_view, link_tag> links[] = {
		{"FAMC", link_famc}, {"FAMS", link_fams}, {"CHIL", link_chil}, {"HUSB", link_husb},
		{"WIFE", link_wife}, {"SOUR", link_sour}, {"SNOTE", link_note}, {"OBJE", link_obje},
		{"REPO", link_repo}, {"SUBM", link_subm}, {"ASSO", link_asso}, {"ALIA", link_alia},
		{"ANCI", link_anci}, {"DESI", link_desi}};
	std::array<link_tag, tags7.size()> kinds{};
	for (std::size_t i = 0; i < tags7.size(); ++i)
		kinds[i] = kind_by_tag(links, tags7[i], link_other);
	return kinds;
}();

link_tag link_tag7(int tag)
{
	return tag >= 0 ? link_tags[static_cast<std::size_t>(tag)] : link_other;
}

void add_occurrence7(std::uint64_t key, std::uint64_t line, unsigned code)
{
	if (!push(occurrences, occurrence{key, line | std::uint64_t{code} << code_shift}))
		out_of_memory = true;
}

void keep_finding(void *, const finding7 &f)
{
	add_finding7(f);
}

// The FAMC and FAMS of a person and the CHIL, HUSB and WIFE of a family, at level 1, must be
// answered from the other side.
void keep_pointer(void *, const pointer7 &p)
{
	link_tag tag = link_tag7(p.tag);
	bool family = state.line.level == 1 &&
		      (tag == link_famc || tag == link_fams ? state.record == kind_indi
							    : (tag == link_chil || tag == link_husb || tag == link_wife) &&
								      state.record == kind_fam);
	add_occurrence7(xref_key(p.target), p.line, occurrence_code(occurs_link, tag, family ? code_family : 0));
}

void note_record(const line7 &l)
{
	state.record = record_kind7(l.tag);
	bool own = !l.xref.empty() && l.xref != "VOID" && l.tag != "HEAD" && l.tag != "TRLR";
	if (own) {
		add_occurrence7(xref_key(l.xref), l.number, occurrence_code(occurs_record, state.record, 0));
		state.record_named = true;
		return;
	}
	if (state.record_named)
		add_occurrence7(0, l.number, occurrence_code(occurs_anonymous, state.record, 0));
	state.record_named = false;
}

void level_jump(std::uint64_t line, unsigned level)
{
	finding f{line, 0, 0, 0, 0, finds_level_jump, 0};
	f.level = static_cast<std::uint8_t>(level < 255 ? level : 255);
	f.above = static_cast<std::uint8_t>(state.level < 255 ? state.level : 255);
	add_finding(f);
}

// A FILE or its translation names a file; in a GEDZIP archive a local one must be an entry.
void tell_path(const line7 &l, int type)
{
	if (state.on_path && structures7[type].payload == payload7::pay_file_path)
		state.on_path(state.path_context, l.number, l.value);
}

// A date the rules took may still name a day its calendar lacks, or end before it begins; what
// it allows goes to the doubts, as a 5.5.1 file's dates do. One with a finding already is left.
void judge_date(const line7 &l)
{
	const date_words7 *words = rules7_taken_date(state.rules);
	if (words && state.flagged_line != l.number)
		check_date_words7(l.number, l.level, l.value, *words);
}

// What the doubts take of each line, at the places a 5.5.1 file's lines give it.
void tell_doubts(const line7 &l)
{
	if (l.level == 0)
		doubts_record(l.number, state.record);
	else if (l.level == 1)
		doubts_event(l.tag);
}

// What the reader tidied away before the line's tag, which 7.0 allows none of: one finding for
// each place. A line of white space alone is a blank line, and only that.
void tell_mends(std::uint64_t line, bool blank)
{
	unsigned mends = state.mended_line == line ? state.mends : 0;
	state.mends = 0;
	if (blank || mends == 0)
		return;
	if ((mends & mend_leading) != 0)
		add_finding7({line, kind7::leading_space, {}, {}, 0});
	auto gap = [line, mends](unsigned tab, unsigned doubled, delimiter7 part) {
		if ((mends & (tab | doubled)) != 0)
			add_finding7({line, kind7::not_one_space, {}, {}, part | ((mends & tab) != 0 ? delimiter_tab : 0u)});
	};
	gap(mend_level_tab, mend_level_gap, after_level);
	gap(mend_xref_tab, mend_xref_gap, after_xref);
}

// A tag that a tab ends instead of the space that must follow it: told, and the line read on as
// a forgiving reader takes it, with the value after the tab.
bool tab_after_tag(std::uint64_t line, std::string_view text, const line_parts &g)
{
	std::size_t end = static_cast<std::size_t>(g.tag.data() - text.data()) + g.tag.size();
	if (g.fault != line_fault::no_tag || g.tag.empty() || end >= text.size() || text[end] != '\t')
		return false;
	for (char c : g.tag)
		if (!tag_char(static_cast<unsigned char>(c)))
			return false;
	add_finding7({line, kind7::not_one_space, g.tag, {}, after_tag | delimiter_tab});
	return true;
}

// The line's form as the grammar cuts it; false when it does not parse, or is blank.
bool line_parses(std::uint64_t line, std::string_view text, line_parts &g)
{
	// A line the quick cut takes has no fault and a level of one digit: nothing to report.
	bool quick = quick_cut(text, g);
	if (!quick)
		g = cut_line(text);
	tell_mends(line, g.fault == line_fault::empty);
	if (g.fault == line_fault::empty) {
		add_finding7({line, kind7::blank_line, {}, {}, 0});
		return false;
	}
	if (tab_after_tag(line, text, g))
		g.fault = line_fault::none;
	else if (g.value.empty() && g.fault == line_fault::none && g.tag.data() + g.tag.size() < text.data() + text.size())
		add_finding7({line, kind7::space_without_value, g.tag, {}, 0});
	return quick || line_fault_found(line, g);
}

} // namespace

void set_file_path_hook(file_path_hook hook, void *context)
{
	state.on_path = hook;
	state.path_context = context;
}

// A missing substructure is found when its superstructure ends, lines after the one it names:
// it goes with the findings sorted at the end, its quote (a tag of the tables) in place of a code.
void add_finding7(const finding7 &f)
{
	if (f.line > state.flagged_line)
		state.flagged_line = f.line;
	finding g{f.line, f.code, reinterpret_cast<std::uintptr_t>(f.detail.data()),
		  static_cast<std::uint32_t>(f.detail.size()), 0, finds_rules7, static_cast<std::uint8_t>(f.kind)};
	if (f.kind != kind7::missing) {
		add_quoting_finding(g, f.quote);
		return;
	}
	g.number = reinterpret_cast<std::uintptr_t>(f.quote.data());
	g.other = static_cast<std::uint32_t>(f.quote.size());
	add_record_finding(g);
}

void print_message7(const finding &f, std::string_view quote, FILE *out)
{
	std::string_view detail{reinterpret_cast<const char *>(static_cast<std::uintptr_t>(f.key)), f.record};
	if (static_cast<kind7>(f.tag) == kind7::missing)
		quote = {reinterpret_cast<const char *>(static_cast<std::uintptr_t>(f.number)), f.other};
	finding7 g{f.line, static_cast<kind7>(f.tag), quote, detail, static_cast<std::uint32_t>(f.number)};
	g.cut = f.cut;
	rules7_message(g, out);
}

void lines7_start()
{
	file_path_hook hook = state.on_path;
	void *context = state.path_context;
	state = {};
	state.on_path = hook;
	state.path_context = context;
	rules7_start(state.rules, keep_finding, keep_pointer, nullptr);
}

void lines7_line(std::uint64_t line, std::string_view text, std::uint64_t)
{
	line_parts g;
	if (state.rules.trailer) {
		state.mends = 0;
		rules7_line(state.rules, line7{line, 0, {}, "TRLR", {}});
		return;
	}
	// The trailer is missed at the file's last line, even one that does not parse.
	state.rules.last_line = line;
	if (!line_parses(line, text, g))
		return;
	auto level = static_cast<unsigned>(g.level);
	if (state.seen_first && level > state.level + 1)
		level_jump(line, level);
	state.seen_first = true;
	state.level = level;
	state.line = line7{line, level, xref_name(g.xref), g.tag, g.value};
	rules7_line(state.rules, state.line);
	if (level == 0)
		note_record(state.line);
	tell_doubts(state.line);
	// Only an archive wants the paths, and asking which structure the line opened costs a lookup.
	if (int type = state.on_path ? rules7_open_type(state.rules) : -1; type >= 0)
		tell_path(state.line, type);
	judge_date(state.line);
}

void lines7_mended(std::uint64_t line, unsigned mends)
{
	if (state.mended_line != line)
		state.mends = 0;
	state.mended_line = line;
	state.mends |= mends;
}

void lines7_invalid(std::uint64_t line)
{
	if (state.invalid_line == line)
		return;
	state.invalid_line = line;
	add_finding({line, 0, 0, 0, 0, finds_invalid_bytes, 0});
}

long long lines7_finish(const char *file, FILE *out)
{
	// White space alone after the last line end is a line of its own, which tidying emptied.
	if (state.mends != 0)
		lines7_line(state.mended_line, {}, 0);
	rules7_finish(state.rules);
	doubts_file_end();
	long long count = write_findings(file, out);
	findings_start();
	return count;
}
