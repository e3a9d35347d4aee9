#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/loggedclass.h"
#include "catalogue/treenode.h"
#include "filewindow/filewindow.h"
#include "gui/app/guiprompter.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/ops/tfileopprogressform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "ops/copymovecommands.h"
#include "ops/tfileoperator.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "support/tmpfsmount.h"
#include "support/xattrs.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

// --- the rules, without a window -----------------------------------------------------

TEST(CopyMoveRules, StripCommonDirectoriesKeepsTheLastCommonOneOrNot) {
    using V = std::vector<std::string>;
    const auto strip = CopyMoveCommands::StripCommonDirectories;
    EXPECT_EQ(strip({"WORK\\PROJ\\A.TXT", "WORK\\PROJ\\B.TXT"}, true),
              (V{"PROJ\\A.TXT", "PROJ\\B.TXT"}));
    EXPECT_EQ(strip({"WORK\\A\\X.TXT", "WORK\\B\\Y.TXT"}, true), (V{"A\\X.TXT", "B\\Y.TXT"}));
    EXPECT_EQ(strip({"A\\B\\F.TXT"}, true), (V{"B\\F.TXT"}));
    EXPECT_EQ(strip({"F.TXT"}, true), (V{"F.TXT"}));
    EXPECT_EQ(strip({"A.TXT", "B.TXT"}, true), (V{"A.TXT", "B.TXT"}));
    // Different depths: everything from the first difference on.
    EXPECT_EQ(strip({"D\\E\\X.TXT", "D\\Y.TXT"}, true), (V{"E\\X.TXT", "Y.TXT"}));
    // The variant of the directory operations steps back nowhere.
    EXPECT_EQ(strip({"A\\B\\F.TXT"}, false), (V{"F.TXT"}));
    EXPECT_EQ(strip({"WORK\\PROJ\\A.TXT", "WORK\\PROJ\\B.TXT"}, false), (V{"A.TXT", "B.TXT"}));
}

TEST(CopyMoveRules, DestinationTexts) {
    const auto dest = CopyMoveCommands::DestinationDir;
    EXPECT_EQ(dest(".", "C:\\WORK\\", 'D', true), "C:\\WORK\\");
    EXPECT_EQ(dest(".", "C:\\WORK\\", 'D', false), ".\\");
    EXPECT_EQ(dest("\\BACKUP ", "C:\\", 'D', true), "D:\\BACKUP\\");
    EXPECT_EQ(dest("E:\\X", "C:\\", 'D', true), "E:\\X\\");
    EXPECT_EQ(dest("E:\\", "C:\\", 'D', true), "E:\\");
}

// --- through the main window ---------------------------------------------------------

class CopyMoveGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        tmp.mkdir("e");
        tmp.mkdir("log");
        tmp.write("d/a.txt", "alpha");
        tmp.write("d/b.txt", "beta");
        tmp.write("d/c.doc", "gamma");
        tmp.write("d/README", "readme");
        tmp.write("d/docs/d.txt", "delta");
        state.currentDisk = 'D';
        settings.ShowMemStat = false; // the command strip shows only for prompts
        settings.WDEnabled = true;
        settings.WDFilePath = "L:\\";
        settings.WatchDogOperations[1] = true; // move
        settings.WatchDogOperations[2] = true; // copy
        settings.WindowsDir = "D:\\";
        ASSERT_NO_FATAL_FAILURE(
            openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e") + ";L=" + tmp.at("log")));
        form->Start({});
        form->logger().LogDirBranch();
        openDir("D:\\");
    }

    CopyMoveController& copyMove() { return form->copyMove(); }
    TCopyMovePage* page(CopyMovePage p) { return copyMove().page(p); }
    std::set<std::string> rows() {
        std::set<std::string> out;
        for (int i = 0; i < fw().Count(); ++i)
            out.insert(std::string(fw().Text(i)));
        return out;
    }
    void tag(const std::vector<std::string>& names) {
        for (const std::string& n : names) {
            ASSERT_GE(rowOf(n), 0) << n;
            fw().Record(rowOf(n))->SetTagged(true);
        }
    }
    void press(QKeyCombination key) {
        QTest::keyClick(list(), key.key(), key.keyboardModifiers());
        idle();
    }
    /// Types into the page that is up and presses Enter.
    void answerPage(CopyMovePage expected, const QString& text) {
        TCopyMovePage* up = copyMove().currentPage();
        ASSERT_EQ(up, page(expected));
        ASSERT_TRUE(up->box->hasFocus());
        up->box->lineEdit()->selectAll();
        QTest::keyClick(up->box, Qt::Key_Backspace);
        QTest::keyClicks(up->box, text);
        QTest::keyClick(up->box, Qt::Key_Return);
        idle();
    }
    /// C on file `name`, "*.*", then `to` typed into the "to" page.
    void copyFile(const std::string& name, const QString& to) {
        fw().SetCurrent(rowOf(name));
        press(Qt::Key_C);
        answerPage(CopyMovePage::CopyAs, "*.*");
        answerPage(CopyMovePage::CopyTo, to);
    }
    std::string log() { return ReadFile(tmp.at("log/WATCHDOG.LOG")); }
};

