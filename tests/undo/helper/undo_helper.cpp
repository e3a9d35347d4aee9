// Runs the undo of one journal entry in a process of its own, so that a test
// can kill it in the middle:  undo_helper JOURNAL ENTRY [BATCH_BYTES]
// BATCH_BYTES: the bytes copied back across file systems before they are
// flushed and their other copies go. Prints "bytes N" (the bytes copied back so far) after every
// block, and takes its time over each, so that the kill lands mid-way.
#include "core/progress.h"
#include "silentprompter.h"
#include "undo/undojournal.h"
#include "undo/undorunner.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace zentrix;

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4)
        return 2;
    UndoJournal journal(argv[1]);
    if (!journal.Load().empty())
        return 3;
    bench::SilentPrompter prompter; // no question comes: nothing is replaced
    NullProgress progress;
    UndoRunner runner(journal, prompter, progress);
    if (argc == 4)
        runner.batchBytes = std::strtoull(argv[3], nullptr, 10);
    unsigned long long total = 0;
    runner.onBlock = [&](uint64_t bytes) {
        total += bytes;
        std::printf("bytes %llu\n", total);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    };
    const UndoReport report = runner.Run(std::strtoull(argv[2], nullptr, 10));
    std::printf("done %lld\n", static_cast<long long>(report.putBack));
    return report.failure.empty() ? 0 : 1;
}
