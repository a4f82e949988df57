// Whole sites written into temporary folders: who is withheld, the pages' links, and what a
// second run writes.
#include "output.h"
#include "run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Living, dead, restricted and undated people in one family, with a GEDCOM 7.0 null pointer
// and a shared note.
constexpr std::string_view family = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n1 LANG German\n"
				     "0 @I1@ INDI\n1 NAME Karl /Alt/\n1 BIRT\n2 DATE 1850\n2 PLAC Oldtown\n"
				     "1 DEAT\n2 DATE 1920\n1 FAMS @F1@\n"
				     "0 @I2@ INDI\n1 NAME Lena /Jung/\n1 BIRT\n2 DATE 1990\n2 PLAC Secretville\n1 FAMC @F1@\n"
				     "0 @I3@ INDI\n1 NAME Rita /Geheim/\n1 RESN confidential\n1 DEAT Y\n1 FAMC @F1@\n"
				     "0 @I4@ INDI\n1 NAME Udo /Ohne/\n"
				     "0 @I5@ INDI\n1 NAME Åsa /Öberg/\n1 DEAT Y\n1 SNOTE @N1@\n1 FAMC @VOID@\n"
				     "1 OBJE\n2 FILE javascript:alert(1)\n1 OBJE\n2 FILE photos/asa.jpg\n"
				     "0 @N1@ SNOTE Shared <words>\n"
				     "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n1 CHIL @I3@\n1 MARR\n2 DATE 1875\n0 TRLR\n";

constexpr long long day_in_2026 = 1780000000;

struct site_dir {
	fs::path root;
	site_dir()
	{
		std::string pattern = (fs::temp_directory_path() / "site_test.XXXXXX").string();
		root = mkdtemp(pattern.data());
	}
	~site_dir() { fs::remove_all(root); }
	fs::path ged() const { return root / "family.ged"; }
	fs::path out() const { return root / "out"; }
};

void write_text(const fs::path &path, std::string_view text)
{
	std::ofstream(path, std::ios::binary) << text;
}

std::string read_text(const fs::path &path)
{
	std::ostringstream s;
	s << std::ifstream(path, std::ios::binary).rdbuf();
	return s.str();
}

site_result run(const site_dir &d, bool show_living = false)
{
	site_options options;
	std::string ged = d.ged().string();
	std::string out = d.out().string();
	options.ged_path = ged.c_str();
	options.out_path = out.c_str();
	options.now = day_in_2026;
	options.show_living = show_living;
	return make_site(options);
}

// Every file of the site with its bytes.
std::map<std::string, std::string> site_files(const fs::path &out)
{
	std::map<std::string, std::string> files;
	for (const auto &e : fs::recursive_directory_iterator(out))
		if (e.is_regular_file())
			files[fs::relative(e.path(), out).string()] = read_text(e.path());
	return files;
}

bool anywhere(const std::map<std::string, std::string> &files, std::string_view text)
{
	for (const auto &[path, bytes] : files)
		if (bytes.find(text) != std::string::npos || path.find(text) != std::string::npos)
			return true;
	return false;
}

TEST(SitePrivacy, WithheldPeopleAppearNowhere)
{
	struct row {
		bool show_living;
		std::vector<std::string_view> shown;
		std::vector<std::string_view> hidden;
	} rows[] = {
		{false, {"Karl", "Åsa"}, {"Lena", "Jung", "Secretville", "1990", "Rita", "Geheim", "Udo", "Ohne"}},
		{true, {"Karl", "Åsa", "Lena", "Secretville", "Udo"}, {"Rita", "Geheim"}},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.show_living);
		site_dir d;
		write_text(d.ged(), family);
		ASSERT_EQ(run(d, r.show_living).problem, nullptr);
		auto files = site_files(d.out());
		for (std::string_view name : r.shown)
			EXPECT_TRUE(anywhere(files, name)) << name;
		for (std::string_view name : r.hidden)
			EXPECT_FALSE(anywhere(files, name)) << name;
		EXPECT_EQ(files.count("people/I3.html"), 0u);
	}
}

TEST(SitePages, RelativesAreLinkedOrSaidToBePrivate)
{
	site_dir d;
	write_text(d.ged(), family);
	ASSERT_EQ(run(d).problem, nullptr);
	std::string karl = read_text(d.out() / "people/I1.html");
	EXPECT_NE(karl.find("<span class=\"private\">Private</span>"), std::string::npos);
	EXPECT_EQ(karl.find("people/I2.html"), std::string::npos);
	std::string asa = read_text(d.out() / "people/I5.html");
	EXPECT_NE(asa.find("<html lang=\"de\">"), std::string::npos);
	EXPECT_NE(asa.find("Shared &lt;words&gt;"), std::string::npos);
	EXPECT_NE(asa.find("<a href=\"../photos/asa.jpg\">"), std::string::npos);
	EXPECT_EQ(asa.find("href=\"javascript:"), std::string::npos);
	EXPECT_NE(asa.find("<input type=\"search\""), std::string::npos);
	std::string search = read_text(d.out() / "search/as.js");
	EXPECT_NE(search.find("\"asa oberg\",\"Åsa Öberg\""), std::string::npos);
}

