#include "search/spacemap.h"

#include "catalogue/fileclass.h"
#include "catalogue/loggedclass.h"
#include "catalogue/treenode.h"

#include <deque>
#include <functional>

namespace zentrix {

struct SpaceMap::Sized {
    const TTreeNode* node = nullptr;
    uint64_t own = 0;
    uint64_t total = 0;
    std::vector<Sized> children;
};

namespace {

uint64_t ownBytes(const TTreeNode* node) {
    uint64_t bytes = 0;
    if (const TLoggedClass* dir = node->Data())
        for (const TFileClass* file : dir->FileList())
            bytes += static_cast<uint32_t>(file->FileSize());
    return bytes;
}

} // namespace

uint64_t SpaceMap::BranchBytes(const TTreeNode* node) {
    uint64_t bytes = ownBytes(node);
    for (int i = 0; i < node->Count(); ++i)
        bytes += BranchBytes(node->Item(i));
    return bytes;
}

void SpaceMap::Build(const TTreeNode* root, TreemapRect bounds) {
    m_cells.clear();
    if (!root)
        return;
    // Sizes first (children before parents), then the layout top down.
    std::function<Sized(const TTreeNode*)> sized = [&](const TTreeNode* node) {
        Sized s;
        s.node = node;
        s.own = ownBytes(node);
        s.total = s.own;
        for (int i = 0; i < node->Count(); ++i) {
            Sized child = sized(node->Item(i));
            if (child.total == 0)
                continue;
            s.total += child.total;
            s.children.push_back(std::move(child));
        }
        return s;
    };
    const Sized top = sized(root);

    struct Job {
        const Sized* dir;
        TreemapRect rect;
        int depth;
        int parent;
    };
    std::deque<Job> queue{{&top, bounds, 0, -1}};
    while (!queue.empty() && m_cells.size() < kMaxCells) {
        const Job job = queue.front();
        queue.pop_front();
        const int index = static_cast<int>(m_cells.size());
        m_cells.push_back(
            {job.rect, job.dir->node->Path(), job.dir->total, job.depth, false, job.parent});
        TreemapRect inner = job.rect;
        if (inner.w < kMinSide || inner.h < kMinSide || job.dir->total == 0)
            continue;
        // A frame of one unit shows where a directory ends.
        inner = {inner.x + 1, inner.y + 1, inner.w - 2, inner.h - 2};
        std::vector<double> sizes;
        if (job.dir->own > 0)
            sizes.push_back(static_cast<double>(job.dir->own));
        for (const Sized& child : job.dir->children)
            sizes.push_back(static_cast<double>(child.total));
        const std::vector<TreemapRect> rects = SquarifiedLayout(sizes, inner);
        size_t r = 0;
        if (job.dir->own > 0) {
            m_cells.push_back({rects[r++], m_cells[static_cast<size_t>(index)].path, job.dir->own,
                               job.depth + 1, true, index});
        }
        for (const Sized& child : job.dir->children)
            queue.push_back({&child, rects[r++], job.depth + 1, index});
    }
}

int SpaceMap::CellAt(double x, double y) const {
    // Children come after their parents: the last cell holding the point is
    // the deepest.
    for (size_t i = m_cells.size(); i-- > 0;)
        if (m_cells[i].rect.contains(x, y))
            return static_cast<int>(i);
    return -1;
}

int SpaceMap::DirectoryAt(double x, double y) const {
    int cell = CellAt(x, y);
    if (cell >= 0 && m_cells[static_cast<size_t>(cell)].files)
        cell = m_cells[static_cast<size_t>(cell)].parent;
    return cell;
}

} // namespace zentrix
