// The family-tree window under Xvfb, driven event by event: its title and boxes, clicks that
// move the focus, Back, a long walk, and the close button.
#include <gtest/gtest.h>

#include "lineagetree.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include <X11/Xatom.h>

#include "kyx_fixture.h"

namespace {

std::string read_text(const std::string &path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

class TreeFixture : public KyxTest {
protected:
	void open_on(std::string ged, const char *number)
	{
		if (HasFatalFailure())
			return;
		text = std::move(ged);
		ged_source source;
		source.text = text;
		ASSERT_TRUE(index_records(source, index));
		open_tree_window(index, find_person(index, number));
		XSync(display, False);
	}

	static std::string title()
	{
		char *name = nullptr;
		std::string t = XFetchName(display, window2, &name) && name ? name : "";
		XFree(name);
		return t;
	}

	// The button that shows a name, or -1.
	static int button_of(const char *name)
	{
		for (int i = 0; i < global_button_num; i++)
			if (std::string(global_button_text[i].data()) == name && global_button_x[i] > 0)
				return i;
		return -1;
	}

	static void click_name(const char *name)
	{
		int b = button_of(name);
		ASSERT_GE(b, 0) << name;
		click(global_button_x[b] + 2, global_button_y[b] - 2);
		XSync(display, False);
	}

	std::string text;
	record_index index;
};

class TreeWindow : public TreeFixture {
protected:
	void SetUp() override
	{
		KyxTest::SetUp();
		open_on(read_text(TREE_GOLDEN_DIR "/family/in/family.ged"), "1");
	}
};

// Forty children of three partners: fourteen, thirteen and thirteen, five rows each, so the
// family area holds two pages. Each child names their family, so Adam is their father.
class BigFamily : public TreeFixture {
protected:
	void SetUp() override
	{
		KyxTest::SetUp();
		std::string ged = "0 HEAD\n0 @I1@ INDI\n1 NAME Adam /Berg/\n";
		for (int f = 1; f <= 3; f++)
			ged += "1 FAMS @F" + std::to_string(f) + "@\n";
		for (int f = 1; f <= 3; f++) {
			ged += "0 @P" + std::to_string(f) + "@ INDI\n1 NAME Partner " + std::to_string(f) + "\n";
			ged += "0 @F" + std::to_string(f) + "@ FAM\n1 HUSB @I1@\n1 WIFE @P" + std::to_string(f) + "@\n";
			for (int c = f == 1 ? 1 : f == 2 ? 15 : 28; c <= (f == 1 ? 14 : f == 2 ? 27 : 40); c++)
				ged += "1 CHIL @C" + std::to_string(c) + "@\n";
		}
		for (int c = 1; c <= 40; c++)
			ged += "0 @C" + std::to_string(c) + "@ INDI\n1 NAME Child " + std::to_string(c) + "\n1 FAMC @F" +
			       std::to_string(c <= 14 ? 1 : c <= 27 ? 2 : 3) + "@\n";
		open_on(ged + "0 TRLR\n", "1");
	}

	static bool label_shows(const std::string &text)
	{
		for (int l = 0; l < global_label_num; l++)
			if (global_label_text[l].data() == text && global_label_x[l] > 0)
				return true;
		return false;
	}

	// The people whose boxes the page shows, besides the pedigree.
	static std::vector<std::string> family_names()
	{
		std::vector<std::string> names;
		for (int i = 0; i < global_button_num; i++)
			if (global_button_y[i] > family_top && global_button_x[i] > 0)
				names.push_back(global_button_text[i].data());
		return names;
	}
};

} // namespace

TEST_F(TreeWindow, TitleAndBoxesOfTheFamily)
{
	EXPECT_EQ(title(), "Family tree: John Smith");
	struct box {
		const char *name;
		int x, y;
		const char *dates;
	} boxes[] = {
		{"John Smith", 57, 201, "b. 12 MAR 1900  d. 5 JUN 1970"},
		{"William Smith", 287, 121, "b. 1870"},
		{"Mary Jones", 287, 281, ""},
		{"George Smith", 517, 81, "d. 1901"},
		{"Anne Brown", 57, 405, ""},
		{"Peter Smith", 287, 405, "b. 1925"},
		{"Susan Smith", 517, 405, ""},
		{"Tom Smith", 287, 445, ""},
	};
	for (const box &b : boxes) {
		SCOPED_TRACE(b.name);
		int i = button_of(b.name);
		ASSERT_GE(i, 0);
		EXPECT_EQ(global_button_x[i], b.x);
		EXPECT_EQ(global_button_y[i], b.y);
		// The dates label of the same box sits under its name; without dates there is none.
		bool dated = false;
		for (int l = 0; l < global_label_num; l++)
			dated = dated || (global_label_x[l] == b.x - 1 && global_label_y[l] == b.y + 14 &&
				std::string(global_label_text[l].data()) == b.dates);
		EXPECT_EQ(dated, *b.dates != '\0');
	}
	// Tom's family has no partner: the first column of its row holds an empty frame.
	bool framed = false;
	for (int f = 0; f < global_frame_num; f++)
		framed = framed || (global_frame_x1[f] == 48 && global_frame_y1[f] == 428);
	EXPECT_TRUE(framed);
	for (int i = 0; i < global_button_num; i++)
		EXPECT_FALSE(global_button_x[i] == 57 && global_button_y[i] == 445) << i;
}

TEST_F(TreeWindow, ClickingAParentMovesTheFocusAndBackReturns)
{
	std::size_t john = focused_person();
	click_name("William Smith");
	EXPECT_EQ(title(), "Family tree: William Smith");
	EXPECT_EQ(focused_person(), find_person(index, "2"));
	click_name("William Smith");  // the person in focus: no step to go back over
	// John is now William's child, in the families below.
	EXPECT_GT(global_button_y[button_of("John Smith")], family_top);
	click_name("Back");
	EXPECT_EQ(title(), "Family tree: John Smith");
	EXPECT_EQ(focused_person(), john);
	click_name("Back");   // nothing left to go back to
	EXPECT_EQ(focused_person(), john);
}

TEST_F(TreeWindow, AThousandStepsKeepTheWidgetsTheyStartedWith)
{
	int buttons = global_button_num;
	int labels = global_label_num;
	int frames = global_frame_num;
	for (int step = 0; step < 500; step++) {
		click_name("William Smith");
		click_name("John Smith");
	}
	EXPECT_EQ(title(), "Family tree: John Smith");
	EXPECT_EQ(global_button_num, buttons);
	EXPECT_EQ(global_label_num, labels);
	EXPECT_EQ(global_frame_num, frames);
	click_name("Back");
	EXPECT_EQ(title(), "Family tree: William Smith");
}

TEST_F(TreeWindow, UnicodeTitleAndCloseButton)
{
	Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
	Atom type;
	int format;
	unsigned long n, after;
	unsigned char *value = nullptr;
	ASSERT_EQ(XGetWindowProperty(display, window2, XInternAtom(display, "_NET_WM_NAME", False), 0,
		1024, False, utf8, &type, &format, &n, &after, &value), Success);
	EXPECT_EQ(std::string(reinterpret_cast<char *>(value), n), "Family tree: John Smith");
	XFree(value);
	click(10, 10, xpm_imagebutton[0]);
	EXPECT_EQ(kyx_window_status, 0);
}

// Every partner and child can be reached: Next turns to each page, a click on a child moves
// the focus there, and Back returns to the same page.
TEST_F(BigFamily, EveryPartnerAndChildIsReachedByClicks)
{
	std::vector<std::string> reached;
	EXPECT_EQ(button_of("Previous"), -1);
	for (int page = 1; page <= 2; page++) {
		SCOPED_TRACE(page);
		EXPECT_TRUE(label_shows("Page " + std::to_string(page) + " of 2"));
		for (const std::string &name : family_names()) {
			click_name(name.c_str());
			EXPECT_EQ(title(), "Family tree: " + name);
			click_name("Back");
			EXPECT_EQ(title(), "Family tree: Adam Berg");
			EXPECT_EQ(shown_layout().page, page - 1);
			if (std::find(reached.begin(), reached.end(), name) == reached.end())
				reached.push_back(name);
		}
		if (button_of("Next") < 0)
			break;
		click_name("Next");
	}
	EXPECT_EQ(shown_layout().page, 1);
	EXPECT_EQ(reached.size(), 43u);
	for (int c = 1; c <= 40; c++)
		EXPECT_NE(std::find(reached.begin(), reached.end(), "Child " + std::to_string(c)), reached.end()) << c;
	click_name("Previous");
	EXPECT_EQ(shown_layout().page, 0);
}

// Adam again, reached from his child on his second page, is a new step and opens on his first
// page; going back over it returns to the page he was left on.
TEST_F(BigFamily, ANewFocusOpensOnItsFirstPageAndBackOnThePageLeft)
{
	click_name("Next");
	ASSERT_EQ(shown_layout().page, 1);
	std::vector<std::string> names = family_names();
	ASSERT_FALSE(names.empty());
	click_name(names.back().c_str());
	ASSERT_EQ(title(), "Family tree: " + names.back());
	click_name("Adam Berg");
	EXPECT_EQ(title(), "Family tree: Adam Berg");
	EXPECT_EQ(shown_layout().page, 0);
	EXPECT_TRUE(label_shows("Page 1 of 2"));
	click_name("Back");
	click_name("Back");
	EXPECT_EQ(title(), "Family tree: Adam Berg");
	EXPECT_EQ(shown_layout().page, 1);
	EXPECT_TRUE(label_shows("Page 2 of 2"));
}
