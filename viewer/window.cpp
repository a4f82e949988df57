// The viewer's window on the kyx toolkit: its fixed widgets, one row per fact, and the two button actions.
#include "personview.h"

#include <algorithm>
#include <cstdlib>

#include "kyx.h"

const char *filename = "";
const char *program_path = "";

// With no one found, indi_check names whichever record was checked last: the tree button
// would open someone else's tree.
static bool person_found;

struct field_row {
	const char *label;
	int label_x, label_y;
	int entry_x, entry_y, entry_width;
};

static constexpr field_row field_rows[field_count] = {
	{"Name:", 35, 35, 125, 25, 200},
	{"Sex:", 35, 60, 125, 50, 20},
	{"Birth Date:", 35, 85, 125, 75, 100},
	{"Birth Place:", 35, 110, 125, 100, 300},
	{"Death Date:", 35, 135, 125, 125, 100},
	{"Death Place:", 35, 160, 125, 150, 300},
};

// The working directory first, then the copy installed with the program, then the one in the
// source tree, so that a program run from the build folder looks right too.
static const char *picture(const char *name, picture_path &buf)
{
	static const char *const dirs[] = {PICTURE_DIR, SOURCE_PICTURE_DIR};
	return find_picture(name, dirs, buf);
}

void build_window(const char *number)
{
	picture_path buf;
	kyx_window("GEDCOM Individual", 500, 400);
	kyx_setwindowbg(picture("bg.xpm", buf), 1);
	kyx_imagebutton(5, 25, picture("close.xpm", buf), destroy);
	kyx_imagebutton(5, 50, picture("pari.xpm", buf), parent);
	int label = kyx_label(number, 35, 15, 1);
	kyx_setlabelbg(picture("white.xpm", buf), 1, label);
}

void add_field(int field, const char *text)
{
	if (field < 0 || field >= field_count)
		return;
	const field_row &row = field_rows[field];
	picture_path buf;
	int label = kyx_label(row.label, row.label_x, row.label_y, 0);
	kyx_setlabelbg(picture("bg.xpm", buf), 1, label);
	int entry = kyx_textentry(row.entry_x, row.entry_y, row.entry_width, 0);
	kyx_settextentry(entry, text);
}

void note_scan_result(const char *number)
{
	person_found = indi_check != nobody_checked && same_number(indi_check.data(), number ? number : "");
}

void show_read_error()
{
	kyx_label("File read error!", 50, 50, 1);
}

void destroy()
{
	kyx_closewindow();
}

void parent()
{
	if (!person_found)
		return;
	std::string program = working_directory_has_tree() ? "" : lineagetree_beside(program_path);
	std::string command = tree_command(filename, tree_number(), program);
	// Output the shell's children write must come after ours, not before it.
	std::fflush(stdout);
	// tree runs in the background; the shell's status says nothing about it.
	int status = std::system(command.c_str());
	(void)status;
}
