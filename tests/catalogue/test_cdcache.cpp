#include "catalogue/cccformat.h"
#include "catalogue/cdcache.h"
#include "catalogue/cdcachefile.h"
#include "catalogue/discidentification.h"
#include "catalogue/discinforecord.h"
#include "catalogue/localtimeoffsets.h"
#include "cataloguefixture.h"
#include "core/progress.h"
#include "support/scopedenv.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

using namespace zentrix;
using namespace zentrix::test;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

/// Progress that remembers what the status line was told.
class RecordingProgress : public Progress {
public:
    int64_t total = 0;
    int64_t position = 0;
    std::vector<bool> stops;
    void setTotal(int64_t t) override { total = t; }
    void setPosition(int64_t p) override { position = p; }
    void showStop(bool shown) override { stops.push_back(shown); }
    bool aborted() const override { return false; }

protected:
    void processEvents() override {}
};

/// One directory record of a cache file as it lies in the file.
struct RawDirectory {
    std::string path;
    uint8_t pathType = 0;
    std::vector<std::string> names;
    std::vector<std::string> sizeBytes; // type byte and number of each file's size
};

/// Walks a cache file value by value, keeping the raw encodings.
std::vector<RawDirectory> rawDirectories(std::string bytes) {
    std::vector<RawDirectory> out;
    ccc::Reader r(bytes.data(), bytes.size());
    for (int i = 0; i < 13; ++i)
        if (!r.Text(i > 0))
            return {};
    const auto n = r.Integer();
    for (int64_t d = 0; n && d < *n; ++d) {
        RawDirectory dir;
        dir.pathType = static_cast<uint8_t>(bytes[r.Position()]);
        dir.path = std::string(*r.Text(true));
        const auto m = r.Integer();
        for (int64_t f = 0; f < *m; ++f) {
            dir.names.emplace_back(*r.Text(true));
            const size_t at = r.Position();
            r.Integer();
            dir.sizeBytes.push_back(bytes.substr(at, r.Position() - at));
            r.Integer();
            r.DateTime();
        }
        out.push_back(std::move(dir));
    }
    return out;
}

/// Drives E and F are CD-ROM drives with the same disc (the same directory
/// and label); C is a hard disk. The program's directory is a temporary one.
class CdCacheTest : public CatalogueTest {
protected:
    std::unique_ptr<ScopedEnv> home;
    RecordingProgress progress;
    std::unique_ptr<CdCache> cache;
    std::vector<std::string> titleViews;

    void SetUp() override {
        CatalogueTest::SetUp();
        tmp.mkdir("home");
        home = std::make_unique<ScopedEnv>("ZENTRIX_HOME", tmp.at("home"));
        tmp.write("disc/README.TXT", std::string(100, 'r'));
        tmp.write("disc/SETUP.EXE", std::string(200, 's'));
        tmp.write("disc/DATA/ONE.DAT", "1");
        tmp.write("disc/DATA/DEEP/TWO.DAT", "22");
        tmp.mkdir("disc/EMPTY");
        for (const char* f :
             {"disc/README.TXT", "disc/SETUP.EXE", "disc/DATA/ONE.DAT", "disc/DATA/DEEP/TWO.DAT",
              "disc/DATA/DEEP", "disc/DATA", "disc/EMPTY"})
            tmp.touch(f, 1600000000);
        useCdDrives("C=" + tmp.at("c") + ";E=" + tmp.at("disc") +
                    ":cdrom:DISC;F=" + tmp.at("disc") + ":cdrom:DISC");
    }
    void TearDown() override {
        cache.reset();
        logger.reset();
    }

    void useCdDrives(const std::string& spec) {
        cache.reset();
        useDrives(spec);
        cache = std::make_unique<CdCache>(*cat, state, settings, *logger, prompter, progress, ui);
        cache->ShowTitleView = [this](bool on) {
            titleViews.push_back(on ? "title" : "normal");
        };
        cache->ReadDiscInfo = [](const platform::DriveInfo&) {
            return DiscInfoRecord{};
        };
        logger->SetCdCacheLoader(cache.get());
    }

    /// Logs a drive and everything on it, then selects a directory of it.
    void logWhole(char letter, const std::string& select = {}) {
        logger->LogDrive(letter);
        logger->LogBranchRecursive(node(std::string(1, letter) + ":\\"));
        if (!select.empty())
            tree().Select(node(select));
    }

