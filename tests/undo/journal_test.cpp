#include "platform/filetransfer.h"
#include "support/files.h"
#include "support/tempdir.h"
#include "undo/journalformat.h"
#include "undo/undohistory.h"
#include "undo/undojournal.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zentrix::test {
namespace {

DoneStep moved(const std::string& from, const std::string& to, uint64_t inode) {
    DoneStep s;
    s.kind = DoneStep::Kind::Moved;
    s.source = from;
    s.target = to;
    s.result.kind = platform::EntryKind::Regular;
    s.result.size = 1234;
    s.result.mtimeSec = 1700000000;
    s.result.mtimeNsec = 123456789;
    s.result.device = 2049;
    s.result.inode = inode;
    s.result.mode = 0644;
    return s;
}

void expectSame(const DoneStep& a, const DoneStep& b) {
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.source, b.source);
    EXPECT_EQ(a.target, b.target);
    EXPECT_EQ(a.result.kind, b.result.kind);
    EXPECT_EQ(a.result.size, b.result.size);
    EXPECT_EQ(a.result.mtimeSec, b.result.mtimeSec);
    EXPECT_EQ(a.result.mtimeNsec, b.result.mtimeNsec);
    EXPECT_EQ(a.result.device, b.result.device);
    EXPECT_EQ(a.result.inode, b.result.inode);
    EXPECT_EQ(a.result.mode, b.result.mode);
    EXPECT_EQ(a.replaced, b.replaced);
    EXPECT_EQ(a.oldAttributes, b.oldAttributes);
    EXPECT_EQ(a.newAttributes, b.newAttributes);
    EXPECT_EQ(a.oldMode, b.oldMode);
    EXPECT_EQ(a.oldMtimeSec, b.oldMtimeSec);
    EXPECT_EQ(a.oldMtimeNsec, b.oldMtimeNsec);
    EXPECT_EQ(a.trashDir, b.trashDir);
    EXPECT_EQ(a.trashName, b.trashName);
    EXPECT_EQ(a.undoes, b.undoes);
}

std::string journalText(const UndoEntry& entry, const std::vector<DoneStep>& steps,
                        bool commit = true) {
    std::string text = UndoJournalVersionLine() + FormatEntryLine(entry);
    for (size_t i = 0; i < steps.size(); ++i)
        AppendStepLine(text, entry.id, steps[i], i ? &steps[i - 1] : nullptr);
    if (commit)
        text += FormatCommitLine(entry.id);
    return text;
}

// Names on Linux are any bytes but "/" and NUL: every one of them comes back
// from the journal as it went in, and the paths a step shares with the step
// before are written once.
TEST(UndoJournalFormat, StepsComeBackByteForByte) {
    std::vector<DoneStep> steps;
    steps.push_back(moved("/home/u/src/tab\there", "/home/u/dst/tab\there", 1));
    steps.push_back(moved("/home/u/src/line\nbreak%41", "/home/u/dst/line\nbreak%41", 2));
    steps.push_back(moved("/home/u/src/\x01\x7f\xff\xfe bytes", "/home/u/dst/\x01\x7f\xff\xfe", 3));
    steps.push_back(moved("/x/" + std::string(250, 'n'), "/y", 4));
    DoneStep attr;
    attr.kind = DoneStep::Kind::Attributes;
    attr.source = "/a/b";
    attr.target = "/a/.b";
    attr.oldAttributes = 0x21;
    attr.newAttributes = 0x23;
    attr.oldMode = 0100644;
    attr.attrSource = 1;
    attr.result.mtimeSec = -5; // before 1970
    steps.push_back(attr);
    DoneStep trash;
    trash.kind = DoneStep::Kind::Trashed;
    trash.source = "/a/b c";
    trash.target = "/t/files/b c.2";
    trash.trashDir = "/t\tdir";
    trash.trashName = "b c.2";
    trash.replaced = true;
    trash.undoes = 17;
    trash.oldMtimeSec = 99;
    trash.oldMtimeNsec = 999999999;
    steps.push_back(trash);

    UndoEntry entry;
    entry.id = 42;
    entry.time = 1700000123;
    entry.info = {OperationKind::Undo, "move of 3 files to D:\\A\tB\\", "", 7};
    const std::string text = journalText(entry, steps);
    // The directory of the first step is not written again for the second.
    EXPECT_EQ(text.find("/home/u/src/line"), std::string::npos);

    const UndoJournalText read = ReadUndoJournal(text);
    ASSERT_FALSE(read.damaged) << read.problem;
    EXPECT_EQ(read.complete, text.size());
    ASSERT_EQ(read.entries.size(), 1u);
    const UndoEntry& back = read.entries[0];
    EXPECT_EQ(back.id, 42u);
    EXPECT_EQ(back.time, 1700000123);
    EXPECT_EQ(back.info.kind, OperationKind::Undo);
    EXPECT_EQ(back.info.source, entry.info.source);
    EXPECT_EQ(back.info.undoes, 7u);
    EXPECT_TRUE(back.committed);
    EXPECT_EQ(back.steps, 6);
    EXPECT_EQ(back.files, 6);
    EXPECT_EQ(back.undoes, (std::vector<int64_t>{-1, -1, -1, -1, -1, 17}));

    std::vector<DoneStep> again;
    ASSERT_TRUE(
        ReadUndoSteps(std::string_view(text).substr(back.begin, back.end - back.begin), 42, again));
    ASSERT_EQ(again.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i)
        expectSame(again[i], steps[i]);
}

