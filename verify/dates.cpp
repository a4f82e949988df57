// The date grammar of GEDCOM 5.5.1: which DATE values a reader of the standard can take.
#include "date_reading.h"
#include "findings.h"
#include "grammar.h"

#include "tag_table.h"

#include <array>

namespace {

// The words of a value, a phrase in parentheses apart. Keywords and months are compared
// without regard to case: every program reads "12 Jan 1900".
inline constexpr std::size_t words_max = 12;

struct date_words {
	std::array<std::string_view, words_max> word;
	std::size_t count;
	std::size_t at;
	date_point *point; // where the date being read goes
};

bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

std::uint64_t number_of(std::string_view digits)
{
	std::uint64_t n = 0;
	for (char c : digits)
		n = n * 10 + static_cast<unsigned>(c - '0');
	return n;
}

// Splits the value into words at blanks; the escape of the French calendar holds a blank
// and stays one word. False when the value has more words than any date.
bool split_words(std::string_view value, date_words &w)
{
	w.count = 0;
	w.at = 0;
	std::size_t i = 0;
	while (i < value.size()) {
		if (is_blank(value[i])) {
			++i;
			continue;
		}
		std::size_t start = i;
		while (i < value.size() && !is_blank(value[i]))
			++i;
		if (value.substr(start, i - start) == "@#DFRENCH" && value.substr(i, 3) == " R@")
			i += 3;
		if (w.count == words_max)
			return false;
		w.word[w.count++] = value.substr(start, i - start);
	}
	return true;
}

std::string_view next_word(const date_words &w)
{
	return w.at < w.count ? w.word[w.at] : std::string_view{};
}

int calendar_of_escape(std::string_view word)
{
	static constexpr std::array<std::string_view, 6> escapes = {
		"@#DGREGORIAN@", "@#DJULIAN@", "@#DHEBREW@", "@#DFRENCH R@", "@#DROMAN@", "@#DUNKNOWN@"};
	static constexpr std::array<calendar, 6> calendars = {gregorian, julian, hebrew, french, free_form, free_form};
	for (std::size_t i = 0; i < escapes.size(); ++i)
		if (same_caseless(word, escapes[i]))
			return calendars[i];
	return -1;
}

// The month's number from 1, or 0 when the word is no month of the calendar.
unsigned month_of(std::string_view word, calendar cal)
{
	static constexpr std::array<std::string_view, 12> months = {
		"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
	static constexpr std::array<std::string_view, 13> hebrew_months = {
		"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS", "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
	static constexpr std::array<std::string_view, 13> french_months = {
		"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM", "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};
	const std::string_view *names = cal == hebrew ? hebrew_months.data()
				      : cal == french ? french_months.data()
						      : months.data();
	std::size_t count = cal == hebrew || cal == french ? 13 : 12;
	for (std::size_t i = 0; i < count; ++i)
		if (same_caseless(word, names[i]))
			return static_cast<unsigned>(i + 1);
	return 0;
}

// The last day a month can have: a day past it is no date in any year.
unsigned month_days(unsigned month, calendar cal)
{
	static constexpr std::array<unsigned char, 12> days = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
	if (cal == french)
		return month == 13 ? 6 : 30;
	if (cal == hebrew)
		return 30;
	return days[month - 1];
}

// A year of the calendar. A Gregorian year may carry the other reading of a year that began
// in March, the year after it in two digits ("1699/00"); the other calendars' years are of
// up to four digits.
bool year_ok(std::string_view word, calendar cal)
{
	std::size_t slash = word.find('/');
	std::string_view year = word.substr(0, slash);
	if (!all_digits(year))
		return false;
	if (cal != gregorian)
		return slash == std::string_view::npos && year.size() <= 4;
	if (slash == std::string_view::npos)
		return year.size() <= 7;
	std::string_view other = word.substr(slash + 1);
	return year.size() <= 4 && other.size() == 2 && all_digits(other) &&
	       number_of(other) == (number_of(year) + 1) % 100;
}

// The calendars without a grammar of their own take a day, a month word and a year, each
// where the others stand.
bool free_date(date_words &w)
{
	std::size_t start = w.at;
	while (w.at < w.count && w.at - start < 3 && !same_caseless(next_word(w), "AND") &&
	       !same_caseless(next_word(w), "TO") && !same_caseless(next_word(w), "B.C."))
		++w.at;
	if (w.at == start || !all_digits(w.word[w.at - 1]))
		return false;
	if (same_caseless(next_word(w), "B.C."))
		++w.at;
	return true;
}

// One date, with its calendar escape: [day] [month] year [B.C.].
bool date(date_words &w)
{
	calendar cal = gregorian;
	if (int escaped = calendar_of_escape(next_word(w)); escaped >= 0) {
		cal = static_cast<calendar>(escaped);
		++w.at;
	}
	*w.point = {0, 0, 0, cal, false};
	if (cal == free_form)
		return free_date(w);
	std::string_view word = next_word(w);
	unsigned day = 0;
	if (all_digits(word) && word.size() <= 2 && w.at + 1 < w.count && month_of(w.word[w.at + 1], cal)) {
		day = static_cast<unsigned>(number_of(word));
		if (day == 0)
			return false;
		word = w.word[++w.at];
	}
	unsigned month = month_of(word, cal);
	if (month != 0) {
		if (day > month_days(month, cal))
			return false;
		word = w.at + 1 < w.count ? w.word[++w.at] : std::string_view{};
	}
	if (!year_ok(word, cal))
		return false;
	++w.at;
	auto year = static_cast<std::int64_t>(number_of(word.substr(0, word.find('/'))));
	if (same_caseless(next_word(w), "B.C.")) {
		if (cal != gregorian && cal != julian)
			return false;
		++w.at;
		year = -year;
	}
	*w.point = {year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month), cal,
		    word.find('/') != std::string_view::npos};
	return true;
}

bool keyword(date_words &w, std::string_view upper)
{
	if (!same_caseless(next_word(w), upper))
		return false;
	++w.at;
	return true;
}

bool second_date(date_words &w, date_reading &r, date_form form)
{
	r.form = form;
	w.point = &r.second;
	return date(w);
}

// The value but its phrase: a date, a period, a range or an approximation. With a phrase
// only INT and its date.
bool dates_of_value(date_words &w, date_reading &r, bool phrase)
{
	w.point = &r.first;
	r.form = form_exact;
	if (phrase)
		return keyword(w, "INT") && date(w);
	if (keyword(w, "FROM")) {
		r.form = form_from;
		return date(w) && (w.at == w.count || (keyword(w, "TO") && second_date(w, r, form_from_to)));
	}
	if (keyword(w, "BET"))
		return date(w) && keyword(w, "AND") && second_date(w, r, form_between);
	static constexpr std::pair<std::string_view, date_form> one_date[] = {
		{"TO", form_to}, {"BEF", form_before}, {"AFT", form_after},
		{"ABT", form_about}, {"CAL", form_about}, {"EST", form_about}};
	for (const auto &[word, form] : one_date)
		if (keyword(w, word)) {
			r.form = form;
			break;
		}
	return date(w);
}

// The months by their three letters in capitals, first letter lowest, from 1.
constexpr tag_entry<unsigned> month_names[] = {
	{tag_word("JAN"), 1}, {tag_word("FEB"), 2}, {tag_word("MAR"), 3}, {tag_word("APR"), 4},
	{tag_word("MAY"), 5}, {tag_word("JUN"), 6}, {tag_word("JUL"), 7}, {tag_word("AUG"), 8},
	{tag_word("SEP"), 9}, {tag_word("OCT"), 10}, {tag_word("NOV"), 11}, {tag_word("DEC"), 12}};

constexpr tag_table<unsigned, 0x4770a087, 4> months(month_names, 0);
static_assert(months.distinct, "each month has a slot of its own");

// The month of three letters at p, in any case, from 1; 0 for none. Found without a
// branch: a search through the names would guess wrong at nearly every date.
unsigned month_at(const char *p)
{
	auto upper = [](char c) { return static_cast<std::uint32_t>(static_cast<unsigned char>(c) & ~0x20u); };
	return months.find(upper(p[0]) | upper(p[1]) << 8 | upper(p[2]) << 16);
}

// The commonest form, "12 JAN 1900": 1 when it is a date, 0 when its day is not in its
// month, -1 when it has another form. Checked without splitting the value into words.
int plain_date(std::string_view v, date_point &p)
{
	std::size_t d = v.size() == 10 ? 1 : v.size() == 11 ? 2 : 0;
	if (d == 0 || v[d] != ' ' || v[d + 4] != ' ')
		return -1;
	unsigned digits = 0;
	for (std::size_t i : {std::size_t{0}, d - 1, d + 5, d + 6, d + 7, d + 8})
		digits += static_cast<unsigned>(v[i] - '0') <= 9;
	unsigned month = month_at(v.data() + d + 1);
	if (digits != 6 || month == 0)
		return -1;
	unsigned day = d == 1 ? static_cast<unsigned>(v[0] - '0') : static_cast<unsigned>((v[0] - '0') * 10 + v[1] - '0');
	p = {static_cast<std::int64_t>(number_of(v.substr(d + 5, 4))), static_cast<std::uint8_t>(day),
	     static_cast<std::uint8_t>(month), gregorian, false};
	return day >= 1 && day <= month_days(month, gregorian);
}

} // namespace

bool read_date_value(std::string_view value, date_reading &r)
{
	if (int plain = plain_date(value, r.first); plain >= 0) {
		r.form = form_exact;
		return plain == 1;
	}
	// A phrase runs from the first parenthesis to the end of the value.
	std::size_t open = value.find('(');
	bool phrase = open != std::string_view::npos;
	if (phrase) {
		std::size_t last = value.find_last_not_of(" \t");
		if (value[last] != ')')
			return false;
		value = value.substr(0, open);
	}
	date_words w;
	if (!split_words(value, w))
		return false;
	if (phrase && w.count == 0) {
		r.form = form_phrase;
		return true;
	}
	return dates_of_value(w, r, phrase) && w.at == w.count;
}

bool date_value_ok(std::string_view value)
{
	date_reading r;
	return read_date_value(value, r);
}
