// The doubts between records: parents' ages at their children's births, births after a
// parent's death, marriages, the births of one mother's children, births before an
// ancestor's, and how many family trees the file holds. Every pass is linear in the links
// but for one sort of the mothers' children.
#include "doubts.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};
constexpr std::int64_t twins_days = 10;      // births this close are of one pregnancy
constexpr std::int64_t pregnancy_days = 243; // eight months
constexpr std::int64_t posthumous_days = 304; // ten months

struct family_doubts {
	std::vector<std::uint32_t> fact_of;  // by record number: its place in `lives`, or none
	std::vector<std::uint32_t> tree_of;  // by record number: union-find over people
	std::vector<std::pair<std::uint32_t, std::uint32_t>> descent; // parent, child
	struct birth_of_mother {
		std::uint32_t mother, child;
		std::int64_t lo;
	};
	std::vector<birth_of_mother> births;
	// The family being read: its record, husband, wife, children.
	std::uint32_t family = none, husband = none, wife = none;
	std::vector<std::uint32_t> children;
	std::size_t next_life = 0;
	long long trees = 0;
};

family_doubts fd;

const life_facts *facts(std::uint32_t id)
{
	return id != none && fd.fact_of[id] != none ? &lives.items[fd.fact_of[id]] : nullptr;
}

std::uint64_t birth_line(const life_facts &f)
{
	return f.line + f.birth_at;
}

std::uint64_t death_line(const life_facts &f)
{
	return f.line + f.death_at;
}

std::uint32_t tree_root(std::uint32_t id)
{
	while (fd.tree_of[id] != id)
		id = fd.tree_of[id] = fd.tree_of[fd.tree_of[id]];
	return id;
}

void join(std::uint32_t a, std::uint32_t b)
{
	if (a != none && b != none)
		fd.tree_of[tree_root(a)] = tree_root(b);
}

void parent_doubts(std::uint32_t parent, const life_facts &child, bool mother)
{
	const life_facts *p = facts(parent);
	if (!p)
		return;
	std::uint64_t born = birth_line(child);
	int oldest = mother ? 60 : 90;
	if (p->birth_at && child.birth.hi < p->birth.lo + fewest_days(12))
		add_doubt(mother ? doubts_mother_young : doubts_father_young, born, birth_line(*p), parent);
	if (p->birth_at && child.birth.lo - p->birth.hi > most_days(oldest))
		add_doubt(mother ? doubts_mother_old : doubts_father_old, born, birth_line(*p), parent);
	if (p->death_at && child.birth.lo > p->death.hi + (mother ? 0 : posthumous_days))
		add_doubt(mother ? doubts_after_mother_death : doubts_after_father_death, born, death_line(*p), parent);
}

void marriage_doubts(const life_facts &family, std::uint32_t partner)
{
	const life_facts *p = facts(partner);
	if (!p || !family.birth_at)
		return;
	std::uint64_t married = birth_line(family);
	if (p->birth_at && family.birth.hi < p->birth.lo + fewest_days(12))
		add_doubt(doubts_married_young, married, birth_line(*p), partner);
	if (p->death_at && family.birth.lo > p->death.hi)
		add_doubt(doubts_married_after_death, married, death_line(*p), partner);
}

void close_family()
{
	if (fd.family == none)
		return;
	if (const life_facts *f = facts(fd.family)) {
		marriage_doubts(*f, fd.husband);
		marriage_doubts(*f, fd.wife);
	}
	join(fd.husband, fd.wife);
	for (std::uint32_t c : fd.children) {
		join(c, fd.husband);
		join(c, fd.wife);
		for (std::uint32_t parent : {fd.husband, fd.wife})
			if (parent != none)
				fd.descent.push_back({parent, c});
		const life_facts *child = facts(c);
		if (!child || !child->birth_at)
			continue;
		parent_doubts(fd.wife, *child, true);
		parent_doubts(fd.husband, *child, false);
		if (fd.wife != none)
			fd.births.push_back({fd.wife, c, child->birth.lo});
	}
	fd.family = fd.husband = fd.wife = none;
	fd.children.clear();
}

void take_record(void *, std::uint32_t id, std::uint64_t line)
{
	while (fd.next_life < lives.size && lives.items[fd.next_life].line < line)
		++fd.next_life;
	if (fd.next_life < lives.size && lives.items[fd.next_life].line == line && fd.fact_of[id] == none)
		fd.fact_of[id] = static_cast<std::uint32_t>(fd.next_life);
}

void take_link(void *, std::uint32_t holder, unsigned tag, std::uint32_t target)
{
	if (tag != link_husb && tag != link_wife && tag != link_chil)
		return;
	if (holder != fd.family) {
		close_family();
		fd.family = holder;
	}
	std::uint32_t &spouse = tag == link_husb ? fd.husband : fd.wife;
	if (tag == link_chil)
		fd.children.push_back(target);
	else if (spouse == none)
		spouse = target;
}

} // namespace

void ancestor_doubts(const std::vector<std::uint32_t> &fact_of,
		     std::vector<std::pair<std::uint32_t, std::uint32_t>> &descent);

bool doubts_of_families()
{
	fd = {};
	if (!doubts_wanted)
		return true;
	std::size_t n = record_count();
	fd.fact_of.assign(n, none);
	fd.tree_of.resize(n);
	for (std::size_t i = 0; i < n; ++i)
		fd.tree_of[i] = static_cast<std::uint32_t>(i);
	each_record(take_record, nullptr);
	each_family_link(take_link, nullptr);
	close_family();
	std::sort(fd.births.begin(), fd.births.end(), [](const auto &a, const auto &b) {
		return a.mother != b.mother ? a.mother < b.mother : a.lo < b.lo;
	});
	for (std::size_t i = 1; i < fd.births.size(); ++i) {
		const auto &a = fd.births[i - 1], &b = fd.births[i];
		const life_facts *x = facts(a.child), *y = facts(b.child);
		if (a.mother == b.mother && a.child != b.child && y->birth.lo - x->birth.hi > twins_days &&
		    y->birth.hi - x->birth.lo < pregnancy_days)
			add_doubt(doubts_close_births, birth_line(*y), birth_line(*x), a.child);
	}
	ancestor_doubts(fd.fact_of, fd.descent);
	for (std::size_t id = 0; id < n; ++id)
		if (const life_facts *f = facts(static_cast<std::uint32_t>(id)); f && !f->family)
			fd.trees += tree_root(static_cast<std::uint32_t>(id)) == id;
	return true;
}

long long family_trees()
{
	return fd.trees;
}

void doubts_release()
{
	fd = {};
	release(lives);
}