TEST_F(CopyMoveGui, CopyTheCurrentFileAsAMaskToTheCurrentDirectory) {
    QStackedWidget* strip = form->ZenPageControl;
    fw().SetCurrent(rowOf("a.txt"));
    press(Qt::Key_C);
    TCopyMovePage* as = page(CopyMovePage::CopyAs);
    ASSERT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->currentWidget(), as);
    EXPECT_EQ(as->objectName(), "ts_FC_CopyAs");
    EXPECT_EQ(as->box->objectName(), "hbCopyAs");
    EXPECT_EQ(as->box->IniSection(), "CopyAsHistory");
    EXPECT_EQ(as->lbCaption->text(), "Copy file(s) as:");
    EXPECT_EQ(as->text(), "*.*");
    EXPECT_EQ(as->box->lineEdit()->selectedText(), "*.*");

    answerPage(CopyMovePage::CopyAs, "*.BAK");
    EXPECT_EQ(page(CopyMovePage::CopyTo)->lbCaption->text(), "Copy to:");
    answerPage(CopyMovePage::CopyTo, ".");
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(ReadFile(tmp.at("d/a.BAK")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha");
    EXPECT_TRUE(prompter.shown().empty());
    // The current directory was re-read and the window refilled.
    idle();
    EXPECT_GE(rowOf("a.BAK"), 0);
    EXPECT_EQ(as->box->Items().front(), "*.BAK");
    EXPECT_EQ(page(CopyMovePage::CopyTo)->box->Items().front(), "D:\\");
    EXPECT_EQ(form->CurrDirLabel->text(), "D:\\");
    EXPECT_FALSE(state.fileOperationRunning);
    // One directory shown: one group entry for the copy.
    EXPECT_NE(log().find(" Copy 1 file(s) from D:\\ to D:\\\r\n"), std::string::npos) << log();

    // The next copy offers the last destination, all selected; Esc leaves.
    fw().SetCurrent(rowOf("b.txt"));
    press(Qt::Key_C);
    QTest::keyClick(page(CopyMovePage::CopyAs)->box, Qt::Key_Return);
    EXPECT_EQ(page(CopyMovePage::CopyTo)->text(), "D:\\");
    QTest::keyClick(page(CopyMovePage::CopyTo)->box, Qt::Key_Escape);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_TRUE(list()->hasFocus());
}

TEST_F(CopyMoveGui, MoveTaggedFilesAsksForProtectedFilesAndRemovesTheRowsThatLeft) {
    tag({"a.txt", "b.txt", "c.doc"});
    prompter.answer(true).answer(false).answer(true); // a yes, b no, c yes
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_M));
    ASSERT_EQ(prompter.texts().size(), 3u);
    EXPECT_EQ(prompter.texts()[1],
              "Moving file: D:\\b.txt could cause Windows to malfunction! Move anyway?     ");
    EXPECT_EQ(page(CopyMovePage::MoveAs)->lbCaption->text(), "Move file(s) as:");
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, "E:\\X");
    EXPECT_EQ(ReadFile(tmp.at("e/X/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("e/X/c.doc")), "gamma");
    EXPECT_TRUE(Exists(tmp.at("d/b.txt")));
    EXPECT_EQ(rows(), (std::set<std::string>{"b.txt", "README"}));
    EXPECT_TRUE(fw().Record(rowOf("b.txt"))->Tagged());
    EXPECT_GE(fw().Current(), 0);
    EXPECT_NE(log().find(" Move 2 file(s) from D:\\ to E:\\X\r\n"), std::string::npos) << log();

    // Nothing tagged any more but b: with nothing tagged at all, a message.
    fw().Record(rowOf("b.txt"))->SetTagged(false);
    prompter.clear();
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_M));
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"There are no tagged files to operate with!     "});
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_C));
    EXPECT_EQ(prompter.texts().size(), 2u);
    press(QKeyCombination(Qt::AltModifier, Qt::Key_C)); // with paths: silently nothing
    EXPECT_EQ(prompter.texts().size(), 2u);
    EXPECT_FALSE(form->ZenPageControl->isVisible());
}

