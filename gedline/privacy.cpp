// Who is private, decided in one pass over the file's line pieces: the facts of each person,
// then the years of the relatives of those who have no date of their own.
#include "privacy.h"

#include "gedline.h"
#include "grammar.h"
#include "grow_list.h"
#include "nobody.h"
#include "records.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

privacy_counts private_counts;

namespace {

constexpr std::int16_t no_year = INT16_MAX;

// A key is a hash of a cross-reference with the kind of record in its two low bits, so that
// a person and a family that share a cross-reference stay apart and no key is 0. The third
// bit is 0 in a key.
constexpr std::uint64_t kind_bits = 3;
constexpr std::uint64_t low_bits = 7;
constexpr std::uint64_t person_kind = 1;
constexpr std::uint64_t family_kind = 2;

// In the lists the two low bits say instead what an entry stands for: the person's place in
// a family, or the start of the record the following entries belong to; once the first pass
// has decided, the third says that the person is private, or the family has a private partner.
constexpr std::uint64_t spouse_link = 1;
constexpr std::uint64_t child_link = 2;
constexpr std::uint64_t record_start = 3;
constexpr std::uint64_t hidden_bit = 4;

constexpr std::uint8_t restricted = 1;    // RESN privacy or confidential
constexpr std::uint8_t dead = 2;          // DEAT, BURI or CREM
constexpr std::uint8_t elder_kin = 4;     // an undated person with a relative old enough
constexpr std::uint8_t is_private = 8;
constexpr std::uint8_t wanted = 16;       // a family whose years an undated person needs

struct known {
	std::uint64_t key;       // 0 in an empty slot
	std::int16_t year;       // a person's earliest own year; a family's partners' earliest
	std::int16_t child_year; // a family's children's earliest
	std::uint8_t marks;
};

// A person record's facts, in file order.
struct person_facts {
	std::uint64_t key;
	std::int16_t year;
	std::uint8_t marks;
};

// Tables of bounded size: with all of them full the program stays under 64 MiB. The lists
// are kept in file order so that a second reading finds what was decided of each record in
// turn, without a search; where a list is full, the table alone serves. What a file holds
// beyond the table is not learnt, and whoever was not learnt of is private (overflowed).
constexpr unsigned most_slots_log2 = 20;
constexpr std::size_t most_slots = std::size_t{1} << most_slots_log2;
constexpr std::size_t most_people = std::size_t{1} << 19;
constexpr std::size_t most_families = std::size_t{1} << 20;
constexpr std::size_t most_links = std::size_t{1} << 20;

// At most three quarters full.
record_table<known> table;
grow_list<person_facts> people;
// Each family's key (record_start), followed by the partners and children it names.
grow_list<std::uint64_t> families;
// Each undated person's key, followed by the families it names in FAMC and FAMS lines.
grow_list<std::uint64_t> kin_links;
bool overflowed;
bool families_marked;

// Cross-references that differ in case are different people, as written.
std::uint64_t key_of(std::string_view xref, std::uint64_t kind)
{
	return (xref_hash(xref, false) << 3) | kind;
}

std::uint64_t as_kind(std::uint64_t entry, std::uint64_t kind)
{
	return (entry & ~low_bits) | kind;
}

// A table the system had no memory for has no slots, and knows no one.
void fetch_slot(std::uint64_t key)
{
	if (table.slots.size > 0)
		fetch_home(table, key);
}

constexpr auto filled = [](const known &k) { return k.key != 0; };

known *slot_for(std::uint64_t key)
{
	return &probe(table, key, filled, [key](const known &k) { return k.key == key; });
}

known *find(std::uint64_t key)
{
	if (table.slots.size == 0)
		return nullptr;
	known *k = slot_for(key);
	return k->key == key ? k : nullptr;
}

// The entry of a key, made when there is none; null when the table is full.
known *remember(std::uint64_t key)
{
	if (4 * (table.used + 1) > 3 * table.slots.size) {
		known *k = find(key);
		overflowed = overflowed || !k;
		return k;
	}
	known *k = slot_for(key);
	if (k->key == key)
		return k;
	*k = {key, no_year, no_year, 0};
	++table.used;
	return k;
}

// Room for `records` records with a quarter of the slots to spare; a small file touches few
// pages.
void size_table(std::size_t records)
{
	unsigned log2 = 10;
	while (log2 < most_slots_log2 && 3 * (std::size_t{1} << log2) < 4 * records)
		++log2;
	if (!make_table(table, log2))
		overflowed = true;
}

template <typename T>
bool append(grow_list<T>& list, const T& entry, std::size_t most)
{
	return list.size < most && push(list, entry);
}

void append_link(grow_list<std::uint64_t>& list, std::uint64_t entry, std::size_t most)
{
	if (!append(list, entry, most))
		overflowed = true;
}

bool ends_line(std::string_view piece)
{
	return !piece.empty() && (piece.back() == '\n' || piece.back() == '\r');
}

// The tag from `at` to the next blank or line end.
std::string_view tag_at(std::string_view line, std::size_t at)
{
	if (at >= line.size())
		return {};
	std::size_t end = at;
	while (end < line.size() && line[end] != ' ' && line[end] != '\r' && line[end] != '\n')
		++end;
	return line.substr(at, end - at);
}

// The text between the first "@" from `from` on and the next.
// Searched by hand: the texts are a few characters long, shorter than a call to memchr.
bool pointer_in(std::string_view text, std::size_t from, std::string_view& xref)
{
	std::size_t open = from;
	while (open < text.size() && text[open] != '@')
		++open;
	std::size_t close = open + 1;
	while (close < text.size() && text[close] != '@')
		++close;
	if (close >= text.size())
		return false;
	xref = text.substr(open + 1, close - open - 1);
	return true;
}

} // namespace

