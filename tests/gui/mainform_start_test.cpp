// The main window as the program starts it, twice on one settings file where a
// fault shows only at the second start.
#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "config/settings.h"
#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "core/appstate.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/app/tmainform.h"
#include "gui/app/zentrixapp.h"
#include "gui/disks/tloggeddrivestabset.h"
#include "gui/errors/exceptionreporter.h"
#include "gui/errors/texceptorform.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tree/thetreeview.h"
#include "guitestapp.h"
#include "platform/drivetable.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class MainFormStartTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    std::unique_ptr<AppState> state;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<ExceptionReporter> reporter;
    std::vector<std::string> reported;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        GuiApp();
        tmp.mkdir("home");
        ::setenv("ZENTRIX_HOME", tmp.at("home").c_str(), 1);
        for (const char* d : {"d/Documents/Letters", "d/Music/Jazz", "d/Pictures", "e/sub"})
            tmp.mkdir(d);
        tmp.write("d/readme.txt", "hello");
        useDrives("D=" + tmp.at("d") + ";E=" + tmp.at("e"));
    }
    void TearDown() override {
        form.reset();
        ::unsetenv("ZENTRIX_HOME");
    }

    void useDrives(const std::string& spec) {
        form.reset();
        drives = std::make_unique<platform::DriveTable>(platform::DriveTable::FromSpec(spec, {}));
    }

    /// A start of the program: the settings as the store has them, the window
    /// placed, shown and started.
    void start(StartupOptions options = {}, char currentDisk = 'D') {
        form.reset();
        cat = std::make_unique<Catalogue>(*drives);
        state = std::make_unique<AppState>();
        state->currentDisk = currentDisk;
        settings = Settings{};
        {
            TEnhIniFile store(SettingsIniName());
            LoadSettings(store, settings, SettingsEnvironment::FromDrives(*drives));
            if (options.logDrivesAtStartup.empty())
                options.logDrivesAtStartup = LoadLogDrivesAtStartup(store);
        }
        settings.ShowHintsAtStartUp = settings.ShowQuotesAtStartUp = false;
        form = std::make_unique<TMainForm>(*cat, *state, settings, *drives, &prompter);
        reporter = std::make_unique<ExceptionReporter>(tmp.at("home/ERRORS.LOG"));
        reporter->resetMainWindow = [this] {
            form->ResetAfterError();
        };
        reporter->afterReport = [this] {
            form->AfterErrorReport();
        };
        reporter->showForm = [this](TExceptorForm& f) {
            reported.push_back(f.lb_Error->text().toStdString());
        };
        ShowMainWindow(*form, options, *reporter);
        idle();
    }
    /// Leaves through "E&xit" without the question.
    void quit() {
        settings.SkipQuitOption = true;
        form->QuitZentrix();
        form.reset();
    }
    void idle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    int storedInt(const std::string& section, const std::string& key) {
        return TEnhIniFile(SettingsIniName()).ReadInteger(section, key, -1);
    }
    void store(const std::string& section, const std::string& key, int value) {
        TEnhIniFile s(SettingsIniName());
        s.WriteInteger(section, key, value);
        s.UpdateFile();
    }
    int fiveRows() const { return 5 * form->fileWindow().model().ItemHeight(); }
};

} // namespace

TEST_F(MainFormStartTest, TheSecondStartShowsTreeAndFileWindowAsTheyWereLeft) {
    start();
    ASSERT_EQ(form->scHorizontal->sizes().size(), 2);
    const int total = form->scHorizontal->sizes()[0] + form->scHorizontal->sizes()[1];
    ASSERT_GT(total, 180 + fiveRows());
    form->scHorizontal->setSizes({180, total - 180});
    quit();
    EXPECT_EQ(storedInt("scHorizontal", "pnMainTreeViewHeight"), 180);

    start();
    EXPECT_EQ(form->pnMainTreeView->height(), 180);
    EXPECT_GE(form->fileWindow().MainListBox->viewport()->height(), fiveRows());
    quit();
    EXPECT_EQ(storedInt("scHorizontal", "pnMainTreeViewHeight"), 180);
}

