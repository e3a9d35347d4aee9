#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tmrufilelist.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/quicksearch/quicksearchcontroller.h"
#include "gui/tree/thetreeview.h"
#include "platform/gtkbookmarks.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QAbstractItemView>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class QuickSearchGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        for (const char* d : {"d/Documents/Letters", "d/Music/Musicals", "d/My Docs",
                              "d/\xc3\xa9t\xc3\xa9", "d/Pictures", "e/sub"})
            tmp.mkdir(d);
        for (const char* f : {"1st.txt", "alpha.txt", "beta.txt", "readme.txt", "report.txt"})
            tmp.write(std::string("d/") + f, "x");
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        form->logger().LogDirBranch();
        form->MainTreeView->setFocus();
        idle();
    }

    QuickSearchController& qs() { return form->quickSearch(); }
    THistoryComboBox* box() { return qs().hbDirSearch; }
    std::string selected() {
        const TTreeNode* n = cat->Tree().Selected();
        return n ? n->Path() : std::string();
    }
    void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(target, key, mods);
        idle();
    }
    /// Alt+Y in the tree, the text typed, Enter.
    void search(const QString& text) {
        press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
        ASSERT_TRUE(qs().pnDirSearch->isVisible());
        ASSERT_TRUE(box()->hasFocus());
        QTest::keyClicks(box(), text);
        press(box(), Qt::Key_Return);
    }
    std::vector<std::string> storedHistory(const char* name) {
        THistoryComboBox fresh;
        fresh.setIniSection(name);
        fresh.setMaxHistoryLength(20);
        fresh.Load();
        return fresh.Items();
    }
    std::string bookmarks() {
        std::ifstream in(tmp.at("config/gtk-3.0/bookmarks"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(QuickSearchGui, TypedPrefixesAndPathsLeadToDirectoriesAndAreRemembered) {
    search("mu");
    EXPECT_EQ(selected(), "D:\\Music\\");
    EXPECT_FALSE(qs().pnDirSearch->isVisible());
    EXPECT_TRUE(form->MainTreeView->hasFocus());
    search("mu");
    EXPECT_EQ(selected(), "D:\\Music\\Musicals\\");
    search("mu"); // nothing after it: the selection stays
    EXPECT_EQ(selected(), "D:\\Music\\Musicals\\");
    idle();
    EXPECT_EQ(form->CurrDirLabel->text(), "D:\\Music\\Musicals\\");

    search("d:\\documents\\letters");
    EXPECT_EQ(selected(), "D:\\Documents\\Letters\\");
    search("D:\\Nowhere");
    EXPECT_EQ(selected(), "D:\\Documents\\Letters\\");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "});
    EXPECT_EQ(storedHistory("DirQuickSearch"),
              (std::vector<std::string>{"D:\\Nowhere", "d:\\documents\\letters", "mu"}));

    // The box starts empty each time; Escape leaves it for the tree.
    press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(box()->currentText(), "");
    press(box(), Qt::Key_Escape);
    EXPECT_TRUE(form->MainTreeView->hasFocus());
    EXPECT_FALSE(qs().pnDirSearch->isVisible());

    // The current-directory label's "Search directory" starts from its path.
    form->menus().action("pmiSearch")->trigger();
    idle();
    EXPECT_EQ(box()->currentText(), "D:\\Documents\\Letters\\");
    press(box(), Qt::Key_Backspace);
    QTest::keyClicks(box(), "\\..\\..\\Pictures");
    press(box(), Qt::Key_Return);
    EXPECT_EQ(prompter.texts().size(), 2u); // ".." is refused
    EXPECT_EQ(selected(), "D:\\Documents\\Letters\\");
}

TEST_F(QuickSearchGui, F2BrowsesAndTheChosenFolderWaitsInTheBoxForEnter) {
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\Music\\"));
    QString startedAt;
    OnModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        startedAt = dialog->directory().absolutePath();
        dialog->setDirectory(QString::fromStdString(tmp.at("d/My Docs")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    press(form->MainTreeView, Qt::Key_F2);
    EXPECT_EQ(startedAt.toStdString(), tmp.at("d/Music"));
    EXPECT_TRUE(qs().pnDirSearch->isVisible());
    EXPECT_EQ(box()->currentText(), "D:\\My Docs\\");
    EXPECT_EQ(box()->lineEdit()->selectedText(), "D:\\My Docs\\");
    EXPECT_EQ(selected(), "D:\\Music\\");
    press(box(), Qt::Key_Return);
    EXPECT_EQ(selected(), "D:\\My Docs\\");

    // Cancelled: the box keeps its text.
    form->activateWindow(); // without a window manager nobody else does
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
    QTest::keyClicks(box(), "pi");
    OnModalShown([](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject"); });
    press(box(), Qt::Key_F2);
    EXPECT_EQ(box()->currentText(), "pi");
}

// Favorites fill the list only until one is chosen: the stored history stays
// and gets the favorite on top.
TEST_F(QuickSearchGui, FavoritesAreAddedFromTheTreeAndPickedWithF3) {
    search("pic");
    ASSERT_EQ(selected(), "D:\\Pictures\\");

    // Added from the tree's menu, under the name given.
    form->menus().action("pmiAddToDirQSearch")->trigger();
    EXPECT_EQ(storedHistory("DirQuickSearch"), (std::vector<std::string>{"D:\\Pictures\\", "pic"}));
    for (const char* dir : {"D:\\My Docs\\", "D:\\\xc3\xa9t\xc3\xa9\\"}) {
        cat->Tree().Select(form->logger().FindNodeByPath(dir));
        prompter.answerText(std::string("Fav ") + dir);
        form->menus().action("pmiAddToFav")->trigger();
    }
    EXPECT_EQ(bookmarks(), platform::GtkBookmarkUri(tmp.at("d/My Docs")) + " Fav D:\\My Docs\\\n" +
                               platform::GtkBookmarkUri(tmp.at("d/\xc3\xa9t\xc3\xa9")) +
                               " Fav D:\\\xc3\xa9t\xc3\xa9\\\n");
    EXPECT_EQ(prompter.lastInputDefault(), "\xc3\xa9t\xc3\xa9");

    press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
    press(box(), Qt::Key_F3);
    ASSERT_TRUE(box()->view()->isVisible());
    EXPECT_EQ(box()->Items(),
              (std::vector<std::string>{"D:\\My Docs\\", "D:\\\xc3\xa9t\xc3\xa9\\"}));
    box()->view()->setCurrentIndex(box()->model()->index(1, 0));
    press(box()->view(), Qt::Key_Return);
    EXPECT_FALSE(box()->view()->isVisible());
    EXPECT_EQ(box()->currentText(), "D:\\\xc3\xa9t\xc3\xa9\\");
    EXPECT_EQ(box()->Items(),
              (std::vector<std::string>{"D:\\Pictures\\", "pic", "D:\\\xc3\xa9t\xc3\xa9\\"}));
    press(box(), Qt::Key_Return);
    EXPECT_EQ(selected(), "D:\\\xc3\xa9t\xc3\xa9\\");
    EXPECT_EQ(storedHistory("DirQuickSearch"),
              (std::vector<std::string>{"D:\\\xc3\xa9t\xc3\xa9\\", "D:\\Pictures\\", "pic"}));

    // Opening the list brings the history back.
    press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
    press(box(), Qt::Key_Down);
    ASSERT_TRUE(box()->view()->isVisible());
    EXPECT_EQ(box()->count(), 3);
    EXPECT_EQ(box()->currentText(), "D:\\\xc3\xa9t\xc3\xa9\\");
    press(box()->view(), Qt::Key_Escape);
    EXPECT_TRUE(box()->hasFocus());
}

// Linux paths as a user types them: absolute, from the home directory, with
// blanks; one that no drive holds is refused, saying which and why.
TEST_F(QuickSearchGui, LinuxPathsLeadToTheDirectoriesTheirDrivesHave) {
    setEnv("HOME", tmp.at("d"));
    search(QString::fromStdString(tmp.at("d/My Docs")));
    EXPECT_EQ(selected(), "D:\\My Docs\\");
    search("~/Music/Musicals/");
    EXPECT_EQ(selected(), "D:\\Music\\Musicals\\");
    search("~");
    EXPECT_EQ(selected(), "D:\\");
    search(QString::fromStdString(tmp.at("e/sub/../sub")));
    EXPECT_EQ(selected(), "E:\\sub\\");
    EXPECT_TRUE(prompter.shown().empty());

    search("/nowhere/at all");
    search(QString::fromStdString(tmp.at("d/alpha.txt")));
    search("D:\\Documents\\Nothing");
    EXPECT_EQ(selected(), "E:\\sub\\");
    ASSERT_EQ(prompter.shown().size(), 3u);
    for (const auto& shown : prompter.shown())
        EXPECT_EQ(shown.text, "Directory does not exist!     ");
    EXPECT_EQ(prompter.shown()[0].informative,
              "/nowhere/at all: no drive letter stands for a directory that holds it");
    EXPECT_EQ(prompter.shown()[1].informative, tmp.at("d/alpha.txt") + ": Not a directory");
    EXPECT_EQ(prompter.shown()[2].informative,
              tmp.at("d/Documents/Nothing") + ": No such file or directory");
}

// F3 offers the bookmarks first, then the home directory and the user's own
// directories of user-dirs.dirs that exist on a drive.
TEST_F(QuickSearchGui, FavoritesOfferTheUserDirectoriesAfterTheBookmarks) {
    setEnv("HOME", tmp.at("d"));
    tmp.write("config/gtk-3.0/bookmarks", platform::GtkBookmarkUri(tmp.at("d/My Docs")) + "\n");
    tmp.write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                       "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                                       "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                       "XDG_MUSIC_DIR=\"$HOME/Music\"\n"
                                       "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n"
                                       "XDG_VIDEOS_DIR=\"" +
                                           tmp.at("e/sub") + "\"\n");
    press(form->MainTreeView, Qt::Key_Y, Qt::AltModifier);
    press(box(), Qt::Key_F3);
    ASSERT_TRUE(box()->view()->isVisible());
    EXPECT_EQ(box()->Items(),
              (std::vector<std::string>{"D:\\My Docs\\", "D:\\", "D:\\Documents\\", "D:\\Music\\",
                                        "D:\\Pictures\\", "E:\\sub\\"}));
    box()->view()->setCurrentIndex(box()->model()->index(3, 0));
    press(box()->view(), Qt::Key_Return);
    press(box(), Qt::Key_Return);
    EXPECT_EQ(selected(), "D:\\Music\\");
}

TEST_F(QuickSearchGui, ARecentDirectoryIsOpenedInTheTreeWithTheWholeWindow) {
    form->mruDirs->Add("E:\\sub\\");
    fw().MaximizeMainListBox(true);
    state.scope = 3;
    QAction* recent = form->mruDirs->EntryActions().last();
    recent->trigger();
    idle();
    EXPECT_EQ(selected(), "E:\\sub\\");
    EXPECT_FALSE(fw().Maximized());
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(form->MainTreeView->hasFocus());
    EXPECT_TRUE(form->MainTreeView->isVisible());

    // The label's menu: its items only while the tree shows.
    QMenu* menu = form->menus().menu("pmCurrDir");
    std::vector<bool> enabled;
    auto look = [&] {
        QTimer::singleShot(50, [&] {
            for (QAction* a : menu->actions())
                enabled.push_back(a->isEnabled());
            menu->close();
        });
        qs().pmCurrDirPopup(menu, form->CurrDirLabel->mapToGlobal(QPoint(2, 2)));
    };
    look();
    fw().MaximizeMainListBox(true);
    look();
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, false}));
    EXPECT_TRUE(form->menus().action("pmiBrowse")->isEnabled());
}

TEST_F(QuickSearchGui, TheFileSearchGoesDownTheFileWindowByTheStartOfNames) {
    form->FillMainListBox();
    idle();
    TVirtualListBox* list = form->fileWindow().MainListBox;
    list->setFocus();
    idle();
    ASSERT_EQ(fw().Text(0), "1st.txt");
    fw().SetCurrent(1); // alpha.txt
    THistoryComboBox* files = qs().hbFileSearch;
    auto current = [&] {
        return std::string(fw().Text(fw().Current()));
    };
    press(list, Qt::Key_Y, Qt::AltModifier);
    ASSERT_TRUE(files->isVisible());
    ASSERT_TRUE(files->hasFocus());

    QTest::keyClicks(files, "r");
    EXPECT_EQ(current(), "readme.txt");
    QTest::keyClicks(files, "eP");
    EXPECT_EQ(current(), "report.txt");
    press(files, Qt::Key_Return);
    EXPECT_TRUE(list->hasFocus());
    EXPECT_FALSE(files->isVisible());

    // A digit selects nothing: names are searched from a letter on.
    press(list, Qt::Key_Y, Qt::AltModifier);
    fw().SetCurrent(-1);
    QTest::keyClicks(files, "1");
    EXPECT_EQ(fw().Current(), -1);
    press(files, Qt::Key_Escape);
    EXPECT_EQ(fw().Current(), 0);
    EXPECT_TRUE(list->hasFocus());

    // An entry picked from the history searches too, and stays in the box.
    press(list, Qt::Key_Y, Qt::AltModifier);
    press(files, Qt::Key_Down);
    ASSERT_TRUE(files->view()->isVisible());
    ASSERT_EQ(files->Items(), (std::vector<std::string>{"1", "reP"}));
    files->view()->setCurrentIndex(files->model()->index(1, 0));
    press(files->view(), Qt::Key_Return);
    EXPECT_EQ(current(), "report.txt");
    EXPECT_EQ(files->currentText(), "reP");

    // Nothing above the current entry is found.
    files->lineEdit()->selectAll();
    QTest::keyClicks(files, "a");
    EXPECT_EQ(files->currentText(), "a");
    EXPECT_EQ(current(), "report.txt");
}

} // namespace
