// flatged: reads the flat people file into the record tables, refusing whatever it would have to cut.
#include "flatged.h"

#include "charset.h"

#include <cstring>

std::array<std::int32_t, table_rows> idnum;
std::array<name_text, table_rows> firstname;
std::array<name_text, table_rows> surname;
std::array<sex_text, table_rows> sex;
std::array<name_text, table_rows> birth_date;
std::array<place_text, table_rows> birth_place;
std::array<name_text, table_rows> death_date;
std::array<place_text, table_rows> death_place;
std::array<place_text, table_rows> burial_place;
std::array<place_text, table_rows> education;
std::array<place_text, table_rows> occupation;
std::array<place_text, table_rows> religon;
std::array<std::int32_t, table_rows> father;
std::array<std::int32_t, table_rows> mother;
std::array<std::int32_t, table_rows> married;

int num_of_entries;
int stop9;
bool end_marker_read;
const char *filename = default_filename;

int problem_record;
std::array<char, 96> problem_text;

inline constexpr int record_words = 15;
inline constexpr int group1_words = 6;

// Room for the longest field (69 characters) and more, so that a longer word is seen as too long.
inline constexpr std::size_t word_room = 80;

struct flat_word {
	std::array<char, word_room> text;
	std::size_t length;	// the word's whole length, also past what text holds
	bool has_nul;
};

enum class record_end { complete, marker, end_of_file, bad, unreadable };

