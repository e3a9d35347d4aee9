#include "cataloguefixture.h"

#include "catalogue/cccsizeencoding.h"
#include "catalogue/extensionkinds.h"
#include "catalogue/filetypedescription.h"
#include "catalogue/icon.h"

#include <cstring>

using namespace zentrix;
using namespace zentrix::test;

namespace {

// --- a small PE file with a version resource --------------------------------------

void put16(std::string& b, size_t at, uint32_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
void pad4(std::string& b) {
    while (b.size() % 4)
        b.push_back('\0');
}
std::string utf16z(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    out.append(2, '\0');
    return out;
}

// One version block: length, value length, type, key, value, children.
std::string block(const std::string& key, const std::string& value, bool text,
                  const std::vector<std::string>& children) {
    std::string b(6, '\0');
    b += utf16z(key);
    pad4(b);
    b += value;
    pad4(b);
    for (const auto& c : children) {
        b += c;
        pad4(b);
    }
    put16(b, 0, static_cast<uint32_t>(b.size()));
    put16(b, 2, static_cast<uint32_t>(text ? value.size() / 2 : value.size()));
    put16(b, 4, text ? 1 : 0);
    return b;
}

std::string versionInfo(const std::vector<std::pair<std::string, std::string>>& tables,
                        const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
    std::string fixed(52, '\0');
    put32(fixed, 0, 0xFEEF04BD);
    std::vector<std::string> stringTables;
    for (const auto& [key, desc] : tables)
        stringTables.push_back(block(key, {}, true,
                                     {block("CompanyName", utf16z("Morvane"), true, {}),
                                      block("FileDescription", utf16z(desc), true, {})}));
    std::string trans;
    for (const auto& [lang, cp] : translations) {
        put16(trans, trans.size(), lang);
        put16(trans, trans.size(), cp);
    }
    std::vector<std::string> rootChildren = {block("StringFileInfo", {}, true, stringTables)};
    if (!translations.empty())
        rootChildren.push_back(
            block("VarFileInfo", {}, true, {block("Translation", trans, false, {})}));
    return block("VS_VERSION_INFO", fixed, false, rootChildren);
}

std::string peWithVersion(const std::string& version) {
    std::string f(0x200, '\0');
    f[0] = 'M';
    f[1] = 'Z';
    put32(f, 0x3C, 0x40);
    f.replace(0x40, 4, std::string("PE\0\0", 4));
    const size_t coff = 0x44;
    put16(f, coff + 0, 0x14C); // i386
    put16(f, coff + 2, 1);     // one section
    put16(f, coff + 16, 224);  // optional header size
    const size_t opt = coff + 20;
    put16(f, opt, 0x10B);
    put32(f, opt + 92, 16);
    // Resource section at RVA 0x1000, file offset 0x200.
    std::string rsrc(0x58, '\0');
    put16(rsrc, 14, 1);
    put32(rsrc, 16, 16);
    put32(rsrc, 20, 0x80000000u | 0x18);
    put16(rsrc, 0x18 + 14, 1);
    put32(rsrc, 0x18 + 16, 1);
    put32(rsrc, 0x18 + 20, 0x80000000u | 0x30);
    put16(rsrc, 0x30 + 14, 1);
    put32(rsrc, 0x30 + 16, 1033);
    put32(rsrc, 0x30 + 20, 0x48);
    put32(rsrc, 0x48, 0x1000 + 0x58);
    put32(rsrc, 0x4C, static_cast<uint32_t>(version.size()));
    rsrc += version;
    put32(f, opt + 96 + 16, 0x1000);
    put32(f, opt + 96 + 20, static_cast<uint32_t>(rsrc.size()));
    const size_t sec = opt + 224;
    f.replace(sec, 5, ".rsrc");
    put32(f, sec + 8, static_cast<uint32_t>(rsrc.size()));
    put32(f, sec + 12, 0x1000);
    put32(f, sec + 16, static_cast<uint32_t>(rsrc.size()));
    put32(f, sec + 20, 0x200);
    f.resize(0x200);
    return f + rsrc;
}

std::string neWithDescription(const std::string& text) {
    std::string f(0x100, '\0');
    f[0] = 'm'; // compared without regard to case
    f[1] = 'z';
    put32(f, 60, 0x80);
    f[0x80] = 'N';
    f[0x81] = 'E';
    put32(f, 0x80 + 44, 0xC0);
    f[0xC0] = static_cast<char>(text.size());
    f.replace(0xC1, text.size(), text);
    return f;
}

class CountingIcons : public IconProvider {
public:
    int made = 0;
    std::unique_ptr<TIcon> largeIconFor(const std::string&, const std::string&) override {
        ++made;
        return std::make_unique<TIcon>();
    }
};

} // namespace

TEST(FileTypeDescription, VersionResourceOfTheRightTranslation) {
    TempDir t;
    t.write("tool.exe", peWithVersion(versionInfo(
                            {{"041104B0", "Japanese text"}, {"040904b0", "Zentrix Test Tool"}},
                            {{0x0411, 0x04B0}, {0x0409, 0x04B0}})));
    EXPECT_EQ(VersionResourceDescription(t.at("tool.exe")), "Zentrix Test Tool");
    EXPECT_EQ(FileTypeDescription(t.at("tool.exe"), "tool.exe", {}), "Zentrix Test Tool");

    // Without language 1033 the last translation is taken.
    t.write("other.dll", peWithVersion(versionInfo(
                             {{"041104B0", "First"}, {"040704E4", "Last"}},
                             {{0x0411, 0x04B0}, {0x0407, 0x04E4}})));
    EXPECT_EQ(VersionResourceDescription(t.at("other.dll")), "Last");

    // Without a table: language 1033, code page 0.
    t.write("bare.exe", peWithVersion(versionInfo({{"04090000", "No table"}}, {})));
    EXPECT_EQ(VersionResourceDescription(t.at("bare.exe")), "No table");

    // A query result with the control character 4 counts as nothing.
    t.write("ctl.exe", peWithVersion(versionInfo({{"040904B0", "bad\x04text"}},
                                                 {{0x0409, 0x04B0}})));
    EXPECT_EQ(VersionResourceDescription(t.at("ctl.exe")), "");
}

TEST(FileTypeDescription, HostileExecutablesFallThroughWithoutHarm) {
    TempDir t;
    const std::string good = peWithVersion(versionInfo({{"040904B0", "Fine"}}, {{0x409, 0x4B0}}));
    // Every truncation of a valid file, and a few corruptions, must simply fail.
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        t.write("cut.exe", good.substr(0, cut));
        (void)VersionResourceDescription(t.at("cut.exe"));
    }
    std::string loop = good;
    put32(loop, 0x200 + 0x18 + 20, 0x80000000u); // the name level points back at the root
    t.write("loop.exe", loop);
    EXPECT_EQ(VersionResourceDescription(t.at("loop.exe")), "");
    std::string huge = good;
    put32(huge, 0x200 + 0x4C, 0xFFFFFFF0u);
    t.write("huge.exe", huge);
    EXPECT_EQ(VersionResourceDescription(t.at("huge.exe")), "");
    t.write("ne-bad.exe", std::string("MZ") + std::string(58, '\0') + "\xFF\xFF\xFF\x7F");
    EXPECT_EQ(NeModuleDescription(t.at("ne-bad.exe")), "");
}

