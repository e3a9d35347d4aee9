#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/search/searchcontroller.h"
#include "gui/search/tdirinfopage.h"
#include "gui/search/tfinderpage.h"
#include "gui/search/tsearchstringspage.h"
#include "gui/search/tspacemapview.h"
#include "gui/search/tstatchart.h"
#include "gui/tree/thetreeview.h"
#include "ops/twdlist.h"
#include "support/mainwindowfixture.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class SearchWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("d/notes/a.txt", "the quick brown fox");
        tmp.write("d/notes/b.TXT", "THE QUICK BROWN FOX");
        tmp.write("d/notes/c.log", "nothing here");
        tmp.write("d/notes/deep/d.txt", std::string(3000, 'x') + "fox");
        tmp.write("d/other/e.txt", "no animals" + std::string(990, '.'));
        tmp.mkdir("e");
        state.currentDisk = 'D';
        makeDrives("D=" + tmp.at("d") + ";E=" + tmp.at("e"));
        makeForm();
        form->show();
        form->Start({{"D:\\notes"}, {}});
        idle();
    }
    void TearDown() override { closeWindow(); }

    void idle() override {
        MainWindowFixture::idle();
        form->IdleHandler();
    }
    SearchController& search() { return form->search(); }
    TFinderPage* finder() { return search().finderPage(); }
    TDirInfoPage* info() { return search().dirInfoPage(); }
    QAction* action(const char* name) { return form->menus().action(name); }
    /// Ctrl+F in the tree: "Find file ...".
    void pressFindFile() {
        form->MainTreeView->setFocus();
        QTest::keyClick(form->MainTreeView, Qt::Key_F, Qt::ControlModifier);
    }
    /// Lets the workers' calls run until neither worker object is left.
    void waitForWorkers() {
        QElapsedTimer timer;
        timer.start();
        while ((search().finderAlive() || search().dirInfoAlive()) && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(search().finderAlive());
        ASSERT_FALSE(search().dirInfoAlive());
    }
    QStringList results() {
        QStringList out;
        for (int i = 0; i < finder()->lbFindResults->count(); ++i)
            out << finder()->lbFindResults->item(i)->text();
        out.sort();
        return out;
    }
    std::vector<std::string> windowTexts() {
        FileWindow& fw = form->fileWindow().model();
        std::vector<std::string> out;
        for (int i = 0; i < fw.Count(); ++i)
            out.emplace_back(fw.Text(i));
        return out;
    }
};

} // namespace

TEST_F(SearchWindowTest, EveryCommandOfTheseMenusIsLiveAndThePagesAreThere) {
    for (const char* name : {"miDirFindFile", "miFileFindFile", "pmiFindFile", "miDirStatistics",
                             "miSearchTaggedFilesForString", "pmiDirInfo"}) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    }
    ASSERT_EQ(form->DirPageControl->count(), 3);
    EXPECT_EQ(form->DirPageControl->tabText(1), "Info");
    EXPECT_EQ(form->DirPageControl->tabText(2), "Finder");
    EXPECT_TRUE(form->DirPageControl->tabBar()->isVisible());
}

