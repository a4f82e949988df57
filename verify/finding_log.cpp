// The findings' log: the line checks' findings in line order, the records' in a list, and
// the three sources merged into the report.
#include "doubts.h"
#include "findings.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::size_t quote_length(const finding &f)
{
	return has_quote(f.kind) ? f.quoted : 0;
}

// The findings of the line being read. They are not found in the order of their kinds, in
// which they are written, so they wait here until the next line's come.
struct pending_finding {
	finding f;
	std::array<char, quote_max> quote;
};

std::array<pending_finding, 16> pending;
std::size_t pending_count;

// The log of the line checks' findings, in line order: each finding, then the text it
// quotes. Past spill_at bytes it goes on in a temporary file, so that a file with a problem
// on every line is checked in the memory of a sound one; where no such file can be made, it
// stays in memory.
constexpr std::size_t spill_at = std::size_t{4} << 20;
grow_list<char> finding_log;
FILE *spill;
bool spill_failed;
bool no_spill; // no temporary file could be made: asked once

void write_log(const pending_finding &p)
{
	std::size_t n = quote_length(p.f);
	if (finding_log.size + sizeof p.f + n > spill_at) {
		if (!spill && !no_spill)
			no_spill = !(spill = std::tmpfile());
		if (spill) {
			spill_failed = spill_failed ||
				       std::fwrite(finding_log.items, 1, finding_log.size, spill) != finding_log.size;
			finding_log.size = 0;
		}
	}
	if (!grow_to(finding_log, finding_log.size + sizeof p.f + n)) {
		out_of_memory = true;
		return;
	}
	std::memcpy(finding_log.items + finding_log.size, &p.f, sizeof p.f);
	if (n > 0)
		std::memcpy(finding_log.items + finding_log.size + sizeof p.f, p.quote.data(), n);
	finding_log.size += sizeof p.f + n;
}

void flush_pending()
{
	for (std::size_t i = 0; i < pending_count; ++i)
		write_log(pending[i]);
	pending_count = 0;
}

void add_pending(const finding &f, std::string_view quote)
{
	if (pending_count > 0 && (pending[0].f.line != f.line || pending_count == pending.size()))
		flush_pending();
	std::size_t at = pending_count++;
	while (at > 0 && pending[at - 1].f.kind > f.kind) {
		pending[at] = pending[at - 1];
		--at;
	}
	pending[at].f = f;
	if (!quote.empty())
		std::memcpy(pending[at].quote.data(), quote.data(), quote.size());
}

// Reads the log back from its start: the file's part, then memory's.
struct log_reader {
	std::size_t at;
	bool in_memory;
	std::array<char, quote_max> quote;
};

bool start_log(log_reader &r)
{
	flush_pending();
	r = {};
	r.in_memory = !spill;
	return !spill || (!spill_failed && std::fflush(spill) == 0 && std::fseek(spill, 0, SEEK_SET) == 0);
}

bool next_logged(log_reader &r, finding &f, std::string_view &quote)
{
	if (!r.in_memory) {
		if (std::fread(&f, sizeof f, 1, spill) == 1) {
			std::size_t n = quote_length(f);
			spill_failed = spill_failed || n > quote_max || std::fread(r.quote.data(), 1, n, spill) != n;
			quote = {r.quote.data(), spill_failed ? 0 : n};
			return !spill_failed;
		}
		spill_failed = spill_failed || std::ferror(spill);
		r.in_memory = true;
	}
	if (spill_failed || r.at >= finding_log.size)
		return false;
	std::memcpy(&f, finding_log.items + r.at, sizeof f);
	quote = {finding_log.items + r.at + sizeof f, quote_length(f)};
	r.at += sizeof f + quote.size();
	return true;
}

grow_list<finding> record_findings;

