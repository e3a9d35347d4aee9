#include "platform/branchreader.h"

#include "platform/dirlisting.h"

#include <algorithm>
#include <cstdlib>

namespace zentrix::platform {

namespace {

// Workers stop taking new directories while this many read listings wait for
// the consumer, so that reading ahead cannot fill the memory.
constexpr int kMaxReadAhead = 512;

// Listings up to this many entries are gathered in a thread's reused arrays.
constexpr size_t kScratchEntries = 4096;

} // namespace

class BranchReader::Dir {
public:
    enum class State { Queued, Reading, Ready, Consumed };

    Dir* parent = nullptr;
    std::string path;     // the root's host path
    std::string hostName; // a child's name in its parent
    State state = State::Queued;
    DirBatch batch;
    std::vector<Dir*> children;
    // Keeps the directory open until every child has been opened through it.
    std::unique_ptr<DirListing> listing;
    size_t childrenToOpen = 0;
};

int BranchReader::DefaultWorkers() {
    if (const char* forced = std::getenv("ZENTRIX_READ_THREADS"))
        return std::max(0, std::atoi(forced));
    // The consumer reads too whenever it would otherwise wait, so one core is
    // left to it.
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 2 ? 1 : static_cast<int>(std::min(cores - 1, 4u));
}

BranchReader::BranchReader(AttrSource source, int workers, bool skipHiddenDirs)
    : m_source(source), m_skipHiddenDirs(skipHiddenDirs) {
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { workerLoop(); });
}

BranchReader::~BranchReader() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_workAvailable.notify_all();
    for (auto& t : m_workers)
        t.join();
}

BranchReader::Dir* BranchReader::newDir() {
    auto dir = std::make_unique<Dir>();
    Dir* raw = dir.get();
    m_dirs.emplace(raw, std::move(dir));
    return raw;
}

BranchReader::Dir* BranchReader::Root(const std::string& hostPath) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Dir* root = newDir();
    root->path = hostPath;
    m_stack.push_back(root);
    m_workAvailable.notify_one();
    return root;
}

// Lists one directory. Runs without the lock: the directory is owned by the
// thread that moved it to Reading, and its parent's descriptor stays open until
// the last child is opened (the count is changed under the lock).
void BranchReader::read(Dir* dir, Scratch& scratch) {
    // Whether the directory can be searched is asked of the system only when
    // no entry's status was read through it: a stat that worked proves it.
    auto listing = std::make_unique<DirListing>(m_source, StatMode::FilesOnly, false);
    bool opened;
    if (dir->parent) {
        opened = listing->OpenAt(dir->parent->listing->Fd(), dir->hostName);
    } else {
        opened = listing->Open(dir->path);
    }
    if (dir->parent) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--dir->parent->childrenToOpen == 0)
            dir->parent->listing.reset();
    }
    dir->batch.opened = opened;
    if (!opened)
        return;
    DirBatch& work = scratch.batch;
    work.entries.clear();
    work.names.clear();
    scratch.childHostNames.clear();
    scratch.hosts.clear();
    DirEntry e;
    while (listing->Next(e)) {
        const bool isDir = e.IsDirectory();
        if (isDir && !e.name.empty() && e.name[0] == '.' &&
            (m_skipHiddenDirs || e.name == "." || e.name == ".."))
            continue;
        BranchEntry b;
        b.nameOff = static_cast<uint32_t>(work.names.size());
        b.nameLen = static_cast<uint32_t>(e.name.size());
        work.names.append(e.name);
        b.size = e.size;
        b.lastWriteTime = e.lastWriteTime;
        b.attributes = e.attributes;
        b.isDirectory = isDir;
        b.isLink = e.isLink;
        work.entries.push_back(b);
        if (isDir && !e.isLink) {
            scratch.childHostNames.emplace_back(static_cast<uint32_t>(scratch.hosts.size()),
                                                static_cast<uint32_t>(e.hostName.size()));
            scratch.hosts.append(e.hostName);
        }
    }
    if (!listing->Searchable()) {
        // Names only, and the sizes and times of its files would be made up: it
        // counts as a directory that cannot be listed.
        dir->batch = DirBatch{};
        return;
    }
    // The listing waits for the consumer in arrays of its exact size. A very
    // large one is handed over as it is, so that no thread keeps its room.
    if (work.entries.size() <= kScratchEntries) {
        dir->batch.entries.assign(work.entries.begin(), work.entries.end());
        dir->batch.names.assign(work.names);
    } else {
        dir->batch.entries = std::move(work.entries);
        dir->batch.names = std::move(work.names);
        work = DirBatch{};
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [off, len] : scratch.childHostNames) {
        Dir* child = newDir();
        child->parent = dir;
        child->hostName = scratch.hosts.substr(off, len);
        dir->children.push_back(child);
    }
    dir->childrenToOpen = dir->children.size();
    if (!dir->children.empty())
        dir->listing = std::move(listing);
}

