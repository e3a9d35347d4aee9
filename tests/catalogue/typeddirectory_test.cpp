#include "catalogue/typeddirectory.h"
#include "platform/drivetable.h"
#include "support/scopedenv.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

TEST(TypedDirectory, HomeAndNamesAreResolvedAsTheShellDoes) {
    EXPECT_EQ(ExpandHostPathText("~", "/home/me"), "/home/me");
    EXPECT_EQ(ExpandHostPathText(" ~/Downloads/ ", "/home/me"), "/home/me/Downloads");
    EXPECT_EQ(ExpandHostPathText("/usr//share/./doc/../man", "/home/me"), "/usr/share/man");
    EXPECT_EQ(ExpandHostPathText("/../..", "/home/me"), "/");
    EXPECT_EQ(ExpandHostPathText("/my dir/ with  blanks", "/home/me"), "/my dir/ with  blanks");
    EXPECT_TRUE(IsHostPathText("  /x"));
    EXPECT_TRUE(IsHostPathText("~"));
    EXPECT_TRUE(IsHostPathText("~/x"));
    EXPECT_FALSE(IsHostPathText("~user"));
    EXPECT_FALSE(IsHostPathText("D:\\x"));
    EXPECT_FALSE(IsHostPathText("docs"));
}

class TypedDirectoryOnDrives : public ::testing::Test {
protected:
    TempDir tmp;
    platform::DriveTable drives;
    std::unique_ptr<ScopedEnv> home;

    void SetUp() override {
        tmp.mkdir("d/My Docs/Sub");
        tmp.mkdir("e");
        tmp.write("d/file.txt", "x");
        tmp.mkdir("outside");
        tmp.symlink(tmp.at("d/My Docs"), "outside/link");
        drives = platform::DriveTable::FromSpec("D=" + tmp.at("d") + ";E=" + tmp.at("e"), {});
        home = std::make_unique<ScopedEnv>("HOME", tmp.at("d"));
    }
};

TEST_F(TypedDirectoryOnDrives, HostPathsBecomeCataloguePathsOrSayWhyNot) {
    auto path = [&](const std::string& text, bool mustExist = true) {
        return ResolveTypedDirectory(drives, text, mustExist).path.value_or("(none)");
    };
    auto problem = [&](const std::string& text, bool mustExist = true) {
        return ResolveTypedDirectory(drives, text, mustExist).problem;
    };
    EXPECT_EQ(path(tmp.at("d/My Docs")), "D:\\My Docs\\");
    EXPECT_EQ(path(tmp.at("d/My Docs/Sub/..")), "D:\\My Docs\\");
    EXPECT_EQ(path("~/My Docs/Sub"), "D:\\My Docs\\Sub\\");
    EXPECT_EQ(path("~"), "D:\\");
    EXPECT_EQ(path("d:\\my docs"), "D:\\My Docs\\");
    // A link from outside every drive to a directory on one.
    EXPECT_EQ(path(tmp.at("outside/link")), "D:\\My Docs\\");

    EXPECT_EQ(path(tmp.at("outside")), "(none)");
    EXPECT_EQ(problem(tmp.at("outside")),
              tmp.at("outside") + ": no drive letter stands for a directory that holds it");
    EXPECT_EQ(problem(tmp.at("d/missing")), tmp.at("d/missing") + ": No such file or directory");
    EXPECT_EQ(problem(tmp.at("d/file.txt")), tmp.at("d/file.txt") + ": Not a directory");
    EXPECT_EQ(problem("D:\\missing"), tmp.at("d/missing") + ": No such file or directory");
    EXPECT_EQ(problem("Q:\\x"), "Q:\\x\\: there is no drive Q:");
    EXPECT_EQ(path("docs"), "(none)");

    // A destination need not exist yet; it must still be on a drive.
    EXPECT_EQ(path(tmp.at("e/new dir"), false), "E:\\new dir\\");
    EXPECT_EQ(path(tmp.at("outside/new"), false), "(none)");
    EXPECT_EQ(path("E:\\later", false), "E:\\later\\");
}

} // namespace
