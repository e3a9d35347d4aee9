// The viewer window opened as the user opens it (V on a file of the file window)
// on files from a few lines to tens of millions: scrolling to the end, the
// search, what assistive tools read, and how the lines and the find box look.
#include "gui/view/tviewerform.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "view/viewerdocument.h"
#include "view/viewerstate.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class ViewerWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.mkdir("d");
        makeDrives("D=" + tmp.at("d"));
        state.currentDisk = 'D';
        settings.ShowHintsAtStartUp = false;
        settings.ShowQuotesAtStartUp = false;
        settings.ViewAutoHex = false;
        ViewerState::Shared().hexMode = false;
        ViewerState::Shared().wrap = false;
    }

    void TearDown() override { closeWindow(); }

    void open() {
        makeForm();
        form->show();
        form->Start({{"D:\\"}, {}});
        form->IdleHandler();
    }

    /// Opens `name` with V in the file window and runs `inside` on the viewer
    /// window, which is closed afterwards whatever `inside` found.
    void view(const std::string& name, const std::function<void(TViewerForm*)>& inside) {
        FileWindow& model = fw();
        model.SetCurrent(-1);
        for (int i = 0; i < model.Count(); ++i)
            if (model.Text(i) == name)
                model.SetCurrent(i);
        ASSERT_TRUE(model.Record(model.Current())) << name;
        // Back from the last viewer, as a window manager would see to.
        ASSERT_NO_FATAL_FAILURE(reactivate());
        list()->setFocus();
        QApplication::processEvents();
        bool shown = false;
        OnModalShown([&](QWidget* modal) {
            shown = true;
            auto* viewer = qobject_cast<TViewerForm*>(modal);
            if (viewer)
                inside(viewer);
            else
                ADD_FAILURE() << "no viewer window";
            modal->close();
        });
        QTest::keyClick(list(), Qt::Key_V);
        EXPECT_TRUE(shown);
    }

    /// Writes a file of `count` lines, line n being `text(n)`, with no final line feed.
    void writeLines(const std::string& name, int64_t count,
                    const std::function<std::string(int64_t)>& text) {
        const int fd = ::open(tmp.at("d/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        std::string block;
        for (int64_t n = 0; n < count; ++n) {
            block += text(n);
            if (n + 1 < count)
                block += '\n';
            if (block.size() >= (1 << 20) || n + 1 == count) {
                ASSERT_EQ(::write(fd, block.data(), block.size()),
                          static_cast<ssize_t>(block.size()));
                block.clear();
            }
        }
        ::close(fd);
    }
};

QString Joined(const QStringList& lines) {
    return lines.join('\n');
}

/// Waits until the status line tells the whole count (the index is read on a
/// thread of its own).
bool WaitForLineCount(TViewerForm* viewer, int64_t count) {
    const QString want = QString("%1 lines").arg(count);
    return QTest::qWaitFor([&] { return viewer->statusLabel()->text().contains(want); }, 120000);
}

} // namespace

