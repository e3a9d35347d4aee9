// Every file command of the main window, driven by its key or menu action over
// a directory of names that a mask, a ";"-list or a quoted list would read as
// something else, beside the files such a reading would reach instead. After
// each command the disk is held against what it was, byte for byte: exactly
// the chosen files were acted on.

#include "catalogue/treenode.h"
#include "fileswindowfixture.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/findresultsmime.h"
#include "gui/controls/tradiogroup.h"
#include "gui/ops/comparetestcontroller.h"
#include "gui/ops/diropscontroller.h"
#include "gui/ops/opscontroller.h"
#include "gui/ops/tcompareform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "ops/filetest.h"
#include "support/files.h"
#include "support/modalwatch.h"

#include <QAction>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// A name of 250 bytes, near the longest a directory entry can have.
const std::string kLongName = "long " + std::string(241, 'n') + ".txt";

/// Names a mask, a list, an option or markup would misread.
const std::vector<std::string> kHostile = {
    "a?",       "star*", "x;C:victim.txt", "plain;semi", "x\" .. \"y", "README", "README.",
    "line\nbreak", "<b>bold", "-rf",           ".hidden",    "&x",        "AD",     kLongName};
/// What a misreading would reach instead ("ad" is the case twin of "AD").
const std::vector<std::string> kNeighbours = {
    "ab",   "ad",    "starfish", "start.db", "x",  "y",      "plain", "semi",
    "line", "break", "bold",     "b",        "rf", "hidden", "link"};

/// What stands at each path below the drives: kind, mode, time and contents
/// (a link: its target text). Directories only by kind: their times follow
/// what is done inside them.
using Disk = std::map<std::string, std::string>;

std::string describe(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    if (S_ISDIR(st.st_mode))
        return "dir";
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        return "link " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
    }
    return "file " + std::to_string(st.st_mode & 07777) + " " + std::to_string(st.st_mtim.tv_sec) +
           "." + std::to_string(st.st_mtim.tv_nsec) + " " + ReadFile(path);
}

void walk(const std::string& root, const std::string& prefix, Disk& out) {
    DIR* d = ::opendir(root.c_str());
    if (!d)
        return;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = root + "/" + name;
        out[prefix + name] = describe(path);
        if (out[prefix + name] == "dir")
            walk(path, prefix + name + "/", out);
    }
    ::closedir(d);
}

class HostileNames : public FilesWindowFixture {
protected:
    void SetUp() override {
        int n = 0;
        for (const std::string& name : kHostile)
            tmp.write("d/h/" + name, "hostile " + std::to_string(++n) + ": " + name);
        for (const std::string& name : kNeighbours)
            if (name != "link")
                tmp.write("d/h/" + name, "neighbour " + name);
        tmp.symlink("ab", "d/h/link");
        // A link to a directory outside the one the commands work in.
        tmp.symlink("../secret", "d/h/dirlink");
        ASSERT_EQ(::link(tmp.at("d/h/ab").c_str(), tmp.at("d/h/hard").c_str()), 0);
        tmp.write("d/secret/key.pem", "PRIVATE KEY");
        tmp.write("c/victim.txt", "victim");
        for (const char* dir : {"e/C", "e/M", "e/T", "e/L"})
            tmp.mkdir(dir);
        // Distinct times, so that a copy that kept the wrong file's time shows.
        int second = 1000000000;
        for (const auto& [path, what] : disk())
            if (what.rfind("file ", 0) == 0)
                tmp.touch(path, second += 60);
        ASSERT_NO_FATAL_FAILURE(
            openFiles("C=" + tmp.at("c") + ";D=" + tmp.at("d") + ";E=" + tmp.at("e"), "D:\\h\\"));
        form->logger().LogDrive('E');
        ASSERT_NO_FATAL_FAILURE(openDir("D:\\h\\"));
        before = disk();
    }

    Disk before;

    /// Everything on the three drives now.
    Disk disk() {
        Disk out;
        for (const char* drive : {"c", "d", "e"})
            walk(tmp.at(drive), std::string(drive) + "/", out);
        return out;
    }

    QPoint treePoint(const std::string& path) {
        TTreeNode* node = form->logger().FindNodeByPath(path);
        EXPECT_NE(node, nullptr) << path;
        const QModelIndex index = form->treeModel().indexOf(node);
        form->MainTreeView->scrollTo(index);
        return form->MainTreeView->visualRect(index).center();
    }

