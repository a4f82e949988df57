// The model's records and family links: who is found, where, and who is related to whom.
#include <gtest/gtest.h>

#include "gedfile.h"
#include "grammar.h"
#include "memfile.h"
#include "model.h"
#include "text_lines.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string names(const ged_model &m, const std::vector<record_id> &ids)
{
	std::string s;
	for (record_id id : ids)
		s += std::string(s.empty() ? "" : " ") + std::string(xref_of(m, id));
	return s;
}

// The record of `xref` as "line L at O", then its relations and the file's counts.
std::string described(const ged_model &m, std::string_view xref)
{
	record_id id = find_record(m, xref);
	if (id == missing_record)
		return "none";
	const ged_record &r = m.records[id];
	return "line " + std::to_string(r.line) + " at " + std::to_string(r.offset) + "; parents " +
	       names(m, parents_of(m, id)) + "; partners " + names(m, partners_of(m, id)) + "; children " +
	       names(m, children_of(m, id)) + "; missing " + std::to_string(m.missing) + "; duplicates " +
	       std::to_string(m.duplicates);
}

struct model_case {
	const char *name;
	std::string gedcom;
	const char *xref;
	const char *expected;
};

const std::string family = "0 HEAD\n"
			   "0 @I1@ INDI\n1 FAMS @F1@\n"
			   "0 @I2@ INDI\n1 FAMS @F1@\n"
			   "0 @I3@ INDI\n1 FAMC @F1@\n"
			   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n"
			   "0 TRLR\n";

std::string with_ends(std::string text, const char *end)
{
	std::string out;
	for (char c : text)
		out += c == '\n' ? std::string(end) : std::string(1, c);
	return out;
}

} // namespace

TEST(ModelLinks, RelationsAndPlacesAsTheRecordsWriteThem)
{
	const std::string long_note = "0 @N1@ NOTE " + std::string(300000, 'x') + "\r\n";
	const model_case cases[] = {
		{"child", family, "@I3@", "line 6 at 55; parents @I1@ @I2@; partners ; children ; missing 0; duplicates 0"},
		{"father", family, "@I1@", "line 2 at 7; parents ; partners @I2@; children @I3@; missing 0; duplicates 0"},
		{"a family is no person", family, "@F1@", "line 8 at 79; parents ; partners ; children ; missing 0; duplicates 0"},
		{"no such record", family, "@I9@", "none"},
		{"CR", with_ends(family, "\r"), "@I3@", "line 6 at 55; parents @I1@ @I2@; partners ; children ; missing 0; duplicates 0"},
		{"CR LF", with_ends(family, "\r\n"), "@I3@", "line 6 at 60; parents @I1@ @I2@; partners ; children ; missing 0; duplicates 0"},
		{"byte-order mark", "\xEF\xBB\xBF" + family, "@I1@", "line 2 at 10; parents ; partners @I2@; children @I3@; missing 0; duplicates 0"},
		{"a line over many blocks", "0 HEAD\n" + long_note + "0 @I1@ INDI\n", "@I1@", "line 3 at 300021; parents ; partners ; children ; missing 0; duplicates 0"},
		{"links to no record", "0 @I1@ INDI\n1 FAMC @F9@\n1 FAMS @F1@\n0 @F1@ FAM\n1 WIFE @I8@\n1 CHIL @I1@\n",
		 "@I1@", "line 1 at 0; parents ; partners ; children @I1@; missing 2; duplicates 0"},
		{"a null pointer is no link and no record", "0 @VOID@ INDI\n0 @I1@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @VOID@\n1 WIFE @I1@\n",
		 "@VOID@", "none"},
		{"partner of a null pointer", "0 @VOID@ INDI\n0 @I1@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @VOID@\n1 WIFE @I1@\n",
		 "@I1@", "line 2 at 14; parents ; partners ; children ; missing 0; duplicates 0"},
		{"the first of a cross-reference wins", "0 @I1@ INDI\n1 FAMS @F1@\n0 @I1@ INDI\n0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n0 @I2@ INDI\n",
		 "@I1@", "line 1 at 0; parents ; partners ; children @I2@; missing 0; duplicates 1"},
		{"a child listed twice, once", "0 @I1@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n1 CHIL @I2@\n1 CHIL @I2@\n0 @I2@ INDI\n",
		 "@I1@", "line 1 at 0; parents ; partners ; children @I2@; missing 0; duplicates 0"},
		{"a family without partners", "0 @I2@ INDI\n1 FAMC @F1@\n0 @F1@ FAM\n1 CHIL @I2@\n",
		 "@I2@", "line 1 at 0; parents ; partners ; children ; missing 0; duplicates 0"},
		{"a link only from the family's side is not followed", "0 @I1@ INDI\n0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n0 @I2@ INDI\n",
		 "@I1@", "line 1 at 0; parents ; partners ; children ; missing 0; duplicates 0"},
		{"a link to a record of another kind", "0 @I1@ INDI\n1 FAMC @I2@\n0 @I2@ INDI\n1 FAMS @I2@\n",
		 "@I1@", "line 1 at 0; parents ; partners ; children ; missing 0; duplicates 0"},
		{"case tells cross-references apart", family, "@i1@", "none"},
	};
	for (const model_case &c : cases) {
		SCOPED_TRACE(c.name);
		FILE *in = open_bytes(c.gedcom);
		ged_model m;
		ASSERT_TRUE(build_model(text_over(in), m));
		std::fclose(in);
		EXPECT_EQ(described(m, c.xref), c.expected);
	}
}

