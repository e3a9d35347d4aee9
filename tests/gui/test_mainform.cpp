#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/controlstate.h"
#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "core/plugincalls.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/app/singleinstance.h"
#include "gui/app/tquickviewpane.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/controls/tmrufilelist.h"
#include "gui/controls/tradiogroup.h"
#include "gui/disks/tloggeddrivestabset.h"
#include "gui/disks/tzentrixdrives.h"
#include "gui/filewindow/fileheader.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "gui/tree/treecontroller.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "shownrows.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QAccessible>
#include <QElapsedTimer>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFontDialog>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class MainFormTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        for (const char* d : {"c/x", "d/Documents/Letters", "d/Music/Jazz", "d/Pictures", "e/sub"})
            tmp.mkdir(d);
        tmp.write("d/readme.txt", "hello");
        state.currentDisk = 'D';
        makeDrives("C=" + tmp.at("c") + ";D=" + tmp.at("d") + ";E=" + tmp.at("e"));
        makeForm();
        form->show();
    }
    void TearDown() override { closeWindow(); }

    THETreeView* view() { return form->MainTreeView; }
    TTreeNode* node(const std::string& path) { return form->logger().FindNodeByPath(path); }
    TTreeNode* selected() { return cat->Tree().Selected(); }
    /// Lets events in until `done` holds; false after 20 s.
    static bool waitUntil(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > 20000)
                return false;
            QTest::qWait(10);
        }
        return true;
    }
};

// A tar.gz whose first entry is `zeros` bytes of zeros: little on disk, long to
// unpack.
void writeZerosTarGz(const std::string& path, size_t zeros) {
    archive* a = archive_write_new();
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    auto add = [&](const char* name, size_t size) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name);
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(size));
        archive_write_header(a, entry);
        const std::string chunk(std::min<size_t>(size, 1 << 20), '\0');
        for (size_t left = size; left > 0;) {
            const size_t n = std::min(left, chunk.size());
            archive_write_data(a, chunk.data(), n);
            left -= n;
        }
        archive_entry_free(entry);
    };
    add("zeros.bin", zeros);
    add("after.txt", 1);
    archive_write_close(a);
    archive_write_free(a);
}

} // namespace

TEST_F(MainFormTest, StartLogsTheCurrentDiskWhenNoStartDrivesAreSet) {
    form->Start({});
    ASSERT_EQ(cat->Tree().TopCount(), 1);
    EXPECT_EQ(cat->Tree().Top(0)->Text(), "D:\\");
    EXPECT_EQ(form->LoggedDrivesTabSet->count(), 1);
    EXPECT_EQ(form->LoggedDrivesTabSet->tabText(0), "D");
    EXPECT_EQ(form->CurrDirLabel->text(), "D:\\");
    EXPECT_EQ(form->windowTitle(), "Zentrix 1.0");
    idle();
    EXPECT_TRUE(state.started);
    EXPECT_EQ(form->fillCount(), 1); // the first fill comes with the first idle pass
}

TEST_F(MainFormTest, StartDirectoryOnAnotherDriveLogsThatDriveToo) {
    form->Start({{"E:\\sub"}, {"C=", "Carbage"}}); // both start entries name drive C
    ASSERT_EQ(cat->Tree().TopCount(), 2);
    EXPECT_EQ(cat->Tree().Top(0)->Text(), "C:\\");
    EXPECT_EQ(cat->Tree().Top(1)->Text(), "E:\\");
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->Path(), "E:\\sub\\");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainFormTest, AMissingStartDirectoryIsReportedAndTheProgramGoesOn) {
    form->Start({{"D:\\nowhere"}, {}});
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Directory does not exist!     "}));
    EXPECT_EQ(cat->Tree().TopCount(), 1);

    // "LastDir" is used when the command line names nothing; a host path works too.
    settings.LastDir = tmp.at("d/Music");
    prompter.clear();
    form->Start({});
    EXPECT_EQ(selected()->Path(), "D:\\Music\\");
}

TEST_F(MainFormTest, AStartDirectoryIsFoundWhateverTheCaseOfItsNames) {
    // Only "Documents\Letters" exists: a path typed in another case opens it.
    form->Start({{"d:\\documents\\LETTERS"}, {}});
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->Path(), "D:\\Documents\\Letters\\");
    EXPECT_EQ(form->CurrDirLabel->text(), "D:\\Documents\\Letters\\");
}

