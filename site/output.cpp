// The site's folder: compare, write whole, rename, and remember what was written.
#include "output.h"

#include "records.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view manifest_first_line = "lineagesite manifest 2";
constexpr std::string_view older_manifest_first_line = "lineagesite manifest 1";
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

// One line of the manifest: a path, then its size and the hash of its bytes in hex; an older
// manifest has the path alone.
bool read_manifest_line(std::string_view line, std::string_view &path, file_sum &sum)
{
	std::size_t blank = line.find(' ');
	path = line.substr(0, blank);
	if (!site_path(path))
		return false;
	if (blank == std::string_view::npos)
		return true;
	std::string_view rest = line.substr(blank + 1);
	std::size_t next = rest.find(' ');
	if (next == std::string_view::npos)
		return false;
	auto number = [](std::string_view digits, std::uint64_t &value, int base) {
		auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
		return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
	};
	sum.known = number(rest.substr(0, next), sum.size, 10) && number(rest.substr(next + 1), sum.hash, 16);
	return sum.known;
}

// The files of the manifest, or false when there is none or it is not ours.
bool read_manifest(site_output &out)
{
	int fd = openat(out.root, std::string(manifest_name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return false;
	struct stat st;
	bool read = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read_fd(fd, out.manifest);
	close(fd);
	std::string_view rest = out.manifest;
	std::size_t cut = rest.find('\n');
	if (!read || cut == std::string_view::npos ||
	    (rest.substr(0, cut) != manifest_first_line && rest.substr(0, cut) != older_manifest_first_line))
		return false;
	out.manifest_changed[0] = st.st_ctim.tv_sec;
	out.manifest_changed[1] = st.st_ctim.tv_nsec;
	rest.remove_prefix(cut + 1);
	while (!rest.empty()) {
		cut = rest.find('\n');
		std::string_view path;
		file_sum sum;
		if (read_manifest_line(rest.substr(0, cut), path, sum))
			out.before[std::string(path)].sum = sum;
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

// Whether the file holds `bytes`, read back to be sure.
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

// Whether the file is the one the manifest describes, as the last run left it: no change of
// its bytes or status since the manifest was written, which any write, rename, link or
// change of times would have made. Its bytes then need not be read.
bool untouched(const site_output &out, int dir, const std::string &name, std::uint64_t size)
{
	struct stat st;
	if (fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
	    static_cast<std::uint64_t>(st.st_size) != size)
		return false;
	long long sec = st.st_ctim.tv_sec;
	long long nsec = st.st_ctim.tv_nsec;
	return sec < out.manifest_changed[0] || (sec == out.manifest_changed[0] && nsec <= out.manifest_changed[1]);
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
	return true;
}

enum class made { yes, taken, no_way, failed };

// A file where none stands: written whole without a name, then given its name, which fails
// when anything stands there. One change of the folder instead of the two of a rename, and
// nothing half written is ever seen. Some systems cannot: no_way, and the caller renames.
made make_file(site_output &out, int dir, const std::string &name, std::string_view bytes)
{
	int fd = openat(dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0644);
	if (fd < 0)
		return made::no_way;
	if (!write_all(fd, bytes)) {
		int saved = errno;
		close(fd);
		errno = saved;
		fail(out, "cannot write", name);
		return made::failed;
	}
	std::array<char, 40> self{};
	std::snprintf(self.data(), self.size(), "/proc/self/fd/%d", fd);
	int linked = linkat(AT_FDCWD, self.data(), dir, name.c_str(), AT_SYMLINK_FOLLOW);
	int saved = errno;
	close(fd);
	return linked == 0 ? made::yes : saved == EEXIST ? made::taken : made::no_way;
}

bool write_file(site_output &out, int dir, const std::string &name, std::string_view bytes, bool listed)
{
	made m = listed || out.named_temporaries ? made::taken : make_file(out, dir, name, bytes);
	if (m == made::failed)
		return false;
	if (m == made::no_way)
		out.named_temporaries = true;
	if (m != made::yes && !replace_file(out, dir, name, bytes))
		return false;
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

void start_writer(site_output &out);
bool stop_writer(site_output &out);

} // namespace

const char *open_site(site_output &out, const char *path)
{
	if (mkdir(path, 0755) != 0 && errno != EEXIST)
		return fail(out, "cannot make", path), "cannot be made";
	out.root = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (out.root < 0)
		return fail(out, "cannot open", path), "cannot be opened";
	bool ours = read_manifest(out);
	if (!ours && !is_empty_folder(out.root)) {
		close_site(out);
		return "is not a site written by lineagesite";
	}
	// The folder is marked as a site before any page is in it, so that a first run stopped
	// midway leaves a folder that the next run takes up instead of refusing it.
	if (!ours && !write_file(out, out.root, std::string(manifest_name), std::string(manifest_first_line) + '\n', false)) {
		close_site(out);
		return "cannot be written";
	}
	start_writer(out);
	return nullptr;
}

namespace {

bool write_now(site_output &out, std::string_view path, std::string_view bytes)
{
	auto [folder, name] = split_path(path);
	int dir = folder_fd(out, folder);
	if (dir < 0)
		return false;
	file_sum sum{bytes.size(), xref_hash(bytes, false), true};
	out.written.emplace_back(path, sum);
	auto listed = out.before.find(std::string(path));
	if (listed == out.before.end())
		return write_file(out, dir, name, bytes, false);
	listed->second.kept = true;
	const file_sum &old = listed->second.sum;
	bool same_sum = old.known && old.size == sum.size && old.hash == sum.hash;
	if ((same_sum && untouched(out, dir, name, sum.size)) || ((!old.known || same_sum) && holds(dir, name, bytes)))
		return true;
	return write_file(out, dir, name, bytes, true);
}

// A bound on the bytes waiting, so that memory does not grow when the disk is the slower.
constexpr std::size_t most_queued_bytes = 16 << 20;

void *write_queued(void *to)
{
	site_output &out = *static_cast<site_output *>(to);
	write_queue &q = *out.queue;
	std::unique_lock<std::mutex> held(q.lock);
	for (;;) {
		q.moved.wait(held, [&q] { return !q.files.empty() || q.closing; });
		if (q.files.empty())
			return nullptr;
		std::pair<std::string, std::string> file = std::move(q.files.front());
		q.files.pop_front();
		held.unlock();
		bool ok = q.failed || write_now(out, file.first, file.second);
		held.lock();
		q.bytes -= file.second.size();
		q.failed = q.failed || !ok;
		q.moved.notify_all();
	}
}

void start_writer(site_output &out)
{
	out.queue = std::make_unique<write_queue>();
	if (pthread_create(&out.queue->thread, nullptr, write_queued, &out) != 0)
		out.queue.reset();
}

// Waits until every file handed on is written or the writer has failed; false if it failed.
bool stop_writer(site_output &out)
{
	if (!out.queue)
		return true;
	{
		std::lock_guard<std::mutex> held(out.queue->lock);
		out.queue->closing = true;
	}
	out.queue->moved.notify_all();
	pthread_join(out.queue->thread, nullptr);
	bool ok = !out.queue->failed;
	out.queue.reset();
	return ok;
}

} // namespace

bool put_file(site_output &out, std::string_view path, std::string &&bytes)
{
	if (!out.queue)
		return write_now(out, path, bytes);
	write_queue &q = *out.queue;
	std::unique_lock<std::mutex> held(q.lock);
	q.moved.wait(held, [&q] { return q.bytes < most_queued_bytes || q.failed; });
	if (q.failed)
		return false;
	q.bytes += bytes.size();
	q.files.emplace_back(path, std::move(bytes));
	held.unlock();
	q.moved.notify_all();
	return true;
}

bool put_file(site_output &out, std::string_view path, std::string_view bytes)
{
	return put_file(out, path, std::string(bytes));
}

bool finish_site(site_output &out)
{
	if (!stop_writer(out)) {
		close_site(out);
		return false;
	}
	for (const auto &[path, file] : out.before) {
		if (file.kept)
			continue;
		auto [folder, name] = split_path(path);
		int dir = folder.empty() ? out.root
					 : openat(out.root, std::string(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (dir >= 0 && unlinkat(dir, name.c_str(), 0) == 0)
			++out.removed;
		if (dir >= 0 && dir != out.root)
			close(dir);
	}
	auto by_path = [](const auto &a, const auto &b) { return a.first < b.first; };
	auto same_path = [](const auto &a, const auto &b) { return a.first == b.first; };
	std::sort(out.written.begin(), out.written.end(), by_path);
	out.written.erase(std::unique(out.written.begin(), out.written.end(), same_path), out.written.end());
	std::string manifest(manifest_first_line);
	manifest += '\n';
	std::array<char, 48> sum{};
	for (const auto &[path, file] : out.written) {
		std::snprintf(sum.data(), sum.size(), " %llu %016llx\n", static_cast<unsigned long long>(file.size),
			      static_cast<unsigned long long>(file.hash));
		manifest += path;
		manifest += sum.data();
	}
	bool ok = manifest == out.manifest || write_file(out, out.root, std::string(manifest_name), manifest,
							  out.manifest_changed[0] >= 0);
	close_site(out);
	return ok;
}

void close_site(site_output &out)
{
	stop_writer(out);
	for (auto &[name, fd] : out.folders)
		close(fd);
	out.folders.clear();
	if (out.root >= 0)
		close(out.root);
	out.root = -1;
}
