// model: a file's records in one table, each with its kind, line, offset and cross-reference,
// and the family links between them resolved to record numbers, so that the parents,
// partners and children of anyone are a lookup.
#pragma once

#include "gedtext.h"
#include "grow_list.h"
#include "records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A record's number: its place among the file's records, in file order, from 0.
using record_id = std::uint32_t;
// What a link to no record points to, and what a search that finds none returns.
inline constexpr record_id missing_record = ~record_id{0};

// The kind of a record, by the tag of its level-0 line (SNOTE is GEDCOM 7.0's shared note,
// OBJE a media record). HEAD, TRLR and every other tag are `other`.
enum class ged_kind : std::uint8_t {
	individual, family, source, note, shared_note, repository, media, submitter, other
};

// The family links a record holds: FAMC and FAMS of an individual, HUSB, WIFE and CHIL of a
// family, each a level-1 line whose value is a pointer.
enum class family_tag : std::uint8_t { famc, fams, husb, wife, chil };

struct family_link {
	record_id target; // missing_record when no record has the cross-reference it names
	family_tag tag;
};

// One record: every level-0 line begins one, whether or not it has a cross-reference.
struct ged_record {
	std::uint64_t offset;   // of its level-0 line in the text, a UTF-8 byte-order mark counted
	std::uint64_t line;     // its line number, from 1
	std::uint32_t xref_at;  // its cross-reference, with its @ signs, in the model's names
	std::uint32_t xref_size; // 0 when it has none
	std::uint32_t links_at;  // its links are links[links_at] up to the next record's links_at
	ged_kind kind;
};

struct model_slot {
	std::uint64_t hash;
	record_id id_1; // the record's number + 1; 0 in an empty slot
};

// The records in file order, their links in the same order, and the records by
// cross-reference. Cross-references are compared as written, case and all.
struct ged_model {
	grow_list<ged_record> records;
	grow_list<family_link> links;
	grow_list<char> names;
	record_table<model_slot> table;
	std::size_t duplicates = 0; // records whose cross-reference an earlier record has
	std::size_t missing = 0;    // links to no record
};

// Reads the whole text into the model (what it held before is dropped). Lines end at LF, CR
// or CR LF. A record whose cross-reference an earlier record already has keeps its place,
// kind and links but is not found by it: the first wins, and links to it go to the first.
// @VOID@ (a null pointer of GEDCOM 7.0) is no record's cross-reference, and a link to it is
// no link. False on a read error or when memory runs out.
bool build_model(ged_text &text, ged_model &model);

// The record of a cross-reference written with its @ signs, or missing_record.
record_id find_record(const ged_model &model, std::string_view xref);

std::string_view xref_of(const ged_model &model, record_id id);
std::span<const family_link> links_of(const ged_model &model, record_id id);

// The relations of an individual as the records write them, each record at most once, in
// the order the links name them: parents are the HUSB and WIFE of the families of its FAMC
// lines; partners the HUSB and WIFE other than itself, and children the CHIL, of the
// families of its FAMS lines. A link to a missing record, or one of another kind, is passed
// over.
std::vector<record_id> parents_of(const ged_model &model, record_id person);
std::vector<record_id> partners_of(const ged_model &model, record_id person);
std::vector<record_id> children_of(const ged_model &model, record_id person);
