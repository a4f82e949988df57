// Publishing without the living: a first pass over the file decides who is private, and the
// report then withholds what it would show of them.
#include "lineagehtml.h"

#include <cstdint>
#include <vector>

bool private_mode;
privacy_counts private_counts;

namespace {

constexpr std::int16_t no_year = INT16_MAX;

// A key is a hash of a cross-reference with the kind of record in its two low bits, so that
// a person and a family that share a cross-reference stay apart and no key is 0.
constexpr std::uint64_t kind_bits = 3;
constexpr std::uint64_t person_kind = 1;
constexpr std::uint64_t family_kind = 2;

// In the link lists the two low bits say instead what an entry stands for: the person's
// place in a family, or the start of the record the following entries belong to.
constexpr std::uint64_t spouse_link = 1;
constexpr std::uint64_t child_link = 2;
constexpr std::uint64_t record_start = 3;

constexpr std::uint8_t restricted = 1;    // RESN privacy or confidential
constexpr std::uint8_t dead = 2;          // DEAT, BURI or CREM
constexpr std::uint8_t elder_kin = 4;     // an undated person with a relative old enough
constexpr std::uint8_t is_private = 8;
constexpr std::uint8_t private_partner = 16;
constexpr std::uint8_t wanted = 32;       // a family whose years an undated person needs

struct known {
	std::uint64_t key;       // 0 in an empty slot
	std::int16_t year;       // a person's earliest own year; a family's partners' earliest
	std::int16_t child_year; // a family's children's earliest
	std::uint8_t marks;
};

// A file's people have no fixed number, so these grow with the file; each has a ceiling that
// keeps the whole program under 64 MiB. Beyond it nothing more is learnt, and whoever was
// not learnt of is private (overflowed).
constexpr std::size_t first_slots = 1024;
constexpr std::size_t most_slots = std::size_t{1} << 20;
constexpr std::size_t most_members = std::size_t{1} << 21;
constexpr std::size_t most_links = std::size_t{1} << 20;

std::vector<known> table; // open addressing, a power of two in size, at most three quarters full
std::size_t table_used;
bool overflowed;

// In file order: each family record's key, then the partners and children it names.
std::vector<std::uint64_t> members;
// In file order: each undated person's key, then the families it names in FAMC and FAMS lines.
std::vector<std::uint64_t> kin_links;

std::uint64_t key_of(std::string_view xref, std::uint64_t kind)
{
	std::uint64_t h = 0xcbf29ce484222325u;
	for (char c : xref) {
		h ^= static_cast<unsigned char>(c);
		h *= 0x100000001b3u;
	}
	h ^= h >> 33;
	h *= 0xff51afd7ed558ccdu;
	h ^= h >> 33;
	h *= 0xc4ceb9fe1a85ec53u;
	h ^= h >> 33;
	return (h << 2) | kind;
}

std::uint64_t as_kind(std::uint64_t entry, std::uint64_t kind)
{
	return (entry & ~kind_bits) | kind;
}

known *slot_for(std::vector<known>& t, std::uint64_t key)
{
	std::size_t mask = t.size() - 1;
	std::size_t i = (key >> 2) & mask;
	while (t[i].key != 0 && t[i].key != key)
		i = (i + 1) & mask;
	return &t[i];
}

known *find(std::uint64_t key)
{
	if (table.empty())
		return nullptr;
	known *k = slot_for(table, key);
	return k->key == key ? k : nullptr;
}

bool grow()
{
	std::size_t size = table.empty() ? first_slots : 2 * table.size();
	if (size > most_slots)
		return false;
	std::vector<known> bigger(size);
	for (const known& k : table)
		if (k.key != 0)
			*slot_for(bigger, k.key) = k;
	table.swap(bigger);
	return true;
}

// The entry of a key, made when there is none; null when the table is full.
known *remember(std::uint64_t key)
{
	if (known *k = find(key))
		return k;
	if (4 * (table_used + 1) > 3 * table.size() && !grow()) {
		overflowed = true;
		return nullptr;
	}
	known *k = slot_for(table, key);
	*k = {key, no_year, no_year, 0};
	++table_used;
	return k;
}

void append(std::vector<std::uint64_t>& list, std::size_t most, std::uint64_t entry)
{
	if (list.size() < most)
		list.push_back(entry);
	else
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

// Tags are compared without regard to case: a file that writes them in small letters still
// says who died and who asked not to be published.
bool tag_is(std::string_view tag, std::string_view upper)
{
	if (tag.size() != upper.size())
		return false;
	for (std::size_t i = 0; i < tag.size(); ++i)
		if ((tag[i] & ~0x20) != upper[i])
			return false;
	return true;
}

// The text between the first "@" from `from` on and the next.
bool pointer_in(std::string_view text, std::size_t from, std::string_view& xref)
{
	std::size_t open = text.find('@', from);
	if (open == std::string_view::npos)
		return false;
	std::size_t close = text.find('@', open + 1);
	if (close == std::string_view::npos)
		return false;
	xref = text.substr(open + 1, close - open - 1);
	return true;
}

enum class record_kind { other, person, family, unreadable };

struct record_line {
	record_kind kind;
	std::uint64_t key;
};

// A level-0 line: "0 @XREF@ TAG". A line the report would show as an individual but whose
// cross-reference or tag is cut off or missing cannot be looked up: it is withheld whole.
record_line read_record_line(std::string_view line)
{
	std::size_t at = 2;
	std::string_view xref;
	bool named = has_at(line, 2, "@");
	if (named) {
		if (!pointer_in(line, 2, xref))
			return {record_kind::unreadable, 0};
		at = 3 + xref.size() + 1;
		if (at < line.size() && line[at] == ' ')
			++at;
	}
	std::string_view tag = tag_at(line, at);
	if (line.size() == piece_max && !ends_line(line) && at + tag.size() == line.size())
		return {record_kind::unreadable, 0};
	if (tag_is(tag, "INDI"))
		return named ? record_line{record_kind::person, key_of(xref, person_kind)}
			     : record_line{record_kind::unreadable, 0};
	if (named && tag_is(tag, "FAM"))
		return {record_kind::family, key_of(xref, family_kind)};
	if (named && tag.empty())
		return {record_kind::unreadable, 0};
	return {record_kind::other, 0};
}

// The year of a date: the first number of three or four digits, read across the pieces of
// a long line.
struct year_scan {
	int digits;
	int value;
	int year;
};

void end_number(year_scan& s)
{
	if (s.year == no_year && (s.digits == 3 || s.digits == 4))
		s.year = s.value;
	s.digits = 0;
	s.value = 0;
}

void scan_year(year_scan& s, std::string_view text)
{
	for (char c : text) {
		if (c >= '0' && c <= '9') {
			if (s.digits < 5)
				s.value = s.value * 10 + (c - '0');
			++s.digits;
		} else {
			end_number(s);
		}
	}
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
		if (tag_is(item, "PRIVACY") || tag_is(item, "CONFIDENTIAL"))
			return true;
		rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
	}
	return false;
}

enum class line_use { none, date, restriction };

// What the first pass knows of the record and the line it is reading.
struct first_pass {
	bool line_start = true;
	record_kind kind = record_kind::other;
	std::uint64_t key = 0;
	int year = no_year;
	std::uint8_t marks = 0;
	bool dates_count = false; // the last level-1 line is not CHAN
	line_use use = line_use::none;
	year_scan date{};
	restriction_scan resn{};
	std::size_t links_from = 0;
};

first_pass pass;

std::string_view value_after(std::string_view line, std::string_view tag)
{
	std::size_t at = 2 + tag.size() + 1;
	return at < line.size() ? line.substr(at) : std::string_view{};
}

void person_line(std::string_view line)
{
	std::string_view tag = tag_at(line, 2);
	if (line[0] == '1') {
		pass.dates_count = !tag_is(tag, "CHAN");
		std::string_view xref;
		if (tag_is(tag, "RESN")) {
			pass.use = line_use::restriction;
			pass.resn = {};
			scan_restriction(pass.resn, value_after(line, tag));
		} else if (tag_is(tag, "DEAT") || tag_is(tag, "BURI") || tag_is(tag, "CREM")) {
			pass.marks |= dead;
		} else if ((tag_is(tag, "FAMC") || tag_is(tag, "FAMS")) && pointer_in(line, 2 + tag.size(), xref)) {
			std::uint64_t place = tag_is(tag, "FAMC") ? child_link : spouse_link;
			append(kin_links, most_links, as_kind(key_of(xref, family_kind), place));
		}
	} else if (line[0] == '2' && pass.dates_count && tag_is(tag, "DATE")) {
		pass.use = line_use::date;
		pass.date = {0, 0, no_year};
		scan_year(pass.date, value_after(line, tag));
	}
}

void family_line(std::string_view line)
{
	if (line[0] != '1')
		return;
	std::string_view tag = tag_at(line, 2);
	std::uint64_t place = tag_is(tag, "HUSB") || tag_is(tag, "WIFE") ? spouse_link
			      : tag_is(tag, "CHIL")			  ? child_link
										  : 0;
	std::string_view xref;
	if (place != 0 && pointer_in(line, 2 + tag.size(), xref))
		append(members, most_members, as_kind(key_of(xref, person_kind), place));
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
}

// A person's facts join those of any earlier record with the same cross-reference. Only a
// person still without a reason either way keeps the families it named.
void end_record()
{
	if (pass.kind != record_kind::person)
		return;
	known *k = remember(pass.key);
	bool undecided = false;
	if (k) {
		k->marks |= pass.marks;
		if (pass.year < k->year)
			k->year = static_cast<std::int16_t>(pass.year);
		undecided = (k->marks & (restricted | dead)) == 0 && k->year == no_year;
	}
	if (!undecided || kin_links.size() == pass.links_from + 1)
		kin_links.resize(pass.links_from < kin_links.size() ? pass.links_from : kin_links.size());
}

void start_record(std::string_view line)
{
	end_record();
	record_line r = read_record_line(line);
	pass.kind = r.kind;
	pass.key = r.key;
	pass.year = no_year;
	pass.marks = 0;
	pass.dates_count = false;
	pass.links_from = kin_links.size();
	if (r.kind == record_kind::person)
		append(kin_links, most_links, as_kind(r.key, record_start));
	else if (r.kind == record_kind::family)
		append(members, most_members, as_kind(r.key, record_start));
}

bool first_pass_piece(std::string_view piece)
{
	if (!pass.line_start) {
		if (pass.use == line_use::date)
			scan_year(pass.date, piece);
		else if (pass.use == line_use::restriction)
			scan_restriction(pass.resn, piece);
	} else if (!piece.empty() && piece[0] == '0') {
		start_record(piece);
	} else if (piece.size() > 2 && piece[1] == ' ') {
		if (pass.kind == record_kind::person)
			person_line(piece);
		else if (pass.kind == record_kind::family)
			family_line(piece);
	}
	pass.line_start = ends_line(piece);
	if (pass.line_start)
		end_line();
	return !is_trailer(piece);
}

bool older_than(int year, int now, int years)
{
	return year != no_year && now - year >= years;
}

// The years of the families that undated people name, then each such person's relatives.
void find_elder_kin(int now)
{
	for (std::uint64_t e : kin_links)
		if ((e & kind_bits) != record_start)
			if (known *f = remember(as_kind(e, family_kind)))
				f->marks |= wanted;
	known *family = nullptr;
	for (std::uint64_t e : members) {
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
	for (std::uint64_t e : kin_links) {
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

void decide(known& k, int now)
{
	bool hidden;
	if (k.marks & restricted) {
		hidden = true;
		++private_counts.restricted;
	} else if (k.marks & dead) {
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

void mark_private_partners()
{
	std::uint64_t family = 0;
	for (std::uint64_t e : members) {
		if ((e & kind_bits) == record_start)
			family = as_kind(e, family_kind);
		else if ((e & kind_bits) == spouse_link && family != 0 && person_is_private(as_kind(e, person_kind)))
			if (known *f = remember(family))
				f->marks |= private_partner;
	}
}

enum class withholding { nothing, person, couple };

// What the report is withholding, and the row the reader would be on meanwhile.
struct second_pass {
	bool line_start = true;
	withholding held = withholding::nothing;
	int reader_row = 0;
};

second_pass report;

constexpr int no_row = -1;

withholding withholding_of(record_line r)
{
	switch (r.kind) {
	case record_kind::person:
		return person_is_private(r.key) ? withholding::person : withholding::nothing;
	case record_kind::unreadable:
		return withholding::person;
	case record_kind::family: {
		const known *f = find(r.key);
		bool partner = f ? (f->marks & private_partner) != 0 : overflowed;
		return partner ? withholding::couple : withholding::nothing;
	}
	default:
		return withholding::nothing;
	}
}

// With no report's letter the rules keep their state as ever and write nothing. A piece the
// reader takes for a record line (the rest of a long line) moves it to another row, where
// it would store what follows; it is kept aside instead.
void handle_silently(std::string_view piece, FILE *out)
{
	char report_letter = option;
	option = '\0';
	handle_piece(piece, out);
	option = report_letter;
	if (report.held == withholding::person && indi_r != no_row) {
		report.reader_row = indi_r;
		indi_r = no_row;
	}
}

// A level-2 DATE or PLAC as the report's rules take it: marriage and divorce facts in a family.
bool is_event_fact(std::string_view piece)
{
	return has_at(piece, 0, "2") && (has_at(piece, 2, "DA") || has_at(piece, 2, "PL"));
}

} // namespace

void find_private(FILE *fp, int now)
{
	static piece_reader first;
	std::vector<known>().swap(table);
	table_used = 0;
	overflowed = false;
	private_counts = {};
	pass = {};
	report = {};
	read_pieces(first, fp, first_pass_piece);
	end_line();
	end_record();
	if (!kin_links.empty())
		find_elder_kin(now);
	for (known& k : table)
		if ((k.key & kind_bits) == person_kind)
			decide(k, now);
	if (option == 'f')
		mark_private_partners();
	std::vector<std::uint64_t>().swap(members);
	std::vector<std::uint64_t>().swap(kin_links);
}

std::string_view private_name(std::string_view piece)
{
	if (piece.ends_with("\r\n"))
		return "Private\r\n";
	if (piece.ends_with('\n'))
		return "Private\n";
	if (piece.ends_with('\r'))
		return "Private\r";
	return "Private";
}

bool names_private(std::string_view piece)
{
	std::string_view xref;
	return pointer_in(piece, 2, xref) && person_is_private(key_of(xref, person_kind));
}

void handle_private_piece(std::string_view piece, FILE *out)
{
	bool record = report.line_start && !piece.empty() && piece[0] == '0';
	report.line_start = ends_line(piece);
	if (record) {
		if (report.held == withholding::person)
			indi_r = report.reader_row;
		report.held = withholding_of(read_record_line(piece));
		handle_piece(piece, out);
		if (report.held == withholding::person) {
			report.reader_row = indi_r;
			indi_r = no_row;
			if (option == 'i' || option == 't')
				write_line(out, line1, " Name = ", private_name(piece), "\n");
		}
	} else if (report.held == withholding::person ||
		   (report.held == withholding::couple && is_event_fact(piece))) {
		handle_silently(piece, out);
	} else {
		handle_piece(piece, out);
	}
}
