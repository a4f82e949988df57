// The 7.0 checker's walk over a file: which structure each line opens, and how often it may.
#include "rules7.h"
#include "rules7_internal.h"
#include "rules7_tables.h"

#include <algorithm>

namespace rules7 {

static_assert(most_substructures7 <= counted_substructures7, "a structure has more substructures than open7 has bits for");

static void report(checker7 &c, std::uint64_t line, kind7 kind, std::string_view quote = {},
		   std::string_view detail = {}, std::uint32_t code = 0)
{
	c.on_finding(c.context, finding7{line, kind, quote, detail, code});
}

static constexpr int standard_tag(std::string_view tag)
{
	for (std::size_t i = 0; i < tags7.size(); ++i)
		if (tags7[i] == tag)
			return static_cast<int>(i);
	return -1;
}

// The tags the walk itself tells apart, compared by number rather than by text on every line.
static constexpr int tag_cont = standard_tag("CONT");
static constexpr int tag_head = standard_tag("HEAD");
static constexpr int tag_note = standard_tag("NOTE");
static constexpr int tag_trlr = standard_tag("TRLR");
static_assert(tag_cont >= 0 && tag_head >= 0 && tag_note >= 0 && tag_trlr >= 0);

static std::string_view tag_of(int type)
{
	return tags7[structures7[type].tag];
}

void rules7_start(checker7 &c, finding_hook7 on_finding, pointer_hook7 on_pointer, void *context)
{
	c = checker7{};
	c.on_finding = on_finding;
	c.on_pointer = on_pointer;
	c.context = context;
	c.open[0].type = 0;
}

static constexpr std::uint64_t slot_bit(int slot)
{
	return std::uint64_t{1} << slot;
}

// The slots of the substructures each structure needs at least once.
static constexpr auto required_slots = [] {
	std::array<std::uint64_t, structures7.size()> slots{};
	for (std::size_t type = 0; type < structures7.size(); ++type)
		for (int r = 0; r < structures7[type].required_count; ++r)
			slots[type] |= slot_bit(required7[structures7[type].first_required + r]);
	return slots;
}();

static bool lacks(const open7 &o)
{
	return o.type >= 0 && (required_slots[o.type] & ~o.seen) != 0;
}

// The open levels that `lacking` has a bit for; deeper ones are looked at one by one.
inline constexpr int lacking_levels = 64;

// A structure opened with nothing seen lacks what it needs, if it needs anything.
static void note_opened(checker7 &c, int index)
{
	int type = c.open[index].type;
	if (type >= 0 && required_slots[type] != 0 && index < lacking_levels)
		c.lacking |= std::uint64_t{1} << index;
}

// The open structure has had a substructure in its slot: only one it needs can end its lack.
static void note_seen(checker7 &c, int slot)
{
	const open7 &o = c.open[c.depth];
	if ((required_slots[o.type] & slot_bit(slot)) != 0 && !lacks(o) && c.depth < lacking_levels)
		c.lacking &= ~(std::uint64_t{1} << c.depth);
}

// A structure is done: each substructure it needs at least once and never had is missing.
static void close_open(checker7 &c, const open7 &o)
{
	if (!lacks(o))
		return;
	const structure7 &s = structures7[o.type];
	for (int r = 0; r < s.required_count; ++r) {
		int slot = required7[s.first_required + r];
		if ((o.seen & slot_bit(slot)) == 0)
			report(c, o.line, kind7::missing, tags7[substructures7[s.first_sub + slot].tag], tag_of(o.type));
	}
}

// Apart, so that the quick way below is only a few instructions where it stands.
[[gnu::noinline]] static void close_each_to(checker7 &c, int index)
{
	for (; c.depth >= index; --c.depth)
		close_open(c, c.open[c.depth]);
	if (index < lacking_levels)
		c.lacking &= (std::uint64_t{1} << index) - 1;
}

// Most structures have all they need when they close, and then closing them says nothing: when
// the bits say that none of those closed lacks anything, the walk down their levels, as many as
// the file's levels fall by, is left out.
[[gnu::always_inline]] inline static void close_to(checker7 &c, int index)
{
	if (c.depth < lacking_levels && (index >= lacking_levels || (c.lacking >> index) == 0))
		c.depth = std::min(c.depth, index - 1);
	else
		close_each_to(c, index);
}

static void open_at(checker7 &c, int index, int type, std::uint64_t line)
{
	for (int i = c.depth + 1; i < index; ++i)
		c.open[i].type = -1;
	open7 &o = c.open[index];
	o.type = static_cast<std::int16_t>(type);
	o.line = line;
	o.seen = 0;
	c.depth = index;
	note_opened(c, index);
}

// Each structure's slot for each standard tag, -1 where it has none: one lookup a line.
static constexpr auto substructure_slots = [] {
	std::array<std::int8_t, structures7.size() * tags7.size()> slots{};
	for (std::size_t type = 0; type < structures7.size(); ++type) {
		const structure7 &s = structures7[type];
		for (std::size_t tag = 0; tag < tags7.size(); ++tag)
			slots[type * tags7.size() + tag] = -1;
		for (int slot = 0; slot < s.sub_count; ++slot)
			slots[type * tags7.size() + static_cast<std::size_t>(substructures7[s.first_sub + slot].tag)] =
				static_cast<std::int8_t>(slot);
	}
	return slots;
}();
static_assert(most_substructures7 <= 127, "a substructure's slot does not fit its table");

static int find_substructure(int parent, int tag)
{
	return substructure_slots[static_cast<std::size_t>(parent) * tags7.size() + static_cast<std::size_t>(tag)];
}

// A value must be a pointer or text, and text that begins with @ doubles it.
static void check_line_value(checker7 &c, const line7 &l)
{
	if (!l.value.empty() && l.value[0] == '@' && !l.value.starts_with("@@") && !is_pointer_form(l.value))
		report(c, l.number, kind7::lone_at, l.value);
}

static void check_payload_of(checker7 &c, const line7 &l, int tag, int type)
{
	const structure7 &s = structures7[type];
	if (s.tag == tag_note && is_pointer_form(l.value)) {
		report(c, l.number, kind7::note_pointer, l.value);
		return;
	}
	// A date's words are kept for the reading of its days, which needs them again.
	bool date = s.payload == payload7::pay_date || s.payload == payload7::pay_date_period ||
		    s.payload == payload7::pay_date_exact;
	verdict7 v = date ? check_date(l.value, s.payload, c.date) : check_payload(s.payload, s.enum_set, l.value);
	if (date && v.result == result7::ok && c.date.n > 0)
		c.date_line = l.number;
	if (v.result == result7::legacy)
		report(c, l.number, kind7::legacy, v.quote, v.instead);
	else if (v.result == result7::ok && s.payload == payload7::pay_pointer && l.value != "@VOID@")
		c.on_pointer(c.context, pointer7{l.number, l.value.substr(1, l.value.size() - 2), tag_of(s.target), tag});
	else if (v.result == result7::ok && s.payload == payload7::pay_tag_def)
		note_documented(c, l.value);
	else if (v.result == result7::ok)
		return;
	else if (s.payload == payload7::pay_none)
		report(c, l.number, kind7::value_not_allowed, l.value, tag_of(type));
	else if (l.value.starts_with('@') && s.payload != payload7::pay_pointer && !l.value.starts_with("@@"))
		report(c, l.number, kind7::lone_at, l.value);
	else
		report(c, l.number, kind7::bad_payload, l.value, tag_of(type), static_cast<std::uint32_t>(s.payload));
}

// A detail outlives the line, so a tag is named from the tables; one they lack is "the line".
static std::string_view tag_text(std::string_view tag)
{
	int t = find_tag7(tag);
	return t >= 0 ? tags7[t] : "the line";
}

// Only records have a cross-reference, and none is called VOID: that is the pointer to nothing.
static void check_xref(checker7 &c, const line7 &l)
{
	if (!is_xref_form(l.xref))
		report(c, l.number, kind7::bad_xref, l.xref);
	else if (l.xref == "VOID")
		report(c, l.number, kind7::void_xref, l.xref);
	else if (l.level > 0)
		report(c, l.number, kind7::xref_not_record, l.xref, tag_text(l.tag));
}

// The form of the line's own parts; false when its tag is no tag, so that nothing else is judged.
static bool check_line_form(checker7 &c, const line7 &l, int tag)
{
	if (tag < 0 && !is_tag_form(l.tag)) {
		report(c, l.number, kind7::bad_tag, l.tag);
		return false;
	}
	if (!l.xref.empty())
		check_xref(c, l);
	std::uint32_t banned = banned_character(l.value);
	if (banned != no_banned7)
		report(c, l.number, kind7::banned_character, l.value, {}, banned);
	return true;
}

// A standard tag where its superstructure has no place for it: -1, and what to say about it.
static void report_misplaced(checker7 &c, const line7 &l, int parent)
{
	if (l.tag == "CHAR")
		report(c, l.number, kind7::legacy, l.tag, "no CHAR: every 7.0 file is UTF-8");
	else if (l.tag == "SUBN" && parent == 0)
		report(c, l.number, kind7::legacy, l.tag, "no submission record");
	else if (l.tag == "NOTE" && parent == 0)
		report(c, l.number, kind7::legacy, "0 NOTE", "a shared note as an SNOTE record");
	else if (parent == 0)
		report(c, l.number, kind7::not_record, l.tag);
	else
		report(c, l.number, kind7::not_allowed, l.tag, tag_of(parent));
}

// The structure type a standard line opens under a known parent, -1 when it has no place there.
static int standard_type(checker7 &c, const line7 &l, int tag, int parent)
{
	int slot = tag < 0 ? -1 : find_substructure(parent, tag);
	if (slot < 0) {
		report_misplaced(c, l, parent);
		return -1;
	}
	const substructure7 &sub = substructures7[structures7[parent].first_sub + slot];
	std::uint64_t &seen = c.open[c.depth].seen;
	bool again = (seen & slot_bit(slot)) != 0;
	seen |= slot_bit(slot);
	note_seen(c, slot);
	if (again && sub.max == 1)
		report(c, l.number, kind7::too_many, l.tag, parent == 0 ? std::string_view{} : tag_of(parent));
	return sub.type;
}

static bool is_text_payload(int type)
{
	payload7 p = structures7[type].payload;
	return p == payload7::pay_text || p == payload7::pay_text_list;
}

// CONT continues its superstructure's text and follows it or another CONT at once.
static int continuation_type(checker7 &c, const line7 &l, int parent)
{
	bool follows = c.last_level + 1 == l.level || (c.last_level == l.level && c.last_cont);
	if (!follows || !is_text_payload(parent))
		report(c, l.number, kind7::cont_misplaced);
	return -1;
}

static int record_type_checks(checker7 &c, const line7 &l, int type)
{
	int tag = structures7[type].tag;
	bool head_or_trailer = tag == tag_head || tag == tag_trlr;
	if (l.xref.empty() && !head_or_trailer)
		report(c, l.number, kind7::record_without_xref, {}, tags7[tag]);
	else if (!l.xref.empty() && head_or_trailer && is_xref_form(l.xref) && l.xref != "VOID")
		report(c, l.number, kind7::xref_not_record, l.xref, tags7[tag]);
	if (tag == tag_trlr)
		c.trailer = true;
	return type;
}

// A documented extension tag that stands for a standard structure brings that structure's rules,
// but only where the standard tag itself could not stand: there it must be the standard tag.
static int relocated_type(checker7 &c, const line7 &l, int parent)
{
	int type = documented_type(c, l.tag);
	if (type < 0)
		return -1;
	const structure7 &p = structures7[parent];
	for (int i = 0; i < p.sub_count; ++i)
		if (substructures7[p.first_sub + i].type == type) {
			report(c, l.number, kind7::not_allowed, l.tag, tag_of(parent));
			return -1;
		}
	return type;
}

// CONC is wrong wherever it stands, even under an extension: 7.0 has no line length to cut.
static int line_type(checker7 &c, const line7 &l, int tag, int parent)
{
	if (tag < 0 && l.tag == "CONC") {
		report(c, l.number, kind7::conc);
		return -1;
	}
	if (parent < 0)
		return -1;
	if (tag == tag_cont)
		return continuation_type(c, l, parent);
	if (tag < 0 && is_ext_tag(l.tag))
		return parent == 0 ? -1 : relocated_type(c, l, parent);
	int type = standard_type(c, l, tag, parent);
	return type >= 0 && parent == 0 ? record_type_checks(c, l, type) : type;
}

void rules7_line(checker7 &c, const line7 &l)
{
	int tag = find_tag7(l.tag);
	if (++c.lines == 1 && (l.level != 0 || tag != tag_head))
		report(c, l.number, kind7::first_line);
	c.last_line = l.number;
	if (c.trailer) {
		if (!c.reported_after_trailer)
			report(c, l.number, kind7::after_trailer);
		c.reported_after_trailer = true;
		return;
	}
	int index = l.level < open_levels7 - 1 ? static_cast<int>(l.level) + 1 : open_levels7 - 1;
	close_to(c, index);
	int parent = c.depth == index - 1 ? c.open[c.depth].type : -1;
	int type = check_line_form(c, l, tag) ? line_type(c, l, tag, parent) : -1;
	if (type >= 0)
		check_payload_of(c, l, tag, type);
	else
		check_line_value(c, l);
	open_at(c, index, type, l.number);
	c.last_level = l.level;
	c.last_cont = tag == tag_cont;
}

void rules7_finish(checker7 &c)
{
	close_to(c, 1);
	if (c.lines == 0)
		report(c, 1, kind7::first_line);
	else if (!c.trailer)
		report(c, c.last_line, kind7::no_trailer);
}

int rules7_open_type(const checker7 &c)
{
	return c.depth > 0 ? c.open[c.depth].type : -1;
}

std::string_view structure_name7(int type)
{
	return type >= 0 && static_cast<std::size_t>(type) < structures7.size() ? structures7[type].name : std::string_view{};
}

} // namespace rules7
