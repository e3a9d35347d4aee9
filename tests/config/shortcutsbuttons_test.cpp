#include "config/commandbuttons.h"
#include "config/componentstream.h"
#include "config/menushortcuts.h"
#include "config/tenhinifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrix;
using namespace zentrix::test;

namespace {

MenuItem& Entry(MenuTable& table, const char* name) {
    MenuItem* item = table.find(name);
    EXPECT_NE(item, nullptr) << name;
    return *item;
}

int CommandNumber(const MenuTable& table, const char* name) {
    const auto entries = table.entries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i]->name == name)
            return static_cast<int>(i);
    return -1;
}

std::vector<TShortCut> Current(const MenuTable& table) {
    std::vector<TShortCut> out;
    for (const MenuItem* e : table.entries())
        out.push_back(e->shortcut);
    return out;
}

TEST(ComponentStream, IntegersTakeTheSmallestFormAndStringsTheirLength) {
    ComponentStreamWriter out;
    for (int32_t v : {0, 127, -128, 128, -129, 32767, -32768, 32768, 0x8054, -2147483647 - 1})
        out.WriteInteger(v);
    out.WriteString("Shortcut template");
    out.WriteString(std::string(300, 'x'));
    const std::vector<uint8_t>& b = out.Bytes();
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[2], 2);
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 6, b.begin() + 9)),
              (std::vector<uint8_t>{3, 0x80, 0x00})); // 128
    ComponentStreamReader in(b);
    for (int32_t v : {0, 127, -128, 128, -129, 32767, -32768, 32768, 0x8054, -2147483647 - 1})
        EXPECT_EQ(in.ReadInteger(), v);
    EXPECT_EQ(in.ReadInteger(), std::nullopt); // a string comes next: not taken
    EXPECT_EQ(in.ReadString(), "Shortcut template");
    EXPECT_EQ(in.ReadString(), std::string(300, 'x'));
    EXPECT_TRUE(in.AtEnd());
    // Cut short: nothing is read and nothing consumed.
    const std::vector<uint8_t> cut{4, 1, 2};
    ComponentStreamReader short1(cut);
    EXPECT_EQ(short1.ReadInteger(), std::nullopt);
    EXPECT_EQ(short1.Remaining(), 3u);
    const std::vector<uint8_t> longString{6, 200, 'a'};
    ComponentStreamReader short2(longString);
    EXPECT_EQ(short2.ReadString(), std::nullopt);
}

TEST(MenuShortcuts, StoredShortcutsRoundTripAndAltTakesThirtyTwoBits) {
    MenuTable table = MenuTable::Default();
    Entry(table, "miDirTagWizard").shortcut = scAlt | scCtrl | 'W';
    Entry(table, "miDiskTagAll").shortcut = 0;
    const auto bytes = MenuShortcuts::Encode(table);
    // Every entry with Alt is written as 5 bytes; the whole list still fits the
    // 1,024 bytes it is read back with, even if every entry had Alt.
    EXPECT_LE(bytes.size(), MenuShortcuts::kStoredLimit);
    EXPECT_LE(table.entries().size() * 5 + 5, MenuShortcuts::kStoredLimit);

    MenuTable loaded = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::Decode(bytes, loaded), MenuShortcuts::LoadResult::Applied);
    EXPECT_EQ(Current(loaded), Current(table));
    EXPECT_EQ(Entry(loaded, "miDirTagWizard").shortcut, scAlt | scCtrl | 'W');

    // Through the store, beside the settings.
    TempDir dir;
    {
        TEnhIniFile store("Zentrix.INI", dir.at("r.ini"));
        MenuTable fresh = MenuTable::Default();
        EXPECT_EQ(MenuShortcuts::Load(store, fresh), MenuShortcuts::LoadResult::Missing);
        MenuShortcuts::Save(store, table);
        store.UpdateFile();
    }
    TEnhIniFile store("Zentrix.INI", dir.at("r.ini"));
    MenuTable again = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::Load(store, again), MenuShortcuts::LoadResult::Applied);
    EXPECT_EQ(Current(again), Current(table));
}