TEST(FileTypeDescription, TheChainFromModuleNameToExtension) {
    TempDir t;
    t.write("old.exe", neWithDescription("Old 16-bit Tool"));
    EXPECT_EQ(NeModuleDescription(t.at("old.exe")), "Old 16-bit Tool");
    EXPECT_EQ(FileTypeDescription(t.at("old.exe"), "old.exe", {}), "Old 16-bit Tool");

    const std::vector<std::string> userTypes = {"Notes (*.NTE *.NT2)", "Anything goes (*.*)"};
    EXPECT_EQ(UserTypeDescription("a.nte", userTypes), "Notes");
    EXPECT_EQ(UserTypeDescription("b.NT2", userTypes), "Notes");
    EXPECT_EQ(UserTypeDescription("c.zzz", userTypes), "Anything goes");
    EXPECT_EQ(UserTypeDescription("c.zzz", {"Notes (*.NTE)"}), "");
    EXPECT_EQ(UserTypeDescription("README", {"Bare (*.)"}), "Bare");
    // User types come before the registered type, and a gone file still gets them.
    EXPECT_EQ(FileTypeDescription(t.at("missing.txt"), "missing.txt", {"Mine (*.TXT)"}), "Mine");

    // The registered type from the MIME database: comment and name.
    const std::string txt = FileTypeDescription(t.at("missing.txt"), "missing.txt", {});
    EXPECT_NE(txt.find("(text/plain)"), std::string::npos) << txt;

    EXPECT_EQ(FileTypeDescription("", "data.qqzx", {}), "QQZX file");
    EXPECT_EQ(ExtensionFallbackDescription("noextension"), "??? file");
    EXPECT_EQ(ExtensionFallbackDescription("trailing."), "??? file");
}

