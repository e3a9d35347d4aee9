// Files exchanged with other programs: dragged out of the file window, dropped
// on the tree, copied, cut and pasted through the desktop's clipboard.
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/tree.h"
#include "gui/app/mainmenubar.h"
#include "gui/controls/systemclipboard.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "platform/fileuris.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

using Strings = std::vector<std::string>;

// Names a shell or a list would take apart.
const Strings kHostile = {"a?", "x;C:victim.txt", "plain;semi", "x\" .. \"y", "star*"};

class OtherProgramsGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        for (const std::string& name : kHostile)
            tmp.write("d/" + name, name);
        tmp.write("d/ab", "ab");
        tmp.mkdir("d/sub dir");
        tmp.mkdir("e");
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        idle();
        focusList();
    }
    int row(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
    void tag(const Strings& names) {
        for (const std::string& n : names) {
            ASSERT_GE(row(n), 0) << n;
            fw().Record(row(n))->SetTagged(true);
        }
    }
    void selectDir(const std::string& path) {
        TTreeNode* node = form->logger().FindNodeByPath(path);
        ASSERT_NE(node, nullptr) << path;
        cat->Tree().Select(node);
        form->MainTreeView->setFocus();
        idle();
    }
    static Strings sorted(Strings list) {
        std::sort(list.begin(), list.end());
        return list;
    }
    /// A left-button drag begun on a row, as the mouse does it.
    void dragRow(const std::string& name) {
        ASSERT_GE(row(name), 0) << name;
        fw().SetCurrent(row(name));
        const QPoint at = list()->itemRect(row(name)).center();
        QWidget* port = list()->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, at);
        const QPoint far = at + QPoint(40, 0);
        QMouseEvent move(QEvent::MouseMove, far, port->mapToGlobal(far), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
        idle();
    }
    /// Another program's files dropped on a tree directory, as the desktop
    /// delivers a drag: it enters, then drops. True when the window took it.
    bool dropOnTree(const std::string& dir, const Strings& files, Qt::KeyboardModifiers mods) {
        QMimeData mime;
        mime.setData("text/uri-list", QByteArray::fromStdString(platform::UriListText(files)));
        const QModelIndex index = form->treeModel().indexOf(form->logger().FindNodeByPath(dir));
        form->MainTreeView->scrollTo(index);
        const QPoint at = form->MainTreeView->viewport()->mapTo(
            form.get(), form->MainTreeView->visualRect(index).center());
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        mods);
        QApplication::sendEvent(form.get(), &drop);
        idle();
        return true;
    }
    /// What the tree's Undo item offers, with the focus in the tree.
    std::string treeUndoCaption() {
        form->MainTreeView->setFocus();
        idle();
        return form->menus().action("miDirUndo")->text().toStdString();
    }
    void ctrlZInTree() {
        QTest::keyClick(form->MainTreeView, Qt::Key_Z, Qt::ControlModifier);
        idle();
    }
};

// Other programs take the tagged files (or the current one) by their URIs,
// names byte for byte.
TEST_F(OtherProgramsGui, FilesDraggedFromTheFileWindowCarryTheirUris) {
    Strings uris;
    QObject::connect(&form->fileWindow(), &FileWindowController::dragDataMade,
                     [&](const QMimeData* data) {
                         uris.clear();
                         for (const QByteArray& line : data->data("text/uri-list").split('\n'))
                             if (!line.trimmed().isEmpty())
                                 uris.push_back(line.trimmed().toStdString());
                         EXPECT_TRUE(data->hasFormat("application/x-zentrix-file-window"));
                     });
    dragRow("ab");
    EXPECT_EQ(uris, Strings{platform::FileUri(tmp.at("d/ab"))});

    tag(kHostile);
    dragRow("ab");
    Strings paths;
    for (const std::string& uri : uris)
        paths.push_back(platform::PathOfFileUri(uri).value_or("(bad)"));
    std::sort(paths.begin(), paths.end());
    Strings expected;
    for (const std::string& name : kHostile)
        expected.push_back(tmp.at("d/" + name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
}

// What the file window and the tree offer other programs: the tagged files (or
// the current one) copied or cut, a directory copied, each in both formats.
TEST_F(OtherProgramsGui, FilesAndDirectoriesGoOnTheClipboardForOtherPrograms) {
    tag({"a?", "x;C:victim.txt"});
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    idle();
    auto files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_FALSE(files->cut);
    EXPECT_EQ(sorted(files->paths), sorted({tmp.at("d/a?"), tmp.at("d/x;C:victim.txt")}));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->data("x-special/gnome-copied-files").startsWith("copy\n"));
    EXPECT_EQ(platform::ParseUriList(data->data("text/uri-list").toStdString()).size(), 2u);

    for (const TFileClass* record : fw().Records())
        const_cast<TFileClass*>(record)->SetTagged(false);
    fw().SetCurrent(row("ab"));
    QTest::keyClick(list(), Qt::Key_X, Qt::ControlModifier);
    idle();
    files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->cut);
    EXPECT_EQ(files->paths, Strings{tmp.at("d/ab")});
    EXPECT_TRUE(QGuiApplication::clipboard()
                    ->mimeData()
                    ->data("x-special/gnome-copied-files")
                    .startsWith("cut\n"));

    // The file popup's item.
    fw().SetCurrent(row("plain;semi"));
    form->menus().action("pmiCopyToClipboard")->trigger();
    idle();
    files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_FALSE(files->cut);
    EXPECT_EQ(files->paths, Strings{tmp.at("d/plain;semi")});

    // Ctrl+C on a directory of the tree.
    selectDir("D:\\sub dir\\");
    QTest::keyClick(form->MainTreeView, Qt::Key_C, Qt::ControlModifier);
    idle();
    files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_FALSE(files->cut);
    EXPECT_EQ(files->paths, Strings{tmp.at("d/sub dir")});
    EXPECT_TRUE(prompter.shown().empty());
}

