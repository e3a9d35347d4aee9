#include "platform/trashbin.h"
#include "platform/trashinfo.h"
#include "support/files.h"
#include "support/scopedenv.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"
#include "undo/trashcan.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::test {
namespace {

using platform::ParseTrashInfo;

TEST(TrashInfoReader, ReadsPathAndDateAsOtherProgramsWriteThem) {
    struct Case {
        const char* text;
        const char* path; // nullptr: no usable description
        const char* date;
    } cases[] = {
        {"[Trash Info]\nPath=/home/u/My%20File.txt\nDeletionDate=2024-03-01T10:20:30\n",
         "/home/u/My File.txt", "2024-03-01T10:20:30"},
        // Line ends of another system, blanks around "=", a comment, escapes in
        // either case, a byte that is no UTF-8.
        {"# by some program\r\n[Trash Info]\r\nPath = docs/r%C3%a9sum%C3%A9%FF.pdf\r\n"
         "DeletionDate=2024-13-01T10:20:30\r\n",
         "docs/r\xc3\xa9sum\xc3\xa9\xff.pdf", ""},
        // Only the description's own group counts, its first value of a key.
        {"[Desktop Entry]\nPath=/wrong\n[Trash Info]\nPath=/right\nPath=/second\n", "/right", ""},
        {"[Trash Info]\nPath=/a\n[Trash Info]\nPath=/b\n", "/a", ""},
        // Hostile places are no places.
        {"[Trash Info]\nPath=/home/u/../../etc/passwd\n", nullptr, ""},
        {"[Trash Info]\nPath=%2E%2E/x\n", nullptr, ""},
        {"[Trash Info]\nPath=/a%00b\n", nullptr, ""},
        {"[Trash Info]\nPath=/a//b\n", nullptr, ""},
        {"[Trash Info]\nPath=/a%2\n", nullptr, ""},
        {"[Trash Info]\nPath=\n", nullptr, ""},
        {"Path=/no/group\n", nullptr, ""},
        {"", nullptr, ""},
        // A line break inside a name comes escaped and stays a name.
        {"[Trash Info]\nPath=/home/u/two%0Alines\n", "/home/u/two\nlines", ""},
    };
    for (const Case& c : cases) {
        const auto info = ParseTrashInfo(c.text);
        if (!c.path) {
            EXPECT_FALSE(info) << c.text;
            continue;
        }
        ASSERT_TRUE(info) << c.text;
        EXPECT_EQ(info->path, c.path) << c.text;
        EXPECT_EQ(info->deletionDate, c.date) << c.text;
    }
}

class TrashTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::unique_ptr<ScopedEnv> dataHome;
    ScriptedPrompter prompter;
    std::string home;

    void SetUp() override {
        tmp.mkdir("data/Trash/files");
        tmp.mkdir("data/Trash/info");
        dataHome = std::make_unique<ScopedEnv>("XDG_DATA_HOME", tmp.at("data"));
        home = tmp.at("data/Trash");
    }
    /// An item as another program leaves it: the file, and its description.
    void put(const std::string& trash, const std::string& name, const std::string& content,
             const std::string& path, const std::string& date = "2024-05-06T07:08:09") {
        tmp.write(trash + "/files/" + name, content);
        tmp.write(trash + "/info/" + name + ".trashinfo",
                  "[Trash Info]\nPath=" + path + "\nDeletionDate=" + date + "\n");
    }
    const platform::TrashEntry* find(const std::vector<platform::TrashEntry>& items,
                                     const std::string& name) {
        for (const auto& e : items)
            if (e.name == name)
                return &e;
        return nullptr;
    }
};

