#include "controlstestenv.h"
#include "gui/controls/tenhcombobox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace zentrix {
namespace {

class EnhComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&dialog);
        box = new TEnhComboBox(&dialog);
        other = new QLineEdit(&dialog);
        layout->addWidget(box);
        layout->addWidget(other);
        box->addItems({"alpha", "beta", "gamma"});
        box->setEditText("start");
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        other->setFocus();
    }

    void enter() {
        box->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(box->hasFocus());
    }
    bool listOpen() const { return box->view()->isVisible(); }
    void key(QWidget* to, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(to, k, m);
        QApplication::processEvents();
    }

    QDialog dialog;
    TEnhComboBox* box = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(EnhComboBoxTest, EscRestoresTheEntryTextFirstAndThenReachesTheDialog) {
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QSignalSpy got(box, &TEnhComboBox::OnFocusGot);
    enter();
    EXPECT_EQ(got.count(), 1);
    EXPECT_EQ(box->EntryText(), "start");
    QTest::keyClicks(box, "X");
    EXPECT_EQ(box->currentText(), "startX");

    key(box, Qt::Key_Escape);
    EXPECT_EQ(box->currentText(), "start");
    EXPECT_EQ(rejected.count(), 0);
    EXPECT_TRUE(dialog.isVisible());

    key(box, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
}

TEST_F(EnhComboBoxTest, ChoiceFiresOnlyForACommittedChange) {
    QSignalSpy choice(box, &TEnhComboBox::OnChoice);
    QSignalSpy lost(box, &TEnhComboBox::OnFocusLost);
    enter();
    key(box, Qt::Key_Return);
    EXPECT_EQ(choice.count(), 0); // unchanged

    QTest::keyClicks(box, "1");
    key(box, Qt::Key_Return);
    EXPECT_EQ(choice.count(), 1);
    EXPECT_EQ(box->EntryText(), "start1");
    key(box, Qt::Key_Return);
    EXPECT_EQ(choice.count(), 1); // the committed text is the new entry text

    QTest::keyClicks(box, "2");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(choice.count(), 2);

    // An emptied box commits nothing.
    enter();
    box->setEditText("");
    key(box, Qt::Key_Return);
    EXPECT_EQ(choice.count(), 2);
}

TEST_F(EnhComboBoxTest, UpAndDownOpenTheListAndPickingSetsTheText) {
    QSignalSpy pick(box, &TEnhComboBox::OnListPick);
    QSignalSpy closeUp(box, &TEnhComboBox::OnCloseUp);
    QSignalSpy choice(box, &TEnhComboBox::OnChoice);
    box->setEditText("beta");
    enter();
    key(box, Qt::Key_Down);
    ASSERT_TRUE(listOpen());
    EXPECT_EQ(box->DropText(), "beta");
    EXPECT_EQ(box->currentText(), "beta"); // opening changes nothing

    key(box->view(), Qt::Key_Down);
    EXPECT_EQ(box->currentText(), "gamma");
    EXPECT_EQ(pick.count(), 1);

    key(box->view(), Qt::Key_Return);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(box->currentText(), "gamma");
    EXPECT_EQ(closeUp.count(), 1);
    EXPECT_EQ(choice.count(), 1);
    EXPECT_TRUE(box->hasFocus());

    key(box, Qt::Key_Up);
    EXPECT_TRUE(listOpen());
    key(box->view(), Qt::Key_Escape);
}

TEST_F(EnhComboBoxTest, EscInTheOpenListGivesTheDropTextBack) {
    QSignalSpy closeUp(box, &TEnhComboBox::OnCloseUp);
    box->setEditText("typed by hand");
    enter();
    key(box, Qt::Key_Down);
    ASSERT_TRUE(listOpen());
    key(box->view(), Qt::Key_Down);
    EXPECT_NE(box->currentText(), "typed by hand");

    key(box->view(), Qt::Key_Escape);
    EXPECT_FALSE(listOpen());
    EXPECT_TRUE(box->Escaped());
    EXPECT_EQ(box->currentText(), "typed by hand");
    EXPECT_EQ(closeUp.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(EnhComboBoxTest, DeleteInTheOpenListRemovesTheHighlightedEntry) {
    box->setEditText("beta");
    enter();
    key(box, Qt::Key_Down);
    ASSERT_TRUE(listOpen());
    key(box->view(), Qt::Key_Delete);
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->findText("beta"), -1);
    EXPECT_TRUE(listOpen());
    key(box->view(), Qt::Key_Escape);
    EXPECT_EQ(box->currentText(), "beta"); // the text is not an entry any more, but stays

    // With the list closed Delete edits the text as usual.
    box->lineEdit()->setCursorPosition(0);
    key(box, Qt::Key_Delete);
    EXPECT_EQ(box->currentText(), "eta");
    EXPECT_EQ(box->count(), 2);
}

TEST_F(EnhComboBoxTest, ReadOnlyBoxIgnoresTypingButStillOpensAndScrolls) {
    box->setCanEdit(false);
    box->setCurrentIndex(0);
    enter();
    QTest::keyClicks(box, "zz");
    key(box, Qt::Key_Backspace);
    key(box, Qt::Key_Delete);
    EXPECT_EQ(box->currentText(), "alpha");

    key(box, Qt::Key_PageDown);
    EXPECT_EQ(box->currentText(), "beta");
    key(box, Qt::Key_PageUp);
    EXPECT_EQ(box->currentText(), "alpha");

    key(box, Qt::Key_Down);
    EXPECT_TRUE(listOpen());
    key(box->view(), Qt::Key_Escape);
    EXPECT_FALSE(listOpen());

    // A character key neither edits nor reaches a single-key shortcut of the window.
    QAction tag("Tag", &dialog);
    tag.setShortcut(Qt::Key_T);
    dialog.addAction(&tag);
    QSignalSpy triggered(&tag, &QAction::triggered);
    key(box, Qt::Key_T);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_EQ(box->currentText(), "alpha");

    QSignalSpy rejected(&dialog, &QDialog::rejected);
    key(box, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
}

} // namespace
} // namespace zentrix
