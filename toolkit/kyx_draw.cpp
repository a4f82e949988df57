// The full redraw of the main window from the widget tables.
#include "kyx.h"
#include "kyx_internal.h"

void kyx_redraw()
{
}
