#include "filewindow/filewindow.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/existingdirectory.h"
#include "catalogue/extensionkinds.h"
#include "catalogue/icon.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "core/scopeexit.h"
#include "core/text.h"
#include "filewindow/filecolumns.h"
#include "filewindow/filecompare.h"
#include "filewindow/filespec.h"
#include "filewindow/filetexts.h"
#include "platform/collation.h"
#include "platform/dirlisting.h"
#include "platform/drivetable.h"
#include "platform/mimetypes.h"

#include <algorithm>
#include <cstdlib>

namespace zentrix {

int FoldModifiers(int key, bool shift, bool alt, bool ctrl) {
    const int held = int(shift) + int(alt) + int(ctrl);
    if (held == 0)
        return key;
    if (held > 1)
        return key + FileKeys::Several;
    return key + (shift ? FileKeys::Shift : alt ? FileKeys::Alt : FileKeys::Ctrl);
}

FileWindow::FileWindow(Catalogue& catalogue, AppState& state, Settings& settings,
                       Prompter& prompter, Progress& progress, DiskLogger& logger)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_prompter(prompter),
      m_progress(progress), m_logger(logger), m_generation(catalogue.Generation()) {
    QSortWT.Compare = [this](void* sender, int e1, int e2, bool ascending, int& action) {
        QSortWTCompare(sender, e1, e2, ascending, action);
    };
    QSortWT.Swap = [this](void* sender, int e1, int e2) {
        QSortWTSwap(sender, e1, e2);
    };
    m_cat.AddRecordObserver(this);
}

FileWindow::~FileWindow() {
    m_cat.RemoveRecordObserver(this);
}

void FileWindow::SetUi(FileWindowUi* ui) {
    m_ui = ui ? ui : &m_noUi;
}

// ---------------------------------------------------------------------------
// Entries

// Records are only referenced: once the catalogue has removed any, none of
// them may be read again, so the entries go and a refill is asked for.
bool FileWindow::entriesValid() {
    if (m_generation == m_cat.Generation())
        return true;
    m_generation = m_cat.Generation();
    if (!m_entries.empty()) {
        dropEntries();
        m_ui->entriesChanged();
        m_state.requestRefill();
    }
    return m_entries.empty();
}

void FileWindow::dropEntries() {
    m_entries.clear();
    m_sortKeys.clear();
    m_current = -1;
}

void FileWindow::EmptyWindow() {
    dropEntries();
    m_ui->entriesChanged();
}

int FileWindow::Count() {
    entriesValid();
    return static_cast<int>(m_entries.size());
}

TFileClass* FileWindow::Record(int index) {
    if (!entriesValid() || index < 0 || index >= static_cast<int>(m_entries.size()))
        return nullptr;
    return m_entries[static_cast<size_t>(index)].Record;
}

std::string_view FileWindow::Text(int index) {
    if (!entriesValid() || index < 0 || index >= static_cast<int>(m_entries.size()))
        return {};
    return m_entries[static_cast<size_t>(index)].Text;
}

void FileWindow::EntryChanged(int index) {
    if (!entriesValid() || index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    m_ui->entryChanged(index);
    if (index == m_current)
        UpdateCurrentFile();
}

void FileWindow::EntryRenamed(int index) {
    if (!entriesValid() || index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    Entry& entry = m_entries[static_cast<size_t>(index)];
    entry.Text = std::string(entry.Record->FileName());
    EntryChanged(index);
}

int FileWindow::Current() {
    entriesValid();
    return m_current;
}

void FileWindow::SetCurrent(int index, bool updatePanel) {
    if (!entriesValid())
        return;
    if (index < -1 || index >= static_cast<int>(m_entries.size()))
        return;
    if (index != m_current) {
        m_current = index;
        m_ui->currentChanged(index);
    }
    if (updatePanel)
        UpdateCurrentFile();
}

void FileWindow::RemoveEntry(int index) {
    if (!entriesValid() || index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    TFileClass* record = m_entries[static_cast<size_t>(index)].Record;
    m_entries.erase(m_entries.begin() + index);
    m_sortKeys.clear();
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
    m_cat.RemoveFileRecord(record);
    // This window let go of the removed record itself: its other entries
    // still hold live records.
    m_generation = m_cat.Generation();
    m_ui->entriesChanged();
}

std::vector<const TFileClass*> FileWindow::Records() {
    std::vector<const TFileClass*> out;
    if (!entriesValid())
        return out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out.push_back(e.Record);
    return out;
}

std::vector<const TFileClass*> FileWindow::TaggedOrCurrent() {
    std::vector<const TFileClass*> out;
    for (const TFileClass* r : Records())
        if (r->Tagged())
            out.push_back(r);
    if (out.empty())
        if (const TFileClass* current = Record(Current()))
            out.push_back(current);
    return out;
}

// ---------------------------------------------------------------------------
// Rows that follow the disk

// The catalogue tells each change of a batch before the next; the rows
// follow as long as they were valid when the batch began. The window is told
// once, at the end, and the current row and the first row shown stay with
// their records.
void FileWindow::liveBatchBegin() {
    m_live = LiveBatch();
    m_live.following = !m_filling && m_generation == m_cat.Generation();
    if (!m_live.following)
        return;
    const int count = static_cast<int>(m_entries.size());
    if (m_current >= 0 && m_current < count)
        m_live.currentRecord = m_entries[static_cast<size_t>(m_current)].Record;
    m_live.top = m_ui->topIndex();
    if (m_live.top >= 0 && m_live.top < count)
        m_live.topRecord = m_entries[static_cast<size_t>(m_live.top)].Record;
}

bool FileWindow::liveShows(const TTreeNode* dirNode) const {
    const TTreeNode* selected = m_cat.Tree().Selected();
    switch (m_state.scope) {
    case 1:
        return dirNode == selected;
    case 2:
    case 5:
        return true;
    case 3:
    case 6:
        return selected && dirNode->IsInBranchOf(selected->Root());
    case 4:
    case 7:
        return selected && dirNode->IsInBranchOf(selected);
    default:
        return false; // the result list names its files; new ones are not among them
    }
}

void FileWindow::liveInsert(TFileClass* record) {
    if (m_entries.size() >= static_cast<size_t>(kMaxEntries))
        return;
    size_t at = m_entries.size();
    if (m_state.scope == 1) {
        // Among the sorted entries, where the sort would put it.
        const int key = std::clamp(m_settings.FileSortOption, 0, 4);
        auto before = [&](const Entry& e) {
            const int r = CompareFileRecords(*record, *e.Record, key);
            return (m_settings.SortOrder ? -r : r) < 0;
        };
        at = static_cast<size_t>(std::find_if(m_entries.begin(), m_entries.end(), before) -
                                 m_entries.begin());
    } else {
        // In catalogue order: after the last file of its directory shown.
        for (size_t i = m_entries.size(); i-- > 0;)
            if (m_entries[i].Record->DirNode() == record->DirNode()) {
                at = i + 1;
                break;
            }
    }
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at),
                     {std::string(record->FileName()), record});
    m_sortKeys.clear();
    m_live.rowsChanged = true;
}

void FileWindow::liveErase(size_t index) {
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    m_sortKeys.clear();
    m_live.rowsChanged = true;
}

void FileWindow::recordsAdded(const TLoggedClass& dir, const std::vector<TFileClass*>& records) {
    m_live.figuresChanged = true;
    if (!m_live.following || !liveShows(dir.DirNode()))
        return;
    const bool taggedOnly = m_state.scope >= 5 && m_state.scope <= 7;
    const FileSpecFilter filter(m_fileSpec, m_inverted);
    for (TFileClass* r : records)
        if ((!taggedOnly || r->Tagged()) && filter.Passes(r->FileName()))
            liveInsert(r);
}

void FileWindow::recordRemoving(const TFileClass* record) {
    m_live.figuresChanged = true;
    if (!m_live.following)
        return;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].Record == record) {
            liveErase(i);
            break;
        }
    if (m_live.topRecord == record)
        m_live.topRecord = nullptr;
    if (m_live.currentRecord == record)
        m_live.currentRecord = nullptr;
}

