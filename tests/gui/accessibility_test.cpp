// What assistive tools get from the real main window: names that carry values,
// text interfaces, states, roles, the Tab order and focus requests, read through
// Qt's accessibility interfaces as the accessibility bus reads them.
#include "catalogue/fileclass.h"
#include "config/controlstate.h"
#include "config/tenhinifile.h"
#include "filewindow/filetexts.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/mainstatusbar.h"
#include "gui/config/toptionsform.h"
#include "gui/controls/assistivetools.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/disks/tzentrixdrives.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/ops/tfileopprogressform.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "gui/tagging/tspectagform.h"
#include "gui/tree/thetreeview.h"
#include "ops/fileopwindow.h"
#include "platform/filetime.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace zentrix;
using namespace zentrix::test;

namespace {

QAccessibleInterface* A11y(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

/// What a screen reader hears of a control.
std::string NameOf(QObject* o) {
    QAccessibleInterface* i = A11y(o);
    return i ? i->text(QAccessible::Name).toStdString() : "<no interface>";
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

/// Every interface below `root` (depth first), with its path of names for messages.
void Walk(QAccessibleInterface* root,
          const std::function<void(QAccessibleInterface*, const QString&)>& visit,
          const QString& path = {}, int depth = 0) {
    if (!root || depth > 40)
        return;
    const QString here = path + "/" + root->text(QAccessible::Name);
    visit(root, here);
    for (int i = 0; i < root->childCount(); ++i)
        Walk(root->child(i), visit, here, depth + 1);
}

/// Assistive tools listening, as a screen reader does: every event the
/// program tells them is recorded, after its interface was asked for as a
/// screen reader's bridge asks. Qt's accessibility is never on offscreen, so
/// the recorder listens in the process. Gone with the recorder.
class HeardEvents {
public:
    struct Heard {
        QObject* object;
        QAccessible::Event type;
        int child;
        QAccessible::State changed;
    };

    HeardEvents() {
        s_current = this;
        m_previous = SetAccessibilityListener(&record);
    }
    ~HeardEvents() {
        SetAccessibilityListener(m_previous);
        s_current = nullptr;
    }
    HeardEvents(const HeardEvents&) = delete;
    HeardEvents& operator=(const HeardEvents&) = delete;

    std::vector<Heard> heard;

    std::vector<Heard> of(QObject* object, QAccessible::Event type) const {
        std::vector<Heard> out;
        for (const Heard& h : heard)
            if (h.object == object && h.type == type)
                out.push_back(h);
        return out;
    }

private:
    static void record(QAccessibleEvent* event) {
        if (!s_current)
            return;
        QAccessible::State changed;
        if (event->type() == QAccessible::StateChanged)
            changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        EXPECT_TRUE(event->accessibleInterface()) << "event " << event->type();
        s_current->heard.push_back({event->object(), event->type(), event->child(), changed});
    }

    static inline HeardEvents* s_current = nullptr;
    AccessibilityListener m_previous = nullptr;
};

class AccessibilityTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        for (const char* d : {"d/Documents/Letters", "d/Music", "e"})
            tmp.mkdir(d);
        tmp.write("d/readme.txt", "hello");
        tmp.write("d/notes.txt", "notes!!");
        state.currentDisk = 'D';
        makeDrives("D=" + tmp.at("d") + ";E=" + tmp.at("e"));
        makeForm();
        form->resize(900, 650);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->Start({});
        idle();
    }
    void TearDown() override { closeWindow(); }

    void idle() override {
        MainWindowFixture::idle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    StatisticsPanel* stats() { return form->findChild<StatisticsPanel*>(); }
    QWidget* focused() { return QApplication::focusWidget(); }
};

} // namespace

TEST_F(AccessibilityTest, TheTreeReportsItsRowsAndTakesFocusRequests) {
    QAccessibleInterface* tree = A11y(form->MainTreeView);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->role(), QAccessible::Tree);
    EXPECT_EQ(tree->text(QAccessible::Name), "Directory tree");
    ASSERT_EQ(tree->childCount(), 3) << "the root and its two directories, no header cell";
    QAccessibleInterface* root = tree->child(0);
    EXPECT_EQ(root->role(), QAccessible::TreeItem);
    EXPECT_EQ(root->text(QAccessible::Name), "D:\\");
    EXPECT_TRUE(root->state().expanded);
    EXPECT_TRUE(root->state().selected);
    QAccessibleInterface* docs = tree->child(1);
    EXPECT_EQ(docs->text(QAccessible::Name), "Documents");
    EXPECT_EQ(docs->text(QAccessible::Description), "Level 2");
    EXPECT_TRUE(docs->state().expandable);
    EXPECT_TRUE(docs->state().collapsed);
    EXPECT_EQ(tree->indexOfChild(docs), 1);

