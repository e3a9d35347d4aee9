#include "gui/app/mainmenubar.h"
#include "gui/controls/shortcutkeys.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <memory>

using namespace zentrix;

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

const QStringList kTreeBar{"miZentrix", "miDirectory", "miVolume", "miTools", "miHelp"};
const QStringList kFileBar{"miZentrix", "miFile", "miTools", "miHelp"};
const QStringList kNeither{"miZentrix", "miTools", "miHelp"};

/// A bare main window with a tree and a file list standing in for the real ones,
/// an input box and a button, and the menus following the focus.
class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        window = std::make_unique<QMainWindow>();
        auto* central = new QWidget;
        auto* layout = new QHBoxLayout(central);
        tree = new QTreeView;
        auto* treeModel = new QStandardItemModel(tree);
        treeModel->appendRow(new QStandardItem(QStringLiteral("C:\\")));
        tree->setModel(treeModel);
        files = new QListView;
        files->setModel(new QStringListModel({"A.TXT", "B.TXT"}, files));
        fileSpec = new QComboBox;
        fileSpec->setEditable(true);
        button = new QPushButton(QStringLiteral("OK"));
        for (QWidget* w : {static_cast<QWidget*>(tree), static_cast<QWidget*>(files),
                           static_cast<QWidget*>(fileSpec), static_cast<QWidget*>(button)})
            layout->addWidget(w);
        window->setCentralWidget(central);
        menus = new MainMenuBar(window.get());
        menus->followFocus(tree, files);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void TearDown() override { window.reset(); }

    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w);
    }

    /// Registers a handler that records the command's name for each of `commands`.
    void record(std::initializer_list<const char*> commands) {
        for (const char* c : commands)
            menus->registerCommand(c, [this, name = std::string(c)] { ran.push_back(name); });
    }

    std::vector<std::string> press(QWidget* w, QKeyCombination key) {
        ran.clear();
        QTest::keyClick(w, key.key(), key.keyboardModifiers());
        QApplication::processEvents();
        return ran;
    }

    std::unique_ptr<QMainWindow> window;
    QTreeView* tree = nullptr;
    QListView* files = nullptr;
    QComboBox* fileSpec = nullptr;
    QPushButton* button = nullptr;
    MainMenuBar* menus = nullptr;
    std::vector<std::string> ran;
};