    /// `expected` with a copy of d/h/<name> at `to` + name.
    void copied(Disk& expected, const std::vector<std::string>& names, const std::string& to) {
        for (const std::string& name : names)
            expected[to + name] = before.at("d/h/" + name);
    }
    void removed(Disk& expected, const std::vector<std::string>& names) {
        for (const std::string& name : names)
            expected.erase("d/h/" + name);
    }
};

} // namespace

TEST_F(HostileNames, CopyAndMoveOfTheCurrentFileTakeOnlyIt) {
    Disk expected = before;
    for (const std::string& name : kHostile) {
        SCOPED_TRACE(name);
        current(name);
        press(Qt::Key_C);
        copyMovePage(CopyMovePage::CopyAs, "*.*");
        copyMovePage(CopyMovePage::CopyTo, "E:\\C");
        copied(expected, {name}, "e/C/");
        EXPECT_EQ(disk(), expected);
    }
    EXPECT_TRUE(prompter.texts().empty());
    for (const std::string& name : kHostile) {
        SCOPED_TRACE(name);
        current(name);
        press(Qt::Key_M);
        copyMovePage(CopyMovePage::MoveAs, "*.*");
        copyMovePage(CopyMovePage::MoveTo, "E:\\M");
        copied(expected, {name}, "e/M/");
        removed(expected, {name});
        EXPECT_EQ(disk(), expected);
        EXPECT_EQ(row(name), -1);
    }
    EXPECT_TRUE(prompter.texts().empty());
    for (const std::string& name : kNeighbours)
        EXPECT_GE(row(name), 0) << name;
}

TEST_F(HostileNames, TaggedCopyAndMoveTakeExactlyTheTaggedFiles) {
    tag(kHostile);
    press(Qt::Key_C, Qt::ControlModifier);
    copyMovePage(CopyMovePage::CopyAs, "*.*");
    copyMovePage(CopyMovePage::CopyTo, "E:\\T");
    Disk expected = before;
    copied(expected, kHostile, "e/T/");
    EXPECT_EQ(disk(), expected);

    // The links: a symbolic link goes as a link, a hard link as its own file.
    tag({"link", "hard"});
    press(Qt::Key_M, Qt::ControlModifier);
    copyMovePage(CopyMovePage::MoveAs, "*.*");
    copyMovePage(CopyMovePage::MoveTo, "E:\\L");
    expected["e/L/link"] = "link ab";
    expected["e/L/hard"] = before.at("d/h/hard");
    removed(expected, {"link", "hard"});
    EXPECT_EQ(disk(), expected);
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(HostileNames, WithPathsTakesExactlyTheTaggedFilesAndReadmeNotReadmeDot) {
    tag({"README"});
    press(Qt::Key_C, Qt::AltModifier);
    copyMovePage(CopyMovePage::FullCopyAs, "*.*");
    prompter.answer(false); // Strip common directories? No
    copyMovePage(CopyMovePage::CopyTo, "E:\\P");
    Disk expected = before;
    expected["e/P"] = "dir";
    expected["e/P/h"] = "dir";
    copied(expected, {"README"}, "e/P/h/");
    EXPECT_EQ(disk(), expected);

    tag(kHostile);
    press(Qt::Key_M, Qt::AltModifier);
    copyMovePage(CopyMovePage::FullMoveAs, "*.*");
    prompter.answer(true); // strip: the last common directory stays
    copyMovePage(CopyMovePage::MoveTo, "E:\\W");
    expected["e/W"] = "dir";
    expected["e/W/h"] = "dir";
    copied(expected, kHostile, "e/W/h/");
    removed(expected, kHostile);
    EXPECT_EQ(disk(), expected);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Strip common directories ?     ",
                                                          "Strip common directories ?     "}));
}

TEST_F(HostileNames, DeleteTakesOnlyTheChosenFiles) {
    Disk expected = before;
    current("a?");
    prompter.answer(true);
    press(Qt::Key_D);
    removed(expected, {"a?"});
    EXPECT_EQ(disk(), expected);

    // A link goes as a link: what it points to stays.
    current("link");
    prompter.answer(true);
    press(Qt::Key_D);
    removed(expected, {"link"});
    EXPECT_EQ(disk(), expected);

    tag({"star*", "x;C:victim.txt", "x\" .. \"y", "line\nbreak", "README."});
    prompter.answer(false); // not each file asked
    press(Qt::Key_D, Qt::ControlModifier);
    removed(expected, {"star*", "x;C:victim.txt", "x\" .. \"y", "line\nbreak", "README."});
    EXPECT_EQ(disk(), expected);
    for (const std::string& name : kNeighbours) {
        if (name != "link") {
            EXPECT_GE(row(name), 0) << name;
        }
    }
}

