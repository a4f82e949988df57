// Every real GEDCOM sample through every flag of the built program: no fault, a whole page.
#include <gtest/gtest.h>

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

// Runs the program under a time limit, so a hang fails the test instead of stopping it.
run_result run(const std::string& flag, const fs::path& file)
{
	const fs::path work = fs::temp_directory_path() / ("lineagehtml-sweep." + std::to_string(getpid()));
	fs::create_directories(work);
	std::string cmd = "timeout 60 '" LINEAGEHTML "' '" + flag + "' '" + file.string() + "' > '" +
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

} // namespace

TEST(SampleSweep, EverySampleThroughEveryFlagGivesAWholePage)
{
	fs::path samples = LINEAGE_SAMPLES_DIR;
	if (!fs::is_directory(samples))
		GTEST_SKIP() << "no samples folder at " << samples;
	std::vector<fs::path> files;
	for (const auto& e : fs::directory_iterator(samples))
		if (e.path().extension() == ".ged")
			files.push_back(e.path());
	std::sort(files.begin(), files.end());
	ASSERT_FALSE(files.empty());

	for (const fs::path& file : files) {
		for (const char *flag : {"-i", "-f", "-s", "-t", "-h", "-q", "-"}) {
			SCOPED_TRACE(file.filename().string() + " " + flag);
			run_result r = run(flag, file);
			EXPECT_EQ(r.status, 0);
			EXPECT_EQ(r.err, "");
			char letter = flag[1];
			if (letter == 'h')
				EXPECT_EQ(r.out.rfind("\nLineagehtml 2.1.0.2", 0), 0u);
			else if (letter == 'q' || letter == '\0')
				EXPECT_EQ(r.out, "Lineagehtml: Sorry, no valid flag specified.\n"
						 "For more information type: lineagehtml -h\n");
			else {
				EXPECT_EQ(r.out.rfind("<html>\n<head>\n<meta charset=\"utf-8\">\n<title> Lineagehtml on ", 0), 0u);
				EXPECT_TRUE(ends_with(r.out, "</h5>\n</body>\n</html>\n"));
			}
		}
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
