// Fuzz target for lineagehtml's reader, rules and page writers: any bytes as a GEDCOM file
// under each report flag, with and without --private, with a file name of any length for the
// title. Beyond the sanitizers it stops on page text that lets file content through as markup,
// and (without --private) on a family line that shows the name, dates or sex of a record other
// than the one it names.
//
// Input: flag byte (the report in its low two bits, --private in the third), name byte,
// placement byte, then the file. The name is the first
// 64 * (name byte) bytes of the file; the placement byte may put the file just before the
// end of the reader's first block (one input in eight), so that pieces meet the refill.
#include "lineagehtml.h"
#include "gedfile.h"
#include "fuzz_input.h"
#include "report/family_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The harness's own checks are left out of the coverage feedback: they would slow every run
// and steer the fuzzer towards nothing of the program.
#define NOT_GUIDED __attribute__((no_sanitize("coverage")))

// The reader's scalars as at program start.
void reset_reader()
{
	indi = fam = last_action = {};
	record_xref = {};
	row_is_records = false;
	indi_r = fam_r = id_pointer = 0;
	number_of_individuals = lines_of_data = 0;
}

// The rows a run can write are those that a record line makes current; they are found
// beforehand, so that only they need clearing afterwards instead of every table. The pieces
// are kept for the check of the family lines.
void rows_in_use(std::string_view file, std::vector<int>& indi_used, std::vector<int>& fam_used,
		 std::vector<std::string>& pieces)
{
	indi_used.assign(1, 0);
	fam_used.assign(1, 0);
	pieces.clear();
	char kept = option;
	option = '\0';
	static piece_reader r;
	FILE *in = input_file(file);
	read_pieces(r, text_over(in), [&](std::string_view piece) {
		if (kept == 'f')
			pieces.emplace_back(piece);
		if (piece[0] == '0') {
			handle_piece(piece, nullptr);
			if (indi_row_ok(indi_r))
				indi_used.push_back(indi_r);
			if (fam_row_ok(fam_r))
				fam_used.push_back(fam_r);
		}
		return true;
	});
	std::fclose(in);
	option = kept;
	reset_reader();
}

void clear_rows(const std::vector<int>& indi_used, const std::vector<int>& fam_used)
{
	for (auto *table : {&indi_name, &indi_note, &seximage, &indi_birt_date, &indi_birt_plac, &indi_birt_note,
			    &indi_deat_date, &indi_deat_plac, &indi_deat_note, &indi_buri_date, &indi_buri_plac,
			    &indi_buri_note, &indi_crem_plac, &indi_chan_date, &indi_educ, &indi_occu, &indi_reli,
			    &indi_surname})
		for (int r : indi_used)
			(*table)[r] = {};
	for (int r : indi_used) {
		indi_sex[r] = '\0';
		indi_xref[r] = {};
	}
	for (std::size_t i = 0; i < indi_used.size() && i < disp_surname.size(); ++i)
		disp_surname[i] = {};
	for (auto *table : {&fam_marr_date, &fam_marr_plac, &fam_div_date, &fam_div_plac})
		for (int r : fam_used)
			(*table)[r] = {};
	for (auto *table : {&fam_husb, &fam_wife, &fam_chil})
		for (int r : fam_used)
			(*table)[r] = {};
	last_surname = {};
	reset_reader();
}

NOT_GUIDED bool starts_with_any(std::string_view at, std::initializer_list<std::string_view> texts)
{
	return std::any_of(texts.begin(), texts.end(), [&](std::string_view t) { return at.starts_with(t); });
}

NOT_GUIDED bool shows_another_person(const std::vector<std::string>& pieces, std::string_view page)
{
	return !family_lines::first_wrong_person(pieces, page).empty();
}

// A link target is an unquoted attribute: only the value's own line end may end it early.
NOT_GUIDED void check_link(std::string_view at)
{
	std::string_view target = at.substr(0, at.find('>')).substr(std::string_view("<a href=").size());
	std::size_t blank = target.find_first_of(" \t\f\r\n");
	if (blank != std::string_view::npos && target.substr(blank) != "\n" && target.substr(blank) != "\r" &&
	    target.substr(blank) != "\r\n")
		std::abort();
}

// Every '<' and '&' on the page is the program's own; a quote never is, so none may appear.
NOT_GUIDED void check_page(std::string_view page)
{
	const char *text = page.data();
	for (std::size_t i = 0; i < page.size(); ++i) {
		if (text[i] != '"' && text[i] != '&' && text[i] != '<')
			continue;
		std::string_view at = page.substr(i);
		// The page's own line that names its encoding holds the only quotes.
		constexpr std::string_view encoding = "<meta charset=\"utf-8\">";
		if (at.starts_with(encoding)) {
			i += encoding.size() - 1;
			continue;
		}
		if (at.starts_with("<a href="))
			check_link(at);
		if (page[i] == '"')
			std::abort();
		if (page[i] == '&' && !starts_with_any(at, {"&amp;", "&lt;", "&gt;", "&quot;"}))
			std::abort();
		if (page[i] == '<' &&
		    !starts_with_any(at, {"<html>", "</html>", "<head>", "</head>", "<title>", "</title>",
					  "<body ", "</body>", "<br />", "<img ", "<b>", "</b>", "<font ",
					  "</font>", "<hr>", "<h5>", "</h5>", "<a href=", "</a>"}))
			std::abort();
	}
}

std::string run_report(std::string_view file)
{
	FILE *in = input_file(file);
	std::string page = written_by([in](FILE *out) {
		print_page_start(out);
		print_head(out);
		print_report(text_over(in), out);
		print_tail(out);
		print_page_end(out);
	});
	std::fclose(in);
	return page;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	if (size < 3)
		return 0;
	static constexpr char flags[] = {'i', 'f', 's', 't'};
	option = flags[data[0] % sizeof flags];
	private_mode = (data[0] & 4) != 0 && option != 's';
	std::string_view rest(reinterpret_cast<const char *>(data) + 3, size - 3);
	std::string_view name = rest.substr(0, std::size_t{data[1]} * 64);
	filename = name;

	static std::string file;
	file.clear();
	if ((data[2] & 0xe0) == 0xe0) {
		// Filler lines that no rule reads, up to 128 bytes short of the block's end.
		std::size_t lead = read_block - 128 + (data[2] & 0x1f) * 5;
		while (file.size() + 40 <= lead)
			file += "3 filler line read and counted, no more\n";
		if (file.size() < lead) {
			file.append(lead - file.size() - 1, 'x');
			file += '\n';
		}
	}
	file.append(rest);

	static std::vector<int> indi_used, fam_used;
	static std::vector<std::string> pieces;
	rows_in_use(file, indi_used, fam_used, pieces);
	if (private_mode) {
		FILE *in = input_file(file);
		find_private(text_over(in), 2026);
		std::fclose(in);
	}
	std::string page = run_report(file);
	check_page(page);
	// With --private a withheld record's lines, family lines among them, are not written at
	// all, so the page's family lines no longer follow the file's one for one.
	if (option == 'f' && !private_mode && shows_another_person(pieces, page))
		std::abort();
	clear_rows(indi_used, fam_used);
	filename = {};
	return 0;
}