TEST_F(CopyMoveGui, CopyWithPathsKeepsTheDirectoriesAndNamesWithoutExtension) {
    form->runCommand("BranchShowAllLogged");
    form->FillMainListBox();
    idle();
    tag({"d.txt", "README"});
    press(QKeyCombination(Qt::AltModifier, Qt::Key_C));
    EXPECT_EQ(page(CopyMovePage::FullCopyAs)->lbCaption->text(), "Copy file(s) with paths as:");
    EXPECT_EQ(page(CopyMovePage::FullCopyAs)->box->objectName(), "hbFullCopyAs");
    answerPage(CopyMovePage::FullCopyAs, "*.*");
    EXPECT_EQ(page(CopyMovePage::CopyTo)->text(), ""); // empty, caret at the end
    prompter.answer(false);                            // Strip common directories? No
    answerPage(CopyMovePage::CopyTo, "E:\\B");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Strip common directories ?     "});
    EXPECT_EQ(ReadFile(tmp.at("e/B/docs/d.txt")), "delta");
    EXPECT_EQ(ReadFile(tmp.at("e/B/README")), "readme");
    EXPECT_FALSE(Exists(tmp.at("e/B/README.")));
    // A wider view logs every file.
    EXPECT_NE(log().find(" Copy file: D:\\docs\\d.txt to E:\\B\r\n"), std::string::npos);
    EXPECT_NE(log().find(" Copy file: D:\\README to E:\\B\r\n"), std::string::npos);
}

TEST_F(CopyMoveGui, MoveWithPathsStripsToTheLastDirectory) {
    openDir("D:\\docs\\");
    tag({"d.txt"});
    press(QKeyCombination(Qt::AltModifier, Qt::Key_M));
    EXPECT_EQ(page(CopyMovePage::FullMoveAs)->lbCaption->text(), "Move file(s) with paths as:");
    answerPage(CopyMovePage::FullMoveAs, "*.OLD");
    prompter.answer(true); // strip
    answerPage(CopyMovePage::MoveTo, "E:\\M");
    EXPECT_EQ(ReadFile(tmp.at("e/M/docs/d.OLD")), "delta");
    EXPECT_FALSE(Exists(tmp.at("d/docs/d.txt")));
    EXPECT_EQ(fw().Count(), 0);
    // The emptied window gives the focus to the tree.
    EXPECT_TRUE(form->MainTreeView->hasFocus());
    EXPECT_EQ(state.scope, 1);
}

