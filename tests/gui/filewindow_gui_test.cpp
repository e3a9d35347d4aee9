#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "gui/filewindow/a11yname.h"
#include "gui/filewindow/fileheader.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "platform/drivetable.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

Q_DECLARE_METATYPE(zentrix::FileCommand)

namespace zentrix::test {
namespace {

QApplication& app() {
    if (!qApp) {
        static int argc = 1;
        static char name[] = "test_gui";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

class FileWindowGui : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    AppState state;
    Settings settings;
    std::unique_ptr<LoggedDiskTabs> tabs;
    ScriptedPrompter prompter;
    CatalogueUi catUi;
    std::unique_ptr<DiskLogger> logger;
    NullProgress progress;
    std::unique_ptr<QWidget> window;
    QWidget* tree = nullptr;
    QLabel* label = nullptr;
    FileWindowController* controller = nullptr;
    TVirtualListBox* list = nullptr;

    void SetUp() override {
        app();
        qRegisterMetaType<zentrix::FileCommand>();
        for (int i = 0; i < 400; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%c%03d.txt", 'a' + i % 5, i);
            dir.write(name, std::string(static_cast<size_t>(i), 'x'));
        }
        dir.write("sub/one.txt");
        drives = std::make_unique<platform::DriveTable>(
            platform::DriveTable::FromSpec("D=" + dir.path(), {}));
        cat = std::make_unique<Catalogue>(*drives);
        tabs = std::make_unique<LoggedDiskTabs>(state);
        logger = std::make_unique<DiskLogger>(*cat, state, settings, *tabs, prompter, catUi);
        logger->LogDrive('D');
        cat->Tree().Select(logger->FindNodeByPath("D:\\"));

        window = std::make_unique<QWidget>();
        auto* layout = new QHBoxLayout(window.get());
        tree = new QWidget(window.get());
        tree->setFocusPolicy(Qt::StrongFocus);
        tree->setObjectName("tree");
        layout->addWidget(tree);
        label = new QLabel(window.get());
        layout->addWidget(label);
        controller = new FileWindowController(*cat, state, settings, prompter, progress, *logger,
                                              window.get());
        controller->setTreeWidget(tree);
        controller->setCurrDirLabelWidget(label);
        layout->addWidget(controller->listPanel(), 1);
        layout->addWidget(controller->statisticsPanel());
        list = controller->MainListBox;
        window->resize(900, 400);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        fill();
        list->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { window.reset(); }

    void fill() {
        state.refillRequested = false;
        controller->FillMainListBox();
        QApplication::processEvents();
    }
    QPoint rowCentre(int index) { return list->itemRect(index).center() + QPoint(0, 0); }
    /// The indexes drawn by one repaint.
    std::set<int> drawnIndexes() {
        std::set<int> drawn;
        auto original = list->OnDrawItem;
        list->OnDrawItem = [&](QPainter& p, int i, const QRect& r, bool c) {
            drawn.insert(i);
            original(p, i, r, c);
        };
        list->viewport()->repaint();
        list->OnDrawItem = original;
        return drawn;
    }
};

TEST_F(FileWindowGui, OnlyVisibleRowsAreDrawn) {
    ASSERT_EQ(list->count(), 400);
    ASSERT_GT(list->visibleRows(), 3);
    ASSERT_LT(list->visibleRows(), 60);
    std::set<int> drawn = drawnIndexes();
    EXPECT_EQ(static_cast<int>(drawn.size()), list->visibleRows());
    EXPECT_EQ(*drawn.begin(), 0);
    list->setTopIndex(250);
    drawn = drawnIndexes();
    EXPECT_EQ(*drawn.begin(), 250);
    EXPECT_EQ(*drawn.rbegin(), 250 + list->visibleRows() - 1);
    EXPECT_EQ(list->lastPaintedRows(), list->visibleRows());

    // Column formats flow through the columns; still only what shows is drawn.
    controller->miFileDisp5ColClick();
    fill();
    EXPECT_EQ(list->columns(), 5);
    EXPECT_FALSE(controller->fileHeader()->isVisible());
    drawn = drawnIndexes();
    EXPECT_LE(static_cast<int>(drawn.size()), list->rowsPerColumn() * 6);
    EXPECT_EQ(list->indexAt(list->itemRect(list->rowsPerColumn()).center()), list->rowsPerColumn());
}

TEST_F(FileWindowGui, KeysMoveSearchAndRunCommands) {
    QSignalSpy commands(controller, &FileWindowController::commandRequested);
    QSignalSpy maximized(controller, &FileWindowController::maximizedChanged);
    QSignalSpy popup(controller, &FileWindowController::popupMenuRequested);
    ASSERT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(controller->model().Current(), 1);
    EXPECT_EQ(list->currentIndex(), 1);
    QTest::keyClick(list, Qt::Key_C, Qt::ShiftModifier);
    EXPECT_EQ(controller->model().Text(controller->model().Current()).substr(0, 1), "c");
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(controller->model().Current(), 399);
    EXPECT_TRUE(list->isItemVisible(399));

    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(maximized.count(), 1);
    EXPECT_TRUE(maximized.last().at(0).toBool());
    QTest::keyClick(list, Qt::Key_Asterisk, Qt::KeypadModifier);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).value<FileCommand>(), FileCommand::ToggleFileTags);
    EXPECT_EQ(commands.at(1).at(0).value<FileCommand>(), FileCommand::Delete);
    QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(popup.count(), 1);
    EXPECT_EQ(popup.last().at(0).toPoint(), list->mapToGlobal(QPoint(5, 5)));

    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_TRUE(tree->hasFocus());
    EXPECT_FALSE(maximized.last().at(0).toBool());
}

TEST_F(FileWindowGui, HeldArrowAcceleratesUntilReleased) {
    auto pressRepeat = [this](bool autoRepeat) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(list, &press);
    };
    pressRepeat(false);
    for (int i = 1; i < 25; ++i) {
        QKeyEvent rel(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(list, &rel); // repeats bring releases that do not count
        pressRepeat(true);
    }
    // 20 single steps, then 5 of two.
    EXPECT_EQ(controller->model().Current(), 30);
    QTest::keyRelease(list, Qt::Key_Down);
    EXPECT_EQ(controller->model().RepeatCount(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(controller->model().Current(), 31);
}

TEST_F(FileWindowGui, MouseTagsAndMenus) {
    QSignalSpy popup(controller, &FileWindowController::popupMenuRequested);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(5));
    EXPECT_EQ(controller->model().Current(), 5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(2));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(controller->model().Record(i)->Tagged(), i >= 2 && i <= 5) << i;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(3));
    EXPECT_FALSE(controller->model().Record(3)->Tagged());
    EXPECT_EQ(controller->statisticsPanel()->TaggedFilesLabel->text(), "3");

    // A double click comes after the press of its first click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(7));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(7));
    EXPECT_TRUE(controller->model().Record(7)->Tagged());

    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCentre(1));
    EXPECT_EQ(controller->model().Current(), 1);
    ASSERT_EQ(popup.count(), 1);
    EXPECT_EQ(popup.last().at(0).toPoint(), list->viewport()->mapToGlobal(rowCentre(1)));
    QSignalSpy shell(controller, &FileWindowController::shellContextMenuRequested);
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::ShiftModifier, rowCentre(2));
    ASSERT_EQ(shell.count(), 1);
    EXPECT_EQ(shell.last().at(0).toString().toStdString(),
              controller->model().Record(2)->FullName());
}