// A kill while a line was written leaves it without its end: the journal reads
// as far as its last whole line. Anything else out of order is damage, found
// with the place it is at.
TEST(UndoJournalFormat, ACutShortLineIsDroppedWhileDamageIsFound) {
    UndoEntry entry;
    entry.id = 1;
    entry.info = {OperationKind::Move, "D:\\A\\", "E:\\", 0};
    const std::string whole = journalText(entry, {moved("/a/x", "/b/x", 5)}, false);
    const UndoJournalText cut = ReadUndoJournal(whole + "I\t1\tmov");
    EXPECT_FALSE(cut.damaged);
    EXPECT_EQ(cut.complete, whole.size());
    ASSERT_EQ(cut.entries.size(), 1u);
    EXPECT_FALSE(cut.entries[0].committed);
    EXPECT_EQ(cut.entries[0].steps, 1);
    EXPECT_FALSE(ReadUndoJournal("ZENTRIX UNDO JOUR").damaged); // a cut version line

    const std::string head = UndoJournalVersionLine();
    const std::string heading = FormatEntryLine(entry);
    for (const std::string& bad : {
             std::string("not a journal\n"),
             head + "X\t1\n",                                      // an unknown kind of line
             head + "I\t1\tmoved\n",                               // a step of no entry
             head + heading + heading,                             // an entry twice
             head + heading + "C\t1\nC\t1\n",                      // a line after the commit
             head + heading + "C\t1\textra\n",                     // a commit with more
             head + "E\t1\t0\tflying\t0\ta\tb\n",                  // an unknown command
             head + "E\t1\tnow\tmove\t0\ta\tb\n",                  // a time that is no number
             head + "E\t1\t0\tmove\t0\t%4\tb\n",                   // an escape cut short
             head + "E\t99999999999999999999\t0\tmove\t0\ta\tb\n", // a number too big
         }) {
        const UndoJournalText read = ReadUndoJournal(bad);
        EXPECT_TRUE(read.damaged) << bad;
        EXPECT_TRUE(read.entries.empty());
    }
    std::string step = whole;
    step.replace(step.find("moved"), 5, std::string("mo\x01") + "ed");
    EXPECT_TRUE(ReadUndoJournal(step).damaged);
    const UndoJournalText newer = ReadUndoJournal("ZENTRIX UNDO JOURNAL 2\n");
    EXPECT_TRUE(newer.damaged);
    EXPECT_NE(newer.problem.find("newer version"), std::string::npos);
}

class UndoJournalFile : public ::testing::Test {
protected:
    TempDir tmp;
    std::string path() const { return tmp.at("home/UNDO.JOURNAL"); }

    /// One committed command of `files` moved files.
    static void runCommand(UndoJournal& journal, OperationKind kind, int files) {
        auto record = journal.Begin({kind, "D:\\SRC\\", "E:\\DST\\", 0});
        for (int i = 0; i < files; ++i)
            record->Done(moved("/src/f" + std::to_string(i), "/dst/f" + std::to_string(i),
                               static_cast<uint64_t>(100 + i)));
        record->Commit();
    }
};