TEST_F(CopyMoveGui, WithPathsUnderStarDotStarKeepsEveryName) {
    tmp.write("d/m/a.b.c", "abc");
    tmp.write("d/m/a.c", "ac");
    tmp.write("d/m/a", "a");
    tmp.write("d/m/README.commands.gz", "commands");
    tmp.write("d/m/changelog.Debian.gz", "debian");
    tmp.write("d/m/changelog.gz", "upstream");
    ASSERT_TRUE(form->logger().GoToDirPath("D:\\m\\"));
    openDir("D:\\m\\");
    tag({"a.b.c", "a.c", "a"});
    press(QKeyCombination(Qt::AltModifier, Qt::Key_M));
    answerPage(CopyMovePage::FullMoveAs, "*.*");
    prompter.answer(false); // do not strip
    answerPage(CopyMovePage::MoveTo, "E:\\W");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Strip common directories ?     "});
    EXPECT_EQ(ReadFile(tmp.at("e/W/m/a.b.c")), "abc");
    EXPECT_EQ(ReadFile(tmp.at("e/W/m/a.c")), "ac");
    EXPECT_EQ(ReadFile(tmp.at("e/W/m/a")), "a");
    for (const char* gone : {"d/m/a.b.c", "d/m/a.c", "d/m/a"})
        EXPECT_FALSE(Exists(tmp.at(gone))) << gone;

    prompter.clear();
    tag({"README.commands.gz", "changelog.Debian.gz", "changelog.gz"});
    press(QKeyCombination(Qt::AltModifier, Qt::Key_C));
    answerPage(CopyMovePage::FullCopyAs, "*");
    prompter.answer(true); // strip: the last common directory stays
    answerPage(CopyMovePage::CopyTo, "E:\\C");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Strip common directories ?     "});
    EXPECT_EQ(ReadFile(tmp.at("e/C/m/README.commands.gz")), "commands");
    EXPECT_EQ(ReadFile(tmp.at("e/C/m/changelog.Debian.gz")), "debian");
    EXPECT_EQ(ReadFile(tmp.at("e/C/m/changelog.gz")), "upstream");
}

TEST_F(CopyMoveGui, DirectoriesACopyOrMoveMakesAppearInTheTreeAtOnce) {
    form->logger().LogDrive('E');
    openDir("D:\\");
    // A plain copy to a directory that is not there yet: made on Yes. (The
    // first operation of the window makes directories unasked.)
    copyFile("c.doc", "E:\\");
    prompter.answerChoice(0); // Yes
    copyFile("a.txt", "E:\\NEW");
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"The directory E:\\NEW does not exist.\n\nCreate it?     "});
    EXPECT_EQ(ReadFile(tmp.at("e/NEW/a.txt")), "alpha");
    TTreeNode* made = form->logger().FindNodeByPath("E:\\NEW\\");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Parent(), form->logger().FindNodeByPath("E:\\"));

    // With paths: the first new level is a node that can be opened.
    form->runCommand("BranchShowAllLogged");
    form->FillMainListBox();
    idle();
    tag({"d.txt"});
    press(QKeyCombination(Qt::AltModifier, Qt::Key_C));
    answerPage(CopyMovePage::FullCopyAs, "*.*");
    prompter.answer(false); // do not strip
    answerPage(CopyMovePage::CopyTo, "E:\\P");
    EXPECT_EQ(ReadFile(tmp.at("e/P/docs/d.txt")), "delta");
    ASSERT_NE(form->logger().FindNodeByPath("E:\\P\\"), nullptr);
    EXPECT_TRUE(form->logger().FindNodeByPath("E:\\P\\")->HasChildren());

    // A tagged move to a new directory.
    openDir("D:\\");
    tag({"b.txt", "c.doc"});
    prompter.answer(true).answer(true); // protected here: move anyway
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_M));
    answerPage(CopyMovePage::MoveAs, "*.*");
    prompter.answerChoice(0); // Create it? Yes
    answerPage(CopyMovePage::MoveTo, "E:\\M2");
    EXPECT_TRUE(prompter.allAnswersUsed());
    EXPECT_EQ(ReadFile(tmp.at("e/M2/b.txt")), "beta");
    EXPECT_NE(form->logger().FindNodeByPath("E:\\M2\\"), nullptr);
}

TEST_F(CopyMoveGui, CopyToALoggedDestinationReadsItAgain) {
    form->logger().LogDrive('E');
    openDir("D:\\");
    tag({"a.txt", "c.doc"});
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_C));
    answerPage(CopyMovePage::CopyAs, "*.*");
    answerPage(CopyMovePage::CopyTo, "E:\\");
    std::set<std::string> inE;
    for (TFileClass* f : form->logger().FindNodeByPath("E:\\")->Data()->FileList())
        inE.insert(std::string(f->FileName()));
    EXPECT_EQ(inE, (std::set<std::string>{"a.txt", "c.doc"}));
}