// A level-0 line: "0 @XREF@ TAG".
private_record read_private_record(std::string_view line)
{
	std::size_t at = 2;
	std::string_view xref;
	bool named = has_at(line, 2, "@");
	if (named) {
		if (!pointer_in(line, 2, xref))
			return {private_kind::unreadable, 0};
		at = 3 + xref.size() + 1;
		if (at < line.size() && line[at] == ' ')
			++at;
	}
	std::uint64_t key = named ? key_of(xref, person_kind) : 0;
	std::string_view tag = tag_at(line, at);
	if (line.size() == piece_max && !ends_line(line) && at + tag.size() == line.size())
		return {private_kind::unreadable, key};
	if (same_caseless(tag, "INDI"))
		return {named ? private_kind::person : private_kind::unreadable, key};
	if (named && same_caseless(tag, "FAM"))
		return {private_kind::family, key_of(xref, family_kind)};
	if (named && tag.empty())
		return {private_kind::unreadable, key};
	return {private_kind::other, 0};
}

namespace {

// The year of a date: the first number of three or four digits, read across the pieces of
// a long line.
struct year_scan {
	int digits;
	unsigned value;
	int year;
};

void end_number(year_scan& s)
{
	if (s.year == no_year && (s.digits == 3 || s.digits == 4))
		s.year = static_cast<int>(s.value);
	s.digits = 0;
	s.value = 0;
}

void scan_year(year_scan& s, std::string_view text)
{
	if (s.year != no_year)
		return;
	int digits = s.digits;
	unsigned value = s.value;
	for (char c : text) {
		unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
		if (digit <= 9) {
			value = value * 10 + digit;
			++digits;
		} else if (digits == 3 || digits == 4) {
			s.year = static_cast<int>(value);
			return;
		} else {
			digits = 0;
			value = 0;
		}
	}
	s.digits = digits;
	s.value = value;
}

// A RESN value, blanks around it dropped. GEDCOM 7 writes a list ("CONFIDENTIAL, LOCKED").
struct restriction_scan {
	std::array<char, 64> text;
	std::size_t size;
	bool too_long;
};

void scan_restriction(restriction_scan& s, std::string_view text)
{
	for (char c : text) {
		if (c == '\r' || c == '\n' || (s.size == 0 && (c == ' ' || c == '\t')))
			continue;
		if (s.size < s.text.size())
			s.text[s.size++] = c;
		else if (c != ' ' && c != '\t')
			s.too_long = true;
	}
}

bool restricts(const restriction_scan& s)
{
	if (s.too_long)
		return false;
	std::string_view rest{s.text.data(), s.size};
	while (!rest.empty()) {
		std::size_t comma = rest.find(',');
		std::string_view item = rest.substr(0, comma);
		while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
			item.remove_prefix(1);
		while (!item.empty() && (item.back() == ' ' || item.back() == '\t'))
			item.remove_suffix(1);
		if (same_caseless(item, "PRIVACY") || same_caseless(item, "CONFIDENTIAL"))
			return true;
		rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
	}
	return false;
}

enum class line_use { none, date, restriction };

// What the first pass knows of the record and the line it is reading.
struct first_pass {
	bool line_start = true;
	private_kind kind = private_kind::other;
	std::uint64_t key = 0;
	int year = no_year;
	std::uint8_t marks = 0;
	bool dates_count = false; // the last level-1 line is not CHAN
	int old_enough = 0;       // a year this early publishes the person and their children
	unsigned wants = 0;       // what lines of the record still can tell
	line_use use = line_use::none;
	year_scan date{};
	restriction_scan resn{};
	std::size_t links_from = 0;
};

first_pass pass;

// A tag of four letters in capitals as one number, so that a line's tag is compared at once.
constexpr std::uint32_t tag_code(const char (&tag)[5])
{
	return static_cast<std::uint32_t>(static_cast<unsigned char>(tag[0])) |
	       static_cast<std::uint32_t>(static_cast<unsigned char>(tag[1])) << 8 |
	       static_cast<std::uint32_t>(static_cast<unsigned char>(tag[2])) << 16 |
	       static_cast<std::uint32_t>(static_cast<unsigned char>(tag[3])) << 24;
}

static_assert(std::endian::native == std::endian::little, "tags are read as little-endian words");

// The tag of a line as such a number, small letters made capitals, when it has four
// characters and a blank stands between it and the level; 0 otherwise. One load takes the
// first eight bytes: the reader leaves room to read past the end of a piece.
std::uint32_t tag_of(std::string_view line)
{
	std::uint64_t w;
	std::memcpy(&w, line.data(), sizeof w);
	char after = line.size() > 6 ? static_cast<char>(w >> 48) : ' ';
	bool four = line.size() >= 6 && static_cast<char>(w >> 8) == ' ' &&
		    (after == ' ' || after == '\n' || after == '\r');
	return four ? static_cast<std::uint32_t>(w >> 16) & 0xDFDFDFDFu : 0;
}

// The value of a line with a tag of four letters.
std::string_view value_of_line(std::string_view line)
{
	return line.size() > 7 ? line.substr(7) : std::string_view{};
}

// What a line can tell, as bits; which of them a record still wants to know.
constexpr unsigned tells_date = 1;
constexpr unsigned tells_fact = 2;   // a restriction or a death
constexpr unsigned tells_kin = 4;    // the families of a person
constexpr unsigned tells_member = 8; // the members of a family
constexpr unsigned tells_chan = 16;  // the dates below do not count

struct telling_tag {
	std::uint32_t tag;
	std::uint8_t at_level1;
	std::uint8_t at_level2;
};

// Puts each tag below in a slot of its own among 16.
constexpr std::uint32_t tag_multiplier = 0x26a2e176u;

constexpr std::size_t tag_slot(std::uint32_t tag)
{
	return static_cast<std::uint32_t>(tag * tag_multiplier) >> 28;
}

constexpr std::array<telling_tag, 16> telling_tags = [] {
	std::array<telling_tag, 16> t{};
	auto put = [&t](std::uint32_t tag, unsigned one, unsigned two) {
		t[tag_slot(tag)] = {tag, static_cast<std::uint8_t>(one), static_cast<std::uint8_t>(two)};
	};
	put(tag_code("DATE"), 0, tells_date);
	put(tag_code("CHAN"), tells_chan, 0);
	for (std::uint32_t tag : {tag_code("RESN"), tag_code("DEAT"), tag_code("BURI"), tag_code("CREM")})
		put(tag, tells_fact, 0);
	for (std::uint32_t tag : {tag_code("FAMC"), tag_code("FAMS")})
		put(tag, tells_kin, 0);
	for (std::uint32_t tag : {tag_code("HUSB"), tag_code("WIFE"), tag_code("CHIL")})
		put(tag, tells_member, 0);
	return t;
}();

static_assert(std::count_if(telling_tags.begin(), telling_tags.end(), [](telling_tag t) { return t.tag != 0; }) == 11,
	      "two tags share a slot");

// What the record still wants to know: a person's dates until one is early enough for every
// rule (the parents' 120 years the longest), and its families only while it has no date,
// death or restriction.
void update_wants()
{
	if (pass.kind == private_kind::person)
		pass.wants = tells_fact | (pass.year > pass.old_enough ? tells_date : 0) |
			     (pass.year == no_year && pass.marks == 0 ? tells_kin : 0);
	else
		pass.wants = pass.kind == private_kind::family ? tells_member : 0;
}

// What a line of a person's or a family's record tells: a date, a restriction, a death, the
// families of an undated person, the members of a family.
[[gnu::noinline]] void tell(std::string_view line, std::uint32_t tag)
{
	std::string_view xref;
	switch (tag) {
	case tag_code("DATE"):
		pass.use = line_use::date;
		pass.date = {0, 0, no_year};
		scan_year(pass.date, value_of_line(line));
		break;
	case tag_code("RESN"):
		pass.use = line_use::restriction;
		pass.resn = {};
		scan_restriction(pass.resn, value_of_line(line));
		break;
	case tag_code("DEAT"):
	case tag_code("BURI"):
	case tag_code("CREM"):
		pass.marks |= dead;
		update_wants();
		break;
	case tag_code("FAMC"):
	case tag_code("FAMS"):
		if (pointer_in(line, 6, xref) && !points_to_nobody(xref))
			append_link(kin_links, as_kind(key_of(xref, family_kind),
						       tag == tag_code("FAMC") ? child_link : spouse_link), most_links);
		break;
	default:
		if (pointer_in(line, 6, xref) && !points_to_nobody(xref))
			append_link(families, as_kind(key_of(xref, person_kind),
						      tag == tag_code("CHIL") ? child_link : spouse_link), most_families);
		break;
	}
}

void end_line()
{
	if (pass.use == line_use::date) {
		end_number(pass.date);
		if (pass.date.year < pass.year)
			pass.year = pass.date.year;
	} else if (pass.use == line_use::restriction && restricts(pass.resn)) {
		pass.marks |= restricted;
	}
	pass.use = line_use::none;
	update_wants();
}

// A person's facts join those of any earlier record with the same cross-reference.
void join(const person_facts& f)
{
	known *k = remember(f.key);
	if (!k)
		return;
	k->marks |= f.marks;
	if (f.year < k->year)
		k->year = f.year;
}

// The table is sized once the people are counted; a person beyond the list joins it at once.
void join_beyond_list(const person_facts& f)
{
	if (table.slots.size < most_slots) {
		size_table(most_slots);
		for (const person_facts& listed : entries_of(people))
			join(listed);
	}
	join(f);
}

// Only a person still without a reason either way keeps the families it named.
void end_record()
{
	if (pass.kind != private_kind::person)
		return;
	person_facts f{pass.key, static_cast<std::int16_t>(pass.year), pass.marks};
	if (!append(people, f, most_people))
		join_beyond_list(f);
	bool undecided = pass.marks == 0 && pass.year == no_year;
	if (!undecided || kin_links.size == pass.links_from + 1)
		kin_links.size = std::min(pass.links_from, kin_links.size);
}

void start_record(std::string_view line)
{
	end_record();
	private_record r = read_private_record(line);
	bool unreadable = r.kind == private_kind::unreadable && r.key != 0;
	pass.kind = unreadable ? private_kind::person : r.kind;
	pass.key = r.key;
	pass.year = no_year;
	pass.marks = unreadable ? restricted : 0;
	pass.dates_count = false;
	pass.links_from = kin_links.size;
	update_wants();
	if (pass.kind == private_kind::person)
		append_link(kin_links, as_kind(r.key, record_start), most_links);
	else if (r.kind == private_kind::family)
		append_link(families, as_kind(r.key, record_start), most_families);
}

// The rest of a long line, and record lines.
[[gnu::noinline]] bool rare_piece(std::string_view piece, bool starts)
{
	if (!starts) {
		if (pass.use == line_use::date)
			scan_year(pass.date, piece);
		else if (pass.use == line_use::restriction)
			scan_restriction(pass.resn, piece);
	} else {
		start_record(piece);
	}
	if (pass.line_start && pass.use != line_use::none)
		end_line();
	// Reading ends at the trailer, where the report's does.
	return piece[0] != '0' || piece.size() < 3 || piece[2] != 'T';
}

// Kinds of line follow each other without a pattern, so a line is looked up in a table
// rather than tested by a branch for each kind, which would often be mispredicted; most
// lines then take no branch but the one that says they tell nothing.
bool first_pass_piece(std::string_view piece)
{
	bool starts = pass.line_start;
	pass.line_start = ends_line(piece);
	if (!starts || piece[0] == '0')
		return rare_piece(piece, starts);
	std::uint32_t tag = tag_of(piece);
	const telling_tag& t = telling_tags[tag_slot(tag)];
	// Masks of all ones or none, where a choice would compile to a branch.
	unsigned one = 0u - (piece[0] == '1');
	unsigned two = 0u - (piece[0] == '2');
	unsigned bits = ((t.at_level1 & one) | (t.at_level2 & two)) & (0u - (t.tag == tag));
	// A level-2 DATE counts under any level-1 line but CHAN.
	unsigned counts = (one & ~(0u - ((bits & tells_chan) != 0))) | (~one & (0u - pass.dates_count));
	pass.dates_count = counts != 0;
	unsigned wanted = pass.wants & (counts | ~tells_date);
	if (bits & wanted) {
		tell(piece, tag);
		if (pass.line_start && pass.use != line_use::none)
			end_line();
	}
	return true;
}

bool older_than(int year, int now, int years)
{
	return year != no_year && now - year >= years;
}

// The years of the families that undated people name, then each such person's relatives.
void find_elder_kin(int now)
{
	for (std::uint64_t e : entries_of(kin_links))
		if ((e & kind_bits) != record_start)
			if (known *f = remember(as_kind(e, family_kind)))
				f->marks |= wanted;
	known *family = nullptr;
	for (std::uint64_t e : entries_of(families)) {
		if ((e & kind_bits) == record_start) {
			family = find(as_kind(e, family_kind));
			if (family && !(family->marks & wanted))
				family = nullptr;
			continue;
		}
		const known *p = family ? find(as_kind(e, person_kind)) : nullptr;
		if (!p || p->year == no_year)
			continue;
		std::int16_t& year = (e & kind_bits) == spouse_link ? family->year : family->child_year;
		if (p->year < year)
			year = p->year;
	}
	known *person = nullptr;
	for (std::uint64_t e : entries_of(kin_links)) {
		if ((e & kind_bits) == record_start) {
			person = find(as_kind(e, person_kind));
			continue;
		}
		const known *f = person ? find(as_kind(e, family_kind)) : nullptr;
		if (!f)
			continue;
		bool elder = (e & kind_bits) == child_link
				     ? older_than(f->year, now, 120)
				     : older_than(f->year, now, 100) || older_than(f->child_year, now, 80);
		if (elder)
			person->marks |= elder_kin;
	}
}

void decide(known& k, int now, bool living_shown)
{
	bool hidden;
	if (k.marks & restricted) {
		hidden = true;
		++private_counts.restricted;
	} else if ((k.marks & dead) || living_shown) {
		hidden = false;
	} else if (k.year != no_year) {
		hidden = now - k.year < 100;
		private_counts.living += hidden;
	} else {
		hidden = !(k.marks & elder_kin);
		private_counts.undated += hidden;
	}
	if (hidden)
		k.marks |= is_private;
	else
		++private_counts.published;
}

bool person_is_private(std::uint64_t key)
{
	const known *k = find(key);
	return k ? (k->marks & is_private) != 0 : overflowed;
}

// Lookups in file order, each slot fetched a few entries ahead: the table is larger than
// the caches.
constexpr std::size_t fetch_distance = 16;

// Marks the private people in the list of people, and in the list of families the private
// partners and children and the families with a private partner.
void mark_lists()
{
	std::span<person_facts> listed = entries_of(people);
	for (std::size_t i = 0; i < listed.size(); ++i) {
		if (i + fetch_distance < listed.size())
			fetch_slot(listed[i + fetch_distance].key);
		listed[i].marks |= person_is_private(listed[i].key) ? is_private : 0;
	}
	if (!families_marked)
		return;
	std::span<std::uint64_t> list = entries_of(families);
	std::uint64_t *family = nullptr;
	for (std::size_t i = 0; i < list.size(); ++i) {
		if (i + fetch_distance < list.size() && (list[i + fetch_distance] & kind_bits) != record_start)
			fetch_slot(as_kind(list[i + fetch_distance], person_kind));
		std::uint64_t& e = list[i];
		if ((e & kind_bits) == record_start) {
			family = &e;
		} else if (person_is_private(as_kind(e, person_kind))) {
			e |= hidden_bit;
			if ((e & kind_bits) == spouse_link && family)
				*family |= hidden_bit;
		}
	}
}

} // namespace

