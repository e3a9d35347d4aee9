#include "platform/attributes.h"
#include "platform/branchreader.h"
#include "platform/collation.h"
#include "platform/dirlisting.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/filetime.h"
#include "platform/hostname.h"
#include "platform/process.h"
#include "platform/volume.h"
#include "support/files.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using namespace zentrix::platform;
using zentrix::test::Exists;
using zentrix::test::TempDir;

namespace {

bool validUtf8WithoutBackslash(const std::string& s) {
    // The escaped form of any name is what DirListing hands to the catalogue.
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == '\\')
            return false;
        size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

std::map<std::string, DirEntry> listAll(const std::string& path, StatMode mode = StatMode::All,
                                        std::map<std::string, std::string>* names = nullptr) {
    DirListing listing(AttrSource::Posix, mode);
    EXPECT_TRUE(listing.Open(path));
    std::map<std::string, DirEntry> out;
    DirEntry e;
    while (listing.Next(e)) {
        DirEntry copy = e;
        copy.hostName = {};
        copy.name = {};
        out[std::string(e.hostName)] = copy;
        if (names)
            (*names)[std::string(e.hostName)] = std::string(e.name);
    }
    return out;
}

} // namespace

TEST(HostName, OddBytesRoundTripAndBecomeShowable) {
    const std::vector<std::string> names = {
        "plain.txt",
        "back\\slash",
        std::string("bad\xFF\xFEutf8"),
        std::string("lone\x80" "continuation"),
        std::string("truncated\xE2\x82"),
        std::string("overlong\xC0\xAF"),
        std::string("surrogate\xED\xA0\x80"),
        "real\xEF\x9C\x80" "private",    // U+F700, the escape range itself
        "caf\xC3\xA9 \xE2\x82\xAC",   // valid UTF-8 stays as it is
    };
    for (const auto& n : names) {
        const std::string shown = EscapeHostName(n);
        EXPECT_TRUE(validUtf8WithoutBackslash(shown)) << n;
        EXPECT_EQ(UnescapeName(shown), n) << n;
        // Listings take a plain name as it is: the test must agree with escaping.
        EXPECT_EQ(IsPlainHostName(n), shown == n) << n;
    }
    // Long names are checked several bytes at a time: a backslash or a byte
    // beyond ASCII must be seen wherever it falls, at the edge of a block too.
    for (size_t length = 1; length <= 24; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (const std::string odd : {"\\", "\xFF", "\xC3\xA9", "\xEF\x9C\x80"}) {
                std::string n(length, 'a');
                n.replace(at, 1, odd);
                EXPECT_EQ(IsPlainHostName(n), EscapeHostName(n) == n) << n;
            }
        }
    }
    EXPECT_EQ(EscapeHostName("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_NE(EscapeHostName("a\\b"), EscapeHostName("a/b"));
}

TEST(DriveTable, ParsesTheEnvironmentForm) {
    TempDir t;
    t.mkdir("c");
    t.mkdir("d");
    const std::string spec = "c=" + t.at("c") + ";D=" + t.at("d") + ":cdrom:MY DISC;" +
                             "E=" + t.at("d") + "::LBL:dosattrib;" + "bogus;F=relative/path;" +
                             "C=" + t.at("d") + ";G=" + t.at("gone") + ":network";
    const DriveTable table = DriveTable::FromSpec(spec, {});
    ASSERT_EQ(table.Drives().size(), 4u); // C, D, E, G; the second C and the malformed ones skipped
    EXPECT_EQ(table.Find('c')->root, t.at("c"));
    EXPECT_EQ(table.Find('C')->kind, DriveKind::Fixed);
    EXPECT_EQ(table.Find('D')->kind, DriveKind::CdRom);
    EXPECT_EQ(table.Find('D')->label, "MY DISC");
    EXPECT_EQ(table.Find('E')->attrSource, AttrSource::DosAttribXattr);
    EXPECT_EQ(table.Find('G')->kind, DriveKind::Network);
    EXPECT_TRUE(table.IsReady('C'));
    EXPECT_FALSE(table.IsReady('G')); // root missing: not ready
    EXPECT_FALSE(table.IsReady('Q')); // no such drive
    EXPECT_EQ(table.FreeLetters().find('C'), std::string::npos);
    EXPECT_NE(table.FreeLetters().find('F'), std::string::npos);
    EXPECT_STREQ(DriveKindName(DriveKind::CdRom), "CD-ROM");
}

TEST(DriveTable, SaysWhatIsWrongWithTheEnvironmentFormAndKeepsTheRest) {
    TempDir t;
    t.mkdir("d");
    t.write("file");
    const std::string spec = "D=" + t.at("d") + ":cdrom:DISC:dosattrib;" + // fine
                             "F=" + t.at("file") + ";" +                   // a file
                             "G=docs;" +                                   // relative
                             "bogus;;" +                                   // malformed, empty
                             "D=" + t.at("d") + ";" +                      // D again
                             "1=" + t.at("d") + ";" +                      // no letter
                             "H=" + t.at("d") + ":tape::shiny";            // unknown kind, flag
    const DriveTable table = DriveTable::FromSpec(spec, {});
    std::string letters;
    for (const DriveInfo& d : table.Drives())
        letters += d.letter;
    EXPECT_EQ(letters, "DH");
    EXPECT_EQ(table.Find('H')->kind, DriveKind::Fixed);
    const std::vector<std::string>& problems = table.Problems();
    ASSERT_EQ(problems.size(), 7u);
    auto mentions = [&](size_t i, const std::string& what) {
        return problems[i].rfind("ZENTRIX_DRIVES: ", 0) == 0 &&
               problems[i].find(what) != std::string::npos;
    };
    EXPECT_TRUE(mentions(0, "not a directory")) << problems[0];
    EXPECT_TRUE(mentions(1, "\"G=docs\" does not name an absolute directory")) << problems[1];
    EXPECT_TRUE(mentions(2, "\"bogus\" is not LETTER=DIRECTORY")) << problems[2];
    EXPECT_TRUE(mentions(3, "names drive D again")) << problems[3];
    EXPECT_TRUE(mentions(4, "drive letter")) << problems[4];
    EXPECT_TRUE(mentions(5, "unknown kind \"tape\"")) << problems[5];
    EXPECT_TRUE(mentions(6, "unknown flag \"shiny\"")) << problems[6];

    EXPECT_TRUE(DriveTable::FromSpec("C=/;D=" + t.at("d"), {}).Problems().empty());
}

TEST(DriveTable, TranslatesPathsBothWaysAndRefusesEscapes) {
    TempDir t;
    t.mkdir("root/sub");
    DriveTable table = DriveTable::FromSpec("D=" + t.at("root") + ";E=" + t.at("root/sub"), {});
    EXPECT_EQ(table.ToHostPath("D:\\"), t.at("root"));
    EXPECT_EQ(table.ToHostPath("D:\\a b\\c.txt"), t.at("root") + "/a b/c.txt");
    EXPECT_EQ(table.ToHostPath("d:\\x\\"), t.at("root") + "/x");
    const std::string escaped = EscapeHostName("odd\\name");
    EXPECT_EQ(table.ToHostPath("D:\\" + escaped), t.at("root") + "/odd\\name");
    EXPECT_FALSE(table.ToHostPath("D:\\..\\etc\\passwd"));
    EXPECT_FALSE(table.ToHostPath("D:\\a\\.\\b"));
    EXPECT_FALSE(table.ToHostPath("Q:\\x"));
    EXPECT_FALSE(table.ToHostPath("no drive"));
    // The drive with the longest root holding the path wins.
    EXPECT_EQ(table.ToCataloguePath(t.at("root/sub/x")), "E:\\x\\");
    EXPECT_EQ(table.ToCataloguePath(t.at("root")), "D:\\");
    EXPECT_EQ(table.ToCataloguePath(t.at("root/f.txt"), false), "D:\\f.txt");
    EXPECT_FALSE(table.ToCataloguePath("/definitely/elsewhere"));
}

TEST(DriveTable, VirtualRootsComeAndGoButRealDrivesStay) {
    TempDir t;
    t.mkdir("v");
    DriveTable table = DriveTable::FromSpec("C=" + t.path() + ":ram", {});
    EXPECT_FALSE(table.AddVirtualRoot('C', t.at("v"))); // taken
    EXPECT_FALSE(table.AddVirtualRoot('X', t.at("missing")));
    ASSERT_TRUE(table.AddVirtualRoot('x', t.at("v")));
    EXPECT_TRUE(table.Find('X')->virtualRoot);
    EXPECT_EQ(table.Find('X')->kind, DriveKind::Ram); // the kind of the drive holding it
    EXPECT_FALSE(table.RemoveVirtualRoot('C'));
    EXPECT_TRUE(table.RemoveVirtualRoot('X'));
    EXPECT_FALSE(table.Find('X'));
}

TEST(DriveTable, DefaultTableFromMounts) {
    TempDir t;
    for (const char* d : {"media/usb", "mnt/cd", "mnt/share", "scratch", "srv/data"})
        t.mkdir(d);
    const std::vector<MountEntry> mounts = {
        {"/", "ext4", "/dev/vda1"},
        {"/proc", "proc", "proc"},
        {"/run/user/0", "tmpfs", "tmpfs"},
        {t.at("srv/data"), "ext4", "/dev/vdb1"},
        {t.at("mnt/cd"), "iso9660", "/dev/sr0"},
        {t.at("mnt/share"), "cifs", "//server/share"},
        {t.at("scratch"), "tmpfs", "tmpfs"},
        {t.at("media/usb"), "vfat", "/dev/sdz1"},
        {t.at("not-there"), "ext4", "/dev/vdc1"},
    };
    const DriveTable table = DriveTable::FromMounts(mounts);
    ASSERT_TRUE(table.Find('C'));
    EXPECT_EQ(table.Find('C')->root, "/");
    // Every other real mount in mount-point order; pseudo and system mounts and
    // missing mount points get no letter.
    std::vector<std::string> roots;
    for (char l = 'D'; table.Find(l); ++l)
        roots.push_back(table.Find(l)->root);
    EXPECT_EQ(roots, (std::vector<std::string>{t.at("media/usb"), t.at("mnt/cd"),
                                               t.at("mnt/share"), t.at("scratch"),
                                               t.at("srv/data")}));
    EXPECT_EQ(table.Find('D')->attrSource, AttrSource::FatIoctl);
    EXPECT_EQ(table.Find('E')->kind, DriveKind::CdRom);
    EXPECT_EQ(table.Find('F')->kind, DriveKind::Network);
    EXPECT_EQ(table.Find('G')->kind, DriveKind::Ram);
    EXPECT_EQ(table.Find('H')->kind, DriveKind::Fixed);
    EXPECT_EQ(table.Drives().size(), 6u);
}

TEST(DirListing, ListsEveryEntryWithItsFacts) {
    TempDir t;
    t.write("plain.txt", "hello");
    t.write(".hidden", "x");
    t.mkdir("sub");
    t.mkdir(".git");
    t.write("ro.txt");
    t.chmod("ro.txt", 0444);
    t.touch("plain.txt", 1000000000); // 2001-09-09 01:46:40 UTC
    t.symlink("sub", "link-to-dir");
    t.symlink("plain.txt", "link-to-file");
    t.symlink("nowhere", "dangling");
    t.sparse("big.bin", (5ull << 30) + 7); // 5 GiB and 7 bytes, sparse

    const auto all = listAll(t.path());
    std::set<std::string> names;
    for (const auto& [n, e] : all)
        names.insert(n);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", ".git", ".hidden", "big.bin", "dangling",
                                            "link-to-dir", "link-to-file", "plain.txt", "ro.txt",
                                            "sub"}));
    EXPECT_TRUE(all.at(".").IsDirectory());
    EXPECT_TRUE(all.at("..").IsDirectory());
    EXPECT_EQ(all.at("plain.txt").size, 5u);
    EXPECT_EQ(all.at("plain.txt").attributes, kAttrArchive);
    EXPECT_EQ(all.at("plain.txt").lastWriteTime, 1000000000LL * 10000000 + kUnixEpochAsFileTime);
    EXPECT_EQ(all.at(".hidden").attributes, kAttrArchive | kAttrHidden);
    EXPECT_EQ(all.at("ro.txt").attributes, kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(all.at("sub").attributes & kAttrDirectory, kAttrDirectory);
    EXPECT_EQ(all.at(".git").attributes & (kAttrDirectory | kAttrHidden),
              kAttrDirectory | kAttrHidden);
    EXPECT_TRUE(all.at("link-to-dir").IsDirectory());
    EXPECT_TRUE(all.at("link-to-dir").isLink);
    EXPECT_FALSE(all.at("link-to-file").IsDirectory());
    EXPECT_EQ(all.at("link-to-file").size, 5u); // the target's facts
    EXPECT_FALSE(all.at("dangling").IsDirectory());
    EXPECT_EQ(all.at("big.bin").size, (5ull << 30) + 7);

    // Without stat calls, directories and files are still told apart.
    const auto quick = listAll(t.path(), StatMode::None);
    EXPECT_TRUE(quick.at("sub").IsDirectory());
    EXPECT_TRUE(quick.at("link-to-dir").IsDirectory());
    EXPECT_FALSE(quick.at("plain.txt").IsDirectory());
}