    std::string cacheFile() const {
        const auto id = cache->DiscIdentification('E', "DISC");
        return tmp.at("home") + "/Cache/" + id.value_or("none") + ".ccc";
    }
    void archive(const std::string& title = "My disc") {
        prompter.answer(true).answerText(title);
        cache->ArchiveCDROMDisk();
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Encodings

TEST(CccFormat, ScramblingIsARunningExclusiveOrFromTheSeed) {
    std::string text = "AB";
    ccc::Scramble(text.data(), text.size());
    EXPECT_EQ(static_cast<uint8_t>(text[0]), ccc::kScrambleSeed ^ 'A');
    EXPECT_EQ(static_cast<uint8_t>(text[1]), ccc::kScrambleSeed ^ 'A' ^ 'B');
    ccc::Unscramble(text.data(), text.size());
    EXPECT_EQ(text, "AB");

    // Every byte value survives, the length stays.
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    std::string copy = all;
    ccc::Scramble(copy.data(), copy.size());
    EXPECT_NE(copy, all);
    ccc::Unscramble(copy.data(), copy.size());
    EXPECT_EQ(copy, all);
}

TEST(CccFormat, TextsTakeTheShortEncodingUpTo255BytesAndTheLongOneAbove) {
    for (const size_t length : {size_t(0), size_t(255), size_t(256), size_t(70000)}) {
        std::string out;
        ccc::Writer(out).Text(std::string(length, 'x'), false);
        ASSERT_EQ(static_cast<uint8_t>(out[0]), length < 256 ? ccc::kText : ccc::kLongText);
        EXPECT_EQ(out.size(), (length < 256 ? 2 : 5) + length);
        ccc::Reader r(out.data(), out.size());
        EXPECT_EQ(r.Text(false), std::string(length, 'x'));
        EXPECT_EQ(r.Left(), 0u);
    }
    // A length beyond the end is refused and leaves the position alone.
    std::string cut("\x0C\x10\0\0\0"
                    "abc",
                    8);
    ccc::Reader r(cut.data(), cut.size());
    EXPECT_FALSE(r.Text(false));
    EXPECT_EQ(r.Position(), 0u);
}

TEST(CccFormat, DateTimesAreExtendedRealsOfDaysSince1899) {
    // 1.0 is 31 December 1899, midnight; -1.25 is 29 December 1899, 06:00.
    const auto one = ccc::EncodeDateTime(ccc::kMsPerDay);
    EXPECT_EQ(one, (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    const auto before = ccc::EncodeDateTime(-ccc::kMsPerDay + ccc::kMsPerDay / 4);
    EXPECT_EQ(before, (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0xA0, 0xFF, 0xBF}));
    EXPECT_EQ(ccc::DecodeDateTime(before.data()), -ccc::kMsPerDay + ccc::kMsPerDay / 4);
    EXPECT_EQ(ccc::EncodeDateTime(0), (std::array<uint8_t, 10>{}));

    // Every millisecond comes back, also far from 1899 in both directions.
    for (const int64_t ms :
         {int64_t(1), int64_t(-1), int64_t(45000) * ccc::kMsPerDay + 123,
          int64_t(-109205) * ccc::kMsPerDay + 86399999,
          int64_t(2958465) * ccc::kMsPerDay + 86399999, (ccc::kMaxDays - 1) * ccc::kMsPerDay + 7}) {
        const auto bytes = ccc::EncodeDateTime(ms);
        EXPECT_EQ(ccc::DecodeDateTime(bytes.data()), ms) << ms;
    }

    // What no date can be is refused: infinity, not a number, 2^30 days.
    const std::array<uint8_t, 10> infinity{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F};
    const std::array<uint8_t, 10> nan{1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF};
    const std::array<uint8_t, 10> far{0, 0, 0, 0, 0, 0, 0, 0x80, 0x1D, 0x40};
    EXPECT_FALSE(ccc::DecodeDateTime(infinity.data()));
    EXPECT_FALSE(ccc::DecodeDateTime(nan.data()));
    EXPECT_FALSE(ccc::DecodeDateTime(far.data()));
}

TEST(CccFormat, FileTimesGoThroughLocalTimeAndBack) {
    // Central European time, without the time zone database.
    struct Retzset {
        ~Retzset() { ::tzset(); } // after the zone before is back
    } retzset;
    const ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    ::tzset();
    LocalTimeOffsets times;
    // 2021-07-01 12:00:00.123 UTC is 14:00 summer time in Berlin.
    const int64_t summer = (int64_t(1625140800) + 11644473600LL) * 10000000 + 1230000;
    const int64_t local = times.FileTimeToLocalMs(summer);
    EXPECT_EQ(local % ccc::kMsPerDay, (14 * 3600) * 1000 + 123);
    EXPECT_EQ(times.LocalMsToFileTime(local), summer);
    // Winter: one hour east.
    const int64_t winter = (int64_t(1609502400) + 11644473600LL) * 10000000;
    EXPECT_EQ(times.FileTimeToLocalMs(winter) % ccc::kMsPerDay, 13 * 3600 * 1000);
    EXPECT_EQ(times.LocalMsToFileTime(times.FileTimeToLocalMs(winter)), winter);
    // The fraction of a millisecond goes.
    EXPECT_EQ(times.LocalMsToFileTime(times.FileTimeToLocalMs(winter + 9999)), winter);
}

// ---------------------------------------------------------------------------
// Disc information and identification

TEST(DiscInfo, TheFieldsOfSector16) {
    std::string sector(2048, ' ');
    sector[0] = 1;
    sector.replace(1, 5, "CD001");
    const auto put = [&](size_t at, const std::string& text) {
        sector.replace(at, text.size(), text);
    };
    put(8, "LINUX");
    put(40, "MY_DISC");
    put(318, "PUBLISHER");
    // A copyright file name of the full 37 bytes right before the abstract's.
    put(702, std::string(37, 'C'));
    put(739, "ABSTRACT.TXT");
    put(776, "BIBLIO.TXT");
    put(813, "2021031509300000");
    put(830, "0000000000000000");
    put(847, "20210231");        // no such day
    put(864, "2021x1010000000"); // no digits
    sector[100] = '\0';
    const DiscInfoRecord r = ParseDiscInfoRecord(sector);
    EXPECT_EQ(r.system, "LINUX");
    EXPECT_EQ(r.volume, "MY_DISC");
    EXPECT_EQ(r.publisher, "PUBLISHER");
    EXPECT_EQ(r.copyrightFile, std::string(37, 'C'));
    EXPECT_EQ(r.abstractFile, "ABSTRACT.TXT");
    EXPECT_EQ(r.bibliographicFile, "BIBLIO.TXT");
    EXPECT_EQ(r.created, (DiscDate{2021, 3, 15}));
    EXPECT_EQ(r.modified, (DiscDate{1, 1, 1})); // a 0 counts as 1
    EXPECT_TRUE(r.expires.Empty());
    EXPECT_TRUE(r.effective.Empty());

    sector[0] = 2; // a supplementary descriptor is no record
    EXPECT_TRUE(ParseDiscInfoRecord(sector).volume.empty());
    EXPECT_TRUE(ParseDiscInfoRecord(sector.substr(0, 100)).volume.empty());
}

TEST(DiscInfo, ReadFromAnIsoImageMadeByXorriso) {
    if (std::system("command -v xorriso >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xorriso is not installed";
    TempDir tmp;
    tmp.write("content/FILE.TXT", "x");
    const std::string image = tmp.at("disc.iso");
    const std::string command =
        "xorriso -as mkisofs -quiet -V 'ZENTRIX_TEST' -publisher 'SOME PUBLISHER' -A 'THE APP' "
        "-sysid 'SYS' -volset 'SET' -p 'PREP' --modification-date=2019082712000000 -o '" +
        image + "' '" + tmp.at("content") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    platform::DriveInfo drive;
    drive.device = image;
    const DiscInfoRecord r = ReadDiscInfoRecord(drive);
    EXPECT_EQ(r.volume, "ZENTRIX_TEST");
    EXPECT_EQ(r.publisher, "SOME PUBLISHER");
    EXPECT_EQ(r.application, "THE APP");
    EXPECT_EQ(r.system, "SYS");
    EXPECT_EQ(r.volumeSet, "SET");
    EXPECT_EQ(r.preparer, "PREP");
    EXPECT_EQ(r.created, (DiscDate{2019, 8, 27}));
    EXPECT_EQ(r.modified, (DiscDate{2019, 8, 27}));

    // Neither a directory nor a missing file is read.
    drive.device = tmp.at("content");
    EXPECT_TRUE(ReadDiscInfoRecord(drive).volume.empty());
    drive.device = tmp.at("missing.iso");
    EXPECT_TRUE(ReadDiscInfoRecord(drive).volume.empty());
}

TEST(DiscIdentification, LabelAndRootListingMakeIt) {
    EXPECT_EQ(DiscLabelCrc(""), 0u);
    EXPECT_EQ(DiscLabelCrc("CDROM"), 0xBE588CBDu);
    // Only 14 bytes of the label count.
    EXPECT_EQ(DiscLabelCrc("ABCDEFGHIJKLMNOP"), DiscLabelCrc("ABCDEFGHIJKLMN"));
    EXPECT_EQ(DiscIdentificationText(0x0012ABCF), "0012ABCF");

    TempDir tmp;
    for (const char* disc : {"one", "two"}) {
        const std::string d = disc;
        tmp.write(d + "/A.TXT", d); // the contents do not count, names and times do
        tmp.write(d + "/SUB/B.TXT", "b");
        tmp.touch(d + "/A.TXT", 1500000000);
        tmp.touch(d + "/SUB", 1500000100);
    }
    const auto one = DiscIdentificationValue("LABEL", tmp.at("one"));
    ASSERT_TRUE(one);
    EXPECT_EQ(DiscIdentificationValue("LABEL", tmp.at("two")), one);
    EXPECT_NE(DiscIdentificationValue("OTHER", tmp.at("two")), one);
    tmp.touch("two/SUB", 1500000101);
    EXPECT_NE(DiscIdentificationValue("LABEL", tmp.at("two")), one);
    EXPECT_FALSE(DiscIdentificationValue("LABEL", tmp.at("missing")));
}

// ---------------------------------------------------------------------------
// Reading hostile files

TEST(CdCacheFile, DamagedFilesAreRefusedWithTheirPlace) {
    // A valid file of a root and one subdirectory, then variations of it.
    const auto file = [](const std::vector<std::string>& paths, int64_t count = -1) {
        std::string out;
        ccc::Writer w(out);
        w.Text("T", false);
        for (int i = 0; i < 12; ++i)
            w.Text("", true);
        w.Integer(count >= 0 ? count : static_cast<int64_t>(paths.size()));
        for (const std::string& p : paths) {
            w.Text(p, true);
            w.Integer(0);
        }
        return out;
    };
    LocalTimeOffsets times;
    std::string error;
    ASSERT_TRUE(ParseCdCache(file({"E:\\", "E:\\A\\", "E:\\A\\B\\"}), times, &error)) << error;

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"E:\\A\\"}, "a first directory that is no drive root"},
        {{"E:\\", "E:\\"}, "a second drive root"},
        {{"E:\\", "E:\\..\\"}, "an empty, \".\" or \"..\" component"},
        {{"E:\\", "E:\\.\\"}, "an empty, \".\" or \"..\" component"},
        {{"E:\\", "E:\\\\"}, "an empty, \".\" or \"..\" component"},
        {{"E:\\", "E:\\A/..\\"}, "an empty, \".\" or \"..\" component"},
        {{"E:\\", "E:\\A\\B\\", "E:\\A\\"}, "parent is not read before it"},
        {{"E:\\", "E:\\A\\", "E:\\A\\"}, "listed twice"},
        {{"1:\\"}, "no path on a drive"},
        {{"E:/"}, "no path on a drive"},
        {{"E:\\", "E:\\A"}, "no path on a drive"},
    };
    for (const auto& [paths, expected] : bad) {
        error.clear();
        EXPECT_FALSE(ParseCdCache(file(paths), times, &error)) << paths.back();
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    // Counts that the rest of the file cannot hold, and trailing bytes.
    EXPECT_FALSE(ParseCdCache(file({"E:\\"}, 1000000), times, &error));
    EXPECT_NE(error.find("number of directories"), std::string::npos);
    EXPECT_FALSE(ParseCdCache(file({"E:\\"}, 0), times, &error));
    EXPECT_FALSE(ParseCdCache(file({"E:\\"}) + "x", times, &error));
    EXPECT_NE(error.find("more data"), std::string::npos);
}

TEST_F(CdCacheTest, ATruncatedFileIsRefusedAtEveryLength) {
    logWhole('E');
    archive();
    const std::string whole = slurp(cacheFile());
    ASSERT_GT(whole.size(), 100u);
    LocalTimeOffsets times;
    std::string error;
    ASSERT_TRUE(ParseCdCache(whole, times, &error)) << error;
    for (size_t length = 0; length < whole.size(); ++length) {
        error.clear();
        EXPECT_FALSE(ParseCdCache(whole.substr(0, length), times, &error)) << length;
        EXPECT_FALSE(error.empty());
    }

    // Loading one reports it and leaves the catalogue as it was.
    tmp.write("cut.ccc", whole.substr(0, whole.size() / 2));
    const std::vector<std::string> before = loggedPaths();
    prompter.clear();
    EXPECT_FALSE(cache->LoadCacheFile(tmp.at("cut.ccc"), 'E'));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Error);
    EXPECT_NE(prompter.shown()[0].text.find("is damaged"), std::string::npos);
    EXPECT_EQ(loggedPaths(), before);
    EXPECT_EQ(files(node("E:\\DATA\\DEEP\\")), std::vector<std::string>{"TWO.DAT"});
}

// ---------------------------------------------------------------------------
// Archiving

TEST_F(CdCacheTest, ArchivingRefusesWhatIsNoWholeLoggedCdRom) {
    logger->LogDrive('C');
    cache->ArchiveCDROMDisk();
    logger->LogDrive('E'); // only the root level
    cache->ArchiveCDROMDisk();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Disk not a CD-ROM!     ", "Whole disk not logged!     "}));

    // Cancelled at the question or at the title: nothing written.
    logger->LogBranchRecursive(node("E:\\"));
    prompter.clear();
    prompter.answer(false);
    cache->ArchiveCDROMDisk();
    prompter.answer(true).answerCancel();
    cache->ArchiveCDROMDisk();
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Archive CD-ROM disk: E: ?", "Archive CD-ROM disk: E: ?",
                                        "Enter disc title: "}));
    EXPECT_FALSE(exists(cacheFile()));
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(CdCacheTest, ArchivingWritesTheWholeDiscFromTheRootWithTheShortestEncodings) {
    logWhole('E', "E:\\DATA\\DEEP\\");
    settings.Compatibility = 2;
    cache->ReadDiscInfo = [](const platform::DriveInfo&) {
        DiscInfoRecord r;
        r.volume = "VOLUME_ID";
        r.publisher = "PUB";
        return r;
    };
    archive("Title of the disc");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Archive CD-ROM disk: E: ?",
                                        "Enter disc title: ", "Operation successful.     "}));
    EXPECT_EQ(prompter.inputDefaults(), std::vector<std::string>{"VOLUME_ID"});

    const std::string bytes = slurp(cacheFile());
    // The title is plain, the disc's texts are not.
    EXPECT_EQ(bytes.substr(0, 19), std::string("\x06\x11Title of the disc"));
    EXPECT_EQ(bytes.find("PUB"), std::string::npos);
    const std::vector<RawDirectory> dirs = rawDirectories(bytes);
    ASSERT_EQ(dirs.size(), 4u);
    EXPECT_EQ(dirs[0].path, "E:\\");
    EXPECT_EQ(dirs[1].path, "E:\\DATA\\");
    EXPECT_EQ(dirs[2].path, "E:\\DATA\\DEEP\\");
    EXPECT_EQ(dirs[3].path, "E:\\EMPTY\\");
    // 100 bytes: byte 2 and one byte; 200 bytes: byte 3 and two bytes.
    for (size_t i = 0; i < dirs[0].names.size(); ++i) {
        if (dirs[0].names[i] == "README.TXT") {
            EXPECT_EQ(dirs[0].sizeBytes[i], std::string("\x02\x64", 2));
        } else {
            EXPECT_EQ(dirs[0].names[i], "SETUP.EXE");
            EXPECT_EQ(dirs[0].sizeBytes[i], std::string("\x03\xC8\0", 3));
        }
    }
    EXPECT_EQ(dirs[0].names.size(), 2u);
}

