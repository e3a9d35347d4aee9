#include "config/controlstate.h"
#include "config/tenhinifile.h"
#include "controlstestenv.h"
#include "gui/controls/tenhheadercontrol.h"
#include "gui/controls/tmrufilelist.h"
#include "gui/controls/tplacement.h"
#include "gui/controls/tsplitcontrol.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace zentrix {
namespace {

TEnhIniFile programStore() {
    return TEnhIniFile(StoreNameFor(""));
}

class PlacementTest : public ::testing::Test {
protected:
    test::FreshSettings settings;
    QWidget window;
    TPlacement placement;
    void SetUp() override { window.setObjectName("MainForm"); }
};

TEST_F(PlacementTest, NothingStoredGivesTheDefaultRectangle) {
    placement.Restore(&window);
    EXPECT_EQ(window.geometry(), QRect(0, 0, 630, 470));
    EXPECT_EQ(window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), 0);
}

TEST_F(PlacementTest, StoredStatesRestoreMaximisedOrMinimised) {
    {
        TEnhIniFile store = programStore();
        store.WriteInteger("MainForm", "PlaceWindowX", 20);
        store.WriteInteger("MainForm", "PlaceWindowY", 30);
        store.WriteInteger("MainForm", "PlaceWindowHeight", 500);
        store.WriteInteger("MainForm", "PlaceWindowState", 1);
    }
    placement.Restore(&window);
    EXPECT_EQ(window.normalGeometry().size(), QSize(630, 500)); // no width stored
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);

    programStore().WriteInteger("MainForm", "PlaceWindowState", 2);
    QWidget other;
    other.setObjectName("MainForm");
    placement.Restore(&other);
    EXPECT_TRUE(other.windowState() & Qt::WindowMinimized);
}

TEST_F(PlacementTest, SavedPlacementComesBackAndAWindowOffTheScreensIsBroughtBack) {
    window.setGeometry(40, 50, 700, 520);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(placement.Save(&window));
    {
        const TEnhIniFile store = programStore();
        EXPECT_EQ(store.ReadInteger("MainForm", "PlaceWindowWidth", 0), 700);
        EXPECT_EQ(store.ReadInteger("MainForm", "PlaceWindowState", -1), 0);
    }
    QWidget next;
    next.setObjectName("MainForm");
    placement.Restore(&next);
    EXPECT_EQ(next.geometry(), window.normalGeometry());

    programStore().WriteInteger("MainForm", "PlaceWindowX", 100000);
    QWidget lost;
    lost.setObjectName("MainForm");
    placement.Restore(&lost);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(lost.geometry()));
    EXPECT_EQ(lost.width(), 700);

    TPlacement named;
    named.Section = "OtherForm";
    EXPECT_TRUE(named.Save(&window));
    EXPECT_TRUE(programStore().ValueExists("OtherForm", "PlaceWindowX"));
    EXPECT_FALSE(placement.Save(nullptr));
}

TEST(HeaderAndSplitter, WidthsAndSizesSurviveARestart) {
    test::FreshSettings settings;
    QStandardItemModel model(1, 3);
    {
        TEnhHeaderControl header;
        header.setObjectName("FileHeader");
        header.setModel(&model);
        header.resizeSection(0, 150);
        header.resizeSection(1, 60);
        header.resizeSection(2, 1000);
        header.SaveWidths();
    }
    TEnhHeaderControl header;
    header.setObjectName("FileHeader");
    header.setModel(&model);
    header.RestoreWidths();
    EXPECT_EQ(header.sectionSize(0), 150);
    EXPECT_EQ(header.sectionSize(1), 60);
    EXPECT_EQ(header.sectionSize(2), 1000);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* splitter = new QSplitter(Qt::Vertical, &window);
    splitter->setObjectName("scHorizontal");
    auto* tree = new QWidget;
    tree->setObjectName("pnMainTreeView");
    splitter->addWidget(tree);
    splitter->addWidget(new QWidget);
    layout->addWidget(splitter);
    window.resize(400, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    TSplitControl control(splitter, tree);
    EXPECT_TRUE(control.HorizontalBar());
    control.SetTargetSize(150);
    EXPECT_EQ(control.TargetSize(), 150);
    control.Save();
    EXPECT_EQ(programStore().ReadInteger("scHorizontal", "pnMainTreeViewHeight", 0), 150);

    control.SetTargetSize(300);
    control.Restore();
    EXPECT_EQ(control.TargetSize(), 150);
    EXPECT_EQ(splitter->sizes().at(0) + splitter->sizes().at(1),
              splitter->height() - splitter->handleWidth());
}

class MruTest : public ::testing::Test {
protected:
    test::FreshSettings settings;
    QMenu menu{"Zentrix"};
    QAction* options = menu.addAction("&Options ...");
    QAction* separator = menu.addSeparator();
    QAction* exitItem = menu.addAction("E&xit");
    QStringList clicked;

    void configure(TMRUFileList& dirs) {
        dirs.setMaximum(20);
        dirs.RemoveOnClick = false;
        dirs.setAutoSaveName("\\Software\\Morvane\\Zentrix");
        dirs.setAutoSaveKey("MRU Directories");
        dirs.attachTo(&menu, separator, [this](const QString& dir) { clicked << dir; });
    }
};

TEST_F(MruTest, EntriesAppearBeforeTheInsertionItemInListOrder) {
    TMRUFileList dirs;
    dirs.MaxCaptionWidth = 0;
    configure(dirs);
    EXPECT_EQ(menu.actions().size(), 3); // nothing listed: nothing added

    dirs.Add("C:\\A\\");
    dirs.Add("C:\\B&C\\");
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[0], options);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "&1 C:\\A\\");
    EXPECT_EQ(actions[3]->text(), "&2 C:\\B&&C\\");
    EXPECT_EQ(actions[4], separator);
    EXPECT_EQ(actions[5], exitItem);

    dirs.Add("C:\\A\\");
    EXPECT_EQ(dirs.Items(), (QStringList{"C:\\B&C\\", "C:\\A\\"}));
    EXPECT_EQ(dirs.EntryActions().at(0)->text(), "&1 C:\\B&&C\\");
    EXPECT_EQ(menu.actions().size(), 6);

    dirs.EntryActions().at(1)->trigger();
    EXPECT_EQ(clicked, QStringList{"C:\\A\\"});
    EXPECT_EQ(dirs.Items().size(), 2); // RemoveOnClick is off for directories
}

