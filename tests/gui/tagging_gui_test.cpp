#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tagging/tspectagform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "support/mainwindowfixture.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include "support/modalwatch.h"

using namespace zentrix;
using namespace zentrix::test;

namespace {

void typeInto(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(w, c.toLatin1());
}

void clearBox(QComboBox* box) {
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
}

/// Every child widget is named for people and for tools.
void expectNamed(QWidget* top, const std::vector<QWidget*>& controls) {
    for (QWidget* w : controls) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
        // What a screen reader hears (a label that shows a text is heard by it).
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
        EXPECT_TRUE(top->isAncestorOf(w)) << w->objectName().toStdString();
    }
}

class TaggingGui : public MainWindowFixture {
protected:
    TaggingController* tagging = nullptr;

    void SetUp() override {
        useHome(false);
        tmp.write("d/a.txt", "a");
        tmp.write("d/b.doc", std::string(3000, 'b'));
        tmp.write("d/c.txt", "c");
        tmp.write("d/.hidden", "h");
        tmp.write("d/docs/d.txt", "d");
        tmp.write("d/docs/e.doc", "e");
        tmp.write("d/music/f.mp3", "f");
        state.currentDisk = 'D';
        settings.ShowMemStat = false; // the command strip stays hidden but for prompts
        makeDrives("D=" + tmp.at("d"));
        makeForm();

        // The wiring the main window does.
        tagging = new TaggingController(*cat, state, settings, form->fileWindow().model(),
                                        form->prompter(), form->plugins(), form.get());
        tagging->setTreeWidget(form->MainTreeView);
        tagging->setFileListWidget(form->fileWindow().MainListBox);
        form->ZenPageControl->addWidget(tagging->fileAttrPage());
        for (const auto& [name, handler] : tagging->commands())
            form->menus().registerCommand(name, handler);

        ASSERT_NO_FATAL_FAILURE(showActive());
        form->Start({});
        form->logger().LogDirBranch();
        idle();
    }
    void TearDown() override {
        // The window goes with the focus still inside it, as it does when the
        // program ends.
        MainWindowFixture::TearDown();
    }

    std::set<std::string> tagged() {
        std::set<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs())
            for (const TFileClass* f : d->FileList())
                if (f->Tagged())
                    out.insert(f->FullName());
        return out;
    }
    bool run(const std::string& command) { return form->menus().runCommand(command); }
};

} // namespace

