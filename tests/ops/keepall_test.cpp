// What copies and moves keep besides the bytes (attributes, access lists, hard
// links, directory modes), and what a move checks before it lets a source go.

#include "opsfixture.h"

#include "platform/filetransfer.h"
#include "support/xattrs.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <thread>

namespace zentrix::test {
namespace {

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

TEST_F(OtherFileSystem, ASourceThatChangesWhileItIsCopiedIsNeverReportedAsCopied) {
    if (!mount())
        GTEST_SKIP() << mnt->reason();
    const std::string whole(3 << 20, 's');
    tmp.write("d/shrinks.bin", whole);
    tmp.write("d/grows.bin", whole);
    tmp.write("d/copied.bin", whole);
    const std::string changed = "Cannot move D:\\shrinks.bin\nto E:\\mnt\\shrinks.bin:\n\n"
                                "The file changed while it was being copied.     ";
    // Cut short during the copy: no zero-padded copy, the source stays.
    std::string changing = "d/shrinks.bin";
    op->OnBlockCopied = [&](uint64_t) {
        if (changing == "d/shrinks.bin" || changing == "d/copied.bin")
            ::truncate(tmp.at(changing).c_str(), 1 << 20);
        else if (!changing.empty())
            std::ofstream(tmp.at(changing), std::ios::app) << "tail";
        changing.clear();
    };
    prompter.answerChoice(1); // Skip
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\shrinks.bin"}, "E:\\mnt\\"));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{changed});
    EXPECT_TRUE(TreeNames(tmp.at("e/mnt")).empty());
    EXPECT_EQ(Stat(tmp.at("d/shrinks.bin")).st_size, 1 << 20);

    // A plain copy that comes short fails the same way.
    changing = "d/copied.bin";
    prompter.clear();
    prompter.answerChoice(1);
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\copied.bin"}, "E:\\mnt\\"));
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_NE(prompter.texts()[0].find("changed while it was being copied"), std::string::npos);
    EXPECT_TRUE(TreeNames(tmp.at("e/mnt")).empty());

    // Written to during a move: asked, and Retry moves what it holds now.
    changing = "d/grows.bin";
    prompter.clear();
    prompter.answerChoice(0); // Retry
    EXPECT_TRUE(run(FileOperation::foMove, {"D:\\grows.bin"}, "E:\\mnt\\"));
    EXPECT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/grows.bin")), whole + "tail");
    EXPECT_FALSE(Exists(tmp.at("d/grows.bin")));
}

TEST_F(OtherFileSystem, ATargetWithoutAttributesIsToldOnceAndAChangedSourceStays) {
    if (!mount("ramfs"))
        GTEST_SKIP() << mnt->reason(); // keeps no extended attributes at all
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        tmp.write(std::string("d/") + name, name);
        ASSERT_EQ(::setxattr(tmp.at(std::string("d/") + name).c_str(), "user.note", "n", 1, 0), 0);
    }
    // While the user reads the warning, a.txt (copied, not yet deleted) is
    // written to: it stays, and its copy is the old one.
    prompter.whileAsking = [&](const std::string&) {
        std::ofstream(tmp.at("d/a.txt"), std::ios::app) << " and more";
    };
    prompter.answerChoice(0).answerChoice(1); // Continue; Skip a.txt
    EXPECT_FALSE(run(FileOperation::foMove, {"D:\\a.txt", "D:\\b.txt"}, "E:\\mnt\\"));
    ASSERT_EQ(prompter.questions().size(), 2u);
    EXPECT_EQ(prompter.questions()[0],
              "The copy E:\\mnt\\a.txt could not keep every extended attribute or access control "
              "list of D:\\a.txt: its file system does not hold them, or setting them needs more "
              "rights.\n\nFurther copies go on without what cannot be kept; this is said only "
              "once.     ");
    EXPECT_EQ(prompter.questions()[1], "D:\\a.txt changed after it was copied to E:\\mnt\\a.txt: "
                                       "it stays where it is.\n\nRetry copies it again.     ");
    EXPECT_EQ(ReadFile(tmp.at("d/a.txt")), "a.txt and more");
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/a.txt")), "a.txt");
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/b.txt")), "b.txt");
    EXPECT_FALSE(Exists(tmp.at("d/b.txt")));

