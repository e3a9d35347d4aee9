#pragma once

// How the main window takes this controller in (TMainForm), after the tree,
// the copy and move controller and the ops controller exist:
//
//   m_dirOps = new DirOpsController({...}, this);
//   m_dirOps->installPages(ZenPageControl);
//   // in buildCommands(): for (auto& [name, handler] : m_dirOps->commands()) ...

#include "gui/controls/strippage.h"
#include "ops/dirops.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;
class QMimeData;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueTreeModel;
class CatalogueUi;
class CopyMoveCommands;
class DiskLogger;
class FileWindow;
class Progress;
class Prompter;
class TCommandPrompt;
class TFileOperator;
class THETreeView;
class TreeCommands;
class TreeController;
class TWDList;
struct Settings;

/// The directory operations of the tree: the command strip's pages for make,
/// rename and prune, the tree's Delete key and label edits, and everything
/// dragged onto the tree (a directory from the tree itself, files from the
/// file window, find results). Owns the DirOps rules.
class DirOpsController : public QObject, public DirOpsUi {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    struct Parts {
        Catalogue& catalogue;
        AppState& state;
        const Settings& settings;
        DiskLogger& logger;
        TWDList& watchDog;
        TFileOperator& fileOperator;
        Prompter& prompter;
        Progress& progress;
        CatalogueUi& ui;
        TreeController& tree;
        TreeCommands& treeCommands;
        CatalogueTreeModel& treeModel;
        CopyMoveCommands& copyMove;
        FileWindow& fileWindow;
        /// Restarted while something is dragged over the tree; opens the node
        /// under the pointer when it fires.
        QTimer* dragTimer;
    };

    /// `parent` is the main window: the pages belong to it until installed.
    DirOpsController(const Parts& parts, QWidget* parent);
    ~DirOpsController() override;

    DirOps& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

    /// Adds the three pages to the command strip.
    void installPages(QStackedWidget* control);
    /// Dragging over this label brings the tree page forward and scrolls the tree.
    void watchCurrDirLabel(QLabel* label);
    /// Brings the tree's page forward.
    std::function<void()> showTreePage;

    TCommandPrompt* makeDirPage() const { return m_makeDir; }
    TCommandPrompt* renameDirPage() const { return m_renameDir; }
    QWidget* prunePage() const { return m_prune; }
    QLineEdit* edPrune = nullptr;
    QPushButton* bbPruneOK = nullptr;
    QLabel* lbPrune = nullptr;

    /// Data formats of what is dragged onto the tree.
    static constexpr const char* kDirectoryMime = "application/x-zentrix-directory";
    static constexpr const char* kFileWindowMime = "application/x-zentrix-file-window";

    /// Handles a drop on the tree's viewport at a point (what the event does;
    /// tests call it with the data a drag would carry).
    bool dropOnTree(const QPoint& at, const QMimeData* data, Qt::KeyboardModifiers modifiers);

    // --- DirOpsUi ---------------------------------------------------------------------
    void showMakeDirPage(const std::string& text) override;
    void showRenameDirPage(const std::string& text) override;
    void showPrunePage() override;
    void closePage() override;
    void addMakeDirHistory(const std::string& text) override;
    void addRenameDirHistory(const std::string& text) override;
    void editNodeLabel(TTreeNode* node) override;
    bool labelEditing() const override;
    void putFilesOnClipboard(const std::vector<std::string>& hostPaths, bool cut) override;
    std::optional<platform::ClipboardFiles> filesOnClipboard() override;
    bool pasteFiles(const std::string& targetDir, const platform::ClipboardFiles& files) override;
    void clearClipboard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(QWidget* page);
    void startDrag(bool copy);
    void dragOver(const QPoint& at);
    void dragTimerFired();

    std::unique_ptr<DirOps> m_model;
    Catalogue& m_cat;
    DiskLogger& m_logger;
    TreeController& m_tree;
    CatalogueTreeModel& m_treeModel;
    CopyMoveCommands& m_copyMove;
    FileWindow& m_fileWindow;
    QPointer<QTimer> m_dragTimer;
    QPointer<TCommandPrompt> m_makeDir;
    QPointer<TCommandPrompt> m_renameDir;
    QPointer<QWidget> m_prune;
    QPointer<QStackedWidget> m_control;
    StripPage m_strip;
    QPointer<QLabel> m_currDirLabel;
    QPoint m_pressAt;
    std::string m_pressedPath; // the node whose label the left button went down on
    std::string m_dragOverPath;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
