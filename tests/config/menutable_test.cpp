#include "config/menutable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace zentrix;

namespace {

struct TextCase {
    const char* text;
    TShortCut value;
    const char* written; // how ShortCutToText writes it back
};

TEST(ShortCutText, ReadsAndWritesTheKeysOfTheMenus) {
    const TextCase cases[] = {
        {"T", 'T', "T"},
        {"Space", vk::Space, "Space"},
        {"0", '0', "0"},
        {"Shift+0", scShift | '0', "Shift+0"},
        {"+", vk::OemPlus, "+"},
        {"/", vk::OemSlash, "/"},
        {"Ctrl+/", scCtrl | vk::OemSlash, "Ctrl+/"},
        {"Ctrl++", scCtrl | vk::OemPlus, "Ctrl++"},
        {"Alt+F10", scAlt | (vk::F1 + 9), "Alt+F10"},
        {"Ctrl+Shift+F7", scCtrl | scShift | (vk::F1 + 6), "Ctrl+Shift+F7"},
        {"Shift+Alt+T", scShift | scAlt | 'T', "Alt+Shift+T"},
        {"Ctrl+Alt+Enter", scCtrl | scAlt | vk::Return, "Ctrl+Alt+Enter"},
        {"ctrl+return", scCtrl | vk::Return, "Ctrl+Enter"},
        {"F24", vk::F1 + 23, "F24"},
        {"Num++", vk::Add, "Num++"},
        {"Ctrl+Num+5", scCtrl | (vk::Numpad0 + 5), "Ctrl+Num+5"},
        {"Shift+PgDn", scShift | vk::Next, "Shift+PgDown"},
        {"\\", vk::OemBackslash, "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.value);
        EXPECT_EQ(ShortCutToText(c.value), c.written);
        EXPECT_EQ(TextToShortCut(ShortCutToText(c.value)), c.value);
    }
    // The stored form keeps the modifier bits where templates expect them.
    EXPECT_EQ(TextToShortCut("Shift+Alt+T"), 0xA054);
}

TEST(ShortCutText, UnknownTextsAreNoShortcut) {
    for (const char* text : {"", "Ctrl+", "Ctrl", "Ctrl+Ctrl", "Hyper+X", "F0", "F25", "F1x", "TT",
                             "Num+", "Num+A", "é"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TextToShortCut(text), 0);
    }
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl | 0xFF), ""); // a key without a name shows nothing
}

// --- the table ------------------------------------------------------------------

std::vector<std::string> Names(const std::vector<MenuItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items)
        names.push_back(item.isSeparator() ? "-" : item.name);
    return names;
}

TEST(MenuTable, HoldsTheSixMenusAndEveryPopupInOrder) {
    const MenuTable table = MenuTable::Default();
    EXPECT_EQ(Names(table.mainMenu().items),
              (std::vector<std::string>{"miZentrix", "miDirectory", "miFile", "miVolume", "miTools",
                                        "miHelp"}));
    std::vector<std::string> captions;
    for (const auto& top : table.mainMenu().items)
        captions.push_back(top.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Zentrix", "Directory", "File", "Volume", "Tools",
                                                  "Help"}));
    EXPECT_EQ(Names(table.popups()),
              (std::vector<std::string>{"TreeViewPopupMenu", "ListBoxPopupMenu", "DrivesPopupMenu",
                                        "ToolsPopup", "pmDirToolbar", "pmFileToolbar", "pmCurrDir",
                                        "pmQView", "pmImgQuick", "pmAutoPlay", "TrayPopupMenu"}));
    // The tools menu keeps its first five items when the user tools are added.
    EXPECT_EQ(table.find("miTools")->items.size(), 5u);
}

TEST(MenuTable, ComponentNamesAreUniqueAndCarryTheirKind) {
    const MenuTable table = MenuTable::Default();
    std::set<std::string> seen;
    auto check = [&](const MenuItem& root, const std::string& prefix) {
        std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
            for (const auto& sub : item.items) {
                if (sub.isSeparator()) {
                    EXPECT_TRUE(sub.name.empty());
                    continue;
                }
                EXPECT_TRUE(seen.insert(sub.name).second) << "twice: " << sub.name;
                EXPECT_EQ(sub.name.rfind(prefix, 0), 0u) << sub.name;
                EXPECT_NE(sub.name.rfind("pmi", 0) == 0, prefix == "mi") << sub.name;
                walk(sub);
            }
        };
        walk(root);
    };
    check(table.mainMenu(), "mi");
    for (const auto& popup : table.popups())
        check(popup, "pmi");
    EXPECT_EQ(seen.size(), 228u); // every row of the design tables
}

