#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/treenode.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/diropscontroller.h"
#include "gui/ops/opscontroller.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tree/thetreeview.h"
#include "gui/tree/treecontroller.h"
#include "gui/undo/thistoryform.h"
#include "gui/undo/ttrashform.h"
#include "gui/undo/undocontroller.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "undo/undojournal.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class UndoGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        tmp.mkdir("data");
        setEnv("XDG_DATA_HOME", tmp.at("data"));
        tmp.write("d/a.txt", "alpha");
        tmp.write("d/b.txt", "beta");
        tmp.write("d/c.doc", "gamma");
        tmp.mkdir("e");
        settings.ShowMemStat = false;
        settings.WDEnabled = true;
        settings.WatchDogOperations.fill(true);
        settings.DeleteType = 0;
        ASSERT_NO_FATAL_FAILURE(start());
    }
    /// The window (again, as after a restart of the program) over the same home.
    void start() {
        form.reset();
        state.currentDisk = 'D';
        state.scope = 1;
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        form->logger().LogDirBranch();
        openDir("D:\\");
    }
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w, key, mods);
        idle();
    }
    void answer(QWidget* box, const QString& text) {
        auto* edit = box->findChild<QLineEdit*>();
        ASSERT_TRUE(edit);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        press(edit, Qt::Key_Return);
    }
    /// The current file of the one-directory view of D:\\.
    void current(const std::string& name) {
        openDir("D:\\");
        ASSERT_GE(rowOf(name), 0) << name;
        fw().SetCurrent(rowOf(name));
        list()->setCurrentIndex(rowOf(name));
        idle();
    }
    /// The tree with `path` selected and the focus.
    void selectDir(const std::string& path) {
        TTreeNode* node = form->logger().FindNodeByPath(path);
        ASSERT_NE(node, nullptr) << path;
        cat->Tree().Select(node);
        form->MainTreeView->setFocus();
        idle();
    }
    static struct stat statOf(const std::string& path) {
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return st;
    }
    QString undoCaption() { return form->menus().action("miFileUndo")->text(); }
    /// Alt+`key` (copy or move with paths) of the tagged `names` of D:\docs to
    /// `target`, keeping only the last directory of the paths.
    void withPaths(Qt::Key key, const std::vector<std::string>& names, const QString& target) {
        openDir("D:\\docs\\");
        for (const std::string& name : names) {
            ASSERT_GE(rowOf(name), 0) << name;
            fw().Record(rowOf(name))->SetTagged(true);
        }
        press(list(), key, Qt::AltModifier);
        answer(form->copyMove().currentPage()->box, "*.*");
        prompter.answer(true); // strip the common directories
        answer(form->copyMove().currentPage()->box, target);
    }
    std::string log() { return ReadFile(tmp.at("home/WATCHDOG.LOG")); }
};

} // namespace

// Ctrl+Z in the file window undoes a tagged move: the files are back on the
// disk and in the window, the menu said what it would undo, and the WatchDog
// logs the undo.
TEST_F(UndoGui, CtrlZUndoesATaggedMove) {
    fw().Record(rowOf("a.txt"))->SetTagged(true);
    fw().Record(rowOf("b.txt"))->SetTagged(true);
    press(list(), Qt::Key_M, Qt::ControlModifier);
    answer(form->copyMove().currentPage()->box, "*.*");
    answer(form->copyMove().currentPage()->box, "E:\\ARCHIVE");
    ASSERT_TRUE(Exists(tmp.at("e/ARCHIVE/a.txt")));
    ASSERT_EQ(rowOf("a.txt"), -1);
    EXPECT_EQ(undoCaption(), "Und&o move of 2 files to E:\\ARCHIVE\\");

    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "beta");
    EXPECT_FALSE(Exists(tmp.at("e/ARCHIVE")));
    form->IdleHandler();
    EXPECT_GE(rowOf("a.txt"), 0);
    EXPECT_GE(rowOf("b.txt"), 0);
    EXPECT_NE(log().find(" Undo move of 2 files to E:\\ARCHIVE\\\r\n"), std::string::npos) << log();
    EXPECT_EQ(undoCaption(), "Und&o");
    EXPECT_TRUE(prompter.texts().empty());
}

