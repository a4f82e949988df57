// The single-pass GEDCOM reader: the rule table that handles each line piece, and the record tables.
#include "lineagehtml.h"
#include "nobody.h"
#include "pages.h"

#include <bit>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

char option;
std::string_view filename;
int indi_r;
int fam_r;
short_text indi;
short_text fam;
int id_pointer;
short_text last_action;
xref_text record_xref;
bool row_is_records;
int number_of_individuals;
int lines_of_data;
// The record tables below lie in huge pages of their own (tables_in_large_pages): GCC lays
// out a file's data last first, so the huge page that this begins ends them, and the one that
// disp_surname begins starts them. A small page that other data shares with a table is
// touched before it, at the start, and then takes the whole huge page it lies in out of
// reach: every small page of the tables there costs a fault, some 20 us on a virtual
// machine, and which ones did moved with the address the program was loaded at (200 to 1,100
// faults a run). Laid out otherwise, only that gain is lost.
alignas(huge_page) unshown_counts unshown;

std::array<xref_text, indi_rows> indi_xref;
std::array<row_text, indi_rows> indi_name;
std::array<row_text, indi_rows> indi_note;
std::array<char, indi_rows> indi_sex;
std::array<row_text, indi_rows> seximage;
std::array<row_text, indi_rows> indi_birt_date;
std::array<row_text, indi_rows> indi_birt_plac;
std::array<row_text, indi_rows> indi_birt_note;
std::array<row_text, indi_rows> indi_deat_date;
std::array<row_text, indi_rows> indi_deat_plac;
std::array<row_text, indi_rows> indi_deat_note;
std::array<row_text, indi_rows> indi_buri_date;
std::array<row_text, indi_rows> indi_buri_plac;
std::array<row_text, indi_rows> indi_buri_note;
std::array<row_text, indi_rows> indi_crem_plac;
std::array<row_text, indi_rows> indi_chan_date;
std::array<row_text, indi_rows> indi_educ;
std::array<row_text, indi_rows> indi_occu;
std::array<row_text, indi_rows> indi_reli;

std::array<short_text, fam_rows> fam_husb;
std::array<short_text, fam_rows> fam_wife;
std::array<short_text, fam_rows> fam_chil;
std::array<row_text, fam_rows> fam_marr_date;
std::array<row_text, fam_rows> fam_marr_plac;
std::array<row_text, fam_rows> fam_div_date;
std::array<row_text, fam_rows> fam_div_plac;
// The surname report's, here to lie with the others.
std::array<row_text, indi_rows> indi_surname;
alignas(huge_page) std::array<row_text, indi_rows> disp_surname;

