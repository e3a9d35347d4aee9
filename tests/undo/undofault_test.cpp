#include "support/killmidway.h"
#include "support/tmpfsmount.h"
#include "undo/undohistory.h"
#include "undofixture.h"

#include <cstdio>
#include <dirent.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zentrix::test {
namespace {

std::string contentOf(int i, size_t size) {
    std::string data(size, static_cast<char>('a' + i % 26));
    data.replace(0, 12, "file " + std::to_string(1000 + i) + "    ");
    return data;
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                out.push_back(e->d_name);
        ::closedir(d);
    }
    return out;
}

/// Files moved from a tmpfs (D:\MNT) to the disk (E:\OUT), recorded.
class UndoAcrossFileSystems : public UndoFixture {
protected:
    std::unique_ptr<TmpfsMount> mount;
    uint64_t moveId = 0;

    void moveFiles(int count, size_t size) {
        tmp.mkdir("d/mnt");
        mount = std::make_unique<TmpfsMount>(tmp.at("d/mnt"));
        if (!mount->mounted())
            GTEST_SKIP() << mount->reason();
        for (int i = 0; i < count; ++i)
            tmp.write("d/mnt/f" + std::to_string(i) + ".bin", contentOf(i, size));
        std::vector<std::string> sources;
        for (int i = 0; i < count; ++i)
            sources.push_back("D:\\mnt\\f" + std::to_string(i) + ".bin");
        moveId = run(OperationKind::Move, FileOperation::foMove, sources, "E:\\out\\");
        ASSERT_EQ(namesIn(tmp.at("d/mnt")).size(), 0u);
        ASSERT_EQ(namesIn(tmp.at("e/out")).size(), static_cast<size_t>(count));
    }
    bool remount(unsigned long flags) {
        return ::mount("tmpfs", tmp.at("d/mnt").c_str(), "tmpfs", MS_REMOUNT | flags, nullptr) == 0;
    }
    /// Every file is whole in one of its two places, and no partial file
    /// carries a final name.
    void expectNothingLost(int count, size_t size, int& back) {
        back = 0;
        for (int i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(i) + ".bin";
            const std::string home = tmp.at("d/mnt/" + name);
            const std::string away = tmp.at("e/out/" + name);
            const bool atHome = Exists(home) && ReadFile(home) == contentOf(i, size);
            const bool atAway = Exists(away) && ReadFile(away) == contentOf(i, size);
            EXPECT_TRUE(atHome || atAway) << name;
            if (Exists(home)) {
                EXPECT_TRUE(atHome) << name << " is back under its name but not whole";
            }
            back += atHome && !Exists(away);
        }
        for (const std::string& name : namesIn(tmp.at("d/mnt")))
            EXPECT_EQ(name.rfind("f", 0), 0u) << name;
    }
};

// Killed while it copies the files back, in batches of four: nothing is lost,
// the cut-short undo is in the journal, and undoing the move again finishes
// the work.
TEST_F(UndoAcrossFileSystems, AnUndoKilledMidwayLosesNothingAndCanBeFinished) {
    constexpr int kFiles = 24;
    constexpr size_t kSize = 256 * 1024;
    ASSERT_NO_FATAL_FAILURE(moveFiles(kFiles, kSize));
    if (IsSkipped())
        return;
    const std::string command = std::string(UNDO_HELPER) + " '" + journal->Path() + "' " +
                                std::to_string(moveId) + " " + std::to_string(4 * kSize);
    const bool killed = KillMidway(command, [](const char* line) {
        unsigned long long bytes = 0;
        return std::sscanf(line, "bytes %llu", &bytes) == 1 && bytes > kFiles / 3 * kSize;
    });
    ASSERT_TRUE(killed) << "the helper finished before it could be killed";

    int back = 0;
    expectNothingLost(kFiles, kSize, back);
    EXPECT_GT(back, 0);
    EXPECT_LT(back, kFiles);

    reopenJournal();
    const UndoEntry& cut = journal->Entries().back();
    EXPECT_EQ(cut.info.kind, OperationKind::Undo);
    EXPECT_FALSE(cut.committed);
    EXPECT_GT(UndoCoverage(journal->Entries()).Remaining(*journal->Find(moveId)), 0);

    const UndoReport finish = undo(moveId);
    EXPECT_TRUE(finish.leftAlone.empty()) << reasons(finish);
    expectNothingLost(kFiles, kSize, back);
    EXPECT_EQ(back, kFiles);
    EXPECT_FALSE(Exists(tmp.at("e/out")));
    EXPECT_EQ(UndoCoverage(journal->Entries()).Remaining(*journal->Find(moveId)), 0);
}

