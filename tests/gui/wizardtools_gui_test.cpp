#include "catalogue/disklogger.h"
#include "config/menushortcuts.h"
#include "config/tenhinifile.h"
#include "filewindow/filewindow.h"
#include "filewindow/tagwizard.h"
#include "gui/app/mainmenubar.h"
#include "gui/config/tcommandbuttonspage.h"
#include "gui/config/toolscontroller.h"
#include "gui/config/toptionsform.h"
#include "gui/config/tshortcutspage.h"
#include "gui/config/ttoolspage.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/thotkeyedit.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tagging/tagwizardcontroller.h"
#include "gui/tagging/ttagwizardform.h"
#include "gui/tree/thetreeview.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <set>
#include <sstream>

using namespace zentrix;
using namespace zentrix::test;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A file name a shell would take apart.
const std::string kHostile = "it's \"q\" $HOME;touch pwned`id`.txt";

/// The real main window over a drive D with a small tree, started as the
/// program starts.
class WizardToolsGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("d/top.txt", "t");
        tmp.write("d/docs/a.txt", "a");
        tmp.write("d/docs/b.doc", "b");
        tmp.write("d/docs/sub/c.txt", "c");
        tmp.write("d/other/x.txt", "x");
        tmp.mkdir("d/empty");
        tmp.write("d/" + kHostile, "h");
        state.currentDisk = 'D';
        settings.ShowMemStat = false;
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d")));
        form->Start({});
        idle();
    }

    std::set<std::string> tagged() {
        std::set<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs())
            for (const TFileClass* f : d->FileList())
                if (f->Tagged())
                    out.insert(f->FullName());
        return out;
    }
    std::set<std::string> shown() {
        std::set<std::string> out;
        for (const TFileClass* f : fw().Records())
            out.insert(f->FullName());
        return out;
    }
    /// Calls `trigger` and works the first modal window that it opens with
    /// `action`; false when none opened.
    bool onModal(const std::function<void()>& trigger,
                 const std::function<void(QWidget*)>& action) {
        bool seen = false;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                watch.stop();
                seen = true;
                action(modal);
                if (modal->isVisible())
                    modal->close();
            }
        });
        watch.start();
        trigger();
        idle();
        return seen;
    }
    /// The directory selected in the tree and shown in the file window.
    void showDirectory(const std::string& path) {
        ASSERT_TRUE(form->logger().GoToDirPath(path));
        cat->Tree().Select(form->logger().FindNodeByPath(path));
        form->fileWindow().FillMainListBox();
        idle();
    }
    void focusTree() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->MainTreeView->setFocus();
        idle();
        ASSERT_EQ(QApplication::focusWidget(), form->MainTreeView);
    }
    /// Runs the wizard with Ctrl+F12 on the tree; `fill` works the window.
    void wizard(const std::function<void(TTagWizardForm&)>& fill) {
        focusTree();
        EXPECT_TRUE(onModal(
            [this] { QTest::keyClick(form->MainTreeView, Qt::Key_F12, Qt::ControlModifier); },
            [&](QWidget* modal) {
                auto* w = qobject_cast<TTagWizardForm*>(modal);
                ASSERT_NE(w, nullptr);
                fill(*w);
            }));
    }
    /// Opens the options dialog with `open` and works it with `fill`.
    void options(const std::function<void()>& open,
                 const std::function<void(TOptionsForm&)>& fill) {
        EXPECT_TRUE(onModal(open, [&](QWidget* modal) {
            auto* o = qobject_cast<TOptionsForm*>(modal);
            ASSERT_NE(o, nullptr);
            fill(*o);
        }));
    }
    bool run(const std::string& command) { return form->menus().runCommand(command); }
    static QTreeWidgetItem* leaf(QTreeWidget* tree, const QString& text) {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : found)
            if (item->childCount() == 0)
                return item;
        return nullptr;
    }
};

} // namespace

