#include "search/dirstatistics.h"

#include "platform/hostname.h"
#include "platform/statlisting.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace zentrix {

// --- YearTable -----------------------------------------------------------------------

YearTable::YearTable() {
    for (int y = DirTotals::kFirstYear; y <= DirTotals::kLastYear + 1; ++y) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mday = 1;
        tm.tm_isdst = -1;
        m_starts.push_back(static_cast<int64_t>(std::mktime(&tm)));
    }
}

int YearTable::YearOf(int64_t t) const {
    if (t < m_starts.front() || t >= m_starts.back())
        return DirTotals::kFirstYear;
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), t);
    return DirTotals::kFirstYear + static_cast<int>(it - m_starts.begin()) - 1;
}

// --- the walk --------------------------------------------------------------------------

namespace {

using Order = std::vector<uint32_t>;

/// True when directory `a` is checked before `b` in a walk that checks a
/// directory after all of its subdirectories, these in listing order.
bool checkedBefore(const Order& a, const Order& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i];
    return a.size() > b.size(); // a lies below b
}

struct PendingDir {
    std::shared_ptr<platform::StatListing> parent; // none for the start directory
    std::string hostName;                          // or the start directory's host path
    std::string path;                              // catalogue form, with its backslash
    Order order;
};

struct InodeKey {
    uint64_t device;
    uint64_t inode;
    bool operator==(const InodeKey&) const = default;
};
struct InodeHash {
    size_t operator()(const InodeKey& k) const {
        return std::hash<uint64_t>()(k.inode * 31 + k.device);
    }
};

/// What one thread counts on its own; added to the shared figures per directory.
struct LocalFigures {
    uint64_t files = 0;
    uint64_t directories = 0;
    uint64_t spaceUsed = 0;
    uint64_t actuallyUsed = 0;
    uint64_t slack = 0;
    std::array<DirTotals::Year, DirTotals::kLastYear - DirTotals::kFirstYear + 1> years{};
    TExtList types;
};

class Walker {
public:
    Walker(const DirStatisticsWalk::Options& options) : m_options(options) {}

    DirTotals run(const std::string& hostPath, const std::string& cataloguePath) {
        m_stack.push_back({nullptr, hostPath, cataloguePath, {}});
        const int threads = std::max(1, m_options.threads);
        std::vector<std::unique_ptr<LocalFigures>> locals;
        for (int i = 0; i < threads; ++i)
            locals.push_back(std::make_unique<LocalFigures>());
        std::vector<std::thread> helpers;
        for (int i = 1; i < threads; ++i)
            helpers.emplace_back([this, local = locals[i].get()] { work(*local, false); });
        work(*locals[0], true);
        for (std::thread& t : helpers)
            t.join();

        DirTotals totals = snapshot();
        if (m_options.yearsAndTypes) {
            for (const auto& local : locals) {
                for (size_t y = 0; y < totals.years.size(); ++y) {
                    totals.years[y].files += local->years[y].files;
                    totals.years[y].bytes += local->years[y].bytes;
                }
                totals.types.Merge(local->types);
            }
        }
        return totals;
    }

private:
    DirTotals snapshot() {
        DirTotals t;
        t.files = m_files.load();
        t.directories = 1 + m_directories.load();
        t.spaceUsed = m_spaceUsed.load();
        t.actuallyUsed = m_actuallyUsed.load();
        t.slackBytes = m_slack.load();
        std::lock_guard lock(m_largestMutex);
        t.largestDir = m_largestDir;
        t.largestBytes = m_largestBytes;
        return t;
    }

    void addShared(LocalFigures& local) {
        m_files += local.files;
        m_directories += local.directories;
        m_spaceUsed += local.spaceUsed;
        m_actuallyUsed += local.actuallyUsed;
        m_slack += local.slack;
        local.files = local.directories = local.spaceUsed = local.actuallyUsed = local.slack = 0;
    }

