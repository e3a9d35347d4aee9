#pragma once

#include "catalogue/diskarena.h"
#include "catalogue/treenode.h"

#include <string>
#include <unordered_map>

namespace zentrix {

/// A top-level node (a disk's root): it knows the tree, owns the disk's arena,
/// in which every other node of the disk lies, and keeps the texts that do not
/// lie behind their nodes. Only TTree makes and destroys these.
struct TTreeNode::DiskRoot : TTreeNode {
    DiskRoot(TTree* owner, std::string rootText)
        : TTreeNode(nullptr, 0), tree(owner), arena(new DiskArena), text(std::move(rootText)) {
        m_flags = kTextAside | kTopLevel;
        m_textLen = static_cast<uint16_t>(text.size() > UINT16_MAX ? UINT16_MAX : text.size());
    }
    ~DiskRoot() {
        // Blocks still held elsewhere (a record whose node went) keep the
        // arena until they are freed.
        arena->Retire();
    }
    DiskRoot(const DiskRoot&) = delete;
    DiskRoot& operator=(const DiskRoot&) = delete;

    TTree* tree;
    DiskArena* arena; // retired, not deleted, when the root goes
    std::string text;
    std::unordered_map<const TTreeNode*, std::string> aside; // renamed nodes' longer texts
};

} // namespace zentrix
