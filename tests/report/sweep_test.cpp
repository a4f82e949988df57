// Every real GEDCOM sample through every flag of the built program: no fault, a whole page;
// through --private, nothing of a private person.
#include <gtest/gtest.h>

#include "family_lines.h"
#include "gedfile.h"
#include "lineagehtml.h"
#include "program_run.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

bool ends_with(const std::string& s, const std::string& end)
{
	return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The samples of the folder, or with `below` those of its subfolders too.
std::vector<fs::path> sample_files(bool below = false)
{
	std::vector<fs::path> files;
	auto take = [&files](const fs::directory_entry& e) {
		if (e.path().extension() == ".ged")
			files.push_back(e.path());
	};
	if (below)
		std::for_each(fs::recursive_directory_iterator(LINEAGE_SAMPLES_DIR), fs::recursive_directory_iterator(), take);
	else
		std::for_each(fs::directory_iterator(LINEAGE_SAMPLES_DIR), fs::directory_iterator(), take);
	std::sort(files.begin(), files.end());
	return files;
}

// The file's line pieces as the programs read them.
std::vector<std::string> pieces_of(const fs::path& file)
{
	static piece_reader reader;
	static ged_text text;
	std::vector<std::string> pieces;
	if (!ged_open(text, file.c_str()))
		return pieces;
	read_pieces(reader, text, [&](std::string_view p) {
		pieces.emplace_back(p);
		return true;
	});
	ged_close(text);
	return pieces;
}

// Standard error of a page that was written holds notices of what it could not show, nothing else.
bool only_notices(const std::string& err)
{
	for (std::size_t at = 0; at < err.size(); at = err.find('\n', at) + 1)
		if (err.compare(at, 13, "lineagehtml: ") != 0 || err.find('\n', at) == std::string::npos)
			return false;
	return true;
}

std::string individuals_line(const std::string& out)
{
	std::size_t at = out.find(" Number of Individuals in GED  = ");
	return at == std::string::npos ? std::string() : out.substr(at, out.find_first_of("<\n", at) - at);
}

} // namespace

TEST(SampleSweep, EverySampleThroughEveryFlagGivesAWholePage)
{
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder at " << LINEAGE_SAMPLES_DIR;
	std::vector<fs::path> files = sample_files();
	ASSERT_FALSE(files.empty());

	for (const fs::path& file : files) {
		for (const char *flag : {"-i", "-f", "-s", "-t", "-h", "-q", "-"}) {
			SCOPED_TRACE(file.filename().string() + " " + flag);
			run_result r = run({flag, file.string()});
			char letter = flag[1];
			if (letter == 'q' || letter == '\0') {
				EXPECT_EQ(r.status, 1);
				EXPECT_EQ(r.out, "");
				EXPECT_EQ(r.err, "Lineagehtml: Sorry, no valid flag specified.\n"
						 "For more information type: lineagehtml -h\n");
				continue;
			}
			EXPECT_EQ(r.status, 0);
			EXPECT_TRUE(only_notices(r.err)) << r.err;
			// Only the family report writes member lines.
			if (letter != 'f') {
				EXPECT_EQ(r.err.find("family member"), std::string::npos);
			}
			if (letter == 'h') {
				EXPECT_EQ(r.out.rfind("\nLineagehtml 2.1.0.2", 0), 0u);
			} else {
				EXPECT_EQ(r.out.rfind("<html>\n<head>\n<meta charset=\"utf-8\">\n<title> Lineagehtml on ", 0), 0u);
				EXPECT_TRUE(ends_with(r.out, "</h5>\n</body>\n</html>\n"));
			}
		}
	}
}

// Rows are shared by records whose numbers agree in their first four characters; a family line
// still shows nobody's name, dates or sex but those of the record it names.
TEST(SampleSweep, NoFamilyLineShowsAnotherPerson)
{
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder at " << LINEAGE_SAMPLES_DIR;
	for (const fs::path& file : sample_files()) {
		SCOPED_TRACE(file.filename().string());
		run_result r = run({"-f", file.string()});
		EXPECT_EQ(family_lines::first_wrong_person(pieces_of(file), r.out), "");
	}
}

// Both programs count the individual records, whose figures lineagecheck's tests hold.
TEST(SampleSweep, IndividualsAreCountedAsTheVerifierCountsThem)
{
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder at " << LINEAGE_SAMPLES_DIR;
	for (const fs::path& file : sample_files()) {
		SCOPED_TRACE(file.filename().string());
		std::string counted = individuals_line(run({"-s", file.string()}).out);
		EXPECT_NE(counted, "");
		EXPECT_EQ(counted, individuals_line(run({"-s", file.string()}, LINEAGECHECK).out));
	}
}

