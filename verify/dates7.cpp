// 7.0 dates, periods, exact dates, times and ages, and the 5.5.1 date forms named as such.
#include "date_reading.h"
#include "rules7_internal.h"
#include "rules7_tables.h"

#include "records.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <type_traits>

namespace rules7 {

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
static bool split_words(std::string_view text, date_words7 &out)
{
	out.n = 0;
	std::size_t start = 0;
	auto word_ends = [&](std::size_t at) {
		if (at == start || out.n == most_date_words7)
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

// A word of up to 8 bytes as one number, so a month is found by comparing numbers: its first 4
// and last 4 bytes, or of a shorter word its first, middle and last, which with the word's
// length tell it from every other; at run time the record table's tail word, two loads.
static constexpr std::uint64_t packed(std::string_view word)
{
	std::size_t n = word.size();
	auto byte = [word](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(word[i])}; };
	if (n > 8)
		return ~std::uint64_t{0};
	if (n < 4)
		return n == 0 ? 0 : byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
	if (!std::is_constant_evaluated())
		return tail_word(word.data(), n);
	auto four = [byte](std::size_t at) { return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24; };
	return four(0) | four(n - 4) << 32;
}

// Every month of every calendar by its packed letters, with its number in each calendar that
// has it (0 in the others): a date's month is one probe, not a walk through its calendar's.
struct month_slot {
	std::uint64_t key;
	std::uint8_t length;	// 0: an empty slot
	std::array<std::uint8_t, calendars7.size()> number;
};

inline constexpr std::size_t month_slot_count = 128;

static constexpr std::size_t month_slot_of(std::uint64_t key)
{
	return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 57);
}

static constexpr auto month_slots = [] {
	std::array<month_slot, month_slot_count> slots{};
	for (std::size_t c = 0; c < calendars7.size(); ++c)
		for (int m = 0; m < calendars7[c].month_count; ++m) {
			std::string_view name = months7[calendars7[c].first_month + m];
			std::uint64_t key = packed(name);
			std::size_t i = month_slot_of(key);
			while (slots[i].length != 0 && (slots[i].key != key || slots[i].length != name.size()))
				i = (i + 1) % month_slot_count;
			slots[i].key = key;
			slots[i].length = static_cast<std::uint8_t>(name.size());
			slots[i].number[c] = static_cast<std::uint8_t>(m + 1);
		}
	return slots;
}();
static_assert(std::size_t{1} << (64 - 57) == month_slot_count && months7.size() <= month_slot_count / 2,
	      "the months fill their table more than half: a probe would have no empty slot to stop at");
static_assert([] {
	for (std::string_view m : months7)
		if (m.empty() || m.size() > 8)
			return false;
	return true;
}(), "a month of more than 8 letters would not be told apart by its packed letters");

// The month's number in the calendar, 0 for a word that is none of its months.
static int month_number(int calendar, std::string_view word)
{
	std::uint64_t key = packed(word);
	for (std::size_t i = month_slot_of(key);; i = (i + 1) % month_slot_count) {
		const month_slot &s = month_slots[i];
		if (s.key == key && s.length == word.size())
			return s.number[static_cast<std::size_t>(calendar)];
		if (s.length == 0)
			return 0;
	}
}

static bool is_month_of(int calendar, std::string_view month)
{
	if (calendar < 0)
		return is_std_tag(month) || is_ext_tag(month);
	return month_number(calendar, month) != 0 || is_ext_tag(month);
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

static int find_word(const date_words7 &d, std::string_view word, int from)
{
	for (int i = from; i < d.n; ++i)
		if (d.w[i] == word)
			return i;
	return -1;
}

// date1 KEY date2, with KEY found after the first word.
static bool is_two_dates(const date_words7 &d, std::string_view key)
{
	int k = find_word(d, key, 2);
	return k > 1 && is_date(d.w.data() + 1, k - 1) && is_date(d.w.data() + k + 1, d.n - k - 1);
}

static bool is_period(const date_words7 &d)
{
	if (d.w[0] == "TO")
		return is_date(d.w.data() + 1, d.n - 1);
	if (d.w[0] != "FROM")
		return false;
	return find_word(d, "TO", 2) < 0 ? is_date(d.w.data() + 1, d.n - 1) : is_two_dates(d, "TO");
}

static bool is_date_value(const date_words7 &d)
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
	date_words7 d;
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

static bool is_exact_date(const date_words7 &d)
{
	return d.n == 3 && all_digits(d.w[0]) && is_month_of(gregorian, d.w[1]) &&
	       !is_ext_tag(d.w[1]) && all_digits(d.w[2]);
}

verdict7 check_date(std::string_view value, payload7 kind, date_words7 &d)
{
	d.n = 0;
	if (value.empty())
		return kind == payload7::pay_date_exact ? wrong7 : fine7;
	bool ok = split_words(value, d);
	if (ok && kind == payload7::pay_date_exact)
		ok = is_exact_date(d);
	else if (ok)
		ok = kind == payload7::pay_date_period ? is_period(d) : is_date_value(d);
	return ok ? fine7 : legacy_date(value);
}

verdict7 check_date(std::string_view value, payload7 kind)
{
	date_words7 d;
	return check_date(value, kind, d);
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
	date_words7 d;
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
		p.month = static_cast<std::uint8_t>(month_number(cal, w[n - 2]));
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
	rules7::date_words7 d;
	return !value.empty() && rules7::split_words(value, d) && read_date_words7(d, r);
}

bool read_date_words7(const rules7::date_words7 &d, date_reading &r)
{
	using namespace rules7;
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
