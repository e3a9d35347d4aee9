#include "search/dirstatisticsreport.h"

#include "platform/hostname.h"

#include <clocale>
#include <cstdlib>

namespace zentrix::DirStatisticsReport {
namespace {

std::string separator() {
    const std::lconv* conv = std::localeconv();
    if (conv && conv->thousands_sep && *conv->thousands_sep)
        return conv->thousands_sep;
    return ",";
}

std::string groupDigits(uint64_t value) {
    const std::string digits = std::to_string(value);
    const std::string sep = separator();
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += sep;
        out.push_back(digits[i]);
    }
    return out;
}

/// Divides and rounds to the nearest, halves away from zero.
int64_t roundedDiv(int64_t value, int64_t by) {
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const auto q = static_cast<int64_t>((magnitude + static_cast<uint64_t>(by) / 2) /
                                        static_cast<uint64_t>(by));
    return value < 0 ? -q : q;
}

std::string sizeLine(int64_t bytes) {
    return Grouped(bytes) + " bytes (" + Grouped(roundedDiv(bytes, 1024)) +
           " Kb = " + Grouped(roundedDiv(bytes, 1048576)) + " Mb)";
}

std::string ofDisk(int64_t part, uint64_t diskSize) {
    if (diskSize == 0)
        return {};
    return " (" + std::to_string(Percent(part, diskSize)) + "% of entire disk)";
}

} // namespace

std::string Grouped(uint64_t value) {
    return groupDigits(value);
}

std::string Grouped(int64_t value) {
    if (value < 0)
        return "-" + groupDigits(0 - static_cast<uint64_t>(value));
    return groupDigits(static_cast<uint64_t>(value));
}

int64_t Percent(int64_t part, uint64_t whole) {
    if (whole == 0)
        return 0;
    // In floating point: part * 100 overflows 64 bits for the largest disks.
    const long double exact =
        static_cast<long double>(part) * 100.0L / static_cast<long double>(whole);
    return static_cast<int64_t>(exact < 0 ? exact - 0.5L : exact + 0.5L);
}

std::string RightAligned(const std::string& text, size_t width) {
    // Width in characters: UTF-8 continuation bytes take no room.
    size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++chars;
    return chars >= width ? text : std::string(width - chars, ' ') + text;
}

std::vector<std::string> SummaryLines(const std::string& startDir, const DirTotals& t,
                                      uint64_t diskSize, std::time_t now) {
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char when[96];
    const size_t n = std::strftime(when, sizeof when, "%x %H:%M", &tm);
    const auto used = static_cast<int64_t>(t.actuallyUsed);
    const int64_t average =
        t.files ? roundedDiv(static_cast<int64_t>(t.spaceUsed), static_cast<int64_t>(t.files)) : 0;
    return {
        "Stats for directory:  " + startDir + " on: " + std::string(when, n),
        "Total files:          " + Grouped(t.files),
        "Total directories:    " + Grouped(t.directories),
        "Space used:           " + Grouped(t.spaceUsed) + " bytes",
        "Actually used:        " + Grouped(t.actuallyUsed) + " bytes" + ofDisk(used, diskSize),
        "Slack space:          " + Grouped(t.slack()) + " bytes" + ofDisk(t.slack(), diskSize),
        "Average file size:    " + Grouped(average) + " bytes",
        "Largest subdirectory: " + t.largestDir,
        "which contains:       " + Grouped(t.largestBytes) + " bytes",
    };
}

std::string TypeName(const std::string& ext, const std::string& description) {
    std::string bare = ext.size() > 1 && ext[0] == '.' ? ext.substr(1) : std::string();
    if (!platform::IsPlainHostName(bare))
        bare = platform::EscapeHostName(bare);
    if (bare.empty())
        return "() Unknown file type";
    if (description.empty())
        return "(" + bare + ") " + bare + " file";
    return "(" + bare + ") " + description;
}

std::vector<std::string>
YearAndTypeLines(const DirTotals& t,
                 const std::function<std::string(const std::string&)>& description) {
    std::vector<std::string> lines{"", "Statistics by date:", ""};
    for (int y = DirTotals::kFirstYear; y <= DirTotals::kLastYear; ++y) {
        const DirTotals::Year& year = t.year(y);
        if (year.files == 0)
            continue;
        lines.push_back(std::to_string(y) + " : " + RightAligned(std::to_string(year.files), 6) +
                        " files in" + RightAligned(Grouped(year.bytes), 14) + " bytes");
    }
    lines.insert(lines.end(), {"", "File type statistics:", ""});
    for (const TExtClass& type : t.types.Items()) {
        const std::string bare = type.Ext.size() > 1 ? type.Ext.substr(1) : std::string();
        lines.push_back(RightAligned(Grouped(type.Bytes), 13) + " bytes in " +
                        RightAligned(Grouped(type.Files), 6) + " files of type : " +
                        TypeName(type.Ext, bare.empty() || !description ? "" : description(bare)));
    }
    return lines;
}

std::string SummaryBoxText(const DirTotals& t, uint64_t clusterSize) {
    const auto bytes = static_cast<int64_t>(t.spaceUsed);
    const auto allocated = static_cast<int64_t>(t.actuallyUsed);
    std::string text = "Total space used by " + Grouped(t.files) + " files in " +
                       Grouped(t.directories) + " directories:\n" + sizeLine(bytes);
    if (clusterSize != 1)
        text += "\n\nActual space used (considering cluster size):\n" + sizeLine(allocated) +
                "\n\nSlack space: " + sizeLine(t.slack());
    return text;
}

} // namespace zentrix::DirStatisticsReport
