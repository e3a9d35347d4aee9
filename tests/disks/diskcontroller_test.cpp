#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/diskcommands.h"
#include "catalogue/diskinfo.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "catalogue/treecommands.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "gui/disks/diskcontroller.h"
#include "gui/disks/tdiskinfopanel.h"
#include "gui/disks/tloggeddrivestabset.h"
#include "gui/disks/tzentrixdrives.h"
#include "gui/guitestapp.h"
#include "platform/drivetable.h"
#include "platform/volumecontrol.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <QAccessible>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// The window the controller's widgets live in, standing in for the main window.
class HostWindow : public QWidget, public CatalogueUi {
public:
    HostWindow() {
        auto* column = new QVBoxLayout(this);
        strip = new QWidget(this);
        stripLayout = new QHBoxLayout(strip);
        stripLayout->setContentsMargins(0, 0, 0, 0);
        column->addWidget(strip);
        tabsHolder = new QVBoxLayout;
        column->addLayout(tabsHolder);
        tree = new QLineEdit(this);
        tree->setObjectName("tree");
        column->addWidget(tree, 1);
        zen = new QStackedWidget(this);
        title = new QLabel("Zentrix", zen);
        zen->addWidget(title);
        column->addWidget(zen);
        resize(500, 400);
    }

    DiskController* disks = nullptr;
    QWidget* strip;
    QHBoxLayout* stripLayout;
    QVBoxLayout* tabsHolder;
    QLineEdit* tree;
    QStackedWidget* zen;
    QLabel* title;
    std::vector<std::string> calls;

    void focusTree() override {
        calls.push_back("focusTree");
        tree->setFocus();
    }
    void scrollIntoView(TTreeNode* node) override {
        calls.push_back("scroll:" + (node ? node->Path() : std::string("-")));
    }
    void repaintMainWindow() override { calls.push_back("repaint"); }
    void updateDiskInfo() override {
        if (disks)
            disks->UpdateDiskInfo();
    }
    void refreshDriveList() override {
        if (disks)
            disks->RebuildDriveList();
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
};

class DiskControllerTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    AppState state;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<LoggedDiskTabs> tabs;
    std::unique_ptr<HostWindow> host;
    std::unique_ptr<DiskLogger> logger;
    std::unique_ptr<TreeCommands> treeCommands;
    std::unique_ptr<PluginCalls> plugins;
    DiskController* disks = nullptr;
    std::vector<std::string> sounds;

    void SetUp() override {
        GuiApp();
        tmp.mkdir("plugins");
        ::setenv("ZENTRIX_PLUGIN_DIR", tmp.at("plugins").c_str(), 1);
        for (const char* d : {"c/x", "d/sub", "e", "f", "n"})
            tmp.mkdir(d);
        make("C=" + tmp.at("c") + "::SYSTEM;D=" + tmp.at("d") + "::Work;E=" + tmp.at("e") +
             ":cdrom:DISC;G=" + tmp.at("gone") + ";N=" + tmp.at("n") +
             ":network:PUB:dev=//srv/pub");
    }

