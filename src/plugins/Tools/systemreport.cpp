#include "systemreport.h"

#include "core/text.h"
#include "platform/discsector.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace zentrix::tools {

namespace {

std::string readSmallFile(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    std::string text(1 << 20, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return text;
}

std::string sizeText(uint64_t bytes) {
    char buf[64];
    const double gib = static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0);
    if (gib >= 1)
        std::snprintf(buf, sizeof buf, "%.1f GB", gib);
    else
        std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return buf;
}


std::string field(std::string_view sector, size_t at, size_t length) {
    if (at + length > sector.size())
        return {};
    std::string out;
    for (const char c : sector.substr(at, length))
        out.push_back(
            static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) < 127 ? c : ' ');
    return Trim(out);
}

std::string dateField(std::string_view sector, size_t at) {
    if (at + 8 > sector.size())
        return {};
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        const char c = sector[at + static_cast<size_t>(i)];
        if (c < '0' || c > '9')
            return {};
        digits[i] = c - '0';
    }
    int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    int month = digits[4] * 10 + digits[5];
    int day = digits[6] * 10 + digits[7];
    if (year == 0 && month == 0 && day == 0)
        return {};
    year = year ? year : 1;
    month = month ? month : 1;
    day = day ? day : 1;
    if (month > 12 || day > 31)
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    return buf;
}

} // namespace

ProcessorFacts ParseCpuInfo(std::string_view text) {
    ProcessorFacts facts;
    for (const std::string_view line : SplitLines(text)) {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string key = Trim(line.substr(0, colon));
        const std::string value = Trim(line.substr(colon + 1));
        if (key == "processor")
            ++facts.count;
        else if ((key == "model name" || key == "Model" || key == "cpu model") &&
                 facts.model.empty())
            facts.model = value;
        else if (key == "cpu MHz" && facts.mhz == 0)
            facts.mhz = std::strtod(value.c_str(), nullptr);
    }
    return facts;
}

int64_t MemInfoValue(std::string_view text, std::string_view key) {
    int64_t result = -1;
    for (const std::string_view line : SplitLines(text)) {
        if (result >= 0 || line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':')
            continue;
        const std::string value = Trim(line.substr(key.size() + 1));
        char* end = nullptr;
        const long long v = std::strtoll(value.c_str(), &end, 10);
        if (end != value.c_str() && v >= 0)
            result = v;
    }
    return result;
}

std::string UnescapeMountField(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](size_t at) {
            return field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out.push_back(static_cast<char>(((field[i + 1] - '0') << 6) |
                                            ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

std::string UptimeText(std::string_view procUptime) {
    const std::string text(procUptime.substr(0, 64));
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(seconds >= 0) || seconds > 1e12)
        return {};
    const auto total = static_cast<long long>(seconds);
    const long long days = total / 86400;
    const long long hours = total % 86400 / 3600;
    const long long minutes = total % 3600 / 60;
    char buf[64];
    if (days > 0)
        std::snprintf(buf, sizeof buf, "%lld day%s, %lld:%02lld", days, days == 1 ? "" : "s", hours,
                      minutes);
    else
        std::snprintf(buf, sizeof buf, "%lld:%02lld", hours, minutes);
    return buf;
}

std::vector<std::string> SystemReport() {
    std::vector<std::string> lines;
    const ProcessorFacts cpu = ParseCpuInfo(readSmallFile("/proc/cpuinfo"));
    char buf[256];
    lines.push_back("Processor: " + (cpu.model.empty() ? std::string("unknown") : cpu.model));
    std::snprintf(buf, sizeof buf, "Processors: %d",
                  cpu.count ? cpu.count : static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)));
    lines.push_back(buf);
    if (cpu.mhz > 0) {
        std::snprintf(buf, sizeof buf, "Clock: %.0f MHz", cpu.mhz);
        lines.push_back(buf);
    }
    const std::string mem = readSmallFile("/proc/meminfo");
    const int64_t total = MemInfoValue(mem, "MemTotal");
    const int64_t available = MemInfoValue(mem, "MemAvailable");
    if (total >= 0)
        lines.push_back("Memory: " + sizeText(static_cast<uint64_t>(total) * 1024) + " (" +
                        sizeText(static_cast<uint64_t>(std::max<int64_t>(0, available)) * 1024) +
                        " available)");
    const int64_t swap = MemInfoValue(mem, "SwapTotal");
    const int64_t swapFree = MemInfoValue(mem, "SwapFree");
    if (swap >= 0)
        lines.push_back("Swap: " + sizeText(static_cast<uint64_t>(swap) * 1024) + " (" +
                        sizeText(static_cast<uint64_t>(std::max<int64_t>(0, swapFree)) * 1024) +
                        " free)");
    struct utsname un {};
    if (::uname(&un) == 0)
        lines.push_back(std::string("Kernel: ") + un.sysname + " " + un.release + " (" +
                        un.machine + ")");
    const std::string up = UptimeText(readSmallFile("/proc/uptime"));
    if (!up.empty())
        lines.push_back("Up for: " + up);
    const std::string load = Trim(readSmallFile("/proc/loadavg").substr(0, 14));
    if (!load.empty())
        lines.push_back("Load: " + load);
    lines.push_back("");
    lines.push_back("Disks:");
    const std::string mounts = readSmallFile("/proc/self/mounts");
    for (const std::string_view line : SplitLines(mounts)) {
        std::istringstream in{std::string(line)};
        std::string source, target, type;
        in >> source >> target >> type;
        if (source.rfind("/dev/", 0) != 0)
            continue;
        source = UnescapeMountField(source);
        target = UnescapeMountField(target);
        struct statvfs st {};
        if (::statvfs(target.c_str(), &st) != 0)
            continue;
        const uint64_t size = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
        const uint64_t avail = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
        lines.push_back("  " + target + "  " + type + "  " + sizeText(size) + ", " +
                        sizeText(avail) + " free  (" + source + ")");
    }
    return lines;
}

DiscInfo ParseVolumeDescriptor(std::string_view sector) {
    DiscInfo info;
    if (sector.size() < 2048 || sector[0] != 1 || sector.substr(1, 5) != "CD001")
        return info;
    info.valid = true;
    info.system = field(sector, 8, 32);
    info.volume = field(sector, 40, 32);
    info.volumeSet = field(sector, 190, 128);
    info.publisher = field(sector, 318, 128);
    info.preparer = field(sector, 446, 128);
    info.application = field(sector, 574, 128);
    info.copyrightFile = field(sector, 702, 37);
    info.abstractFile = field(sector, 739, 37);
    info.bibliographicFile = field(sector, 776, 37);
    info.created = dateField(sector, 813);
    info.modified = dateField(sector, 830);
    info.expires = dateField(sector, 847);
    info.effective = dateField(sector, 864);
    return info;
}

DiscInfo ReadDiscInfo(const std::string& deviceOrImage) {
    const auto sector = platform::ReadDiscSector(deviceOrImage, 16);
    return sector ? ParseVolumeDescriptor(*sector) : DiscInfo{};
}

} // namespace zentrix::tools