// What one run of the program records, the next run reads back: the entries,
// their steps from the file, and where numbering goes on.
TEST_F(UndoJournalFile, AnotherRunReadsWhatThisOneWrote) {
    {
        UndoJournal journal(path());
        EXPECT_EQ(journal.Load(), "");
        runCommand(journal, OperationKind::Move, 3);
        journal.Begin({OperationKind::Copy, "D:\\X", "E:\\", 0})->Commit(); // nothing done
        runCommand(journal, OperationKind::Copy, 2);
        ASSERT_EQ(journal.Entries().size(), 2u);
    }
    UndoJournal again(path());
    EXPECT_EQ(again.Load(), "");
    ASSERT_EQ(again.Entries().size(), 2u);
    const UndoEntry& first = again.Entries()[0];
    EXPECT_EQ(first.info.kind, OperationKind::Move);
    EXPECT_TRUE(first.committed);
    EXPECT_EQ(first.files, 3);
    std::vector<DoneStep> steps;
    ASSERT_TRUE(again.Steps(first.id, steps));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[2].target, "/dst/f2");
    EXPECT_EQ(steps[2].result.inode, 102u);
    // New entries never take an old number.
    auto record = again.Begin({OperationKind::Move, "a", "b", 0});
    record->Done(moved("/p", "/q", 1));
    record->Commit();
    EXPECT_GT(again.Entries().back().id, again.Entries()[1].id);
}

// The oldest entries go beyond the limit; those kept still read their steps
// (their lines moved when the file was written anew).
TEST_F(UndoJournalFile, TheOldestEntriesGoBeyondTheLimit) {
    {
        UndoJournal journal(path(), 1000);
        journal.Load();
        for (int i = 0; i < 14; ++i)
            runCommand(journal, OperationKind::Move, 1 + i % 3);
    }
    UndoJournal journal(path(), 10);
    journal.Load();
    ASSERT_EQ(journal.Entries().size(), 10u);
    EXPECT_EQ(journal.Entries().front().id, 5u);
    for (const UndoEntry& e : journal.Entries()) {
        std::vector<DoneStep> steps;
        ASSERT_TRUE(journal.Steps(e.id, steps)) << e.id;
        EXPECT_EQ(static_cast<int64_t>(steps.size()), e.steps);
    }
    // Running on: never many more than the limit, in memory or in the file.
    for (int i = 0; i < 30; ++i)
        runCommand(journal, OperationKind::Copy, 1);
    EXPECT_LE(journal.Entries().size(), 11u);
    UndoJournal reread(path(), 10);
    reread.Load();
    EXPECT_LE(reread.Entries().size(), 10u);
    EXPECT_EQ(reread.Entries().back().id, journal.Entries().back().id);
}