TEST_F(CopyMoveGui, MoveTheCurrentFileToADirectoryOfTheCurrentDisk) {
    fw().SetCurrent(rowOf("c.doc"));
    prompter.answer(true); // protected: move anyway
    press(Qt::Key_M);
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{
                  "Moving this file could cause Windows to malfunction! Move anyway?     "});
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, "\\sub");
    EXPECT_EQ(ReadFile(tmp.at("d/sub/c.doc")), "gamma");
    EXPECT_EQ(rowOf("c.doc"), -1);
    EXPECT_EQ(page(CopyMovePage::MoveTo)->box->Items().front(), "D:\\sub\\");

    // Refused: the command ends at once.
    prompter.clear();
    fw().SetCurrent(rowOf("a.txt"));
    prompter.answer(false);
    press(Qt::Key_M);
    EXPECT_FALSE(form->ZenPageControl->isVisible());
}

// A destination typed as a host path is the directory a drive has for it (it
// once went to the path's parent); one that no drive holds is refused with the
// reason, the page staying up and nothing moving.
TEST_F(CopyMoveGui, HostPathsInTheToBoxesAreTheDirectoriesTheirDrivesHave) {
    settings.WindowsDir.clear();
    tmp.mkdir("e/dst");
    tmp.mkdir("e/my dst");
    setEnv("HOME", tmp.at("e"));
    fw().SetCurrent(rowOf("a.txt"));
    press(Qt::Key_C);
    answerPage(CopyMovePage::CopyAs, "*.*");
    answerPage(CopyMovePage::CopyTo, QString::fromStdString(tmp.at("e/dst")));
    EXPECT_EQ(ReadFile(tmp.at("e/dst/a.txt")), "alpha");
    EXPECT_FALSE(Exists(tmp.at("e/a.txt")));
    EXPECT_EQ(page(CopyMovePage::CopyTo)->box->Items().front(), "E:\\dst\\");

    fw().SetCurrent(rowOf("b.txt"));
    press(Qt::Key_M);
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, "~/my dst/");
    EXPECT_EQ(ReadFile(tmp.at("e/my dst/b.txt")), "beta");
    EXPECT_FALSE(Exists(tmp.at("d/b.txt")));
    EXPECT_FALSE(Exists(tmp.at("e/b.txt")));
    EXPECT_EQ(rowOf("b.txt"), -1);
    EXPECT_TRUE(prompter.shown().empty());

    fw().SetCurrent(rowOf("c.doc"));
    press(Qt::Key_M);
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, QString::fromStdString(tmp.at("log") + "/../x"));
    answerPage(CopyMovePage::MoveTo, "/nowhere/at all");
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.texts()[0], "Directory does not exist!     ");
    EXPECT_EQ(prompter.shown()[0].informative,
              tmp.at("x") + ": no drive letter stands for a directory that holds it");
    EXPECT_EQ(prompter.shown()[1].informative,
              "/nowhere/at all: no drive letter stands for a directory that holds it");
    EXPECT_EQ(copyMove().currentPage(), page(CopyMovePage::MoveTo));
    EXPECT_EQ(ReadFile(tmp.at("d/c.doc")), "gamma");
    QTest::keyClick(page(CopyMovePage::MoveTo)->box, Qt::Key_Escape);
}

