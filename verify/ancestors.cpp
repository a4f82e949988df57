// The doubt of a birth before an ancestor's: the ancestor whose birth can be the latest,
// carried down the lines of descent from the oldest generation in one pass (people who are
// their own ancestors are never reached, and have their own finding). A line of descent is
// doubted once: a person whose parent was born before the same ancestor is not doubted again,
// or one early ancestor would raise a doubt in every generation after.
#include "doubts.h"

#include <limits>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};
// A person with a birth; born before the ancestor their doubt names, doubted or not; and one
// of whose parents is, the same ancestor being the one their own doubt would name.
constexpr std::uint8_t has_birth = 1;
constexpr std::uint8_t born_before = 2;
constexpr std::uint8_t parent_born_before = 4;

// Among a person's ancestors, the one whose birth can be the latest, and that birth's start
// as the facts hold it.
struct latest_ancestor {
	std::int32_t lo;
	std::uint32_t who;
};

void raise_to(latest_ancestor &a, const latest_ancestor &b)
{
	if (b.who != none && b.lo > a.lo)
		a = b;
}

// What the walk changes of a record, in one place: it goes from record to record all over the
// file, and a table apiece would cost a miss of the cache apiece at every step. The birth, and
// whether there is one, is read from the facts when the record's turn comes, the one time the
// walk asks for them: a pass over all the facts before the walk would read the many records
// of no line of descent for nothing.
// above: the latest among all ancestors; beyond: among those of the parents, two generations
// up and more, which a parent's own age does not already tell.
struct ancestry {
	latest_ancestor above, beyond;
	std::uint32_t parents; // not yet walked
	std::uint8_t marks;
};

// Every record's place in the walk, and the records it starts from: those with no parent to
// wait for. The records of no line of descent, most of a file's, are neither doubted nor
// waited for. False when memory ran out.
bool start_walk(descent_lists &descent, std::size_t n, grow_list<ancestry> &walk, grow_list<std::uint32_t> &ready)
{
	if (!grow_zeroed(walk, n))
		return false;
	const latest_ancestor nobody{std::numeric_limits<std::int32_t>::min(), none};
	for (std::uint32_t i = 0; i < n; ++i) {
		ancestry &a = walk[i];
		a = {nobody, nobody, descent.parents[i], 0};
		if (a.parents == 0 && descent.start[i] != descent.start[i + 1] && !push(ready, i))
			return false;
	}
	release(descent.parents);
	return true;
}

// What a parent a, born as self says, hands down to a child b: its latest ancestors, and
// whether the line of descent to b is already doubted against the ancestor b's doubt would name.
void hand_down(const ancestry &a, const latest_ancestor &self, ancestry &b)
{
	std::uint32_t was = b.beyond.who;
	raise_to(b.above, a.above);
	raise_to(b.beyond, a.above);
	if (a.marks & has_birth)
		raise_to(b.above, self);
	if (b.beyond.who != was)
		b.marks &= static_cast<std::uint8_t>(~parent_born_before);
	if ((a.marks & born_before) && a.beyond.who == b.beyond.who)
		b.marks |= parent_born_before;
}

// Whether person p, whose ancestors are all walked, has a birth, and whether it comes before
// the latest of theirs two generations up and more: a doubt, unless the line of descent is
// already doubted against that ancestor.
void judge_birth(const grow_list<life_facts> &facts_of, std::uint32_t p, ancestry &a)
{
	const life_facts &facts = facts_of[p];
	if (facts.line != 0 && facts.birth_at)
		a.marks |= has_birth;
	if (!(a.marks & has_birth) || a.beyond.who == none || facts.birth.hi >= a.beyond.lo)
		return;
	a.marks |= born_before;
	if (!(a.marks & parent_born_before)) {
		const life_facts &ancestor = facts_of[a.beyond.who];
		add_kin_doubt(doubts_before_ancestor, p, a.beyond.who, facts.line + facts.birth_at,
			      ancestor.line + ancestor.birth_at);
	}
}

} // namespace

bool ancestor_doubts(const grow_list<life_facts> &facts_of, descent_lists &descent)
{
	std::size_t n = facts_of.size;
	grow_list<ancestry> walk;
	grow_list<std::uint32_t> ready;
	if (!start_walk(descent, n, walk, ready))
		return false;
	// The walk goes from record to record all over the file, and with more than a few
	// hundred thousand people its tables are far beyond the caches: what the next records will
	// need is asked for ahead. A record made ready is taken next unless another comes after
	// it, and the one below it in the stack is taken once the records above it are done.
	while (ready.size > 0) {
		std::uint32_t p = ready[--ready.size];
		if (ready.size > 0) {
			std::uint32_t q = ready[ready.size - 1];
			__builtin_prefetch(&descent.children[descent.start[q]]);
			__builtin_prefetch(&walk[q]);
			__builtin_prefetch(&facts_of[q]);
		}
		ancestry &a = walk[p];
		judge_birth(facts_of, p, a);
		const latest_ancestor self{facts_of[p].birth.lo, p};
		std::uint32_t end = descent.start[p + 1];
		for (std::uint32_t k = descent.start[p]; k < end; ++k)
			__builtin_prefetch(&walk[descent.children[k]]);
		for (std::uint32_t k = descent.start[p]; k < end; ++k) {
			std::uint32_t c = descent.children[k];
			ancestry &b = walk[c];
			hand_down(a, self, b);
			if (--b.parents == 0) {
				__builtin_prefetch(&descent.start[c]);
				__builtin_prefetch(&facts_of[c]);
				if (!push(ready, c))
					return false;
			}
		}
	}
	return true;
}
