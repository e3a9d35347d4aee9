// The help as a user meets it on the real main window: the Help menu, F1 on the
// focused control, "What is this?" and the options dialog's Help button, with the
// topics the build put beside the program.
#include "gui/app/mainmenubar.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/disks/tzentrixdrives.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/help/helpcontroller.h"
#include "gui/help/thelpform.h"
#include "gui/help/thintwindow.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tree/thetreeview.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QWhatsThis>
#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class HelpTest : public MainWindowFixture {
protected:
    // The topics where the build puts them beside the program.
    ScopedEnv helpDir{"ZENTRIX_HELP_DIR", std::string(ZENTRIX_BUILD_DIR) + "/help"};

    void SetUp() override {
        useHome(false);
        tmp.mkdir("d/Docs");
        tmp.write("d/readme.txt", "hello");
        state.currentDisk = 'D';
        makeDrives("D=" + tmp.at("d"));
        makeForm();
        form->resize(900, 650);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->Start({});
        idle();
    }
    void TearDown() override {
        if (QWhatsThis::inWhatsThisMode())
            QWhatsThis::leaveWhatsThisMode();
        closeWindow();
    }

    THelpForm* window() { return form->help().helpWindow(); }
    std::string shown() {
        THelpForm* w = window();
        if (!w || !w->isVisible())
            return "<closed>";
        return (w->currentAnchor().isEmpty() ? w->currentTopic()
                                             : w->currentTopic() + "#" + w->currentAnchor())
            .toStdString();
    }
    QString shownText() { return window() ? window()->HelpText->toPlainText() : QString(); }
    /// F1 pressed in a control, as the keyboard delivers it.
    std::string f1In(QWidget* w) {
        if (window())
            window()->hide();
        QApplication::setActiveWindow(w->window());
        w->setFocus();
        idle();
        QTest::keyClick(w, Qt::Key_F1);
        idle();
        return shown();
    }
    QString hintShown() {
        THintWindow* hint = THintWindow::Current();
        return hint && hint->isVisible() ? hint->lbHint->text() : QString();
    }
};

} // namespace

TEST_F(HelpTest, ContentsOpensTheContentsPageWhoseLinksLeadToTheTopics) {
    QAction* contents = form->menus().action("miHelpContents");
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->isEnabled());
    EXPECT_TRUE(form->menus().action("miHelpWhat")->isEnabled());
    contents->trigger();
    idle();
    EXPECT_EQ(shown(), "index.html");
    EXPECT_EQ(window()->windowTitle().toStdString(), "Zentrix Help - Contents");
    // Screen readers hear the window by its title, which names the topic.
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(window())->text(QAccessible::Name).toStdString(),
        "Zentrix Help - Contents");
    EXPECT_TRUE(shownText().contains("The directory tree"));

    // A keyboard user follows the first link: Tab to it, Enter.
    QTextBrowser* text = window()->HelpText;
    EXPECT_TRUE(text->hasFocus()) << "the window opens in its text";
    QTest::keyClick(text, Qt::Key_Tab);
    QTest::keyClick(text, Qt::Key_Return);
    idle();
    EXPECT_EQ(shown(), "mainwindow.html");
    EXPECT_EQ(window()->windowTitle().toStdString(),
              "Zentrix Help - The main window and its menus");
    EXPECT_TRUE(window()->btnBack->isEnabled());
    window()->btnBack->click();
    EXPECT_EQ(shown(), "index.html");
    window()->btnForward->click();
    EXPECT_EQ(shown(), "mainwindow.html");
    window()->btnContents->click();
    EXPECT_EQ(shown(), "index.html");
}

TEST_F(HelpTest, SearchListsTheTopicsHoldingAllWordsAndOpensTheBest) {
    form->help().ShowContents();
    THelpForm* w = window();
    ASSERT_TRUE(w);
    QTest::keyClicks(w->edSearch, "serial number");
    ASSERT_TRUE(w->lbResults->isVisible());
    ASSERT_GE(w->lbResults->count(), 1);
    EXPECT_EQ(w->lbResults->item(0)->text().toStdString(), "Disks and the drive list");
    QTest::keyClick(w->edSearch, Qt::Key_Return);
    EXPECT_EQ(w->currentTopic().toStdString(), "disks.html");
    EXPECT_EQ(w->HelpText->textCursor().selectedText().toLower().toStdString(), "serial");

    w->edSearch->clear();
    QTest::keyClicks(w->edSearch, "qwertyuiop");
    ASSERT_EQ(w->lbResults->count(), 1);
    EXPECT_FALSE(w->lbResults->item(0)->flags() & Qt::ItemIsEnabled);
    w->edSearch->clear();
    EXPECT_FALSE(w->lbResults->isVisible());
}