    void maybeReport() {
        if (!m_options.progress)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastReport < std::chrono::milliseconds(50))
            return;
        m_lastReport = now;
        m_options.progress(snapshot());
    }

    bool stopped() const { return m_options.stopped && m_options.stopped(); }

    void work(LocalFigures& local, bool caller) {
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (m_stack.empty()) {
                if (m_busy == 0)
                    break;
                if (caller) {
                    m_changed.wait_for(lock, std::chrono::milliseconds(50));
                    lock.unlock();
                    maybeReport();
                    lock.lock();
                } else {
                    m_changed.wait(lock);
                }
                continue;
            }
            if (stopped()) {
                // The walk ends at the next directory it would enter.
                m_stack.clear();
                continue;
            }
            PendingDir dir = std::move(m_stack.back());
            m_stack.pop_back();
            ++m_busy;
            lock.unlock();
            std::vector<PendingDir> subdirs = walkOne(dir, local, caller);
            addShared(local);
            if (caller)
                maybeReport();
            lock.lock();
            --m_busy;
            for (auto it = subdirs.rbegin(); it != subdirs.rend(); ++it)
                m_stack.push_back(std::move(*it));
            m_changed.notify_all();
        }
        m_changed.notify_all();
    }

    std::vector<PendingDir> walkOne(PendingDir& dir, LocalFigures& local, bool caller) {
        std::vector<PendingDir> subdirs;
        auto listing = std::make_shared<platform::StatListing>();
        const bool opened = dir.parent ? listing->OpenAt(dir.parent->Fd(), dir.hostName)
                                       : listing->Open(dir.hostName);
        dir.parent.reset();
        if (!opened)
            return subdirs;
        uint64_t ownBytes = 0;
        uint32_t files = 0;
        platform::StatEntry e;
        while (listing->Next(e)) {
            if (e.type == platform::StatEntry::Type::Directory) {
                if (e.hostName[0] == '.')
                    continue;
                ++local.directories;
                std::string path = dir.path;
                if (platform::IsPlainHostName(e.hostName))
                    path.append(e.hostName);
                else
                    path += platform::EscapeHostName(e.hostName);
                path.push_back('\\');
                Order order = dir.order;
                order.push_back(static_cast<uint32_t>(subdirs.size()));
                subdirs.push_back(
                    {listing, std::string(e.hostName), std::move(path), std::move(order)});
                continue;
            }
            ++local.files;
            ownBytes += e.size;
            local.spaceUsed += e.size;
            bool counted = true;
            if (e.type == platform::StatEntry::Type::Regular && e.links > 1) {
                // A file with several names in the branch occupies its blocks once.
                std::lock_guard lock(m_inodeMutex);
                counted = m_inodes.insert({e.device, e.inode}).second;
            }
            if (counted) {
                const uint64_t cluster = m_options.clusterSize;
                const uint64_t allocated =
                    cluster ? (e.size + cluster - 1) / cluster * cluster : e.allocated;
                local.actuallyUsed += allocated;
                if (allocated > e.size)
                    local.slack += allocated - e.size;
            }
            if (m_options.yearsAndTypes) {
                auto& year = local.years[static_cast<size_t>(m_years.YearOf(e.mtime) -
                                                             DirTotals::kFirstYear)];
                ++year.files;
                year.bytes += e.size;
                local.types.Add(e.hostName, e.size);
            }
            if (caller && (++files & 1023) == 0) {
                addShared(local);
                maybeReport();
            }
        }
        if (ownBytes > 0) {
            std::lock_guard lock(m_largestMutex);
            if (ownBytes > m_largestBytes ||
                (ownBytes == m_largestBytes && checkedBefore(dir.order, m_largestOrder))) {
                m_largestBytes = ownBytes;
                m_largestDir = dir.path;
                m_largestOrder = dir.order;
            }
        }
        return subdirs;
    }

    const DirStatisticsWalk::Options& m_options;
    const YearTable m_years;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<PendingDir> m_stack;
    int m_busy = 0;

    std::atomic<uint64_t> m_files{0};
    std::atomic<uint64_t> m_directories{0};
    std::atomic<uint64_t> m_spaceUsed{0};
    std::atomic<uint64_t> m_actuallyUsed{0};
    std::atomic<uint64_t> m_slack{0};

    std::mutex m_largestMutex;
    std::string m_largestDir;
    uint64_t m_largestBytes = 0;
    Order m_largestOrder;

    std::mutex m_inodeMutex;
    std::unordered_set<InodeKey, InodeHash> m_inodes;

    std::chrono::steady_clock::time_point m_lastReport{};
};

} // namespace

int DirStatisticsWalk::DefaultThreads() {
    // The walk mostly waits for the file system: twice as many threads as
    // cores keep a disk (or a busy machine) supplied with requests.
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(2 * cores, 2u, 8u));
}

DirTotals DirStatisticsWalk::Walk(const std::string& hostPath, const std::string& cataloguePath,
                                  const Options& options) {
    Walker walker(options);
    return walker.run(hostPath, cataloguePath);
}

} // namespace zentrix
