#include "catalogue/disklogger.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/extensionkinds.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "core/scopeexit.h"
#include "core/text.h"
#include "platform/branchreader.h"
#include "platform/collation.h"
#include "platform/dirlisting.h"
#include "platform/subdirhint.h"
#include "platform/systeminfo.h"
#include "platform/hostname.h"
#include "platform/process.h"
#include "platform/volume.h"

#include <cctype>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zentrix {

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Sizes are kept whole; no file system reports one beyond the signed range.
int64_t fileSize(uint64_t size) {
    return size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(size);
}
uint16_t low16(uint32_t attributes) {
    return static_cast<uint16_t>(attributes & 0xFFFF);
}

// Branches of at least this many directories give their walk's memory back.
constexpr size_t kTrimAfterDirs = 2000;

bool isHiddenName(std::string_view name) {
    return !name.empty() && name[0] == '.';
}

// "." and ".." are never directories of the catalogue. Every other directory is,
// hidden ones (names beginning with ".") included unless the settings hide them;
// hiding them by their name alone would make ~/.config unreachable.
bool isSkippedDir(const platform::DirEntry& e, bool showHidden) {
    return e.name == "." || e.name == ".." || (!showHidden && isHiddenName(e.name));
}

platform::AttrSource attrSourceOf(const Catalogue& cat, const TTreeNode* node) {
    const platform::DriveInfo* d = cat.Drives().Find(node->DriveLetter());
    return d ? d->attrSource : platform::AttrSource::Posix;
}

// The parts of a path between its backslashes, empty ones left out.
std::vector<std::string_view> pathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (pos < path.size()) {
        const size_t end = std::min(path.find('\\', pos), path.size());
        if (end > pos)
            parts.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

// A child of the node by its text, exactly or without regard to case. Lookups
// ask for the exact text first, so that "Docs" and "DOCS" side by side are both
// reachable.
TTreeNode* childByText(const TTreeNode* parent, std::string_view text, bool exact) {
    for (int i = 0; i < parent->Count(); ++i) {
        TTreeNode* child = parent->Item(i);
        if (exact ? child->Text() == text : EqualsIgnoreCase(child->Text(), text))
            return child;
    }
    return nullptr;
}

} // namespace

DiskLogger::DiskLogger(Catalogue& catalogue, AppState& state, const Settings& settings,
                       LoggedDiskTabs& tabs, Prompter& prompter, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_tabs(tabs), m_prompter(prompter),
      m_ui(ui), m_hiddenDirsShown(settings.ShowHiddenDirsOption) {
    TTree& tree = m_cat.Tree();
    tree.CanChangeSelection = [this](TTreeNode*) {
        return !m_state.fileOperationRunning;
    };
    tree.OnSelectionChange = [this](TTreeNode* node) {
        SelectionChanged(node);
    };
}

DiskLogger::~DiskLogger() {
    TTree& tree = m_cat.Tree();
    tree.CanChangeSelection = nullptr;
    tree.OnSelectionChange = nullptr;
}

void DiskLogger::SetNodeImages(TTreeNode* node) {
    if (!node->Logged())
        m_cat.Tree().SetImages(node, kImageUnlogged, kImageUnloggedSelected);
    else if (node->Data()->NumFilesInDir() > 0)
        m_cat.Tree().SetImages(node, kImageLogged, kImageLoggedSelected);
    else
        m_cat.Tree().SetImages(node, kImageEmpty, kImageEmptySelected);
}

std::string DiskLogger::fileDescriptionAtLogging(TTreeNode* node, std::string_view name,
                                                 bool iconKinds) {
    if (!m_settings.FetchFileDescOption)
        return {};
    if (!IsOwnDescriptionKind(name) && !(iconKinds && IsIconKind(name)))
        return {};
    std::string path = node->Path();
    path += name;
    return m_cat.FileTypeDescriptionOf(m_cat.Drives().ToHostPath(path).value_or(std::string()),
                                       name);
}

// ---------------------------------------------------------------------------
// Precision probe

int64_t DiskLogger::ProbeLimit(int precision) {
    static const int64_t factor[] = {0, 10, 50, 100, 250, 500, 1000, 5000, 10000, 50000, 99999};
    if (precision <= 0)
        return 0;
    if (precision > 10)
        precision = 10;
    return precision * factor[precision];
}

namespace {

int probeListing(platform::DirListing& listing, int64_t limit, bool showHidden) {
    int bits = 0;
    int64_t counted = 0;
    platform::DirEntry e;
    for (;;) {
        if (limit >= 0 && counted >= limit)
            break;
        if (!listing.Next(e))
            break;
        if (e.IsDirectory()) {
            if (isSkippedDir(e, showHidden))
                continue;
            bits |= 3; // both bits are known now: nothing further can change them
            break;
        }
        bits |= 1;
        ++counted;
    }
    return bits;
}

} // namespace

int DiskLogger::PrecisionProbe(const std::string& hostPath, bool exact) const {
    const int precision = m_settings.LogDrivePrecisionOption;
    if (!exact && precision <= 0)
        return 3;
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    if (!listing.Open(hostPath))
        return 0;
    return probeListing(listing, exact ? -1 : ProbeLimit(precision),
                        m_settings.ShowHiddenDirsOption);
}

// ---------------------------------------------------------------------------
// Readers

void DiskLogger::LogDirFiles(TTreeNode* node) {
    if (!node || node->Logged())
        return;
    BusyGuard busy(m_state);
    const auto host = m_cat.HostPath(node);
    platform::DirListing listing(attrSourceOf(m_cat, node), platform::StatMode::FilesOnly);
    if (!host || !listing.Open(*host))
        return; // the node stays unlogged
    auto record = std::make_unique<TLoggedClass>(node);
    TFileList& files = record->FileList();
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (e.IsDirectory())
            continue;
        files.Add(e.name, fileSize(e.size), low16(e.attributes), e.lastWriteTime, node);
    }
    TLoggedClass* attached = m_cat.LoggedDirs().Add(std::move(record));
    m_cat.Tree().SetData(node, attached);
    if (m_settings.FetchFileDescOption) {
        for (TFileClass* f : attached->FileList()) {
            std::string desc = fileDescriptionAtLogging(node, f->FileName(), true);
            if (!desc.empty())
                f->SetDescText(std::move(desc));
        }
    }
    SetNodeImages(node);
    m_ui.addRecentDir(node->Path());
}