TEST(DirListing, EscapesNamesThatCannotBeShown) {
    TempDir t;
    const std::string odd = std::string("bad\xFF") + "\\name";
    t.write(odd, "1");
    std::map<std::string, std::string> names;
    listAll(t.path(), StatMode::All, &names);
    ASSERT_TRUE(names.count(odd));
    EXPECT_TRUE(validUtf8WithoutBackslash(names[odd]));
    EXPECT_EQ(UnescapeName(names[odd]), odd);
}

TEST(DirListing, AListingThatCannotStartSaysSo) {
    TempDir t;
    t.write("file");
    DirListing listing;
    EXPECT_FALSE(listing.Open(t.at("missing")));
    EXPECT_FALSE(listing.Open(t.at("file"))); // not a directory
    DirEntry e;
    EXPECT_FALSE(listing.Next(e));
    EXPECT_TRUE(listing.Open(t.path()));
}

namespace {

// Runs `check` in a child process that is not root (root searches any
// directory); the child's exit code 0 means every expectation held.
template <class Check> void runAsOrdinaryUser(Check check) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace

TEST(DirListing, ADirectoryThatCannotBeSearchedCannotBeOpenedForItsFacts) {
    TempDir t;
    t.write("locked/inside.txt", "12345");
    ::chmod(t.path().c_str(), 0755);
    t.chmod("locked", 0644); // readable, not searchable: names only, no sizes or times
    const std::string locked = t.at("locked");
    runAsOrdinaryUser([&] {
        // The names can still be had; sizes and times cannot, and are not made up.
        DirListing names(AttrSource::Posix, StatMode::None);
        DirEntry e;
        bool sawName = false;
        if (names.Open(locked))
            while (names.Next(e))
                sawName = sawName || e.name == "inside.txt";
        DirListing facts(AttrSource::Posix, StatMode::All);
        DirListing files(AttrSource::Posix, StatMode::FilesOnly);
        return sawName && !facts.Open(locked) && !files.Open(locked) && !facts.Next(e);
    });
}

TEST(Attributes, StoredArchiveAndSystemBits) {
    uint32_t a = 0;
    EXPECT_TRUE(ParseDosAttrib(reinterpret_cast<const unsigned char*>("0x24"), 5, a));
    EXPECT_EQ(a, 0x24u);
    const unsigned char v1[] = {1, 0, 1, 0, 0x21, 0, 0, 0};
    EXPECT_TRUE(ParseDosAttrib(v1, sizeof v1, a));
    EXPECT_EQ(a, 0x21u);
    const unsigned char v4[] = {4, 0, 4, 0, 0xFF, 0, 0, 0, 0x06, 0, 0, 0};
    EXPECT_TRUE(ParseDosAttrib(v4, sizeof v4, a));
    EXPECT_EQ(a, 0x06u);
    const unsigned char junk[] = {9, 9};
    EXPECT_FALSE(ParseDosAttrib(junk, sizeof junk, a));

    // On a drive that keeps them in user.DOSATTRIB, the stored A and S replace
    // the defaults; files without the attribute keep A.
    TempDir t;
    t.write("sys.bin");
    t.write("plain.bin");
    if (::setxattr(t.at("sys.bin").c_str(), "user.DOSATTRIB", "0x4", 4, 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    DirListing listing(AttrSource::DosAttribXattr);
    ASSERT_TRUE(listing.Open(t.path()));
    std::map<std::string, uint32_t> attrs;
    DirEntry e;
    while (listing.Next(e))
        attrs[std::string(e.hostName)] = e.attributes;
    EXPECT_EQ(attrs["sys.bin"], kAttrSystem);
    EXPECT_EQ(attrs["plain.bin"], kAttrArchive);
}

TEST(FileTime, ConvertsBothWays) {
    const timespec ts{1700000000, 123456700};
    const int64_t ft = ToFileTime(ts);
    EXPECT_EQ(ft, 133444736001234567LL);
    const timespec back = FromFileTime(ft);
    EXPECT_EQ(back.tv_sec, ts.tv_sec);
    EXPECT_EQ(back.tv_nsec, ts.tv_nsec);
    EXPECT_EQ(FromFileTime(kUnixEpochAsFileTime - 1).tv_sec, -1); // before 1970
}

TEST(Volume, FactsOfReadyAndMissingDrives) {
    TempDir t;
    const DriveTable table =
        DriveTable::FromSpec("D=" + t.path() + "::Backup  ;E=" + t.at("gone"), {});
    const VolumeInfo d = QueryVolume(*table.Find('D'));
    EXPECT_TRUE(d.ready);
    EXPECT_EQ(d.label, "Backup");
    EXPECT_GT(d.totalBytes, 0u);
    EXPECT_LE(d.freeBytes, d.totalBytes);
    EXPECT_FALSE(QueryVolume(*table.Find('E')).ready);

    uint32_t serial = 0;
    EXPECT_TRUE(SerialFromUuid("12AB-34CD", serial));
    EXPECT_EQ(serial, 0x12AB34CDu);
    EXPECT_TRUE(SerialFromUuid("0123456789ABCDEF", serial)); // NTFS: the low half
    EXPECT_EQ(serial, 0x89ABCDEFu);
    EXPECT_TRUE(SerialFromUuid("3f2a1b9c-aaaa-bbbb-cccc-000000000000", serial));
    EXPECT_EQ(serial, 0x3F2A1B9Cu);
    EXPECT_FALSE(SerialFromUuid("not-a-uuid", serial));
    EXPECT_EQ(DecodeUdevName("My\\x20Disk"), "My Disk");
}

TEST(Collation, BuiltInOrderIgnoresCaseFirstThenPutsLowerCaseFirst) {
    std::vector<std::string> names = {"beta", "Alpha", "alpha", "B", "a", "Zed", "ab"};
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNamesBuiltIn(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"a", "ab", "alpha", "Alpha", "B", "beta", "Zed"}));
}

// The reader's threads must hand over every directory exactly once, in the
// order the consumer walks, whatever the thread count.
TEST(BranchReader, SameListingsWithAndWithoutWorkers) {
    TempDir t;
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 6; ++b) {
            const std::string dir = "d" + std::to_string(a) + "/e" + std::to_string(b);
            for (int f = 0; f < 5; ++f)
                t.write(dir + "/f" + std::to_string(f), std::string(f, 'x'));
        }
    std::string deep = "deep";
    for (int i = 0; i < 120; ++i)
        deep += "/n";
    t.mkdir(deep);
    t.symlink("..", "d0/loop");
    t.mkdir(".hidden/inside");
    // Larger than what a reading thread gathers in its reused arrays, with
    // small directories read before and after it by the same threads.
    for (int f = 0; f < 5000; ++f)
        t.write("big/g" + std::to_string(f), "");
    t.write("big/after/one", "1");

