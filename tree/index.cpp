// The index of a file's records by cross-reference, and the search for a person by number.
#include "lineagetree.h"

#include "nobody.h"
#include "records.h"
#include "gedcom_version.h"


static std::uint64_t key_hash(std::string_view key)
{
	return xref_hash(key, false);
}

// The record line at `at`, cut; its views point into buf or the source's text.
static ged_line record_line(const ged_source &source, std::size_t at, std::string &buf)
{
	std::string_view text = record_text(source, at, buf);
	std::size_t pos = 0;
	return next_line(text, pos);
}

static constexpr auto filled = [](const index_slot &s) { return s.at != 0; };

// The slot of the first record whose key hashes to h and passes same(offset), or the empty
// slot where such a record belongs.
template <class Index, class Same>
static auto &probe_for(Index &index, std::uint64_t h, Same &&same)
{
	return probe(index.table, h, filled, [&](const index_slot &s) {
		return s.hash == h && same(static_cast<std::size_t>(s.at - 1));
	});
}

struct record_start {
	std::size_t at;
	std::uint64_t hash;
};

bool index_records(const ged_source &source, record_index &index)
{
	index = record_index{};
	index.source = source;
	grow_list<record_start> starts;
	bool stored = true;
	bool read = each_record_line(source, [&](std::size_t at, const ged_line &l) {
		if (!l.xref.empty())
			stored = push(starts, record_start{at, key_hash(l.xref)}) && stored;
	});
	unsigned log2 = 4;
	while ((std::size_t{1} << log2) < 2 * starts.size)
		log2++;
	if (!read || !stored || !make_table(index.table, log2))
		return false;
	std::string mine;
	std::string other;
	// Slots are met in no order: ask for a few ahead, so that their cache misses overlap.
	constexpr std::size_t ahead = 8;
	for (std::size_t i = 0; i < starts.size; i++) {
		if (i + ahead < starts.size)
			fetch_home(index.table, starts[i + ahead].hash);
		const record_start &r = starts[i];
		// Equal hashes are as good as equal keys but for one in 2^64: check before dropping.
		index_slot &s = probe_for(index, r.hash, [&](std::size_t at) {
			return record_line(source, at, other).xref == record_line(source, r.at, mine).xref;
		});
		if (s.at == 0) {
			s = index_slot{r.hash, static_cast<std::uint64_t>(r.at) + 1};
			index.count++;
		}
	}
	return true;
}

std::size_t find_record(const record_index &index, std::string_view xref, std::string_view tag)
{
	if (xref.empty() || points_to_nobody(xref) || index.table.slots.size == 0)
		return no_record;
	std::string buf;
	bool tagged = false;
	const index_slot &s = probe_for(index, key_hash(xref), [&](std::size_t at) {
		ged_line l = record_line(index.source, at, buf);
		tagged = l.tag == tag;
		return l.xref == xref;
	});
	return s.at != 0 && tagged ? static_cast<std::size_t>(s.at - 1) : no_record;
}

// The leading digits without their leading zeros: "0007" and "7x" both give "7".
static std::string_view number_value(std::string_view s)
{
	std::size_t end = 0;
	while (end < s.size() && s[end] >= '0' && s[end] <= '9')
		end++;
	std::size_t start = 0;
	while (start < end && s[start] == '0')
		start++;
	return s.substr(start, end - start);
}

// The number of a cross-reference @I<digits>@, or of one of digits alone, @<digits>@; other
// cross-references have none.
static bool numbered(std::string_view xref, std::string_view &number, bool &lettered)
{
	lettered = xref.starts_with("@I");
	// A record line may have no cross-reference at all ("0 INDI").
	if (xref.empty())
		return false;
	std::string_view digits = xref.substr(lettered ? 2 : 1);
	digits = digits.substr(0, digits.find('@'));
	number = number_value(digits);
	return lettered || (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos);
}

std::size_t find_person(const record_index &index, std::string_view number, bool *readable)
{
	if (!number.empty() && number[0] == '@')
		return find_record(index, number, "INDI");
	std::string xref = "@I";
	xref += number;
	xref += '@';
	std::size_t at = find_record(index, xref, "INDI");
	if (at != no_record)
		return at;
	std::string_view wanted = number_value(number);
	std::size_t bare = no_record;
	bool first = true;
	bool version7 = false;
	std::string head;
	bool read = each_record_line(index.source, [&](std::size_t line, const ged_line &l) {
		// Only files of version 7 number people by their cross-reference alone, @7@.
		if (first && l.tag == "HEAD") {
			version_seek seek;
			version7 = is_version7(gedcom_version(record_text(index.source, line, head), seek));
		}
		first = false;
		std::string_view value;
		bool lettered = false;
		if (at != no_record || l.tag != "INDI" || !numbered(l.xref, value, lettered) || value != wanted)
			return;
		if (lettered)
			at = line;
		else if (version7 && bare == no_record)
			bare = line;
	});
	if (readable)
		*readable = read;
	if (!read)
		return no_record;
	return at != no_record ? at : bare;
}
