// Writing a site into its folder: each file whole under a temporary name and then renamed,
// only when its bytes change, never through a symbolic link, and with a manifest of what
// was written, so that the next run removes what is no longer part of the site and nothing
// else.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

inline constexpr std::string_view manifest_name = "lineagesite-manifest.txt";

struct site_output {
	int root = -1;
	std::unordered_map<std::string, int> folders;
	std::set<std::string> before;  // the files of the last run's manifest
	std::set<std::string> written;
	long changed = 0;
	long removed = 0;
	std::string failure;           // why the last operation failed
};

// Opens OUTDIR, made when missing; a reason when it is neither empty nor a site written here.
const char *open_site(site_output &out, const char *path);

// Writes `bytes` as the file at `path` (a name, or a folder and a name) unless it holds them.
bool put_file(site_output &out, std::string_view path, std::string_view bytes);

// Removes the files of the last run that this one did not write, writes the manifest and
// closes the folder.
bool finish_site(site_output &out);

void close_site(site_output &out);
