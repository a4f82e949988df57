// A connection to the test's X server, waited for.
#pragma once

#include <X11/Xlib.h>
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