// A damaged journal never stops the program: it is set aside, whole, and a new
// one begins; the message says where the old one went.
TEST_F(UndoJournalFile, ADamagedJournalIsSetAsideAndANewOneBegun) {
    tmp.write("home/UNDO.JOURNAL", UndoJournalVersionLine() + "E\t1\tgarbage\n");
    tmp.write("home/UNDO.JOURNAL.damaged", "an older one");
    UndoJournal journal(path());
    const std::string message = journal.Load();
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    EXPECT_NE(message.find("UNDO.JOURNAL.damaged-2"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(tmp.at("home/UNDO.JOURNAL.damaged-2")),
              UndoJournalVersionLine() + "E\t1\tgarbage\n");
    EXPECT_EQ(ReadFile(tmp.at("home/UNDO.JOURNAL.damaged")), "an older one");
    EXPECT_TRUE(journal.Entries().empty());
    runCommand(journal, OperationKind::Move, 1);
    UndoJournal again(path());
    EXPECT_EQ(again.Load(), "");
    EXPECT_EQ(again.Entries().size(), 1u);

    // With no free name to set it aside under, it stays untouched and nothing
    // is written to it.
    for (int n = 2; n < 100; ++n)
        tmp.write("home/UNDO.JOURNAL.damaged-" + std::to_string(n), "an older one");
    tmp.write("home/UNDO.JOURNAL", "damaged again\n");
    UndoJournal stuck(path());
    EXPECT_NE(stuck.Load().find("cannot be set aside"), std::string::npos);
    runCommand(stuck, OperationKind::Move, 1);
    EXPECT_EQ(ReadFile(path()), "damaged again\n");
}

// A record cut short (the program was killed) stays readable as far as it
// got, marked as not committed; the line the kill cut is dropped from the file
// so that what comes next starts on a line of its own.
TEST_F(UndoJournalFile, ACommandCutShortKeepsWhatItRecorded) {
    UndoEntry entry;
    entry.id = 3;
    entry.info = {OperationKind::Move, "D:\\", "E:\\", 0};
    std::string text = journalText(entry, {moved("/a", "/b", 1), moved("/c", "/d", 2)}, false);
    tmp.write("home/UNDO.JOURNAL", text + "I\t3\tmoved\t-1\t0\t0+/e");
    UndoJournal journal(path());
    EXPECT_EQ(journal.Load(), "");
    ASSERT_EQ(journal.Entries().size(), 1u);
    EXPECT_FALSE(journal.Entries()[0].committed);
    EXPECT_EQ(journal.Entries()[0].steps, 2);
    EXPECT_EQ(ReadFile(path()), text);
    runCommand(journal, OperationKind::Copy, 1);
    UndoJournal again(path());
    EXPECT_EQ(again.Load(), "");
    EXPECT_EQ(again.Entries().size(), 2u);
}

// Undo is a command with an entry of its own; undoing it puts the steps in
// place again, so the first command has them to undo once more.
TEST(UndoCoverageTest, AnUndoOfAnUndoGivesTheStepsBack) {
    UndoEntry a;
    a.id = 1;
    a.steps = 3;
    a.files = 3;
    a.info.kind = OperationKind::Move;
    UndoEntry b; // put back steps 2 and 1 of a
    b.id = 2;
    b.info = {OperationKind::Undo, "move", "", 1};
    b.steps = 3;
    b.undoes = {2, -1, 1}; // the middle one made a directory on the way
    std::vector<UndoEntry> entries{a, b};
    UndoCoverage one(entries);
    EXPECT_EQ(one.Covered(1), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(one.Remaining(a), 1);
    EXPECT_EQ(LastUndoable(entries, one)->id, 1u); // never the undo itself

    UndoEntry c; // undid b's first step: a's step 2 is back in place
    c.id = 3;
    c.info = {OperationKind::Undo, "undo of move", "", 2};
    c.steps = 1;
    c.undoes = {0};
    entries.push_back(c);
    UndoCoverage two(entries);
    EXPECT_EQ(two.Covered(1), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(two.Remaining(a), 2);

    UndoEntry d; // finished a
    d.id = 4;
    d.info = {OperationKind::Undo, "move", "", 1};
    d.steps = 2;
    d.undoes = {2, 0};
    entries.push_back(d);
    UndoCoverage three(entries);
    EXPECT_EQ(three.Remaining(a), 0);
    EXPECT_EQ(LastUndoable(entries, three), nullptr);
}

TEST(UndoDescriptionTest, SaysWhatTheCommandDid) {
    UndoEntry e;
    e.info = {OperationKind::Move, "D:\\SRC\\A.TXT", "D:\\Archive\\", 0};
    e.files = 3000;
    EXPECT_EQ(UndoDescription(e), "move of 3,000 files to D:\\Archive\\");
    e.files = 1;
    EXPECT_EQ(UndoDescription(e), "move of D:\\SRC\\A.TXT to D:\\Archive\\");
    e.info = {OperationKind::Trash, "D:\\X.TXT", "", 0};
    EXPECT_EQ(UndoDescription(e), "delete of D:\\X.TXT to the trash");
    e.info = {OperationKind::RenameDir, "D:\\OLD\\", "D:\\NEW\\", 0};
    EXPECT_EQ(UndoDescription(e), "rename of directory D:\\OLD\\ to D:\\NEW\\");
    e.info = {OperationKind::Undo, "copy of 12 files to E:\\", "", 9};
    EXPECT_EQ(UndoDescription(e), "undo of copy of 12 files to E:\\");
    EXPECT_EQ(GroupedNumber(int64_t{1234567}), "1,234,567");
    EXPECT_EQ(GroupedNumber(int64_t{999}), "999");
}

} // namespace
} // namespace zentrix::test