TEST_F(FileWindowGui, TaggedRowsAreRedAlsoWhenCurrent) {
    controller->model().InvertTag(0); // the current row
    controller->model().InvertTag(2);
    const QImage image = list->viewport()->grab().toImage();
    auto hasRed = [&](int index) {
        const QRect r = list->itemRect(index).intersected(list->viewport()->rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x * image.width() / list->viewport()->width(),
                                                  y * image.height() / list->viewport()->height());
                if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(hasRed(0));
    EXPECT_FALSE(hasRed(1));
    EXPECT_TRUE(hasRed(2));
}

TEST_F(FileWindowGui, HeaderSortsAndKeepsItsLimits) {
    FileHeader* header = controller->fileHeader();
    header->resizeSection(0, 10);
    EXPECT_EQ(header->sectionSize(0), 65);
    header->resizeSection(0, 900);
    EXPECT_EQ(header->sectionSize(0), 500);
    header->resizeSection(1, 80);
    EXPECT_EQ(header->sectionSize(1), 30);

    const int x = header->sectionViewportPosition(2) + 5;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(controller->model().SortKey(), 2);
    EXPECT_EQ(controller->model().Text(0), "a000.txt"); // the smallest
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_TRUE(controller->model().SortReversed());
    EXPECT_EQ(controller->model().Text(0), "e399.txt");
}

TEST_F(FileWindowGui, AccessibleRows) {
    controller->model().InvertTag(1);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::List);
    EXPECT_EQ(iface->childCount(), list->visibleRows());
    QAccessibleInterface* first = iface->child(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::ListItem);
    EXPECT_EQ(first->text(QAccessible::Name).toStdString(), controller->model().Text(0));
    EXPECT_TRUE(first->state().selected);
    EXPECT_FALSE(first->state().checked);
    QAccessibleInterface* second = iface->child(1);
    EXPECT_TRUE(second->state().checked);
    EXPECT_FALSE(second->state().selected);
    EXPECT_TRUE(second->text(QAccessible::Description).contains(" bytes, "))
        << second->text(QAccessible::Description).toStdString();
    EXPECT_EQ(iface->indexOfChild(second), 1);
    EXPECT_EQ(iface->focusChild(), first);

    list->setTopIndex(100);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name).toStdString(),
              controller->model().Text(100));
}