// Another undo of the same entry (a second window) may take a file's source
// away while this one copies it back: the copy, whole by then, is the only
// one left and stays.
TEST_F(UndoAcrossFileSystems, ASourceTakenMeanwhileLeavesTheCopyInPlace) {
    constexpr size_t kSize = 1 << 20;
    ASSERT_NO_FATAL_FAILURE(moveFiles(1, kSize));
    if (IsSkipped())
        return;
    UndoRunner runner(*journal, prompter, progress);
    bool taken = false;
    runner.onBlock = [&](uint64_t) {
        if (!taken)
            taken = ::unlink(tmp.at("e/out/f0.bin").c_str()) == 0;
    };
    const UndoReport report = runner.Run(moveId);
    ASSERT_TRUE(taken);
    EXPECT_EQ(ReadFile(tmp.at("d/mnt/f0.bin")), contentOf(0, kSize));
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
}

// Files copied back wait in a batch until it is on the disk, and only then
// do their other copies go. One edited while the batch filled stays where it
// is and is named, its copy dropped; the rest of the batch goes back.
TEST_F(UndoAcrossFileSystems, AFileChangedWhileItsBatchFilledStaysAndIsNamed) {
    constexpr size_t kSize = 64 * 1024;
    ASSERT_NO_FATAL_FAILURE(moveFiles(3, kSize));
    if (IsSkipped())
        return;
    UndoRunner runner(*journal, prompter, progress);
    bool edited = false;
    // F2 and F1 go first (the last step first): once F1's copy has its name,
    // the F1 still at the other place is edited.
    runner.onBlock = [&](uint64_t) {
        if (!edited && Exists(tmp.at("d/mnt/f1.bin"))) {
            tmp.write("e/out/f1.bin", "edited while the undo ran");
            edited = true;
        }
    };
    const UndoReport report = runner.Run(moveId);
    ASSERT_TRUE(edited);
    EXPECT_EQ(ReadFile(tmp.at("d/mnt/f0.bin")), contentOf(0, kSize));
    EXPECT_EQ(ReadFile(tmp.at("d/mnt/f2.bin")), contentOf(2, kSize));
    EXPECT_FALSE(Exists(tmp.at("e/out/f0.bin")));
    EXPECT_FALSE(Exists(tmp.at("e/out/f2.bin")));
    EXPECT_FALSE(Exists(tmp.at("d/mnt/f1.bin")));
    EXPECT_EQ(ReadFile(tmp.at("e/out/f1.bin")), "edited while the undo ran");
    EXPECT_EQ(reasons(report), tmp.at("e/out/f1.bin") + ": it changed since\n" + tmp.at("e/out") +
                                   ": the directory is not empty\n");
    EXPECT_EQ(report.putBack, 2);
    reopenJournal();
    EXPECT_EQ(UndoCoverage(journal->Entries()).Remaining(*journal->Find(moveId)), 2);
}

/// Stops the undo at the given step.
class StopAt : public Progress {
public:
    explicit StopAt(int64_t step) : m_step(step) {}
    void setTotal(int64_t) override {}
    void setPosition(int64_t position) override { m_position = position; }
    void showStop(bool) override {}
    bool aborted() const override { return m_position >= m_step; }

protected:
    void processEvents() override {}

private:
    int64_t m_step;
    int64_t m_position = 0;
};

// A stop between two files finishes the batch copied so far: those files are
// back, each in one place only, and the rest waits where it was.
TEST_F(UndoAcrossFileSystems, AStopFinishesTheBatchSoFar) {
    constexpr size_t kSize = 16 * 1024;
    ASSERT_NO_FATAL_FAILURE(moveFiles(4, kSize));
    if (IsSkipped())
        return;
    StopAt stop(2);
    UndoRunner runner(*journal, prompter, stop);
    UndoReport report = runner.Run(moveId);
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    EXPECT_EQ(report.putBack, 2);
    for (int i = 0; i < 4; ++i) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        EXPECT_NE(Exists(tmp.at("d/mnt/" + name)), Exists(tmp.at("e/out/" + name))) << name;
        EXPECT_EQ(Exists(tmp.at("d/mnt/" + name)), i >= 2) << name;
    }

    reopenJournal();
    report = undo(moveId);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    int back = 0;
    expectNothingLost(4, kSize, back);
    EXPECT_EQ(back, 4);
    EXPECT_FALSE(Exists(tmp.at("e/out")));
}

