#pragma once

// For GUI test programs only (needs Qt Widgets).

#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/copymovecontroller.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/ops/tcopymovepage.h"
#include "gui/tagging/taggingcontroller.h"
#include "gui/tagging/tfileattrpage.h"
#include "support/mainwindowfixture.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <ctime>
#include <string>
#include <vector>

namespace zentrix::test {

/// The main window with the focus in the file list of one directory, for the
/// file commands: German dates in UTC (as the date prompt reads them), plain
/// deletion, and the steps a user takes to choose files and answer the
/// command strip's pages.
class FilesWindowFixture : public MainWindowFixture {
protected:
    ScopedEnv tz{"TZ", "UTC"};

    /// The window over `driveSpec`, every drive of which is logged whole, with
    /// the files of `dir` shown. Call it under ASSERT_NO_FATAL_FAILURE.
    void openFiles(const std::string& driveSpec, const std::string& dir) {
        ::tzset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        useHome();
        state.currentDisk = dir.empty() ? 'D' : dir[0];
        settings.ShowMemStat = false;
        settings.WindowsDir = "W:\\";
        settings.SystemDir = "W:\\SYSTEM\\";
        settings.DeleteType = 1;
        ASSERT_NO_FATAL_FAILURE(openWindow(driveSpec));
        form->Start({});
        form->logger().LogDirBranch();
        ASSERT_NO_FATAL_FAILURE(openDir(dir));
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        QLocale::setDefault(QLocale::system());
        ::tzset();
    }

    /// The files of directory `path` in the file window, the focus on them.
    void openDir(const std::string& path) {
        cat->Tree().Select(form->logger().FindNodeByPath(path));
        state.scope = 1;
        form->FillMainListBox();
        idle();
        ASSERT_NO_FATAL_FAILURE(focusList());
    }

    /// The row of the file named exactly `name`, or -1.
    int row(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
    TFileClass* record(const std::string& name) {
        return row(name) >= 0 ? fw().Record(row(name)) : nullptr;
    }
    void current(const std::string& name) {
        ASSERT_GE(row(name), 0) << name;
        fw().SetCurrent(row(name));
        list()->setCurrentIndex(row(name));
        idle();
    }
    /// Exactly the files of `names` tagged.
    void tag(const std::vector<std::string>& names) {
        for (int i = 0; i < fw().Count(); ++i)
            fw().Record(i)->SetTagged(false);
        for (const std::string& n : names) {
            ASSERT_GE(row(n), 0) << n;
            fw().Record(row(n))->SetTagged(true);
        }
    }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(list(), key, mods);
        idle();
    }

    /// `text` typed over what the box holds, then Enter.
    void typeEnter(QComboBox* box, const std::string& text) {
        box->lineEdit()->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QString::fromStdString(text));
        QTest::keyClick(box, Qt::Key_Return);
        idle();
    }
    /// Answers the copy/move page that is up, which must be `expected`.
    void copyMovePage(CopyMovePage expected, const std::string& text) {
        TCopyMovePage* up = form->copyMove().currentPage();
        ASSERT_EQ(up, form->copyMove().page(expected));
        typeEnter(up->box, text);
    }
    void prompt(TCommandPrompt* page, const std::string& text) {
        ASSERT_TRUE(page->isVisible());
        typeEnter(page->hbBox, text);
    }
    void attributes(const std::string& text) {
        TFileAttrPage* page = form->tagging().fileAttrPage();
        ASSERT_TRUE(page->isVisible());
        typeEnter(page->hbFilesAttrHistory, text);
    }
};

} // namespace zentrix::test