TEST_F(MainFormStartTest, StoredSizesBeyondScreenAndLayoutAreCutBackAndSavedSo) {
    store("MainForm", "PlaceWindowHeight", 99999);
    store("MainForm", "PlaceWindowWidth", 99999);
    store("MainForm", "PlaceWindowX", -5000);
    store("scVertical", "StatisticsPanelWidth", 99999);
    store("scHorizontal", "pnMainTreeViewHeight", 99999);
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(form->height(), screen.height());
    EXPECT_LE(form->width(), screen.width());
    EXPECT_TRUE(screen.contains(form->geometry().topLeft()));
    // The tree and the file window stay beside the statistics, and the file
    // window keeps its five rows below the tree.
    EXPECT_GE(form->MainPanel->width(), 200);
    EXPECT_GE(form->StatisticsPanel->width(), 200);
    EXPECT_GE(form->fileWindow().MainListBox->viewport()->height(), fiveRows());
    EXPECT_GT(form->MainTreeView->height(), 0);
    const int rows = fiveRows();
    quit();
    EXPECT_LE(storedInt("MainForm", "PlaceWindowHeight"), screen.height());
    EXPECT_GE(storedInt("MainForm", "PlaceWindowX"), screen.left());
    EXPECT_LT(storedInt("scVertical", "StatisticsPanelWidth"), screen.width() - 200);
    EXPECT_LT(storedInt("scHorizontal", "pnMainTreeViewHeight"), screen.height() - rows);

    // Nothing stored below the window's minimum either.
    store("MainForm", "PlaceWindowWidth", 10);
    store("MainForm", "PlaceWindowHeight", 10);
    start();
    EXPECT_EQ(form->size(), QSize(630, 470));
}

TEST_F(MainFormStartTest, WithLargeIconsTheFileWindowKeepsFiveOfItsRows) {
    TEnhIniFile s(SettingsIniName());
    s.WriteInteger("Options", "FileDisplayOption", 1);
    s.WriteInteger("Options", "LargeIconSize", 48);
    s.UpdateFile();
    start();
    ASSERT_EQ(form->fileWindow().model().ItemHeight(), 51);
    form->resize(700, 600);
    idle();
    const int total = form->scHorizontal->sizes()[0] + form->scHorizontal->sizes()[1];
    form->scHorizontal->setSizes({total, 0}); // the bar dragged to the bottom
    emit form->scHorizontal->splitterMoved(total, 1);
    idle();
    EXPECT_GE(form->fileWindow().MainListBox->viewport()->height(), 5 * 51);
}

TEST_F(MainFormStartTest, ARelativeStartDirectoryIsTakenFromTheCurrentDirectory) {
    char before[4096];
    ASSERT_TRUE(::getcwd(before, sizeof before));
    ASSERT_EQ(::chdir(tmp.at("d/Music").c_str()), 0);
    start({{"."}, {}});
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Music\\");
    start({{"Jazz"}, {}});
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Music\\Jazz\\");
    start({{"../Documents/./Letters"}, {}});
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Documents\\Letters\\");
    EXPECT_TRUE(prompter.texts().empty());
    ASSERT_EQ(::chdir(before), 0);
}

