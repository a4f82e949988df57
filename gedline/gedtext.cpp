// Reading a GEDCOM file as UTF-8 text. A file already in UTF-8 (or ASCII) is read straight into
// the caller's block and only looked over; only lines that need mending, and files in other
// sets, go through decoding.
#include "gedtext.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";

bool is_line_end(char c)
{
	return c == '\n' || c == '\r';
}

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

// Whether the byte at i needs the decoder: a blank or tab at a line's start or after another
// blank (what tidying may drop), any tab, or a byte of 0x80 or above that is not well-formed
// UTF-8 (or, in a file still to be decided, any such byte). Returns 0 when the byte is fine,
// else 1, or the length of a well-formed sequence to pass over.
int look_at(std::string_view s, std::size_t i, bool named, std::size_t &skip)
{
	auto b = static_cast<unsigned char>(s[i]);
	skip = 1;
	if (b == '\t')
		return 1;
	if (b == ' ')
		return i == 0 || static_cast<unsigned char>(s[i - 1]) <= ' ' ? 1 : 0;
	if (b < 0x80)
		return 0;
	if (named)
		return 1;
	skip = utf8_sequence(s.substr(i));
	return skip == 0 ? 1 : 0;
}

// The first byte of s, which starts at a line start, that needs the decoder; s.size() for none.
std::size_t first_to_mend(std::string_view s, bool named)
{
	const char *p = s.data();
	std::size_t n = s.size();
	std::size_t i = 0;
	std::size_t skip;
	while (i < n) {
#if defined(__SSE2__)
		// Sixteen bytes at a time, each with the byte before it, where both lie in s.
		while (i >= 1 && i + 16 <= n) {
			__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
			__m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i - 1));
			__m128i tab = _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'));
			__m128i ws = _mm_or_si128(tab, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
			__m128i low_before = _mm_cmpeq_epi8(_mm_max_epu8(before, _mm_set1_epi8(' ')), _mm_set1_epi8(' '));
			__m128i flag = _mm_or_si128(tab, _mm_and_si128(ws, low_before));
			auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(flag, v)));
			if (hits != 0) {
				i += static_cast<std::size_t>(__builtin_ctz(hits));
				break;
			}
			i += 16;
		}
		if (i >= n)
			break;
#endif
		if (look_at(s, i, named, skip) != 0)
			return i;
		i += skip;
	}
	return n;
}

// Whether every byte of 0x80 or above in s begins or continues well-formed UTF-8 (none may
// stand in a file still to be decided).
bool whole_utf8(std::string_view s, bool named)
{
	for (std::size_t i = 0; i < s.size(); i++) {
		if (static_cast<unsigned char>(s[i]) < 0x80)
			continue;
		std::size_t n = named ? 0 : utf8_sequence(s.substr(i));
		if (n == 0)
			return false;
		i += n - 1;
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

std::size_t read_decoded(ged_text &t, char *to, std::size_t cap);

// The file's own bytes, read into `to`, looked over, and mended where a line needs it. Only
// whole lines are handed on; the part of a line the block cut waits in raw for the next read.
std::size_t read_plainly(ged_text &t, char *to, std::size_t cap)
{
	std::string_view carried = pending(t);
	std::memcpy(to, carried.data(), carried.size());
	std::size_t n = carried.size() + fill(t, to + carried.size(), cap - carried.size());
	t.raw_at = t.raw_len = 0;
	std::size_t e = n;
	if (!t.file_end) {
		while (e > 0 && !is_line_end(to[e - 1]))
			e--;
	}
	std::string_view s(to, e);
	std::size_t r = 0, w = 0;
	while (r < e) {
		std::size_t bad = r + first_to_mend(s.substr(r), t.decode.named);
		std::size_t start = bad == e ? e : line_start_of(s, r, bad);
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
		w += tidy_prefixes(t.decode.prefix, s.substr(r, end - r), to + w);
		r = end;
	}
	// From a line with a byte to decode on, the rest of the block goes through the decoder.
	std::memcpy(t.raw.data(), to + r, n - r);
	t.raw_len = n - r;
	if (r < e && w < cap)
		w += read_decoded(t, to + w, cap - w);
	return w;
}

// Decodes whole lines from raw into `to` while they fit; a line longer than raw or than the
// room left is decoded in parts. Returns once the file can be read plainly again.
std::size_t read_decoded(ged_text &t, char *to, std::size_t cap)
{
	std::size_t n = 0;
	for (;;) {
		std::string_view raw = pending(t);
		std::size_t end = line_end_in(t.decode.set, raw);
		if (end == std::string_view::npos) {
			if (!t.file_end && t.raw_at + (t.raw.size() - t.raw_len) >= text_block) {
				read_more(t);
				continue;
			}
			if (t.file_end && raw.empty())
				return n;
			// The last line of the file, or a line longer than raw: decoded in parts.
			end = t.file_end ? raw.size() : safe_cut(t.decode, raw, raw.size() / 2);
		}
		std::size_t room = cap - n;
		if (decoded_room(end) > room) {
			if (n > 0 || room < decoded_room(1) + 4)
				return n;
			end = safe_cut(t.decode, raw, (room - decoded_room(0)) / 3);
		}
		n += decode_part(t.decode, raw.substr(0, end), to + n, t.handed + n, t.invalid);
		t.raw_at += end;
		if (reads_plainly(t) && line_end_in(t.decode.set, pending(t)) == std::string_view::npos)
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

std::size_t ged_read(ged_text &t, char *to, std::size_t cap)
{
	if (cap > text_block)
		cap = text_block;
	// The UTF-8 mark is handed on alone, so that the line after it starts a block.
	if (t.handed == 0 && t.decode.set == ged_charset::utf8 && pending(t).starts_with(utf8_mark) &&
	    cap >= utf8_mark.size()) {
		std::memcpy(to, utf8_mark.data(), utf8_mark.size());
		t.raw_at += utf8_mark.size();
		t.handed = utf8_mark.size();
		return utf8_mark.size();
	}
	for (;;) {
		bool plain = reads_plainly(t) && line_end_in(t.decode.set, pending(t)) == std::string_view::npos &&
			     pending(t).size() < cap / 2;
		std::size_t n = plain ? read_plainly(t, to, cap) : read_decoded(t, to, cap);
		t.handed += n;
		if (n > 0 || (t.file_end && pending(t).empty()))
			return n;
	}
}

bool ged_read_all(ged_text &t, std::string &to)
{
	for (;;) {
		std::size_t used = to.size();
		to.resize(used + text_block);
		std::size_t got = ged_read(t, to.data() + used, text_block);
		to.resize(used + got);
		if (got == 0)
			return !t.failed;
	}
}

std::size_t mend_utf8(std::string_view raw, char *out)
{
	decode_state d{ged_charset::utf8, false, prefix_state::line_start};
	return decode_part(d, raw, out, 0, invalid_sink{});
}

bool ged_rereadable(const ged_text &t)
{
	struct stat st;
	return t.fp && t.decode.set == ged_charset::utf8 && !t.decode.named &&
	       fstat(fileno(t.fp), &st) == 0 && S_ISREG(st.st_mode);
}

long ged_read_at(const ged_text &t, std::uint64_t at, std::size_t n, std::string &buf)
{
	std::size_t used = buf.size();
	buf.resize(used + n);
	ssize_t got;
	do
		got = pread(fileno(t.fp), buf.data() + used, n, static_cast<off_t>(at));
	while (got < 0 && errno == EINTR);
	buf.resize(used + (got > 0 ? static_cast<std::size_t>(got) : 0));
	return static_cast<long>(got);
}
