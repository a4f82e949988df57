// Reading a GEDCOM file: opening it, cutting lines, finding the lines that begin records, and
// reading one record where it lies. A large UTF-8 file is never held whole: the record lines
// are found in one pass through a small buffer, and each record is read again when it is
// shown, mended as the reader mends it. A file in another set is held as its decoded text.
#include "lineagetree.h"

#include "grammar.h"
#include "text_lines.h"

#include <algorithm>

static constexpr std::size_t scan_piece = 1 << 18;
static constexpr std::size_t record_piece = 1 << 12;

opened_file::~opened_file()
{
	if (file)
		ged_close(*file);
}

bool open_tree_file(const char *path, opened_file &into)
{
	into.file = std::make_unique<ged_text>();
	if (!ged_open(*into.file, path))
		return false;
	// A file of single bytes is read again where a record lies; UTF-16 and a stream are held
	// as their decoded text.
	if (ged_rereadable(*into.file)) {
		into.source.file = into.file.get();
		std::string probe;
		return ged_read_at(*into.file, 0, 1, probe) >= 0;
	}
	bool ok = ged_read_all(*into.file, into.contents);
	into.source.text = into.contents;
	return ok;
}

// Raw lines of a file read again, from a line start, as the reader hands them on.
static std::string decoded(const ged_text &file, std::string_view raw)
{
	std::string text(decoded_room(raw.size()), '\0');
	text.resize(ged_decode_raw(file, raw, text.data()));
	return text;
}

// ---------------------------------------------------------------- lines

static bool blank(char c)
{
	return is_blank(c);
}

static std::size_t skip_blanks(std::string_view s, std::size_t i)
{
	while (i < s.size() && blank(s[i]))
		i++;
	return i;
}

// The tree takes what it can of a line that does not parse, as the grammar's parts give it.
static ged_line tree_line(std::string_view line)
{
	ged_line l = parse_line(line);
	l.value = trim_blanks(l.value);
	return l;
}

ged_line next_line(std::string_view text, std::size_t &pos)
{
	if (pos >= text.size()) {
		pos = text.size();
		return parse_line({});
	}
	line_span line = line_from(text, pos);
	ged_line l = tree_line(text.substr(pos, line.end - pos));
	pos = line.next;
	return l;
}

std::string_view link_target(std::string_view value)
{
	if (value.empty() || value[0] != '@')
		return value;
	std::size_t close = value.find('@', 1);
	return close == std::string_view::npos ? value : value.substr(0, close + 1);
}

// ---------------------------------------------------------------- record lines

using record_found = std::function<void(std::size_t at, const ged_line &line)>;

// The search for record lines through the pieces of a file: only lines that start with "0",
// a blank or a tab are looked at closer. A line that may begin a record and runs past the
// piece is carried into the next.
struct line_search {
	const record_found &found;
	ged_text *file;             // the file's own bytes, decoded line by line where needed
	std::uint64_t base = 0;     // file offset of the piece's first byte
	bool piece_starts_line = true;
	bool carrying = false;
	std::uint64_t carry_at = 0;
	std::string carry;
};

static void whole_line(line_search &s, std::uint64_t at, std::string_view line)
{
	std::string text;
	if (s.file && std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
		text = decoded(*s.file, line);
		line = text;
	}
	std::size_t first = skip_blanks(line, 0);
	if (first >= line.size() || line[first] != '0')
		return;
	ged_line l = tree_line(line.substr(first));
	if (l.level == 0)
		s.found(static_cast<std::size_t>(at), l);
}

static void line_at(line_search &s, std::string_view piece, std::size_t start, bool last)
{
	std::size_t end = line_from(piece, start).end;
	if (end == piece.size() && !last) {
		s.carrying = true;
		s.carry_at = s.base + start;
		s.carry.assign(piece.substr(start));
		return;
	}
	whole_line(s, s.base + start, piece.substr(start, end - start));
}

static void search_piece(line_search &s, std::string_view piece, bool last)
{
	std::size_t from = 0;
	if (s.carrying) {
		std::size_t end = line_from(piece, 0).end;
		s.carry.append(piece.substr(0, end));
		if (end == piece.size() && !last)
			return;
		s.carrying = false;
		whole_line(s, s.carry_at, s.carry);
		from = end;
	}
	s.piece_starts_line = each_line_start<'0', ' ', '\t'>(piece, s.base, from, s.piece_starts_line,
		[&](std::size_t at) { line_at(s, piece, at, last); });
}

bool each_record_line(const ged_source &source, const record_found &found)
{
	line_search s{found, source.file, 0, true, false, 0, {}};
	if (!source.file) {
		search_piece(s, source.text, true);
		return true;
	}
	std::string piece;
	piece.reserve(scan_piece);
	for (;;) {
		piece.clear();
		long got = ged_read_at(*source.file, s.base, scan_piece, piece);
		if (got < 0 || !ged_settle_by(*source.file, piece, s.base))
			return false;
		search_piece(s, piece, got == 0);
		if (got == 0)
			return true;
		s.base += static_cast<std::uint64_t>(got);
	}
}

// ---------------------------------------------------------------- one record

// Where the record at the start of text ends: the start of its next line of level 0. npos
// when text may end inside the record and more of the file must be read to know.
static std::size_t record_end(std::string_view text, bool at_file_end)
{
	std::size_t pos = 0;
	bool first = true;
	for (;;) {
		auto [end, next] = line_from(text, pos);
		if (end == text.size() && !at_file_end)
			return std::string_view::npos;
		if (!first && tree_line(text.substr(pos, end - pos)).level == 0)
			return pos;
		if (end == text.size())
			return text.size();
		first = false;
		pos = next;
		// A CR LF cut apart by the piece's end would read as two line ends.
		if (text[end] == '\r' && end + 1 == text.size() && !at_file_end)
			return std::string_view::npos;
	}
}

std::string_view record_text(const ged_source &source, std::size_t at, std::string &buf)
{
	if (!source.file) {
		if (at >= source.text.size())
			return {};
		std::string_view rest = source.text.substr(at);
		return rest.substr(0, record_end(rest, true));
	}
	buf.clear();
	std::size_t piece = record_piece;
	for (;;) {
		long got = ged_read_at(*source.file, at + buf.size(), piece, buf);
		if (got < 0)
			return {};
		std::size_t end = record_end(buf, got == 0);
		if (end != std::string_view::npos) {
			buf = decoded(*source.file, std::string_view(buf).substr(0, end));
			return buf;
		}
		piece *= 2;
	}
}
