#pragma once

#include "catalogue/tree.h"
#include "catalogue/treenode.h"

#include <functional>
#include <vector>

namespace zentrix::test {

/// The rows the tree must show, worked out from the nodes themselves: every
/// node whose ancestors are all open, each before its children.
inline std::vector<const TTreeNode*> ShownRows(const TTree& tree) {
    std::vector<const TTreeNode*> out;
    std::function<void(const TTreeNode*)> add = [&](const TTreeNode* n) {
        out.push_back(n);
        if (n->Expanded())
            for (int i = 0; i < n->Count(); ++i)
                add(n->Item(i));
    };
    for (int i = 0; i < tree.TopCount(); ++i)
        add(tree.Top(i));
    return out;
}

} // namespace zentrix::test
