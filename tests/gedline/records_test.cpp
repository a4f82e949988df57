// The record table: which cross-references share a hash, and the probe's answers.
#include <gtest/gtest.h>

#include "records.h"

#include <string>

namespace {

struct hash_case {
	const char *a;
	const char *b;
	bool fold_case;
	bool same;
};

struct test_slot {
	std::uint64_t key;
	int id;
};

bool filled(const test_slot &s)
{
	return s.id != 0;
}

// Records whose hashes are equal, told apart by their numbers.
test_slot &slot_of(record_table<test_slot> &t, std::uint64_t hash, int id)
{
	return probe(t, hash, filled, [id](const test_slot &s) { return s.id == id; });
}

} // namespace

TEST(RecordHash, CaseCountsOnlyWhereTheTableSaysSo)
{
	const hash_case cases[] = {
		{"I1", "I1", false, true},
		{"I1", "i1", false, false},
		{"I1", "i1", true, true},
		{"SOURCE_OF_LONG_NAME", "source_of_long_name", true, true},
		{"SOURCE_OF_LONG_NAME", "SOURCE_OF_LONG_NAMF", true, false},
		// Only ASCII letters fold: the bytes of é and É stay apart, as do @ and `.
		{"\xc3\xa9", "\xc3\x89", true, false},
		{"A@", "A`", true, false},
		{"I1", "I1 ", false, false},
		{"", "", true, true},
	};
	for (const hash_case &c : cases) {
		SCOPED_TRACE(std::string(c.a) + " / " + c.b);
		EXPECT_EQ(xref_hash(c.a, c.fold_case) == xref_hash(c.b, c.fold_case), c.same);
	}
}

// A hash whose home in a table of 16 slots is `home`: the golden-ratio product undone.
std::uint64_t hash_at_home(std::uint64_t home)
{
	constexpr std::uint64_t golden = 0x9E3779B97F4A7C15ULL;
	std::uint64_t inverse = golden;
	for (int i = 0; i < 5; ++i)
		inverse *= 2 - golden * inverse;
	return (home << 60) * inverse;
}

TEST(RecordTable, KeysSharingTheLastHomeWrapToTheFirstSlotsAndAreFoundThere)
{
	record_table<test_slot> t;
	ASSERT_TRUE(make_table(t, 4));
	const std::uint64_t homes[] = {15, 15, 15, 0, 14};
	int id = 0;
	for (std::uint64_t home : homes) {
		ASSERT_EQ(home_of(t, hash_at_home(home)), home);
		test_slot &s = slot_of(t, hash_at_home(home), ++id);
		ASSERT_FALSE(filled(s));
		s = {hash_at_home(home), id};
	}
	// Slots 15, 0, 1, then 2 for the one at home 0, and 14.
	const std::size_t at[] = {15, 0, 1, 2, 14};
	for (int k = 0; k < 5; ++k) {
		SCOPED_TRACE(k);
		EXPECT_EQ(t.slots[at[k]].id, k + 1);
		EXPECT_EQ(&slot_of(t, hash_at_home(homes[k]), k + 1), &t.slots[at[k]]);
	}
	EXPECT_EQ(&slot_of(t, hash_at_home(15), 99), &t.slots[3]);
}