void FileWindow::branchRemoving(const TTreeNode* branch) {
    m_live.figuresChanged = true;
    if (!m_live.following)
        return;
    const size_t before = m_entries.size();
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [branch](const Entry& e) {
                                       return e.Record->DirNode()->IsInBranchOf(branch);
                                   }),
                    m_entries.end());
    if (m_entries.size() != before) {
        m_sortKeys.clear();
        m_live.rowsChanged = true;
    }
    auto gone = [branch](const TFileClass* r) {
        return r && r->DirNode()->IsInBranchOf(branch);
    };
    if (gone(m_live.topRecord))
        m_live.topRecord = nullptr;
    if (gone(m_live.currentRecord))
        m_live.currentRecord = nullptr;
}

void FileWindow::recordChanged(TFileClass* record, bool renamed) {
    m_live.figuresChanged = true;
    if (!m_live.following)
        return;
    size_t index = m_entries.size();
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].Record == record) {
            index = i;
            break;
        }
    const bool taggedOnly = m_state.scope >= 5 && m_state.scope <= 7;
    if (index == m_entries.size()) {
        // A new name may pass the file specification where the old did not.
        if (renamed && !taggedOnly && liveShows(record->DirNode()) &&
            FileSpecFilter(m_fileSpec, m_inverted).Passes(record->FileName()))
            liveInsert(record);
        return;
    }
    // A tagged view loses a file whose tag went with the change; a renamed
    // file leaves when its new name does not pass.
    if ((taggedOnly && !record->Tagged()) ||
        (renamed && !FileSpecFilter(m_fileSpec, m_inverted).Passes(record->FileName()))) {
        liveErase(index);
        return;
    }
    if (renamed)
        m_entries[index].Text = std::string(record->FileName());
    m_live.repaint.push_back(record);
}

void FileWindow::recordsMoved(const std::unordered_map<const TFileClass*, TFileClass*>& moved) {
    if (!m_live.following)
        return;
    for (Entry& e : m_entries)
        if (auto it = moved.find(e.Record); it != moved.end())
            e.Record = it->second;
    auto follow = [&moved](const TFileClass*& r) {
        if (auto it = moved.find(r); it != moved.end())
            r = it->second;
    };
    follow(m_live.currentRecord);
    follow(m_live.topRecord);
    for (const TFileClass*& r : m_live.repaint)
        follow(r);
}

