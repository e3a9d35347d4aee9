#include "ops/tfileoperator.h"

#include "core/prompter.h"
#include "core/text.h"
#include "core/wildcard.h"
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

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

bool hasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

bool isDirectory(const std::string& hostPath) {
    platform::EntryStat st;
    return platform::StatPath(hostPath, st, true) == 0 && st.kind == EntryKind::Directory;
}

bool exists(const std::string& hostPath) {
    platform::EntryStat st;
    return platform::StatPath(hostPath, st) == 0;
}

/// The last component of a catalogue or host path and everything before it.
std::pair<std::string, std::string> splitLast(const std::string& path) {
    const size_t sep = path.find_last_of("\\/");
    if (sep == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, sep + 1), path.substr(sep + 1)};
}

} // namespace

TFileOperator::TFileOperator(const platform::DriveTable& drives, Prompter& prompter)
    : m_drives(drives), m_prompter(prompter) {}

TFileOperator::~TFileOperator() = default;

std::string TFileOperator::listForm(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), ';', '\0');
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

void TFileOperator::SetSource(const std::string& text) {
    m_source = listForm(text);
    m_exactSources = false;
}

namespace {

// The list form of exact paths: each ended by a NUL (no path holds one), the
// whole by a second.
std::string exactListForm(const std::vector<std::string>& paths) {
    std::string out;
    for (const std::string& path : paths) {
        out += path;
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

} // namespace

void TFileOperator::SetSourceList(const std::vector<std::string>& paths) {
    m_source = exactListForm(paths);
    m_exactSources = true;
}

void TFileOperator::SetDestination(const std::string& text) {
    m_dest = listForm(text);
    m_pairedDests = false;
}

void TFileOperator::SetOneDestination(const std::string& path) {
    m_dest = exactListForm({path});
    m_pairedDests = false;
}

void TFileOperator::SetDestinationList(const std::vector<std::string>& paths) {
    m_dest = exactListForm(paths);
    m_pairedDests = true;
}

std::vector<std::string> TFileOperator::split(const std::string& listForm) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < listForm.size()) {
        const size_t end = std::min(listForm.find('\0', pos), listForm.size());
        if (end > pos)
            out.push_back(listForm.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

std::optional<std::string> TFileOperator::hostOf(const std::string& path) const {
    if (!path.empty() && path[0] == '/')
        return path;
    return m_drives.ToHostPath(path);
}

std::string TFileOperator::display(const std::string& hostPath) const {
    return m_drives.ToCataloguePath(hostPath, false).value_or(hostPath);
}

bool TFileOperator::expandSources(const std::vector<std::string>& texts,
                                  std::vector<std::string>& hostSources,
                                  std::vector<bool>& strippedDot) {
    std::vector<std::string> out;
    std::vector<bool> dots;
    for (const std::string& source : texts) {
        const auto host = hostOf(source);
        if (!host) {
            m_prompter.error("Cannot reach " + source + "     ");
            return false;
        }
        const auto [dirPart, last] = splitLast(source);
        if (!m_exactSources && hasWildcard(last)) {
            const std::string dir = parentOf(*host);
            platform::DirHandle handle;
            std::vector<std::string> names;
            if (platform::DirHandle::Open(dir, handle) == 0)
                handle.List(names);
            std::sort(names.begin(), names.end());
            const std::string pattern = UpperCase(last);
            // "*.*" is every entry, names without a dot included, as a user of
            // the lists expects; the plain match would pass "README" over.
            const bool all = pattern == "*.*" || pattern == "*";
            for (const std::string& name : names) {
                if (!all && !WildcardMatch(pattern, UpperCase(platform::EscapeHostName(name))))
                    continue;
                platform::EntryStat st;
                if (Flags.has(FileOpFlag::foFilesOnly) && handle.Stat(name, st) == 0 &&
                    st.kind == EntryKind::Directory)
                    continue;
                out.push_back(join(dir, name));
                dots.push_back(false);
            }
            continue;
        }
        // "README." names the file README: the dot only marks a name without
        // an extension. A file really named with a final dot wins when it exists.
        bool stripped = false;
        std::string path = *host;
        if (!m_exactSources && path.size() > 1 && path.back() == '.' && !exists(path) &&
            exists(path.substr(0, path.size() - 1))) {
            path.pop_back();
            stripped = true;
        }
        out.push_back(path);
        dots.push_back(stripped);
    }
    hostSources = std::move(out);
    strippedDot = std::move(dots);
    return true;
}

std::optional<std::vector<FileOpPair>> TFileOperator::Plan() {
    const std::vector<std::string> originals = split(m_source);
    std::vector<std::string> sources;
    std::vector<bool> strippedDot;
    if (!expandSources(originals, sources, strippedDot))
        return std::nullopt;
    std::vector<FileOpPair> pairs;
    if (Operation == FileOperation::foDelete) {
        for (const std::string& s : sources)
            pairs.push_back({s, {}});
        return pairs;
    }
    const std::vector<std::string> dests = split(m_dest);
    if (m_pairedDests && m_exactSources) {
        // Each source to the target given for it, as it is.
        if (dests.size() != sources.size()) {
            m_prompter.error("No destination was given.     ");
            return std::nullopt;
        }
        for (size_t i = 0; i < sources.size(); ++i) {
            const auto host = hostOf(dests[i]);
            if (!host) {
                m_prompter.error("Cannot reach " + dests[i] + "     ");
                return std::nullopt;
            }
            pairs.push_back({sources[i], *host});
        }
        return pairs;
    }
    if (dests.empty()) {
        if (!sources.empty())
            m_prompter.error("No destination was given.     ");
        return std::nullopt;
    }
    // One destination per source, each naming the target itself (a directory
    // form or a wildcard mask is a destination for all).
    bool pairwise = Flags.has(FileOpFlag::foMultiDestFiles) && dests.size() == sources.size() &&
                    originals.size() == sources.size();
    for (const std::string& d : dests)
        pairwise =
            pairwise && d.back() != '\\' && d.back() != '/' && !hasWildcard(splitLast(d).second);
    if (pairwise) {
        for (size_t i = 0; i < sources.size(); ++i) {
            const auto host = hostOf(dests[i]);
            if (!host) {
                m_prompter.error("Cannot reach " + dests[i] + "     ");
                return std::nullopt;
            }
            std::string dest = *host;
            if (strippedDot[i] && dest.size() > 1 && dest.back() == '.')
                dest.pop_back();
            pairs.push_back({sources[i], std::move(dest)});
        }
        return pairs;
    }
    // As many destinations as source texts, some of them wildcards: each text
    // goes to its own destination (a directory's files to their directory).
    if (Flags.has(FileOpFlag::foMultiDestFiles) && originals.size() > 1 &&
        dests.size() == originals.size()) {
        for (size_t i = 0; i < originals.size(); ++i) {
            std::vector<std::string> some;
            std::vector<bool> someDots;
            if (!expandSources({originals[i]}, some, someDots) ||
                !planInto(some, someDots, dests[i], pairs))
                return std::nullopt;
        }
        return pairs;
    }
    if (!planInto(sources, strippedDot, dests.front(), pairs))
        return std::nullopt;
    return pairs;
}

bool TFileOperator::planInto(const std::vector<std::string>& sources,
                             const std::vector<bool>& strippedDot, const std::string& dest,
                             std::vector<FileOpPair>& pairs) {
    auto finish = [&](size_t i, std::string target) {
        if (strippedDot[i] && target.size() > 1 && target.back() == '.')
            target.pop_back();
        pairs.push_back({sources[i], std::move(target)});
    };
    // One destination: a directory, a directory with a name mask, or (for one
    // source) the new name itself.
    const auto host = hostOf(dest);
    if (!host) {
        m_prompter.error("Cannot reach " + dest + "     ");
        return false;
    }
    std::string dir = *host;
    std::string mask;
    const bool dirForm = dest.back() == '\\' || dest.back() == '/' || isDirectory(*host);
    if (!dirForm) {
        const std::string last = splitLast(dest).second;
        if (hasWildcard(last) || sources.size() != 1) {
            dir = parentOf(*host);
            mask = last;
        } else {
            finish(0, *host);
            return true;
        }
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        std::string name = platform::EscapeHostName(baseOf(sources[i]));
        if (!mask.empty()) {
            // A name without an extension meets the mask with an empty one.
            const bool noExt = name.find('.') == std::string::npos;
            name =
                mask == "*" || mask == "*.*"
                    ? name
                    : ApplyNameMask(noExt ? name + "." : name, mask, [&dir](const std::string& n) {
                          return exists(join(dir, platform::UnescapeName(n)));
                      });
            if (noExt && name.size() > 1 && name.back() == '.')
                name.pop_back();
        }
        finish(i, join(dir, platform::UnescapeName(name)));
    }
    return true;
}

bool TFileOperator::Execute() {
    m_aborted = false;
    m_mappings.clear();
    auto pairs = Plan();
    if (!pairs || pairs->empty())
        return false;

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
    if (WantMappingHandle)
        for (const auto& [planned, used] : job.Renamed())
            m_mappings.emplace_back(display(planned), display(used));
    return job.Succeeded();
}

} // namespace zentrix
