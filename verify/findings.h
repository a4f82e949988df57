// What -v finds in a file: the lists its line checks and its end-of-file checks share.
#pragma once

#include "grow_list.h"
#include "xref_keys.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

// The kinds of record, by the tag of their level-0 line.
enum record_kind : std::uint8_t {
	kind_none, kind_head, kind_trlr, kind_indi, kind_fam, kind_sour, kind_note, kind_obje,
	kind_repo, kind_subm, kind_subn, kind_user, kind_other
};

// The tags of pointer lines that the end checks tell apart; link_other is every other tag.
enum link_tag : std::uint8_t {
	link_famc, link_fams, link_chil, link_husb, link_wife, link_sour, link_note, link_obje,
	link_repo, link_subm, link_subn, link_asso, link_alia, link_anci, link_desi, link_other
};

// The file is judged by the 7.0 rules: its shared notes are SNOTE records (kind_note, link_note),
// and ASSO points to a person.
extern bool seven_rules;

// The kind of record a link's tag asks for; kind_none for any kind.
inline record_kind kind_a_tag_asks(unsigned tag)
{
	if (seven_rules && tag == link_asso)
		return kind_indi;
	constexpr record_kind kinds[] = {kind_fam,  kind_fam,  kind_indi, kind_indi, kind_indi, kind_sour,
					 kind_note, kind_obje, kind_repo, kind_subm, kind_subn, kind_none,
					 kind_indi, kind_subm, kind_subm, kind_none};
	return kinds[tag & 15];
}

// A cross-reference where it stands: a record's own (its level-0 line), a pointer to one, or
// a level-0 line without one, after which pointers belong to no record. The end checks read
// them in file order, so a pointer belongs to the record named last before it.
enum occurrence_type : std::uint8_t { occurs_record = 1, occurs_anonymous = 2, occurs_link = 3 };

// The code of an occurrence, in its top byte: the type, then the record kind or the link
// tag, then two marks of links.
inline constexpr unsigned code_shift = 56;
inline constexpr std::uint64_t line_mask = (std::uint64_t{1} << code_shift) - 1;
inline constexpr unsigned code_family = 0x40; // a level-1 FAMC or FAMS of a person, CHIL, HUSB or WIFE of a family
inline constexpr unsigned code_unchecked = 0x80; // under a user tag: its kind is not checked

inline constexpr unsigned occurrence_code(occurrence_type type, unsigned what, unsigned marks)
{
	return type | what << 2 | marks;
}

struct occurrence {
	std::uint64_t key;       // the cross-reference; once resolved, its number
	std::uint64_t line_code; // the line, and the code in the top byte
};

// What the end checks found or the line checks noted, in the order of the kinds that
// come first at one line.
enum finding_kind : std::uint8_t {
	finds_invalid_bytes, finds_long_line, finds_first_line, finds_no_level, finds_level_form,
	finds_no_tag, finds_bad_xref, finds_level_jump, finds_not_record, finds_no_xref,
	finds_not_pointer, finds_bad_date, finds_no_such_day, finds_reversed, finds_bad_age, finds_bad_sex,
	finds_head_lines, finds_gedc_lines, finds_after_trailer, finds_no_trailer,
	finds_duplicate, finds_dangling, finds_wrong_kind, finds_one_way, finds_own_ancestor,
	finds_rules7, // a finding of the 7.0 rules: its kind7 in tag, its code in number, its detail in key and record
	// The doubts, which are counted apart.
	doubts_death_before_birth, doubts_burial_before_death, doubts_christening_before_birth,
	doubts_event_after_death, doubts_long_life, doubts_future, doubts_mother_young, doubts_mother_old,
	doubts_father_young, doubts_father_old, doubts_after_mother_death, doubts_after_father_death,
	doubts_before_ancestor, doubts_married_young, doubts_married_after_death, doubts_close_births
};

inline bool is_doubt(finding_kind kind)
{
	return kind >= doubts_death_before_birth;
}

