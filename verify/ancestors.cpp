// The doubt of a birth before an ancestor's: the ancestor whose birth can be the latest,
// carried down the lines of descent from the oldest generation in one pass (people who are
// their own ancestors are never reached, and have their own finding). A line of descent is
// doubted once: a person whose parent was born before the same ancestor is not doubted again,
// or one early ancestor would raise a doubt in every generation after.
#include "doubts.h"

#include <vector>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};
// A person born before the ancestor their doubt names, doubted or not; and one of whose
// parents is, the same ancestor being the one their own doubt would name.
constexpr std::uint8_t born_before = 1;
constexpr std::uint8_t parent_born_before = 2;

} // namespace

void ancestor_doubts(const std::vector<std::uint32_t> &fact_of, descent_lists &descent)
{
	std::size_t n = fact_of.size();
	auto born = [&](std::uint32_t id) {
		return id != none && fact_of[id] != none && lives.items[fact_of[id]].birth_at;
	};
	auto earliest = [&](std::uint32_t id) {
		return id == none ? far_before : days_of(lives.items[fact_of[id]].birth).lo;
	};
	auto birth_line = [&](std::uint32_t id) {
		return lives.items[fact_of[id]].line + lives.items[fact_of[id]].birth_at;
	};
	// above: the latest among all ancestors; beyond: among those of the parents, two
	// generations up and more, which a parent's own age does not already tell.
	std::vector<std::uint32_t> above(n, none), beyond(n, none);
	std::vector<std::uint8_t> marks(n, 0);
	auto raise_to = [&](std::uint32_t &a, std::uint32_t who) {
		if (who != none && earliest(who) > earliest(a))
			a = who;
	};
	std::vector<std::uint32_t> &parents = descent.parents;
	std::vector<std::uint32_t> ready;
	for (std::uint32_t i = 0; i < n; ++i)
		if (parents[i] == 0)
			ready.push_back(i);
	while (!ready.empty()) {
		std::uint32_t p = ready.back();
		ready.pop_back();
		bool has_birth = born(p);
		if (has_birth && beyond[p] != none && days_of(lives.items[fact_of[p]].birth).hi < earliest(beyond[p])) {
			marks[p] |= born_before;
			if (!(marks[p] & parent_born_before))
				add_kin_doubt(doubts_before_ancestor, p, beyond[p], birth_line(p), birth_line(beyond[p]));
		}
		for (std::uint32_t k = descent.start[p]; k < descent.start[p + 1]; ++k) {
			std::uint32_t c = descent.children[k];
			std::uint32_t was = beyond[c];
			raise_to(above[c], above[p]);
			raise_to(beyond[c], above[p]);
			if (has_birth)
				raise_to(above[c], p);
			if (beyond[c] != was)
				marks[c] &= static_cast<std::uint8_t>(~parent_born_before);
			if ((marks[p] & born_before) && beyond[p] == beyond[c])
				marks[c] |= parent_born_before;
			if (--parents[c] == 0)
				ready.push_back(c);
		}
	}
}