TEST_F(MenuWindow, BarFollowsTheFocusOfTreeFileWindowAndInputBoxes) {
    EXPECT_EQ(window->menuBar(), menus->bar());
    focus(tree);
    EXPECT_EQ(menus->barMenus(), kTreeBar);
    focus(files);
    EXPECT_EQ(menus->barMenus(), kFileBar);
    focus(fileSpec);
    EXPECT_EQ(menus->barMenus(), kNeither);
    focus(files);
    EXPECT_EQ(menus->barMenus(), kFileBar);
    focus(button); // the file window lets go: "File" leaves, nothing comes in
    EXPECT_EQ(menus->barMenus(), kNeither);
    focus(tree);
    EXPECT_EQ(menus->barMenus(), kTreeBar);
    focus(fileSpec);
    EXPECT_EQ(menus->barMenus(), kNeither);
    focus(button); // the box lets go: the tree's menus come back
    EXPECT_EQ(menus->barMenus(), kTreeBar);
    focus(files);
    focus(tree);
    EXPECT_EQ(menus->barMenus(), kTreeBar);

    // The box's drop-down list takes the focus while it is open; the box still
    // counts as focused, and a click elsewhere ends it.
    fileSpec->addItems({"*.TXT", "*.DOC"});
    focus(fileSpec);
    fileSpec->showPopup();
    QApplication::processEvents();
    EXPECT_EQ(menus->barMenus(), kNeither);
    fileSpec->hidePopup();
    QApplication::processEvents();
    EXPECT_EQ(menus->barMenus(), kNeither);
    focus(files);
    fileSpec->showPopup();
    QApplication::processEvents();
    EXPECT_EQ(menus->barMenus(), kFileBar);
    fileSpec->hidePopup();
    focus(button);
    EXPECT_EQ(menus->barMenus(), kNeither);
    focus(tree);

    // Calls of the main window's own focus handlers (a label edit, say) do the same.
    QSignalSpy changed(menus, &MainMenuBar::barChanged);
    menus->inputBoxFocused(true);
    EXPECT_EQ(menus->barMenus(), kNeither);
    menus->inputBoxFocused(false);
    EXPECT_EQ(menus->barMenus(), kTreeBar);
    EXPECT_EQ(changed.count(), 2);
    menus->treeGainedFocus(); // nothing to change
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(MenuWindow, SingleKeysActOnTheDirectoryOrTheCurrentFile) {
    record({"DirTagFiles",
            "TagSingleFile",
            "DeleteDir",
            "DeleteSingleFile",
            "DirCopy",
            "CopyTaggedFiles",
            "MakeRoot",
            "MoveTaggedFiles",
            "InvertDirTags",
            "ToggleSingleFileTag",
            "TagFilesSpecial",
            "UnTagFilesSpecial",
            "PasteFileAttrs",
            "ToggleFileAttrs",
            "pmiCollapseAllDrivesClick",
            "DiskVolumeName",
            "ViewSingleFile",
            "SetFileSpec",
            "QuitZentrix",
            "PasteFileToCmdLine"});
    using V = std::vector<std::string>;
    struct Case {
        QKeyCombination key;
        V onTree;
        V onFiles;
    };
    const Case cases[] = {
        {Qt::Key_T, {"DirTagFiles"}, {"TagSingleFile"}},
        {Qt::Key_D, {"DeleteDir"}, {"DeleteSingleFile"}},
        {Qt::ControlModifier | Qt::Key_C, {"DirCopy"}, {"CopyTaggedFiles"}},
        {Qt::ControlModifier | Qt::Key_M, {"MakeRoot"}, {"MoveTaggedFiles"}},
        {Qt::Key_Space, {"InvertDirTags"}, {"ToggleSingleFileTag"}},
        {Qt::Key_F, {"SetFileSpec"}, {"SetFileSpec"}},
        {Qt::Key_V, {"DiskVolumeName"}, {"ViewSingleFile"}},
        {Qt::Key_Plus, {}, {"TagFilesSpecial"}},
        {Qt::Key_Slash, {}, {"UnTagFilesSpecial"}},
        {Qt::Key_0, {}, {"ToggleFileAttrs"}},
        {Qt::ShiftModifier | Qt::Key_0, {}, {"PasteFileAttrs"}},
        {Qt::ControlModifier | Qt::Key_Slash, {"pmiCollapseAllDrivesClick"}, {}},
        {Qt::ControlModifier | Qt::Key_Return, {}, {"PasteFileToCmdLine"}},
        {Qt::ControlModifier | Qt::Key_Enter, {}, {"PasteFileToCmdLine"}},
        {Qt::AltModifier | Qt::Key_Q, {"QuitZentrix"}, {"QuitZentrix"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
        focus(tree);
        EXPECT_EQ(press(tree, c.key), c.onTree);
        focus(files);
        EXPECT_EQ(press(files, c.key), c.onFiles);
    }
}

TEST_F(MenuWindow, InputBoxesKeepOnlyTheMenusWithoutSingleKeys) {
    record({"DeleteDir", "DeleteSingleFile", "DirCopy", "CopyTaggedFiles", "DiskTagAll",
            "TagFileWinFiles", "QuitZentrix"});
    focus(files);
    focus(fileSpec);
    EXPECT_TRUE(press(fileSpec, Qt::Key_D).empty());
    EXPECT_EQ(fileSpec->currentText(), QStringLiteral("d")); // the box got the letter
    EXPECT_TRUE(press(fileSpec, Qt::ControlModifier | Qt::Key_C).empty());
    EXPECT_TRUE(press(fileSpec, Qt::ControlModifier | Qt::Key_T).empty());
    EXPECT_EQ(press(fileSpec, Qt::AltModifier | Qt::Key_Q),
              std::vector<std::string>{"QuitZentrix"});
    focus(files);
    EXPECT_EQ(press(files, Qt::Key_D), std::vector<std::string>{"DeleteSingleFile"});
}

TEST_F(MenuWindow, CommandsWithoutHandlerStayGreyedOut) {
    focus(tree);
    QAction* del = menus->action("miDeleteDir");
    ASSERT_NE(del, nullptr);
    EXPECT_FALSE(del->isEnabled());
    EXPECT_EQ(del->text(), QStringLiteral("&Delete"));
    EXPECT_EQ(del->statusTip(), QStringLiteral("Remove the current directory from the disk ..."));
    EXPECT_EQ(del->shortcut(), QKeySequence(Qt::Key_D));
    EXPECT_TRUE(press(tree, Qt::Key_D).empty());
    EXPECT_FALSE(menus->runCommand("DeleteDir"));

    // Menus that only open their items are always usable; an item without any
    // command does nothing and shows so.
    EXPECT_TRUE(menus->action("miDirTag")->isEnabled());
    EXPECT_TRUE(menus->menu("miDirectory")->menuAction()->isEnabled());
    EXPECT_FALSE(menus->action("pmiImgCopyToClipboard")->isEnabled());

    int runs = 0;
    menus->registerCommand("DeleteDir", [&] { ++runs; });
    EXPECT_TRUE(del->isEnabled());
    EXPECT_TRUE(menus->hasCommand("DeleteDir"));
    QTest::keyClick(tree, Qt::Key_D);
    del->trigger();
    EXPECT_TRUE(menus->runCommand("DeleteDir"));
    EXPECT_EQ(runs, 3);

    menus->unregisterCommand("DeleteDir");
    EXPECT_FALSE(del->isEnabled());
    QTest::keyClick(tree, Qt::Key_D);
    EXPECT_EQ(runs, 3);

    // A command shared by several items enables them all.
    menus->registerCommand("ReleaseDisk", [] {});
    for (const char* name : {"miReleaseDisk", "pmiDirReleaseDisk", "pmiReleaseDisk"})
        EXPECT_TRUE(menus->action(name)->isEnabled()) << name;
}

TEST_F(MenuWindow, EveryItemOfTheTableIsBuiltWithItsNameAndKeys) {
    int items = 0;
    std::function<void(const MenuItem&, QMenu*)> check = [&](const MenuItem& parent, QMenu* menu) {
        ASSERT_NE(menu, nullptr) << parent.name;
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(parent.items.size())) << parent.name;
        for (std::size_t i = 0; i < parent.items.size(); ++i) {
            const MenuItem& item = parent.items[i];
            QAction* a = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(a->isSeparator(), item.isSeparator());
            if (item.isSeparator())
                continue;
            ++items;
            EXPECT_EQ(a, menus->action(QString::fromStdString(item.name)));
            EXPECT_EQ(a->objectName().toStdString(), item.name);
            EXPECT_EQ(a->text().toStdString(), item.caption);
            EXPECT_EQ(a->statusTip().toStdString(), item.hint);
            EXPECT_EQ(ShortCutOf(a->shortcut()[0]), item.shortcut) << item.name;
            if (item.hasItems())
                check(item, a->menu());
        }
    };
    for (const MenuItem& top : menus->table().mainMenu().items) {
        QMenu* menu = menus->menu(QString::fromStdString(top.name));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->menuAction(), menus->action(QString::fromStdString(top.name)));
        ++items;
        check(top, menu);
    }
    for (const MenuItem& popup : menus->table().popups())
        check(popup, menus->menu(QString::fromStdString(popup.name)));
    EXPECT_EQ(items, 240); // the design tables, the undo, open-with and clipboard items
    EXPECT_EQ(menus->shortcutOf("FindFile", "miFile"),
              QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_F));
    EXPECT_TRUE(menus->shortcutOf("NoSuchCommand").isEmpty());
}