TEST_F(CopyMoveGui, APartlyCancelledMoveRemovesOnlyTheFilesThatLeft) {
    settings.WindowsDir.clear();
    tmp.write("e/X/b.txt", "in the way");
    tag({"a.txt", "b.txt"});
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_M));
    answerPage(CopyMovePage::MoveAs, "*.*");
    prompter.answerChoice(5); // the collision on b.txt: Cancel
    answerPage(CopyMovePage::MoveTo, "E:\\X\\");
    EXPECT_EQ(prompter.shown().at(0).caption, "Confirm File Replace");
    EXPECT_EQ(ReadFile(tmp.at("e/X/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("e/X/b.txt")), "in the way");
    EXPECT_EQ(rowOf("a.txt"), -1);
    ASSERT_GE(rowOf("b.txt"), 0);
    EXPECT_TRUE(fw().Record(rowOf("b.txt"))->Tagged());
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "beta");
}

TEST_F(CopyMoveGui, TheProgressWindowShowsAndItsCancelStopsTheCopy) {
    {
        std::ofstream f(tmp.at("d/big.bin"), std::ios::binary);
        const std::string block(1 << 20, 'z');
        for (int i = 0; i < 300; ++i)
            f << block;
    }
    form->logger().RelogDir();
    openDir("D:\\");
    auto* progress = form->findChild<TFileOpProgressForm*>();
    ASSERT_NE(progress, nullptr);
    progress->showDelay = 0;
    // Each block takes a while, as on a slow disk, so the copy is still going
    // when the window shows, however fast this machine copies.
    form->fileOperator().OnBlockCopied = [](uint64_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    fw().SetCurrent(rowOf("big.bin"));
    press(Qt::Key_C);
    answerPage(CopyMovePage::CopyAs, "*.*");
    QString title;
    int shownFileLines = 0;
    OnModalShown([&](QWidget* modal) {
        title = modal->windowTitle();
        shownFileLines = progress->lbFile->isVisible() ? 1 : 0;
        progress->btnCancel->click();
    });
    answerPage(CopyMovePage::CopyTo, "E:\\");
    EXPECT_EQ(title, "File Operation");
    EXPECT_EQ(shownFileLines, 1);
    EXPECT_TRUE(form->fileOperator().Aborted());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(Exists(tmp.at("e/big.bin")));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(CopyMoveGui, AQuestionAskedBeforeTheProgressWindowShowsStaysAnswerable) {
    // The first thing the copy asks is whether to make the missing directory;
    // the box stays open well past the moment the progress window would show.
    auto* progress = form->findChild<TFileOpProgressForm*>();
    ASSERT_NE(progress, nullptr);
    ASSERT_LT(progress->showDelay, 500);
    bool boxOnTopWhileOpen = false;
    bool progressUpWhileOpen = true;
    bool progressUpAfter = false;
    prompter.answerChoice(0);
    prompter.whileAsking = [&](const std::string& question) {
        GuiPrompter boxes(form.get()); // what the window asks with, a real message box
        QTimer::singleShot(1000, [&] {
            // The box takes the input, not a window come up over it.
            boxOnTopWhileOpen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            progressUpWhileOpen = progress->isVisible();
            auto* box = form->findChild<QMessageBox*>();
            ASSERT_NE(box, nullptr);
            box->buttons().front()->click();
        });
        boxes.askChoice(question, {"Yes", "Yes to all", "No", "Cancel"}, "Confirm");
        // Answered: now the window comes up (the worker still waits here).
        OnModalShown([&](QWidget* modal) { progressUpAfter = modal == progress; });
        QTest::qWait(400);
    };
    // The first copy of a session makes a missing directory unasked; after it
    // the question is asked.
    copyFile("b.txt", "E:\\");
    copyFile("a.txt", "E:\\new\\");
    ASSERT_EQ(prompter.questions().size(), 1u);
    EXPECT_NE(prompter.questions()[0].find("E:\\new"), std::string::npos);
    EXPECT_FALSE(progressUpWhileOpen);
    EXPECT_TRUE(boxOnTopWhileOpen);
    EXPECT_TRUE(progressUpAfter);
    EXPECT_EQ(ReadFile(tmp.at("e/new/a.txt")), "alpha");
}

TEST_F(CopyMoveGui, AidsOfTheDestinationBox) {
    form->logger().LogDrive('E');
    openDir("D:\\");
    tmp.mkdir("config/gtk-3.0");
    tmp.mkdir("e/fav dir");
    tmp.write("config/gtk-3.0/bookmarks",
              "file://" + tmp.at("e/fav%20dir") + " Favorite\nsftp://elsewhere/x\n");
    fw().SetCurrent(rowOf("a.txt"));
    press(Qt::Key_C);
    answerPage(CopyMovePage::CopyAs, "*.*");
    TCopyMovePage* to = page(CopyMovePage::CopyTo);

    // ">" and "<": the next and previous logged disk's directory.
    QTest::keyClicks(to->box, ">");
    EXPECT_EQ(to->text(), "E:\\");
    EXPECT_EQ(state.currentDisk, 'E');
    QTest::keyClicks(to->box, "<");
    EXPECT_EQ(to->text(), "D:\\");

    // F3: the favorites in the list; choosing one puts it in the box.
    QTest::keyClick(to->box, Qt::Key_F3);
    ASSERT_EQ(to->box->count(), 1);
    EXPECT_EQ(to->box->itemText(0), "E:\\fav dir\\");
    to->box->view()->setCurrentIndex(to->box->model()->index(0, 0));
    QTest::keyClick(to->box->view(), Qt::Key_Return);
    EXPECT_FALSE(to->box->view()->isVisible());
    EXPECT_EQ(to->text(), "E:\\fav dir\\");
    EXPECT_EQ(to->box->Tag, 0);

    // F2: the folder chooser, starting at the box's directory.
    OnModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), tmp.at("e/fav dir"));
        dialog->setDirectory(QString::fromStdString(tmp.at("d/docs")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(to->box, Qt::Key_F2);
    EXPECT_EQ(to->text(), "D:\\docs\\");
    QTest::keyClick(to->box, Qt::Key_Return);
    idle();
    EXPECT_EQ(ReadFile(tmp.at("d/docs/a.txt")), "alpha");
}

TEST_F(CopyMoveGui, AHostPathInTheToBoxIsTheDirectoryOfTheDriveThatHoldsIt) {
    settings.WindowsDir.clear();
    form->logger().LogDrive('E');
    tmp.mkdir("e/X");
    tmp.mkdir("outside/dst");
    openDir("D:\\");
    fw().SetCurrent(rowOf("a.txt"));
    press(Qt::Key_M);
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, QString::fromStdString(tmp.at("e/X/../X")));
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_EQ(ReadFile(tmp.at("e/X/a.txt")), "alpha");
    EXPECT_FALSE(Exists(tmp.at("d/a.txt")));
    ASSERT_FALSE(page(CopyMovePage::MoveTo)->box->Items().empty());
    EXPECT_EQ(page(CopyMovePage::MoveTo)->box->Items().front(), "E:\\X\\");

    // A host path outside every drive is refused; nothing is copied anywhere.
    const std::string outside = tmp.at("outside/dst");
    copyFile("b.txt", QString::fromStdString(outside));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "});
    EXPECT_EQ(prompter.lastInformative(),
              outside + ": no drive letter stands for a directory that holds it");
    QTest::keyClick(page(CopyMovePage::CopyTo)->box, Qt::Key_Escape);
    const std::filesystem::directory_iterator end;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.at("outside")), end), 1);
    EXPECT_TRUE(std::filesystem::is_empty(outside));
    EXPECT_FALSE(state.fileOperationRunning);
}

