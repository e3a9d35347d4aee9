#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/treenode.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/controls/findresultsmime.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/ops/diropscontroller.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/ops/tfileopprogressform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "gui/tree/treecontroller.h"
#include "ops/dirops.h"
#include "ops/tfileoperator.h"
#include "opsfixture.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace zentrix;
using namespace zentrix::test;

namespace {

TEST(DirOpsRules, ThePruneBoxTakesOnlyTheWordPrune) {
    EXPECT_TRUE(DirOps::PruneText("p").stays);
    EXPECT_EQ(DirOps::PruneText("pr").text, "PR");
    EXPECT_FALSE(DirOps::PruneText("prx").stays);
    EXPECT_FALSE(DirOps::PruneText("PRUNE").text.empty());
    EXPECT_TRUE(DirOps::PruneText("prune").okEnabled);
    EXPECT_FALSE(DirOps::PruneText("PRUN").okEnabled);
    EXPECT_FALSE(DirOps::PruneText("PRUNES").stays);
}

class DirOpsGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        tmp.write("d/A/B/one.txt", "one");
        tmp.write("d/A/B/README", "no extension");
        tmp.write("d/A/B/SUB/two.txt", "two");
        tmp.mkdir("d/A/B/EMPTY");
        tmp.mkdir("d/X");
        tmp.write("e/keep.txt", "keep");
        state.currentDisk = 'D';
        settings.ShowMemStat = false; // the command strip shows only for prompts
        settings.WDEnabled = true;
        settings.WatchDogOperations.fill(true);
        settings.DeleteType = 1;
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        form->logger().LogDirBranch();
        form->logger().GoToDirPath("E:\\");
        form->logger().LogDirBranch();
        select("D:\\");
    }

    TTreeNode* node(const std::string& path) { return form->logger().FindNodeByPath(path); }
    void select(const std::string& path) {
        ASSERT_NE(node(path), nullptr) << path;
        cat->Tree().Select(node(path));
        form->MainTreeView->setFocus();
        idle();
    }
    THETreeView* tree() { return form->MainTreeView; }
    DirOpsController& dirOps() { return form->dirOps(); }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
        idle();
    }
    void enter(TCommandPrompt* page, const QString& text) {
        ASSERT_TRUE(page->isVisible());
        page->hbBox->lineEdit()->selectAll();
        QTest::keyClicks(page->hbBox, text);
        QTest::keyClick(page->hbBox, Qt::Key_Return);
        idle();
    }
    std::string log() { return ReadFile(tmp.at("home/WATCHDOG.LOG")); }
    bool logHas(const std::string& text) { return log().find(text) != std::string::npos; }
    /// Drops what a drag carries on the tree node of a path.
    void drop(const std::string& path, const char* format, const std::string& data,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMimeData mime;
        mime.setData(format, QByteArray::fromStdString(data));
        const QRect r = tree()->visualRect(form->treeModel().indexOf(node(path)));
        ASSERT_TRUE(r.isValid()) << path;
        ASSERT_TRUE(dirOps().dropOnTree(r.center(), &mime, mods));
        idle();
    }
};

} // namespace

