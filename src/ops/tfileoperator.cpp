#include "ops/tfileoperator.h"

#include "core/prompter.h"
#include "ops/fileopwindow.h"
#include "ops/namemask.h"
#include "ops/quietfileopwindow.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"
#include "platform/hostname.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace zentrix {
namespace {

using platform::EntryKind;

constexpr int kDrawEveryMs = 40;

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

bool isDirectory(const std::string& hostPath) {
    platform::EntryStat st;
    return platform::StatPath(hostPath, st, true) == 0 && st.kind == EntryKind::Directory;
}

bool exists(const std::string& hostPath) {
    platform::EntryStat st;
    return platform::StatPath(hostPath, st) == 0;
}

} // namespace

TFileOperator::TFileOperator(const platform::DriveTable& drives, Prompter& prompter)
    : m_drives(drives), m_prompter(prompter) {}

TFileOperator::~TFileOperator() = default;

void TFileOperator::SetSources(std::vector<std::string> paths) {
    m_sources = std::move(paths);
}

void TFileOperator::SetDestination(std::string directory, std::string mask) {
    m_destDir = std::move(directory);
    m_mask = std::move(mask);
    m_targets.clear();
}

void TFileOperator::SetDestinations(std::vector<std::string> targets) {
    m_targets = std::move(targets);
    m_destDir.clear();
    m_mask.clear();
}

std::optional<std::string> TFileOperator::hostOf(const std::string& path) const {
    if (!path.empty() && path[0] == '/')
        return path;
    return m_drives.ToHostPath(path);
}

std::string TFileOperator::display(const std::string& hostPath) const {
    return m_drives.ToCataloguePath(hostPath, false).value_or(hostPath);
}

std::optional<std::vector<FileOpPair>> TFileOperator::Plan() {
    std::vector<std::string> sources;
    for (const std::string& source : m_sources) {
        const auto host = hostOf(source);
        if (!host) {
            m_prompter.error("Cannot reach " + source + "     ");
            return std::nullopt;
        }
        sources.push_back(*host);
    }
    std::vector<FileOpPair> pairs;
    if (sources.empty())
        return pairs;
    if (Operation == FileOperation::foDelete) {
        for (std::string& s : sources)
            pairs.push_back({std::move(s), {}});
        return pairs;
    }
    if (!m_targets.empty()) {
        if (m_targets.size() != sources.size()) {
            m_prompter.error("The destinations do not match the sources.     ");
            return std::nullopt;
        }
        for (size_t i = 0; i < sources.size(); ++i) {
            const auto host = hostOf(m_targets[i]);
            if (!host) {
                m_prompter.error("Cannot reach " + m_targets[i] + "     ");
                return std::nullopt;
            }
            pairs.push_back({std::move(sources[i]), *host});
        }
        return pairs;
    }
    if (m_destDir.empty()) {
        m_prompter.error("No destination was given.     ");
        return std::nullopt;
    }
    const auto host = hostOf(m_destDir);
    if (!host) {
        m_prompter.error("Cannot reach " + m_destDir + "     ");
        return std::nullopt;
    }
    std::string dir = *host;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    std::string mask = m_mask;
    if (!mask.empty() && mask.find_first_of("*?%") == std::string::npos &&
        isDirectory(join(dir, platform::UnescapeName(mask)))) {
        // A plain name that is a directory there: the sources go into it.
        dir = join(dir, platform::UnescapeName(mask));
        mask.clear();
    }
    for (std::string& source : sources) {
        std::string name = baseOf(source);
        if (!mask.empty())
            name = platform::UnescapeName(ApplyNameMaskToFile(
                platform::EscapeHostName(name), mask, [&dir](const std::string& n) {
                    return exists(join(dir, platform::UnescapeName(n)));
                }));
        pairs.push_back({std::move(source), join(dir, name)});
    }
    return pairs;
}

bool TFileOperator::Execute() {
    m_aborted = false;
    m_failed = false;
    m_mappings.clear();
    auto pairs = Plan();
    if (!pairs) {
        m_failed = true;
        return false;
    }
    if (pairs->empty())
        return true;

    QuietFileOpWindow quiet;
    FileOpWindow& window = m_window ? *m_window : quiet;

    // The worker's questions wait here for the main thread.
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<FileOpQuestion> question;
    std::optional<int> answer;

    FileOpJob::Hooks hooks;
    hooks.block = OnBlockCopied;
    if (Record && Flags.has(FileOpFlag::foAllowUndo))
        hooks.done = [record = Record](const DoneStep& step) {
            record->Done(step);
        };
    hooks.display = [this](const std::string& path) {
        return display(path);
    };
    hooks.ask = [&](const FileOpQuestion& q) {
        std::unique_lock lock(mutex);
        question = q;
        answer.reset();
        window.Wake();
        answered.wait(lock, [&] { return answer.has_value(); });
        question.reset();
        return *answer;
    };
    FileOpJob job(Operation, Flags, std::move(*pairs), std::move(hooks));
    job.SetKeepEmptyDirectories(KeepEmptyDirectories);

    std::atomic<bool> done{false};
    std::exception_ptr failure;
    window.Open(ProgressTitle, !Flags.has(FileOpFlag::foSimpleProgress),
                !Flags.has(FileOpFlag::foSilent));
    std::thread worker([&] {
        try {
            job.Run();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        window.Wake();
    });

    auto lastDraw = std::chrono::steady_clock::now();
    try {
        while (!done) {
            window.Wait(kDrawEveryMs);
            if (window.CancelRequested())
                job.Cancel();
            std::optional<FileOpQuestion> pending;
            {
                std::lock_guard lock(mutex);
                if (question && !answer)
                    pending = question;
            }
            if (pending) {
                const int a =
                    m_prompter.askChoice(pending->text, pending->buttons, pending->caption);
                {
                    std::lock_guard lock(mutex);
                    answer = a;
                }
                answered.notify_all();
            }
            const auto now = std::chrono::steady_clock::now();
            if (now - lastDraw >= std::chrono::milliseconds(kDrawEveryMs)) {
                lastDraw = now;
                window.Show(job.Status());
            }
        }
    } catch (...) {
        // The user interface failed: stop the worker (answering anything it
        // waits for with Cancel) before the error goes on.
        job.Cancel();
        {
            std::lock_guard lock(mutex);
            if (question && !answer)
                answer = static_cast<int>(question->buttons.size()) - 1;
        }
        answered.notify_all();
        worker.join();
        window.Close();
        throw;
    }
    worker.join();
    window.Show(job.Status());
    window.Close();
    if (failure)
        std::rethrow_exception(failure);

    m_aborted = job.Cancelled();
    m_failed = job.Failed();
    if (WantMappingHandle)
        for (const auto& [planned, used] : job.Renamed())
            m_mappings.emplace_back(display(planned), display(used));
    return job.Succeeded();
}

} // namespace zentrix
