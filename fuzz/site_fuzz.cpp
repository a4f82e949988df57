// Fuzz target for lineagesite's reading and page writers: any bytes as a GEDCOM file, with
// the living shown or not (the first byte's low bit). Every person's and source's page is
// made in memory. Beyond the sanitizers it stops on a link to a script address.
#include "gedfile.h"
#include "fuzz_input.h"
#include "privacy.h"
#include "run.h"
#include "site.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool lower_starts(std::string_view text, std::string_view with)
{
	if (text.size() < with.size())
		return false;
	for (std::size_t i = 0; i < with.size(); ++i)
		if ((text[i] >= 'A' && text[i] <= 'Z' ? text[i] + 32 : text[i]) != with[i])
			return false;
	return true;
}

void check_links(const std::string &page)
{
	for (std::size_t at = page.find("href=\""); at != std::string::npos; at = page.find("href=\"", at + 1)) {
		std::string_view address = std::string_view(page).substr(at + 6);
		for (std::string_view bad : {"javascript:", "data:", "vbscript:"})
			if (lower_starts(address, bad))
				std::abort();
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	if (size < 1)
		return 0;
	std::string_view file = input_bytes(data + 1, size - 1);
	site_options options;
	options.show_living = (data[0] & 1) != 0;
	options.ged_path = "fuzz.ged";
	options.now = 1780000000;
	FILE *in = input_file(file);
	decide_privacy(text_over(in), 2026, false, options.show_living);
	std::fclose(in);
	site_state site;
	in = input_file(file);
	ged_text &text = text_over(in);
	bool read = ged_read_all(text, site.tree.text);
	std::fclose(in);
	if (!read || !prepare_site(site, options))
		return 0;
	for (const person_info &p : site.people)
		if (p.shown)
			check_links(person_page(site, p));
	for (std::size_t r = 0; r < site.tree.records.size(); ++r)
		if (site.tree.records[r].kind == record_kind::sour)
			check_links(source_page(site, static_cast<int>(r)));
	return 0;
}