TEST_F(DirOpsGui, EveryCommandIsLive) {
    for (const char* name : {"miDirCut", "miDirCopy", "miDirPaste", "miDeleteDir", "miMakeNewDir",
                             "miPruneDir", "miRenameDir"}) {
        QAction* action = form->menus().action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
}

TEST_F(DirOpsGui, MakeAndRenameThroughTheStripWithDefaultNamesAndRefusals) {
    press(Qt::Key_M);
    TCommandPrompt* make = dirOps().makeDirPage();
    ASSERT_EQ(form->ZenPageControl->currentWidget(), make);
    EXPECT_EQ(make->caption(), "Make new directory:");
    EXPECT_EQ(make->hbBox->objectName(), "hbMakeDir");
    EXPECT_EQ(make->text(), "New directory (0)");
    EXPECT_EQ(make->hbBox->lineEdit()->selectedText(), "New directory (0)");
    QTest::keyClick(make->hbBox, Qt::Key_Return);
    idle();
    EXPECT_TRUE(Exists(tmp.at("d/New directory (0)")));
    ASSERT_NE(node("D:\\New directory (0)\\"), nullptr);
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\New directory (0)\\"));
    EXPECT_FALSE(form->ZenPageControl->isVisible());
    EXPECT_TRUE(logHas(" New directory: D:\\New directory (0)\\")) << log();

    // The next one takes the next number, case ignored.
    tmp.mkdir("d/new directory (1)");
    form->logger().RefreshDir(node("D:\\"));
    select("D:\\");
    press(Qt::Key_M);
    EXPECT_EQ(make->text(), "New directory (2)");
    enter(make, "A\\B");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"New directory creation failed!     "});
    make->bbCancel->click();
    idle();
    EXPECT_FALSE(form->ZenPageControl->isVisible());

    // Rename: the directory's own name offered; a name taken is never replaced.
    prompter.clear();
    select("D:\\X\\");
    press(Qt::Key_R);
    TCommandPrompt* rename = dirOps().renameDirPage();
    ASSERT_EQ(form->ZenPageControl->currentWidget(), rename);
    EXPECT_EQ(rename->caption(), "Rename directory to:");
    EXPECT_EQ(rename->text(), "X");
    enter(rename, "A");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot rename directory!     "});
    EXPECT_TRUE(Exists(tmp.at("d/A/B/one.txt")));
    enter(rename, "Y");
    EXPECT_TRUE(Exists(tmp.at("d/Y")));
    EXPECT_FALSE(Exists(tmp.at("d/X")));
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Y\\");
    EXPECT_TRUE(logHas(" Rename directory from D:\\X to D:\\Y")) << log();
    EXPECT_EQ(rename->hbBox->Items().front(), "Y");

    prompter.clear();
    select("D:\\");
    press(Qt::Key_R);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot rename root directory!     "});
    select("D:\\A\\B\\");
    prompter.clear();
    cat->Tree().Select(node("D:\\A\\B\\SUB\\"));
    form->logger().UnlogBranch(node("D:\\A\\B\\SUB\\"));
    press(Qt::Key_M);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory not logged!     "});
}

TEST_F(DirOpsGui, ExplorerStyleMakeNamesTheNewDirectoryInPlace) {
    settings.WinMakeDir = true;
    tmp.mkdir("d/X/New directory (0)");
    form->logger().RefreshDir(node("D:\\X\\"));
    select("D:\\X\\");
    press(Qt::Key_M);
    EXPECT_TRUE(Exists(tmp.at("d/X/New directory (1)")));
    ASSERT_TRUE(form->treeController().editing());
    auto* editor = tree()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Photos");
    QTest::keyClick(editor, Qt::Key_Return);
    idle();
    EXPECT_TRUE(Exists(tmp.at("d/X/Photos")));
    EXPECT_FALSE(Exists(tmp.at("d/X/New directory (1)")));
    EXPECT_NE(node("D:\\X\\Photos\\"), nullptr);
    EXPECT_TRUE(logHas(" New directory: D:\\X\\Photos")) << log();
    EXPECT_FALSE(state.fileOperationRunning);
}

TEST_F(DirOpsGui, TheTreesDeleteKeyRemovesOnlyAnEmptyDirectory) {
    select("D:\\A\\B\\");
    press(Qt::Key_Delete);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory not empty!     "});

    prompter.clear();
    select("D:\\A\\B\\SUB\\");
    select("D:\\A\\B\\EMPTY\\");
    prompter.answer(true);
    press(Qt::Key_Delete);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Delete directory?"});
    EXPECT_FALSE(Exists(tmp.at("d/A/B/EMPTY")));
    EXPECT_EQ(node("D:\\A\\B\\EMPTY\\"), nullptr);
    EXPECT_TRUE(logHas(" Delete directory: D:\\A\\B\\EMPTY\r\n")) << log();
    // The first child had no sibling before it: the parent is selected.
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\A\\B\\"));

    prompter.clear();
    select("D:\\");
    press(Qt::Key_D);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot delete root directory!     "});
}

