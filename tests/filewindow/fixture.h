#pragma once

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "filewindow/filewindow.h"
#include "platform/drivetable.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zentrix::test {

/// The windows' side of the file window, recorded: where the focus is, what
/// was asked of the tree and the panels.
class RecordingUi : public FileWindowUi {
public:
    enum class Focus { None, Tree, FileWindow, Other };
    Focus focus = Focus::Other;
    Focus lastFocused = Focus::Tree;
    bool maximized = false;
    bool enabled = true;
    std::string label;
    std::vector<FileCommand> commands;
    std::vector<int> repainted;
    int treeLocks = 0;
    int treeUnlocks = 0;
    int restores = 0;
    bool panelVisible = true;
    bool updating = false;

    void setCurrDirLabel(const std::string& text) override { label = text; }
    void setFileWindowEnabled(bool on) override { enabled = on; }
    void entryChanged(int index) override { repainted.push_back(index); }
    bool fileWindowHasFocus() const override { return focus == Focus::FileWindow; }
    bool treeHasFocus() const override { return focus == Focus::Tree; }
    void focusFileWindow() override { focus = Focus::FileWindow; }
    void focusTree() override { focus = Focus::Tree; }
    void restoreFocus() override {
        ++restores;
        focus = lastFocused;
    }
    void lockTreeUpdates(bool on) override { ++(on ? treeLocks : treeUnlocks); }
    void setMaximized(bool on) override { maximized = on; }
    void setUpdating(bool on) override { updating = on; }
    bool currentFilePanelVisible() const override { return panelVisible; }
    void runCommand(FileCommand c) override { commands.push_back(c); }
};

/// Progress that asks to stop once its position reaches a mark.
class StoppingProgress : public Progress {
public:
    int64_t stopAt = -1; // no stop
    int64_t total = 0;
    int64_t position = 0;
    bool stopShown = false;
    int pumps = 0;
    bool stop = false;
    /// Runs at every position change, as events let through during a fill would.
    std::function<void(int64_t)> onPosition;

    void setTotal(int64_t t) override {
        total = t;
        position = 0;
    }
    void setPosition(int64_t p) override {
        position = p;
        if (stopAt >= 0 && p >= stopAt)
            stop = true;
        if (onPosition)
            onPosition(p);
    }
    void showStop(bool shown) override {
        stopShown = shown;
        stop = false;
    }
    bool aborted() const override { return stop; }

protected:
    void processEvents() override { ++pumps; }
};

/// A catalogue over real temporary directories: drive D is `dir`, drive E is
/// `other`, with a file window on top.
class FileWindowFixture : public ::testing::Test {
protected:
    TempDir dir;
    TempDir other;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    AppState state;
    Settings settings;
    std::unique_ptr<LoggedDiskTabs> tabs;
    ScriptedPrompter prompter;
    CatalogueUi catUi;
    std::unique_ptr<DiskLogger> logger;
    StoppingProgress progress;
    RecordingUi ui;
    std::unique_ptr<FileWindow> fw;

    /// Builds the catalogue once the files are in place.
    void start() {
        drives = std::make_unique<platform::DriveTable>(
            platform::DriveTable::FromSpec("D=" + dir.path() + ";E=" + other.path(), {}));
        cat = std::make_unique<Catalogue>(*drives);
        tabs = std::make_unique<LoggedDiskTabs>(state);
        logger = std::make_unique<DiskLogger>(*cat, state, settings, *tabs, prompter, catUi);
        fw = std::make_unique<FileWindow>(*cat, state, settings, prompter, progress, *logger);
        fw->SetUi(&ui);
    }

    TTreeNode* node(const std::string& path) { return logger->FindNodeByPath(path); }
    /// Logs a drive with every directory on it (the "log branch" command on its root).
    void logAll(char letter) {
        logger->LogDrive(letter);
        cat->Tree().Select(node(std::string(1, letter) + ":\\"));
        logger->LogDirBranch();
    }
    void select(const std::string& path) {
        ASSERT_NE(node(path), nullptr) << path;
        cat->Tree().Select(node(path));
    }
    /// The display texts of the window, in order.
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (int i = 0; i < fw->Count(); ++i)
            out.emplace_back(fw->Text(i));
        return out;
    }
    TFileClass* file(const std::string& fullName) {
        const auto cut = fullName.rfind('\\');
        TTreeNode* n = node(fullName.substr(0, cut + 1));
        if (!n || !n->Data())
            return nullptr;
        for (TFileClass* f : n->Data()->FileList())
            if (f->FileName() == fullName.substr(cut + 1))
                return f;
        return nullptr;
    }
    /// Runs the fill the way the idle handler does, once per request.
    void fill() {
        state.refillRequested = false;
        fw->FillMainListBox();
    }
};

} // namespace zentrix::test
