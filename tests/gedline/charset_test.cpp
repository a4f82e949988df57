// The reader's letters: every table entry, the forms of UTF-16, ANSEL's marks, stray bytes,
// indentation, and the places where blocks and pieces cut the text.
#include <gtest/gtest.h>

#include "gedfile.h"
#include "gedline.h"
#include "memfile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The text the reader hands on for these bytes, asked for `block` bytes at a time.
std::string text_of(std::string_view bytes, std::size_t block = text_block)
{
	FILE *in = open_bytes(bytes);
	ged_text &t = text_over(in);
	std::string out(block, '\0'), all;
	while (std::size_t got = ged_read(t, out.data(), block)) {
		EXPECT_LE(got, block) << "more text than the room asked for";
		all.append(out, 0, got);
	}
	std::fclose(in);
	return all;
}

std::string named(std::string_view set, std::string_view body)
{
	return "0 HEAD\n1 CHAR " + std::string(set) + "\n" + std::string(body);
}

} // namespace

TEST(CharsetTables, EveryAnselAndWindowsEntry)
{
	const char *ansel_table =
		"\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xB0\xB1\xB2\xB3\xB4\xB5\xB6\xB7"
		"\xB8\xB9\xBA\xBC\xBD\xBE\xBF\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xCD\xCE\xCF";
	EXPECT_EQ(text_of(named("ANSEL", ansel_table)),
		named("ANSEL", "ŁØĐÞÆŒʹ·♭®±ƠƯʼʻłøđþæœʺı£ðơư□■°ℓ℗©♯¿¡ß€eoß"));
	// Each mark on "a", written after it; those without a composed form stay combining.
	const char *marks = "\xE0" "a\xE1" "a\xE2" "a\xE3" "a\xE4" "a\xE5" "a\xE6" "a\xE7" "a\xE8" "a\xE9"
			    "a\xEA" "a\xEB" "a\xEC" "a\xED" "a\xEE" "a\xEF" "a\xF0" "a\xF1" "a\xF2" "a\xF3"
			    "a\xF4" "a\xF5" "a\xF6" "a\xF7" "a\xF8" "a\xF9" "a\xFA" "a\xFB" "a\xFE" "a";
	EXPECT_EQ(text_of(named("ansel", marks)),
		named("ansel", "ảàáâãāăȧäǎåa\uFE20a\uFE21a\u0315a\u030Ba\u0310a\u0327ąạa\u0324ḁa\u0333a\u0332"
			       "a\u0326a\u031Ca\u032Ea\uFE22a\uFE23a\u0313"));
	std::string every;
	for (int b = 0x80; b < 0x100; b++)
		every += static_cast<char>(b);
	EXPECT_EQ(text_of(named("WINDOWS-1252", "\x80" + every.substr(1))),
		named("WINDOWS-1252", "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"
			  "\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß"
			  "àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ"));
}