    // Opening a row through its action logs it and shows its children.
    docs->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    idle();
    ASSERT_EQ(tree->childCount(), 4);
    EXPECT_EQ(tree->child(2)->text(QAccessible::Name), "Letters");
    EXPECT_EQ(tree->child(2)->text(QAccessible::Description), "Level 3");
    EXPECT_TRUE(docs->state().expanded);

    // Press selects the directory as a click does.
    tree->child(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    idle();
    ASSERT_TRUE(cat->Tree().Selected());
    EXPECT_EQ(cat->Tree().Selected()->Path(), "D:\\Music\\");
    EXPECT_EQ(tree->text(QAccessible::Value), "Music");

    // A focus request from a tool moves the focus into the tree.
    list()->setFocus();
    ASSERT_TRUE(tree->actionInterface());
    tree->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(focused(), form->MainTreeView);
    EXPECT_TRUE(tree->child(3)->state().focused);
    EXPECT_EQ(tree->focusChild(), tree->child(3));
}

TEST_F(AccessibilityTest, LoggingABranchIsToldOnceAndASingleRowAsItOpens) {
    // Many directories at several levels: logging the branch opens them all.
    for (int i = 0; i < 40; ++i)
        tmp.mkdir("d/Music/album" + std::to_string(i) + "/disc");
    HeardEvents events;
    QAccessibleInterface* tree = A11y(form->MainTreeView);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->childCount(), 3);
    form->MainTreeView->setFocus();
    idle();
    events.heard.clear();

    QTest::keyClick(form->MainTreeView, Qt::Key_B, Qt::AltModifier);
    idle();
    // Every directory is a row now: the root, Documents, Letters, Music and
    // forty albums with a disc each.
    EXPECT_EQ(tree->childCount(), 4 + 80);
    EXPECT_EQ(tree->child(4)->text(QAccessible::Name), "album0");
    EXPECT_EQ(tree->child(5)->text(QAccessible::Description), "Level 4");
    // Told as one change of the rows, not once per opened directory.
    EXPECT_EQ(events.of(form->MainTreeView, QAccessible::ObjectReorder).size(), 1u);
    EXPECT_TRUE(events.of(form->MainTreeView, QAccessible::StateChanged).empty());

    // One row closed by the user is heard as that row's state.
    events.heard.clear();
    QAccessibleInterface* music = tree->child(3);
    ASSERT_EQ(music->text(QAccessible::Name), "Music");
    music->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    idle();
    EXPECT_EQ(tree->childCount(), 4);
    EXPECT_FALSE(music->state().expanded);
    const auto states = events.of(form->MainTreeView, QAccessible::StateChanged);
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].child, 3);
    EXPECT_TRUE(states[0].changed.expanded);
    EXPECT_EQ(events.of(form->MainTreeView, QAccessible::ObjectReorder).size(), 1u);
}

