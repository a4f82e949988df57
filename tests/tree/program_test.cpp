// lineagetree and personview as programs under Xvfb: the close button's exit status, and the
// viewer's tree button opening the family tree beside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>

#include "x_server.h"

namespace {

int ignore_x_error(Display *, XErrorEvent *)
{
	return 0;
}

class TreeProgram : public ::testing::Test {
protected:
	void SetUp() override
	{
		if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))
			FAIL() << "no display: run the tests through scripts/test";
		dpy = wait_for_x_server();
		ASSERT_NE(dpy, nullptr) << "the X server did not come back";
		XSetErrorHandler(ignore_x_error);
		char tmpl[] = "/tmp/lineagetreeXXXXXX";
		ASSERT_NE(mkdtemp(tmpl), nullptr);
		dir = tmpl;
		ASSERT_EQ(std::system(("cp " TREE_GOLDEN_DIR "/family/in/family.ged " + dir).c_str()), 0);
	}
	void TearDown() override
	{
		if (pid > 0) {
			kill(pid, SIGKILL);
			waitpid(pid, nullptr, 0);
		}
		if (dpy)
			XCloseDisplay(dpy);
		EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
	}

	void start(const char *program, const std::vector<const char *> &args)
	{
		pid = fork();
		ASSERT_GE(pid, 0);
		if (pid == 0) {
			if (chdir(dir.c_str()) != 0 || !freopen("/dev/null", "w", stdout))
				_exit(126);
			std::vector<char *> argv{const_cast<char *>(program)};
			for (const char *a : args)
				argv.push_back(const_cast<char *>(a));
			argv.push_back(nullptr);
			execv(program, argv.data());
			_exit(127);
		}
	}

	// The id of the visible window of that exact title, waited for; 0 when none came.
	static Window wait_for(const std::string &title)
	{
		std::string command = "timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$'";
		FILE *p = popen(command.c_str(), "r");
		unsigned long id = 0;
		if (p && std::fscanf(p, "%lu", &id) != 1)
			id = 0;
		if (p)
			pclose(p);
		return id;
	}

	// The picture buttons are windows of their own, mapped by the first paint: a click that
	// comes before it falls on the window beneath. True once every child window is shown.
	bool wait_for_children(Window w)
	{
		for (int tries = 0; tries < 1000; tries++) {
			Window root, parent, *kids = nullptr;
			unsigned n = 0;
			bool shown = XQueryTree(dpy, w, &root, &parent, &kids, &n) && n > 0;
			for (unsigned i = 0; shown && i < n; i++) {
				XWindowAttributes a;
				shown = XGetWindowAttributes(dpy, kids[i], &a) && a.map_state == IsViewable;
			}
			if (kids)
				XFree(kids);
			if (shown)
				return true;
			usleep(20000);
		}
		return false;
	}

	static void click(Window w, int x, int y)
	{
		std::string command = "xdotool mousemove --window " + std::to_string(w) + " " +
			std::to_string(x) + " " + std::to_string(y) + " click 1";
		ASSERT_EQ(std::system(command.c_str()), 0);
	}

	Display *dpy = nullptr;
	std::string dir;
	pid_t pid = 0;
};

} // namespace

TEST_F(TreeProgram, CloseButtonEndsWithStatusZero)
{
	start(LINEAGETREE_BINARY, {"family.ged", "1"});
	Window w = wait_for("Family tree: John Smith");
	ASSERT_NE(w, 0u);
	ASSERT_TRUE(wait_for_children(w));
	click(w, 15, 28);
	EXPECT_EQ(wait_exit(pid, std::chrono::seconds(20)), 0);
}

// No ./tree in the working directory: the button starts the lineagetree that lies beside
// personview, as in a build folder or once installed.
TEST_F(TreeProgram, ViewerTreeButtonOpensTheFamilyTree)
{
	start(PERSONVIEW_BINARY, {"family.ged", "0001"});
	Window viewer = wait_for("GEDCOM Individual");
	ASSERT_NE(viewer, 0u);
	ASSERT_TRUE(wait_for_children(viewer));
	click(viewer, 15, 60);
	Window tree = wait_for("Family tree: John Smith");
	ASSERT_NE(tree, 0u);
	XKillClient(dpy, tree);
	XSync(dpy, False);
}