void DiskLogger::LogSubDirs(TTreeNode* node) {
    if (!node)
        return;
    BusyGuard busy(m_state);
    TTree& tree = m_cat.Tree();
    tree.DeleteChildren(node);
    const auto host = m_cat.HostPath(node);
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    if (!host || !listing.Open(*host))
        return;
    const int precision = m_settings.LogDrivePrecisionOption;
    const int64_t limit = ProbeLimit(precision);
    // Without a probe the link counts still tell where there is surely nothing
    // to open, so that no expand button leads nowhere.
    const platform::SubdirHint hint(listing.Fd());
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (!e.IsDirectory() || isSkippedDir(e, m_settings.ShowHiddenDirsOption))
            continue;
        TTreeNode* child = tree.AddChild(node, std::string(e.name));
        tree.SetLink(child, e.isLink);
        int bits = 3;
        if (precision > 0) {
            platform::DirListing probe(platform::AttrSource::Posix, platform::StatMode::None);
            bits = probe.OpenAt(listing.Fd(), e.hostName)
                       ? probeListing(probe, limit, m_settings.ShowHiddenDirsOption)
                       : 0;
        } else if (!hint.MayHaveSubdirs(e.hostName)) {
            bits = 1;
        }
        SetNodeImages(child);
        if (bits & 2)
            tree.SetHasChildren(child, true);
    }
    tree.SortChildren(node);
}

void DiskLogger::LogBranchRecursive(TTreeNode* node) {
    if (!node)
        return;
    BusyGuard busy(m_state);
    const auto host = m_cat.HostPath(node);
    TTree& tree = m_cat.Tree();
    size_t dirsRead = 0;
    {
        platform::BranchReader reader(attrSourceOf(m_cat, node),
                                      platform::BranchReader::DefaultWorkers(),
                                      !m_settings.ShowHiddenDirsOption);

        // Depth first without recursion, so that any depth works: one frame per
        // level holds the subdirectories still to be read. Each directory's
        // record exists before its children are entered, so records come out in
        // pre-order. The reader lists directories ahead on other threads; every
        // record and node is still made here.
        struct Frame {
            TTreeNode* node;
            platform::BranchReader::Dir* dir;
            std::vector<std::pair<TTreeNode*, platform::BranchReader::Dir*>> children;
            size_t next = 0;
        };
        std::vector<Frame> stack;
        auto enter = [&](TTreeNode* n, platform::BranchReader::Dir* dir) {
            Frame frame{n, dir, {}};
            readBranchDir(n, reader, dir, frame.children);
            stack.push_back(std::move(frame));
            ++dirsRead;
        };
        enter(node, host ? reader.Root(*host) : nullptr);
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next < top.children.size()) {
                const auto [child, dir] = top.children[top.next++];
                enter(child, dir); // may move `top`
                continue;
            }
            TTreeNode* n = top.node;
            if (top.dir)
                reader.Release(top.dir);
            stack.pop_back();
            SetNodeImages(n);
            tree.SortChildren(n);
            tree.SetExpanded(n, true); // its descendants were opened on their own way back
        }
    }
    // The read-ahead of a large branch leaves many pages free on the heaps of
    // the reader's threads: they need not stay with the program. A small
    // branch (one of many logged in a row) is not worth the heap walk.
    if (dirsRead >= kTrimAfterDirs)
        platform::ReturnFreeMemory();
}

