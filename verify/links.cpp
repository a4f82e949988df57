// The end checks of -v: every cross-reference resolved to its record, then the links between
// records checked, both ways for families, and the lines of descent followed for loops.
#include "findings.h"
#include "records.h"

#include <algorithm>
#include <array>

namespace {

// Records by number, in the order their cross-references first appeared: the
// cross-reference as its record line writes it (as the first link to it does, for a record
// that is only pointed to), the line of the record line, and the kind, which is kind_none
// for a record that is only pointed to. The kinds are a table of their own, small
// enough to stay in the cache while every link is checked.
grow_list<std::uint64_t> record_keys;
grow_list<std::uint64_t> record_lines;
grow_list<record_kind> record_kinds;

// The records by cross-reference: open addressing over the folded keys (a short key itself,
// a long one's hash), each slot holding a record number plus one, or 0 when empty, and the
// marks of its record's key.
struct table_slot {
	std::uint64_t folded;
	std::uint32_t id_1;
	std::uint32_t marks;
};

// A key of eight bytes is folded to the whole hash of its folded text, which tells any two
// apart: the hash of one word is a chain of steps that can each be undone. Its record's text
// need then never be read, from memory that no table search has touched; a file of more
// than a million people names most of them so. A plain key has no small letters, so that
// a link to a plain record with a plain key of the same folded form is spelt as the record.
constexpr std::uint32_t mark_plain = 1;
constexpr std::uint32_t mark_eight = 2;

struct folded_form {
	std::uint64_t folded;
	std::uint32_t marks;
	lane_home home;
};

// The slots are half again as many as the records named by record lines, which keeps a
// search short and the table smaller than the next power of two would: it is in memory with
// every other table of the file at once.
grow_list<table_slot> table;

// Family links by the record that holds them: the other record's number, shifted, and in the
// lowest bit whether the link goes up a line of descent (a person's FAMC, a family's HUSB
// and WIFE). A link's way back is the same pair from the other side with the other bit.
grow_list<std::uint32_t> link_start; // by record: where its links begin in family_links
grow_list<std::uint32_t> family_links;

constexpr std::uint32_t no_record = ~std::uint32_t{0};

unsigned code_of(const occurrence &o)
{
	return static_cast<unsigned>(o.line_code >> code_shift);
}

std::uint64_t line_of(const occurrence &o)
{
	return o.line_code & line_mask;
}

record_kind kind_of_record(std::uint32_t id)
{
	return record_kinds.items[id];
}

std::uint64_t record_line(std::uint32_t id)
{
	return record_lines.items[id];
}

char fold(char c)
{
	return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Cross-references are compared without regard to ASCII case: the standard does not say
// that case tells two apart, and files point to @test@ with the record @TEST@. The folded
// key: a short key folded, an eight-byte one's hash of its folded text, a longer one's hash
// with the top byte long_key, which no short key has.
folded_form folded_key(std::uint64_t key)
{
	if (!(key & long_key)) {
		std::uint64_t folded = fold_ascii(key);
		auto n = static_cast<unsigned>(key >> 56);
		unsigned shift = n == 0 ? 0 : 8 * (n - 1);
		lane_home home = home_by_last_digit(folded & ~(std::uint64_t{0xFF} << shift), folded,
						    static_cast<unsigned>(folded >> shift) & 0xFF);
		return {folded, folded == key ? mark_plain : 0, home};
	}
	std::string_view text = key_text(key);
	std::uint64_t hash = xref_hash(text, true);
	lane_home home = home_by_last_digit(xref_hash(text.substr(0, text.size() - 1), true), hash,
					    static_cast<unsigned char>(text.back()));
	if (text.size() != 8)
		return {long_key | (hash & line_mask), 0, home};
	std::uint64_t word;
	std::memcpy(&word, text.data(), sizeof word);
	return {hash, mark_eight | (fold_ascii(word) == word ? mark_plain : 0), home};
}

bool same_text(std::string_view a, std::string_view b)
{
	if (a.size() != b.size())
		return false;
	for (std::size_t i = 0; i < a.size(); ++i)
		if (fold(a[i]) != fold(b[i]))
			return false;
	return true;
}

// Whether the key in `slot` is the key `key`, folded as `f`: a short or an eight-byte key
// by its folded form alone, a longer one by its text where the hashes agree.
bool same_key(const table_slot &slot, std::uint64_t key, const folded_form &f)
{
	if (slot.folded != f.folded || ((slot.marks ^ f.marks) & mark_eight))
		return false;
	return !(key & long_key) || (f.marks & mark_eight) ||
	       same_text(key_text(key), key_text(record_keys.items[slot.id_1 - 1]));
}

constexpr auto filled = [](const table_slot &slot) { return slot.id_1 != 0; };

void fetch_home(const folded_form &f)
{
	__builtin_prefetch(&table.items[home_in(table, f.home)]);
}

// The slot where filled(slot) is false or is_it(slot) true, from the home of `f` on.
template <typename Is>
table_slot &find_slot(const folded_form &f, Is is_it)
{
	return probe_in(table, f.home, filled, is_it);
}

bool make_table(std::size_t slots)
{
	release(table);
	slots = slots < 1024 ? 1024 : slots;
	return grow_zeroed(table, lane_slots(slots));
}

void place(const folded_form &f, std::uint32_t id)
{
	table_slot &slot = find_slot(f, [](const table_slot &) { return false; });
	slot = {f.folded, id + 1, f.marks};
}

// Half again the slots, every record placed again; kept below three quarters full, a search
// ends soon.
bool grow_table()
{
	if (!make_table(table.size + table.size / 2))
		return false;
	for (std::uint32_t id = 0; id < record_keys.size; ++id)
		place(folded_key(record_keys.items[id]), id);
	return true;
}

// The number of the record with this key, a new one when it is the first of its kind;
// `plain` tells whether the record's key is plain.
std::uint32_t record_of(std::uint64_t key, const folded_form &f, bool &plain)
{
	const table_slot &slot = find_slot(f, [key, &f](const table_slot &slot) { return same_key(slot, key, f); });
	if (filled(slot)) {
		plain = slot.marks & mark_plain;
		return slot.id_1 - 1;
	}
	plain = f.marks & mark_plain;
	if ((record_keys.size + 1) * 4 > table.size * 3 && !grow_table())
		return no_record;
	auto id = static_cast<std::uint32_t>(record_keys.size);
	if (!push(record_keys, key) || !push(record_lines, std::uint64_t{0}) || !push(record_kinds, kind_none))
		return no_record;
	place(f, id);
	return id;
}

// Every key replaced by its record's number, the records' own first, so that a record is
// spelt as its record line spells it. A second record line with the same cross-reference
// is a finding. A link spelt otherwise than its record (in another case) keeps its
// spelling aside, for its messages.
constexpr std::uint64_t respelled = std::uint64_t{1} << 63;

struct respelling {
	std::size_t at; // the occurrence
	std::uint64_t key;
};

grow_list<respelling> respellings;

bool same_spelling(std::uint64_t a, std::uint64_t b)
{
	return a == b || ((a & long_key) && (b & long_key) && key_text(a) == key_text(b));
}

constexpr std::size_t ahead = 16;

bool resolve_key(std::size_t at, const folded_form &folded)
{
	occurrence &o = occurrences.items[at];
	std::uint64_t written = o.key;
	bool plain = false;
	std::uint32_t id = record_of(written, folded, plain);
	if (id == no_record)
		return false;
	o.key = id;
	if ((code_of(o) & 3) == occurs_link) {
		// Two short keys without small letters and with one folded form are the same; only
		// the rest need the record's own key, from memory the table search did not touch.
		if ((plain && (folded.marks & mark_plain)) || same_spelling(written, record_keys.items[id]))
			return true;
		o.key |= respelled;
		return push(respellings, respelling{at, written});
	}
	if (record_kinds.items[id] != kind_none) {
		add_record_finding({line_of(o), record_lines.items[id], written, id, 0, finds_duplicate, 0});
		return true;
	}
	record_keys.items[id] = written;
	record_lines.items[id] = line_of(o);
	record_kinds.items[id] = static_cast<record_kind>((code_of(o) >> 2) & 15);
	return true;
}

// The occurrences of one type, records or links, in file order, each looked up `ahead`
// occurrences after its slot was asked for.
bool resolve_type(occurrence_type type)
{
	std::array<std::size_t, ahead> at;
	std::array<folded_form, ahead> folded;
	std::size_t n = 0;
	for (std::size_t i = 0; i < occurrences.size; ++i) {
		if ((code_of(occurrences.items[i]) & 3) != type)
			continue;
		std::size_t k = n % ahead;
		if (n >= ahead && !resolve_key(at[k], folded[k]))
			return false;
		at[k] = i;
		folded[k] = folded_key(occurrences.items[i].key);
		fetch_home(folded[k]);
		++n;
	}
	for (std::size_t m = n > ahead ? n - ahead : 0; m < n; ++m)
		if (!resolve_key(at[m % ahead], folded[m % ahead]))
			return false;
	return true;
}

bool resolve_keys()
{
	std::size_t named = 0;
	for (std::size_t i = 0; i < occurrences.size; ++i)
		named += (code_of(occurrences.items[i]) & 3) == occurs_record;
	bool ok = make_table(named + named / 2) && resolve_type(occurs_record) &&
		  resolve_type(occurs_link);
	release(table);
	return ok;
}

std::uint32_t target_of(const occurrence &o)
{
	return static_cast<std::uint32_t>(o.key);
}

// The cross-reference as the link at occurrence `at` writes it.
std::uint64_t written_key(std::size_t at)
{
	const occurrence &o = occurrences.items[at];
	if (!(o.key & respelled))
		return record_keys.items[target_of(o)];
	const respelling *r = std::lower_bound(respellings.items, respellings.items + respellings.size, at,
					       [](const respelling &r, std::size_t i) { return r.at < i; });
	return r->key;
}

bool goes_up(unsigned tag)
{
	return tag == link_famc || tag == link_husb || tag == link_wife;
}

// Calls visit(place, occurrence, record holding it) for each link, in file order.
template <typename Visit>
void each_link(Visit visit)
{
	std::uint32_t holder = no_record;
	for (std::size_t i = 0; i < occurrences.size; ++i) {
		occurrence &o = occurrences.items[i];
		unsigned type = code_of(o) & 3;
		if (type == occurs_link)
			visit(i, o, holder);
		else
			holder = type == occurs_record ? target_of(o) : no_record;
	}
}

// What is wrong with the target of the link at `at` by itself: it is no record, or a record
// of another kind than the tag asks for; finds_one_way when nothing is.
finding_kind target_fault(const occurrence &o)
{
	unsigned code = code_of(o);
	unsigned tag = (code >> 2) & 15;
	record_kind kind = kind_of_record(target_of(o));
	if (kind == kind_none)
		return finds_dangling;
	if (!(code & code_unchecked) && kind_a_tag_asks(tag) != kind_none && kind != kind_a_tag_asks(tag))
		return finds_wrong_kind;
	return finds_one_way;
}

// The family links of each record, for the checks both ways. A family link whose target is
// at fault keeps no family mark, and so takes no part in them.
bool gather_family_links()
{
	if (!grow_zeroed(link_start, record_keys.size + 1))
		return false;
	each_link([](std::size_t, occurrence &o, std::uint32_t holder) {
		unsigned code = code_of(o);
		if (!(code & code_family))
			return;
		if (target_fault(o) != finds_one_way || holder == no_record)
			o.line_code &= ~(std::uint64_t{code_family} << code_shift);
		else
			++link_start.items[holder + 1];
	});
	for (std::size_t id = 0; id < record_keys.size; ++id)
		link_start.items[id + 1] += link_start.items[id];
	if (!grow_to(family_links, link_start.items[record_keys.size]))
		return false;
	family_links.size = link_start.items[record_keys.size];
	// Each record's links are written at its start, which moves on; it is put back after.
	each_link([](std::size_t, occurrence &o, std::uint32_t holder) {
		unsigned code = code_of(o);
		if (code & code_family)
			family_links.items[link_start.items[holder]++] = target_of(o) << 1 | goes_up((code >> 2) & 15);
	});
	for (std::size_t id = record_keys.size; id > 0; --id)
		link_start.items[id] = link_start.items[id - 1];
	link_start.items[0] = 0;
	return true;
}

bool has_link(std::uint32_t from, std::uint32_t link)
{
	for (std::uint32_t i = link_start.items[from]; i < link_start.items[from + 1]; ++i)
		if (family_links.items[i] == link)
			return true;
	return false;
}

// Loops in the lines of descent: person to the family they are a child of, family to its
// husband and wife. Every person in a strongly connected part of more than one record is
// their own ancestor. Tarjan's search, with its own stack, for lines thousands of
// generations deep.
struct search_frame {
	std::uint32_t node;
	std::uint32_t next; // the next of its links to follow
};

grow_list<std::uint32_t> order;  // by record: when the search reached it, from 1; 0 not yet
grow_list<std::uint32_t> lowest; // the earliest reached that it leads back to; no_record once its part is done
grow_list<std::uint32_t> part_stack;
grow_list<search_frame> frames;

// The first family that `person` is a child of within the part whose first record was
// reached as number `root_order`: of the records not yet put in a part, those reached
// after its first.
std::uint32_t family_in_part(std::uint32_t person, std::uint32_t root_order)
{
	for (std::uint32_t i = link_start.items[person]; i < link_start.items[person + 1]; ++i) {
		std::uint32_t link = family_links.items[i];
		std::uint32_t family = link >> 1;
		if ((link & 1) && lowest.items[family] != no_record && order.items[family] >= root_order)
			return family;
	}
	return no_record;
}

void close_part(std::uint32_t root)
{
	std::size_t begin = part_stack.size;
	while (part_stack.items[begin - 1] != root)
		--begin;
	--begin;
	if (part_stack.size - begin > 1)
		for (std::size_t k = begin; k < part_stack.size; ++k) {
			std::uint32_t id = part_stack.items[k];
			if (kind_of_record(id) == kind_indi)
				add_record_finding({record_line(id), 0, 0, id, family_in_part(id, order.items[root]),
					     finds_own_ancestor, 0});
		}
	for (std::size_t k = begin; k < part_stack.size; ++k)
		lowest.items[part_stack.items[k]] = no_record;
	part_stack.size = begin;
}

bool enter(std::uint32_t node, std::uint32_t &reached)
{
	order.items[node] = lowest.items[node] = ++reached;
	return push(part_stack, node) && push(frames, search_frame{node, link_start.items[node]});
}

bool search_from(std::uint32_t start, std::uint32_t &reached)
{
	if (!enter(start, reached))
		return false;
	while (frames.size > 0) {
		search_frame &f = frames.items[frames.size - 1];
		if (f.next < link_start.items[f.node + 1]) {
			std::uint32_t link = family_links.items[f.next++];
			std::uint32_t next = link >> 1;
			if (!(link & 1))
				continue;
			if (order.items[next] == 0) {
				if (!enter(next, reached))
					return false;
			} else if (lowest.items[next] != no_record) {
				lowest.items[f.node] = std::min(lowest.items[f.node], order.items[next]);
			}
			continue;
		}
		std::uint32_t node = f.node;
		--frames.size;
		if (lowest.items[node] == order.items[node])
			close_part(node);
		else if (frames.size > 0) {
			std::uint32_t &parent_low = lowest.items[frames.items[frames.size - 1].node];
			parent_low = std::min(parent_low, lowest.items[node]);
		}
	}
	return true;
}

bool check_descent()
{
	if (record_keys.size == 0)
		return true;
	if (!grow_zeroed(order, record_keys.size) || !grow_to(lowest, record_keys.size))
		return false;
	std::uint32_t reached = 0;
	bool ok = true;
	for (std::uint32_t id = 0; ok && id < record_keys.size; ++id)
		if (order.items[id] == 0 && link_start.items[id] != link_start.items[id + 1])
			ok = search_from(id, reached);
	release(order);
	release(lowest);
	release(part_stack);
	release(frames);
	return ok;
}

// A family link without its way back is marked beside its record's number, so that its
// finding can be written once the tables that tell it are given back.
constexpr std::uint64_t one_way = std::uint64_t{1} << 62;

void mark_one_way()
{
	each_link([](std::size_t at, occurrence &o, std::uint32_t holder) {
		// The way back of a link is looked for in two tables all over memory: the first is
		// asked for a few links ahead, the second, from it, nearer.
		if (at + 2 * ahead < occurrences.size)
			__builtin_prefetch(&link_start.items[target_of(occurrences.items[at + 2 * ahead])]);
		if (at + ahead < occurrences.size)
			__builtin_prefetch(family_links.items + link_start.items[target_of(occurrences.items[at + ahead])]);
		unsigned code = code_of(o);
		if ((code & code_family) && !has_link(target_of(o), holder << 1 | !goes_up((code >> 2) & 15)))
			o.key |= one_way;
	});
}

} // namespace

bool check_links()
{
	// Record numbers and the family links' shifted numbers must fit 31 bits.
	if (occurrences.size >= (std::size_t{1} << 31))
		return false;
	bool ok = resolve_keys() && gather_family_links() && check_descent();
	if (ok)
		mark_one_way();
	// The doubts that come next need the memory more than anyone needs the record lines or
	// each record's family links.
	release(record_lines);
	release(link_start);
	release(family_links);
	return ok;
}

// The links' findings come from the occurrences as they are written out, not from a list:
// a file can have a link at fault on every other line.
bool next_link_finding(link_walk &w, finding &f)
{
	for (; w.next < occurrences.size; ++w.next) {
		std::size_t at = w.next;
		const occurrence &o = occurrences.items[at];
		unsigned code = code_of(o);
		unsigned type = code & 3;
		if (type != occurs_link) {
			w.holder = type == occurs_record ? target_of(o) : no_record;
			continue;
		}
		auto tag = static_cast<std::uint8_t>((code >> 2) & 15);
		std::uint32_t target = target_of(o);
		finding_kind fault = target_fault(o);
		if (fault == finds_one_way && !(o.key & one_way))
			continue;
		++w.next;
		if (fault == finds_one_way)
			f = {line_of(o), 0, written_key(at), w.holder, target, finds_one_way, tag};
		else
			f = {line_of(o), 0, written_key(at), target, kind_of_record(target), fault, tag};
		return true;
	}
	return false;
}

std::string_view record_xref(std::uint32_t id)
{
	return key_text(record_keys.items[id]);
}

void release_records()
{
	release(respellings);
	release(record_keys);
	release(record_lines);
	release(record_kinds);
	release(link_start);
	release(family_links);
}

std::size_t record_count()
{
	return record_keys.size;
}

void each_record_from_last(void (*visit)(void *data, std::uint32_t id, std::uint64_t line), void *data)
{
	for (std::size_t i = occurrences.size; i-- > 0;) {
		const occurrence &o = occurrences.items[i];
		if ((code_of(o) & 3) == occurs_record)
			visit(data, target_of(o), line_of(o));
	}
}

void each_family_link(void (*visit)(void *data, std::uint32_t holder, unsigned tag, std::uint32_t target), void *data)
{
	each_link([&](std::size_t, occurrence &o, std::uint32_t holder) {
		unsigned code = code_of(o);
		if ((code & code_family) && holder != no_record)
			visit(data, holder, (code >> 2) & 15, target_of(o));
	});
}