TEST(ExtensionKinds, OwnDescriptionAndIconKinds) {
    EXPECT_TRUE(IsOwnDescriptionKind("setup.EXE"));
    EXPECT_TRUE(IsOwnDescriptionKind("lib.dll"));
    EXPECT_FALSE(IsOwnDescriptionKind("README")); // no extension never qualifies
    EXPECT_FALSE(IsOwnDescriptionKind("notes.txt"));
    EXPECT_TRUE(IsIconKind("a.ico"));
    EXPECT_TRUE(IsIconKind("b.BMP"));
    EXPECT_FALSE(IsIconKind("c.png"));
    EXPECT_FALSE(IsIconKind("plain"));
    EXPECT_TRUE(IsOwnIconKind("x.cur"));
    EXPECT_TRUE(IsOwnIconKind("x.com"));
}

TEST_F(CatalogueTest, DescriptionsAreCachedPerExtensionExceptForProgramFiles) {
    CountingIcons icons;
    cat->SetIconProvider(&icons);
    tmp.write("d/one.txt");
    tmp.write("d/two.TXT");
    tmp.write("d/readme");
    tmp.write("d/tool.exe", peWithVersion(versionInfo({{"040904B0", "A Tool"}}, {{0x409, 0x4B0}})));
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);

    const std::string d1 = cat->Description(file(root, "one.txt"));
    const std::string d2 = cat->Description(file(root, "two.TXT"));
    EXPECT_EQ(d1, d2);
    EXPECT_EQ(cat->DescCache().Count(), 1); // one entry for both
    EXPECT_EQ(icons.made, 1);
    EXPECT_EQ(&cat->DescEntry(file(root, "one.txt")), &cat->DescEntry(file(root, "two.TXT")));
    EXPECT_EQ(cat->DescCache()[0]->Ext, "TXT");

    EXPECT_EQ(cat->Description(file(root, "tool.exe")), "A Tool");
    EXPECT_EQ(file(root, "tool.exe")->DescText(), "A Tool");
    EXPECT_EQ(cat->DescCache().Count(), 1); // not through the cache

    (void)cat->Description(file(root, "readme"));
    EXPECT_EQ(cat->DescCache()[1]->Ext, "");
}

TEST_F(CatalogueTest, DescriptionsFetchedAtLoggingWhenAsked) {
    settings.FetchFileDescOption = true;
    tmp.write("d/tool.exe", peWithVersion(versionInfo({{"040904B0", "Early"}}, {{0x409, 0x4B0}})));
    tmp.write("d/pic.ico");
    tmp.write("d/doc.txt");
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    EXPECT_EQ(file(root, "tool.exe")->DescText(), "Early");
    EXPECT_FALSE(file(root, "pic.ico")->DescText().empty());
    EXPECT_TRUE(file(root, "doc.txt")->DescText().empty());
}

