#include "opsfixture.h"
#include "support/killmidway.h"

#include <cstdio>

namespace zentrix::test {
namespace {

std::string contentOf(int i) {
    std::string data(4 << 20, static_cast<char>('a' + i));
    data.replace(0, 8, "file " + std::to_string(100 + i));
    return data;
}

// A move across file systems killed in the middle: every byte is still in its
// source or in a complete copy, and no partial file carries a final name.
TEST_F(OpsTest, AMoveAcrossFileSystemsKilledMidwayLosesNothing) {
    TmpfsMount target(tmp.at("e/mnt"), "size=256m");
    if (!target.mounted())
        GTEST_SKIP() << "mounting tmpfs needs root; skipped";
    constexpr int kFiles = 24;
    std::string sources;
    for (int i = 0; i < kFiles; ++i) {
        tmp.write("d/src/f" + std::to_string(i) + ".bin", contentOf(i));
        sources += " '" + tmp.at("d/src/f" + std::to_string(i) + ".bin") + "'";
    }
    const std::string command =
        std::string(OPS_MOVE_HELPER) + " '" + tmp.at("e/mnt/out") + "/'" + sources;
    // Kill it once a third of the bytes has moved.
    const bool killed = KillMidway(command, [](const char* line) {
        unsigned long long bytes = 0;
        return std::sscanf(line, "bytes %llu", &bytes) == 1 &&
               bytes > static_cast<unsigned long long>(kFiles / 3) * (4 << 20);
    });
    ASSERT_TRUE(killed) << "the helper finished before it could be killed";

    int moved = 0, stayed = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        const std::string source = tmp.at("d/src/" + name);
        const std::string copy = tmp.at("e/mnt/out/" + name);
        const bool inSource = Exists(source) && ReadFile(source) == contentOf(i);
        const bool inCopy = Exists(copy) && ReadFile(copy) == contentOf(i);
        EXPECT_TRUE(inSource || inCopy) << name;
        if (Exists(copy)) {
            EXPECT_TRUE(inCopy) << name << " has its final name but is not complete";
        }
        moved += inCopy && !Exists(source);
        stayed += inSource;
    }
    EXPECT_GT(moved, 0);
    EXPECT_GT(stayed, 0);
    // Nothing else under the destination: no named partial files.
    for (const std::string& name : TreeNames(tmp.at("e/mnt/out")))
        EXPECT_EQ(name.rfind("f", 0), 0u) << name;
}

} // namespace
} // namespace zentrix::test