// Logs one directory of a branch: its record and files, and a child node for
// each subdirectory. Links become closed nodes that are never descended; the
// others are handed back, in listing order, with the reader's handle of each.
void DiskLogger::readBranchDir(
    TTreeNode* node, platform::BranchReader& reader, platform::BranchReader::Dir* dir,
    std::vector<std::pair<TTreeNode*, platform::BranchReader::Dir*>>& descend) {
    TTree& tree = m_cat.Tree();
    tree.DeleteChildren(node);
    // A node read again drops its old record first, so that no directory is
    // ever listed twice.
    if (TLoggedClass* old = node->Data()) {
        tree.SetData(node, nullptr);
        m_cat.LoggedDirs().Take(old);
        m_cat.RecordsInvalidated();
    }
    const platform::DirBatch* batch = dir ? &reader.Batch(dir) : nullptr;
    if (batch && !batch->opened)
        batch = nullptr;
    // The record and the room for its files are one block of the disk's memory.
    size_t count = 0, nameBytes = 0;
    if (batch)
        for (const auto& e : batch->entries)
            if (!e.isDirectory) {
                ++count;
                nameBytes += e.nameLen;
            }
    TLoggedClass* record = m_cat.LoggedDirs().Add(TLoggedClass::Make(node, count, nameBytes));
    tree.SetData(node, record);
    if (!batch)
        return;
    TFileList& files = record->FileList();
    files.Reserve(count, nameBytes);
    tree.ReserveChildren(node, batch->entries.size() - count);
    for (const auto& e : batch->entries) {
        if (e.isDirectory)
            continue;
        const std::string_view name = batch->Name(e);
        TFileClass* rec =
            files.Add(name, fileSize(e.size), low16(e.attributes), e.lastWriteTime, node);
        if (m_settings.FetchFileDescOption) {
            std::string desc = fileDescriptionAtLogging(node, name, false);
            if (!desc.empty())
                rec->SetDescText(std::move(desc));
        }
    }
    size_t childIndex = 0;
    for (const auto& e : batch->entries) {
        if (!e.isDirectory)
            continue;
        TTreeNode* child = tree.AddChild(node, batch->Name(e));
        if (e.isLink) {
            tree.SetLink(child, true);
            tree.SetHasChildren(child, true);
            SetNodeImages(child);
            continue;
        }
        descend.emplace_back(child, reader.Child(dir, childIndex++));
    }
}

