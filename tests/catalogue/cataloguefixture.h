#pragma once

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "platform/drivetable.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zentrix::test {

/// Records what the logging operations asked the windows to do.
class RecordingUi : public CatalogueUi {
public:
    std::vector<std::string> calls;
    bool hasEntries = false;

    void setAppTitle(const std::string& t) override { calls.push_back("title:" + t); }
    void setCurrDirLabel(const std::string& t) override { calls.push_back("label:" + t); }
    void emptyFileWindow() override { calls.push_back("empty"); }
    bool fileWindowHasEntries() const override { return hasEntries; }
    void focusFileWindow() override { calls.push_back("focusFiles"); }
    void focusTree() override { calls.push_back("focusTree"); }
    void updateDiskInfo() override { calls.push_back("diskInfo"); }
    void addRecentDir(const std::string& p) override { calls.push_back("recent:" + p); }
    void playCompletionSound() override { calls.push_back("sound"); }
    void freezeTree(bool f) override { calls.push_back(f ? "freeze" : "thaw"); }
    // The window scrolls to the node: it reads it.
    void scrollIntoView(TTreeNode* n) override { calls.push_back("scroll:" + n->Path()); }
    void makeTopItem(TTreeNode* n) override { calls.push_back("top:" + n->Path()); }

    int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls)
            n += c == call;
        return n;
    }
};

/// A catalogue over drives that stand for temporary directories: C, D and E
/// by default (each a subdirectory of one temporary directory).
class CatalogueTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<Catalogue> cat;
    AppState state;
    Settings settings;
    std::unique_ptr<LoggedDiskTabs> tabs;
    ScriptedPrompter prompter;
    RecordingUi ui;
    std::unique_ptr<DiskLogger> logger;

    void SetUp() override {
        tmp.mkdir("c");
        tmp.mkdir("d");
        tmp.mkdir("e");
        useDrives("C=" + tmp.at("c") + ";D=" + tmp.at("d") + ";E=" + tmp.at("e"));
    }

    void useDrives(const std::string& spec) {
        logger.reset();
        cat.reset();
        drives = std::make_unique<platform::DriveTable>(platform::DriveTable::FromSpec(spec, {}));
        cat = std::make_unique<Catalogue>(*drives);
        tabs = std::make_unique<LoggedDiskTabs>(state);
        logger = std::make_unique<DiskLogger>(*cat, state, settings, *tabs, prompter, ui);
    }

    TTree& tree() { return cat->Tree(); }
    TTreeNode* node(const std::string& path) { return logger->FindNodeByPath(path); }

    /// Names of a node's children, in order.
    static std::vector<std::string> children(const TTreeNode* n) {
        std::vector<std::string> out;
        for (int i = 0; i < n->Count(); ++i)
            out.emplace_back(n->Item(i)->Text());
        return out;
    }
    /// Names of a logged directory's files, in list order.
    static std::vector<std::string> files(const TTreeNode* n) {
        std::vector<std::string> out;
        if (n && n->Data())
            for (const TFileClass* f : n->Data()->FileList())
                out.push_back(std::string(f->FileName()));
        return out;
    }
    static TFileClass* file(const TTreeNode* n, const std::string& name) {
        if (n && n->Data())
            for (TFileClass* f : n->Data()->FileList())
                if (f->FileName() == name)
                    return f;
        return nullptr;
    }
    /// Paths of the logged directories in the order of the logged list.
    std::vector<std::string> loggedPaths() const {
        std::vector<std::string> out;
        for (const TLoggedClass* d : cat->LoggedDirs())
            out.push_back(d->DirNode()->Path());
        return out;
    }
};

} // namespace zentrix::test
