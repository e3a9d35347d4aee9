// The commands act on the file the user saw: a file rewritten since its row
// was read is not deleted, wiped or moved unasked; a link row's attributes and
// date are the link's own; a dotfile keeps its name unless the user agrees to
// the rename; a FIFO is not called "OK" unread.

#include "fileswindowfixture.h"
#include "gui/ops/opscontroller.h"
#include "ops/filechanges.h"
#include "ops/filetest.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

using Strings = std::vector<std::string>;

struct stat statOf(const std::string& path, bool follow = true) {
    struct stat st {};
    if (follow)
        ::stat(path.c_str(), &st);
    else
        ::lstat(path.c_str(), &st);
    return st;
}

class ChosenFile : public FilesWindowFixture {
protected:
    void SetUp() override {
        tmp.write("d/a.txt", "ab");
        tmp.write("d/b.txt", "b");
        tmp.write("d/target.txt", "target");
        tmp.symlink("target.txt", "d/link");
        tmp.write("d/.env", "SECRET=1");
        tmp.write("d/.profile", "profile");
        tmp.mkdir("e");
        for (const char* name : {"a.txt", "b.txt", "target.txt", ".env", ".profile"}) {
            tmp.chmod(std::string("d/") + name, 0644);
            tmp.touch(std::string("d/") + name, 1000000000);
        }
        ASSERT_EQ(::mkfifo(tmp.at("d/pipe").c_str(), 0600), 0);
        ASSERT_NO_FATAL_FAILURE(openFiles("D=" + tmp.at("d") + ";E=" + tmp.at("e"), "D:\\"));
    }

    /// "a.txt" grows from 2 to 75 bytes behind the catalogue's back.
    void rewrite() {
        tmp.write("d/a.txt", std::string(75, 'z'));
        tmp.touch("d/a.txt", 1100000000);
    }
};

const std::string kChangedQuestion = "The file D:\\a.txt has changed since it was read.\r\n"
                                     "Shown:   2 bytes, 2001-09-09 01:46:40\r\n"
                                     "On disk: 75 bytes, 2004-11-09 11:33:20\r\n";

} // namespace