namespace {

// With -f, whether an individual record line has chosen each row: a member line without a
// name then tells a record that kept no facts in an empty row from one not read yet.
std::array<bool, indi_rows> indi_read;

// Whether a rule writes for the report `report`. Without a stream the rules are silent:
// they keep their tables as for no report, and write nothing.
bool writes(char report, FILE *out)
{
	return option == report && out != nullptr;
}

constexpr std::string_view line2 = "<br /><img src=gedline2.gif align=center />";
constexpr std::string_view record_line = "<br /><br /><img src=gedbase.gif align=center />";
constexpr std::string_view male_image = "<img src=male.gif>";
constexpr std::string_view female_image = "<img src=female.gif>";

// Whether a word of the piece ends at `at`: a blank, a line end or the end of the piece follows.
[[gnu::always_inline]] inline bool word_ends(std::string_view piece, std::size_t at)
{
	constexpr std::uint64_t ends = std::uint64_t{1} << ' ' | std::uint64_t{1} << '\r' | std::uint64_t{1} << '\n';
	if (piece.size() == at)
		return true;
	auto c = static_cast<unsigned char>(piece[at]);
	return c <= ' ' && (ends >> c & 1) != 0;
}

// Whether the piece's tag, from index 2, is `tag` whole: a longer tag that begins with the
// same letters (NATI and NAME, RESN and RELI) is another fact and must not be published as this one.
// Every piece passes through a few of these, so the tag's length is fixed where it is written
// and its letters are compared as one word.
template <std::size_t N>
[[gnu::always_inline]] inline bool is_tag(std::string_view piece, const char (&tag)[N])
{
	constexpr std::size_t end = 2 + N - 1;
	return piece.size() >= end && std::memcmp(piece.data() + 2, tag, N - 1) == 0 && word_ends(piece, end);
}

std::string_view value_of(std::string_view piece)
{
	return piece.substr(piece.size() > value_start ? value_start : piece.size());
}

// A line the reader writes: the program's markup, then one text taken from the file.
void report_line(FILE *out, std::string_view label, std::string_view value,
		 std::string_view after = {})
{
	write_line(out, line1, label, value, after);
}

// 0x80 in each byte of `word` that is `c`, 0 in the others: no carry crosses a byte.
template <typename Word>
constexpr Word bytes_equal(Word word, char c)
{
	constexpr Word ones = ~Word{0} / 0xFFu;
	constexpr Word low7 = ones * 0x7Fu;
	Word t = word ^ (ones * static_cast<unsigned char>(c));
	return ~(((t & low7) + low7) | t | low7);
}
static_assert(bytes_equal(0x40414240u, '@') == 0x80000080u && bytes_equal(0x00FF7F80u, '\0') == 0x80000000u);
static_assert(bytes_equal(std::uint64_t{0x4041424300FF7F40u}, '@') == 0x8000000000000080u);

// The `count` bytes at `from`, count <= sizeof(Word) <= what is left of the piece, changed in
// a register with no branch per byte and stored as one word: stored a byte at a time, they
// could not be read back as the one word that copies them, and that load would wait for the
// stores to reach the cache. The bytes past `count` are cut off by the NUL.
template <typename Word, std::size_t N>
[[gnu::always_inline]] inline std::string_view cut_in_word(std::string_view piece, std::size_t from, std::size_t count,
							   std::size_t blank_from, char letter, std::array<char, N>& cut)
{
	static_assert(N > sizeof(Word));
	constexpr std::size_t k = sizeof(Word);
	Word word;
	std::memcpy(&word, piece.data() + from, k);
	Word from_blank = blank_from <= from	      ? ~Word{0}
			  : blank_from - from >= k ? 0
						   : ~Word{0} << (8 * (blank_from - from));
	Word hits = (bytes_equal(word, '@') | bytes_equal(word, letter)) & from_blank;
	Word whole = (hits >> 7) * 0xFFu;
	word = (word & ~whole) | ((~Word{0} / 0xFFu * ' ') & whole);
	std::memcpy(cut.data(), &word, k);
	cut[count] = '\0';
	return {cut.data(), count};
}

// `count` characters after a record letter or a reference's "@I" (fewer where the piece
// ends), with every "@" and every `letter` from `blank_from` on read as a space.
template <std::size_t N>
[[gnu::always_inline]] inline std::string_view cut_number(std::string_view piece, std::size_t from, std::size_t count,
			    std::size_t blank_from, char letter, std::array<char, N>& cut)
{
	static_assert(N > number_text);
	// Nearly every cut is a record's or a reference's four characters, and the rest nearly
	// all the whole number of a record past @I9999@, which the page shows. In line, the
	// places are known and the mask folds.
	if (count == number_text && from + number_text <= piece.size())
		return cut_in_word<std::uint32_t>(piece, from, count, blank_from, letter, cut);
	if constexpr (N > sizeof(std::uint64_t)) {
		if (count <= sizeof(std::uint64_t) && from + sizeof(std::uint64_t) <= piece.size())
			return cut_in_word<std::uint64_t>(piece, from, count, blank_from, letter, cut);
	}
	std::size_t n = 0;
	for (std::size_t i = from; i < piece.size() && n < count && n + 1 < N; ++i, ++n) {
		char c = piece[i];
		cut[n] = (i >= blank_from && (c == '@' || c == letter)) ? ' ' : c;
	}
	cut[n] = '\0';
	return {cut.data(), n};
}

// The cross-reference that begins at `at`: from that "@" to the next, or none. Nearly every
// one closes within sixteen bytes, found in one compare: a loop a byte at a time guessed
// wrong at the end of nearly every one, their lengths following no pattern. The pieces lie
// in the reader's block, which may be read past their ends (piece_slack).
[[gnu::always_inline]] inline std::string_view xref_at(std::string_view piece, std::size_t at)
{
	if (at >= piece.size() || piece[at] != '@')
		return {};
	constexpr std::size_t wide = 16;
	static_assert(piece_slack >= wide);
	std::size_t close = piece.size();
#if defined(__SSE2__)
	__m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(piece.data() + at + 1));
	auto ats = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('@'))));
	if (ats != 0)
		close = at + 1 + static_cast<std::size_t>(std::countr_zero(ats));
	else if (at + 1 + wide < piece.size())
		close = piece.find('@', at + 1 + wide);
