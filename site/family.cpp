// The file cut into lines and records, and the family links looked up through the pointers.
#include "family.h"

#include "grammar.h"
#include "text_lines.h"

#include <cstdint>

namespace {

record_kind kind_of(std::string_view tag)
{
	struct named {
		std::string_view tag;
		record_kind kind;
	};
	static constexpr named kinds[] = {
		{"INDI", record_kind::indi}, {"FAM", record_kind::fam},   {"SOUR", record_kind::sour},
		{"NOTE", record_kind::note}, {"SNOTE", record_kind::snote}, {"OBJE", record_kind::obje},
		{"SUBM", record_kind::subm}, {"REPO", record_kind::repo}, {"HEAD", record_kind::head},
	};
	for (const named &k : kinds)
		if (k.tag == tag)
			return k.kind;
	return record_kind::other;
}

void start_record(family_tree &tree, const line_parts &g)
{
	if (!tree.records.empty())
		tree.records.back().end = static_cast<std::uint32_t>(tree.lines.size());
	record_kind kind = kind_of(g.tag);
	std::string_view xref = xref_name(g.xref);
	int number = static_cast<int>(tree.records.size());
	tree.records.push_back({kind, xref, static_cast<std::uint32_t>(tree.lines.size()), 0});
	if (!xref.empty() && xref != "VOID")
		tree.by_xref.emplace(xref, number);
	if (kind == record_kind::head && tree.head == no_record)
		tree.head = number;
}

} // namespace

namespace {

int pointed_record(const family_tree &tree, std::string_view value)
{
	if (value.size() < 3 || value.front() != '@' || value.back() != '@')
		return no_record;
	auto found = tree.by_xref.find(value.substr(1, value.size() - 2));
	return found == tree.by_xref.end() ? no_record : found->second;
}

void resolve_pointers(family_tree &tree)
{
	for (std::uint32_t i = 0; i < tree.lines.size(); ++i) {
		std::string_view value = line_value(tree, i);
		if (tree.lines[i].level > 0 && !value.empty() && value.front() == '@')
			tree.lines[i].target = pointed_record(tree, value);
	}
}

} // namespace

bool read_tree(family_tree &tree)
{
	if (tree.text.size() >= UINT32_MAX)
		return false;
	// Files run to about 20 bytes a line and 250 a record: room made once, which costs no
	// memory until used, instead of copies as the tables grow.
	tree.lines.reserve(tree.text.size() / 16);
	tree.by_xref.reserve(tree.text.size() / 200);
	each_text_line(tree.text, [&tree](const text_line &l) {
		line_parts g = parse_line(l.text);
		if (g.fault != line_fault::none || g.level < 0 || g.tag.size() > UINT8_MAX)
			return true;
		if (g.level == 0)
			start_record(tree, g);
		else if (tree.records.empty())
			return true;
		auto tag_at = static_cast<std::uint32_t>(g.tag.data() - tree.text.data());
		tree.lines.push_back({tag_at, static_cast<std::uint32_t>(g.value.size()), no_record,
				      static_cast<std::uint8_t>(g.level), static_cast<std::uint8_t>(g.tag.size())});
		return true;
	});
	if (!tree.records.empty())
		tree.records.back().end = static_cast<std::uint32_t>(tree.lines.size());
	resolve_pointers(tree);
	return true;
}

std::uint32_t sub_end(const family_tree &tree, std::uint32_t at, std::uint32_t end)
{
	std::uint8_t level = tree.lines[at].level;
	std::uint32_t i = at + 1;
	while (i < end && tree.lines[i].level > level)
		++i;
	return i;
}

std::vector<int> pointers_under(const family_tree &tree, std::uint32_t at, std::uint32_t end,
				std::string_view tag, record_kind kind)
{
	std::vector<int> found;
	int level = at < end ? tree.lines[at].level + 1 : 0;
	for (std::uint32_t i = at + 1; i < end; ++i) {
		if (tree.lines[i].level != level || tree.lines[i].tag_size != tag.size() ||
		    tree.text[tree.lines[i].tag_at] != tag.front() || line_tag(tree, i) != tag)
			continue;
		int r = line_target(tree, i);
		if (r != no_record && tree.records[static_cast<std::size_t>(r)].kind == kind)
			found.push_back(r);
	}
	return found;
}

namespace {

std::vector<int> links(const family_tree &tree, int from, std::string_view tag, record_kind kind)
{
	if (from == no_record)
		return {};
	const site_record &r = tree.records[static_cast<std::size_t>(from)];
	return pointers_under(tree, r.first, r.end, tag, kind);
}

} // namespace

std::vector<int> parents_of_family(const family_tree &tree, int fam)
{
	std::vector<int> both = links(tree, fam, "HUSB", record_kind::indi);
	std::vector<int> wives = links(tree, fam, "WIFE", record_kind::indi);
	both.insert(both.end(), wives.begin(), wives.end());
	return both;
}

std::vector<int> children_of_family(const family_tree &tree, int fam)
{
	return links(tree, fam, "CHIL", record_kind::indi);
}

std::vector<int> families_as_child(const family_tree &tree, int person)
{
	return links(tree, person, "FAMC", record_kind::fam);
}

std::vector<int> families_as_partner(const family_tree &tree, int person)
{
	return links(tree, person, "FAMS", record_kind::fam);
}

std::uint32_t sub_line(const family_tree &tree, std::uint32_t at, std::string_view tag)
{
	std::uint32_t end = sub_end(tree, at, static_cast<std::uint32_t>(tree.lines.size()));
	for (std::uint32_t i = at + 1; i < end; ++i)
		if (tree.lines[i].level == tree.lines[at].level + 1 && line_tag(tree, i) == tag)
			return i;
	return 0;
}

std::string_view sub_value(const family_tree &tree, std::uint32_t at, std::string_view tag)
{
	std::uint32_t i = sub_line(tree, at, tag);
	return i ? line_value(tree, i) : std::string_view{};
}

std::string long_value(const family_tree &tree, std::uint32_t at)
{
	std::string text(line_value(tree, at));
	std::uint32_t end = sub_end(tree, at, static_cast<std::uint32_t>(tree.lines.size()));
	for (std::uint32_t i = at + 1; i < end; ++i) {
		const site_line &l = tree.lines[i];
		if (l.level != tree.lines[at].level + 1)
			continue;
		std::string_view tag = line_tag(tree, i);
		if (tag == "CONT")
			text += '\n';
		if (tag == "CONT" || tag == "CONC")
			text += line_value(tree, i);
	}
	return text;
}