TEST_F(SearchWindowTest, FindFileOpensTheFinderOnTheSelectedDirectoryAndFindsByNameAndText) {
    // Ctrl+F in the tree is the directory menu's "Find file ...".
    form->MainTreeView->setFocus();
    QTest::keyClick(form->MainTreeView, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(form->DirPageControl->currentWidget(), finder());
    EXPECT_EQ(finder()->hcbFindStartDir->currentText(), "D:\\notes\\");
    EXPECT_EQ(finder()->hcbFindPatterns->currentText(), "*.*");
    EXPECT_EQ(finder()->CurrFileFindDirLabel->text(), "D:\\notes\\");
    EXPECT_TRUE(finder()->dlbFindDisks->item(0)->isSelected()); // D:
    EXPECT_FALSE(finder()->dlbFindDisks->item(1)->isSelected());
    EXPECT_EQ(finder()->btnFindFile->text(), "&Find");

    finder()->hcbFindPatterns->setEditText("*.txt *.log");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_EQ(results(), (QStringList{"D:\\notes\\a.txt", "D:\\notes\\b.TXT", "D:\\notes\\c.log",
                                      "D:\\notes\\deep\\d.txt"}));
    EXPECT_EQ(finder()->lbFindCount->text(), "4");
    // The Finder page is up and the tree panel shown: only the sound, no box.
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(state.finderState, AppState::kIdle);

    // By contents, without regard to case, across the whole of a file.
    finder()->cbMatchEnable->setChecked(true);
    finder()->hcbFindMatchString->setEditText("fox");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_EQ(results(),
              (QStringList{"D:\\notes\\a.txt", "D:\\notes\\b.TXT", "D:\\notes\\deep\\d.txt"}));
    finder()->cbMatchCaseSensitive->setChecked(true);
    finder()->hcbFindMatchString->setEditText("FOX");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_EQ(results(), (QStringList{"D:\\notes\\b.TXT"}));

    // An empty match string searches by name and unchecks the box.
    finder()->hcbFindMatchString->setEditText("");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_FALSE(finder()->cbMatchEnable->isChecked());
    EXPECT_EQ(results().size(), 4);

    // Elsewhere the completion is told in a box.
    form->DirPageControl->setCurrentIndex(0);
    EXPECT_EQ(finder()->btnFindFile->text(), "Find");
    search().btnFindFileClick(); // its button is on the hidden page: the handler itself
    waitForWorkers();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"File find completed! 4 files found."}));
}

// Start directories typed as Linux paths are searched as their drives'
// directories; one that no drive holds stops the search before it starts.
TEST_F(SearchWindowTest, TheFinderStartsInLinuxPathsThroughTheirDrives) {
    setEnv("HOME", tmp.at("d"));
    pressFindFile();
    finder()->hcbFindStartDir->setEditText("~/notes/deep;" + QString::fromStdString(tmp.at("d/other")));
    EXPECT_TRUE(finder()->dlbFindDisks->item(0)->isSelected());
    finder()->hcbFindPatterns->setEditText("*.txt");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_EQ(results(), (QStringList{"D:\\notes\\deep\\d.txt", "D:\\other\\e.txt"}));

    finder()->hcbFindStartDir->setEditText("D:\\notes;/nowhere/at all");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    EXPECT_EQ(state.finderState, AppState::kIdle);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "});
    EXPECT_EQ(prompter.lastInformative(),
              "/nowhere/at all: no drive letter stands for a directory that holds it");
    EXPECT_EQ(results().size(), 2); // the last results stay
}

TEST_F(SearchWindowTest, TheFinderResultsGoToTheFileWindow) {
    pressFindFile();
    finder()->hcbFindStartDir->setEditText("D:\\");
    finder()->hcbFindPatterns->setEditText("*.txt");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    waitForWorkers();
    ASSERT_EQ(results().size(), 4);
    QTest::mouseClick(finder()->btnFindFillResults, Qt::LeftButton);
    idle();
    EXPECT_EQ(state.scope, 8);
    std::vector<std::string> texts = windowTexts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"a.txt", "b.TXT", "d.txt", "e.txt"}));
    EXPECT_EQ(cat->ResultFiles.front(), "D:\\NOTES\\A.TXT"); // sorted, upper case

    // Selected results dropped on the file window replace its result list.
    state.scope = 1;
    auto* data = new QMimeData;
    data->setData("application/x-zentrix-find-results", "D:\\other\\e.txt");
    const QPoint at = form->fileWindow().MainListBox->mapTo(form.get(), QPoint(10, 10));
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    idle();
    EXPECT_EQ(state.scope, 8);
    EXPECT_EQ(windowTexts(), (std::vector<std::string>{"e.txt"}));
    delete data;
}

