#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

class DiskArena;
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
/// made, changed and destroyed only through TTree, which tells the windows.
///
/// A node is one block of its disk's arena with the name bytes right behind
/// it (a top-level node, which owns the arena, keeps its text aside); its
/// children are an array in the same arena, sized to what is known. A node
/// keeps its address while it lives, renamed or not: a new name longer than
/// the room behind the node is kept aside by the disk.
class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    /// The name; valid until the node is renamed or goes.
    std::string_view Text() const {
        return (m_flags & kTextAside) ? textAside() : std::string_view(inlineText(), m_textLen);
    }
    TTreeNode* Parent() const { return m_parent; }
    int Count() const { return static_cast<int>(m_count); }
    TTreeNode* Item(int index) const { return m_children[index]; }
    /// Position among its siblings (top-level nodes: among the roots).
    int Index() const { return m_index; }

    /// The directory record, or none while unlogged.
    TLoggedClass* Data() const { return m_data; }
    bool Logged() const { return m_data != nullptr; }

    /// True when the node has child nodes or is marked as having some (it shows
    /// an expand button before its subdirectories are read).
    bool HasChildren() const { return (m_flags & kHasChildrenMark) || m_count > 0; }
    bool Expanded() const { return m_flags & kExpanded; }
    bool Bold() const { return m_flags & kBold; }
    bool IsLink() const { return m_flags & kIsLink; }
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

    /// The memory of the node's disk, in which the catalogue keeps the disk's
    /// nodes and directory records (see TLoggedClass::Make).
    DiskArena* Arena() const;

private:
    friend class TTree;
    friend class TNodeRef;
    struct DiskRoot; // a top-level node: the tree, the disk's arena, texts kept aside

    enum Flags : uint8_t {
        kHasChildrenMark = 1,
        kExpanded = 2,
        kBold = 4,
        kIsLink = 8,
        kTextAside = 16, // the text is not behind the node (top level, or renamed longer)
        kTopLevel = 32,
    };

    TTreeNode(TTreeNode* parent, uint16_t textRoom) : m_parent(parent), m_textRoom(textRoom) {}
    ~TTreeNode() = default;

    const char* inlineText() const { return reinterpret_cast<const char*>(this + 1); }
    char* inlineText() { return reinterpret_cast<char*>(this + 1); }
    std::string_view textAside() const;
    DiskRoot* rootBlock() const;
    void setFlag(Flags flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

    TTreeNode* m_parent;
    TTreeNode** m_children = nullptr; // in the disk's arena
    TLoggedClass* m_data = nullptr;
    uint32_t m_count = 0;
    uint32_t m_capacity = 0;
    int m_index = 0;
    int32_t m_watchId = -1;
    int8_t m_imageIndex = kImageUnlogged;
    int8_t m_selectedIndex = kImageUnloggedSelected;
    uint8_t m_flags = 0;
    FollowState m_follow = FollowState::Unwatched;
    uint16_t m_textLen = 0;
    uint16_t m_textRoom; // name bytes the block holds behind the node
};

static_assert(sizeof(TTreeNode) == 48, "the node layout is part of the memory budget");

} // namespace zentrix