TEST_F(DirOpsGui, PruneAsksTypesAndRemovesTheBranchButNeverALinksTarget) {
    tmp.write("e/outside/precious.txt", "precious");
    tmp.symlink(tmp.at("e/outside"), "d/A/B/SUB/link");
    tmp.write("d/A/B/locked.txt", "ro");
    tmp.chmod("d/A/B/locked.txt", 0444);
    select("D:\\A\\");
    form->logger().UnlogBranch(node("D:\\A\\"));
    form->logger().LogDirBranch();
    select("D:\\A\\B\\");

    // P, R, then X: the page goes at the X.
    press(Qt::Key_P, Qt::AltModifier);
    QLineEdit* box = dirOps().edPrune;
    ASSERT_EQ(form->ZenPageControl->currentWidget(), dirOps().prunePage());
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, "pr");
    EXPECT_EQ(box->text(), "PR");
    EXPECT_FALSE(dirOps().bbPruneOK->isEnabled());
    QTest::keyClicks(box, "x");
    idle();
    EXPECT_FALSE(form->ZenPageControl->isVisible());
    EXPECT_TRUE(tree()->hasFocus());

    // The whole word enables OK; the read-only file asks, and Cancel keeps all.
    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "prune");
    EXPECT_TRUE(dirOps().bbPruneOK->isEnabled());
    prompter.answer(true).answer(false);
    QTest::keyClick(dirOps().edPrune, Qt::Key_Return);
    idle();
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Prune this directory tree?     ",
                                        "WARNING! One or more files in branch have special "
                                        "attributes! Prune anyway?     "}));
    EXPECT_TRUE(Exists(tmp.at("d/A/B/locked.txt")));
    EXPECT_FALSE(state.fileOperationRunning);

    prompter.clear();
    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "PRUNE");
    prompter.answer(true).answer(true).answer(true);
    dirOps().bbPruneOK->click();
    idle();
    EXPECT_EQ(prompter.questions().back(), "D:\\A\\B\\ - Delete this directory?");
    EXPECT_FALSE(Exists(tmp.at("d/A/B")));
    EXPECT_EQ(ReadFile(tmp.at("e/outside/precious.txt")), "precious");
    EXPECT_EQ(node("D:\\A\\B\\"), nullptr);
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\A\\"));
    EXPECT_TRUE(logHas(" PRUNE directory: D:\\A\\B\\SUB\\\r\n")) << log();
    EXPECT_TRUE(logHas(" PRUNE directory: D:\\A\\B\r\n")) << log();
    EXPECT_FALSE(state.fileOperationRunning);
}

TEST_F(DirOpsGui, PruneStopsOnStopAndSaysSo) {
    for (int i = 0; i < 6; ++i)
        tmp.write("d/X/f" + std::to_string(i), "x");
    form->logger().RefreshDir(node("D:\\X\\"));
    select("D:\\X\\");
    int seen = 0;
    dirOps().model().OnPruneFile = [&](const std::string&) {
        if (++seen == 3)
            form->MainStatusBar->PressStop();
    };
    settings.SkipPruneOption = true;
    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "PRUNE");
    dirOps().bbPruneOK->click();
    idle();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Process stopped!     "});
    EXPECT_EQ(seen, 3);
    int left = 0;
    for (int i = 0; i < 6; ++i)
        left += Exists(tmp.at("d/X/f" + std::to_string(i)));
    EXPECT_EQ(left, 3);
    EXPECT_TRUE(Exists(tmp.at("d/X")));
    EXPECT_FALSE(form->MainStatusBar->stopShown());
}

TEST_F(DirOpsGui, ADirectorySwappedForALinkWhilePruningIsRemovedAsALink) {
    tmp.write("d/X/a.txt", "a");
    tmp.write("d/X/sub/b.txt", "b");
    tmp.write("e/outside/precious.txt", "precious");
    select("D:\\X\\");
    form->logger().UnlogBranch(node("D:\\X\\"));
    form->logger().LogDirBranch();
    dirOps().model().OnPruneFile = [&](const std::string& name) {
        if (name != "a.txt")
            return;
        ASSERT_EQ(::rename(tmp.at("d/X/sub").c_str(), tmp.at("e/moved").c_str()), 0);
        tmp.symlink(tmp.at("e/outside"), "d/X/sub");
    };
    settings.SkipPruneOption = true;
    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "PRUNE");
    prompter.answer(true);
    dirOps().bbPruneOK->click();
    idle();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"D:\\X\\ - Delete this directory?"});
    EXPECT_FALSE(Exists(tmp.at("d/X")));
    EXPECT_EQ(ReadFile(tmp.at("e/outside/precious.txt")), "precious");
    EXPECT_EQ(ReadFile(tmp.at("e/moved/b.txt")), "b");
}