#else
	close = piece.find('@', at + 1);
#endif
	if (close >= piece.size())
		return {};
	return piece.substr(at, close + 1 - at);
}

// Whether the first and last K bytes of two n-byte texts agree, K <= n <= 2K: in two
// overlapping words each, all of them when n is so.
template <typename Word>
[[gnu::always_inline]] inline bool same_ends(const char *x, const char *y, std::size_t n)
{
	constexpr std::size_t k = sizeof(Word);
	Word a, b, c, d;
	std::memcpy(&a, x, k);
	std::memcpy(&b, y, k);
	std::memcpy(&c, x + n - k, k);
	std::memcpy(&d, y + n - k, k);
	return ((a ^ b) | (c ^ d)) == 0;
}

// Whether the kept cross-reference is `xref`. Every record line asks; nearly every one is 4
// to 16 bytes, compared in words where a call to memcmp would cost more.
[[gnu::always_inline]] inline bool same_xref(const xref_text& kept, std::string_view xref)
{
	if (kept.size != xref.size())
		return false;
	std::size_t n = xref.size();
	if (n >= 8 && n <= 16)
		return same_ends<std::uint64_t>(kept.text.data(), xref.data(), n);
	if (n >= 4 && n < 8)
		return same_ends<std::uint32_t>(kept.text.data(), xref.data(), n);
	return text_of(kept) == xref;
}

void keep_xref(xref_text& to, std::string_view xref)
{
	to.size = static_cast<std::uint8_t>(xref.size());
	copy_short(to.text.data(), xref.data(), xref.size());
}

// Whether four bytes are all decimal digits: each is 0x30 to 0x39.
inline bool four_digits(const char *p)
{
	std::uint32_t w;
	std::memcpy(&w, p, sizeof w);
	return (w & 0xF0F0F0F0u) == 0x30303030u && ((w + 0x06060606u) & 0xF0F0F0F0u) == 0x30303030u;
}

int four_digit_value(const char *p)
{
	auto digit = [p](std::size_t i) { return static_cast<unsigned>(p[i]) - '0'; };
	return static_cast<int>(digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3));
}

// The row that a cut number names, as leading_number reads it. Every record and member line
// asks, and nearly every number is four digits, read in line: the call cost more.
[[gnu::always_inline]] inline int row_number(std::string_view text)
{
	if (text.size() == number_text && four_digits(text.data()))
		return four_digit_value(text.data());
	return leading_number(text);
}