TEST_F(FileWindowGui, SpecificationBoxAppliesWhenLeft) {
    QComboBox* box = controller->statisticsPanel()->FileSpecBox();
    box->setFocus();
    QApplication::processEvents();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), " c*.txt ");
    tree->setFocus(); // leaving the box applies the text
    QApplication::processEvents();
    EXPECT_EQ(controller->model().FileSpec(), "C*.TXT");
    EXPECT_EQ(box->currentText(), "C*.TXT");
    EXPECT_TRUE(state.refillRequested);
    EXPECT_TRUE(tree->hasFocus());
    fill();
    EXPECT_EQ(list->count(), 80);

    // Esc puts the specification back and the focus returns.
    box->setFocus();
    QApplication::processEvents();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "*.doc");
    QTest::keyClick(box->lineEdit(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(box->currentText(), "C*.TXT");
    EXPECT_FALSE(box->hasFocus());

    // A click on "File Spec:" inverts.
    QTest::mouseClick(controller->statisticsPanel()->lbFileSpec, Qt::LeftButton);
    EXPECT_TRUE(controller->model().FileSpecInverted());
    EXPECT_EQ(controller->statisticsPanel()->pnFileSpec->frameShadow(), QFrame::Raised);
}

TEST(ComponentNames, DescriptionOnlyWhenAsked) {
    app();
    QLabel plain;
    unsetenv("ZENTRIX_A11Y_IDS");
    SetComponentName(&plain, "TaggedFilesLabel");
    EXPECT_EQ(plain.objectName(), "TaggedFilesLabel");
    EXPECT_TRUE(plain.accessibleDescription().isEmpty());
    setenv("ZENTRIX_A11Y_IDS", "1", 1);
    QLabel named;
    SetComponentName(&named, "TaggedFilesLabel");
    EXPECT_EQ(named.accessibleDescription(), "TaggedFilesLabel");
    unsetenv("ZENTRIX_A11Y_IDS");
}

} // namespace
} // namespace zentrix::test