TEST_F(SearchWindowTest, StopKeepsThePartialResultsAndSaysSo) {
    for (int i = 0; i < 40; ++i)
        tmp.write("d/many/dir" + std::to_string(i) + "/f.txt", "x");
    // The third directory waits for the press, so even a fast machine cannot
    // finish the search first.
    std::atomic<int> entered{0};
    search().onFinderDirectory = [&](const std::string&) {
        if (++entered != 3)
            return;
        QElapsedTimer waited;
        waited.start();
        while (state.finderState != AppState::kStopping && waited.elapsed() < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    pressFindFile();
    finder()->hcbFindStartDir->setEditText("D:\\many");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    EXPECT_EQ(finder()->btnFindFile->isEnabled(), false); // starting: no clicks taken
    QElapsedTimer timer;
    timer.start();
    while (entered < 3 && timer.elapsed() < 10000)
        QCoreApplication::processEvents();
    ASSERT_EQ(state.finderState, AppState::kRunning);
    QCoreApplication::processEvents();
    EXPECT_EQ(finder()->btnFindFile->text(), "&Stop");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    EXPECT_FALSE(finder()->btnFindFile->isEnabled());
    waitForWorkers();
    EXPECT_LT(results().size(), 3);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Aborted. Partial results displayed.     "}));
    EXPECT_EQ(finder()->btnFindFile->text(), "&Find");
    EXPECT_TRUE(finder()->btnFindFile->isEnabled());
}

TEST_F(SearchWindowTest, AClickBetweenTheEndOfARunAndItsHandlingNeitherHangsNorRestarts) {
    // The worker says "idle" before its last status call reaches this thread;
    // a Find (or Stop) pressed in that moment once joined it and hung.
    pressFindFile();
    finder()->hcbFindStartDir->setEditText("D:\\");
    finder()->hcbFindPatterns->setEditText("*.txt");
    for (int round = 0; round < 5; ++round) {
        QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
        while (state.finderState != AppState::kIdle)
            QCoreApplication::processEvents();
        QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
        waitForWorkers();
    }
    EXPECT_EQ(results().size(), 4);
    EXPECT_TRUE(finder()->btnFindFile->isEnabled());
    EXPECT_EQ(finder()->btnFindFile->accessibleName(), "Find");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(SearchWindowTest, ClosingTheWindowStopsARunningFinder) {
    for (int i = 0; i < 40; ++i)
        tmp.write("d/many/dir" + std::to_string(i) + "/f.txt", "x");
    // The third directory waits until the close stops the run.
    std::atomic<int> entered{0};
    search().onFinderDirectory = [&](const std::string&) {
        if (++entered != 3)
            return;
        QElapsedTimer waited;
        waited.start();
        while (state.finderState != AppState::kStopping && waited.elapsed() < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    pressFindFile();
    finder()->hcbFindStartDir->setEditText("D:\\many");
    QTest::mouseClick(finder()->btnFindFile, Qt::LeftButton);
    QElapsedTimer timer;
    timer.start();
    while (entered < 3 && timer.elapsed() < 10000)
        QCoreApplication::processEvents();
    prompter.answer(true); // "Terminate threads?     "
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(state.finderState, AppState::kIdle);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Terminate threads?     "}));
    form.reset(); // joins the finished thread
}

TEST_F(SearchWindowTest, TheInfoPageScansTheSelectedDirectory) {
    // "Info" of the tree's popup menu.
    ASSERT_TRUE(action("pmiDirInfo"));
    action("pmiDirInfo")->trigger();
    EXPECT_EQ(form->DirPageControl->currentWidget(), info());
    waitForWorkers();
    const QString report = info()->meDirStatistics->toPlainText();
    EXPECT_TRUE(report.startsWith("Stats for directory:  D:\\notes\\ on: "))
        << report.toStdString();
    EXPECT_TRUE(report.contains("Total files:          4\n")) << report.toStdString();
    EXPECT_TRUE(report.contains("Total directories:    2\n"));
    EXPECT_TRUE(report.contains("Space used:           3,053 bytes\n"));
    EXPECT_TRUE(report.contains("Largest subdirectory: D:\\notes\\deep\\\n"));
    EXPECT_TRUE(report.contains("\nFile type statistics:\n"));
    EXPECT_TRUE(report.contains(" bytes in      3 files of type : (TXT) "));
    EXPECT_EQ(info()->DirStatisticsCharts->types().size(), 2u);
    EXPECT_TRUE(prompter.shown().empty()); // the Info page is up: only the sound
    EXPECT_EQ(info()->btnScan->text(), "&Scan");

    // "&Statistics ..." says the same in a box.
    form->MainTreeView->setFocus();
    QTest::keyClick(form->MainTreeView, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0].rfind("Total space used by 4 files in 2 directories:\n3,053 "
                                        "bytes (3 Kb = 0 Mb)\n\nActual space used",
                                        0),
              0u)
        << prompter.texts()[0];
}

TEST_F(SearchWindowTest, TheSpaceMapSelectsAndOpensDirectoriesAndReportsItsRectangles) {
    form->logger().GoToDirPath("D:\\");
    form->LogDirBranch();
    form->DirPageControl->setCurrentWidget(info());
    info()->pnDirInfoViews->setCurrentWidget(info()->DirSpaceMap);
    idle();
    TSpaceMapView* map = info()->DirSpaceMap;
    const auto& cells = map->map().Cells();
    ASSERT_GE(cells.size(), 3u);
    EXPECT_EQ(cells[0].path, "D:\\");
    int deep = -1;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].path == "D:\\notes\\deep\\" && !cells[i].files)
            deep = static_cast<int>(i);
    ASSERT_GE(deep, 0);
    // Each rectangle tells its path and size to assistive tools.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(map);
    ASSERT_TRUE(iface);
    ASSERT_EQ(iface->childCount(), static_cast<int>(cells.size()));
    QAccessibleInterface* child = iface->child(deep);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->text(QAccessible::Name), "D:\\notes\\deep\\, 2.9 KB");
    EXPECT_EQ(child->text(QAccessible::Description), "3003 bytes");
    // Within it, the rectangle of its own files.
    QAccessibleInterface* at =
        iface->childAt(child->rect().center().x(), child->rect().center().y());
    ASSERT_TRUE(at);
    EXPECT_EQ(at->text(QAccessible::Name), "Files of D:\\notes\\deep\\, 2.9 KB");

    // A click selects the directory in the tree.
    QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, map->cellRect(deep).center());
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\notes\\deep\\");

    // A double click opens the directory's files.
    form->logger().GoToDirPath("D:\\");
    idle();
    info()->pnDirInfoViews->setCurrentWidget(info()->DirSpaceMap);
    idle();
    int other = -1;
    for (size_t i = 0; i < map->map().Cells().size(); ++i)
        if (map->map().Cells()[i].path == "D:\\other\\" && !map->map().Cells()[i].files)
            other = static_cast<int>(i);
    ASSERT_GE(other, 0);
    QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, map->cellRect(other).center());
    idle();
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\other\\");
    EXPECT_EQ(windowTexts(), (std::vector<std::string>{"e.txt"}));
}

