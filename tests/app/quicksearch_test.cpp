#include "app/quicksearch.h"

#include "catalogue/cataloguefixture.h"
#include "platform/gtkbookmarks.h"
#include "support/scopedenv.h"

#include <fstream>
#include <iterator>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class QuickSearchTest : public CatalogueTest {
protected:
    std::unique_ptr<QuickSearch> search;
    std::unique_ptr<ScopedEnv> config;

    void SetUp() override {
        CatalogueTest::SetUp();
        for (const char* d : {"d/Alpha/Alps", "d/Alpha/Zeta", "d/alto", "d/Beta/Also",
                              "d/\xc3\x89t\xc3\xa9", "d/My Docs", "e/sub", "outside"})
            tmp.mkdir(d);
        config = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", tmp.at("config"));
        search = std::make_unique<QuickSearch>(*cat, state, *logger, prompter, ui);
        logger->LogDrive('D');
        tree().Select(tree().Top(0));
        logger->LogDirBranch();
        // Opened or not, every node takes part.
        for (int i = 0; i < tree().Top(0)->Count(); ++i)
            tree().SetExpanded(tree().Top(0)->Item(i), false);
    }

    std::string selectedPath() { return tree().Selected() ? tree().Selected()->Path() : ""; }
    std::string goTo(const std::string& text) {
        search->Go(text);
        return selectedPath();
    }
    std::string bookmarks() {
        std::ifstream in(tmp.at("config/gtk-3.0/bookmarks"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

// The same prefix again goes on to the next directory in tree order, into
// branches that are closed, and stops at the last one.
TEST_F(QuickSearchTest, APrefixWalksOnThroughTheTreeWithoutWrappingAround) {
    EXPECT_EQ(goTo("al"), "D:\\Alpha\\");
    EXPECT_EQ(goTo("al"), "D:\\Alpha\\Alps\\");
    EXPECT_EQ(goTo("AL"), "D:\\alto\\");
    EXPECT_EQ(goTo("aL"), "D:\\Beta\\Also\\");
    EXPECT_EQ(goTo("al"), "D:\\Beta\\Also\\");
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(ui.calls.back(), "scroll:D:\\Beta\\Also\\");

    // Letters beyond ASCII compare in upper case too.
    EXPECT_EQ(goTo("\xc3\xa9T"), "D:\\\xc3\x89t\xc3\xa9\\");
    EXPECT_EQ(goTo("nothing"), "D:\\\xc3\x89t\xc3\xa9\\");
    EXPECT_FALSE(search->Go(""));
}

// Only a selected directory that matches makes the search start after it; an
// earlier match is then out of reach, and in reach from any other directory.
TEST_F(QuickSearchTest, TheSearchStartsAfterTheSelectedDirectoryOnlyWhenThatMatches) {
    tree().Select(node("D:\\Alpha\\Alps\\"));
    EXPECT_EQ(goTo("alp"), "D:\\Alpha\\Alps\\");
    tree().Select(node("D:\\Beta\\"));
    EXPECT_EQ(goTo("alp"), "D:\\Alpha\\");
}

TEST_F(QuickSearchTest, APathIsOpenedLevelByLevelOrReportedMissing) {
    EXPECT_EQ(goTo("d:\\alpha\\ALPS"), "D:\\Alpha\\Alps\\");
    EXPECT_TRUE(prompter.shown().empty());

    for (const char* missing : {"D:\\Nowhere\\", "Alpha\\Alps", "D:\\Alpha\\..\\..\\"}) {
        prompter.clear();
        EXPECT_EQ(goTo(missing), "D:\\Alpha\\Alps\\") << missing;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Directory does not exist!     "})
            << missing;
    }
}

TEST_F(QuickSearchTest, ARecentDirectoryOfAnUnloggedDiskLogsTheDiskFirst) {
    state.scope = 4;
    state.refillRequested = false;
    search->OpenRecent("E:\\sub\\");
    EXPECT_EQ(selectedPath(), "E:\\sub\\");
    EXPECT_TRUE(node("E:\\")->Logged());
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
}

// The bookmarks of other programs may name anything: only existing directories
// on a drive are offered.
TEST_F(QuickSearchTest, FavoritesAreTheBookmarkedDirectoriesOnADrive) {
    tmp.write("config/gtk-3.0/bookmarks",
              platform::GtkBookmarkUri(tmp.at("d/My Docs")) + " Docs\n" +
                  platform::GtkBookmarkUri(tmp.at("d/gone")) + "\n" +
                  platform::GtkBookmarkUri(tmp.at("outside")) + "\nsftp://host/x Remote\n" +
                  platform::GtkBookmarkUri(tmp.at("d/\xc3\x89t\xc3\xa9")) + "\n");
    EXPECT_EQ(search->Favorites(),
              (std::vector<std::string>{"D:\\My Docs\\", "D:\\\xc3\x89t\xc3\xa9\\"}));
}

TEST_F(QuickSearchTest, AddingAFavoriteAsksForItsNameAndKeepsTheOtherEntries) {
    const std::string others = "sftp://host/x Remote\nfile:///nowhere%20at%20all";
    tmp.write("config/gtk-3.0/bookmarks", others);

    prompter.answerCancel();
    EXPECT_FALSE(search->AddFavorite("D:\\My Docs\\", "My Docs"));
    EXPECT_EQ(bookmarks(), others);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "Add to favorites as:");
    EXPECT_EQ(prompter.shown()[0].caption, "Zentrix");
    EXPECT_EQ(prompter.lastInputDefault(), "My Docs");

    prompter.answerText("Letters \xc3\xa9t\xc3\xa9");
    EXPECT_TRUE(search->AddFavorite("D:\\My Docs\\", "My Docs"));
    EXPECT_EQ(bookmarks(), others + "\n" + platform::GtkBookmarkUri(tmp.at("d/My Docs")) +
                               " Letters \xc3\xa9t\xc3\xa9\n");
    EXPECT_EQ(search->Favorites(), std::vector<std::string>{"D:\\My Docs\\"});

    // Bookmarks that cannot be read are never replaced.
    ::unlink(tmp.at("config/gtk-3.0/bookmarks").c_str());
    tmp.mkdir("config/gtk-3.0/bookmarks");
    prompter.clear();
    prompter.answerText("Alpha");
    EXPECT_FALSE(search->AddFavorite("D:\\Alpha\\", "Alpha"));
    EXPECT_EQ(prompter.texts().back(), "Operation failed!     ");
}

} // namespace
