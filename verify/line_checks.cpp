// The line checks of -v: each line cut by the grammar, its tag's checks, its cross-references noted.
#include "findings.h"
#include "lineagecheck.h"

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

// A line as the grammar cuts it: level, cross-reference without its @ signs, tag, value.
struct gedcom_line {
	unsigned level;
	std::string_view xref;
	std::string_view tag;
	std::string_view value;
	std::uint32_t word; // the tag's, as tag_word gives it
};

// A tag of up to four letters as one word, its first letter lowest; 0 for a longer one.
constexpr std::uint32_t tag_word(std::string_view tag)
{
	if (tag.size() > 4)
		return 0;
	std::uint32_t w = 0;
	for (std::size_t i = 0; i < tag.size(); ++i)
		w |= static_cast<std::uint32_t>(static_cast<unsigned char>(tag[i])) << (8 * i);
	return w;
}

// What the checks do with the few tags they know: found in a table, not by a chain of
// compares, which would guess wrong at nearly every line, the tags of a file following no
// pattern. The product of a tag's word with the constant puts each of them in its own place.
enum tag_action : std::uint8_t { acts_none, acts_date, acts_family, acts_spouse, acts_sex };

struct tag_info {
	std::uint32_t word;
	tag_action action;
	link_tag link;
	record_kind kind; // kind_none: no record
};

constexpr std::uint32_t tag_spread = 0x50f970ac;

constexpr std::size_t tag_place(std::uint32_t word)
{
	return (word * tag_spread) >> 27;
}

constexpr std::array<tag_info, 32> tag_infos = [] {
	std::array<tag_info, 32> t{};
	for (tag_info &i : t)
		i = {0, acts_none, link_other, kind_none};
	const tag_info known[] = {
		{tag_word("DATE"), acts_date, link_other, kind_none},    {tag_word("SEX"), acts_sex, link_other, kind_none},
		{tag_word("FAMC"), acts_family, link_famc, kind_none},   {tag_word("FAMS"), acts_family, link_fams, kind_none},
		{tag_word("CHIL"), acts_family, link_chil, kind_none},   {tag_word("HUSB"), acts_spouse, link_husb, kind_none},
		{tag_word("WIFE"), acts_spouse, link_wife, kind_none},   {tag_word("SOUR"), acts_none, link_sour, kind_sour},
		{tag_word("NOTE"), acts_none, link_note, kind_note},     {tag_word("OBJE"), acts_none, link_obje, kind_obje},
		{tag_word("REPO"), acts_none, link_repo, kind_repo},     {tag_word("SUBM"), acts_none, link_subm, kind_subm},
		{tag_word("SUBN"), acts_none, link_subn, kind_subn},     {tag_word("ASSO"), acts_none, link_asso, kind_none},
		{tag_word("ALIA"), acts_none, link_alia, kind_none},     {tag_word("ANCI"), acts_none, link_anci, kind_none},
		{tag_word("DESI"), acts_none, link_desi, kind_none},     {tag_word("HEAD"), acts_none, link_other, kind_head},
		{tag_word("TRLR"), acts_none, link_other, kind_trlr},    {tag_word("INDI"), acts_none, link_other, kind_indi},
		{tag_word("FAM"), acts_none, link_other, kind_fam}};
	for (const tag_info &i : known)
		t[tag_place(i.word)] = i;
	return t;
}();

// What the checks know of a tag by its word: for one they do not know, no action, link or kind.
const tag_info &info_of(std::uint32_t word)
{
	static constexpr tag_info unknown = {0, acts_none, link_other, kind_none};
	const tag_info &t = tag_infos[tag_place(word)];
	return t.word == word && word != 0 ? t : unknown;
}

// The word of a tag followed in its line by `after` bytes: read in one load where the line
// has four bytes from the tag's start.
std::uint32_t word_of(std::string_view tag, std::size_t after)
{
	if (tag.size() > 4)
		return 0;
	if (tag.size() + after < 4)
		return tag_word(tag);
	std::uint32_t w;
	std::memcpy(&w, tag.data(), sizeof w);
	return tag.size() == 4 ? w : w & ((std::uint32_t{1} << (8 * tag.size())) - 1);
}

bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