TEST_F(DirOpsGui, CopyPasteAcrossDrivesLeavesEmptyDirectoriesOut) {
    select("D:\\A\\B\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_EQ(ReadFile(tmp.at("e/B/one.txt")), "one");
    EXPECT_EQ(ReadFile(tmp.at("e/B/README")), "no extension");
    EXPECT_EQ(ReadFile(tmp.at("e/B/SUB/two.txt")), "two");
    EXPECT_FALSE(Exists(tmp.at("e/B/EMPTY")));
    EXPECT_TRUE(Exists(tmp.at("d/A/B/one.txt")));
    ASSERT_NE(node("E:\\B\\"), nullptr);
    EXPECT_TRUE(node("E:\\B\\")->HasChildren());

    // Pasted again onto what is there now: a name taken is asked about, and
    // declining aborts.
    tmp.write("d/A/B/one.txt", "changed");
    prompter.answerCancel();
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("e/B/one.txt")), "one");
    EXPECT_EQ(prompter.texts().back(), "Operation aborted!     ");

    // Into itself or below: refused before anything is written.
    prompter.clear();
    select("D:\\A\\B\\SUB\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Cannot paste a directory into itself!     "});
    EXPECT_FALSE(Exists(tmp.at("d/A/B/SUB/B")));

    prompter.clear();
    select("D:\\");
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot cut root!     "});
}

TEST_F(DirOpsGui, APasteThatDidWhatWasAskedIsNoAbort) {
    // A branch of directories without a file: nothing to copy, nothing failed.
    tmp.mkdir("d/Bare/inner/deeper");
    form->logger().RelogDir();
    select("D:\\");
    form->logger().LogDirBranch();
    select("D:\\Bare\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();

    // "Skip all" at the first name taken: the rest is copied, the skipped
    // file left as it was, and the paste is complete as asked.
    tmp.write("e/B/one.txt", "other");
    form->logger().RefreshDir(node("E:\\"));
    select("D:\\A\\B\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    prompter.answerChoice(3); // Skip all
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].caption, "Confirm File Replace");
    EXPECT_EQ(ReadFile(tmp.at("e/B/one.txt")), "other");
    EXPECT_EQ(ReadFile(tmp.at("e/B/README")), "no extension");
    EXPECT_EQ(ReadFile(tmp.at("e/B/SUB/two.txt")), "two");
}

TEST_F(DirOpsGui, CutWithinADriveRenamesAndAcrossDrivesMovesUnlessItFails) {
    select("D:\\A\\B\\");
    press(Qt::Key_X, Qt::ControlModifier);
    select("D:\\X\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_TRUE(Exists(tmp.at("d/X/B/EMPTY"))); // one rename: empty ones go along
    EXPECT_FALSE(Exists(tmp.at("d/A/B")));
    EXPECT_EQ(node("D:\\A\\B\\"), nullptr);
    ASSERT_NE(node("D:\\X\\B\\"), nullptr);
    EXPECT_FALSE(node("D:\\X\\B\\")->Logged());
    EXPECT_TRUE(node("D:\\X\\B\\")->HasChildren());

    // Across drives the move fails on a collision: nothing is deleted.
    tmp.write("e/B/one.txt", "other");
    form->logger().RefreshDir(node("E:\\"));
    select("D:\\X\\B\\");
    press(Qt::Key_X, Qt::ControlModifier);
    select("E:\\");
    prompter.answerCancel();
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts().back(), "Operation aborted!     ");
    EXPECT_EQ(ReadFile(tmp.at("d/X/B/one.txt")), "one");
    EXPECT_EQ(ReadFile(tmp.at("e/B/one.txt")), "other");
    // What went before the collision is at the target, the rest at the source.
    EXPECT_NE(Exists(tmp.at("d/X/B/SUB/two.txt")), Exists(tmp.at("e/B/SUB/two.txt")));

    // Without the collision it moves, and the source goes with its node.
    tmp.remove("e/B/one.txt");
    prompter.clear();
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(ReadFile(tmp.at("e/B/one.txt")), "one");
    EXPECT_EQ(ReadFile(tmp.at("e/B/SUB/two.txt")), "two");
    EXPECT_FALSE(Exists(tmp.at("d/X/B")));
    EXPECT_EQ(node("D:\\X\\B\\"), nullptr);
}