// Items of other programs show as the desktop shows them; a missing, hostile
// or unreadable description leaves the item shown but without a place to go
// back to, and nothing hangs on a FIFO or follows a link.
TEST_F(TrashTest, ItemsShowWithTheirPlacesAndBadDescriptionsGiveNone) {
    put("data/Trash", "report.txt", "12345", tmp.at("d/My%20report.txt"));
    put("data/Trash", "escape", "x", "etc/passwd");               // not absolute at home
    put("data/Trash", "dotdot", "x", "/home/u/../../etc/passwd"); // walks up
    tmp.write("data/Trash/files/orphan", "no description");
    tmp.write("data/Trash/files/fifo", "x");
    ASSERT_EQ(::mkfifo(tmp.at("data/Trash/info/fifo.trashinfo").c_str(), 0600), 0);
    tmp.write("data/Trash/files/linked", "x");
    tmp.symlink(tmp.at("data/Trash/info/report.txt.trashinfo"), "data/Trash/info/linked.trashinfo");
    tmp.write("data/Trash/files/big", "x");
    tmp.write("data/Trash/info/big.trashinfo",
              "[Trash Info]\nPath=/x\n" + std::string(70000, '#') + "\n");
    tmp.write("data/Trash/files/dir/a", "aaaa");
    tmp.write("data/Trash/files/dir/sub/b", "bb");
    tmp.write("data/Trash/info/dir.trashinfo", "[Trash Info]\nPath=" + tmp.at("d/dir") + "\n");
    tmp.write("data/Trash/info/gone.trashinfo", "[Trash Info]\nPath=/gone\n"); // no item

    const auto items = platform::ListTrash(home);
    EXPECT_EQ(items.size(), 8u);
    const auto* report = find(items, "report.txt");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->originalPath, tmp.at("d/My report.txt"));
    EXPECT_EQ(report->deletionDate, "2024-05-06T07:08:09");
    EXPECT_EQ(report->bytes, 5u);
    for (const char* name : {"escape", "dotdot", "orphan", "fifo", "linked", "big"}) {
        const auto* e = find(items, name);
        ASSERT_TRUE(e) << name;
        EXPECT_EQ(e->originalPath, "") << name;
    }
    EXPECT_EQ(find(items, "escape")->shownPath, "etc/passwd");
    EXPECT_FALSE(find(items, "orphan")->hasInfo);
    EXPECT_EQ(find(items, "dir")->bytes, 6u);
    EXPECT_EQ(find(items, "gone"), nullptr);
}

// A volume's trash gives back only to places on that volume: its paths are
// relative to the volume's top, and an absolute one elsewhere is refused.
TEST_F(TrashTest, AVolumeTrashGivesBackOnlyOnItsVolume) {
    const std::string uid = std::to_string(::getuid());
    const std::string trash = "vol/.Trash-" + uid;
    put(trash, "a.txt", "a", "docs/a.txt");
    put(trash, "b.txt", "b", tmp.at("vol/b.txt"));
    put(trash, "c.txt", "c", "/etc/c.txt");
    ASSERT_EQ(::chmod(tmp.at(trash).c_str(), 0700), 0);
    const auto dirs = platform::TrashDirectories({tmp.at("vol")});
    ASSERT_EQ(dirs.size(), 2u);
    EXPECT_EQ(dirs[1], tmp.at(trash));
    const auto items = platform::ListTrash(tmp.at(trash));
    EXPECT_EQ(find(items, "a.txt")->originalPath, tmp.at("vol/docs/a.txt"));
    EXPECT_EQ(find(items, "b.txt")->originalPath, tmp.at("vol/b.txt"));
    EXPECT_EQ(find(items, "c.txt")->originalPath, "");

    // A .Trash that is not a sticky directory is nobody's trash.
    tmp.mkdir("vol2/.Trash/" + uid + "/files");
    EXPECT_EQ(platform::TrashDirectories({tmp.at("vol2")}).size(), 1u);
}