// A record line of the kind `letter`: its four characters become the record text `kept` and
// the current row `row`; the report of that kind (`report`) writes the line `label`, with
// all the characters of a longer number, so that @I10507@ and @I10508@ read apart on the
// page although both fill row 1050.
// In line in level0, its one caller: through a call, its eight arguments cost more than its work.
[[gnu::always_inline]] inline void take_record(std::string_view piece, std::string_view xref, char letter,
					       short_text& kept, int& row, char report, std::string_view label,
					       FILE *out)
{
	short_text cut{};
	std::string_view text = cut_number(piece, 4, number_text, 5, letter, cut);
	kept = cut;
	row = row_number(text);
	if (!writes(report, out))
		return;
	constexpr std::size_t around = 3; // "@", the record letter and the closing "@"
	std::array<char, piece_max + 1> whole;
	if (xref.size() > number_text + around)
		text = cut_number(piece, 4, xref.size() - around, 5, letter, whole);
	write_line(out, record_line, label, text, "\n");
}

// The cross-reference a HUSB, WIFE or CHIL line names, or none.
std::string_view member_xref(std::string_view piece)
{
	std::size_t at = piece.find('@', value_start);
	return at == std::string_view::npos ? std::string_view{} : xref_at(piece, at);
}

// Whether the reference names the very record whose facts row `r` holds; another record
// that shares the row's number, or none, may have filled it.
bool refers_to_row(std::string_view xref, int r)
{
	return indi_row_ok(r) && !xref.empty() && xref == text_of(indi_xref[r]);
}

// Whether a cross-reference is @I and digits, the form whose number places a record in the
// tables. Every individual record asks, and nearly all have four digits.
[[gnu::always_inline]] inline bool is_numbered(std::string_view xref)
{
	if (xref.size() < 4 || xref[1] != 'I')
		return false;
	std::size_t i = 2;
	if (xref.size() >= 7 && four_digits(xref.data() + 2))
		i = 6;
	bool digits = true;
	for (; i + 1 < xref.size(); ++i)
		digits &= static_cast<unsigned char>(xref[i] - '0') <= 9;
	return digits;
}

void count_up(int& counter)
{
	if (counter < INT_MAX)
		++counter;
}

// Why a member line has no name to show: the reference has no row of its own (it is not @I
// with at most four digits, or it is @I9999@), another record's facts hold its row, or its
// record has not been read yet. A record that was read into an empty row and kept no name or dates
// there has nothing to lose.
[[gnu::noinline]] void count_unnamed(std::string_view xref)
{
	constexpr std::size_t widest = 2 + number_text + 1;
	if (xref.size() > widest || !is_numbered(xref) || !indi_row_ok(id_pointer))
		count_up(unshown.members_unnumbered);
	else if (indi_xref[id_pointer].size != 0)
		count_up(unshown.members_shared);
	else if (!indi_read[id_pointer])
		count_up(unshown.members_unread);
}

enum class member { husband, wife, child };

void family_member(std::string_view piece, member who, FILE *out)
{
	short_text cut{};
	std::string_view text = cut_number(piece, 9, number_text, 8, 'I', cut);
	id_pointer = row_number(text);
	if (fam_row_ok(fam_r)) {
		auto& table = who == member::husband ? fam_husb : who == member::wife ? fam_wife : fam_chil;
		table[fam_r] = cut;
	}
	if (!writes('f', out))
		return;
	std::string_view xref = member_xref(piece);
	std::string_view name, born, died, image;
	bool found = refers_to_row(xref, id_pointer);
	if (found) {
		name = text_of(indi_name[id_pointer]);
		born = text_of(indi_birt_date[id_pointer]);
		died = text_of(indi_deat_date[id_pointer]);
		image = text_of(seximage[id_pointer]);
	}
	if (private_mode && names_private(piece)) {
		name = private_name(piece);
		born = died = image = {};
	} else if (!found && !points_to_nobody(xref)) {
		count_unnamed(xref);
	}
	if (who == member::child)
		write_member_line(out, line2, " Child = ", image, " <b>", name, born, died);
	else
		write_member_line(out, line1, who == member::husband ? " Husband = <b>" : " Wife = <b>", {}, {},
				  name, born, died);
}