    auto walk = [&](int workers, bool skipHidden = false) {
        BranchReader reader(AttrSource::Posix, workers, skipHidden);
        std::vector<std::string> seen;
        std::function<void(BranchReader::Dir*, const std::string&)> visit =
            [&](BranchReader::Dir* dir, const std::string& path) {
                const DirBatch& batch = reader.Batch(dir);
                std::vector<std::string> entries;
                size_t child = 0;
                std::vector<std::pair<BranchReader::Dir*, std::string>> subs;
                for (const auto& e : batch.entries) {
                    entries.push_back(std::string(batch.Name(e)) + (e.isDirectory ? "/" : "") +
                                      std::to_string(e.size));
                    if (e.isDirectory && !e.isLink)
                        subs.emplace_back(reader.Child(dir, child++),
                                          path + "/" + std::string(batch.Name(e)));
                }
                EXPECT_EQ(child, reader.ChildCount(dir));
                // Each listing holds its own names and nothing more.
                size_t nameBytes = 0;
                for (const auto& e : batch.entries)
                    nameBytes += e.nameLen;
                EXPECT_EQ(batch.names.size(), nameBytes) << path;
                std::sort(entries.begin(), entries.end());
                std::string line = path + ":";
                for (const auto& s : entries)
                    line += " " + s;
                seen.push_back(line);
                for (auto& [d, p] : subs)
                    visit(d, p);
                reader.Release(dir);
            };
        visit(reader.Root(t.path()), "");
        return seen;
    };
    // Hidden directories are read like the others ("." and ".." never are),
    // unless the reader is told to skip them.
    const auto alone = walk(0);
    EXPECT_EQ(alone.size(), 1u + 12u + 72u + 121u + 2u + 2u);
    EXPECT_NE(std::find(alone.begin(), alone.end(), "/.hidden/inside:"), alone.end());
    EXPECT_NE(std::find(alone.begin(), alone.end(), "/d7/e3: f00 f11 f22 f33 f44"), alone.end());
    EXPECT_NE(std::find(alone.begin(), alone.end(), "/big/after: one1"), alone.end());
    const auto big = std::find_if(alone.begin(), alone.end(), [](const std::string& line) {
        return line.rfind("/big:", 0) == 0;
    });
    ASSERT_NE(big, alone.end());
    EXPECT_EQ(std::count(big->begin(), big->end(), ' '), 5001);
    EXPECT_NE(big->find(" g4999"), std::string::npos);
    EXPECT_NE(big->find(" after/0"), std::string::npos);
    EXPECT_EQ(walk(1), alone);
    EXPECT_EQ(walk(2), alone);
    EXPECT_EQ(walk(3), alone);
    const auto visible = walk(2, true);
    EXPECT_EQ(visible.size(), 1u + 12u + 72u + 121u + 2u);
    EXPECT_EQ(visible.front().find(".hidden"), std::string::npos);
}

