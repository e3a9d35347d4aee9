#include "config/controlstate.h"
#include "config/mrulist.h"
#include "config/tenhinifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace zentrix;

namespace {

using Items = std::vector<std::string>;

class ControlStateTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TEnhIniFile store{"Zentrix.INI", dir.at("registry.ini")};
};

TEST(StoreName, AnyNameBecomesAnIniNameOfTheProgramsKey) {
    EXPECT_EQ(StoreNameFor("Zentrix"), "Zentrix.INI");
    EXPECT_EQ(StoreNameFor("/opt/zen/zentrix.cfg"), "/opt/zen/zentrix.INI");
    EXPECT_EQ(StoreNameFor("/opt/zen.d/zentrix"), "/opt/zen.d/zentrix.INI");
    // Empty: the executable's own name.
    const std::string own = StoreNameFor("");
    EXPECT_EQ(own.substr(own.size() - 4), ".INI");
    EXPECT_NE(own.find("test_config"), std::string::npos);
}

TEST_F(ControlStateTest, PlacementDefaultsAndRoundTrip) {
    const PlacementRecord fresh = PlacementRecord::Read(store, "MainForm");
    EXPECT_EQ(fresh.X, 0);
    EXPECT_EQ(fresh.Y, 0);
    EXPECT_EQ(fresh.Width, 630);
    EXPECT_EQ(fresh.Height, 470);
    EXPECT_EQ(fresh.State, 0);

    PlacementRecord p{12, 34, 800, 600, 1};
    p.Write(store, "MainForm");
    store.DeleteKey("MainForm", "PlaceWindowWidth");
    const PlacementRecord back = PlacementRecord::Read(store, "MainForm");
    EXPECT_EQ(back.X, 12);
    EXPECT_EQ(back.Y, 34);
    EXPECT_EQ(back.Width, 630); // missing: the default
    EXPECT_EQ(back.Height, 600);
    EXPECT_EQ(back.State, 1);
}

TEST_F(ControlStateTest, HeaderWidthsReplaceTheSectionAndKeepUnstoredOnes) {
    store.WriteInteger("FileHeader", "Section9Width", 5);
    WriteHeaderWidths(store, "FileHeader", {150, 80});
    EXPECT_EQ(store.ReadSection("FileHeader"), (Items{"Section0Width", "Section1Width"}));
    EXPECT_EQ(ReadHeaderWidths(store, "FileHeader", {1, 2, 3}), (std::vector<int>{150, 80, 3}));
}

TEST_F(ControlStateTest, SplitterValueIsNamedAfterTargetAndBarDirection) {
    EXPECT_EQ(SplitterValueName("pnMainTreeView", true), "pnMainTreeViewHeight");
    EXPECT_EQ(SplitterValueName("StatisticsPanel", false), "StatisticsPanelWidth");
    store.WriteInteger("scVertical", "Stale", 1);
    WriteSplitterSize(store, "scVertical", "StatisticsPanel", false, 240);
    EXPECT_EQ(store.ReadSection("scVertical"), Items{"StatisticsPanelWidth"});
    EXPECT_EQ(ReadSplitterSize(store, "scVertical", "StatisticsPanel", false, 7), 240);
    EXPECT_EQ(ReadSplitterSize(store, "scHorizontal", "pnMainTreeView", true, 7), 7);
}

MruList dirs() {
    MruList list;
    list.Maximum = 20;
    list.AutoSaveName = "\\Software\\Morvane\\Zentrix";
    list.AutoSaveKey = "MRU Directories";
    return list;
}

TEST(MruListRules, TheTwentyFirstDropsTheOldestAndRevisitsMoveToTheEnd) {
    MruList list = dirs();
    for (int i = 1; i <= 20; ++i)
        list.Add("C:\\D" + std::to_string(i) + "\\");
    ASSERT_EQ(list.Items().size(), 20u);
    list.Add("C:\\D21\\");
    EXPECT_EQ(list.Items().size(), 20u);
    EXPECT_EQ(list.Items().front(), "C:\\D2\\");
    EXPECT_EQ(list.Items().back(), "C:\\D21\\");

    list.Add("C:\\D5\\");
    EXPECT_EQ(list.Items().size(), 20u);
    EXPECT_EQ(list.Items().back(), "C:\\D5\\");
    EXPECT_EQ(std::count(list.Items().begin(), list.Items().end(), "C:\\D5\\"), 1);
    // On this system a path in another case is another directory.
    list.Add("C:\\d5\\");
    EXPECT_EQ(list.Items().back(), "C:\\d5\\");
    EXPECT_EQ(list.Items().front(), "C:\\D3\\");
}

TEST_F(ControlStateTest, MruListPersistsUnderItsKeyAsFValues) {
    MruList list = dirs();
    list.Add("C:\\A\\");
    list.Add("D:\\B=C\\");
    list.Save(store);
    const std::string section = "\\Software\\Morvane\\Zentrix\\MRU Directories";
    EXPECT_EQ(store.ReadSection(section), (Items{"F0", "F1"}));
    EXPECT_EQ(store.ReadString(section, "F1", ""), "D:\\B=C\\");
    // The same place as the section seen from the program's key.
    EXPECT_EQ(store.ReadString("MRU Directories", "F0", ""), "C:\\A\\");

    MruList back = dirs();
    back.Load(store);
    EXPECT_EQ(back.Items(), (Items{"C:\\A\\", "D:\\B=C\\"}));

    // A damaged key: blanks and repeats are skipped, the newest Maximum kept.
    store.EraseSection(section);
    for (int i = 0; i < 30; ++i)
        store.WriteString(section, "F" + std::to_string(i),
                          i % 10 == 3 ? "" : "E" + std::to_string(i));
    store.WriteString(section, "F30", "E1");
    back.Load(store);
    EXPECT_EQ(back.Items().size(), 20u);
    EXPECT_EQ(back.Items().back(), "E29");
}

TEST(MruCaptions, NumberedCaptionAndMiddleShortening) {
    EXPECT_EQ(MruCaption(0, "C:\\DOCS\\"), "&1 C:\\DOCS\\");
    EXPECT_EQ(MruCaption(19, "X"), "&20 X");

    const auto chars = [](const std::string& s) {
        return static_cast<int>(s.size());
    };
    const std::string path = "C:\\PROJECTS\\ZENTRIX\\SOURCE\\CONTROLS\\";
    EXPECT_EQ(ShortenPathMiddle(path, 200, chars), path);
    EXPECT_EQ(ShortenPathMiddle(path, 0, chars), path);
    EXPECT_EQ(ShortenPathMiddle(path, 30, chars), "C:\\...\\SOURCE\\CONTROLS\\");
    EXPECT_EQ(ShortenPathMiddle(path, 20, chars), "C:\\...\\CONTROLS\\");
    // Even first + ... + last is too wide: the last component loses its middle.
    const std::string cut = ShortenPathMiddle(path, 12, chars);
    EXPECT_LE(chars(cut), 12);
    EXPECT_EQ(cut.substr(0, 7), "C:\\...\\");
    // Never splits a UTF-8 character.
    const std::string umlauts = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC";
    const std::string shortened = ShortenPathMiddle(umlauts, 9, chars);
    EXPECT_LE(chars(shortened), 9);
    EXPECT_NE(shortened.find("..."), std::string::npos);
    EXPECT_EQ(shortened.substr(0, 2), "\xC3\xA4");
}

} // namespace