TEST_F(ViewerWindowTest, PageDownEndAndCtrlHomeEndReachEveryLineOfLargeFiles) {
    // Numbered lines; the largest file has short (mostly empty) lines so that
    // its 26 million lines take 26 MB.
    struct Case {
        std::string name;
        int64_t lines;
        std::function<std::string(int64_t)> text;
    };
    auto numbered = [](int64_t n) {
        return "line " + std::to_string(n + 1);
    };
    const int64_t huge = 26'000'000;
    auto sparse = [huge](int64_t n) {
        return n % 100'000 == 0 || n >= huge - 100 ? "line " + std::to_string(n + 1)
                                                   : std::string();
    };
    const std::vector<Case> cases = {{"k20.txt", 20'000, numbered},
                                     {"k200.txt", 200'000, numbered},
                                     {"k800.txt", 800'000, numbered},
                                     {"m26.txt", huge, sparse}};
    for (const Case& c : cases)
        ASSERT_NO_FATAL_FAILURE(writeLines(c.name, c.lines, c.text));
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view(c.name, [&](TViewerForm* viewer) {
            TViewerArea* area = viewer->area();
            ASSERT_TRUE(WaitForLineCount(viewer, c.lines))
                << viewer->statusLabel()->text().toStdString();
            const int page = area->visibleLines() - 1;
            ASSERT_GT(page, 5);
            auto top = [&] {
                return area->visibleLineTexts().front().toStdString();
            };
            QTest::keyClick(area, Qt::Key_PageDown);
            QTest::keyClick(area, Qt::Key_PageDown);
            EXPECT_EQ(area->topLine(), 2 * page);
            EXPECT_EQ(top(), c.text(2 * page));
            QTest::keyClick(area, Qt::Key_End);
            EXPECT_EQ(area->visibleLineTexts().back().toStdString(), c.text(c.lines - 1));
            EXPECT_EQ(area->topLine() + area->visibleLines(), c.lines);
            QTest::keyClick(area, Qt::Key_Home, Qt::ControlModifier);
            EXPECT_EQ(area->topLine(), 0);
            EXPECT_EQ(top(), c.text(0));
            QTest::keyClick(area, Qt::Key_End, Qt::ControlModifier);
            EXPECT_EQ(area->visibleLineTexts().back().toStdString(), c.text(c.lines - 1));
            QTest::keyClick(area, Qt::Key_PageUp);
            EXPECT_EQ(area->topLine(), c.lines - area->visibleLines() - page);
        });
    }
}

TEST_F(ViewerWindowTest, AssistiveToolsReadTheLinesInViewAndTheCaretLine) {
    writeLines("a.txt", 500, [](int64_t n) { return "row " + std::to_string(n); });
    open();
    view("a.txt", [&](TViewerForm* viewer) {
        TViewerArea* area = viewer->area();
        ASSERT_TRUE(WaitForLineCount(viewer, 500));
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(area);
        ASSERT_TRUE(a11y);
        QAccessibleTextInterface* text = a11y->textInterface();
        ASSERT_TRUE(text);
        QTest::keyClick(area, Qt::Key_PageDown);
        const int64_t first = area->topLine();
        QStringList expected;
        for (int64_t n = first; n < first + area->visibleLines(); ++n)
            expected << QString("row %1").arg(n);
        EXPECT_EQ(text->text(0, text->characterCount()), Joined(expected));
        // A click selects the fourth row: the caret stands at its start.
        QTest::mouseClick(area->viewport(), Qt::LeftButton, {},
                          QPoint(5, 3 * area->lineHeight() + area->lineHeight() / 2));
        ASSERT_EQ(area->selectedLine(), first + 3);
        int start = 0, end = 0;
        QString line =
            text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
        EXPECT_EQ(line.trimmed(), QString("row %1").arg(first + 3));
        // Scrolled on, the text follows.
        QTest::keyClick(area, Qt::Key_Down);
        EXPECT_TRUE(
            text->text(0, text->characterCount()).startsWith(QString("row %1\n").arg(first + 1)));
    });
}

TEST_F(ViewerWindowTest, LinesAreWholeAndTheFindBoxHasAWorkingMnemonic) {
    tmp.write("d/g.txt", "gjpqy\nsecond\n");
    open();
    view("g.txt", [&](TViewerForm* viewer) {
        TViewerArea* area = viewer->area();
        // A row is as high as the font with its descenders.
        EXPECT_GE(area->lineHeight(), QFontMetrics(area->viewport()->font()).height());
        viewer->FindTextClick();
        auto* dialog = viewer->findChild<QDialog*>("ViewerFindDialog");
        ASSERT_TRUE(dialog);
        auto* label = dialog->findChild<QLabel*>("lbFindWhat");
        auto* box = dialog->findChild<QLineEdit*>();
        ASSERT_TRUE(label && box);
        // The label shows "Find what:" with N as its key, which leads to the box.
        EXPECT_EQ(label->buddy(), box);
        auto* matchCase = dialog->findChild<QCheckBox*>();
        ASSERT_TRUE(matchCase);
        matchCase->setFocus();
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(dialog, Qt::Key_N, Qt::AltModifier);
        EXPECT_TRUE(box->hasFocus());
        dialog->close();
    });
}

TEST_F(ViewerWindowTest, FindRunsOnTheWholeFileAndSelectsTheHit) {
    const int64_t lines = 300'000;
    const int64_t needle = lines - 1000;
    writeLines("big.txt", lines, [&](int64_t n) {
        return n == needle ? std::string("here\tthe Nee\x01"
                                         "dle is")
                           : "line " + std::to_string(n);
    });
    open();
    view("big.txt", [&](TViewerForm* viewer) {
        TViewerArea* area = viewer->area();
        ASSERT_TRUE(WaitForLineCount(viewer, lines));
        // F7 opens the find box; the text is typed, Find Next searches (without
        // regard to case, as the box starts) the lines as shown.
        QTest::keyClick(area, Qt::Key_F7);
        auto* dialog = viewer->findChild<QDialog*>("ViewerFindDialog");
        ASSERT_TRUE(dialog);
        auto* box = dialog->findChild<QLineEdit*>();
        ASSERT_TRUE(box);
        box->setText("     the needle");
        auto* next = dialog->findChild<QPushButton*>("btnFindNext");
        ASSERT_TRUE(next);
        next->click();
        viewer->waitForSearch();
        EXPECT_EQ(area->selectedLine(), needle);
        EXPECT_EQ(area->topLine(), needle - 1); // the hit is the second row
        EXPECT_TRUE(viewer->statusLabel()->text().endsWith(QString("Line %1").arg(needle + 1)))
            << viewer->statusLabel()->text().toStdString();
        // F3 searches on from there: nothing more, a beep, no selection.
        dialog->close();
        QTest::keyClick(area, Qt::Key_F3);
        viewer->waitForSearch();
        EXPECT_EQ(area->selectedLine(), -1);
        EXPECT_EQ(prompter.beeps(), 1);
    });
}
