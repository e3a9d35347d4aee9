#include "undo/undohistory.h"
#include "undofixture.h"

#include "platform/trashbin.h"

#include <set>
#include <sys/stat.h>
#include <utime.h>

namespace zentrix::test {
namespace {

int64_t remaining(const UndoJournal& journal, uint64_t id) {
    return UndoCoverage(journal.Entries()).Remaining(*journal.Find(id));
}

// A move within one file system goes back by renames; a file changed since the
// move stays where it is and is named with the reason, and it is still there
// to undo once it is as the move left it.
TEST_F(UndoFixture, AMoveGoesBackButNotAFileChangedSince) {
    tmp.write("d/src/a.txt", "alpha");
    tmp.write("d/src/b.txt", "beta");
    tmp.write("d/src/c.txt", "gamma");
    const uint64_t id = run(OperationKind::Move, FileOperation::foMove,
                            {"D:\\src\\a.txt", "D:\\src\\b.txt", "D:\\src\\c.txt"}, "D:\\dst\\");
    ASSERT_TRUE(Exists(tmp.at("d/dst/b.txt")));
    EXPECT_EQ(journal->Find(id)->files, 3);
    tmp.write("d/dst/b.txt", "beta, edited");

    reopenJournal(); // as on the next day
    const UndoReport report = undo(id);
    EXPECT_EQ(ReadFile(tmp.at("d/src/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/src/c.txt")), "gamma");
    EXPECT_FALSE(Exists(tmp.at("d/src/b.txt")));
    EXPECT_EQ(ReadFile(tmp.at("d/dst/b.txt")), "beta, edited");
    // The directory the move made stays too, with the file in it.
    EXPECT_EQ(reasons(report), tmp.at("d/dst/b.txt") + ": it changed since\n" + tmp.at("d/dst") +
                                   ": the directory is not empty\n");
    EXPECT_EQ(remaining(*journal, id), 2);

    // Replaced by another file of the same name and size: still left alone.
    tmp.write("d/dst/new b", "beta");
    ASSERT_EQ(::rename(tmp.at("d/dst/new b").c_str(), tmp.at("d/dst/b.txt").c_str()), 0);
    EXPECT_EQ(undo(id).leftAlone[0].reason, "it was replaced since");
}

// Undo never replaces: a name taken since the move is asked about, and the
// file goes back under another name or stays, as the user says.
TEST_F(UndoFixture, ATakenNameIsAskedAboutAndNeverReplaced) {
    tmp.write("d/src/a.txt", "moved");
    const uint64_t id = run(OperationKind::Move, FileOperation::foMove, {"D:\\src\\a.txt"}, "E:\\");
    tmp.write("d/src/a.txt", "new one");

    prompter.answerChoice(1); // Skip
    UndoReport report = undo(id);
    EXPECT_NE(prompter.questions().back().find("already exists"), std::string::npos);
    ASSERT_EQ(report.leftAlone.size(), 1u);
    EXPECT_NE(report.leftAlone[0].reason.find("is taken"), std::string::npos);
    EXPECT_EQ(ReadFile(tmp.at("d/src/a.txt")), "new one");
    EXPECT_EQ(ReadFile(tmp.at("e/a.txt")), "moved");

    prompter.answerChoice(0); // Rename
    report = undo(id);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    EXPECT_EQ(ReadFile(tmp.at("d/src/a.txt")), "new one");
    EXPECT_EQ(ReadFile(tmp.at("d/src/a (2).txt")), "moved");
    EXPECT_FALSE(Exists(tmp.at("e/a.txt")));
    EXPECT_EQ(remaining(*journal, id), 0);

    // A name as long as the file system allows: the other name is shortened to fit.
    const std::string longName = std::string(251, 'n') + ".txt";
    tmp.write("d/src/" + longName, "long");
    const uint64_t longMove =
        run(OperationKind::Move, FileOperation::foMove, {"D:\\src\\" + longName}, "E:\\");
    ASSERT_TRUE(Exists(tmp.at("e/" + longName)));
    tmp.write("d/src/" + longName, "taken");
    prompter.answerChoice(0); // Rename
    report = undo(longMove);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    EXPECT_EQ(ReadFile(tmp.at("d/src/" + std::string(247, 'n') + " (2).txt")), "long");
    EXPECT_EQ(ReadFile(tmp.at("d/src/" + longName)), "taken");
    EXPECT_TRUE(prompter.allAnswersUsed());
}

// Undoing a copy removes the copies that are as the copy left them; an edited
// copy, and one that replaced a file of its name, stay.
TEST_F(UndoFixture, ACopyIsRemovedUnlessEditedOrItReplacedAFile) {
    tmp.write("d/a.txt", "alpha");
    tmp.write("d/b.txt", "beta");
    tmp.write("d/c.txt", "gamma");
    tmp.write("e/c.txt", "an older gamma");
    prompter.answerChoice(0); // replace E:\C.TXT
    const uint64_t id = run(OperationKind::Copy, FileOperation::foCopy,
                            {"D:\\a.txt", "D:\\b.txt", "D:\\c.txt"}, "E:\\");
    ASSERT_EQ(ReadFile(tmp.at("e/c.txt")), "gamma");
    tmp.write("e/b.txt", "beta, edited");

    const UndoReport report = undo(id);
    EXPECT_FALSE(Exists(tmp.at("e/a.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/b.txt")), "beta, edited");
    EXPECT_EQ(ReadFile(tmp.at("e/c.txt")), "gamma");
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_TRUE(Exists(tmp.at("d/") + name)) << name;
    ASSERT_EQ(report.leftAlone.size(), 2u) << reasons(report);
    const std::set<std::string> why{report.leftAlone[0].path + ": " + report.leftAlone[0].reason,
                                    report.leftAlone[1].path + ": " + report.leftAlone[1].reason};
    EXPECT_EQ(why, (std::set<std::string>{tmp.at("e/b.txt") + ": it changed since",
                                          tmp.at("e/c.txt") +
                                              ": it replaced a file of the same name, which cannot "
                                              "be brought back"}));
}

// An undo is an operation of its own: undoing it moves the files again, and
// the first operation can then be undone once more.
TEST_F(UndoFixture, UndoingAnUndoDoesTheOperationAgain) {
    tmp.write("d/src/a.txt", "alpha");
    tmp.write("d/src/sub/b.txt", "beta");
    const uint64_t move = run(OperationKind::Move, FileOperation::foMove,
                              {"D:\\src\\a.txt", "D:\\src\\sub"}, "D:\\dst\\");
    ASSERT_TRUE(Exists(tmp.at("d/dst/sub/b.txt")));
    const UndoReport first = undo(move);
    EXPECT_TRUE(first.leftAlone.empty()) << reasons(first);
    EXPECT_TRUE(Exists(tmp.at("d/src/sub/b.txt")));
    EXPECT_EQ(LastUndoable(journal->Entries(), UndoCoverage(journal->Entries())), nullptr);

    reopenJournal();
    const UndoReport redo = undo(first.ownEntry);
    EXPECT_TRUE(redo.leftAlone.empty()) << reasons(redo);
    EXPECT_TRUE(Exists(tmp.at("d/dst/sub/b.txt")));
    EXPECT_FALSE(Exists(tmp.at("d/src/a.txt")));
    EXPECT_EQ(LastUndoable(journal->Entries(), UndoCoverage(journal->Entries()))->id, move);
    // The redo made D:\dst afresh, so it is another directory than the one the
    // first move made: it may be left standing, but every file goes back.
    const UndoReport again = undo(move);
    for (const LeftAlone& l : again.leftAlone)
        EXPECT_EQ(l.path, tmp.at("d/dst")) << reasons(again);
    EXPECT_EQ(ReadFile(tmp.at("d/src/a.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/src/sub/b.txt")), "beta");
}

// Directories a copy made on the way go again with it, but only while empty.
TEST_F(UndoFixture, DirectoriesMadeOnTheWayGoOnlyWhenEmpty) {
    tmp.write("d/src/x/one.txt", "1");
    tmp.write("d/src/y/two.txt", "2");
    const uint64_t id =
        run(OperationKind::CopyDir, FileOperation::foCopy, {"D:\\src"}, "E:\\new\\deep\\src");
    ASSERT_TRUE(Exists(tmp.at("e/new/deep/src/y/two.txt")));
    tmp.write("e/new/deep/src/y/mine.txt", "made since");

    const UndoReport report = undo(id);
    EXPECT_FALSE(Exists(tmp.at("e/new/deep/src/x")));
    EXPECT_FALSE(Exists(tmp.at("e/new/deep/src/y/two.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/new/deep/src/y/mine.txt")), "made since");
    EXPECT_EQ(reasons(report), tmp.at("e/new/deep/src/y") + ": the directory is not empty\n" +
                                   tmp.at("e/new/deep/src") + ": the directory is not empty\n" +
                                   tmp.at("e/new/deep") + ": the directory is not empty\n" +
                                   tmp.at("e/new") + ": the directory is not empty\n");
    EXPECT_TRUE(Exists(tmp.at("d/src/x/one.txt")));
}

// Deleting to the trash is undone from the trash: file and description both,
// the size cache of a directory kept in step; a place taken meanwhile asks
// for another name.
TEST_F(UndoFixture, TrashedFilesComeBackFromTheTrash) {
    tmp.write("d/keep/a.txt", "alpha");
    tmp.write("d/keep/dir/inner.txt", "inner");
    const uint64_t id =
        run(OperationKind::Trash, FileOperation::foDelete, {"D:\\keep\\a.txt", "D:\\keep\\dir"}, {},
            {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation});
    const std::string trash = tmp.at("data/Trash");
    ASSERT_FALSE(Exists(tmp.at("d/keep/a.txt")));
    ASSERT_TRUE(Exists(trash + "/info/dir.trashinfo"));
    ASSERT_NE(ReadFile(trash + "/directorysizes").find(" dir\n"), std::string::npos);
    tmp.write("d/keep/a.txt", "taken meanwhile");

    prompter.answerText("a restored.txt");
    const UndoReport report = undo(id);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    EXPECT_EQ(ReadFile(tmp.at("d/keep/a restored.txt")), "alpha");
    EXPECT_EQ(ReadFile(tmp.at("d/keep/a.txt")), "taken meanwhile");
    EXPECT_EQ(ReadFile(tmp.at("d/keep/dir/inner.txt")), "inner");
    EXPECT_TRUE(platform::ListTrash(trash).empty());
    EXPECT_FALSE(Exists(trash + "/info/a.txt.trashinfo"));
    EXPECT_EQ(ReadFile(trash + "/directorysizes").find(" dir\n"), std::string::npos);
}

// Nothing is done twice: a step found done already (by hand, or by an undo cut
// short before it was recorded) is only recorded.
TEST_F(UndoFixture, StepsDoneAlreadyAreOnlyRecorded) {
    tmp.write("d/a.txt", "alpha");
    tmp.write("d/b.txt", "beta");
    const uint64_t id =
        run(OperationKind::Move, FileOperation::foMove, {"D:\\a.txt", "D:\\b.txt"}, "D:\\x\\");
    ASSERT_EQ(::rename(tmp.at("d/x/a.txt").c_str(), tmp.at("d/a.txt").c_str()), 0);
    const UndoReport report = undo(id);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    EXPECT_EQ(report.putBack, 3); // and the directory the move made is gone again
    EXPECT_FALSE(Exists(tmp.at("d/x")));
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "beta");
    EXPECT_TRUE(prompter.questions().empty());
}

} // namespace
} // namespace zentrix::test