// A full disk stops the files that do not fit, whole where they are; a
// read-only one stops all. Once there is room again, the undo finishes.
TEST_F(UndoAcrossFileSystems, AFullOrReadOnlySourceKeepsFilesWhereTheyAre) {
    constexpr int kFiles = 3;
    constexpr size_t kSize = 4 << 20;
    ASSERT_NO_FATAL_FAILURE(moveFiles(kFiles, kSize));
    if (IsSkipped())
        return;

    ASSERT_TRUE(remount(MS_RDONLY));
    UndoReport report = undo(moveId);
    ASSERT_EQ(report.leftAlone.size(), 4u) << reasons(report); // the files and E:\OUT
    EXPECT_EQ(report.leftAlone[0].reason, "Read-only file system");
    int back = 0;
    expectNothingLost(kFiles, kSize, back);
    EXPECT_EQ(back, 0);
    ASSERT_TRUE(remount(0));

    // Room for one file of the three.
    tmp.write("d/mnt/filler", std::string(9 << 20, 'x'));
    report = undo(moveId);
    expectNothingLost(kFiles, kSize, back);
    EXPECT_EQ(back, 1);
    ASSERT_EQ(report.leftAlone.size(), 3u) << reasons(report);
    EXPECT_EQ(report.leftAlone[0].reason, "No space left on device");

    tmp.remove("d/mnt/filler");
    report = undo(moveId);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    expectNothingLost(kFiles, kSize, back);
    EXPECT_EQ(back, kFiles);
}

// Files deleted to the trash of a volume come back to where the journal says,
// whatever became of their descriptions there: one removed, one rewritten by
// a hostile hand to point elsewhere, one made a link.
TEST_F(UndoFixture, ATrashWhoseDescriptionsAreMissingOrHostileStillGivesBack) {
    tmp.mkdir("d/mnt");
    TmpfsMount mount(tmp.at("d/mnt"));
    if (!mount.mounted())
        GTEST_SKIP() << mount.reason();
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        tmp.write(std::string("d/mnt/docs/") + name, name);
    const uint64_t id =
        run(OperationKind::Trash, FileOperation::foDelete,
            {"D:\\mnt\\docs\\a.txt", "D:\\mnt\\docs\\b.txt", "D:\\mnt\\docs\\c.txt"}, {},
            {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation});
    const std::string trash = "d/mnt/.Trash-" + std::to_string(::getuid());
    ASSERT_TRUE(Exists(tmp.at(trash + "/files/b.txt")));
    ASSERT_FALSE(Exists(tmp.at("d/mnt/docs/a.txt")));

    tmp.remove(trash + "/info/a.txt.trashinfo");
    tmp.write(trash + "/info/b.txt.trashinfo",
              "[Trash Info]\nPath=" + tmp.at("elsewhere/b.txt") + "\nDeletionDate=x\n");
    tmp.write("outside.trashinfo", "[Trash Info]\nPath=/etc/c.txt\n");
    tmp.remove(trash + "/info/c.txt.trashinfo");
    tmp.symlink(tmp.at("outside.trashinfo"), trash + "/info/c.txt.trashinfo");

    reopenJournal();
    const UndoReport report = undo(id);
    EXPECT_TRUE(report.leftAlone.empty()) << reasons(report);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_EQ(ReadFile(tmp.at(std::string("d/mnt/docs/") + name)), name);
    EXPECT_FALSE(Exists(tmp.at("elsewhere")));
    EXPECT_TRUE(namesIn(tmp.at(trash + "/files")).empty());
    EXPECT_TRUE(namesIn(tmp.at(trash + "/info")).empty());
    EXPECT_EQ(ReadFile(tmp.at("outside.trashinfo")), "[Trash Info]\nPath=/etc/c.txt\n");
}

} // namespace
} // namespace zentrix::test
