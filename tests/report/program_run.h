// Runs the built programs as a user would, through the shell, and keeps what they wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct run_result {
	int status = -1;
	std::string out;
	std::string err;
};

inline std::string slurp(const std::filesystem::path& p)
{
	std::ifstream in(p, std::ios::binary);
	std::ostringstream s;
	s << in.rdbuf();
	return s.str();
}

// Runs a program under a time limit, so a hang fails the test instead of stopping it.
// `before` goes in front of the command: settings of the environment, or a pipe into it.
inline run_result run(const std::vector<std::string>& args, const char *program = LINEAGEHTML,
		      const std::string& before = "")
{
	namespace fs = std::filesystem;
	const fs::path work = fs::temp_directory_path() / ("lineagehtml-sweep." + std::to_string(getpid()));
	fs::create_directories(work);
	std::string cmd = before + "timeout 60 '" + std::string(program) + "'";
	for (const std::string& arg : args)
		cmd += " '" + arg + "'";
	cmd += " > '" + (work / "out").string() + "' 2> '" + (work / "err").string() + "'";
	int raw = std::system(cmd.c_str());
	run_result r;
	r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
	r.out = slurp(work / "out");
	r.err = slurp(work / "err");
	fs::remove_all(work);
	return r;
}

// Runs `program flag FILE` over a file that holds `bytes`.
inline run_result run_over(const std::string& bytes, const char *flag, const char *program = LINEAGEHTML)
{
	namespace fs = std::filesystem;
	const fs::path file = fs::temp_directory_path() / ("lineage-input." + std::to_string(getpid()) + ".ged");
	std::ofstream(file, std::ios::binary) << bytes;
	run_result r = run({flag, file.string()}, program);
	fs::remove(file);
	return r;
}
