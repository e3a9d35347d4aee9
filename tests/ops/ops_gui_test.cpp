#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "giostandin.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tradiogroup.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/ops/opscontroller.h"
#include "gui/ops/tattributesform.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/ops/twaitform.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "gui/tree/treecontroller.h"
#include "ops/twdlist.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "support/tmpfsmount.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

class OpsGui : public MainWindowFixture {
protected:
    ScopedEnv tz{"TZ", "UTC"};

    void SetUp() override {
        ::tzset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        useHome(false);
        tmp.write("d/a.txt", "a");
        tmp.write("d/b.txt", "b");
        tmp.write("d/c.doc", "c");
        tmp.mkdir("d/Pictures");
        state.currentDisk = 'D';
        settings.ShowMemStat = false; // the command strip shows only for prompts
        settings.WDEnabled = true;
        settings.WatchDogOperations.fill(true);
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d")));
        form->Start({});
        form->logger().LogDirBranch();
        cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
        form->FillMainListBox();
        idle();
        focusList();
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        QLocale::setDefault(QLocale::system());
        ::tzset();
    }

    OpsController& ops() { return form->ops(); }
    void current(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name) {
                fw().SetCurrent(i);
                list()->setCurrentIndex(i);
                idle();
                return;
            }
        FAIL() << name;
    }
    /// What the list shows in the current row.
    std::string row() { return list()->OnItemText(fw().Current()).toStdString(); }
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w, key, mods);
        idle();
    }
    void type(QWidget* w, const QString& text) {
        QTest::keyClicks(w, text);
        idle();
    }
    std::string log() { return ReadFile(tmp.at("home/WATCHDOG.LOG")); }
    bool logHas(const std::string& text) { return log().find(text) != std::string::npos; }
};

} // namespace

TEST_F(OpsGui, RenameTheCurrentAndTheTaggedFilesByKeys) {
    QStackedWidget* strip = form->ZenPageControl;
    TCommandPrompt* page = ops().renameFilePage();
    ASSERT_EQ(page->parentWidget(), strip);
    EXPECT_EQ(page->hbBox->objectName(), "hbRenameFile1");
    EXPECT_EQ(page->hbBox->IniSection(), "RenameFileHistory");
    EXPECT_EQ(ops().renameTaggedPage()->hbBox->IniSection(), "RenameAllTaggedFilesHistory");

    current("a.txt");
    press(list(), Qt::Key_R);
    ASSERT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->currentWidget(), page);
    EXPECT_EQ(page->caption(), "Rename file(s) to:");
    EXPECT_EQ(page->text(), "a.txt");
    EXPECT_TRUE(page->hbBox->lineEdit()->hasSelectedText());
    EXPECT_TRUE(page->hbBox->hasFocus());

    // F3 cycles the case of the box.
    press(page->hbBox, Qt::Key_F3);
    EXPECT_EQ(page->text(), "a.txt");
    press(page->hbBox, Qt::Key_F3);
    EXPECT_EQ(page->text(), "A.txt");
    page->toolButton(1)->click();
    EXPECT_EQ(page->text(), "A.TXT");

    // F2: the extended file specification of Utils.so replaces the text on OK.
    {
        ScopedEnv plugins("ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR);
        OnModalShown([](QWidget* dialog) {
            auto* masks = dialog->findChild<QLineEdit*>("edMasks");
            ASSERT_NE(masks, nullptr);
            masks->setText("*.log");
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        press(page->hbBox, Qt::Key_F2);
        reactivate();
        EXPECT_EQ(page->text(), "*.LOG");
        EXPECT_TRUE(prompter.texts().empty());
    }

    // Esc leaves everything as it was.
    page->hbBox->lineEdit()->selectAll();
    type(page->hbBox, "x.txt");
    // (the first Esc may only take back what was typed)
    for (int i = 0; i < 2 && strip->isVisible(); ++i)
        press(page->hbBox, Qt::Key_Escape);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(tmp.at("d/a.txt"))));

    press(list(), Qt::Key_R);
    type(page->hbBox, "first.txt");
    press(page->hbBox, Qt::Key_Return);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_EQ(ReadFile(tmp.at("d/first.txt")), "a");
    EXPECT_EQ(row(), "first.txt");
    EXPECT_EQ(fw().Record(fw().Current())->FullName(), "D:\\first.txt");
    EXPECT_EQ(page->hbBox->Items().front(), "first.txt");
    EXPECT_TRUE(logHas(" Rename file: D:\\a.txt to D:\\first.txt\r\n"));

    // The tagged files: Ctrl+R, an empty box, one group entry.
    for (int i = 0; i < fw().Count(); ++i)
        fw().Record(i)->SetTagged(fw().Text(i) != "c.doc");
    TCommandPrompt* tagged = ops().renameTaggedPage();
    press(list(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(strip->currentWidget(), tagged);
    EXPECT_EQ(tagged->text(), "");
    type(tagged->hbBox, "*.bak");
    tagged->bbOK->click();
    idle();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(tmp.at("d/first.bak"))));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(tmp.at("d/b.bak"))));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(tmp.at("d/c.doc"))));
    EXPECT_TRUE(logHas(" Rename 2 file(s) to *.bak\r\n"));
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_FALSE(form->MainStatusBar->stopShown());
}

