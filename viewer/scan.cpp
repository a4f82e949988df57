// The word scan: finds one individual in a GEDCOM file read as whitespace-separated words.
#include "personview.h"

#include <cctype>
#include <cstring>

word_text indi_check;

static FILE *scan_in;
static FILE *scan_out;
static void (*scan_add)(int field, const char *text);
static word_text word;
static word_text tag;
static bool at_end;

// Reads the next word into w, keeping its first 255 characters; the rest of a longer word is
// skipped, so it never comes back as a word of its own. At the end of the file w is empty.
static bool read_into(word_text &w)
{
	std::size_t n = 0;
	w[0] = '\0';
	if (at_end)
		return false;
	int c;
	do
		c = std::getc(scan_in);
	while (c != EOF && std::isspace(c));
	while (c != EOF && !std::isspace(c)) {
		if (n + 1 < w.size())
			w[n++] = static_cast<char>(c);
		c = std::getc(scan_in);
	}
	w[n] = '\0';
	if (n == 0)
		at_end = true;
	return n != 0;
}

static bool is(const word_text &w, const char *text)
{
	return std::strcmp(w.data(), text) == 0;
}

static bool begins(const word_text &w, const char *prefix)
{
	return std::strncmp(w.data(), prefix, std::strlen(prefix)) == 0;
}

static bool starts_record(const word_text &w)
{
	return w[0] == '0';
}

static bool is_level(const word_text &w)
{
	return is(w, "0") || is(w, "1") || is(w, "2");
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
	if (!read_into(word))
		return false;
	std::fprintf(scan_out, "SUB individual data read '%s'\n", word.data());
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
		append(text, word.data());
		append(text, " ");
	}
}

// A name ends at its surname word; it also ends at a level word, because a name without a
// surname would otherwise swallow the rest of the person's record.
static void read_name()
{
	display_text name;
	set_blank(name);
	while (read_into(word)) {
		if (is_level(word)) {
			append(name, " ");
			break;
		}
		append(name, word.data());
		append(name, " ");
		if (word[0] == '/')
			break;
	}
	scan_add(field_name, name.data());
}

static void read_sex()
{
	read_into(word);
	scan_add(field_sex, word.data());
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
	if (word[0] == 'Y')
		read_event_word();
	read_event_word();
	read_date_and_place(field_death_date, field_death_place);
}

static void scan_person()
{
	while (!starts_record(word) && read_into(word)) {
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

static void copy_number_text()
{
	const char *from = word.data() + 2;
	std::size_t n = 0;
	while (from[n] != '\0' && from[n] != '@')
		n++;
	std::memcpy(indi_check.data(), from, n);
	indi_check[n] = '\0';
}

// Compares the leading digit runs as whole numbers, without converting them, so that numbers
// of any length compare right and leading zeros do not count.
static bool same_number(std::string_view a, std::string_view b)
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

scan_result scan_individual(FILE *in, const char *number, void (*add_field)(int field, const char *text),
	FILE *out)
{
	scan_in = in;
	scan_out = out;
	scan_add = add_field;
	word[0] = '\0';
	tag[0] = '\0';
	at_end = false;
	bool stop = false;
	while (!stop && !is(word, "TRLR") && !is(tag, "TRLR")) {
		read_into(word);
		if (starts_record(word)) {
			read_into(word);
			read_into(tag);
			bool individual = begins(word, "@I") && begins(tag, "IN");
			if (individual) {
				copy_number_text();
				std::fprintf(out, "check '%s' = '%s'\n", indi_check.data(), number);
				if (same_number(indi_check.data(), number)) {
					scan_person();
					stop = true;
				}
			}
		}
		if (!stop && word[0] == '\0')
			return scan_read_error;
	}
	return scan_done;
}