TEST_F(MainFormTest, HiddenDirectoriesFollowTheOptionsDialog) {
    tmp.write("d/.config/app.ini");
    form->Start({});
    ASSERT_TRUE(node("D:\\.config\\"));
    EXPECT_TRUE(settings.ShowHiddenDirsOption);

    auto toggleInOptions = [&] {
        zentrix::test::OnModalShown([](QWidget* dialog) {
            // The box is on the page of the disks.
            auto* box = dialog->findChild<QCheckBox*>("cbShowHiddenDirs");
            auto* disks = dialog->findChild<QWidget*>("tsDisks");
            ASSERT_TRUE(box && disks);
            // Pages may hold tab sets of their own: the dialog's is the one
            // that holds the page.
            QTabWidget* pages = nullptr;
            for (QTabWidget* t : dialog->findChildren<QTabWidget*>())
                if (t->indexOf(disks) >= 0)
                    pages = t;
            ASSERT_TRUE(pages);
            pages->setCurrentWidget(disks);
            // Space on the focused box, as a keyboard user toggles it (a click
            // at its middle may land on the page's crowded layout).
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Space);
            QTest::mouseClick(dialog->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        ASSERT_TRUE(form->runCommand("miZentrixPropertiesClick"));
    };
    toggleInOptions();
    EXPECT_FALSE(settings.ShowHiddenDirsOption);
    EXPECT_EQ(node("D:\\.config\\"), nullptr);
    // Opened by its path, it is there all the same.
    form->OpenDirectory("D:\\.config");
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->Path(), "D:\\.config\\");

    toggleInOptions();
    EXPECT_TRUE(settings.ShowHiddenDirsOption);
    ASSERT_TRUE(node("D:\\.config\\"));
    // Shown a little fainter than the others.
    const QModelIndex index = form->treeModel().indexOf(node("D:\\.config\\"));
    EXPECT_TRUE(form->treeModel().data(index, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(
        form->treeModel().data(index.siblingAtRow(index.row() + 1), Qt::ForegroundRole).isValid());
}

TEST_F(MainFormTest, UnloggedEmptyAndFullDirectoriesShowThreePictures) {
    form->Start({});
    form->logger().LogDirFiles(node("D:\\Pictures\\")); // logged, no files
    cat->Tree().Select(node("D:\\Music\\"));
    auto picture = [&](const std::string& path) {
        const QModelIndex index = form->treeModel().indexOf(node(path));
        return qvariant_cast<QIcon>(form->treeModel().data(index, Qt::DecorationRole))
            .pixmap(16, 16)
            .toImage();
    };
    const QImage unlogged = picture("D:\\Documents\\");
    const QImage full = picture("D:\\");
    const QImage empty = picture("D:\\Pictures\\");
    EXPECT_FALSE(unlogged.isNull());
    EXPECT_NE(unlogged, full);
    EXPECT_NE(unlogged, empty);
    EXPECT_NE(full, empty);
}

// Every directory read is a recent one: the list is written once the program
// is idle, not once per directory, under the program's own key.
TEST_F(MainFormTest, RecentDirectoriesAreKeptUnderTheProgramsKeyAndWrittenWhenIdle) {
    const std::string ini = tmp.at("home/registry.ini");
    auto inode = [&] {
        struct stat st {};
        return ::stat(ini.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    auto fileText = [&] {
        std::ifstream in(ini);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    form->mruDirs->setSaveDelay(50);
    form->Start({});
    const auto before = inode();
    for (const char* dir : {"D:\\Documents\\", "D:\\Music\\", "D:\\Pictures\\"})
        form->logger().LogDirFiles(node(dir));
    EXPECT_EQ(form->mruDirs->Items(),
              (QStringList{"D:\\", "D:\\Documents\\", "D:\\Music\\", "D:\\Pictures\\"}));
    EXPECT_EQ(inode(), before); // nothing written yet
    // Written once the save delay has passed with the program idle (a loaded
    // machine may take longer than the delay to get there).
    for (int waited = 0; waited < 5000 && fileText().find("F3=") == std::string::npos; waited += 50)
        QTest::qWait(50);
    const std::string text = fileText();
    EXPECT_NE(text.find("[Software\\Morvane\\Zentrix\\MRU Directories]"), std::string::npos)
        << text;
    EXPECT_NE(text.find("F3=D:\\Pictures\\"), std::string::npos) << text;
    EXPECT_EQ(text.find("My Application"), std::string::npos) << text;

    // What is added last is written when the window goes, and read at the next start.
    form->logger().GoToDirPath("D:\\Documents\\Letters\\");
    form.reset();
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    EXPECT_EQ(form->mruDirs->Items().last(), "D:\\Documents\\Letters\\");
    ASSERT_EQ(form->mruDirs->EntryActions().size(), 5);

    // Choosing one opens it.
    form->mruDirs->EntryActions().at(1)->trigger();
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->Path(), "D:\\Documents\\");
}

// The quick view shows above the statistics only while the file window has the
// focus: the height the user gives the statistics beside it is what is kept.
TEST_F(MainFormTest, TheQuickViewSplitterKeepsItsSizeBetweenRuns) {
    form->resize(800, 1000);
    form->Start({});
    form->RestoreState();
    // The stored placement may be small: the panes need room to be moved.
    form->resize(800, form->screen()->availableGeometry().height() - 40);
    form->pnQuickView->show();
    idle();
    QList<int> sizes = form->scQuickView->sizes();
    ASSERT_EQ(sizes.size(), 2);
    // A height the statistics can take, not the one the splitter gives them.
    // A height both panes can take: halfway between their least heights.
    const int statisticsLeast = form->pnStatistics->minimumSizeHint().height();
    const int quickViewLeast = form->pnQuickView->minimumSizeHint().height();
    const int room = sizes[0] + sizes[1] - statisticsLeast - quickViewLeast;
    ASSERT_GT(room, 10);
    int chosen = statisticsLeast + room / 2;
    if (chosen == sizes[1])
        ++chosen;
    form->scQuickView->setSizes({sizes[0] + sizes[1] - chosen, chosen});
    emit form->scQuickView->splitterMoved(sizes[0] + sizes[1] - chosen, 1);
    form->pnQuickView->hide(); // the tree has the focus again when the program ends
    idle();
    form->SaveState();
    {
        TEnhIniFile store("Zentrix.INI");
        EXPECT_EQ(store.ReadInteger("scQuickView", "pnStatisticsHeight", -1), chosen);
    }

    form.reset();
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    form->resize(800, 1000);
    form->show();
    form->RestoreState();
    form->resize(800, form->screen()->availableGeometry().height() - 40);
    idle();
    form->pnQuickView->show();
    idle();
    EXPECT_EQ(form->scQuickView->sizes().value(1), chosen);
}

// In the dropped drive list a typed letter chooses that drive, also the letters
// that are single-key commands elsewhere (G: global show-all, F: the file
// specification, S, T, U, V ...).
TEST_F(MainFormTest, ATypedLetterInTheDriveListChoosesThatDrive) {
    form.reset();
    std::string spec = "C=" + tmp.at("c") + ";D=" + tmp.at("d");
    for (const char* letter : {"F", "G", "S", "T"}) {
        tmp.mkdir(std::string("drive") + letter);
        spec += std::string(";") + letter + "=" + tmp.at(std::string("drive") + letter);
    }
    drives = std::make_unique<platform::DriveTable>(platform::DriveTable::FromSpec(spec, {}));
    cat = std::make_unique<Catalogue>(*drives);
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Start({});
    idle();
    for (const auto key : {Qt::Key_G, Qt::Key_F, Qt::Key_S}) {
        form->MainTreeView->setFocus();
        idle();
        QTest::keyClick(form->MainTreeView, Qt::Key_L); // "Disk L ..." drops the list down
        ASSERT_TRUE(form->lbDrives->hasFocus());
        ASSERT_TRUE(form->lbDrives->DroppedDown());
        QTest::keyClick(form->lbDrives, key);
        idle();
        const char letter = static_cast<char>('A' + (key - Qt::Key_A));
        EXPECT_EQ(state.currentDisk, letter);
        EXPECT_EQ(state.scope, 1); // no show-all ran
        EXPECT_FALSE(form->lbDrives->DroppedDown());
    }
    EXPECT_EQ(form->LoggedDrivesTabSet->count(), 4); // D, F, G, S
}

TEST_F(MainFormTest, QuittingStoresALoggedSubdirectoryAndClearsForARoot) {
    form->Start({});
    prompter.answer(false); // "Quit Zentrix ?" cancelled: the window stays
    cat->Tree().Select(cat->Tree().Top(0));
    form->QuitZentrix();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(settings.LastDir, "");
    EXPECT_EQ(prompter.questions(), (std::vector<std::string>{"Quit Zentrix ?"}));

    form->logger().GoToDirPath("D:\\Music\\");
    prompter.answer(true);
    form->QuitZentrix();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(settings.LastDir, "D:\\Music\\");

    // An unlogged directory below a root is not remembered either.
    form->show();
    settings.SkipQuitOption = true;
    cat->Tree().Select(node("D:\\Pictures\\"));
    ASSERT_FALSE(selected()->Logged());
    form->QuitZentrix();
    EXPECT_EQ(settings.LastDir, "");
}

TEST_F(MainFormTest, ClosingSavesTheSettingsAndThePlacement) {
    form->Start({});
    form->logger().GoToDirPath("D:\\Music\\");
    form->setGeometry(30, 40, 720, 510);
    settings.SkipQuitOption = true;
    settings.FileSortOption = 3;
    form->QuitZentrix();
    ASSERT_FALSE(form->isVisible());
    const std::string ini = tmp.at("home/registry.ini");
    std::ifstream in(ini);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Music"), std::string::npos) << text; // LastDir
    EXPECT_NE(text.find("FileSortOption"), std::string::npos);
    EXPECT_NE(text.find("PlaceWindowWidth"), std::string::npos);
    EXPECT_NE(text.find("pnMainTreeViewHeight"), std::string::npos);
    EXPECT_NE(text.find("Section0Width"), std::string::npos);
}

TEST_F(MainFormTest, AfterAnEscapedErrorTheWindowIsBackOnTheFirstNode) {
    form->Start({{"E:\\sub"}, {"D", "E"}});
    state.scope = 4;
    form->ResetAfterError();
    EXPECT_EQ(state.scope, 1);
    EXPECT_EQ(selected(), cat->Tree().Top(0));
    state.refillRequested = false;
    form->AfterErrorReport();
    EXPECT_TRUE(state.refillRequested);
}

TEST_F(MainFormTest, ClosingWhileAWorkerRunsNeedsConsent) {
    form->Start({});
    state.finderState = AppState::kRunning;
    prompter.answer(false);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Terminate threads?     ",
                                                          "Cannot exit with threads running!     "}));

    // With consent the worker is asked to stop and the window waits for it.
    std::atomic<bool> sawStop{false};
    std::thread worker([&] {
        while (state.finderState != AppState::kStopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawStop = true;
        state.finderState = AppState::kIdle;
    });
    prompter.clear();
    prompter.answer(true);
    form->close();
    worker.join();
    EXPECT_TRUE(sawStop);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainFormTest, FilesDroppedOnTheFileWindowBecomeTheResultList) {
    form->Start({});
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(tmp.at("d/readme.txt"))),
                   QUrl::fromLocalFile("/not/on/any/drive.txt")});
    form->pnMainListBox->setMinimumHeight(80);
    form->scHorizontal->setSizes({200, 200});
    QCoreApplication::processEvents();
    ASSERT_GT(form->pnMainListBox->height(), 10);
    const QPoint inside = form->pnMainListBox->mapTo(form.get(), form->pnMainListBox->rect().center());
    const QPoint onTree = form->MainTreeView->mapTo(form.get(), QPoint(5, 5));
    // On the tree: a copy there, asked first (and refused here).
    prompter.clear();
    prompter.answer(false);
    EXPECT_TRUE(form->DropFiles(onTree, mime->urls()));
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0].rfind("Copy 1 files to: ", 0), 0u);
    EXPECT_TRUE(cat->ResultFiles.empty());
    EXPECT_TRUE(form->DropFiles(inside, mime->urls()));
    EXPECT_EQ(cat->ResultFiles, (std::vector<std::string>{"D:\\readme.txt"}));
    EXPECT_EQ(state.scope, 8);
    EXPECT_TRUE(state.refillRequested);
    delete mime;
}