void FileWindow::liveBatchEnd() {
    LiveBatch live = std::move(m_live);
    m_live = LiveBatch();
    if (live.following) {
        // Every removal was followed: what the window holds is alive.
        m_generation = m_cat.Generation();
        auto indexOf = [this](const TFileClass* r) {
            for (size_t i = 0; r && i < m_entries.size(); ++i)
                if (m_entries[i].Record == r)
                    return static_cast<int>(i);
            return -1;
        };
        const int count = static_cast<int>(m_entries.size());
        if (live.rowsChanged) {
            const int wasCurrent = m_current;
            int current = indexOf(live.currentRecord);
            // A current row that went leaves the one after it current.
            if (current < 0 && wasCurrent >= 0)
                current = count > 0 ? std::min(wasCurrent, count - 1) : -1;
            // Rows in a window that had none: the first is current, as after a fill.
            if (current < 0 && count > 0)
                current = 0;
            m_current = current;
            const int top = indexOf(live.topRecord);
            const bool currentMoved = m_current != wasCurrent || live.currentRecord == nullptr;
            if (m_state.scope == 1)
                m_ui->setFileWindowEnabled(count > 0);
            m_ui->entriesChanged();
            if (currentMoved)
                m_ui->currentChanged(m_current);
            // The first row shown stays with its record (or its place).
            m_ui->setTopIndex(top >= 0 ? top : std::min(live.top, std::max(0, count - 1)));
            if (currentMoved)
                UpdateCurrentFile();
        }
        bool currentRepainted = false;
        for (const TFileClass* r : live.repaint) {
            const int i = indexOf(r);
            if (i < 0)
                continue;
            m_ui->entryChanged(i);
            currentRepainted = currentRepainted || i == m_current;
        }
        if (currentRepainted)
            UpdateCurrentFile();
    }
    if (live.figuresChanged) {
        ResetDiskStatCache();
        UpdateStatistics();
    }
}

// ---------------------------------------------------------------------------
// Scope and fill

void FileWindow::setScopeAndRefill(int scope) {
    m_state.scope = scope;
    m_state.requestRefill();
}

void FileWindow::clearBusy() {
    while (m_state.busy())
        m_state.busyOff();
}

void FileWindow::MaximizeMainListBox(bool on) {
    m_maximized = on;
    m_ui->setMaximized(on);
}

void FileWindow::MaxFileWin() {
    MaximizeMainListBox(!m_maximized);
    if (!m_maximized && m_state.scope > 1)
        setScopeAndRefill(1);
}

void FileWindow::DropFindResults(const std::vector<std::string>& fullNames) {
    MaximizeMainListBox(false);
    if (m_state.scope > 1)
        m_state.scope = 1;
    m_ui->focusTree();
    m_ui->scrollTreeSelectionIntoView();
    BusyGuard busy(m_state);
    m_cat.ResultFiles = fullNames;
    setScopeAndRefill(8);
}

void FileWindow::DropShellFiles(const std::vector<std::string>& fullNames) {
    // Names are kept whole and as they are: a name cut short, or one whose case
    // was changed, could name another file.
    m_cat.ResultFiles = fullNames;
    setScopeAndRefill(8);
}

void FileWindow::collectFrom(const TFileClass* record, const FileSpecFilter& filter) {
    const std::string_view name = record->FileName();
    if (filter.Passes(name))
        m_entries.push_back({std::string(name), const_cast<TFileClass*>(record)});
}

// Walks every logged directory of the branch (all of them without a base) in
// the order of the logged-directories list. False when a stop was requested.
// Events are let through per file, so that "STOP" can be clicked. Whatever
// they run may change the catalogue: the directories are walked by position,
// and once records were removed (a new generation) the walk ends at once,
// before any record is read again.
bool FileWindow::walkDirectories(const TTreeNode* base, bool taggedOnly,
                                 const FileSpecFilter& filter) {
    int64_t visited = 0;
    const TLoggedList& dirs = m_cat.LoggedDirs();
    for (int d = 0; d < dirs.Count(); ++d) {
        const TLoggedClass* dir = dirs[d];
        if (base && !dir->DirNode()->IsInBranchOf(base))
            continue;
        for (const TFileClass* f : dir->FileList()) {
            // Both calls may run events that remove records: f is looked at
            // only after the generation says nothing was removed.
            m_progress.pump();
            if (++visited % 10 == 0)
                m_progress.setPosition(visited);
            if (m_progress.aborted())
                return false;
            if (m_cat.Generation() != m_generation)
                return false;
            if (taggedOnly && !f->Tagged())
                continue;
            collectFrom(f, filter);
            // One entry beyond the limit decides the outcome; the rest of the
            // walk could not change it.
            if (m_entries.size() > static_cast<size_t>(kMaxEntries) &&
                !m_settings.AllowManyEntriesOption)
                return true;
        }
    }
    return true;
}

