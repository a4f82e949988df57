// Reading a GEDCOM file as UTF-8 text. A file already in UTF-8 (or ASCII) is read straight into
// the caller's block and only looked over; only lines that need mending, and files in other
// sets, go through decoding.
#include "gedtext.h"
#include "pages.h"
#include "span.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The decoder is always asked with room for a part that no letter group overruns.
static_assert((read_min - decoded_room(0)) / 3 >= uncut_max);

// Reads up to n bytes, through interrupted calls; fewer only at the end of the file or on an
// error, which ends it too.
std::size_t fill(ged_text &t, char *to, std::size_t n)
{
	std::size_t got = 0;
	while (got < n && !t.file_end) {
		std::size_t k = std::fread(to + got, 1, n - got, t.fp);
		got += k;
		if (k > 0)
			continue;
		if (std::ferror(t.fp) && errno == EINTR) {
			std::clearerr(t.fp);
			continue;
		}
		t.failed = std::ferror(t.fp) != 0;
		t.file_end = true;
	}
	return got;
}

std::string_view pending(const ged_text &t)
{
	return {t.raw.data() + t.raw_at, t.raw_len - t.raw_at};
}

// Moves the waiting bytes to the front of raw and reads more after them.
void read_more(ged_text &t)
{
	std::size_t keep = t.raw_len - t.raw_at;
	std::memmove(t.raw.data(), t.raw.data() + t.raw_at, keep);
	t.raw_at = 0;
	t.raw_len = keep + fill(t, t.raw.data() + keep, t.raw.size() - keep);
}

// The file is read straight into the caller's block while it is UTF-8 and a line starts there.
bool reads_plainly(const ged_text &t)
{
	return (t.decode.set == ged_charset::utf8 || t.decode.named) &&
	       t.decode.prefix == prefix_state::line_start;
}

// Whether every byte of 0x80 or above in s begins or continues well-formed UTF-8 (none may
// stand in a file still to be decided).
bool whole_utf8(std::string_view s, bool named)
{
	const char *end = s.data() + s.size();
	for (const char *p = find_high(s.data(), end); p < end; p = find_high(p, end)) {
		std::size_t n = named ? 0 : utf8_sequence({p, static_cast<std::size_t>(end - p)});
		if (n == 0)
			return false;
		p += n;
	}
	return true;
}

// The start of the line that holds byte i, looking back no further than `from`.
std::size_t line_start_of(std::string_view s, std::size_t from, std::size_t i)
{
	while (i > from && !is_line_end(s[i - 1]))
		i--;
	return i;
}

std::size_t read_decoded(ged_text &t, char *to, std::size_t cap, std::uint64_t at);

// The first byte from r of the block s, read in at `to`, that tidying may change or that needs
// decoding. A blank after a blank in a line's value is kept as it stands, as in the
// continuation lines of notes, so the look goes on past it; the prefix before it is tidied in
// place to learn where it stands, which changes none of its bytes: none of them was one to mend.
std::size_t next_to_mend(std::string_view s, std::size_t r, bool named, char *to)
{
	for (std::size_t from = r;;) {
		std::size_t bad = from + first_to_mend<true>(s.substr(from), named);
		if (bad == s.size() || s[bad] != ' ')
			return bad;
		std::size_t start = line_start_of(s, r, bad);
		prefix_state state = prefix_state::line_start;
		tidy_prefixes(state, s.substr(start, bad - start), to + start);
		if (state != prefix_state::rest)
			return bad;
		from = bad + 1;
	}
}

// Puts back in front of raw the last bytes taken from it, unchanged: the part of a line that
// a block cut, or the rest of a block that goes through the decoder. Where raw still holds
// more, they stand there already.
void put_back(ged_text &t, const char *bytes, std::size_t n)
{
	if (t.raw_at < t.raw_len) {
		t.raw_at -= n;
		return;
	}
	std::memmove(t.raw.data(), bytes, n);
	t.raw_at = 0;
	t.raw_len = n;
}