TEST_F(WizardToolsGui, TheWizardClearsOldTagsAndShowsWhatItsCriteriaTag) {
    // A first run tags the other directory.
    wizard([](TTagWizardForm& w) {
        w.hbDir->setEditText("D:\\other");
        w.btnAdd->click();
        ASSERT_EQ(w.lbCriteria->count(), 1);
        w.btnRun->click();
    });
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\other\\x.txt"}));

    // The second: the docs branch, text files only, saved as a template on the way.
    wizard([](TTagWizardForm& w) {
        w.hbDir->setEditText("D:\\docs");
        w.cbRecurseDir->setChecked(true);
        w.cbFileSpec->setChecked(true);
        w.hbFileSpec->setEditText("*.txt");
        w.btnAdd->click();
        w.btnAdd->click();
        ASSERT_EQ(w.lbCriteria->count(), 1) << "the same criterion is listed once";
        w.pcWizard->setCurrentWidget(w.tsTemplates);
        w.edTemplateName->setText("Options");
        w.btnTemplAdd->click();
        w.edTemplateName->setText("Work");
        w.btnTemplAdd->click();
        w.btnRun->click();
    });
    const std::set<std::string> docsText{"D:\\docs\\a.txt", "D:\\docs\\sub\\c.txt"};
    EXPECT_EQ(tagged(), docsText) << "the earlier tag is gone";
    EXPECT_EQ(state.scope, 5);
    EXPECT_EQ(shown(), docsText);

    // A template may not take the name of another section of the settings file;
    // under a name of its own it is stored.
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kTemplateNameTaken});
    TEnhIniFile& store = form->store();
    EXPECT_EQ(store.ReadString("Templates", "T0", ""), "Work");
    EXPECT_EQ(store.ReadString("Work", "C0", ""), "D:\\docs | Y | *.txt |  | ");
    EXPECT_FALSE(store.ValueExists("Options", "C0"));

    // Cancel and an empty list change nothing.
    wizard([](TTagWizardForm& w) { w.btnCancel->click(); });
    wizard([](TTagWizardForm& w) {
        EXPECT_EQ(w.lbTemplates->count(), 1);
        w.btnRun->click();
    });
    EXPECT_EQ(tagged(), docsText);
}

// A criterion's directory typed as a Linux path is kept as the drive's path;
// one that no drive holds is refused with the reason.
TEST_F(WizardToolsGui, AWizardDirectoryTypedAsALinuxPathIsItsDrivesDirectory) {
    setEnv("HOME", tmp.at("d"));
    const std::string other = tmp.at("d/other");
    wizard([&](TTagWizardForm& w) {
        w.hbDir->setEditText("/nowhere/at all");
        w.btnAdd->click();
        EXPECT_EQ(w.lbCriteria->count(), 0);
        w.hbDir->setEditText("~/docs");
        w.btnAdd->click();
        w.hbDir->setEditText(QString::fromStdString(other));
        w.btnAdd->click();
        ASSERT_EQ(w.lbCriteria->count(), 2);
        w.btnRun->click();
    });
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "});
    EXPECT_EQ(prompter.lastInformative(),
              "/nowhere/at all: no drive letter stands for a directory that holds it");
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\docs\\a.txt", "D:\\docs\\b.doc",
                                               "D:\\other\\x.txt"}));
}

TEST_F(WizardToolsGui, ATemplateWithoutCriteriaIsThereWhenTheWizardOpensAgain) {
    wizard([](TTagWizardForm& w) {
        ASSERT_EQ(w.lbCriteria->count(), 0);
        w.pcWizard->setCurrentWidget(w.tsTemplates);
        w.edTemplateName->setText("Empty for now");
        w.btnTemplAdd->click();
        w.edTemplateName->setText("Docs");
        w.btnTemplAdd->click();
        ASSERT_EQ(w.lbTemplates->count(), 2);
        w.btnCancel->click();
    });
    QStringList names;
    wizard([&](TTagWizardForm& w) {
        for (int i = 0; i < w.lbTemplates->count(); ++i)
            names << w.lbTemplates->item(i)->text();
        w.btnCancel->click();
    });
    EXPECT_EQ(names, (QStringList{"Empty for now", "Docs"}));
}