// A move with paths (Alt+M) goes back by Ctrl+Z: the file is in its own
// directory again and the directories the move made on the way are gone.
TEST_F(UndoGui, AMoveWithPathsGoesBackByCtrlZ) {
    tmp.write("d/docs/x.txt", "xi");
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(withPaths(Qt::Key_M, {"x.txt"}, "E:\\M"));
    ASSERT_EQ(ReadFile(tmp.at("e/M/docs/x.txt")), "xi");
    ASSERT_FALSE(Exists(tmp.at("d/docs/x.txt")));
    EXPECT_EQ(undoCaption().toStdString(), "Und&o move of D:\\docs\\x.txt to E:\\M\\");

    prompter.clear();
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/docs/x.txt")), "xi");
    EXPECT_FALSE(Exists(tmp.at("e/M")));
    EXPECT_TRUE(prompter.texts().empty());
}

// A copy with paths (Alt+C) goes back by Ctrl+Z: the copies go, and so do the
// directories the copy made, but a copy edited since stays and is named; the
// originals are never touched.
TEST_F(UndoGui, ACopyWithPathsGoesBackByCtrlZAndKeepsACopyEditedSince) {
    tmp.write("d/docs/x.txt", "xi");
    tmp.write("d/docs/y.txt", "ypsilon");
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(withPaths(Qt::Key_C, {"x.txt", "y.txt"}, "E:\\C"));
    ASSERT_EQ(ReadFile(tmp.at("e/C/docs/x.txt")), "xi");
    ASSERT_EQ(ReadFile(tmp.at("e/C/docs/y.txt")), "ypsilon");
    EXPECT_EQ(undoCaption().toStdString(), "Und&o copy of 2 files to E:\\C\\");

    // Undone by key, with nothing edited: the copies and E:\C go.
    prompter.clear();
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Exists(tmp.at("e/C")));
    EXPECT_EQ(ReadFile(tmp.at("d/docs/x.txt")), "xi");
    EXPECT_EQ(ReadFile(tmp.at("d/docs/y.txt")), "ypsilon");
    EXPECT_TRUE(prompter.texts().empty());

    // Again, and one copy edited before the undo: it stays, with its directory.
    ASSERT_NO_FATAL_FAILURE(withPaths(Qt::Key_C, {"x.txt", "y.txt"}, "E:\\C"));
    ASSERT_TRUE(Exists(tmp.at("e/C/docs/y.txt")));
    tmp.write("e/C/docs/y.txt", "edited after the copy");
    prompter.clear();
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Exists(tmp.at("e/C/docs/x.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/C/docs/y.txt")), "edited after the copy");
    EXPECT_EQ(ReadFile(tmp.at("d/docs/x.txt")), "xi");
    EXPECT_EQ(ReadFile(tmp.at("d/docs/y.txt")), "ypsilon");
    // The edited copy is named first, then the directories it keeps.
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Undo copy of 2 files to E:\\C\\:\n"
                                       "3 files were left alone:\n"
                                       "E:\\C\\docs\\y.txt: it changed since\n"
                                       "E:\\C\\docs: the directory is not empty\n"
                                       "E:\\C: the directory is not empty     "});
    EXPECT_NE(log().find(" Undo copy of 2 files to E:\\C\\ (3 file(s) left alone)\r\n"),
              std::string::npos)
        << log();
}

// The journal outlives the program: after a restart Ctrl+Z in the tree undoes
// the rename of the last run, and the history window undoes an older command
// that is not the last.
TEST_F(UndoGui, UndoAfterARestartByKeyAndFromTheHistory) {
    // A new directory, then a file renamed.
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
    form->MainTreeView->setFocus();
    idle();
    press(form->MainTreeView, Qt::Key_M);
    answer(form->dirOps().makeDirPage()->hbBox, "NEW");
    ASSERT_TRUE(Exists(tmp.at("d/NEW")));
    openDir("D:\\");
    fw().SetCurrent(rowOf("c.doc"));
    list()->setCurrentIndex(rowOf("c.doc"));
    press(list(), Qt::Key_R);
    answer(form->ops().renameFilePage()->hbBox, "renamed.doc");
    ASSERT_TRUE(Exists(tmp.at("d/renamed.doc")));

    ASSERT_NO_FATAL_FAILURE(start()); // the program again
    form->MainTreeView->setFocus();
    idle();
    EXPECT_EQ(form->menus().action("miDirUndo")->text(),
              "Und&o rename of D:\\c.doc to D:\\renamed.doc");
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/c.doc")), "gamma");
    EXPECT_FALSE(Exists(tmp.at("d/renamed.doc")));

    form->menus().action("miDirOperationHistory")->trigger();
    idle();
    THistoryForm* history = form->undo().historyForm();
    ASSERT_TRUE(history && history->isVisible());
    QTreeWidget* rows = history->lvHistory;
    ASSERT_EQ(rows->topLevelItemCount(), 3);
    EXPECT_EQ(rows->topLevelItem(0)->text(THistoryForm::ColCommand), "Undo");
    EXPECT_EQ(rows->topLevelItem(1)->text(THistoryForm::ColState), "undone");
    EXPECT_EQ(rows->topLevelItem(2)->text(THistoryForm::ColCommand), "Make directory");
    EXPECT_EQ(rows->topLevelItem(2)->text(THistoryForm::ColTarget), "D:\\NEW\\");
    EXPECT_EQ(rows->topLevelItem(2)->text(THistoryForm::ColState), "can be undone");
    rows->setCurrentItem(rows->topLevelItem(2));
    history->btnUndo->click();
    idle();
    EXPECT_FALSE(Exists(tmp.at("d/NEW")));
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\NEW\\"), nullptr);
    EXPECT_EQ(rows->topLevelItemCount(), 4);
    EXPECT_EQ(rows->currentItem()->text(THistoryForm::ColState), "undone");
    EXPECT_FALSE(history->btnUndo->isEnabled());
    history->close();
}