TEST(MenuShortcuts, UnreadableStoredShortcutsGiveTheDefaults) {
    const MenuTable defaults = MenuTable::Default();
    const size_t n = defaults.entries().size();
    auto encoded = [](std::vector<int32_t> values) {
        ComponentStreamWriter out;
        for (int32_t v : values)
            out.WriteInteger(v);
        return out.Bytes();
    };
    const std::vector<std::vector<uint8_t>> bad = {
        {},                                                       // empty
        encoded({3, 1, 2}),                                       // too short
        encoded({static_cast<int32_t>(n + 1)}),                   // more than the menu
        encoded({-1}),                                            // negative count
        encoded({2, 0x10000, 0}),                                 // not a shortcut
        {2, 1, 6, 1, 'x'},                                        // a string in its place
        std::vector<uint8_t>(MenuShortcuts::kStoredLimit + 1, 2), // over the limit
    };
    for (const auto& bytes : bad) {
        MenuTable table = MenuTable::Default();
        for (MenuItem* e : table.entries())
            e->shortcut = 0;
        EXPECT_EQ(MenuShortcuts::Decode(bytes, table), MenuShortcuts::LoadResult::Unreadable);
        EXPECT_EQ(Current(table), Current(defaults));
    }
    // Fewer shortcuts than entries change only the first entries.
    MenuTable table = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::Decode(encoded({2, 0, 0}), table), MenuShortcuts::LoadResult::Applied);
    EXPECT_EQ(table.entries()[0]->shortcut, 0);
    EXPECT_EQ(table.entries()[1]->shortcut, 0);
    EXPECT_EQ(table.entries()[2]->shortcut, defaults.entries()[2]->shortcut);
}

TEST(MenuShortcuts, TemplatesOnlyTakeFilesThatSayWhatTheyAre) {
    MenuTable source = MenuTable::Default();
    Entry(source, "miQuitZentrix").shortcut = scCtrl | 'Q';
    const auto bytes = MenuShortcuts::Template(source);
    ASSERT_EQ(bytes[0], 6);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 19), "Shortcut template");

    MenuTable target = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::ApplyTemplate(bytes, target), MenuShortcuts::TemplateResult::Applied);
    EXPECT_EQ(Current(target), Current(source));

    // Another signature, or a template cut short: nothing changes.
    auto other = bytes;
    other[2] = 's';
    auto cut = bytes;
    cut.resize(cut.size() - 1);
    for (const auto& b : {other, cut}) {
        MenuTable t = MenuTable::Default();
        const auto before = Current(t);
        EXPECT_NE(MenuShortcuts::ApplyTemplate(b, t), MenuShortcuts::TemplateResult::Applied);
        EXPECT_EQ(Current(t), before);
    }

    // A shorter template sets the first entries; a longer one sets all of them
    // and says so.
    ComponentStreamWriter shortT;
    shortT.WriteString("Shortcut template");
    shortT.WriteInteger(1);
    shortT.WriteInteger(scCtrl | 'Z');
    MenuTable t1 = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::ApplyTemplate(shortT.Bytes(), t1),
              MenuShortcuts::TemplateResult::Applied);
    EXPECT_EQ(t1.entries()[0]->shortcut, scCtrl | 'Z');
    EXPECT_EQ(t1.entries()[1]->shortcut, MenuTable::Default().entries()[1]->shortcut);

    ComponentStreamWriter longT;
    longT.WriteString("Shortcut template");
    const size_t n = t1.entries().size();
    longT.WriteInteger(static_cast<int32_t>(n + 2));
    for (size_t i = 0; i < n + 2; ++i)
        longT.WriteInteger('A');
    MenuTable t2 = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::ApplyTemplate(longT.Bytes(), t2),
              MenuShortcuts::TemplateResult::TooMany);
    EXPECT_EQ(t2.entries()[n - 1]->shortcut, 'A');
}