bool DiskLogger::RefreshDir(TTreeNode* node) {
    if (!node || !node->Logged())
        return false;
    BusyGuard busy(m_state);
    const auto host = m_cat.HostPath(node);
    platform::DirListing listing(attrSourceOf(m_cat, node), platform::StatMode::FilesOnly);
    if (!host || !listing.Open(*host))
        return false; // left as it was

    struct FileEntry {
        std::string name;
        int64_t size;
        uint16_t attributes;
        int64_t time;
        bool used = false;
    };
    struct SubDir {
        std::string name;
        bool link;
        bool hidden;
        bool used = false;
    };
    std::vector<FileEntry> files;
    std::vector<SubDir> dirs;
    std::unordered_map<std::string_view, size_t> fileIndex;
    std::unordered_map<std::string_view, size_t> dirIndex;
    const platform::SubdirHint hint(listing.Fd());
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (e.IsDirectory()) {
            // A hidden directory that is a node already (opened by its path)
            // stays one even while hidden directories are not shown.
            if (!isSkippedDir(e, true))
                dirs.push_back({std::string(e.name), e.isLink, isHiddenName(e.name)});
        } else {
            files.push_back(
                {std::string(e.name), fileSize(e.size), low16(e.attributes), e.lastWriteTime});
        }
    }
    if (listing.Failed())
        return false; // a directory that failed mid-read keeps its previous state
    for (size_t i = 0; i < files.size(); ++i)
        fileIndex.emplace(files[i].name, i);
    for (size_t i = 0; i < dirs.size(); ++i)
        dirIndex.emplace(dirs[i].name, i);

    TTree& tree = m_cat.Tree();
    bool changed = false;

    // Child nodes: gone from disk -> forgotten; still there -> kept.
    for (int i = 0; i < node->Count();) {
        TTreeNode* child = node->Item(i);
        auto it = dirIndex.find(child->Text());
        if (it == dirIndex.end() || dirs[it->second].used) {
            UnlogBranch(child);
            tree.DeleteNode(child);
            changed = true;
            continue;
        }
        dirs[it->second].used = true;
        ++i;
    }
    for (const SubDir& d : dirs) {
        if (d.used || (d.hidden && !m_settings.ShowHiddenDirsOption))
            continue;
        TTreeNode* child = tree.AddChild(node, d.name);
        tree.SetLink(child, d.link);
        tree.SetHasChildren(child, hint.MayHaveSubdirs(platform::UnescapeName(d.name)));
        SetNodeImages(child);
        changed = true;
    }

    // Files: a tagged record survives when the disk shows the same file (name,
    // time, size and attributes); everything else is read afresh.
    TFileList& list = node->Data()->FileList();
    std::vector<TFileClass*> kept;
    bool removed = false;
    for (TFileClass* r : list) {
        if (r->Tagged()) {
            auto it = fileIndex.find(r->FileName());
            if (it != fileIndex.end()) {
                FileEntry& fe = files[it->second];
                if (!fe.used && fe.time == r->LastWriteTime() && fe.size == r->FileSize() &&
                    fe.attributes == r->Attributes()) {
                    fe.used = true;
                    kept.push_back(r);
                    continue;
                }
            }
        }
        removed = true;
    }
    bool added = false;
    for (const FileEntry& fe : files)
        if (!fe.used)
            added = true;

    if (removed || added) {
        changed = true;
        // Rebuild the list compactly: kept records first, in their order, then
        // the new ones in listing order.
        TFileList fresh;
        size_t nameBytes = 0;
        size_t count = kept.size();
        for (const TFileClass* r : kept)
            nameBytes += r->FileName().size();
        for (const FileEntry& fe : files)
            if (!fe.used) {
                nameBytes += fe.name.size();
                ++count;
            }
        fresh.Reserve(count, nameBytes);
        for (TFileClass* r : kept)
            fresh.AdoptCopy(list, r);
        std::vector<TFileClass*> needDesc;
        for (const FileEntry& fe : files) {
            if (fe.used)
                continue;
            TFileClass* rec = fresh.Add(fe.name, fe.size, fe.attributes, fe.time, node);
            if (m_settings.FetchFileDescOption)
                needDesc.push_back(rec);
        }
        list.Swap(fresh);
        m_cat.RecordsInvalidated();
        for (TFileClass* rec : needDesc) {
            std::string desc = fileDescriptionAtLogging(node, rec->FileName(), true);
            if (!desc.empty())
                rec->SetDescText(std::move(desc));
        }
    }

    if (changed) {
        tree.SortChildren(node);
        tree.SetExpanded(node, true);
        SetNodeImages(node);
    }
    if (OnDirRead)
        OnDirRead(node);
    return changed;
}

void DiskLogger::UnlogBranch(TTreeNode* node) {
    if (!node)
        return;
    BusyGuard busy(m_state);
    TTree& tree = m_cat.Tree();
    // Clear every data slot of the branch before the records go, so that no
    // node is ever left pointing at a disposed record. The branch's nodes are
    // collected on the way: asking each record whether it lies below the node
    // would cost the depth of the tree per record.
    std::unordered_set<const TTreeNode*> branch;
    TTree::PreOrder(node, [&](TTreeNode* n) {
        tree.SetData(n, nullptr);
        branch.insert(n);
        return true;
    });
    const int gone = m_cat.LoggedDirs().RemoveIf(
        [&branch](const TLoggedClass& r) { return branch.count(r.DirNode()) > 0; });
    if (gone > 0)
        m_cat.RecordsInvalidated();
    tree.SetExpanded(node, false);
    if (node->Count() > 0) {
        tree.DeleteChildren(node);
        tree.SetHasChildren(node, true);
    }
    SetNodeImages(node);
    m_ui.repaintTree();
    m_state.requestRefill();
    if (node == tree.Selected())
        m_ui.emptyFileWindow();
}

// ---------------------------------------------------------------------------
// Drives and paths

TTreeNode* DiskLogger::findRoot(char letter) const {
    const std::string text = std::string(1, upper(letter)) + ":\\";
    const TTree& tree = m_cat.Tree();
    for (int i = 0; i < tree.TopCount(); ++i)
        if (tree.Top(i)->Text() == text)
            return tree.Top(i);
    return nullptr;
}

