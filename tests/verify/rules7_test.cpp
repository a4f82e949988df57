// Tests of the GEDCOM 7.0 rules: the official example files, a file of every structure type, and each fault alone.
#include <gtest/gtest.h>

#include "memfile.h"
#include "rules7.h"
#include "rules7_internal.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace rules7;

namespace {

struct seen_finding {
	std::uint64_t line;
	kind7 kind;
	std::string text;
};

struct run7 {
	std::vector<seen_finding> findings;
	std::vector<std::pair<std::string, std::string>> pointers; // target, record tag
	std::map<std::string, std::string> records;		    // xref, tag
	std::set<std::string> types;
};

std::string message_of(const finding7 &f)
{
	return written_by([&f](FILE *out) { rules7_message(f, out); });
}

void keep_finding(void *context, const finding7 &f)
{
	static_cast<run7 *>(context)->findings.push_back({f.line, f.kind, message_of(f)});
}

void keep_pointer(void *context, const pointer7 &p)
{
	static_cast<run7 *>(context)->pointers.emplace_back(std::string(p.target), std::string(p.record_tag));
}

// Cut the way a line grammar would: level, optional @xref@, tag, the rest.
line7 cut(std::uint64_t number, std::string_view text)
{
	line7 l{number, 0, {}, {}, {}};
	std::size_t sp = text.find(' ');
	for (char c : text.substr(0, sp))
		l.level = l.level * 10 + static_cast<unsigned>(c - '0');
	text = sp == std::string_view::npos ? std::string_view{} : text.substr(sp + 1);
	if (text.starts_with('@') && text.find("@ ") != std::string_view::npos) {
		std::size_t end = text.find("@ ");
		l.xref = text.substr(1, end - 1);
		text.remove_prefix(end + 2);
	}
	sp = text.find(' ');
	l.tag = text.substr(0, sp);
	l.value = sp == std::string_view::npos ? std::string_view{} : text.substr(sp + 1);
	return l;
}

run7 check(std::string text)
{
	if (text.starts_with("\xEF\xBB\xBF"))
		text.erase(0, 3);
	run7 r;
	checker7 c;
	rules7_start(c, keep_finding, keep_pointer, &r);
	std::istringstream in(text);
	std::string line;
	for (std::uint64_t n = 1; std::getline(in, line); ++n) {
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		line7 l = cut(n, line);
		rules7_line(c, l);
		if (l.level == 0 && !l.xref.empty())
			r.records[std::string(l.xref)] = std::string(l.tag);
		r.types.insert(l.tag == "CONT" ? "CONT" : std::string(structure_name7(rules7_open_type(c))));
	}
	rules7_finish(c);
	return r;
}

std::string read_file(const std::filesystem::path &path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string all_findings(const run7 &r)
{
	std::string all;
	for (const seen_finding &f : r.findings)
		all += std::to_string(f.line) + ": " + f.text + "\n";
	return all;
}

// Every pointer names a record of the file, of the kind its structure points to.
void expect_pointers_land(const run7 &r)
{
	for (const auto &[target, tag] : r.pointers) {
		SCOPED_TRACE(target);
		auto found = r.records.find(target);
		ASSERT_NE(found, r.records.end());
		EXPECT_EQ(found->second, tag);
	}
}

} // namespace

TEST(Rules7Files, EveryOfficialSevenFileIsClean)
{
	std::filesystem::path folder = std::filesystem::path(LINEAGE_SAMPLES) / "gedcom7code" / "7";
	int files = 0;
	for (const auto &entry : std::filesystem::directory_iterator(folder)) {
		SCOPED_TRACE(entry.path().filename().string());
		run7 r = check(read_file(entry.path()));
		EXPECT_EQ(all_findings(r), "");
		expect_pointers_land(r);
		++files;
	}
	EXPECT_EQ(files, 25);
}

// A file that uses every structure type of the tables at least once, each where it belongs.
TEST(Rules7Files, AFileOfEveryStructureTypeIsClean)
{
	run7 r = check(read_file(std::filesystem::path(RULES7_TEST_DATA) / "every-structure-7.ged"));
	EXPECT_EQ(all_findings(r), "");
	expect_pointers_land(r);
	std::string unused;
	for (int type = 1; !structure_name7(type).empty(); ++type)
		if (!r.types.contains(std::string(structure_name7(type))))
			unused += std::string(structure_name7(type)) + " ";
	EXPECT_EQ(unused, "");
}
