#pragma once

#include "catalogue/filelist.h"

#include <cstdint>

namespace zentrix {

class TTreeNode;

/// A logged directory: its tree node and the list of its files, which it owns.
class TLoggedClass {
public:
    explicit TLoggedClass(TTreeNode* dirNode) : m_dirNode(dirNode) {}

    TFileList& FileList() { return m_fileList; }
    const TFileList& FileList() const { return m_fileList; }
    TTreeNode* DirNode() const { return m_dirNode; }

    int NumFilesInDir() const { return m_fileList.Count(); }
    /// Sum of FileSize over the files, in 64 bits.
    int64_t DirSize() const;

private:
    TFileList m_fileList;
    TTreeNode* m_dirNode;
};

} // namespace zentrix