// A value fits its row whole: a piece holds at most 72 characters after the tag.
void keep_value(row_text& row, std::string_view value)
{
	std::size_t n = value.size() < text_size ? value.size() : text_size - 1;
	copy_short(row.data(), value.data(), n);
	row[n] = '\0';
}

// Keeps a value in the current record's row; a record beyond its table has none.
void keep_indi(std::array<row_text, indi_rows>& table, std::string_view value)
{
	if (indi_row_ok(indi_r))
		keep_value(table[indi_r], value);
}

void keep_fam(std::array<row_text, fam_rows>& table, std::string_view value)
{
	if (fam_row_ok(fam_r))
		keep_value(table[fam_r], value);
}

// The name, dates and sex image that family lines show belong to the record that wrote
// them: when another record writes one into the row (a record that shares its number, or a
// submitter's name line), what the earlier record left goes first.
// Nearly always the row is the record's already: that is asked in line, at each name, sex
// and date line, and only a row taken over pays a call.
[[gnu::noinline]] void take_row()
{
	for (auto *table : {&indi_name, &indi_birt_date, &indi_deat_date, &seximage})
		(*table)[indi_r][0] = '\0';
	keep_xref(indi_xref[indi_r], text_of(record_xref));
	row_is_records = true;
}

[[gnu::always_inline]] inline void claim_row()
{
	if (!row_is_records && indi_row_ok(indi_r))
		take_row();
}

void name_line(std::string_view piece, FILE *out)
{
	std::string_view value = value_of(piece);
	claim_row();
	keep_indi(indi_name, value);
	if (writes('s', out) && indi_row_ok(indi_r))
		build_surname(indi_r, value);
	if (writes('i', out) || writes('t', out))
		report_line(out, " Name = ", value, "\n");
}

void sex_line(std::string_view piece, FILE *out)
{
	char sex = piece.size() > 6 ? piece[6] : ' ';
	if (indi_row_ok(indi_r)) {
		claim_row();
		indi_sex[indi_r] = sex;
		if (sex == 'M')
			copy_text(seximage[indi_r], male_image);
		else if (sex == 'F')
			copy_text(seximage[indi_r], female_image);
	}
	if (writes('i', out))
		report_line(out, " Sex = ", {&sex, 1}, " \n");
}

void indi_fact(std::array<row_text, indi_rows>& table, std::string_view label,
	       std::string_view piece, FILE *out)
{
	std::string_view value = value_of(piece);
	keep_indi(table, value);
	if (writes('i', out))
		report_line(out, label, value);
}

void header_fact(std::string_view label, std::string_view piece, FILE *out)
{
	if (writes('t', out))
		report_line(out, label, value_of(piece));
}

void set_context(std::string_view tag)
{
	copy_text(last_action, tag);
}

bool in_context(const char *two)
{
	return last_action[0] == two[0] && last_action[1] == two[1];
}

void fam_fact(std::array<row_text, fam_rows>& table, std::string_view label,
	      std::string_view piece, FILE *out)
{
	std::string_view value = value_of(piece);
	keep_fam(table, value);
	if (writes('f', out))
		report_line(out, label, value);
}

void level2_note(std::string_view piece, FILE *out)
{
	if (in_context("BI"))
		indi_fact(indi_birt_note, " Birth Notes = ", piece, out);
	else if (in_context("DE"))
		indi_fact(indi_deat_note, " Death Notes = ", piece, out);
	else if (in_context("BU"))
		indi_fact(indi_buri_note, " Burial Notes = ", piece, out);
}

// A fact that family lines show.
void shown_fact(std::array<row_text, indi_rows>& table, std::string_view label,
		std::string_view piece, FILE *out)
{
	claim_row();
	indi_fact(table, label, piece, out);
}

