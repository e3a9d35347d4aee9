#pragma once

#include "catalogue/desclist.h"
#include "catalogue/lastdirlist.h"
#include "catalogue/loggedlist.h"
#include "catalogue/tree.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class IconProvider;
class RecordObserver;

/// The catalogue of the logged disks: the directory tree and the global lists,
/// created once at start and kept for the whole run. Only the main thread
/// touches it.
class Catalogue {
public:
    explicit Catalogue(const platform::DriveTable& drives);
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    TTree& Tree() { return m_tree; }
    const TTree& Tree() const { return m_tree; }
    TLoggedList& LoggedDirs() { return m_logged; }
    const TLoggedList& LoggedDirs() const { return m_logged; }
    TDescList& DescCache() { return m_descCache; }
    const platform::DriveTable& Drives() const { return m_drives; }

    /// Full names of the tagged files collected for a copy or move.
    std::vector<std::string> OperationFiles;
    /// The user's own file types: "description (mask mask ...)".
    std::vector<std::string> UserFileTypes;
    /// The directory last shown on each logged disk.
    LastDirList LastDirs;
    /// Full names of the result list (find results, dropped files), as they
    /// were given: names on this system are case-sensitive, so the case is
    /// kept and a name is matched exactly first, then without regard to case.
    std::vector<std::string> ResultFiles;

    void SetIconProvider(IconProvider* provider) { m_iconProvider = provider; }

    /// Removes a file record from its directory (after the file was deleted or
    /// moved away). Anything holding records must refill afterwards.
    void RemoveFileRecord(TFileClass* record);

    /// Files in the catalogue, all or only the tagged ones.
    int32_t CountFiles(bool taggedOnly) const;
    /// Kilobytes in the catalogue: each file's size div 1024, summed (64 bits).
    int64_t SumKb(bool taggedOnly) const;
    struct Figures {
        int32_t count = 0;
        int64_t kb = 0;
    };
    /// Count and kilobytes of the directories of a branch (the node and below).
    Figures BranchFigures(const TTreeNode* branch, bool taggedOnly) const;
    /// True when a file of the branch has attributes other than none or archive alone.
    bool BranchHasNonPlainFiles(const TTreeNode* branch) const;

    /// Host path of a node's directory or of a file; none for an unknown drive.
    std::optional<std::string> HostPath(const TTreeNode* node) const;
    std::optional<std::string> HostPath(const TFileClass* file) const;

    /// The file's type description (own-description kinds per file, others per
    /// extension through the description cache).
    std::string Description(TFileClass* file);
    /// Index of the description cache entry for a file name, made if needed.
    int DescCacheIndex(const std::string& hostPath, std::string_view fileName);
    /// The description cache entry for a file's extension, made if needed.
    TDescClass& DescEntry(const TFileClass* file);
    /// The whole description chain for a file, with this catalogue's user types.
    std::string FileTypeDescriptionOf(const std::string& hostPath, std::string_view fileName) const;

    /// Goes up whenever file records are removed or moved in memory; a holder of
    /// record references that sees a different value must not use them.
    uint64_t Generation() const { return m_generation; }
    void RecordsInvalidated() { ++m_generation; }

    /// Views that follow records one by one as the catalogue follows the disk.
    void AddRecordObserver(RecordObserver* observer);
    void RemoveRecordObserver(RecordObserver* observer);
    const std::vector<RecordObserver*>& RecordObservers() const { return m_recordObservers; }

    /// Runs for every node about to be destroyed, before its record goes.
    std::function<void(TTreeNode* node)> OnNodeGoing;

private:
    const platform::DriveTable& m_drives;
    TTree m_tree;
    TLoggedList m_logged;
    TDescList m_descCache;
    IconProvider* m_iconProvider = nullptr;
    uint64_t m_generation = 0;
    std::vector<RecordObserver*> m_recordObservers;
};

} // namespace zentrix