    // Retry takes the source as it is now, over the copy made before.
    prompter.clear();
    prompter.whileAsking = [&](const std::string&) {
        std::ofstream(tmp.at("d/c.txt"), std::ios::app) << " and more";
    };
    prompter.answerChoice(0).answerChoice(0); // Continue; Retry
    EXPECT_TRUE(run(FileOperation::foMove, {"D:\\c.txt"}, "E:\\mnt\\"));
    EXPECT_EQ(prompter.questions().size(), 2u);
    EXPECT_EQ(ReadFile(tmp.at("e/mnt/c.txt")), "c.txt and more");
    EXPECT_FALSE(Exists(tmp.at("d/c.txt")));
}

TEST_F(OtherFileSystem, CopiesAndMovesKeepAccessListsAndEveryKindOfAttribute) {
    if (!mount())
        GTEST_SKIP() << mnt->reason();
    const std::string acl = PosixAcl();
    const struct {
        const char* name;
        std::string value;
        bool onDirectory;
    } attributes[] = {
        {"user.note", "u", false},
        {"security.note", "s", false},
        {"trusted.note", "t", false}, // root only, as the tests run
        {"system.posix_acl_access", acl, false},
        {"system.posix_acl_default", acl, true},
    };
    for (const char* tree : {"d/copied", "d/moved"}) {
        tmp.write(std::string(tree) + "/f.txt", "f");
        for (const auto& a : attributes) {
            const std::string path = tmp.at(a.onDirectory ? tree : std::string(tree) + "/f.txt");
            ASSERT_EQ(::setxattr(path.c_str(), a.name, a.value.data(), a.value.size(), 0), 0)
                << a.name;
        }
    }
    const auto check = [&](const std::string& tree, const std::string& source) {
        for (const auto& a : attributes) {
            const std::string inside = a.onDirectory ? "" : "/f.txt";
            EXPECT_EQ(Xattr(tmp.at(tree + inside), a.name), Xattr(tmp.at(source + inside), a.name))
                << tree << " " << a.name;
        }
    };
    // Within one file system and onto another one.
    ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\copied"}, "E:\\"));
    ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\copied"}, "E:\\mnt\\"));
    EXPECT_TRUE(prompter.shown().empty());
    check("e/copied", "d/copied");
    check("e/mnt/copied", "d/copied");
    ASSERT_TRUE(run(FileOperation::foMove, {"D:\\moved"}, "E:\\mnt\\"));
    EXPECT_FALSE(Exists(tmp.at("d/moved")));
    check("e/mnt/moved", "e/copied"); // the same values as the copy's source
}

TEST_F(OtherFileSystem, NamesOfOneFileCopiedOrMovedTogetherStayOneFile) {
    if (!mount())
        GTEST_SKIP() << mnt->reason();
    tmp.write("d/h/a.txt", "shared");
    ASSERT_EQ(::link(tmp.at("d/h/a.txt").c_str(), tmp.at("d/h/b.txt").c_str()), 0);
    tmp.mkdir("d/h/sub");
    ASSERT_EQ(::link(tmp.at("d/h/a.txt").c_str(), tmp.at("d/h/sub/c.txt").c_str()), 0);
    tmp.write("d/h/solo.txt", "solo");

    ASSERT_TRUE(run(FileOperation::foCopy, {"D:\\h"}, "E:\\mnt\\copy\\"));
    ASSERT_TRUE(run(FileOperation::foMove, {"D:\\h"}, "E:\\mnt\\moved\\"));
    EXPECT_FALSE(Exists(tmp.at("d/h")));
    for (const std::string top : {"e/mnt/copy/h", "e/mnt/moved/h"}) {
        const struct stat a = Stat(tmp.at(top + "/a.txt"));
        EXPECT_EQ(a.st_nlink, 3u) << top;
        EXPECT_EQ(Stat(tmp.at(top + "/b.txt")).st_ino, a.st_ino) << top;
        EXPECT_EQ(Stat(tmp.at(top + "/sub/c.txt")).st_ino, a.st_ino) << top;
        EXPECT_EQ(ReadFile(tmp.at(top + "/sub/c.txt")), "shared");
        EXPECT_EQ(Stat(tmp.at(top + "/solo.txt")).st_nlink, 1u) << top;
    }
    EXPECT_NE(Stat(tmp.at("e/mnt/copy/h/a.txt")).st_ino,
              Stat(tmp.at("e/mnt/moved/h/a.txt")).st_ino);
}

TEST_F(OpsTest, RenameOnACollisionShortensALongNameToFitAndFindsAFreeOne) {
    // 254 bytes: "name (2).txt" would be 258.
    std::string stem(240, 'a');
    for (int i = 0; i < 5; ++i)
        stem += "\xC3\xBC";
    const std::string name = stem + ".txt";
    ASSERT_EQ(name.size(), 254u);
    tmp.write("d/s/" + name, "new");
    tmp.write("e/t/" + name, "old");
    const std::string fits = std::string(240, 'a') + "\xC3\xBC\xC3\xBC\xC3\xBC";
    prompter.answerChoice(4); // Rename
    EXPECT_TRUE(run(FileOperation::foCopy, {"D:\\s\\" + name}, "E:\\t\\"));
    EXPECT_EQ(ReadFile(tmp.at("e/t/" + fits + " (2).txt")), "new");
    EXPECT_TRUE(run(FileOperation::foCopy, {"D:\\s\\" + name}, "E:\\t\\",
                    {FileOpFlag::foRenameOnCollision}));
    EXPECT_EQ(ReadFile(tmp.at("e/t/" + fits + " (3).txt")), "new");
    EXPECT_EQ(ReadFile(tmp.at("e/t/" + name)), "old");
}

TEST_F(OpsTest, RenameOnACollisionGivesUpWhenNoNumberedNameIsFreeAndCancelEndsTheCopy) {
    tmp.write("d/s/x.txt", "new");
    tmp.write("d/s/y.txt", "y");
    tmp.write("e/t/x.txt", "old");
    for (int n = 2; n <= 9999; ++n) {
        const int fd = ::open(tmp.at("e/t/x (" + std::to_string(n) + ").txt").c_str(),
                              O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const std::string noName = "No free name was found for a copy beside E:\\t\\x.txt.     ";
    // Rename, then Cancel at "no free name": nothing more is copied.
    prompter.answerChoice(4).answerChoice(2);
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\s\\x.txt", "D:\\s\\y.txt"}, "E:\\t\\"));
    EXPECT_TRUE(op->Aborted());
    EXPECT_EQ(prompter.questions().back(), noName);
    EXPECT_FALSE(Exists(tmp.at("e/t/y.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/t/x.txt")), "old");

    // Skip passes over that file only.
    prompter.clear();
    prompter.answerChoice(1);
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\s\\x.txt", "D:\\s\\y.txt"}, "E:\\t\\",
                     {FileOpFlag::foRenameOnCollision}));
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{noName});
    EXPECT_EQ(ReadFile(tmp.at("e/t/y.txt")), "y");
    EXPECT_EQ(ReadFile(tmp.at("e/t/x.txt")), "old");
    EXPECT_EQ(TreeNames(tmp.at("e/t")).size(), 10000u);
}

