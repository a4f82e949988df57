// 7.0 dates, periods, exact dates, times and ages, and the 5.5.1 date forms named as such.
#include "date_reading.h"
#include "rules7_internal.h"
#include "rules7_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace rules7 {

// The longest standard date, BET with two dates each with calendar, day, month, year and epoch,
// has 11 words; more than this cannot be one.
inline constexpr int most_date_words = 12;

struct words7 {
	std::array<std::string_view, most_date_words> w;
	int n;
};

// Bit 7 of each byte of w that is a blank, and of no other: no carry crosses from one byte
// into the next.
static std::uint64_t blanks_in(std::uint64_t w)
{
	constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
	std::uint64_t x = w ^ 0x2020202020202020ULL;
	return ~(((x & low7) + low7) | x) & ~low7;
}

// False for more words than any date has, and for a doubled, leading or trailing space. The
// blanks are found 8 bytes at a time, the last bytes of the value by a load that ends with it.
static bool split_words(std::string_view text, words7 &out)
{
	out.n = 0;
	std::size_t start = 0;
	auto word_ends = [&](std::size_t at) {
		if (at == start || out.n == most_date_words)
			return false;
		out.w[out.n++] = text.substr(start, at - start);
		start = at + 1;
		return true;
	};
	auto blanks_from = [&](std::size_t at, std::uint64_t blanks) {
		for (; blanks != 0; blanks &= blanks - 1)
			if (!word_ends(at + static_cast<std::size_t>(std::countr_zero(blanks)) / 8))
				return false;
		return true;
	};
	const char *p = text.data();
	std::size_t n = text.size();
	std::size_t i = 0;
	std::uint64_t w;
	for (; i + 8 <= n; i += 8) {
		std::memcpy(&w, p + i, 8);
		if (!blanks_from(i, blanks_in(w)))
			return false;
	}
	if (i < n && n >= 8) {
		std::memcpy(&w, p + n - 8, 8);
		if (!blanks_from(n - 8, blanks_in(w) & ~std::uint64_t{0} << (8 * (i - (n - 8)))))
			return false;
	} else {
		for (; i < n; ++i)
			if (p[i] == ' ' && !word_ends(i))
				return false;
	}
	return word_ends(n);
}

static constexpr int find_calendar(std::string_view tag)
{
	for (std::size_t i = 0; i < calendars7.size(); ++i)
		if (calendars7[i].tag == tag)
			return static_cast<int>(i);
	return -1;
}

static constexpr int gregorian = find_calendar("GREGORIAN");
static_assert(gregorian >= 0);

// Up to 8 bytes of a word as one number, so a month is found by comparing numbers.
static constexpr std::uint64_t packed(std::string_view word)
{
	std::uint64_t key = 0;
	for (std::size_t i = 0; i < word.size() && i < 8; ++i)
		key |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i])) << (8 * i);
	return word.size() > 8 ? ~std::uint64_t{0} : key;
}

static constexpr std::array<std::uint64_t, months7.size()> month_keys = [] {
	std::array<std::uint64_t, months7.size()> keys{};
	for (std::size_t i = 0; i < months7.size(); ++i)
		keys[i] = packed(months7[i]);
	return keys;
}();

static bool is_month_of(int calendar, std::string_view month)
{
	if (calendar < 0)
		return is_std_tag(month) || is_ext_tag(month);
	const calendar7 &cal = calendars7[calendar];
	std::uint64_t key = packed(month);
	for (int m = 0; m < cal.month_count; ++m)
		if (month_keys[cal.first_month + m] == key && months7[cal.first_month + m].size() == month.size())
			return true;
	return is_ext_tag(month);
}

// [[day] month] year [epoch] within one calendar; -1 is an extension calendar.
static bool is_calendar_date(int calendar, const std::string_view *w, int n)
{
	if (n > 1 && (w[n - 1] == "BCE" || is_ext_tag(w[n - 1]))) {
		if (w[n - 1] == "BCE" && calendar >= 0 && !calendars7[calendar].bce)
			return false;
		--n;
	}
	if (n < 1 || n > 3 || !all_digits(w[n - 1]))
		return false;
	if (n >= 2 && !is_month_of(calendar, w[n - 2]))
		return false;
	return n < 3 || all_digits(w[0]);
}

static bool is_date(const std::string_view *w, int n)
{
	if (n < 1)
		return false;
	int cal = all_digits(w[0]) ? -1 : find_calendar(w[0]);
	if (cal >= 0 || is_ext_tag(w[0]))
		if (is_calendar_date(cal, w + 1, n - 1))
			return true;
	return is_calendar_date(gregorian, w, n);
}

