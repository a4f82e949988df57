// The event loop of the main window and one handler per event kind.
#include "kyx.h"
#include "kyx_internal.h"

void kyx_main(void)
{
	while (kyx_window_status) {
		XNextEvent(display, &global_event);
	}
}
