// One widget of every kind on one window, to look at and try.
#include "kyx.h"

int main()
{
	x_open();
	kyx_window("kyx widgets", 640, 480);
	kyx_main();
	x_close();
	return 0;
}