TEST_F(SearchWindowTest, SearchNarrowsTheTaggedFilesAndTheWatchDogLogsIt) {
    settings.WDEnabled = true;
    settings.WDFilePath = "E:\\";
    settings.WatchDogOperations[static_cast<size_t>(WDOperation::SearchFileForText)] = true;
    form->watchDog().LoadFlags(settings.WatchDogOperations);

    form->fileWindow().MainListBox->setFocus();
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"There are no tagged files to operate with!     "}));
    prompter.clear();

    // a.txt, b.TXT, c.log; then Ctrl+S in the file window is "Search ...".
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_S, Qt::ControlModifier);
    TSearchStringsPage* page = search().searchStringsPage();
    ASSERT_EQ(form->ZenPageControl->currentWidget(), page);
    EXPECT_TRUE(form->ZenPageControl->isVisible());
    page->cb_IgnoreCase->setChecked(false);
    QTest::keyClicks(page->hbSearchStrings->lineEdit(), "quick");
    QTest::keyClick(page->hbSearchStrings->lineEdit(), Qt::Key_Return);

    FileWindow& fw = form->fileWindow().model();
    std::vector<std::string> tagged;
    for (int i = 0; i < fw.Count(); ++i)
        if (fw.Record(i)->Tagged())
            tagged.emplace_back(fw.Text(i));
    EXPECT_EQ(tagged, (std::vector<std::string>{"a.txt"}));
    EXPECT_NE(form->ZenPageControl->currentWidget(), page);
    EXPECT_EQ(search().viewerSearchText(), "quick");
    EXPECT_EQ(page->hbSearchStrings->Items().front(), "quick");
    EXPECT_FALSE(state.fileOperationRunning);

    std::ifstream log(tmp.at("e/WATCHDOG.LOG"));
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find(" Search 3 file(s) for text: quick"), std::string::npos)
        << text.str();
}

