#pragma once

#include "catalogue/diskinfo.h"
#include "platform/branchreader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class LoggedDiskTabs;
class Progress;
class Prompter;
struct Settings;
class TTreeNode;

/// Loads a CD-ROM's catalogue from its cache file instead of reading the disc.
class CdCacheLoader {
public:
    virtual ~CdCacheLoader() = default;
    /// True when the drive's catalogue was loaded from a cache file (asking the
    /// user as the settings say); false to read the disc. It may run events:
    /// the drive's root is looked up again afterwards.
    virtual bool LoadFromCache(char letter) = 0;
};

/// Reads disks into the catalogue and keeps it in step with them: one
/// directory's files, one level of subdirectories, whole branches, re-reads that
/// keep unchanged tags, unlogging, logging and releasing drives, and opening a
/// path level by level. All on the main thread.
class DiskLogger {
public:
    DiskLogger(Catalogue& catalogue, AppState& state, const Settings& settings,
               LoggedDiskTabs& tabs, Prompter& prompter, CatalogueUi& ui);
    ~DiskLogger();
    DiskLogger(const DiskLogger&) = delete;
    DiskLogger& operator=(const DiskLogger&) = delete;

    /// The CD-ROM cache that LogDrive tries first (none: discs are always read).
    void SetCdCacheLoader(CdCacheLoader* loader) { m_cdCache = loader; }

    // --- readers ---------------------------------------------------------------
    /// Reads the node's files into a new directory record. Nothing when the node
    /// is logged already; the node stays unlogged when the listing cannot start.
    void LogDirFiles(TTreeNode* node);
    /// Replaces the node's children by one unlogged child per subdirectory, with
    /// expand buttons decided by the precision probe.
    void LogSubDirs(TTreeNode* node);
    /// Logs the node and everything below it, depth first. Links to directories
    /// become nodes but are not descended.
    void LogBranchRecursive(TTreeNode* node);
    /// Re-reads a logged directory in place; tags of tagged files that did not
    /// change survive. Returns whether anything changed.
    bool RefreshDir(TTreeNode* node);
    /// Forgets the files of the node and of everything below it.
    void UnlogBranch(TTreeNode* node);

    // --- drives and paths -------------------------------------------------------
    void LogDrive(char letter);
    /// Forgets a logged drive, asking as the settings say; true when released.
    bool ReleaseDrive(char letter);
    /// Makes every directory on the path known and logged (logging the drive
    /// first if needed) and selects the last one. Each name is matched exactly
    /// first, then without regard to case; a directory on disk that is no node
    /// yet (hidden, or made since its parent was read) becomes one. Paths with
    /// "." or ".." components, empty components or no drive are refused (false).
    bool GoToDirPath(const std::string& path);
    /// The node of a path, or none. Each name is matched exactly first, then
    /// without regard to case; the drive letter in either case.
    TTreeNode* FindNodeByPath(std::string_view path) const;
    /// A directory an operation has just made (the path ends in a backslash)
    /// appears in the tree: each directory on its way that is on disk but no
    /// node yet becomes one, in its sorted place, as long as its parent is
    /// logged (an unlogged parent reads its subdirectories when opened). A
    /// parent that gains a node is opened. Hidden ones follow the option.
    void ShowMadeDirectory(const std::string& path);

    /// Bit 0: the directory has an entry; bit 1: it has a subdirectory. Reads at
    /// most the precision's number of entries unless exact.
    int PrecisionProbe(const std::string& hostPath, bool exact) const;
    /// The entry limit of a precision (0 for none, -1 for no limit).
    static int64_t ProbeLimit(int precision);

    // --- main-window commands -----------------------------------------------------
    void LogOneLevel();
    void LogDirBranch();
    void RelogDir();
    /// "Refresh all directories": every logged directory in tree order, with the
    /// "STOP" panel; stops when the abort flag is set.
    void RefreshAllDirectories(Progress& progress);
    void ReleaseDisk();
    /// The program was activated: re-read the current directory when asked to.
    void ProgramActivated();
    /// The "Show hidden directories" choice may have changed: hidden directories
    /// leave the tree (with whatever was read below them), or those of every
    /// logged directory become nodes. Nothing when the tree shows them as the
    /// choice says already.
    void ApplyHiddenDirsOption();

    /// The disk information of the current disk: kind name and label into the
    /// program state, the panel's facts computed (DiskInfo()), its tab made
    /// active, the panel told.
    void UpdateDiskInfo();
    /// What the disk information panel shows, as of the last UpdateDiskInfo.
    const DiskPanelInfo& DiskInfo() const { return m_diskInfo; }
    /// A node became selected (the tree's selection-change handler).
    void SelectionChanged(TTreeNode* node);

    /// Sets a node's images from its state.
    void SetNodeImages(TTreeNode* node);

    /// Runs after RefreshDir has read a directory again (changed or not).
    std::function<void(TTreeNode* node)> OnDirRead;

private:
    class ToolRunning;
    void readBranchDir(TTreeNode* node, platform::BranchReader& reader,
                       platform::BranchReader::Dir* dir,
                       std::vector<std::pair<TTreeNode*, platform::BranchReader::Dir*>>& descend);
    void logUnloggedInBranch(TTreeNode* start);
    TTreeNode* resumeAfter(const std::string& path) const;
    TTreeNode* addChildFromDisk(TTreeNode* parent, std::string_view name, bool exact);
    TTreeNode* findRoot(char letter) const;
    bool makeReady(char letter);
    std::string fileDescriptionAtLogging(TTreeNode* node, std::string_view name, bool iconKinds);

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    LoggedDiskTabs& m_tabs;
    Prompter& m_prompter;
    CatalogueUi& m_ui;
    CdCacheLoader* m_cdCache = nullptr;
    DiskPanelInfo m_diskInfo;
    bool m_hiddenDirsShown; // what the tree was read with
};

} // namespace zentrix