static bool is_blank(int c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool names_in_utf8;

// The first byte of 0x80 or above and those after it in its word, as many as a UTF-8
// sequence can hold: whether it begins one tells the character set of the whole file.
static std::array<char, 4> first_high;
static std::size_t first_high_length;
static bool set_decided;

static void decide_set()
{
	set_decided = true;
	names_in_utf8 = utf8_sequence({first_high.data(), first_high_length}) != 0;
}

static void note_byte(int c)
{
	if (set_decided || (first_high_length == 0 && c < 0x80))
		return;
	first_high[first_high_length++] = static_cast<char>(c);
	if (first_high_length == first_high.size())
		decide_set();
}

// False at the end of the file (or a read error) before any character of a word.
static bool read_flat_word(FILE *in, flat_word& w)
{
	int c;
	do
		c = std::getc(in);
	while (c != EOF && is_blank(c));
	if (c == EOF)
		return false;
	w.length = 0;
	w.has_nul = false;
	do {
		if (w.length < word_room - 1)
			w.text[w.length] = static_cast<char>(c);
		if (c == '\0')
			w.has_nul = true;
		note_byte(c);
		++w.length;
		c = std::getc(in);
	} while (c != EOF && !is_blank(c));
	if (first_high_length > 0 && !set_decided)
		decide_set();
	w.text[w.length < word_room - 1 ? w.length : word_room - 1] = '\0';
	return true;
}

static std::string_view stored(const flat_word& w)
{
	return {w.text.data(), w.length < word_room - 1 ? w.length : word_room - 1};
}

number_check whole_number(std::string_view word, std::int32_t& value)
{
	constexpr std::int64_t limit = 2147483648;	// magnitude of the smallest 32-bit int
	std::size_t k = 0;
	bool negative = false;
	if (k < word.size() && (word[k] == '+' || word[k] == '-'))
		negative = word[k++] == '-';
	if (k == word.size())
		return number_check::not_number;
	std::int64_t magnitude = 0;
	bool too_big = false;
	for (; k < word.size(); ++k) {
		if (word[k] < '0' || word[k] > '9')
			return number_check::not_number;
		magnitude = magnitude * 10 + (word[k] - '0');
		if (magnitude > limit) {
			too_big = true;
			magnitude = limit;
		}
	}
	if (too_big || magnitude > (negative ? limit : limit - 1))
		return number_check::out_of_range;
	value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
	return number_check::ok;
}

static bool store_number(std::int32_t& to, const flat_word& w, const char *field)
{
	number_check check = whole_number(stored(w), to);
	// A word too long for the buffer is never parsed from its cut text.
	if (check == number_check::ok && w.length >= word_room - 1)
		check = number_check::out_of_range;
	if (check == number_check::ok)
		return true;
	if (check == number_check::out_of_range)
		std::snprintf(problem_text.data(), problem_text.size(), "%s is out of range", field);
	else
		std::snprintf(problem_text.data(), problem_text.size(), "%s is not a whole number", field);
	return false;
}

template <std::size_t N>
static bool store_text(std::array<char, N>& to, const flat_word& w, const char *field)
{
	if (w.has_nul) {
		std::snprintf(problem_text.data(), problem_text.size(), "%s holds a NUL character", field);
		return false;
	}
	if (w.length > N - 1) {
		std::snprintf(problem_text.data(), problem_text.size(),
			"%s is longer than %d characters", field, static_cast<int>(N - 1));
		return false;
	}
	std::memcpy(to.data(), w.text.data(), w.length);
	to[w.length] = '\0';
	return true;
}

// Only the sex word's first character is ever written, so a longer word is kept cut to fit.
static bool store_sex(sex_text& to, const flat_word& w)
{
	if (w.has_nul) {
		std::snprintf(problem_text.data(), problem_text.size(), "sex holds a NUL character");
		return false;
	}
	std::size_t n = w.length < to.size() - 1 ? w.length : to.size() - 1;
	std::memcpy(to.data(), w.text.data(), n);
	to[n] = '\0';
	return true;
}

static bool store_field(int row, int field, const flat_word& w)
{
	switch (field) {
	case 0: return store_number(idnum[row], w, "id number");
	case 1: return store_text(firstname[row], w, "first name");
	case 2: return store_text(surname[row], w, "surname");
	case 3: return store_sex(sex[row], w);
	case 4: return store_text(birth_date[row], w, "birth date");
	case 5: return store_text(birth_place[row], w, "birth place");
	case 6: return store_text(death_date[row], w, "death date");
	case 7: return store_text(death_place[row], w, "death place");
	case 8: return store_text(burial_place[row], w, "burial place");
	case 9: return store_text(education[row], w, "education");
	case 10: return store_text(occupation[row], w, "occupation");
	case 11: return store_text(religon[row], w, "religion");
	case 12: return store_number(father[row], w, "father's id number");
	case 13: return store_number(mother[row], w, "mother's id number");
	default: return store_number(married[row], w, "married");
	}
}

bool is_end_marker(int row)
{
	if (row < 0 || row > last_row)
		return false;
	const name_text& name = firstname[row];
	return std::strlen(name.data()) >= 5 && name[4] == '9';
}

static void announce(FILE *out, int row)
{
	if (!std::strstr(firstname[row].data(), "stop9"))
		std::fprintf(out, "Name read: %s %s \n", firstname[row].data(), surname[row].data());
}

static record_end cut_short(FILE *in, FILE *out, int row, int field)
{
	if (std::ferror(in))
		return record_end::unreadable;
	if (field == 0)
		return record_end::end_of_file;
	if (!is_end_marker(row)) {
		std::snprintf(problem_text.data(), problem_text.size(), "cut short by the end of the file");
		return record_end::bad;
	}
	// The end marker may stop after any word; its missing fields stay empty and 0.
	if (field <= group1_words - 1)
		announce(out, row);
	return record_end::marker;
}

// Fields the reader never reaches must read as empty and 0, also when the tables are filled again.
static void clear_row(int row)
{
	idnum[row] = father[row] = mother[row] = married[row] = 0;
	for (auto *t : {&firstname[row], &surname[row], &birth_date[row], &death_date[row]})
		t->fill('\0');
	for (auto *t : {&birth_place[row], &death_place[row], &burial_place[row], &education[row],
			&occupation[row], &religon[row]})
		t->fill('\0');
	sex[row].fill('\0');
}

static record_end read_record(FILE *in, FILE *out, int row)
{
	flat_word w;
	for (int field = 0; field < record_words; ++field) {
		if (!read_flat_word(in, w))
			return cut_short(in, out, row, field);
		if (field == 0 && row > last_row) {
			std::snprintf(problem_text.data(), problem_text.size(),
				"more records than the tables hold (%d)", last_row);
			return record_end::bad;
		}
		if (field == 0)
			clear_row(row);
		if (!store_field(row, field, w))
			return record_end::bad;
		if (field == group1_words - 1)
			announce(out, row);
	}
	return is_end_marker(row) ? record_end::marker : record_end::complete;
}

// Two people with one id number would share one cross-reference in the GEDCOM file.
static bool id_used_before(int row)
{
	for (int k = 1; k < row; ++k)
		if (idnum[k] == idnum[row])
			return true;
	return false;
}

read_status read_data(FILE *in, FILE *out)
{
	std::fprintf(out, "Input file opened....\n\n");
	int n = 0;
	end_marker_read = false;
	for (;;) {
		int row = n + 1;
		record_end end = read_record(in, out, row);
		if (end == record_end::end_of_file)
			break;
		if (end == record_end::unreadable)
			return read_status::unreadable;
		problem_record = row;
		if (end == record_end::bad)
			return read_status::bad_record;
		n = row;
		if (end == record_end::marker) {
			end_marker_read = true;
			break;
		}
		if (id_used_before(row)) {
			std::snprintf(problem_text.data(), problem_text.size(),
				"id number %d used twice", static_cast<int>(idnum[row]));
			return read_status::bad_record;
		}
	}
	std::fprintf(out, "\nInput file read....\nNumber of lines read =%d\n", n);
	num_of_entries = n;
	std::fprintf(out, "Input file closed...\n");
	stop9 = n;
	if (!end_marker_read)
		std::fprintf(out, "Input file has no end marker....\n");
	return read_status::ok;
}
