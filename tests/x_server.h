// What every X11 test shares: the wait for the test's X server, and the pixels of the palette
// as a test expects to read them back from the screen.
#ifndef X_SERVER_H
#define X_SERVER_H

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include <sys/wait.h>
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

inline constexpr uint32_t white = 0xFFFFFF;
inline constexpr uint32_t grey = 0xCCCCCC;
inline constexpr uint32_t dgrey = 0x909090;
inline constexpr uint32_t black = 0;
inline constexpr uint32_t yellow = 0xFFFF00;
inline constexpr uint32_t blue4 = 0x000099;

#endif
