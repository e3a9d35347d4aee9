#pragma once

#include "catalogue/filelist.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace zentrix {

class DiskArena;
class TTreeNode;

/// A logged directory: its tree node and the list of its files, which it owns.
class TLoggedClass {
public:
    explicit TLoggedClass(TTreeNode* dirNode) noexcept
        : m_owner(reinterpret_cast<uintptr_t>(dirNode)) {}
    TLoggedClass(const TLoggedClass&) = delete;
    TLoggedClass& operator=(const TLoggedClass&) = delete;

    /// A record for a directory whose files are known ahead: one block in the
    /// memory of the node's disk holds the record and a first run with room for
    /// `count` files whose names take `nameBytes` in all (as much as one run
    /// holds; the list takes the rest from the heap as usual). The node must
    /// be one of a tree's nodes.
    static std::unique_ptr<TLoggedClass> Make(TTreeNode* dirNode, size_t count, size_t nameBytes);
    /// Disposes of a record wherever it was made.
    void operator delete(TLoggedClass* record, std::destroying_delete_t);

    TFileList& FileList() { return m_fileList; }
    const TFileList& FileList() const { return m_fileList; }
    TTreeNode* DirNode() const {
        return (m_owner & kMadeInArena) ? blockRun()->dir : reinterpret_cast<TTreeNode*>(m_owner);
    }

    int NumFilesInDir() const { return m_fileList.Count(); }
    /// Sum of FileSize over the files, in 64 bits.
    int64_t DirSize() const;

    ~TLoggedClass() = default;

private:
    // The run header right behind a record made by Make. It stays there, and
    // names the directory, even after its records went to another list.
    TFileList::Run* blockRun() const {
        return reinterpret_cast<TFileList::Run*>(const_cast<TLoggedClass*>(this) + 1);
    }
    DiskArena* arena() const {
        return (m_owner & kMadeInArena) ? reinterpret_cast<DiskArena*>(m_owner & ~kMadeInArena)
                                        : nullptr;
    }
    static constexpr uintptr_t kMadeInArena = 1;

    TFileList m_fileList;
    // A record made by Make holds its arena here, marked by the low bit, and
    // finds its directory in the run header behind it; any other holds its
    // directory's node.
    uintptr_t m_owner;
};

} // namespace zentrix
