// Runs one command with its output in a file and prints its wall time, CPU time and peak memory.
//
// usage: spawn OUTFILE COMMAND [ARG...]
// prints: wall_seconds user_seconds system_seconds peak_rss_kib exit_status
//
// A process started straight from the Python runner would report the runner's own size as
// its peak: Linux carries the resident peak of the forked image across exec. This launcher
// is small, so the figure it reports is the command's own (plus about a mebibyte).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds(const timeval& t)
{
	return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double now()
{
	timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
	if (argc < 3) {
		std::fputs("usage: spawn OUTFILE COMMAND [ARG...]\n", stderr);
		return 2;
	}
	// Opened, and an old copy truncated, before the clock starts: freeing the old pages is
	// not the command's work.
	int out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
	int quiet = open("/dev/null", O_WRONLY);
	if (out < 0 || quiet < 0) {
		std::perror(argv[1]);
		return 2;
	}
	double start = now();
	pid_t pid = fork();
	if (pid < 0) {
		std::perror("fork");
		return 2;
	}
	if (pid == 0) {
		dup2(out, STDOUT_FILENO);
		dup2(quiet, STDERR_FILENO);
		execvp(argv[2], argv + 2);
		_exit(127);
	}
	int status = 0;
	rusage usage{};
	if (wait4(pid, &status, 0, &usage) < 0) {
		std::perror("wait4");
		return 2;
	}
	double wall = now() - start;
	int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
	std::printf("%.6f %.6f %.6f %ld %d\n", wall, seconds(usage.ru_utime), seconds(usage.ru_stime),
		    usage.ru_maxrss, code);
	return 0;
}
