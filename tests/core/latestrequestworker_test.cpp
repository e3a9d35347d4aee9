#include "core/latestrequestworker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace zentrix;

namespace {

// A job that waits at a gate until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::vector<int> started;

    void pass(int request) {
        std::unique_lock lock(mutex);
        started.push_back(request);
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    void waitForStart(size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started.size() >= count; });
    }
    void release() {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    void close() {
        std::lock_guard lock(mutex);
        open = false;
    }
    std::vector<int> startedSoFar() {
        std::lock_guard lock(mutex);
        return started;
    }
};

struct Delivered {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> results;

    void add(std::string r) {
        std::lock_guard lock(mutex);
        results.push_back(std::move(r));
        changed.notify_all();
    }
    std::vector<std::string> waitFor(size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return results.size() >= count; });
        return results;
    }
};

} // namespace

TEST(LatestRequestWorker, OnlyTheLatestRequestIsDeliveredAndOvertakenOnesAreDropped) {
    Gate gate;
    Delivered delivered;
    {
        LatestRequestWorker<int, std::string> worker(
            [&](const int& r) {
                gate.pass(r);
                return "file " + std::to_string(r);
            },
            [&](uint64_t, std::string&& r) { delivered.add(std::move(r)); });
        const uint64_t first = worker.Post(1);
        gate.waitForStart(1);                  // the first job runs and cannot finish
        worker.Post(2);                        // waits ...
        const uint64_t third = worker.Post(3); // ... and is replaced before it starts
        EXPECT_FALSE(worker.IsCurrent(first));
        EXPECT_TRUE(worker.IsCurrent(third));
        EXPECT_TRUE(worker.Busy());
        gate.release();
        EXPECT_EQ(delivered.waitFor(1), std::vector<std::string>{"file 3"});
        EXPECT_EQ(gate.startedSoFar(), (std::vector<int>{1, 3}));

        // Cancel drops the answer of the job that runs.
        gate.close();
        worker.Post(4);
        gate.waitForStart(3);
        worker.Cancel();
        gate.release();
    }
    EXPECT_EQ(delivered.results, std::vector<std::string>{"file 3"});
}

TEST(LatestRequestWorker, ClosingDoesNotWaitForAJobThatHangs) {
    // The job outlives the worker: what it uses is shared with it.
    auto gate = std::make_shared<Gate>();
    auto deliveries = std::make_shared<std::atomic<int>>(0);
    {
        LatestRequestWorker<int, int> worker(
            [gate](const int& r) {
                gate->pass(r);
                return r;
            },
            [deliveries](uint64_t, int&&) { ++*deliveries; }, std::chrono::milliseconds(50));
        worker.Post(1);
        gate->waitForStart(1);
    }                // a file system that never answers: the window still closes
    gate->release(); // the job ends later, and its result goes nowhere
    EXPECT_EQ(deliveries->load(), 0);
}