void decide_privacy(ged_text &text, int now, bool families_wanted, bool living_shown)
{
	static piece_reader first;
	overflowed = false;
	size_table(0);
	families_marked = families_wanted;
	people.size = 0;
	families.size = 0;
	kin_links.size = 0;
	// Each list starts on a huge page, not grown through the small sizes: a large file would
	// fault on every small page of them and copy them at each doubling.
	grow_to(people, huge_page / sizeof(person_facts));
	grow_to(families, huge_page / sizeof(std::uint64_t));
	grow_to(kin_links, huge_page / sizeof(std::uint64_t));
	private_counts = {};
	pass = {};
	pass.old_enough = now - 120;
	read_pieces(first, text, [](std::string_view piece) { return first_pass_piece(piece); });
	end_line();
	end_record();
	// The people, and the families undated people name.
	if (table.slots.size < most_slots)
		size_table(people.size + kin_links.size);
	std::span<person_facts> listed = entries_of(people);
	for (std::size_t i = 0; i < listed.size(); ++i) {
		if (i + fetch_distance < listed.size())
			fetch_slot(listed[i + fetch_distance].key);
		join(listed[i]);
	}
	if (kin_links.size > 0)
		find_elder_kin(now);
	for (known& k : entries_of(table.slots))
		if ((k.key & kind_bits) == person_kind)
			decide(k, now, living_shown);
	mark_lists();
	release(kin_links);
}

