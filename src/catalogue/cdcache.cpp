#include "catalogue/cdcache.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/cdcachefile.h"
#include "catalogue/discidentification.h"
#include "catalogue/localtimeoffsets.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "core/scopeexit.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/fileprobe.h"
#include "platform/volume.h"

#include <memory>
#include <vector>

namespace zentrix {

namespace {

std::string rootPath(char letter) {
    return std::string(1, letter) + ":\\";
}

} // namespace

CdCache::CdCache(Catalogue& catalogue, AppState& state, const Settings& settings,
                 DiskLogger& logger, Prompter& prompter, Progress& progress, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_logger(logger),
      m_prompter(prompter), m_progress(progress), m_ui(ui) {}

std::string CdCache::CacheDirectory() {
    const std::string program = platform::AppPaths::ProgramDir();
    const std::string cache = program + "Cache/";
    return platform::MakeDirectories(cache) ? cache : program;
}

std::optional<std::string> CdCache::DiscIdentification(char letter,
                                                       const std::string& label) const {
    const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
    if (!drive)
        return std::nullopt;
    const auto value = DiscIdentificationValue(label, drive->root);
    if (!value)
        return std::nullopt;
    return DiscIdentificationText(*value);
}

bool CdCache::wholeDiskLogged(TTreeNode* root) const {
    // Links to directories are never read: they do not count.
    return TTree::PreOrder(root, [](TTreeNode* n) { return n->IsLink() || n->Logged(); });
}

void CdCache::ArchiveCDROMDisk() {
    const char letter = m_state.currentDisk;
    const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
    if (!drive || drive->kind != platform::DriveKind::CdRom) {
        m_prompter.warn("Disk not a CD-ROM!     ");
        return;
    }
    // The whole disk is the selected node's drive root and everything below.
    const auto findRoot = [&]() -> TTreeNode* {
        TTreeNode* selected = m_cat.Tree().Selected();
        if (selected && selected->DriveLetter() == letter)
            return selected->Root();
        return m_logger.FindNodeByPath(rootPath(letter));
    };
    TTreeNode* root = findRoot();
    if (!root || !wholeDiskLogged(root)) {
        m_prompter.warn("Whole disk not logged!     ");
        return;
    }
    // No node is held across the questions: they run events that may change
    // the tree.
    root = nullptr;
    if (!m_settings.SkipArchiveOption &&
        !m_prompter.askOkCancel("Archive CD-ROM disk: " + std::string(1, letter) + ": ?"))
        return;
    const std::string label = m_state.volumeLabel;
    const auto id = DiscIdentification(letter, label);
    if (!id) {
        m_prompter.warn("Could not identify CD-ROM!     ");
        return;
    }

    std::string title = label;
    if (m_settings.Compatibility == 2) {
        BusyGuard busy(m_state);
        const DiscInfoRecord record = ReadDiscInfo(*drive);
        if (!record.volume.empty())
            title = record.volume;
        const auto entered = m_prompter.inputText("Zentrix", "Enter disc title: ", title);
        if (!entered)
            return;
        title = *entered;
        archiveTo(letter, *id, MakeCdCacheHeader(title, record));
    } else {
        const auto entered = m_prompter.inputText("Zentrix", "Enter disc title: ", title);
        if (!entered)
            return;
        archiveTo(letter, *id, MakeCdCacheHeader(*entered, DiscInfoRecord{}));
    }
}

void CdCache::archiveTo(char letter, const std::string& id, const CdCacheHeader& header) {
    BusyGuard busy(m_state);
    // The tree may have changed while the title was asked for.
    TTreeNode* root = m_logger.FindNodeByPath(rootPath(letter));
    if (!root || !wholeDiskLogged(root)) {
        m_prompter.warn("Whole disk not logged!     ");
        return;
    }
    LocalTimeOffsets times;
    const std::string bytes = WriteCdCache(header, root, times);
    const std::string path = CacheDirectory() + id + ".ccc";
    try {
        platform::WriteFileAtomically(path, bytes, 0644);
    } catch (const platform::FileWriteError& e) {
        m_prompter.error(std::string(e.what()) + "     ");
        return;
    }
    m_prompter.inform("Operation successful.     ");
}

bool CdCache::LoadFromCache(char letter) {
    const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
    if (!drive || drive->kind != platform::DriveKind::CdRom || !m_settings.LogCDFromArchiveOption)
        return false;
    // The shown label is the current disk's; logging a drive makes it current.
    const std::string label =
        m_state.currentDisk == letter ? m_state.volumeLabel : platform::QueryVolume(*drive).label;
    const auto id = DiscIdentification(letter, label);
    if (!id)
        return false;
    const std::string path = CacheDirectory() + *id + ".ccc";
    if (!platform::IsRegularFile(path))
        return false;
    if (!m_settings.SkipRestoreOption && !m_prompter.askYesNo("Log CD-ROM from cache ?"))
        return false;
    return LoadCacheFile(path, letter);
}

bool CdCache::LoadCacheFile(const std::string& hostPath, char letter) {
    BusyGuard busy(m_state);
    LocalTimeOffsets times;
    std::optional<CdCacheContents> contents;
    {
        auto bytes = platform::ReadWholeFile(hostPath, kMaxCdCacheBytes);
        if (!bytes) {
            m_prompter.error("Could not read the CD-ROM cache file " + hostPath + ".     ");
            return false;
        }
        std::string problem;
        contents = ParseCdCache(std::move(*bytes), times, &problem);
        if (!contents) {
            m_prompter.error("The CD-ROM cache file " + hostPath + " is damaged (" + problem +
                             ").     ");
            return false;
        }
    }
    TTree& tree = m_cat.Tree();
    TTreeNode* root = m_logger.FindNodeByPath(rootPath(letter));
    if (!root)
        return false;

    if (ShowTitleView)
        ShowTitleView(true);
    ScopeExit normalView([this] {
        if (ShowTitleView)
            ShowTitleView(false);
    });
    m_ui.emptyFileWindow();
    if (root->Logged() || root->Count() > 0)
        m_logger.UnlogBranch(root);
    tree.DeleteChildren(root);
    tree.SetHasChildren(root, false);

    m_progress.showStop(true);
    ScopeExit hideStop([this] { m_progress.showStop(false); });
    m_progress.setTotal(static_cast<int64_t>(contents->dirs.size()));
    {
        // One reset of the windows for the whole disk instead of one per node.
        tree.BeginUpdate();
        const ScopeExit endBatch([&tree] { tree.EndUpdate(); });
        std::vector<TTreeNode*> nodes;
        nodes.reserve(contents->dirs.size());
        for (size_t i = 0; i < contents->dirs.size(); ++i) {
            const CdCacheContents::Directory& d = contents->dirs[i];
            TTreeNode* node =
                i == 0 ? root : tree.AddChild(nodes[d.parent], std::string(contents->Name(d)));
            nodes.push_back(node);
            auto record = std::make_unique<TLoggedClass>(node);
            TFileList& list = record->FileList();
            list.Reserve(d.fileCount, d.fileNameBytes);
            for (uint32_t f = d.firstFile; f < d.firstFile + d.fileCount; ++f) {
                const CdCacheContents::File& file = contents->files[f];
                list.Add(contents->Name(file), file.size, file.attributes, file.lastWriteTime,
                         node);
            }
            tree.SetData(node, m_cat.LoggedDirs().Add(std::move(record)));
            m_progress.setPosition(static_cast<int64_t>(i) + 1);
        }
        // Each parent's children sorted once, after all of them are there.
        for (TTreeNode* node : nodes) {
            if (node->Count() > 1)
                tree.SortChildren(node);
            m_logger.SetNodeImages(node);
        }
    }
    contents.reset();

    tree.Select(root);
    if (TTreeNode* again = m_logger.FindNodeByPath(rootPath(letter)))
        tree.ExpandAll(again);
    hideStop.run();
    normalView.run();
    m_ui.playCompletionSound();
    m_state.requestRefill();
    return true;
}

} // namespace zentrix