TEST_F(CdCacheTest, ALongPathTakesTheLongTextAndComesBackWhole) {
    std::string path = "disc";
    std::string catalogue = "E:\\";
    // Components of 200 characters: 256 and more characters in all.
    for (int i = 0; i < 2; ++i) {
        const std::string name = std::string(200, char('a' + i));
        path += "/" + name;
        catalogue += name + "\\";
    }
    tmp.write(path + "/LONG.TXT", "long");
    logWhole('E');
    archive();
    const std::vector<RawDirectory> dirs = rawDirectories(slurp(cacheFile()));
    bool found = false;
    for (const RawDirectory& d : dirs)
        if (d.path == catalogue) {
            found = true;
            EXPECT_EQ(d.pathType, ccc::kLongText);
        }
    EXPECT_TRUE(found);

    settings.SkipReleaseDrvOption = true;
    logger->ReleaseDrive('E');
    settings.SkipRestoreOption = true;
    logger->LogDrive('F');
    const std::string onF = "F" + catalogue.substr(1);
    EXPECT_EQ(files(node(onF)), std::vector<std::string>{"LONG.TXT"});
    EXPECT_EQ(node(onF)->Path(), onF);
}

// ---------------------------------------------------------------------------
// Loading while logging

TEST_F(CdCacheTest, ADiscArchivedInELoadsInFFromTheCache) {
    logWhole('E');
    archive();
    TFileClass* archived = file(node("E:\\"), "SETUP.EXE");
    const int64_t time = archived->LastWriteTime();
    const uint16_t attributes = archived->Attributes();
    archived->SetTagged(true);
    // The disc itself changes below the root: a disc read would show it.
    tmp.remove("disc/DATA/DEEP/TWO.DAT");

    prompter.clear();
    prompter.answer(true);
    titleViews.clear();
    logger->LogDrive('F');
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Log CD-ROM from cache ?"});
    EXPECT_EQ(files(node("F:\\DATA\\DEEP\\")), std::vector<std::string>{"TWO.DAT"});
    EXPECT_EQ(children(node("F:\\")), (std::vector<std::string>{"DATA", "EMPTY"}));
    for (const TLoggedClass* d : cat->LoggedDirs())
        if (d->DirNode()->DriveLetter() == 'F') {
            EXPECT_EQ(d->DirNode()->Path()[0], 'F');
            EXPECT_TRUE(d->DirNode()->Expanded() || d->DirNode()->Count() == 0);
        }
    const TFileClass* loaded = file(node("F:\\"), "SETUP.EXE");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->FileSize(), 200);
    EXPECT_EQ(loaded->LastWriteTime(), time);
    EXPECT_EQ(loaded->Attributes(), attributes);
    EXPECT_FALSE(loaded->Tagged());
    EXPECT_EQ(node("F:\\EMPTY\\")->ImageIndex(), kImageEmpty);
    EXPECT_EQ(tree().Selected(), node("F:\\"));
    EXPECT_EQ(titleViews, (std::vector<std::string>{"title", "normal"}));
    EXPECT_EQ(progress.total, 4);
    EXPECT_EQ(progress.position, 4);
    EXPECT_EQ(progress.stops, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.count("sound"), 1);

    // Logged again with No: the disc itself is read.
    prompter.answer(false);
    logger->LogDrive('F');
    logger->LogBranchRecursive(node("F:\\"));
    EXPECT_TRUE(files(node("F:\\DATA\\DEEP\\")).empty());
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(CdCacheTest, WhenTheCacheIsNotUsed) {
    logWhole('E');
    archive();
    const std::string archived = cacheFile();
    prompter.clear();
    // Settings say not to look at archives: no question, the disc is read.
    settings.LogCDFromArchiveOption = false;
    logger->LogDrive('F');
    EXPECT_TRUE(prompter.questions().empty());
    EXPECT_FALSE(node("F:\\DATA\\")->Logged());

    // Another label: another disc, no cache file for it.
    settings.LogCDFromArchiveOption = true;
    useCdDrives("C=" + tmp.at("c") + ";F=" + tmp.at("disc") + ":cdrom:OTHER");
    logger->LogDrive('F');
    EXPECT_TRUE(prompter.questions().empty());
    EXPECT_FALSE(node("F:\\DATA\\")->Logged());

    // A damaged cache file is reported and the disc read instead.
    tmp.write("home/Cache/" + archived.substr(archived.rfind('/') + 1), slurp(archived) + "junk");
    useCdDrives("C=" + tmp.at("c") + ";F=" + tmp.at("disc") + ":cdrom:DISC");
    settings.SkipRestoreOption = true;
    logger->LogDrive('F');
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Error);
    EXPECT_TRUE(node("F:\\")->Logged());
    EXPECT_FALSE(node("F:\\DATA\\")->Logged());
}
