#pragma once
// A catalogue over one drive, T:, standing for a tree on disk, with the
// logger that reads it: what the benchmarks that read a whole tree set up.

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <string>

namespace zentrix::bench {

struct TreeCatalogue {
    explicit TreeCatalogue(const std::string& dir)
        : drives(
              platform::DriveTable::FromSpec("T=" + dir, platform::DriveTable::ReadMountTable())),
          catalogue(drives), tabs(state), logger(catalogue, state, settings, tabs, prompter, ui),
          root(catalogue.Tree().InsertTopLevel(0, "T:\\")) {}
    TreeCatalogue(const TreeCatalogue&) = delete;
    TreeCatalogue& operator=(const TreeCatalogue&) = delete;

    platform::DriveTable drives;
    Catalogue catalogue;
    AppState state;
    Settings settings;
    LoggedDiskTabs tabs;
    SilentPrompter prompter;
    CatalogueUi ui;
    DiskLogger logger;
    TTreeNode* root; // T:\, not read yet
};

} // namespace zentrix::bench
