// The doubt of a birth before an ancestor's: the latest earliest birth among each person's
// ancestors, carried down the lines of descent from the oldest generation in one pass
// (people who are their own ancestors are never reached, and have their own finding).
#include "doubts.h"

#include <vector>

namespace {

constexpr std::uint32_t none = ~std::uint32_t{0};

// Among a person's ancestors, the one whose birth can be the latest, and that birth's start.
struct latest_ancestor {
	std::int64_t lo = far_before;
	std::uint32_t who = none;
};

void raise_to(latest_ancestor &a, std::int64_t lo, std::uint32_t who)
{
	if (who != none && lo > a.lo)
		a = {lo, who};
}

} // namespace

void ancestor_doubts(const std::vector<std::uint32_t> &fact_of,
		     std::vector<std::pair<std::uint32_t, std::uint32_t>> &descent)
{
	std::size_t n = fact_of.size();
	auto birth = [&](std::uint32_t id, std::int64_t &lo, std::int64_t &hi) {
		if (fact_of[id] == none || !lives.items[fact_of[id]].birth_at)
			return false;
		lo = lives.items[fact_of[id]].birth.lo;
		hi = lives.items[fact_of[id]].birth.hi;
		return true;
	};
	// The children of each person, by counting, and how many parents each has.
	std::vector<std::uint32_t> start(n + 1, 0), parents(n, 0), children(descent.size());
	for (const auto &[p, c] : descent)
		++start[p + 1], ++parents[c];
	for (std::size_t i = 0; i < n; ++i)
		start[i + 1] += start[i];
	std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
	for (const auto &[p, c] : descent)
		children[fill[p]++] = c;
	descent = {};
	fill = {};
	// above: the latest among all ancestors; beyond: among those of the parents, two
	// generations up and more, which a parent's own age does not already tell.
	std::vector<latest_ancestor> above(n), beyond(n);
	std::vector<std::uint32_t> ready;
	for (std::uint32_t i = 0; i < n; ++i)
		if (parents[i] == 0)
			ready.push_back(i);
	while (!ready.empty()) {
		std::uint32_t p = ready.back();
		ready.pop_back();
		std::int64_t lo = 0, hi = 0;
		bool born = birth(p, lo, hi);
		for (std::uint32_t k = start[p]; k < start[p + 1]; ++k) {
			std::uint32_t c = children[k];
			raise_to(above[c], above[p].lo, above[p].who);
			raise_to(beyond[c], above[p].lo, above[p].who);
			if (born)
				raise_to(above[c], lo, p);
			if (--parents[c] == 0)
				ready.push_back(c);
		}
		if (born && beyond[p].who != none && hi < beyond[p].lo)
			add_doubt(doubts_before_ancestor, lives.items[fact_of[p]].line + lives.items[fact_of[p]].birth_at,
				  lives.items[fact_of[beyond[p].who]].line + lives.items[fact_of[beyond[p].who]].birth_at,
				  beyond[p].who);
	}
}
