#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix::tools {

/// The processor's model name and the number of processors, from /proc/cpuinfo.
struct ProcessorFacts {
    std::string model;
    int count = 0;
    double mhz = 0;
};
ProcessorFacts ParseCpuInfo(std::string_view text);

/// Kilobyte values of /proc/meminfo by key ("MemTotal" ...); -1 when missing.
int64_t MemInfoValue(std::string_view text, std::string_view key);

/// A field of /proc/self/mounts as the path it stands for: blanks, tabs,
/// line feeds and backslashes are written there as a backslash and three octal digits.
std::string UnescapeMountField(std::string_view field);

/// "3 days, 4:05" from the first number of /proc/uptime.
std::string UptimeText(std::string_view procUptime);

/// The report's lines: processor, memory, swap, kernel, uptime, load and the
/// mounted disks with their sizes (read now from /proc, /sys and the system).
std::vector<std::string> SystemReport();

/// The information a CD-ROM's primary volume descriptor (sector 16) holds.
struct DiscInfo {
    bool valid = false;
    std::string volume, system, volumeSet, publisher, preparer, application;
    std::string copyrightFile, abstractFile, bibliographicFile;
    /// "YYYY-MM-DD", empty for a date that cannot be read.
    std::string created, modified, expires, effective;
};
/// Reads the fields from the 2,048 bytes of sector 16 (nothing valid when the
/// sector is no ISO 9660 primary volume descriptor).
DiscInfo ParseVolumeDescriptor(std::string_view sector);
/// Reads sector 16 of a device or image file.
DiscInfo ReadDiscInfo(const std::string& deviceOrImage);

} // namespace zentrix::tools
