// The doubt of a birth before an ancestor's: the ancestor whose birth can be the latest,
// carried down the lines of descent from the oldest generation in one pass (people who are
// their own ancestors are never reached, and have their own finding). A line of descent is
// doubted once: a person whose parent was born before the same ancestor is not doubted again,
// or one early ancestor would raise a doubt in every generation after.
#include "doubts.h"

#include <limits>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};
// A person born before the ancestor their doubt names, doubted or not; and one of whose
// parents is, the same ancestor being the one their own doubt would name.
constexpr std::uint8_t born_before = 1;
constexpr std::uint8_t parent_born_before = 2;

// Among a person's ancestors, the one whose birth can be the latest, and that birth's start
// as `lives` holds it.
struct latest_ancestor {
	std::int32_t lo;
	std::uint32_t who;
};

void raise_to(latest_ancestor &a, const latest_ancestor &b)
{
	if (b.who != none && b.lo > a.lo)
		a = b;
}

} // namespace

bool ancestor_doubts(const grow_list<std::uint32_t> &fact_of, descent_lists &descent)
{
	std::size_t n = fact_of.size;
	auto birth_line = [&](std::uint32_t id) {
		return lives.items[fact_of[id]].line + lives.items[fact_of[id]].birth_at;
	};
	// above: the latest among all ancestors; beyond: among those of the parents, two
	// generations up and more, which a parent's own age does not already tell.
	grow_list<latest_ancestor> above, beyond;
	grow_list<std::uint8_t> marks;
	grow_list<std::uint32_t> ready;
	const latest_ancestor nobody{std::numeric_limits<std::int32_t>::min(), none};
	if (!fill_list(above, n, nobody) || !fill_list(beyond, n, nobody) || !grow_zeroed(marks, n))
		return false;
	grow_list<std::uint32_t> &parents = descent.parents;
	// The records of no line of descent, most of a file's, are neither doubted nor waited for.
	for (std::uint32_t i = 0; i < n; ++i)
		if (parents[i] == 0 && descent.start[i] != descent.start[i + 1] && !push(ready, i))
			return false;
	while (ready.size > 0) {
		std::uint32_t p = ready[--ready.size];
		const life_facts *f = fact_of[p] != none && lives.items[fact_of[p]].birth_at ? &lives.items[fact_of[p]] : nullptr;
		const latest_ancestor self{f ? f->birth.lo : 0, p};
		if (f && beyond[p].who != none && days_of(f->birth).hi < beyond[p].lo) {
			marks[p] |= born_before;
			if (!(marks[p] & parent_born_before))
				add_kin_doubt(doubts_before_ancestor, p, beyond[p].who, birth_line(p), birth_line(beyond[p].who));
		}
		for (std::uint32_t k = descent.start[p]; k < descent.start[p + 1]; ++k) {
			std::uint32_t c = descent.children[k];
			std::uint32_t was = beyond[c].who;
			raise_to(above[c], above[p]);
			raise_to(beyond[c], above[p]);
			if (f)
				raise_to(above[c], self);
			if (beyond[c].who != was)
				marks[c] &= static_cast<std::uint8_t>(~parent_born_before);
			if ((marks[p] & born_before) && beyond[p].who == beyond[c].who)
				marks[c] |= parent_born_before;
			if (--parents[c] == 0 && !push(ready, c))
				return false;
		}
	}
	return true;
}
