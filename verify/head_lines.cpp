// The lines HEAD must hold: SOUR, SUBM, GEDC with VERS and FORM, and CHAR.
#include "checks551.h"

namespace {

enum head_part : std::uint8_t { has_sour = 1, has_subm = 2, has_gedc = 4, has_char = 8, has_vers = 16, has_form = 32 };

struct head_state {
	std::uint64_t line;      // of 0 HEAD; 0 outside it
	std::uint64_t gedc_line; // of its GEDC
	unsigned parts;
	bool in_gedc;            // the last level-1 line was GEDC
};

head_state head;

unsigned part_of(std::string_view tag)
{
	if (tag == "SOUR")
		return has_sour;
	if (tag == "SUBM")
		return has_subm;
	if (tag == "GEDC")
		return has_gedc;
	return tag == "CHAR" ? has_char : 0;
}

} // namespace

void head_start(std::uint64_t line)
{
	head = {line, 0, 0, false};
}

void head_line(std::uint64_t line, unsigned level, std::string_view tag)
{
	if (level == 1) {
		unsigned part = part_of(tag);
		head.parts |= part;
		head.in_gedc = part == has_gedc;
		if (head.in_gedc && head.gedc_line == 0)
			head.gedc_line = line;
	} else if (level == 2 && head.in_gedc) {
		head.parts |= tag == "VERS" ? has_vers : 0;
		head.parts |= tag == "FORM" ? has_form : 0;
	}
}

void head_end()
{
	if (head.line == 0) {
		head.line = 0;
		return;
	}
	if ((head.parts & 15) != 15)
		add_record_finding({head.line, ~head.parts & 15u, 0, 0, 0, finds_head_lines, 0});
	if ((head.parts & has_gedc) && (head.parts & (has_vers | has_form)) != (has_vers | has_form))
		add_record_finding({head.gedc_line, ~head.parts & (has_vers | has_form), 0, 0, 0, finds_gedc_lines, 0});
	head.line = 0;
}