// Deleting to the trash: Ctrl+Z takes the file back from the trash; the trash
// window shows what lies there (from other programs too) and restores it.
TEST_F(UndoGui, TheTrashByUndoAndByItsWindow) {
    fw().SetCurrent(rowOf("a.txt"));
    list()->setCurrentIndex(rowOf("a.txt"));
    prompter.answer(true);
    press(list(), Qt::Key_D);
    ASSERT_FALSE(Exists(tmp.at("d/a.txt")));
    EXPECT_EQ(undoCaption(), "Und&o delete of D:\\a.txt to the trash");
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha");

    // Another program's item, and ours.
    tmp.write("data/Trash/files/other.txt", "from elsewhere");
    tmp.write("data/Trash/info/other.txt.trashinfo",
              "[Trash Info]\nPath=" + tmp.at("d/other%20one.txt") +
                  "\nDeletionDate=2020-01-02T03:04:05\n");
    form->IdleHandler();
    fw().SetCurrent(rowOf("b.txt"));
    list()->setCurrentIndex(rowOf("b.txt"));
    prompter.answer(true);
    press(list(), Qt::Key_D);
    ASSERT_FALSE(Exists(tmp.at("d/b.txt")));

    form->menus().action("miVolTrash")->trigger();
    idle();
    TTrashForm* trash = form->undo().trashForm();
    ASSERT_TRUE(trash && trash->isVisible());
    QTreeWidget* items = trash->lvTrash;
    ASSERT_EQ(items->topLevelItemCount(), 2);
    EXPECT_EQ(items->topLevelItem(0)->text(TTrashForm::ColName), "b.txt");
    EXPECT_EQ(items->topLevelItem(0)->text(TTrashForm::ColPath), "D:\\b.txt");
    EXPECT_EQ(items->topLevelItem(1)->text(TTrashForm::ColPath), "D:\\other one.txt");
    EXPECT_EQ(items->topLevelItem(1)->text(TTrashForm::ColDate), "2020-01-02 03:04:05");
    EXPECT_EQ(items->topLevelItem(1)->text(TTrashForm::ColSize), "14");
    items->clearSelection();
    items->topLevelItem(0)->setSelected(true);
    items->topLevelItem(1)->setSelected(true);
    trash->btnRestore->click();
    idle();
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "beta");
    EXPECT_EQ(ReadFile(tmp.at("d/other one.txt")), "from elsewhere");
    EXPECT_EQ(items->topLevelItemCount(), 0);
    form->IdleHandler();
    EXPECT_GE(rowOf("other one.txt"), 0);
    trash->close();
}

// A journal that cannot be read is set aside with a message; the program goes
// on with a new one.
TEST_F(UndoGui, ADamagedJournalIsSetAsideWithAMessage) {
    form.reset();
    tmp.write("home/UNDO.JOURNAL", "ZENTRIX UNDO JOURNAL 1\nthis is not a journal\n");
    ASSERT_NO_FATAL_FAILURE(start());
    idle();
    ASSERT_FALSE(prompter.texts().empty());
    EXPECT_NE(prompter.texts().back().find("UNDO.JOURNAL.damaged"), std::string::npos);
    EXPECT_TRUE(Exists(tmp.at("home/UNDO.JOURNAL.damaged")));
    EXPECT_TRUE(form->undo().journal().Entries().empty());
    EXPECT_EQ(undoCaption(), "Und&o");
}

