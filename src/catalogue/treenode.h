#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zentrix {

class TLoggedClass;
class TTree;

/// Node images by directory state (normal, selected).
enum NodeImage : int8_t {
    kImageUnlogged = 0,
    kImageUnloggedSelected = 1,
    kImageLogged = 2,
    kImageLoggedSelected = 3,
    kImageEmpty = 6,
    kImageEmptySelected = 7,
};

/// Whether the catalogue follows a logged directory's changes on disk.
enum class FollowState : uint8_t {
    Unwatched,   // not logged, following switched off, or read by hand without a watch
    Followed,    // watched: changes on disk reach the catalogue
    MayBeStale,  // no watch to spare: the directory may have changed unseen
    NotFollowed, // a disk, mount or link whose changes cannot be seen
};

/// One known directory. The node's text is the directory's name (a drive root's
/// is "C:\"); its data slot holds the directory record while the directory is
/// logged. Nodes are owned by their parent (top-level nodes by the tree) and
/// changed only through TTree, which tells the windows.
class TTreeNode {
public:
    /// Goes with its whole branch, without recursion (any depth works).
    ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    const std::string& Text() const { return m_text; }
    TTreeNode* Parent() const { return m_parent; }
    int Count() const { return static_cast<int>(m_children.size()); }
    TTreeNode* Item(int index) const { return m_children[static_cast<size_t>(index)].get(); }
    /// Position among its siblings (top-level nodes: among the roots).
    int Index() const { return m_index; }

    /// The directory record, or none while unlogged.
    TLoggedClass* Data() const { return m_data; }
    bool Logged() const { return m_data != nullptr; }

    /// True when the node has child nodes or is marked as having some (it shows
    /// an expand button before its subdirectories are read).
    bool HasChildren() const { return m_hasChildrenMark || !m_children.empty(); }
    bool Expanded() const { return m_expanded; }
    bool Bold() const { return m_bold; }
    bool IsLink() const { return m_isLink; }
    /// The directory's attribute word: D always, and H for a hidden directory
    /// (a name that begins with ".", as this system marks hidden entries).
    uint16_t Attributes() const;
    int ImageIndex() const { return m_imageIndex; }
    FollowState Follow() const { return m_follow; }
    /// The watch that follows the directory on disk, or -1.
    int WatchId() const { return m_watchId; }
    int SelectedIndex() const { return m_selectedIndex; }

    int Level() const;
    /// The drive root above this node (itself for a root).
    TTreeNode* Root();
    const TTreeNode* Root() const;
    /// True when this node is `ancestor` or lies below it.
    bool IsInBranchOf(const TTreeNode* ancestor) const;
    /// The directory path: ancestors' texts and its own, each followed by a
    /// backslash unless it already ends in one ("C:\", "C:\DOCS\").
    std::string Path() const;
    /// Upper-case drive letter of the node's disk.
    char DriveLetter() const;

    TTreeNode* NextSibling() const;
    TTreeNode* PrevSibling() const;

private:
    friend class TTree;
    friend class TNodeRef;
    TTreeNode(TTree* tree, TTreeNode* parent, std::string text);

    TTree* m_tree;
    TTreeNode* m_parent;
    std::string m_text;
    std::vector<std::unique_ptr<TTreeNode>> m_children;
    TLoggedClass* m_data = nullptr;
    int m_index = 0;
    int32_t m_watchId = -1;
    int8_t m_imageIndex = kImageUnlogged;
    int8_t m_selectedIndex = kImageUnloggedSelected;
    bool m_hasChildrenMark = false;
    bool m_expanded = false;
    bool m_bold = false;
    bool m_isLink = false;
    FollowState m_follow = FollowState::Unwatched;
};

} // namespace zentrix