TEST(FileList, RemovedRecordsAreSkippedAndRenamesKeepAddresses) {
    TTree tree;
    TTreeNode* dir = tree.InsertTopLevel(0, "D:\\");
    TLoggedClass logged(dir);
    tree.SetData(dir, &logged);
    TFileList& list = logged.FileList();
    list.Reserve(3, 9);
    TFileClass* a = list.Add("a.txt", 1, 32, 100, dir);
    TFileClass* b = list.Add("bb.txt", 2, 32, 200, dir);
    TFileClass* c = list.Add("c", 3, 0, 300, dir);
    for (int i = 0; i < 1000; ++i) // spills into further blocks
        list.Add("more" + std::to_string(i), i, 0, 0, dir);
    EXPECT_EQ(list.Count(), 1003);
    EXPECT_EQ(list.IndexOf(c), 2);

    EXPECT_TRUE(list.Remove(b));
    EXPECT_FALSE(list.Remove(b));
    EXPECT_EQ(list.Count(), 1002);
    EXPECT_EQ(list.IndexOf(b), -1);
    EXPECT_EQ(list.IndexOf(c), 1);
    int walked = 0;
    for (TFileClass* f : list) {
        EXPECT_NE(f, b);
        ++walked;
    }
    EXPECT_EQ(walked, 1002);

    TFileList other;
    EXPECT_FALSE(other.Remove(a)); // not one of its records

    list.Rename(a, "a-much-longer-name.txt");
    EXPECT_EQ(a->FileName(), "a-much-longer-name.txt");
    list.Rename(c, "d");
    EXPECT_EQ(c->FileName(), "d");
    std::vector<std::string> names;
    for (TFileClass* f : list)
        if (names.size() < 3)
            names.emplace_back(f->FileName());
    EXPECT_EQ(names, (std::vector<std::string>{"a-much-longer-name.txt", "d", "more0"}));
    EXPECT_EQ(a->FullName(), "D:\\a-much-longer-name.txt");
    tree.SetData(dir, nullptr);
}

// A directory of many files fills several runs of at most 64 KiB; every record
// still finds its directory, names past what the record holds stay whole, and
// the tag and the fields that share its bytes read back as set.
TEST(FileList, LargeDirectoriesKeepEveryRecordsDirectoryAndName) {
    TTree tree;
    TTreeNode* dir = tree.InsertTopLevel(0, "D:\\");
    TTreeNode* other = tree.AddChild(dir, "OTHER");
    TLoggedClass logged(dir);
    tree.SetData(dir, &logged);
    TFileList& list = logged.FileList();
    const std::string longName(300, 'x');
    const int files = 6000;
    list.Reserve(files, files * 40);
    std::vector<TFileClass*> records;
    for (int i = 0; i < files; ++i) {
        std::string name =
            i == 4321 ? longName : std::string(40 - 5, 'n') + std::to_string(10000 + i);
        records.push_back(list.Add(name, i, 32, i, dir));
    }
    // A record added for another directory (as a copy may be) names that one.
    TFileClass* stray = list.Add("stray", 1, 0, 0, other);
    EXPECT_EQ(stray->DirNode(), other);
    EXPECT_GT(list.ArenaBytes(), size_t(4) * 65536); // several runs
    int i = 0;
    for (TFileClass* f : list) {
        if (f == stray)
            continue;
        ASSERT_EQ(f, records[static_cast<size_t>(i)]);
        EXPECT_EQ(f->DirNode(), dir) << i;
        EXPECT_EQ(f->FileSize(), i);
        ++i;
    }
    EXPECT_EQ(i, files);
    EXPECT_EQ(records[4321]->FileName(), longName);
    EXPECT_EQ(records[4322]->FileName(), std::string(35, 'n') + "14322");
    EXPECT_EQ(records[4321]->FullName(), "D:\\" + longName);

    TFileClass* f = records[17];
    f->SetTagged(true);
    EXPECT_EQ(f->Tagged(), 1);
    f->SetAttributes(0x7FFF);
    f->SetLastWriteTime(-5);
    EXPECT_EQ(f->Tagged(), 1);
    f->SetTagged(false);
    EXPECT_EQ(f->Tagged(), 0);
    EXPECT_EQ(f->Attributes(), 0x7FFF);
    EXPECT_EQ(f->LastWriteTime(), -5);
    EXPECT_EQ(f->FileSize(), 17);
    tree.SetData(dir, nullptr);
}

