// The doubts between records: parents' ages at their children's births, births after a
// parent's death, marriages, the births of one mother's children, births before an
// ancestor's, and how many family trees the file holds. Every pass is linear in the links
// but for one sort of the mothers' children.
#include "doubts.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};
constexpr std::int64_t twins_days = 10;      // births this close are of one pregnancy
constexpr std::int64_t pregnancy_days = 243; // eight months
constexpr std::int64_t posthumous_days = 304; // ten months

struct birth_of_mother {
	std::uint32_t mother, child;
	std::int32_t lo; // as `lives` holds it
};

// The walks over the families: the first counts each parent's children and each child's
// parents and joins the trees, the second writes each parent's children at its start, which
// moves on (the starts are put back after), and the third, once the lines of descent are
// done with, raises the doubts of each family.
enum walk_kind : std::uint8_t { walk_counting, walk_filling, walk_doubting };

struct family_doubts {
	// `lives` by record number, so that a record's facts are one look away; line 0 where a
	// record has none.
	grow_list<life_facts> facts_of;
	grow_list<std::uint32_t> tree_of;  // by record number: union-find over people
	grow_list<birth_of_mother> births;
	// The lines of descent, parent to child, as lists of each parent's children: counted in
	// a first walk over the links, filled in a second.
	descent_lists descent;
	walk_kind walk = walk_counting;
	// The family being read: its record, husband, wife, children.
	std::uint32_t family = none, husband = none, wife = none;
	std::vector<std::uint32_t> children;
	// `lives` becomes facts_of in place, from its last life to its first: lives[next_life - 1]
	// is the last not yet moved. Those not yet moved go aside when one would move to a place
	// not yet passed.
	std::size_t next_life = 0;
	grow_list<life_facts> aside;
	bool set_aside = false;
	long long trees = 0;
};

family_doubts fd;