// A file whose only line end is CR is read line by line, not as one endless line.
TEST(SampleSweep, CarriageReturnSampleIsReadLineByLine)
{
	fs::path file = fs::path(LINEAGE_SAMPLES_DIR) / "TGC55C.ged";
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder";
	run_result r = run({"-s", file.string()});
	std::size_t at = r.out.find(" Lines of Data in GED = ");
	ASSERT_NE(at, std::string::npos);
	EXPECT_GT(std::atoi(r.out.c_str() + at + 24), 1000);
	EXPECT_NE(r.out.find(" Number of Individuals in GED  = "), std::string::npos);
}

namespace {

constexpr const char *fixed_epoch = "SOURCE_DATE_EPOCH=1780000000 ";
constexpr int fixed_year = 2026;

std::vector<std::string> lines_of(const std::string& bytes)
{
	std::vector<std::string> lines;
	std::size_t start = 0;
	for (std::size_t i = 0; i <= bytes.size(); ++i) {
		if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r')
			continue;
		lines.push_back(bytes.substr(start, i - start));
		if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
			++i;
		start = i + 1;
	}
	return lines;
}

std::string escaped(const std::string& text)
{
	std::string out;
	for (char c : text)
		out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
	return out;
}

std::string trimmed(std::string text)
{
	while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
		text.pop_back();
	std::size_t from = text.find_first_not_of(" \t");
	return from == std::string::npos ? std::string{} : text.substr(from, 60);
}

// What the first pass decides of a sample: the private people's names, given names, dates
// and places that stand nowhere else in the file, and how many records are private.
struct private_people {
	std::vector<std::string> secrets;
	int records = 0;
};

private_people read_private_people(const std::string& bytes)
{
	option = 'i';
	FILE *in = fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "r");
	find_private(text_over(in), fixed_year);
	std::fclose(in);
	private_people people;
	std::string open_text;
	std::vector<std::string> found;
	bool hidden = false;
	for (const std::string& line : lines_of(bytes)) {
		if (line.starts_with("0 TRLR"))
			break;
		if (line.starts_with("0")) {
			std::size_t at = line.find('@', 2);
			std::size_t close = at == std::string::npos ? at : line.find('@', at + 1);
			hidden = close != std::string::npos && line.find(" INDI", close) == close + 1 &&
				 names_private("1 HUSB " + line.substr(at, close - at + 1));
			people.records += hidden;
		}
		if (!hidden || line.size() < 7 || line[1] != ' ') {
			open_text += line + "\n";
			continue;
		}
		std::string tag = line.substr(2, 4);
		std::string value = trimmed(line.substr(7));
		if (tag == "NAME" || tag == "GIVN") {
			std::istringstream given(value.substr(0, value.find('/')));
			for (std::string word; given >> word;)
				found.push_back(word);
		}
		if (tag == "NAME" || tag == "DATE" || tag == "PLAC")
			found.push_back(value);
	}
	for (const std::string& text : found)
		if (text.size() >= 3 && text != "Private" && open_text.find(text) == std::string::npos)
			people.secrets.push_back(text);
	return people;
}

// The report's lines, each begun by its "<br />", without the footer.
std::vector<std::string> units_of(const std::string& page)
{
	std::string body = page.substr(0, page.find("<hr><h5>"));
	std::vector<std::string> units;
	for (std::size_t at = 0, next; at < body.size(); at = next) {
		next = body.find("<br />", at + 1);
		if (next == std::string::npos)
			next = body.size();
		units.push_back(body.substr(at, next - at));
	}
	return units;
}

bool followed_by_line_end(const std::string& unit, std::size_t at, const std::string& rest)
{
	while (at < unit.size() && (unit[at] == '\r' || unit[at] == '\n'))
		++at;
	return unit.compare(at, std::string::npos, rest) == 0;
}

bool is_private_name(const std::string& unit)
{
	const std::string head = std::string("<br /><img src=gedline1.gif align=center />") + " Name = Private";
	return unit.starts_with(head) && followed_by_line_end(unit, head.size(), "");
}

bool is_member(const std::string& unit)
{
	return unit.find(" Husband = <b>") != std::string::npos || unit.find(" Wife = <b>") != std::string::npos ||
	       unit.find(" Child = ") != std::string::npos;
}

bool is_private_member(const std::string& unit)
{
	std::size_t at = unit.find("<b>Private");
	return is_member(unit) && at != std::string::npos && followed_by_line_end(unit, at + 10, "</b> ( - )");
}