TEST_F(HostileNames, RenameAttributesDateAndTestActOnTheChosenFile) {
    Disk expected = before;
    current("a?");
    press(Qt::Key_R);
    prompt(form->ops().renameFilePage(), "a!");
    expected["d/h/a!"] = expected.at("d/h/a?");
    removed(expected, {"a?"});
    EXPECT_EQ(disk(), expected);

    current("star*");
    press(Qt::Key_A);
    attributes("+R");
    expected["d/h/star*"] = describe(tmp.at("d/h/star*"));
    EXPECT_EQ(expected["d/h/star*"].substr(0, 9), "file 292 "); // 0444
    EXPECT_EQ(disk(), expected);

    current("plain;semi");
    press(Qt::Key_N);
    prompt(form->ops().dateTimePage(), "01.02.2003 04:05:06");
    expected["d/h/plain;semi"] = describe(tmp.at("d/h/plain;semi"));
    EXPECT_NE(expected["d/h/plain;semi"], before.at("d/h/plain;semi"));
    EXPECT_EQ(disk(), expected);

    current("x\" .. \"y");
    prompter.clear();
    press(Qt::Key_W);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"File: D:\\h\\x\" .. \"y is OK.     "});
    EXPECT_EQ(disk(), expected);
}

TEST_F(HostileNames, TaggedRenameAttributesDateAndTestActOnExactlyTheTagged) {
    Disk expected = before;
    tag({"a?", "x;C:victim.txt", "line\nbreak"});
    press(Qt::Key_R, Qt::ControlModifier);
    prompt(form->ops().renameTaggedPage(), "*.bak");
    for (const std::string name : {"a?", "x;C:victim", "line\nbreak"}) {
        const std::string old = name == "x;C:victim" ? name + ".txt" : name;
        expected["d/h/" + name + ".bak"] = before.at("d/h/" + old);
        expected.erase("d/h/" + old);
    }
    EXPECT_EQ(disk(), expected);

    tag({"star*", "x\" .. \"y"});
    press(Qt::Key_A, Qt::ControlModifier);
    attributes("+R");
    for (const char* name : {"star*", "x\" .. \"y"}) {
        const std::string path = std::string("d/h/") + name;
        expected[path] = describe(tmp.at(path));
        EXPECT_EQ(expected[path].substr(0, 9), "file 292 ") << name; // 0444
    }
    EXPECT_EQ(disk(), expected);

    tag({"plain;semi", "README."});
    press(Qt::Key_N, Qt::ControlModifier);
    prompt(form->ops().dateTimePage(), "01.02.2003 04:05:06");
    for (const char* name : {"plain;semi", "README."}) {
        const std::string path = std::string("d/h/") + name;
        expected[path] = describe(tmp.at(path));
        EXPECT_NE(expected[path], before.at(path)) << name;
    }
    EXPECT_EQ(disk(), expected);

    std::vector<std::string> read;
    form->compareTest().test().OnBlockRead = [&](const std::string& path, uint64_t) {
        if (read.empty() || read.back() != path)
            read.push_back(path);
    };
    tag({"a?.bak", "README", "x\" .. \"y"});
    prompter.clear();
    press(Qt::Key_W, Qt::ControlModifier);
    form->compareTest().test().OnBlockRead = nullptr;
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"All tested files OK.     "});
    EXPECT_EQ(std::set<std::string>(read.begin(), read.end()),
              (std::set<std::string>{tmp.at("d/h/a?.bak"), tmp.at("d/h/README"),
                                     tmp.at("d/h/x\" .. \"y")}));
    EXPECT_EQ(disk(), expected);
}

TEST_F(HostileNames, CompareTagsExactlyTheFilesOfTheSameName) {
    tmp.write("e/cmp/a?", "other");
    tmp.write("e/cmp/STAR*", "other");
    tmp.write("e/cmp/x", "other");
    OnModalShown([&](QWidget* dialog) {
        auto* f = qobject_cast<TCompareForm*>(dialog);
        ASSERT_NE(f, nullptr);
        f->hbDir->setEditText("E:\\cmp");
        f->rgCompareWhat->SetItemIndex(1); // same file names only
        f->btnRun->click();
    });
    current("a?");
    press(Qt::Key_K);
    ASSERT_NO_FATAL_FAILURE(reactivate());
    std::set<std::string> tagged;
    for (int i = 0; i < fw().Count(); ++i)
        if (fw().Record(i)->Tagged())
            tagged.insert(std::string(fw().Text(i)));
    EXPECT_EQ(tagged, (std::set<std::string>{"a?", "x"}));
    before["e/cmp"] = "dir";
    for (const char* name : {"e/cmp/a?", "e/cmp/STAR*", "e/cmp/x"})
        before[name] = describe(tmp.at(name));
    EXPECT_EQ(disk(), before);
}