// The trash window deletes what the user picked for good, after the question,
// and Empty deletes the rest; the files are gone from the disk, descriptions
// and all.
TEST_F(UndoGui, TheTrashWindowDeletesForGoodAndEmpties) {
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
        tmp.write(std::string("data/Trash/files/") + name, name);
        tmp.write(std::string("data/Trash/info/") + name + ".trashinfo",
                  "[Trash Info]\nPath=" + tmp.at("d/") + name +
                      "\nDeletionDate=2021-01-01T00:00:00\n");
    }
    form->menus().action("miVolTrash")->trigger();
    idle();
    TTrashForm* trash = form->undo().trashForm();
    ASSERT_TRUE(trash && trash->isVisible());
    QTreeWidget* items = trash->lvTrash;
    ASSERT_EQ(items->topLevelItemCount(), 3);
    int two = -1;
    for (int i = 0; i < items->topLevelItemCount(); ++i)
        if (items->topLevelItem(i)->text(TTrashForm::ColName) == "two.txt")
            two = i;
    ASSERT_GE(two, 0);
    items->clearSelection();
    items->topLevelItem(two)->setSelected(true);

    prompter.answer(false); // not for good after all
    trash->btnDeleteForGood->click();
    idle();
    EXPECT_TRUE(Exists(tmp.at("data/Trash/files/two.txt")));
    prompter.answer(true);
    trash->btnDeleteForGood->click();
    idle();
    EXPECT_FALSE(Exists(tmp.at("data/Trash/files/two.txt")));
    EXPECT_FALSE(Exists(tmp.at("data/Trash/info/two.txt.trashinfo")));
    EXPECT_TRUE(Exists(tmp.at("data/Trash/files/one.txt")));
    ASSERT_EQ(items->topLevelItemCount(), 2);

    prompter.answer(true);
    trash->btnEmpty->click();
    idle();
    EXPECT_EQ(items->topLevelItemCount(), 0);
    for (const char* name : {"one.txt", "three.txt"}) {
        EXPECT_FALSE(Exists(tmp.at("data/Trash/files/") + name)) << name;
        EXPECT_FALSE(Exists(tmp.at("data/Trash/info/") + name + ".trashinfo")) << name;
    }
    EXPECT_FALSE(trash->btnEmpty->isEnabled());
    EXPECT_TRUE(prompter.allAnswersUsed());
    trash->close();
}

// The journal's size is an option of the WatchDog page, kept in the settings
// file; the next run keeps only that many operations, the newest.
TEST_F(UndoGui, TheJournalKeepsAsManyOperationsAsTheOptionSays) {
    OnModalShown([](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(options->seUndoEntries->value(), 1000);
        options->seUndoEntries->setValue(2);
        options->btnOK->click();
    });
    ASSERT_TRUE(form->menus().runCommand("miZentrixPropertiesClick"));
    reactivate();
    const std::string saved = ReadFile(tmp.at("home/registry.ini"));
    const size_t section = saved.find("WatchDogOptions]\n");
    ASSERT_NE(section, std::string::npos) << saved;
    EXPECT_NE(saved.find("UndoEntries=2\n", section), std::string::npos) << saved;

    // Three renames, one after the other.
    const std::pair<const char*, const char*> renames[] = {
        {"a.txt", "a1.txt"}, {"a1.txt", "a2.txt"}, {"a2.txt", "a3.txt"}};
    for (const auto& [from, to] : renames) {
        openDir("D:\\");
        fw().SetCurrent(rowOf(from));
        list()->setCurrentIndex(rowOf(from));
        press(list(), Qt::Key_R);
        answer(form->ops().renameFilePage()->hbBox, to);
    }
    ASSERT_EQ(ReadFile(tmp.at("d/a3.txt")), "alpha");

    ASSERT_NO_FATAL_FAILURE(start()); // the program again
    const auto& entries = form->undo().journal().Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].info.target, "D:\\a2.txt");
    EXPECT_EQ(entries[1].info.target, "D:\\a3.txt");
    // Both undone, newest first; the oldest rename is no longer undone.
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/a1.txt")), "alpha");
    EXPECT_FALSE(Exists(tmp.at("d/a.txt")));
    EXPECT_EQ(undoCaption(), "Und&o");
}

