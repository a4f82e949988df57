// A connection to the test's X server, waited for.
#pragma once

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Xvfb resets when the previous test's last client leaves and refuses connections meanwhile.
// Holding the connection this returns keeps it up until the test ends.
inline Display *wait_for_x_server()
{
	Display *d = nullptr;
	for (int tries = 0; !d && tries < 200; ++tries) {
		d = XOpenDisplay(nullptr);
		if (!d)
			usleep(25000);
	}
	return d;
}

// The exit status of the child pid (cleared once it has ended), or -1 when it is still
// running after the patience.
inline int wait_exit(pid_t &pid, std::chrono::seconds patience)
{
	auto until = std::chrono::steady_clock::now() + patience;
	while (std::chrono::steady_clock::now() < until) {
		int status = 0;
		if (waitpid(pid, &status, WNOHANG) == pid) {
			pid = 0;
			return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	return -1;
}
