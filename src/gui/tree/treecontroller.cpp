#include "gui/tree/treecontroller.h"

#include "catalogue/tree.h"
#include "catalogue/treecommands.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace zentrix {

/// The in-place rename of a directory: the edit may start only when the rules
/// allow it, and the new name goes to disk through TreeCommands.
class TreeLabelDelegate : public QStyledItemDelegate {
public:
    TreeLabelDelegate(TreeController* controller, TreeCommands& commands)
        : QStyledItemDelegate(controller->view()), m_controller(controller), m_commands(commands) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        TTreeNode* node = CatalogueTreeModel::nodeOf(index);
        if (!m_commands.CanStartLabelEdit(node))
            return nullptr;
        m_controller->m_editing = true;
        m_controller->m_state.fileOperationRunning = true;
        emit m_controller->labelEditStarted();
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line)
            m_commands.FinishLabelEdit(CatalogueTreeModel::nodeOf(index), line->text().toStdString());
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        QStyledItemDelegate::destroyEditor(editor, index);
        if (m_controller->m_editing) {
            m_controller->m_editing = false;
            m_controller->m_state.fileOperationRunning = false;
            emit m_controller->labelEditEnded();
        }
    }

private:
    TreeController* m_controller;
    TreeCommands& m_commands;
};

namespace {

// The tree's key code of a Qt key: virtual-key numbers for the keys it handles.
int virtualKey(const QKeyEvent* e) {
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    switch (e->key()) {
    case Qt::Key_Backspace:
        return kKeyBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Delete:
        return kKeyDelete;
    case Qt::Key_Asterisk:
        return keypad ? kKeyNumMultiply : 0;
    case Qt::Key_Plus:
        return keypad ? kKeyNumAdd : 0;
    case Qt::Key_Minus:
        return keypad ? kKeyNumSubtract : 0;
    case Qt::Key_F2:
        return kKeyF2;
    case Qt::Key_Menu:
        return kKeyContextMenu;
    default:
        if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
            return e->key(); // the same numbers as the virtual keys
        return 0;
    }
}

} // namespace

TreeController::TreeController(THETreeView* view, CatalogueTreeModel* model, TreeCommands& commands,
                               AppState& state, const Settings& settings, QObject* parent)
    : QObject(parent), m_view(view), m_model(model), m_commands(commands), m_state(state),
      m_settings(settings) {
    m_view->setModel(model);
    m_view->setItemDelegate(new TreeLabelDelegate(this, commands));
    m_view->setEditTriggers(QAbstractItemView::SelectedClicked);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->WndProcFunction = [this](QEvent* e) { return MainTreeViewWndProcFunction(e); };

    connect(model, &CatalogueTreeModel::selectionMoved, this, [this] { followCoreSelection(); });
    // After a batch the rows are new: the view finds the selected one again.
    connect(model, &CatalogueTreeModel::rebuilt, this, [this] { followCoreSelection(); });
    connect(m_view, &THETreeView::expandRequested, this, [this](const QModelIndex& index) {
        MainTreeViewExpanding(CatalogueTreeModel::nodeOf(index));
    });
    connect(m_view, &THETreeView::collapseRequested, this, [this](const QModelIndex& index) {
        MainTreeViewCollapsing(CatalogueTreeModel::nodeOf(index));
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_followingCore)
                    MainTreeViewChange(CatalogueTreeModel::nodeOf(current));
            });
}

void TreeController::followCoreSelection() {
    m_followingCore = true;
    const QModelIndex i = m_model->indexOf(m_model->tree().Selected());
    m_view->setCurrentIndex(i);
    m_followingCore = false;
}

void TreeController::MainTreeViewChange(TTreeNode* node) {
    if (!node)
        return;
    // A refused change (a file operation runs) puts the view back.
    if (!m_model->tree().Select(node))
        followCoreSelection();
}

