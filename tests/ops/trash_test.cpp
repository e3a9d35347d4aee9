// Where the trash puts what is deleted into it.

#include "opsfixture.h"

#include "platform/trash.h"
#include "support/scopedenv.h"

#include <cstring>

namespace zentrix::test {
namespace {

TEST_F(OtherFileSystem, ADeletionThroughALinkIntoAnotherMountUsesThatMountsTrash) {
    if (!mount())
        GTEST_SKIP() << mnt->reason();
    tmp.mkdir("xdg");
    ScopedEnv data("XDG_DATA_HOME", tmp.at("xdg"));
    tmp.write("e/mnt/deep/dir/x.txt", "x");
    tmp.symlink(tmp.at("e/mnt/deep/dir"), "d/linked");
    EXPECT_TRUE(run(FileOperation::foDelete, {"D:\\linked\\x.txt"}, "",
                    {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation}));
    const std::string trash = tmp.at("e/mnt/.Trash-" + std::to_string(::getuid()));
    EXPECT_EQ(ReadFile(trash + "/files/x.txt"), "x");
    EXPECT_NE(ReadFile(trash + "/info/x.txt.trashinfo").find("\nPath=deep/dir/x.txt\n"),
              std::string::npos);
    EXPECT_EQ(TreeNames(tmp.at("e/mnt/deep/dir")), std::set<std::string>{});
}

TEST_F(OpsTest, ANameTooLongForTheTrashsDescriptionIsShortenedThere) {
    tmp.mkdir("xdg");
    ScopedEnv data("XDG_DATA_HOME", tmp.at("xdg"));
    // 250 bytes, with two-byte letters where the name must be cut.
    std::string stem(232, 'a');
    for (int i = 0; i < 7; ++i)
        stem += "\xC3\xBC";
    const std::string name = stem + ".txt";
    ASSERT_EQ(name.size(), 250u);
    tmp.write("d/" + name, "long");
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(run(FileOperation::foDelete, {"D:\\" + name}, "",
                        {FileOpFlag::foAllowUndo, FileOpFlag::foNoConfirmation}))
            << round;
        tmp.write("d/" + name, "again"); // the second takes the next free name
    }
    const std::set<std::string> files = TreeNames(tmp.at("xdg/Trash/files"));
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& kept : files) {
        SCOPED_TRACE(kept);
        EXPECT_LE(kept.size() + std::strlen(".trashinfo"), 255u);
        EXPECT_EQ(kept.rfind("aaaa", 0), 0u);
        EXPECT_NE(kept.find(".txt"), std::string::npos);
        // Never cut inside a letter: every byte after the a's is part of "ü".
        const size_t letters = kept.find(".txt");
        for (size_t i = 232; i < letters; i += 2)
            EXPECT_EQ(kept.substr(i, 2), "\xC3\xBC") << i;
        const std::string info = ReadFile(tmp.at("xdg/Trash/info/" + kept + ".trashinfo"));
        EXPECT_NE(info.find(platform::TrashPathEncode("/d/" + name) + "\n"), std::string::npos);
    }
}

} // namespace
} // namespace zentrix::test