TEST_F(AccessibilityTest, FileRowsTellTheirColumnsAndTheirTagAsItChanges) {
    tmp.write("d/disc.iso", std::string(1234, 'i'));
    tmp.touch("d/disc.iso", 1700000000);
    form->runCommand("RelogDir");
    idle();
    list()->setFocus();
    idle();
    QAccessibleInterface* rows = A11y(list());
    ASSERT_EQ(rows->childCount(), 3);
    QAccessibleInterface* iso = rows->child(0);
    ASSERT_EQ(iso->text(QAccessible::Name), "disc.iso");
    // Size with its thousands, date, attributes and description, as the
    // columns show them.
    const std::string date = DateText(platform::ToFileTime(timespec{1700000000, 0}));
    const QString details = iso->text(QAccessible::Description);
    EXPECT_TRUE(details.startsWith(QString::fromStdString("1,234 bytes, " + date + ", A, ")))
        << details.toStdString();
    EXPECT_GT(details.size(), QString::fromStdString("1,234 bytes, " + date + ", A, ").size());
    EXPECT_TRUE(iso->state().checkable);
    EXPECT_FALSE(iso->state().checked);

    // Tags change: the rows say so, one event for each row that changed.
    HeardEvents events;
    QTest::keyClick(list(), Qt::Key_Space); // the current row, disc.iso
    idle();
    EXPECT_TRUE(iso->state().checked);
    auto checked = events.of(list(), QAccessible::StateChanged);
    ASSERT_EQ(checked.size(), 1u);
    EXPECT_EQ(checked[0].child, 0);
    EXPECT_TRUE(checked[0].changed.checked);

    events.heard.clear();
    QTest::keyClick(list(), Qt::Key_T, Qt::ControlModifier); // all in window
    idle();
    checked = events.of(list(), QAccessible::StateChanged);
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_EQ(checked[0].child, 1);
    EXPECT_EQ(checked[1].child, 2);
    EXPECT_TRUE(rows->child(2)->state().checked);

    // A refill shows other entries: nothing is told of them as changed.
    events.heard.clear();
    form->runCommand("miVolRefillClick");
    idle();
    EXPECT_TRUE(events.of(list(), QAccessible::StateChanged).empty());

    // Without the description column there is no description.
    form->ApplyDescriptionColumn(false);
    idle();
    EXPECT_EQ(rows->child(0)->text(QAccessible::Description).toStdString(),
              "1,234 bytes, " + date + ", A");
}

TEST_F(AccessibilityTest, TheSpecialTagBoxStartsAtTheFirstEntryOfAFullHistory) {
    {
        TEnhIniFile store(StoreNameFor({}));
        for (int i = 0; i < 20; ++i) {
            const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
            store.WriteString("SpecialTagHistory", "H" + std::to_string(i), "*.P" + n);
        }
        store.UpdateFile();
    }
    tmp.write("d/one.P00", "1");
    tmp.write("d/two.P01", "2");
    form->runCommand("RelogDir");
    idle();
    list()->setFocus();
    idle();
    QString shown, heard;
    OnModalShown([&](QWidget* dialog) {
        auto* special = qobject_cast<TSpecTagForm*>(dialog);
        ASSERT_TRUE(special);
        shown = special->hbFileSpec->currentText();
        heard = A11y(special->hbFileSpec)->text(QAccessible::Value);
        // Enter at once takes what the box shows.
        QTest::keyClick(special->hbFileSpec->lineEdit(), Qt::Key_Return);
    });
    QTest::keyClick(list(), Qt::Key_Plus); // "Special ..." of "T&ag ..."
    reactivate();
    idle();
    EXPECT_EQ(shown, "*.P00");
    EXPECT_EQ(heard, "*.P00");
    std::vector<std::string> tagged;
    for (const TFileClass* f : fw().Records())
        if (f->Tagged())
            tagged.push_back(f->FullName());
    EXPECT_EQ(tagged, std::vector<std::string>{"D:\\one.P00"});
}

