#include "platform/fileuris.h"

#include <gtest/gtest.h>

using namespace zentrix::platform;

namespace {

using Paths = std::vector<std::string>;

// What other file managers put on the clipboard and into drops, hostile names
// included: every name comes back byte for byte, nothing that walks or is not
// a local file gets through.
TEST(ClipboardFormats, OtherProgramsListsReadAsExactPaths) {
    const std::string hostile = "/tmp/x;C:victim.txt\n\"q\" <b>*?%20";
    EXPECT_EQ(ParseUriList(UriListText({"/home/a b/caf\xc3\xa9", hostile, "/"})),
              (Paths{"/home/a b/caf\xc3\xa9", hostile, "/"}));
    EXPECT_EQ(ParseUriList("# a comment\r\n"
                           "file:///usr/share/doc/\r\n"
                           "file://localhost/srv/x%2Fy\r\n"
                           "FILE:///Upper\r\n"
                           "file:///a/../etc/passwd\r\n"
                           "file:///a//b\r\n"
                           "file:///a/./b\r\n"
                           "file://server/share/f\r\n"
                           "sftp://host/f\r\n"
                           "/plain/path\r\n"
                           "file:///nul%00byte\r\n"),
              (Paths{"/usr/share/doc", "/srv/x/y", "/Upper"}));

    const auto copied = ParseGnomeCopiedFiles("copy\nfile:///home/me/a.txt\nfile:///home/me/Dir");
    ASSERT_TRUE(copied);
    EXPECT_FALSE(copied->cut);
    EXPECT_EQ(copied->paths, (Paths{"/home/me/a.txt", "/home/me/Dir"}));
    const auto cut = ParseGnomeCopiedFiles("cut\r\nfile:///x\r\n");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->cut);
    EXPECT_EQ(cut->paths, Paths{"/x"});
    EXPECT_FALSE(ParseGnomeCopiedFiles("move\nfile:///x"));
    EXPECT_FALSE(ParseGnomeCopiedFiles("file:///x"));
    EXPECT_EQ(GnomeCopiedFilesText({true, {"/a b", "/c"}}), "cut\nfile:///a%20b\nfile:///c");
}

} // namespace
