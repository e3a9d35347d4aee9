#include "ops/fileopwindow.h"

#include <cmath>
#include <cstdio>

namespace zentrix {

double FileOpStatus::BytesPerSecond() const {
    if (elapsedSeconds < 0.25)
        return 0;
    return static_cast<double>(bytesDone) / elapsedSeconds;
}

double FileOpStatus::SecondsLeft() const {
    const double speed = BytesPerSecond();
    if (measuring || speed <= 0 || bytesDone > bytesTotal)
        return -1;
    return static_cast<double>(bytesTotal - bytesDone) / speed;
}

std::string FileOpStatus::SizeText(uint64_t bytes) {
    char text[32];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / 1024);
    else if (bytes < 1024ull * 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    else
        std::snprintf(text, sizeof text, "%.2f GB",
                      static_cast<double>(bytes) / (1024.0 * 1024 * 1024));
    return text;
}

std::vector<std::string> FileOpStatus::Lines(bool withNames) const {
    std::vector<std::string> lines;
    if (withNames) {
        lines.push_back(currentFile);
        lines.push_back(currentTarget.empty() ? std::string() : "to " + currentTarget);
    }
    if (measuring) {
        lines.push_back("Counting files: " + std::to_string(filesTotal));
        lines.push_back(SizeText(bytesTotal));
        return lines;
    }
    lines.push_back("Files: " + std::to_string(filesDone) + " of " + std::to_string(filesTotal));
    lines.push_back("Bytes: " + SizeText(bytesDone) + " of " + SizeText(bytesTotal));
    const double speed = BytesPerSecond();
    lines.push_back("Speed: " + (speed > 0 ? SizeText(static_cast<uint64_t>(speed)) + "/s"
                                           : std::string("...")));
    const double left = SecondsLeft();
    if (left < 0) {
        lines.push_back("Time left: ...");
    } else {
        const long s = std::lround(left);
        char text[48];
        std::snprintf(text, sizeof text, "Time left: %ld:%02ld:%02ld", s / 3600, s / 60 % 60,
                      s % 60);
        lines.push_back(text);
    }
    return lines;
}

} // namespace zentrix