// Files and directories another file manager copied or cut arrive through the
// copy engine, with its question, byte for byte: a name is never a mask or a
// list, so the bystanders a mask would take stay where they are.
TEST_F(OtherProgramsGui, FilesOtherProgramsCopiedOrCutArePastedThroughTheEngine) {
    tmp.write("e/star*", "s");
    tmp.write("e/starfish", "f");
    tmp.write("e/q;r", "q");
    tmp.write("e/q", "bystander");
    tmp.write("e/tree/inner/deep.txt", "deep");
    QGuiApplication::clipboard()->setMimeData(
        FilesMimeData({tmp.at("e/star*"), tmp.at("e/q;r"), tmp.at("e/tree")}, false));
    selectDir("D:\\");
    form->logger().LogDirBranch();
    selectDir("D:\\sub dir\\");
    prompter.answer(true);
    QTest::keyClick(form->MainTreeView, Qt::Key_V, Qt::ControlModifier);
    idle();
    EXPECT_EQ(prompter.questions(), Strings{"Copy 3 files to: D:\\sub dir\\ ?     "});
    EXPECT_EQ(ReadFile(tmp.at("d/sub dir/star*")), "s");
    EXPECT_EQ(ReadFile(tmp.at("d/sub dir/q;r")), "q");
    EXPECT_EQ(ReadFile(tmp.at("d/sub dir/tree/inner/deep.txt")), "deep");
    EXPECT_FALSE(Exists(tmp.at("d/sub dir/starfish")));
    EXPECT_FALSE(Exists(tmp.at("d/sub dir/q")));
    EXPECT_TRUE(Exists(tmp.at("e/star*")));
    EXPECT_TRUE(FilesOnClipboard()); // a copy stays on offer
    EXPECT_NE(form->logger().FindNodeByPath("D:\\sub dir\\tree\\"), nullptr);

    // A cut, pasted from the file window into the directory it shows: moved,
    // then taken off the clipboard.
    tmp.write("e/moved.txt", "m");
    auto* cut = new QMimeData;
    cut->setData("x-special/gnome-copied-files",
                 QByteArray::fromStdString("cut\n" + platform::FileUri(tmp.at("e/moved.txt"))));
    QGuiApplication::clipboard()->setMimeData(cut);
    selectDir("D:\\");
    focusList();
    prompter.clear();
    prompter.answer(true);
    QTest::keyClick(list(), Qt::Key_V, Qt::ControlModifier);
    idle();
    EXPECT_EQ(prompter.questions(), Strings{"Move 1 files to: D:\\ ?     "});
    EXPECT_EQ(ReadFile(tmp.at("d/moved.txt")), "m");
    EXPECT_FALSE(Exists(tmp.at("e/moved.txt")));
    EXPECT_FALSE(FilesOnClipboard());
}

// Files dropped from another program on a tree directory are copied there, and
// moved with Shift held.
TEST_F(OtherProgramsGui, FilesDroppedOnTheTreeAreMovedWithShift) {
    tmp.write("e/dropped.txt", "drop");
    prompter.answer(true).answer(false); // OK, not with full paths
    ASSERT_TRUE(dropOnTree("D:\\sub dir\\", {tmp.at("e/dropped.txt")}, Qt::ShiftModifier));
    EXPECT_EQ(prompter.questions(),
              (Strings{"Move 1 files to: D:\\sub dir\\ ?     ", "Move with full paths?     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/sub dir/dropped.txt")), "drop");
    EXPECT_FALSE(Exists(tmp.at("e/dropped.txt")));

    // The drop is one operation that Ctrl+Z in the tree puts back.
    EXPECT_EQ(treeUndoCaption(), "Und&o move of E:\\dropped.txt to D:\\sub dir\\");
    ctrlZInTree();
    EXPECT_EQ(ReadFile(tmp.at("e/dropped.txt")), "drop");
    EXPECT_FALSE(Exists(tmp.at("d/sub dir/dropped.txt")));
}

// A plain drop from another program copies; Ctrl+Z in the tree takes the copy
// away and leaves the dropped file where it was.
TEST_F(OtherProgramsGui, AFileDroppedOnTheTreeIsCopiedAndTheCopyGoesByCtrlZ) {
    tmp.write("e/given.txt", "given");
    prompter.answer(true).answer(false); // OK, not with full paths
    ASSERT_TRUE(dropOnTree("D:\\sub dir\\", {tmp.at("e/given.txt")}, Qt::NoModifier));
    EXPECT_EQ(prompter.questions(),
              (Strings{"Copy 1 files to: D:\\sub dir\\ ?     ", "Copy with full paths?     "}));
    EXPECT_EQ(ReadFile(tmp.at("d/sub dir/given.txt")), "given");
    EXPECT_EQ(ReadFile(tmp.at("e/given.txt")), "given");

    EXPECT_EQ(treeUndoCaption(), "Und&o copy of E:\\given.txt to D:\\sub dir\\");
    prompter.clear();
    ctrlZInTree();
    EXPECT_FALSE(Exists(tmp.at("d/sub dir/given.txt")));
    EXPECT_EQ(ReadFile(tmp.at("e/given.txt")), "given");
    EXPECT_TRUE(prompter.texts().empty());
}

} // namespace