bool TreeController::MainTreeViewKeyDown(QKeyEvent* e) {
    if (m_editing)
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const int vk = virtualKey(e);
    if (vk == 0)
        return false;
    const int code = TreeCommands::KeyCode(vk, mods & Qt::ShiftModifier, mods & Qt::AltModifier,
                                           mods & Qt::ControlModifier);
    const TreeAction action = TreeCommands::KeyDownAction(code);
    switch (action) {
    case TreeAction::None:
        return false;
    case TreeAction::ContextMenu: {
        TTreeNode* node = m_model->tree().Selected();
        if (node) {
            const QRect r = m_view->visualRect(m_model->indexOf(node));
            popupFor(node, m_view->viewport()->mapToGlobal(r.center() + QPoint(r.width() / 4, 0)),
                     Qt::NoModifier);
        }
        return true;
    }
    case TreeAction::DeleteDir:
        emit deleteDirRequested();
        return false; // not consumed
    case TreeAction::LogDisk:
        emit logDiskRequested();
        return true;
    case TreeAction::BrowseDirectory:
        emit browseDirectoryRequested();
        return true;
    default:
        m_commands.Run(action);
        return true;
    }
}

bool TreeController::MainTreeViewKeyPress(QKeyEvent* e) {
    if (m_editing)
        return false;
    const QString text = e->text();
    if (text.isEmpty() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const char32_t c = text.toUcs4().value(0);
    if (c < 32)
        return false;
    const TreeAction action = TreeCommands::KeyPressAction(c);
    if (action == TreeAction::TypeAhead)
        return false; // the tree's own search among the visible nodes
    m_commands.Run(action);
    return true;
}

void TreeController::MainTreeViewKeyUp() { m_commands.SelectionSettled(); }
void TreeController::MainTreeViewMouseUp() { m_commands.SelectionSettled(); }

void TreeController::MainTreeViewExpanding(TTreeNode* node) {
    // Logging the node may ask about its disk and release it: the node is held
    // by a handle that knows when it went. A refused request changes nothing.
    const TNodeRef ref(node);
    if (m_commands.Expanding(node) && ref)
        m_model->tree().SetExpanded(ref.get(), true);
}

void TreeController::MainTreeViewCollapsing(TTreeNode* node) {
    const TNodeRef ref(node);
    if (!m_commands.Collapsing(node) || !ref)
        return;
    m_model->tree().SetExpanded(ref.get(), false);
    m_commands.Collapsed(ref.get());
}

void TreeController::MainTreeViewDblClick() { m_commands.DoubleClick(); }

void TreeController::popupFor(TTreeNode* node, const QPoint& globalPos,
                              Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    if (shift == m_settings.ShowContextMenus)
        emit treePopupRequested(globalPos);
    else
        emit shellMenuRequested(node, globalPos);
}

void TreeController::MainTreeViewMouseDown(Qt::MouseButton button, const QPoint& pos,
                                           Qt::KeyboardModifiers modifiers) {
    if (button != Qt::RightButton)
        return;
    const QModelIndex index = m_view->indexAt(pos);
    TTreeNode* node = CatalogueTreeModel::nodeOf(index);
    if (node)
        MainTreeViewChange(node);
    popupFor(m_model->tree().Selected(), m_view->viewport()->mapToGlobal(pos), modifiers);
}

void TreeController::MainTreeViewEnter() { emit entered(); }
void TreeController::MainTreeViewExit() { emit exited(); }

bool TreeController::MainTreeViewWndProcFunction(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (m_editing)
            return false;
        if (MainTreeViewKeyDown(k))
            return true;
        return MainTreeViewKeyPress(k);
    }
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            MainTreeViewKeyUp();
        return false;
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m_editing && m->button() == Qt::LeftButton) {
            // A click elsewhere while a label is edited cancels the edit.
            if (QWidget* editor = QApplication::focusWidget()) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(editor, &esc);
            }
            return true;
        }
        MainTreeViewMouseDown(m->button(), m->position().toPoint(), m->modifiers());
        return m->button() == Qt::RightButton;
    }
    case QEvent::MouseButtonRelease:
        MainTreeViewMouseUp();
        return false;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            MainTreeViewDblClick();
            return true;
        }
        return false;
    case QEvent::FocusIn:
        MainTreeViewEnter();
        return false;
    case QEvent::FocusOut:
        MainTreeViewExit();
        return false;
    default:
        return false;
    }
}

} // namespace zentrix