TEST_F(MainFormTest, HoldingDownThroughManyNodesRefillsOnceOnRelease) {
    form->Start({});
    idle();
    view()->setFocus();
    const int fills = form->fillCount();
    for (int i = 0; i < 3; ++i) {
        QTest::keyPress(view(), Qt::Key_Down);
        idle();
    }
    EXPECT_EQ(form->fillCount(), fills);
    EXPECT_EQ(selected()->Path(), "D:\\Pictures\\");
    QTest::keyRelease(view(), Qt::Key_Down);
    idle();
    EXPECT_EQ(form->fillCount(), fills + 1);
}

TEST_F(MainFormTest, TreeKeysLogAndUnlog) {
    form->Start({});
    view()->setFocus();
    TTreeNode* music = node("D:\\Music\\");
    cat->Tree().Select(music);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_TRUE(music->Logged());
    EXPECT_TRUE(view()->isExpanded(form->treeModel().indexOf(music)));

    QTest::keyClick(view(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FALSE(music->Logged());
    EXPECT_EQ(music->Count(), 0);

    QTest::keyClick(view(), Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_TRUE(node("D:\\Music\\Jazz\\")->Logged());

    // "-" on the drive root forgets the disk's catalogue but keeps the disk.
    cat->Tree().Select(cat->Tree().Top(0));
    QTest::keyClick(view(), '-');
    EXPECT_EQ(cat->Tree().TopCount(), 1);
    EXPECT_FALSE(cat->Tree().Top(0)->Logged());
    EXPECT_TRUE(cat->Tree().Top(0)->HasChildren());

    QTest::keyClick(view(), '+');
    EXPECT_TRUE(cat->Tree().Top(0)->Logged());

    // Backspace goes to the parent; Ctrl+Down and Ctrl+Up move among siblings.
    cat->Tree().Select(node("D:\\Documents\\"));
    QTest::keyClick(view(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(selected()->Path(), "D:\\Music\\");
    QTest::keyClick(view(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(selected()->Path(), "D:\\Documents\\");
    QTest::keyClick(view(), Qt::Key_Backspace);
    EXPECT_EQ(selected(), cat->Tree().Top(0));
}

TEST_F(MainFormTest, RightAndLeftOpenCloseAndWalkTheTree) {
    form->Start({});
    view()->setFocus();
    CatalogueTreeModel& model = form->treeModel();
    cat->Tree().Select(node("D:\\Music\\"));
    QTest::keyClick(view(), Qt::Key_Right); // a closed node opens: one level is read
    EXPECT_TRUE(node("D:\\Music\\")->Logged());
    EXPECT_TRUE(view()->isExpanded(model.indexOf(node("D:\\Music\\"))));
    QTest::keyClick(view(), Qt::Key_Right); // an open one: down to its first child
    EXPECT_EQ(selected(), node("D:\\Music\\Jazz\\"));
    QTest::keyClick(view(), Qt::Key_Left); // a closed one: up to its parent
    EXPECT_EQ(selected(), node("D:\\Music\\"));
    QTest::keyClick(view(), Qt::Key_Left); // an open one closes, and is forgotten
    EXPECT_FALSE(node("D:\\Music\\")->Logged());
    EXPECT_EQ(node("D:\\Music\\")->Count(), 0);
    EXPECT_EQ(selected(), node("D:\\Music\\"));

    // A whole disk logged shows every directory, each right after its parent
    // and before its next sibling.
    cat->Tree().Select(cat->Tree().Top(0));
    QTest::keyClick(view(), Qt::Key_Asterisk, Qt::KeypadModifier);
    const std::vector<const TTreeNode*> order = ShownRows(cat->Tree());
    ASSERT_EQ(model.rowCount(), static_cast<int>(order.size()));
    EXPECT_EQ(model.rowCount(), cat->Tree().TopCount() + 5) << "D: has five directories";
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_EQ(CatalogueTreeModel::nodeOf(model.index(row, 0)), order[static_cast<size_t>(row)])
            << row;
    // The current row is the selected directory.
    EXPECT_EQ(CatalogueTreeModel::nodeOf(view()->currentIndex()), selected());
}

TEST_F(MainFormTest, OnlyCapitalLettersReachTheTypeAheadAndShiftLDoesNothing) {
    form->Start({});
    view()->setFocus();
    cat->Tree().Select(cat->Tree().Top(0));
    QTest::keyClick(view(), 'm'); // a lower-case letter does nothing
    EXPECT_EQ(selected(), cat->Tree().Top(0));
    QTest::keyClick(view(), 'M');
    EXPECT_EQ(selected()->Path(), "D:\\Music\\");

    QTest::keyClick(view(), Qt::Key_L, Qt::ShiftModifier);
    EXPECT_FALSE(form->lbDrives->DroppedDown());
    QTest::keyClick(view(), 'l');
    EXPECT_TRUE(form->lbDrives->DroppedDown());
    form->lbDrives->FoldUp();
}

TEST_F(MainFormTest, OpeningAndClosingNodesWithTheMouse) {
    form->Start({});
    CatalogueTreeModel& model = form->treeModel();
    auto click = [&](const QPoint& at) { QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at); };
    auto button = [&](const char* path) { return view()->buttonRect(model.indexOf(node(path))).center(); };
    TTreeNode* docs = node("D:\\Documents\\");
    const QModelIndex index = model.indexOf(docs);
    ASSERT_TRUE(view()->showsButton(index));
    // The button sits in the row's own level of indentation, the label after it.
    EXPECT_EQ(view()->buttonRect(index).left(), view()->indentation());
    EXPECT_EQ(view()->visualRect(index).left(), 2 * view()->indentation());

    click(button("D:\\Documents\\"));
    EXPECT_TRUE(docs->Logged());
    EXPECT_EQ(selected(), docs);
    ASSERT_EQ(docs->Count(), 1);
    // Its subdirectory shows right below it, one level further in.
    const QModelIndex letters = model.index(model.indexOf(docs).row() + 1, 0);
    EXPECT_EQ(CatalogueTreeModel::nodeOf(letters), node("D:\\Documents\\Letters\\"));
    EXPECT_EQ(view()->visualRect(letters).left(), 3 * view()->indentation());
    EXPECT_TRUE(view()->isExpanded(model.indexOf(docs)));

    click(button("D:\\Documents\\"));
    EXPECT_FALSE(docs->Logged());
    EXPECT_EQ(docs->Count(), 0);
    EXPECT_TRUE(docs->HasChildren());
    EXPECT_EQ(model.rowCount(), cat->Tree().TopCount() + 3) << "D:'s three directories";

    // A click on the label selects and opens nothing.
    click(view()->visualRect(model.indexOf(node("D:\\Music\\"))).center());
    EXPECT_EQ(selected(), node("D:\\Music\\"));
    EXPECT_FALSE(node("D:\\Music\\")->Logged());

    // Nothing opens or closes while a file operation runs.
    state.fileOperationRunning = true;
    click(button("D:\\Documents\\"));
    EXPECT_FALSE(docs->Logged());
    EXPECT_FALSE(view()->isExpanded(model.indexOf(docs)));
    state.fileOperationRunning = false;

    // A double click logs the files of an unlogged node.
    cat->Tree().Select(node("D:\\Pictures\\"));
    state.refillRequested = false;
    form->treeController().MainTreeViewDblClick();
    EXPECT_TRUE(node("D:\\Pictures\\")->Logged());
}

static std::vector<std::string> children(const TTreeNode* n) {
    std::vector<std::string> out;
    for (int i = 0; i < n->Count(); ++i)
        out.emplace_back(n->Item(i)->Text());
    return out;
}

TEST_F(MainFormTest, RenamingADirectoryInPlace) {
    form->Start({});
    TTreeNode* pictures = node("D:\\Pictures\\");
    // The edit may not start while neither Explorer-style option is on.
    view()->edit(form->treeModel().indexOf(pictures));
    EXPECT_FALSE(form->treeController().editing());

    settings.WinRenameDir = true;
    cat->Tree().Select(pictures);
    view()->edit(form->treeModel().indexOf(pictures));
    ASSERT_TRUE(form->treeController().editing());
    EXPECT_TRUE(state.fileOperationRunning);
    QWidget* editor = view()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Photos");
    QTest::keyClick(editor, Qt::Key_Return);
    idle(); // the delegate commits and closes through the event queue
    EXPECT_FALSE(form->treeController().editing());
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_EQ(pictures->Text(), "Photos");
    EXPECT_EQ(children(cat->Tree().Top(0)), (std::vector<std::string>{"Documents", "Music", "Photos"}));

    // A name that is taken fails and keeps the old text.
    view()->edit(form->treeModel().indexOf(pictures));
    editor = view()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Music");
    QTest::keyClick(editor, Qt::Key_Return);
    idle();
    EXPECT_EQ(pictures->Text(), "Photos");
    EXPECT_EQ(prompter.texts().back(), "Cannot rename directory!     ");
}

TEST_F(MainFormTest, StopPanelSetsTheAbortFlagOnlyWhenShownAndHit) {
    TMainStatusBar* bar = form->MainStatusBar;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->panelRect(2).center());
    EXPECT_FALSE(state.abortFlag);
    bar->showStop(true);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->panelRect(0).center());
    EXPECT_FALSE(state.abortFlag);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->panelRect(2).center());
    EXPECT_TRUE(state.abortFlag);
    EXPECT_TRUE(bar->aborted());
    bar->showStop(false); // both ways clear the flag
    EXPECT_FALSE(state.abortFlag);
    bar->setTotal(0);
    EXPECT_EQ(bar->total(), 1);

    // Assistive tools read the panels through the accessible value.
    bar->setHint("Log the branch");
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(bar);
    ASSERT_TRUE(a11y);
    EXPECT_EQ(a11y->role(), QAccessible::StatusBar);
    EXPECT_TRUE(a11y->text(QAccessible::Value).startsWith("Log the branch | 0% |"));
}

TEST_F(MainFormTest, TheProgressBarIsDrawnByTimeNotPerItem) {
    TMainStatusBar* bar = form->MainStatusBar;
    idle();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    bar->installEventFilter(&counter);
    bar->setTotal(100000);
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= 100000; ++i) {
        bar->setPosition(i); // a long loop, letting events through now and then
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    const qint64 ms = clock.elapsed();
    QTest::qWait(2 * TMainStatusBar::kBarInterval);
    EXPECT_LE(counter.paints, 3 + ms / (TMainStatusBar::kBarInterval / 2)) << ms << " ms";
    EXPECT_GE(counter.paints, 1); // the last position is drawn all the same
    EXPECT_EQ(bar->position(), 100000);
    bar->removeEventFilter(&counter);
}

TEST_F(MainFormTest, HidingInTheTrayKeepsThePositionForSaving) {
    form->setGeometry(40, 50, 700, 500);
    const QRect before = form->geometry();
    form->pmiHideShowWindowClick();
    EXPECT_TRUE(form->hiddenInTray());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->pmiHideShowWindow->text(), "&Show Window");
    form->pmiHideShowWindowClick();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pmiHideShowWindow->text(), "&Hide Window");
    EXPECT_EQ(form->geometry(), before); // where it was, not off the screen
}

TEST_F(MainFormTest, EveryCommandOfTheWindowIsOneTheMenusKnow) {
    // Buttons have handlers of their own; everything else must match an item.
    for (const auto& [name, handler] : form->commands()) {
        if (name == "sbDirUpClick")
            continue;
        EXPECT_TRUE(form->menus().table().findCommand(name)) << name;
        EXPECT_TRUE(form->menus().hasCommand(name)) << name;
    }
    // A live command's items are enabled; one of a later issue stays greyed.
    ASSERT_TRUE(form->menus().action("miLogDirBranch"));
    EXPECT_TRUE(form->menus().action("miLogDirBranch")->isEnabled());
    ASSERT_TRUE(form->menus().action("miVolRefreshAllDirs"));
    EXPECT_TRUE(form->menus().action("miVolRefreshAllDirs")->isEnabled());
    ASSERT_TRUE(form->menus().action("miPruneDir"));
    EXPECT_TRUE(form->menus().action("miPruneDir")->isEnabled());
    std::vector<std::string> pending;
    form->menus().table().forEach([&](const MenuItem& item) {
        if (!item.command.empty() && !item.hasItems() && !form->menus().hasCommand(item.command))
            pending.push_back(item.name);
    });
    for (const std::string& name : pending) {
        if (QAction* action = form->menus().action(QString::fromStdString(name))) {
            EXPECT_FALSE(action->isEnabled()) << name;
        }
    }
}

TEST_F(MainFormTest, TheQuickViewShowsTheStartOfATextFile) {
    settings.QuickView = true;
    tmp.write("d/notes.txt", "line one\r\nline two\n");
    form->Start({});
    idle(); // the first fill
    FileWindow& model = form->fileWindow().model();
    int notes = -1;
    for (int i = 0; i < model.Count(); ++i)
        if (model.Text(i) == "notes.txt")
            notes = i;
    ASSERT_GE(notes, 0);
    form->pnQuickView->show();
    model.SetCurrent(notes);
    form->UpdateQuickView();
    ASSERT_TRUE(waitUntil([&] { return !form->pnQuickView->Searching(); }));
    idle();
    const QString text = form->pnQuickView->meFileInfo->toPlainText();
    // What the FileInfo library says about the file (nothing when it is not
    // there), then the file's lines.
    QStringList expected;
    for (const std::string& line : PluginCalls::CallGetFileInfo(tmp.at("d/notes.txt")))
        expected << QString::fromStdString(line);
    expected << "line one"
             << "line two";
    EXPECT_EQ(text, expected.join('\n'));
    EXPECT_FALSE(form->pnQuickView->imgQuick->isVisibleTo(form.get()));
}

TEST_F(MainFormTest, MovingThroughFilesNeverWaitsForTheQuickView) {
    // The information lines of a large compressed archive take the FileInfo
    // library its whole budget; the user has moved on long before.
    ScopedEnv plugins("ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR);
    ASSERT_TRUE(PluginCalls::BindFileInfo());
    writeZerosTarGz(tmp.at("d/big.tar.gz"), size_t{128} << 20);
    tmp.write("d/notes.txt", "line one\n");
    // The archive's search is held until the user has moved on, so that no
    // machine is fast enough to finish it before the next key.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto held = std::make_shared<std::atomic<bool>>(false);
    TQuickViewPane::OnSearchBegins = [released, held](const std::string& name) {
        if (name == "big.tar.gz" && *held)
            released.wait_for(std::chrono::seconds(30));
    };
    struct Unhook {
        std::promise<void>& release;
        ~Unhook() {
            try {
                release.set_value();
            } catch (const std::future_error&) {
            }
        }
    } unhook{release};
    settings.QuickView = true;
    form->Start({});
    idle();
    FileWindow& model = form->fileWindow().model();
    QWidget* list = form->fileWindow().MainListBox;
    QApplication::setActiveWindow(form.get());
    list->setFocus(); // the user enters the file window
    idle();
    ASSERT_TRUE(form->pnQuickView->isVisible());
    QTest::keyClick(list, Qt::Key_End);
    ASSERT_TRUE(waitUntil([&] { return !form->pnQuickView->Searching(); }));
    idle();

    QPlainTextEdit* box = form->pnQuickView->meFileInfo;
    QStringList shown;
    QObject::connect(box, &QPlainTextEdit::textChanged, [&] { shown << box->toPlainText(); });
    *held = true;
    QTest::keyClick(list, Qt::Key_Home);
    ASSERT_EQ(model.Text(model.Current()), "big.tar.gz");
    // The key is handled without waiting for what the archive holds.
    EXPECT_TRUE(form->pnQuickView->Searching());
    EXPECT_FALSE(box->toPlainText().contains("Archive:"));
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(model.Text(model.Current()), "notes.txt");
    release.set_value();
    ASSERT_TRUE(waitUntil([&] { return !form->pnQuickView->Searching(); }));
    idle();
    EXPECT_TRUE(box->toPlainText().endsWith("line one")) << box->toPlainText().toStdString();
    for (const QString& text : shown) // what came for the archive was dropped
        EXPECT_FALSE(text.contains("Archive:")) << text.toStdString();

    // Staying on the archive shows what could be read of it in the budget.
    QTest::keyClick(list, Qt::Key_Up);
    ASSERT_TRUE(waitUntil([&] { return box->toPlainText().contains("Entries:"); }));
    EXPECT_TRUE(box->toPlainText().contains("Archive: ")) << box->toPlainText().toStdString();
    ASSERT_TRUE(waitUntil([&] { return !form->pnQuickView->Searching(); }));
    TQuickViewPane::OnSearchBegins = nullptr;
}

TEST_F(MainFormTest, TheSystemInformationLineCycles) {
    const QString first = form->sysInfoText();
    EXPECT_TRUE(first.startsWith(" Memory:  Available=")) << first.toStdString();
    QMetaObject::invokeMethod(form->SysTimer, "timeout");
    EXPECT_TRUE(form->sysInfoText().startsWith(" Swap file:  Setting="));
}

TEST(SingleInstance, ALaterInstanceHandsItsDirectoryOver) {
    GuiApp();
    TempDir tmp;
    SingleInstance first(QString::fromStdString(tmp.path()));
    QString received;
    ASSERT_TRUE(first.listen([&](const QString& dir) { received = dir; }));
    std::atomic<bool> done{false}, running{false}, handed{false};
    std::thread second([&] {
        SingleInstance other(QString::fromStdString(tmp.path()));
        running = other.otherRunning();
        handed = other.handOver("D:\\Music");
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    second.join();
    EXPECT_TRUE(running);
    EXPECT_TRUE(handed);
    EXPECT_EQ(received, "D:\\Music");

    SingleInstance stranger(QString::fromStdString(tmp.path() + "/other-home"));
    EXPECT_FALSE(stranger.otherRunning());
}

namespace {

// Another user (nobody) in a process of its own: it listens on a Unix socket,
// answers "OK" to whatever it gets and reports it on `report`, or (`talk`)
// connects to one, sends a restore message and reports the answer.
pid_t Stranger(const std::string& socketPath, bool talk, int report, int ready) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        ::_exit(2);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    char buffer[4096];
    if (talk) {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            ::_exit(3);
        const char message[] = "RESTORE\nD:\\planted\n";
        [[maybe_unused]] ssize_t n = ::write(fd, message, sizeof message - 1);
        pollfd wait{fd, POLLIN, 0};
        const ssize_t got = ::poll(&wait, 1, 3000) > 0 ? ::read(fd, buffer, sizeof buffer) : 0;
        n = ::write(report, got > 0 ? buffer : "none", got > 0 ? static_cast<size_t>(got) : 4);
        ::_exit(0);
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0)
        ::_exit(4);
    [[maybe_unused]] ssize_t n = ::write(ready, "r", 1);
    for (;;) {
        const int client = ::accept(fd, nullptr, nullptr);
        if (client < 0)
            continue;
        pollfd wait{client, POLLIN, 0};
        const ssize_t got = ::poll(&wait, 1, 1000) > 0 ? ::read(client, buffer, sizeof buffer) : 0;
        if (got > 0)
            n = ::write(report, buffer, static_cast<size_t>(got));
        n = ::write(client, "OK\n", 3);
        ::close(client);
    }
}

// What a stranger reported so far.
std::string Reported(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

} // namespace

TEST(SingleInstance, AnotherUserNeitherReceivesNorSendsAnything) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as another user needs root";
    GuiApp();
    TempDir tmp;
    tmp.mkdir("runtime");
    tmp.chmod("runtime", 0700);
    ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.at("runtime"));
    tmp.mkdir("open");
    tmp.chmod("", 0755);
    tmp.chmod("open", 0777);
    int report[2], ready[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC | O_NONBLOCK), 0);
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);

    // The stranger's socket where this user's instance would listen.
    SingleInstance later(QString::fromStdString(tmp.path()));
    const QString name = later.serverName();
    ASSERT_FALSE(name.isEmpty());
    EXPECT_TRUE(name.startsWith(QString::fromStdString(tmp.at("runtime/")))) << name.toStdString();
    const std::string where =
        name.startsWith('/') ? name.toStdString() : (QDir::tempPath() + "/" + name).toStdString();
    const pid_t listener = Stranger(tmp.at("open/s"), false, report[1], ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(::rename(tmp.at("open/s").c_str(), where.c_str()), 0);
    EXPECT_FALSE(later.otherRunning());
    EXPECT_FALSE(later.handOver("C:\\secret-project"));
    ::kill(listener, SIGKILL);
    ::waitpid(listener, nullptr, 0);
    EXPECT_EQ(Reported(report[0]).find("secret"), std::string::npos);
    ::unlink(where.c_str());

    // This user's instance: a stranger who reaches its socket is not heard.
    QString received;
    {
        SingleInstance first(QString::fromStdString(tmp.path()));
        ASSERT_TRUE(first.listen([&](const QString& dir) { received = dir; }));
        const std::string socket = first.serverName().toStdString();
        tmp.chmod("runtime", 0711);
        ::chmod(socket.c_str(), 0777);
        const pid_t talker = Stranger(socket, true, report[1], ready[1]);
        int status = 0;
        while (::waitpid(talker, &status, WNOHANG) == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(Reported(report[0]), "none");
        EXPECT_TRUE(received.isEmpty()) << received.toStdString();
        EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(socket)));
        // The socket goes with the instance.
        tmp.chmod("runtime", 0700);
    }
    EXPECT_FALSE(QFileInfo::exists(name)) << "left behind";
    for (int fd : {report[0], report[1], ready[0], ready[1]})
        ::close(fd);
}