void FileWindow::collectResultList(const FileSpecFilter& filter) {
    TTree& tree = m_cat.Tree();
    // Going to each directory moves the tree's selection; that is not the
    // user's choice of a directory, so the change handling stays out of it.
    auto savedHandler = std::move(tree.OnSelectionChange);
    tree.OnSelectionChange = nullptr;
    m_ui->lockTreeUpdates(true);
    const ScopeExit restore([&] {
        m_ui->lockTreeUpdates(false);
        tree.OnSelectionChange = std::move(savedHandler);
    });
    const auto& results = m_cat.ResultFiles;
    m_progress.setTotal(std::max<int64_t>(1, static_cast<int64_t>(results.size()) - 1));
    for (size_t i = 0; i < results.size(); ++i) {
        m_progress.setPosition(static_cast<int64_t>(i));
        const std::string& entry = results[i];
        const size_t cut = entry.find_last_of("\\:");
        if (cut == std::string::npos)
            continue;
        // The directory and the file are each matched exactly first, then
        // without regard to case: with a.txt and A.TXT side by side, each entry
        // shows its own file.
        const auto dir = ExistingDirectory(m_cat.Drives(), entry.substr(0, cut + 1));
        if (!dir)
            continue;
        m_logger.GoToDirPath(*dir);
        m_state.scope = 8;
        const TTreeNode* node = m_logger.FindNodeByPath(*dir);
        if (!node || !node->Data())
            continue;
        const std::string_view name = std::string_view(entry).substr(cut + 1);
        const TFileClass* match = nullptr;
        for (const TFileClass* f : node->Data()->FileList())
            if (f->FileName() == name) {
                match = f;
                break;
            }
        if (!match)
            for (const TFileClass* f : node->Data()->FileList())
                if (EqualsIgnoreCase(f->FileName(), name)) {
                    match = f;
                    break;
                }
        if (match)
            collectFrom(match, filter);
    }
}

bool FileWindow::ShowsUnreadDirectory() {
    const TTreeNode* selected = m_cat.Tree().Selected();
    return m_state.scope == 1 && Count() == 0 && selected && !selected->Logged();
}

void FileWindow::FillMainListBox() {
    // A fill asked for from within a fill (events are let through while it
    // walks) is done afterwards.
    if (m_filling) {
        m_state.requestRefill();
        return;
    }
    // Each piece of state set here is undone by a guard, so that an error on
    // the way leaves no busy cursor, no update batch and no "STOP" panel behind;
    // the normal path undoes each where the order of the fill wants it.
    m_filling = true;
    ScopeExit filling([this] { m_filling = false; });
    m_state.refillRequested = false;
    m_state.treeSelectionChanged = false;

    // 1-3: busy, emptied, the "STOP" panel for the multi-directory scopes.
    m_ui->setCurrDirLabel("Please wait ...");
    m_state.busyOn();
    ScopeExit busy([this] { m_state.busyOff(); });
    m_ui->setFileWindowEnabled(true);
    dropEntries();
    m_generation = m_cat.Generation();
    m_ui->setUpdating(true);
    ScopeExit updating([this] { m_ui->setUpdating(false); });
    const int scope = m_state.scope;
    m_progress.showStop(scope != 1);
    ScopeExit stopPanel([this] { m_progress.showStop(false); });
    m_progress.setTotal(1);
    m_progress.setPosition(0);

    // 4-5: collect in catalogue order.
    const FileSpecFilter filter(m_fileSpec, m_inverted);
    TTreeNode* selected = m_cat.Tree().Selected();
    bool stopped = false;
    switch (scope) {
    case 1:
        if (selected && selected->Data())
            for (const TFileClass* f : selected->Data()->FileList()) {
                collectFrom(f, filter);
                if (m_entries.size() > static_cast<size_t>(kMaxEntries) &&
                    !m_settings.AllowManyEntriesOption)
                    break;
            }
        break;
    case 2:
    case 5:
        m_progress.setTotal(std::max(1, m_cat.CountFiles(false)));
        stopped = !walkDirectories(nullptr, scope == 5, filter);
        break;
    case 3:
    case 6:
    case 4:
    case 7: {
        const bool disk = scope == 3 || scope == 6;
        const TTreeNode* base = selected ? (disk ? selected->Root() : selected) : nullptr;
        if (!base)
            break;
        int64_t files = 0;
        for (const TLoggedClass* dir : m_cat.LoggedDirs())
            if (dir->DirNode()->IsInBranchOf(base))
                files += dir->NumFilesInDir();
        m_progress.setTotal(std::max<int64_t>(1, files));
        stopped = !walkDirectories(base, scope == 6 || scope == 7, filter);
        break;
    }
    case 8:
        if (m_cat.ResultFiles.empty()) {
            m_state.scope = 1;
            m_state.requestRefill();
        } else {
            collectResultList(filter);
            // Going to a directory may have re-read others whose files were
            // collected already: then once more, over the catalogue as it is now.
            if (m_cat.Generation() != m_generation) {
                dropEntries();
                m_generation = m_cat.Generation();
                collectResultList(filter);
                if (m_cat.Generation() != m_generation)
                    dropEntries();
            }
        }
        break;
    default:
        break;
    }

    // Records removed during the walk: what was collected may be gone.
    if (m_cat.Generation() != m_generation) {
        dropEntries();
        m_generation = m_cat.Generation();
        stopped = true;
    }

    // 6: the limit, unless the options lift it.
    if (m_entries.size() > static_cast<size_t>(kMaxEntries) &&
        !m_settings.AllowManyEntriesOption) {
        dropEntries();
        m_prompter.warnWith("Too many files!     ",
                            "The file window shows at most 32,767 entries unless \"Allow more "
                            "than 32,767 entries\" is checked on the View page of the options "
                            "(Options ..., Alt+F10).");
        if (m_state.scope != 1) {
            m_state.scope = 1;
            m_state.requestRefill();
        }
    }

    // 7-9.
    updating.run();
    m_ui->entriesChanged();
    if (m_state.scope == 1)
        m_ui->setFileWindowEnabled(!m_entries.empty());
    if (m_entries.empty()) {
        MaximizeMainListBox(false);
        m_ui->focusTree();
        if (m_state.scope > 1) {
            m_state.scope = 1;
            m_state.requestRefill();
        }
    } else {
        if (m_current < 0) {
            m_current = 0;
            m_ui->currentChanged(0);
        }
        if (m_state.scope == 1) {
            SortMainListBox();
        } else {
            MaximizeMainListBox(true);
            m_ui->focusFileWindow();
        }
    }

    // 10-12.
    stopPanel.run();
    busy.run();
    UpdateStatistics();
    if (stopped) {
        // Back to one directory, with the tree beside it: the refill that follows
        // keeps whatever state it finds.
        m_state.scope = 1;
        MaximizeMainListBox(false);
        m_ui->focusTree();
        m_state.requestRefill();
    }
    filling.run();
    if (m_ui->fileWindowHasFocus())
        UpdateCurrentFile();
    else if (!m_ui->treeHasFocus())
        m_ui->restoreFocus();
}