TEST(MenuTable, ItemsKeepCaptionKeyCommandAndHintAsDesigned) {
    const MenuTable table = MenuTable::Default();
    struct Row {
        const char* name;
        const char* caption;
        const char* keys;
        const char* command;
        const char* hint;
    };
    const Row rows[] = {
        {"miZentrixProperties", "&Options ...", "Alt+F10", "miZentrixPropertiesClick",
         "Program options ..."},
        {"miDeleteDir", "&Delete", "D", "DeleteDir",
         "Remove the current directory from the disk ..."},
        {"miDeleteSingleFile", "&Delete ...", "D", "DeleteSingleFile",
         "Delete the current file ..."},
        {"miPasteFileAttrs", "Paste", "Shift+0", "PasteFileAttrs",
         "Paste the DOS file attributes of the current file ..."},
        {"miTagFilesSpecial", "Special ...", "+", "TagFilesSpecial",
         "Tags files in a files window by additional file specifications ..."},
        {"miCollapseAllDrives", "&Collapse all disks", "Ctrl+/", "pmiCollapseAllDrivesClick",
         "Collapse all logged disks ..."},
        {"miFileSortByReversedOrd", "Reversed order", "", "ReversedSortOrder",
         "Reversed sort files in files window  ..."},
        {"miFileDispSmallIcons", "&Small icons", "", "miFileDispSmallIconsClick", ""},
        {"pmiCollapseAllDrives", "&Collapse all disks", "", "pmiCollapseAllDrivesClick",
         "Collapse all logged disks ..."},
        {"pmiFileMaxMinWin", "&Max/Min window", "Enter", "MaxFileWin",
         "Maximize/minimize files window ..."},
        {"pmiQuitZentrix", "E&xit Zentrix", "", "QuitZentrix", ""},
        {"pmiImgCopyToClipboard", "&Copy to Clipboard ...", "", "",
         "Copy picture to clipboard ..."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const MenuItem* item = table.find(r.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->caption, r.caption);
        EXPECT_EQ(item->shortcut, TextToShortCut(r.keys));
        EXPECT_EQ(item->defaultShortcut, item->shortcut);
        EXPECT_EQ(item->command, r.command);
        EXPECT_EQ(item->hint, r.hint);
    }
    EXPECT_EQ(table.find("nothing"), nullptr);
    EXPECT_EQ(table.find(""), nullptr);
}

// The shortcuts of the menus that are in the bar together must differ: Qt fires
// none of two actions that share a key.
TEST(MenuTable, NoTwoItemsInTheBarShareAKey) {
    const MenuTable table = MenuTable::Default();
    const std::vector<std::vector<std::string>> bars = {
        {"miZentrix", "miDirectory", "miVolume", "miTools", "miHelp"}, // tree focused
        {"miZentrix", "miFile", "miTools", "miHelp"},                  // file window focused
    };
    for (const auto& bar : bars) {
        std::map<TShortCut, std::string> owners;
        for (const auto& menu : bar) {
            std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
                for (const auto& sub : item.items) {
                    walk(sub);
                    if (sub.shortcut == 0)
                        continue;
                    auto [it, fresh] = owners.emplace(sub.shortcut, sub.name);
                    EXPECT_TRUE(fresh) << ShortCutToText(sub.shortcut) << ": " << it->second
                                       << " and " << sub.name;
                }
            };
            walk(*table.find(menu));
        }
    }
}

// The single keys act on the directory or on the current file.
TEST(MenuTable, DirectoryAndFileMenusShareTheirSingleKeys) {
    const MenuTable table = MenuTable::Default();
    auto commandFor = [&](const char* menu, TShortCut key) {
        std::string found;
        std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
            for (const auto& sub : item.items) {
                if (sub.shortcut == key && !sub.command.empty())
                    found = sub.command;
                walk(sub);
            }
        };
        walk(*table.find(menu));
        return found;
    };
    const std::pair<const char*, std::pair<const char*, const char*>> keys[] = {
        {"T", {"DirTagFiles", "TagSingleFile"}},
        {"U", {"DirUnTagFiles", "UnTagSingleFile"}},
        {"D", {"DeleteDir", "DeleteSingleFile"}},
        {"M", {"MakeNewDir", "MoveSingleFile"}},
        {"R", {"RenameDir", "RenameSingleFile"}},
        {"E", {"miDirEditFileClick", "EditSingleFile"}},
        {"F", {"SetFileSpec", "SetFileSpec"}},
        {"I", {"miDirToggleFileSpecClick", "miFileTglFileSpecClick"}},
        {"Space", {"InvertDirTags", "ToggleSingleFileTag"}},
        {"Ctrl+C", {"DirCopy", "CopyTaggedFiles"}},
        {"Ctrl+M", {"MakeRoot", "MoveTaggedFiles"}},
    };
    for (const auto& [key, commands] : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(commandFor("miDirectory", TextToShortCut(key)), commands.first);
        EXPECT_EQ(commandFor("miFile", TextToShortCut(key)), commands.second);
    }
}