TEST_F(OpsGui, AttributesByKeysAndTheSelectDialog) {
    TFileAttrPage* page = form->tagging().fileAttrPage();
    current("b.txt");
    press(list(), Qt::Key_A);
    ASSERT_EQ(form->ZenPageControl->currentWidget(), page);
    EXPECT_EQ(page->caption(), "Change attributes: ");
    EXPECT_EQ(form->tagging().model().AttributeMode(), 0);

    // F2: "Select attributes ..." starts from the box and gives its text back.
    page->hbFilesAttrHistory->lineEdit()->selectAll();
    type(page->hbFilesAttrHistory, "+h-a");
    EXPECT_EQ(page->text(), "+H-A");
    QString title;
    int archive = -1;
    int hidden = -1;
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TAttributesForm*>(dialog);
        ASSERT_NE(f, nullptr);
        title = f->windowTitle();
        archive = f->rgArchive->ItemIndex();
        hidden = f->rgHidden->ItemIndex();
        f->btnDefault->click();
        f->rgReadOnly->SetItemIndex(0);
        f->rgHidden->SetItemIndex(1);
        f->bbOK->click();
    });
    press(page->hbFilesAttrHistory, Qt::Key_F2);
    reactivate();
    EXPECT_EQ(title, "Select attributes ...");
    EXPECT_EQ(archive, 2); // "Unset"
    EXPECT_EQ(hidden, 0);  // "Set"
    EXPECT_EQ(page->text(), "+A+R-S");

    press(page->hbFilesAttrHistory, Qt::Key_Return);
    EXPECT_FALSE(form->ZenPageControl->isVisible());
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_EQ(modeOf(tmp.at("d/b.txt")), 0444u);
    EXPECT_EQ(fw().Record(fw().Current())->Attributes(), 0x21);
    EXPECT_TRUE(logHas(" Change attributes for file: D:\\b.txt to +A+R-S\r\n"));
    EXPECT_EQ(page->hbFilesAttrHistory->Items().front(), "+A+R-S");

    // 0 toggles to archive alone and back; Shift+0 pastes what it saved.
    press(list(), Qt::Key_0);
    EXPECT_EQ(modeOf(tmp.at("d/b.txt")), 0644u);
    current("c.doc");
    press(list(), Qt::Key_0, Qt::ShiftModifier);
    EXPECT_EQ(modeOf(tmp.at("d/c.doc")), 0444u);
    EXPECT_EQ(fw().Record(fw().Current())->Attributes(), 0x21);
    current("b.txt");
    press(list(), Qt::Key_0);
    EXPECT_EQ(modeOf(tmp.at("d/b.txt")), 0444u);

    // Ctrl+A for the tagged files.
    for (int i = 0; i < fw().Count(); ++i)
        fw().Record(i)->SetTagged(true);
    press(list(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(page->caption(), "Attributes of all tagged files: ");
    page->hbFilesAttrHistory->lineEdit()->selectAll();
    type(page->hbFilesAttrHistory, "-R");
    page->bbFileAttrOK->click();
    idle();
    for (const char* name : {"a.txt", "b.txt", "c.doc"})
        EXPECT_EQ(modeOf(tmp.at(std::string("d/") + name)), 0644u) << name;
    EXPECT_TRUE(logHas(" Change attributes for 3 file(s) to -R\r\n"));

    // The page still tags by attributes in its other modes.
    EXPECT_TRUE(form->menus().runCommand("miFileTagAllbyAttrsClick"));
    EXPECT_EQ(page->caption(), "Attributes of files to tag:");
    page->bbFileAttrCancel->click();
}

TEST_F(OpsGui, NewDateAndTimeByKeysAndTheCalendar) {
    tmp.touch("d/a.txt", 1000000000);
    form->RelogDir();
    form->FillMainListBox();
    focusList();
    current("a.txt");
    TCommandPrompt* page = ops().dateTimePage();
    EXPECT_EQ(page->hbBox->IniSection(), "DateTimeHistory");
    press(list(), Qt::Key_N);
    ASSERT_EQ(form->ZenPageControl->currentWidget(), page);
    EXPECT_EQ(page->caption(), "New file(s) date/time:");
    EXPECT_EQ(page->text(), "09.09.2001 01:46:40");

    // F2: the calendar writes the chosen date and keeps the time.
    press(page->hbBox, Qt::Key_F2);
    QCalendarWidget* calendar = ops().calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2001, 9, 9));
    calendar->setSelectedDate(QDate(2024, 1, 2));
    press(calendar->findChild<QAbstractItemView*>(), Qt::Key_Return);
    EXPECT_EQ(ops().calendar(), nullptr);
    EXPECT_EQ(page->text(), "02.01.2024 01:46:40");

    // A date the locale does not write so: the mask message, the prompt stays.
    page->hbBox->lineEdit()->selectAll();
    type(page->hbBox, "2024-01-02");
    press(page->hbBox, Qt::Key_Return);
    EXPECT_EQ(prompter.texts().back(),
              "Invalid date input!     \r\nCorrect mask is: dd.MM.yy HH:mm");
    EXPECT_TRUE(page->isVisible());

    page->hbBox->lineEdit()->selectAll();
    type(page->hbBox, "02.01.2024 13:05:03");
    press(page->hbBox, Qt::Key_Return);
    struct stat st {};
    ::stat(tmp.at("d/a.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1704200703);
    EXPECT_NE(fw().CurrentFile().date.find("13:05:03"), std::string::npos);
    EXPECT_TRUE(logHas(" Change date/time for file: D:\\a.txt to 02.01.2024 13:05:03\r\n"));

    // Ctrl+N for the tagged files: one group entry.
    fw().Record(fw().Current())->SetTagged(true);
    press(list(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(page->text(), "");
    type(page->hbBox, "03.01.2024 00:00:00");
    press(page->hbBox, Qt::Key_Return);
    ::stat(tmp.at("d/a.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1704240000);
    EXPECT_TRUE(logHas(" Change date/time for 1 file(s) to 03.01.2024 00:00:00\r\n"));
}

TEST_F(OpsGui, EveryItemIsLive) {
    for (const char* name : {"miRenameSingleFile", "miRenameTaggedFiles", "miAttributesSingleFile",
                             "miAttributesTaggedFiles", "miToggleFileAttrs", "miPasteFileAttrs",
                             "miFileDate", "miFileTaggDateTime"}) {
        QAction* action = form->menus().action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
    // With nothing tagged the tagged commands say so.
    EXPECT_TRUE(form->menus().runCommand("miFileTaggDateTimeClick"));
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"There are no tagged files to operate with!     "});
}

TEST_F(OpsGui, TheWatchDogFollowsTheOptionsAndLogsTheTreesRename) {
    // Switched off in the options dialog: nothing is logged any more.
    OnModalShown([](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_NE(options, nullptr);
        options->btnWDDeselectAll->click();
        options->btnOK->click();
    });
    EXPECT_TRUE(form->menus().runCommand("miZentrixPropertiesClick"));
    reactivate();
    EXPECT_FALSE(form->watchDog().WatchDogWants(WDOperation::RenameDirectory));
    OnModalShown([](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_NE(options, nullptr);
        options->lbWatchDog->item(12)->setCheckState(Qt::Checked);
        options->cbWDEnabled->setChecked(true);
        options->btnOK->click();
    });
    EXPECT_TRUE(form->menus().runCommand("miZentrixPropertiesClick"));
    reactivate();
    EXPECT_TRUE(form->watchDog().WatchDogWants(WDOperation::RenameDirectory));
    EXPECT_FALSE(form->watchDog().WatchDogWants(WDOperation::RenameFile));

    // The tree's label edit writes its entry; a protected directory asks first.
    settings.WinRenameDir = true;
    settings.WindowsDir = "D:\\Pictures\\";
    TTreeNode* pictures = form->logger().FindNodeByPath("D:\\Pictures\\");
    cat->Tree().Select(pictures);
    prompter.answer(true);
    form->MainTreeView->edit(form->treeModel().indexOf(pictures));
    ASSERT_TRUE(form->treeController().editing());
    EXPECT_EQ(
        prompter.questions(),
        std::vector<std::string>{"Renaming this directory could cause Windows to malfunction! "
                                 "Continue anyway?     "});
    QWidget* editor = form->MainTreeView->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Photos");
    QTest::keyClick(editor, Qt::Key_Return);
    idle();
    EXPECT_EQ(pictures->Text(), "Photos");
    EXPECT_TRUE(logHas(" Rename directory from D:\\Pictures to D:\\Photos\r\n")) << log();

    // A log that cannot be written says so on the status line, and the work is done.
    settings.WDFilePath = "D:\\missing\\";
    settings.WatchDogOperations.fill(true);
    form->ApplyConfirmedOptions(settings);
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
    form->FillMainListBox();
    focusList();
    current("c.doc");
    press(list(), Qt::Key_R);
    type(ops().renameFilePage()->hbBox, "d.doc");
    press(ops().renameFilePage()->hbBox, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(tmp.at("d/d.doc"))));
    EXPECT_NE(form->MainStatusBar->hint().indexOf("WATCHDOG.LOG"), -1)
        << form->MainStatusBar->hint().toStdString();
}

TEST_F(OpsGui, DeleteByKeysAndMenu) {
    tmp.mkdir("xdg");
    ScopedEnv data("XDG_DATA_HOME", tmp.at("xdg"));
    for (const char* name : {"miDeleteSingleFile", "miDeleteTaggedFiles"}) {
        QAction* action = form->menus().action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }

    // D: to the trash after the confirmation; the row goes, the log says so.
    current("a.txt");
    prompter.answer(true);
    press(list(), Qt::Key_D);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Delete file: D:\\a.txt"});
    EXPECT_EQ(ReadFile(tmp.at("xdg/Trash/files/a.txt")), "a");
    EXPECT_EQ(row(), "b.txt");
    EXPECT_TRUE(logHas(" Delete file: D:\\a.txt\r\n"));

    // The Delete key does the same, for good in mode 1.
    settings.DeleteType = 1;
    prompter.clear();
    prompter.answer(true);
    press(list(), Qt::Key_Delete);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Delete file: D:\\b.txt"});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(tmp.at("d/b.txt"))));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(tmp.at("xdg/Trash/files/b.txt"))));

    // Ctrl+D: the tagged files, none asked one by one.
    fw().Record(fw().Current())->SetTagged(true);
    prompter.clear();
    prompter.answer(false);
    press(list(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Confirm delete for each file?"});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(tmp.at("d/c.doc"))));
    EXPECT_EQ(fw().Count(), 0);
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_TRUE(form->MainTreeView->hasFocus());
}

TEST_F(OpsGui, WipeModesRemoveOnlyTheNameOfAFileWithOtherNames) {
    // Other names of the same data outside the drive: a backup, a snapshot.
    ASSERT_EQ(::link(tmp.at("d/a.txt").c_str(), tmp.at("backup-a.txt").c_str()), 0);
    ASSERT_EQ(::link(tmp.at("d/b.txt").c_str(), tmp.at("backup-b.txt").c_str()), 0);
    ::chmod(tmp.at("d/b.txt").c_str(), 0444);
    const std::string other = "\r\nIts data has 1 other name (hard links): only this name is "
                              "removed, and the data is not wiped.";
    settings.DeleteType = 4;
    current("a.txt");
    prompter.answer(true).answer(true);
    press(list(), Qt::Key_D);
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{"Delete file: D:\\a.txt",
                                                              "Delete file: D:\\a.txt" + other}));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(tmp.at("d/a.txt"))));
    EXPECT_EQ(ReadFile(tmp.at("backup-a.txt")), "a");

    // Tagged, in mode 2 (which truncates): the same question, and Cancel
    // leaves the file alone. The shared mode is not touched either.
    settings.DeleteType = 2;
    settings.SkipDeleteSpecialAttrOption = true;
    current("b.txt");
    fw().Record(fw().Current())->SetTagged(true);
    prompter.clear();
    prompter.answer(false).answer(false).answer(false);
    press(list(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(
        prompter.questions(),
        (std::vector<std::string>{"Confirm delete for each file?", "Delete file: D:\\b.txt" + other,
                                  "Can't delete file: D:\\b.txt     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "b");
    EXPECT_EQ(modeOf(tmp.at("backup-b.txt")), 0444u);
    prompter.clear();
    prompter.answer(false).answer(true);
    press(list(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(tmp.at("d/b.txt"))));
    EXPECT_EQ(ReadFile(tmp.at("backup-b.txt")), "b");
    EXPECT_EQ(modeOf(tmp.at("backup-b.txt")), 0444u);
}

TEST_F(OpsGui, DeletingThroughALinkIntoAnotherMountUsesThatMountsTrash) {
    TmpfsMount mnt(tmp.at("mnt"));
    if (!mnt.mounted())
        GTEST_SKIP() << mnt.reason();
    tmp.mkdir("xdg");
    ScopedEnv data("XDG_DATA_HOME", tmp.at("xdg"));
    tmp.write("mnt/deep/dir/x.txt", "x");
    tmp.symlink(tmp.at("mnt/deep/dir"), "d/linked");
    form->logger().RelogDir();
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\linked\\"));
    form->logger().LogDirBranch();
    form->FillMainListBox();
    idle();
    focusList();
    current("x.txt");
    prompter.answer(true);
    press(list(), Qt::Key_D);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Delete file: D:\\linked\\x.txt"});
    const std::string trash = tmp.at("mnt/.Trash-" + std::to_string(::getuid()));
    EXPECT_EQ(ReadFile(trash + "/files/x.txt"), "x");
    EXPECT_NE(ReadFile(trash + "/info/x.txt.trashinfo").find("\nPath=deep/dir/x.txt\n"),
              std::string::npos);
    EXPECT_FALSE(Exists(tmp.at("mnt/deep/dir/x.txt")));
    EXPECT_FALSE(Exists(tmp.at("mnt/deep/dir/.Trash-" + std::to_string(::getuid()))));
}

TEST_F(OpsGui, ANameWithALineBreakCannotForgeALineOfTheWatchDogLog) {
    settings.DeleteType = 1;
    // A name cannot hold the "/" of a date; the forged line makes do without.
    const std::string name = "x\r\n24-01-02 13:05:03 Delete file: innocent.txt";
    tmp.write("d/" + name, "x");
    form->logger().RelogDir();
    form->FillMainListBox();
    idle();
    current(name);
    prompter.answer(true);
    press(list(), Qt::Key_D);
    EXPECT_FALSE(Exists(tmp.at("d/" + name)));
    EXPECT_TRUE(logHas(" Delete file: D:\\x\xE2\x90\x8D\xE2\x90\x8A"
                       "24-01-02 13:05:03 Delete file: innocent.txt\r\n"))
        << log();
    EXPECT_FALSE(logHas("\n24-01-02")) << log();
}

TEST_F(OpsGui, VirtualRootsAndNetworkDisksFromTheMenus) {
    for (const char* name : {"miMakeRoot", "miRemoveRoot", "miConnect", "miDisconnect"}) {
        QAction* action = form->menus().action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
    // Ctrl+M on the tree: D:\Pictures becomes the first free letter.
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\Pictures\\"));
    form->MainTreeView->setFocus();
    idle();
    prompter.answerText("F:");
    press(form->MainTreeView, Qt::Key_M, Qt::ControlModifier);
    ASSERT_NE(drives->Find('F'), nullptr);
    EXPECT_EQ(drives->Find('F')->root, tmp.at("d/Pictures"));
    ASSERT_NE(form->logger().FindNodeByPath("F:\\"), nullptr);

    // Ctrl+R on F: asked, then gone from the drives and the tree.
    cat->Tree().Select(form->logger().FindNodeByPath("F:\\"));
    form->MainTreeView->setFocus();
    idle();
    prompter.clear();
    prompter.answer(true);
    press(form->MainTreeView, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Remove virtual root F: ?"});
    EXPECT_EQ(drives->Find('F'), nullptr);
    EXPECT_EQ(form->logger().FindNodeByPath("F:\\"), nullptr);

    // Map and unmap, with gio missing from the PATH: the user is told why.
    ScopedEnv path("PATH", tmp.at("home"));
    prompter.clear();
    prompter.answerText("");
    OnModalShown([](QWidget* dialog) {
        auto* status = dialog->findChild<QLabel*>("lbNetworkStatus");
        ASSERT_TRUE(QTest::qWaitFor([status] { return !status->text().startsWith("Reading"); }));
        EXPECT_EQ(status->text(), "Browsing the network needs gio (package libglib2.0-bin).");
        dialog->findChild<QLineEdit*>("edAddress")->setText("smb://server/share");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(form->menus().action("miConnect"));
    form->menus().action("miConnect")->trigger();
    reactivate();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                    "Enter password (if required):",
                                    "Mapping a network disk needs gio (package libglib2.0-bin)."}));
    // No network disk to unmap: nothing to choose, and Cancel says nothing.
    prompter.clear();
    OnModalShown([](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QListWidget*>("lbNetworkDisks")->count(), 0);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        EXPECT_FALSE(buttons->button(QDialogButtonBox::Ok)->isEnabled());
        buttons->button(QDialogButtonBox::Cancel)->click();
    });
    ASSERT_TRUE(form->menus().action("miDisconnect"));
    form->menus().action("miDisconnect")->trigger();
    reactivate();
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(OpsGui, NetworkDisksAreMappedAndUnmappedWithTheirButtons) {
    GioStandIn gio;
    gio.list("network:///",
             GioListLine("network:///server%3Dfiles", "shortcut", "files", "smb://files/"));
    gio.list("smb://files/",
             GioListLine("smb://files/public", "shortcut", "public", "smb://files/public"));
    auto* sbConnect = form->findChild<QToolButton*>("sbConnect");
    auto* sbDisconnect = form->findChild<QToolButton*>("sbDisconnect");
    ASSERT_NE(sbConnect, nullptr);
    ASSERT_NE(sbDisconnect, nullptr);
    EXPECT_TRUE(sbConnect->isVisible() && sbConnect->isEnabled());
    EXPECT_TRUE(sbDisconnect->isVisible() && sbDisconnect->isEnabled());
    EXPECT_EQ(sbConnect->toolTip(), "Map a network disk ...");
    EXPECT_EQ(sbDisconnect->toolTip(), "Unmap a network disk ...");
    const auto settingsFile = [this] {
        return ReadFile(tmp.at("home/registry.ini"));
    };

    // The browser shows what gio sees; a server is no disk.
    OnModalShown([](QWidget* dialog) {
        auto* tree = dialog->findChild<QTreeWidget*>("tvNetwork");
        ASSERT_NE(tree, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([tree] { return tree->topLevelItemCount() == 1; }));
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "files");
        tree->setCurrentItem(tree->topLevelItem(0));
        EXPECT_EQ(dialog->findChild<QLineEdit*>("edAddress")->text(), "smb://files/");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    sbConnect->click();
    reactivate();
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Must select a shared disk resource!     "});

    // Opening the server lists its shares; the share is mapped to C and logged.
    OnModalShown([](QWidget* dialog) {
        auto* tree = dialog->findChild<QTreeWidget*>("tvNetwork");
        ASSERT_TRUE(QTest::qWaitFor([tree] { return tree->topLevelItemCount() == 1; }));
        QTreeWidgetItem* server = tree->topLevelItem(0);
        tree->expandItem(server);
        ASSERT_TRUE(QTest::qWaitFor([server] {
            return server->childCount() == 1 && server->child(0)->text(0) == "public";
        }));
        tree->setCurrentItem(server->child(0));
        QTest::keyClick(tree, Qt::Key_Return);
    });
    prompter.clear();
    prompter.answerText("pw");
    sbConnect->click();
    reactivate();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Enter password (if required):"});
    EXPECT_EQ(ReadFile(gio.dir.at("stdin")), "pw\n");
    ASSERT_NE(drives->Find('C'), nullptr);
    EXPECT_EQ(drives->Find('C')->root, gio.dir.at("share"));
    EXPECT_NE(form->logger().FindNodeByPath("C:\\"), nullptr);
    EXPECT_NE(settingsFile().find("\\NetworkDisks]\nC=smb://files/public\n"), std::string::npos)
        << settingsFile();

    // The other button lists the mapped disk with its address and unmaps it.
    OnModalShown([](QWidget* dialog) {
        auto* disks = dialog->findChild<QListWidget*>("lbNetworkDisks");
        ASSERT_NE(disks, nullptr);
        ASSERT_EQ(disks->count(), 1);
        EXPECT_EQ(disks->item(0)->text(), "C:  smb://files/public");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    prompter.clear();
    sbDisconnect->click();
    reactivate();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(drives->Find('C'), nullptr);
    EXPECT_NE(ReadFile(gio.dir.at("calls")).find("mount -u " + gio.dir.at("share")),
              std::string::npos);
    EXPECT_EQ(settingsFile().find("C=smb://files/public"), std::string::npos);

    // A failed unmap is said; Cancel says nothing.
    prompter.answerText("");
    gio.dir.write("unmount-fails");
    OnModalShown([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("edAddress")->setText("sftp://box/home");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    sbConnect->click();
    reactivate();
    ASSERT_NE(drives->Find('C'), nullptr);
    OnModalShown([](QWidget* dialog) {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    sbDisconnect->click();
    reactivate();
    EXPECT_EQ(prompter.texts().back(), "Error unmapping a network disk!     ");
    const size_t shown = prompter.texts().size();
    OnModalShown([](QWidget* dialog) {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    sbDisconnect->click();
    reactivate();
    EXPECT_EQ(prompter.texts().size(), shown);
    EXPECT_NE(drives->Find('C'), nullptr);
}

namespace {

// The window as the program makes it: its questions in real message boxes.
class OwnBoxesGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("d/" + kName, "minutes");
        state.currentDisk = 'D';
        settings.ShowMemStat = false;
        makeDrives("D=" + tmp.at("d"));
        form = std::make_unique<TMainForm>(*cat, state, settings, *drives, nullptr);
        showActive();
        form->Start({});
        form->logger().LogDirBranch();
        cat->Tree().Select(form->logger().FindNodeByPath("D:\\"));
        form->FillMainListBox();
        idle();
    }

    const std::string kName = "minutes.txt<br><br><b>This file is write-protected and will NOT be "
                              "deleted.<br>Press OK to keep it";
};

} // namespace

TEST_F(OwnBoxesGui, ANameInAQuestionIsShownAsItIsNeverAsMarkup) {
    ASSERT_NO_FATAL_FAILURE(focusList());
    ASSERT_EQ(fw().Count(), 1);
    fw().SetCurrent(0);
    list()->setCurrentIndex(0);
    idle();
    Qt::TextFormat format = Qt::RichText;
    QString text;
    OnModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        format = box->textFormat();
        text = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    QTest::keyClick(list(), Qt::Key_D);
    idle();
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(text.toStdString(), "Delete file: D:\\" + kName);
    EXPECT_EQ(ReadFile(tmp.at("d/" + kName)), "minutes");
}

TEST_F(OpsGui, MappingAShareThatNeverAnswersCanBeStoppedAndNoQuestionIsLeftOpen) {
    GioStandIn gio;
    auto* sbConnect = form->findChild<QToolButton*>("sbConnect");
    ASSERT_NE(sbConnect, nullptr);
    const auto typeAddress = [](const char* address) {
        OnModalShown([address](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("edAddress")->setText(address);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    };

    // A server that never answers: the window says so and stays usable; Cancel ends it.
    gio.dir.write("asks", "Hang");
    bool waitShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* wait = form->findChild<TWaitForm*>();
        if (!wait || !wait->isVisible())
            return;
        waitShown = true;
        watch.stop();
        EXPECT_EQ(wait->labelText(), "Connecting to smb://slow/share ...");
        for (QPushButton* button : wait->findChildren<QPushButton*>())
            if (button->text() == "Cancel")
                button->click();
    });
    watch.start(20);
    typeAddress("smb://slow/share");
    prompter.clear();
    prompter.answerText("pw");
    sbConnect->click();
    reactivate();
    EXPECT_TRUE(waitShown);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Enter password (if required):"});
    EXPECT_EQ(drives->Find('C'), nullptr);

    // Each question gets its own answer: the user from the address, the
    // domain gio suggests, then the password; none goes where another belongs.
    gio.dir.write("asks", "User Domain Password");
    typeAddress("smb://ann@files/public");
    prompter.clear();
    prompter.answerText("pw");
    sbConnect->click();
    reactivate();
    EXPECT_EQ(ReadFile(gio.dir.at("stdin")), "ann\n\npw\n");
    ASSERT_NE(drives->Find('C'), nullptr);

    // Without a user in the address the user is asked, gio's suggestion offered.
    ::unlink(gio.dir.at("stdin").c_str());
    typeAddress("smb://files/other");
    prompter.clear();
    prompter.answerText("pw").answerText("bob");
    sbConnect->click();
    reactivate();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Enter password (if required):",
                                                          "User name for smb://files/other:"}));
    EXPECT_EQ(prompter.lastInputDefault(), "standin");
    EXPECT_EQ(ReadFile(gio.dir.at("stdin")), "bob\n\npw\n");

    // A question nobody can answer here ends gio at once, and the user is told.
    gio.dir.write("asks", "HostKey");
    typeAddress("sftp://newhost/home");
    prompter.clear();
    prompter.answerText("pw");
    sbConnect->click();
    reactivate();
    ASSERT_EQ(prompter.texts().size(), 2u);
    EXPECT_EQ(prompter.texts()[1].rfind("gio asked what cannot be answered here:", 0), 0u)
        << prompter.texts()[1];
    EXPECT_NE(prompter.texts()[1].find("Choice:"), std::string::npos);
}
