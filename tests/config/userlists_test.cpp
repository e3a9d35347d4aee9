#include "config/startupdrives.h"
#include "config/userfiletypes.h"
#include "platform/drivetable.h"

#include <gtest/gtest.h>

using namespace zentrix;

TEST(UserFileTypes, EntriesAreBuiltAndTakenApart) {
    EXPECT_EQ(MakeUserFileType("Web pages", "*.htm (*.html)"), "Web pages (*.HTM *.HTML)");
    const auto parts = SplitUserFileType("Text files (*.TXT *.DOC)");
    EXPECT_EQ(parts.description, "Text files");
    EXPECT_EQ(parts.specification, "*.TXT *.DOC");
    // Damaged entries from a hand-edited store still split without surprises.
    EXPECT_EQ(SplitUserFileType("no masks").description, "no masks");
    EXPECT_EQ(SplitUserFileType("no masks").specification, "");
    EXPECT_EQ(SplitUserFileType("open (*.A").specification, "*.A");
    EXPECT_EQ(SplitUserFileType("odd )x (*.B)").description, "odd )x");
    EXPECT_EQ(SplitUserFileType("odd )x (*.B)").specification, "*.B");
}

TEST(UserFileTypes, ADuplicateOrAnEmptyPartAddsNothing) {
    std::vector<std::string> types{"Text (*.TXT)"};
    EXPECT_FALSE(AddUserFileType(types, "Text", "*.txt"));
    EXPECT_FALSE(AddUserFileType(types, "", "*.A"));
    EXPECT_FALSE(AddUserFileType(types, "A", ""));
    EXPECT_TRUE(AddUserFileType(types, "text", "*.txt")); // descriptions keep their case
    EXPECT_EQ(types, (std::vector<std::string>{"Text (*.TXT)", "text (*.TXT)"}));
}

TEST(StartupDrives, OnlyFixedAndNetworkDisksAreOffered) {
    const auto drives = platform::DriveTable::FromSpec(
        "A=/tmp:floppy;C=/:fixed:ROOT;D=/tmp:cdrom:DISC;N=/tmp:network:SHARE;R=/tmp:ram", {});
    EXPECT_EQ(StartupDriveChoices(drives), (std::vector<std::string>{"C ROOT", "N SHARE"}));
    platform::DriveInfo net;
    net.letter = 'M';
    net.kind = platform::DriveKind::Network;
    net.device = "//server/export";
    net.label = "ignored";
    EXPECT_EQ(StartupDriveEntry(net, "label"), "M //server/export");

    EXPECT_TRUE(IsStartupDriveChosen("C ROOT", {"D x", "c"}));
    EXPECT_FALSE(IsStartupDriveChosen("C ROOT", {"D x", ""}));
    EXPECT_FALSE(IsStartupDriveChosen("", {"C"}));
}