// Called with the lock held once a directory is read: its children go on the
// stack so that the first of them is read next.
void BranchReader::finish(Dir* dir, std::unique_lock<std::mutex>&) {
    for (auto it = dir->children.rbegin(); it != dir->children.rend(); ++it)
        m_stack.push_back(*it);
    // One more directory per waiting worker, at most.
    for (size_t i = 0; i < dir->children.size() && i < m_workers.size(); ++i)
        m_workAvailable.notify_one();
}

void BranchReader::workerLoop() {
    Scratch scratch;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] {
            return m_stop || (!m_stack.empty() && m_readyUnconsumed < kMaxReadAhead);
        });
        if (m_stop)
            return;
        Dir* dir = m_stack.back();
        m_stack.pop_back();
        readTaken(dir, lock, scratch, false);
        // Only the directory the consumer waits for is worth waking it.
        if (dir == m_waitingFor)
            m_readDone.notify_one();
    }
}

// Reads a directory taken off the stack, with the lock held on entry and on
// return; `scratch` is the reading thread's own. `consumed`: the consumer takes
// this listing at once.
void BranchReader::readTaken(Dir* dir, std::unique_lock<std::mutex>& lock, Scratch& scratch,
                             bool consumed) {
    dir->state = Dir::State::Reading;
    lock.unlock();
    read(dir, scratch);
    lock.lock();
    if (consumed) {
        dir->state = Dir::State::Consumed;
    } else {
        dir->state = Dir::State::Ready;
        ++m_readyUnconsumed;
    }
    finish(dir, lock);
}

const DirBatch& BranchReader::Batch(Dir* dir) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (dir->state == Dir::State::Queued) {
        // Nobody reads it yet: the consumer reads it itself rather than wait for
        // a worker to wake up. It leaves the stack first, so no worker takes it.
        m_stack.erase(std::next(std::find(m_stack.rbegin(), m_stack.rend(), dir)).base());
        readTaken(dir, lock, m_consumerScratch, true);
        return dir->batch;
    }
    // A worker is reading it. Rather than sleep until then, the consumer reads
    // the next directory waiting on the stack, the one it will most likely need
    // soon; a sleep and a wake-up for each directory would cost more than many
    // of the directories themselves.
    while (dir->state == Dir::State::Reading && !m_stack.empty() &&
           m_readyUnconsumed < kMaxReadAhead) {
        Dir* next = m_stack.back();
        m_stack.pop_back();
        readTaken(next, lock, m_consumerScratch, false);
    }
    m_waitingFor = dir;
    m_readDone.wait(lock, [dir] {
        return dir->state == Dir::State::Ready || dir->state == Dir::State::Consumed;
    });
    m_waitingFor = nullptr;
    if (dir->state == Dir::State::Ready) {
        dir->state = Dir::State::Consumed;
        if (m_readyUnconsumed-- == kMaxReadAhead)
            m_workAvailable.notify_all();
    }
    return dir->batch;
}

size_t BranchReader::ChildCount(Dir* dir) const { return dir->children.size(); }

BranchReader::Dir* BranchReader::Child(Dir* dir, size_t i) const { return dir->children[i]; }

void BranchReader::Release(Dir* dir) {
    // Every child was opened and consumed before its parent is released, so no
    // thread refers to this directory any more.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dirs.erase(dir);
}

} // namespace zentrix::platform
