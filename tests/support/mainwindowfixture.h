#pragma once

// For GUI test programs only (needs Qt Widgets).

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/tree.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "filewindow/filewindow.h"
#include "gui/app/tmainform.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/guitestapp.h"
#include "platform/drivetable.h"
#include "support/scopedenv.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zentrix::test {

/// The real main window over drives on folders of a temporary directory,
/// offscreen. A test's own SetUp writes its files and settings, then calls the
/// pieces it needs: useHome(), openWindow() (or makeDrives(), makeForm() and
/// showActive() with its own wiring in between), and starts the window as it
/// likes.
class MainWindowFixture : public ::testing::Test {
protected:
    TempDir tmp;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    AppState state;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<TMainForm> form;

    MainWindowFixture() { GuiApp(); }

    /// Settings and logs in tmp/home and, with `config`, the desktop's
    /// configuration in tmp/config, until the window is closed.
    void useHome(bool config = true) {
        tmp.mkdir("home");
        setEnv("ZENTRIX_HOME", tmp.at("home"));
        if (config) {
            tmp.mkdir("config");
            setEnv("XDG_CONFIG_HOME", tmp.at("config"));
        }
    }
    /// An environment variable that holds until the window is closed.
    void setEnv(const char* name, const std::string& value) {
        m_env.push_back(std::make_unique<ScopedEnv>(name, value));
    }

    /// The drives of `driveSpec` and their catalogue.
    void makeDrives(const std::string& driveSpec) {
        drives =
            std::make_unique<platform::DriveTable>(platform::DriveTable::FromSpec(driveSpec, {}));
        cat = std::make_unique<Catalogue>(*drives);
    }
    /// The window over them, not shown yet. The desktop's clipboard starts
    /// empty: what an earlier test left there is not this test's.
    void makeForm() {
        QGuiApplication::clipboard()->clear();
        form = std::make_unique<TMainForm>(*cat, state, settings, *drives, &prompter);
    }
    /// The window shown and active.
    void showActive() {
        form->show();
        reactivate();
    }
    /// makeDrives(), makeForm() and showActive(); call it under
    /// ASSERT_NO_FATAL_FAILURE.
    void openWindow(const std::string& driveSpec) {
        makeDrives(driveSpec);
        makeForm();
        showActive();
    }
    /// Back from a modal dialog: the window is active again (a window manager
    /// would see to that).
    void reactivate() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    FileWindow& fw() { return form->fileWindow().model(); }
    TVirtualListBox* list() { return form->fileWindow().MainListBox; }
    /// The window active and the focus in the file list.
    void focusList() {
        reactivate();
        list()->setFocus();
        idle();
        ASSERT_TRUE(list()->hasFocus());
    }

    /// The one-directory view of a directory, with the focus in the file list.
    void openDir(const std::string& path) {
        cat->Tree().Select(form->logger().FindNodeByPath(path));
        state.scope = 1;
        form->FillMainListBox();
        idle();
        list()->setFocus();
        idle();
    }
    /// The row of the file window that shows `name`; -1 when none does.
    int rowOf(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }

    virtual void idle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    /// The window goes before the catalogue and drives it shows; then the
    /// environment is put back.
    void closeWindow() {
        form.reset();
        while (!m_env.empty())
            m_env.pop_back();
    }
    void TearDown() override {
        idle();
        closeWindow();
    }

private:
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
};

} // namespace zentrix::test
