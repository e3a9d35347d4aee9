#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class Prompter;
class TTree;
class TTreeNode;

/// The quick ways to a directory: a name prefix or a path typed into the quick
/// search box, a favorite (the desktop's bookmarked folders), a folder chosen
/// by browsing, a recent directory; and the file window's search by the start
/// of a file name. The boxes and menus that lead here are the window's; what
/// they do is decided here.
class QuickSearch {
public:
    QuickSearch(Catalogue& catalogue, AppState& state, DiskLogger& logger, Prompter& prompter,
                CatalogueUi& ui);

    /// The node a name prefix leads to, comparing in upper case over every node
    /// of the tree in pre-order (opened or not): the first one after `selected`
    /// when `selected` itself begins with the prefix, otherwise the first from
    /// the top. No wrap-around: none when nothing follows.
    static TTreeNode* FindByPrefix(const TTree& tree, const TTreeNode* selected,
                                   std::string_view prefix);

    /// Go with the box's text. A text with a backslash, or a host path ("/usr",
    /// "~/Downloads"), is a directory path, which is opened (OpenPath); any
    /// other text is a name prefix: the node found becomes selected (the
    /// selection stays when there is none). False for an empty text, which does
    /// nothing.
    bool Go(const std::string& text);

    /// Opens a typed or chosen directory ("D:\DOCS", with or without the final
    /// backslash, names found without regard to case; or a host path that a
    /// drive holds): every level of it logged (its disk first when that is not
    /// logged) and the last one selected. "Directory does not exist!     ", with
    /// the path and the reason under it, when it is not a directory on a drive.
    bool OpenPath(const std::string& path);

    /// A recent directory chosen from the menu: back to the one-directory scope,
    /// the directory opened, a refill requested.
    void OpenRecent(const std::string& path);

    /// The favorites: the bookmarked directories that exist and lie on a drive,
    /// in catalogue form and in the bookmarks' order.
    std::vector<std::string> Favorites() const;

    /// "Add to favorites as:" with `defaultName`; the directory is bookmarked
    /// under the name given. False when cancelled, and after "Operation failed!
    /// " when the bookmarks cannot be written.
    bool AddFavorite(const std::string& dirPath, const std::string& defaultName);

    /// The box's text after browsing: the chosen host folder in catalogue form as
    /// the system spells it (links resolved); when that lies on no drive, the
    /// start folder read back the same way; none when neither is a directory on
    /// a drive.
    std::optional<std::string> BrowsedPath(const std::string& chosenHost,
                                           const std::string& start) const;

    /// The file window's search: from the current entry down (from the first
    /// when none is current), the first entry whose name begins with `text`
    /// (compared in upper case) becomes current. Only for a text that begins
    /// with a letter A to Z; no wrap-around. The entry made current, or -1.
    static int FindFile(FileWindow& window, std::string_view text);

private:
    const platform::DriveTable& drives() const;

    Catalogue& m_cat;
    AppState& m_state;
    DiskLogger& m_logger;
    Prompter& m_prompter;
    CatalogueUi& m_ui;
};

} // namespace zentrix