void DiskLogger::UpdateDiskInfo() {
    const char letter = m_state.currentDisk;
    const platform::DriveInfo* drive =
        (letter >= 'A' && letter <= 'Z') ? m_cat.Drives().Find(letter) : nullptr;
    const platform::VolumeInfo volume =
        drive ? platform::QueryVolume(*drive) : platform::VolumeInfo{};
    m_diskInfo = DescribeDisk(letter, drive, volume);
    m_state.driveTypeName = m_diskInfo.typeName;
    m_state.volumeLabel = m_diskInfo.label;
    m_tabs.SetActive(letter);
    m_ui.updateDiskInfo();
}

bool DiskLogger::makeReady(char letter) {
    while (!m_cat.Drives().IsReady(letter)) {
        if (!m_prompter.askRetryCancel("Disk not ready!     ", "Warning!"))
            return false;
    }
    return true;
}

void DiskLogger::SelectionChanged(TTreeNode* node) {
    if (!node)
        return;
    m_cat.LastDirs.Set(node->Path());
    const char letter = node->DriveLetter();
    if (makeReady(letter)) {
        if (letter != m_state.currentDisk) {
            m_state.currentDisk = letter;
            UpdateDiskInfo();
            m_ui.updateStatistics();
        }
        m_state.treeSelectionChanged = true;
    } else {
        ReleaseDrive(letter);
    }
}

void DiskLogger::LogDrive(char letter) {
    letter = upper(letter);
    if (letter < 'A' || letter > 'Z')
        return;
    BusyGuard busy(m_state);
    m_ui.setAppTitle(std::string("Logging disk ") + letter + ": ...");
    m_state.scope = 1;
    m_state.currentDisk = letter;
    UpdateDiskInfo();
    m_ui.setCurrDirLabel("Please wait ...");

    TTree& tree = m_cat.Tree();
    TTreeNode* root = findRoot(letter);
    if (root && root->Logged()) {
        m_ui.emptyFileWindow();
        UnlogBranch(root);
    } else if (!root) {
        int pos = 0;
        while (pos < tree.TopCount() && upper(tree.Top(pos)->Text()[0]) < letter)
            ++pos;
        root = tree.InsertTopLevel(pos, std::string(1, letter) + ":\\");
        SetNodeImages(root);
        tree.Select(root);
        m_tabs.Add(letter);
        // Selecting a drive that is not ready may have released it again, tab
        // and all (before the tab was there to release).
        root = findRoot(letter);
        if (!root)
            m_tabs.Remove(letter);
    }

    if (root) {
        // Loading from the cache asks the user; selecting may ask whether the
        // disk is ready. Either may release the drive meanwhile.
        TNodeRef ref(root);
        const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
        const bool fromCache = drive && drive->kind == platform::DriveKind::CdRom &&
                               m_settings.LogCDFromArchiveOption && m_cdCache &&
                               m_cdCache->LoadFromCache(letter);
        if (!fromCache && ref) {
            LogSubDirs(ref.get());
            LogDirFiles(ref.get());
            tree.SetExpanded(ref.get(), true);
        }
        if (ref) {
            m_ui.focusTree();
            tree.Select(ref.get());
        }
        if (ref)
            m_ui.scrollIntoView(ref.get());
    }
    m_ui.setAppTitle("Zentrix");
    m_state.driveSwitch = false;
    m_state.requestRefill();
}

// An outside tool (eject, unmount) runs, for at most its time limit: the title
// says what the program waits for and the cursor is busy meanwhile.
class DiskLogger::ToolRunning {
public:
    ToolRunning(DiskLogger& logger, const std::string& what)
        : m_logger(logger), m_busy(logger.m_state) {
        m_logger.m_ui.setAppTitle(what);
        m_logger.m_ui.repaintMainWindow();
    }
    ~ToolRunning() { m_logger.m_ui.setAppTitle("Zentrix"); }
    ToolRunning(const ToolRunning&) = delete;
    ToolRunning& operator=(const ToolRunning&) = delete;

private:
    DiskLogger& m_logger;
    BusyGuard m_busy;
};