TEST_F(AccessibilityTest, ValueLabelsAreHeardWithTheirValuesAndReadAsText) {
    StatisticsPanel* panel = stats();
    ASSERT_TRUE(panel);
    // Two files in D:\ (hello, notes!!): 12 bytes.
    EXPECT_EQ(NameOf(panel->FilesInDirLabel), "Files: 2");
    EXPECT_EQ(NameOf(panel->TotalDirSizeLabel), "Size: 12 bytes.");
    EXPECT_EQ(NameOf(panel->TaggedFilesLabel), "Tagged files: 0");
    EXPECT_EQ(NameOf(form->CurrDirLabel), "Current directory: D:\\");
    EXPECT_TRUE(StartsWith(NameOf(form->pnSysInfo), "System information: Memory:"));
    EXPECT_EQ(NameOf(form->lbVersion), "Version 1.0");
    // The group boxes are heard by their titles, which follow the view.
    EXPECT_EQ(NameOf(panel->CurrDirStatGroupBox), " Current directory statistics: ");

    // The text itself through the text interface, as screen readers review it.
    QAccessibleInterface* size = A11y(panel->TotalDirSizeLabel);
    ASSERT_TRUE(size->textInterface());
    EXPECT_EQ(size->textInterface()->characterCount(), 9);
    EXPECT_EQ(size->textInterface()->text(0, 2), "12");
    EXPECT_EQ(size->role(), QAccessible::StaticText);

    // The current file, once the file window has the focus; tagging changes the figures.
    list()->setFocus();
    idle();
    EXPECT_EQ(NameOf(panel->lbCurrFileNm), "Name: notes.txt");
    EXPECT_EQ(NameOf(panel->lbCurrFilePos), "Position: 1 of 2");
    EXPECT_EQ(NameOf(panel->lbCurrFileSize), "Size: 7 bytes");
    form->runCommand("TagFileWinFiles");
    EXPECT_EQ(NameOf(panel->TaggedFilesLabel), "Tagged files: 2");
    EXPECT_EQ(NameOf(panel->TaggedGroupBox), " Directory tagged statistics: ");

    // The disk information panel.
    auto* disk = form->findChild<QLabel*>("DriveCapacityLabel");
    ASSERT_TRUE(disk);
    EXPECT_TRUE(StartsWith(NameOf(disk), "Capacity: ")) << NameOf(disk);
    EXPECT_EQ(NameOf(form->findChild<QLabel*>("VolumeLabel")), "Volume label: None");
    EXPECT_EQ(NameOf(form->findChild<QLabel*>("lbDiskType")), "Fixed disk");

    // A label that names a control keeps its own name and gains a text interface.
    EXPECT_EQ(NameOf(panel->lbFileSpec), "File Spec:");
    EXPECT_TRUE(A11y(panel->lbFileSpec)->textInterface());
}

TEST_F(AccessibilityTest, TheStatusLineExposesItsPanelsAndStopAsAButton) {
    QAccessibleInterface* bar = A11y(form->MainStatusBar);
    ASSERT_EQ(bar->childCount(), 4);
    form->MainStatusBar->setHint("Log the branch");
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), "Hint: Log the branch");
    QAccessibleInterface* progress = bar->child(1);
    EXPECT_EQ(progress->role(), QAccessible::ProgressBar);
    ASSERT_TRUE(progress->valueInterface());
    QAccessibleInterface* stop = bar->child(2);
    EXPECT_EQ(stop->role(), QAccessible::Button);
    EXPECT_EQ(stop->text(QAccessible::Name), "STOP");
    EXPECT_TRUE(bar->child(3)->text(QAccessible::Name).startsWith("User: "));

    // STOP is there only while an operation can be stopped.
    EXPECT_TRUE(stop->state().invisible);
    EXPECT_TRUE(stop->actionInterface()->actionNames().isEmpty());
    form->MainStatusBar->showStop(true);
    form->MainStatusBar->setTotal(200);
    form->MainStatusBar->setPosition(50);
    EXPECT_FALSE(stop->state().invisible);
    EXPECT_EQ(progress->valueInterface()->currentValue().toInt(), 25);
    EXPECT_EQ(progress->text(QAccessible::Value), "25%");
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(state.abortFlag);
    EXPECT_EQ(bar->indexOfChild(stop), 2);
    form->MainStatusBar->showStop(false);
    EXPECT_FALSE(state.abortFlag);
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(state.abortFlag); // a hidden STOP stops nothing
}