// The window's three commands: Restore (a taken place asks for another name,
// an unknown place keeps the item), Delete for good and Empty after their
// questions; the size cache keeps only lines of items still there.
TEST_F(TrashTest, RestoreDeleteAndEmptyDoWhatTheySay) {
    put("data/Trash", "a.txt", "alpha", tmp.at("d/sub/a.txt"), "2024-01-01T00:00:01");
    put("data/Trash", "b.txt", "beta", tmp.at("d/b.txt"), "2024-01-01T00:00:02");
    put("data/Trash", "c.txt", "gamma", tmp.at("d/c.txt"), "2024-01-01T00:00:03");
    tmp.write("data/Trash/files/orphan", "?");
    tmp.write("data/Trash/files/dir/x", "x");
    tmp.write("data/Trash/info/dir.trashinfo", "[Trash Info]\nPath=" + tmp.at("d/dir") + "\n");
    tmp.write("data/Trash/directorysizes", "1 1 dir\n7 7 gone%20one\n");
    tmp.write("d/b.txt", "taken");

    TrashCan can(prompter);
    can.Read({tmp.at("d")});
    ASSERT_EQ(can.Items().size(), 5u);
    EXPECT_EQ(can.Items()[0].name, "c.txt"); // newest first
    auto index = [&](const std::string& name) {
        for (size_t i = 0; i < can.Items().size(); ++i)
            if (can.Items()[i].name == name)
                return i;
        return size_t(99);
    };
    prompter.answerText("b (restored).txt");
    const auto dirs = can.Restore({index("a.txt"), index("b.txt"), index("orphan"), index("dir")});
    EXPECT_EQ(ReadFile(tmp.at("d/sub/a.txt")), "alpha"); // its directory made again
    EXPECT_EQ(ReadFile(tmp.at("d/b.txt")), "taken");
    EXPECT_EQ(ReadFile(tmp.at("d/b (restored).txt")), "beta");
    EXPECT_EQ(ReadFile(tmp.at("d/dir/x")), "x");
    EXPECT_EQ(dirs, (std::vector<std::string>{tmp.at("d"), tmp.at("d/sub")}));
    EXPECT_NE(prompter.texts().back().find("not known"), std::string::npos);
    EXPECT_FALSE(Exists(tmp.at("data/Trash/info/a.txt.trashinfo")));
    EXPECT_EQ(ReadFile(tmp.at("data/Trash/directorysizes")), "");
    ASSERT_EQ(can.Items().size(), 2u);

    prompter.answer(false);
    EXPECT_FALSE(can.DeleteForGood({index("c.txt")}));
    EXPECT_TRUE(Exists(tmp.at("data/Trash/files/c.txt")));
    prompter.answer(true);
    EXPECT_TRUE(can.DeleteForGood({index("c.txt")}));
    EXPECT_FALSE(Exists(tmp.at("data/Trash/files/c.txt")));
    EXPECT_FALSE(Exists(tmp.at("data/Trash/info/c.txt.trashinfo")));

    prompter.answer(true);
    EXPECT_TRUE(can.Empty());
    EXPECT_TRUE(can.Items().empty());
    EXPECT_FALSE(Exists(tmp.at("data/Trash/files/orphan")));
    EXPECT_NE(prompter.questions().back().find("Empty the trash?"), std::string::npos);
}

// Delete for good removes what the list showed: an item replaced or written to
// since the list was read is asked about again, and stays at a No.
TEST_F(TrashTest, AnItemChangedSinceTheListIsAskedAboutBeforeItGoes) {
    put("data/Trash", "a.txt", "alpha", tmp.at("d/a.txt"));
    put("data/Trash", "b.txt", "beta", tmp.at("d/b.txt"));
    TrashCan can(prompter);
    can.Read({tmp.at("d")});
    ASSERT_EQ(can.Items().size(), 2u);
    tmp.write("data/Trash/files/a.txt", "another alpha, put here since");

    prompter.answer(true);  // delete these 2 items for good?
    prompter.answer(false); // a.txt changed: keep it
    EXPECT_TRUE(can.DeleteForGood({0, 1}));
    EXPECT_EQ(ReadFile(tmp.at("data/Trash/files/a.txt")), "another alpha, put here since");
    EXPECT_FALSE(Exists(tmp.at("data/Trash/files/b.txt")));
    EXPECT_NE(prompter.questions().back().find("a.txt in the trash changed since"),
              std::string::npos);
    ASSERT_EQ(can.Items().size(), 1u);
    EXPECT_EQ(can.Items()[0].name, "a.txt");
}

} // namespace
} // namespace zentrix::test