// A directory that can be read but not searched is not listed by the branch
// reader, whether it holds files, only directories or nothing; one that can be
// searched is, whatever it holds. The same whoever reads it: a worker, or the
// consumer while it waits.
TEST(BranchReader, ADirectoryThatCannotBeSearchedIsNotListed) {
    TempDir t;
    t.write("open/file.txt", "123");
    t.mkdir("open/sub");
    t.mkdir("openEmpty");
    t.mkdir("openDirsOnly/sub");
    t.write("locked/file.txt", "12345");
    t.mkdir("lockedEmpty");
    t.mkdir("lockedDirsOnly/sub");
    ::chmod(t.path().c_str(), 0755);
    for (const char* locked : {"locked", "lockedEmpty", "lockedDirsOnly"})
        t.chmod(locked, 0644);
    runAsOrdinaryUser([&] {
        for (int workers : {0, 1, 2}) {
            BranchReader reader(AttrSource::Posix, workers);
            BranchReader::Dir* root = reader.Root(t.path());
            const DirBatch& top = reader.Batch(root);
            std::map<std::string, std::string> seen; // name -> what its listing held
            size_t child = 0;
            for (const auto& e : top.entries) {
                if (!e.isDirectory || e.isLink)
                    continue;
                BranchReader::Dir* dir = reader.Child(root, child++);
                const DirBatch& batch = reader.Batch(dir);
                std::set<std::string> names;
                for (const auto& f : batch.entries)
                    names.insert(std::string(batch.Name(f)) + "=" + std::to_string(f.size));
                std::string held = batch.opened ? "listed:" : "not listed";
                for (const auto& name : names)
                    held += " " + name;
                for (size_t i = 0; i < reader.ChildCount(dir); ++i) {
                    reader.Batch(reader.Child(dir, i));
                    reader.Release(reader.Child(dir, i));
                }
                reader.Release(dir);
                seen[std::string(top.Name(e))] = held;
            }
            reader.Release(root);
            const std::map<std::string, std::string> expected{
                {"open", "listed: file.txt=3 sub=0"}, {"openEmpty", "listed:"},
                {"openDirsOnly", "listed: sub=0"},    {"locked", "not listed"},
                {"lockedEmpty", "not listed"},        {"lockedDirsOnly", "not listed"}};
            if (seen != expected)
                return false;
        }
        return true;
    });
}