TEST_F(AccessibilityTest, FileRowsAndHeaderSectionsAreWhatTheWindowShows) {
    QAccessibleInterface* rows = A11y(list());
    ASSERT_GE(rows->childCount(), 2);
    EXPECT_EQ(rows->child(0)->text(QAccessible::Name), "notes.txt");

    // With full paths shown, rows name the full path.
    form->runCommand("pmiFileDisplayFullpathClick");
    idle();
    EXPECT_EQ(rows->child(0)->text(QAccessible::Name), "D:\\notes.txt");
    form->runCommand("pmiFileDisplayFullpathClick");

    // The header's sections; pressing one sorts as a click does.
    QAccessibleInterface* header = A11y(form->findChild<QWidget*>("FileHeader"));
    ASSERT_TRUE(header);
    ASSERT_GE(header->childCount(), 5);
    QAccessibleInterface* sizeSection = header->child(2);
    EXPECT_EQ(sizeSection->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(sizeSection->text(QAccessible::Name), "Size");
    EXPECT_EQ(header->child(0)->text(QAccessible::Description), "Sorted by this column");
    sizeSection->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form->fileWindow().model().SortKey(), 2);
    EXPECT_EQ(sizeSection->text(QAccessible::Description), "Sorted by this column");
    EXPECT_TRUE(sizeSection->state().selected);
    EXPECT_EQ(rows->child(0)->text(QAccessible::Name), "readme.txt"); // 5 bytes before 7
    EXPECT_EQ(header->indexOfChild(sizeSection), 2);

    // In a column format every row reports its own column: the second column
    // starts to the right of the first, and a point in it finds its row.
    for (int i = 0; i < 40; ++i)
        tmp.write("d/f" + std::to_string(100 + i) + ".txt", "x");
    form->runCommand("RelogDir");
    form->runCommand("miFileDisp3ColClick");
    idle();
    TVirtualListBox* l = list();
    ASSERT_GT(l->columns(), 0);
    const int perColumn = l->rowsPerColumn();
    ASSERT_LT(perColumn, l->count());
    const QRect first = rows->child(0)->rect();
    QAccessibleInterface* second = rows->child(perColumn);
    ASSERT_TRUE(second);
    EXPECT_GT(second->rect().left(), first.right());
    EXPECT_EQ(rows->childAt(second->rect().center().x(), second->rect().center().y()), second);
}

TEST_F(AccessibilityTest, NoUnnamedContainerOrStrayCellReachesAssistiveTools) {
    list()->setFocus();
    idle();
    int seen = 0;
    Walk(A11y(form.get()), [&](QAccessibleInterface* iface, const QString& path) {
        ++seen;
        const QAccessible::Role role = iface->role();
        EXPECT_NE(role, QAccessible::NoRole) << path.toStdString();
        EXPECT_NE(role, QAccessible::Grip) << path.toStdString();
        switch (role) {
        case QAccessible::Client:
        case QAccessible::Pane:
        case QAccessible::Grouping:
        case QAccessible::Splitter:
        case QAccessible::LayeredPane:
        case QAccessible::PageTabList:
        case QAccessible::StaticText:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::ScrollBar:
        case QAccessible::StatusBar:
        case QAccessible::ColumnHeader:
        case QAccessible::ListItem:
        case QAccessible::TreeItem:
            EXPECT_FALSE(iface->text(QAccessible::Name).trimmed().isEmpty())
                << path.toStdString() << " role " << role;
            break;
        default:
            break;
        }
        // Qt's tree reported its hidden header as a cell named "1".
        EXPECT_NE(iface->text(QAccessible::Name), "1") << path.toStdString();
    });
    EXPECT_GT(seen, 60);
}