    void make(const std::string& driveTable) {
        destroy();
        drives =
            std::make_unique<platform::DriveTable>(platform::DriveTable::FromSpec(driveTable, {}));
        cat = std::make_unique<Catalogue>(*drives);
        tabs = std::make_unique<LoggedDiskTabs>(state);
        host = std::make_unique<HostWindow>();
        logger = std::make_unique<DiskLogger>(*cat, state, settings, *tabs, prompter, *host);
        treeCommands =
            std::make_unique<TreeCommands>(*cat, state, settings, *logger, *tabs, prompter, *host);
        plugins = std::make_unique<PluginCalls>(prompter);
        disks = new DiskController(*cat, state, settings, *logger, *treeCommands, *tabs, prompter,
                                   *plugins, *drives, *host, host.get());
        host->disks = disks;
        host->stripLayout->addWidget(disks->lbDrives, 1);
        host->stripLayout->addWidget(new QToolButton(host->strip));
        host->tabsHolder->addWidget(disks->LoggedDrivesTabSet);
        host->layout()->addWidget(disks->DiskInfoPanel);
        disks->InstallPages(host->zen, host->title);
        disks->Commands().PlaySound = [this](const std::string& alias) {
            sounds.push_back(alias);
        };
        disks->Commands().MediumFsType = [](const platform::DriveInfo&) {
            return "CD001";
        };
        host->show();
        QApplication::setActiveWindow(host.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        state.currentDisk = 'C';
    }

    void destroy() {
        if (host)
            host->disks = nullptr;
        host.reset(); // the widgets first: they refer to everything below
        plugins.reset();
        treeCommands.reset();
        logger.reset();
        tabs.reset();
        cat.reset();
    }

    void TearDown() override {
        destroy();
        ::unsetenv("ZENTRIX_PLUGIN_DIR");
    }

    TZentrixDrives* list() { return disks->lbDrives; }
    TLoggedDrivesTabSet* tabSet() { return disks->LoggedDrivesTabSet; }
    std::string selected() { return cat->Tree().Selected() ? cat->Tree().Selected()->Path() : ""; }
    std::vector<QString> texts() {
        std::vector<QString> out;
        for (int i = 0; i < list()->Count(); ++i)
            out.push_back(list()->ItemText(i));
        return out;
    }
};

std::vector<QString> qs(std::initializer_list<const char*> items) {
    std::vector<QString> out;
    for (const char* s : items)
        out.push_back(QString::fromUtf8(s));
    return out;
}

} // namespace

// --- the logged-disk tabs --------------------------------------------------------------------

TEST_F(DiskControllerTest, TabsFollowTheLoggedDisksInLetterOrderWithTheirSizes) {
    logger->LogDrive('E');
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_EQ(tabSet()->count(), 3);
    EXPECT_EQ(tabSet()->tabText(0), "C");
    EXPECT_EQ(tabSet()->tabText(1), "D");
    EXPECT_EQ(tabSet()->tabText(2), "E");
    EXPECT_EQ(tabSet()->currentIndex(), 1);

    // The letter, in bold 22 pixels from the left, fits its tab whole, also in
    // a font taller than the tab's design height.
    for (int points : {9, 20}) {
        QFont font = tabSet()->font();
        font.setPointSize(points);
        tabSet()->setFont(font);
        QFont bold = font;
        bold.setBold(true);
        const QRect ink = QFontMetrics(bold).boundingRect("W");
        tabSet()->setTabText(0, "W");
        const QRect r = tabSet()->tabRect(0);
        EXPECT_GE(r.height(), std::max(22, QFontMetrics(bold).height())) << points;
        EXPECT_GT(r.width(), 22 + ink.right()) << points;
        tabSet()->setTabText(0, "C");
    }

    treeCommands->NextDisk();
    EXPECT_EQ(tabSet()->currentIndex(), 2);
    treeCommands->NextDisk(); // wraps
    EXPECT_EQ(tabSet()->currentIndex(), 0);
    EXPECT_EQ(state.currentDisk, 'C');

    settings.SkipReleaseDrvOption = true;
    ASSERT_TRUE(logger->ReleaseDrive('D'));
    EXPECT_EQ(tabSet()->count(), 2);
    EXPECT_EQ(tabSet()->tabText(1), "E");
}

TEST_F(DiskControllerTest, AClickOnATabGoesToTheRootAndTheTreeTakesTheFocus) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\sub\\"));
    cat->Tree().Select(cat->Tree().Top(0));
    ASSERT_EQ(tabSet()->currentIndex(), 0);
    bool fileWindowFocused = true;
    disks->fileWindowHasFocus = [&] {
        return fileWindowFocused;
    };
    disks->fileWindowMaximised = [] {
        return false;
    };
    state.refillRequested = false;
    host->calls.clear();

    QTest::mouseClick(tabSet(), Qt::LeftButton, {}, tabSet()->tabRect(1).center());
    EXPECT_EQ(selected(), "D:\\"); // the root, not the last directory
    EXPECT_EQ(tabs->ActiveLetter(), 'D');
    EXPECT_EQ(tabSet()->currentIndex(), 1);
    EXPECT_EQ(state.currentDisk, 'D');
    EXPECT_TRUE(state.refillRequested);
    EXPECT_EQ(host->count("focusTree"), 1);

    // With the file window maximised the focus stays where it is.
    disks->fileWindowMaximised = [] {
        return true;
    };
    host->calls.clear();
    QTest::mouseClick(tabSet(), Qt::LeftButton, {}, tabSet()->tabRect(0).center());
    EXPECT_EQ(selected(), "C:\\");
    EXPECT_EQ(host->count("focusTree"), 0);
}

