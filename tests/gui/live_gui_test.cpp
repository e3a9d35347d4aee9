// The main window following the disk: another program changes files and
// directories, and the rows, the tree, the statistics and the tags follow
// without a refill.
#include "catalogue/diskaudit.h"
#include "catalogue/disklogger.h"
#include "catalogue/livecatalogue.h"
#include "config/settings.h"
#include "gui/app/mainstatusbar.h"
#include "gui/config/toptionsform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/dirpropertiesdialog.h"
#include "gui/tree/livecontroller.h"
#include "gui/tree/thetreeview.h"
#include "platform/dirwatcher.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "support/shell.h"

#include <QAccessible>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <functional>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Lets events run until `done` holds; false after 20 seconds (generous: the
/// machine may be busy).
bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 20000);
}

class LiveGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.write("d/a.txt", "a");
        tmp.write("d/b.doc", std::string(3000, 'b'));
        tmp.write("d/c.txt", "c");
        tmp.write("d/docs/d.txt", "d");
        tmp.write("d/docs/e.doc", std::string(5000, 'e'));
        tmp.write("d/music/f.mp3", "f");
        tmp.write("e/x.txt", "x");
        tmp.mkdir("e/sub");
        tmp.mkdir("n");
        state.currentDisk = 'D';
        settings.ShowMemStat = false;
        makeDrives("D=" + tmp.at("d") + ";E=" + tmp.at("e") + ";N=" + tmp.at("n") + ":network");
    }
    /// The window started on D:, its whole tree logged.
    void start(size_t budget = 0) {
        makeForm();
        if (budget)
            live().SetBudget(budget);
        ASSERT_NO_FATAL_FAILURE(showActive());
        form->Start({});
        form->logger().LogDirBranch();
        idle();
        form->IdleHandler();
        idle();
    }

    LiveCatalogue& live() { return form->live().live(); }
    TTreeNode* node(const std::string& path) { return form->logger().FindNodeByPath(path); }
    bool run(const std::string& command) { return form->runCommand(command); }

    /// The names the file window shows, in order.
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (int i = 0; i < fw().Count(); ++i)
            out.emplace_back(fw().Text(i));
        return out;
    }
    std::vector<std::string> sortedRows() {
        auto out = rows();
        std::sort(out.begin(), out.end());
        return out;
    }
    bool shows(const std::string& name) {
        const auto r = rows();
        return std::find(r.begin(), r.end(), name) != r.end();
    }
    int rowOf(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
    /// What Disk properties says under "Changes on disk" (opened by its command).
    QString diskPropertiesSay() {
        QString said;
        OnModalShown([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<TDirPropertiesDialog*>(modal))
                for (const auto& [label, value] : dialog->rows())
                    if (label == "Changes on disk")
                        said = value;
            modal->close();
        });
        EXPECT_TRUE(run("miVolPropertiesClick"));
        return said;
    }
    /// The paths of the directories marked as possibly stale.
    std::vector<std::string> staleDirs() {
        std::vector<std::string> out;
        cat->Tree().ForEachNode([&](TTreeNode* n) {
            if (n->Follow() == FollowState::MayBeStale)
                out.push_back(n->Path());
            return true;
        });
        return out;
    }
    /// Where the catalogue and the disk differ below `root` (nothing when in step).
    std::vector<std::string> audit(const std::string& root = "D:\\") {
        return DiskAudit(*cat, node(root), true);
    }
    std::string currentName() {
        const int i = fw().Current();
        return i < 0 ? std::string() : std::string(fw().Text(i));
    }
};

