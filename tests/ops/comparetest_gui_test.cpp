#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tradiogroup.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/ops/comparetestcontroller.h"
#include "gui/ops/tcompareform.h"
#include "gui/tree/thetreeview.h"
#include "ops/filetest.h"
#include "platform/casefolding.h"
#include "support/exfatmount.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

using Strings = std::vector<std::string>;

/// The main window over drive D (the files) and drive E (a directory to
/// compare with), offscreen, the file window on D:\.
class CompareTestGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("d/a.txt", "a");
        tmp.write("d/b.txt", std::string(3 * kTestBlockSize, 'b'));
        tmp.write("d/c.doc", "c");
        tmp.write("d/sub/x.txt", "x");
        tmp.write("e/A.TXT", "a");
        state.currentDisk = 'D';
        settings.ShowMemStat = false;
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        form->logger().LogDirBranch();
        cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
        form->FillMainListBox();
        idle();
        focusList();
    }

    int entry(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
    void current(const std::string& name) {
        ASSERT_GE(entry(name), 0) << name;
        fw().SetCurrent(entry(name));
        list()->setCurrentIndex(entry(name));
        idle();
    }
    Strings tagged() {
        Strings out;
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Record(i)->Tagged())
                out.emplace_back(fw().Text(i));
        std::sort(out.begin(), out.end());
        return out;
    }
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w, key, mods);
        idle();
    }
};

} // namespace

TEST_F(CompareTestGui, EveryItemIsLive) {
    for (const char* name : {"miFileCompare", "miFileTest", "miFileTaggTest", "miTestDirectory"}) {
        QAction* action = form->menus().action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
}

TEST_F(CompareTestGui, KComparesWithADirectoryChosenInTheDialog) {
    current("b.txt");
    QString browsedFrom;
    form->compareTest().onShown = [&](TCompareForm& f) {
        f.setFolderChooser([&](const QString& current) {
            browsedFrom = current;
            return QString("E:\\");
        });
    };
    bool checked = false;
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TCompareForm*>(dialog);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->windowTitle(), "Compare files ...");
        EXPECT_EQ(f->hbDir->currentText(), "D:\\");
        EXPECT_EQ(f->hbDir->IniSection(), "TagWizDirectoryHistory");
        EXPECT_EQ(f->hbDir->MaxHistoryLength(), 20);
        EXPECT_EQ(f->rgCompareWhat->ItemIndex(), 0);
        EXPECT_EQ(f->rgCompareWhat->Button(3)->text(),
                  "Same filenames and &Exact dates (duplicates)");
        EXPECT_TRUE(f->btnRun->isDefault());

        // Not a directory: the message, the text selected, the dialog stays.
        f->hbDir->setEditText("E:\\A.TXT");
        f->btnRun->click();
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->hbDir->lineEdit()->hasSelectedText());
        EXPECT_EQ(prompter.texts(), Strings{"Invalid directory entered!     "});

        // F2 browses from the box's text.
        f->hbDir->setEditText("e:");
        QTest::keyClick(f->hbDir->lineEdit(), Qt::Key_F2);
        EXPECT_EQ(browsedFrom, "e:");
        EXPECT_EQ(f->hbDir->currentText(), "E:\\");
        f->btnRun->click();
        checked = true;
    });
    press(list(), Qt::Key_K);
    reactivate();
    ASSERT_TRUE(checked);
    // "A.TXT" is another file than "a.txt" where case counts: all three
    // are unique.
    EXPECT_EQ(tagged(), (Strings{"a.txt", "b.txt", "c.doc"}));
    EXPECT_EQ(fw().Statistics().taggedFiles, "3");

    // The text went into the history, and Cancel changes nothing.
    std::string first;
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TCompareForm*>(dialog);
        ASSERT_NE(f, nullptr);
        first = f->hbDir->Items().empty() ? "" : f->hbDir->Items().front();
        f->rgCompareWhat->SetItemIndex(1);
        f->btnCancel->click();
    });
    QAction* compare = form->menus().action("miFileCompare");
    ASSERT_TRUE(compare && compare->isEnabled());
    compare->trigger();
    reactivate();
    EXPECT_EQ(first, "E:\\");
    EXPECT_EQ(tagged(), (Strings{"a.txt", "b.txt", "c.doc"}));
}

