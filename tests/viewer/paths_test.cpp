// The tree command's quoting and the picture lookup.
#include <gtest/gtest.h>

#include "personview.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(TreeCommand, QuotesPathAndNumberText)
{
	EXPECT_EQ(tree_command("temp.ged", "0001"), "./tree 'temp.ged' '0001' &");
	EXPECT_EQ(tree_command("my family.ged", "1;rm -rf ~"), "./tree 'my family.ged' '1;rm -rf ~' &");
	EXPECT_EQ(tree_command("a$(id)`id`\".ged", "0\n1"), "./tree 'a$(id)`id`\".ged' '0\n1' &");
}

TEST(TreeCommand, EmbeddedQuoteIsClosedEscapedAndReopened)
{
	EXPECT_EQ(tree_command("O'Neil.ged", "1'; touch x; '"), "./tree 'O'\\''Neil.ged' '1'\\''; touch x; '\\''' &");
}

TEST(TreeCommand, ShellReceivesBothTextsUnchanged)
{
	const std::string path = "it's $HOME `x` \\ \" & ; |.ged";
	const std::string number = "1'$(touch pwned)'";
	std::string command = tree_command(path, number);
	command.replace(0, 6, "printf '%s|%s'");
	command.resize(command.size() - 2);
	FILE *sh = popen(command.c_str(), "r");
	ASSERT_NE(sh, nullptr);
	char got[512] = {};
	std::size_t n = std::fread(got, 1, sizeof got - 1, sh);
	pclose(sh);
	EXPECT_EQ(std::string(got, n), path + "|" + number);
	EXPECT_NE(access("pwned", F_OK), 0);
}

TEST(TreeCommand, LongTextsAreKeptWhole)
{
	std::string path(300, 'p');
	std::string number(255, '7');
	EXPECT_EQ(tree_command(path, number), "./tree '" + path + "' '" + number + "' &");
}

class PictureLookup : public ::testing::Test {
protected:
	void SetUp() override
	{
		char tmpl[] = "/tmp/pictureXXXXXX";
		ASSERT_NE(mkdtemp(tmpl), nullptr);
		root = tmpl;
		ASSERT_EQ(system(("mkdir " + root + "/cwd " + root + "/one " + root + "/two").c_str()), 0);
		old_cwd = get_current_dir_name();
		ASSERT_EQ(chdir((root + "/cwd").c_str()), 0);
	}
	void TearDown() override
	{
		EXPECT_EQ(chdir(old_cwd), 0);
		std::free(old_cwd);
		EXPECT_EQ(system(("rm -rf " + root).c_str()), 0);
	}
	void touch(const std::string &path) { std::ofstream(path) << "x"; }
	std::string root;
	char *old_cwd = nullptr;
};

TEST_F(PictureLookup, WorkingDirectoryCopyWins)
{
	touch("bg.xpm");
	std::string one = root + "/one";
	touch(one + "/bg.xpm");
	const char *dirs[] = {one.c_str()};
	picture_path buf;
	EXPECT_STREQ(find_picture("bg.xpm", dirs, buf), "bg.xpm");
}

TEST_F(PictureLookup, FirstDirectoryHoldingItIsUsed)
{
	touch(root + "/two/close.xpm");
	std::string one = root + "/one";
	std::string two = root + "/two";
	const char *dirs[] = {one.c_str(), two.c_str()};
	picture_path buf;
	EXPECT_EQ(std::string(find_picture("close.xpm", dirs, buf)), two + "/close.xpm");
	touch(one + "/close.xpm");
	EXPECT_EQ(std::string(find_picture("close.xpm", dirs, buf)), one + "/close.xpm");
}

TEST_F(PictureLookup, MissingEverywhereGivesTheNameBack)
{
	std::string one = root + "/one";
	const char *dirs[] = {one.c_str()};
	picture_path buf;
	EXPECT_STREQ(find_picture("pari.xpm", dirs, buf), "pari.xpm");
}

TEST(TreeCommand, LineagetreeIsStartedByItsQuotedPath)
{
	EXPECT_EQ(tree_command("f.ged", "0001", "/opt/my tools/lineagetree"),
		"'/opt/my tools/lineagetree' 'f.ged' '0001' &");
	EXPECT_EQ(lineagetree_beside("personview").substr(0, 1), "/");  // the kernel knows better
}

TEST_F(PictureLookup, OnlyAnExecutableFileCountsAsTree)
{
	EXPECT_FALSE(working_directory_has_tree());
	ASSERT_EQ(mkdir("tree", 0755), 0);  // a build folder has a folder of that name
	EXPECT_FALSE(working_directory_has_tree());
	ASSERT_EQ(rmdir("tree"), 0);
	touch("tree");
	EXPECT_FALSE(working_directory_has_tree());
	ASSERT_EQ(chmod("tree", 0755), 0);
	EXPECT_TRUE(working_directory_has_tree());
}
