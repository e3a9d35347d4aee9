#include "filewindow/fixture.h"
#include "ops/filedeletion.h"
#include "ops/twdlist.h"
#include "platform/trash.h"
#include "support/files.h"
#include "support/scopedenv.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Drive D on a temporary directory shown in the file window, the WatchDog
/// logging every kind, the trash in a temporary data directory.
class FileDeletionTest : public FileWindowFixture {
protected:
    TempDir xdg;
    ScopedEnv dataHome{"XDG_DATA_HOME", xdg.path()};
    std::unique_ptr<TWDList> wd;
    std::unique_ptr<FileDeletion> del;

    void SetUp() override { dir.mkdir("logs"); }
    void open() {
        start();
        wd = std::make_unique<TWDList>(settings, prompter, *drives);
        std::array<bool, TWDList::Count> all{};
        all.fill(true);
        wd->LoadFlags(all);
        wd->Clock = [] {
            return std::time_t{1704200703};
        };
        settings.WDEnabled = true;
        settings.WDFilePath = "D:\\logs\\";
        del = std::make_unique<FileDeletion>(*cat, state, settings, *fw, *logger, prompter,
                                             progress, *wd, catUi);
        logAll('D');
        select("D:\\");
        fill();
    }
    int entry(const std::string& name) {
        for (int i = 0; i < fw->Count(); ++i)
            if (fw->Text(i) == name)
                return i;
        return -1;
    }
    void current(const std::string& name) {
        ASSERT_GE(entry(name), 0) << name;
        fw->SetCurrent(entry(name));
    }
    void tag(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            ASSERT_GE(entry(n), 0) << n;
            fw->Record(entry(n))->SetTagged(true);
        }
    }
    std::vector<std::string> logLines() {
        std::vector<std::string> out;
        std::istringstream in(ReadFile(dir.at("logs/WATCHDOG.LOG")));
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("01/02/24 13:05:03", 0) == 0)
                out.push_back(line.substr(17, line.size() - 18));
        return out;
    }
};

} // namespace

