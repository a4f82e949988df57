// GEDZIP: a zip archive of gedcom.ged and the files its FILE lines name. Nothing is extracted:
// gedcom.ged is read from the archive as a stream, and every other entry only looked up.
#include "gedzip.h"

#include "gedtext.h"
#include "grow_list.h"
#include "lineagecheck.h"
#include "rules7.h"
#include "versions.h"
#include "zip_library.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace {

// No family file unpacks beyond these, nor does text shrink to less than a two-hundredth;
// an entry past either is refused, whatever its header claims, and reading stops there.
constexpr std::uint64_t entry_bytes_max = std::uint64_t{8} << 30;
constexpr std::uint64_t ratio_max = 200;
constexpr std::uint64_t ratio_from = std::uint64_t{1} << 20;

constexpr const char *data_stream = "gedcom.ged";

const zip_library *z = nullptr;

struct entry_read {
	zip_file_t *file;
	std::uint64_t declared; // the uncompressed size its header gives
	std::uint64_t packed;   // its compressed size, at most the archive's
	std::uint64_t read;
	archive_refusal *why;
};

bool beyond_bounds(std::uint64_t size, std::uint64_t packed)
{
	return size > entry_bytes_max || (size > ratio_from && size / (packed ? packed : 1) > ratio_max);
}

void refuse(archive_refusal &why, const char *format, std::string_view what, const char *more = "")
{
	std::snprintf(why.data(), why.size(), format, static_cast<int>(what.size()), what.data(), more);
}

ssize_t read_entry(void *cookie, char *to, std::size_t size)
{
	auto &e = *static_cast<entry_read *>(cookie);
	zip_int64_t n = z->zip_fread(e.file, to, size);
	if (n < 0) {
		refuse(*e.why, "%.*s cannot be read from the archive (%s)", data_stream, z->zip_file_strerror(e.file));
		return -1;
	}
	e.read += static_cast<std::uint64_t>(n);
	if (e.read > e.declared || beyond_bounds(e.read, e.packed)) {
		refuse(*e.why, "%.*s unpacks to more than %s: refused as a zip bomb", data_stream,
		       e.read > e.declared ? "its header says" : "a family file could");
		return -1;
	}
	return static_cast<ssize_t>(n);
}

// A name that reaches outside the folder it would be unpacked into.
bool unsafe_name(std::string_view name)
{
	if (name.starts_with('/') || name.starts_with('\\'))
		return true;
	for (std::size_t at = 0; at <= name.size();) {
		std::size_t end = name.find_first_of("/\\", at);
		if (end == std::string_view::npos)
			end = name.size();
		if (name.substr(at, end - at) == "..")
			return true;
		at = end + 1;
	}
	return false;
}