TEST_F(CopyMoveGui,
       AMoveToAnotherFileSystemKeepsHardLinksTogetherWithTheirAccessListAndAttributes) {
    settings.WindowsDir.clear();
    TmpfsMount mnt(tmp.at("e/mnt"));
    if (!mnt.mounted())
        GTEST_SKIP() << mnt.reason();
    tmp.write("d/one.txt", "shared");
    ASSERT_EQ(::link(tmp.at("d/one.txt").c_str(), tmp.at("d/two.txt").c_str()), 0);
    const std::string acl = PosixAcl();
    const std::pair<const char*, std::string> attributes[] = {
        {"system.posix_acl_access", acl},
        {"security.note", "s"},
        {"trusted.note", "t"}, // root only, as the tests run
        {"user.note", "u"}};
    for (const auto& [name, value] : attributes)
        ASSERT_EQ(::setxattr(tmp.at("d/one.txt").c_str(), name, value.data(), value.size(), 0), 0)
            << name;
    form->logger().RelogDir();
    openDir("D:\\");
    tag({"one.txt", "two.txt"});
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_M));
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, "E:\\mnt");
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_FALSE(Exists(tmp.at("d/one.txt")));
    EXPECT_FALSE(Exists(tmp.at("d/two.txt")));
    struct stat one {
    }, two{};
    ASSERT_EQ(::lstat(tmp.at("e/mnt/one.txt").c_str(), &one), 0);
    ASSERT_EQ(::lstat(tmp.at("e/mnt/two.txt").c_str(), &two), 0);
    EXPECT_EQ(one.st_ino, two.st_ino);
    EXPECT_EQ(one.st_nlink, 2u);
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/two.txt")), "shared");
    for (const auto& [name, value] : attributes)
        EXPECT_EQ(Xattr(tmp.at("e/mnt/one.txt"), name), value) << name;
    EXPECT_EQ(rowOf("one.txt"), -1);
    EXPECT_EQ(rowOf("two.txt"), -1);
}