TEST_F(LiveGui, RowsComeGoAndChangeKeepingTheCurrentRowTagsAndFigures) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(rows(), (std::vector<std::string>{"a.txt", "b.doc", "c.txt"}));
    ASSERT_NO_FATAL_FAILURE(focusList());
    // a.txt tagged (Space), c.txt current.
    fw().SetCurrent(rowOf("a.txt"));
    QTest::keyClick(list(), Qt::Key_Space);
    fw().SetCurrent(rowOf("c.txt"));
    ASSERT_TRUE(fw().Record(rowOf("a.txt"))->Tagged());
    const int fills = form->fillCount();
    QSignalSpy applied(&form->live(), &LiveController::applied);

    ASSERT_EQ(0, RunShell("cd '" + tmp.at("d") +
                          "' && printf xyz > ab.txt && rm b.doc && printf 1234567 >> c.txt"));
    ASSERT_TRUE(waitFor([&] { return shows("ab.txt") && !shows("b.doc"); }));
    ASSERT_TRUE(waitFor([&] {
        const TFileClass* c = fw().Record(rowOf("c.txt"));
        return c && c->FileSize() == 8;
    }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"a.txt", "ab.txt", "c.txt"})) << "in sorted order";
    EXPECT_EQ(currentName(), "c.txt");
    EXPECT_EQ(list()->currentIndex(), rowOf("c.txt"));
    EXPECT_EQ(list()->count(), 3);
    EXPECT_TRUE(fw().Record(rowOf("a.txt"))->Tagged()) << "an untouched file keeps its tag";
    EXPECT_EQ(form->fillCount(), fills) << "no refill";
    EXPECT_GE(applied.count(), 1);
    EXPECT_EQ(fw().Statistics().files, "3");
    EXPECT_EQ(fw().Statistics().size, "12 bytes.");
    EXPECT_EQ(fw().Statistics().taggedFiles, "1");
    EXPECT_EQ(fw().CurrentFile().size, " 8 bytes");

    // The tagged file vanishes and takes its tag with it: the totals say so.
    ASSERT_EQ(0, std::remove(tmp.at("d/a.txt").c_str()));
    ASSERT_TRUE(waitFor([&] { return !shows("a.txt"); }));
    EXPECT_EQ(fw().Statistics().taggedFiles, "0");
    EXPECT_EQ(currentName(), "c.txt");
    EXPECT_EQ(form->fillCount(), fills);
}

TEST_F(LiveGui, TheScrollPositionStaysWithItsRowsWhileRowsComeAndGoAboveThem) {
    for (int i = 0; i < 150; ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "m%03d.txt", i);
        tmp.write(std::string("d/") + name, "x");
    }
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusList());
    list()->setTopIndex(rowOf("m100.txt"));
    fw().SetCurrent(rowOf("m101.txt"));
    ASSERT_EQ(list()->topIndex(), rowOf("m100.txt"));
    for (int i = 0; i < 10; ++i)
        std::remove(tmp.at("d/m00" + std::to_string(i) + ".txt").c_str());
    tmp.write("d/b0.txt", "new, sorts near the top");
    ASSERT_TRUE(waitFor([&] { return !shows("m009.txt") && shows("b0.txt"); }));
    EXPECT_EQ(list()->topIndex(), rowOf("m100.txt"));
    EXPECT_EQ(currentName(), "m101.txt");
    EXPECT_EQ(list()->currentIndex(), rowOf("m101.txt"));
}

TEST_F(LiveGui, ABranchScopeFollowsEveryDirectoryOfTheBranch) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(run("BranchShowAllLogged"));
    form->IdleHandler();
    idle();
    ASSERT_TRUE(shows("e.doc"));
    fw().Record(rowOf("e.doc"))->SetTagged(true);
    fw().UpdateStatistics();
    ASSERT_EQ(fw().Statistics().taggedFiles, "1");
    const int fills = form->fillCount();
    tmp.write("d/docs/new.txt", "n");
    tmp.write("d/music/g.mp3", "g");
    ASSERT_EQ(0, std::remove(tmp.at("d/docs/e.doc").c_str()));
    ASSERT_TRUE(waitFor([&] { return shows("new.txt") && shows("g.mp3") && !shows("e.doc"); }));
    // Catalogue order: each new file after the others of its directory.
    EXPECT_EQ(rowOf("new.txt"), rowOf("d.txt") + 1);
    EXPECT_EQ(rowOf("g.mp3"), rowOf("f.mp3") + 1);
    EXPECT_EQ(fw().Statistics().taggedFiles, "0");
    EXPECT_EQ(form->fillCount(), fills);
}

