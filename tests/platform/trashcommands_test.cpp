#include "platform/trashcommands.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include "support/scopedenv.h"

using namespace zentrix::platform;
using zentrix::test::ScopedEnv;
using zentrix::test::TempDir;

namespace {

bool exists(const std::string& path) {
    return std::ifstream(path).good();
}

} // namespace

TEST(TrashCommands, EmptyingRemovesTheItemsButNothingALinkPointsAt) {
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.at("data"));
    ScopedEnv path("PATH", dir.at("nobin")); // our own removal, not the desktop's tool
    dir.write("data/Trash/files/a.txt", "a");
    dir.write("data/Trash/files/sub/b.txt", "b");
    dir.write("data/Trash/info/a.txt.trashinfo", "[Trash Info]\n");
    dir.write("keep/precious.txt", "must stay");
    dir.symlink(dir.at("keep"), "data/Trash/files/link");
    EXPECT_EQ(HomeTrashItemCount(), 3);

    EXPECT_TRUE(EmptyTrash());
    EXPECT_EQ(HomeTrashItemCount(), 0);
    EXPECT_FALSE(exists(dir.at("data/Trash/info/a.txt.trashinfo")));
    EXPECT_TRUE(exists(dir.at("keep/precious.txt")));
}

TEST(TrashCommands, ATrashDirectoryThatIsALinkIsNotFollowed) {
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.at("data"));
    ScopedEnv path("PATH", dir.at("nobin"));
    dir.write("elsewhere/precious.txt", "must stay");
    dir.mkdir("data/Trash");
    dir.symlink(dir.at("elsewhere"), "data/Trash/info");
    EmptyTrash();
    EXPECT_TRUE(exists(dir.at("elsewhere/precious.txt")));
}