TEST_F(MruTest, TwentyFirstDropsTheOldestAndTheListSurvivesARestart) {
    {
        TMRUFileList dirs;
        configure(dirs);
        for (int i = 1; i <= 21; ++i)
            dirs.Add(QString("C:\\DIR%1\\").arg(i));
        EXPECT_EQ(dirs.Items().size(), 20);
        EXPECT_EQ(dirs.Items().first(), "C:\\DIR2\\");
    }
    // The items went with the list.
    EXPECT_EQ(menu.actions().size(), 3);
    {
        const TEnhIniFile store = programStore();
        EXPECT_EQ(store.ReadString("\\Software\\Morvane\\Zentrix\\MRU Directories", "F19", ""),
                  "C:\\DIR21\\");
    }
    TMRUFileList again;
    configure(again);
    EXPECT_EQ(again.Items().size(), 20);
    EXPECT_EQ(again.Items().last(), "C:\\DIR21\\");
    EXPECT_EQ(again.EntryActions().size(), 20);
    // Shortened captions keep the full path where it can be read.
    for (QAction* action : again.EntryActions())
        EXPECT_TRUE(action->toolTip().startsWith("C:\\DIR"));
}

TEST_F(MruTest, RemoveOnClickSubmenuAndCaptionWidth) {
    QMenu reopen("&Reopen");
    reopen.addAction("Something");
    QAction* reopenItem = menu.insertMenu(exitItem, &reopen);
    TMRUFileList files;
    files.AutoSave = false;
    files.UseSubmenu = true;
    files.MaxCaptionWidth = 120;
    files.attachTo(&menu, reopenItem, [this](const QString& f) { clicked << f; });
    const QString longPath =
        "C:\\A VERY LONG DIRECTORY NAME\\ANOTHER LONG ONE\\AND ONE MORE\\FILE.TXT";
    files.Add(longPath);
    files.Add("C:\\SHORT.TXT");

    // The insertion item has children: the entries go after them, here in a submenu.
    ASSERT_EQ(reopen.actions().size(), 3);
    EXPECT_TRUE(reopen.actions()[1]->isSeparator());
    QMenu* submenu = reopen.actions()[2]->menu();
    ASSERT_TRUE(submenu);
    EXPECT_EQ(submenu->title(), "Reopen");
    ASSERT_EQ(submenu->actions().size(), 2);
    const QString shown = submenu->actions()[0]->text();
    EXPECT_TRUE(shown.startsWith("C:\\...\\")) << shown.toStdString();
    EXPECT_LE(submenu->fontMetrics().horizontalAdvance(shown), 120);
    EXPECT_EQ(submenu->actions()[1]->text(), "C:\\SHORT.TXT");

    submenu->actions()[0]->trigger();
    EXPECT_EQ(clicked, QStringList{longPath});
    EXPECT_EQ(files.Items(), QStringList{"C:\\SHORT.TXT"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(files.EntryActions().size(), 1);
    EXPECT_FALSE(programStore().SectionExists("\\Software\\My Application\\MRU Items"));
}

} // namespace
} // namespace zentrix