std::uint64_t file_bytes(const char *path)
{
	struct stat st;
	return stat(path, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

// Every entry's name and size is judged before anything is read.
bool entries_are_safe(zip_t *zip, std::uint64_t archive_bytes, archive_refusal &why)
{
	zip_int64_t n = z->zip_get_num_entries(zip, 0);
	for (zip_int64_t i = 0; i < n; ++i) {
		const char *name = z->zip_get_name(zip, static_cast<zip_uint64_t>(i), 0);
		zip_stat_t st;
		if (!name || z->zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) != 0)
			continue;
		if (unsafe_name(name)) {
			refuse(why, "the entry \"%.*s\" names a place outside the archive%s; nothing is extracted", name,
			       " (a leading / or a .. part)");
			return false;
		}
		std::uint64_t packed = st.comp_size < archive_bytes ? st.comp_size : archive_bytes;
		if ((st.valid & ZIP_STAT_SIZE) && beyond_bounds(st.size, packed)) {
			refuse(why, "the entry \"%.*s\" would unpack to %s: refused as a zip bomb", name,
			       st.size > entry_bytes_max ? "more than 8 GiB" : "over 200 times its size");
			return false;
		}
	}
	return true;
}

// A FILE path with a scheme (https:, file:) is no entry of the archive.
bool has_scheme(std::string_view path)
{
	for (std::size_t i = 0; i < path.size(); ++i) {
		char c = path[i];
		bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
		if (c == ':')
			return i > 0;
		if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
			return false;
	}
	return false;
}

int hex_digit(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

struct archive_lookup {
	zip_t *zip;
	grow_list<char> name;
	bool out_of_memory;
};

// A FILE path escapes with %XX what an entry's name writes as it is.
bool unescaped(std::string_view path, grow_list<char> &name)
{
	name.size = 0;
	for (std::size_t i = 0; i < path.size(); ++i) {
		char c = path[i];
		int high = c == '%' && i + 2 < path.size() ? hex_digit(path[i + 1]) : -1;
		int low = high >= 0 ? hex_digit(path[i + 2]) : -1;
		if (low >= 0) {
			c = static_cast<char>(high * 16 + low);
			i += 2;
		}
		if (!push(name, c))
			return false;
	}
	return push(name, '\0');
}

void look_up_path(void *context, std::uint64_t line, std::string_view path)
{
	auto &a = *static_cast<archive_lookup *>(context);
	if (path.empty() || has_scheme(path))
		return;
	if (!unescaped(path, a.name)) {
		a.out_of_memory = true;
		return;
	}
	if (z->zip_name_locate(a.zip, a.name.items, 0) < 0)
		add_finding7({line, rules7::kind7::no_entry, path, {}, 0});
}

ged_text text;

// gedcom.ged read through a stream that stops at the bounds, with its FILE paths looked up.
long long judge_stream(zip_t *zip, zip_uint64_t index, std::uint64_t archive_bytes, const char *path, FILE *out,
		       archive_refusal &why)
{
	zip_stat_t st;
	zip_file_t *file = z->zip_stat_index(zip, index, 0, &st) == 0 ? z->zip_fopen_index(zip, index, 0) : nullptr;
	if (!file) {
		refuse(why, "%.*s cannot be read from the archive (%s)", data_stream, z->zip_strerror(zip));
		return archive_refused;
	}
	std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : entry_bytes_max;
	entry_read e{file, declared, st.comp_size < archive_bytes ? st.comp_size : archive_bytes, 0, &why};
	FILE *fp = fopencookie(&e, "r", cookie_io_functions_t{read_entry, nullptr, nullptr, nullptr});
	long long found = -1;
	if (fp) {
		archive_lookup lookup{zip, {}, false};
		set_file_path_hook(look_up_path, &lookup);
		ged_start(text, fp);
		found = print_findings(text, path, out);
		set_file_path_hook(nullptr, nullptr);
		std::fclose(fp);
		release(lookup.name);
		if (lookup.out_of_memory)
			found = -1;
	}
	z->zip_fclose(file);
	return found == -2 && why[0] != '\0' ? archive_refused : found;
}

// An archive opened, judged, and closed, whatever the outcome.
long long judge_archive(zip_t *zip, std::uint64_t bytes, const char *name, FILE *out, archive_refusal &why)
{
	long long found = archive_refused;
	zip_int64_t stream = z->zip_name_locate(zip, data_stream, 0);
	if (!entries_are_safe(zip, bytes, why))
		found = archive_refused;
	else if (stream < 0)
		refuse(why, "the archive holds no %.*s%s", data_stream, ", so it is no GEDZIP file");
	else
		found = judge_stream(zip, static_cast<zip_uint64_t>(stream), bytes, name, out, why);
	z->zip_discard(zip);
	return found;
}

bool loaded(archive_refusal &why)
{
	std::array<char, 256> error{};
	z = load_zip_library(error.data(), error.size());
	if (!z)
		std::snprintf(why.data(), why.size(), "zip archives cannot be read here (%s)", error.data());
	return z != nullptr;
}

void refuse_unopened(archive_refusal &why, zip_error_t *e)
{
	std::snprintf(why.data(), why.size(), "not a zip archive that can be read (%s)", z->zip_error_strerror(e));
	z->zip_error_fini(e);
}

} // namespace

long long print_archive_findings(const char *path, FILE *out, archive_refusal &why)
{
	why[0] = '\0';
	if (!loaded(why))
		return archive_refused;
	int error = 0;
	zip_t *zip = z->zip_open(path, ZIP_RDONLY, &error);
	if (!zip) {
		zip_error_t e;
		z->zip_error_init_with_code(&e, error);
		refuse_unopened(why, &e);
		return archive_refused;
	}
	return judge_archive(zip, file_bytes(path), path, out, why);
}

long long print_archive_bytes(std::string_view bytes, const char *name, FILE *out, archive_refusal &why)
{
	why[0] = '\0';
	if (!loaded(why))
		return archive_refused;
	zip_error_t e;
	z->zip_error_init(&e);
	zip_source_t *source = z->zip_source_buffer_create(bytes.data(), bytes.size(), 0, &e);
	zip_t *zip = source ? z->zip_open_from_source(source, ZIP_RDONLY, &e) : nullptr;
	if (!zip) {
		if (source)
			z->zip_source_free(source);
		refuse_unopened(why, &e);
		return archive_refused;
	}
	z->zip_error_fini(&e);
	return judge_archive(zip, bytes.size(), name, out, why);
}

bool is_zip_archive(const char *path)
{
	FILE *fp = std::fopen(path, "rb");
	if (!fp)
		return false;
	std::array<char, 4> start{};
	bool zip = std::fread(start.data(), 1, start.size(), fp) == start.size() &&
		   (std::memcmp(start.data(), "PK\3\4", 4) == 0 || std::memcmp(start.data(), "PK\5\6", 4) == 0);
	std::fclose(fp);
	return zip;
}