TEST_F(MenuWindow, MenusOffTheBarFireNoShortcut) {
    record({"TagFilesSpecial", "miFileExecuteClick", "DiskVolumeName", "ViewSingleFile",
            "DirTagFiles", "TagSingleFile"});
    focus(tree);
    EXPECT_TRUE(press(tree, Qt::Key_Plus).empty());
    EXPECT_TRUE(press(tree, Qt::Key_X).empty());
    focus(files);
    EXPECT_EQ(press(files, Qt::Key_V), std::vector<std::string>{"ViewSingleFile"});
    focus(button); // neither window menu is in the bar
    EXPECT_TRUE(press(button, Qt::Key_T).empty());
    EXPECT_TRUE(press(button, Qt::Key_V).empty());
}

TEST_F(MenuWindow, StartupCaptionsAndPopupCopiesOfTheWindowMenus) {
    menus->applyStartupCaptions();
    EXPECT_EQ(menus->action("miNextDisk")->text(), QStringLiteral("&Next disk\t>"));
    EXPECT_EQ(menus->action("miPrevDisk")->text(), QStringLiteral("&Previous disk\t<"));
    EXPECT_EQ(menus->action("miLogDisk")->text(), QStringLiteral("&Disk\tL"));
    EXPECT_TRUE(menus->action("miNextDisk")->shortcut().isEmpty());

    EXPECT_FALSE(menus->action("pmiDirCommands")->isEnabled()); // nothing to open yet
    menus->registerCommand("DeleteDir", [] {});
    menus->copyCommandMenus();
    menus->copyCommandMenus(); // once only

    struct Pair {
        const char* target;
        const char* source;
    };
    for (const Pair p :
         {Pair{"pmiDirCommands", "miDirectory"}, Pair{"pmiFileCommands", "miFile"}}) {
        SCOPED_TRACE(p.target);
        QAction* target = menus->action(p.target);
        ASSERT_NE(target->menu(), nullptr);
        EXPECT_TRUE(target->isEnabled());
        EXPECT_EQ(menus->menu(p.target), target->menu());
        // Item by item the same captions, hints and commands, without shortcuts.
        std::function<void(QMenu*, QMenu*)> compare = [&](QMenu* copy, QMenu* original) {
            const QList<QAction*> a = copy->actions();
            const QList<QAction*> b = original->actions();
            ASSERT_EQ(a.size(), b.size());
            for (qsizetype i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i]->text(), b[i]->text());
                EXPECT_EQ(a[i]->statusTip(), b[i]->statusTip());
                EXPECT_EQ(a[i]->isSeparator(), b[i]->isSeparator());
                EXPECT_EQ(a[i]->isEnabled(), b[i]->isEnabled()) << b[i]->objectName().toStdString();
                EXPECT_TRUE(a[i]->shortcuts().isEmpty()) << b[i]->objectName().toStdString();
                EXPECT_NE(a[i], b[i]);
                ASSERT_EQ(a[i]->menu() != nullptr, b[i]->menu() != nullptr);
                if (a[i]->menu())
                    compare(a[i]->menu(), b[i]->menu());
            }
        };
        compare(target->menu(), menus->menu(p.source));
    }

    // The copies run the commands and follow their registration.
    QAction* copiedDelete = nullptr;
    for (QAction* a : menus->menu("pmiDirCommands")->actions())
        if (a->text() == QStringLiteral("&Delete"))
            copiedDelete = a;
    ASSERT_NE(copiedDelete, nullptr);
    int runs = 0;
    menus->registerCommand("DeleteDir", [&] { ++runs; });
    copiedDelete->trigger();
    EXPECT_EQ(runs, 1);
    menus->unregisterCommand("DeleteDir");
    EXPECT_FALSE(copiedDelete->isEnabled());

    // The copies fire no keys: with the tree focused only the Directory menu's D runs.
    record({"DeleteDir"});
    focus(tree);
    EXPECT_EQ(press(tree, Qt::Key_D), std::vector<std::string>{"DeleteDir"});
}