static int find_word(const words7 &d, std::string_view word, int from)
{
	for (int i = from; i < d.n; ++i)
		if (d.w[i] == word)
			return i;
	return -1;
}

// date1 KEY date2, with KEY found after the first word.
static bool is_two_dates(const words7 &d, std::string_view key)
{
	int k = find_word(d, key, 2);
	return k > 1 && is_date(d.w.data() + 1, k - 1) && is_date(d.w.data() + k + 1, d.n - k - 1);
}

static bool is_period(const words7 &d)
{
	if (d.w[0] == "TO")
		return is_date(d.w.data() + 1, d.n - 1);
	if (d.w[0] != "FROM")
		return false;
	return find_word(d, "TO", 2) < 0 ? is_date(d.w.data() + 1, d.n - 1) : is_two_dates(d, "TO");
}

static bool is_date_value(const words7 &d)
{
	std::string_view first = d.w[0];
	if (first == "BET")
		return is_two_dates(d, "AND");
	if (first == "AFT" || first == "BEF" || first == "ABT" || first == "CAL" || first == "EST")
		return is_date(d.w.data() + 1, d.n - 1);
	return is_period(d) || is_date(d.w.data(), d.n);
}

static std::string_view escaped_calendar(std::string_view escape)
{
	if (escape == "@#DGREGORIAN@")
		return "GREGORIAN";
	if (escape == "@#DJULIAN@")
		return "JULIAN";
	if (escape == "@#DHEBREW@")
		return "HEBREW";
	if (escape == "@#DFRENCH R@")
		return "FRENCH_R";
	return "the calendar's name, or an extension tag for a calendar of its own";
}

static bool is_dual_year(std::string_view word)
{
	std::size_t slash = word.find('/');
	return slash != std::string_view::npos && all_digits(word.substr(0, slash)) &&
	       all_digits(word.substr(slash + 1));
}

// The 5.5.1 forms, named so that a converted file's author knows what to change.
static verdict7 legacy_date(std::string_view value)
{
	std::size_t esc = value.find("@#D");
	if (esc != std::string_view::npos) {
		std::size_t end = value.find('@', esc + 3);
		std::string_view quote = value.substr(esc, end == std::string_view::npos ? end : end - esc + 1);
		return {result7::legacy, quote, escaped_calendar(quote)};
	}
	if (value.starts_with("INT "))
		return {result7::legacy, value.substr(0, 3), "the date alone, with the text in its PHRASE"};
	if (value.starts_with("("))
		return {result7::legacy, value, "an empty DATE, with the text in its PHRASE"};
	words7 d;
	d.n = 0;
	split_words(value, d);
	for (int i = 0; i < d.n; ++i) {
		if (d.w[i] == "B.C." || d.w[i] == "BC")
			return {result7::legacy, d.w[i], "BCE"};
		if (is_dual_year(d.w[i]))
			return {result7::legacy, d.w[i], "one year, with the dual year in the date's PHRASE"};
	}
	return wrong7;
}

static bool is_exact_date(const words7 &d)
{
	return d.n == 3 && all_digits(d.w[0]) && is_month_of(gregorian, d.w[1]) &&
	       !is_ext_tag(d.w[1]) && all_digits(d.w[2]);
}

verdict7 check_date(std::string_view value, payload7 kind)
{
	if (value.empty())
		return kind == payload7::pay_date_exact ? wrong7 : fine7;
	words7 d;
	bool ok = split_words(value, d);
	if (ok && kind == payload7::pay_date_exact)
		ok = is_exact_date(d);
	else if (ok)
		ok = kind == payload7::pay_date_period ? is_period(d) : is_date_value(d);
	return ok ? fine7 : legacy_date(value);
}

static bool two_digits_below(std::string_view t, char first_limit)
{
	return t.size() == 2 && t[0] >= '0' && t[0] <= first_limit && t[1] >= '0' && t[1] <= '9';
}

verdict7 check_time(std::string_view value)
{
	std::size_t colon = value.find(':');
	std::string_view hour = value.substr(0, colon);
	if (colon == std::string_view::npos || hour.empty() || hour.size() > 2 || !all_digits(hour) ||
	    (hour.size() == 2 && (hour[0] > '2' || (hour[0] == '2' && hour[1] > '3'))))
		return wrong7;
	std::string_view rest = value.substr(colon + 1);
	if (rest.ends_with('Z'))
		rest.remove_suffix(1);
	if (!two_digits_below(rest.substr(0, 2), '5'))
		return wrong7;
	rest.remove_prefix(2);
	if (rest.empty())
		return fine7;
	if (rest[0] != ':' || !two_digits_below(rest.substr(1, 2), '5'))
		return wrong7;
	rest.remove_prefix(3);
	return rest.empty() || (rest[0] == '.' && all_digits(rest.substr(1))) ? fine7 : wrong7;
}

