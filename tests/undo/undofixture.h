#pragma once

#include "core/progress.h"
#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "support/files.h"
#include "support/scopedenv.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"
#include "undo/undojournal.h"
#include "undo/undorunner.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zentrix::test {

/// Drives D: and E: on two folders of a temporary directory, the home trash in
/// it too, the engine over the drives and an undo journal: commands run
/// through the engine as the program runs them, recorded in the journal.
class UndoFixture : public ::testing::Test {
protected:
    TempDir tmp;
    ScriptedPrompter prompter;
    NullProgress progress;
    std::unique_ptr<ScopedEnv> dataHome;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<TFileOperator> op;
    QuietFileOpWindow window;
    std::unique_ptr<UndoJournal> journal;

    void SetUp() override {
        tmp.mkdir("d");
        tmp.mkdir("e");
        tmp.mkdir("data");
        dataHome = std::make_unique<ScopedEnv>("XDG_DATA_HOME", tmp.at("data"));
        drives = std::make_unique<platform::DriveTable>(
            platform::DriveTable::FromSpec("D=" + tmp.at("d") + ";E=" + tmp.at("e"), {}));
        op = std::make_unique<TFileOperator>(*drives, prompter);
        op->SetWindow(&window);
        reopenJournal();
    }

    /// The journal as the next run of the program reads it.
    void reopenJournal() {
        journal = std::make_unique<UndoJournal>(tmp.at("home/UNDO.JOURNAL"));
        ASSERT_EQ(journal->Load(), "");
    }

    /// Runs one command through the engine, recorded; its entry's number.
    /// `dest` ending in a backslash is the directory the sources go into;
    /// otherwise it is the one source's new path.
    uint64_t run(OperationKind kind, FileOperation operation,
                 const std::vector<std::string>& sources, const std::string& dest,
                 FileOpFlags flags = {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmMkDir}) {
        const std::string shown = sources.size() == 1 || sources.empty()
                                      ? (sources.empty() ? std::string() : sources[0])
                                      : sources[0].substr(0, sources[0].find_last_of('\\') + 1);
        auto record = journal->Begin({kind, shown, dest, 0});
        op->Record = record.get();
        op->Operation = operation;
        op->Flags = flags;
        op->SetSources(sources);
        if (dest.empty() || dest.back() == '\\')
            op->SetDestination(dest);
        else
            op->SetDestinations({dest});
        op->Execute();
        op->Record = nullptr;
        record->Commit();
        return journal->Entries().empty() ? 0 : journal->Entries().back().id;
    }

    UndoReport undo(uint64_t id) {
        UndoRunner runner(*journal, prompter, progress);
        return runner.Run(id);
    }

    static std::string reasons(const UndoReport& report) {
        std::string out;
        for (const LeftAlone& l : report.leftAlone)
            out += l.path + ": " + l.reason + "\n";
        return out;
    }
};

} // namespace zentrix::test