// ---------------------------------------------------------------------------
// File specification

void FileWindow::SetFileSpec() {
    m_ui->focusFileSpecBox();
}

void FileWindow::ToggleFileSpec() {
    m_inverted = !m_inverted;
    m_ui->fileSpecChanged();
}

void FileWindow::pnFileSpecClick() {
    ToggleFileSpec();
    m_state.requestRefill();
}

void FileWindow::sbDefaultFSpecClick() {
    m_boxText = "*.*";
    m_fileSpec = "*.*";
    if (m_inverted)
        ToggleFileSpec();
    m_ui->fileSpecChanged();
    m_state.requestRefill();
}

void FileWindow::ApplyTypedFileSpec(const std::string& boxText) {
    m_boxText = boxText;
    if (m_boxText.empty())
        sbDefaultFSpecClick();
    std::string text = Trim(UpperCase(m_boxText));
    if (text.empty()) {
        text = "*.*";
        m_fileSpec = "*.*";
        if (m_inverted)
            ToggleFileSpec();
        m_state.requestRefill();
    }
    m_boxText = text;
    if (AddFileSpecHistory)
        AddFileSpecHistory(text);
    if (text != m_fileSpec) {
        m_fileSpec = text;
        m_state.requestRefill();
    }
    m_ui->fileSpecChanged();
    m_ui->restoreFocus();
}

void FileWindow::FileSpecBoxEscape() {
    m_boxText = m_fileSpec;
    m_ui->fileSpecChanged();
}

void FileWindow::FileSpecBoxEnter(const std::string& boxText) {
    m_boxText = boxText.empty() ? "*.*" : boxText;
    m_ui->fileSpecChanged();
    m_ui->restoreFocus();
}

void FileWindow::sbExtFileSpecClick(const std::string& boxText) {
    m_ui->focusFileSpecBox();
    std::string text = boxText;
    const ExtSpecResult result =
        ExtendedFileSpec ? ExtendedFileSpec(text) : ExtSpecResult::LibraryMissing;
    switch (result) {
    case ExtSpecResult::LibraryMissing:
        m_prompter.warn("Zentrix plugin Utils.so not found.");
        return;
    case ExtSpecResult::EntryMissing:
    case ExtSpecResult::Cancelled:
        return;
    case ExtSpecResult::Accepted:
        break;
    }
    m_boxText = text;
    if (AddFileSpecHistory)
        AddFileSpecHistory(text);
    m_ui->fileSpecChanged();
    // RefreshFileSpec: the focus returns and the box's focus loss applies the text.
    ApplyTypedFileSpec(m_boxText);
}

// ---------------------------------------------------------------------------
// Statistics and the current file

