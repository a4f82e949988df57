// The reader on the shapes files take: line ends, byte-order marks, indentation, odd
// cross-references, lines cut by the reading pieces, and broken links.
#include <gtest/gtest.h>

#include "lineagetree.h"

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct memory_file {
	std::string text;
	record_index index;
	explicit memory_file(std::string t) : text(std::move(t))
	{
		ged_source source;
		source.text = text;
		EXPECT_TRUE(index_records(source, index));
	}
	std::string name_of(std::string_view number) const
	{
		std::size_t at = find_person(index, number);
		return at == no_record ? "(none)" : view_of(index, at).pedigree[0].name;
	}
};

// The same text as a file on disk, read through the file's pieces.
struct disk_file {
	std::string path;
	opened_file file;
	explicit disk_file(const std::string &text)
	{
		char tmpl[] = "/tmp/treereadXXXXXX";
		int fd = mkstemp(tmpl);
		EXPECT_GE(fd, 0);
		EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
		close(fd);
		path = tmpl;
		EXPECT_TRUE(open_tree_file(path.c_str(), file));
	}
	~disk_file() { unlink(path.c_str()); }
};

std::vector<std::pair<std::size_t, std::string>> record_lines(const ged_source &source)
{
	std::vector<std::pair<std::size_t, std::string>> lines;
	EXPECT_TRUE(each_record_line(source, [&](std::size_t at, const ged_line &l) {
		lines.emplace_back(at, std::string(l.xref) + " " + std::string(l.tag));
	}));
	return lines;
}

} // namespace

TEST(ReaderShapes, EveryShapeFindsThePerson)
{
	const std::string long_xref = "@" + std::string(3000, 'x') + "@";
	struct shape {
		const char *what;
		std::string text;
		std::string number;
		std::string name;
	} shapes[] = {
		{"LF", "0 HEAD\n0 @I1@ INDI\n1 NAME Ann\n0 TRLR\n", "1", "Ann"},
		{"CR", "0 HEAD\r0 @I1@ INDI\r1 NAME Ann\r0 TRLR\r", "1", "Ann"},
		{"CR LF", "0 HEAD\r\n0 @I1@ INDI\r\n1 NAME Ann\r\n0 TRLR\r\n", "1", "Ann"},
		{"mixed", "0 HEAD\r\n0 @I2@ INDI\r1 NAME Bo\n0 @I1@ INDI\n\r1 NAME Ann\r0 TRLR", "1", "Ann"},
		{"byte-order mark", "\xEF\xBB\xBF" "0 @I1@ INDI\n1 NAME Ann\n", "1", "Ann"},
		{"indented", "  0 HEAD\n\t 0   @I1@\tINDI\n \t1\t NAME   Ann  \t\n", "1", "Ann"},
		{"no line end", "0 @I1@ INDI\n1 NAME Ann", "1", "Ann"},
		{"long cross-reference", "0 " + long_xref + " INDI\n1 NAME Ann\n", long_xref, "Ann"},
		{"blank inside", "0 @I 1@ INDI\n1 NAME Ann\n", "@I 1@", "Ann"},
		{"no closing @: the word", "0 @I1 INDI\n1 NAME Ann\n", "@I1", "Ann"},
		{"family, not a person", "0 @I1@ FAM\n1 NAME Ann\n", "1", "(none)"},
		{"level 01 is no record", "0 @I2@ INDI\n01 @I1@ INDI\n1 NAME Ann\n", "1", "(none)"},
		{"NUL bytes", std::string("0 @I1@ INDI\n1 NAME A\0n\n", 23), "1", std::string("A\0n", 3)},
		{"empty file", "", "1", "(none)"},
		{"a person's record without cross-reference", "0 INDI\n1 NAME Bo\n0 @I1@ INDI\n1 NAME Ann\n", "2", "(none)"},
	};
	for (const shape &s : shapes) {
		SCOPED_TRACE(s.what);
		memory_file f(s.text);
		EXPECT_EQ(f.name_of(s.number), s.name);
	}
}

