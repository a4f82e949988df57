// The choice of -v's rules by the version in the head, HEAD.GEDC.VERS: the head's lines are held
// until it is read, then they and every later line go to the rules of that version.
#include "versions.h"

#include "findings.h"
#include "gedcom_version.h"
#include "grammar.h"
#include "lineagecheck.h"

#include <cstring>

bool seven_rules;

namespace {

// A head that has not named its version in this many lines or bytes names none that counts:
// what it held goes on to the 5.5.1 rules, so a file of nothing but head is not kept whole.
constexpr std::size_t held_lines_max = 4096;
constexpr std::size_t held_bytes_max = std::size_t{1} << 20;

struct held_line {
	std::uint64_t line;
	std::uint64_t chars; // ~0: bytes of this line were replaced; ~1: its prefix was tidied
	std::size_t at;
	std::size_t length;  // of a tidied prefix: what was mended
};

constexpr std::uint64_t replaced_mark = ~std::uint64_t{0};
constexpr std::uint64_t mended_mark = ~std::uint64_t{1};

grow_list<held_line> held;
grow_list<char> held_text;
version_seek seek;
bool decided;
bool held_out_of_memory;
gedcom_family family;

void hold(std::uint64_t line, std::string_view text, std::uint64_t chars)
{
	held_line h{line, chars, held_text.size, text.size()};
	if (!grow_to(held_text, held_text.size + text.size()) || !push(held, h)) {
		held_out_of_memory = true;
		return;
	}
	if (!text.empty())
		std::memcpy(held_text.items + held_text.size, text.data(), text.size());
	held_text.size += text.size();
}

void pass_on(const held_line &h)
{
	bool five = family == gedcom_family::five;
	if (h.chars == replaced_mark) {
		five ? findings_invalid(h.line) : lines7_invalid(h.line);
	} else if (h.chars == mended_mark) {
		if (!five)
			lines7_mended(h.line, static_cast<unsigned>(h.length));
	} else {
		std::string_view text{held_text.items + h.at, h.length};
		five ? findings_line(h.line, text, h.chars) : lines7_line(h.line, text, h.chars);
	}
}

void decide()
{
	decided = true;
	family = family_of_version(sought_version(seek));
	seven_rules = family != gedcom_family::five;
	if (seven_rules)
		lines7_start();
	for (std::size_t i = 0; i < held.size; ++i)
		pass_on(held.items[i]);
	release(held);
	release(held_text);
}

// Whether the line, the next of the head, settles which rules apply.
bool settles(std::uint64_t line, std::string_view text)
{
	return seek_version(seek, line, parse_line(text)) || held.size >= held_lines_max ||
	       held_text.size >= held_bytes_max;
}

} // namespace

void judged_start()
{
	findings_start();
	release(held);
	release(held_text);
	seek = {};
	decided = false;
	held_out_of_memory = false;
	seven_rules = false;
	family = gedcom_family::five;
}

void judged_line(std::uint64_t line, std::string_view text, std::uint64_t chars)
{
	if (decided) {
		if (seven_rules)
			lines7_line(line, text, chars);
		else
			findings_line(line, text, chars);
		return;
	}
	hold(line, text, chars);
	if (settles(line, text))
		decide();
}

void judged_invalid(std::uint64_t line)
{
	if (!decided)
		hold(line, {}, replaced_mark);
	else if (seven_rules)
		lines7_invalid(line);
	else
		findings_invalid(line);
}

void judged_mended(std::uint64_t line, unsigned mends)
{
	if (!decided) {
		if (push(held, held_line{line, mended_mark, held_text.size, mends}))
			return;
		held_out_of_memory = true;
	} else if (seven_rules) {
		lines7_mended(line, mends);
	}
}

// A 7.1 file is judged by the 7.0 rules, which it extends; the reader is told so first.
long long judged_finish(const char *file, FILE *out)
{
	if (!decided)
		decide();
	if (held_out_of_memory)
		out_of_memory = true;
	if (family == gedcom_family::seven_later)
		std::fprintf(out, "%s:%llu: note: GEDCOM %.*s is checked by the rules of 7.0\n", file,
			     static_cast<unsigned long long>(seek.line), static_cast<int>(seek.length), seek.text.data());
	long long found = seven_rules ? lines7_finish(file, out) : findings_finish(file, out);
	seven_rules = false;
	return found;
}
