// Labels, separators, frames, pies and images.
#include "kyx_fixture.h"

using Labels = KyxTest;
using Shapes = KyxTest;
using Images = KyxTest;

TEST_F(Labels, WindowSurroundsItsText)
{
	open_window();
	int h = kyx_label("Hello", 50, 40, 2);
	XWindowAttributes a{};
	ASSERT_TRUE(XGetWindowAttributes(display, wlabel[h], &a));
	EXPECT_EQ(a.x, 48);
	EXPECT_EQ(a.y, 29);
	EXPECT_EQ(a.width, 35);
	EXPECT_EQ(a.height, 13);
	EXPECT_EQ(a.map_state, IsUnmapped);
}

TEST_F(Labels, BorderStyles)
{
	open_window();
	kyx_label("Hello", 50, 40, 2);
	kyx_label("Hello", 50, 80, 3);
	redraw();
	// Sunken: black top and left, white bottom and right (x = 34 in a 35-wide window).
	expect_pixels({{53, 29, black}, {48, 34, black}, {53, 41, white}, {82, 34, white}});
	// Raised: the other way round.
	expect_pixels({{53, 69, white}, {82, 74, black}});
	EXPECT_TRUE(mapped(wlabel[0]));
}

TEST_F(Shapes, SeparatorsAndFrames)
{
	open_window();
	kyx_hseparator(10, 100, 50);
	kyx_vseparator(200, 10, 50);
	kyx_frame(300, 20, 380, 80, "F");
	redraw();
	expect_pixels({{60, 100, black}, {60, 101, white}, {200, 60, black}, {201, 60, white},
		{340, 20, black}, {340, 21, white}, {340, 80, black}, {300, 50, black},
		{301, 50, white}, {380, 50, black}});
}

TEST_F(Shapes, PieQuarters)
{
	open_window();
	kyx_pie(200, 100, 60, 25);
	kyx_pie(50, 100, 60, 0);
	kyx_pie(50, 200, 60, 100);
	redraw();
	// (240, 110): from three o'clock up to twelve.
	expect_pixels({{240, 110, white}, {220, 120, dgrey}, {220, 140, dgrey}, {90, 110, dgrey},
		{70, 240, white}});
	EXPECT_GT(count(black, 240, 118, 20, 14), 0);  // "25%"
}

TEST_F(Images, PicturesAndImageButtonBevel)
{
	open_window();
	kyx_image(200, 250, xpm("blue.xpm", 10, 10, "#0000FF").c_str());
	int b = kyx_imagebutton(250, 250, xpm("green.xpm", 20, 20, "#00FF00").c_str(), nullptr);
	redraw();
	expect_pixels({{205, 255, 0x0000FFu}, {260, 260, 0x00FF00u}, {260, 250, white},
		{250, 260, white}, {260, 269, black}, {269, 260, black}});
	EXPECT_TRUE(mapped(xpm_imagebutton[b]));
}

TEST_F(Images, ButtonRunsOnlyFromItsOwnWindow)
{
	open_window();
	int b = kyx_imagebutton(50, 50, xpm("p.xpm", 20, 20, "#00FF00").c_str(), run_a);
	click(55, 55);
	EXPECT_TRUE(ran.empty());
	click(5, 5, xpm_imagebutton[b]);
	EXPECT_EQ(ran.size(), 1u);
}