TEST_F(HelpTest, F1ShowsTheTopicOfTheFocusedControl) {
    EXPECT_EQ(f1In(form->MainTreeView), "tree.html");
    EXPECT_EQ(f1In(form->fileWindow().MainListBox), "filewindow.html");
    EXPECT_EQ(f1In(form->hbFileSpec), "filewindow.html#filespec");
    EXPECT_EQ(f1In(form->lbDrives), "disks.html");
    // F1 in the help window itself goes to the contents.
    EXPECT_EQ(f1In(window()->HelpText), "index.html");

    // The attributes prompt of the command strip.
    form->fileWindow().MainListBox->setFocus();
    form->runCommand("miFileTagAllbyAttrsClick");
    idle();
    QComboBox* box = form->tagging().fileAttrPage()->hbFilesAttrHistory;
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(f1In(box), "tagging.html#attributes");
    QTest::keyClick(box, Qt::Key_Escape);
    idle();

    // The two prompts of a copy: C in the file window, then Enter on the mask.
    TVirtualListBox* list = form->fileWindow().MainListBox;
    window()->hide();
    QApplication::setActiveWindow(form.get());
    list->setFocus();
    ASSERT_GE(list->count(), 1);
    QTest::keyClick(list, Qt::Key_C);
    idle();
    TCopyMovePage* as = form->copyMove().currentPage();
    ASSERT_TRUE(as);
    ASSERT_EQ(as->page(), CopyMovePage::CopyAs);
    EXPECT_EQ(f1In(as->box), "copying.html#as");
    as->box->setFocus();
    QTest::keyClick(as->box, Qt::Key_Return);
    idle();
    TCopyMovePage* to = form->copyMove().currentPage();
    ASSERT_TRUE(to);
    ASSERT_EQ(to->page(), CopyMovePage::CopyTo);
    EXPECT_EQ(f1In(to->box), "copying.html#to");
    EXPECT_EQ(f1In(to->bbOK), "copying.html") << "the page's own topic";
    QTest::keyClick(to->box, Qt::Key_Escape);
}

TEST_F(HelpTest, WhatIsThisShowsTheHintOfTheControlClicked) {
    form->menus().action("miHelpWhat")->trigger();
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(form->MainTreeView->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    idle();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    const QString hint = hintShown();
    EXPECT_TRUE(hint.startsWith("The directory tree of the logged disks.")) << hint.toStdString();
    EXPECT_TRUE(hint.contains("href=\"tree.html\"")) << hint.toStdString();
    // Screen readers read the hint (Qt's own What's This window has no name).
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(THintWindow::Current()->lbHint)
                    ->text(QAccessible::Name)
                    .startsWith("The directory tree of the logged disks."));

    // Its link opens the topic; the hint goes.
    emit THintWindow::Current()->lbHint->linkActivated("tree.html");
    idle();
    EXPECT_EQ(shown(), "tree.html");
    EXPECT_EQ(hintShown(), "");

    // Shift+F1 and a control with a tooltip of its own: its tooltip.
    form->hbFileSpec->setFocus();
    QTest::keyClick(form->hbFileSpec, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(form->findChild<QWidget*>("sbDefaultFSpec"), Qt::LeftButton);
    idle();
    EXPECT_TRUE(hintShown().startsWith("Default file specification")) << hintShown().toStdString();
    // Any key closes it.
    QTest::keyClick(form->hbFileSpec, Qt::Key_Escape);
    EXPECT_EQ(hintShown(), "");

    // The file window popup's own item explains the file window.
    form->menus().action("pmiWhat4")->trigger();
    idle();
    EXPECT_TRUE(hintShown().startsWith("The file window:")) << hintShown().toStdString();
}

TEST_F(HelpTest, TheOptionsDialogAndTheErrorWindowOpenTheirTopics) {
    // The options dialog is modal: its Help button opens the page's section in
    // a help window that the dialog does not block.
    std::string seen;
    bool usable = false;
    OnModalShown([&](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_TRUE(options);
        options->findChild<QPushButton*>("btnHelp")->click();
        idle();
        seen = shown();
        usable = window() && window()->parentWidget() == dialog;
        if (window())
            window()->close();
        options->reject();
    });
    form->menus().action("miZentrixProperties")->trigger();
    EXPECT_EQ(seen, "options.html#general");
    EXPECT_TRUE(usable);

    form->ShowHelpTopic(60, false); // the error window's Help button
    EXPECT_EQ(shown(), "mainwindow.html#errors");
    form->ShowHelpTopic(31, false); // the Sort page's topic
    EXPECT_EQ(shown(), "options.html#sort");
    form->ShowHelpTopic(4711, false); // a topic nobody wrote: the contents
    EXPECT_EQ(shown(), "index.html");

    // The pop-up form: the section's start as a hint, with a link to the rest.
    form->ShowHelpTopic(29, true);
    EXPECT_TRUE(hintShown().startsWith("View")) << hintShown().toStdString();
    EXPECT_TRUE(hintShown().contains("href=\"options.html#view\""));
}
