// Tests of -v over GEDZIP archives, each archive written by the test.
#include <gtest/gtest.h>

#include "gedzip.h"
#include "memfile.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct entry {
	std::string name;
	std::string bytes;
};

const std::string head7 = "0 HEAD\n1 GEDC\n2 VERS 7.0\n";

// An archive of the entries, deflated, at `path`; `declared`, when set, replaces gedcom.ged's
// uncompressed size in both of its headers, as a forged archive would.
void write_archive(const std::string &path, const std::vector<entry> &entries, std::uint32_t declared = 0)
{
	int error = 0;
	zip_t *zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
	ASSERT_NE(zip, nullptr);
	for (const entry &e : entries) {
		zip_source_t *s = zip_source_buffer(zip, e.bytes.data(), e.bytes.size(), 0);
		ASSERT_GE(zip_file_add(zip, e.name.c_str(), s, ZIP_FL_ENC_UTF_8), 0);
	}
	ASSERT_EQ(zip_close(zip), 0);
	if (declared == 0)
		return;
	std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
	std::string bytes((std::istreambuf_iterator<char>(f)), {});
	// The size lies at `offset` in a header, its name at `name_at`.
	auto patch = [&](const char *signature, std::size_t offset, std::size_t name_at) {
		for (std::size_t at = bytes.find(signature); at != std::string::npos; at = bytes.find(signature, at + 1))
			if (bytes.compare(at + name_at, 10, "gedcom.ged") == 0) {
				f.seekp(static_cast<std::streamoff>(at + offset));
				f.write(reinterpret_cast<const char *>(&declared), 4);
			}
	};
	patch("PK\3\4", 22, 30);
	patch("PK\1\2", 24, 46);
}

struct archive_case {
	const char *what;
	std::vector<entry> entries;
	std::uint32_t declared;
	long long found;
	std::string out; // the findings, or words of the refusal
};

// The text with each ARCHIVE in it the archive's path.
std::string named(std::string text, const std::string &path)
{
	for (std::size_t at = text.find("ARCHIVE"); at != std::string::npos; at = text.find("ARCHIVE", at + path.size()))
		text.replace(at, 7, path);
	return text;
}

} // namespace

TEST(Gedzip, ArchivesAreJudgedOrRefusedWithoutUnpacking)
{
	const std::string media = head7 + "0 @O1@ OBJE\n1 FILE media/a.jpg\n2 FORM image/jpeg\n1 FILE media/b%20c.jpg\n"
					  "2 FORM image/jpeg\n1 FILE https://example.com/d.jpg\n2 FORM image/jpeg\n"
					  "1 FILE media/gone.jpg\n2 FORM image/jpeg\n0 TRLR\n";
	const std::string big(3 << 20, 'x');
	const std::vector<archive_case> cases = {
		{"each local path an entry, but one", {{"gedcom.ged", media}, {"media/a.jpg", "j"}, {"media/b c.jpg", "j"}}, 0, 1,
		 "ARCHIVE:11: FILE \"media/gone.jpg\" has no entry in the archive\n1 problem found in ARCHIVE.\n"},
		{"a 5.5.1 file by the 5.5.1 rules", {{"gedcom.ged", "0 HEAD\n1 NOTE " + std::string(300, 'n') + "\n0 TRLR\n"}}, 0, 2,
		 "ARCHIVE:1: HEAD without SOUR, SUBM, GEDC or CHAR\n"
		 "ARCHIVE:2: line of 307 characters, longer than GEDCOM's 255\n2 problems found in ARCHIVE.\n"},
		{"no gedcom.ged", {{"family.ged", head7 + "0 TRLR\n"}}, 0, archive_refused, "the archive holds no gedcom.ged"},
		{"a .. part", {{"gedcom.ged", head7 + "0 TRLR\n"}, {"media/../../x", "j"}}, 0, archive_refused,
		 "the entry \"media/../../x\" names a place outside the archive"},
		{"a leading /", {{"gedcom.ged", head7 + "0 TRLR\n"}, {"/etc/x", "j"}}, 0, archive_refused,
		 "the entry \"/etc/x\" names a place outside the archive"},
		{"a bomb by its header", {{"gedcom.ged", head7 + "1 NOTE " + big + "\n0 TRLR\n"}}, 0, archive_refused,
		 "the entry \"gedcom.ged\" would unpack to over 200 times its size: refused as a zip bomb"},
		{"a header that lies", {{"gedcom.ged", head7 + "1 NOTE " + big + "\n0 TRLR\n"}}, 1000, archive_refused,
		 "gedcom.ged unpacks to more than its header says: refused as a zip bomb"},
	};
	std::string path = (std::filesystem::temp_directory_path() / ("gedzip-test-" + std::to_string(getpid()))).string();
	for (const archive_case &c : cases) {
		SCOPED_TRACE(c.what);
		write_archive(path, c.entries, c.declared);
		ASSERT_TRUE(is_zip_archive(path.c_str()));
		archive_refusal why{};
		long long found = 0;
		std::string out = written_by([&](FILE *o) { found = print_archive_findings(path.c_str(), o, why); });
		EXPECT_EQ(found, c.found);
		if (found == archive_refused) {
			EXPECT_EQ(out, "");
			EXPECT_NE(std::string(why.data()).find(c.out), std::string::npos) << why.data();
		} else {
			EXPECT_EQ(out, named(c.out, path));
		}
	}
	std::filesystem::remove(path);
}
