#include "app/appframe.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/existingdirectory.h"
#include "catalogue/typeddirectory.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/lexicalpath.h"
#include "core/text.h"
#include "platform/apppaths.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/process.h"
#include "platform/systeminfo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zentrix::AppFrame {
namespace {

constexpr const char* kNoDirectory = "Directory does not exist!     ";

} // namespace

std::string StartDirectory(const std::vector<std::string>& args, const std::string& lastDir) {
    std::string joined;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i)
            joined += ' ';
        joined += args[i];
    }
    joined = Trim(joined);
    return joined.empty() ? lastDir : joined;
}

std::string AbsoluteStartDirectory(const std::string& directory, const std::string& currentDir) {
    if (directory.empty() || directory[0] == '/')
        return directory;
    const bool drivePath = directory.size() >= 2 && directory[1] == ':' &&
                           std::isalpha(static_cast<unsigned char>(directory[0]));
    if (drivePath || currentDir.empty())
        return directory;
    // Resolved by name, not through links: "docs/.." is the current directory
    // even when docs is a link elsewhere, as the shell's own cd would have it.
    return LexicalPath(currentDir + "/" + directory);
}

void LogStartupDrives(DiskLogger& logger, Catalogue& catalogue,
                      const std::vector<std::string>& logDrivesAtStartup, char currentDisk) {
    bool any = false;
    for (const std::string& entry : logDrivesAtStartup) {
        if (entry.empty())
            continue;
        logger.LogDrive(entry[0]);
        any = true;
    }
    if (!any)
        logger.LogDrive(currentDisk);
    // None of them could be logged (not ready, released, gone): the first drive
    // that is ready is, so that the window has a tree to work in.
    if (catalogue.Tree().TopCount() > 0)
        return;
    for (const platform::DriveInfo& drive : catalogue.Drives().Drives()) {
        if (!catalogue.Drives().IsReady(drive.letter))
            continue;
        logger.LogDrive(drive.letter);
        if (catalogue.Tree().TopCount() > 0)
            return;
    }
}

bool OpenStartDirectory(DiskLogger& logger, const platform::DriveTable& drives, Prompter& prompter,
                        AppState& state, const std::string& directory, std::string* fileToSelect) {
    if (fileToSelect)
        fileToSelect->clear();
    if (directory.empty())
        return false;
    // A host path (from a file manager or a shell, "~" for the home directory)
    // is taken as it is, a relative one from the current directory; anything
    // else is read as a drive path.
    std::string path = IsHostPathText(directory)
                           ? ExpandHostPathText(directory, platform::AppPaths::Home())
                           : AbsoluteStartDirectory(directory, platform::CurrentDirectory());
    if (path[0] == '/') {
        const bool file = fileToSelect && platform::IsFile(path);
        TypedDirectory typed;
        if (file) {
            typed.path = drives.ToCataloguePath(path, false);
            if (!typed.path)
                typed.problem = NoDriveProblem(path);
        } else {
            typed = ResolveTypedDirectory(drives, path, true);
        }
        if (!typed.path) {
            prompter.warnWith(kNoDirectory, typed.problem);
            return false;
        }
        path = *typed.path;
    }
    // A file: its directory, with the file to be selected there.
    if (fileToSelect && path.back() != '\\') {
        const size_t slash = path.rfind('\\');
        const auto file = drives.ToHostPath(path);
        if (slash != std::string::npos && file && platform::IsFile(*file)) {
            *fileToSelect = path.substr(slash + 1);
            path.erase(slash + 1);
        }
    }
    if (path.back() != '\\')
        path += '\\';
    // The names as the disk has them: exactly first, then without regard to case.
    const auto existing = ExistingDirectory(drives, path);
    if (!existing) {
        prompter.warnWith(kNoDirectory, DirectoryProblem(drives, path));
        return false;
    }
    BusyGuard busy(state);
    return logger.GoToDirPath(*existing);
}

std::string LastDirOnQuit(const TTreeNode* selected) {
    if (selected && selected->Parent() && selected->Logged())
        return selected->Path();
    return {};
}

bool QueryClose(AppState& state, const Settings& settings, Prompter& prompter,
                const std::function<void()>& pump, std::chrono::milliseconds patience) {
    if (state.workersIdle())
        return settings.SkipQuitOption || prompter.askOkCancel("Quit Zentrix ?");
    if (!prompter.askOkCancel("Terminate threads?     ")) {
        prompter.warn("Cannot exit with threads running!     ");
        return false;
    }
    // Asked again on every round: a worker that was still starting marks
    // itself running when it gets going, over the first request.
    auto askToStop = [&state] {
        for (auto* worker : {&state.finderState, &state.statisticsState}) {
            for (int from : {int(AppState::kStarting), int(AppState::kRunning)}) {
                int expected = from;
                worker->compare_exchange_strong(expected, AppState::kStopping);
            }
        }
    };
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (askToStop(); !state.workersIdle(); askToStop()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            // A worker that does not end may still use what closing would free.
            prompter.warn("Cannot exit with threads running!     ");
            return false;
        }
        pump();
    }
    return true;
}

std::vector<std::string> DroppedNames(const platform::DriveTable& drives,
                                      const std::vector<std::string>& hostPaths) {
    std::vector<std::string> names;
    for (const std::string& host : hostPaths)
        if (auto path = drives.ToCataloguePath(host, false))
            names.push_back(*path);
    return names;
}

namespace {

std::string megabytes(uint64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu MB", static_cast<unsigned long long>(bytes >> 20));
    return buf;
}

std::string percent(uint64_t part, uint64_t whole) {
    if (whole == 0)
        return "0%";
    return std::to_string(static_cast<int>((part * 100 + whole / 2) / whole)) + "%";
}

} // namespace

std::vector<std::string> SystemInfoLines(const platform::SystemFigures& f) {
    std::vector<std::string> lines;
    lines.push_back(" Memory:  Available=" + megabytes(f.memAvailable) +
                    "  Total=" + megabytes(f.memTotal) +
                    "  Usage=" + percent(f.memTotal - f.memAvailable, f.memTotal));
    lines.push_back(" Swap file:  Setting=" + std::string(f.swapTotal ? "Enabled" : "None") +
                    "  Size=" + megabytes(f.swapTotal) +
                    "  Usage=" + percent(f.swapTotal - f.swapFree, f.swapTotal));
    const auto up = static_cast<long long>(f.uptimeSeconds);
    char uptime[64];
    std::snprintf(uptime, sizeof uptime, "%lldd %02lld:%02lld", up / 86400, (up / 3600) % 24,
                  (up / 60) % 60);
    lines.push_back(" System: Installed=" + (f.kernel.empty() ? std::string("Linux") : f.kernel) +
                    " Up=" + uptime);
    char load[96];
    std::snprintf(load, sizeof load, " Load:  1 min=%.2f  5 min=%.2f  15 min=%.2f", f.load[0],
                  f.load[1], f.load[2]);
    lines.push_back(load);
    return lines;
}

} // namespace zentrix::AppFrame