TEST_F(CopyMoveGui, AFileWrittenToWhileItIsMovedToAnotherFileSystemStaysWhereItIs) {
    settings.WindowsDir.clear();
    TmpfsMount mnt(tmp.at("e/mnt"), "", "ramfs"); // keeps no extended attributes
    if (!mnt.mounted())
        GTEST_SKIP() << mnt.reason();
    ASSERT_EQ(::setxattr(tmp.at("d/a.txt").c_str(), "user.note", "n", 1, 0), 0);
    // While the user reads that the attribute cannot be kept, a.txt (copied,
    // not yet deleted) is written to.
    prompter.whileAsking = [&](const std::string&) {
        std::ofstream(tmp.at("d/a.txt"), std::ios::app) << " and more";
    };
    prompter.answerChoice(0).answerChoice(1); // Continue; Skip
    fw().SetCurrent(rowOf("a.txt"));
    press(Qt::Key_M);
    answerPage(CopyMovePage::MoveAs, "*.*");
    answerPage(CopyMovePage::MoveTo, "E:\\mnt");
    ASSERT_EQ(prompter.questions().size(), 2u);
    EXPECT_EQ(prompter.questions()[1], "D:\\a.txt changed after it was copied to E:\\mnt\\a.txt: "
                                       "it stays where it is.\n\nRetry copies it again.     ");
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha and more");
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/a.txt")), "alpha");
    EXPECT_GE(rowOf("a.txt"), 0);
}

TEST_F(CopyMoveGui, RenameOnACollisionOfALongNameShortensItsStem) {
    settings.WindowsDir.clear();
    const std::string stem(250, 'n');
    const std::string name = stem + ".txt"; // 254 bytes: "name (2).txt" would not fit
    tmp.write("d/" + name, "new");
    tmp.write("e/" + name, "old");
    form->logger().RelogDir();
    openDir("D:\\");
    fw().SetCurrent(rowOf(name));
    prompter.answerChoice(4); // Rename
    press(Qt::Key_C);
    answerPage(CopyMovePage::CopyAs, "*.*");
    answerPage(CopyMovePage::CopyTo, "E:\\");
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].caption, "Confirm File Replace");
    EXPECT_EQ(ReadFile(tmp.at("e/" + name)), "old");
    EXPECT_EQ(ReadFile(tmp.at("e/" + std::string(247, 'n') + " (2).txt")), "new");
    EXPECT_EQ(ReadFile(tmp.at("d/" + name)), "new");
}

TEST_F(CopyMoveGui, FilesDroppedOnTheTreeAreCopiedThere) {
    tmp.write("outside/x.txt", "x");
    tmp.write("d/docs/y.txt", "y");
    form->logger().RelogDir();
    TTreeNode* docs = form->logger().FindNodeByPath("D:\\docs\\");
    ASSERT_NE(docs, nullptr);
    const QModelIndex index = form->treeModel().indexOf(docs);
    form->MainTreeView->scrollTo(index);
    const QPoint at = form->MainTreeView->viewport()->mapTo(
        form.get(), form->MainTreeView->visualRect(index).center());
    prompter.answer(true).answer(false); // OK, not with full paths
    const QList<QUrl> urls = {QUrl::fromLocalFile(QString::fromStdString(tmp.at("d/a.txt")))};
    EXPECT_TRUE(form->DropFiles(at, urls));
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Copy 1 files to: D:\\docs\\ ?     ",
                                                          "Copy with full paths?     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/docs/a.txt")), "alpha");
    EXPECT_EQ(copyMove().page(CopyMovePage::CopyTo)->box->Items().front(), "D:\\docs\\");
}

} // namespace