const life_facts *facts(std::uint32_t id)
{
	return id != none && fd.facts_of[id].line != 0 ? &fd.facts_of[id] : nullptr;
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

void parent_doubts(std::uint32_t parent, std::uint32_t c, const life_facts &child, bool mother)
{
	const life_facts *p = facts(parent);
	if (!p)
		return;
	std::uint64_t born = birth_line(child);
	int oldest = mother ? 60 : 90;
	day_span birth = days_of(child.birth), parent_birth = days_of(p->birth), parent_death = days_of(p->death);
	if (p->birth_at && birth.hi < parent_birth.lo + fewest_days(12))
		add_kin_doubt(mother ? doubts_mother_young : doubts_father_young, c, parent, born, birth_line(*p));
	if (p->birth_at && birth.lo - parent_birth.hi > most_days(oldest))
		add_kin_doubt(mother ? doubts_mother_old : doubts_father_old, c, parent, born, birth_line(*p));
	if (p->death_at && birth.lo > parent_death.hi + (mother ? 0 : posthumous_days))
		add_kin_doubt(mother ? doubts_after_mother_death : doubts_after_father_death, c, parent, born,
			      death_line(*p));
}

void marriage_doubts(const life_facts &family, std::uint32_t partner, bool wife)
{
	const life_facts *p = facts(partner);
	if (!p || !family.birth_at)
		return;
	std::uint64_t married = birth_line(family);
	day_span marriage = days_of(family.birth);
	if (p->birth_at && marriage.hi < days_of(p->birth).lo + fewest_days(12))
		add_kin_doubt(doubts_married_young, fd.family, partner, married, birth_line(*p), wife);
	if (p->death_at && marriage.lo > days_of(p->death).hi)
		add_kin_doubt(doubts_married_after_death, fd.family, partner, married, death_line(*p), wife);
}

void family_of_children()
{
	descent_lists &d = fd.descent;
	for (std::uint32_t c : fd.children) {
		for (std::uint32_t parent : {fd.husband, fd.wife}) {
			if (parent == none || fd.walk == walk_doubting)
				continue;
			if (fd.walk == walk_filling) {
				d.children[d.start[parent]++] = c;
			} else {
				++d.start[parent + 1];
				++d.parents[c];
				join(c, parent);
			}
		}
		if (fd.walk != walk_doubting)
			continue;
		const life_facts *child = facts(c);
		if (!child || !child->birth_at)
			continue;
		parent_doubts(fd.wife, c, *child, true);
		parent_doubts(fd.husband, c, *child, false);
		if (fd.wife != none && !push(fd.births, {fd.wife, c, child->birth.lo}))
			out_of_memory = true;
	}
}

void close_family()
{
	if (fd.family == none)
		return;
	if (fd.walk == walk_counting)
		join(fd.husband, fd.wife);
	if (fd.walk == walk_doubting) {
		if (const life_facts *f = facts(fd.family)) {
			marriage_doubts(*f, fd.husband, false);
			marriage_doubts(*f, fd.wife, true);
		}
	}
	family_of_children();
	fd.family = fd.husband = fd.wife = none;
	fd.children.clear();
}

// A family's members are people from all over the file: what the walk will read of each is
// asked for as its link comes, and is there when the family closes.
void prefetch_for_walk(unsigned tag, std::uint32_t target)
{
	descent_lists &d = fd.descent;
	switch (fd.walk) {
	case walk_counting:
		__builtin_prefetch(&fd.tree_of[target]);
		__builtin_prefetch(tag == link_chil ? &d.parents[target] : &d.start[target + 1]);
		return;
	case walk_filling:
		if (tag != link_chil)
			__builtin_prefetch(&d.start[target]);
		return;
	default:
		__builtin_prefetch(&fd.facts_of[target]);
	}
}

// A life that belongs to no record with a cross-reference leaves its place empty.
void drop_life(std::size_t at)
{
	if (!fd.set_aside)
		lives.items[at] = {};
}

// Record lines come from the last to the first, so that of a cross-reference named twice the
// first record line's facts are written last and stand. A record's number is at least its
// life's place in a file whose records all have cross-references, and each life then moves
// to a place already passed: no second list as long as the first is asked for.
void take_record(void *, std::uint32_t id, std::uint64_t line)
{
	if (out_of_memory)
		return;
	const life_facts *from = fd.set_aside ? fd.aside.items : lives.items;
	while (fd.next_life > 0 && from[fd.next_life - 1].line > line)
		drop_life(--fd.next_life);
	if (fd.next_life == 0 || from[fd.next_life - 1].line != line)
		return;
	std::size_t at = --fd.next_life;
	if (!fd.set_aside && id < at) {
		if (!grow_to(fd.aside, at + 1)) {
			out_of_memory = true;
			return;
		}
		std::memcpy(static_cast<void *>(fd.aside.items), lives.items, (at + 1) * sizeof(life_facts));
		std::memset(static_cast<void *>(lives.items), 0, (at + 1) * sizeof(life_facts));
		fd.set_aside = true;
		from = fd.aside.items;
	}
	life_facts f = from[at];
	drop_life(at);
	lives.items[id] = f;
}

// `lives`, in file order, made facts_of, by record number.
bool lives_by_record(std::size_t n)
{
	std::size_t held = lives.size;
	if (n > held) {
		if (!grow_to(lives, n))
			return false;
		std::memset(static_cast<void *>(lives.items + held), 0, (n - held) * sizeof(life_facts));
	}
	fd.next_life = held;
	each_record_from_last(take_record, nullptr);
	while (fd.next_life > 0)
		drop_life(--fd.next_life);
	release(fd.aside);
	lives.size = n;
	fd.facts_of.swap(lives);
	release(lives);
	return !out_of_memory;
}

void take_link(void *, std::uint32_t holder, unsigned tag, std::uint32_t target)
{
	if (tag != link_husb && tag != link_wife && tag != link_chil)
		return;
	if (holder != fd.family) {
		close_family();
		fd.family = holder;
	}
	prefetch_for_walk(tag, target);
	std::uint32_t &spouse = tag == link_husb ? fd.husband : fd.wife;
	if (tag == link_chil)
		fd.children.push_back(target);
	else if (spouse == none)
		spouse = target;
}

void walk_families(walk_kind walk)
{
	fd.walk = walk;
	each_family_link(take_link, nullptr);
	close_family();
}

void close_birth_doubts()
{
	auto births = entries_of(fd.births);
	std::sort(births.begin(), births.end(), [](const auto &a, const auto &b) {
		return a.mother != b.mother ? a.mother < b.mother : a.lo < b.lo;
	});
	for (std::size_t i = 1; i < births.size(); ++i) {
		const auto &a = births[i - 1], &b = births[i];
		const life_facts *x = facts(a.child), *y = facts(b.child);
		day_span first = days_of(x->birth), second = days_of(y->birth);
		if (a.mother == b.mother && a.child != b.child && second.lo - first.hi > twins_days &&
		    second.hi - first.lo < pregnancy_days)
			add_kin_doubt(doubts_close_births, b.child, a.child, birth_line(*y), birth_line(*x));
	}
	release(fd.births);
}

void count_trees(std::size_t n)
{
	for (std::size_t id = 0; id < n; ++id)
		if (const life_facts *f = facts(static_cast<std::uint32_t>(id)); f && !f->family)
			fd.trees += tree_root(static_cast<std::uint32_t>(id)) == id;
	release(fd.tree_of);
}

} // namespace

std::uint64_t birth_line_of(std::uint32_t id)
{
	return birth_line(*facts(id));
}

std::uint64_t death_line_of(std::uint32_t id)
{
	return death_line(*facts(id));
}

bool doubts_of_families()
{
	fd = {};
	if (!doubts_wanted)
		return true;
	std::size_t n = record_count();
	descent_lists &d = fd.descent;
	if (!lives_by_record(n) || !grow_zeroed(fd.tree_of, n) || !grow_zeroed(d.start, n + 1) ||
	    !grow_zeroed(d.parents, n))
		return false;
	for (std::size_t i = 0; i < n; ++i)
		fd.tree_of[i] = static_cast<std::uint32_t>(i);
	walk_families(walk_counting);
	count_trees(n);
	for (std::size_t i = 0; i < n; ++i)
		d.start[i + 1] += d.start[i];
	if (!grow_zeroed(d.children, d.start[n]))
		return false;
	walk_families(walk_filling);
	for (std::size_t i = n; i > 0; --i)
		d.start[i] = d.start[i - 1];
	d.start[0] = 0;
	if (!ancestor_doubts(fd.facts_of, d))
		return false;
	// A file of random dates has a doubt on nearly every birth: they are made once the lines
	// of descent are given back.
	d = {};
	walk_families(walk_doubting);
	close_birth_doubts();
	sort_doubts();
	return !out_of_memory;
}

long long family_trees()
{
	return fd.trees;
}

void doubts_release()
{
	fd = {};
	release_held_doubts();
}