bool DiskLogger::ReleaseDrive(char letter) {
    letter = upper(letter);
    m_ui.setCurrDirLabel("Please wait ...");
    // No handle on the released drive may stay open: stand on C: meanwhile.
    const platform::DriveInfo* c = m_cat.Drives().Find('C');
    platform::SetCurrentDirectory(c ? c->root : std::string("/"));

    if (!findRoot(letter))
        return false;
    // No node is held across the questions below: any of them may run events
    // that change the tree. The root is looked up again afterwards.
    if (!m_settings.SkipReleaseDrvOption &&
        !m_prompter.askOkCancel(std::string("Release disk ") + letter + " ???"))
        return false;

    const platform::DriveInfo* drive = m_cat.Drives().Find(letter);
    if (drive && drive->kind == platform::DriveKind::CdRom && m_settings.Compatibility == 2 &&
        m_cat.Drives().IsReady(letter)) {
        if (m_settings.SkipEjectCDROMOption || m_prompter.askYesNo("Eject CD-ROM ?")) {
            const ToolRunning running(*this, std::string("Ejecting disk ") + letter + ": ...");
            platform::EjectMedium(drive->mountPoint.empty() ? drive->root : drive->mountPoint);
        }
    }
    if (drive && drive->kind == platform::DriveKind::Network && m_settings.Compatibility == 2) {
        if (m_settings.SkipDisconnectNetworkOption ||
            m_prompter.askYesNo("Disconnect network mapping ?")) {
            bool unmapped;
            {
                const ToolRunning running(*this, std::string("Unmapping disk ") + letter + ": ...");
                unmapped = platform::UnmountShare(drive->mountPoint.empty() ? drive->root
                                                                            : drive->mountPoint);
            }
            if (!unmapped) {
                m_prompter.warn("Could not unmap disk from network!     ");
                return false;
            }
            m_ui.refreshDriveList();
        }
    }

    TTree& tree = m_cat.Tree();
    m_cat.LastDirs.Forget(letter);
    m_tabs.Remove(letter);
    if (TTreeNode* root = findRoot(letter)) {
        UnlogBranch(root);
        tree.DeleteNode(root);
    }
    m_ui.repaintTree();
    m_ui.emptyFileWindow();

    // With no disk left, C is logged again; when C itself cannot be read there
    // is nothing to fall back on, and logging it would only ask to release it.
    if (tree.TopCount() == 0 && m_cat.Drives().IsReady('C'))
        LogDrive('C');

    m_state.requestRefill();
    TTreeNode* target = nullptr;
    const std::string last = m_cat.LastDirs.Get(m_tabs.ActiveLetter());
    if (!last.empty())
        target = FindNodeByPath(last);
    if (!target) {
        TTreeNode* selected = tree.Selected();
        TTreeNode* selRoot = selected ? selected->Root() : tree.FirstTop();
        if (!selRoot)
            target = nullptr;
        else if (selRoot == tree.FirstTop())
            target = tree.Top(tree.TopCount() - 1);
        else
            target = tree.Top(selRoot->Index() - 1);
    }
    if (target) {
        // Deleting the root moved the selection without the change handling;
        // when it moved onto the target, the handling runs now, so that the
        // current disk is never the released one. Selecting may ask whether
        // that disk is ready and release it too.
        const bool alreadySelected = tree.Selected() == target;
        const TNodeRef ref(target);
        tree.Select(target);
        if (alreadySelected && ref)
            SelectionChanged(ref.get());
        if (ref)
            m_ui.scrollIntoView(ref.get());
    }
    return true;
}

TTreeNode* DiskLogger::FindNodeByPath(std::string_view path) const {
    const std::vector<std::string_view> parts = pathParts(path);
    if (parts.empty())
        return nullptr;
    const TTree& tree = m_cat.Tree();
    const std::string rootText = UpperCase(parts[0]) + "\\";
    TTreeNode* node = nullptr;
    for (int i = 0; i < tree.TopCount() && !node; ++i)
        if (UpperCase(tree.Top(i)->Text()) == rootText)
            node = tree.Top(i);
    for (size_t p = 1; p < parts.size() && node; ++p) {
        TTreeNode* next = childByText(node, parts[p], true);
        node = next ? next : childByText(node, parts[p], false);
    }
    return node;
}

void DiskLogger::ShowMadeDirectory(const std::string& path) {
    const std::vector<std::string_view> parts = pathParts(path);
    if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':')
        return;
    TTree& tree = m_cat.Tree();
    TTreeNode* node = findRoot(parts[0][0]);
    for (size_t p = 1; p < parts.size() && node; ++p) {
        if (TTreeNode* next = childByText(node, parts[p], true)) {
            node = next;
            continue;
        }
        if (!node->Logged())
            return;
        if (!m_settings.ShowHiddenDirsOption && isHiddenName(parts[p]))
            return;
        TTreeNode* parent = node;
        node = addChildFromDisk(parent, parts[p], true);
        if (node)
            tree.SetExpanded(parent, true);
    }
}

