#include "fixture.h"

#include "filewindow/filecolumns.h"

namespace zentrix::test {
namespace {

class SortTest : public FileWindowFixture {
protected:
    void SetUp() override {
        dir.write("b.doc", std::string(10, 'x'));
        dir.write("A.txt", std::string(30, 'x'));
        dir.write("c.txt", std::string(10, 'x'));
        dir.write("d.bmp", std::string(20, 'x'));
        dir.write("E", std::string(10, 'x'));
        dir.touch("b.doc", 1000);
        dir.touch("A.txt", 3000);
        dir.touch("c.txt", 2000);
        dir.touch("d.bmp", 2000);
        dir.touch("E", 500);
        dir.write("sub/a.txt");
        dir.write("sub/zz.txt");
        start();
        logAll('D');
        select("D:\\");
        fill();
    }
};

TEST_F(SortTest, KeysWithTheirTieBreaks) {
    EXPECT_EQ(texts(), (std::vector<std::string>{"A.txt", "b.doc", "c.txt", "d.bmp", "E"}));
    fw->SortFilesBySize(); // 10: b, c, E by name; then 20, 30
    EXPECT_EQ(texts(), (std::vector<std::string>{"b.doc", "c.txt", "E", "d.bmp", "A.txt"}));
    fw->ReversedSortOrder(); // tie-breaks reversed too
    EXPECT_EQ(texts(), (std::vector<std::string>{"A.txt", "d.bmp", "E", "c.txt", "b.doc"}));
    fw->ReversedSortOrder();
    fw->SortFilesByDate();
    EXPECT_EQ(texts(), (std::vector<std::string>{"E", "b.doc", "c.txt", "d.bmp", "A.txt"}));
    fw->SortFilesByExtension(); // "" < .BMP < .DOC < .TXT
    EXPECT_EQ(texts(), (std::vector<std::string>{"E", "d.bmp", "b.doc", "A.txt", "c.txt"}));
    fw->SortFilesByAttr(); // all archive alone: by name
    EXPECT_EQ(texts(), (std::vector<std::string>{"A.txt", "b.doc", "c.txt", "d.bmp", "E"}));
    EXPECT_EQ(fw->Current(), 0);

    // "Description" sorts by name, ascending, and "Name" is checked after it.
    fw->ReversedSortOrder();
    fw->SortFilesByDesc();
    EXPECT_EQ(fw->SortKey(), 0);
    EXPECT_FALSE(fw->SortReversed());
    EXPECT_EQ(texts(), (std::vector<std::string>{"A.txt", "b.doc", "c.txt", "d.bmp", "E"}));
}

TEST_F(SortTest, HeaderClicks) {
    fw->FileHeaderSectionClick(2);
    EXPECT_EQ(fw->SortKey(), 2);
    EXPECT_FALSE(fw->SortReversed());
    EXPECT_EQ(texts().back(), "A.txt");
    fw->FileHeaderSectionClick(2);
    EXPECT_TRUE(fw->SortReversed());
    EXPECT_EQ(texts().front(), "A.txt");
    fw->FileHeaderSectionClick(3); // another key: ascending again
    EXPECT_EQ(fw->SortKey(), 3);
    EXPECT_FALSE(fw->SortReversed());
    EXPECT_EQ(texts().front(), "E");
    fw->FileHeaderSectionClick(5);
    EXPECT_EQ(fw->SortKey(), 0);
    EXPECT_EQ(prompter.beeps(), 0);

    // An empty window only beeps.
    select("D:\\sub\\");
    fw->ToggleFileSpec();
    fill();
    ASSERT_EQ(fw->Count(), 0);
    fw->FileHeaderSectionClick(2);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(fw->SortKey(), 0);
}

TEST_F(SortTest, FullPathsGroupAShowAllWindowByDirectory) {
    state.scope = 3;
    fill();
    settings.DisplayFullPathOption = true;
    fw->SortFilesByName();
    EXPECT_EQ(texts(), (std::vector<std::string>{"A.txt", "b.doc", "c.txt", "d.bmp", "E", "a.txt",
                                                 "zz.txt"}));
    settings.DisplayFullPathOption = false;
    fw->SortFilesByName();
    // Equal names in two directories stand side by side (in no fixed order).
    EXPECT_EQ(texts()[2], "b.doc");
    EXPECT_EQ(texts().back(), "zz.txt");
}

class KeysTest : public FileWindowFixture {
protected:
    void SetUp() override {
        for (int i = 0; i < 300; ++i) {
            char name[24];
            std::snprintf(name, sizeof name, "n%03d.txt", i);
            dir.write(name);
        }
        dir.write("sub/x.txt");
        start();
        logAll('D');
        select("D:\\");
        ui.focus = RecordingUi::Focus::FileWindow;
        fill();
        ASSERT_EQ(fw->Count(), 300);
    }
    void press(int key, int times = 1) {
        for (int i = 0; i < times; ++i)
            fw->MainListBoxKeyDown(key);
    }
};

TEST_F(KeysTest, HoldingAnArrowSpeedsUp) {
    press(FileKeys::Down, 20);
    EXPECT_EQ(fw->Current(), 20);
    press(FileKeys::Down, 9); // 21..29: two each
    EXPECT_EQ(fw->Current(), 38);
    press(FileKeys::Down, 10); // 30..39: three each
    EXPECT_EQ(fw->Current(), 68);
    fw->MainListBoxKeyUp();
    press(FileKeys::Down);
    EXPECT_EQ(fw->Current(), 69);
    fw->MainListBoxKeyUp();

    // Never past the last entry.
    fw->SetCurrent(295);
    press(FileKeys::Down, 40);
    EXPECT_EQ(fw->Current(), 299);
    fw->MainListBoxKeyUp();

    // Up: by the step while the index is larger than it, then by one.
    fw->SetCurrent(5);
    press(FileKeys::Up, 20);
    EXPECT_EQ(fw->Current(), 0);
    fw->MainListBoxKeyUp();
    fw->SetCurrent(23);
    press(FileKeys::Up, 20); // 23 -> 3
    press(FileKeys::Up);     // step 2, index 3 is larger: 1
    EXPECT_EQ(fw->Current(), 1);
    press(FileKeys::Up); // index 1 is not larger than 2: by one
    EXPECT_EQ(fw->Current(), 0);
    fw->MainListBoxKeyUp();

    // The column formats leave Up and Down to the list.
    settings.FileDisplayOption = kFormat3Columns;
    EXPECT_FALSE(fw->MainListBoxKeyDown(FileKeys::Down));
    EXPECT_EQ(fw->Current(), 0);
}

TEST_F(KeysTest, LettersEnterEscapeAndCommands) {
    fw->SetCurrent(298);
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Shift + 'N'));
    EXPECT_EQ(fw->Current(), 299);
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Shift + 'N')); // wraps to the top
    EXPECT_EQ(fw->Current(), 0);
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Shift + 'Q')); // none: stays
    EXPECT_EQ(fw->Current(), 0);
    EXPECT_FALSE(fw->MainListBoxKeyDown('N')); // plain letters go to the menus

    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Enter));
    EXPECT_TRUE(fw->Maximized());
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Multiply));
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Add));
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Subtract));
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Alt + 'S'));
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Apps));
    EXPECT_FALSE(fw->MainListBoxKeyDown(FileKeys::Delete)); // runs, and is passed on
    EXPECT_EQ(ui.commands,
              (std::vector<FileCommand>{FileCommand::ToggleFileTags, FileCommand::TagFilesSpecial,
                                        FileCommand::UnTagFilesSpecial, FileCommand::SortFileWindow,
                                        FileCommand::PopupAtCurrent, FileCommand::Delete}));
    // Two modifiers at once match none of the window's keys.
    EXPECT_EQ(FoldModifiers('L', true, false, true), 'L' + FileKeys::Several);
    EXPECT_FALSE(fw->MainListBoxKeyDown(FoldModifiers('L', true, false, true)));
    EXPECT_EQ(FoldModifiers('S', false, true, false), FileKeys::Alt + 'S');

    // Esc in a ShowAll window returns to the directory.
    state.scope = 2;
    fill();
    ASSERT_TRUE(fw->Maximized());
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Escape));
    EXPECT_FALSE(fw->Maximized());
    EXPECT_EQ(state.scope, 1);
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
}

