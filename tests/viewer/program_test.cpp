// personview end to end under Xvfb: the window, its fields, and both buttons clicked with xdotool.
#include "child_program.h"

#include <X11/Xutil.h>

namespace {

// Points inside the window: a red part of the close picture, the far ends of the name and
// death place entries.
constexpr int close_x = 15, close_y = 28;
constexpr int tree_x = 15, tree_y = 60;
constexpr int name_x = 320, name_y = 30;
constexpr int death_place_x = 420, death_place_y = 155;

const std::string converter_file =
	"0 HEAD\n1 SOUR HALVORN\n2 NAME Flatged\n2 VERS 0.1.0\n1 DEST ANSTFILE\n1 CHAR ANSI\n"
	"1 FILE family.ged\n1 GEDC\n2 VERS 5.5\n2 FORM LINEAGE-LINKED\n"
	"0 @I0001@ INDI\n1 NAME John /Smith/\n1 SEX M\n1 BIRT\n2 DATE 12 MAR 1900\n2 PLAC London\n"
	"1 DEAT\n2 DATE 5 JUN 1970\n2 PLAC Leeds\n1 BURI\n2 PLAC Leeds\n1 OCCU Carpenter\n"
	"1 FAMC @F0001@\n1 FAMS @F0002@\n"
	"0 @I0002@ INDI\n1 NAME Mary /Smith/\n1 SEX F\n1 BIRT\n2 DATE 1930\n1 FAMC @F0002@\n"
	"0 @F0001@ FAM\n1 CHIL @I0001@\n0 @F0002@ FAM\n1 HUSB @I0001@\n1 CHIL @I0002@\n0 TRLR\n";

class ViewerProgram : public ChildProgram {
protected:
	void SetUp() override
	{
		ChildProgram::SetUp();
		if (!HasFatalFailure())
			write_file("tree", "#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$2\" >> tree.out\n", 0755);
	}

	void start(const std::vector<std::string> &args, bool without_override = false)
	{
		ChildProgram::start(PERSONVIEW_BINARY, args, without_override);
	}

	Window wait_for_window() { return wait_for("GEDCOM Individual"); }

	unsigned long pixel(Window w, int x, int y)
	{
		XImage *img = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
		if (!img)
			return ~0ul;
		unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
		XDestroyImage(img);
		return p;
	}

	// The pixel once the paint has reached it: a window is first grey, then its background,
	// then its widgets, and a loaded machine may be caught between any two. The last pixel
	// read when `want` never comes.
	unsigned long painted_pixel(Window w, int x, int y, unsigned long want)
	{
		auto until = std::chrono::steady_clock::now() + patience;
		unsigned long p = pixel(w, x, y);
		while (p != want && std::chrono::steady_clock::now() < until) {
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
			p = pixel(w, x, y);
		}
		return p;
	}

	std::string wait_for_tree()
	{
		auto until = std::chrono::steady_clock::now() + patience;
		while (std::chrono::steady_clock::now() < until) {
			std::string text = read_file("tree.out");
			if (!text.empty() && text.back() == '\n')
				return text;
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
		}
		return read_file("tree.out");
	}
};

std::string sub(const char *word)
{
	return std::string("SUB individual data read '") + word + "'\n";
}

} // namespace