TEST_F(DiskControllerTest, DraggingOverTheTabsShowsTheDisksWithoutDropping) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    int treePages = 0, linesDown = 0;
    disks->showTreePage = [&] {
        ++treePages;
    };
    disks->scrollTreeLineDown = [&] {
        ++linesDown;
    };
    host->calls.clear();
    disks->LoggedDrivesTabSetDragOver(0);
    EXPECT_EQ(tabs->ActiveLetter(), 'C');
    EXPECT_EQ(tabSet()->currentIndex(), 0);
    EXPECT_EQ(host->calls, (std::vector<std::string>{"scroll:C:\\"}));
    EXPECT_EQ(selected(), "D:\\"); // only the tab and the view move
    EXPECT_FALSE(state.driveSwitch);
    disks->LoggedDrivesTabSetDragOver(-1);
    EXPECT_EQ(linesDown, 1);
    EXPECT_EQ(treePages, 2);
}

TEST_F(DiskControllerTest, TheRightButtonOpensTheDiskPopupOrTheSystemMenu) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    QSignalSpy popup(disks, &DiskController::drivesPopupRequested);
    std::vector<TTreeNode*> shell;
    QObject::connect(disks, &DiskController::shellMenuRequested,
                     [&](TTreeNode* root, const QPoint&) { shell.push_back(root); });
    settings.ShowContextMenus = false;
    QTest::mousePress(tabSet(), Qt::RightButton, {}, tabSet()->tabRect(0).center());
    EXPECT_EQ(popup.count(), 1);
    EXPECT_EQ(tabs->ActiveLetter(), 'C'); // the target tab is activated for the popup
    EXPECT_EQ(selected(), "D:\\");

    QTest::mousePress(tabSet(), Qt::RightButton, Qt::ShiftModifier, tabSet()->tabRect(1).center());
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0], cat->Tree().Top(1));

    settings.Compatibility = 0;
    QTest::mousePress(tabSet(), Qt::RightButton, Qt::ShiftModifier, tabSet()->tabRect(1).center());
    EXPECT_EQ(shell.size(), 1u);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                    "Function not available in this compatibility mode.     "}));
}

TEST_F(DiskControllerTest, EachTabReportsItsLetterAndWhetherItIsActive) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    logger->LogDrive('E');
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabSet());
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->role(), QAccessible::PageTabList);
    ASSERT_EQ(bar->childCount(), 3);
    auto activeNames = [&] {
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface* tab = bar->child(i);
            EXPECT_EQ(tab->role(), QAccessible::PageTab);
            EXPECT_EQ(bar->indexOfChild(tab), i);
            if (tab->state().selected)
                names << tab->text(QAccessible::Name);
        }
        return names;
    };
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), "C");
    EXPECT_EQ(bar->child(2)->text(QAccessible::Name), "E");
    EXPECT_EQ(activeNames(), QStringList{"E"});
    EXPECT_EQ(bar->text(QAccessible::Value), "E");

    treeCommands->PrevDisk();
    EXPECT_EQ(activeNames(), QStringList{"D"});

    // The press action is a click: the disk's root.
    QAccessibleActionInterface* action = bar->child(0)->actionInterface();
    ASSERT_TRUE(action);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(selected(), "C:\\");
    EXPECT_EQ(activeNames(), QStringList{"C"});

    settings.SkipReleaseDrvOption = true;
    logger->ReleaseDrive('E');
    EXPECT_EQ(bar->childCount(), 2);
    EXPECT_FALSE(bar->child(2));
}