// The file's own bytes, read into `to`, looked over, and mended where a line needs it. Only
// whole lines are handed on; the part of a line the block cut waits in raw for the next read.
// With `unlooked` set on the way in, the lines may be left for the caller to look over, and it
// stays set when they were.
// It stays whole: every block of every reader passes through it, and its read and write
// places stay in registers across the mending instead of passing through memory each line.
std::size_t read_plainly(ged_text &t, char *to, std::size_t cap, bool &unlooked)
{
	std::string_view waiting = pending(t);
	std::size_t n = waiting.size() < cap ? waiting.size() : cap;
	std::memcpy(to, waiting.data(), n);
	t.raw_at += n;
	if (t.raw_at == t.raw_len) {
		t.raw_at = t.raw_len = 0;
		n += fill(t, to + n, cap - n);
	}
	std::size_t e = n;
	if (!t.file_end || t.raw_at < t.raw_len) {
		while (e > 0 && !is_line_end(to[e - 1]))
			e--;
	}
	// A line longer than the block is decoded in parts.
	if (e == 0 && n > 0) {
		unlooked = false;
		put_back(t, to, n);
		return read_decoded(t, to, cap, t.handed);
	}
	if (unlooked) {
		put_back(t, to + e, n - e);
		return e;
	}
	std::string_view s(to, e);
	std::size_t r = 0, w = 0;
	t.look = false;
	while (r < e) {
		std::size_t bad = next_to_mend(s, r, t.decode.named, to);
		t.look = t.look || bad < e;
		std::size_t start = bad == e ? e : line_start_of(s, r, bad);
		if (w != r)
			std::memmove(to + w, to + r, start - r);
		w += start - r;
		r = start;
		if (r == e)
			break;
		std::size_t end = bad;
		while (end < e && !is_line_end(s[end]))
			end++;
		end += end < e;
		// White space alone: tidying only shortens the line, so it is mended in place.
		if (!whole_utf8(s.substr(r, end - r), t.decode.named))
			break;
		w += tidy_prefixes(t.decode.prefix, s.substr(r, end - r), to + w, &t.invalid, t.handed + w);
		r = end;
	}
	// From a line with a byte to decode on, the rest of the block goes through the decoder.
	// The decoder is asked only with the room any read is given, so that it never has to cut
	// a line into parts smaller than a character or an ANSEL letter with its marks.
	put_back(t, to + r, n - r);
	if (r < e && cap - w >= read_min)
		w += read_decoded(t, to + w, cap - w, t.handed + w);
	return w;
}

// Decodes from raw into `to` as many whole lines as fit, in one go; a line longer than raw or
// than the room is decoded in parts. Returns as soon as the file can be read plainly again.
// `at` is the offset in the text of the first byte written at `to`, where replacements are
// told.
std::size_t read_decoded(ged_text &t, char *to, std::size_t cap, std::uint64_t at)
{
	constexpr std::size_t none = std::string_view::npos;
	std::size_t n = 0;
	for (;;) {
		std::string_view raw = pending(t);
		std::size_t room = cap - n;
		std::size_t most = room > decoded_room(0) ? (room - decoded_room(0)) / 3 : 0;
		std::size_t fits = raw.size() < most ? raw.size() : most;
		std::size_t end = last_line_end_in(t.decode.set, raw.substr(0, fits));
		if (end == none) {
			if (n > 0 || most == 0)
				return n;
			bool more_to_read = !t.file_end && t.raw_at + (t.raw.size() - t.raw_len) >= text_block;
			if (more_to_read && line_end_in(t.decode.set, raw) == none) {
				read_more(t);
				continue;
			}
			if (raw.empty())
				return n;
			// The file's last line, or a line longer than raw or than the room.
			end = t.file_end && raw.size() <= most ? raw.size() : safe_cut(t.decode, raw, fits);
		}
		n += decode_part(t.decode, raw.substr(0, end), to + n, at + n, t.invalid);
		t.raw_at += end;
		if (reads_plainly(t) || (t.file_end && t.raw_at == t.raw_len))
			return n;
	}
}

void start_reading(ged_text &t, FILE *fp, bool owned)
{
	t.fp = fp;
	t.owned = owned;
	t.file_end = false;
	t.failed = false;
	t.handed = 0;
	t.look = true;
	t.raw_at = 0;
	t.raw_len = fill(t, t.raw.data(), text_block);
	charset_guess guess = guess_charset(pending(t));
	t.decode = decode_state{guess.set, guess.named, prefix_state::line_start};
	t.raw_at = guess.skip;
}

} // namespace

bool ged_open(ged_text &t, const char *path)
{
	FILE *fp = std::fopen(path, "rb");
	struct stat st;
	if (fp && fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode)) {
		std::fclose(fp);
		return false;
	}
	if (!fp)
		return false;
	// The reader takes the file in blocks of its own; a stream buffer would only copy every
	// block once more.
	std::setvbuf(fp, nullptr, _IONBF, 0);
	start_reading(t, fp, true);
	return true;
}

void ged_start(ged_text &t, FILE *fp)
{
	start_reading(t, fp, false);
}

void ged_close(ged_text &t)
{
	if (t.fp && t.owned)
		std::fclose(t.fp);
	t.fp = nullptr;
}

std::size_t ged_pass_mark(ged_text &t)
{
	if (t.handed != 0 || t.decode.set != ged_charset::utf8 || !pending(t).starts_with(utf8_mark))
		return 0;
	t.raw_at += utf8_mark.size();
	t.handed = utf8_mark.size();
	return utf8_mark.size();
}