TEST_F(DirOpsGui, DraggingDirectoriesAndFilesOntoTheTree) {
    const char* dirMime = DirOpsController::kDirectoryMime;
    select("D:\\A\\");
    cat->Tree().SetExpanded(node("D:\\"), true);
    cat->Tree().SetExpanded(node("D:\\A\\"), true);
    idle();
    drop("D:\\A\\", dirMime, "D:\\A\\B\\");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Dir already exists there!     "});
    prompter.clear();
    drop("D:\\A\\B\\", dirMime, "D:\\A\\");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot drag parent to its child!     "});

    prompter.clear();
    prompter.answer(true);
    drop("D:\\X\\", dirMime, "D:\\A\\B\\", Qt::ControlModifier);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Copy D:\\A\\B\\ to: D:\\X\\ ?"});
    EXPECT_EQ(ReadFile(tmp.at("d/X/B/SUB/two.txt")), "two");
    EXPECT_TRUE(Exists(tmp.at("d/A/B/one.txt")));
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\X\\"));

    // Files of the file window (the current one, none tagged) moved onto E:.
    select("D:\\A\\B\\");
    form->FillMainListBox();
    idle();
    FileWindow& fw = form->fileWindow().model();
    for (int i = 0; i < fw.Count(); ++i)
        if (fw.Text(i) == "one.txt")
            fw.SetCurrent(i);
    prompter.clear();
    prompter.answer(true);
    drop("E:\\", DirOpsController::kFileWindowMime, "D:\\A\\B\\one.txt");
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Move 1 files to: E:\\ ?     "});
    EXPECT_EQ(ReadFile(tmp.at("e/one.txt")), "one");
    EXPECT_FALSE(Exists(tmp.at("d/A/B/one.txt")));
    EXPECT_EQ(cat->Tree().Selected(), node("D:\\A\\B\\"));

    // Find results are always copied; an unlogged target is read first.
    form->logger().UnlogBranch(node("D:\\X\\"));
    prompter.clear();
    prompter.answer(true);
    drop("D:\\X\\", kFindResultsMime,
         std::string("D:\\A\\B\\README") + '\0' + "E:\\keep.txt" + '\0');
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Copy 2 files to: D:\\X\\ ?     "});
    EXPECT_EQ(ReadFile(tmp.at("d/X/README")), "no extension");
    EXPECT_EQ(ReadFile(tmp.at("e/keep.txt")), "keep");
    EXPECT_EQ(ReadFile(tmp.at("d/X/keep.txt")), "keep");
    EXPECT_TRUE(node("D:\\X\\")->Logged());
}

TEST_F(DirOpsGui, PruneOfALinkRemovesTheLinkAndNeverWhatItPointsTo) {
    tmp.write("outside/precious.txt", "precious");
    tmp.write("outside/deeper/more.txt", "more");
    tmp.symlink(tmp.at("outside"), "d/A/L");
    form->logger().RefreshDir(node("D:\\A\\"));
    // The user logs the link's own node: its records are read through it.
    select("D:\\A\\L\\");
    ASSERT_TRUE(node("D:\\A\\L\\")->IsLink());
    form->logger().LogDirBranch();
    select("D:\\A\\L\\");

    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "PRUNE");
    prompter.answer(false);
    dirOps().bbPruneOK->click();
    idle();
    const std::string question = "D:\\A\\L is a link to a directory. Delete the link? The "
                                 "directory it points to stays as it is.     ";
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{question});
    EXPECT_TRUE(Exists(tmp.at("d/A/L")));

    prompter.clear();
    press(Qt::Key_P, Qt::AltModifier);
    QTest::keyClicks(dirOps().edPrune, "PRUNE");
    prompter.answer(true);
    dirOps().bbPruneOK->click();
    idle();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{question});
    EXPECT_FALSE(Exists(tmp.at("d/A/L")));
    EXPECT_EQ(ReadFile(tmp.at("outside/precious.txt")), "precious");
    EXPECT_EQ(ReadFile(tmp.at("outside/deeper/more.txt")), "more");
    EXPECT_EQ(node("D:\\A\\L\\"), nullptr);
    EXPECT_TRUE(logHas(" PRUNE directory: D:\\A\\L\r\n")) << log();
    EXPECT_FALSE(state.fileOperationRunning);
}

