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
#include "gui/tree/thetreeview.h"
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
    QString undoCaption() { return form->menus().action("miFileUndo")->text(); }
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
