#include "UnZip/ziparchive.h"
#include "support/files.h"
#include "support/tempdir.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix::unzip;
using zentrix::test::Exists;
using zentrix::test::TempDir;

namespace {

// A ZIP archive with the given entries (a target starting with "->" makes a link).
void makeZip(const std::string& path,
             const std::vector<std::pair<std::string, std::string>>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, path.c_str());
    for (const auto& [name, content] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        if (content.rfind("->", 0) == 0) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, content.substr(2).c_str());
            archive_entry_set_size(e, 0);
            archive_write_header(a, e);
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, static_cast<la_int64_t>(content.size()));
            archive_write_header(a, e);
            archive_write_data(a, content.data(), content.size());
        }
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

} // namespace

TEST(UnZip, ExtractionNeverLeavesItsTarget) {
    TempDir tmp;
    tmp.mkdir("target");
    tmp.mkdir("outside");
    makeZip(tmp.at("slip.zip"), {{"../escaped.txt", "x"},
                                 {"/abs.txt", "x"},
                                 {"sub\\..\\..\\win.txt", "x"},
                                 {"link", "->../outside"},
                                 {"ok/inner.txt", "fine"}});
    const RunReport report = ExtractArchive(tmp.at("slip.zip"), tmp.at("target"), {}, {}, {});
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.written, 1);
    EXPECT_FALSE(Exists(tmp.at("escaped.txt")));
    EXPECT_FALSE(Exists("/abs.txt"));
    EXPECT_FALSE(Exists(tmp.at("win.txt")));
    EXPECT_FALSE(Exists(tmp.at("target/link")));
    EXPECT_TRUE(Exists(tmp.at("target/ok/inner.txt")));
    // A link already in the target is never followed.
    tmp.symlink(tmp.at("outside"), "target/door");
    makeZip(tmp.at("door.zip"), {{"door/through.txt", "x"}});
    EXPECT_FALSE(ExtractArchive(tmp.at("door.zip"), tmp.at("target"), {}, {}, {}).ok);
    EXPECT_FALSE(Exists(tmp.at("outside/through.txt")));
    // Existing files stay unless the user says to replace them.
    tmp.write("target/ok/inner.txt", "mine");
    ExtractArchive(tmp.at("slip.zip"), tmp.at("target"), {"ok/inner.txt"},
                   [](const std::string&) { return false; }, {});
    std::ifstream in(tmp.at("target/ok/inner.txt"));
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "mine");
}

TEST(UnZip, SafeNames) {
    EXPECT_EQ(SafeEntryPath("a/./b//c.txt"), "a/b/c.txt");
    EXPECT_EQ(SafeEntryPath("dir\\file"), "dir/file");
    for (const char* bad : {"", "/x", "\\x", "c:x", "a/../b", "..", "./"})
        EXPECT_EQ(SafeEntryPath(bad), std::nullopt) << bad;
}

TEST(UnZip, ListTestAndPack) {
    TempDir tmp;
    tmp.write("src/a.txt", std::string(5000, 'a'));
    tmp.write("src/sub/b.txt", "bee");
    tmp.write("src/c.doc", "sea");
    // Masks with and without subdirectories; the archive never packs itself.
    auto items = CollectPackItems({{"src/*.txt", true}}, tmp.path(), true, true, "");
    ASSERT_EQ(items.size(), 2u);
    items = CollectPackItems({{"src/*.*", true}}, tmp.path(), false, false, tmp.at("src/c.doc"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, "a.txt");
    items = CollectPackItems({{"src/a.txt", false}, {"src/sub/b.txt", false}}, tmp.path(), false,
                             true, "");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].name, "src/sub/b.txt");
    ASSERT_TRUE(CreateArchive(tmp.at("out.zip"), items).ok);
    const auto entries = ListArchive(tmp.at("out.zip"));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].name, "src/a.txt");
    EXPECT_EQ((*entries)[0].size, 5000);
    EXPECT_GT((*entries)[0].packed, 0);
    EXPECT_LT((*entries)[0].packed, 5000);
    EXPECT_EQ((*entries)[0].method, "Deflated");
    EXPECT_TRUE(TestArchive(tmp.at("out.zip")).ok);
    // A damaged copy fails its test and cannot be listed when cut short.
    std::string bytes;
    {
        std::ifstream in(tmp.at("out.zip"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    // Spoil the end of the first entry's packed data.
    size_t end = bytes.find(std::string("PK\x07\x08", 4));
    if (end == std::string::npos)
        end = bytes.find(std::string("PK\x03\x04", 4), 4);
    ASSERT_NE(end, std::string::npos);
    for (size_t i = end - 4; i < end; ++i)
        bytes[i] ^= 0x55;
    tmp.write("bad.zip", bytes);
    EXPECT_FALSE(TestArchive(tmp.at("bad.zip")).ok);
    tmp.write("none.zip", "PK\x03\x04 not an archive");
    EXPECT_FALSE(TestArchive(tmp.at("none.zip")).ok);
}

TEST(UnZip, AnEntryLargerThanTheFreeSpaceStopsTheRun) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    TempDir tmp;
    tmp.mkdir("small");
    if (::mount("tmpfs", tmp.at("small").c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string dir;
        ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
    } unmount{tmp.at("small")};
    // Zeros pack small, so the archive fits where its contents cannot.
    makeZip(tmp.at("big.zip"), {{"first.txt", "fits"},
                                {"huge.bin", std::string(4 << 20, '\0')},
                                {"after.txt", "never reached"}});
    const RunReport report = ExtractArchive(tmp.at("big.zip"), tmp.at("small"), {}, {}, {});
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.written, 1);
    bool told = false;
    for (const std::string& line : report.lines)
        told = told || line.find("Not enough free space") != std::string::npos;
    EXPECT_TRUE(told);
    // Only the entry that fitted is there: no partial file, no temporary one.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.at("small")))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"first.txt"});
}