TEST_F(MenuWindow, PopupKeysActOnlyInTheirWindow) {
    record({"MaxFileWin"});
    menus->bindPopupShortcuts("ListBoxPopupMenu", files);
    focus(files);
    EXPECT_EQ(press(files, Qt::Key_Return), std::vector<std::string>{"MaxFileWin"});
    EXPECT_EQ(press(files, Qt::Key_Enter), std::vector<std::string>{"MaxFileWin"});
    focus(tree);
    EXPECT_TRUE(press(tree, Qt::Key_Return).empty());
    EXPECT_EQ(menus->action("pmiFileMaxMinWin")->shortcut().toString(), QStringLiteral("Enter"));
}

TEST_F(MenuWindow, ChangedShortcutsTakeEffect) {
    record({"DeleteDir"});
    focus(tree);
    menus->table().find("miDeleteDir")->shortcut = TextToShortCut("Ctrl+Shift+D");
    menus->applyShortcuts();
    EXPECT_TRUE(press(tree, Qt::Key_D).empty());
    EXPECT_EQ(press(tree, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_D),
              std::vector<std::string>{"DeleteDir"});
    EXPECT_EQ(menus->shortcutOf("DeleteDir").toString(), QStringLiteral("Ctrl+Shift+D"));
}

TEST_F(MenuWindow, ASingleKeyGivenToAnItemOnEveryBarRestsWhileAnInputBoxHasTheFocus) {
    // The user gave a menu that stays on the bar in input boxes a plain letter.
    record({"QuitZentrix"});
    menus->table().find("miQuitZentrix")->shortcut = TextToShortCut("Q");
    menus->applyShortcuts();
    focus(fileSpec);
    EXPECT_TRUE(press(fileSpec, Qt::Key_Q).empty());
    EXPECT_EQ(fileSpec->currentText(), QStringLiteral("q"));
    focus(tree);
    EXPECT_EQ(press(tree, Qt::Key_Q), std::vector<std::string>{"QuitZentrix"});
    focus(fileSpec);
    EXPECT_TRUE(press(fileSpec, Qt::Key_Q).empty());
    EXPECT_EQ(fileSpec->currentText(), QStringLiteral("qq"));
}