// Years, months, weeks and days, each at most once and in that order.
verdict7 check_age(std::string_view value)
{
	if (value.empty())
		return fine7;
	if (value.starts_with("< ") || value.starts_with("> "))
		value.remove_prefix(2);
	words7 d;
	if (!split_words(value, d))
		return wrong7;
	constexpr std::string_view units = "ymwd";
	std::size_t next_unit = 0;
	for (int i = 0; i < d.n; ++i) {
		std::string_view w = d.w[i];
		std::size_t unit = units.find(w.back());
		if (unit == std::string_view::npos || unit < next_unit || !all_digits(w.substr(0, w.size() - 1)))
			return wrong7;
		next_unit = unit + 1;
	}
	return fine7;
}

// The calendars that the doubts count days in, in the order of the tables' calendars.
static constexpr std::array<calendar, calendars7.size()> counted_calendars = [] {
	std::array<calendar, calendars7.size()> cals{};
	for (std::size_t i = 0; i < calendars7.size(); ++i)
		cals[i] = calendars7[i].tag == "JULIAN" ? julian
			  : calendars7[i].tag == "HEBREW" ? hebrew
			  : calendars7[i].tag == "FRENCH_R" ? french
							    : ::gregorian;
	return cals;
}();

// A year of more digits than this counts no days the doubts could compare.
inline constexpr std::size_t year_digits_max = 7;
// A day no month has, for a day of 0 or past any month's.
inline constexpr unsigned no_day = 255;

// One date of a value the rules took, its words [calendar] [[day] month] year [epoch]; false
// for a calendar, month or epoch of an extension, and for a year too long.
static bool read_point(const std::string_view *w, int n, date_point &p)
{
	int cal = gregorian;
	if (!all_digits(w[0])) {
		if (int named = find_calendar(w[0]); named >= 0)
			cal = named, ++w, --n;
		else if (is_ext_tag(w[0]))
			return false;
	}
	bool bce = n > 1 && w[n - 1] == "BCE";
	if (bce)
		--n;
	std::string_view year = w[n - 1];
	if (!all_digits(year) || year.size() > year_digits_max)
		return false;
	std::int64_t y = 0;
	for (char c : year)
		y = y * 10 + (c - '0');
	p = {bce ? -y : y, 0, 0, counted_calendars[cal], false};
	if (n >= 2) {
		const calendar7 &c = calendars7[cal];
		std::uint64_t key = packed(w[n - 2]);
		for (int m = 0; m < c.month_count && p.month == 0; ++m)
			if (month_keys[c.first_month + m] == key && months7[c.first_month + m].size() == w[n - 2].size())
				p.month = static_cast<std::uint8_t>(m + 1);
		if (p.month == 0)
			return false;
	}
	if (n == 3) {
		unsigned day = 0;
		for (char c : w[0])
			day = std::min(day * 10 + static_cast<unsigned>(c - '0'), no_day);
		p.day = static_cast<std::uint8_t>(day == 0 ? no_day : day);
	}
	return true;
}

} // namespace rules7

bool read_date_value7(std::string_view value, date_reading &r)
{
	using namespace rules7;
	words7 d;
	if (value.empty() || !split_words(value, d))
		return false;
	std::string_view first = d.w[0];
	int from = 1, key = -1;
	r.form = form_exact;
	if (first == "BET") {
		r.form = form_between;
		key = find_word(d, "AND", 2);
	} else if (first == "FROM") {
		key = find_word(d, "TO", 2);
		r.form = key < 0 ? form_from : form_from_to;
	} else {
		static constexpr std::pair<std::string_view, date_form> one_date[] = {
			{"TO", form_to}, {"BEF", form_before}, {"AFT", form_after},
			{"ABT", form_about}, {"CAL", form_about}, {"EST", form_about}};
		from = 0;
		for (const auto &[word, form] : one_date)
			if (first == word)
				r.form = form, from = 1;
	}
	if (key > 0)
		return read_point(d.w.data() + from, key - from, r.first) &&
		       read_point(d.w.data() + key + 1, d.n - key - 1, r.second);
	return d.n > from && read_point(d.w.data() + from, d.n - from, r.first);
}