// With no doubt, the last line says what it always has.
void write_last_line(const char *file, long long problems, long long doubts, FILE *out)
{
	const char *ps = problems == 1 ? "" : "s";
	const char *ds = doubts == 1 ? "" : "s";
	if (doubts == 0 && problems == 0)
		std::fprintf(out, "No problems found in %s.\n", file);
	else if (doubts == 0)
		std::fprintf(out, "%lld problem%s found in %s.\n", problems, ps, file);
	else if (problems == 0)
		std::fprintf(out, "No problems found; %lld doubt%s in %s.\n", doubts, ds, file);
	else
		std::fprintf(out, "%lld problem%s and %lld doubt%s found in %s.\n", problems, ps, doubts, ds, file);
}

} // namespace

void add_finding(const finding &f)
{
	add_pending(f, {});
}

void add_text_finding(std::uint64_t line, finding_kind kind, std::string_view text, std::uint8_t tag)
{
	add_quoting_finding({line, 0, 0, 0, 0, kind, tag}, text);
}

void add_quoting_finding(finding f, std::string_view text)
{
	std::size_t n = text.size() < quote_max ? text.size() : quote_max;
	// Not inside a character.
	while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
		--n;
	f.quoted = static_cast<std::uint8_t>(n);
	f.cut = n < text.size();
	add_pending(f, text.substr(0, n));
}

void add_record_finding(const finding &f)
{
	if (!push(record_findings, f))
		out_of_memory = true;
}

void release_findings()
{
	release(finding_log);
	release(record_findings);
	pending_count = 0;
	if (spill)
		std::fclose(spill);
	spill = nullptr;
	spill_failed = false;
	no_spill = false;
}

namespace {

bool before(const finding &a, const finding &b)
{
	return a.line != b.line ? a.line < b.line : a.kind < b.kind;
}

// The four kinds of findings, each already in line order, read as one list in line order: the
// log of line findings, the record findings, the link findings and the doubts.
struct merged_findings {
	log_reader logged;
	link_walk links;
	finding from_log{};
	finding from_links{};
	finding from_doubts{};
	std::string_view quote; // of from_log
	bool log_more = false;
	bool links_more = false;
	bool doubts_more = false;
	std::size_t doubt_walk = 0;
	std::size_t next_record = 0;

	void start()
	{
		log_more = next_logged(logged, from_log, quote);
		links_more = next_link_finding(links, from_links);
		doubts_more = next_doubt(doubt_walk, from_doubts);
	}

	// The first finding not yet passed, or nullptr when all are.
	const finding *first() const
	{
		const finding *f = log_more ? &from_log : nullptr;
		if (links_more && (!f || before(from_links, *f)))
			f = &from_links;
		if (next_record < record_findings.size && (!f || before(record_findings.items[next_record], *f)))
			f = &record_findings.items[next_record];
		if (doubts_more && (!f || before(from_doubts, *f)))
			f = &from_doubts;
		return f;
	}

	void pass(const finding *f)
	{
		if (f == &from_log)
			log_more = next_logged(logged, from_log, quote);
		else if (f == &from_links)
			links_more = next_link_finding(links, from_links);
		else if (f == &from_doubts)
			doubts_more = next_doubt(doubt_walk, from_doubts);
		else
			++next_record;
	}
};

} // namespace

long long write_findings(const char *file_name, FILE *out)
{
	std::string room;
	std::string file(shown(file_name, room));
	merged_findings all;
	if (!start_log(all.logged) || out_of_memory || !check_links() || !doubts_of_families())
		return -1;
	std::sort(record_findings.items, record_findings.items + record_findings.size, before);
	all.start();
	long long count = 0;
	long long doubts = 0;
	for (const finding *f; (f = all.first()) != nullptr; ++count) {
		std::fprintf(out, "%s:%llu: ", file.c_str(), static_cast<unsigned long long>(f->line));
		print_message(*f, f == &all.from_log ? all.quote : std::string_view{}, out);
		std::fputc('\n', out);
		if (f == &all.from_doubts)
			++doubts;
		all.pass(f);
	}
	write_trees_line(file.c_str(), out);
	write_last_line(file.c_str(), count - doubts, doubts, out);
	return spill_failed ? -1 : count - doubts;
}