TEST_F(MenuWindow, HoveredItemsShowTheirHint) {
    QSignalSpy hints(menus, &MainMenuBar::hintChanged);
    menus->action("miDeleteSingleFile")->hover();
    menus->action("miFileDispSmallIcons")->hover();
    ASSERT_EQ(hints.count(), 2);
    EXPECT_EQ(hints[0][0].toString(), QStringLiteral("Delete the current file ..."));
    EXPECT_EQ(hints[1][0].toString(), QString());

    QMenu* popup = menus->menu("DrivesPopupMenu");
    popup->popup(QPoint(10, 10));
    QApplication::processEvents();
    popup->hide();
    ASSERT_EQ(hints.count(), 3);
    EXPECT_EQ(hints[2][0].toString(), QString()); // the status line is cleared

    EXPECT_EQ(menus->commandButtonHint("miDeleteSingleFile"),
              QStringLiteral("Delete the current file ...\nShortcut: D"));
    EXPECT_EQ(menus->commandButtonHint("miVolProperties"),
              QStringLiteral("Show properties of the current disk ...\nShortcut: Ctrl+Alt+Enter"));
}

QAccessibleInterface* ChildNamed(QAccessibleInterface* parent, QObject* object) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (QAccessibleInterface* child = parent->child(i); child && child->object() == object)
            return child;
    return nullptr;
}