TEST(CharsetChoice, TheFirstHighByteDecidesANamedSet)
{
	struct {
		std::string bytes;
		std::string text;
	} cases[] = {
		// Named ANSI or ANSEL, but the first high byte begins UTF-8: UTF-8 throughout.
		{named("ANSI", "1 NAME \xC3\xA5sa\n2 NOTE \xE9\n"), named("ANSI", "1 NAME åsa\n2 NOTE é\n")},
		{named(" latin1 ", "1 NAME \xE5sa\n"), named(" latin1 ", "1 NAME åsa\n")},
		{named("ANSEL", "1 NAME \xE8o \xC3\xA5\n"), named("ANSEL", "1 NAME ö ©Æ\n")},
		// Version 7 is UTF-8 whatever CHAR says; the same CHAR under 5.5.1 still names the set.
		{"0 HEAD\n1 GEDC\n2 VERS 7.0\n1 CHAR ANSEL\n1 NAME \xE8o\n", "0 HEAD\n1 GEDC\n2 VERS 7.0\n1 CHAR ANSEL\n1 NAME èo\n"},
		{"0 HEAD\n1 CHAR ANSEL\n1 GEDC\n2 VERS 7.1\n1 NAME \xE8o\n", "0 HEAD\n1 CHAR ANSEL\n1 GEDC\n2 VERS 7.1\n1 NAME èo\n"},
		{"0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR ANSEL\n1 NAME \xE8o\n", "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR ANSEL\n1 NAME ö\n"},
		// A source's version is not the file's.
		{"0 HEAD\n1 SOUR X\n2 VERS 7.0\n1 CHAR ANSEL\n1 NAME \xE8o\n", "0 HEAD\n1 SOUR X\n2 VERS 7.0\n1 CHAR ANSEL\n1 NAME ö\n"},
		// A stray byte in UTF-8 is its windows-1252 letter; so is a cut or overlong sequence.
		{"0 HEAD\n1 NAME Gr\xFC" "ber \xC0\xAF \xE2\x82\n", "0 HEAD\n1 NAME Grüber À¯ â‚\n"},
		{"0 HEAD\n1 NAME \xE0\x80\xAF\n", "0 HEAD\n1 NAME à€¯\n"},
		// A mark with no letter after it stays at the line's end, and joins a letter before it.
		{named("ANSEL", "1 NAME X\xE2\n1 NAME Q\xE2"), named("ANSEL", "1 NAME X\u0301\n1 NAME Q\u0301")},
		{named("ANSEL", "1 NAME Ne\xE2\n"), named("ANSEL", "1 NAME Né\n")},
		// Two marks of one class keep the order they were written in: acute, then circumflex.
		{named("ANSEL", "1 NAME \xE2\xE3" "a \xE3\xE2" "a\n"), named("ANSEL", "1 NAME á\u0302 ấ\n")},
		// A lone surrogate, and an odd last byte, are each a replacement character.
		{std::string("0\0 \0\x00\xD8" "A\0\n\0\x41", 11), "0 \uFFFDA\n\uFFFD"},
		{std::string("\xFE\xFF\0" "0\xD8\x3D\xDE\x00", 8), "0😀"},
		{std::string("\xFE\xFF\0" "0\xD8\x3D\xDC\x00", 8), "0🐀"},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.text);
		EXPECT_EQ(text_of(c.bytes), c.text);
	}
}

// Each replaced byte is told at the start of its line in the text, wherever blocks fall and
// whether the lines before it were read plainly or decoded.
TEST(CharsetChoice, ReplacedBytesAreToldAtTheStartOfTheirLine)
{
	const std::string bytes = "0 HEAD\n1 NOTE ok\n1 NOTE b\xE9\n1 NOTE ok\n1 NOTE \xFF\xFF\n";
	for (std::size_t block : {std::size_t{64}, text_block}) {
		SCOPED_TRACE(block);
		static std::vector<std::uint64_t> told;
		told.clear();
		FILE *in = open_bytes(bytes);
		ged_text &t = text_over(in);
		t.invalid = invalid_sink{[](void *, std::uint64_t at) { told.push_back(at); }, nullptr};
		std::string out(block, '\0');
		while (ged_read(t, out.data(), block) != 0) {
		}
		t.invalid = invalid_sink{};
		std::fclose(in);
		EXPECT_EQ(told, (std::vector<std::uint64_t>{17, 38, 38}));
	}
}

// Every name of windows-1252 a file may give: its high bytes are letters, none replaced, even
// where they would be stray bytes of UTF-8.
TEST(CharsetChoice, EveryNameOfWindows1252ReadsEachByteAsItsLetter)
{
	for (const char *name : {"ANSI", "windows", "WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1",
		     "Latin-1"}) {
		SCOPED_TRACE(name);
		static int told;
		told = 0;
		std::string bytes = named(name, "1 NAME \xE5\x80\xE9\n");
		FILE *in = open_bytes(bytes);
		ged_text &t = text_over(in);
		t.invalid = invalid_sink{[](void *, std::uint64_t) { told++; }, nullptr};
		std::string all;
		EXPECT_TRUE(ged_read_all(t, all));
		t.invalid = invalid_sink{};
		std::fclose(in);
		EXPECT_EQ(all, named(name, "1 NAME å€é\n"));
		EXPECT_EQ(told, 0);
	}
}

TEST(CharsetPrefixes, IndentationAndRunsOfBlanksBeforeTheTagGo)
{
	EXPECT_EQ(text_of("  0 HEAD\n\t1   SOUR  PAF\r  2\tVERS 2\r\n0  @I1@\t INDI  x  \n1 @  NOTE\n"),
		"0 HEAD\n1 SOUR  PAF\r2 VERS 2\r\n0 @I1@ INDI  x  \n1 @  NOTE\n");
	// The same in a file the decoder reads, and in one whose first line is indented after a mark.
	EXPECT_EQ(text_of(named("ANSI", "  1   NAME \xE5\n")), named("ANSI", "1 NAME å\n"));
	EXPECT_EQ(text_of("\xEF\xBB\xBF  0 HEAD\n"), "\xEF\xBB\xBF" "0 HEAD\n");
}