TEST_F(KeysTest, LFillsAtOnceThenLogsTheDisk) {
    state.scope = 3;
    fill();
    ui.commands.clear();
    EXPECT_TRUE(fw->MainListBoxKeyDown('L'));
    EXPECT_EQ(state.scope, 1);
    EXPECT_EQ(fw->Count(), 300); // filled already, sorted by name
    EXPECT_EQ(fw->Text(0), "n000.txt");
    EXPECT_EQ(ui.commands, (std::vector<FileCommand>{FileCommand::LogDisk}));
}

TEST_F(KeysTest, WithoutACurrentEntryEveryKeyIsEscape) {
    state.scope = 4;
    fill();
    fw->SetCurrent(-1);
    EXPECT_TRUE(fw->MainListBoxKeyDown(FileKeys::Down));
    EXPECT_EQ(state.scope, 1);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::Tree);
}

TEST_F(KeysTest, MouseGestures) {
    fw->InvertTagRange(10, 3);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(fw->Record(i)->Tagged(), i >= 3 && i <= 10) << i;
    EXPECT_EQ(ui.repainted.size(), 8u);
    EXPECT_EQ(fw->Statistics().taggedFiles, "8");
    fw->InvertTag(3);
    EXPECT_FALSE(fw->Record(3)->Tagged());

    // A double click toggles the tag unless it executes.
    fw->SetCurrent(20);
    fw->MainListBoxDblClick();
    EXPECT_TRUE(fw->Record(20)->Tagged());
    settings.DMCExecuteFile = true;
    fw->MainListBoxDblClick();
    EXPECT_TRUE(fw->Record(20)->Tagged());
    EXPECT_EQ(ui.commands, (std::vector<FileCommand>{FileCommand::Execute}));

    // Right button: the program's menu when Shift matches ShowContextMenus.
    EXPECT_EQ(fw->MainListBoxRightButton(7, false), RightClickMenu::Program);
    EXPECT_EQ(fw->Current(), 7);
    EXPECT_EQ(fw->MainListBoxRightButton(-1, true), RightClickMenu::Shell);
    EXPECT_EQ(fw->Current(), 7);
    settings.ShowContextMenus = true;
    EXPECT_EQ(fw->MainListBoxRightButton(8, true), RightClickMenu::Program);
    settings.Compatibility = 0;
    EXPECT_EQ(fw->MainListBoxRightButton(8, false), RightClickMenu::Refused);
    EXPECT_EQ(prompter.texts().back(), "Function not available in this compatibility mode.     ");
}