void level2_date(std::string_view piece, FILE *out)
{
	if (in_context("BI"))
		shown_fact(indi_birt_date, " Birth Date  = ", piece, out);
	else if (in_context("DE"))
		shown_fact(indi_deat_date, "  Death Date  = ", piece, out);
	else if (in_context("BU"))
		indi_fact(indi_buri_date, "  Burial Notes = ", piece, out);
	else if (in_context("CH"))
		indi_fact(indi_chan_date, "  Record Last Edited = ", piece, out);
	else if (in_context("MA"))
		fam_fact(fam_marr_date, " Marriage Date = ", piece, out);
	else if (in_context("DI"))
		fam_fact(fam_div_date, " Divorce Date = ", piece, out);
}

void level2_place(std::string_view piece, FILE *out)
{
	if (in_context("BI"))
		indi_fact(indi_birt_plac, "  Birth Place = ", piece, out);
	else if (in_context("DE"))
		indi_fact(indi_deat_plac, "  Death Place = ", piece, out);
	else if (in_context("BU"))
		indi_fact(indi_buri_plac, "  Burial Place = ", piece, out);
	else if (in_context("CR"))
		indi_fact(indi_crem_plac, "  Cremation Place = ", piece, out);
	else if (in_context("MA"))
		fam_fact(fam_marr_plac, "  Marriage Place = ", piece, out);
	else if (in_context("DI"))
		fam_fact(fam_div_plac, "  Divorce Place = ", piece, out);
}

// The link's target is an unquoted attribute, which a blank would end: the rest of the value
// would become attributes of its own, event handlers included. Blanks inside are written as
// the URL escapes that name the same file; the line end after the value still ends it.
// A browser runs an address of these kinds as script when the picture is clicked.
bool is_script_address(std::string_view value)
{
	std::size_t i = 0;
	while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ')
		++i;
	std::size_t colon = value.find(':', i);
	if (colon == std::string_view::npos)
		return false;
	std::array<char, 16> scheme{};
	std::size_t len = colon - i;
	if (len == 0 || len >= scheme.size())
		return false;
	for (std::size_t k = 0; k < len; ++k)
		scheme[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(value[i + k])));
	std::string_view name{scheme.data(), len};
	return name == "javascript" || name == "vbscript" || name == "data";
}

std::string_view link_target(std::string_view value, std::array<char, 3 * piece_max + 2>& buf)
{
	constexpr std::string_view hex = "0123456789ABCDEF";
	std::size_t n = 0;
	// Written as a file of the page's own folder, it names what the GEDCOM file says and runs nothing.
	if (is_script_address(value)) {
		buf[n++] = '.';
		buf[n++] = '/';
	}
	for (char c : value.substr(0, piece_max)) {
		if (c == ' ' || c == '\t' || c == '\f') {
			buf[n++] = '%';
			buf[n++] = hex[(c >> 4) & 0xF];
			buf[n++] = hex[c & 0xF];
		} else {
			buf[n++] = c;
		}
	}
	return {buf.data(), n};
}

void level2_file(std::string_view piece, FILE *out)
{
	if (in_context("OB") && writes('i', out)) {
		std::array<char, 3 * piece_max + 2> buf;
		report_line(out, "  Media = <a href=", link_target(value_of(piece), buf),
			    "><img src=photo.gif border=0 /></a>");
	}
}

// INDI as the tag after a record's cross-reference, a word of its own.
bool is_indi_tag(std::string_view rest)
{
	return has_at(rest, 0, " INDI") && word_ends(rest, 5);
}

// A level-0 line as GEDCOM writes it: a blank, then a cross-reference or a tag in capitals.
// Random bytes nearly never hold one.
bool is_record_line(std::string_view p)
{
	return p.size() > 2 && p[1] == ' ' && (p[2] == '@' || p[2] == '_' || (p[2] >= 'A' && p[2] <= 'Z'));
}