TEST(ModelLinks, EveryRecordKeepsItsKindInFileOrder)
{
	const std::string gedcom = "0 HEAD\n0 @I1@ INDI\n0 @F1@ FAM\n0 @S1@ SOUR\n0 @N1@ NOTE\n0 @N2@ SNOTE text\n"
				   "0 @R1@ REPO\n0 @O1@ OBJE\n0 @U1@ SUBM\n0 @X1@ _LOC\n0 TRLR\n";
	FILE *in = open_bytes(gedcom);
	ged_model m;
	ASSERT_TRUE(build_model(text_over(in), m));
	std::fclose(in);
	const ged_kind kinds[] = {ged_kind::other, ged_kind::individual, ged_kind::family, ged_kind::source,
				  ged_kind::note, ged_kind::shared_note, ged_kind::repository, ged_kind::media,
				  ged_kind::submitter, ged_kind::other, ged_kind::other};
	ASSERT_EQ(m.records.size, std::size(kinds));
	for (std::size_t i = 0; i < std::size(kinds); ++i) {
		SCOPED_TRACE(i);
		EXPECT_EQ(m.records[i].kind, kinds[i]);
		EXPECT_EQ(m.records[i].line, i + 1);
	}
	EXPECT_EQ(find_record(m, "@N2@"), 5u);
}

// Each line as "number@offset:text|".
static std::string line_entry(std::uint64_t number, std::uint64_t offset, std::string_view text)
{
	return std::to_string(number) + "@" + std::to_string(offset) + ":" + std::string(text) + "|";
}

// The lines as lineagecheck -v cuts them, from blocks of `size` bytes at a time.
static std::string cut_in_spans(std::string_view text, std::size_t size)
{
	alignas(mask_span) static std::array<char, 256 + mask_span> block;
	std::string lines;
	std::string carry;
	std::uint64_t carry_at = 0;
	std::uint64_t number = 1;
	span_cutter c;
	for (std::size_t at = 0; at < text.size(); at += size) {
		std::string_view b = text.substr(at, size);
		block.fill('\0');
		std::memcpy(block.data(), b.data(), b.size());
		std::size_t tail = cut_spans(c, block.data(), b.size(), [&](std::size_t start, std::size_t end) {
			if (carry.empty())
				carry_at = at + start;
			lines += line_entry(number++, carry_at, carry + std::string(b.substr(start, end - start)));
			carry.clear();
		});
		if (tail < b.size() && carry.empty())
			carry_at = at + tail;
		carry += b.substr(tail);
	}
	if (!carry.empty())
		lines += line_entry(number, carry_at, carry);
	return lines;
}

