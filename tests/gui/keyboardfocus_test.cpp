// The keyboard is never lost: after a command, whether it ends quietly, with a
// question or on its prompt's Cancel, the focus is back in the pane the command
// came from, and never on a control the user cannot see.
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/tree/thetreeview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class KeyboardFocusTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"})
            tmp.write(std::string("d/") + name, name);
        tmp.mkdir("d/docs");
        tmp.mkdir("d/old");
        tmp.mkdir("e");
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        idle();
        // The Info and Finder pages have been shown once, as a user who looked
        // at them has: their controls are in the focus chain.
        for (int page = form->DirPageControl->count() - 1; page >= 0; --page)
            form->DirPageControl->setCurrentIndex(page);
        idle();
    }

    void idle() override {
        MainWindowFixture::idle();
        form->IdleHandler();
        MainWindowFixture::idle();
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    std::string nameOf(QWidget* w) {
        if (!w)
            return "nothing";
        return w->metaObject()->className() + std::string(" ") + w->objectName().toStdString() +
               (w->isVisible() ? "" : " (hidden)");
    }
    void inList() {
        ASSERT_NO_FATAL_FAILURE(focusList());
        fw().SetCurrent(0);
        for (int i = 0; i < fw().Count(); ++i)
            fw().Record(i)->SetTagged(false);
    }
    void inTree() {
        reactivate();
        form->MainTreeView->setFocus();
        idle();
        ASSERT_EQ(focused(), form->MainTreeView);
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused(), static_cast<Qt::Key>(key), modifiers);
        idle();
    }
    /// Types a text into the box of the prompt that has the focus and presses Enter.
    void answer(const QString& text) {
        QWidget* box = focused();
        auto* combo = qobject_cast<QComboBox*>(box);
        if (!combo && box)
            combo = qobject_cast<QComboBox*>(box->parentWidget());
        auto* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(box);
        ASSERT_TRUE(edit) << nameOf(box);
        QWidget* target = combo ? static_cast<QWidget*>(combo) : edit;
        edit->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key_Return);
        idle();
    }
    void current(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                fw().SetCurrent(i);
        ASSERT_EQ(fw().Text(fw().Current()), name);
    }
};

} // namespace

TEST_F(KeyboardFocusTest, FileCommandsGiveTheFocusBackToTheFileWindow) {
    struct Case {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Case> cases{
        {"copy (C)",
         [&] {
             current("a.txt");
             press(Qt::Key_C);
             answer("*.*");
             answer("E:\\");
         }},
        {"copy cancelled (C, Esc)",
         [&] {
             press(Qt::Key_C);
             press(Qt::Key_Escape);
         }},
        {"move (M)",
         [&] {
             current("b.txt");
             press(Qt::Key_M);
             answer("*.*");
             answer("E:\\");
         }},
        {"rename (R)",
         [&] {
             current("c.txt");
             press(Qt::Key_R);
             answer("renamed.txt");
         }},
        {"tagged copy (Space on two, Ctrl+C)",
         [&] {
             current("d.txt");
             press(Qt::Key_Space);
             current("e.txt");
             press(Qt::Key_Space);
             press(Qt::Key_C, Qt::ControlModifier);
             answer("*.*");
             answer("E:\\");
         }},
        {"delete (D)",
         [&] {
             current("f.txt");
             prompter.answer(true);
             press(Qt::Key_D);
         }},
        {"file spec (F)",
         [&] {
             press(Qt::Key_F);
             answer("*.txt");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(inList());
        c.run();
        EXPECT_EQ(focused(), list()) << nameOf(focused());
        // The keyboard works at once: a key moves the current row.
        if (fw().Count() > 1) {
            fw().SetCurrent(0);
            press(Qt::Key_Down);
            EXPECT_EQ(fw().Current(), 1);
        }
    }
}

TEST_F(KeyboardFocusTest, DirectoryCommandsGiveTheFocusBackToTheTree) {
    struct Case {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Case> cases{
        {"make directory (M)",
         [&] {
             press(Qt::Key_M);
             answer("made");
         }},
        {"rename directory (R)",
         [&] {
             ASSERT_TRUE(form->logger().GoToDirPath("D:\\old\\"));
             idle();
             // Letters typed in the tree search its rows: the menu item.
             form->menus().action("miRenameDir")->trigger();
             idle();
             answer("older");
         }},
        {"statistics (Ctrl+Alt+C)",
         [&] {
             press(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
         }},
        {"log branch (Alt+B)",
         [&] {
             press(Qt::Key_B, Qt::AltModifier);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(inTree());
        c.run();
        EXPECT_EQ(focused(), form->MainTreeView) << nameOf(focused());
    }
    EXPECT_TRUE(Exists(tmp.at("d/made")));
    EXPECT_TRUE(Exists(tmp.at("d/older")));
}