TEST_F(FileDeletionTest, TheWipeModesWriteTheirPassesInTheirBlocks) {
    dir.write("big.bin", std::string(300000, 'q'));
    dir.write("fast.bin", std::string(131071, 'q'));
    dir.write("empty.bin");
    dir.write("cut.bin", "truncated");
    dir.write("target.txt", "the target stays");
    dir.symlink(dir.at("target.txt"), "link");
    open();
    const std::string big = dir.at("big.bin");

    // DoD: seven passes of 131,072 + 131,072 + 37,856 bytes; at the end of each
    // pass the whole file holds that pass's byte.
    settings.DeleteType = 4;
    std::vector<std::pair<int, size_t>> blocks;
    std::string passBytes;
    uint64_t written = 0;
    del->OnWipeBlock = [&](int pass, size_t length) {
        blocks.emplace_back(pass, length);
        written += length;
        if (written % 300000 == 0) {
            const std::string now = ReadFile(big);
            ASSERT_EQ(now.size(), 300000u);
            EXPECT_EQ(now.find_first_not_of(now[0]), std::string::npos);
            passBytes += now[0];
        }
    };
    EXPECT_TRUE(del->DeleteFileByMode("D:\\big.bin"));
    ASSERT_EQ(blocks.size(), 21u);
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].first, static_cast<int>(i / 3));
        EXPECT_EQ(blocks[i].second, i % 3 == 2 ? 37856u : 131072u);
    }
    EXPECT_EQ(passBytes, std::string("\xFF\x00\xFF\x00\xFF\x00\xF5", 7));
    EXPECT_FALSE(Exists(big));

    // Incinerator: zeros in blocks of 65,535; an empty file gets one empty block.
    settings.DeleteType = 3;
    blocks.clear();
    written = 0;
    del->OnWipeBlock = [&](int pass, size_t length) {
        blocks.emplace_back(pass, length);
    };
    EXPECT_TRUE(del->DeleteFileByMode("D:\\fast.bin"));
    EXPECT_EQ(blocks, (std::vector<std::pair<int, size_t>>{{0, 65535}, {0, 65535}, {0, 1}}));
    blocks.clear();
    EXPECT_TRUE(del->DeleteFileByMode("D:\\empty.bin"));
    EXPECT_EQ(blocks, (std::vector<std::pair<int, size_t>>{{0, 0}}));
    EXPECT_FALSE(Exists(dir.at("empty.bin")));

    // A link goes as a link: what it points to is neither wiped nor deleted.
    blocks.clear();
    EXPECT_TRUE(del->DeleteFileByMode("D:\\link"));
    EXPECT_TRUE(blocks.empty());
    EXPECT_FALSE(Exists(dir.at("link")));
    EXPECT_EQ(ReadFile(dir.at("target.txt")), "the target stays");

    // Shredder and plain deletion; an unknown mode deletes nothing.
    settings.DeleteType = 2;
    EXPECT_TRUE(del->DeleteFileByMode("D:\\cut.bin"));
    EXPECT_FALSE(Exists(dir.at("cut.bin")));
    settings.DeleteType = 7;
    EXPECT_FALSE(del->DeleteFileByMode("D:\\target.txt"));
    settings.DeleteType = 1;
    EXPECT_TRUE(del->DeleteFileByMode("D:\\target.txt"));
    EXPECT_FALSE(Exists(dir.at("target.txt")));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(FileDeletionTest, SpecialAttributesAreAskedAboutAndCleared) {
    dir.write("ro.txt", "r");
    dir.write(".hidden", "h");
    dir.write("plain.txt", "p");
    ::chmod(dir.at("ro.txt").c_str(), 0444);
    open();
    settings.DeleteType = 1;

    // Cancel: nothing changes.
    prompter.answer(false);
    EXPECT_FALSE(del->DeleteFileByMode("D:\\ro.txt"));
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>{"Delete file: D:\\ro.txt\r\nwith attributes: "
                                       "( Archive  Read-only )"});
    EXPECT_EQ(ReadFile(dir.at("ro.txt")), "r");

    // A hidden file keeps its name while it goes (the name is its attribute).
    settings.DeleteType = 0;
    prompter.clear();
    prompter.answer(true);
    EXPECT_TRUE(del->DeleteFileByMode("D:\\.hidden"));
    EXPECT_EQ(ReadFile(xdg.at("Trash/files/.hidden")), "h");

    // With the option on, no question; archive alone never asks.
    settings.DeleteType = 1;
    settings.SkipDeleteSpecialAttrOption = true;
    prompter.clear();
    EXPECT_TRUE(del->DeleteFileByMode("D:\\ro.txt"));
    settings.SkipDeleteSpecialAttrOption = false;
    EXPECT_TRUE(del->DeleteFileByMode("D:\\plain.txt"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(FileDeletionTest, TheCurrentFileGoesWithItsRecordAndLogEntry) {
    dir.write("a.txt", "a");
    dir.write("b.txt", "b");
    dir.write("c.txt", "c");
    dir.write("d.txt", "d");
    open();
    settings.DeleteType = 0;

    // Cancel at the confirmation: nothing happens.
    current("b.txt");
    prompter.answer(false);
    del->DeleteSingleFile();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Delete file: D:\\b.txt"});
    EXPECT_TRUE(Exists(dir.at("b.txt")));

    // OK: into the trash, restorable from its description as a desktop would.
    prompter.answer(true);
    del->DeleteSingleFile();
    EXPECT_FALSE(Exists(dir.at("b.txt")));
    const std::string info = ReadFile(xdg.at("Trash/info/b.txt.trashinfo"));
    const size_t at = info.find("Path=");
    ASSERT_NE(at, std::string::npos);
    const std::string restore = info.substr(at + 5, info.find('\n', at) - at - 5);
    EXPECT_EQ(restore, dir.at("b.txt"));
    EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos);
    EXPECT_EQ(texts(), (std::vector<std::string>{"a.txt", "c.txt", "d.txt"}));
    EXPECT_EQ(fw->Text(fw->Current()), "c.txt");
    EXPECT_EQ(file("D:\\b.txt"), nullptr);
    EXPECT_EQ(logLines(), std::vector<std::string>{" Delete file: D:\\b.txt"});

    // A file of the same name in the trash gets another name there.
    dir.write("b.txt", "second");
    settings.DeleteType = 0;
    fw->SetCurrent(-1);
    logger->RelogDir();
    fill();
    current("b.txt");
    prompter.answer(true);
    del->DeleteSingleFile();
    EXPECT_EQ(ReadFile(xdg.at("Trash/files/b.txt")), "b");
    int others = 0;
    for (const auto& e : std::filesystem::directory_iterator(xdg.at("Trash/files"))) {
        const std::string name = e.path().filename().string();
        if (name == "b.txt")
            continue;
        ++others;
        EXPECT_EQ(ReadFile(e.path().string()), "second");
        EXPECT_NE(ReadFile(xdg.at("Trash/info/" + name + ".trashinfo"))
                      .find("\nPath=" + dir.at("b.txt") + "\n"),
                  std::string::npos);
    }
    EXPECT_EQ(others, 1);

    // A file that vanished meanwhile, and a directory where the record said
    // "file": not deleted, and the user is told.
    current("c.txt");
    ::unlink(dir.at("c.txt").c_str());
    prompter.clear();
    prompter.answer(true);
    del->DeleteSingleFile();
    EXPECT_EQ(prompter.texts().back(), "Can't delete file: D:\\c.txt     ");
    EXPECT_EQ(prompter.lastInformative(), dir.at("c.txt") + ": No such file or directory");
    current("d.txt");
    ::unlink(dir.at("d.txt").c_str());
    dir.write("d.txt/inside", "i");
    settings.DeleteType = 1;
    prompter.answer(true);
    del->DeleteSingleFile();
    EXPECT_EQ(prompter.texts().back(), "Can't delete file: D:\\d.txt     ");
    EXPECT_EQ(prompter.lastInformative(), dir.at("d.txt") + ": Is a directory");
    EXPECT_EQ(ReadFile(dir.at("d.txt/inside")), "i");
}

TEST_F(FileDeletionTest, DeletingTheLastEntriesEmptiesTheWindowAndFocusesTheTree) {
    dir.write("sub/only.txt", "o");
    open();
    settings.DeleteType = 1;
    select("D:\\sub\\");
    fill();
    fw->MaximizeMainListBox(true);
    current("only.txt");
    prompter.answer(true);
    del->DeleteSingleFile();
    EXPECT_EQ(fw->Count(), 0);
    EXPECT_FALSE(fw->Maximized());
    EXPECT_EQ(state.scope, 1);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_FALSE(Exists(dir.at("sub/only.txt")));
}

TEST_F(FileDeletionTest, TaggedFilesOneByOneUntilCancel) {
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        dir.write(n, n);
    open();
    settings.DeleteType = 1;
    tag({"a.txt", "b.txt", "c.txt", "e.txt"});

    // Each file asked: Yes, Yes, then Cancel at the third.
    prompter.answer(true).answer(true).answer(true).answerCancel();
    del->DeleteTaggedFiles();
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Confirm delete for each file?", "Delete file: D:\\e.txt",
                                        "Delete file: D:\\c.txt", "Delete file: D:\\b.txt"}));
    EXPECT_FALSE(Exists(dir.at("e.txt")));
    EXPECT_FALSE(Exists(dir.at("c.txt")));
    EXPECT_TRUE(Exists(dir.at("b.txt")));
    EXPECT_EQ(texts(), (std::vector<std::string>{"a.txt", "b.txt", "d.txt"}));
    EXPECT_TRUE(fw->Record(entry("a.txt"))->Tagged());
    EXPECT_TRUE(fw->Record(entry("b.txt"))->Tagged());
    EXPECT_EQ(logLines(), std::vector<std::string>{" Delete 2 file(s) from D:\\"});
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_FALSE(progress.stopShown);

    // No: none asked; a failure asks whether to go on, Cancel stops the run.
    tag({"d.txt"});
    ::unlink(dir.at("b.txt").c_str());
    prompter.clear();
    prompter.answer(false).answer(false);
    del->DeleteTaggedFiles();
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Confirm delete for each file?",
                                        "Can't delete file: D:\\b.txt     "}));
    EXPECT_FALSE(Exists(dir.at("d.txt")));
    EXPECT_TRUE(Exists(dir.at("a.txt")));

    // STOP at the first entry ends the run.
    fw->Record(entry("b.txt"))->SetTagged(false);
    prompter.clear();
    progress.stopAt = 0;
    prompter.answer(false);
    del->DeleteTaggedFiles();
    EXPECT_TRUE(Exists(dir.at("a.txt")));

    // Untagged: the message.
    fw->Record(entry("a.txt"))->SetTagged(false);
    prompter.clear();
    del->DeleteTaggedFiles();
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"There are no tagged files to operate with!     "});
}