TEST_F(MainFormTest, AStartPathNamingAFileOpensItsDirectoryWithTheCursorOnTheFile) {
    tmp.write("d/Music/Jazz/blue in green.flac", "x");
    tmp.write("d/Music/Jazz/so what.flac", "x");
    FileWindow& files = form->fileWindow().model();
    auto currentName = [&] {
        const int i = files.Current();
        return i < 0 ? std::string() : std::string(files.Record(i)->FileName());
    };

    // As a desktop passes it: one host path, blanks and all.
    form->Start({{tmp.at("d/Music/Jazz/so what.flac")}, {}});
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->Path(), "D:\\Music\\Jazz\\");
    EXPECT_EQ(currentName(), "so what.flac");
    EXPECT_EQ(form->focusWidget(), form->fileWindow().MainListBox);
    idle(); // the idle pass does not fill again and lose the cursor
    EXPECT_EQ(currentName(), "so what.flac");

    // A drive path to a file does the same; a file that is not there is reported.
    form->Start({{"D:\\readme.txt"}, {}});
    EXPECT_EQ(selected()->Path(), "D:\\");
    EXPECT_EQ(currentName(), "readme.txt");
    form->Start({{"D:\\Music\\gone.flac"}, {}});
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Directory does not exist!     "}));
}