TEST_F(LiveGui, AGlobalScopeFollowsEveryLoggedDisk) {
    ASSERT_NO_FATAL_FAILURE(start());
    form->logger().LogDrive('E');
    idle();
    ASSERT_TRUE(node("E:\\"));
    ASSERT_TRUE(run("GlobalShowAllLogged"));
    form->IdleHandler();
    idle();
    ASSERT_TRUE(shows("x.txt"));
    ASSERT_TRUE(shows("a.txt"));
    const int fills = form->fillCount();
    // Changes on both disks by another program, one a move between directories.
    tmp.write("e/y.txt", "y");
    tmp.write("d/music/h.mp3", "h");
    ASSERT_EQ(0, std::rename(tmp.at("d/a.txt").c_str(), tmp.at("d/docs/a2.txt").c_str()));
    ASSERT_TRUE(waitFor(
        [&] { return shows("y.txt") && shows("h.mp3") && shows("a2.txt") && !shows("a.txt"); }));
    EXPECT_EQ(form->fillCount(), fills) << "the rows followed without a refill";
    EXPECT_TRUE(audit().empty());
    EXPECT_TRUE(audit("E:\\").empty());
}

TEST_F(LiveGui, TheTreeGainsRenamesAndLosesDirectories) {
    ASSERT_NO_FATAL_FAILURE(start());
    CatalogueTreeModel& model = form->treeModel();
    // The rows the tree shows right below the disk's root, in order.
    auto shownUnderRoot = [&] {
        QStringList names;
        const int root = model.indexOf(node("D:\\")).row();
        for (int row = root + 1; row < model.rowCount(); ++row) {
            const QModelIndex i = model.index(row, 0);
            const int depth = CatalogueTreeModel::depthOf(CatalogueTreeModel::nodeOf(i));
            if (depth == 0)
                break;
            if (depth == 1)
                names << i.data().toString();
        }
        return names;
    };
    ASSERT_EQ(shownUnderRoot().size(), 2);
    tmp.mkdir("d/new dir");
    ASSERT_TRUE(waitFor([&] { return shownUnderRoot().size() == 3; }));
    EXPECT_EQ(shownUnderRoot().front(), "docs");
    EXPECT_EQ(shownUnderRoot().back(), "new dir");
    ASSERT_EQ(0, std::rename(tmp.at("d/docs").c_str(), tmp.at("d/papers").c_str()));
    ASSERT_TRUE(waitFor([&] { return node("D:\\papers\\") != nullptr; }));
    EXPECT_TRUE(node("D:\\papers\\")->Logged()) << "the renamed branch keeps what was read";
    RemoveTree(tmp.at("d/music"));
    ASSERT_TRUE(waitFor([&] { return node("D:\\music\\") == nullptr; }));
    EXPECT_EQ(shownUnderRoot(), QStringList({"new dir", "papers"}));
}

TEST_F(LiveGui, WatchesRunningShortMarkTheTreeAndSayOnceHowToRaiseTheLimit) {
    ASSERT_NO_FATAL_FAILURE(start(2));
    EXPECT_NE(form->MainStatusBar->hint().toStdString().find("fs.inotify.max_user_watches"),
              std::string::npos)
        << form->MainStatusBar->hint().toStdString();
    TTreeNode* marked = nullptr;
    cat->Tree().ForEachNode([&](TTreeNode* n) {
        if (!marked && n->Follow() == FollowState::MayBeStale)
            marked = n;
        return true;
    });
    ASSERT_NE(marked, nullptr);
    CatalogueTreeModel& model = form->treeModel();
    const QModelIndex index = model.indexOf(marked);
    EXPECT_EQ(index.data(CatalogueTreeModel::FollowNoteRole).toString(), "may be stale");
    EXPECT_FALSE(index.data(Qt::ToolTipRole).toString().isEmpty());
    // A screen reader hears the mark with the row.
    form->MainTreeView->expandAll();
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(form->MainTreeView);
    ASSERT_NE(tree, nullptr);
    bool heard = false;
    for (int i = 0; i < tree->childCount(); ++i)
        if (QAccessibleInterface* row = tree->child(i))
            if (row->text(QAccessible::Name) == QString::fromStdString(std::string(marked->Text())))
                heard = row->text(QAccessible::Description).contains("may be stale");
    EXPECT_TRUE(heard);

    // Selected, it is on screen: it takes a watch and shows what changed meanwhile.
    const auto host = cat->HostPath(marked);
    ASSERT_TRUE(host);
    ASSERT_EQ(0, RunShell("printf m > '" + *host + "/meanwhile.txt'"));
    cat->Tree().Select(marked);
    ASSERT_TRUE(waitFor([&] { return marked->Follow() == FollowState::Followed; }));
    state.requestRefill();
    form->IdleHandler();
    EXPECT_TRUE(shows("meanwhile.txt"));
}

