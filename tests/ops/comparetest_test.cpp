#include "catalogue/fileclass.h"
#include "filewindow/fixture.h"
#include "ops/comparefilelist.h"
#include "ops/filetest.h"

#include "platform/casefolding.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Drive D (the files shown) and drive E (what they are held against), both
/// logged, with D:\src\ in the file window.
class CompareTestFixture : public FileWindowFixture {
protected:
    std::unique_ptr<CompareFileList> compare;
    std::unique_ptr<FileTest> test;

    void open(const std::string& shown = "D:\\src\\") {
        start();
        compare = std::make_unique<CompareFileList>(*cat, *fw);
        test = std::make_unique<FileTest>(*cat, state, settings, *fw, prompter, progress);
        logAll('D');
        logAll('E');
        select(shown);
        fill();
    }
    int entry(const std::string& name) {
        for (int i = 0; i < fw->Count(); ++i)
            if (fw->Text(i) == name)
                return i;
        return -1;
    }
    std::vector<std::string> tagged() {
        std::vector<std::string> out;
        for (int i = 0; i < fw->Count(); ++i)
            if (fw->Record(i)->Tagged())
                out.emplace_back(fw->Text(i));
        std::sort(out.begin(), out.end());
        return out;
    }
    void untagAll() {
        for (int i = 0; i < fw->Count(); ++i)
            fw->Record(i)->SetTagged(false);
    }
    void tag(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            ASSERT_GE(entry(n), 0) << n;
            fw->Record(entry(n))->SetTagged(true);
        }
    }
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(CompareTestFixture, EachRelationTagsItsFilesAndCompareOnlyAddsTags) {
    dir.write("src/newer.txt", "1");
    dir.touch("src/newer.txt", 1000);
    dir.write("src/same.txt", "1");
    dir.touch("src/same.txt", 2000);
    dir.write("src/older.txt", "1");
    dir.touch("src/older.txt", 3000);
    dir.write("src/Readme.txt", "1");
    dir.touch("src/Readme.txt", 4000);
    dir.write("src/Twin.txt", "1");
    dir.touch("src/Twin.txt", 6000);
    dir.write("src/notes", "a file here, a directory there");
    dir.touch("src/notes", 7000);
    dir.write("src/only-here.txt", "1");
    other.write("cmp/newer.txt", "1");
    other.touch("cmp/newer.txt", 1001);
    other.write("cmp/same.txt", "a different size does not matter");
    other.touch("cmp/same.txt", 2000);
    other.write("cmp/older.txt", "1");
    other.touch("cmp/older.txt", 2999);
    // Names that differ only in case are different files here: only the
    // exact name answers.
    other.write("cmp/README.TXT", "1");
    other.touch("cmp/README.TXT", 4000);
    other.write("cmp/twin.txt", "1");
    other.touch("cmp/twin.txt", 1);
    other.write("cmp/Twin.txt", "1");
    other.touch("cmp/Twin.txt", 6000);
    other.mkdir("cmp/notes");
    other.touch("cmp/notes", 7000);
    open();

    const std::vector<std::pair<CompareRelation, Strings>> cases = {
        {CompareRelation::UniqueNames, {"Readme.txt", "only-here.txt"}},
        {CompareRelation::SameNames, {"Twin.txt", "newer.txt", "notes", "older.txt", "same.txt"}},
        {CompareRelation::Newer, {"newer.txt"}},
        {CompareRelation::ExactDates, {"Twin.txt", "notes", "same.txt"}},
        {CompareRelation::Older, {"older.txt"}},
    };
    for (const auto& [relation, expected] : cases) {
        untagAll();
        const auto count = compare->Compare("E:\\cmp\\", relation);
        ASSERT_TRUE(count) << static_cast<int>(relation);
        EXPECT_EQ(*count, static_cast<int>(expected.size())) << static_cast<int>(relation);
        EXPECT_EQ(tagged(), expected) << static_cast<int>(relation);
    }
    // A compare adds to the tags there are: the union of all.
    EXPECT_EQ(compare->Compare("E:\\cmp\\", CompareRelation::UniqueNames), 2);
    EXPECT_EQ(compare->Compare("E:\\cmp\\", CompareRelation::ExactDates), 3);
    EXPECT_EQ(tagged(), (Strings{"Readme.txt", "Twin.txt", "notes", "older.txt", "only-here.txt",
                                 "same.txt"}));
    // The statistics follow at once.
    EXPECT_EQ(fw->Statistics().taggedFiles, "6");

    // A target that cannot be read tags nothing (rather than everything as unique).
    untagAll();
    other.remove("cmp/newer.txt");
    other.remove("cmp/same.txt");
    other.remove("cmp/older.txt");
    other.remove("cmp/README.TXT");
    other.remove("cmp/twin.txt");
    other.remove("cmp/Twin.txt");
    ::rmdir(other.at("cmp/notes").c_str());
    ::rmdir(other.at("cmp").c_str());
    EXPECT_FALSE(compare->Compare("E:\\cmp\\", CompareRelation::UniqueNames));
    EXPECT_TRUE(tagged().empty());
}