// Runs of blanks in a line's value stay as they are; what follows them on the same line is
// still mended, and so is the prefix of the next line, whatever the block.
TEST(CharsetPrefixes, BlanksInAValueStayAndWhatFollowsThemIsStillMended)
{
	struct form {
		std::string_view bytes;
		std::string_view text;
	};
	const form forms[] = {
		{"2 CONC  in witness  of\n", "2 CONC  in witness  of\n"},
		{"2 CONC a  b \n  3 CONT   c\n", "2 CONC a  b \n3 CONT   c\n"},
		{"1 NOTE a  b\tc\n", "1 NOTE a  b\tc\n"},
		{"1 NOTE a  b \xFF c\n", "1 NOTE a  b \xC3\xBF c\n"},
		{"1 NOTE a   \xC3\xA9  \r\n0  @I1@  INDI\n", "1 NOTE a   \xC3\xA9  \r\n0 @I1@ INDI\n"},
		{"0 @N1@ NOTE  x  y\n1  CONC  z\n", "0 @N1@ NOTE  x  y\n1 CONC  z\n"},
		{"1 @  NOTE  a\n", "1 @  NOTE  a\n"},
	};
	for (const form &f : forms) {
		SCOPED_TRACE(f.bytes);
		std::string bytes = "0 HEAD\n" + std::string(f.bytes) + "0 TRLR\n";
		EXPECT_EQ(text_of(bytes), "0 HEAD\n" + std::string(f.text) + "0 TRLR\n");
		for (std::size_t block = read_min; block < 120; block++)
			ASSERT_EQ(text_of(bytes, block), text_of(bytes)) << block;
	}
}

// Blocks of every size fall inside UTF-16 pairs, between ANSEL marks and their letters, and
// inside long lines; the text is the same whatever the block.
TEST(CharsetBlocks, EveryBlockSizeGivesTheSameText)
{
	std::string ansel_line = "1 NOTE";
	for (int i = 0; i < 3000; i++)
		ansel_line += i % 3 ? "\xE8o" : "\xE3\xF2" "e";
	std::string utf16 = "\xFF\xFE";
	for (int i = 0; i < 3000; i++)
		utf16 += std::string(i % 50 ? "\x3D\xD8\x00\xDE" : "\n\0", 4 - 2 * (i % 50 == 0));
	std::string utf8 = "0 HEAD\n" + std::string(300000, 'x') + "\xF0\x9F\x98\x80\n  1 NAME \xFF\n";
	for (const std::string &bytes : {named("ANSEL", ansel_line + "\n"), utf16, utf8}) {
		std::string whole = text_of(bytes);
		for (std::size_t block : {std::size_t{64}, std::size_t{65}, std::size_t{67}, std::size_t{100}, std::size_t{1021}, std::size_t{4096}})
			ASSERT_TRUE(text_of(bytes, block) == whole) << block;
	}
	EXPECT_NE(text_of(named("ANSEL", ansel_line)).find("öệö"), std::string::npos);
	// Lines read plainly, then one that begins with a letter and holds a stray byte: the
	// decoder takes over with whatever room the block has left.
	std::string mixed = "0 HEAD\r\n";
	for (int i = 0; i < 200; i++)
		mixed += "\xC3\xA9" + std::string(i % 37, 'x') + (i % 5 ? "" : "\xC3") + (i % 3 ? "\n" : "\r\n");
	// A letter with marks of two classes before it and after it at the end of its line, and
	// one after a run of letters that could continue UTF-8 in a file still to be decided:
	// however the line is cut, the marks are put in order as one group.
	std::string group = named("ANSEL", "1 NOTE " + std::string(40, '\xA1') + std::string(8, '\xF0') + "\xFF" +
		std::string(5, '\xF0') + "\xE1\xE1\xE1\xF0\xF0\n");
	std::string undecided = named("ANSEL", "1 N " + std::string(16, '\xA1') + "\xE1\xF0\n");
	// Each byte a letter of three bytes: the text grows three times over what was read.
	std::string euros = named("ANSI", "1 NOTE " + std::string(700, '\x80') + "\n" + std::string(90, '\x80'));
	for (const std::string &bytes : {mixed, group, undecided, euros}) {
		std::string whole = text_of(bytes);
		for (std::size_t block = read_min; block < 200; block++)
			ASSERT_TRUE(text_of(bytes, block) == whole) << block;
	}
}