TEST_F(LiveGui, TheOptionSwitchesFollowingOffAndDiskPropertiesSaySo) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_GT(live().Watches(), 0u);
    OnModalShown([](QWidget* modal) {
        auto* box = modal->findChild<QCheckBox*>("cbFollowChanges");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Follow changes on disk");
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        modal->findChild<QPushButton*>("btnOK")->click();
    });
    form->OpenOptions(static_cast<int>(TOptionsForm::Page::Disks));
    EXPECT_FALSE(settings.FollowChangesOnDisk);
    EXPECT_EQ(live().Watches(), 0u);
    tmp.write("d/unseen.txt", "u");

    QString said = diskPropertiesSay();
    EXPECT_TRUE(said.contains("\"Follow changes on disk\" is off")) << said.toStdString();

    // The network disk: never followed, whatever the option says.
    settings.FollowChangesOnDisk = true;
    form->ApplyConfirmedOptions(settings);
    tmp.write("n/s.txt", "s");
    form->logger().LogDrive('N');
    idle();
    EXPECT_EQ(node("N:\\")->Follow(), FollowState::NotFollowed);
    EXPECT_EQ(
        form->treeModel().indexOf(node("N:\\")).data(CatalogueTreeModel::FollowNoteRole).toString(),
        "not followed");
    said = diskPropertiesSay();
    EXPECT_TRUE(said.startsWith("Not followed")) << said.toStdString();
    // Switched on again, what changed meanwhile was read.
    EXPECT_TRUE(form->logger().GoToDirPath("D:\\"));
    state.requestRefill();
    form->IdleHandler();
    EXPECT_TRUE(shows("unseen.txt"));
}

TEST_F(LiveGui, TheProgramsOwnDeleteCausesNoSecondChange) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusList());
    fw().SetCurrent(rowOf("b.doc"));
    QSignalSpy applied(&form->live(), &LiveController::applied);
    settings.DeleteType = 1; // deleted outright
    prompter.answer(true);
    const uint64_t batches = live().Batches();
    ASSERT_TRUE(run("DeleteSingleFile"));
    form->IdleHandler();
    idle();
    ASSERT_FALSE(shows("b.doc"));
    const int fills = form->fillCount();
    const auto before = rows();
    // The deletion's own events arrive and are recognised as shown already.
    ASSERT_TRUE(waitFor([&] { return live().Batches() > batches; }));
    idle();
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(form->fillCount(), fills);
    EXPECT_EQ(rows(), before);
}

TEST_F(LiveGui, ARefreshByHandClearsTheMarksAndReadsWhatChangedUnseen) {
    ASSERT_NO_FATAL_FAILURE(start(2));
    const std::vector<std::string> marked = staleDirs();
    ASSERT_FALSE(marked.empty());
    const auto host = cat->HostPath(node(marked.front()));
    ASSERT_TRUE(host);
    ASSERT_EQ(0, RunShell("printf u > '" + *host + "/unseen.txt'"));
    ASSERT_TRUE(run("miVolRefreshAllDirsClick"));
    form->IdleHandler();
    idle();
    EXPECT_EQ(staleDirs(), std::vector<std::string>());
    EXPECT_EQ(audit(), std::vector<std::string>());
    EXPECT_EQ(form->treeModel()
                  .indexOf(node(marked.front()))
                  .data(CatalogueTreeModel::FollowNoteRole)
                  .toString(),
              "");
    EXPECT_LE(live().Watches(), 2u) << "the budget still holds";
}