// --- what the window wires itself ---------------------------------------------------

namespace {

std::string storedString(const std::string& section, const std::string& key) {
    return TEnhIniFile(SettingsIniName()).ReadString(section, key, "(none)");
}
// The history boxes keep their entries under the program's own name.
std::string storedHistory(const std::string& section, const std::string& key) {
    return TEnhIniFile(StoreNameFor({})).ReadString(section, key, "(none)");
}

} // namespace

TEST_F(MainFormTest, F2InTheSpecificationBoxAsksThePlugInAndAppliesItsAnswer) {
    ScopedEnv plugins("ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR);
    form->Start({});
    idle();
    form->hbFileSpec->setFocus();
    OnModalShown([](QWidget* dialog) {
        auto* masks = dialog->findChild<QLineEdit*>("edMasks");
        ASSERT_TRUE(masks);
        masks->setText("*.txt");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QTest::keyClick(form->hbFileSpec, Qt::Key_F2);
    idle();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(form->fileWindow().model().FileSpec(), "*.TXT");
    ASSERT_EQ(form->fileWindow().model().Count(), 1);
    EXPECT_EQ(form->fileWindow().model().Text(0), "readme.txt");
    EXPECT_EQ(storedHistory("FileSpecHistory", "H0"), "*.TXT"); // in the box's history

    // Without the library: the message names the file looked for.
    ScopedEnv none("ZENTRIX_PLUGIN_DIR", tmp.at("c"));
    form->hbFileSpec->setFocus();
    QTest::keyClick(form->hbFileSpec, Qt::Key_F2);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Zentrix plugin Utils.so not found."}));
}

TEST_F(MainFormTest, ATypedSpecificationJoinsTheHistoryWhenTheFocusLeaves) {
    form->Start({});
    idle();
    form->hbFileSpec->setFocus();
    form->hbFileSpec->lineEdit()->selectAll();
    QTest::keyClicks(form->hbFileSpec->lineEdit(), "*.md ");
    view()->setFocus();
    idle();
    EXPECT_EQ(form->fileWindow().model().FileSpec(), "*.MD");
    EXPECT_EQ(form->hbFileSpec->itemText(0), "*.MD");
    EXPECT_EQ(storedHistory("FileSpecHistory", "H0"), "*.MD");
}

TEST_F(MainFormTest, TheFileMenusCheckTheSortKeyTheOrderTheFormatAndFullPaths) {
    form->Start({});
    idle();
    auto checked = [this](const char* name) {
        QAction* a = form->menus().action(name);
        return a && a->isCheckable() && a->isChecked();
    };
    EXPECT_TRUE(checked("miFileSortByName"));
    EXPECT_TRUE(checked("pmiFileSortByName"));
    form->runCommand("SortFilesBySize");
    EXPECT_TRUE(checked("miFileSortBySize"));
    EXPECT_TRUE(checked("pmiFileSortBySize"));
    EXPECT_FALSE(checked("miFileSortByName"));
    EXPECT_FALSE(checked("miFileSortByReversedOrd"));
    form->runCommand("ReversedSortOrder");
    EXPECT_TRUE(checked("miFileSortByReversedOrd"));
    EXPECT_TRUE(checked("pmiFileSortByReversedOrd"));
    form->runCommand("miFileDisp3ColClick");
    EXPECT_TRUE(checked("miFileDisp3Col"));
    EXPECT_FALSE(checked("miFileDispSmallIcons"));
    form->runCommand("pmiFileDisplayFullpathClick");
    EXPECT_TRUE(checked("pmiFileDisplayFullpath"));
    // The copies of the file menu in the popup follow too.
    int copiesChecked = 0;
    for (QAction* a : form->menus().actionsOf("SortFilesBySize"))
        copiesChecked += a->isChecked();
    EXPECT_EQ(copiesChecked, form->menus().actionsOf("SortFilesBySize").size());
}

TEST_F(MainFormTest, TheFilePopupIsPreparedBeforeItOpens) {
    form->Start({});
    idle();
    form->fileWindow().focusFileWindow();
    ASSERT_GT(form->fileWindow().model().Count(), 0);
    QString caption;
    bool byDescEnabled = true;
    QTimer::singleShot(0, [&] {
        caption = form->menus().action("pmiFileMaxMinWin")->text();
        byDescEnabled = form->menus().action("pmiFileSortByDesc")->isEnabled();
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    settings.FileDisplayOption = 3; // a column format: no description to sort by
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(caption, "Maximize files window");
    EXPECT_FALSE(byDescEnabled);
}

TEST_F(MainFormTest, AChosenFileListFontKeepsItsStyleAfterARestart) {
    form->Start({});
    QFont chosen = form->fileWindow().MainListBox->font();
    chosen.setUnderline(true); // the dialog's effects; its styles depend on the fonts there
    chosen.setStrikeOut(true);
    chosen.setPointSize(13);
    OnModalShown([&](QWidget* dialog) {
        auto* fonts = qobject_cast<QFontDialog*>(dialog);
        ASSERT_TRUE(fonts);
        fonts->setCurrentFont(chosen);
        fonts->accept();
    });
    form->runCommand("ChangeFileListBoxFont");
    chosen = form->fileWindow().MainListBox->font(); // as the dialog gave it
    ASSERT_TRUE(chosen.underline() && chosen.strikeOut());
    settings.SkipQuitOption = true;
    form->QuitZentrix();
    // Every font is written whole, the ones never chosen too.
    for (const char* key : {"FileListBoxFont", "TreeViewFont", "QuickViewFont"}) {
        const std::string text = storedString("Options", key);
        EXPECT_EQ(std::count(text.begin(), text.end(), ','), 4) << key << ": " << text;
    }

    form.reset();
    cat = std::make_unique<Catalogue>(*drives);
    settings = Settings{};
    TEnhIniFile store(SettingsIniName());
    LoadSettings(store, settings, SettingsEnvironment::FromDrives(*drives));
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    const QFont shown = form->fileWindow().MainListBox->font();
    EXPECT_TRUE(shown.underline()) << storedString("Options", "FileListBoxFont");
    EXPECT_TRUE(shown.strikeOut());
    EXPECT_EQ(shown.bold(), chosen.bold());
    EXPECT_EQ(shown.pointSize(), 13);
}

TEST_F(MainFormTest, AStoredFontColourNeverHidesTheTextOnTheTheme) {
    form.reset();
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    QApplication::setPalette(dark);
    settings.FileListBoxFont = "Sans,10,,0,clBlack";
    settings.TreeViewFont = "Sans,10,,0,clYellow";
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    const QColor list = form->fileWindow().MainListBox->palette().color(QPalette::Text);
    const QColor tree = form->MainTreeView->palette().color(QPalette::Text);
    form.reset();
    QApplication::setPalette(before);
    EXPECT_EQ(list, QColor(0xee, 0xee, 0xee)); // black on dark: the theme's colour instead
    EXPECT_EQ(tree, QColor(Qt::yellow));       // yellow can be read there: kept
}

TEST_F(MainFormTest, StopDuringAWideFillBringsTheTreeBack) {
    for (int i = 0; i < 600; ++i)
        tmp.write("d/Music/Jazz/track" + std::to_string(i) + ".mp3");
    form->Start({});
    form->runCommand("LogDirBranch");
    idle();
    form->MainTreeView->setFocus();
    form->runCommand("DiskShowAllLogged");
    // The click on "STOP" comes while the fill lets events through.
    QTimer::singleShot(0, [this] {
        TMainStatusBar* bar = form->MainStatusBar;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->panelRect(2).center());
    });
    idle();
    idle();
    EXPECT_EQ(state.scope, 1);
    EXPECT_FALSE(form->fileWindow().model().Maximized());
    EXPECT_TRUE(form->pnMainTreeView->isVisible());
    EXPECT_TRUE(form->lbDrives->isEnabled());
}

TEST_F(MainFormTest, TheOptionsDialogsSortReachesTheHeaderAndTheMenus) {
    form->Start({});
    idle();
    QWidget* headerView = form->fileWindow().fileHeader()->viewport();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    idle();
    headerView->installEventFilter(&counter);
    OnModalShown([](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_TRUE(options);
        options->rgFileSort->SetItemIndex(2); // size
        options->btnOK->click();
    });
    form->runCommand("miZentrixPropertiesClick");
    idle();
    headerView->removeEventFilter(&counter);
    EXPECT_EQ(settings.FileSortOption, 2);
    EXPECT_GT(counter.paints, 0); // the bold key moved to "Size"
    EXPECT_TRUE(form->menus().action("miFileSortBySize")->isChecked());
}

TEST_F(MainFormTest, ASettingsFileThatCannotBeWrittenStillLetsTheOptionsOpen) {
    tmp.mkdir("home/registry.ini"); // a directory where the file should be
    form->Start({});
    QString opened;
    OnModalShown([&](QWidget* dialog) {
        opened = dialog->objectName();
        dialog->close();
    });
    form->runCommand("miZentrixPropertiesClick");
    EXPECT_EQ(opened, "OptionsForm");
    ASSERT_FALSE(prompter.texts().empty());
    EXPECT_EQ(prompter.texts().front().rfind("The settings could not be written.", 0), 0u)
        << prompter.texts().front();
}

TEST_F(MainFormTest, AnErrorClosesTheAttributesPageAndForgetsWhatItServed) {
    form->Start({});
    idle();
    form->runCommand("miDirTagAllBranchByAttrClick");
    ASSERT_NE(form->tagging().model().AttributeMode(), 0);
    ASSERT_TRUE(form->tagging().fileAttrPage()->isVisible());
    form->ResetAfterError();
    EXPECT_EQ(form->tagging().model().AttributeMode(), 0);
    EXPECT_FALSE(form->tagging().fileAttrPage()->isVisible());
}

TEST_F(MainFormTest, TheAttributesBoxShowsItsFirstEntryAtTheNextStart) {
    form.reset();
    {
        TEnhIniFile store(StoreNameFor({}));
        store.WriteString("FileAttributesHistory", "H0", "+A-R");
        store.WriteString("FileAttributesHistory", "H1", "+H");
        store.UpdateFile();
    }
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    EXPECT_EQ(form->tagging().fileAttrPage()->hbFilesAttrHistory->currentText(), "+A-R");
}
