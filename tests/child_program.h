// A program of the suite run as a child under the test's X server: a working folder of its
// own, its windows waited for by title and clicked, its standard output and exit status.
#ifndef CHILD_PROGRAM_H
#define CHILD_PROGRAM_H

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "x_server.h"

class ChildProgram : public ::testing::Test {
protected:
	static constexpr auto patience = std::chrono::seconds(20);

	void SetUp() override
	{
		const char *name = std::getenv("DISPLAY");
		if (!name || !*name)
			FAIL() << "no display: run the tests through scripts/test";
		dpy = wait_for_x_server();
		ASSERT_NE(dpy, nullptr) << "the X server did not come back";
		// The program's windows may vanish between a query and the next request.
		XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
		char tmpl[] = "/tmp/childprogramXXXXXX";
		ASSERT_NE(mkdtemp(tmpl), nullptr);
		dir = tmpl;
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

	std::string read_file(const std::string &name) const
	{
		std::ifstream in(dir + "/" + name, std::ios::binary);
		std::stringstream text;
		text << in.rdbuf();
		return text.str();
	}

	bool exists(const std::string &name) const { return access((dir + "/" + name).c_str(), F_OK) == 0; }

	// Starts the program in the working folder, its standard output in the file "stdout" there.
	// Without CAP_DAC_OVERRIDE even root cannot open a read-only file for writing.
	void start(const char *program, const std::vector<std::string> &args, bool without_override = false)
	{
		pid = fork();
		ASSERT_GE(pid, 0);
		if (pid != 0)
			return;
		int out = chdir(dir.c_str()) == 0 ? open("stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
		if (out < 0 || dup2(out, 1) < 0)
			_exit(126);
		if (without_override)
			prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
		std::vector<char *> argv{const_cast<char *>(program)};
		for (const std::string &a : args)
			argv.push_back(const_cast<char *>(a.c_str()));
		argv.push_back(nullptr);
		execv(program, argv.data());
		_exit(127);
	}

	// The window of that exact title once it and every window inside it are shown (the
	// picture buttons are windows of their own, mapped by the first paint: a click that comes
	// before it falls on the window beneath), or 0 when none came within the patience.
	Window wait_for(const std::string &title)
	{
		auto until = std::chrono::steady_clock::now() + patience;
		while (std::chrono::steady_clock::now() < until) {
			if (Window w = shown_window(title))
				return w;
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
		}
		return 0;
	}

	static void click(Window w, int x, int y)
	{
		std::string command = "xdotool mousemove --window " + std::to_string(w) + " " + std::to_string(x) +
				      " " + std::to_string(y) + " click 1";
		ASSERT_EQ(std::system(command.c_str()), 0);
	}

	int wait_exit() { return ::wait_exit(pid, patience); }

	Display *dpy = nullptr;
	std::string dir;
	pid_t pid = 0;

private:
	bool viewable(Window w) const
	{
		XWindowAttributes a;
		return XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
	}

	// Whether every window inside w is shown, and there is one at least.
	bool inside_shown(Window w) const
	{
		Window root, parent, *kids = nullptr;
		unsigned n = 0;
		bool shown = XQueryTree(dpy, w, &root, &parent, &kids, &n) && n > 0;
		for (unsigned i = 0; shown && i < n; i++)
			shown = viewable(kids[i]);
		if (kids)
			XFree(kids);
		return shown;
	}

	Window shown_window(const std::string &title) const
	{
		Window root, parent, *kids = nullptr;
		unsigned n = 0;
		Window found = 0;
		if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &kids, &n))
			return 0;
		for (unsigned i = 0; i < n && !found; i++) {
			char *name = nullptr;
			if (XFetchName(dpy, kids[i], &name) && name && title == name)
				found = kids[i];
			if (name)
				XFree(name);
		}
		if (kids)
			XFree(kids);
		return found && viewable(found) && inside_shown(found) ? found : 0;
	}
};

#endif