TEST_F(ViewerProgram, ConverterFileShowsPersonAndStartsTree)
{
	write_file("family.ged", converter_file);
	start({"family.ged", "1"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	EXPECT_EQ(painted_pixel(w, close_x, close_y, 0xC62828u), 0xC62828u);
	EXPECT_EQ(painted_pixel(w, name_x, name_y, white), white);
	EXPECT_EQ(painted_pixel(w, death_place_x, death_place_y, white), white);

	click(w, tree_x, tree_y);
	EXPECT_EQ(wait_for_tree(), "family.ged|0001\n");
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	EXPECT_EQ(read_file("stdout"), std::string(PERSONVIEW_BINARY) + " family.ged 1\n" +
		"check '0001' = '1'\n" + sub("2") + sub("DATE") + sub("12") + sub("MAR") + sub("1900") +
		sub("2") + sub("PLAC") + sub("London") + sub("1") + sub("2") + sub("DATE") + sub("5") +
		sub("JUN") + sub("1970") + sub("2") + sub("PLAC") + sub("Leeds") + sub("1"));
}

TEST_F(ViewerProgram, PersonWithoutDeathHasNoDeathFields)
{
	write_file("family.ged", converter_file);
	start({"family.ged", "02"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	EXPECT_EQ(painted_pixel(w, name_x, name_y, white), white);
	// Painted with the name's, the field is not there.
	EXPECT_NE(pixel(w, death_place_x, death_place_y), white);
	click(w, tree_x, tree_y);
	EXPECT_EQ(wait_for_tree(), "family.ged|0002\n");
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	EXPECT_EQ(read_file("stdout"), std::string(PERSONVIEW_BINARY) + " family.ged 02\n" +
		"check '0001' = '02'\ncheck '0002' = '02'\n" + sub("2") + sub("DATE") + sub("1930") + sub("1"));
}

// The last record checked is someone else's: the tree button starts nothing.
TEST_F(ViewerProgram, TreeButtonStartsNothingWhenNoOneHasTheNumber)
{
	write_file("family.ged", converter_file);
	start({"family.ged", "3"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	click(w, tree_x, tree_y);
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	std::this_thread::sleep_for(std::chrono::milliseconds(300));
	EXPECT_FALSE(exists("tree.out"));
}

TEST_F(ViewerProgram, ShellMetacharactersReachTreeAsText)
{
	const std::string xref = "@I7';touch${IFS}pwned;'$(touch${IFS}pwned)`touch${IFS}pwned`|touch${IFS}pwned&@";
	const std::string number = xref.substr(2, xref.size() - 3);
	write_file("it's; touch pwned.ged", "0 HEAD\n1 SOUR X\n0 " + xref + " INDI\n1 SEX F\n0 TRLR\n");
	start({"it's; touch pwned.ged", "7"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	click(w, tree_x, tree_y);
	EXPECT_EQ(wait_for_tree(), "it's; touch pwned.ged|" + number + "\n");
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	EXPECT_FALSE(exists("pwned"));
}

TEST_F(ViewerProgram, ReadOnlyFileIsShown)
{
	write_file("family.ged", converter_file, 0444);
	start({"family.ged", "1"}, true);
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	EXPECT_EQ(painted_pixel(w, name_x, name_y, white), white);
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	EXPECT_NE(read_file("stdout").find("check '0001' = '1'\n"), std::string::npos);
}

TEST_F(ViewerProgram, FileEndingBeforeTrailerShowsReadError)
{
	write_file("cut.ged", "0 HEAD\n1 SOUR X\n0 @I0001@ INDI\n1 SEX M\n");
	start({"cut.ged", "4"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	// The box of the "File read error!" label, whose window begins at (48, 39).
	EXPECT_EQ(painted_pixel(w, 60, 39, 0u), 0u);
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	EXPECT_EQ(read_file("stdout"), std::string(PERSONVIEW_BINARY) + " cut.ged 4\ncheck '0001' = '4'\nNULL found!");
}

TEST_F(ViewerProgram, PictureInWorkingDirectoryIsPreferred)
{
	std::string green = "/* XPM */\nstatic char *g[] = {\n\"20 20 1 1\",\n\". c #00FF00\",\n";
	for (int i = 0; i < 20; i++)
		green += "\"....................\"" + std::string(i < 19 ? ",\n" : "\n};\n");
	write_file("close.xpm", green);
	write_file("family.ged", converter_file);
	start({"family.ged", "9"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	EXPECT_EQ(painted_pixel(w, close_x, close_y, 0x00FF00u), 0x00FF00u);
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
}

#ifdef FLATGED_BINARY
TEST_F(ViewerProgram, ConverterOutputOfTheExampleIsShown)
{
	ASSERT_EQ(std::system(("cp '" EXAMPLE_IDATA "' '" + dir + "/idata.in' && cd '" + dir + "' && '"
		FLATGED_BINARY "' example.ged > flatged.out").c_str()), 0);
	start({"example.ged", "1"});
	Window w = wait_for_window();
	ASSERT_NE(w, 0u);
	EXPECT_EQ(painted_pixel(w, name_x, name_y, white), white);
	EXPECT_EQ(painted_pixel(w, death_place_x, death_place_y, white), white);
	click(w, tree_x, tree_y);
	EXPECT_EQ(wait_for_tree(), "example.ged|0001\n");
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	std::string console = read_file("stdout");
	EXPECT_EQ(console.find(std::string(PERSONVIEW_BINARY) + " example.ged 1\ncheck '0001' = '1'\n"), 0u);
}
#endif