// --- the drive list ---------------------------------------------------------------------------

TEST_F(DiskControllerTest, TheListDropsDownOverTheWindowAndFoldsBack) {
    logger->LogDrive('C');
    EXPECT_EQ(texts(), qs({"C:", "D:", "E:", "G:", "N:"}));
    EXPECT_EQ(list()->SelectedLetter(), 'C');
    const int h = list()->ItemHeight();
    EXPECT_GE(h, 18);
    EXPECT_EQ(list()->height(), h + 2);
    const int foldedWidth = list()->width();

    disks->LogDisk();
    EXPECT_TRUE(list()->DroppedDown());
    EXPECT_TRUE(disks->DirPagesLocked());
    EXPECT_EQ(texts(), qs({"C: [SYSTEM]", "D: [WORK]", "E: [DISC]", "G: []", "N: //SRV/PUB"}));
    int widest = 0;
    for (const QString& t : texts())
        widest = std::max(widest, list()->fontMetrics().horizontalAdvance(t + "w"));
    EXPECT_EQ(list()->width(), widest + 16 + 6);
    EXPECT_EQ(list()->height(), 5 * h + 4);
    EXPECT_EQ(list()->parentWidget(), host.get()); // lies over the windows below the strip
    EXPECT_TRUE(list()->hasFocus());

    QTest::keyClick(list(), Qt::Key_Down); // moves without choosing
    EXPECT_EQ(list()->SelectedLetter(), 'D');
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(cat->Tree().TopCount(), 1);

    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(list()->DroppedDown());
    EXPECT_FALSE(disks->DirPagesLocked());
    EXPECT_EQ(list()->SelectedLetter(), 'C'); // back to the current disk
    EXPECT_EQ(texts(), qs({"C:", "D:", "E:", "G:", "N:"}));
    EXPECT_EQ(list()->parentWidget(), host->strip);
    QApplication::processEvents();
    EXPECT_EQ(list()->height(), h + 2);
    EXPECT_EQ(list()->width(), foldedWidth);
    EXPECT_TRUE(host->tree->hasFocus());
}

TEST_F(DiskControllerTest, TypingALetterChoosesOnlyADriveThatExists) {
    logger->LogDrive('C');
    disks->LogDisk();
    QTest::keyClick(list(), Qt::Key_Q); // no drive Q: nothing at all
    EXPECT_TRUE(list()->DroppedDown());
    EXPECT_TRUE(prompter.shown().empty());

    QTest::keyClick(list(), Qt::Key_D, Qt::NoModifier);
    EXPECT_FALSE(list()->DroppedDown());
    EXPECT_NE(logger->FindNodeByPath("D:\\"), nullptr);
    EXPECT_EQ(state.currentDisk, 'D');
    EXPECT_EQ(list()->SelectedLetter(), 'D');
    EXPECT_TRUE(state.refillRequested);
    EXPECT_TRUE(host->tree->hasFocus());
}

TEST_F(DiskControllerTest, ADriveThatIsNotReadyAsksAndCancelReturnsToTheCurrentDisk) {
    logger->LogDrive('C');
    disks->LogDisk();
    prompter.answer(true).answer(false); // Retry, Cancel
    QTest::keyClick(list(), Qt::Key_G);
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Disk not ready!     ", "Disk not ready!     "}));
    EXPECT_EQ(prompter.shown()[0].caption, "Warning!");
    EXPECT_FALSE(list()->DroppedDown());
    EXPECT_EQ(list()->SelectedLetter(), 'C');
    EXPECT_EQ(cat->Tree().TopCount(), 1);
    EXPECT_EQ(state.currentDisk, 'C');
    EXPECT_TRUE(host->tree->hasFocus());
}