TEST_F(HostileNames, ZipOfTaggedFilesPacksExactlyThemUnderTheirOwnNames) {
    tmp.mkdir("plugins");
    tmp.symlink(std::string(ZENTRIX_BUILD_DIR) + "/UnZip.so", "plugins/UnZip.so");
    setEnv("ZENTRIX_PLUGIN_DIR", tmp.at("plugins"));
    tag({"a?", "x\" .. \"y", "star*", "plain;semi"});
    QAction* zip = form->menus().action("miMakeZIPFile");
    ASSERT_NE(zip, nullptr);
    zip->trigger();
    idle();
    // The archive is named after the files' directory and lies in it.
    const std::string archivePath = tmp.at("d/h/h.ZIP");
    Disk expected = before;
    expected["d/h/h.ZIP"] = describe(archivePath);
    EXPECT_EQ(disk(), expected);

    std::map<std::string, std::string> entries;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    ASSERT_EQ(archive_read_open_filename(a, archivePath.c_str(), 10240), ARCHIVE_OK);
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        std::string data(static_cast<size_t>(archive_entry_size(entry)), '\0');
        archive_read_data(a, data.data(), data.size());
        entries[archive_entry_pathname(entry)] = data;
    }
    archive_read_free(a);
    std::map<std::string, std::string> wanted;
    for (const char* name : {"a?", "x\" .. \"y", "star*", "plain;semi"})
        wanted[name] = ReadFile(tmp.at("d/h/" + std::string(name)));
    EXPECT_EQ(entries, wanted);
}

TEST_F(HostileNames, FilesDraggedFromTheWindowToTheTreeAreExactlyTheTagged) {
    tag(kHostile);
    QMimeData data;
    data.setData(DirOpsController::kFileWindowMime, QByteArray());
    prompter.answer(true);
    ASSERT_TRUE(form->dirOps().dropOnTree(treePoint("E:\\"), &data, Qt::ControlModifier));
    idle();
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>{"Copy " + std::to_string(kHostile.size()) +
                                       " files to: E:\\ ?     "});
    Disk expected = before;
    copied(expected, kHostile, "e/");
    EXPECT_EQ(disk(), expected);
}

TEST_F(HostileNames, FindResultsAndDesktopFilesDroppedOnTheTreeAreExactlyTheNamed) {
    const std::vector<std::string> chosen = {"a?", "x;C:victim.txt", "line\nbreak", "x\" .. \"y"};
    QStringList names;
    for (const std::string& name : chosen)
        names << QString::fromStdString("D:\\h\\" + name);
    QMimeData results;
    SetFindResults(&results, names);
    prompter.answer(true);
    ASSERT_TRUE(form->dirOps().dropOnTree(treePoint("E:\\"), &results, Qt::NoModifier));
    idle();
    Disk expected = before;
    copied(expected, chosen, "e/");
    EXPECT_EQ(disk(), expected);

    // Files dropped from the desktop, by their URLs.
    tmp.mkdir("e/desk");
    form->logger().ShowMadeDirectory("E:\\desk\\");
    const QPoint inTree = treePoint("E:\\desk\\");
    const QPoint at = form->MainTreeView->viewport()->mapTo(form.get(), inTree);
    QList<QUrl> urls;
    for (const char* name : {"star*", "plain;semi", "README"})
        urls << QUrl::fromLocalFile(QString::fromStdString(tmp.at("d/h/" + std::string(name))));
    prompter.clear();
    prompter.answer(true).answer(false); // copy, not with full paths
    ASSERT_TRUE(form->DropFiles(at, urls));
    idle();
    expected["e/desk"] = "dir";
    copied(expected, {"star*", "plain;semi", "README"}, "e/desk/");
    EXPECT_EQ(disk(), expected);
}

TEST_F(HostileNames, PasteOfABranchCopiesEveryFileByItsExactName) {
    tmp.write("d/h/sub;dir/inner*", "inner");
    tmp.write("d/h/sub;dir/deeper?/x;y", "deep");
    form->logger().LogDirBranch();
    before = disk();
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\h\\"));
    form->MainTreeView->setFocus();
    idle();
    QTest::keyClick(form->MainTreeView, Qt::Key_C, Qt::ControlModifier);
    cat->Tree().Select(form->logger().FindNodeByPath("E:\\"));
    idle();
    QTest::keyClick(form->MainTreeView, Qt::Key_V, Qt::ControlModifier);
    idle();
    EXPECT_TRUE(prompter.texts().empty());
    Disk expected = before;
    for (const auto& [path, what] : before)
        if (path.rfind("d/h/", 0) == 0)
            expected["e/h/" + path.substr(4)] = what;
    expected["e/h"] = "dir";
    // A hard link arrives as a file of its own; every other entry as it was.
    EXPECT_EQ(disk(), expected);
}