// Attributes and the date/time of a file come back as they were before, to
// the nanosecond, by Ctrl+Z; the file window shows them again.
TEST_F(UndoGui, AttributesAndDatesComeBackByCtrlZ) {
    const struct timespec times[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tmp.at("d/a.txt").c_str(), times, 0), 0);
    ::chmod(tmp.at("d/a.txt").c_str(), 0640);
    const struct stat before = statOf(tmp.at("d/a.txt"));
    form->logger().RelogDir();
    ASSERT_NO_FATAL_FAILURE(current("a.txt"));

    press(list(), Qt::Key_A);
    TFileAttrPage* page = form->tagging().fileAttrPage();
    page->hbFilesAttrHistory->lineEdit()->selectAll();
    QTest::keyClicks(page->hbFilesAttrHistory, "+R");
    press(page->hbFilesAttrHistory, Qt::Key_Return);
    ASSERT_EQ(statOf(tmp.at("d/a.txt")).st_mode & 0777, 0440u);
    EXPECT_EQ(undoCaption(), "Und&o attribute change of D:\\a.txt to +R");
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(statOf(tmp.at("d/a.txt")).st_mode & 0777, 0640u);
    form->IdleHandler();
    ASSERT_GE(rowOf("a.txt"), 0);
    EXPECT_EQ(fw().Record(rowOf("a.txt"))->Attributes() & 1, 0);

    ASSERT_NO_FATAL_FAILURE(current("a.txt"));
    press(list(), Qt::Key_N);
    // The date offered, in the locale's form, some years later.
    TCommandPrompt* date = form->ops().dateTimePage();
    ASSERT_TRUE(date->text().contains("2001")) << date->text().toStdString();
    answer(date->hbBox, date->text().replace("2001", "2024"));
    ASSERT_GT(statOf(tmp.at("d/a.txt")).st_mtim.tv_sec, 1700000000)
        << (prompter.texts().empty() ? "" : prompter.texts().back());
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    const struct stat after = statOf(tmp.at("d/a.txt"));
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha");
    form->IdleHandler();
    ASSERT_GE(rowOf("a.txt"), 0);
    // In 100-ns units since 1601.
    EXPECT_EQ(fw().Record(rowOf("a.txt"))->LastWriteTime(),
              (1000000000LL + 11644473600LL) * 10000000LL + 1234567);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
}

// A date set on a link row is the link's own, and Ctrl+Z puts the link's own
// time back; the file it points to keeps its time throughout.
TEST_F(UndoGui, ALinksDateComesBackOnTheLinkByCtrlZ) {
    tmp.symlink("a.txt", "d/link");
    const struct timespec linkTimes[2] = {{1000000000, 5}, {1000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tmp.at("d/link").c_str(), linkTimes, AT_SYMLINK_NOFOLLOW), 0);
    const struct timespec fileTimes[2] = {{1000864000, 7}, {1000864000, 7}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tmp.at("d/a.txt").c_str(), fileTimes, 0), 0);
    form->logger().RelogDir();
    ASSERT_NO_FATAL_FAILURE(current("link"));

    press(list(), Qt::Key_N);
    TCommandPrompt* date = form->ops().dateTimePage();
    ASSERT_TRUE(date->text().contains("2001")) << date->text().toStdString();
    answer(date->hbBox, date->text().replace("2001", "2024"));
    ASSERT_GT(statOf(tmp.at("d/link")).st_mtim.tv_sec, 1700000000);
    EXPECT_EQ(statOf(tmp.at("d/a.txt")).st_mtim.tv_sec, 1000864000);
    EXPECT_EQ(prompter.texts().size(), 1u); // the date went to the link itself

    press(list(), Qt::Key_Z, Qt::ControlModifier);
    const struct stat link = statOf(tmp.at("d/link"));
    EXPECT_EQ(link.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(link.st_mtim.tv_nsec, 5);
    const struct stat file = statOf(tmp.at("d/a.txt"));
    EXPECT_EQ(file.st_mtim.tv_sec, 1000864000);
    EXPECT_EQ(file.st_mtim.tv_nsec, 7);
    EXPECT_EQ(prompter.texts().size(), 1u) << prompter.texts().back();
}