TEST_F(DiskControllerTest, EnterAndClicksChooseArrowsDoNot) {
    logger->LogDrive('C');
    // A click on the folded list drops it down.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(list()->DroppedDown());
    QTest::keyClick(list(), Qt::Key_End);
    QTest::keyClick(list(), Qt::Key_Up);
    QTest::keyClick(list(), Qt::Key_Up);
    EXPECT_EQ(list()->SelectedLetter(), 'E');
    EXPECT_FALSE(list()->KeyboardChoice());
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_TRUE(list()->KeyboardChoice());
    EXPECT_EQ(state.currentDisk, 'E');
    EXPECT_FALSE(list()->DroppedDown());

    // A mouse click on an entry of the dropped list chooses it.
    disks->sbDrivesDownClick();
    ASSERT_TRUE(list()->DroppedDown());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->ItemRect(1).center()); // D
    EXPECT_EQ(state.currentDisk, 'D');
    EXPECT_FALSE(list()->DroppedDown());

    // The drop-down button folds an open list back to the current disk.
    disks->sbDrivesDownClick();
    QTest::keyClick(list(), Qt::Key_Home);
    disks->sbDrivesDownClick();
    EXPECT_FALSE(list()->DroppedDown());
    EXPECT_EQ(list()->SelectedLetter(), 'D');
}

TEST_F(DiskControllerTest, LeavingTheDroppedListFoldsIt) {
    logger->LogDrive('C');
    QSignalSpy entered(disks, &DiskController::lbDrivesEntered);
    disks->LogDisk();
    EXPECT_EQ(entered.count(), 1);
    QTest::keyClick(list(), Qt::Key_Down);
    host->tree->setFocus();
    EXPECT_FALSE(list()->DroppedDown());
    EXPECT_EQ(list()->SelectedLetter(), 'C');
}

TEST_F(DiskControllerTest, TheDropDownButtonRestoresAMaximisedFileWindowFirst) {
    logger->LogDrive('C');
    int restored = 0, refilledNow = 0;
    disks->fileWindowMaximised = [&] {
        return restored == 0;
    };
    disks->restoreFileWindow = [&] {
        ++restored;
    };
    disks->refillNow = [&] {
        ++refilledNow;
    };
    state.scope = 3;
    disks->sbDrivesDownClick();
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(state.scope, 1);
    EXPECT_EQ(refilledNow, 1);
    EXPECT_TRUE(list()->DroppedDown());
}

TEST_F(DiskControllerTest, EachDriveEntryReportsItsTextAndSelection) {
    logger->LogDrive('C');
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list());
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::List);
    EXPECT_EQ(iface->text(QAccessible::Name), "Drives");
    ASSERT_EQ(iface->childCount(), list()->Count());
    auto selectedNames = [&] {
        QStringList names;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* item = iface->child(i);
            EXPECT_EQ(item->role(), QAccessible::ListItem);
            EXPECT_EQ(item->text(QAccessible::Name), list()->ItemText(i));
            EXPECT_EQ(iface->indexOfChild(item), i);
            if (item->state().selected)
                names << item->text(QAccessible::Name);
        }
        return names;
    };
    EXPECT_EQ(selectedNames(), QStringList{"C:"});

    disks->LogDisk();
    EXPECT_EQ(iface->childCount(), 5);
    EXPECT_EQ(selectedNames(), QStringList{"C: [SYSTEM]"});
    EXPECT_TRUE(iface->child(0)->state().focused);
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(selectedNames(), QStringList{"D: [WORK]"});
    EXPECT_EQ(iface->text(QAccessible::Value), "D: [WORK]");
    EXPECT_FALSE(iface->child(0)->state().focused);
    EXPECT_TRUE(iface->child(1)->state().focused);

    // Pressing an entry chooses it, as a click does.
    iface->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(state.currentDisk, 'E');
    EXPECT_EQ(selectedNames(), QStringList{"E:"});
}

// --- the disk information panel and the volume commands -------------------------------------