TEST_F(AccessibilityTest, MenusReportWhatTheBarShowsAndTheirCheckMarks) {
    QAction* file = form->menus().menu("miFile")->menuAction();
    QAction* directory = form->menus().menu("miDirectory")->menuAction();
    form->MainTreeView->setFocus();
    idle();
    EXPECT_TRUE(A11y(file)->state().invisible);
    EXPECT_FALSE(A11y(directory)->state().invisible);
    // The file window takes the focus: "File" shows in the bar and says so.
    list()->setFocus();
    idle();
    ASSERT_TRUE(form->menus().barMenus().contains("miFile"));
    EXPECT_FALSE(A11y(file)->state().invisible);
    EXPECT_EQ(A11y(file)->parent()->object(), form->menus().bar());
    EXPECT_TRUE(A11y(directory)->state().invisible);

    // A check mark is reported as it changes.
    QAction* animate = form->miAnimatePrgIcon;
    ASSERT_TRUE(animate);
    QAccessibleInterface* item = A11y(animate);
    EXPECT_EQ(item->role(), QAccessible::MenuItem);
    EXPECT_EQ(item->text(QAccessible::Name), "Animate program icon?");
    EXPECT_TRUE(item->state().checkable);
    animate->setChecked(false);
    EXPECT_FALSE(item->state().checked);
    animate->setChecked(true);
    EXPECT_TRUE(item->state().checked);

    // The file window's popup is a child of the window while it shows.
    QMenu* popup = form->menus().menu("ListBoxPopupMenu");
    QAccessibleInterface* window = A11y(form.get());
    const int before = window->childCount();
    popup->popup(list()->mapToGlobal(QPoint(10, 10)));
    idle();
    ASSERT_EQ(window->childCount(), before + 1);
    QAccessibleInterface* shown = window->child(before);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->object(), popup);
    EXPECT_EQ(window->indexOfChild(shown), before);
    popup->hide();
    idle();
    EXPECT_EQ(window->childCount(), before);
}

TEST_F(AccessibilityTest, TabGoesRoundTreeFileListSpecificationAndDrives) {
    QWidget* tree = form->MainTreeView;
    QWidget* spec = form->findChild<QComboBox*>("hbFileSpec");
    QWidget* drives = form->lbDrives;
    tree->setFocus();
    idle();
    const std::vector<QWidget*> ring{list(), spec, drives, tree, list()};
    for (QWidget* expected : ring) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        idle();
        EXPECT_EQ(focused(), expected)
            << (focused() ? focused()->objectName().toStdString() : "none");
    }
    // Backwards, from the file list: tree, drives (where letters choose drives,
    // so the tree's single-key menus leave the bar), specification, file list.
    for (QWidget* expected : {tree, drives}) {
        QTest::keyClick(focused(), Qt::Key_Tab, Qt::ShiftModifier);
        idle();
        EXPECT_EQ(focused(), expected);
    }
    EXPECT_FALSE(form->menus().barMenus().contains("miDirectory"));
    QTest::keyClick(focused(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), spec);

    // A specification typed and left with Tab is applied, and the focus goes on.
    auto* edit = static_cast<QComboBox*>(spec)->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "notes*");
    QTest::keyClick(focused(), Qt::Key_Tab);
    idle();
    EXPECT_EQ(focused(), drives) << (focused() ? focused()->objectName().toStdString() : "none");
    EXPECT_EQ(form->fileWindow().model().FileSpec(), "NOTES*");
    EXPECT_EQ(list()->count(), 1); // the refill that followed left the focus where it went
}

TEST_F(AccessibilityTest, APromptOfTheCommandStripIsHeardByWhatItAsks) {
    list()->setFocus();
    idle();
    QTest::keyClick(list(), Qt::Key_C);
    idle();
    TCopyMovePage* page = form->copyMove().currentPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(focused(), page->box);
    EXPECT_EQ(NameOf(page->lbCaption), "Copy file(s) as:");
    EXPECT_EQ(A11y(page->lbCaption)->role(), QAccessible::StaticText);
    EXPECT_FALSE(NameOf(page->box).empty());
    QTest::keyClick(page->box, Qt::Key_Escape);
    idle();
    EXPECT_EQ(focused(), list());
}

