#include "FileInfo/archiveinfo.h"
#include "core/plugincalls.h"
#include "plugintestsupport.h"
#include "support/tempdir.h"

#include <QImage>
#include <archive.h>
#include <archive_entry.h>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace zentrix {
namespace {

using Lines = std::vector<std::string>;

struct Entry {
    std::string name;
    std::string content; // a directory when the name ends in "/"
};

void writeArchive(const std::string& path, bool zip, bool gzip, const std::vector<Entry>& entries) {
    archive* a = archive_write_new();
    if (zip)
        archive_write_set_format_zip(a);
    else
        archive_write_set_format_pax_restricted(a);
    if (gzip)
        archive_write_add_filter_gzip(a);
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.c_str());
        const bool dir = !e.name.empty() && e.name.back() == '/';
        archive_entry_set_filetype(entry, dir ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, dir ? 0755 : 0644);
        archive_entry_set_size(entry, dir ? 0 : static_cast<la_int64_t>(e.content.size()));
        archive_write_header(a, entry);
        if (!dir)
            archive_write_data(a, e.content.data(), e.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// A minimal PE32+ image: MZ stub, PE signature, file header, optional header.
std::string peImage(bool dll, uint16_t subsystem, bool dotNet) {
    std::string b(0x40 + 4 + 20 + 240, '\0');
    auto put16 = [&](size_t at, uint16_t v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, static_cast<uint16_t>(v & 0xFFFF));
        put16(at + 2, static_cast<uint16_t>(v >> 16));
    };
    b[0] = 'M';
    b[1] = 'Z';
    put32(0x3C, 0x40);
    b[0x40] = 'P';
    b[0x41] = 'E';
    const size_t coff = 0x44;
    put16(coff, 0x8664);
    put16(coff + 16, 240);
    put16(coff + 18, dll ? 0x2022 : 0x0022);
    const size_t opt = coff + 20;
    put16(opt, 0x20B);
    put16(opt + 68, subsystem);
    put32(opt + 108, 16);
    if (dotNet)
        put32(opt + 112 + 14 * 8, 0x2000);
    return b;
}

std::string bmpImage(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const int pixels = rowBytes * height;
    std::string b(54 + pixels, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;  // planes
    b[28] = 24; // bits per pixel
    put32(34, static_cast<uint32_t>(pixels));
    return b;
}

bool has(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool hasPrefix(const Lines& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

std::string dump(const Lines& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

class FileInfoLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PluginCalls::BindFileInfo()); }
    Lines info(const std::string& relative) {
        return PluginCalls::CallGetFileInfo(m_dir.at(relative));
    }

    test::ScopedEnv m_env{"ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR};
    test::TempDir m_dir;
};

TEST_F(FileInfoLibrary, TextFileGivesTypeSizeTimesOwnerAndPermissions) {
    m_dir.write("notes.txt", "hello world\n");
    m_dir.chmod("notes.txt", 0640);
    m_dir.touch("notes.txt", 946684800); // 2000-01-01 00:00:00 UTC
    const Lines lines = info("notes.txt");
    EXPECT_EQ(lines.at(0), "Name: notes.txt");
    EXPECT_TRUE(has(lines, "Type: plain text document (text/plain)")) << dump(lines);
    EXPECT_TRUE(has(lines, "Size: 12 bytes")) << dump(lines);
    EXPECT_TRUE(has(lines, "Permissions: -rw-r----- (0640)")) << dump(lines);
    EXPECT_TRUE(hasPrefix(lines, "Modified: 2000-01-01 ") ||
                hasPrefix(lines, "Modified: 1999-12-31 "))
        << dump(lines);
    EXPECT_TRUE(hasPrefix(lines, "Owner: ")) << dump(lines);
    EXPECT_FALSE(hasPrefix(lines, "Executable:"));
}

TEST_F(FileInfoLibrary, ElfFilesTellClassMachineTypeAndLinking) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    Lines lines = PluginCalls::CallGetFileInfo(std::string(self, static_cast<size_t>(n)));
    EXPECT_TRUE(hasPrefix(lines, "Executable: ELF 64-bit ")) << dump(lines);
    EXPECT_TRUE(hasPrefix(lines, "Machine: ")) << dump(lines);
    EXPECT_TRUE(has(lines, "Linking: dynamic")) << dump(lines);
    EXPECT_TRUE(hasPrefix(lines, "Interpreter: /")) << dump(lines);

    lines = PluginCalls::CallGetFileInfo(ZENTRIX_BUILD_DIR "/FileInfo.so");
    EXPECT_TRUE(has(lines, "Executable: ELF 64-bit shared library")) << dump(lines);

    // A 32-bit big-endian MIPS executable without program headers.
    std::string elf(52, '\0');
    elf[0] = 0x7F, elf[1] = 'E', elf[2] = 'L', elf[3] = 'F', elf[4] = 1, elf[5] = 2, elf[6] = 1;
    elf[17] = 2; // e_type, big endian
    elf[19] = 8; // e_machine
    m_dir.write("mips.bin", elf);
    lines = info("mips.bin");
    EXPECT_TRUE(has(lines, "Executable: ELF 32-bit executable")) << dump(lines);
    EXPECT_TRUE(has(lines, "Machine: MIPS, big endian, System V")) << dump(lines);
    EXPECT_TRUE(has(lines, "Linking: static")) << dump(lines);

    // A header whose program header table points far past the end: no crash.
    std::string broken = elf;
    broken[31] = 0x7F, broken[43] = 32, broken[45] = 0xFF;
    m_dir.write("broken.bin", broken.substr(0, 48));
    lines = info("broken.bin");
    EXPECT_TRUE(has(lines, "Executable: ELF 32-bit executable")) << dump(lines);
}

TEST_F(FileInfoLibrary, WindowsExecutablesTellMachineSubsystemAndKind) {
    m_dir.write("tool.dll", peImage(true, 3, true));
    Lines lines = info("tool.dll");
    EXPECT_TRUE(has(lines, "Executable: Windows PE32+ dynamic-link library (.NET assembly)"))
        << dump(lines);
    EXPECT_TRUE(has(lines, "Machine: x86-64")) << dump(lines);
    EXPECT_TRUE(has(lines, "Subsystem: Windows console")) << dump(lines);

    m_dir.write("app.exe", peImage(false, 2, false));
    lines = info("app.exe");
    EXPECT_TRUE(has(lines, "Executable: Windows PE32+ program")) << dump(lines);
    EXPECT_TRUE(has(lines, "Subsystem: Windows GUI")) << dump(lines);

    // Cut inside the file header: still described, nothing read past the end.
    m_dir.write("cut.exe", peImage(false, 2, false).substr(0, 0x48));
    lines = info("cut.exe");
    EXPECT_EQ(lines.at(0), "Name: cut.exe");
    EXPECT_TRUE(hasPrefix(lines, "Executable: Windows ")) << dump(lines);
}

TEST_F(FileInfoLibrary, PicturesTellFormatAndDimensions) {
    m_dir.write("tiny.bmp", bmpImage(3, 2));
    Lines lines = info("tiny.bmp");
    EXPECT_TRUE(has(lines, "Picture: BMP, 3 x 2 pixels")) << dump(lines);

    QImage image(5, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(m_dir.at("red.png")), "PNG"));
    lines = info("red.png");
    EXPECT_TRUE(has(lines, "Type: PNG image (image/png)")) << dump(lines);
    EXPECT_TRUE(has(lines, "Picture: PNG, 5 x 4 pixels")) << dump(lines);

    // A picture name over other bytes gives no picture line.
    m_dir.write("fake.png", "not a picture at all");
    lines = info("fake.png");
    EXPECT_FALSE(hasPrefix(lines, "Picture:")) << dump(lines);
}

TEST_F(FileInfoLibrary, ArchivesTellFormatEntriesAndUnpackedSize) {
    writeArchive(m_dir.at("pack.zip"), true, false,
                 {{"dir/", ""}, {"dir/a.txt", "hello"}, {"b.txt", "goodbye"}});
    Lines lines = info("pack.zip");
    EXPECT_TRUE(hasPrefix(lines, "Archive: ZIP")) << dump(lines);
    EXPECT_TRUE(has(lines, "Entries: 3 (2 files, 1 directories)")) << dump(lines);
    EXPECT_TRUE(has(lines, "Unpacked size: 12 bytes")) << dump(lines);

    writeArchive(m_dir.at("pack.tar.gz"), false, true,
                 {{"one.txt", std::string(5000, 'x')}, {"two.txt", "y"}});
    lines = info("pack.tar.gz");
    EXPECT_TRUE(hasPrefix(lines, "Archive: ")) << dump(lines);
    EXPECT_NE(dump(lines).find("compressed with gzip"), std::string::npos) << dump(lines);
    EXPECT_TRUE(has(lines, "Entries: 2 (2 files, 0 directories)")) << dump(lines);
    EXPECT_TRUE(has(lines, "Unpacked size: 5.001 bytes")) << dump(lines);

    m_dir.write("junk.zip", "PK\x03\x04 but nothing that follows makes sense");
    lines = info("junk.zip");
    EXPECT_FALSE(hasPrefix(lines, "Entries:")) << dump(lines);
}

TEST(ArchiveFacts, CountingStopsAtTheEntryLimitAndSaysSo) {
    test::TempDir dir;
    writeArchive(dir.at("three.tar"), false, false, {{"a", "1"}, {"b", "22"}, {"c", "333"}});
    const auto facts = fileinfo::ReadArchiveFacts(dir.at("three.tar"), std::chrono::seconds(10), 2);
    EXPECT_FALSE(facts.complete);
    EXPECT_EQ(facts.entries, 2u);
    Lines lines;
    fileinfo::AppendArchiveLines(facts, lines);
    EXPECT_TRUE(has(lines, "Entries: at least 2 (2 files, 0 directories)")) << dump(lines);
}

TEST(ArchiveFacts, PassingOverACompressedEntryHoldsToTheBudget) {
    // Reaching the second header of a compressed tar means unpacking the first
    // entry; once that ran unchecked for as long as the entry took.
    test::TempDir dir;
    writeArchive(dir.at("zeros.tar.gz"), false, true,
                 {{"zeros.bin", std::string(16u << 20, '\0')}, {"after.txt", "x"}});
    const auto cut = fileinfo::ReadArchiveFacts(dir.at("zeros.tar.gz"), std::chrono::seconds(60),
                                                1000, 1u << 20);
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.entries, 1u);
    const auto whole = fileinfo::ReadArchiveFacts(dir.at("zeros.tar.gz"), std::chrono::seconds(60),
                                                  1000, 1u << 30);
    EXPECT_TRUE(whole.complete);
    EXPECT_EQ(whole.entries, 2u);
    EXPECT_EQ(whole.totalSize, (16u << 20) + 1);

