// lineagetree and personview as programs under Xvfb: the close button's exit status, and the
// viewer's tree button opening the family tree beside it.
#include "child_program.h"

namespace {

class TreeProgram : public ChildProgram {
protected:
	void SetUp() override
	{
		ChildProgram::SetUp();
		if (!HasFatalFailure()) {
			ASSERT_EQ(std::system(("cp " TREE_GOLDEN_DIR "/family/in/family.ged " + dir).c_str()), 0);
		}
	}
};

} // namespace

TEST_F(TreeProgram, CloseButtonEndsWithStatusZero)
{
	start(LINEAGETREE_BINARY, {"family.ged", "1"});
	Window w = wait_for("Family tree: John Smith");
	ASSERT_NE(w, 0u);
	click(w, 15, 28);
	EXPECT_EQ(wait_exit(), 0);
}

// No ./tree in the working directory: the button starts the lineagetree that lies beside
// personview, as in a build folder or once installed.
TEST_F(TreeProgram, ViewerTreeButtonOpensTheFamilyTree)
{
	start(PERSONVIEW_BINARY, {"family.ged", "0001"});
	Window viewer = wait_for("GEDCOM Individual");
	ASSERT_NE(viewer, 0u);
	click(viewer, 15, 60);
	Window tree = wait_for("Family tree: John Smith");
	ASSERT_NE(tree, 0u);
	XKillClient(dpy, tree);
	XSync(dpy, False);
}