namespace {

std::size_t read_text(ged_text &t, char *to, std::size_t cap, bool &unlooked)
{
	if (cap > text_block)
		cap = text_block;
	// The UTF-8 mark is handed on alone, so that the line after it starts a block.
	if (cap >= utf8_mark.size() && ged_pass_mark(t) != 0) {
		std::memcpy(to, utf8_mark.data(), utf8_mark.size());
		unlooked = false;
		return utf8_mark.size();
	}
	bool may_leave = unlooked && !t.look;
	for (;;) {
		unlooked = may_leave && reads_plainly(t);
		std::size_t n = reads_plainly(t) ? read_plainly(t, to, cap, unlooked) : read_decoded(t, to, cap, t.handed);
		t.handed += n;
		if (n > 0 || (t.file_end && pending(t).empty()))
			return n;
	}
}

} // namespace

std::size_t ged_read(ged_text &t, char *to, std::size_t cap)
{
	bool unlooked = false;
	return read_text(t, to, cap, unlooked);
}

std::size_t ged_read_unlooked(ged_text &t, char *to, std::size_t cap, bool &unlooked)
{
	unlooked = true;
	return read_text(t, to, cap, unlooked);
}

std::size_t ged_unlooked_char(const ged_text &t, std::string_view rest)
{
	return t.decode.named ? 0 : utf8_sequence(rest);
}

void ged_give_back(ged_text &t, const char *bytes, std::size_t n)
{
	// The bytes were taken from raw just before what waits there, or read past it when raw was
	// empty; either way what waits is at most a block, so both fit.
	if (t.raw_at >= n) {
		t.raw_at -= n;
	} else {
		std::size_t waiting = t.raw_len - t.raw_at;
		std::memmove(t.raw.data() + n, t.raw.data() + t.raw_at, waiting);
		t.raw_at = 0;
		t.raw_len = n + waiting;
	}
	std::memmove(t.raw.data() + t.raw_at, bytes, n);
	t.handed -= n;
	t.look = true;
}

bool ged_read_all(ged_text &t, std::string &to)
{
	// The text is about as long as the file, half as long from UTF-16: asked for once, it
	// need not be moved as it grows.
	struct stat st;
	if (t.fp && fstat(fileno(t.fp), &st) == 0 && S_ISREG(st.st_mode)) {
		bool utf16 = t.decode.set == ged_charset::utf16le || t.decode.set == ged_charset::utf16be;
		to.reserve(to.size() + static_cast<std::size_t>(st.st_size) / (utf16 ? 2 : 1) + text_block);
		// Written a page at a time: in huge pages a few page faults instead of thousands.
		advise_huge_pages(to.data(), to.capacity());
	}
	static std::array<char, text_block> part;
	while (std::size_t got = ged_read(t, part.data(), part.size()))
		to.append(part.data(), got);
	return !t.failed;
}

namespace {

bool regular(const ged_text &t)
{
	struct stat st;
	return t.fp && fstat(fileno(t.fp), &st) == 0 && S_ISREG(st.st_mode);
}

// Bytes of the file at offset `at`, through interrupted calls: the count, 0 at the end, -1 on
// a read error.
long read_raw(const ged_text &t, std::uint64_t at, char *to, std::size_t n)
{
	ssize_t got;
	do
		got = pread(fileno(t.fp), to, n, static_cast<off_t>(at));
	while (got < 0 && errno == EINTR);
	return static_cast<long>(got);
}

} // namespace

bool ged_settle_by(ged_text &t, std::string_view block, std::uint64_t at)
{
	if (!t.decode.named)
		return true;
	std::size_t k = static_cast<std::size_t>(find_high(block.data(), block.data() + block.size()) - block.data());
	if (k == block.size())
		return true;
	// A sequence that the block's end cuts is read on whole.
	std::array<char, 8> start{};
	std::size_t n = block.size() - k < 4 ? block.size() - k : 4;
	std::memcpy(start.data(), block.data() + k, n);
	long more = n < 4 ? read_raw(t, at + block.size(), start.data() + n, 4 - n) : 0;
	if (more < 0)
		return false;
	settle_named(t.decode, std::string_view(start.data(), n + static_cast<std::size_t>(more)));
	return true;
}

bool ged_rereadable(const ged_text &t)
{
	bool single_bytes = t.decode.set != ged_charset::utf16le && t.decode.set != ged_charset::utf16be;
	return single_bytes && regular(t);
}

std::size_t ged_decode_raw(const ged_text &t, std::string_view raw, char *out)
{
	decode_state d{t.decode.set, false, prefix_state::line_start};
	return decode_part(d, raw, out, 0, invalid_sink{});
}

long ged_read_at(const ged_text &t, std::uint64_t at, std::size_t n, std::string &buf)
{
	std::size_t used = buf.size();
	buf.resize(used + n);
	long got = read_raw(t, at, buf.data() + used, n);
	buf.resize(used + (got > 0 ? static_cast<std::size_t>(got) : 0));
	return got;
}
