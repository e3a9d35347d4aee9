#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "gui/config/optionshost.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/tradiogroup.h"
#include "gui/errors/exceptionreporter.h"
#include "platform/drivetable.h"
#include "platform/shellintegration.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <fstream>

using namespace zentrix;
using zentrix::test::ScriptedPrompter;
using zentrix::test::TempDir;

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new GuardedApplication(argc, argv);
}

struct RecordingHost : OptionsHost {
    std::vector<std::string> calls;
    void ApplyDescriptionColumn(bool show) override {
        calls.push_back(show ? "desc:on" : "desc:off");
    }
    void ApplyConfirmedOptions(const Settings&) override { calls.push_back("confirmed"); }
    void SaveMenuShortcuts() override { calls.push_back("saveshortcuts"); }
    void ReloadMenuShortcuts() override { calls.push_back("reloadshortcuts"); }
    void ShowHelpTopic(int topic, bool popup) override {
        calls.push_back("help:" + std::to_string(topic) + (popup ? ":popup" : ""));
    }
};

// A program home, a settings file, drives and the collaborators of the dialog,
// all in a temporary directory.
class OptionsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        dir.mkdir("c");
        dir.mkdir("d");
        dir.mkdir("n");
        dir.mkdir("prog");
        dir.mkdir("logs");
        saveEnv("ZENTRIX_HOME", dir.at("prog"));
        saveEnv("XDG_DATA_HOME", dir.at("data"));
        saveEnv("ZENTRIX_A11Y_IDS", "1");
        drives = platform::DriveTable::FromSpec(
            "C=" + dir.path() + ":fixed:SYSTEM;D=" + dir.at("d") + ":cdrom:DISC;N=" + dir.at("n") +
                ":network:\\\\server\\share",
            {});
        env = SettingsEnvironment::FromDrives(drives);
        ctx = std::make_unique<OptionsContext>(
            OptionsContext{settings, userTypes, drives, prompter, env, "Zentrix.INI",
                           dir.at("registry.ini"), nullptr, &host, "/opt/zentrix/zentrix"});
    }

    void TearDown() override {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

    void saveEnv(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }

    /// Writes settings to the store and loads them back as the dialog's opener
    /// leaves them; returns what was loaded.
    Settings store(const Settings& s, const std::array<bool, 15>& flags = {},
                   const std::vector<std::string>& logDrives = {}) {
        TEnhIniFile ini("Zentrix.INI", dir.at("registry.ini"));
        Settings copy = s;
        SaveSettings(ini, copy);
        SaveWatchDogOperations(ini, flags);
        SaveLogDrivesAtStartup(ini, logDrives);
        ini.UpdateFile();
        Settings loaded;
        LoadSettings(ini, loaded, env);
        loaded.WatchDogOperations = flags;
        loaded.LogDrivesAtStartup = logDrives;
        settings = loaded;
        return loaded;
    }

    static std::vector<bool> checks(QListWidget* list) {
        std::vector<bool> out;
        for (int i = 0; i < list->count(); ++i)
            out.push_back(list->item(i)->checkState() == Qt::Checked);
        return out;
    }

    TempDir dir;
    platform::DriveTable drives;
    SettingsEnvironment env;
    Settings settings;
    std::vector<std::string> userTypes{"Text files (*.TXT *.DOC)"};
    ScriptedPrompter prompter;
    RecordingHost host;
    std::unique_ptr<OptionsContext> ctx;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST_F(OptionsFormTest, CancelPutsBackEverySetting) {
    Settings start;
    start.WDEnabled = true;
    start.WDFilePath = "C:\\logs\\";
    std::array<bool, 15> flags{};
    flags[0] = flags[7] = flags[14] = true;
    const Settings expected = store(start, flags, {"C SYSTEM"});

    TOptionsForm form(*ctx);
    form.setFileChooser(
        [&](const QString&, const QString&) { return QString::fromStdString(dir.at("c/editor")); });
    form.setDirectoryChooser([&](const QString&) { return QString::fromStdString(dir.at("d")); });
    // Change every control of every page.
    for (QCheckBox* box : form.findChildren<QCheckBox*>())
        if (box != form.cbShellExt && box->isEnabled())
            box->click();
    for (TRadioGroup* group : form.findChildren<TRadioGroup*>())
        group->SetItemIndex((group->ItemIndex() + 1) % group->Count());
    form.seSmallIconSize->setValue(30);
    form.seLargeIconSize->setValue(60);
    form.seWDFSize->setValue(900);
    form.trLogDrivePrecision->setValue(7);
    form.btnWDDeselectAll->click();
    form.lbWatchDog->item(3)->setCheckState(Qt::Checked);
    form.btnDrivesSelectAll->click();
    form.lbSounds->setCurrentRow(4);
    form.btnChooseSound->click();  // takes effect at once
    form.btnBrowseEditor->click(); // takes effect at once
    form.btnBrowseViewer->click();
    form.btnWDBrowse->click();
    form.edExtDescription->setText("Pictures");
    form.edExtSpecification->setText("*.png");
    form.btnExtAdd->click();
    EXPECT_EQ(settings.ChosenSound, "SystemQuestion");
    EXPECT_NE(settings.AssociatedFileEditor, expected.AssociatedFileEditor);

    form.btnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(settings, expected);
    EXPECT_EQ(userTypes, std::vector<std::string>{"Text files (*.TXT *.DOC)"});
    EXPECT_EQ(host.calls, std::vector<std::string>{"reloadshortcuts"});
    TEnhIniFile ini("Zentrix.INI", dir.at("registry.ini"));
    EXPECT_EQ(LoadWatchDogOperations(ini), flags);
    EXPECT_EQ(LoadUserExt(ini), std::vector<std::string>{});
}

TEST_F(OptionsFormTest, OkWritesTheControlsAndTheLists) {
    store(Settings{}, {}, {});
    {
        TOptionsForm form(*ctx, TOptionsForm::Page::View);
        EXPECT_EQ(form.pcOptions->currentWidget()->objectName(), "tsView");
        form.rgFileDisplay->SetItemIndex(3);
        form.rgFileSort->SetItemIndex(2);
        form.cbReverseSort->click();
        form.cbShowFileDesc->click(); // off
        form.cbSkipQuit->click();     // no confirmation before quitting any more
        form.seWDFSize->setValue(2500);
        form.lbWatchDog->item(2)->setCheckState(Qt::Checked);
        form.cbWDEnabled->click();
        form.lbLogDrives->item(1)->setCheckState(Qt::Checked);
        form.edExtDescription->setText("Pictures");
        form.edExtSpecification->setText("*.png *.jpg");
        form.btnExtAdd->click();
        form.btnOK->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(host.calls, (std::vector<std::string>{"desc:off", "saveshortcuts", "confirmed"}));
    EXPECT_EQ(settings.FileDisplayOption, 3);
    EXPECT_TRUE(settings.SkipQuitOption);
    EXPECT_EQ(userTypes,
              (std::vector<std::string>{"Text files (*.TXT *.DOC)", "Pictures (*.PNG *.JPG)"}));

    TEnhIniFile ini("Zentrix.INI", dir.at("registry.ini"));
    EXPECT_EQ(ini.ReadString("Options", "FileDisplayOption", ""), "3");
    EXPECT_EQ(ini.ReadString("Options", "FileSortOption", ""), "2");
    EXPECT_EQ(ini.ReadString("Options", "SortOrder", ""), "1");
    EXPECT_EQ(ini.ReadString("Options", "ShowFileDescOption", ""), "0");
    EXPECT_EQ(ini.ReadString("Options", "SkipQuitOption", ""), "1");
    EXPECT_EQ(ini.ReadString("Options", "SkipPruneOption", ""), "0");
    EXPECT_EQ(ini.ReadString("WatchDogOptions", "WDFileSize", ""), "2500");
    EXPECT_EQ(ini.ReadString("WatchDogOptions", "WDEnabled", ""), "1");
    EXPECT_EQ(ini.ReadString("WatchDogOperations", "FO2", ""), "1");
    EXPECT_EQ(ini.ReadString("WatchDogOperations", "FO3", ""), "0");
    EXPECT_EQ(LoadUserExt(ini), userTypes);
    EXPECT_EQ(LoadLogDrivesAtStartup(ini), std::vector<std::string>{"N \\\\server\\share"});
    EXPECT_EQ(ini.ReadSection("LogDrivesAtStartup"), std::vector<std::string>{"LogDrive0"});
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(OptionsFormTest, RecycleBinDeletionIsCompensatedInMinimumMode) {
    store(Settings{}, {}, {});
    TOptionsForm form(*ctx);
    form.rgCompatibility->SetItemIndex(0);
    form.rgFileDeletion->SetItemIndex(0);
    form.btnOK->click();
    EXPECT_EQ(settings.DeleteType, 1);
    EXPECT_EQ(settings.Compatibility, 0);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Warn);
    EXPECT_EQ(prompter.shown()[0].text, "Delete type compensated with compatibility mode.     ");
    TEnhIniFile ini("Zentrix.INI", dir.at("registry.ini"));
    EXPECT_EQ(ini.ReadInteger("Options", "DeleteType", -1), 1);
}

TEST_F(OptionsFormTest, ConfirmationBoxesShowTheInverseOfTheSkipSettings) {
    Settings s;
    s.SkipPruneOption = true;
    s.SkipEjectCDROMOption = true;
    store(s);
    TOptionsForm form(*ctx, TOptionsForm::Page::Confirmation);
    for (QCheckBox* box : form.findChildren<QCheckBox*>()) {
        if (!box->objectName().startsWith("cbSkip"))
            continue;
        const bool skipped = box == form.cbSkipPrune || box == form.cbSkipEjectCDROM;
        EXPECT_EQ(box->isChecked(), !skipped) << box->objectName().toStdString();
    }
    form.cbSkipPrune->click(); // ask again before pruning
    form.cbSkipProtected->click();
    form.btnOK->click();
    EXPECT_FALSE(settings.SkipPruneOption);
    EXPECT_TRUE(settings.SkipProtectedOption);
    EXPECT_TRUE(settings.SkipEjectCDROMOption);
}

TEST_F(OptionsFormTest, UserFileTypesAreEditedByTheirRules) {
    store(Settings{});
    TOptionsForm form(*ctx, TOptionsForm::Page::Extensions);
    form.show();
    EXPECT_FALSE(form.btnExtAdd->isEnabled());
    QTest::keyClicks(form.edExtDescription, "Web (pages)");
    EXPECT_EQ(form.edExtDescription->text(), "Web pages");
    EXPECT_FALSE(form.btnExtAdd->isEnabled());
    QTest::keyClicks(form.edExtSpecification, "*.htm (*.html)");
    EXPECT_TRUE(form.btnExtAdd->isEnabled());
    EXPECT_TRUE(form.btnExtModify->isEnabled());
    form.btnExtAdd->click();
    ASSERT_EQ(form.lbUserExt->count(), 2);
    EXPECT_EQ(form.lbUserExt->item(1)->text(), "Web pages (*.HTM *.HTML)");
    EXPECT_TRUE(form.edExtDescription->text().isEmpty());
    EXPECT_TRUE(form.edExtSpecification->text().isEmpty());

    // The same entry again, typed in another case: a beep and nothing added.
    form.edExtDescription->setText("Web pages");
    form.edExtSpecification->setText("*.htm *.html");
    form.btnExtAdd->click();
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(form.lbUserExt->count(), 2);

    // Selecting an entry fills the fields; Modify rewrites the selected ones.
    form.lbUserExt->setCurrentRow(0);
    EXPECT_EQ(form.edExtDescription->text(), "Text files");
    EXPECT_EQ(form.edExtSpecification->text(), "*.TXT *.DOC");
    form.edExtSpecification->setText("*.txt");
    form.btnExtModify->click();
    EXPECT_EQ(form.lbUserExt->item(0)->text(), "Text files (*.TXT)");

    form.lbUserExt->selectAll();
    form.btnExtDelete->click();
    EXPECT_EQ(form.lbUserExt->count(), 0);
}

TEST_F(OptionsFormTest, AutoPlayFollowsTheQuickViewBox) {
    store(Settings{});
    TOptionsForm form(*ctx);
    EXPECT_FALSE(form.cbQuickView->isChecked());
    EXPECT_FALSE(form.cbAutoPlay->isEnabled());
    form.cbQuickView->click();
    EXPECT_TRUE(form.cbAutoPlay->isEnabled());
    form.cbQuickView->click();
    EXPECT_FALSE(form.cbAutoPlay->isEnabled());
}

TEST_F(OptionsFormTest, TheWatchDogCanOnlyBeOnWithAnOperationChecked) {
    Settings s;
    s.WDEnabled = true; // but no operation is logged
    store(s);
    TOptionsForm form(*ctx, TOptionsForm::Page::WatchDog);
    EXPECT_EQ(form.lbWatchDog->count(), 15);
    EXPECT_EQ(form.lbWatchDog->item(14)->text(), "Search file for text");
    EXPECT_FALSE(form.cbWDEnabled->isEnabled());
    EXPECT_FALSE(form.cbWDEnabled->isChecked());

    form.lbWatchDog->item(5)->setCheckState(Qt::Checked);
    EXPECT_TRUE(form.cbWDEnabled->isEnabled());
    form.cbWDEnabled->click();
    EXPECT_TRUE(form.cbWDEnabled->isChecked());
    form.lbWatchDog->item(5)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(form.cbWDEnabled->isEnabled());
    EXPECT_FALSE(form.cbWDEnabled->isChecked());

    form.btnWDSelectAll->click();
    EXPECT_EQ(checks(form.lbWatchDog), std::vector<bool>(15, true));
    EXPECT_TRUE(form.cbWDEnabled->isEnabled());
    form.btnWDDeselectAll->click();
    EXPECT_EQ(checks(form.lbWatchDog), std::vector<bool>(15, false));
    EXPECT_FALSE(form.cbWDEnabled->isEnabled());

    // The size runs from 100 to 9999 in steps of 100, and an empty box is 100.
    EXPECT_EQ(form.seWDFSize->minimum(), 100);
    EXPECT_EQ(form.seWDFSize->maximum(), 9999);
    EXPECT_EQ(form.seWDFSize->singleStep(), 100);
    form.show();
    form.seWDFSize->setValue(700);
    form.seWDFSize->setFocus();
    QTest::keyClick(form.seWDFSize, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.seWDFSize, Qt::Key_Backspace);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(form.seWDFSize, &out);
    EXPECT_EQ(form.seWDFSize->value(), 100);
    EXPECT_EQ(form.seWDFSize->text(), "100 KB");
}

TEST_F(OptionsFormTest, TheWatchDogFileCanBeViewedAndRemoved) {
    Settings s;
    s.WDFilePath = "C:\\logs\\";
    store(s);
    {
        TOptionsForm form(*ctx, TOptionsForm::Page::WatchDog);
        EXPECT_FALSE(form.btnViewWDFile->isEnabled());
        EXPECT_FALSE(form.btnRemoveWDFile->isEnabled());
    }
    dir.write("logs/WATCHDOG.LOG", "WATCHDOG.LOG - Zentrix WatchDog file created at now:\r\n");
    TOptionsForm form(*ctx, TOptionsForm::Page::WatchDog);
    EXPECT_EQ(form.lbWDFilePath->text(), "C:\\logs\\");
    ASSERT_TRUE(form.btnViewWDFile->isEnabled());
    ASSERT_TRUE(form.btnRemoveWDFile->isEnabled());

    QString viewed;
    form.setFileViewer([&](const QString& path) {
        viewed = path;
        return true;
    });
    form.btnViewWDFile->click();
    EXPECT_EQ(viewed.toStdString(), dir.at("logs/WATCHDOG.LOG"));
    EXPECT_TRUE(prompter.shown().empty());
    form.setFileViewer([](const QString&) { return false; });
    form.btnViewWDFile->click();
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Error viewing WatchDog file!     "});

    form.btnRemoveWDFile->click();
    EXPECT_FALSE(std::ifstream(dir.at("logs/WATCHDOG.LOG")).good());
    EXPECT_EQ(prompter.texts().back(), "WatchDog file successfuly removed!     ");
    EXPECT_FALSE(form.btnViewWDFile->isEnabled());
    EXPECT_FALSE(form.btnRemoveWDFile->isEnabled());
    form.btnRemoveWDFileClick(); // gone already
    EXPECT_EQ(prompter.texts().back(), "Failed to remove WatchDog file!     ");
}

TEST_F(OptionsFormTest, BrowsingTakesOnlyADirectoryThatCanBeEntered) {
    store(Settings{});
    TOptionsForm form(*ctx, TOptionsForm::Page::WatchDog);
    const QString before = form.lbWDFilePath->text();
    EXPECT_EQ(before.toStdString(), env.programDir);
    QString startedAt;
    form.setDirectoryChooser([&](const QString& start) {
        startedAt = start;
        return QString::fromStdString(dir.at("missing"));
    });
    form.btnWDBrowse->click();
    EXPECT_EQ(startedAt.toStdString(), dir.at("prog"));
    EXPECT_EQ(form.lbWDFilePath->text(), before);

    form.setDirectoryChooser(
        [&](const QString&) { return QString::fromStdString(dir.at("logs")); });
    form.btnWDBrowse->click();
    EXPECT_EQ(form.lbWDFilePath->text(), "C:\\logs\\");
    form.btnOK->click();
    EXPECT_EQ(settings.WDFilePath, "C:\\logs\\");
}

TEST_F(OptionsFormTest, TheDisksPageListsFixedAndNetworkDisks) {
    store(Settings{}, {}, {"n whatever was stored"});
    TOptionsForm form(*ctx, TOptionsForm::Page::Disks);
    ASSERT_EQ(form.lbLogDrives->count(), 2);
    EXPECT_EQ(form.lbLogDrives->item(0)->text(), "C SYSTEM");
    EXPECT_EQ(form.lbLogDrives->item(1)->text(), "N \\\\server\\share");
    EXPECT_EQ(checks(form.lbLogDrives), (std::vector<bool>{false, true}));
    form.btnDrivesSelectAll->click();
    EXPECT_EQ(checks(form.lbLogDrives), (std::vector<bool>{true, true}));
    form.btnDrivesDeselectAll->click();
    EXPECT_EQ(checks(form.lbLogDrives), (std::vector<bool>{false, false}));
}

TEST_F(OptionsFormTest, TheShellIntegrationBoxActsAtOnceAndStays) {
    store(Settings{});
    TOptionsForm form(*ctx);
    EXPECT_FALSE(form.cbShellExt->isChecked());
    form.cbShellExt->click();
    ASSERT_TRUE(platform::ShellIntegrationExists());
    std::ifstream entry(platform::ShellIntegrationFile());
    std::string text((std::istreambuf_iterator<char>(entry)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Exec=\"/opt/zentrix/zentrix\" %f"), std::string::npos);

    form.btnCancel->click(); // Cancel does not undo it
    EXPECT_TRUE(platform::ShellIntegrationExists());
    TOptionsForm again(*ctx);
    EXPECT_TRUE(again.cbShellExt->isChecked());
    again.cbShellExt->click();
    EXPECT_FALSE(platform::ShellIntegrationExists());
}

TEST_F(OptionsFormTest, SoundsAndProgramsShowWhatWasChosen) {
    store(Settings{});
    TOptionsForm form(*ctx, TOptionsForm::Page::Sounds);
    EXPECT_EQ(form.lbSounds->count(), 6);
    EXPECT_EQ(form.lbChosenSound->text(), "SystemDefault");
    EXPECT_EQ(form.lbSounds->currentItem()->text(), "SystemDefault");
    form.lbSounds->setCurrentRow(3);
    form.btnChooseSound->click();
    EXPECT_EQ(form.lbChosenSound->text(), "SystemHand");
    EXPECT_EQ(settings.ChosenSound, "SystemHand");

    EXPECT_EQ(form.lbEditorPath->text(), "/etc/NOTEPAD.EXE"); // no drive holds /etc here
    EXPECT_EQ(form.lbEditorDesc->text(), "NOTEPAD.EXE");
    QString caption;
    form.setFileChooser([&](const QString& c, const QString&) {
        caption = c;
        return QString::fromStdString(dir.at("c/bin/viewer"));
    });
    form.btnBrowseViewer->click();
    EXPECT_EQ(caption, "Searching for viewer ...");
    EXPECT_EQ(settings.AssociatedFileViewer, "C:\\c\\bin\\viewer");
    EXPECT_EQ(form.lbViewerPath->text(), "C:\\c\\bin\\viewer");
    EXPECT_EQ(form.lbViewerDesc->text(), "viewer");
}

TEST_F(OptionsFormTest, HelpFollowsThePage) {
    store(Settings{});
    TOptionsForm form(*ctx, TOptionsForm::Page::Sort);
    form.btnHelp->click();
    form.pcOptions->setCurrentIndex(8); // WatchDog
    form.btnHelp->click();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"help:31", "help:43"}));
}

TEST_F(OptionsFormTest, EveryControlIsNamedForPeopleAndTools) {
    store(Settings{});
    TOptionsForm form(*ctx);
    for (const char* name :
         {"rgFileDisplay", "rgFileSort", "rgFileDeletion", "rgCompatibility", "cbShowFileDesc",
          "cbShellExt", "lbLogDrives", "seWDFSize", "lbWatchDog", "trLogDrivePrecision",
          "cbSkipDisconnectNet", "cbUseDefEditor", "lbSounds", "btnOK"}) {
        auto* widget = form.findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->accessibleDescription(), name);
    }
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->objectName().startsWith("qt_"))
            continue; // the parts Qt builds inside its own widgets
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QPushButton*>(w) ||
            qobject_cast<QListWidget*>(w) || qobject_cast<QSpinBox*>(w) ||
            qobject_cast<QLineEdit*>(w) || qobject_cast<QSlider*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
            EXPECT_FALSE(w->accessibleName().contains('&')) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(form.cbSkipRemoveRoot->accessibleName(), "Removing virtual root");
}