TEST_F(DiskControllerTest, ThePanelShowsTheCurrentDisk) {
    logger->LogDrive('D');
    TDiskInfoPanel* panel = disks->DiskInfoPanel;
    const DiskPanelInfo& info = logger->DiskInfo();
    EXPECT_EQ(panel->VolumeLabel->text(), "Work");
    EXPECT_EQ(panel->lbDiskType->text(), "Fixed disk");
    EXPECT_EQ(panel->DriveCapacityLabel->text().toStdString(), info.capacityText);
    EXPECT_EQ(panel->AvailableBytesLabel->text().toStdString(), info.freeText);
    EXPECT_TRUE(panel->DriveCapacityLabel->text().endsWith(" Kb") ||
                panel->DriveCapacityLabel->text().endsWith(" Mb"));
    EXPECT_EQ(panel->DrvSpaceGauge->value(), info.gaugePercent);
    EXPECT_FALSE(panel->btnDiskImage->icon().isNull());

    logger->LogDrive('E');
    EXPECT_EQ(panel->VolumeLabel->text(), "DISC");
    EXPECT_EQ(panel->lbDiskType->text(), "CD-ROM disk");

    // The picture button asks the disk information library, which is not there.
    QTest::mouseClick(panel->btnDiskImage, Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Zentrix plugin Utils.so not found."}));
}

TEST_F(DiskControllerTest, ACdRomLabelCannotBeChanged) {
    logger->LogDrive('E');
    QTest::mouseClick(disks->DiskInfoPanel->VolumeLabel, Qt::LeftButton);
    EXPECT_EQ(
        prompter.texts(),
        (std::vector<std::string>{"Cannot change volume name! (Disk type is CD-ROM type!)     "}));
    EXPECT_EQ(host->zen->currentWidget(), host->title);
    disks->DiskSerialNumber();
    EXPECT_EQ(prompter.texts().back(), "Cannot change serial number! (Disk type is CD-ROM !)     ");
    EXPECT_EQ(host->zen->currentWidget(), host->title);
}

TEST_F(DiskControllerTest, LabelAndSerialPagesWriteARealFatMedium) {
    if (std::system("PATH=$PATH:/usr/sbin:/sbin command -v mkfs.vfat >/dev/null && "
                    "PATH=$PATH:/usr/sbin:/sbin command -v fatlabel >/dev/null") != 0)
        GTEST_SKIP() << "dosfstools is not installed";
    const std::string image = tmp.at("floppy.img");
    ASSERT_EQ(std::system(("PATH=$PATH:/usr/sbin:/sbin mkfs.vfat -C -i 2EDD72D6 " + image +
                           " 1440 >/dev/null")
                              .c_str()),
              0);
    make("C=" + tmp.at("c") + ";F=" + tmp.at("f") + ":floppy::dev=" + image);
    logger->LogDrive('F');
    EXPECT_EQ(disks->DiskInfoPanel->VolumeLabel->text(), "None");

    // The label page: opened by a click on the label, confirmed with Enter.
    QTest::mouseClick(disks->DiskInfoPanel->VolumeLabel, Qt::LeftButton);
    ASSERT_EQ(host->zen->currentWidget(), disks->ts_DC_VolumeLabel);
    EXPECT_TRUE(disks->VolumeLabelEdit->hasFocus());
    disks->VolumeLabelEdit->setText("ZENDISK");
    QTest::keyClick(disks->VolumeLabelEdit, Qt::Key_Return);
    EXPECT_EQ(platform::ReadMediumRecord(image)->label, "ZENDISK");
    EXPECT_EQ(disks->DiskInfoPanel->VolumeLabel->text(), "ZENDISK");
    EXPECT_EQ(host->zen->currentWidget(), host->title);
    EXPECT_TRUE(host->tree->hasFocus());

    // A label that begins with "-" is a label, not an option of the tool.
    QTest::mouseClick(disks->DiskInfoPanel->VolumeLabel, Qt::LeftButton);
    disks->VolumeLabelEdit->setText("-R");
    QTest::keyClick(disks->VolumeLabelEdit, Qt::Key_Return);
    EXPECT_EQ(platform::ReadMediumRecord(image)->label, "-R");
    EXPECT_EQ(prompter.beeps(), 0);
    QTest::mouseClick(disks->DiskInfoPanel->VolumeLabel, Qt::LeftButton);
    disks->VolumeLabelEdit->setText("ZENDISK");
    QTest::keyClick(disks->VolumeLabelEdit, Qt::Key_Return);
    EXPECT_EQ(platform::ReadMediumRecord(image)->label, "ZENDISK");

    // The serial page: the medium's number, an input mask, an incomplete entry refused.
    disks->DiskSerialNumber();
    ASSERT_EQ(host->zen->currentWidget(), disks->ts_DC_SerialNum);
    EXPECT_EQ(disks->SerNumberEdit->text(), "2EDD-72D6");
    disks->SerNumberEdit->clear();
    EXPECT_EQ(disks->SerNumberEdit->displayText(), "    -    ");
    QTest::keyClicks(disks->SerNumberEdit, "12ab3");
    QTest::mouseClick(disks->bbSerNumOK, Qt::LeftButton);
    EXPECT_EQ(host->zen->currentWidget(), disks->ts_DC_SerialNum); // stays open
    EXPECT_TRUE(disks->SerNumberEdit->hasFocus());
    EXPECT_EQ(sounds, (std::vector<std::string>{settings.ChosenSound}));
    EXPECT_EQ(platform::ReadMediumRecord(image)->serial, 0x2EDD72D6u);

    QTest::keyClicks(disks->SerNumberEdit, "4cd");
    EXPECT_EQ(disks->SerNumberEdit->text(), "12ab-34cd");
    QTest::mouseClick(disks->bbSerNumOK, Qt::LeftButton);
    EXPECT_EQ(platform::ReadMediumRecord(image)->serial, 0x12AB34CDu);
    EXPECT_EQ(host->zen->currentWidget(), host->title);
    EXPECT_EQ(prompter.beeps(), 0);

    // Escape leaves a page without writing.
    disks->DiskVolumeName();
    ASSERT_EQ(host->zen->currentWidget(), disks->ts_DC_VolumeLabel);
    disks->VolumeLabelEdit->setText("OTHER");
    QTest::keyClick(disks->VolumeLabelEdit, Qt::Key_Escape);
    EXPECT_EQ(host->zen->currentWidget(), host->title);
    EXPECT_EQ(platform::ReadMediumRecord(image)->label, "ZENDISK");
}

// The disk the system runs from is mounted by its identifier: its serial number
// is refused before the page opens, and nothing is written.
TEST_F(DiskControllerTest, TheSerialNumberOfTheSystemDiskIsRefused) {
    struct stat root {};
    ASSERT_EQ(::stat("/", &root), 0);
    std::string rootDevice;
    for (const auto& entry : platform::DriveTable::ReadMountTable()) {
        struct stat st {};
        if (entry.source.rfind("/dev/", 0) == 0 && ::stat(entry.source.c_str(), &st) == 0 &&
            S_ISBLK(st.st_mode) && st.st_rdev == root.st_dev)
            rootDevice = entry.source;
    }
    if (rootDevice.empty())
        GTEST_SKIP() << "the root file system has no block device here";
    make("C=" + tmp.at("c") + ";F=" + tmp.at("f") + ":floppy::dev=" + rootDevice);
    logger->LogDrive('F');
    disks->DiskSerialNumber();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "Cannot change serial number! (The system runs from this disk!)     "}));
    EXPECT_EQ(host->zen->currentWidget(), host->title);
}

TEST_F(DiskControllerTest, ALabelThatCannotBeWrittenBeeps) {
    logger->LogDrive('D');
    disks->DiskVolumeName();
    ASSERT_EQ(host->zen->currentWidget(), disks->ts_DC_VolumeLabel);
    EXPECT_EQ(disks->VolumeLabelEdit->text(), "Work");
    disks->VolumeLabelEdit->setText("Other");
    disks->bbVolLabOKClick();
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(disks->DiskInfoPanel->VolumeLabel->text(), "Work");
    EXPECT_EQ(host->zen->currentWidget(), host->title);
    EXPECT_TRUE(host->tree->hasFocus());
}