// A subdirectory that is on disk but not a node of its logged parent: a hidden
// one while hidden directories are not shown, or one made since the parent was
// read. Opening it by its path makes it a node. The exact name is looked for
// first, then the name without regard to case; none when the disk has neither.
TTreeNode* DiskLogger::addChildFromDisk(TTreeNode* parent, std::string_view name, bool exact) {
    const auto host = m_cat.HostPath(parent);
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    if (!host || !listing.Open(*host))
        return nullptr;
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (!e.IsDirectory() || isSkippedDir(e, true))
            continue;
        if (exact ? e.name != name : !EqualsIgnoreCase(e.name, name))
            continue;
        TTree& tree = m_cat.Tree();
        TTreeNode* child = tree.AddChild(parent, std::string(e.name));
        tree.SetLink(child, e.isLink);
        tree.SetHasChildren(child, platform::SubdirHint(listing.Fd()).MayHaveSubdirs(e.hostName));
        SetNodeImages(child);
        tree.SortChildren(parent);
        return child;
    }
    return nullptr;
}

bool DiskLogger::GoToDirPath(const std::string& path) {
    // A path must name a drive and may not step out of it or skip a level.
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
        return false;
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (pos < path.size()) {
        const size_t end = std::min(path.find('\\', pos), path.size());
        const std::string_view part(path.data() + pos, end - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        parts.push_back(part);
        pos = end + 1;
        if (end == path.size() - 1)
            break; // the trailing backslash
    }
    TTree& tree = m_cat.Tree();
    auto logLevel = [&](TTreeNode* n) {
        if (n->Logged())
            return;
        LogSubDirs(n);
        LogDirFiles(n);
        tree.SetExpanded(n, true);
    };
    // Logging a drive may ask questions: the root is looked up afterwards.
    TTreeNode* node = findRoot(path[0]);
    if (node) {
        logLevel(node);
    } else {
        LogDrive(path[0]);
        node = findRoot(path[0]);
    }
    for (size_t i = 1; i < parts.size() && node; ++i) {
        TTreeNode* next = childByText(node, parts[i], true);
        if (!next)
            next = addChildFromDisk(node, parts[i], true);
        if (!next)
            next = childByText(node, parts[i], false);
        if (!next)
            next = addChildFromDisk(node, parts[i], false);
        node = next;
        if (node)
            logLevel(node);
    }
    if (node)
        tree.Select(node);
    return node != nullptr;
}

// ---------------------------------------------------------------------------
// Commands

void DiskLogger::LogOneLevel() {
    TTree& tree = m_cat.Tree();
    TTreeNode* node = tree.Selected();
    if (!node)
        return;
    if (m_ui.fileWindowHasEntries() && node->Logged()) {
        m_ui.focusFileWindow();
        return;
    }
    if (!node->Logged()) {
        LogSubDirs(node);
        LogDirFiles(node);
    }
    if (node->Count() > 0) {
        tree.SetExpanded(node, true);
        m_ui.scrollIntoView(node);
    }
    m_state.requestRefill();
    m_ui.repaintTree();
}

// Logs every unlogged node of the branch in pre-order. Logging a node logs its
// whole subtree, so one walk finds what repeated searches from the top would.
// Links below the start are not entered. No recursion: any depth works.
void DiskLogger::logUnloggedInBranch(TTreeNode* start) {
    TTreeNode* n = start;
    while (n) {
        bool descend = true;
        if (n != start && n->IsLink()) {
            descend = false;
        } else if (!n->Logged()) {
            LogBranchRecursive(n);
            descend = false;
        }
        n = descend && n->Count() > 0 ? n->Item(0) : TTree::NextOutside(n, start);
    }
}

void DiskLogger::LogDirBranch() {
    TTree& tree = m_cat.Tree();
    TTreeNode* node = tree.Selected();
    if (!node)
        return;
    m_ui.setCurrDirLabel("Please wait ...");
    {
        // Undone in reverse order however the reading ends.
        m_ui.freezeTree(true);
        const ScopeExit thaw([this] { m_ui.freezeTree(false); });
        tree.BeginUpdate();
        const ScopeExit endBatch([&tree] { tree.EndUpdate(); });
        const BusyGuard busy(m_state);
        logUnloggedInBranch(node);
    }
    m_ui.addRecentDir(node->Path());
    tree.ExpandAll(node);
    m_ui.scrollIntoView(node);
    m_ui.playCompletionSound();
    m_state.requestRefill();
}

void DiskLogger::RelogDir() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    BusyGuard busy(m_state);
    if (!node->Logged()) {
        LogOneLevel();
    } else if (RefreshDir(node)) {
        m_ui.repaintTree();
        m_state.requestRefill();
    }
}

