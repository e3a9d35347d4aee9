#include "opsfixture.h"

#include "platform/filetransfer.h"
#include "platform/hostname.h"

#include <atomic>
#include <chrono>
#include <dirent.h>
#include <sys/xattr.h>
#include <thread>

namespace zentrix::test {

std::set<std::string> TreeNames(const std::string& root) {
    std::set<std::string> out;
    std::function<void(const std::string&, const std::string&)> walk =
        [&](const std::string& dir, const std::string& prefix) {
            DIR* d = ::opendir(dir.c_str());
            if (!d)
                return;
            while (dirent* e = ::readdir(d)) {
                const std::string n = e->d_name;
                if (n == "." || n == "..")
                    continue;
                out.insert(prefix + n);
                struct stat st {};
                if (::lstat((dir + "/" + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                    walk(dir + "/" + n, prefix + n + "/");
            }
            ::closedir(d);
        };
    walk(root, "");
    return out;
}

namespace {

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

TEST_F(OpsTest, SourcesAreExactNamesNeverMasksNorLists) {
    // Names a mask or a ";"-list would read as something else: only the named
    // files go, each whole.
    for (const char* name : {"a?", "ab", "AD", "star*", "starfish", "x;C:victim.txt", "x",
                             "plain;semi", "plain", "x\" .. \"y", "victim.txt"})
        tmp.write(std::string("d/") + name, name);
    const std::vector<std::string> chosen = {"a?", "star*", "x;C:victim.txt", "plain;semi",
                                             "x\" .. \"y"};
    std::vector<std::string> sources;
    for (const std::string& name : chosen)
        sources.push_back("D:\\" + name);
    ASSERT_TRUE(run(FileOperation::foCopy, sources, "E:\\"));
    EXPECT_EQ(TreeNames(tmp.at("e")), std::set<std::string>(chosen.begin(), chosen.end()));
    for (const std::string& name : chosen)
        EXPECT_EQ(ReadFile(tmp.at("e/" + name)), name);

    ASSERT_TRUE(run(FileOperation::foMove, sources, "E:\\moved\\"));
    EXPECT_EQ(TreeNames(tmp.at("e/moved")), std::set<std::string>(chosen.begin(), chosen.end()));
    EXPECT_EQ(TreeNames(tmp.at("d")),
              (std::set<std::string>{"ab", "AD", "starfish", "x", "plain", "victim.txt"}));

    TFileOperator fresh(*drives, prompter);
    EXPECT_TRUE(fresh.Flags.has(FileOpFlag::foAllowUndo));
    EXPECT_TRUE(fresh.Flags.has(FileOpFlag::foNoConfirmMkDir));
    EXPECT_FALSE(fresh.Flags.has(FileOpFlag::foFilesOnly));
    EXPECT_EQ(fresh.ProgressTitle, "File Operation");
    EXPECT_TRUE(fresh.Execute()) << "nothing to do is done";
}

TEST_F(OpsTest, CopyKeepsContentsModeTimesAttributesHolesLinksAndSpecialFiles) {
    tmp.write("d/src/a.txt", "alpha");
    ::chmod(tmp.at("d/src/a.txt").c_str(), 0640);
    const struct timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
    ::utimensat(AT_FDCWD, tmp.at("d/src/a.txt").c_str(), times, 0);
    const bool xattrs = ::setxattr(tmp.at("d/src/a.txt").c_str(), "user.note", "kept", 4, 0) == 0;
    // A sparse file: 1 MiB of data in the middle of 16 MiB.
    tmp.sparse("d/src/sparse.bin", 16 << 20);
    {
        std::fstream f(tmp.at("d/src/sparse.bin"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8 << 20);
        f << std::string(1 << 20, 'x');
    }
    tmp.symlink("a.txt", "d/src/link");
    tmp.symlink("..", "d/src/sub/loop"); // a link loop in the branch
    tmp.write("d/src/sub/b.txt", "beta");
    ASSERT_EQ(::mkfifo(tmp.at("d/src/pipe").c_str(), 0600), 0);
    ::chmod(tmp.at("d/src").c_str(), 0750);

    ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\src"}, "E:\\"));
    EXPECT_TRUE(prompter.shown().empty());
    const std::string out = tmp.at("e/src");
    EXPECT_EQ(ReadFile(out + "/a.txt"), "alpha");
    EXPECT_EQ(Stat(out + "/a.txt").st_mode & 07777, 0640u);
    EXPECT_EQ(Stat(out + "/a.txt").st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(Stat(out + "/a.txt").st_mtim.tv_nsec, 987654321);
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr((out + "/a.txt").c_str(), "user.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    EXPECT_EQ(Stat(out + "/sparse.bin").st_size, 16 << 20);
    EXPECT_LT(Stat(out + "/sparse.bin").st_blocks * 512, 4 << 20) << "holes stay holes";
    EXPECT_EQ(ReadFile(out + "/sparse.bin"), ReadFile(tmp.at("d/src/sparse.bin")));
    EXPECT_TRUE(S_ISLNK(Stat(out + "/link").st_mode));
    EXPECT_TRUE(S_ISLNK(Stat(out + "/sub/loop").st_mode));
    char target[16] = {};
    ::readlink((out + "/sub/loop").c_str(), target, sizeof target);
    EXPECT_STREQ(target, "..");
    EXPECT_TRUE(S_ISFIFO(Stat(out + "/pipe").st_mode));
    EXPECT_EQ(Stat(out).st_mode & 07777, 0750u);
    EXPECT_EQ(TreeNames(out), TreeNames(tmp.at("d/src")));
}

TEST_F(OpsTest, DestinationMasksNameEachCopyAndStarDotStarKeepsEveryName) {
    tmp.write("d/A/report.doc", "r");
    tmp.write("d/A/README", "readme");
    tmp.write("d/A/README.", "the other one");
    tmp.write("d/A/README.commands.gz", "gz");
    ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\A\\report.doc", "D:\\A\\README"}, "E:\\X\\*.BAK"));
    EXPECT_EQ(TreeNames(tmp.at("e")), (std::set<std::string>{"X", "X/report.BAK", "X/README.BAK"}));

    // "*.*" and "*" keep names with several dots, and a name without one.
    for (const char* mask : {"*.*", "*"}) {
        SCOPED_TRACE(mask);
        test::RemoveTree(tmp.at("e/Z"));
        ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\A\\README.commands.gz", "D:\\A\\README"},
                        std::string("E:\\Z\\") + mask));
        EXPECT_EQ(TreeNames(tmp.at("e/Z")),
                  (std::set<std::string>{"README.commands.gz", "README"}));
    }

    // One destination per source: each file to exactly its own path, README
    // as README (not its neighbour README.).
    op->Flags = {FileOpFlag::foNoConfirmMkDir};
    op->Operation = FileOperation::foCopy;
    op->SetSources({"D:\\A\\report.doc", "D:\\A\\README"});
    op->SetDestinations({"E:\\Y\\A\\report.doc", "E:\\Y\\A\\README"});
    ASSERT_TRUE(op->Execute());
    EXPECT_EQ(ReadFile(tmp.at("e/Y/A/README")), "readme");
    EXPECT_EQ(TreeNames(tmp.at("e/Y")), (std::set<std::string>{"A", "A/report.doc", "A/README"}));
}

TEST_F(OpsTest, CollisionsAreAnsweredEachWay) {
    struct Case {
        int answer;
        const char* expectA;
        const char* expectB;
        std::set<std::string> names;
        bool result;
    };
    // Buttons: Replace, Skip, Replace all, Skip all, Rename, Cancel.
    const Case cases[] = {
        {0, "new a", "old b", {"a.txt", "b.txt"}, false},              // replace a, then cancel b
        {1, "old a", "old b", {"a.txt", "b.txt"}, false},              // skip a, cancel b
        {2, "new a", "new b", {"a.txt", "b.txt"}, true},               // replace all: asked once
        {3, "old a", "old b", {"a.txt", "b.txt"}, false},              // skip all: asked once
        {4, "old a", "old b", {"a.txt", "a (2).txt", "b.txt"}, false}, // rename a, cancel b
        {5, "old a", "old b", {"a.txt", "b.txt"}, false},              // cancel at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        test::RemoveTree(tmp.at("e/t"));
        tmp.write("d/s/a.txt", "new a");
        tmp.write("d/s/b.txt", "new b");
        tmp.write("e/t/a.txt", "old a");
        tmp.write("e/t/b.txt", "old b");
        prompter.clear();
        prompter.answerChoice(c.answer);
        if (c.answer != 2 && c.answer != 3 && c.answer != 5)
            prompter.answerChoice(5); // Cancel on b
        EXPECT_EQ(run(FileOperation::foCopy, {"D:\\s\\a.txt", "D:\\s\\b.txt"}, "E:\\t\\"),
                  c.result);
        EXPECT_EQ(ReadFile(tmp.at("e/t/a.txt")), c.expectA);
        EXPECT_EQ(ReadFile(tmp.at("e/t/b.txt")), c.expectB);
        EXPECT_EQ(TreeNames(tmp.at("e/t")), c.names);
        EXPECT_TRUE(prompter.allAnswersUsed());
        ASSERT_FALSE(prompter.shown().empty());
        EXPECT_NE(prompter.shown()[0].text.find("E:\\t\\a.txt already exists"), std::string::npos);
        EXPECT_NE(prompter.shown()[0].text.find("Existing: 5 bytes, "), std::string::npos);
        EXPECT_EQ(ReadFile(tmp.at("d/s/a.txt")), "new a"); // the sources stay
    }
    // Renaming on collision asks nothing and reports the names it chose.
    prompter.clear();
    op->WantMappingHandle = true;
    EXPECT_TRUE(
        run(FileOperation::foCopy, {"D:\\s\\a.txt"}, "E:\\t\\", {FileOpFlag::foRenameOnCollision}));
    ASSERT_EQ(op->NameMappings().size(), 1u);
    EXPECT_EQ(op->NameMappings()[0].second, "E:\\t\\a (2).txt");
}

TEST_F(OpsTest, AReplacedFileIsTheOneTheQuestionShowedAndASkipIsNoFailure) {
    tmp.write("d/s/a.txt", "new a");
    tmp.write("e/t/a.txt", "old a");
    // The target is rewritten while the question is up: the question comes
    // again with what is there now, and Skip keeps it.
    prompter.whileAsking = [&](const std::string&) {
        tmp.write("e/t/a.txt", "rewritten meanwhile, longer");
    };
    prompter.answerChoice(0); // Replace
    prompter.answerChoice(1); // Skip
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\s\\a.txt"}, "E:\\t\\"));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_NE(prompter.shown()[1].text.find("Existing: 27 bytes"), std::string::npos);
    EXPECT_EQ(ReadFile(tmp.at("e/t/a.txt")), "rewritten meanwhile, longer");
    EXPECT_FALSE(op->Failed()) << "a file the user chose to skip is no failure";
    EXPECT_FALSE(op->Aborted());

    // An error the user skips is one.
    prompter.clear();
    prompter.answerChoice(1); // Skip
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\s\\gone.txt"}, "E:\\t\\"));
    EXPECT_TRUE(op->Failed());
}

TEST_F(OpsTest, NeverCopiesAFileOntoItselfNorADirectoryIntoItself) {
    tmp.write("d/a.txt", "keep");
    tmp.write("d/tree/x.txt", "x");
    prompter.answerChoice(0); // Skip
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\a.txt"}, "D:\\"));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text,
              "Cannot copy D:\\a.txt: the source and the destination are the same file.     ");
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "keep");

    prompter.clear();
    prompter.answerChoice(0); // OK
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\tree"}, "D:\\tree\\inner\\"));
    EXPECT_NE(prompter.texts().at(0).find("inside the source directory"), std::string::npos);
    EXPECT_EQ(TreeNames(tmp.at("d/tree")), (std::set<std::string>{"x.txt"}));
    prompter.answerChoice(0);
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\tree"}, "D:\\tree\\"));
    EXPECT_TRUE(Exists(tmp.at("d/tree/x.txt")));
}

TEST_F(OpsTest, AVanishedSourceAsksRetrySkipOrCancelAndTheRestGoesOn) {
    tmp.write("d/a.txt", "a");
    tmp.write("d/b.txt", "b");
    prompter.answerChoice(1); // Skip the vanished one
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\gone.txt", "D:\\a.txt", "D:\\b.txt"}, "E:\\"));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text,
              "Cannot copy D:\\gone.txt\nto E:\\gone.txt:\n\nNo such file or directory     ");
    EXPECT_EQ(TreeNames(tmp.at("e")), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(OpsTest, MissingDirectoriesAreMadeOnlyWhenAllowed) {
    tmp.write("d/a.txt", "a");
    prompter.answerChoice(2); // No
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\a.txt"}, "E:\\new\\deep\\", {}));
    EXPECT_EQ(prompter.shown().at(0).text,
              "The directory E:\\new\\deep does not exist.\n\nCreate it?     ");
    EXPECT_FALSE(Exists(tmp.at("e/new")));
    prompter.answerChoice(0);
    EXPECT_TRUE(run(FileOperation::foCopy, {"D:\\a.txt"}, "E:\\new\\deep\\", {}));
    EXPECT_EQ(ReadFile(tmp.at("e/new/deep/a.txt")), "a");
}

TEST_F(OpsTest, MoveWithinOneFileSystemIsOneRenameThatNeverReplacesUnasked) {
    tmp.write("d/a.txt", "a");
    tmp.write("d/dir/x.txt", "x");
    tmp.write("e/a.txt", "other");
    const ino_t inode = Stat(tmp.at("d/a.txt")).st_ino;
    prompter.answerChoice(1); // Skip a.txt
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\a.txt", "D:\\dir"}, "E:\\"));
    EXPECT_EQ(ReadFile(tmp.at("e/a.txt")), "other");
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "a");
    EXPECT_EQ(ReadFile(tmp.at("e/dir/x.txt")), "x");
    EXPECT_FALSE(Exists(tmp.at("d/dir")));

    prompter.answerChoice(0); // Replace
    EXPECT_TRUE(run(FileOperation::foMove, {"D:\\a.txt"}, "E:\\"));
    EXPECT_EQ(Stat(tmp.at("e/a.txt")).st_ino, inode) << "a rename, not a copy";
    EXPECT_FALSE(Exists(tmp.at("d/a.txt")));

    // Rename of one file.
    prompter.clear();
    EXPECT_TRUE(run(FileOperation::foRename, {"E:\\a.txt"}, "E:\\b.txt"));
    EXPECT_EQ(ReadFile(tmp.at("e/b.txt")), "a");
}

TEST_F(OpsTest, NamesWithABackslashOrInvalidUtf8ReachTheRightFile) {
    const std::string odd = std::string("we\\ird\xff") + ".txt";
    tmp.write("d/" + odd, "odd");
    tmp.write("d/weird.txt", "plain");
    const std::string catalogue = "D:\\" + platform::EscapeHostName(odd);
    ASSERT_TRUE(run(FileOperation::foCopy, {catalogue}, "E:\\"));
    EXPECT_EQ(ReadFile(tmp.at("e/" + odd)), "odd");
    EXPECT_EQ(TreeNames(tmp.at("e")), (std::set<std::string>{odd}));
    ASSERT_TRUE(run(FileOperation::foMove, {catalogue}, "E:\\sub\\"));
    EXPECT_EQ(ReadFile(tmp.at("e/sub/" + odd)), "odd");
    EXPECT_FALSE(Exists(tmp.at("d/" + odd)));
}

TEST_F(OpsTest, CancelInTheMiddleOfALargeFileLeavesNothingAndStopsAtOnce) {
    tmp.write("d/big.bin", "");
    {
        std::ofstream f(tmp.at("d/big.bin"), std::ios::binary);
        const std::string block(1 << 20, 'z');
        for (int i = 0; i < 200; ++i)
            f << block;
    }
    // The user presses Cancel after the first block; the worker then waits a
    // little, as a slow disk would, so the copy cannot finish before the
    // window has seen the press, however fast this machine copies.
    std::atomic<int> blocks{0};
    op->OnBlockCopied = [&](uint64_t) {
        if (blocks++ == 0) {
            window.RequestCancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\big.bin"}, "E:\\"));
    EXPECT_TRUE(op->Aborted());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(TreeNames(tmp.at("e")).empty()) << "no partial file, no temporary file";
    EXPECT_EQ(Stat(tmp.at("d/big.bin")).st_size, 200 << 20);
    EXPECT_LE(blocks, 2) << "the copy went on after Cancel";
}

TEST_F(OpsTest, DeleteGoesToTheTrashWithUndoAndForGoodWithout) {
    tmp.mkdir("xdg");
    ::setenv("XDG_DATA_HOME", tmp.at("xdg").c_str(), 1);
    tmp.write("d/old file%.txt", "o");
    tmp.write("outside/keep.txt", "k");
    tmp.symlink(tmp.at("outside"), "d/dir/link");
    tmp.write("d/dir/x.txt", "x");

    prompter.answer(true);
    EXPECT_TRUE(run(FileOperation::foDelete, {"D:\\old file%.txt"}, "", {FileOpFlag::foAllowUndo}));
    EXPECT_EQ(prompter.shown().at(0).text, "Move D:\\old file%.txt to the trash?     ");
    EXPECT_FALSE(Exists(tmp.at("d/old file%.txt")));
    EXPECT_EQ(ReadFile(tmp.at("xdg/Trash/files/old file%.txt")), "o");
    const std::string info = ReadFile(tmp.at("xdg/Trash/info/old file%.txt.trashinfo"));
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u);
    EXPECT_NE(info.find("/d/old%20file%25.txt\nDeletionDate="), std::string::npos);

    // Permanently, without a question: the link goes, its target stays.
    EXPECT_TRUE(run(FileOperation::foDelete, {"D:\\dir"}, "",
                    {FileOpFlag::foNoConfirmation, FileOpFlag::foSilent}));
    EXPECT_FALSE(Exists(tmp.at("d/dir")));
    EXPECT_EQ(ReadFile(tmp.at("outside/keep.txt")), "k");
    ::unsetenv("XDG_DATA_HOME");
}

// --- real file systems: full, read-only, another device -------------------------------

class OpsOnTmpfs : public OpsTest {
protected:
    std::unique_ptr<TmpfsMount> small;
    void mountSmall(const std::string& options) {
        small = std::make_unique<TmpfsMount>(tmp.at("e/mnt"), options);
        if (!small->mounted())
            GTEST_SKIP() << "mounting tmpfs needs root; skipped";
    }
    void TearDown() override { small.reset(); }
};

TEST_F(OpsOnTmpfs, AFullDiskAsksAndLeavesNoPartialFileAndTheSourceWhole) {
    mountSmall("size=256k");
    if (IsSkipped())
        return;
    tmp.write("d/big.bin", std::string(500 * 1024, 'q'));
    prompter.answerChoice(0).answerChoice(2); // Retry, then Cancel
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\big.bin"}, "E:\\mnt\\"));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].text,
              "Cannot move D:\\big.bin\nto E:\\mnt\\big.bin:\n\nNo space left on device     ");
    EXPECT_EQ(prompter.shown()[0].caption, "Error");
    EXPECT_TRUE(TreeNames(tmp.at("e/mnt")).empty());
    EXPECT_EQ(ReadFile(tmp.at("d/big.bin")), std::string(500 * 1024, 'q'));
}

TEST_F(OpsOnTmpfs, AReadOnlyFileSystemAsks) {
    mountSmall("size=1m");
    if (IsSkipped())
        return;
    tmp.write("d/a.txt", "a");
    ASSERT_TRUE(small->remountReadOnly());
    prompter.answerChoice(1); // Skip
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\a.txt"}, "E:\\mnt\\"));
    EXPECT_NE(prompter.texts().at(0).find("Read-only file system"), std::string::npos);
    EXPECT_TRUE(Exists(tmp.at("d/a.txt")));
}

TEST_F(OpsOnTmpfs, AMoveAcrossFileSystemsCopiesThenDeletesEachSource) {
    mountSmall("size=8m");
    if (IsSkipped())
        return;
    tmp.write("d/tree/a.txt", "a");
    tmp.write("d/tree/sub/b.txt", "b");
    tmp.symlink("a.txt", "d/tree/link");
    tmp.write("e/mnt/tree/sub/b.txt", "in the way");
    prompter.answerChoice(1); // skip b.txt
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\tree"}, "E:\\mnt\\"));
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/tree/a.txt")), "a");
    EXPECT_TRUE(S_ISLNK(Stat(tmp.at("e/mnt/tree/link")).st_mode));
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/tree/sub/b.txt")), "in the way");
    // What was not moved stays; what was moved is gone from the source.
    EXPECT_EQ(TreeNames(tmp.at("d/tree")), (std::set<std::string>{"sub", "sub/b.txt"}));
}

TEST_F(OpsOnTmpfs, AnotherFileSystemKeepsItsOwnTrash) {
    mountSmall("size=1m");
    if (IsSkipped())
        return;
    tmp.mkdir("xdg");
    ::setenv("XDG_DATA_HOME", tmp.at("xdg").c_str(), 1);
    tmp.write("e/mnt/dir/x.txt", "x");
    EXPECT_TRUE(run(FileOperation::foDelete, {"E:\\mnt\\dir\\x.txt"}, "",
                    {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation}));
    const std::string trash = tmp.at("e/mnt/.Trash-" + std::to_string(::getuid()));
    EXPECT_EQ(ReadFile(trash + "/files/x.txt"), "x");
    EXPECT_NE(ReadFile(trash + "/info/x.txt.trashinfo").find("\nPath=dir/x.txt\n"),
              std::string::npos);
    EXPECT_FALSE(Exists(tmp.at("xdg/Trash/files/x.txt")));
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace zentrix::test