TEST(ReaderShapes, NumbersCompareAsTheViewerComparesThem)
{
	memory_file f("0 @I70@ INDI\n1 NAME Seventy\n0 @I0007@ INDI\n1 NAME Padded\n0 @I7@ INDI\n"
		      "1 NAME Plain\n0 @Ixy@ INDI\n1 NAME Letters\n");
	EXPECT_EQ(f.name_of("7"), "Plain");       // @I7@ itself comes first
	EXPECT_EQ(f.name_of("0007"), "Padded");
	EXPECT_EQ(f.name_of("07"), "Padded");     // no @I07@: the first of value 7
	EXPECT_EQ(f.name_of("7abc"), "Padded");
	EXPECT_EQ(f.name_of("0"), "Letters");     // no digits count as 0
	EXPECT_EQ(f.name_of("8"), "(none)");
}

TEST(ReaderShapes, FirstRecordOfACrossReferenceWins)
{
	memory_file f("0 @I1@ INDI\n1 NAME First\n0 @I1@ INDI\n1 NAME Second\n");
	EXPECT_EQ(f.name_of("1"), "First");
	EXPECT_EQ(f.index.count, 1u);
}

// Lines of every length and end, cut anywhere by the reading pieces, give the same records
// read from the disk as from memory.
TEST(ReaderPieces, FileReadsLikeMemory)
{
	std::mt19937 random(7);
	std::string text = "\xEF\xBB\xBF";
	const char *ends[] = {"\n", "\r", "\r\n", "\n\r"};
	for (int n = 0; text.size() < 2000000; n++) {
		int kind = static_cast<int>(random() % 1000);
		std::string pad(random() % 3 == 0 ? random() % 3 : 0, random() % 2 ? ' ' : '\t');
		if (kind < 300)
			text += pad + "0 @R" + std::to_string(n) + "@ INDI";
		else if (kind < 302)
			text += pad + "0 @N" + std::to_string(n) + "@ NOTE " + std::string(random() % 300000, 'n');
		else
			text += pad + "1 NOTE " + std::string(random() % 200, 'v');
		text += ends[random() % 4];
	}
	memory_file memory(text);
	disk_file disk(text);
	auto expected = record_lines(memory.index.source);
	EXPECT_GT(expected.size(), 1000u);
	EXPECT_EQ(record_lines(disk.file.source), expected);

	record_index from_disk;
	ASSERT_TRUE(index_records(disk.file.source, from_disk));
	EXPECT_EQ(from_disk.count, memory.index.count);
	// A record read again from the file comes as the reader hands text on: indentation dropped.
	std::string a;
	std::string b;
	for (std::size_t i = 0; i < expected.size(); i += 97) {
		std::string_view raw = record_text(memory.index.source, expected[i].first, b);
		std::string text(decoded_room(raw.size()), '\0');
		text.resize(ged_decode_raw(*disk.file.file, raw, text.data()));
		EXPECT_EQ(record_text(disk.file.source, expected[i].first, a), text);
	}
}

// A file that names ANSEL is UTF-8 when its first high byte begins a UTF-8 letter, though
// the piece the search reads ends inside that letter; the person's record is longer than any
// piece a record is read in.
TEST(ReaderPieces, NamedSetIsDecidedByALetterThePieceCuts)
{
	std::string head = "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NOTE ";
	std::string text = head + std::string((1 << 18) - 1 - head.size(), 'n') + "\xC3\xA5\n1 NAME \xC3\xA5sa\n0 TRLR\n";
	disk_file disk(text);
	record_index index;
	ASSERT_TRUE(index_records(disk.file.source, index));
	std::size_t at = find_person(index, "1");
	ASSERT_NE(at, no_record);
	EXPECT_EQ(view_of(index, at).pedigree[0].name, "åsa");
}

TEST(ReaderPieces, FoldersAndMissingFilesCannotBeRead)
{
	opened_file folder;
	EXPECT_FALSE(open_tree_file("/tmp", folder));
	opened_file missing;
	EXPECT_FALSE(open_tree_file("/nonexistent/family.ged", missing));
}