TEST_F(TaggingGui, SpecialDialogEnablesOkOnlyWithTextAndCommitsUpperCase) {
    std::string spec = "LEFT OVER";
    std::vector<std::string> extendedCalls;
    std::optional<std::string> extendedAnswer = "*.C *.H";
    auto form1 = std::make_unique<TSpecTagForm>(
        spec,
        [&](const std::string& current) {
            extendedCalls.push_back(current);
            return extendedAnswer;
        },
        nullptr);
    TSpecTagForm& dialog = *form1;
    dialog.setWindowTitle("Expand selection ...");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(spec, "*.*");
    EXPECT_EQ(dialog.lbFileSpec->text(), "&Specify file type:");
    EXPECT_EQ(dialog.hbFileSpec->currentText(), "*.*");
    EXPECT_EQ(dialog.hbFileSpec->IniSection(), "SpecialTagHistory");
    EXPECT_EQ(dialog.hbFileSpec->toolTip(),
              "File specification (press <F2> for extended file specifications) ...");
    EXPECT_EQ(dialog.sbExtFileSpec->toolTip(), "Extended file specification");
    EXPECT_EQ(dialog.bbOK->text(), "&OK");
    EXPECT_EQ(dialog.bbCancel->text(), "&Cancel");
    EXPECT_TRUE(dialog.bbOK->isEnabled());
    expectNamed(&dialog, {dialog.lbFileSpec, dialog.hbFileSpec, dialog.sbExtFileSpec, dialog.bbOK,
                          dialog.bbCancel});

    dialog.hbFileSpec->setFocus();
    clearBox(dialog.hbFileSpec);
    EXPECT_FALSE(dialog.bbOK->isEnabled());
    QTest::keyClick(dialog.hbFileSpec, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Enter in an empty box does not close as OK";
    typeInto(dialog.hbFileSpec, " *.txt ");
    EXPECT_TRUE(dialog.bbOK->isEnabled());

    // F2: the extended specification replaces the text; none leaves it.
    QTest::keyClick(dialog.hbFileSpec, Qt::Key_F2);
    EXPECT_EQ(extendedCalls, std::vector<std::string>{" *.txt "});
    EXPECT_EQ(dialog.hbFileSpec->currentText(), "*.C *.H");
    extendedAnswer.reset();
    dialog.sbExtFileSpec->click();
    EXPECT_EQ(dialog.hbFileSpec->currentText(), "*.C *.H");
    EXPECT_TRUE(dialog.isVisible());

    clearBox(dialog.hbFileSpec);
    typeInto(dialog.hbFileSpec, " *.txt  *.doc");
    QTest::keyClick(dialog.hbFileSpec, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(spec, "*.TXT  *.DOC");
    EXPECT_EQ(dialog.hbFileSpec->currentText(), "*.TXT  *.DOC");
    form1.reset();

    // The next dialog offers it from the history, but starts at "*.*"; Esc cancels.
    TSpecTagForm again(spec, nullptr, nullptr);
    EXPECT_EQ(spec, "*.*");
    EXPECT_EQ(again.hbFileSpec->currentText(), "*.*");
    EXPECT_EQ(again.hbFileSpec->Items(), std::vector<std::string>{"*.TXT  *.DOC"});
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    again.hbFileSpec->setFocus();
    QTest::keyClick(again.hbFileSpec, Qt::Key_Escape);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(again.result(), QDialog::Rejected);
}

TEST_F(TaggingGui, SpecialTagThroughTheMenuTagsTheMatchingEntries) {
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
    form->FillMainListBox();
    ASSERT_EQ(fw().Count(), 4);
    list()->setFocus();
    idle();
    ASSERT_TRUE(list()->hasFocus());
    QString caption;
    zentrix::test::OnModalShown([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        auto* form = qobject_cast<TSpecTagForm*>(dialog);
        ASSERT_NE(form, nullptr);
        clearBox(form->hbFileSpec);
        typeInto(form->hbFileSpec, "*.txt");
        // Clicking OK moves the focus out of the box: the text is committed.
        QTest::mouseClick(form->bbOK, Qt::LeftButton);
    });
    EXPECT_TRUE(run("TagFilesSpecial"));
    // Back from the dialog: the window is active again, the list focused.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    list()->setFocus();
    idle();
    ASSERT_TRUE(list()->hasFocus());
    EXPECT_EQ(caption, "Expand selection ...");
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\a.txt", "D:\\c.txt"}));
    EXPECT_EQ(tagging->model().SelectionSpec(), "*.TXT");
    auto* stats = form->fileWindow().statisticsPanel();
    EXPECT_EQ(stats->TaggedFilesLabel->text(), "2");

    // The numeric-pad star of the window inverts every entry.
    EXPECT_TRUE(tagging->fileCommand(FileCommand::ToggleFileTags));
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\.hidden", "D:\\b.doc"}));
    EXPECT_EQ(stats->TaggedFilesLabel->text(), "2");
    EXPECT_EQ(stats->TaggedBytesLabel->text(), "3.001 bytes.");

    zentrix::test::OnModalShown([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        QTest::keyClick(static_cast<TSpecTagForm*>(dialog)->hbFileSpec, Qt::Key_Escape);
    });
    EXPECT_TRUE(tagging->fileCommand(FileCommand::UnTagFilesSpecial));
    EXPECT_EQ(caption, "Shrink selection ...");
    EXPECT_EQ(tagged().size(), 2u);
}

TEST_F(TaggingGui, AttributePageTagsAndGoesAway) {
    QStackedWidget* strip = form->ZenPageControl;
    TFileAttrPage* page = tagging->fileAttrPage();
    ASSERT_EQ(page->parentWidget(), strip);
    ASSERT_FALSE(strip->isVisible());
    expectNamed(page, {page->pnFileAttr, page->hbFilesAttrHistory, page->bbFileAttrOK,
                       page->bbFileAttrCancel});
    EXPECT_EQ(page->objectName(), "ts_FC_FileAttr");
    EXPECT_EQ(page->hbFilesAttrHistory->IniSection(), "FileAttributesHistory");

    cat->Tree().Select(form->logger().FindNodeByPath("D:\\docs\\"));
    EXPECT_TRUE(run("miDirTagAllDiskByAttrClick"));
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->currentWidget(), page);
    EXPECT_EQ(page->caption(), "Attributes of files to tag:");
    EXPECT_TRUE(page->hbFilesAttrHistory->hasFocus());

    // Only the attribute characters get in, in upper case.
    clearBox(page->hbFilesAttrHistory);
    typeInto(page->hbFilesAttrHistory, "+hx1-s");
    EXPECT_EQ(page->text(), "+H-S");
    QTest::keyClick(page->hbFilesAttrHistory, Qt::Key_Return);
    EXPECT_EQ(tagged(), std::set<std::string>{"D:\\.hidden"});
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(strip->currentWidget(), form->ts_TitlePage);
    EXPECT_EQ(page->hbFilesAttrHistory->Items().front(), "+H-S");

    // Untag by attributes in the window, cancelled with Esc first.
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
    form->FillMainListBox();
    EXPECT_TRUE(run("miFileUnTagAllbyAttrsClick"));
    EXPECT_EQ(page->caption(), "Attributes of files to untag:");
    EXPECT_EQ(tagging->model().AttributeMode(), -1);
    QTest::keyClick(page->hbFilesAttrHistory, Qt::Key_Escape);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(tagged().size(), 1u);
    EXPECT_TRUE(run("miFileUnTagAllbyAttrsClick"));
    clearBox(page->hbFilesAttrHistory);
    typeInto(page->hbFilesAttrHistory, "+A");
    page->bbFileAttrOK->click();
    EXPECT_EQ(tagged(), std::set<std::string>{});

    // In mode 0 the page belongs to the attribute change.
    std::vector<std::string> changes;
    tagging->OK_FileAttributes = [&](const std::string& text) {
        changes.push_back(text);
    };
    tagging->model().SetAttributeMode(0);
    page->bbFileAttrOK->click();
    EXPECT_EQ(changes, std::vector<std::string>{"+A"});
}

TEST_F(TaggingGui, SingleFileAndDirectoryCommandsMoveOn) {
    TTreeNode* root = form->logger().FindNodeByPath("D:\\");
    cat->Tree().Select(root);
    form->FillMainListBox();
    idle();
    list()->setFocus();
    idle();
    ASSERT_TRUE(list()->hasFocus());
    ASSERT_EQ(fw().Current(), 0);
    const TFileClass* first = fw().Record(0);
    EXPECT_TRUE(run("TagSingleFile"));
    EXPECT_TRUE(first->Tagged());
    EXPECT_EQ(fw().Current(), 1);
    EXPECT_EQ(list()->currentIndex(), 1);
    EXPECT_TRUE(run("TagSingleFile"));
    EXPECT_EQ(fw().Current(), 2);
    EXPECT_EQ(tagged().size(), 2u);

    // The directory command tags the directory's files and moves the tree on;
    // the key release asks for a refill with the next directory.
    form->MainTreeView->setFocus();
    idle();
    form->MainTreeView->expand(form->treeModel().indexOf(root));
    const int fills = form->fillCount();
    EXPECT_TRUE(run("DirTagFiles"));
    EXPECT_EQ(tagged().size(), 4u);
    EXPECT_NE(cat->Tree().Selected(), root);
    idle();
    EXPECT_GT(form->fillCount(), fills);
    EXPECT_EQ(form->CurrDirLabel->text().toStdString(), cat->Tree().Selected()->Path());
}