// The record holds 32 bits of a size; larger sizes live beside it, and a record
// copied or resized keeps its whole size.
TEST(FileList, SizesOfEveryWidthReadBackWhole) {
    TTree tree;
    TTreeNode* dir = tree.InsertTopLevel(0, "D:\\");
    TLoggedClass logged(dir);
    tree.SetData(dir, &logged);
    TFileList& list = logged.FileList();
    const std::vector<int64_t> sizes = {0,
                                        (int64_t(1) << 31) - 1,
                                        int64_t(1) << 31,
                                        (int64_t(1) << 32) + 5,
                                        TFileClass::kSizeInPlaceLimit - 1,
                                        TFileClass::kSizeInPlaceLimit,
                                        INT64_MAX};
    std::vector<TFileClass*> records;
    for (size_t i = 0; i < sizes.size(); ++i)
        records.push_back(list.Add("f" + std::to_string(i), sizes[i], 32, 0, dir));
    for (size_t i = 0; i < sizes.size(); ++i)
        EXPECT_EQ(records[i]->FileSize(), sizes[i]) << i;
    int64_t sum = 0;
    for (size_t i = 0; i + 1 < sizes.size(); ++i)
        sum += sizes[i];
    records.back()->SetFileSize(7);
    EXPECT_EQ(logged.DirSize(), sum + 7);
    records[0]->SetFileSize(TFileClass::kSizeInPlaceLimit + 1);
    EXPECT_EQ(records[0]->FileSize(), TFileClass::kSizeInPlaceLimit + 1);
    records[0]->SetFileSize(-3); // never negative
    EXPECT_EQ(records[0]->FileSize(), 0);

    TFileList copy;
    TFileClass* big = copy.AdoptCopy(list, records[5]);
    list.Swap(copy); // the copy's list is the directory's now
    EXPECT_EQ(big->FileSize(), TFileClass::kSizeInPlaceLimit);
    tree.SetData(dir, nullptr);
}

// Sizes in a CD-ROM catalogue cache keep their encodings below 2 GiB and take
// the 64-bit one above.
TEST(CccIntegers, ShortestEncodingAndBackAgain) {
    struct Case {
        int64_t value;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {100, std::string("\x02\x64", 2)},
        {-128, std::string("\x02\x80", 2)},
        {200, std::string("\x03\xc8\x00", 3)},
        {-32768, std::string("\x03\x00\x80", 3)},
        {INT32_MAX, std::string("\x04\xff\xff\xff\x7f", 5)},
        {int64_t(1) << 31, std::string("\x13\x00\x00\x00\x80\x00\x00\x00\x00", 9)},
        {(int64_t(5) << 30), std::string("\x13\x00\x00\x00\x40\x01\x00\x00\x00", 9)},
        {INT64_MIN, std::string("\x13\x00\x00\x00\x00\x00\x00\x00\x80", 9)},
    };
    for (const Case& c : cases) {
        std::string out;
        ccc::AppendInteger(out, c.value);
        EXPECT_EQ(out, c.bytes) << c.value;
        const auto read =
            ccc::ReadInteger(reinterpret_cast<const uint8_t*>(out.data()), out.size());
        ASSERT_TRUE(read) << c.value;
        EXPECT_EQ(read->value, c.value);
        EXPECT_EQ(read->length, out.size());
        // One byte short is no integer.
        EXPECT_FALSE(
            ccc::ReadInteger(reinterpret_cast<const uint8_t*>(out.data()), out.size() - 1));
    }
    const uint8_t text[] = {6, 1, 'a'};
    EXPECT_FALSE(ccc::ReadInteger(text, sizeof text)); // a text where an integer should be
}