TEST(Relations, PartnerIsTheFirstLinkedSideThatIsNotThePerson)
{
	memory_file f("0 @I1@ INDI\n1 FAMS @F1@\n1 FAMS @F2@\n1 FAMS @F3@\n"
		      "0 @F1@ FAM\n1 HUSB @I9@\n1 WIFE @I2@\n"   // husband not in the file
		      "0 @F2@ FAM\n1 HUSB @I1@\n1 WIFE @I3@\n"   // the person is the husband
		      "0 @F3@ FAM\n1 WIFE @I1@\n1 HUSB @I1@\n"   // only the person
		      "0 @I2@ INDI\n1 NAME Two\n0 @I3@ INDI\n1 NAME Three\n");
	family_view v = view_of(f.index, find_person(f.index, "1"));
	ASSERT_EQ(v.families.size(), 3u);
	EXPECT_EQ(v.families[0].partner.name, "Two");
	EXPECT_EQ(v.families[1].partner.name, "Three");
	EXPECT_EQ(v.families[2].partner.at, no_record);
}

TEST(Relations, AncestorsLoopingBackEndAtTheGreatGrandparents)
{
	// Two people who are each other's parent.
	memory_file f("0 @I1@ INDI\n1 FAMC @F2@\n0 @I2@ INDI\n1 FAMC @F1@\n"
		      "0 @F1@ FAM\n1 HUSB @I1@\n0 @F2@ FAM\n1 WIFE @I2@\n");
	family_view v = view_of(f.index, find_person(f.index, "1"));
	const char *expected[pedigree_places] = {"@I1@", "", "@I2@", "", "", "@I1@", "", "", "", "",
		"", "", "@I2@", "", ""};
	for (int p = 0; p < pedigree_places; p++)
		EXPECT_EQ(v.pedigree[p].xref, expected[p]) << relation_name(p);
}

// Every individual of the version 7 samples, by number where the cross-reference holds one
// and by cross-reference where it does not; @VOID@ links show no one.
TEST(ReaderShapes, EveryPersonOfTheVersion7SamplesAndNoOneForVoid)
{
	const std::string void_family = "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 NAME Ann\n1 FAMC @VOID@\n"
		"1 FAMC @F1@\n1 FAMS @F2@\n0 @F1@ FAM\n1 HUSB @VOID@\n1 WIFE @I3@\n1 CHIL @VOID@\n1 CHIL @I1@\n"
		"0 @F2@ FAM\n1 WIFE @VOID@\n1 CHIL @VOID@\n0 @I3@ INDI\n1 NAME Mum\n0 @VOID@ INDI\n1 NAME Void\n0 TRLR\n";
	struct {
		std::string file;
		std::string argument;
		std::string listing; // relations and cross-references, one a line
	} cases[] = {
		{"age-valid.ged", "@SIMPLE@", "person @SIMPLE@\n"},
		{"date-all.ged", "@CLOSED_PERIOD@", "person @CLOSED_PERIOD@\n"},
		{"date-dual-invalid.ged", "1", "person @1@\n"},
		{"enum-ext.ged", "2", "person @2@\n"},
		{"enum-ext.ged", "0005", "person @5@\n"},
		{"enum-ext.ged", "3", ""}, // @3@ is a place of an extension's
		{"obje-1.ged", "2", "person @2@\n"},
		{"pedi-1.ged", "1", "person @1@\n"},
		{"rela_1.ged", "2", "person @I2@\n"},
		{"sour-1.ged", "1", "person @1@\n"},
		{"sour-1.ged", "2", ""}, // @2@ is a source
		{"../5/pedi-1.ged", "1", ""}, // version 5.5.1 numbers only @I records
		{"../5/pedi-1.ged", "@1@", "person @1@\n"},
		{"", "1", "person @I1@\nmother @I3@\n"},
		{"", "@VOID@", ""},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.file + " " + c.argument);
		memory_file f(void_family);
		opened_file file;
		if (!c.file.empty()) {
			ASSERT_TRUE(open_tree_file((std::string(LINEAGE_SAMPLES_DIR) + "/gedcom7code/7/" + c.file).c_str(), file));
			ASSERT_TRUE(index_records(file.source, f.index));
		}
		std::size_t at = find_person(f.index, c.argument);
		std::string listing;
		if (at != no_record) {
			char *printed = nullptr;
			std::size_t size = 0;
			FILE *out = open_memstream(&printed, &size);
			ASSERT_TRUE(print_view(view_of(f.index, at), out));
			std::fclose(out);
			std::istringstream lines(std::string(printed, size));
			std::free(printed);
			for (std::string line; std::getline(lines, line);) {
				std::size_t tab = line.find('\t');
				listing += line.substr(0, tab) + " " + line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1) + "\n";
			}
		}
		EXPECT_EQ(listing, c.listing);
	}
}
