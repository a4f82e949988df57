// Buttons, toggle buttons and check buttons: their pictures and their clicks.
#include "kyx_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
void run_toggle()
{
	ran.push_back("toggle " + std::to_string(kyx_lbutton_obj.state[0]));
}
void add_button()
{
	kyx_button(300, 250, "New", run_b);
}
}

using Buttons = KyxTest;
using ToggleButtons = KyxTest;
using CheckButtons = KyxTest;

TEST_F(Buttons, FaceBevelAndOutline)
{
	open_window();
	kyx_button(100, 50, "OK", nullptr);
	kyx_setbuttoncolor(0, 0xFF0000);
	redraw();
	expect_pixels({{98, 40, 0xFF0000u}, {95, 40, black}, {116, 40, black}, {100, 36, black},
		{100, 54, black}, {96, 45, white}, {105, 37, white}, {115, 45, dgrey},
		{105, 53, dgrey}});
	// Later lines win at the corners they share.
	expect_pixels({{96, 53, white}, {115, 37, white}});
	EXPECT_GT(count(black, 100, 40, 12, 11), 0);
}

TEST_F(Buttons, EdgesOfTheRectangleRunTheCallback)
{
	open_window();
	kyx_button(100, 50, "OK", run_a);
	for (auto [x, y] : {std::pair{97, 50}, {114, 50}, {100, 38}, {100, 52}})
		click(x, y);
	EXPECT_EQ(ran.size(), 4u);
	for (auto [x, y] : {std::pair{96, 50}, {115, 50}, {100, 37}, {100, 53}})
		click(x, y);
	EXPECT_EQ(ran.size(), 4u);
}

TEST_F(Buttons, OverlappingButtonsBothRunLowerHandleFirst)
{
	open_window();
	kyx_button(100, 50, "Second", run_b);
	kyx_button(102, 50, "First", run_a);
	kyx_setfunction(0, run_a);
	kyx_setfunction(1, run_b);
	click(110, 45);
	EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
}

TEST_F(Buttons, CallbackMayCreateWidgetsTestedInTheSameEvent)
{
	open_window();
	kyx_button(300, 250, "Add", add_button);
	click(305, 245);
	EXPECT_EQ(global_button_num, 2);
	EXPECT_EQ(ran, (std::vector<std::string>{"b"}));
}

TEST_F(ToggleButtons, LampOnAndOff)
{
	open_window();
	kyx_lbutton(100, 109, "Lamp", nullptr);
	redraw();
	expect_pixels({{103, 103, 0xFFFFFFu}, {103, 100, 0xFFCCCCu}, {98, 104, dgrey}, {103, 99, dgrey},
		{103, 109, white}});
	// The bevel reaches past the text.
	expect_pixels({{130, 112, dgrey}, {140, 113, black}});
	kyx_lbutton_obj.state[0] = 1;
	redraw();
	expect_pixels({{103, 103, 0xFF6666u}, {103, 108, 0xFF1111u}});
}

TEST_F(ToggleButtons, FlipsBeforeItsCallbackAndRepaintsTheLamp)
{
	open_window();
	kyx_lbutton(100, 109, "Lamp", run_toggle);
	click(101, 105);
	click(101, 105);
	EXPECT_EQ(ran, (std::vector<std::string>{"toggle 1", "toggle 0"}));
	kyx_lbutton_obj.state[0] = 7;
	click(101, 105);
	EXPECT_EQ(kyx_lbutton_obj.state[0], 1);
	EXPECT_EQ(pixel(103, 103), 0xFF6666u);
}

TEST_F(CheckButtons, BoxAndTick)
{
	open_window();
	int c = kyx_chkbutton(300, 200, "Tick");
	redraw();
	expect_pixels({{300, 200, dgrey}, {301, 205, black}, {313, 205, white}, {303, 205, white}});
	kyx_chkbutton_obj.state[c] = 1;
	redraw();
	expect_pixels({{303, 205, black}, {311, 202, black}});
}

TEST_F(CheckButtons, TickComesAndGoes)
{
	open_window();
	int c = kyx_chkbutton(300, 200, "Tick");
	click(313, 213);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 1);
	EXPECT_EQ(pixel(303, 205), black);
	click(300, 200);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 0);
	EXPECT_EQ(pixel(303, 205), white);
	click(314, 205);
	EXPECT_EQ(kyx_chkbutton_obj.state[c], 0);
}
