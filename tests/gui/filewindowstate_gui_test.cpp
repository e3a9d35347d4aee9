// What the file window says about a directory it cannot show in rows: one
// not read yet, and one with more entries than the window shows by default.
#include "catalogue/disklogger.h"
#include "catalogue/treenode.h"
#include "gui/app/mainmenubar.h"
#include "gui/config/toptionsform.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class FileWindowStateGui : public MainWindowFixture {
protected:
    void start() {
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d")));
        form->Start({});
        idle();
        form->MainTreeView->setFocus();
        idle();
    }
    void idle() override {
        MainWindowFixture::idle();
        form->IdleHandler();
        MainWindowFixture::idle();
    }
    QModelIndex indexOf(const std::string& path) {
        return form->treeModel().indexOf(form->logger().FindNodeByPath(path));
    }
    /// Moves the tree's selection with the arrow keys to `path`, as a user does.
    void arrowTo(const std::string& path) {
        for (int i = 0; i < 20 && cat->Tree().Selected()->Path() != path; ++i)
            QTest::keyClick(form->MainTreeView, Qt::Key_Down);
        idle();
        ASSERT_EQ(cat->Tree().Selected()->Path(), path);
    }
    QString accessibleValue() {
        return QAccessible::queryAccessibleInterface(list())->text(QAccessible::Value);
    }
};

// A directory not read yet says so in place of rows, until Enter reads it; the
// expand arrow shows only where the directory may have subdirectories.
TEST_F(FileWindowStateGui, ADirectoryNotReadYetSaysSoAndArrowsShowOnlyWhereSubdirectoriesMayBe) {
    tmp.write("d/a files/one.txt", "1");
    tmp.mkdir("d/b empty");
    tmp.write("d/c deep/inner/two.txt", "2");
    tmp.write("d/top.txt", "t");
    useHome(false);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(cat->Tree().Selected()->Path(), "D:\\");
    EXPECT_EQ(list()->placeholderText(), "");
    EXPECT_EQ(fw().Count(), 1);

    const THETreeView* tree = form->MainTreeView;
    EXPECT_FALSE(tree->showsButton(indexOf("D:\\a files\\")));
    EXPECT_FALSE(tree->showsButton(indexOf("D:\\b empty\\")));
    EXPECT_TRUE(tree->showsButton(indexOf("D:\\c deep\\")));

    arrowTo("D:\\a files\\");
    EXPECT_EQ(fw().Count(), 0);
    EXPECT_EQ(list()->placeholderText(), "Not logged yet: press Enter");
    EXPECT_EQ(accessibleValue(), "Not logged yet: press Enter");
    QTest::keyClick(form->MainTreeView, Qt::Key_Return);
    idle();
    EXPECT_EQ(fw().Count(), 1);
    EXPECT_EQ(list()->placeholderText(), "");

    // Read and empty is empty, and says nothing.
    arrowTo("D:\\b empty\\");
    EXPECT_EQ(list()->placeholderText(), "Not logged yet: press Enter");
    QTest::keyClick(form->MainTreeView, Qt::Key_Return);
    idle();
    EXPECT_EQ(fw().Count(), 0);
    EXPECT_EQ(list()->placeholderText(), "");

    // Forgotten again ("-"), it says so again.
    QTest::keyClick(form->MainTreeView, Qt::Key_Minus);
    idle();
    EXPECT_EQ(list()->placeholderText(), "Not logged yet: press Enter");
    EXPECT_TRUE(prompter.shown().empty());
}

// A directory of 1,000,000 files: "Too many files!" by default, saying which
// option lifts the limit; with the option checked on the options page the
// window shows every one of them.
TEST_F(FileWindowStateGui, AMillionEntriesNeedTheOptionThatLiftsTheLimit) {
    constexpr int kFiles = 1000000;
    tmp.write("d/big/seed", "");
    {
        // Hard links to a few files: a million names without a million inodes.
        const std::string big = tmp.at("d/big");
        int seed = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = big + "/f" + std::to_string(i);
            if (i % 60000 == 0) {
                const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                ASSERT_GE(fd, 0) << name;
                ::close(fd);
                seed = i;
                continue;
            }
            ASSERT_EQ(::link((big + "/f" + std::to_string(seed)).c_str(), name.c_str()), 0)
                << name << ": " << std::strerror(errno);
        }
        ::unlink(tmp.at("d/big/seed").c_str());
    }
    useHome(false);
    ASSERT_NO_FATAL_FAILURE(start());
    arrowTo("D:\\big\\");
    QTest::keyClick(form->MainTreeView, Qt::Key_Return);
    idle();
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Too many files!     "});
    EXPECT_NE(prompter.lastInformative().find("\"Allow more than 32,767 entries\""),
              std::string::npos)
        << prompter.lastInformative();
    EXPECT_EQ(fw().Count(), 0);

    bool checked = false;
    OnModalShown([&](QWidget* modal) {
        auto* options = qobject_cast<TOptionsForm*>(modal);
        ASSERT_NE(options, nullptr);
        QCheckBox* allow = options->findChild<QCheckBox*>("cbAllowManyEntries");
        ASSERT_NE(allow, nullptr);
        EXPECT_EQ(allow->text(), "&Allow more than 32,767 entries");
        EXPECT_FALSE(allow->isChecked());
        allow->setChecked(true);
        QPushButton* ok = options->findChild<QPushButton*>("btnOK");
        ASSERT_NE(ok, nullptr);
        ok->click();
        checked = true;
    });
    form->menus().action("miZentrixProperties")->trigger();
    reactivate();
    ASSERT_TRUE(checked);
    EXPECT_TRUE(settings.AllowManyEntriesOption);

    prompter.clear();
    form->miVolRefillClick();
    idle();
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(fw().Count(), kFiles);
    EXPECT_EQ(list()->count(), kFiles);
    // Sorted by name, all of them reachable.
    EXPECT_EQ(fw().Text(0), "f0");
    EXPECT_EQ(fw().Text(kFiles - 1), "f999999");
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_End);
    idle();
    EXPECT_EQ(list()->currentIndex(), kFiles - 1);
}

// The window's own message boxes: the fixed text, and under it the path and
// the reason as plain text, whatever the name holds.
TEST_F(FileWindowStateGui, AMessageShowsThePathAndTheReasonUnderItsText) {
    tmp.mkdir("d/<b>bold<i> & co");
    useHome(false);
    state.currentDisk = 'D';
    makeDrives("D=" + tmp.at("d"));
    form = std::make_unique<TMainForm>(*cat, state, settings, *drives, nullptr);
    showActive();
    form->Start({});
    idle();
    form->MainTreeView->setFocus();
    arrowTo("D:\\<b>bold<i> & co\\");
    QString text, informative;
    Qt::TextFormat format = Qt::AutoText;
    OnModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        informative = box->informativeText();
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel"))
            format = label->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(form->MainTreeView, Qt::Key_M); // Make ... needs a read directory
    reactivate();
    EXPECT_EQ(text.toStdString(), "Directory not logged!     ");
    EXPECT_EQ(informative.toStdString(),
              "D:\\<b>bold<i> & co\\: not read yet; Enter in the tree reads it");
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