TEST(SiteFiles, HostileCrossReferencesGiveOneFileInsideTheSite)
{
	site_dir d;
	std::string xref = "../../x/" + std::string(5000, 'Q') + "\x01";
	write_text(d.ged(), "0 HEAD\n0 @" + xref + "@ INDI\n1 NAME Evil /<b>One</b>/\n1 DEAT Y\n0 TRLR\n");
	ASSERT_EQ(run(d).problem, nullptr);
	auto files = site_files(d.out());
	std::size_t pages = 0;
	for (const auto &[path, bytes] : files)
		if (path.rfind("people/", 0) == 0) {
			++pages;
			EXPECT_LE(path.size(), 7u + 100u + 5u);
			EXPECT_EQ(bytes.find("<b>"), std::string::npos);
		}
	EXPECT_EQ(pages, 1u);
	EXPECT_EQ(std::distance(fs::directory_iterator(d.root), fs::directory_iterator()), 2);
}

TEST(SiteIndexes, ALetterOrAnEntryTooLargeForAPageGoesOnInParts)
{
	site_dir d;
	std::string ged = "0 HEAD\n";
	for (int i = 0; i < 3000; ++i)
		ged += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Person" + std::to_string(i) + std::string(150, 'x') +
		       " /Bigname/\n1 BIRT\n2 PLAC Bigtown\n1 DEAT Y\n";
	write_text(d.ged(), ged + "0 TRLR\n");
	ASSERT_EQ(run(d).problem, nullptr);
	for (std::string_view folder : {"places", "surnames"}) {
		SCOPED_TRACE(folder);
		std::size_t links = 0;
		for (const auto &e : fs::directory_iterator(d.out() / folder)) {
			std::string page = read_text(e.path());
			EXPECT_LT(page.size(), 500u * 1024);
			for (std::size_t at = page.find("../people/I"); at != std::string::npos; at = page.find("../people/I", at + 1))
				++links;
		}
		EXPECT_EQ(links, 3000u);
		EXPECT_TRUE(fs::exists(d.out() / folder / "B-2.html"));
	}
	EXPECT_NE(read_text(d.out() / "people/I7.html").find("<a href=\"../places/B.html#e"), std::string::npos);
}

TEST(SiteRuns, ASecondRunWritesNothingAndAnEditOnlyWhatShowsIt)
{
	site_dir d;
	write_text(d.ged(), family);
	ASSERT_EQ(run(d).problem, nullptr);
	auto first = site_files(d.out());
	EXPECT_EQ(run(d).changed, 0);
	std::string edited(family);
	edited.replace(edited.find("Åsa /Öberg/"), 11, "Åsa /Berg/");
	write_text(d.ged(), edited);
	site_result again = run(d);
	auto second = site_files(d.out());
	std::set<std::string> changed;
	for (const auto &[path, bytes] : second)
		if (!first.count(path) || first[path] != bytes)
			changed.insert(path);
	EXPECT_TRUE(changed.count("people/I5.html"));
	EXPECT_FALSE(changed.count("people/I1.html"));
	EXPECT_FALSE(second.count("surnames/-c3-96.html"));
	EXPECT_EQ(again.changed, static_cast<long>(changed.size()));
	EXPECT_GE(again.removed, 1);
}

TEST(SiteRuns, AFolderOfOtherFilesIsRefusedAndLeftAlone)
{
	site_dir d;
	write_text(d.ged(), family);
	fs::create_directory(d.out());
	write_text(d.out() / "mine.html", "my own page");
	EXPECT_STREQ(run(d).problem, "is not a site written by lineagesite");
	EXPECT_EQ(read_text(d.out() / "mine.html"), "my own page");
	EXPECT_EQ(std::distance(fs::directory_iterator(d.out()), fs::directory_iterator()), 1);
}

TEST(SiteRuns, PlantedLinksAreReplacedNotWrittenThrough)
{
	site_dir d;
	write_text(d.ged(), family);
	ASSERT_EQ(run(d).problem, nullptr);
	write_text(d.root / "outside.txt", "keep");
	fs::remove(d.out() / "people/I1.html");
	fs::create_symlink(d.root / "outside.txt", d.out() / "people/I1.html");
	fs::remove_all(d.out() / "places");
	fs::create_directory_symlink(d.root, d.out() / "places");
	ASSERT_EQ(run(d).problem, nullptr);
	EXPECT_EQ(read_text(d.root / "outside.txt"), "keep");
	EXPECT_FALSE(fs::is_symlink(d.out() / "people/I1.html"));
	EXPECT_FALSE(fs::is_symlink(d.out() / "places"));
	EXPECT_FALSE(fs::exists(d.root / "index.html"));
	EXPECT_NE(read_text(d.out() / "people/I1.html").find("Karl Alt"), std::string::npos);
}

TEST(SiteRuns, AManifestCannotNameFilesOutsideTheSite)
{
	site_dir d;
	write_text(d.ged(), family);
	ASSERT_EQ(run(d).problem, nullptr);
	write_text(d.root / "victim.txt", "keep");
	std::string manifest = read_text(d.out() / std::string(manifest_name));
	write_text(d.out() / std::string(manifest_name), manifest + "../victim.txt\npeople/../../victim.txt\n");
	ASSERT_EQ(run(d).problem, nullptr);
	EXPECT_TRUE(fs::exists(d.root / "victim.txt"));
}

} // namespace