TEST(MenuShortcuts, ReportNamesEveryEntryByItsMenuPath) {
    const MenuTable table = MenuTable::Default();
    EXPECT_EQ(MenuShortcuts::MenuPath(table, *table.find("miZentrixProperties")),
              "Zentrix / Options ...");
    EXPECT_EQ(MenuShortcuts::MenuPath(table, *table.find("miDiskTagAll")),
              "Directory / Tag  / Disk");
    EXPECT_EQ(MenuShortcuts::MenuPath(table, *table.find("miLogDisk")),
              "Volume / Log options  / Disk");
    const std::string report = MenuShortcuts::Report(table);
    EXPECT_EQ(report.rfind("Zentrix shortcuts:\n\n", 0), 0u);
    const std::string line = std::string("Ctrl+F12") + std::string(12, ' ') +
                             "Directory / Tag  / Tag Wizard ..." + std::string(12, ' ') +
                             " (Use tag wizard to do complex tagging of files ...)\n";
    EXPECT_NE(report.find(line), std::string::npos);
    // One line per entry after the heading.
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'),
              static_cast<long>(table.entries().size()) + 2);
}

TEST(MenuShortcuts, ClashesOnlyBetweenMenusThatShareTheBar) {
    MenuTable table = MenuTable::Default();
    auto names = [&](const MenuItem& item, TShortCut key) {
        std::set<std::string> out;
        for (const MenuItem* e : MenuShortcuts::Clashes(table, item, key))
            out.insert(e->name);
        return out;
    };
    // "T" tags the directory and the file: never on the bar together.
    EXPECT_TRUE(names(Entry(table, "miDirTagFiles"), 'T').empty());
    // "Volume" is on the bar with "Directory".
    EXPECT_EQ(names(Entry(table, "miDeleteDir"), 'V'), std::set<std::string>{"miDiskVolumeName"});
    // "Tools" is always there: its items clash with both window menus.
    EXPECT_EQ(names(Entry(table, "miToolsOptions2"), 'T'),
              (std::set<std::string>{"miDirTagFiles", "miTagSingleFile"}));
    // The design's own shortcuts never clash.
    for (const MenuItem* e : table.entries())
        EXPECT_TRUE(names(*e, e->shortcut).empty()) << e->name;
}

TEST(CommandButtons, ListsKeepEachCommandOnceAndDropNumbersTheMenuLacks) {
    const MenuTable table = MenuTable::Default();
    TCommandList dir, file;
    const int del = CommandNumber(table, "miDeleteDir");
    const int make = CommandNumber(table, "miMakeNewDir");
    const int view = CommandNumber(table, "miViewSingleFile");
    ASSERT_GE(del, 0);
    ASSERT_GE(view, 0);
    EXPECT_TRUE(dir.Add(del));
    EXPECT_FALSE(dir.Add(del));
    dir.Add(make);
    dir.Move(1, 0);
    EXPECT_EQ(dir.Commands(), (std::vector<int>{make, del}));
    file.Add(view);

    TCommandList dir2, file2;
    EXPECT_TRUE(CommandButtons::Decode(CommandButtons::Encode(dir, file), table, dir2, file2));
    EXPECT_EQ(dir2, dir);
    EXPECT_EQ(file2, file);

    // Numbers past the menu, of a menu of its own, and repeats are dropped.
    ComponentStreamWriter out;
    out.WriteInteger(4);
    out.WriteInteger(del);
    out.WriteInteger(9999);
    out.WriteInteger(CommandNumber(table, "miDirTag")); // opens a submenu
    out.WriteInteger(del);
    out.WriteInteger(0);
    EXPECT_TRUE(CommandButtons::Decode(out.Bytes(), table, dir2, file2));
    EXPECT_EQ(dir2.Commands(), std::vector<int>{del});
    EXPECT_EQ(file2.Count(), 0);
    // Unreadable data leaves both lists empty.
    EXPECT_FALSE(CommandButtons::Decode({2, 5, 2}, table, dir2, file2));
    EXPECT_EQ(dir2.Count() + file2.Count(), 0);
}

} // namespace
