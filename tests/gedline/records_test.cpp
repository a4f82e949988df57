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

test_slot &slot_of(record_table<test_slot> &t, std::uint64_t key)
{
	return probe(t, key, filled, [key](const test_slot &s) { return s.key == key; });
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

TEST(RecordTable, EveryKeyIsFoundAgainThoughHomesCollideAndWrap)
{
	record_table<test_slot> t;
	ASSERT_TRUE(make_table(t, 4));
	// Forty keys in 64 slots would not do; twelve in 16 make runs that pass the last slot.
	for (int id = 1; id <= 12; ++id) {
		std::uint64_t key = xref_hash("I" + std::to_string(id), false);
		test_slot &s = slot_of(t, key);
		ASSERT_FALSE(filled(s));
		s = {key, id};
	}
	for (int id = 1; id <= 12; ++id) {
		SCOPED_TRACE(id);
		EXPECT_EQ(slot_of(t, xref_hash("I" + std::to_string(id), false)).id, id);
	}
	EXPECT_FALSE(filled(slot_of(t, xref_hash("I13", false))));
}
