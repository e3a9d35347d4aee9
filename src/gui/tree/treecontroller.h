#pragma once

#include <QObject>
#include <QPoint>

class QEvent;
class QKeyEvent;

namespace zentrix {

class AppState;
class CatalogueTreeModel;
class DiskLogger;
class THETreeView;
class TTreeNode;
class TreeCommands;
struct Settings;

/// The directory tree's events, handled for the main window: the widget's
/// events become the tree rules of TreeCommands; what belongs to the window
/// (the drive list, the popups, the focus effects) leaves as signals.
class TreeController : public QObject {
    Q_OBJECT
public:
    TreeController(THETreeView* view, CatalogueTreeModel* model, TreeCommands& commands,
                   AppState& state, const Settings& settings, QObject* parent = nullptr);

    THETreeView* view() const { return m_view; }
    /// True while a label is being edited.
    bool editing() const { return m_editing; }

    // The tree's event handlers.
    void MainTreeViewChange(TTreeNode* node);
    bool MainTreeViewKeyDown(QKeyEvent* event);
    bool MainTreeViewKeyPress(QKeyEvent* event);
    void MainTreeViewKeyUp();
    void MainTreeViewMouseUp();
    void MainTreeViewExpanding(TTreeNode* node);
    void MainTreeViewCollapsing(TTreeNode* node);
    void MainTreeViewDblClick();
    void MainTreeViewMouseDown(Qt::MouseButton button, const QPoint& pos,
                               Qt::KeyboardModifiers modifiers);
    void MainTreeViewEnter();
    void MainTreeViewExit();
    bool MainTreeViewWndProcFunction(QEvent* event);

signals:
    void logDiskRequested();
    void browseDirectoryRequested();
    void deleteDirRequested();
    /// The program's own popup (TreeViewPopupMenu) at a global position.
    void treePopupRequested(const QPoint& globalPos);
    /// The system's context menu for the directory of a node.
    void shellMenuRequested(TTreeNode* node, const QPoint& globalPos);
    void entered();
    void exited();
    /// A label edit started or ended (single-key shortcuts off and on again).
    void labelEditStarted();
    void labelEditEnded();

private:
    friend class TreeLabelDelegate;
    void followCoreSelection();
    void popupFor(TTreeNode* node, const QPoint& globalPos, Qt::KeyboardModifiers modifiers);

    THETreeView* m_view;
    CatalogueTreeModel* m_model;
    TreeCommands& m_commands;
    AppState& m_state;
    const Settings& m_settings;
    bool m_followingCore = false;
    bool m_editing = false;
};

} // namespace zentrix
