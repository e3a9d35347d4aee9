#pragma once

#include "app/quicksearch.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QKeyEvent;
class QMenu;
class QPoint;
class QToolButton;
class QWidget;

namespace zentrix {

class FileWindow;
class THistoryComboBox;
struct Settings;

/// The quick directory search panel (pnDirSearch with hbDirSearch and its Go,
/// Browse and Favorites buttons), the quick file search box (hbFileSearch), and
/// the commands that lead to them, to the favorites and to the recent
/// directories. The rules are QuickSearch's; this class turns the boxes' keys
/// and focus changes into them.
///
/// The widgets are made as children of `window`; the window puts pnDirSearch
/// above the tree and hbFileSearch above the file list. Both stay hidden until
/// a command shows them and hide again when they lose the focus.
class QuickSearchController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    QuickSearchController(Catalogue& catalogue, AppState& state, const Settings& settings,
                          DiskLogger& logger, Prompter& prompter, CatalogueUi& ui,
                          FileWindow& fileWindow, QWidget* window);

    QWidget* pnDirSearch = nullptr;
    THistoryComboBox* hbDirSearch = nullptr;
    QToolButton* sbQSearchGo = nullptr;
    QToolButton* sbQSearchBrowse = nullptr;
    QToolButton* sbQSearchFav = nullptr;
    THistoryComboBox* hbFileSearch = nullptr;

    QuickSearch& model() { return m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

    // --- commands ------------------------------------------------------------------
    void miDirQSearchClick();
    void pmiSearchClick();
    /// Also F2 in the tree.
    void pmiBrowseClick();
    void pmiAddToDirQSearchClick();
    void pmiAddToFavClick();
    void miFileOtherQSearchClick();
    /// A directory of the "Zentrix" menu's recent list was chosen.
    void mruDirsMRUItemClick(const std::string& path);

    void sbQSearchGoClick();
    void QuickSearchBrowse();
    /// The favorites in the box's list (favorites mode), dropped down; nothing
    /// when there are none.
    void QuickSearchFavorites(THistoryComboBox* box);

    /// The current-directory label's menu (pmCurrDir) at a screen position:
    /// the tree page shows, and the two items are greyed while the file window
    /// is maximised.
    void pmCurrDirPopup(QMenu* menu, const QPoint& globalPos);

    // --- the window's side -------------------------------------------------------------
    std::function<void()> showTreePage;
    /// The folder chooser: a host folder from the start folder given, none when
    /// cancelled. `classic` in the lowest compatibility mode. Replaceable for
    /// tests; by default a directory dialog.
    std::function<std::optional<std::string>(const std::string& startHost, bool classic)>
        chooseFolder;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showDirSearch(const QString& text);
    void go(const std::string& text);
    /// Reloads the box's history and adds `text` at its top when it is not there.
    void addToDirHistory(const QString& text);
    bool dirSearchKey(QKeyEvent* key);
    bool fileSearchKey(QKeyEvent* key);
    void hbDirSearchDropDown();
    void hbFileSearchCloseUp();
    void restoreFileWindow();
    std::string selectedPath() const;

    Catalogue& m_cat;
    const Settings& m_settings;
    CatalogueUi& m_ui;
    FileWindow& m_fileWindow;
    QuickSearch m_model;
    QPointer<QWidget> m_window;
    std::map<std::string, Command> m_commands;
    bool m_searchKeyTyped = false; // a key of the file search is being typed
};

} // namespace zentrix
