// The word scan: finds one individual in a GEDCOM file read as whitespace-separated words.
#include "personview.h"

#include "gedcom_version.h"
#include "text_lines.h"

#include <algorithm>
#include <cctype>
#include <cstring>

word_text indi_check;
bool indi_check_bare;

static ged_text *scan_in;
static FILE *scan_out;
static void (*scan_add)(int field, const char *text);
static scan_word word;
static scan_word tag;

// The file is read in blocks: a byte at a time through getc, reading a large file took
// longer than everything else the viewer does before its first paint.
static std::array<char, 1 << 16> block;
static std::size_t block_at;
static std::size_t block_end;
static bool at_end;
static bool line_begins;
// Files of version 7 number people @1@ as often as @I1@; the header lies in the first block.
static bool version7;

// Where the next line end and the next NUL lie in the block, at or after the reader (block_end
// for none). Each is looked for again only once the reader has passed it, so that a line
// without a NUL does not search the rest of the block for one.
struct byte_ahead {
	bool line_end; // a LF or CR, else a NUL
	std::size_t at;
};
static std::array<byte_ahead, 2> ahead{{{true, 0}, {false, 0}}};

static void look_ahead(byte_ahead &a)
{
	if (a.line_end) {
		a.at = line_from({block.data(), block_end}, block_at).end;
		return;
	}
	const void *found = std::memchr(block.data() + block_at, '\0', block_end - block_at);
	a.at = found ? static_cast<std::size_t>(static_cast<const char *>(found) - block.data()) : block_end;
}

static std::size_t find_ahead(byte_ahead &a)
{
	if (a.at < block_at)
		look_ahead(a);
	return a.at;
}

static bool refill()
{
	block_at = 0;
	block_end = ged_read(*scan_in, block.data(), block.size());
	for (byte_ahead &a : ahead)
		look_ahead(a);
	return block_end != 0;
}

// The blanks of the C locale, which the words were always split at.
static bool is_c_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

void open_words(ged_text &in)
{
	scan_in = &in;
	at_end = false;
	line_begins = true;
	ged_pass_mark(in);
	refill();
	version_seek seek;
	version7 = is_version7(gedcom_version({block.data(), block_end}, seek));
}

// Leaves the reader on the first character of the next word; false at the end of the file.
static bool skip_blanks()
{
	for (;;) {
		if (block_at == block_end && !refill())
			return false;
		char c = block[block_at];
		if (!is_c_space(c))
			return true;
		if (c == '\n' || c == '\r')
			line_begins = true;
		block_at++;
	}
}

// Reads the next word, keeping its first 255 characters; the rest of a longer word is
// skipped, so it never comes back as a word of its own. At the end of the file the word is empty.
bool read_scan_word(scan_word &w)
{
	w.text[0] = '\0';
	w.begins_line = false;
	if (at_end || !skip_blanks()) {
		at_end = true;
		return false;
	}
	w.begins_line = line_begins;
	line_begins = false;
	std::size_t n = 0;
	do {
		std::size_t end = block_at;
		while (end < block_end && !is_c_space(block[end]))
			end++;
		std::size_t keep = std::min(end - block_at, w.text.size() - 1 - n);
		std::memcpy(w.text.data() + n, block.data() + block_at, keep);
		n += keep;
		block_at = end;
	} while (block_at == block_end && refill());
	w.text[n] = '\0';
	return true;
}

// Passes over lines without reading their words, up to the next line whose first word begins
// with 0: no other word can start a record. It stops before a word that holds a NUL byte, which
// may read as an empty word, and reads a line that goes on into the next block word by word.
static void skip_to_record()
{
	for (;;) {
		std::size_t end = find_ahead(ahead[0]);
		std::size_t nul = find_ahead(ahead[1]);
		if (nul < end) {
			while (nul > block_at && !is_c_space(block[nul - 1]))
				nul--;
			if (nul > block_at)
				line_begins = false;
			block_at = nul;
			return;
		}
		if (end == block_end)
			return;
		std::size_t next = end;
		while (next < block_end && is_c_space(block[next]))
			next++;
		if (next == block_end || block[next] == '0' || block[next] == '\0') {
			block_at = end;
			return;
		}
		block_at = next;
		line_begins = true;
	}
}

static bool is(const scan_word &w, const char *text)
{
	return std::strcmp(w.text.data(), text) == 0;
}

static bool begins(const scan_word &w, const char *prefix)
{
	return std::strncmp(w.text.data(), prefix, std::strlen(prefix)) == 0;
}

// Only a line's first word can be a level number: a date on the 1st of a month, a change
// time such as 01:35:26 or a version 0.1.0 further on in a line are plain words.
static bool starts_record(const scan_word &w)
{
	return w.begins_line && w.text[0] == '0';
}

static bool is_level(const scan_word &w)
{
	return w.begins_line && (is(w, "0") || is(w, "1") || is(w, "2"));
}

