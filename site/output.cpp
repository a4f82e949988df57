// The site's folder: compare, write whole, rename, and remember what was written.
#include "output.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view manifest_first_line = "lineagesite manifest 1";
constexpr std::size_t read_block = 1 << 16;

bool fail(site_output &out, std::string_view what, std::string_view path)
{
	out.failure = std::string(what) + " " + std::string(path) + ": " + std::strerror(errno);
	return false;
}

// Reads a whole file opened at `fd` into `to`; false on a read error.
bool read_fd(int fd, std::string &to)
{
	std::string block(read_block, '\0');
	for (;;) {
		ssize_t n = read(fd, block.data(), block.size());
		if (n < 0 && errno == EINTR)
			continue;
		if (n < 0)
			return false;
		if (n == 0)
			return true;
		to.append(block.data(), static_cast<std::size_t>(n));
	}
}

// A name the site writes: no folder part, no dot first, nothing but letters, digits, _ - and .
bool plain_name(std::string_view name)
{
	if (name.empty() || name.front() == '.')
		return false;
	for (char c : name)
		if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
		      c == '-' || c == '.'))
			return false;
	return true;
}

// A manifest line names a file at the top or one folder down; any other is not believed.
bool site_path(std::string_view path)
{
	std::size_t slash = path.find('/');
	if (slash == std::string_view::npos)
		return plain_name(path);
	return plain_name(path.substr(0, slash)) && plain_name(path.substr(slash + 1));
}

bool is_empty_folder(int fd)
{
	int copy = dup(fd);
	DIR *d = copy >= 0 ? fdopendir(copy) : nullptr;
	if (!d)
		return false;
	bool empty = true;
	while (dirent *e = readdir(d))
		if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
			empty = false;
	closedir(d);
	return empty;
}

// The paths of the manifest, or false when there is none or it is not ours.
bool read_manifest(site_output &out)
{
	int fd = openat(out.root, std::string(manifest_name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return false;
	std::string text;
	bool read = read_fd(fd, text);
	close(fd);
	std::string_view rest = text;
	std::size_t cut = rest.find('\n');
	if (!read || cut == std::string_view::npos || rest.substr(0, cut) != manifest_first_line)
		return false;
	rest.remove_prefix(cut + 1);
	while (!rest.empty()) {
		cut = rest.find('\n');
		std::string_view line = rest.substr(0, cut);
		if (site_path(line))
			out.before.emplace(line);
		rest.remove_prefix(cut == std::string_view::npos ? rest.size() : cut + 1);
	}
	return true;
}

// The folder of a path, made or replaced (a planted link or file) as needed.
int folder_fd(site_output &out, std::string_view folder)
{
	if (folder.empty())
		return out.root;
	std::string name(folder);
	auto known = out.folders.find(name);
	if (known != out.folders.end())
		return known->second;
	int fd = openat(out.root, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0 && errno != ENOENT)
		unlinkat(out.root, name.c_str(), 0);
	if (fd < 0 && mkdirat(out.root, name.c_str(), 0755) != 0 && errno != EEXIST)
		return fail(out, "cannot make", name), -1;
	if (fd < 0)
		fd = openat(out.root, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return fail(out, "cannot open", name), -1;
	out.folders.emplace(name, fd);
	return fd;
}

bool holds(int dir, const std::string &name, std::string_view bytes)
{
	int fd = openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return false;
	struct stat st;
	std::string old;
	bool same = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
		    static_cast<std::size_t>(st.st_size) == bytes.size() && read_fd(fd, old) && old == bytes;
	close(fd);
	return same;
}

bool write_all(int fd, std::string_view bytes)
{
	while (!bytes.empty()) {
		ssize_t n = write(fd, bytes.data(), bytes.size());
		if (n < 0 && errno == EINTR)
			continue;
		if (n <= 0)
			return false;
		bytes.remove_prefix(static_cast<std::size_t>(n));
	}
	return true;
}

// Whole under a temporary name, then renamed over whatever stands at the name, a link too.
bool replace_file(site_output &out, int dir, const std::string &name, std::string_view bytes)
{
	std::string temp = "." + name + ".new";
	int fd = openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
	if (fd < 0 && errno == EEXIST && unlinkat(dir, temp.c_str(), 0) == 0)
		fd = openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
	if (fd < 0)
		return fail(out, "cannot write", name);
	bool ok = write_all(fd, bytes);
	ok = close(fd) == 0 && ok;
	if (!ok || renameat(dir, temp.c_str(), dir, name.c_str()) != 0) {
		int saved = errno;
		unlinkat(dir, temp.c_str(), 0);
		errno = saved;
		return fail(out, "cannot write", name);
	}
	++out.changed;
	return true;
}

std::pair<std::string_view, std::string> split_path(std::string_view path)
{
	std::size_t slash = path.find('/');
	if (slash == std::string_view::npos)
		return {{}, std::string(path)};
	return {path.substr(0, slash), std::string(path.substr(slash + 1))};
}

} // namespace

const char *open_site(site_output &out, const char *path)
{
	if (mkdir(path, 0755) != 0 && errno != EEXIST)
		return fail(out, "cannot make", path), "cannot be made";
	out.root = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (out.root < 0)
		return fail(out, "cannot open", path), "cannot be opened";
	if (!read_manifest(out) && !is_empty_folder(out.root)) {
		close_site(out);
		return "is not a site written by lineagesite";
	}
	return nullptr;
}

bool put_file(site_output &out, std::string_view path, std::string_view bytes)
{
	auto [folder, name] = split_path(path);
	int dir = folder_fd(out, folder);
	if (dir < 0)
		return false;
	out.written.emplace(path);
	if (out.before.count(std::string(path)) && holds(dir, name, bytes))
		return true;
	return replace_file(out, dir, name, bytes);
}

bool finish_site(site_output &out)
{
	for (const std::string &path : out.before) {
		if (out.written.count(path))
			continue;
		auto [folder, name] = split_path(path);
		int dir = folder.empty() ? out.root
					 : openat(out.root, std::string(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (dir >= 0 && unlinkat(dir, name.c_str(), 0) == 0)
			++out.removed;
		if (dir >= 0 && dir != out.root)
			close(dir);
	}
	std::string manifest(manifest_first_line);
	manifest += '\n';
	for (const std::string &path : out.written)
		manifest += path + "\n";
	out.before.insert(std::string(manifest_name));
	bool ok = put_file(out, manifest_name, manifest);
	out.written.erase(std::string(manifest_name));
	close_site(out);
	return ok;
}

void close_site(site_output &out)
{
	for (auto &[name, fd] : out.folders)
		close(fd);
	out.folders.clear();
	if (out.root >= 0)
		close(out.root);
	out.root = -1;
}