TEST_F(AccessibilityTest, FocusRequestsOfAssistiveToolsAreHonouredAfterTheAttributesPage) {
    // The attributes page is used: Alt+A in the file window, a text, Enter.
    list()->setFocus();
    idle();
    form->runCommand("miFileTagAllbyAttrsClick");
    idle();
    QComboBox* box = form->tagging().fileAttrPage()->hbFilesAttrHistory;
    ASSERT_EQ(focused(), box);
    QTest::keyClicks(box->lineEdit(), "+A");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    idle();
    ASSERT_FALSE(box->isVisible());

    auto request = [](QAccessibleInterface* iface) {
        ASSERT_TRUE(iface && iface->actionInterface());
        ASSERT_TRUE(iface->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::setFocusAction()));
        iface->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QCoreApplication::processEvents();
    };
    request(A11y(form->MainTreeView));
    EXPECT_EQ(focused(), form->MainTreeView);
    // The specification box through its text field, as tools reach a combo box.
    auto* spec = form->findChild<QComboBox*>("hbFileSpec");
    request(A11y(spec->lineEdit()));
    EXPECT_EQ(focused(), spec);
    request(A11y(form->lbDrives));
    EXPECT_EQ(focused(), form->lbDrives) << "the box must not pull the focus back";
    request(A11y(list()));
    EXPECT_EQ(focused(), list());
    // The window itself gives the focus back to the pane that had it.
    form->MainTreeView->setFocus();
    request(A11y(form.get()));
    EXPECT_EQ(focused(), form->MainTreeView);
}

TEST_F(AccessibilityTest, DialogsReadTheirValuesToo) {
    // The options dialog: the WatchDog directory and the chosen sound.
    settings.WDFilePath = "D:\\LOGS\\";
    std::string watchDog, sound;
    bool text = false;
    OnModalShown([&](QWidget* dialog) {
        auto* options = qobject_cast<TOptionsForm*>(dialog);
        ASSERT_TRUE(options);
        watchDog = NameOf(options->lbWDFilePath);
        sound = NameOf(options->lbChosenSound);
        text = A11y(options->lbWDFilePath)->textInterface() != nullptr;
        options->reject();
    });
    form->runCommand("miZentrixPropertiesClick");
    EXPECT_EQ(watchDog, "WatchDog file directory: D:\\LOGS\\");
    EXPECT_EQ(sound, "Chosen sound: " + settings.ChosenSound);
    EXPECT_TRUE(text);

    // The tip of the day: its text is what is heard, with its number.
    std::string tip, counter;
    OnModalShown([&](QWidget* dialog) {
        tip = NameOf(dialog->findChild<QLabel*>("lbText"));
        counter = NameOf(dialog->findChild<QLabel*>("lbCounter"));
        static_cast<QDialog*>(dialog)->accept();
    });
    form->runCommand("miHelpTipClick");
    EXPECT_GT(tip.size(), 20u) << tip;
    EXPECT_TRUE(StartsWith(counter, "Number: ")) << counter;
    EXPECT_NE(counter.find(" of "), std::string::npos) << counter;

    // The progress window of a file operation: every line is heard as shown.
    auto* progress = form->findChild<TFileOpProgressForm*>();
    ASSERT_TRUE(progress);
    progress->Open("File Operation", true, false);
    FileOpStatus status;
    status.currentFile = "D:\\notes.txt";
    status.currentTarget = "E:\\";
    status.filesDone = 1;
    status.filesTotal = 3;
    status.bytesDone = 7;
    status.bytesTotal = 12;
    progress->Show(status);
    EXPECT_EQ(NameOf(progress->lbFile), "File: D:\\notes.txt");
    EXPECT_EQ(NameOf(progress->lbTarget), "to E:\\");
    EXPECT_EQ(NameOf(progress->lbFiles), "Files: 1 of 3");
    EXPECT_EQ(NameOf(progress->lbBytes), "Bytes: 7 bytes of 12 bytes");
    EXPECT_TRUE(A11y(progress->lbTimeLeft)->textInterface());
    progress->Close();
}
