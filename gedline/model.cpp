// The model of a file: its lines read once, records and family links kept, then the records
// put in the table by cross-reference and every link resolved through it.
#include "model.h"

#include "charset.h"
#include "grammar.h"
#include "text_lines.h"
#include "xref_keys.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>

namespace {

constexpr std::string_view void_pointer = "@VOID@";

// Where a text lies in a list of names.
struct name_ref {
	std::uint32_t at;
	std::uint32_t size;
};

// The reading of one file: the record being read, and the keys of the links' targets, by
// link, which are dropped once every link is resolved.
struct model_reader {
	ged_model &model;
	ged_kind kind = ged_kind::other;
	bool ok = true;
	grow_list<std::uint64_t> targets;
	grow_list<char> long_targets;
};

bool add_name(grow_list<char> &names, std::string_view text, name_ref &ref)
{
	constexpr std::size_t most = std::numeric_limits<std::uint32_t>::max();
	if (names.size + text.size() > most || !grow_to(names, names.size + text.size()))
		return false;
	if (!text.empty())
		std::memcpy(names.items + names.size, text.data(), text.size());
	ref = {static_cast<std::uint32_t>(names.size), static_cast<std::uint32_t>(text.size())};
	names.size += text.size();
	return true;
}

std::string_view name_at(const grow_list<char> &names, name_ref ref)
{
	return {names.items + ref.at, ref.size};
}

ged_kind kind_of_tag(std::string_view tag)
{
	constexpr std::array<std::pair<std::string_view, ged_kind>, 8> kinds{{
		{"INDI", ged_kind::individual}, {"FAM", ged_kind::family}, {"SOUR", ged_kind::source},
		{"NOTE", ged_kind::note}, {"SNOTE", ged_kind::shared_note}, {"REPO", ged_kind::repository},
		{"OBJE", ged_kind::media}, {"SUBM", ged_kind::submitter},
	}};
	for (const auto &[name, kind] : kinds)
		if (tag == name)
			return kind;
	return ged_kind::other;
}

// The family tag of a level-1 line in a record of `kind`; false for any other line.
bool family_tag_of(std::string_view tag, ged_kind kind, family_tag &to)
{
	constexpr std::array<std::pair<std::string_view, family_tag>, 5> tags{{
		{"FAMC", family_tag::famc}, {"FAMS", family_tag::fams}, {"HUSB", family_tag::husb},
		{"WIFE", family_tag::wife}, {"CHIL", family_tag::chil},
	}};
	for (const auto &[name, t] : tags)
		if (tag == name) {
			bool of_person = t == family_tag::famc || t == family_tag::fams;
			to = t;
			return of_person ? kind == ged_kind::individual : kind == ged_kind::family;
		}
	return false;
}

void start_record(model_reader &r, const line_parts &g, const text_line &l)
{
	ged_model &m = r.model;
	r.kind = kind_of_tag(g.tag);
	std::string_view xref = g.fault == line_fault::none && g.xref != void_pointer ? g.xref : std::string_view{};
	name_ref name{0, 0};
	if (m.records.size >= missing_record || !add_name(m.names, xref, name)) {
		r.ok = false;
		return;
	}
	ged_record rec{l.offset, l.number, name.at, name.size, static_cast<std::uint32_t>(m.links.size), r.kind};
	r.ok = push(m.records, rec);
}

// A pointer's cross-reference: the value up to its closing @; empty when it is no pointer.
std::string_view pointer_of(std::string_view value)
{
	value = trim_blanks(value);
	if (value.size() < 2 || value[0] != '@')
		return {};
	std::size_t close = value.find('@', 1);
	return close == std::string_view::npos ? std::string_view{} : value.substr(0, close + 1);
}

void add_link(model_reader &r, const line_parts &g)
{
	family_tag tag;
	if (r.model.records.size == 0 || !family_tag_of(g.tag, r.kind, tag))
		return;
	std::string_view target = pointer_of(g.value);
	if (target.empty() || target == void_pointer)
		return;
	std::uint64_t key;
	if (r.model.links.size >= missing_record || !name_key(xref_name(target), r.long_targets, key) ||
	    !push(r.targets, key) || !push(r.model.links, family_link{missing_record, tag}))
		r.ok = false;
}

void take_line(model_reader &r, const text_line &l)
{
	line_parts g = parse_line(l.text);
	if (g.level == 0)
		start_record(r, g, l);
	else if (g.level == 1)
		add_link(r, g);
}

bool read_lines(ged_text &text, model_reader &r)
{
	std::string block(text_block, '\0');
	line_cutter c;
	auto take = [&r](const text_line &l) {
		take_line(r, l);
		return r.ok;
	};
	for (bool more = true; more && r.ok;) {
		std::size_t n = ged_read(text, block.data(), block.size());
		more = n != 0;
		cut_block(c, {block.data(), n}, !more, take);
	}
	return r.ok && !text.failed;
}

constexpr auto filled = [](const model_slot &s) { return s.id_1 != 0; };

// The table is keyed by the names without their @ signs, as the links' keys hold them.
std::uint32_t check_bits(std::uint64_t hash)
{
	return static_cast<std::uint32_t>(hash >> 32);
}

template <typename Table>
auto &slot_of(Table &table, const ged_model &m, std::uint64_t hash, std::string_view name)
{
	return probe(table, hash, filled, [&](const model_slot &s) {
		return s.check == check_bits(hash) && xref_name(xref_of(m, s.id_1 - 1)) == name;
	});
}

record_id find_name(const ged_model &m, std::string_view name)
{
	if (m.table.slots.size == 0)
		return missing_record;
	const model_slot &s = slot_of(m.table, m, xref_hash(name, false), name);
	return filled(s) ? s.id_1 - 1 : missing_record;
}

// Each record by its cross-reference, the first of those that share one.
bool index_records(ged_model &m)
{
	unsigned log2 = 4;
	while ((std::size_t{1} << log2) < 2 * m.records.size)
		++log2;
	if (!make_table(m.table, log2))
		return false;
	for (record_id id = 0; id < m.records.size; ++id) {
		std::string_view name = xref_name(xref_of(m, id));
		if (name.empty())
			continue;
		std::uint64_t hash = xref_hash(name, false);
		model_slot &s = slot_of(m.table, m, hash, name);
		if (filled(s)) {
			++m.duplicates;
			continue;
		}
		s = {id + 1, check_bits(hash)};
		++m.table.used;
	}
	return true;
}

void resolve_links(model_reader &r)
{
	ged_model &m = r.model;
	for (std::size_t i = 0; i < m.links.size; ++i) {
		m.links[i].target = find_name(m, key_name(r.targets[i], r.long_targets));
		m.missing += m.links[i].target == missing_record;
	}
}

} // namespace