TEST(Process, AToolThatDoesNotEndInTimeIsEnded) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunAndWait("sleep", {"30"}, std::chrono::milliseconds(200)), kTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(RunAndWait("sh", {"-c", "exit 3"}, std::chrono::seconds(20)), 3);
    EXPECT_EQ(RunAndWait("no-such-program-anywhere", {}, std::chrono::seconds(1)), -1);
    // A share that is not mounted is not unmounted, and no tool waits for ever.
    TempDir t;
    EXPECT_FALSE(UnmountShare(t.path()));
}

TEST(Process, AToolFedOnItsInputIsEndedWhenItTakesTooLong) {
    const auto start = std::chrono::steady_clock::now();
    std::string out;
    EXPECT_EQ(RunWithInput("sh", {"-c", "cat >/dev/null; sleep 30"}, "x\n", &out,
                           std::chrono::milliseconds(200)),
              kTimedOut);
    // Its output closed, it is still timed.
    EXPECT_EQ(RunWithInput("sh", {"-c", "exec >/dev/null 2>&1; sleep 30"}, "", &out,
                           std::chrono::milliseconds(200)),
              kTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(RunWithInput("sh", {"-c", "read a; echo \"<$a>\"; exit 4"}, "x\n", &out,
                           std::chrono::seconds(20)),
              4);
    EXPECT_EQ(out, "<x>\n");
}

TEST(Process, ProgramsAreFoundOnlyInAbsoluteDirectoriesOfThePath) {
    // A program of a common name in the directory the program happens to be in.
    TempDir here;
    here.write("sub/zx-here", "#!/bin/sh\ntouch '" + here.at("ran") + "'\n");
    here.chmod("sub/zx-here", 0755);
    here.write("zx-here", "#!/bin/sh\ntouch '" + here.at("ran") + "'\n");
    here.chmod("zx-here", 0755);
    char old[4096];
    ASSERT_TRUE(::getcwd(old, sizeof old));
    ASSERT_EQ(::chdir(here.path().c_str()), 0);
    const char* saved = std::getenv("PATH");
    const std::string path = saved ? saved : "/usr/bin:/bin";
    // An empty entry, "." and a relative one all stand for the current directory.
    for (const std::string& entries : {":" + path, path + ":.", "sub:" + path}) {
        ::setenv("PATH", entries.c_str(), 1);
        EXPECT_EQ(FindProgram("zx-here"), "") << entries;
        EXPECT_FALSE(ProgramExists("zx-here")) << entries;
        EXPECT_EQ(RunAndWait("zx-here", {}, std::chrono::seconds(5)), -1) << entries;
        EXPECT_EQ(RunWithInput("zx-here", {}, "", nullptr, std::chrono::seconds(5)), -1);
        EXPECT_FALSE(StartDetached("zx-here", {})) << entries;
        // A relative path with a "/" is relative to that directory too.
        EXPECT_EQ(FindProgram("./zx-here"), "");
        EXPECT_EQ(FindProgram("sh"), FindProgramIn("sh", path)) << "the rest still counts";
    }
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(::chdir(old), 0);
    EXPECT_FALSE(Exists(here.at("ran")));
}

TEST(Process, APromptedProgramGetsItsAnswersOneByOneAndEndsOnAnyOther) {
    std::atomic<bool> cancel{false};
    std::vector<std::string> asked;
    const PromptAnswer answer = [&](const std::string& prompt) -> std::optional<std::string> {
        asked.push_back(prompt);
        if (prompt == "User [me]: ")
            return "ann";
        if (prompt == "Password: ")
            return "pw";
        return std::nullopt;
    };
    // Each answer goes only where it was asked for, and the prompts may come on one line.
    PromptedRun run =
        RunPrompted("sh",
                    {"-c", "printf 'Note:\\nUser [me]: '; read u; printf 'Password: '; read p; "
                           "echo \"<$u|$p|$LC_ALL>\""},
                    {"LC_ALL=C"}, answer, std::chrono::seconds(20), cancel);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(asked, (std::vector<std::string>{"User [me]: ", "Password: "}));
    EXPECT_NE(run.output.find("<ann|pw|C>"), std::string::npos) << run.output;
    // A question nobody answers ends the program instead of leaving it waiting.
    asked.clear();
    const auto start = std::chrono::steady_clock::now();
    run = RunPrompted("sh", {"-c", "printf '[0] Yes\\n[1] No\\nChoice: '; read c; sleep 30"}, {},
                      answer, std::chrono::seconds(60), cancel);
    EXPECT_TRUE(run.unanswered);
    EXPECT_EQ(asked, std::vector<std::string>{"Choice: "});
    // So does a cancel from another thread, and the time limit.
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cancel = true;
    });
    run = RunPrompted("sleep", {"30"}, {}, answer, std::chrono::seconds(60), cancel);
    stopper.join();
    EXPECT_TRUE(run.cancelled);
    cancel = false;
    run = RunPrompted("sleep", {"30"}, {}, answer, std::chrono::milliseconds(200), cancel);
    EXPECT_TRUE(run.timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}