TEST_F(KeysTest, FormatsAndPopupState) {
    EXPECT_EQ(fw->Columns(), 0);
    state.refillRequested = false;
    fw->SetFormat(kFormatNormal); // detail to detail: no refill
    EXPECT_FALSE(state.refillRequested);
    EXPECT_EQ(fw->ItemHeight(), 13 + 4);
    fw->ChangeFileDisplay();
    EXPECT_EQ(fw->Format(), kFormat3Columns);
    EXPECT_EQ(fw->Columns(), 3);
    EXPECT_TRUE(state.refillRequested);
    state.refillRequested = false;
    fw->ChangeFileDisplay();
    EXPECT_EQ(fw->Columns(), 5);
    EXPECT_TRUE(state.refillRequested);
    state.refillRequested = false;
    fw->ChangeFileDisplay(); // wraps to small icons
    EXPECT_EQ(fw->Format(), kFormatSmallIcons);
    EXPECT_EQ(fw->ItemHeight(), settings.SmallIconSize + 3);
    EXPECT_TRUE(state.refillRequested);
    fw->SetFormat(kFormatLargeIcons);
    EXPECT_EQ(fw->IconSize(), settings.LargeIconSize);
    EXPECT_FALSE(state.busy());

    ui.focus = RecordingUi::Focus::Tree;
    PopupMenuState p = fw->ListBoxPopupMenuPopup();
    EXPECT_EQ(ui.focus, RecordingUi::Focus::FileWindow);
    EXPECT_EQ(p.maxMinCaption, "Maximize files window");
    EXPECT_EQ(p.maxMinHint, "Maximizes files window ...");
    EXPECT_TRUE(p.sortByDescEnabled);
    fw->MaxFileWin();
    fw->pmiFileDisplayFullpathClick();
    p = fw->ListBoxPopupMenuPopup();
    EXPECT_EQ(p.maxMinCaption, "Minimize files window");
    EXPECT_TRUE(p.displayFullPathChecked);
    fw->SetFormat(kFormat5Columns);
    EXPECT_FALSE(fw->ListBoxPopupMenuPopup().sortByDescEnabled);
}

} // namespace
} // namespace zentrix::test