// One finding. A field is used only by the kinds it names.
struct finding {
	std::uint64_t line;
	std::uint64_t number; // a long line's characters; for a duplicate, the line of the first record
	std::uint64_t key;    // the cross-reference as the line writes it
	std::uint32_t record; // the link's target, a one-way link's holder, the duplicate, the own ancestor
	std::uint32_t other;  // a one-way link's target, the own ancestor's family; for a link to the
			      // wrong kind, the kind of record it points to
	finding_kind kind;
	std::uint8_t tag;     // the link tag it names
	std::uint8_t quoted = 0; // the length of the text it quotes
	bool cut = false;        // that text was cut to the length a message shows
	std::uint8_t level = 0;  // a level jump's, and that of the line before it
	std::uint8_t above = 0;
};

// The most of a quoted text a message shows.
inline constexpr std::size_t quote_max = 60;

extern grow_list<occurrence> occurrences;
extern grow_list<char> xref_text;
extern bool out_of_memory;

// The findings of the line checks go to a log in line order, and those of the records
// (duplicates, own ancestors) to a list; those of the links are made as they are written.
void add_finding(const finding &f);
// A finding that quotes `text` (cut to a length a message can show), and the link tag it
// names, if any.
void add_text_finding(std::uint64_t line, finding_kind kind, std::string_view text, std::uint8_t tag = 0);
// A finding of any fields that quotes `text`, cut the same way.
void add_quoting_finding(finding f, std::string_view text);
void add_record_finding(const finding &f);
// Every finding, merged from the three sources in line order, each as FILE:LINE: message,
// then the count, which it returns; -1 when memory or the log failed.
long long write_findings(const char *file, FILE *out);
void release_findings();

// `text` with every control byte and every byte that is no UTF-8 as \xHH, in `room` when
// any needed it; the text itself when none did.
std::string_view shown(std::string_view text, std::string &room);

// Whether a finding of the kind quotes a text of the line.
bool has_quote(finding_kind kind);
void print_message(const finding &f, std::string_view quote, FILE *out);
void print_message7(const finding &f, std::string_view quote, FILE *out);
// The messages of the lines HEAD lacks, and of the doubts.
void print_missing(const finding &f, FILE *out);
void print_doubt(const finding &f, FILE *out);

// The key of the cross-reference `xref` (without its @ signs), its long text in xref_text.
std::uint64_t xref_key(std::string_view xref);
// The text of a short key lies in the key itself, so the view holds while the key does.
std::string_view key_text(const std::uint64_t &key);

struct line_parts;
// The findings of a line that does not parse as the grammar cuts it, or of a level written
// oddly; false when the line does not parse.
bool line_fault_found(std::uint64_t line, const line_parts &g);

// Whether the DATE value follows the date grammar of GEDCOM 5.5.1.
bool date_value_ok(std::string_view value);

// The end checks over the occurrences: every cross-reference resolved to its record, records
// named twice, people who are their own ancestors. False when memory ran out.
bool check_links();

// The links at fault, in file order: to no record, to a record of another kind, or a family
// link without its way back. From a zeroed walk, once check_links has run.
struct link_walk {
	std::size_t next = 0;                 // the occurrence to look at next
	std::uint32_t holder = ~std::uint32_t{0}; // the record holding the links there, none yet
};
bool next_link_finding(link_walk &w, finding &f);

// The cross-reference of record number `id`, for messages, once check_links has run, until
// release_records.
std::string_view record_xref(std::uint32_t id);
void release_records();
// The same records for the doubts between them, once check_links has run: their number;
// each record line's record number, from the last line of the file to the first; and each
// family link whose target is a record of the kind it asks for, by the record that holds it,
// in file order.
std::size_t record_count();
void each_record_from_last(void (*visit)(void *data, std::uint32_t id, std::uint64_t line), void *data);
void each_family_link(void (*visit)(void *data, std::uint32_t holder, unsigned tag, std::uint32_t target), void *data);