bool holds_any(const std::string& text, const std::vector<std::string>& secrets)
{
	for (const std::string& secret : secrets)
		if (text.find(escaped(secret)) != std::string::npos)
			return true;
	return false;
}

// The family report keeps every line but for members shown as Private (or, where the page
// without the option showed a private person's facts in a public member's line, mended) and
// marriage and divorce facts withheld.
void expect_families_kept(const std::vector<std::string>& plain, const std::vector<std::string>& hidden,
			  const std::vector<std::string>& secrets)
{
	std::size_t i = 0;
	for (const std::string& unit : plain) {
		if (i < hidden.size() && hidden[i] == unit) {
			++i;
		} else if (i < hidden.size() && is_member(unit) && is_member(hidden[i])) {
			EXPECT_TRUE(is_private_member(hidden[i]) || holds_any(unit, secrets)) << hidden[i];
			++i;
		} else {
			EXPECT_TRUE(unit.find(" Marriage ") != std::string::npos ||
				    unit.find(" Divorce ") != std::string::npos) << unit;
		}
	}
	EXPECT_EQ(i, hidden.size());
}

std::size_t count_private_names(const std::vector<std::string>& units)
{
	return std::count_if(units.begin(), units.end(), is_private_name);
}

// Whether hidden[i..] is plain[j..] but that each run of "Name = Private" lines stands in
// place of the lines of withheld records: none or several. Shorter runs are tried first;
// `failed` keeps the places already tried in vain.
bool withheld_in_place(const std::vector<std::string>& plain, const std::vector<std::string>& hidden, std::size_t i,
		       std::size_t j, std::set<std::pair<std::size_t, std::size_t>>& failed)
{
	for (; i < hidden.size() && !is_private_name(hidden[i]); ++i, ++j)
		if (j >= plain.size() || plain[j] != hidden[i])
			return false;
	if (i == hidden.size())
		return j == plain.size();
	while (i < hidden.size() && is_private_name(hidden[i]))
		++i;
	if (i == hidden.size())
		return true;
	for (std::size_t k = j; k < plain.size(); ++k) {
		if (plain[k] != hidden[i] || failed.contains({i, k}))
			continue;
		if (withheld_in_place(plain, hidden, i, k, failed))
			return true;
		failed.insert({i, k});
	}
	return false;
}

} // namespace

TEST(PrivateSweep, NoPrivatePersonsFactsOnAnyPageAndEveryoneElseAsWithoutTheOption)
{
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder";
	for (const fs::path& file : sample_files(true)) {
		private_people people = read_private_people(slurp(file));
		for (const char *flag : {"-i", "-f", "-s", "-t"}) {
			SCOPED_TRACE(file.filename().string() + " " + flag);
			run_result plain = run({flag, file.string()}, LINEAGEHTML, fixed_epoch);
			run_result hidden = run({"--private", flag, file.string()}, LINEAGEHTML, fixed_epoch);
			EXPECT_EQ(hidden.status, 0);
			EXPECT_TRUE(only_notices(hidden.err)) << hidden.err;
			// Surnames and counts are not private.
			if (flag[1] == 's') {
				EXPECT_EQ(hidden.out, plain.out);
				continue;
			}
			for (const std::string& secret : people.secrets)
				EXPECT_EQ(hidden.out.find(escaped(secret)), std::string::npos) << secret;
			std::vector<std::string> before = units_of(plain.out);
			std::vector<std::string> after = units_of(hidden.out);
			if (flag[1] == 'f') {
				expect_families_kept(before, after, people.secrets);
			} else {
				std::set<std::pair<std::size_t, std::size_t>> failed;
				EXPECT_TRUE(withheld_in_place(before, after, 0, 0, failed));
				EXPECT_EQ(count_private_names(after), static_cast<std::size_t>(people.records));
			}
		}
	}
}

// The file is read twice; a pipe would give an empty page the second time.
TEST(PrivateSweep, APipeIsRefusedBeforeAnythingIsWritten)
{
	fs::path file = fs::path(LINEAGE_SAMPLES_DIR) / "royal92.ged";
	if (!fs::is_regular_file(file))
		GTEST_SKIP() << "no samples folder";
	run_result r = run({"--private", "-i", "/dev/stdin"}, LINEAGEHTML, "cat '" + file.string() + "' | ");
	EXPECT_EQ(r.status, 1);
	EXPECT_EQ(r.out, "");
	EXPECT_EQ(r.err, "Lineagehtml: Sorry, --private reads the file twice and cannot read a pipe.\n");
}