TEST(MenuTable, EntriesListSubItemsBeforeTheirItem) {
    MenuTable table = MenuTable::Default();
    const auto entries = table.entries();
    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(entries[0]->name, "miZentrixProperties");
    EXPECT_EQ(entries[1]->name, "miQuitZentrix");
    EXPECT_EQ(entries[2]->name, "miZentrix");
    EXPECT_EQ(entries[3]->name, "miDirTagFiles");
    EXPECT_EQ(entries.back()->name, "miHelp");

    std::map<const MenuItem*, std::size_t> position;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_FALSE(entries[i]->isSeparator());
        position[entries[i]] = i;
    }
    std::size_t items = 0;
    std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
        for (const auto& sub : item.items) {
            if (sub.isSeparator())
                continue;
            ++items;
            walk(sub);
            for (const auto& child : sub.items) {
                if (!child.isSeparator()) {
                    EXPECT_LT(position.at(&child), position.at(&sub)) << child.name;
                }
            }
        }
    };
    walk(table.mainMenu());
    EXPECT_EQ(entries.size(), items);
    // Popup items are no entries: their shortcuts are not configured.
    EXPECT_EQ(position.count(table.find("pmiFileMaxMinWin")), 0u);
}

TEST(MenuTable, ShortcutOfACommandLooksInTheNamedMenuFirstFound) {
    MenuTable table = MenuTable::Default();
    EXPECT_EQ(ShortCutToText(table.shortcutOf("FindFile")), "Ctrl+F");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("FindFile", "miFile")), "Ctrl+Shift+F");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("DeleteDir")), "D");
    EXPECT_EQ(table.shortcutOf("DeleteDir", "miFile"), 0);
    EXPECT_EQ(ShortCutToText(table.shortcutOf("MaxFileWin")), "Enter"); // from a popup
    EXPECT_EQ(table.shortcutOf("NoSuchCommand"), 0);
    EXPECT_EQ(table.shortcutOf(""), 0);
    EXPECT_EQ(table.findCommand("ReleaseDisk", "DrivesPopupMenu")->name, "pmiReleaseDisk");

    // The shortcut configuration changes the current shortcut only.
    table.find("miDeleteDir")->shortcut = TextToShortCut("Ctrl+Shift+D");
    EXPECT_EQ(ShortCutToText(table.shortcutOf("DeleteDir")), "Ctrl+Shift+D");
    EXPECT_EQ(ShortCutToText(table.find("miDeleteDir")->defaultShortcut), "D");
}

TEST(MenuTable, StartupCaptionsShowTheKeysTheWindowsHandle) {
    MenuTable table = MenuTable::Default();
    EXPECT_EQ(table.find("miNextDisk")->caption, "&Next disk");
    ApplyStartupCaptions(table);
    EXPECT_EQ(table.find("miNextDisk")->caption, "&Next disk\t>");
    EXPECT_EQ(table.find("miPrevDisk")->caption, "&Previous disk\t<");
    EXPECT_EQ(table.find("miLogDisk")->caption, "&Disk\tL");
    // They are no menu shortcuts: the tree takes these keys itself.
    EXPECT_EQ(table.find("miNextDisk")->shortcut, 0);
    EXPECT_EQ(table.find("miPrevDisk")->shortcut, 0);
    EXPECT_EQ(table.find("miLogDisk")->shortcut, 0);
}

TEST(MenuTable, PlainCaptionAndCommandButtonHint) {
    EXPECT_EQ(PlainCaption("&Next disk\t>"), "Next disk");
    EXPECT_EQ(PlainCaption("Cu&t"), "Cut");
    EXPECT_EQ(PlainCaption("T&ag ..."), "Tag ...");
    EXPECT_EQ(PlainCaption("Save && quit"), "Save & quit");
    EXPECT_EQ(PlainCaption("Trailing &"), "Trailing ");
    EXPECT_EQ(CommandButtonHint("Delete the current file ...", TextToShortCut("D")),
              "Delete the current file ...\nShortcut: D");
    EXPECT_EQ(CommandButtonHint("Copy", TextToShortCut("Ctrl+Alt+Enter")),
              "Copy\nShortcut: Ctrl+Alt+Enter");
}

} // namespace