TEST_F(CompareTestFixture, NamesAreFoldedOnlyWhereTheFileSystemFoldsThem) {
    // A mount folds by its options (ntfs3 and cifs take "nocase").
    const auto mounts = platform::ParseMountOptions(
        "22 1 8:17 / /mnt/win rw,relatime shared:1 - ntfs3 /dev/sdb1 rw,uid=0,nocase\n"
        "23 1 8:33 / /mnt/data rw,relatime - ntfs3 /dev/sdc1 rw,nocaseless\n"
        "24 1 0:55 / /mnt/share rw,ignorecase - cifs //srv/x rw\n"
        "25 1 8:49 / /mnt/short rw - ntfs3\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_TRUE(platform::MountFoldsCase(mounts, "8:17"));
    EXPECT_FALSE(platform::MountFoldsCase(mounts, "8:33"));
    EXPECT_TRUE(platform::MountFoldsCase(mounts, "0:55"));
    EXPECT_FALSE(platform::MountFoldsCase(mounts, "1:1"));

    // A case-folding directory (tmpfs can make one) finds README.TXT for
    // Readme.txt; beside it an ordinary directory does not.
    dir.write("src/Readme.txt", "1");
    other.mkdir("fold");
    if (::geteuid() != 0 ||
        ::mount("tmpfs", other.at("fold").c_str(), "tmpfs", 0, "size=1m,casefold=utf8") != 0)
        GTEST_SKIP() << "a case-folding tmpfs cannot be mounted here";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{other.at("fold")};
    other.mkdir("fold/cmp");
    const int fd = ::open(other.at("fold/cmp").c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
    flags |= FS_CASEFOLD_FL;
    const bool folding = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    if (!folding)
        GTEST_SKIP() << "this tmpfs makes no case-folding directory";
    other.write("fold/cmp/README.TXT", "1");
    other.write("plain/README.TXT", "1");
    EXPECT_TRUE(platform::FoldsCase(other.at("fold/cmp")));
    EXPECT_FALSE(platform::FoldsCase(other.at("plain")));
    open();
    EXPECT_EQ(compare->Compare("E:\\plain\\", CompareRelation::SameNames), 0);
    EXPECT_EQ(compare->Compare("E:\\fold\\cmp\\", CompareRelation::SameNames), 1);
    EXPECT_EQ(tagged(), Strings{"Readme.txt"});
}

TEST_F(CompareTestFixture, TheTargetMustBeAnExistingDirectory) {
    dir.write("src/a.txt", "a");
    other.mkdir("Target/Deeper");
    other.write("plain.txt", "x");
    open();
    fw->SetCurrent(-1);
    EXPECT_EQ(compare->StartDirectory(), "");
    fw->SetCurrent(entry("a.txt"));
    EXPECT_EQ(compare->StartDirectory(), "D:\\src\\");

    EXPECT_EQ(compare->TargetDirectory("").path, std::nullopt);
    EXPECT_EQ(compare->TargetDirectory("E:\\missing").path, std::nullopt);
    EXPECT_EQ(compare->TargetDirectory("E:\\plain.txt").path, std::nullopt);
    EXPECT_EQ(compare->TargetDirectory("Q:\\").path, std::nullopt);
    EXPECT_EQ(compare->TargetDirectory("E:\\Target\\..\\Target").path, std::nullopt);
    EXPECT_EQ(compare->TargetDirectory("e:\\target\\deeper").path, "E:\\Target\\Deeper\\");
    EXPECT_EQ(compare->TargetDirectory("E:\\Target\\").path, "E:\\Target\\");
    EXPECT_EQ(compare->TargetDirectory(other.at("Target")).path, "E:\\Target\\");
    EXPECT_EQ(compare->TargetDirectory("/nowhere/at/all").path, std::nullopt);
}

TEST(TestOneFile, ReadsToTheSizeAndFailsWhatEndsEarly) {
    TempDir tmp;
    using Outcome = FileTestResult::Outcome;
    tmp.write("empty");
    EXPECT_EQ(TestOneFile(tmp.at("empty")).outcome, Outcome::Passed);

    const std::string big(3 * kTestBlockSize + 7, 'x');
    tmp.write("big", big);
    std::vector<uint64_t> blocks;
    const auto seen = [&](uint64_t bytes) {
        blocks.push_back(bytes);
        return false;
    };
    EXPECT_EQ(TestOneFile(tmp.at("big"), seen).outcome, Outcome::Passed);
    EXPECT_EQ(blocks, (std::vector<uint64_t>{65535, 131070, 196605, 196612}));

    // Missing: the open fails with the system's reason.
    const FileTestResult gone = TestOneFile(tmp.at("gone"));
    EXPECT_EQ(gone.outcome, Outcome::Failed);
    EXPECT_EQ(gone.error, ENOENT);

    // Truncated by someone else after the first block: it fails at the next
    // read, and the reading ends there.
    blocks.clear();
    const FileTestResult cut = TestOneFile(tmp.at("big"), [&](uint64_t bytes) {
        blocks.push_back(bytes);
        if (blocks.size() == 1) {
            EXPECT_EQ(::truncate(tmp.at("big").c_str(), 10), 0);
        }
        return false;
    });
    EXPECT_EQ(cut.outcome, Outcome::Failed);
    EXPECT_EQ(cut.error, 0);
    EXPECT_EQ(blocks.size(), 1u);

    // Grown while read: read as far as it was when opened, and passes.
    tmp.write("grows", std::string(kTestBlockSize + 1, 'g'));
    blocks.clear();
    const FileTestResult grown = TestOneFile(tmp.at("grows"), [&](uint64_t bytes) {
        blocks.push_back(bytes);
        if (blocks.size() == 1) {
            const int fd = ::open(tmp.at("grows").c_str(), O_WRONLY | O_APPEND);
            const std::string more(3 * kTestBlockSize, 'm');
            EXPECT_EQ(::write(fd, more.data(), more.size()), static_cast<ssize_t>(more.size()));
            ::close(fd);
        }
        return false;
    });
    EXPECT_EQ(grown.outcome, Outcome::Passed);
    EXPECT_EQ(blocks.back(), kTestBlockSize + 1);

    // A stop between blocks ends it unfinished; a FIFO is never opened (an
    // open for reading would wait for a writer for ever).
    EXPECT_EQ(TestOneFile(tmp.at("big"), [](uint64_t) { return true; }).outcome, Outcome::Passed);
    tmp.write("big", big);
    EXPECT_EQ(TestOneFile(tmp.at("big"), [](uint64_t) { return true; }).outcome, Outcome::Stopped);
    ASSERT_EQ(::mkfifo(tmp.at("fifo").c_str(), 0644), 0);
    EXPECT_EQ(TestOneFile(tmp.at("fifo")).outcome, Outcome::NotRegular);
}

TEST_F(CompareTestFixture, TheCurrentFileIsOkOrFailed) {
    dir.write("src/good.txt", "fine");
    dir.write("src/vanishing.txt", "soon gone");
    open();
    fw->SetCurrent(-1);
    test->miFileTestClick(); // no current file: nothing
    EXPECT_TRUE(prompter.texts().empty());

    fw->SetCurrent(entry("good.txt"));
    test->miFileTestClick();
    fw->SetCurrent(entry("vanishing.txt"));
    dir.remove("src/vanishing.txt");
    test->miFileTestClick();
    EXPECT_EQ(prompter.texts(), (Strings{"File: D:\\src\\good.txt is OK.     ",
                                         "Test FAILED on file: D:\\src\\vanishing.txt     "}));
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_FALSE(state.busy());
    EXPECT_FALSE(progress.stopShown);
}

TEST_F(CompareTestFixture, TaggedFilesAreTestedInOrderWithAQuestionAfterEachFailure) {
    dir.write("src/1.txt", std::string(100000, '1'));
    dir.write("src/2.txt", "2");
    dir.write("src/3.txt", "3");
    dir.write("src/4.txt", std::string(200000, '4'));
    dir.write("src/5.txt", "5");
    open();
    test->miFileTaggTestClick();
    EXPECT_EQ(prompter.texts(), Strings{"There are no tagged files to operate with!     "});
    prompter.clear();

    // A disk operation already running: nothing at all.
    tag({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"});
    state.fileOperationRunning = true;
    test->miFileTaggTestClick();
    EXPECT_TRUE(prompter.texts().empty());
    state.fileOperationRunning = false;

    // Two failures, the first answered Yes: both are counted.
    dir.remove("src/2.txt");
    dir.remove("src/3.txt");
    std::vector<std::string> read;
    test->OnBlockRead = [&](const std::string& path, uint64_t) {
        if (read.empty() || read.back() != path)
            read.push_back(path);
    };
    prompter.answer(true).answer(true);
    test->miFileTaggTestClick();
    EXPECT_EQ(prompter.texts(), (Strings{"Test FAILED on file: D:\\src\\2.txt. Continue?     ",
                                         "Test FAILED on file: D:\\src\\3.txt. Continue?     ",
                                         "2 file(s) failed testing.     "}));
    EXPECT_EQ(read, (Strings{dir.at("src/1.txt"), dir.at("src/4.txt"), dir.at("src/5.txt")}));
    EXPECT_EQ(progress.total, 5);
    EXPECT_FALSE(progress.stopShown);
    EXPECT_FALSE(state.fileOperationRunning);

    // No after the first failure stops the run: "Aborted." and then the count.
    prompter.clear();
    read.clear();
    prompter.answer(false);
    test->miFileTaggTestClick();
    EXPECT_EQ(prompter.texts(), (Strings{"Test FAILED on file: D:\\src\\2.txt. Continue?     ",
                                         "Aborted.     ", "1 file(s) failed testing.     "}));
    EXPECT_EQ(read, Strings{dir.at("src/1.txt")});

    // STOP in the middle of a file: that file and the rest are left, none failed.
    prompter.clear();
    read.clear();
    dir.write("src/2.txt", "2");
    dir.write("src/3.txt", "3");
    test->OnBlockRead = [&](const std::string& path, uint64_t) {
        read.push_back(path);
        progress.stop = path == dir.at("src/4.txt");
    };
    test->miFileTaggTestClick();
    EXPECT_EQ(prompter.texts(), (Strings{"Aborted.     ", "All tested files OK.     "}));
    EXPECT_EQ(read.back(), dir.at("src/4.txt"));
    EXPECT_EQ(std::count(read.begin(), read.end(), dir.at("src/4.txt")), 1);
    EXPECT_FALSE(progress.stopShown);
}

TEST_F(CompareTestFixture, TheBranchTestWalksTheDiskThroughTheFileSpecification) {
    dir.write("src/a.txt", "a");
    dir.write("src/b.doc", "b");
    dir.write("src/sub/c.txt", "c");
    dir.write("src/sub/deeper/d.txt", "d");
    dir.write("src/.hidden/e.txt", "not entered");
    dir.write("src/.f.txt", "a hidden file is tested");
    dir.write("outside/g.txt", "behind a link");
    dir.symlink(dir.at("outside"), "src/link");
    dir.symlink(dir.at("src/a.txt"), "src/alias.txt");
    ASSERT_EQ(::mkfifo(dir.at("src/pipe.txt").c_str(), 0644), 0);
    open();
    // Not yet logged when the catalogue was read: the walk reads the disk.
    dir.write("src/sub/late.txt", "late");

    fw->ApplyTypedFileSpec("*.txt");
    std::vector<FileTest::Item> files;
    ASSERT_TRUE(test->CollectBranch("D:\\src\\", dir.at("src"), files));
    Strings names;
    for (const FileTest::Item& f : files) {
        names.push_back(f.fullName);
        EXPECT_EQ(f.hostPath.substr(0, dir.path().size()), dir.path());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"D:\\src\\.f.txt", "D:\\src\\a.txt", "D:\\src\\alias.txt",
                              "D:\\src\\pipe.txt", "D:\\src\\sub\\c.txt",
                              "D:\\src\\sub\\deeper\\d.txt", "D:\\src\\sub\\late.txt"}));

    // The FIFO is never opened, and does not fail: it is counted as not tested.
    test->pmiTestDirectoryClick();
    EXPECT_EQ(prompter.texts(),
              (Strings{"1" + std::string(FileTest::kNotTestedCount), "All tested files OK.     "}));
    EXPECT_EQ(progress.total, 7);

    // Inverted: what does not match.
    fw->pnFileSpecClick();
    fill();
    files.clear();
    ASSERT_TRUE(test->CollectBranch("D:\\src\\", dir.at("src"), files));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].fullName, "D:\\src\\b.doc");

    // Nothing collected: no message at all.
    prompter.clear();
    select("D:\\src\\sub\\deeper\\");
    test->pmiTestDirectoryClick();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_FALSE(state.fileOperationRunning);
}
