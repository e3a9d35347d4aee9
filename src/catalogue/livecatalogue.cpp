#include "catalogue/livecatalogue.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/extensionkinds.h"
#include "catalogue/recordobserver.h"
#include "catalogue/tree.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "platform/dirlisting.h"
#include "platform/dirwatcher.h"
#include "platform/drivetable.h"
#include "platform/hostname.h"

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace zentrix {

const char* const LiveCatalogue::kLimitHint =
    "Some directories are not followed and may be stale: the system's limit of watches is "
    "reached. Raise it with \"sysctl fs.inotify.max_user_watches=524288\" (as root) and log "
    "them again.";

namespace {

int64_t fileSize(uint64_t size) {
    return size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(size);
}
uint16_t low16(uint32_t attributes) {
    return static_cast<uint16_t>(attributes & 0xFFFF);
}

std::string catalogueName(const std::string& hostName) {
    return platform::IsPlainHostName(hostName) ? hostName : platform::EscapeHostName(hostName);
}

// A mount point as the drive table's host paths spell it: no trailing slash.
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool cannotBeSeen(platform::DriveKind kind) {
    // Other hosts' changes to a network disk never reach this machine's
    // watches; removable media and discs come and go under the catalogue.
    return kind == platform::DriveKind::Network || kind == platform::DriveKind::Floppy ||
           kind == platform::DriveKind::CdRom;
}

template <typename F> void tellObservers(Catalogue& cat, F&& f) {
    for (RecordObserver* o : cat.RecordObservers())
        f(*o);
}

} // namespace

// One directory brought in step: its descriptor, and its records and child
// nodes by name once more than a few names are asked about.
struct LiveCatalogue::DirSync {
    TTreeNode* node;
    TLoggedClass& dir;
    int fd = -1;
    bool indexed = false;
    std::unordered_map<std::string, TFileClass*> records;
    std::unordered_map<std::string, TTreeNode*> children;
    std::vector<TFileClass*> added;
    bool resort = false;

    DirSync(TTreeNode* n, const std::string& hostPath, size_t names) : node(n), dir(*n->Data()) {
        fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (names > 4) {
            indexed = true;
            for (TFileClass* r : dir.FileList())
                records.emplace(std::string(r->FileName()), r);
            for (int i = 0; i < node->Count(); ++i)
                children.emplace(node->Item(i)->Text(), node->Item(i));
        }
    }
    ~DirSync() {
        if (fd >= 0)
            ::close(fd);
    }
    DirSync(const DirSync&) = delete;
    DirSync& operator=(const DirSync&) = delete;

    TFileClass* record(const std::string& name) const {
        if (indexed) {
            auto it = records.find(name);
            return it == records.end() ? nullptr : it->second;
        }
        for (TFileClass* r : dir.FileList())
            if (r->FileName() == name)
                return r;
        return nullptr;
    }
    TTreeNode* child(const std::string& name) const {
        if (indexed) {
            auto it = children.find(name);
            return it == children.end() ? nullptr : it->second;
        }
        for (int i = 0; i < node->Count(); ++i)
            if (node->Item(i)->Text() == name)
                return node->Item(i);
        return nullptr;
    }
    void forgetRecord(const std::string& name) {
        if (indexed)
            records.erase(name);
    }
    void forgetChild(const std::string& name) {
        if (indexed)
            children.erase(name);
    }
};

LiveCatalogue::LiveCatalogue(Catalogue& catalogue, DiskLogger& logger, const Settings& settings,
                             AppState& state, std::function<void()> ready, size_t budget)
    : m_cat(catalogue), m_logger(logger), m_settings(settings), m_state(state),
      m_watcher(std::make_unique<platform::DirWatcher>(std::move(ready))),
      m_budget(budget ? budget : DefaultBudget()) {
    for (const platform::MountEntry& m : platform::DriveTable::ReadMountTable())
        if (platform::IsPseudoFileSystem(m.fsType) ||
            platform::KindOfMount(m.fsType, m.source) == platform::DriveKind::Network)
            m_unseenMounts.insert(withoutTrailingSlash(m.mountPoint));
    m_cat.Tree().OnDataChanged = [this](TTreeNode* node) {
        dataChanged(node);
    };
    m_cat.OnNodeGoing = [this](TTreeNode* node) {
        nodeGoing(node);
    };
    m_logger.OnDirRead = [this](TTreeNode* node) {
        dirRead(node);
    };
}

LiveCatalogue::~LiveCatalogue() {
    m_cat.Tree().OnDataChanged = nullptr;
    m_cat.OnNodeGoing = nullptr;
    m_logger.OnDirRead = nullptr;
    m_byWatch.forEach([this](int, TTreeNode* node) {
        m_cat.Tree().SetWatchId(node, -1);
        return true;
    });
    m_watcher.reset(); // its worker stops before the rest goes
}

size_t LiveCatalogue::DefaultBudget() {
    return platform::DirWatcher::SystemLimit() / 4 * 3;
}

bool LiveCatalogue::Available() const {
    return m_watcher && m_watcher->Ok();
}

bool LiveCatalogue::HasPending() const {
    return m_watcher && m_watcher->HasReady();
}

TTreeNode* LiveCatalogue::nodeOf(int watch) const {
    return m_byWatch.find(watch);
}

// ---------------------------------------------------------------------------
// Watches

FollowState LiveCatalogue::inherentState(const TTreeNode* node, const std::string& host) const {
    const platform::DriveInfo* drive = m_cat.Drives().Find(node->DriveLetter());
    if (!drive || cannotBeSeen(drive->kind) || node->IsLink())
        return FollowState::NotFollowed;
    if (node->Parent() && node->Parent()->Follow() == FollowState::NotFollowed)
        return FollowState::NotFollowed;
    if (node->Parent() && m_unseenMounts.count(withoutTrailingSlash(host)))
        return FollowState::NotFollowed;
    return FollowState::Followed;
}

bool LiveCatalogue::watch(TTreeNode* node) {
    TTree& tree = m_cat.Tree();
    if (!m_enabled || !node->Logged())
        return false;
    if (node->WatchId() >= 0) {
        tree.SetFollow(node, FollowState::Followed);
        return true;
    }
    const auto host = m_cat.HostPath(node);
    if (!host) {
        tree.SetFollow(node, FollowState::Unwatched);
        return false;
    }
    if (inherentState(node, *host) == FollowState::NotFollowed) {
        tree.SetFollow(node, FollowState::NotFollowed);
        return false;
    }
    if (m_byWatch.size() >= m_budget) {
        noRoom(node);
        return node->WatchId() >= 0;
    }
    int watch = -1;
    // A drive root may be given as a link; below it a link is never entered.
    switch (m_watcher->Add(*host, watch, node->Parent() == nullptr)) {
    case platform::DirWatcher::AddResult::Added:
        if (m_byWatch.contains(watch)) {
            // The same directory under another node (a bind mount): the
            // other node follows it, this one cannot.
            tree.SetFollow(node, FollowState::NotFollowed);
            return false;
        }
        m_byWatch.insert(watch, node);
        tree.SetWatchId(node, watch);
        tree.SetFollow(node, FollowState::Followed);
        return true;
    case platform::DirWatcher::AddResult::NoRoom:
        // The system's limit is below the budget (other programs hold watches).
        m_budget = m_byWatch.size();
        noRoom(node);
        return node->WatchId() >= 0;
    case platform::DirWatcher::AddResult::Gone:
    case platform::DirWatcher::AddResult::Failed:
        break;
    }
    tree.SetFollow(node, FollowState::Unwatched);
    return false;
}

void LiveCatalogue::unwatch(TTreeNode* node, FollowState state) {
    if (node->WatchId() >= 0) {
        m_watcher->Remove(node->WatchId());
        m_byWatch.erase(node->WatchId());
        m_cat.Tree().SetWatchId(node, -1);
    }
    m_cat.Tree().SetFollow(node, state);
}

// No watch to spare. A directory on screen takes one from a directory off
// screen; any other is marked as possibly stale.
void LiveCatalogue::noRoom(TTreeNode* node) {
    const auto rank = m_onScreen.find(node);
    if (rank != m_onScreen.end() && m_budget > 0 && evictBelow(rank->second)) {
        const auto host = m_cat.HostPath(node);
        int watch = -1;
        if (host &&
            m_watcher->Add(*host, watch, node->Parent() == nullptr) ==
                platform::DirWatcher::AddResult::Added &&
            !m_byWatch.contains(watch)) {
            m_byWatch.insert(watch, node);
            m_cat.Tree().SetWatchId(node, watch);
            m_cat.Tree().SetFollow(node, FollowState::Followed);
            return;
        }
    }
    m_cat.Tree().SetFollow(node, FollowState::MayBeStale);
    if (!m_toldExhausted) {
        m_toldExhausted = true;
        if (OnWatchesExhausted)
            OnWatchesExhausted();
    }
}

// Gives up the watch of the directory that matters least: one off screen, else
// the one furthest down the screen's order, as long as it comes after `rank`.
bool LiveCatalogue::evictBelow(size_t rank) {
    TTreeNode* victim = nullptr;
    size_t worst = rank;
    m_byWatch.forEach([&](int, TTreeNode* node) {
        const auto it = m_onScreen.find(node);
        if (it == m_onScreen.end()) {
            victim = node;
            return false;
        }
        if (it->second > worst) {
            worst = it->second;
            victim = node;
        }
        return true;
    });
    if (!victim)
        return false;
    unwatch(victim, FollowState::MayBeStale);
    return true;
}

void LiveCatalogue::dataChanged(TTreeNode* node) {
    if (node->Logged()) {
        watch(node);
        return;
    }
    m_dead.erase(node);
    unwatch(node, FollowState::Unwatched);
}

void LiveCatalogue::nodeGoing(TTreeNode* node) {
    if (node->WatchId() >= 0) {
        m_watcher->Remove(node->WatchId());
        m_byWatch.erase(node->WatchId());
        m_cat.Tree().SetWatchId(node, -1);
    }
    m_onScreen.erase(node);
    m_dead.erase(node);
}

// Read again by hand: what the catalogue shows is current, so the mark goes,
// and the directory is followed from now on if a watch is free.
void LiveCatalogue::dirRead(TTreeNode* node) {
    if (!m_enabled || node->Follow() != FollowState::MayBeStale)
        return;
    if (m_byWatch.size() < m_budget && watch(node))
        return;
    m_cat.Tree().SetFollow(node, FollowState::Unwatched);
}

void LiveCatalogue::watchAllLogged() {
    // Parents before their children: a child looks at its parent's state.
    m_cat.Tree().ForEachNode([this](TTreeNode* n) {
        if (n->Logged())
            watch(n);
        return true;
    });
}

void LiveCatalogue::SetEnabled(bool on) {
    on = on && Available();
    if (on == m_enabled)
        return;
    m_enabled = on;
    TTree& tree = m_cat.Tree();
    if (on) {
        m_toldExhausted = false;
        watchAllLogged();
        if (m_wasOn) {
            // Switched on again: what changed while nothing was followed is read.
            beginBatch();
            syncAll();
            endBatch();
        }
        m_wasOn = true;
        std::vector<std::pair<size_t, TTreeNode*>> ranked;
        for (auto& [node, rank] : m_onScreen)
            ranked.emplace_back(rank, node);
        std::sort(ranked.begin(), ranked.end());
        std::vector<TTreeNode*> nodes;
        for (auto& [rank, node] : ranked)
            nodes.push_back(node);
        SetOnScreen(nodes);
        return;
    }
    m_byWatch.forEach([&](int watch, TTreeNode* node) {
        m_watcher->Remove(watch);
        tree.SetWatchId(node, -1);
        return true;
    });
    m_byWatch.clear();
    tree.ForEachNode([&tree](TTreeNode* n) {
        tree.SetFollow(n, FollowState::Unwatched);
        return true;
    });
    m_watcher->Take(); // what was under way is of no interest now
}

void LiveCatalogue::SetBudget(size_t budget) {
    m_budget = budget;
    while (m_byWatch.size() > m_budget) {
        if (!evictBelow(0))
            unwatch(m_byWatch.first(), FollowState::MayBeStale);
    }
}

void LiveCatalogue::SetOnScreen(const std::vector<TTreeNode*>& nodes) {
    m_onScreen.clear();
    for (TTreeNode* n : nodes)
        m_onScreen.emplace(n, m_onScreen.size());
    if (!m_enabled)
        return;
    // A directory that comes on screen without a watch gets one, and since it
    // may have changed unseen it is brought in step at once.
    std::vector<TNodeRef> stale;
    for (TTreeNode* n : nodes) {
        if (!n->Logged() || n->WatchId() >= 0 || n->Follow() == FollowState::NotFollowed)
            continue;
        if (m_byWatch.size() >= m_budget)
            noRoom(n);
        else
            watch(n);
        if (n->WatchId() >= 0)
            stale.emplace_back(n);
    }
    if (stale.empty())
        return;
    beginBatch();
    for (const TNodeRef& ref : stale)
        if (ref && ref->Logged())
            syncDir(ref.get());
    endBatch();
}

void LiveCatalogue::beginBatch() {
    m_changed = false;
    tellObservers(m_cat, [](RecordObserver& o) { o.liveBatchBegin(); });
}

void LiveCatalogue::endBatch() {
    for (auto it = m_dead.begin(); it != m_dead.end();) {
        const TTreeNode* n = it->first;
        ++it; // compact() erases the entry
        if (n->Data())
            compact(*n->Data());
    }
    tellObservers(m_cat, [](RecordObserver& o) { o.liveBatchEnd(); });
}

// ---------------------------------------------------------------------------
// Changes

bool LiveCatalogue::Apply() {
    if (!m_watcher)
        return false;
    platform::WatchBatch batch = m_watcher->Take();
    if (!m_enabled || batch.Empty())
        return false;
    ++m_batches;
    TTree& tree = m_cat.Tree();
    const TNodeRef selected(tree.Selected());
    TTreeNode* const selectedBefore = selected.get();
    beginBatch();

    if (batch.overflow) {
        // Events were lost: every followed directory is read again.
        syncAll();
    } else {
        for (const platform::WatchedMove& m : batch.moves)
            applyMove(m);
        std::stable_sort(batch.names.begin(), batch.names.end(),
                         [](const auto& a, const auto& b) { return a.watch < b.watch; });
        for (size_t i = 0; i < batch.names.size();) {
            const int watch = batch.names[i].watch;
            std::vector<std::string> names;
            for (; i < batch.names.size() && batch.names[i].watch == watch; ++i)
                names.push_back(std::move(batch.names[i].name));
            TTreeNode* node = nodeOf(watch);
            if (node && node->Logged())
                syncNames(node, names);
        }
    }

    // A followed directory that itself went: its parent says whether it is
    // still there; one that stays is no longer followed.
    auto lost = [&](int watch, bool dropped) {
        TTreeNode* node = nodeOf(watch);
        if (!node)
            return;
        if (dropped) {
            m_byWatch.erase(watch); // the kernel removed it already
            tree.SetWatchId(node, -1);
        }
        const TNodeRef ref(node);
        if (TTreeNode* parent = node->Parent(); parent && parent->Logged())
            syncNames(parent, {platform::UnescapeName(node->Text())});
        if (!ref)
            return; // gone from the catalogue too
        // Still a node: renamed with it (the same directory, the same watch),
        // or another directory under its name now, or no longer followed.
        node = ref.get();
        const auto host = m_cat.HostPath(node);
        int again = -1;
        if (host && m_watcher->Add(*host, again, node->Parent() == nullptr) ==
                        platform::DirWatcher::AddResult::Added) {
            if (again == node->WatchId())
                return;
            if (!m_byWatch.contains(again)) {
                if (node->WatchId() >= 0) {
                    m_watcher->Remove(node->WatchId());
                    m_byWatch.erase(node->WatchId());
                }
                m_byWatch.insert(again, node);
                tree.SetWatchId(node, again);
                tree.SetFollow(node, FollowState::Followed);
                if (node->Logged())
                    syncDir(node);
                return;
            }
        }
        unwatch(node, FollowState::MayBeStale);
    };
    for (int watch : batch.selfGone)
        lost(watch, false);
    for (int watch : batch.dropped)
        lost(watch, true);

    endBatch();
    // The directory shown went away with its branch: the window shows the
    // one the selection moved to.
    if (!selected || tree.Selected() != selectedBefore)
        m_state.requestRefill();
    return m_changed;
}

void LiveCatalogue::applyMove(const platform::WatchedMove& m) {
    TTreeNode* from = nodeOf(m.fromWatch);
    TTreeNode* to = nodeOf(m.toWatch);
    const bool fromLogged = from && from->Logged();
    const bool toLogged = to && to->Logged();
    // Within one directory the record or node keeps its place (and a node its
    // branch, watches and all) under the new name.
    if (fromLogged && from == to) {
        const std::string oldName = catalogueName(m.fromName);
        const std::string newName = catalogueName(m.toName);
        const auto host = m_cat.HostPath(from);
        DirSync dir(from, host.value_or(std::string()), 0);
        platform::DirEntry e;
        std::string escaped;
        if (dir.fd >= 0 && platform::DescribeEntry(dir.fd, m.toName, attrSourceOf(from), e,
                                                   escaped) == platform::EntryState::Found) {
            if (e.IsDirectory()) {
                if (TTreeNode* child = dir.child(oldName)) {
                    if (TTreeNode* replaced = dir.child(newName); replaced && replaced != child)
                        removeBranch(replaced);
                    if (TFileClass* r = dir.record(newName))
                        removeRecord(dir.dir, r);
                    m_cat.Tree().SetText(child, newName);
                    m_cat.Tree().SortChildren(from);
                    m_changed = true;
                    return;
                }
            } else if (TFileClass* r = dir.record(oldName)) {
                if (TFileClass* replaced = dir.record(newName); replaced && replaced != r)
                    removeRecord(dir.dir, replaced);
                if (TTreeNode* child = dir.child(newName))
                    removeBranch(child);
                from->Data()->FileList().Rename(r, newName);
                // A name that changed is a changed file: the tag goes, as on a
                // re-read.
                r->SetTagged(false);
                r->SetFileSize(fileSize(e.size));
                r->SetLastWriteTime(e.lastWriteTime);
                r->SetAttributes(low16(e.attributes));
                tellObservers(m_cat, [r](RecordObserver& o) { o.recordChanged(r, true); });
                m_changed = true;
                return;
            }
        }
    }
    // Anything else is a name that went here and one that came there.
    if (fromLogged)
        syncNames(from, {m.fromName});
    if (TTreeNode* again = nodeOf(m.toWatch); again && again->Logged() && toLogged)
        syncNames(again, {m.toName});
}

platform::AttrSource LiveCatalogue::attrSourceOf(const TTreeNode* node) const {
    const platform::DriveInfo* d = m_cat.Drives().Find(node->DriveLetter());
    return d ? d->attrSource : platform::AttrSource::Posix;
}

void LiveCatalogue::syncNames(TTreeNode* node, const std::vector<std::string>& hostNames) {
    const auto host = m_cat.HostPath(node);
    if (!host)
        return;
    DirSync dir(node, *host, hostNames.size());
    if (dir.fd < 0)
        return; // the directory itself went: its parent, or its own event, sees to it
    TFileList& list = dir.dir.FileList();
    const platform::AttrSource source = attrSourceOf(node);
    TTree& tree = m_cat.Tree();
    for (const std::string& hostName : hostNames) {
        platform::DirEntry e;
        std::string escaped;
        const platform::EntryState state =
            platform::DescribeEntry(dir.fd, hostName, source, e, escaped);
        if (state == platform::EntryState::Failed)
            continue; // unreadable for now: left as the catalogue has it
        const std::string name = catalogueName(hostName);
        const bool found = state == platform::EntryState::Found;
        const bool isDir = found && e.IsDirectory();
        if (TFileClass* r = dir.record(name); r && (!found || isDir)) {
            removeRecord(dir.dir, r);
            dir.forgetRecord(name);
        }
        if (TTreeNode* child = dir.child(name); child && (!found || !isDir)) {
            removeBranch(child);
            dir.forgetChild(name);
        }
        if (!found)
            continue;
        if (isDir) {
            const bool hidden = !name.empty() && name[0] == '.';
            if (dir.child(name) || (hidden && !m_settings.ShowHiddenDirsOption))
                continue;
            TTreeNode* child = tree.AddChild(node, name);
            tree.SetLink(child, e.isLink);
            const int bits = m_logger.PrecisionProbe(*host + "/" + hostName, false);
            if (bits & 2)
                tree.SetHasChildren(child, true);
            m_logger.SetNodeImages(child);
            if (dir.indexed)
                dir.children.emplace(name, child);
            dir.resort = true;
            m_changed = true;
            continue;
        }
        const int64_t size = fileSize(e.size);
        const uint16_t attributes = low16(e.attributes);
        if (TFileClass* r = dir.record(name)) {
            if (r->FileSize() == size && r->LastWriteTime() == e.lastWriteTime &&
                r->Attributes() == attributes)
                continue; // what the catalogue shows already (often our own change)
            // A file that changed loses its tag, as on a re-read; what was
            // fetched from its contents is fetched again when asked for.
            r->SetTagged(false);
            r->SetFileSize(size);
            r->SetLastWriteTime(e.lastWriteTime);
            r->SetAttributes(attributes);
            if (!r->DescText().empty())
                r->SetDescText(std::string());
            if (r->FileIcon())
                list.SetFileIcon(r, nullptr);
            tellObservers(m_cat, [r](RecordObserver& o) { o.recordChanged(r, false); });
            m_changed = true;
            continue;
        }
        TFileClass* r = list.Add(name, size, attributes, e.lastWriteTime, node);
        if (m_settings.FetchFileDescOption && (IsOwnDescriptionKind(name) || IsIconKind(name)))
            r->SetDescText(m_cat.FileTypeDescriptionOf(*host + "/" + hostName, name));
        if (dir.indexed)
            dir.records.emplace(name, r);
        dir.added.push_back(r);
        m_changed = true;
    }
    if (!dir.added.empty()) {
        tellObservers(m_cat, [&dir](RecordObserver& o) { o.recordsAdded(dir.dir, dir.added); });
    }
    if (dir.resort)
        tree.SortChildren(node);
    m_logger.SetNodeImages(node);
}

// Every followed directory, read whole. A directory that goes meanwhile (with
// a branch that went) leaves the map of watches: looked up by its watch, it is
// skipped.
void LiveCatalogue::syncAll() {
    std::vector<int> watches;
    watches.reserve(m_byWatch.size());
    m_byWatch.forEach([&](int watch, TTreeNode*) {
        watches.push_back(watch);
        return true;
    });
    for (int watch : watches)
        if (TTreeNode* node = nodeOf(watch); node && node->Logged())
            syncDir(node);
}

// The whole directory: every name on disk and every name the catalogue has.
void LiveCatalogue::syncDir(TTreeNode* node) {
    const auto host = m_cat.HostPath(node);
    if (!host)
        return;
    std::unordered_set<std::string> names;
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    if (!listing.Open(*host))
        return;
    platform::DirEntry e;
    while (listing.Next(e))
        if (e.hostName != "." && e.hostName != "..")
            names.emplace(e.hostName);
    for (const TFileClass* r : node->Data()->FileList())
        names.insert(platform::UnescapeName(r->FileName()));
    for (int i = 0; i < node->Count(); ++i)
        names.insert(platform::UnescapeName(node->Item(i)->Text()));
    syncNames(node, std::vector<std::string>(names.begin(), names.end()));
}

void LiveCatalogue::removeBranch(TTreeNode* node) {
    tellObservers(m_cat, [node](RecordObserver& o) { o.branchRemoving(node); });
    m_cat.Tree().DeleteNode(node); // its records and watches go with it
    m_changed = true;
}

void LiveCatalogue::removeRecord(TLoggedClass& dir, TFileClass* record) {
    tellObservers(m_cat, [record](RecordObserver& o) { o.recordRemoving(record); });
    if (dir.FileList().Remove(record)) {
        m_cat.RecordsInvalidated();
        ++m_dead[dir.DirNode()];
    }
    m_changed = true;
}

// A directory that only ever gains and loses files would keep the bytes of
// every file it lost: once they outweigh the files it holds, its records are
// packed anew.
void LiveCatalogue::compact(TLoggedClass& dir) {
    auto it = m_dead.find(dir.DirNode());
    if (it == m_dead.end())
        return;
    TFileList& list = dir.FileList();
    if (it->second < 32 || it->second <= static_cast<uint32_t>(list.Count()))
        return;
    m_dead.erase(it);
    TFileList fresh;
    size_t nameBytes = 0;
    for (const TFileClass* r : list)
        nameBytes += r->FileName().size();
    fresh.Reserve(static_cast<size_t>(list.Count()), nameBytes);
    std::unordered_map<const TFileClass*, TFileClass*> moved;
    moved.reserve(static_cast<size_t>(list.Count()));
    for (TFileClass* r : list)
        moved.emplace(r, fresh.AdoptCopy(list, r));
    list.Swap(fresh);
    m_cat.RecordsInvalidated();
    tellObservers(m_cat, [&moved](RecordObserver& o) { o.recordsMoved(moved); });
}

// ---------------------------------------------------------------------------

std::string LiveCatalogue::FollowText(const TTreeNode* root) const {
    if (!Available())
        return "Not followed: this system offers no way to watch directories.";
    const platform::DriveInfo* drive = m_cat.Drives().Find(root->DriveLetter());
    if (drive && drive->kind == platform::DriveKind::Network)
        return "Not followed: changes that other computers make to a network disk are not "
               "reported. Refresh to see them.";
    if (drive &&
        (drive->kind == platform::DriveKind::Floppy || drive->kind == platform::DriveKind::CdRom))
        return "Not followed: removable disks come and go. Refresh to see changes.";
    if (!m_enabled)
        return "Not followed: \"Follow changes on disk\" is off.";
    int stale = 0, unseen = 0;
    TTree::PreOrder(const_cast<TTreeNode*>(root), [&](TTreeNode* n) {
        if (n->Follow() == FollowState::MayBeStale)
            ++stale;
        else if (n->Follow() == FollowState::NotFollowed)
            ++unseen;
        return true;
    });
    std::string text = "Followed";
    if (stale > 0)
        text += "; " + std::to_string(stale) + (stale == 1 ? " directory" : " directories") +
                " may be stale (the system's limit of watches is reached)";
    if (unseen > 0)
        text += "; " + std::to_string(unseen) + (unseen == 1 ? " directory" : " directories") +
                " not followed (links, or mounts whose changes are not reported)";
    return text;
}

} // namespace zentrix
