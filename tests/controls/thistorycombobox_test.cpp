#include "config/controlstate.h"
#include "config/historyboxes.h"
#include "config/tenhinifile.h"
#include "controlstestenv.h"
#include "gui/controls/thistorycombobox.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace zentrix {
namespace {

using Items = std::vector<std::string>;

class HistoryComboBoxTest : public ::testing::Test {
protected:
    test::FreshSettings settings;
    QWidget window;

    // The program's own store, as the boxes open it.
    static TEnhIniFile store() { return TEnhIniFile(StoreNameFor("")); }
    static void storeValues(const char* section, const Items& values) {
        TEnhIniFile s = store();
        for (size_t i = 0; i < values.size(); ++i)
            s.WriteString(section, "H" + std::to_string(i), values[i]);
    }
    static Items stored(const char* section) {
        const TEnhIniFile s = store();
        Items out;
        for (const std::string& name : s.ReadSection(section))
            out.push_back(s.ReadString(section, name, ""));
        return out;
    }
};

TEST_F(HistoryComboBoxTest, TableBoxesLoadAtCreationAndMainBoxesAreRaisedTo20) {
    storeValues("CopyToHistory", {"C:\\A\\", "C:\\B\\", "C:\\C\\"});
    THistoryComboBox* copyTo =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbCopyTo"), &window, true);
    EXPECT_EQ(copyTo->objectName(), "hbCopyTo");
    EXPECT_EQ(copyTo->accessibleName(), "Copy to");
    EXPECT_EQ(copyTo->Items(), (Items{"C:\\A\\", "C:\\B\\", "C:\\C\\"}));
    EXPECT_EQ(copyTo->currentText(), ""); // fewer than 7 stored: the text stays
    EXPECT_EQ(copyTo->MaxHistoryLength(), 20);
    EXPECT_EQ(copyTo->DropDownCount(), 20);

    storeValues("FileAttributesHistory",
                {"+A", "-A", "+R", "-R", "+H", "-H", "+S", "-S", "+A-R", "-A+R", "beyond ten"});
    THistoryComboBox* attrs =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbFilesAttrHistory"), &window, true);
    EXPECT_EQ(attrs->count(), 10); // the design length on the first load
    EXPECT_EQ(attrs->currentText(), "+A");
    attrs->Load();
    EXPECT_EQ(attrs->count(), 11); // later loads read up to 20

    THistoryComboBox* compare =
        THistoryComboBox::Create(*FindHistoryBox("compare", "hbDir"), &window, false);
    EXPECT_EQ(compare->IniSection(), "TagWizDirectoryHistory");
    EXPECT_EQ(compare->MaxHistoryLength(), 20);
}

TEST_F(HistoryComboBoxTest, CloseUpSavesTheTextFirstWithoutRepeats) {
    storeValues("CopyToHistory", {"C:\\B", "C:\\A", "C:\\C"});
    THistoryComboBox* box =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbCopyTo"), &window, true);
    box->setEditText("C:\\A");
    HistoryBoxWriteIniOnCloseUp(box);
    EXPECT_EQ(stored("CopyToHistory"), (Items{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(box->Items(), (Items{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(box->currentText(), "C:\\A");
    EXPECT_EQ(box->currentIndex(), 0);

    // An emptied box writes its items unchanged and shows the first.
    box->setEditText("");
    HistoryBoxWriteIniOnCloseUp(box);
    EXPECT_EQ(stored("CopyToHistory"), (Items{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(box->currentText(), "C:\\A");

    // What survives a restart of the program.
    QWidget next;
    THistoryComboBox* again =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbCopyTo"), &next, true);
    EXPECT_EQ(again->Items(), (Items{"C:\\A", "C:\\B", "C:\\C"}));
}

TEST_F(HistoryComboBoxTest, TaggedCloseUpReloadsAndShowsTheChoiceWithoutSaving) {
    storeValues("MoveToHistory", {"C:\\ONE", "C:\\TWO"});
    THistoryComboBox* box =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbMoveTo"), &window, true);
    box->addItem("C:\\STORED ELSEWHERE");
    box->setCurrentIndex(2);
    box->Tag = 1;
    HistoryBoxWriteIniOnCloseUp(box);
    EXPECT_EQ(box->Tag, 0);
    EXPECT_EQ(box->Items(), (Items{"C:\\ONE", "C:\\TWO", "C:\\STORED ELSEWHERE"}));
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_EQ(box->currentText(), "C:\\STORED ELSEWHERE");
    EXPECT_EQ(stored("MoveToHistory"), (Items{"C:\\ONE", "C:\\TWO"}));
}

TEST_F(HistoryComboBoxTest, WithoutASectionItIsAPlainEditableBox) {
    auto* box = new THistoryComboBox(&window);
    box->addItems({"x", "y"});
    box->setEditText("typed");
    box->Load();
    box->Save();
    HistoryBoxWriteIniOnCloseUp(box);
    EXPECT_EQ(box->Items(), (Items{"x", "y"}));
    EXPECT_EQ(box->currentText(), "typed");
    EXPECT_FALSE(store().Modified());
    EXPECT_TRUE(box->isEditable());
}

TEST_F(HistoryComboBoxTest, DeletedEntriesStayDeletedAfterTheNextSave) {
    storeValues("FileQuickSearch", {"first", "second", "third"});
    THistoryComboBox* box =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbFileSearch"), &window, true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box->setFocus();
    box->setCurrentIndex(1);
    QTest::keyClick(box, Qt::Key_Down);
    ASSERT_TRUE(box->view()->isVisible());
    QTest::keyClick(box->view(), Qt::Key_Delete);
    QTest::keyClick(box->view(), Qt::Key_Escape);
    box->setEditText("fourth");
    box->Save();
    EXPECT_EQ(stored("FileQuickSearch"), (Items{"fourth", "first", "third"}));
}

TEST_F(HistoryComboBoxTest, ComponentNameIsTheAccessibleDescriptionOnRequest) {
    ::setenv("ZENTRIX_A11Y_IDS", "1", 1);
    THistoryComboBox* box =
        THistoryComboBox::Create(*FindHistoryBox(kMainWindow, "hbDateTime"), &window, true);
    ::unsetenv("ZENTRIX_A11Y_IDS");
    EXPECT_EQ(box->accessibleDescription(), "hbDateTime");
}

} // namespace
} // namespace zentrix