void FileWindow::UpdateStatistics() {
    entriesValid();
    TTreeNode* selected = m_cat.Tree().Selected();
    auto taggedInWindow = [this](std::string& count, std::string& size) {
        int tagged = 0;
        int64_t bytes = 0;
        for (const Entry& e : m_entries) {
            if (!e.Record->Tagged())
                continue;
            ++tagged;
            bytes += e.Record->FileSize();
        }
        count = std::to_string(tagged);
        size = StatFigureText(bytes) + " bytes.";
    };
    // All files and the tagged ones of the catalogue or of a branch, counted in
    // one walk: count and kilobytes (each file's size div 1024, 64-bit sums).
    auto figures = [this](StatisticsTexts& s, const TTreeNode* base) {
        uint32_t count = 0, taggedCount = 0;
        int64_t kb = 0, taggedKb = 0;
        for (const TLoggedClass* dir : m_cat.LoggedDirs()) {
            if (base && !dir->DirNode()->IsInBranchOf(base))
                continue;
            count += static_cast<uint32_t>(dir->NumFilesInDir());
            for (const TFileClass* f : dir->FileList()) {
                const int64_t fileKb = f->FileSize() / 1024;
                kb += fileKb;
                if (f->Tagged()) {
                    ++taggedCount;
                    taggedKb += fileKb;
                }
            }
        }
        s.files = std::to_string(static_cast<int32_t>(count));
        s.size = StatFigureText(kb) + " Kb.";
        s.taggedFiles = std::to_string(static_cast<int32_t>(taggedCount));
        s.taggedSize = StatFigureText(taggedKb) + " Kb.";
    };
    StatisticsTexts& s = m_stats;
    switch (m_state.scope) {
    case 1:
        s.upperCaption = " Current directory statistics: ";
        if (selected && selected->Data()) {
            s.files = std::to_string(selected->Data()->NumFilesInDir());
            s.size = StatFigureText(selected->Data()->DirSize()) + " bytes.";
        } else {
            s.files = "0";
            s.size = "0";
        }
        if (selected)
            m_ui->setCurrDirLabel(selected->Path());
        if (m_ui->fileWindowHasFocus()) {
            s.lowerCaption = " Directory tagged statistics: ";
            taggedInWindow(s.taggedFiles, s.taggedSize);
        } else if (m_state.currentDisk != m_diskStatDrive) {
            m_diskStatDrive = m_state.currentDisk;
            const Catalogue::Figures tagged =
                selected ? m_cat.BranchFigures(selected->Root(), true) : Catalogue::Figures{};
            s.lowerCaption = " Disk tagged statistics: ";
            s.taggedFiles = std::to_string(tagged.count);
            s.taggedSize = StatFigureText(tagged.kb) + " Kb.";
        }
        break;
    case 2:
    case 5:
        s.upperCaption = " Global ShowAll statistics: ";
        s.lowerCaption = " Global tagged statistics: ";
        figures(s, nullptr);
        break;
    case 3:
    case 6:
    case 4:
    case 7: {
        const bool disk = m_state.scope == 3 || m_state.scope == 6;
        s.upperCaption = disk ? " Disk ShowAll statistics: " : " Branch ShowAll statistics: ";
        s.lowerCaption = disk ? " Disk tagged statistics: " : " Branch tagged statistics: ";
        const TTreeNode* base = selected ? (disk ? selected->Root() : selected) : nullptr;
        if (base) {
            figures(s, base);
        } else {
            s.files = s.taggedFiles = "0";
            s.size = s.taggedSize = "0 Kb.";
        }
        break;
    }
    case 8:
        s.upperCaption = " Find results statistics ";
        s.files = std::to_string(m_cat.ResultFiles.size());
        s.size = "-";
        s.lowerCaption = " Find results tagged statistics ";
        taggedInWindow(s.taggedFiles, s.taggedSize);
        break;
    default:
        break;
    }
    m_ui->statisticsChanged();
}

void FileWindow::UpdateCurrentFile() {
    if (!entriesValid() || m_current < 0 || !m_ui->currentFilePanelVisible())
        return;
    TFileClass* record = m_entries[static_cast<size_t>(m_current)].Record;
    CurrentFileTexts& t = m_currentFile;
    t.pos = " " + std::to_string(m_current + 1) + " of " + std::to_string(m_entries.size());
    t.name = " " + std::string(record->FileName());
    t.size = " " + SizeText(record->FileSize()) + " bytes";
    t.date = " " + DateText(record->LastWriteTime());
    t.desc = m_settings.ShowFileDescOption ? " " + m_cat.Description(record) : " -";
    m_ui->currentFileChanged();
}

// ---------------------------------------------------------------------------
// Focus

void FileWindow::FileWindowEnter() {
    UpdateCurrentFile();
    ResetDiskStatCache();
    UpdateStatistics();
}

void FileWindow::FileWindowExit() {
    m_ui->runCommand(FileCommand::StopMedia);
    clearBusy();
    ResetDiskStatCache();
}

// ---------------------------------------------------------------------------
// Sorting

int FileWindow::SortKey() const {
    return m_settings.FileSortOption;
}
bool FileWindow::SortReversed() const {
    return m_settings.SortOrder;
}

int FileWindow::compareEntries(int e1, int e2) const {
    int r;
    if (!m_sortKeys.empty() && m_settings.FileSortOption == kSortByName)
        r = platform::CompareNamesIgnoreCase(m_sortKeys[static_cast<size_t>(e1)],
                                             m_sortKeys[static_cast<size_t>(e2)]);
    else
        r = CompareFileRecords(*m_entries[static_cast<size_t>(e1)].Record,
                               *m_entries[static_cast<size_t>(e2)].Record,
                               m_settings.FileSortOption);
    return m_settings.SortOrder ? -r : r;
}

void FileWindow::QSortWTCompare(void*, int e1, int e2, bool, int& Action) {
    Action = compareEntries(e1, e2);
}

void FileWindow::QSortWTSwap(void*, int e1, int e2) {
    std::swap(m_entries[static_cast<size_t>(e1)], m_entries[static_cast<size_t>(e2)]);
    if (!m_sortKeys.empty())
        std::swap(m_sortKeys[static_cast<size_t>(e1)], m_sortKeys[static_cast<size_t>(e2)]);
}

void FileWindow::ToggleFileLBoxPMenuItems() {
    m_ui->sortStateChanged();
}