// The command line's directory as a desktop or a user gives it: "~", a path
// with blanks (in one argument or split into several), or one that no drive
// holds, which is said with the path and the reason.
TEST_F(MainFormStartTest, AStartDirectoryGivenAsALinuxPathOpensItsDrivesDirectory) {
    tmp.mkdir("d/My Music/Live Sets");
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", tmp.at("d").c_str(), 1);
    start({{"~/Music/Jazz"}, {}});
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Music\\Jazz\\");
    start({{tmp.at("d/My"), "Music/Live", "Sets"}, {}});
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\My Music\\Live Sets\\");
    EXPECT_TRUE(prompter.texts().empty());
    start({{"/nowhere/x"}, {}});
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "});
    EXPECT_EQ(prompter.shown()[0].informative,
              "/nowhere/x: no drive letter stands for a directory that holds it");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(MainFormStartTest, TheTreeHasTheFocusAndTheBarItsMenusWhenTheWindowFirstShows) {
    // Shown without being made active, as a window manager may do: the bar is
    // made up for the tree all the same.
    cat = std::make_unique<Catalogue>(*drives);
    state = std::make_unique<AppState>();
    state->currentDisk = 'D';
    form = std::make_unique<TMainForm>(*cat, *state, settings, *drives, &prompter);
    form->setAttribute(Qt::WA_ShowWithoutActivating);
    ExceptionReporter quiet(tmp.at("home/ERRORS.LOG"));
    ShowMainWindow(*form, {}, quiet);
    idle();
    EXPECT_EQ(form->focusWidget(), form->MainTreeView);
    EXPECT_EQ(form->menus().barMenus(),
              (QStringList{"miZentrix", "miDirectory", "miVolume", "miTools", "miHelp"}));
}

TEST_F(MainFormStartTest, AStartDriveThatIsNotReadyLeavesAUsableWindow) {
    useDrives("C=" + tmp.at("gone") + ";D=" + tmp.at("d"));
    prompter.answer(false); // "Disk not ready!": Cancel
    prompter.answer(true);  // "Release disk C ???"
    start({}, 'C');
    EXPECT_EQ(prompter.texts().front(), "Disk not ready!     ");
    // The drive that is there is logged instead, and everything shows it.
    ASSERT_EQ(cat->Tree().TopCount(), 1);
    EXPECT_EQ(cat->Tree().Top(0)->Text(), "D:\\");
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(form->CurrDirLabel->text(), "D:\\");
    EXPECT_EQ(form->LoggedDrivesTabSet->count(), 1);
    EXPECT_EQ(form->LoggedDrivesTabSet->tabText(0), "D");
    EXPECT_EQ(form->windowTitle(), "Zentrix 1.0");
}

TEST_F(MainFormStartTest, WhatIsWrongWithTheDriveVariableIsOnTheStatusLine) {
    useDrives("D=" + tmp.at("d") + ";F=/etc/passwd;G=docs");
    start();
    const QString hint = form->MainStatusBar->hint();
    EXPECT_TRUE(hint.contains("F=/etc/passwd")) << hint.toStdString();
    EXPECT_TRUE(hint.contains("G=docs")) << hint.toStdString();
    EXPECT_EQ(cat->Tree().TopCount(), 1);
}

TEST_F(MainFormStartTest, AFailureDuringTheStartIsReportedAndTheWindowGoesOn) {
    // Logging the start drive fails half-way (here: where it notes the
    // directory it read).
    cat = std::make_unique<Catalogue>(*drives);
    state = std::make_unique<AppState>();
    state->currentDisk = 'D';
    form = std::make_unique<TMainForm>(*cat, *state, settings, *drives, &prompter);
    int failures = 1;
    form->onRecentDir = [&failures](const std::string&) {
        if (failures-- > 0)
            throw std::runtime_error("No space left on device");
    };
    ExceptionReporter reporter(tmp.at("home/ERRORS.LOG"));
    reporter.resetMainWindow = [this] {
        form->ResetAfterError();
    };
    reporter.afterReport = [this] {
        form->AfterErrorReport();
    };
    reporter.showForm = [this](TExceptorForm& f) {
        reported.push_back(f.lb_Error->text().toStdString());
    };
    ShowMainWindow(*form, {{"D:\\Music"}, {}}, reporter);
    idle();
    ASSERT_EQ(reported, (std::vector<std::string>{"No space left on device"}));
    std::ifstream log(tmp.at("home/ERRORS.LOG"));
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("No space left on device"), std::string::npos);
    // The rest of the start went on: the start directory is open.
    EXPECT_TRUE(form->isVisible());
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Music\\");
    EXPECT_EQ(form->focusWidget(), form->MainTreeView);
}
