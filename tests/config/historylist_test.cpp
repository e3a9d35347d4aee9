#include "config/historyboxes.h"
#include "config/historylist.h"
#include "config/tenhinifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrix;

namespace {

using Items = std::vector<std::string>;

class HistoryListTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TEnhIniFile store{"Zentrix.INI", dir.at("registry.ini")};

    void storeValues(const std::string& section, const Items& values) {
        for (size_t i = 0; i < values.size(); ++i)
            store.WriteString(section, "H" + std::to_string(i), values[i]);
    }
    HistoryList list(const std::string& section, int length = 7) {
        HistoryList h;
        h.IniSection = section;
        h.MaxHistoryLength = length;
        return h;
    }
};

TEST_F(HistoryListTest, LoadSetsTheTextOnlyWhenEveryValueWasThere) {
    storeValues("CopyToHistory", {"C:\\A\\", "C:\\B\\", "C:\\C\\"});
    HistoryList h = list("CopyToHistory");
    EXPECT_EQ(h.Load(store), std::nullopt);
    EXPECT_EQ(h.Items, (Items{"C:\\A\\", "C:\\B\\", "C:\\C\\"}));

    storeValues("FileSpecHistory", {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    h = list("FileSpecHistory");
    EXPECT_EQ(h.Load(store), std::optional<std::string>("1"));
    EXPECT_EQ(h.Items.size(), 7u);

    // Raised to 20 after the first load, a later load reads everything stored.
    h.MaxHistoryLength = 20;
    EXPECT_EQ(h.Load(store), std::nullopt);
    EXPECT_EQ(h.Items.size(), 9u);
}

TEST_F(HistoryListTest, LoadStopsAtTheFirstMissingOrEmptyValue) {
    store.WriteString("MakeDirHistory", "H0", "first");
    store.WriteString("MakeDirHistory", "H1", "");
    store.WriteString("MakeDirHistory", "H2", "after the gap");
    HistoryList h = list("MakeDirHistory");
    h.Items = {"stale"};
    h.Load(store);
    EXPECT_EQ(h.Items, Items{"first"});

    store.WriteString("RenameDirHistory", "H1", "no H0");
    h = list("RenameDirHistory");
    h.Load(store);
    EXPECT_TRUE(h.Items.empty());
}

TEST_F(HistoryListTest, SavePutsTheTextFirstAndDropsItsLaterCopies) {
    HistoryList h = list("CopyToHistory");
    h.Items = {"C:\\B", "C:\\A", "C:\\C"};
    EXPECT_EQ(h.Save(store, "C:\\A"), "C:\\A");
    EXPECT_EQ(h.Items, (Items{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(store.ReadSection("CopyToHistory"), (Items{"H0", "H1", "H2"}));
    EXPECT_EQ(store.ReadString("CopyToHistory", "H1", ""), "C:\\B");

    // The comparison is exact: another case is another entry.
    EXPECT_EQ(h.Save(store, "c:\\a"), "c:\\a");
    EXPECT_EQ(h.Items, (Items{"c:\\a", "C:\\A", "C:\\B", "C:\\C"}));
}

TEST_F(HistoryListTest, SavingAnEmptyTextWritesTheItemsUnchanged) {
    store.WriteString("EditFileHistory", "H9", "left from an older run");
    HistoryList h = list("EditFileHistory");
    h.Items = {"one", "two"};
    EXPECT_EQ(h.Save(store, ""), "one");
    EXPECT_EQ(h.Items, (Items{"one", "two"}));
    // The whole section was replaced.
    EXPECT_EQ(store.ReadSection("EditFileHistory"), (Items{"H0", "H1"}));

    HistoryList none = list("SearchStringsHistory");
    EXPECT_EQ(none.Save(store, ""), "");
    EXPECT_FALSE(store.SectionExists("SearchStringsHistory") &&
                 !store.ReadSection("SearchStringsHistory").empty());
}

TEST_F(HistoryListTest, SaveIsNotCutButTheNextLoadIs) {
    HistoryList h = list("MoveToHistory", 3);
    h.Items = {"b", "c", "d"};
    h.Save(store, "a");
    EXPECT_EQ(store.ReadSection("MoveToHistory").size(), 4u);
    HistoryList again = list("MoveToHistory", 3);
    EXPECT_EQ(again.Load(store), std::optional<std::string>("a"));
    EXPECT_EQ(again.Items, (Items{"a", "b", "c"}));
}

TEST_F(HistoryListTest, WithoutASectionNothingIsReadOrWritten) {
    storeValues("", {"x"});
    HistoryList h = list("");
    h.Items = {"kept"};
    EXPECT_EQ(h.Load(store), std::nullopt);
    EXPECT_EQ(h.Items, Items{"kept"});
    EXPECT_EQ(h.Save(store, "typed"), "typed");
    EXPECT_EQ(h.Items, Items{"kept"});
    EXPECT_EQ(store.ReadString("", "H0", ""), "x");
}

TEST_F(HistoryListTest, TaggedCloseUpReloadsAndAppendsTheChoice) {
    storeValues("DateTimeHistory", {"01.01.2000", "02.02.2002"});
    HistoryList h = list("DateTimeHistory", 10);
    h.Items = {"changed in memory"};
    EXPECT_EQ(h.ReloadAndAppend(store, "chosen"), 2);
    EXPECT_EQ(h.Items, (Items{"01.01.2000", "02.02.2002", "chosen"}));
}

TEST(HistoryBoxTable, EveryBoxHasASectionAndTheSharedOneIsShared) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const HistoryBoxSpec& box : HistoryBoxes()) {
        EXPECT_TRUE(seen.insert({box.window, box.control}).second) << box.control;
        EXPECT_GT(box.length, 0);
        EXPECT_NE(std::string(box.section), "");
    }
    EXPECT_EQ(HistoryBoxes().size(), 27u);
    const auto* wizard = FindHistoryBox("tag wizard", "hbDir");
    const auto* compare = FindHistoryBox("compare", "hbDir");
    ASSERT_TRUE(wizard && compare);
    EXPECT_STREQ(wizard->section, compare->section);
    EXPECT_EQ(compare->length, 20);
    EXPECT_EQ(FindHistoryBox("main", "hbFilesAttrHistory")->length, 10);
    EXPECT_STREQ(FindHistoryBox("special tag", "hbFileSpec")->section, "SpecialTagHistory");
    EXPECT_EQ(FindHistoryBox("main", "hbNothing"), nullptr);
}

} // namespace