void FileWindow::SortMainListBox() {
    if (m_settings.FileSortOption == 5) {
        m_settings.FileSortOption = 0;
        m_settings.SortOrder = false;
        ToggleFileLBoxPMenuItems();
    }
    if (!entriesValid())
        return;
    {
        BusyGuard busy(m_state);
        m_ui->setUpdating(true);
        // Sorting by full path compares the full names, built once per entry
        // rather than twice per comparison.
        if (m_settings.FileSortOption == 0 && m_settings.DisplayFullPathOption) {
            m_sortKeys.reserve(m_entries.size());
            for (const Entry& e : m_entries)
                m_sortKeys.push_back(e.Record->FullName());
        }
        QSortWT.Sort(&m_entries, static_cast<int>(m_entries.size()));
        m_sortKeys.clear();
        m_ui->setUpdating(false);
        m_ui->entriesChanged();
        m_current = m_entries.empty() ? -1 : 0;
        m_ui->currentChanged(m_current);
    }
    UpdateCurrentFile();
}

void FileWindow::sortBy(int key) {
    m_settings.FileSortOption = key;
    ToggleFileLBoxPMenuItems();
    SortMainListBox();
}

void FileWindow::ReversedSortOrder() {
    m_settings.SortOrder = !m_settings.SortOrder;
    ToggleFileLBoxPMenuItems();
    SortMainListBox();
}

void FileWindow::FileHeaderSectionClick(int section) {
    m_ui->sortStateChanged(); // the header is repainted
    if (section < 0 || section >= kHeaderSectionCount)
        return;
    if (Count() == 0) {
        m_prompter.beep();
        return;
    }
    if (section == m_settings.FileSortOption)
        m_settings.SortOrder = !m_settings.SortOrder;
    else
        m_settings.SortOrder = false;
    sortBy(section);
}

// ---------------------------------------------------------------------------
// Display

int FileWindow::Format() const {
    return m_settings.FileDisplayOption;
}

void FileWindow::SetFormat(int format) {
    if (format < kFormatSmallIcons || format > kFormat5Columns)
        return;
    BusyGuard busy(m_state);
    m_ui->setCurrDirLabel("Please wait ...");
    m_settings.FileDisplayOption = format;
    ApplyFormat();
}

void FileWindow::ChangeFileDisplay() {
    SetFormat((Format() + 1) % 5);
}

void FileWindow::ApplyFormat() {
    const int format = std::clamp(m_settings.FileDisplayOption, 0, 4);
    int columns = 0;
    switch (format) {
    case kFormatSmallIcons:
        m_iconSize = m_settings.SmallIconSize;
        m_itemHeight = m_iconSize + 3;
        break;
    case kFormatLargeIcons:
        m_iconSize = m_settings.LargeIconSize;
        m_itemHeight = m_iconSize + 3;
        break;
    default:
        m_itemHeight = std::abs(m_ui->fontHeight()) + 4;
        columns = format == kFormat3Columns ? 3 : format == kFormat5Columns ? 5 : 0;
        break;
    }
    if (columns != m_columns) {
        m_columns = columns;
        m_state.requestRefill();
    }
    m_ui->formatChanged();
    m_ui->repaintFileWindow();
}

void FileWindow::pmiFileDisplayFullpathClick() {
    m_settings.DisplayFullPathOption = !m_settings.DisplayFullPathOption;
    m_ui->repaintFileWindow();
}

PopupMenuState FileWindow::ListBoxPopupMenuPopup() {
    m_ui->focusFileWindow();
    PopupMenuState p;
    if (m_maximized) {
        p.maxMinCaption = "Minimize files window";
        p.maxMinHint = "Minimizes files window ...";
    } else {
        p.maxMinCaption = "Maximize files window";
        p.maxMinHint = "Maximizes files window ...";
    }
    p.sortByDescEnabled = m_settings.ShowFileDescOption && IsDetailFormat(Format());
    p.displayFullPathChecked = m_settings.DisplayFullPathOption;
    return p;
}

std::string FileWindow::DisplayDescription(TFileClass* record) {
    const std::string_view name = record->FileName();
    if (IsOwnIconKind(name)) {
        if (record->DescText().empty())
            record->SetDescText(
                m_cat.FileTypeDescriptionOf(m_cat.HostPath(record).value_or(std::string()), name));
        return record->DescText();
    }
    if (record->DescIndex() < 0)
        record->SetDescIndex(
            m_cat.DescCacheIndex(m_cat.HostPath(record).value_or(std::string()), name));
    return m_cat.DescCache()[record->DescIndex()]->DescText;
}

TIcon* FileWindow::DisplayIcon(TFileClass* record) {
    const std::string_view name = record->FileName();
    if (IsOwnIconKind(name)) {
        if (TIcon* icon = record->FileIcon())
            return icon;
        if (!m_iconProvider || !record->DirNode() || !record->DirNode()->Data())
            return nullptr;
        auto icon = m_iconProvider->largeIconFor(m_cat.HostPath(record).value_or(std::string()),
                                                 platform::MimeTypeNameFor(name));
        record->DirNode()->Data()->FileList().SetFileIcon(record, std::move(icon));
        return record->FileIcon();
    }
    if (record->DescIndex() < 0)
        record->SetDescIndex(
            m_cat.DescCacheIndex(m_cat.HostPath(record).value_or(std::string()), name));
    TDescClass* entry = m_cat.DescCache()[record->DescIndex()];
    // The entry may have been made before any icon provider was installed.
    if (!entry->Icon && m_iconProvider)
        entry->Icon = m_iconProvider->largeIconFor(m_cat.HostPath(record).value_or(std::string()),
                                                   platform::MimeTypeNameFor(name));
    return entry->Icon.get();
}