bool is_private_person(std::string_view xref)
{
	return person_is_private(key_of(xref, person_kind));
}

// The list entry of a person in file order; none when the reader is not where the decision
// was (only where the file changed between them), and the table answers.
bool walk_person(privacy_walk &w, std::uint64_t key)
{
	if (w.next_person < people.size && people[w.next_person].key == key)
		return (people[w.next_person++].marks & is_private) != 0;
	return person_is_private(key);
}

// A family the list does not hold (it was full, or the file changed) is taken to have one.
bool walk_family(privacy_walk &w, std::uint64_t key)
{
	if (!families_marked)
		return overflowed;
	std::span<std::uint64_t> list = entries_of(families);
	std::size_t& at = w.next_family;
	if (at < list.size() && as_kind(list[at], family_kind) == key) {
		w.members_from = ++at;
		while (at < list.size() && (list[at] & kind_bits) != record_start)
			++at;
		w.members_end = at;
		return (list[w.members_from - 1] & hidden_bit) != 0;
	}
	w.members_from = w.members_end = 0;
	return true;
}

// A member is found among those listed for the family, in whatever order.
bool points_to_private(const privacy_walk &w, std::string_view line, std::size_t from)
{
	std::string_view xref;
	if (!pointer_in(line, from, xref) || points_to_nobody(xref))
		return false;
	std::uint64_t key = key_of(xref, person_kind);
	std::span<std::uint64_t> list = entries_of(families);
	for (std::size_t i = w.members_from; i < w.members_end; ++i)
		if (as_kind(list[i], person_kind) == key)
			return (list[i] & hidden_bit) != 0;
	return person_is_private(key);
}
