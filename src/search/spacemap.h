#pragma once

#include "search/squarifiedtreemap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentrix {

class TTreeNode;

/// The space map of a logged branch: nested rectangles, one per directory with
/// an area proportional to the bytes of its files and of everything below it,
/// and inside each directory one more rectangle for its own files. Made from
/// the catalogue alone (no disk is read), on the main thread; unlogged
/// directories have no known size and get no rectangle.
class SpaceMap {
public:
    struct Cell {
        TreemapRect rect;
        std::string path; // the directory's catalogue path
        uint64_t bytes = 0;
        int depth = 0;      // 0 for the branch's own directory
        bool files = false; // the directory's own files rather than the directory
        int parent = -1;    // the cell of the directory it lies in
    };

    /// Cells smaller than this (in either direction) are not divided further.
    static constexpr double kMinSide = 6;
    /// At most this many cells are made, largest directories first.
    static constexpr size_t kMaxCells = 4000;

    /// Lays out the branch below `root` (null: an empty map) in `bounds`.
    void Build(const TTreeNode* root, TreemapRect bounds);

    /// Parents come before their children.
    const std::vector<Cell>& Cells() const { return m_cells; }
    /// The deepest directory cell (not a files cell) under a point, or -1.
    int DirectoryAt(double x, double y) const;
    /// The cell under a point (files cells included), or -1.
    int CellAt(double x, double y) const;

    /// The bytes of a directory and everything below it, from the catalogue
    /// (sizes taken as the unsigned 32 bits the catalogue keeps).
    static uint64_t BranchBytes(const TTreeNode* node);

private:
    struct Sized;
    void place(const Sized& dir, TreemapRect rect, int depth, int parent);

    std::vector<Cell> m_cells;
};

} // namespace zentrix