    // An archive damaged after its first entries says that there may be more.
    std::string bytes;
    {
        std::ifstream in(dir.at("zeros.tar.gz"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    dir.write("cut.tar.gz", bytes.substr(0, bytes.size() / 2));
    const auto damaged =
        fileinfo::ReadArchiveFacts(dir.at("cut.tar.gz"), std::chrono::seconds(60), 1000, 1u << 30);
    EXPECT_TRUE(damaged.readable);
    EXPECT_FALSE(damaged.complete);
}

TEST_F(FileInfoLibrary, LinksDirectoriesAndMissingFiles) {
    m_dir.write("target.txt", "abc");
    m_dir.symlink("target.txt", "link.txt");
    m_dir.symlink("gone.txt", "dangling");
    m_dir.mkdir("folder");

    Lines lines = info("link.txt");
    EXPECT_TRUE(has(lines, "Link to: target.txt")) << dump(lines);
    EXPECT_TRUE(has(lines, "Size: 3 bytes")) << dump(lines);

    lines = info("dangling");
    EXPECT_TRUE(has(lines, "Target: missing")) << dump(lines);

    lines = info("folder");
    EXPECT_TRUE(has(lines, "Type: folder (inode/directory)")) << dump(lines);
    EXPECT_FALSE(hasPrefix(lines, "Size:"));

    lines = info("nothing.txt");
    EXPECT_EQ(lines, Lines{"Cannot examine nothing.txt: No such file or directory"});
}

} // namespace
} // namespace zentrix