// In the tree: a directory renamed, then cut and pasted to another drive, and
// a file copied there; each Ctrl+Z puts one command back, on the disk and in
// the tree, newest first.
TEST_F(UndoGui, DirectoryRenameCutAndPasteAndACopyGoBackByCtrlZ) {
    tmp.write("d/SUB/x.txt", "x");
    tmp.write("d/SUB/deeper/y.txt", "y");
    ASSERT_NO_FATAL_FAILURE(start());
    form->logger().GoToDirPath("E:\\");
    form->logger().LogDirBranch();

    ASSERT_NO_FATAL_FAILURE(selectDir("D:\\SUB\\"));
    press(form->MainTreeView, Qt::Key_R);
    answer(form->dirOps().renameDirPage()->hbBox, "RENAMED");
    ASSERT_TRUE(Exists(tmp.at("d/RENAMED/deeper/y.txt")));

    ASSERT_NO_FATAL_FAILURE(selectDir("D:\\RENAMED\\"));
    press(form->MainTreeView, Qt::Key_X, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(selectDir("E:\\"));
    press(form->MainTreeView, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(Exists(tmp.at("e/RENAMED/deeper/y.txt")));
    ASSERT_FALSE(Exists(tmp.at("d/RENAMED")));

    ASSERT_NO_FATAL_FAILURE(current("c.doc"));
    press(list(), Qt::Key_C);
    answer(form->copyMove().currentPage()->box, "*.*");
    answer(form->copyMove().currentPage()->box, "E:\\");
    ASSERT_EQ(ReadFile(tmp.at("e/c.doc")), "gamma");

    // The copy goes; the original stays.
    ASSERT_NO_FATAL_FAILURE(selectDir("E:\\"));
    EXPECT_EQ(form->menus().action("miDirUndo")->text(), "Und&o copy of D:\\c.doc to E:\\");
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Exists(tmp.at("e/c.doc")));
    EXPECT_EQ(ReadFile(tmp.at("d/c.doc")), "gamma");

    // The directory comes back from the other drive, whole.
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/RENAMED/x.txt")), "x");
    EXPECT_EQ(ReadFile(tmp.at("d/RENAMED/deeper/y.txt")), "y");
    EXPECT_FALSE(Exists(tmp.at("e/RENAMED")));
    form->IdleHandler();
    EXPECT_EQ(form->logger().FindNodeByPath("E:\\RENAMED\\"), nullptr);
    EXPECT_NE(form->logger().FindNodeByPath("D:\\RENAMED\\"), nullptr);

    // And its old name.
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/SUB/deeper/y.txt")), "y");
    EXPECT_FALSE(Exists(tmp.at("d/RENAMED")));
    form->IdleHandler();
    EXPECT_NE(form->logger().FindNodeByPath("D:\\SUB\\"), nullptr);
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\RENAMED\\"), nullptr);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
}

// Files renamed together (Ctrl+R) come back together with one Ctrl+Z; a new
// directory named in place in the tree goes back to its first name, then away.
TEST_F(UndoGui, ATaggedRenameAndADirectoryNamedInPlaceGoBackByCtrlZ) {
    fw().Record(rowOf("a.txt"))->SetTagged(true);
    fw().Record(rowOf("b.txt"))->SetTagged(true);
    press(list(), Qt::Key_R, Qt::ControlModifier);
    answer(form->ops().renameTaggedPage()->hbBox, "*.bak");
    ASSERT_TRUE(Exists(tmp.at("d/a.bak")));
    ASSERT_TRUE(Exists(tmp.at("d/b.bak")));
    EXPECT_EQ(undoCaption(), "Und&o rename of 2 files to *.bak");
    press(list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "beta");
    EXPECT_FALSE(Exists(tmp.at("d/a.bak")));
    form->IdleHandler();
    EXPECT_GE(rowOf("a.txt"), 0);
    EXPECT_EQ(rowOf("a.bak"), -1);

    settings.WinMakeDir = true;
    ASSERT_NO_FATAL_FAILURE(selectDir("D:\\"));
    press(form->MainTreeView, Qt::Key_M);
    ASSERT_TRUE(form->treeController().editing());
    auto* editor = form->MainTreeView->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Photos");
    press(editor, Qt::Key_Return);
    ASSERT_TRUE(Exists(tmp.at("d/Photos")));
    form->MainTreeView->setFocus();
    idle();
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Exists(tmp.at("d/Photos")));
    EXPECT_TRUE(Exists(tmp.at("d/New directory (0)")));
    press(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Exists(tmp.at("d/New directory (0)")));
    form->IdleHandler();
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\Photos\\"), nullptr);
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\New directory (0)\\"), nullptr);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
}