TEST_F(MenuWindow, AssistiveToolsReadCaptionsAndComponentNames) {
    menus->applyStartupCaptions();
    QMenu* logOptions = menus->menu("miVolLogOptions");
    EXPECT_EQ(logOptions->accessibleName(), QStringLiteral("Log options ..."));
    EXPECT_EQ(menus->menu("TreeViewPopupMenu")->accessibleName(), QStringLiteral("Directory tree"));

    QAccessibleInterface* menuIface = QAccessible::queryAccessibleInterface(logOptions);
    ASSERT_NE(menuIface, nullptr);
    QAccessibleInterface* disk = ChildNamed(menuIface, menus->action("miLogDisk"));
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->text(QAccessible::Name), QStringLiteral("Disk"));
    EXPECT_EQ(disk->text(QAccessible::Accelerator), QStringLiteral("L"));
    EXPECT_EQ(disk->role(), QAccessible::MenuItem);
    EXPECT_TRUE(disk->state().disabled); // LogDisk has no handler here

    QAccessibleInterface* branch = ChildNamed(menuIface, menus->action("miLogDirBranch"));
    ASSERT_NE(branch, nullptr);
    EXPECT_EQ(branch->text(QAccessible::Accelerator), QStringLiteral("Alt+B"));

    qputenv("ZENTRIX_A11Y_IDS", "1");
    EXPECT_EQ(disk->text(QAccessible::Description), QStringLiteral("miLogDisk"));
    qunsetenv("ZENTRIX_A11Y_IDS");
    EXPECT_EQ(
        disk->text(QAccessible::Description),
        QStringLiteral("Log another disk, keeping the disks which were previously logged ..."));

    // A submenu item leads to its menu, and pressing an item runs its command.
    QAccessibleInterface* volume = QAccessible::queryAccessibleInterface(menus->menu("miVolume"));
    QAccessibleInterface* options = ChildNamed(volume, menus->action("miVolLogOptions"));
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(options->childCount(), 1);
    EXPECT_EQ(options->child(0)->object(), logOptions);
    EXPECT_EQ(options->text(QAccessible::Name), QStringLiteral("Log options ..."));

    record({"LogDirBranch"});
    auto* actions = branch->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_EQ(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(ran, std::vector<std::string>{"LogDirBranch"});
}

TEST(MenuComponentIds, MenusNamedWhileIdsAreWantedCarryTheirComponentName) {
    EnsureApp();
    qputenv("ZENTRIX_A11Y_IDS", "1");
    QMainWindow window;
    MainMenuBar menus(&window);
    qunsetenv("ZENTRIX_A11Y_IDS");
    EXPECT_EQ(menus.menu("miFileTagg")->accessibleDescription(), QStringLiteral("miFileTagg"));
    EXPECT_EQ(menus.menu("miFileTagg")->accessibleName(), QStringLiteral("Tagged ..."));
    EXPECT_EQ(menus.bar()->accessibleDescription(), QStringLiteral("MainMenu"));
}

// The texts the menus show for the keys are the ones the shortcut texts use, and
// every key the stored form can name survives the trip through Qt.
TEST(ShortCutKeys, QtShowsAndReadsEveryNamedKeyAsStored) {
    EnsureApp();
    int named = 0;
    for (int key = 1; key < 256; ++key) {
        if (KeyName(static_cast<std::uint8_t>(key)).empty())
            continue;
        ++named;
        for (TShortCut mods : {TShortCut(0), scShift, scCtrl, scAlt, TShortCut(scCtrl | scShift),
                               TShortCut(scCtrl | scAlt | scShift)}) {
            const auto sc = static_cast<TShortCut>(mods | key);
            const QList<QKeySequence> sequences = KeySequencesOf(sc);
            ASSERT_FALSE(sequences.isEmpty()) << ShortCutToText(sc);
            EXPECT_EQ(sequences[0].toString(QKeySequence::PortableText).toStdString(),
                      ShortCutToText(sc));
            for (const QKeySequence& s : sequences)
                EXPECT_EQ(ShortCutOf(s[0]), sc) << ShortCutToText(sc);
        }
    }
    EXPECT_EQ(named, 26 + 10 + 24 + 10 + 5 + 27);
    EXPECT_TRUE(KeySequencesOf(0).isEmpty());
    EXPECT_EQ(ShortCutOf(QKeyCombination(Qt::MetaModifier, Qt::Key_A)), 0);
    EXPECT_EQ(ShortCutOf(QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab)), scShift | vk::Tab);
    EXPECT_EQ(ShortCutOf(QKeyCombination(Qt::Key_Launch0)), 0);
}

} // namespace