TEST_F(WizardToolsGui, AToolAddedOnItsPageRunsWithHostileFileNamesAsPlainArguments) {
    // A program whose path holds a blank, recording its arguments and the
    // directory it ran in.
    const std::string script = tmp.at("my tools/rec.sh");
    tmp.write("my tools/rec.sh",
              "#!/bin/sh\n"
              "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > args.tmp\n"
              "mv args.tmp args.out\n");
    ::chmod(script.c_str(), 0755);
    const std::string hostile = kHostile;
    form->logger().GoToDirPath("D:\\");
    idle();

    options([this] { ASSERT_TRUE(run("miToolsOptions2Click")); },
            [&](TOptionsForm& o) {
                ASSERT_EQ(o.currentPage(), TOptionsForm::Page::Tools);
                TToolsPage& page = *o.tsTools;
                page.edToolCmdLine->setText(QString::fromStdString(script + " %f %n"));
                EXPECT_TRUE(page.btnToolAdd->isEnabled());
                page.edToolHint->setText("Recorder");
                page.btnToolAdd->click();
                ASSERT_EQ(page.lvTools->topLevelItemCount(), 1);
                o.btnOK->click();
            });
    EXPECT_EQ(form->store().ReadInteger("UserTools", "ToolsCount", 0), 1);

    // The Tools menu and the tools bar offer it.
    QAction* item = form->findChild<QAction*>("miUserTool0");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Recorder");
    EXPECT_EQ(item->statusTip().toStdString(), script + " %f %n");
    ASSERT_EQ(form->toolsController().sbarTools->actions().size(), 1);
    EXPECT_FALSE(form->toolsController().sbarTools->isHidden());

    // The hostile file is the current one.
    int index = -1;
    for (int i = 0; i < fw().Count(); ++i)
        if (cat->HostPath(fw().Record(i)).value_or("") == tmp.at("d/" + hostile))
            index = i;
    ASSERT_GE(index, 0);
    fw().SetCurrent(index);

    item->trigger();
    const std::string out = tmp.at("my tools/args.out");
    QElapsedTimer waited;
    waited.start();
    while (!std::ifstream(out) && waited.elapsed() < 20000)
        QTest::qWait(20);
    const std::string name = std::string(fw().Record(index)->FileName());
    EXPECT_EQ(slurp(out), tmp.at("my tools") + "\n" + tmp.at("d/" + hostile) + "\n" + name + "\n");
    EXPECT_FALSE(std::ifstream(tmp.at("my tools/pwned.txt")));
}

TEST_F(WizardToolsGui, ACommandButtonRunsItsCommandAndTheBarFollowsItsSetting) {
    EXPECT_TRUE(form->toolsController().sbarDirButtons->isHidden());
    options([this] { ASSERT_TRUE(run("miDirToolBarOptionsClick")); },
            [&](TOptionsForm& o) {
                ASSERT_EQ(o.currentPage(), TOptionsForm::Page::DirButtons);
                TCommandButtonsPage& page = *o.tsDirButtons;
                QTreeWidgetItem* tagFiles = leaf(page.tvCommands, "Directory files");
                ASSERT_NE(tagFiles, nullptr);
                page.tvCommands->setCurrentItem(tagFiles);
                page.btnAddClick();
                page.btnAddClick();
                EXPECT_EQ(page.lbButtons->count(), 1) << "a command is listed once";
                EXPECT_TRUE(page.cbShowButtons->isChecked());
                o.btnOK->click();
            });
    EXPECT_TRUE(settings.ShowDirButtons);
    QToolBar* bar = form->toolsController().sbarDirButtons;
    EXPECT_FALSE(bar->isHidden());
    ASSERT_EQ(bar->actions().size(), 1);
    QAction* button = bar->actions().front();
    EXPECT_EQ(button->data().toInt(), 1);
    EXPECT_TRUE(form->store().ReadBinary({}, "CommandButtons"));

    form->logger().GoToDirPath("D:\\docs\\");
    idle();
    button->trigger();
    idle();
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\docs\\a.txt", "D:\\docs\\b.doc"}));

    // Taking the last button off unchecks the bar.
    options([this] { ASSERT_TRUE(run("miDirToolBarOptionsClick")); },
            [&](TOptionsForm& o) {
                TCommandButtonsPage& page = *o.tsDirButtons;
                page.lbButtons->setCurrentRow(0);
                page.btnDelClick();
                EXPECT_FALSE(page.cbShowButtons->isChecked());
                o.btnOK->click();
            });
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(bar->actions().isEmpty());
}

TEST_F(WizardToolsGui, AFileButtonGoesToTheFileWindowFirstAndBeepsWhenItIsEmpty) {
    options([this] { ASSERT_TRUE(run("miFileToolbarOptionsClick")); },
            [&](TOptionsForm& o) {
                ASSERT_EQ(o.currentPage(), TOptionsForm::Page::FileButtons);
                TCommandButtonsPage& page = *o.tsFileButtons;
                page.tvCommands->setCurrentItem(leaf(page.tvCommands, "All in window"));
                page.btnAddClick();
                o.btnOK->click();
            });
    QToolBar* bar = form->toolsController().sbarFileButtons;
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions().front()->data().toInt(), -1);

    showDirectory("D:\\empty\\");
    ASSERT_EQ(fw().Count(), 0);
    focusTree();
    bar->actions().front()->trigger();
    idle();
    EXPECT_EQ(prompter.beeps(), 1);

    showDirectory("D:\\other\\");
    ASSERT_EQ(fw().Count(), 1);
    focusTree();
    bar->actions().front()->trigger();
    idle();
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(tagged(), (std::set<std::string>{"D:\\other\\x.txt"}));
    EXPECT_TRUE(form->fileWindow().MainListBox->hasFocus());
}