TEST_F(LiveGui, ReleasingADiskOrClosingABranchGivesItsWatchesBack) {
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(live().Watches(), 3u) << "D:, D:\\docs and D:\\music";
    ASSERT_TRUE(form->logger().GoToDirPath("E:\\"));
    form->logger().LogDirBranch();
    idle();
    EXPECT_EQ(live().Watches(), 5u) << "and E:, E:\\sub";
    ASSERT_TRUE(form->logger().GoToDirPath("D:\\"));
    idle();
    prompter.answer(true); // "Release disk D ???"
    ASSERT_TRUE(run("ReleaseDisk"));
    form->IdleHandler();
    idle();
    ASSERT_EQ(node("D:\\"), nullptr);
    EXPECT_EQ(live().Watches(), 2u);
    ASSERT_EQ(0, RunShell("printf l > '" + tmp.at("e") + "/sub/late.txt'"));
    ASSERT_TRUE(waitFor([&] { return audit("E:\\").empty(); }));

    // Closed in the tree, a branch is forgotten and so are its watches.
    const QModelIndex e = form->treeModel().indexOf(node("E:\\"));
    ASSERT_TRUE(form->MainTreeView->isExpanded(e));
    form->MainTreeView->collapse(e);
    idle();
    EXPECT_FALSE(node("E:\\")->Logged());
    EXPECT_EQ(live().Watches(), 0u);
}

TEST_F(LiveGui, AnOverflowingQueueEndsInTheRightRowsAndCatalogueWithoutARefill) {
    ASSERT_NO_FATAL_FAILURE(start());
    FILE* f = std::fopen("/proc/sys/fs/inotify/max_queued_events", "r");
    ASSERT_NE(f, nullptr);
    long limit = 0;
    ASSERT_EQ(std::fscanf(f, "%ld", &limit), 1);
    std::fclose(f);
    const int fills = form->fillCount();
    // A busy system: the queue is not read while another program makes more
    // files than it holds (two events each) and changes the files shown.
    live().Watcher().Hold(true);
    ASSERT_EQ(0, RunShell("cd '" + tmp.at("d") + "' && i=0; while [ $i -lt " +
                          std::to_string(limit / 2 + 16) +
                          " ]; do : > docs/f$i; i=$((i+1)); done; rm b.doc; printf 23 >> c.txt"));
    live().Watcher().Hold(false);
    ASSERT_TRUE(waitFor([&] {
        const TFileClass* c = fw().Record(rowOf("c.txt"));
        return !shows("b.doc") && c && c->FileSize() == 3;
    }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(audit(), std::vector<std::string>());
    EXPECT_EQ(node("D:\\docs\\")->Data()->FileList().Count(), limit / 2 + 16 + 2);
    EXPECT_EQ(form->fillCount(), fills);
}

TEST_F(LiveGui, AGlobalTaggedScopeLosesFilesThatLoseTheirTagAndGainsNoUntaggedOnes) {
    ASSERT_NO_FATAL_FAILURE(start());
    form->logger().LogDrive('E');
    idle();
    for (const auto& [dir, name] : std::vector<std::pair<std::string, std::string>>{
             {"D:\\", "a.txt"}, {"D:\\", "c.txt"}, {"D:\\docs\\", "d.txt"}, {"E:\\", "x.txt"}})
        for (TFileClass* r : node(dir)->Data()->FileList())
            if (r->FileName() == name)
                r->SetTagged(true);
    ASSERT_TRUE(run("GlobalShowAllTagged"));
    form->IdleHandler();
    idle();
    ASSERT_EQ(sortedRows(), (std::vector<std::string>{"a.txt", "c.txt", "d.txt", "x.txt"}));
    ASSERT_EQ(fw().Statistics().taggedFiles, "4");
    const int fills = form->fillCount();
    ASSERT_EQ(0, RunShell("cd '" + tmp.at("d") +
                          "' && printf more >> c.txt && rm docs/d.txt && printf n > docs/new.txt "
                          "&& printf y > '" +
                          tmp.at("e") + "/y.txt'"));
    ASSERT_TRUE(waitFor([&] { return !shows("c.txt") && !shows("d.txt"); }));
    ASSERT_TRUE(waitFor([&] { return audit("E:\\").empty() && audit().empty(); }));
    EXPECT_EQ(sortedRows(), (std::vector<std::string>{"a.txt", "x.txt"}));
    EXPECT_EQ(fw().Statistics().taggedFiles, "2");
    EXPECT_EQ(form->fillCount(), fills);
}

} // namespace