// The lines' offsets that the tree's search for records is given, from pieces of `size`
// bytes: those of lines that begin with a 0 or a blank.
static std::string starts_in_pieces(std::string_view text, std::size_t size)
{
	std::string starts;
	bool starts_line = true;
	for (std::size_t at = 0; at < text.size(); at += size) {
		std::string_view piece = text.substr(at, size);
		starts_line = each_line_start<'0', ' ', '\t'>(piece, at, 0, starts_line,
			[&](std::size_t start) { starts += std::to_string(at + start) + " "; });
	}
	return starts;
}

// Lines, offsets and numbers are the same whether the text comes whole or in blocks of any
// size that holds a byte-order mark, whichever line end it uses and wherever a block cuts a
// CR LF or the last line, through every cutter of lines: the whole text's, -v's span by span,
// the tree's search for record lines and its line by line.
TEST(TextLines, EveryCutterCutsTheSameLinesInBlocksOfEverySize)
{
	struct text_case {
		const char *name;
		std::string text;
		const char *lines; // each as "number@offset:text|"
	};
	const std::string past_span = "0 HEAD\r\n1 NOTE " + std::string(70, 'n') + "\r\n 0 TRLR\n";
	const text_case cases[] = {
		{"LF, the last line unended", "0 HEAD\n1 X\n0 TRLR", "1@0:0 HEAD|2@7:1 X|3@11:0 TRLR|"},
		{"CR LF", "0 HEAD\r\n1 X\r\n", "1@0:0 HEAD|2@8:1 X|"},
		{"lone CR, then an empty line", "0 HEAD\r1 X\r\r0 TRLR\r", "1@0:0 HEAD|2@7:1 X|3@11:|4@12:0 TRLR|"},
		{"the mark passed over, its bytes counted", "\xEF\xBB\xBF" "0 HEAD\n0 TRLR\n", "1@3:0 HEAD|2@10:0 TRLR|"},
		{"the mark, then a blank", "\xEF\xBB\xBF" " 0 HEAD\r\n", "1@3: 0 HEAD|"},
		{"half a mark is text", "\xEF\xBB" "0 HEAD\n", "1@0:\xEF\xBB" "0 HEAD|"},
		{"only the mark", "\xEF\xBB\xBF", ""},
		{"LF CR is two ends", "a\n\rb", "1@0:a|2@2:|3@3:b|"},
		{"a line past a span", past_span, "1@0:0 HEAD|2@8:1 NOTE nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn|3@87: 0 TRLR|"},
	};
	for (const text_case &c : cases) {
		SCOPED_TRACE(c.name);
		auto record = [](std::string &to) {
			return [&to](const text_line &l) {
				to += line_entry(l.number, l.offset, l.text);
				return true;
			};
		};
		std::string whole;
		std::string starts;
		each_text_line(c.text, [&](const text_line &l) {
			whole += line_entry(l.number, l.offset, l.text);
			if (!l.text.empty() && (l.text[0] == '0' || is_blank(l.text[0])))
				starts += std::to_string(l.offset) + " ";
			return true;
		});
		EXPECT_EQ(whole, c.lines);
		std::string by_line;
		std::uint64_t number = 1;
		for (std::size_t pos = utf8_mark_length(c.text); pos < c.text.size(); ++number) {
			line_span l = line_from(c.text, pos);
			by_line += line_entry(number, pos, std::string_view(c.text).substr(pos, l.end - pos));
			pos = l.next;
		}
		EXPECT_EQ(by_line, whole);
		for (std::size_t size = utf8_mark.size(); size <= c.text.size(); ++size) {
			std::string cut;
			line_cutter cutter;
			for (std::size_t at = 0; at < c.text.size(); at += size)
				cut_block(cutter, std::string_view(c.text).substr(at, size), false, record(cut));
			cut_block(cutter, {}, true, record(cut));
			EXPECT_EQ(cut, whole) << "blocks of " << size;
			EXPECT_EQ(cut_in_spans(c.text, size), whole) << "spans, blocks of " << size;
			EXPECT_EQ(starts_in_pieces(c.text, size), starts) << "starts, pieces of " << size;
		}
	}
}