namespace {

/// A drive that is a CD-ROM, with three files of 3,001 bytes together.
class CdStatisticsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("cd/disc/a.txt", std::string(3000, 'a'));
        tmp.write("cd/disc/b.txt", "b");
        tmp.write("cd/disc/c.txt", "");
        state.currentDisk = 'D';
        makeDrives("D=" + tmp.at("cd") + ":cdrom:DISC");
        makeForm();
        showActive();
        form->Start({{"D:\\disc"}, {}});
        form->IdleHandler();
    }
    void TearDown() override { closeWindow(); }
};

} // namespace

TEST_F(CdStatisticsTest, StatisticsOfADiscCountWhole2048ByteSectors) {
    form->MainTreeView->setFocus();
    QTest::keyClick(form->MainTreeView, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0],
              "Total space used by 3 files in 1 directories:\n3,001 bytes (3 Kb = 0 Mb)\n\n"
              "Actual space used (considering cluster size):\n6,144 bytes (6 Kb = 0 Mb)\n\n"
              "Slack space: 3,143 bytes (3 Kb = 0 Mb)");
}

namespace {

/// The same files with fifty links beside them that lead nowhere.
class DeadLinksTest : public SearchWindowTest {
protected:
    void SetUp() override {
        tmp.mkdir("d/notes");
        for (int i = 0; i < 50; ++i)
            tmp.symlink("/nowhere/" + std::to_string(i), "d/notes/dead" + std::to_string(i));
        SearchWindowTest::SetUp();
    }
};

} // namespace

TEST_F(DeadLinksTest, ContentSearchesSkipLinksThatLeadNowhereAndCountThem) {
    pressFindFile();
    finder()->cbMatchEnable->setChecked(true);
    finder()->hcbFindMatchString->setEditText("fox");
    // Away from the Finder page the completion is told in a box, with the links.
    form->DirPageControl->setCurrentIndex(0);
    search().btnFindFileClick();
    waitForWorkers();
    EXPECT_EQ(results(),
              (QStringList{"D:\\notes\\a.txt", "D:\\notes\\b.TXT", "D:\\notes\\deep\\d.txt"}));
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"File find completed! 3 files found.\n50 links skipped"}));
    prompter.clear();

    // Searching the tagged files: the links lose their tags without a word.
    form->fileWindow().MainListBox->setFocus();
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_S, Qt::ControlModifier);
    TSearchStringsPage* page = search().searchStringsPage();
    QTest::keyClicks(page->hbSearchStrings->lineEdit(), "quick");
    QTest::keyClick(page->hbSearchStrings->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(prompter.texts().empty());
    FileWindow& fw = form->fileWindow().model();
    std::vector<std::string> tagged;
    for (int i = 0; i < fw.Count(); ++i)
        if (fw.Record(i)->Tagged())
            tagged.emplace_back(fw.Text(i));
    EXPECT_EQ(tagged, (std::vector<std::string>{"a.txt", "b.TXT"}));
}
