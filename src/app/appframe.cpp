#include "app/appframe.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/text.h"
#include "platform/drivetable.h"
#include "platform/systeminfo.h"

#include <cstdio>
#include <sys/stat.h>

namespace zentrix::AppFrame {

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

void LogStartupDrives(DiskLogger& logger, const std::vector<std::string>& logDrivesAtStartup,
                      char currentDisk) {
    bool any = false;
    for (const std::string& entry : logDrivesAtStartup) {
        if (entry.empty())
            continue;
        logger.LogDrive(entry[0]);
        any = true;
    }
    if (!any)
        logger.LogDrive(currentDisk);
}

bool OpenStartDirectory(DiskLogger& logger, const platform::DriveTable& drives,
                        Prompter& prompter, AppState& state, const std::string& directory) {
    if (directory.empty())
        return false;
    // A host path (from a file manager or a shell) is taken as it is; anything
    // else is read as a drive path.
    std::string path = directory;
    if (path[0] == '/') {
        auto catalogue = drives.ToCataloguePath(path);
        if (!catalogue) {
            prompter.warn("Directory does not exist!     ");
            return false;
        }
        path = *catalogue;
    }
    if (path.back() != '\\')
        path += '\\';
    const auto host = drives.ToHostPath(path);
    struct stat st{};
    if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        prompter.warn("Directory does not exist!     ");
        return false;
    }
    BusyGuard busy(state);
    return logger.GoToDirPath(path);
}

std::string LastDirOnQuit(const TTreeNode* selected) {
    if (selected && selected->Parent() && selected->Logged())
        return selected->Path();
    return {};
}

bool QueryClose(AppState& state, const Settings& settings, Prompter& prompter,
                const std::function<void()>& pump) {
    if (state.workersIdle())
        return settings.SkipQuitOption || prompter.askOkCancel("Quit Zentrix ?");
    if (!prompter.askOkCancel("Terminate threads?     ")) {
        prompter.warn("Cannot exit with threads running!     ");
        return false;
    }
    // A worker still setting up is asked too: it would otherwise run its
    // whole search while the close waits.
    for (auto* worker : {&state.finderState, &state.statisticsState}) {
        for (int active : {AppState::kStarting, AppState::kRunning})
            if (worker->compare_exchange_strong(active, AppState::kStopping))
                break;
    }
    while (!state.workersIdle())
        pump();
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
