// Every individual of every real sample through the text listing and the window's layout:
// each found by its cross-reference, no fault, and every line of the listing five fields.
#include <gtest/gtest.h>

#include "lineagetree.h"

#include <algorithm>
#include <dirent.h>
#include <string>

namespace {

// The listing of a view: it begins with the person, and every line has five fields.
void check_listing(const family_view &view)
{
	char *text = nullptr;
	std::size_t size = 0;
	FILE *out = open_memstream(&text, &size);
	ASSERT_TRUE(print_view(view, out));
	std::fclose(out);
	std::string listing(text, size);
	std::free(text);
	ASSERT_EQ(listing.compare(0, 7, "person\t"), 0);
	for (std::size_t line = 0; line < listing.size(); line = listing.find('\n', line) + 1) {
		std::size_t end = listing.find('\n', line);
		ASSERT_NE(end, std::string::npos);
		std::string row = listing.substr(line, end - line);
		ASSERT_EQ(std::count(row.begin(), row.end(), '\t'), 4) << row;
	}
}

} // namespace

TEST(SampleSweep, EveryIndividualOfEverySample)
{
	DIR *dir = opendir(LINEAGE_SAMPLES_DIR);
	if (!dir)
		GTEST_SKIP() << "no samples folder at " << LINEAGE_SAMPLES_DIR;
	int people = 0;
	while (dirent *e = readdir(dir)) {
		std::string name = e->d_name;
		if (name.size() < 4 || name.substr(name.size() - 4) != ".ged")
			continue;
		SCOPED_TRACE(name);
		opened_file file;
		record_index index;
		ASSERT_TRUE(open_tree_file((std::string(LINEAGE_SAMPLES_DIR) + "/" + name).c_str(), file));
		ASSERT_TRUE(index_records(file.source, index));
		std::vector<std::size_t> individuals;
		each_record_line(index.source, [&](std::size_t at, const ged_line &l) {
			if (l.tag == "INDI" && !l.xref.empty()) {
				individuals.push_back(at);
				// Found there, or at an earlier record of the same cross-reference: thousands
				// of keys meet in the table's slots, and none may push another out.
				ASSERT_LE(find_record(index, l.xref, "INDI"), at) << l.xref;
			}
		});
		for (std::size_t at : individuals) {
			family_view view = view_of(index, at);
			check_listing(view);
			if (HasFatalFailure())
				return;
			layout_view(view);
			people++;
		}
	}
	closedir(dir);
	EXPECT_GT(people, 10000);
}