// Every line at level 0 begins a record, also one without a cross-reference (HEAD, TRLR).
[[gnu::noinline]] void level0(std::string_view p, FILE *out)
{
	// A level-2 line after this one belongs to an event of the new record, or to none.
	last_action = {};
	std::string_view xref = xref_at(p, 2);
	keep_xref(record_xref, xref);
	if (!unshown.record_line_seen)
		unshown.record_line_seen = is_record_line(p);
	if (!xref.empty() && is_indi_tag(p.substr(2 + xref.size()))) {
		count_up(number_of_individuals);
		if (!is_numbered(xref))
			count_up(unshown.records_unnumbered);
	}
	if (has_at(p, 2, "@I")) {
		take_record(p, xref, 'I', indi, indi_r, 'i', " Record = ", out);
		if (option == 'f' && indi_row_ok(indi_r))
			indi_read[indi_r] = true;
	} else if (has_at(p, 2, "@F"))
		take_record(p, xref, 'F', fam, fam_r, 'f', " Family Record = ", out);
	row_is_records = indi_row_ok(indi_r) && same_xref(indi_xref[indi_r], xref);
}

// Dispatches on the tag's first letter, so that a piece is compared with few rules. It stays
// whole: a flat switch of one short branch per rule reads as the rule table does, and split
// in parts the rules would stand in several places and every piece would pay a call more.
[[gnu::noinline]] void level1(std::string_view p, FILE *out)
{
	switch (p[2]) {
	case 'N':
		if (is_tag(p, "NAME"))
			name_line(p, out);
		else if (is_tag(p, "NOTE"))
			indi_fact(indi_note, " Notes = ", p, out);
		break;
	case 'H':
		if (is_tag(p, "HUSB"))
			family_member(p, member::husband, out);
		break;
	case 'W':
		if (is_tag(p, "WIFE"))
			family_member(p, member::wife, out);
		break;
	case 'C':
		if (is_tag(p, "CHIL"))
			family_member(p, member::child, out);
		else if (is_tag(p, "CHAR"))
			header_fact(" Character Set = ", p, out);
		else if (is_tag(p, "CHAN"))
			set_context("CHAN");
		else if (is_tag(p, "CREM"))
			set_context("CREM");
		break;
	case 'S':
		if (is_tag(p, "SOUR"))
			header_fact(" Source = ", p, out);
		else if (is_tag(p, "SEX"))
			sex_line(p, out);
		break;
	case 'D':
		if (is_tag(p, "DATE"))
			header_fact(" GEDCOM Date = ", p, out);
		else if (is_tag(p, "DEAT"))
			set_context("DEAT");
		else if (is_tag(p, "DIV"))
			set_context("DIV");
		break;
	case 'F':
		if (is_tag(p, "FILE"))
			header_fact(" GEDCOM FILE = ", p, out);
		break;
	case 'E':
		if (is_tag(p, "EDUC"))
			indi_fact(indi_educ, "  Education = ", p, out);
		break;
	case 'O':
		if (is_tag(p, "OCCU"))
			indi_fact(indi_occu, " Occupation = ", p, out);
		else if (is_tag(p, "OBJE"))
			set_context("OBJE");
		break;
	case 'R':
		if (is_tag(p, "RELI"))
			indi_fact(indi_reli, " Religion = ", p, out);
		break;
	case 'B':
		if (is_tag(p, "BIRT"))
			set_context("BIRT");
		else if (is_tag(p, "BURI"))
			set_context("BURI");
		break;
	case 'M':
		if (is_tag(p, "MARR"))
			set_context("MARR");
		break;
	default:
		break;
	}
}

[[gnu::noinline]] void level2(std::string_view p, FILE *out)
{
	switch (p[2]) {
	case 'C':
		if (is_tag(p, "CORP"))
			header_fact(" CORP = ", p, out);
		break;
	case 'F':
		if (is_tag(p, "FORM"))
			header_fact(" Form = ", p, out);
		else if (is_tag(p, "FILE"))
			level2_file(p, out);
		break;
	case 'V':
		if (is_tag(p, "VERS"))
			header_fact(" Version = ", p, out);
		break;
	case 'N':
		if (is_tag(p, "NAME"))
			header_fact(" GEDCOM Source Name = ", p, out);
		else if (is_tag(p, "NOTE"))
			level2_note(p, out);
		break;
	case 'T':
		if (is_tag(p, "TIME"))
			header_fact(" GEDCOM Time = ", p, out);
		break;
	case 'D':
		if (is_tag(p, "DATE"))
			level2_date(p, out);
		break;
	case 'P':
		if (is_tag(p, "PLAC"))
			level2_place(p, out);
		break;
	default:
		break;
	}
}

} // namespace