// A USB stick's exFAT mounted through FUSE matches names without regard to
// case, though the kernel knows its type only as "fuseblk": a.txt has its
// twin in A.TXT there, and only the other two files are unique.
TEST_F(CompareTestGui, AnExfatStickThroughFuseMatchesNamesWithoutRegardToCase) {
    ExfatMount stick(tmp.at("e/stick"));
    if (!stick.mounted())
        GTEST_SKIP() << stick.reason();
    tmp.write("e/stick/A.TXT", "a");
    EXPECT_TRUE(platform::FoldsCase(tmp.at("e/stick")));
    EXPECT_FALSE(platform::FoldsCase(tmp.at("e")));
    current("a.txt");
    bool checked = false;
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TCompareForm*>(dialog);
        ASSERT_NE(f, nullptr);
        f->hbDir->setEditText("E:\\stick");
        f->btnRun->click();
        checked = true;
    });
    press(list(), Qt::Key_K);
    reactivate();
    ASSERT_TRUE(checked);
    EXPECT_EQ(tagged(), (Strings{"b.txt", "c.doc"}));
}

// The directory may be typed as a Linux path; one that no drive holds is
// refused with the path and the reason under the message.
TEST_F(CompareTestGui, TheDirectoryToCompareWithMayBeALinuxPath) {
    current("b.txt");
    setEnv("HOME", tmp.at("e"));
    bool checked = false;
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TCompareForm*>(dialog);
        ASSERT_NE(f, nullptr);
        f->hbDir->setEditText("/nowhere/at all");
        f->btnRun->click();
        EXPECT_TRUE(f->isVisible());
        ASSERT_EQ(prompter.texts(), Strings{"Invalid directory entered!     "});
        EXPECT_EQ(prompter.shown()[0].informative,
                  "/nowhere/at all: no drive letter stands for a directory that holds it");
        f->hbDir->setEditText("~/");
        f->btnRun->click();
        checked = true;
    });
    press(list(), Qt::Key_K);
    reactivate();
    ASSERT_TRUE(checked);
    // The same files as through E:\ : on a case-sensitive disk A.TXT is no
    // twin of a.txt.
    EXPECT_EQ(tagged(), (Strings{"a.txt", "b.txt", "c.doc"}));
}

TEST_F(CompareTestGui, WAndCtrlWTestTheCurrentTaggedAndBranchFiles) {
    current("a.txt");
    press(list(), Qt::Key_W);
    EXPECT_EQ(prompter.texts(), Strings{"File: D:\\a.txt is OK.     "});

    // Ctrl+W in the file window: the tagged files.
    prompter.clear();
    press(list(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(), Strings{"There are no tagged files to operate with!     "});
    prompter.clear();
    fw().Record(entry("a.txt"))->SetTagged(true);
    fw().Record(entry("b.txt"))->SetTagged(true);
    press(list(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(), Strings{"All tested files OK.     "});

    // "STOP" on the status line, clicked while a file is read, ends the run there.
    prompter.clear();
    FileTest& test = form->compareTest().test();
    std::vector<std::string> read;
    test.OnBlockRead = [&](const std::string& path, uint64_t) {
        read.push_back(path);
        EXPECT_TRUE(form->MainStatusBar->stopShown());
        EXPECT_TRUE(state.fileOperationRunning);
        form->MainStatusBar->PressStop();
    };
    fw().Record(entry("a.txt"))->SetTagged(false);
    fw().Record(entry("c.doc"))->SetTagged(true);
    press(list(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(read, Strings{tmp.at("d/b.txt")});
    EXPECT_EQ(prompter.texts(), (Strings{"Aborted.     ", "All tested files OK.     "}));
    EXPECT_FALSE(form->MainStatusBar->stopShown());
    EXPECT_FALSE(state.fileOperationRunning);
    test.OnBlockRead = nullptr;

    // Ctrl+W in the tree: the branch on disk, a failed file asked about.
    prompter.clear();
    test.OnBlockRead = [&](const std::string& path, uint64_t bytes) {
        // Cut short by someone else while it is read.
        if (path == tmp.at("d/b.txt") && bytes == kTestBlockSize)
            ::truncate(path.c_str(), 100);
    };
    form->MainTreeView->setFocus();
    idle();
    prompter.answer(true);
    press(form->MainTreeView, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(), (Strings{"Test FAILED on file: D:\\b.txt. Continue?     ",
                                         "1 file(s) failed testing.     "}));
    EXPECT_FALSE(state.fileOperationRunning);
}