TEST_F(WizardToolsGui, ShortcutsChangeAskBeforeTakingOneAndComeBackFromATemplate) {
    QAction* wizardItem = form->menus().action("miDirTagWizard");
    ASSERT_NE(wizardItem, nullptr);
    const QKeySequence ctrlF12(Qt::CTRL | Qt::Key_F12);
    const QKeySequence ctrlShiftW(Qt::CTRL | Qt::SHIFT | Qt::Key_W);
    const std::string kbd = tmp.at("mine.kbd");
    form->toolsController().config().chooseFile = [&](const QString&, const QString&,
                                                      const QString&, bool) {
        return QString::fromStdString(kbd);
    };

    auto onShortcuts = [&](const std::function<void(TShortCutsPage&)>& fill, bool ok) {
        options([this] { ASSERT_TRUE(run("miZentrixPropertiesClick")); },
                [&](TOptionsForm& o) {
                    o.pcOptions->setCurrentWidget(o.tsShortCuts);
                    EXPECT_EQ(o.btnOK->text(), "OK") << "no accelerators on this page";
                    fill(*o.tsShortCuts);
                    (ok ? o.btnOK : o.btnCancel)->click();
                });
    };

    // Changed, then taken back by Cancel.
    onShortcuts(
        [&](TShortCutsPage& page) {
            page.tvShortCuts->setCurrentItem(page.leafOf("miDirTagWizard"));
            page.hkShortCut->setHotKey(scCtrl | scShift | 'W');
            page.btnSCModify->click();
            EXPECT_EQ(wizardItem->shortcut(), ctrlShiftW);
        },
        false);
    EXPECT_EQ(wizardItem->shortcut(), ctrlF12);

    // A key another item of the same menu answers is asked about; No keeps both.
    prompter.answer(false);
    onShortcuts(
        [&](TShortCutsPage& page) {
            page.tvShortCuts->setCurrentItem(page.leafOf("miDirTagWizard"));
            page.hkShortCut->setHotKey(scCtrl | 'T');
            page.btnSCModify->click();
        },
        true);
    ASSERT_EQ(prompter.questions().size(), 1u);
    EXPECT_EQ(wizardItem->shortcut(), ctrlF12);

    // Changed with OK, saved as a template, put back to the default, loaded again.
    onShortcuts(
        [&](TShortCutsPage& page) {
            page.tvShortCuts->setCurrentItem(page.leafOf("miDirTagWizard"));
            page.hkShortCut->setHotKey(scCtrl | scShift | 'W');
            page.btnSCModify->click();
            page.btnSCSave->click();
            page.btnSCDefault->click();
            EXPECT_EQ(page.hkShortCut->HotKey(), scCtrl | (vk::F1 + 11));
        },
        true);
    EXPECT_EQ(wizardItem->shortcut(), ctrlF12);
    EXPECT_EQ(slurp(kbd).substr(0, 19), std::string("\x06\x11Shortcut template"));

    onShortcuts([&](TShortCutsPage& page) { page.btnSCLoad->click(); }, true);
    EXPECT_EQ(wizardItem->shortcut(), ctrlShiftW);

    // What OK stored comes back at the next start.
    form.reset();
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    form->Start({});
    EXPECT_EQ(form->menus().action("miDirTagWizard")->shortcut(), ctrlShiftW);
}

// Every item of the menus that names a command has a handler: nothing is greyed
// because its command is missing.
TEST_F(WizardToolsGui, NoMenuItemIsGreyedForLackOfAHandler) {
    std::set<std::string> missing;
    form->menus().table().forEach([&](const MenuItem& item) {
        if (!item.command.empty() && !item.hasItems() && !form->menus().hasCommand(item.command))
            missing.insert(item.command);
    });
    for (const std::string& command : missing)
        ADD_FAILURE() << command << " has no handler";
    for (const char* command :
         {"miDirTagWizardClick", "miToolsOptions2Click", "miDirToolBarOptionsClick",
          "miFileToolbarOptionsClick", "pmiWhat1Click", "pmiWhat2Click", "pmiWhat3Click"})
        EXPECT_FALSE(missing.count(command)) << command;
}
