// The viewer's window under Xvfb: the widgets it builds and the rows the scan adds to it.
#include <gtest/gtest.h>

#include "gedfile.h"

#include "personview.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../toolkit/glyph_ink.h"
#include "kyx.h"
#include "kyx_internal.h"
#include "x_server.h"

using namespace kyx;

namespace {

class ViewerWindow : public ::testing::Test {
protected:
	void SetUp() override
	{
		if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))
			FAIL() << "no display: run the tests through scripts/test";
		keeper = wait_for_x_server();
		ASSERT_NE(keeper, nullptr) << "the X server did not come back";
		x_open();
	}
	void TearDown() override
	{
		if (!keeper)
			return;
		XSync(display, False);
		EXPECT_EQ(kyx_x_error_count(), 0);
		x_close();
		XCloseDisplay(keeper);
	}
	Display *keeper = nullptr;
};

scan_result scan_text(const std::string &ged, const char *number)
{
	FILE *in = fmemopen(const_cast<char *>(ged.data()), ged.size(), "r");
	FILE *out = std::fopen("/dev/null", "w");
	scan_result result = scan_individual(text_over(in), number, add_field, out);
	std::fclose(out);
	std::fclose(in);
	return result;
}

struct row_expectation {
	const char *label;
	int label_x, label_y;
	int entry_x, entry_y, entry_width;
	const char *text;
};

// Label h as the tables hold it: its text, place and border, and whether it wears the
// window's picture, tiled.
void expect_label(int h, const char *text, int x, int y, int border, int picture)
{
	EXPECT_STREQ(global_label_text[h].data(), text);
	EXPECT_EQ(global_label_x[h], x);
	EXPECT_EQ(global_label_y[h], y);
	EXPECT_EQ(global_label_border[h], border);
	EXPECT_EQ(backgroundlabel_pixmap[h], picture);
	if (picture) {
		EXPECT_EQ(labeltile[h], 1);
	}
}

} // namespace

TEST_F(ViewerWindow, ButtonsAndNumberLabelWithTheirPictures)
{
	build_window("01");
	ASSERT_EQ(global_imagebutton_num, 2);
	EXPECT_EQ(global_imagebutton_x[0], 5);
	EXPECT_EQ(global_imagebutton_y[0], 25);
	EXPECT_EQ(global_imagebutton_x[1], 5);
	EXPECT_EQ(global_imagebutton_y[1], 50);
	// The test runs where no pictures lie, so these come from the program's own copies.
	for (int i = 0; i < 2; i++) {
		EXPECT_EQ(global_imagebutton_w[i], 20);
		EXPECT_EQ(global_imagebutton_h[i], 20);
		EXPECT_NE(xpm_imagebutton[i], 0u);
	}
	EXPECT_EQ(background_pixmap, 1);
	EXPECT_EQ(windowtile, 1);

	ASSERT_EQ(global_label_num, 1);
	expect_label(0, "01", 35, 15, 1, 1);
	EXPECT_EQ(global_textentry_num, 0);
}

TEST_F(ViewerWindow, EachFactAddsLabelAndFilledEntry)
{
	build_window("1");
	std::string ged = "0 @I0001@ INDI\n1 NAME John /Smith/\n1 SEX M\n1 BIRT\n2 DATE 12 MAR 1900\n"
		"2 PLAC London\n1 DEAT\n2 DATE 5 JUN 1970\n2 PLAC Leeds\n0 TRLR\n";
	ASSERT_EQ(scan_text(ged, "1"), scan_done);
	const row_expectation rows[] = {
		{"Name:", 35, 35, 125, 25, 200, " John /Smith/ "},
		{"Sex:", 35, 60, 125, 50, 20, "M"},
		{"Birth Date:", 35, 85, 125, 75, 100, " 12 MAR 1900  "},
		{"Birth Place:", 35, 110, 125, 100, 300, " London  "},
		{"Death Date:", 35, 135, 125, 125, 100, " 5 JUN 1970  "},
		{"Death Place:", 35, 160, 125, 150, 300, " Leeds  "},
	};
	ASSERT_EQ(global_label_num, 7);
	ASSERT_EQ(global_textentry_num, 6);
	for (int i = 0; i < 6; i++) {
		const row_expectation &r = rows[i];
		SCOPED_TRACE(r.label);
		expect_label(i + 1, r.label, r.label_x, r.label_y, 0, 1);
		EXPECT_EQ(global_textentry_x[i], r.entry_x);
		EXPECT_EQ(global_textentry_y[i], r.entry_y);
		EXPECT_EQ(global_textentry_width[i], r.entry_width);
		EXPECT_EQ(global_textentry_type[i], 0);
		EXPECT_STREQ(numberstring[i].data(), r.text);
		EXPECT_STREQ(kyx_textentry_obj.text[i].data(), r.text);
	}
}

TEST_F(ViewerWindow, MissingFactsAddNoRowsAndRepeatsStack)
{
	build_window("2");
	std::string ged = "0 @I0002@ INDI\n1 SEX F\n1 SEX U\n0 TRLR\n";
	ASSERT_EQ(scan_text(ged, "2"), scan_done);
	ASSERT_EQ(global_textentry_num, 2);
	EXPECT_EQ(global_textentry_y[0], 50);
	EXPECT_EQ(global_textentry_y[1], 50);
	EXPECT_STREQ(numberstring[1].data(), "U");
}

TEST_F(ViewerWindow, ReadErrorLabelHasABoxAndNoPicture)
{
	build_window("5");
	ASSERT_EQ(scan_text("0 HEAD\n1 SOUR X\n", "5"), scan_read_error);
	show_read_error();
	ASSERT_EQ(global_label_num, 2);
	expect_label(1, "File read error!", 50, 50, 1, 0);
}

TEST_F(ViewerWindow, NameInUtf8ShowsItsOwnLetters)
{
	build_window("184");
	std::string ged = "0 @I184@ INDI\n"
		"1 NAME Lodve TORFINNSON /Hl\xC3\xB6\xC3\xB0vir \xC3\x9E" "orfinnsson, I, Earl of Orkney/\n"
		"0 TRLR\n";
	ASSERT_EQ(scan_text(ged, "184"), scan_done);
	XExposeEvent ev{};
	ev.type = Expose;
	ev.window = window2;
	ASSERT_TRUE(handle_expose(&ev));
	XSync(display, False);
	std::u16string_view shown = u" Lodve TORFINNSON /Hl\u00F6\u00F0vir ";
	EXPECT_EQ(place[0], 162);
	EXPECT_EQ(ink(window2, 131, 37, static_cast<int>(shown.size())), glyphs(shown));
}