bool build_model(ged_text &text, ged_model &model)
{
	model = ged_model{};
	model_reader r{model, ged_kind::other, true, {}, {}};
	if (!read_lines(text, r) || !index_records(model))
		return false;
	resolve_links(r);
	return true;
}

record_id find_record(const ged_model &model, std::string_view xref)
{
	if (xref.size() < 3 || xref.front() != '@' || xref.back() != '@')
		return missing_record;
	return find_name(model, xref_name(xref));
}

std::string_view xref_of(const ged_model &model, record_id id)
{
	if (id >= model.records.size)
		return {};
	const ged_record &rec = model.records[id];
	return name_at(model.names, {rec.xref_at, rec.xref_size});
}

std::span<const family_link> links_of(const ged_model &model, record_id id)
{
	if (id >= model.records.size)
		return {};
	std::size_t end = id + 1 < model.records.size ? model.records[id + 1].links_at : model.links.size;
	return {model.links.items + model.records[id].links_at, end - model.records[id].links_at};
}

namespace {

bool points_to(const ged_model &m, family_link l, ged_kind kind)
{
	return l.target != missing_record && m.records[l.target].kind == kind;
}

void add_once(std::vector<record_id> &to, record_id id)
{
	if (std::find(to.begin(), to.end(), id) == to.end())
		to.push_back(id);
}

// The members of the families `person` names with `tag`, by the tags in `members`.
std::vector<record_id> members_of(const ged_model &m, record_id person, family_tag tag,
				  std::initializer_list<family_tag> members)
{
	std::vector<record_id> found;
	if (person >= m.records.size || m.records[person].kind != ged_kind::individual)
		return found;
	for (family_link to_family : links_of(m, person)) {
		if (to_family.tag != tag || !points_to(m, to_family, ged_kind::family))
			continue;
		for (family_link l : links_of(m, to_family.target))
			if (std::find(members.begin(), members.end(), l.tag) != members.end() &&
			    points_to(m, l, ged_kind::individual))
				add_once(found, l.target);
	}
	return found;
}

} // namespace

std::vector<record_id> parents_of(const ged_model &model, record_id person)
{
	return members_of(model, person, family_tag::famc, {family_tag::husb, family_tag::wife});
}

std::vector<record_id> partners_of(const ged_model &model, record_id person)
{
	std::vector<record_id> found = members_of(model, person, family_tag::fams, {family_tag::husb, family_tag::wife});
	std::erase(found, person);
	return found;
}

std::vector<record_id> children_of(const ged_model &model, record_id person)
{
	return members_of(model, person, family_tag::fams, {family_tag::chil});
}