// Where the refresh walk goes on when the node it stood on went while events
// were processed (the user closed its branch, say): the first node that sorts
// after it among what is left of its parent's children, or whatever follows
// the parent's branch. A node of the same path that exists again is visited.
TTreeNode* DiskLogger::resumeAfter(const std::string& path) const {
    const TTree& tree = m_cat.Tree();
    const std::vector<std::string_view> parts = pathParts(path);
    TTreeNode* parent = nullptr;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string text = i == 0 ? std::string(parts[0]) + "\\" : std::string(parts[i]);
        const int count = parent ? parent->Count() : tree.TopCount();
        auto child = [&](int k) {
            return parent ? parent->Item(k) : tree.Top(k);
        };
        TTreeNode* same = nullptr;
        for (int k = 0; k < count && !same; ++k)
            if (child(k)->Text() == text)
                same = child(k);
        if (same) {
            parent = same;
            continue;
        }
        for (int k = 0; k < count; ++k)
            if (platform::CompareNodeText(child(k)->Text(), text) > 0)
                return child(k);
        return parent ? tree.NextAfterBranch(parent) : nullptr;
    }
    return parent;
}

void DiskLogger::RefreshAllDirectories(Progress& progress) {
    BusyGuard busy(m_state);
    progress.showStop(true);
    m_ui.setCurrDirLabel("Please wait ...");
    m_ui.emptyFileWindow();
    if (m_state.scope == 1) {
        // Events run between directories, and they may change the tree in any
        // way: the walk holds its place by a handle and the place's path.
        TTree& tree = m_cat.Tree();
        TNodeRef current(tree.FirstTop());
        std::string currentPath = current ? current->Path() : std::string();
        while (!currentPath.empty()) {
            progress.pump();
            if (progress.aborted())
                break;
            TTreeNode* n = current ? current.get() : resumeAfter(currentPath);
            if (!n)
                break;
            if (n->Logged())
                RefreshDir(n);
            TTreeNode* next = tree.NextInPreOrder(n);
            current = next;
            currentPath = next ? next->Path() : std::string();
        }
    }
    progress.showStop(false);
    m_ui.repaintTree();
    m_state.requestRefill();
}

void DiskLogger::ReleaseDisk() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (m_cat.Tree().TopCount() < 2) {
        m_prompter.inform("There is only one disk logged!     ");
        return;
    }
    if (node)
        ReleaseDrive(node->DriveLetter());
}

void DiskLogger::ApplyHiddenDirsOption() {
    const bool show = m_settings.ShowHiddenDirsOption;
    if (show == m_hiddenDirsShown)
        return;
    m_hiddenDirsShown = show;
    BusyGuard busy(m_state);
    TTree& tree = m_cat.Tree();
    if (!show) {
        // A selection inside a hidden branch moves out of it first, as the
        // user's own move would (it may ask about the disk).
        if (TTreeNode* sel = tree.Selected()) {
            TTreeNode* outside = sel;
            for (TTreeNode* n = sel; n; n = n->Parent())
                if (n->Attributes() & platform::kAttrHidden)
                    outside = n->Parent();
            if (outside != sel)
                tree.Select(outside);
        }
        // The hidden nodes highest up, found before any goes.
        std::vector<TTreeNode*> hidden;
        for (TTreeNode* n = tree.FirstTop(); n;) {
            if (n->Attributes() & platform::kAttrHidden) {
                hidden.push_back(n);
                n = tree.NextAfterBranch(n);
            } else {
                n = tree.NextInPreOrder(n);
            }
        }
        for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) {
            UnlogBranch(*it);
            tree.DeleteNode(*it);
        }
    } else {
        std::vector<TTreeNode*> logged;
        tree.ForEachNode([&](TTreeNode* n) {
            if (n->Logged())
                logged.push_back(n);
            return true;
        });
        for (TTreeNode* n : logged) {
            const auto host = m_cat.HostPath(n);
            platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
            if (!host || !listing.Open(*host))
                continue;
            bool added = false;
            const platform::SubdirHint hint(listing.Fd());
            platform::DirEntry e;
            while (listing.Next(e)) {
                // Only hidden ones are missing: the others are nodes already.
                if (!e.IsDirectory() || !isSkippedDir(e, false) || isSkippedDir(e, true) ||
                    childByText(n, e.name, true))
                    continue;
                TTreeNode* child = tree.AddChild(n, std::string(e.name));
                tree.SetLink(child, e.isLink);
                tree.SetHasChildren(child, hint.MayHaveSubdirs(e.hostName));
                SetNodeImages(child);
                added = true;
            }
            if (added)
                tree.SortChildren(n);
        }
    }
    m_ui.repaintTree();
    m_state.requestRefill();
}

void DiskLogger::ProgramActivated() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (m_settings.RefreshOnActivate && m_state.scope == 1 && node && RefreshDir(node)) {
        m_ui.repaintTree();
        m_state.requestRefill();
    }
    UpdateDiskInfo();
}

} // namespace zentrix