TEST_F(HostileNames, DirectoryCommandsOfTheTreeTakeTheTypedNameAsItIs) {
    const auto key = [&](Qt::Key k) {
        form->MainTreeView->setFocus();
        QTest::keyClick(form->MainTreeView, k);
        idle();
    };
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\h\\"));
    key(Qt::Key_M);
    prompt(form->dirOps().makeDirPage(), "<b>new;*");
    Disk expected = before;
    expected["d/h/<b>new;*"] = "dir";
    EXPECT_EQ(disk(), expected);
    ASSERT_EQ(cat->Tree().Selected(), form->logger().FindNodeByPath("D:\\h\\<b>new;*\\"));

    key(Qt::Key_R);
    prompt(form->dirOps().renameDirPage(), "-rf \"..\" ?");
    expected.erase("d/h/<b>new;*");
    expected["d/h/-rf \"..\" ?"] = "dir";
    EXPECT_EQ(disk(), expected);

    prompter.answer(true);
    key(Qt::Key_Delete);
    EXPECT_EQ(disk(), before);
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\h\\-rf \"..\" ?\\"), nullptr);
    EXPECT_TRUE(prompter.texts() == std::vector<std::string>{"Delete directory?"})
        << ::testing::PrintToString(prompter.texts());

    // A link to a directory, chosen in the tree: Delete removes only empty
    // directories, and what the link leads to is not this directory's.
    TTreeNode* link = form->logger().FindNodeByPath("D:\\h\\dirlink\\");
    ASSERT_NE(link, nullptr);
    cat->Tree().Select(link);
    prompter.clear();
    prompter.answer(true);
    key(Qt::Key_Delete);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory not empty!     "});
    EXPECT_EQ(disk(), before);
}

// Pruning the directory of hostile names removes it and all it holds, the
// links as links: the directory a link leads to, the file its name would
// reach on another drive and the hard link's other name all stay.
TEST_F(HostileNames, PruneRemovesTheBranchAndNothingALinkOrANameLeadsTo) {
    ASSERT_EQ(::link(tmp.at("d/h/ab").c_str(), tmp.at("d/ab.other").c_str()), 0);
    before = disk();
    form->logger().LogDirBranch();
    settings.SkipPruneOption = true;
    cat->Tree().Select(form->logger().FindNodeByPath("D:\\h\\"));
    form->MainTreeView->setFocus();
    idle();
    QTest::keyClick(form->MainTreeView, Qt::Key_P, Qt::AltModifier);
    idle();
    QTest::keyClicks(form->dirOps().edPrune, "PRUNE");
    prompter.answer(true).answer(true).answer(true);
    form->dirOps().bbPruneOK->click();
    idle();
    Disk expected;
    for (const auto& [path, what] : before)
        if (path.rfind("d/h", 0) != 0)
            expected[path] = what;
    // A name outside the branch for a file inside it keeps the file whole.
    EXPECT_EQ(disk(), expected);
    EXPECT_EQ(ReadFile(tmp.at("d/ab.other")), "neighbour ab");
    EXPECT_EQ(ReadFile(tmp.at("d/secret/key.pem")), "PRIVATE KEY");
    EXPECT_EQ(form->logger().FindNodeByPath("D:\\h\\"), nullptr);
}

// Ctrl+Z after a tagged move puts back exactly the files moved, under their
// own names, the links as links; the disk is as it was before the move.
TEST_F(HostileNames, UndoOfATaggedMovePutsBackExactlyTheMovedFiles) {
    std::vector<std::string> chosen = kHostile;
    chosen.insert(chosen.end(), {"link", "hard"});
    tag(chosen);
    press(Qt::Key_M, Qt::ControlModifier);
    copyMovePage(CopyMovePage::MoveAs, "*.*");
    copyMovePage(CopyMovePage::MoveTo, "E:\\M");
    Disk moved = before;
    copied(moved, chosen, "e/M/");
    removed(moved, chosen);
    ASSERT_EQ(disk(), moved);

    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(disk(), before);
    EXPECT_TRUE(prompter.texts().empty()) << ::testing::PrintToString(prompter.texts());
}
