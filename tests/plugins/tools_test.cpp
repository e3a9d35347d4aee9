#include "Tools/systemreport.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace zentrix::tools;
using zentrix::test::TempDir;

namespace {

// Writes `text` into a fixed-width descriptor field, padded with blanks.
void put(std::string& sector, size_t at, size_t width, const std::string& text) {
    sector.replace(at, width, (text + std::string(width, ' ')).substr(0, width));
}

} // namespace

TEST(SystemReport, ProcessorMemoryAndUptimeFromTheirProcFiles) {
    const ProcessorFacts cpu = ParseCpuInfo("processor\t: 0\nmodel name\t: Test CPU @ 2.0GHz\n"
                                            "cpu MHz\t\t: 1995.5\n\nprocessor\t: 1\n"
                                            "model name\t: Other\ncpu MHz\t\t: 800\n");
    EXPECT_EQ(cpu.count, 2);
    EXPECT_EQ(cpu.model, "Test CPU @ 2.0GHz");
    EXPECT_DOUBLE_EQ(cpu.mhz, 1995.5);

    const std::string mem = "MemTotal:       16318412 kB\nMemTotalX:  5 kB\nSwapTotal: 0 kB\n";
    EXPECT_EQ(MemInfoValue(mem, "MemTotal"), 16318412);
    EXPECT_EQ(MemInfoValue(mem, "SwapTotal"), 0);
    EXPECT_EQ(MemInfoValue(mem, "MemAvailable"), -1);
    EXPECT_EQ(MemInfoValue("MemTotal: lots\n", "MemTotal"), -1);

    EXPECT_EQ(UptimeText("59.99 1.0\n"), "0:00");
    EXPECT_EQ(UptimeText("3725.5 1.0"), "1:02");
    EXPECT_EQ(UptimeText("90061 0"), "1 day, 1:01");
    EXPECT_EQ(UptimeText("259200"), "3 days, 0:00");
    EXPECT_EQ(UptimeText(""), "");
    EXPECT_EQ(UptimeText("-5"), "");
}

TEST(SystemReport, MountPathsWithBlanksAreReadBack) {
    EXPECT_EQ(UnescapeMountField("/media/my\\040disk"), "/media/my disk");
    EXPECT_EQ(UnescapeMountField("/a\\011b\\134c"), "/a\tb\\c");
    // Not an escape: left as it is.
    EXPECT_EQ(UnescapeMountField("/x\\09"), "/x\\09");
    EXPECT_EQ(UnescapeMountField("/end\\"), "/end\\");
}

TEST(DiscInfo, TheFieldsOfAPrimaryVolumeDescriptor) {
    std::string sector(2048, '\0');
    sector[0] = 1;
    sector.replace(1, 5, "CD001");
    put(sector, 8, 32, "LINUX");
    put(sector, 40, 32, "BACKUP_2026");
    put(sector, 190, 128, "SET");
    put(sector, 318, 128, "PUBLISHER");
    put(sector, 446, 128, "PREPARER");
    put(sector, 574, 128, "APP");
    // Full-width file names: each field ends where the next begins.
    put(sector, 702, 37, std::string(37, 'C'));
    put(sector, 739, 37, std::string(37, 'A'));
    put(sector, 776, 37, std::string(37, 'B'));
    sector.replace(813, 17, "2026120914300000\x00", 17);
    sector.replace(830, 17, std::string(17, '0'));
    sector.replace(847, 17, "2027139900000000\x00", 17);

    const DiscInfo info = ParseVolumeDescriptor(sector);
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.system, "LINUX");
    EXPECT_EQ(info.volume, "BACKUP_2026");
    EXPECT_EQ(info.volumeSet, "SET");
    EXPECT_EQ(info.publisher, "PUBLISHER");
    EXPECT_EQ(info.preparer, "PREPARER");
    EXPECT_EQ(info.application, "APP");
    EXPECT_EQ(info.copyrightFile, std::string(37, 'C'));
    EXPECT_EQ(info.abstractFile, std::string(37, 'A'));
    EXPECT_EQ(info.bibliographicFile, std::string(37, 'B'));
    EXPECT_EQ(info.created, "2026-12-09");
    EXPECT_EQ(info.modified, ""); // all zeros: not recorded
    EXPECT_EQ(info.expires, "");  // month 13 cannot be read
    EXPECT_EQ(info.effective, "");

    // The same sector as sector 16 of an image file.
    TempDir tmp;
    tmp.write("disc.iso", std::string(16 * 2048, '\0') + sector);
    EXPECT_EQ(ReadDiscInfo(tmp.at("disc.iso")).volume, "BACKUP_2026");
    // Too short, or no volume descriptor: nothing valid.
    tmp.write("short.iso", std::string(16 * 2048 + 100, '\0'));
    EXPECT_FALSE(ReadDiscInfo(tmp.at("short.iso")).valid);
    EXPECT_FALSE(ReadDiscInfo(tmp.at("missing.iso")).valid);
    sector[0] = 2;
    EXPECT_FALSE(ParseVolumeDescriptor(sector).valid);
}
