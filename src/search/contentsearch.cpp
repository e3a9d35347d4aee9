#include "search/contentsearch.h"

#include "core/text.h"
#include "platform/readonlyfile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace zentrix {

std::string ScanErrorReason(int error) {
    switch (error) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
        return "Path not found";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
        return "File access denied";
    case EBADF:
        return "Invalid file handle";
    case EINVAL:
        return "Invalid file access code";
    case ENXIO:
    case ENODEV:
        return "Invalid drive";
    case EIO:
        return "Disk read error";
    default:
        return {};
    }
}

std::string CannotScanText(const std::string& fileName, int error) {
    return "Cannot scan " + UpperCase(fileName) + ".\n" + ScanErrorReason(error) + ".";
}

std::string LinksSkippedText(size_t count) {
    return std::to_string(count) + (count == 1 ? " link skipped" : " links skipped");
}

// --- ContentSearch ---------------------------------------------------------------

ContentSearch::ContentSearch(std::string_view text, bool caseSensitive, size_t blockSize)
    : m_matcher(text, caseSensitive), m_blockSize(std::max<size_t>(blockSize, 1)),
      m_buffer(new char[m_blockSize]) {}

ScanResult ContentSearch::SearchAt(int dirFd, const char* name,
                                   const std::function<bool()>& stopped, bool listedRegular) {
    platform::ReadOnlyFile file;
    switch (file.OpenAt(dirFd, name, listedRegular)) {
    case platform::ReadOnlyFile::OpenResult::NotRegular:
        return {ScanResult::Outcome::NotRegular, 0};
    case platform::ReadOnlyFile::OpenResult::DanglingLink:
        return {ScanResult::Outcome::DanglingLink, 0};
    case platform::ReadOnlyFile::OpenResult::Failed:
        return {ScanResult::Outcome::Failed, file.Error()};
    case platform::ReadOnlyFile::OpenResult::Opened:
        break;
    }
    m_matcher.Reset();
    for (;;) {
        if (stopped && stopped())
            return {ScanResult::Outcome::Stopped, 0};
        const long n = file.Read(m_buffer.get(), m_blockSize);
        if (n < 0)
            return {ScanResult::Outcome::Failed, file.Error()};
        if (n == 0)
            return {ScanResult::Outcome::NotFound, 0};
        if (m_matcher.Feed(m_buffer.get(), static_cast<size_t>(n)))
            return {ScanResult::Outcome::Found, 0};
    }
}

ScanResult ContentSearch::Search(const std::string& hostPath,
                                 const std::function<bool()>& stopped) {
    return SearchAt(AT_FDCWD, hostPath.c_str(), stopped);
}

// --- ParallelContentSearch ----------------------------------------------------------

struct ParallelContentSearch::Job {
    int dirFd = AT_FDCWD;
    const std::vector<std::string>* names = nullptr;
    size_t next = 0;  // the next file nobody has taken
    int inFlight = 0; // files being searched by helpers
    std::vector<ScanResult> results;
    std::vector<char> ready;
    std::atomic<bool> stop{false};
    std::function<bool()> stopped; // the caller's own stop request
    const std::vector<char>* listedRegular = nullptr;
    bool regular(size_t i) const { return listedRegular && (*listedRegular)[i]; }
    bool Stopped() const { return stop.load(std::memory_order_relaxed) || (stopped && stopped()); }
};

int ParallelContentSearch::DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 4u));
}

ParallelContentSearch::ParallelContentSearch(std::string_view text, bool caseSensitive, int threads,
                                             size_t blockSize)
    : m_own(text, caseSensitive, blockSize) {
    for (int i = 1; i < threads; ++i) {
        m_helperSearches.push_back(std::make_unique<ContentSearch>(text, caseSensitive, blockSize));
        ContentSearch* search = m_helperSearches.back().get();
        m_helpers.emplace_back([this, search] { helperLoop(search); });
    }
}

ParallelContentSearch::~ParallelContentSearch() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_work.notify_all();
    for (std::thread& t : m_helpers)
        t.join();
}

bool ParallelContentSearch::take(size_t& index) {
    if (!m_job || m_job->stop.load() || m_job->next >= m_job->names->size())
        return false;
    index = m_job->next++;
    return true;
}

void ParallelContentSearch::helperLoop(ContentSearch* search) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        size_t index = 0;
        m_work.wait(lock, [&] { return m_quit || take(index); });
        if (m_quit)
            return;
        Job* job = m_job;
        ++job->inFlight;
        const char* name = (*job->names)[index].c_str();
        lock.unlock();
        const ScanResult result = search->SearchAt(
            job->dirFd, name, [job] { return job->Stopped(); }, job->regular(index));
        lock.lock();
        job->results[index] = result;
        job->ready[index] = 1;
        --job->inFlight;
        m_done.notify_all();
    }
}

bool ParallelContentSearch::SearchFiles(int dirFd, const std::vector<std::string>& names,
                                        const Report& report, const std::function<bool()>& stopped,
                                        const std::vector<char>* listedRegular) {
    Job job;
    job.stopped = stopped;
    job.listedRegular = listedRegular;
    job.dirFd = dirFd;
    job.names = &names;
    job.results.resize(names.size());
    job.ready.assign(names.size(), 0);
    const bool helpers = !m_helpers.empty() && names.size() > 1;
    {
        std::lock_guard lock(m_mutex);
        m_job = &job;
    }
    // One file is searched here at once: waking a helper for it costs more
    // than it brings.
    if (helpers)
        m_work.notify_all();

    bool completed = true;
    size_t reported = 0;
    std::unique_lock lock(m_mutex);
    while (reported < names.size()) {
        if (job.ready[reported]) {
            const ScanResult result = job.results[reported];
            lock.unlock();
            const bool more = report(reported, result);
            lock.lock();
            ++reported;
            if (!more) {
                completed = false;
                break;
            }
            continue;
        }
        size_t index = 0;
        if (take(index)) {
            lock.unlock();
            const ScanResult result = m_own.SearchAt(
                dirFd, names[index].c_str(), [&job] { return job.Stopped(); }, job.regular(index));
            lock.lock();
            job.results[index] = result;
            job.ready[index] = 1;
            continue;
        }
        m_done.wait(lock, [&] { return job.ready[reported] != 0; });
    }
    // Nothing may touch the job (or the directory) once this returns.
    job.stop = true;
    m_done.wait(lock, [&] { return job.inFlight == 0; });
    m_job = nullptr;
    return completed;
}

} // namespace zentrix