TEST(CharsetPieces, ALetterNeverCrossesTheEndOfAPiece)
{
	static piece_reader r;
	for (std::size_t lead = 75; lead <= 79; lead++) {
		std::string line = std::string(lead, 'x') + "ł€😀tail\n";
		FILE *in = open_bytes(line);
		std::vector<std::string> pieces;
		read_pieces(r, text_over(in), [&](std::string_view p) {
			pieces.emplace_back(p);
			return true;
		});
		std::fclose(in);
		std::string joined;
		for (const std::string &p : pieces) {
			EXPECT_LE(p.size(), piece_max);
			EXPECT_TRUE(p.ends_with("\n") || p.size() + 4 > piece_max) << "cut short: " << p;
			EXPECT_EQ(text_of(p), p) << "a piece that is not whole UTF-8";
			joined += p;
		}
		EXPECT_EQ(joined, line);
	}
}

// The piece reader is handed most lines as the file has them and looks over them itself: what
// it cuts into pieces is the text the reader hands on, for a line that needs tidying or
// decoding at any place of a span and of a block, in any block size, with or without the pair.
TEST(CharsetPieces, PiecesJoinIntoTheMendedTextWhereverTheLineFalls)
{
	// Strings, not views: two of the lines are made here, and a view would outlive them.
	const std::string lines[] = {
		"  1 NAME a\n",
		"\t1 NAME a\n",
		"1\tNAME a\n",
		"1   NAME a\n",
		"0  @I1@\t INDI\n",
		"0 @I1@  INDI\n",
		"1 NOTE a  b\tc \n2 CONC  in\n",
		"1 NOTE a\r  2 CONT b\r\n",
		"1 NAME \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n",
		"1 NAME \xE9t\xE9\n",
		"1 NOTE " + std::string(90, 'x') + "\xC3\n",
		"1 NOTE \xF0\x9F\x98\n",
	};
	const std::string_view heads[] = {"0 HEAD\n1 CHAR UTF-8\n", "0 HEAD\n1 CHAR ANSI\n", "\xEF\xBB\xBF" "0 HEAD\n"};
	static piece_reader r;
	for (std::string_view head : heads) {
		for (std::string_view line : lines) {
			for (std::size_t lead = 0; lead < 70; lead += 3) {
				// Clean lines first: only a read after the first is handed on unlooked.
				std::string bytes(head);
				for (int i = 0; i < 40; i++)
					bytes += "1 NOTE " + std::string(5 + (i * 7 + lead) % 40, 'n') + "\n";
				bytes += "1 NOTE " + std::string(lead, 'n') + "\n" + std::string(line) + "1 NOTE z\n0 TRLR\n";
				std::string want = text_of(bytes);
				for (std::size_t window : {std::size_t{144}, std::size_t{193}, std::size_t{1000}}) {
					for (bool noting : {false, true}) {
						std::string joined;
						FILE *in = open_bytes(bytes);
						if (noting)
							read_pieces(r, text_over(in), char_pair{'N', 'A'}, [&](std::string_view p, bool na) {
								EXPECT_EQ(na, p.find("NA") != std::string_view::npos) << p;
								joined += p;
								return true;
							}, window);
						else
							read_pieces(r, text_over(in), [&](std::string_view p) {
								joined += p;
								return true;
							}, window);
						std::fclose(in);
						ASSERT_EQ(joined, want) << head << line << " lead " << lead << " window " << window;
					}
				}
			}
		}
	}
}

// The submitter files in UTF-16, UTF-8 and ASCII: the note comes out as its characters.
TEST(CharsetSamples, EveryFormOfTheSubmitterFile)
{
	std::filesystem::path dir = std::filesystem::path(LINEAGE_SAMPLES_DIR) / "gedcom7code" / "5";
	if (!std::filesystem::exists(dir))
		GTEST_SKIP() << "no samples folder at " << dir;
	int files = 0;
	for (const auto &entry : std::filesystem::directory_iterator(dir)) {
		std::string name = entry.path().filename();
		if (!name.starts_with("char_"))
			continue;
		SCOPED_TRACE(name);
		files++;
		static ged_text t;
		ASSERT_TRUE(ged_open(t, entry.path().c_str()));
		std::string text;
		ASSERT_TRUE(ged_read_all(t, text));
		ged_close(t);
		EXPECT_NE(text.find("1 NAME Luther Tychonievich"), std::string::npos);
		EXPECT_NE(text.find("0 TRLR"), std::string::npos);
		bool ascii = name.starts_with("char_ascii");
		EXPECT_EQ(text.find("¶ ☺ 𒍅") != std::string::npos, !ascii);
	}
	EXPECT_EQ(files, 9);
}