constexpr std::array<bool, 256> tag_chars = [] {
	std::array<bool, 256> t{};
	for (int c = 0; c < 256; ++c)
		t[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
	return t;
}();

bool is_tag_char(char c)
{
	return tag_chars[static_cast<unsigned char>(c)];
}

std::string_view trim_end(std::string_view v)
{
	while (!v.empty() && is_blank(v.back()))
		v.remove_suffix(1);
	return v;
}

std::string_view trim(std::string_view v)
{
	while (!v.empty() && is_blank(v.front()))
		v.remove_prefix(1);
	return trim_end(v);
}

// The first word of a text, for a message about a line that does not parse.
std::string_view first_word(std::string_view t)
{
	std::size_t end = 0;
	while (end < t.size() && !is_blank(t[end]))
		++end;
	return t.substr(0, end);
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
// when it has none that a reader can take. i is left after the level.
bool long_level(std::uint64_t line, std::string_view t, std::size_t &i, unsigned &level)
{
	i = 0;
	while (i < t.size() && is_digit(t[i]))
		++i;
	if (i == 0 || (i < t.size() && !is_blank(t[i]))) {
		add_text_finding(line, finds_no_level, first_word(t));
		return false;
	}
	std::string_view digits = t.substr(0, i);
	if (digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) {
		add_text_finding(line, finds_level_form, digits);
		std::size_t first = digits.find_first_not_of('0');
		if (first != std::string_view::npos && digits.size() - first > 2)
			return false;
	}
	level = 0;
	for (char c : digits.substr(digits.size() > 2 ? digits.size() - 2 : 0))
		level = level * 10 + static_cast<unsigned>(c - '0');
	return true;
}

// The length of the tag at p when it is of capital letters and followed by a blank within
// the eight bytes there, which the caller has; 0 for any other, which the loop finds.
std::size_t capital_tag(const char *p)
{
	constexpr std::uint64_t ones = 0x0101010101010101ULL;
	constexpr std::uint64_t high = 0x80 * ones;
	std::uint64_t w;
	std::memcpy(&w, p, sizeof w);
	std::uint64_t spaced = w ^ (0x20 * ones);
	std::uint64_t blanks = (spaced - ones) & ~spaced & high;
	if (blanks == 0)
		return 0;
	std::size_t n = static_cast<std::size_t>(std::countr_zero(blanks)) / 8;
	// The bytes before the blank, each A to Z: below Z + 1 and at least A, with no high bit.
	std::uint64_t before = n == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * n);
	std::uint64_t low7 = w & ~high;
	std::uint64_t from_a = low7 + (0x80 - 'A') * ones;
	std::uint64_t past_z = low7 + (0x80 - 'Z' - 1) * ones;
	std::uint64_t capitals = from_a & ~past_z & ~w & high;
	return n > 0 && (capitals | ~before | ~high) == ~std::uint64_t{0} ? n : 0;
}

// The line of nearly every file but for record lines: a level of one digit, a blank, a
// tag, and a blank before its value. False for any other, which parse_line cuts.
bool quick_parse(std::string_view text, gedcom_line &g)
{
	const char *p = text.data();
	std::size_t n = text.size();
	if (n < 3 || static_cast<unsigned char>(p[0] - '0') > 9 || p[1] != ' ' || !is_tag_char(p[2]))
		return false;
	std::size_t end = n >= 10 ? capital_tag(p + 2) + 2 : 2;
	if (end == 2) {
		end = 3;
		while (end < n && is_tag_char(p[end]))
			++end;
		if (end < n && p[end] != ' ')
			return false;
	}
	g.level = static_cast<unsigned>(p[0] - '0');
	g.xref = {};
	g.tag = {p + 2, end - 2};
	g.value = end < n ? std::string_view{p + end + 1, n - end - 1} : std::string_view{};
	g.word = word_of(g.tag, n - end);
	return true;
}

// Cuts the line; false, with its finding, when it does not parse.
bool parse_line(std::uint64_t line, std::string_view t, gedcom_line &g)
{
	std::size_t i = 2;
	if (t.size() >= 2 && is_digit(t[0]) && t[1] == ' ')
		g.level = static_cast<unsigned>(t[0] - '0');
	else if (!long_level(line, t, i, g.level))
		return false;
	while (i < t.size() && is_blank(t[i]))
		++i;
	g.xref = {};
	if (i < t.size() && t[i] == '@') {
		std::size_t close = t.find('@', i + 1);
		if (close == std::string_view::npos || close == i + 1 || (close + 1 < t.size() && !is_blank(t[close + 1]))) {
			add_text_finding(line, finds_bad_xref, first_word(t.substr(i)));
			return false;
		}
		g.xref = t.substr(i + 1, close - i - 1);
		i = close + 1;
		while (i < t.size() && is_blank(t[i]))
			++i;
	}
	std::size_t end = i;
	while (end < t.size() && is_tag_char(t[end]))
		++end;
	if (end == i || (end < t.size() && t[end] != ' ')) {
		add_text_finding(line, finds_no_tag, first_word(t.substr(i)));
		return false;
	}
	g.tag = t.substr(i, end - i);
	g.value = end < t.size() ? t.substr(end + 1) : std::string_view{};
	g.word = word_of(g.tag, t.size() - end);
	return true;
}

record_kind kind_of_tag(const gedcom_line &g)
{
	record_kind kind = info_of(g.word).kind;
	if (kind != kind_none)
		return kind;
	return g.tag[0] == '_' ? kind_user : kind_other;
}

[[gnu::noinline]] void record_line(std::uint64_t line, const gedcom_line &g)
{
	record_kind kind = kind_of_tag(g);
	state.record = kind;
	state.user[0] = kind == kind_user;
	if (kind == kind_trlr)
		state.trailer = true;
	if (kind == kind_other)
		add_text_finding(line, finds_not_record, g.tag);
	bool named = kind >= kind_indi && kind <= kind_subn;
	if (!g.xref.empty() && kind != kind_head && kind != kind_trlr) {
		add_occurrence(xref_key(g.xref), line, occurrence_code(occurs_record, kind, 0));
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

[[gnu::noinline]] void pointer_line(std::uint64_t line, const gedcom_line &g, std::string_view value, bool user)
{
	link_tag tag = info_of(g.word).link;
	unsigned marks = user ? code_unchecked : family_link(tag, g.level, state.record) ? code_family : 0;
	add_occurrence(xref_key(value.substr(1, value.size() - 2)), line, occurrence_code(occurs_link, tag, marks));
}

[[gnu::noinline]] void check_date(std::uint64_t line, std::string_view value)
{
	if (!date_value_ok(value))
		add_text_finding(line, finds_bad_date, trim(value));
}

[[gnu::noinline]] void not_pointer(std::uint64_t line, const gedcom_line &g)
{
	add_text_finding(line, finds_not_pointer, trim(g.value), info_of(g.word).link);
}

[[gnu::noinline]] void check_sex(std::uint64_t line, std::string_view value)
{
	value = trim_end(value);
	if (!(value == "M" || value == "F" || value == "U"))
		add_text_finding(line, finds_bad_sex, value);
}

void field_line(std::uint64_t line, const gedcom_line &g, bool user)
{
	if (!g.value.empty() && g.value[0] == '@') {
		std::string_view value = trim_end(g.value);
		if (is_pointer(value)) {
			pointer_line(line, g, value, user);
			return;
		}
	}
	tag_action action = info_of(g.word).action;
	if (user || action == acts_none)
		return;
	switch (action) {
	case acts_date:
		check_date(line, g.value);
		return;
	case acts_family:
		not_pointer(line, g);
		return;
	case acts_spouse:
		if (g.level == 1 && state.record == kind_fam)
			not_pointer(line, g);
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
}

void findings_start()
{
	release_all();
	out_of_memory = false;
	state = {};
}

// The lines quick_parse does not take: the first, blank ones, record lines and every
// line of an unusual form. False when nothing more is to be checked.
[[gnu::noinline]] static bool careful_line(std::uint64_t line, std::string_view text, std::uint64_t chars,
					   gedcom_line &g)
{
	std::size_t i = line == 1 && text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
	// Blank lines and blanks before a level are for readers to pass over.
	while (i < text.size() && is_blank(text[i]))
		++i;
	if (i == text.size())
		return false;
	if (chars > line_chars_max)
		add_finding({line, chars, 0, 0, 0, finds_long_line, 0});
	bool parsed = parse_line(line, text.substr(i), g);
	bool first = !state.seen_first;
	state.seen_first = true;
	if (first) {
		if (!(parsed && g.level == 0 && g.xref.empty() && g.tag == "HEAD"))
			note(line, finds_first_line);
		state.level = parsed ? g.level : 0;
	}
	return parsed;
}

[[gnu::noinline]] static void level_jump(std::uint64_t line, unsigned level)
{	finding f{line, 0, 0, 0, 0, finds_level_jump, 0};
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
	gedcom_line g;
	if (!state.seen_first || !quick_parse(text, g)) {
		if (!careful_line(line, text, chars, g))
			return;
	} else if (chars > line_chars_max) {
		add_finding({line, chars, 0, 0, 0, finds_long_line, 0});
	}
	if (g.level > state.level + 1)
		level_jump(line, g.level);
	state.level = g.level;
	if (g.level == 0) {
		record_line(line, g);
		return;
	}
	bool user = g.tag[0] == '_' || state.user[g.level - 1];
	state.user[g.level] = user;
	field_line(line, g, user);
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
	long long count = write_findings(file, out);
	release_all();
	return count;
}
