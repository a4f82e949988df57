// The family-tree window on kyx. Every widget is made once; moving the focus gives the same
// widgets new texts and places, so a walk of any length never fills the toolkit's tables.
#include "lineagetree.h"

#include <utility>

#include "kyx.h"
#include "pictures.h"

namespace {

// Where the view was: Back returns to the page as well as to the person.
struct tree_step {
	std::size_t focus;
	int page;
};

struct tree_window {
	const record_index *index = nullptr;
	tree_step at{no_record, 0};
	std::vector<tree_step> history;
	family_view view;
	tree_layout layout;
	std::array<int, tree_slots> button{};
	std::array<int, tree_slots> label{};
	std::array<int, tree_slots> frame{};
	int previous = -1;     // the pager of the family rows: two buttons and the page's label
	int next = -1;
	int page_label = -1;
	int first_label = -1;  // the one label whose background picture was read
};

tree_window shown;

constexpr int button_dx = 9;   // a box's name button and dates label, from its top left
constexpr int button_dy = 17;
constexpr int label_dx = 8;
constexpr int label_dy = 31;
constexpr int pager_y = family_top - 10;  // on the line of the family area's heading
constexpr int previous_x = column_x(1) + 5;
constexpr int page_label_x = column_x(1) + 70;
constexpr int next_x = column_x(1) + 160;

// kyx callbacks take no argument: one small function per slot says which box was clicked.
template <std::size_t... slot>
constexpr std::array<kyx_callback, sizeof...(slot)> slot_callbacks(std::index_sequence<slot...>)
{
	return {[] { click_slot(static_cast<int>(slot)); }...};
}

constexpr auto on_slot = slot_callbacks(std::make_index_sequence<tree_slots>{});

const char *picture(const char *name, picture_path &buf)
{
	static const char *const dirs[] = {PICTURE_DIR, SOURCE_PICTURE_DIR};
	return find_picture(name, dirs, buf);
}

// Every label wears the window's background; the picture is read for the first one only,
// since each reading costs a round trip to the server for every colour.
int background_label(const char *text, int x, int y)
{
	int label = kyx_label(text, x, y, 0);
	if (shown.first_label < 0) {
		picture_path buf;
		kyx_setlabelbg(picture("bg.xpm", buf), 1, label);
		shown.first_label = label;
	} else {
		kyx_copylabelbg(label, shown.first_label);
	}
	return label;
}

void close_window()
{
	kyx_closewindow();
}

void make_slot(int slot, const tree_box &place)
{
	// The pedigree's frames stay where they are, empty when nobody is known there.
	if (slot < pedigree_places)
		shown.frame[slot] = kyx_frame(place.x, place.y, place.x + box_width, place.y + box_height, "");
	else
		shown.frame[slot] = kyx_frame(off_window, off_window, off_window, off_window, "");
	shown.button[slot] = kyx_button(off_window, off_window, "", on_slot[slot]);
	shown.label[slot] = background_label("", off_window, off_window);
}

void show_slot(int slot, const tree_box &box)
{
	if (slot >= pedigree_places)
		kyx_moveframe(shown.frame[slot], box.x, box.y, box.x + box_width, box.y + box_height);
	bool someone = box.who.at != no_record;
	int x = someone ? box.x : off_window;
	int y = someone ? box.y : off_window;
	kyx_setbuttontext(shown.button[slot], box.name.c_str());
	kyx_movebutton(shown.button[slot], x + button_dx, y + button_dy);
	// An empty label would still show its few pixels of background.
	bool dated = someone && !box.dates.empty();
	kyx_setlabeltext(shown.label[slot], box.dates.c_str());
	kyx_movelabel(shown.label[slot], (dated ? x : off_window) + label_dx, (dated ? y : off_window) + label_dy);
}

void show_pager()
{
	int page = shown.layout.page;
	int pages = shown.layout.pages;
	kyx_movebutton(shown.previous, page > 0 ? previous_x : off_window, pager_y);
	kyx_movebutton(shown.next, page + 1 < pages ? next_x : off_window, pager_y);
	char label[64] = "";
	if (pages > 1)
		std::snprintf(label, sizeof label, "Page %d of %d", page + 1, pages);
	kyx_setlabeltext(shown.page_label, label);
}

void show_page()
{
	shown.layout = layout_view(shown.view, shown.at.page);
	shown.at.page = shown.layout.page;
	for (int slot = 0; slot < tree_slots; slot++)
		show_slot(slot, shown.layout.boxes[slot]);
	show_pager();
	kyx_repaint();
}

void show_focus()
{
	shown.view = view_of(*shown.index, shown.at.focus);
	show_page();
	// After the drawing: once the title has changed, the new tree is on the screen.
	kyx_settitle(window_title(shown.view.pedigree[0]).c_str());
	kyx_flush();
}

void turn_page(int by)
{
	int page = shown.at.page + by;
	if (page < 0 || page >= shown.layout.pages)
		return;
	shown.at.page = page;
	show_page();
	kyx_flush();
}

void previous_page()
{
	turn_page(-1);
}

void next_page()
{
	turn_page(1);
}

} // namespace

void open_tree_window(const record_index &index, std::size_t at)
{
	shown = tree_window{};
	shown.index = &index;
	shown.at = tree_step{at, 0};
	picture_path buf;
	kyx_window("Family tree", tree_window_width, tree_window_height);
	kyx_setwindowbg(picture("bg.xpm", buf), kyx_bg_whole);
	kyx_imagebutton(5, 25, picture("close.xpm", buf), close_window);
	kyx_button(10, 70, "Back", go_back);
	background_label("Parents", column_x(1) + 1, pedigree_top - 8);
	background_label("Grandparents", column_x(2) + 1, pedigree_top - 8);
	background_label("Great-grandparents", column_x(3) + 1, pedigree_top - 8);
	background_label("Partners and children", column_x(0) + 1, pager_y);
	shown.previous = kyx_button(off_window, pager_y, "Previous", previous_page);
	shown.next = kyx_button(off_window, pager_y, "Next", next_page);
	shown.page_label = background_label("", page_label_x, pager_y);
	for (const tree_line &line : pedigree_lines()) {
		if (line.vertical)
			kyx_vseparator(line.x, line.y, line.length);
		else
			kyx_hseparator(line.x, line.y, line.length);
	}
	tree_layout empty = layout_view(family_view{});
	for (int slot = 0; slot < tree_slots; slot++)
		make_slot(slot, empty.boxes[slot]);
	kyx_setbuttoncolor(shown.button[0], X_LLGREEN);
	show_focus();
}

// The person already in focus is no step: Back would return to where the view already is.
void focus_on(std::size_t at)
{
	if (at == no_record || at == shown.at.focus)
		return;
	shown.history.push_back(shown.at);
	shown.at = tree_step{at, 0};
	show_focus();
}

void click_slot(int slot)
{
	if (slot >= 0 && slot < tree_slots)
		focus_on(shown.layout.boxes[slot].who.at);
}

void go_back()
{
	if (shown.history.empty())
		return;
	shown.at = shown.history.back();
	shown.history.pop_back();
	show_focus();
}

std::size_t focused_person()
{
	return shown.at.focus;
}

const tree_layout &shown_layout()
{
	return shown.layout;
}