TEST_F(ChosenFile, DeleteOfAFileRewrittenSinceItWasReadAsksWithBothAndShowsItAsItIs) {
    rewrite();
    current("a.txt");
    prompter.answer(true).answer(false); // delete: OK; the changed file: No
    press(Qt::Key_D);
    EXPECT_EQ(prompter.questions(),
              (Strings{"Delete file: D:\\a.txt", kChangedQuestion + "Delete it anyway?     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), std::string(75, 'z'));
    ASSERT_NE(record("a.txt"), nullptr);
    EXPECT_EQ(record("a.txt")->FileSize(), 75);

    // The row shows the file as it is now: deleting it asks nothing more.
    prompter.clear();
    prompter.answer(true);
    press(Qt::Key_D);
    EXPECT_EQ(prompter.questions(), Strings{"Delete file: D:\\a.txt"});
    EXPECT_FALSE(Exists(tmp.at("d/a.txt")));
}

TEST_F(ChosenFile, TaggedWipeLeavesAChangedFileAloneWhenTheUserSaysNo) {
    settings.DeleteType = 3; // overwrite with zeros first
    rewrite();
    tag({"a.txt", "b.txt"});
    prompter.answer(false); // not each file asked
    prompter.answer(false); // the changed a.txt: No
    press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(prompter.questions(), (Strings{"Confirm delete for each file?",
                                             kChangedQuestion + "Delete it anyway?     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), std::string(75, 'z'));
    EXPECT_FALSE(Exists(tmp.at("d/b.txt")));

    // Cancel stops the run there.
    rewrite();
    form->logger().RelogDir();
    form->FillMainListBox();
    idle();
    tmp.write("d/a.txt", "changed once more");
    tag({".env", "a.txt"});
    prompter.clear();
    prompter.answer(false).answerCancel();
    press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "changed once more");
    EXPECT_TRUE(Exists(tmp.at("d/.env"))) << "visited after a.txt, from the last up";
}

TEST_F(ChosenFile, MoveOfAFileRewrittenSinceItWasReadAsksBeforeItGoes) {
    tag({"a.txt", "b.txt"});
    press(Qt::Key_M, Qt::ControlModifier);
    copyMovePage(CopyMovePage::MoveAs, "*.*");
    rewrite(); // while the prompts were up
    prompter.answer(false);
    copyMovePage(CopyMovePage::MoveTo, "E:\\");
    EXPECT_EQ(prompter.questions(), Strings{kChangedQuestion + "Move it anyway?     "});
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), std::string(75, 'z'));
    EXPECT_FALSE(Exists(tmp.at("e/a.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/b.txt")), "b");
    ASSERT_NE(record("a.txt"), nullptr);
    EXPECT_EQ(record("a.txt")->FileSize(), 75);

    // Cancel: nothing moves at all.
    tmp.write("d/b2.txt", "b2");
    form->logger().RelogDir();
    form->FillMainListBox();
    idle();
    tag({"a.txt", "b2.txt"});
    press(Qt::Key_M, Qt::ControlModifier);
    copyMovePage(CopyMovePage::MoveAs, "*.*");
    tmp.write("d/a.txt", "again");
    prompter.clear();
    prompter.answerCancel();
    copyMovePage(CopyMovePage::MoveTo, "E:\\");
    EXPECT_TRUE(Exists(tmp.at("d/b2.txt")));
    EXPECT_FALSE(Exists(tmp.at("e/b2.txt")));
}

TEST_F(ChosenFile, ALinkRowsAttributesAndDateAreTheLinksOwn) {
    const struct stat targetBefore = statOf(tmp.at("d/target.txt"));
    current("link");
    press(Qt::Key_A);
    attributes("+R");
    EXPECT_EQ(prompter.texts(), Strings{"D:\\link" + std::string(FileChanges::kLinkAttributes)});
    EXPECT_EQ(statOf(tmp.at("d/target.txt")).st_mode & 0777, 0644u);

    prompter.clear();
    press(Qt::Key_0);
    EXPECT_EQ(prompter.texts(), Strings{"D:\\link" + std::string(FileChanges::kLinkAttributes)});
    EXPECT_EQ(statOf(tmp.at("d/target.txt")).st_mode & 0777, 0644u);

    // Tagged: the files change, the link and what it points to do not.
    prompter.clear();
    tag({"link", "b.txt"});
    press(Qt::Key_A, Qt::ControlModifier);
    attributes("+R");
    EXPECT_EQ(statOf(tmp.at("d/b.txt")).st_mode & 0777, 0444u);
    EXPECT_EQ(statOf(tmp.at("d/target.txt")).st_mode & 0777, 0644u);
    EXPECT_EQ(prompter.texts(), Strings{"1" + std::string(FileChanges::kLinksAttributes)});

    // The date: the link's own time; the file it points to keeps its time.
    prompter.clear();
    current("link");
    press(Qt::Key_N);
    prompt(form->ops().dateTimePage(), "02.01.2024 13:05:03");
    EXPECT_EQ(statOf(tmp.at("d/link"), false).st_mtim.tv_sec, 1704200703);
    EXPECT_EQ(statOf(tmp.at("d/target.txt")).st_mtim.tv_sec, targetBefore.st_mtim.tv_sec);
    EXPECT_EQ(prompter.texts(), Strings{"D:\\link" + std::string(FileChanges::kLinkDate)});

    prompter.clear();
    tag({"link", "b.txt"});
    press(Qt::Key_N, Qt::ControlModifier);
    prompt(form->ops().dateTimePage(), "03.01.2024 00:00:00");
    EXPECT_EQ(statOf(tmp.at("d/b.txt")).st_mtim.tv_sec, 1704240000);
    EXPECT_EQ(statOf(tmp.at("d/link"), false).st_mtim.tv_sec, 1704240000);
    EXPECT_EQ(statOf(tmp.at("d/target.txt")).st_mtim.tv_sec, targetBefore.st_mtim.tv_sec);
    EXPECT_EQ(prompter.texts(), Strings{"1" + std::string(FileChanges::kLinksDate)});
}

TEST_F(ChosenFile, HiddenIsTheLeadingDotAndChangesOnlyWhenTheUserAgreesToTheRename) {
    // Toggle and its paste set archive alone, but leave the dot.
    current(".env");
    press(Qt::Key_0);
    EXPECT_TRUE(Exists(tmp.at("d/.env")));
    press(Qt::Key_0);
    EXPECT_TRUE(Exists(tmp.at("d/.env")));
    EXPECT_TRUE(prompter.texts().empty());

    // The default text on one file: the rename is asked, No keeps the name.
    press(Qt::Key_A);
    prompter.answer(false);
    attributes("+A-R-H-S");
    EXPECT_EQ(prompter.questions(), Strings{"Rename .env to env?     "});
    EXPECT_TRUE(Exists(tmp.at("d/.env")));
    EXPECT_FALSE(Exists(tmp.at("d/env")));

    // The tagged files: H is left alone, nothing renamed, nothing asked.
    prompter.clear();
    tag({".env", ".profile", "b.txt"});
    press(Qt::Key_A, Qt::ControlModifier);
    attributes("-H");
    EXPECT_TRUE(Exists(tmp.at("d/.env")));
    EXPECT_TRUE(Exists(tmp.at("d/.profile")));
    press(Qt::Key_A, Qt::ControlModifier);
    attributes("+H");
    EXPECT_TRUE(Exists(tmp.at("d/b.txt")));
    EXPECT_TRUE(prompter.texts().empty());

    // Yes renames, and the row follows.
    current("b.txt");
    press(Qt::Key_A);
    prompter.answer(true);
    attributes("+H");
    EXPECT_EQ(prompter.questions(), Strings{"Rename b.txt to .b.txt?     "});
    EXPECT_EQ(ReadFile(tmp.at("d/.b.txt")), "b");
    EXPECT_GE(row(".b.txt"), 0);
}

TEST_F(ChosenFile, TestCallsAFifoNotTestedInsteadOfOk) {
    current("pipe");
    press(Qt::Key_W);
    EXPECT_EQ(prompter.texts(), Strings{"File: D:\\pipe" + std::string(FileTest::kNotTested)});

    prompter.clear();
    tag({"pipe", "b.txt"});
    press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(),
              (Strings{"1" + std::string(FileTest::kNotTestedCount), FileTest::kAllOk}));
}