// ---------------------------------------------------------------------------
// Keys and mouse

void FileWindow::moveCurrent(int index) {
    if (index == m_current)
        return;
    m_current = index;
    m_ui->currentChanged(index);
    UpdateCurrentFile();
}

// Holding Up or Down speeds up: key-downs 1 to 20 move one entry each, from
// the 21st on the step is the repeat count div 10.
bool FileWindow::arrowKey(bool down) {
    ++m_repeat;
    const int last = static_cast<int>(m_entries.size()) - 1;
    int target = m_current;
    if (m_repeat <= 20) {
        target = down ? std::min(m_current + 1, last) : std::max(m_current - 1, 0);
    } else {
        const int step = m_repeat / 10;
        if (down)
            target = std::min(m_current + step, last);
        else if (m_current > step)
            target = m_current - step;
        else if (m_current > 0)
            target = m_current - 1;
    }
    moveCurrent(target);
    return true;
}

void FileWindow::searchLetter(char letter) {
    const int n = static_cast<int>(m_entries.size());
    for (int k = 1; k <= n; ++k) {
        const int i = (m_current + k) % n;
        const std::string& text = m_entries[static_cast<size_t>(i)].Text;
        char first = text.empty() ? '\0' : text.front();
        if (first >= 'a' && first <= 'z')
            first = static_cast<char>(first - 32);
        if (first == letter) {
            if (i != m_current) {
                m_current = i;
                m_ui->currentChanged(i);
            }
            break;
        }
    }
    UpdateCurrentFile();
}

void FileWindow::escapeKey() {
    if (m_ui->restoreTriedCursor())
        return;
    clearBusy();
    MaximizeMainListBox(false);
    if (m_state.scope > 1)
        setScopeAndRefill(1);
    m_ui->focusTree();
    m_ui->scrollTreeSelectionIntoView();
}

bool FileWindow::MainListBoxKeyDown(int key) {
    if (m_filling)
        return true; // the window is being filled: keys wait for the result
    if (!entriesValid() || m_current < 0)
        key = FileKeys::Escape;
    if (key == FileKeys::Apps) {
        m_ui->runCommand(FileCommand::PopupAtCurrent);
        return true;
    }
    switch (key) {
    case FileKeys::Enter:
        MaxFileWin();
        return true;
    case FileKeys::Escape:
        escapeKey();
        return true;
    case FileKeys::Up:
    case FileKeys::Down:
        if (!IsDetailFormat(Format()))
            return false; // the list moves as usual
        return arrowKey(key == FileKeys::Down);
    case FileKeys::Delete:
        m_ui->runCommand(FileCommand::Delete);
        return false; // passed on
    case 'L': {
        MaximizeMainListBox(false);
        m_ui->focusTree();
        if (m_state.scope > 1) {
            m_state.scope = 1;
            FillMainListBox();
        }
        m_ui->runCommand(FileCommand::LogDisk);
        return true;
    }
    case FileKeys::Multiply:
        m_ui->runCommand(FileCommand::ToggleFileTags);
        return true;
    case FileKeys::Add:
        m_ui->runCommand(FileCommand::TagFilesSpecial);
        return true;
    case FileKeys::Subtract:
        m_ui->runCommand(FileCommand::UnTagFilesSpecial);
        return true;
    case FileKeys::Alt + 'S':
        m_ui->runCommand(FileCommand::SortFileWindow);
        return true;
    default:
        break;
    }
    if (key >= FileKeys::Shift + 'A' && key <= FileKeys::Shift + 'Z') {
        searchLetter(static_cast<char>(key - FileKeys::Shift));
        return true;
    }
    return false;
}

void FileWindow::tagChanged(int index) {
    m_ui->entryChanged(index);
    ResetDiskStatCache();
}

void FileWindow::InvertTagRange(int anchor, int clicked) {
    if (m_filling || !entriesValid())
        return;
    const int n = static_cast<int>(m_entries.size());
    const int from = std::max(0, std::min(anchor, clicked));
    const int to = std::min(n - 1, std::max(anchor, clicked));
    for (int i = from; i <= to; ++i) {
        TFileClass* r = m_entries[static_cast<size_t>(i)].Record;
        r->SetTagged(!r->Tagged());
        tagChanged(i);
    }
    UpdateStatistics();
}

void FileWindow::InvertTag(int index) {
    TFileClass* r = m_filling ? nullptr : Record(index);
    if (!r)
        return;
    r->SetTagged(!r->Tagged());
    tagChanged(index);
    UpdateStatistics();
}

void FileWindow::MainListBoxDblClick() {
    if (m_filling || !entriesValid() || m_current < 0)
        return;
    if (m_settings.DMCExecuteFile) {
        m_ui->runCommand(FileCommand::Execute);
        return;
    }
    InvertTag(m_current);
}

RightClickMenu FileWindow::MainListBoxRightButton(int index, bool shiftHeld) {
    if (Record(index))
        SetCurrent(index, false);
    if (shiftHeld == m_settings.ShowContextMenus)
        return RightClickMenu::Program;
    if (m_settings.Compatibility >= 1)
        return RightClickMenu::Shell;
    m_prompter.warn("Function not available in this compatibility mode.     ");
    return RightClickMenu::Refused;
}

} // namespace zentrix