TEST_F(OpsTest, ACancelledDirectoryCopyLeavesNoPrivateOrEmptyDirectory) {
    tmp.write("d/tree/one.txt", "1");
    tmp.write("d/tree/sub/two.txt", "2");
    tmp.write("d/tree/big/big.bin", std::string(24 << 20, 'b'));
    tmp.write("d/tree/later/three.txt", "3");
    for (const char* dir : {"d/tree", "d/tree/sub", "d/tree/big", "d/tree/later"})
        tmp.chmod(dir, 0755);
    std::atomic<bool> pressed{false};
    op->OnBlockCopied = [&](uint64_t bytes) {
        if (bytes >= (1 << 20) && !pressed.exchange(true)) {
            window.RequestCancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    };
    EXPECT_FALSE(run(FileOperation::foCopy, {"D:\\tree"}, "E:\\"));
    EXPECT_TRUE(op->Aborted());
    // Whatever was made stands with its source's mode and holds what was
    // copied; a directory that got nothing is not left behind.
    for (const std::string& name : TreeNames(tmp.at("e"))) {
        const struct stat st = Stat(tmp.at("e/" + name));
        if (!S_ISDIR(st.st_mode))
            continue;
        EXPECT_EQ(st.st_mode & 07777, Stat(tmp.at("d/" + name)).st_mode & 07777) << name;
        DIR* d = ::opendir(tmp.at("e/" + name).c_str());
        int entries = 0;
        while (dirent* e = ::readdir(d))
            entries += std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
        ::closedir(d);
        EXPECT_GT(entries, 0) << name;
    }
}

} // namespace
} // namespace zentrix::test
