// What every run of lineagecheck -v must write, whatever its input: one FILE:LINE: message
// line per finding or doubt, in line order, with line numbers within the file's, then the count of them,
// the same whatever the size of the blocks the text is cut from.
#pragma once

#include "gedfile.h"
#include "lineagecheck.h"
#include "fuzz_input.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

inline void require(bool ok)
{
	if (!ok)
		std::abort();
}

// The lines of the input as the file counts them: LF, CR and CR LF each end one.
inline unsigned long long lines_of(std::string_view file)
{
	unsigned long long n = 0;
	for (std::size_t i = 0; i < file.size(); ++i)
		if (file[i] == '\n' || (file[i] == '\r' && (i + 1 == file.size() || file[i + 1] != '\n')))
			++n;
	return n + (!file.empty() && file.back() != '\n' && file.back() != '\r');
}

inline void check_verified(std::string_view file)
{
	long long found = 0;
	auto verified = [&](std::size_t window) {
		set_findings_window(window);
		FILE *in = input_file(file);
		std::string out = written_by([&](FILE *o) { found = print_findings(text_over(in), "f", o); });
		std::fclose(in);
		return out;
	};
	// Lines are cut from blocks of text; where the blocks end must change nothing.
	std::string out = verified(64 + file.size() % 61);
	require(verified(std::size_t{1} << 30) == out);
	require(found >= 0);
	unsigned long long last = 1;
	unsigned long long most = lines_of(file) > 0 ? lines_of(file) : 1;
	long long count = 0;
	// A 7.1 file's note comes first, and is no finding.
	std::string_view first(out.data(), out.find('\n') == std::string::npos ? out.size() : out.find('\n'));
	bool note = first.starts_with("f:") && first.find(": note: GEDCOM 7.1") != std::string_view::npos &&
		    first.ends_with(" is checked by the rules of 7.0");
	std::size_t at = note ? first.size() + 1 : 0;
	long long doubts = 0;
	bool trees = false;
	for (std::size_t end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
		std::string_view line(out.data() + at, end - at);
		// The closing line on the family trees stands once, just before the count.
		if (!trees && line.starts_with("f: ") && line.ends_with(" family trees not linked to one another by FAMC and FAMS")) {
			trees = true;
			continue;
		}
		if (!line.starts_with("f:")) {
			std::string_view what = count - doubts == 1 ? " problem" : " problems";
			std::string_view ds = doubts == 1 ? " doubt" : " doubts";
			std::string problems = std::to_string(count - doubts);
			std::string summary = doubts == 0 ? (count == 0 ? "No problems found in f." : problems + std::string(what) + " found in f.")
					      : count == doubts ? "No problems found; " + std::to_string(doubts) + std::string(ds) + " in f."
								: problems + std::string(what) + " and " + std::to_string(doubts) + std::string(ds) + " found in f.";
			require(line == summary && end + 1 == out.size());
			break;
		}
		require(!trees);
		std::size_t digits = line.find_first_not_of("0123456789", 2);
		require(digits != std::string_view::npos && digits > 2 && line.substr(digits, 2) == ": ");
		unsigned long long n = std::stoull(std::string(line.substr(2, digits - 2)));
		// Doubts stand in line order among the findings, and are counted apart.
		bool doubt = line.substr(digits).starts_with(": doubt: ");
		require(n >= last && n <= most);
		last = n;
		++count;
		doubts += doubt;
	}
	count -= doubts;
	require(count == found && !out.empty() && out.back() == '\n');
}
