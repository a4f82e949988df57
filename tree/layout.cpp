// Where each person of a view goes in the window, and the texts the boxes show. Pure
// arithmetic on the view: the window only copies it into its widgets.
#include "lineagetree.h"

#include <algorithm>

static constexpr int row_pitch = 40;
static constexpr int pedigree_rows = 8;
static constexpr int family_columns = 4;

static bool continuation_byte(char c)
{
	return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string cut_to_cells(std::string_view text, int cells)
{
	int count = 0;
	std::size_t keep = 0;  // bytes of the first cells - 2 characters
	for (std::size_t i = 0; i < text.size(); i++) {
		if (continuation_byte(text[i]))
			continue;
		if (count == cells - 2)
			keep = i;
		count++;
	}
	if (count <= cells)
		return std::string(text);
	return std::string(text.substr(0, keep)) + "..";
}

std::string display_name(std::string_view gedcom_name)
{
	std::string name;
	bool gap = false;
	// The surname's slashes part it from the given names and the suffix even where the file
	// writes no blank beside them ("Frederick/Windsor/").
	for (char c : gedcom_name) {
		if (c == ' ' || c == '\t' || c == '/') {
			gap = !name.empty();
			continue;
		}
		if (gap)
			name += ' ';
		gap = false;
		name += c;
	}
	return name;
}

std::string dates_text(std::string_view birth, std::string_view death)
{
	std::string text;
	if (!birth.empty())
		text = "b. " + std::string(birth);
	if (!death.empty())
		text += (text.empty() ? "d. " : "  d. ") + std::string(death);
	return text;
}

static std::string shown_name(const person_facts &who)
{
	std::string name = display_name(who.name);
	return name.empty() ? std::string(who.xref) : name;
}

std::string window_title(const person_facts &who)
{
	return "Family tree: " + shown_name(who);
}

static tree_box box_at(int x, int y, const person_facts &who)
{
	tree_box b;
	b.x = x;
	b.y = y;
	b.who = who;
	if (who.at != no_record) {
		b.name = cut_to_cells(shown_name(who), box_text_cells);
		b.dates = cut_to_cells(dates_text(who.birth, who.death), box_text_cells);
	}
	return b;
}

// A place of generation g spans 8 / 2^g rows of the great-grandparents' column and sits in
// the middle of them.
static tree_box pedigree_box(int place, const person_facts &who)
{
	int generation = 0;
	while ((2 << generation) - 1 <= place)
		generation++;
	int k = place + 1 - (1 << generation);
	int span = pedigree_rows >> generation;
	int y = pedigree_top + k * span * row_pitch + (span - 1) * row_pitch / 2;
	return box_at(column_x(generation), y, who);
}

std::vector<tree_line> pedigree_lines()
{
	std::vector<tree_line> lines;
	for (int p = 0; 2 * p + 2 < pedigree_places; p++) {
		tree_box child = pedigree_box(p, {});
		tree_box father = pedigree_box(2 * p + 1, {});
		tree_box mother = pedigree_box(2 * p + 2, {});
		int right = child.x + box_width;
		int middle = (right + father.x) / 2;
		int half = box_height / 2;
		lines.push_back({right, child.y + half, middle - right, false});
		lines.push_back({middle, father.y + half, mother.y - father.y, true});
		lines.push_back({middle, father.y + half, father.x - middle, false});
		lines.push_back({middle, mother.y + half, mother.x - middle, false});
	}
	return lines;
}

static tree_box family_box(int row, int column, const person_facts &who)
{
	return box_at(column_x(column), family_top + row * row_pitch, who);
}

// One row of the family area: a partner's box, empty when the row continues a family whose
// children did not fit in the row above, and up to three children.
struct family_row {
	const person_facts *partner = nullptr;
	bool continued = false;
	std::array<const person_facts *, family_columns - 1> children{};
};

// Each family starts a row: the partner in the first column, the children after it, three to
// a row.
static std::vector<family_row> family_rows_of(const family_view &view)
{
	std::vector<family_row> rows;
	for (const family_part &part : view.families) {
		rows.push_back({&part.partner, false, {}});
		std::size_t column = 0;
		for (const person_facts &child : part.children) {
			if (column == rows.back().children.size()) {
				rows.push_back({&part.partner, true, {}});
				column = 0;
			}
			rows.back().children[column++] = &child;
		}
	}
	return rows;
}

// A page that begins inside a family shows its partner again, so that the children on it
// are seen with their other parent.
tree_layout layout_view(const family_view &view, int page)
{
	tree_layout layout;
	for (int p = 0; p < pedigree_places; p++)
		layout.boxes[p] = pedigree_box(p, view.pedigree[p]);
	std::vector<family_row> rows = family_rows_of(view);
	int count = static_cast<int>(rows.size());
	layout.pages = count == 0 ? 1 : (count + family_rows - 1) / family_rows;
	layout.page = std::clamp(page, 0, layout.pages - 1);
	int first = layout.page * family_rows;
	for (int r = 0; r < family_rows && first + r < count; r++) {
		const family_row &row = rows[first + r];
		int slot = pedigree_places + r * family_columns;
		if (!row.continued || r == 0)
			layout.boxes[slot] = family_box(r, 0, *row.partner);
		for (int c = 0; c < family_columns - 1 && row.children[c]; c++)
			layout.boxes[slot + 1 + c] = family_box(r, c + 1, *row.children[c]);
	}
	return layout;
}
