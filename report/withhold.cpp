// Publishing without the living: what the report would show of the people the decision makes
// private is withheld, their names written as "Private".
#include "lineagehtml.h"

bool private_mode;

namespace {

enum class withholding { nothing, person, couple };

constexpr int no_row = -1;

// What the report is withholding; the row the reader is on while a private record keeps
// nothing (no_row); and where it stands in the decision's lists.
struct second_pass {
	bool line_start = true;
	withholding held = withholding::nothing;
	int reader_row = no_row;
	privacy_walk walk;
};

second_pass report;

bool ends_line(std::string_view piece)
{
	return !piece.empty() && (piece.back() == '\n' || piece.back() == '\r');
}

withholding withholding_of(private_record r)
{
	switch (r.kind) {
	case private_kind::person:
		return walk_person(report.walk, r.key) ? withholding::person : withholding::nothing;
	case private_kind::unreadable:
		if (r.key != 0)
			walk_person(report.walk, r.key);
		return withholding::person;
	case private_kind::family:
		return walk_family(report.walk, r.key) ? withholding::couple : withholding::nothing;
	default:
		return withholding::nothing;
	}
}

// In silent mode the rules keep their state as ever and write nothing: what a private
// person's record keeps in a row is shown by family lines only for references to that
// person, which show "Private". But a piece the reader takes for a record line, the rest of
// a long line, moves it to another person's row, where the private record would seem to be
// that person's: from there on nothing of the record is kept.
void handle_silently(std::string_view piece)
{
	keep_piece(piece);
	if (report.held == withholding::person && has_at(piece, 0, "0") && indi_r != no_row) {
		report.reader_row = indi_r;
		indi_r = no_row;
	}
}

// A level-2 DATE or PLAC as the report's rules take it: marriage and divorce facts in a family.
bool is_event_fact(std::string_view piece)
{
	return has_at(piece, 0, "2") && (has_at(piece, 2, "DA") || has_at(piece, 2, "PL"));
}

} // namespace

void find_private(ged_text &text, int now)
{
	report = {};
	decide_privacy(text, now, option == 'f');
}

std::string_view private_name(std::string_view piece)
{
	if (piece.ends_with("\r\n"))
		return "Private\r\n";
	if (piece.ends_with('\n'))
		return "Private\n";
	if (piece.ends_with('\r'))
		return "Private\r";
	return "Private";
}

// The cross-reference from the value on, as the family line itself reads it.
bool names_private(std::string_view piece)
{
	return points_to_private(report.walk, piece, value_start);
}

namespace {

[[gnu::noinline]] void start_withholding(std::string_view piece, FILE *out)
{
	if (report.reader_row != no_row) {
		indi_r = report.reader_row;
		report.reader_row = no_row;
	}
	report.held = withholding_of(read_private_record(piece));
	handle_piece(piece, out);
	if (report.held == withholding::person && (option == 'i' || option == 't'))
		write_line(out, line1, " Name = ", private_name(piece), "\n");
}

} // namespace

void handle_private_piece(std::string_view piece, FILE *out)
{
	bool record = report.line_start && piece[0] == '0';
	report.line_start = ends_line(piece);
	if (record)
		start_withholding(piece, out);
	else if (report.held == withholding::nothing)
		handle_piece(piece, out);
	else if (report.held == withholding::person || is_event_fact(piece))
		handle_silently(piece);
	else
		handle_piece(piece, out);
}
