#include "support/tempdir.h"
#include "view/iconresources.h"

#include <gtest/gtest.h>

using namespace zentrix;
using zentrix::test::TempDir;

namespace {

void put16(std::string& s, size_t at, uint16_t v) {
    if (s.size() < at + 2)
        s.resize(at + 2);
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& s, size_t at, uint32_t v) {
    put16(s, at, static_cast<uint16_t>(v & 0xFFFF));
    put16(s, at + 2, static_cast<uint16_t>(v >> 16));
}

// A resource directory with one entry (id -> target) at `at`.
void directory(std::string& s, size_t at, uint32_t id, uint32_t target) {
    put16(s, at + 14, 1);
    put32(s, at + 16, id);
    put32(s, at + 20, target);
}

// A PE file with one icon group (id 100) of one image (id 1), whose bytes are `image`.
std::string peWithIcon(const std::string& image) {
    std::string pe(512, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    put32(pe, 0x3C, 64);
    pe.replace(64, 4, std::string("PE\0\0", 4));
    put16(pe, 64 + 6, 1);    // one section
    put16(pe, 64 + 20, 224); // optional header size
    put16(pe, 64 + 24, 0x10B);
    put32(pe, 64 + 24 + 96 + 16, 0x1000); // resource directory RVA
    const size_t section = 64 + 24 + 224;
    put32(pe, section + 8, 0x1000);  // virtual size
    put32(pe, section + 12, 0x1000); // virtual address
    put32(pe, section + 16, 0x1000); // raw size
    put32(pe, section + 20, 512);    // raw offset
    std::string res(0x400, '\0');
    // Root: type 3 -> 0x40, type 14 -> 0x80 (both subdirectories).
    put16(res, 14, 2);
    put32(res, 16, 3);
    put32(res, 20, 0x80000000u | 0x40);
    put32(res, 24, 14);
    put32(res, 28, 0x80000000u | 0x80);
    directory(res, 0x40, 1, 0x80000000u | 0x60);
    directory(res, 0x60, 0x409, 0x100); // language -> data entry
    directory(res, 0x80, 100, 0x80000000u | 0xA0);
    directory(res, 0xA0, 0x409, 0x110);
    put32(res, 0x100, 0x1000 + 0x200); // the image's RVA and size
    put32(res, 0x104, static_cast<uint32_t>(image.size()));
    put32(res, 0x110, 0x1000 + 0x180); // the group's RVA and size
    put32(res, 0x114, 6 + 14);
    // GRPICONDIR: one entry 32 x 32, 32 bits, id 1.
    put16(res, 0x182, 1);
    put16(res, 0x184, 1);
    res[0x186] = 32;
    res[0x187] = 32;
    put16(res, 0x186 + 4, 1);
    put16(res, 0x186 + 6, 32);
    put32(res, 0x186 + 8, static_cast<uint32_t>(image.size()));
    put16(res, 0x186 + 12, 1);
    res.replace(0x200, image.size(), image);
    pe += res;
    pe.resize(512 + 0x1000, '\0');
    return pe;
}

ByteReader readerOf(const std::string& bytes) {
    return [&bytes](uint64_t offset, size_t count) {
        return offset >= bytes.size() ? std::string() : bytes.substr(offset, count);
    };
}

} // namespace

TEST(IconResources, TheIconGroupsOfAnExecutable) {
    const std::string image = "\x89PNG-pretend-image-bytes";
    const std::string pe = peWithIcon(image);
    const auto groups = IconsOfPeFile(readerOf(pe), pe.size());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, "100");
    const std::string& ico = groups[0].ico;
    ASSERT_EQ(ico.size(), 6 + 16 + image.size());
    EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    EXPECT_EQ(static_cast<unsigned char>(ico[6]), 32u);
    EXPECT_EQ(ico.substr(22), image);
    // Through a file too.
    TempDir tmp;
    tmp.write("app.exe", pe);
    EXPECT_EQ(IconsOfFile(tmp.at("app.exe")).size(), 1u);
}

TEST(IconResources, DamagedExecutablesGiveNothing) {
    std::string pe = peWithIcon("abc");
    // A resource directory pointing back at itself.
    std::string loop = pe;
    put32(loop, 512 + 0x60 + 20, 0x80000000u | 0x60);
    EXPECT_TRUE(IconsOfPeFile(readerOf(loop), loop.size()).empty());
    // An image beyond the end of the file.
    std::string outside = pe;
    put32(outside, 512 + 0x100, 0x7FFFFFF0);
    EXPECT_TRUE(IconsOfPeFile(readerOf(outside), outside.size()).empty());
    // Cut short anywhere.
    for (size_t cut : {size_t{10}, size_t{70}, size_t{400}, size_t{600}, size_t{512 + 0x190}}) {
        const std::string part = pe.substr(0, cut);
        EXPECT_TRUE(IconsOfPeFile(readerOf(part), part.size()).empty()) << cut;
    }
    EXPECT_TRUE(IconsOfPeFile(readerOf("MZ"), 2).empty());
}

TEST(IconResources, ADirectoryThatManyEntriesPointBackAtIsReadOnce) {
    // The icon group directory: 1000 named entries, each leading back to the
    // directory itself, each with a name of its own.
    std::string pe = peWithIcon("abc");
    const size_t names = 0x1000;
    const uint16_t count = 1000;
    std::string res(names + count * 66u, '\0');
    put16(res, 12, count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t name = static_cast<uint32_t>(names + i * 66u);
        put32(res, 16 + i * 8, 0x80000000u | name);
        put32(res, 20 + i * 8, 0x80000000u | 0x80);
        put16(res, name, 32);
    }
    // The root's group entry leads to the new directory at 0x80.
    pe.resize(512 + 0x80);
    pe += res;
    put32(pe, 64 + 24 + 224 + 8, static_cast<uint32_t>(pe.size() - 512));  // virtual size
    put32(pe, 64 + 24 + 224 + 16, static_cast<uint32_t>(pe.size() - 512)); // raw size
    size_t reads = 0;
    const ByteReader counted = [&pe, &reads](uint64_t offset, size_t n) {
        ++reads;
        return offset >= pe.size() ? std::string() : pe.substr(offset, n);
    };
    EXPECT_TRUE(IconsOfPeFile(counted, pe.size()).empty());
    // A read or two per entry, not one per entry for every entry.
    EXPECT_LT(reads, 4u * count) << reads;
}

TEST(IconResources, EachImageOfAnIconFile) {
    std::string ico(6 + 32, '\0');
    put16(ico, 2, 1);
    put16(ico, 4, 3); // three entries, the last one pointing outside
    const std::string a = "AAAA", b = "BBBBBB";
    ico[6] = 16;
    ico[7] = 16;
    put32(ico, 6 + 8, 4);
    put32(ico, 6 + 12, 6 + 48);
    ico[22] = 0; // 256 x 256
    put32(ico, 22 + 8, 6);
    put32(ico, 22 + 12, 6 + 48 + 4);
    ico.resize(6 + 48, '\0');
    put32(ico, 38 + 8, 100);
    put32(ico, 38 + 12, 6);
    ico += a + b;
    const auto icons = IconsOfIcoFile(ico);
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].name, "16 x 16");
    EXPECT_EQ(icons[0].ico.substr(22), a);
    EXPECT_EQ(icons[1].name, "256 x 256");
    EXPECT_EQ(icons[1].ico.substr(22), b);
    EXPECT_TRUE(IconsOfIcoFile("not an icon").empty());
}
