// Writing a site into its folder: each file whole under a temporary name and then renamed,
// only when its bytes change, never through a symbolic link, and with a manifest of what
// was written, so that the next run removes what is no longer part of the site and nothing
// else.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr std::string_view manifest_name = "lineagesite-manifest.txt";

// What the manifest says of a file: its size and the hash of its bytes; `known` is false for
// a file of an older manifest, which names files only.
struct file_sum {
	std::uint64_t size = 0;
	std::uint64_t hash = 0;
	bool known = false;
};

struct listed_file {
	file_sum sum;
	bool kept = false;  // written or found whole by this run
};

// Files handed to the thread that writes them, so that the pages of the next are made while
// the system writes one: the two cores of a small machine each do half the work.
struct write_queue {
	std::mutex lock;
	std::condition_variable moved;  // a file was handed on or taken, or the writer stopped
	std::deque<std::pair<std::string, std::string>> files;
	std::size_t bytes = 0;
	bool closing = false;
	bool failed = false;
	pthread_t thread{};
};

struct site_output {
	int root = -1;
	std::unordered_map<std::string, int> folders;
	std::unordered_map<std::string, listed_file> before;  // the files of the last run's manifest
	std::string manifest;          // the last run's, as read
	long long manifest_changed[2] = {-1, 0};  // its status change time, seconds and nanoseconds
	std::vector<std::pair<std::string, file_sum>> written;
	bool named_temporaries = false;  // the system makes no file without a name
	long changed = 0;
	long removed = 0;
	std::string failure;           // why the last operation failed
	std::unique_ptr<write_queue> queue;  // null when the files are written at once
};

// Opens OUTDIR, made when missing; a reason when it is neither empty nor a site written here.
const char *open_site(site_output &out, const char *path);

// Writes `bytes` as the file at `path` (a name, or a folder and a name) unless it holds them,
// now or on the writing thread; false once a write has failed.
bool put_file(site_output &out, std::string_view path, std::string &&bytes);
bool put_file(site_output &out, std::string_view path, std::string_view bytes);

// Waits for the files handed on, removes the files of the last run that this one did not
// write, writes the manifest and closes the folder.
bool finish_site(site_output &out);

// Waits for the writing thread, which writes nothing more, and closes the folder.
void close_site(site_output &out);