static void append(display_text &to, std::string_view from)
{
	std::size_t used = std::strlen(to.data());
	std::size_t n = from.size() < to.size() - 1 - used ? from.size() : to.size() - 1 - used;
	std::memcpy(to.data() + used, from.data(), n);
	to[used + n] = '\0';
}

static void set_blank(display_text &text)
{
	text[0] = ' ';
	text[1] = '\0';
}

// Every word the birth and death steps read is echoed to the console.
static bool read_event_word()
{
	if (!read_scan_word(word))
		return false;
	std::fprintf(scan_out, "SUB individual data read '%s'\n", word.text.data());
	return true;
}

// Collects until a level word, which is not kept but adds one more blank.
static void collect_until_level(display_text &text)
{
	while (read_event_word()) {
		if (is_level(word)) {
			append(text, " ");
			return;
		}
		append(text, word.text.data());
		append(text, " ");
	}
}

// A name ends at its surname word; it also ends at a level word, because a name without a
// surname would otherwise swallow the rest of the person's record.
static void read_name()
{
	display_text name;
	set_blank(name);
	while (read_scan_word(word)) {
		if (is_level(word)) {
			append(name, " ");
			break;
		}
		append(name, word.text.data());
		append(name, " ");
		if (word.text[0] == '/')
			break;
	}
	scan_add(field_name, name.data());
}

static void read_sex()
{
	read_scan_word(word);
	scan_add(field_sex, word.text.data());
}

static void read_date_and_place(int date_field, int place_field)
{
	display_text date;
	display_text place;
	set_blank(date);
	set_blank(place);
	if (is(word, "DATE")) {
		collect_until_level(date);
		scan_add(date_field, date.data());
	}
	if (is(word, "2")) {
		read_event_word();
		if (is(word, "PLAC"))
			collect_until_level(place);
		scan_add(place_field, place.data());
	}
}

static void read_birth()
{
	read_event_word();
	read_event_word();
	read_date_and_place(field_birth_date, field_birth_place);
}

static void read_death()
{
	read_event_word();
	if (word.text[0] == 'Y')
		read_event_word();
	read_event_word();
	read_date_and_place(field_death_date, field_death_place);
}

static void scan_person()
{
	while (!starts_record(word) && read_scan_word(word)) {
		if (is(word, "NAME"))
			read_name();
		if (is(word, "SEX"))
			read_sex();
		if (is(word, "BIRT"))
			read_birth();
		if (is(word, "DEAT"))
			read_death();
	}
}

// A cross-reference of digits alone, @1@, which a file of version 7 gives its people too.
static bool bare_number(const scan_word &w)
{
	std::string_view xref = w.text.data();
	std::size_t digits = xref.find_first_not_of("0123456789", 1);
	return version7 && xref.starts_with('@') && digits > 1 && digits + 1 == xref.size() && xref.back() == '@';
}

static void copy_number_text()
{
	const char *from = word.text.data() + (indi_check_bare ? 1 : 2);
	std::size_t n = 0;
	while (from[n] != '\0' && from[n] != '@')
		n++;
	std::memcpy(indi_check.data(), from, n);
	indi_check[n] = '\0';
}

std::string tree_number()
{
	return indi_check_bare ? "@" + std::string(indi_check.data()) + "@" : std::string(indi_check.data());
}

// Compares the leading digit runs as whole numbers, without converting them, so that numbers
// of any length compare right and leading zeros do not count.
bool same_number(std::string_view a, std::string_view b)
{
	auto digits = [](std::string_view s) {
		std::size_t end = 0;
		while (end < s.size() && std::isdigit(static_cast<unsigned char>(s[end])))
			end++;
		std::size_t start = 0;
		while (start < end && s[start] == '0')
			start++;
		return s.substr(start, end - start);
	};
	return digits(a) == digits(b);
}

// The trailer counts only as a record, "0 TRLR": the word TRLR in a note must not end the search.
scan_result scan_individual(ged_text &in, const char *number, void (*add_field)(int field, const char *text),
	FILE *out)
{
	open_words(in);
	scan_out = out;
	scan_add = add_field;
	bool stop = false;
	while (!stop) {
		read_scan_word(word);
		if (starts_record(word)) {
			read_scan_word(word);
			read_scan_word(tag);
			stop = is(word, "TRLR") || is(tag, "TRLR");
			bool bare = bare_number(word);
			bool individual = (begins(word, "@I") || bare) && begins(tag, "IN");
			if (individual) {
				indi_check_bare = bare;
				copy_number_text();
				std::fprintf(out, "check '%s' = '%s'\n", indi_check.data(), number);
				if (same_number(indi_check.data(), number)) {
					scan_person();
					stop = true;
				}
			}
		}
		if (!stop && word.text[0] == '\0')
			return scan_read_error;
		skip_to_record();
	}
	return scan_done;
}