// --- the trash on other file systems -----------------------------------------------------

class TrashOnTmpfs : public FileDeletionTest {
protected:
    std::string mnt;
    bool mounted = false;
    void mount(bool readOnly = false) {
        mnt = other.at("mnt");
        ::mkdir(mnt.c_str(), 0755);
        if (::geteuid() != 0 || ::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=1m") != 0)
            GTEST_SKIP() << "mounting tmpfs needs root; skipped";
        mounted = true;
        ::mkdir((mnt + "/dir").c_str(), 0755);
        std::ofstream(mnt + "/dir/x.txt") << "x";
        if (readOnly) {
            ASSERT_EQ(::mount("tmpfs", mnt.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        }
    }
    void TearDown() override {
        if (mounted)
            ::umount2(mnt.c_str(), MNT_DETACH);
    }
};

TEST_F(TrashOnTmpfs, AStickySharedTrashIsUsedAndALinkedOneIsNot) {
    mount();
    if (IsSkipped())
        return;
    const std::string uid = std::to_string(::getuid());
    // A link named .Trash is a trap: the item goes to .Trash-$uid.
    ::symlink(xdg.path().c_str(), (mnt + "/.Trash").c_str());
    EXPECT_EQ(platform::MoveToTrash(mnt + "/dir/x.txt"), 0);
    EXPECT_EQ(ReadFile(mnt + "/.Trash-" + uid + "/files/x.txt"), "x");
    EXPECT_NE(ReadFile(mnt + "/.Trash-" + uid + "/info/x.txt.trashinfo").find("\nPath=dir/x.txt\n"),
              std::string::npos);

    // A real sticky .Trash takes it in $uid below it; without the sticky bit it does not.
    ::unlink((mnt + "/.Trash").c_str());
    ::mkdir((mnt + "/.Trash").c_str(), 01777);
    ::chmod((mnt + "/.Trash").c_str(), 01777);
    std::ofstream(mnt + "/dir/y.txt") << "y";
    EXPECT_EQ(platform::MoveToTrash(mnt + "/dir/y.txt"), 0);
    EXPECT_EQ(ReadFile(mnt + "/.Trash/" + uid + "/files/y.txt"), "y");

    // A directory is recorded in the size cache; gone items leave it.
    ::mkdir((mnt + "/dir/sub dir").c_str(), 0755);
    std::ofstream(mnt + "/dir/sub dir/f") << "12345";
    EXPECT_EQ(platform::MoveToTrash(mnt + "/dir/sub dir"), 0);
    const std::string sizes = ReadFile(mnt + "/.Trash/" + uid + "/directorysizes");
    EXPECT_EQ(sizes.rfind("5 ", 0), 0u) << sizes;
    EXPECT_EQ(sizes.substr(sizes.size() - 11), " sub%20dir\n");
}

TEST_F(TrashOnTmpfs, TheSizeCacheIsNeitherReadNorWrittenThroughALink) {
    mount();
    if (IsSkipped())
        return;
    const std::string uid = std::to_string(::getuid());
    const std::string trash = mnt + "/.Trash-" + uid;
    ::mkdir(trash.c_str(), 0700);
    // Whoever could put a link there aims it at a file of the user's, and at
    // a secret worded like cache lines of items present in the trash.
    const std::string victim = xdg.at("victim.txt");
    xdg.write("victim.txt", "keep me\n");
    ::symlink(victim.c_str(), (trash + "/directorysizes").c_str());
    ::mkdir((mnt + "/dir/one").c_str(), 0755);
    std::ofstream(mnt + "/dir/one/f") << "123";
    EXPECT_EQ(platform::MoveToTrash(mnt + "/dir/one"), 0);
    EXPECT_EQ(ReadFile(victim), "keep me\n");
    struct stat st {};
    ASSERT_EQ(::lstat((trash + "/directorysizes").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile(trash + "/directorysizes").find("keep"), std::string::npos);

    xdg.write("secret", "99 1 one\n");
    ::unlink((trash + "/directorysizes").c_str());
    ::symlink(xdg.at("secret").c_str(), (trash + "/directorysizes").c_str());
    ::mkdir((mnt + "/dir/two").c_str(), 0755);
    EXPECT_EQ(platform::MoveToTrash(mnt + "/dir/two"), 0);
    const std::string sizes = ReadFile(trash + "/directorysizes");
    EXPECT_EQ(sizes.find("99 1 one"), std::string::npos) << sizes;
    EXPECT_NE(sizes.find(" two\n"), std::string::npos) << sizes;
}

TEST_F(TrashOnTmpfs, AReadOnlyFileSystemRefusesEveryMode) {
    mount(true);
    if (IsSkipped())
        return;
    open();
    for (int mode = 0; mode <= 4; ++mode) {
        settings.DeleteType = mode;
        EXPECT_FALSE(del->DeleteFileByMode("E:\\mnt\\dir\\x.txt")) << mode;
    }
    EXPECT_EQ(ReadFile(mnt + "/dir/x.txt"), "x");
}
