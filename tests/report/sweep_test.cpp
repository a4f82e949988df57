// Every real GEDCOM sample through every flag of the built program: no fault, a whole page.
#include <gtest/gtest.h>

#include "family_lines.h"
#include "gedline.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct run_result {
	int status = -1;
	std::string out;
	std::string err;
};

std::string slurp(const fs::path& p)
{
	std::ifstream in(p, std::ios::binary);
	std::ostringstream s;
	s << in.rdbuf();
	return s.str();
}

// Runs a program under a time limit, so a hang fails the test instead of stopping it.
run_result run(const std::string& flag, const fs::path& file, const char *program = LINEAGEHTML)
{
	const fs::path work = fs::temp_directory_path() / ("lineagehtml-sweep." + std::to_string(getpid()));
	fs::create_directories(work);
	std::string cmd = "timeout 60 '" + std::string(program) + "' '" + flag + "' '" + file.string() + "' > '" +
			  (work / "out").string() + "' 2> '" + (work / "err").string() + "'";
	int raw = std::system(cmd.c_str());
	run_result r;
	r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
	r.out = slurp(work / "out");
	r.err = slurp(work / "err");
	fs::remove_all(work);
	return r;
}

bool ends_with(const std::string& s, const std::string& end)
{
	return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::vector<fs::path> sample_files()
{
	std::vector<fs::path> files;
	for (const auto& e : fs::directory_iterator(LINEAGE_SAMPLES_DIR))
		if (e.path().extension() == ".ged")
			files.push_back(e.path());
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
			run_result r = run(flag, file);
			char letter = flag[1];
			if (letter == 'q' || letter == '\0') {
				EXPECT_EQ(r.status, 1);
				EXPECT_EQ(r.out, "");
				EXPECT_EQ(r.err, "Lineagehtml: Sorry, no valid flag specified.\n"
						 "For more information type: lineagehtml -h\n");
				continue;
			}
			EXPECT_EQ(r.status, 0);
			EXPECT_EQ(r.err, "");
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
		run_result r = run("-f", file);
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
		std::string counted = individuals_line(run("-s", file).out);
		EXPECT_NE(counted, "");
		EXPECT_EQ(counted, individuals_line(run("-s", file, LINEAGECHECK).out));
	}
}

// A file whose only line end is CR is read line by line, not as one endless line.
TEST(SampleSweep, CarriageReturnSampleIsReadLineByLine)
{
	fs::path file = fs::path(LINEAGE_SAMPLES_DIR) / "TGC55C.ged";
	if (!fs::is_directory(LINEAGE_SAMPLES_DIR))
		GTEST_SKIP() << "no samples folder";
	run_result r = run("-s", file);
	std::size_t at = r.out.find(" Lines of Data in GED = ");
	ASSERT_NE(at, std::string::npos);
	EXPECT_GT(std::atoi(r.out.c_str() + at + 24), 1000);
	EXPECT_NE(r.out.find(" Number of Individuals in GED  = "), std::string::npos);
}