// Reads like atoi (blanks, a sign, digits) but saturates instead of overflowing.
int leading_number(std::string_view text)
{
	// Record numbers are cut to four characters, which are nearly always four digits.
	if (text.size() == 4 && four_digits(text.data()))
		return four_digit_value(text.data());
	const char *p = text.data();
	const char *end = p + text.size();
	while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
		++p;
	bool negative = false;
	if (p < end && (*p == '+' || *p == '-'))
		negative = *p++ == '-';
	long long n = 0;
	for (; p < end && static_cast<unsigned char>(*p - '0') <= 9; ++p) {
		n = n * 10 + (*p - '0');
		if (n > INT_MAX)
			return negative ? INT_MIN : INT_MAX;
	}
	return static_cast<int>(negative ? -n : n);
}

namespace {

// The rules of one piece, in line in each loop that reads pieces; the surname report is made
// of the names alone, so with -s (`names_only`) no other rule is worth the time: only record
// lines (whose numbers place the names) and name lines are taken.
template <bool names_only>
[[gnu::always_inline]] inline void apply_rules(std::string_view piece, FILE *out)
{
	if (piece.size() < 3) {
		// No rule but the ends of a record and of an event takes a piece this short.
		if (has_at(piece, 0, "0"))
			level0(piece, out);
		else if (has_at(piece, 0, "1"))
			last_action = {};
		return;
	}
	if constexpr (names_only) {
		if (piece[0] == '0')
			level0(piece, out);
		else if (piece[0] == '1' && is_tag(piece, "NAME"))
			name_line(piece, out);
		return;
	}
	switch (piece[0]) {
	case '0':
		level0(piece, out);
		break;
	case '1':
		// A level-1 line other than the eight events ends the event above it (a CHR after
		// a BIRT is no second birth); the event rules set it again.
		last_action = {};
		level1(piece, out);
		break;
	case '2':
		level2(piece, out);
		break;
	default:
		break;
	}
}

} // namespace

void handle_piece(std::string_view piece, FILE *out)
{
	if (option == 's')
		apply_rules<true>(piece, out);
	else
		apply_rules<false>(piece, out);
}

void keep_piece(std::string_view piece)
{
	handle_piece(piece, nullptr);
}

bool is_trailer(std::string_view piece)
{
	return piece.size() > 2 && piece[0] == '0' && piece[2] == 'T';
}

// The file being read.
static piece_reader gedcom;

enum class pass { names_only, every_rule, privately };

// One loop for each way of taking pieces, so that the question is not asked of every piece
// and the rules sit in the loop itself: a call per piece would cost as much as the rules.
template <pass how>
static long long read_report(ged_text &text, FILE *out)
{
	long long lines = 0;
	read_pieces(gedcom, text, [out, &lines](std::string_view piece) {
		if constexpr (how == pass::privately)
			handle_private_piece(piece, out);
		else
			apply_rules<how == pass::names_only>(piece, out);
		++lines;
		return !is_trailer(piece);
	});
	return lines;
}

void print_report(ged_text &text, FILE *out)
{
	// Counted here and added on the way out: no rule reads the count.
	long long lines = private_mode ? read_report<pass::privately>(text, out)
			  : option == 's' ? read_report<pass::names_only>(text, out)
					  : read_report<pass::every_rule>(text, out);
	lines_of_data = lines_of_data + lines > INT_MAX ? INT_MAX : static_cast<int>(lines_of_data + lines);
	flush_output(out);
	if (option == 's')
		print_surnames(out);
}
