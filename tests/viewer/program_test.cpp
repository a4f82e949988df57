// personview end to end under Xvfb: the window, its fields, and both buttons clicked with xdotool.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "x_server.h"

namespace {

using steady = std::chrono::steady_clock;
constexpr auto patience = std::chrono::seconds(20);

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

int ignore_x_error(Display *, XErrorEvent *)
{
	return 0;
}

class ViewerProgram : public ::testing::Test {
protected:
	void SetUp() override
	{
		const char *name = std::getenv("DISPLAY");
		if (!name || !*name)
			FAIL() << "no display: run the tests through scripts/test";
		dpy = wait_for_x_server();
		ASSERT_NE(dpy, nullptr) << "the X server did not come back";
		// The viewer's windows may vanish between a query and the next request.
		XSetErrorHandler(ignore_x_error);
		char tmpl[] = "/tmp/personviewXXXXXX";
		ASSERT_NE(mkdtemp(tmpl), nullptr);
		dir = tmpl;
		write_file("tree", "#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$2\" >> tree.out\n", 0755);
	}

	void TearDown() override
	{
		if (pid > 0) {
			kill(pid, SIGKILL);
			waitpid(pid, nullptr, 0);
		}
		if (dpy)
			XCloseDisplay(dpy);
		if (!dir.empty()) {
			EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
		}
	}

	void write_file(const std::string &name, const std::string &text, mode_t mode = 0644)
	{
		std::string path = dir + "/" + name;
		std::ofstream(path, std::ios::binary) << text;
		ASSERT_EQ(chmod(path.c_str(), mode), 0);
	}

	std::string read_file(const std::string &name)
	{
		std::ifstream in(dir + "/" + name, std::ios::binary);
		std::stringstream text;
		text << in.rdbuf();
		return text.str();
	}

	bool exists(const std::string &name) { return access((dir + "/" + name).c_str(), F_OK) == 0; }

	// Without CAP_DAC_OVERRIDE even root cannot open a read-only file for writing.
	void start(const std::vector<std::string> &args, bool without_override = false)
	{
		pid = fork();
		ASSERT_GE(pid, 0);
		if (pid == 0) {
			if (chdir(dir.c_str()) != 0)
				_exit(126);
			int out = open("stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
			if (out < 0 || dup2(out, 1) < 0)
				_exit(126);
			if (without_override)
				prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
			std::vector<char *> argv{const_cast<char *>(PERSONVIEW_BINARY)};
			for (const std::string &a : args)
				argv.push_back(const_cast<char *>(a.c_str()));
			argv.push_back(nullptr);
			execv(argv[0], argv.data());
			_exit(127);
		}
	}

	static bool viewable(Display *d, Window w)
	{
		XWindowAttributes a;
		return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
	}

	// The viewer's window once it and all its child windows are mapped, or 0.
	Window find_window()
	{
		Window root = DefaultRootWindow(dpy), parent_w, *kids = nullptr;
		unsigned n = 0;
		Window found = 0;
		if (!XQueryTree(dpy, root, &root, &parent_w, &kids, &n))
			return 0;
		for (unsigned i = 0; i < n && !found; i++) {
			char *name = nullptr;
			if (XFetchName(dpy, kids[i], &name) && name) {
				if (std::string(name) == "GEDCOM Individual")
					found = kids[i];
				XFree(name);
			}
		}
		if (kids)
			XFree(kids);
		if (!found || !viewable(dpy, found))
			return 0;
		Window *inner = nullptr;
		if (!XQueryTree(dpy, found, &root, &parent_w, &inner, &n))
			return 0;
		bool all = n > 0;
		for (unsigned i = 0; i < n; i++)
			all = all && viewable(dpy, inner[i]);
		if (inner)
			XFree(inner);
		return all ? found : 0;
	}

	Window wait_for_window()
	{
		auto until = steady::now() + patience;
		while (steady::now() < until) {
			if (Window w = find_window())
				return w;
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
		}
		return 0;
	}

	unsigned long pixel(Window w, int x, int y)
	{
		XImage *img = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
		if (!img)
			return ~0ul;
		unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
		XDestroyImage(img);
		return p;
	}

	// The pixel once the first full paint has covered the grey the window is created with.
	unsigned long painted_pixel(Window w, int x, int y)
	{
		auto until = steady::now() + patience;
		unsigned long p = pixel(w, x, y);
		while ((p == grey || p == ~0ul) && steady::now() < until) {
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
			p = pixel(w, x, y);
		}
		return p;
	}

	void click(Window w, int x, int y)
	{
		std::string command = "xdotool mousemove --window " + std::to_string(w) + " " +
			std::to_string(x) + " " + std::to_string(y) + " click 1";
		ASSERT_EQ(std::system(command.c_str()), 0);
	}

	int wait_exit() { return ::wait_exit(pid, patience); }

	std::string wait_for_tree()
	{
		auto until = steady::now() + patience;
		while (steady::now() < until) {
			std::string text = read_file("tree.out");
			if (!text.empty() && text.back() == '\n')
				return text;
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
		}
		return read_file("tree.out");
	}

	Display *dpy = nullptr;
	std::string dir;
	pid_t pid = 0;
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
	EXPECT_EQ(painted_pixel(w, close_x, close_y), 0xC62828u);
	EXPECT_EQ(painted_pixel(w, name_x, name_y), white);
	EXPECT_EQ(painted_pixel(w, death_place_x, death_place_y), white);

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
	EXPECT_EQ(painted_pixel(w, name_x, name_y), white);
	EXPECT_NE(painted_pixel(w, death_place_x, death_place_y), white);
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
	EXPECT_EQ(painted_pixel(w, name_x, name_y), white);
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
	EXPECT_EQ(painted_pixel(w, 60, 39), 0u);
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
	EXPECT_EQ(painted_pixel(w, close_x, close_y), 0x00FF00u);
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
	EXPECT_EQ(painted_pixel(w, name_x, name_y), white);
	EXPECT_EQ(painted_pixel(w, death_place_x, death_place_y), white);
	click(w, tree_x, tree_y);
	EXPECT_EQ(wait_for_tree(), "example.ged|0001\n");
	click(w, close_x, close_y);
	EXPECT_EQ(wait_exit(), 0);
	std::string console = read_file("stdout");
	EXPECT_EQ(console.find(std::string(PERSONVIEW_BINARY) + " example.ged 1\ncheck '0001' = '1'\n"), 0u);
}
#endif