TEST_F(DirOpsGui, ACutOfALinkToAnotherDriveMovesTheLinkNotWhatItPointsTo) {
    tmp.write("outside/precious.txt", "precious");
    tmp.symlink(tmp.at("outside"), "d/A/L");
    form->logger().RefreshDir(node("D:\\A\\"));
    select("D:\\A\\L\\");
    press(Qt::Key_X, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    struct stat st {};
    ASSERT_EQ(::lstat(tmp.at("e/L").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_FALSE(Exists(tmp.at("d/A/L")));
    EXPECT_EQ(ReadFile(tmp.at("outside/precious.txt")), "precious");
    EXPECT_EQ(ReadFile(tmp.at("e/L/precious.txt")), "precious");
    EXPECT_EQ(node("D:\\A\\L\\"), nullptr);
    ASSERT_NE(node("E:\\L\\"), nullptr);
    EXPECT_TRUE(node("E:\\L\\")->IsLink());
}

TEST_F(DirOpsGui, APasteToAnotherDriveKeepsDirectoryModesAndTimesAndACutItsEmptyDirectories) {
    tmp.chmod("d/A/B/SUB", 0750);
    tmp.chmod("d/A/B", 0700);
    tmp.touch("d/A/B/SUB", 1200000000);
    tmp.touch("d/A/B", 1100000000);
    const bool root = ::geteuid() == 0; // only root gives a directory away
    if (root) {
        ASSERT_EQ(::lchown(tmp.at("d/A/B/SUB").c_str(), 1234, 4321), 0);
    }
    const auto stat = [&](const std::string& path) {
        struct stat st {};
        ::lstat(tmp.at(path).c_str(), &st);
        return st;
    };
    select("D:\\A\\B\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_EQ(stat("e/B").st_mode & 07777, 0700u);
    EXPECT_EQ(stat("e/B/SUB").st_mode & 07777, 0750u);
    EXPECT_EQ(stat("e/B").st_mtime, 1100000000);
    EXPECT_EQ(stat("e/B/SUB").st_mtime, 1200000000);
    if (root) {
        EXPECT_EQ(stat("e/B/SUB").st_uid, 1234u);
        EXPECT_EQ(stat("e/B/SUB").st_gid, 4321u);
    }

    // Cut: every directory arrives, the empty one too, and the source goes.
    tmp.mkdir("e/cut");
    form->logger().RefreshDir(node("E:\\"));
    select("D:\\A\\B\\");
    press(Qt::Key_X, Qt::ControlModifier);
    select("E:\\cut\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_EQ(
        TreeNames(tmp.at("e/cut")),
        (std::set<std::string>{"B", "B/EMPTY", "B/README", "B/SUB", "B/SUB/two.txt", "B/one.txt"}));
    EXPECT_EQ(stat("e/cut/B").st_mode & 07777, 0700u);
    EXPECT_EQ(stat("e/cut/B/SUB").st_mtime, 1200000000);
    EXPECT_FALSE(Exists(tmp.at("d/A/B")));
    EXPECT_EQ(node("D:\\A\\B\\"), nullptr);

    // A branch without files pastes as nothing, and says nothing.
    tmp.mkdir("d/X/only/dirs");
    form->logger().RefreshDir(node("D:\\X\\"));
    select("D:\\X\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
    EXPECT_FALSE(Exists(tmp.at("e/X")));
}

TEST_F(DirOpsGui, APasteCancelledInItsProgressWindowLeavesNoPrivateOrEmptyDirectory) {
    tmp.write("d/A/B/SUB/big.bin", std::string(48 << 20, 'b'));
    for (const char* dir : {"d/A/B", "d/A/B/SUB", "d/A/B/EMPTY"})
        tmp.chmod(dir, 0755);
    form->logger().RefreshDir(node("D:\\A\\B\\SUB\\"));
    auto* progress = form->findChild<TFileOpProgressForm*>();
    ASSERT_NE(progress, nullptr);
    progress->showDelay = 0;
    // Each block takes a while, as on a slow disk, so the copy is still going
    // when the window shows.
    form->fileOperator().OnBlockCopied = [](uint64_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    OnModalShown([&](QWidget*) { progress->btnCancel->click(); });
    select("D:\\A\\B\\");
    press(Qt::Key_C, Qt::ControlModifier);
    select("E:\\");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(form->fileOperator().Aborted());
    EXPECT_FALSE(Exists(tmp.at("e/B/SUB/big.bin")));
    // What was made stands with its source's mode and holds what was copied;
    // a directory that got nothing is not left behind.
    for (const std::string& name : TreeNames(tmp.at("e"))) {
        struct stat st {};
        ASSERT_EQ(::lstat(tmp.at("e/" + name).c_str(), &st), 0);
        if (!S_ISDIR(st.st_mode))
            continue;
        EXPECT_EQ(st.st_mode & 07777, 0755u) << name;
        EXPECT_FALSE(std::filesystem::is_empty(tmp.at("e/" + name))) << name;
    }
    EXPECT_FALSE(state.fileOperationRunning);
}
