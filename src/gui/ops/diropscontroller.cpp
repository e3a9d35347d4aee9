#include "gui/ops/diropscontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/treecommands.h"
#include "catalogue/treenode.h"
#include "filewindow/filewindow.h"
#include "gui/controls/a11y.h"
#include "gui/controls/findresultsmime.h"
#include "gui/controls/systemclipboard.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/tcommandprompt.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"
#include "gui/tree/treecontroller.h"
#include "ops/copymovecommands.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <vector>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

/// The prune box: Esc leaves the page, Enter is OK while OK is enabled.
class PruneKeys : public QObject {
public:
    PruneKeys(QObject* parent, std::function<void()> cancel, std::function<void()> ok)
        : QObject(parent), m_cancel(std::move(cancel)), m_ok(std::move(ok)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            m_cancel();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_ok();
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_cancel;
    std::function<void()> m_ok;
};

} // namespace

DirOpsController::DirOpsController(const Parts& parts, QWidget* parent)
    : QObject(parent),
      m_model(std::make_unique<DirOps>(parts.catalogue, parts.state, parts.settings, parts.logger,
                                       parts.watchDog, parts.fileOperator, parts.prompter,
                                       parts.progress, parts.ui)),
      m_cat(parts.catalogue), m_logger(parts.logger), m_tree(parts.tree),
      m_treeModel(parts.treeModel), m_copyMove(parts.copyMove), m_fileWindow(parts.fileWindow),
      m_dragTimer(parts.dragTimer) {
    setObjectName("DirOpsController");
    m_model->SetUi(this);

    m_makeDir = new TCommandPrompt("ts_FC_MakeDir", "Make new directory page", "MakeDir",
                                   "hbMakeDir", parent);
    m_makeDir->setCaption("Make new directory:");
    m_renameDir = new TCommandPrompt("ts_FC_RenameDir", "Rename directory page", "RenameDir",
                                     "hbRenameDir", parent);
    m_renameDir->setCaption("Rename directory to:");
    connect(m_makeDir, &TCommandPrompt::okClicked, this,
            [this](const QString& text) { m_model->OK_MakeNewDir(text.toStdString()); });
    connect(m_renameDir, &TCommandPrompt::okClicked, this,
            [this](const QString& text) { m_model->OK_RenameDir(text.toStdString()); });
    for (TCommandPrompt* p : {m_makeDir.data(), m_renameDir.data()}) {
        connect(p, &TCommandPrompt::cancelClicked, this, [this] { m_model->PageCancelled(); });
        p->hide();
    }

    m_prune = new QWidget(parent);
    NameComponent(m_prune, "ts_FC_Prune", "Prune page");
    auto* row = new QHBoxLayout(m_prune);
    row->setContentsMargins(6, 2, 6, 2);
    lbPrune = new QLabel("WARNING-destructive!", m_prune);
    NameComponent(lbPrune, "lbPrune", "Warning");
    edPrune = new QLineEdit(m_prune);
    NameComponent(edPrune, "edPrune", "Type PRUNE to confirm");
    edPrune->setMaxLength(5);
    edPrune->setToolTip("PRUNE:  Delete the highlighted branch of the tree");
    edPrune->setStatusTip(edPrune->toolTip());
    lbPrune->setBuddy(edPrune);
    bbPruneOK = new QPushButton("&OK", m_prune);
    NameComponent(bbPruneOK, "bbPruneOK", "OK");
    bbPruneOK->setEnabled(false);
    row->addWidget(lbPrune);
    row->addWidget(edPrune, 1);
    row->addWidget(bbPruneOK);
    m_prune->hide();
    connect(edPrune, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const DirOps::PruneBox box = m_model->edPruneChange(typed.toStdString());
        if (!box.stays)
            return;
        const int caret = edPrune->cursorPosition();
        edPrune->setText(q(box.text));
        edPrune->setCursorPosition(caret);
        bbPruneOK->setEnabled(box.okEnabled);
    });
    connect(bbPruneOK, &QPushButton::clicked, this, [this] { m_model->bbPruneOKClick(); });
    edPrune->installEventFilter(new PruneKeys(
        this, [this] { m_model->PageCancelled(); },
        [this] {
            if (bbPruneOK->isEnabled())
                bbPruneOK->click();
        }));

    for (auto& [name, handler] : m_model->Commands())
        m_commands.emplace(name, std::move(handler));

    // The label edit asks the WatchDog about protected directories (the ops
    // controller installs that); its renames are logged here.
    DirOps* model = m_model.get();
    parts.treeCommands.DirectoryRenamed = [model](const std::string& from, const std::string& to) {
        model->LabelRenamed(from, to);
    };
    connect(&m_tree, &TreeController::deleteDirRequested, this, [this] { m_model->DeleteDir(); });
    // Delete waits until the program was idle once after the tree got the focus.
    connect(&m_tree, &TreeController::entered, this, [this] {
        m_model->TreeFocused();
        QTimer::singleShot(0, this, [this] { m_model->Idle(); });
    });

    THETreeView* view = m_tree.view();
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->setDropIndicatorShown(false);
    view->viewport()->installEventFilter(this);
    if (m_dragTimer) {
        m_dragTimer->setSingleShot(true);
        connect(m_dragTimer, &QTimer::timeout, this, &DirOpsController::dragTimerFired);
    }
}

DirOpsController::~DirOpsController() {
    if (THETreeView* view = m_tree.view())
        view->viewport()->removeEventFilter(this);
    m_model->SetUi(nullptr);
    for (QWidget* p : {static_cast<QWidget*>(m_makeDir.data()),
                       static_cast<QWidget*>(m_renameDir.data()), m_prune.data()})
        if (p && !m_control)
            delete p;
}

void DirOpsController::installPages(QStackedWidget* control) {
    m_control = control;
    control->addWidget(m_makeDir);
    control->addWidget(m_renameDir);
    control->addWidget(m_prune);
}

void DirOpsController::watchCurrDirLabel(QLabel* label) {
    m_currDirLabel = label;
    label->setAcceptDrops(true);
    label->installEventFilter(this);
}

// --- the pages ----------------------------------------------------------------------------

void DirOpsController::showPage(QWidget* page) {
    m_strip.Show(m_control, page);
}

void DirOpsController::closePage() {
    m_strip.Close(m_control);
}

void DirOpsController::showMakeDirPage(const std::string& text) {
    showPage(m_makeDir);
    m_makeDir->setText(q(text)); // selected, the caret at its end
    m_makeDir->hbBox->setFocus(Qt::OtherFocusReason);
}

void DirOpsController::showRenameDirPage(const std::string& text) {
    showPage(m_renameDir);
    m_renameDir->setText(q(text));
    m_renameDir->hbBox->setFocus(Qt::OtherFocusReason);
}

void DirOpsController::showPrunePage() {
    edPrune->clear();
    bbPruneOK->setEnabled(false);
    showPage(m_prune);
    edPrune->setFocus(Qt::OtherFocusReason);
}

void DirOpsController::addMakeDirHistory(const std::string& text) {
    m_makeDir->hbBox->setEditText(q(text));
    m_makeDir->hbBox->Save();
}

void DirOpsController::addRenameDirHistory(const std::string& text) {
    m_renameDir->hbBox->setEditText(q(text));
    m_renameDir->hbBox->Save();
}

void DirOpsController::editNodeLabel(TTreeNode* node) {
    THETreeView* view = m_tree.view();
    const QModelIndex index = m_treeModel.indexOf(node);
    if (!index.isValid())
        return;
    view->setFocus(Qt::OtherFocusReason);
    view->scrollTo(index);
    view->edit(index);
}

bool DirOpsController::labelEditing() const {
    return m_tree.editing();
}

// --- dragging -----------------------------------------------------------------------------

void DirOpsController::startDrag(bool copy) {
    // With Ctrl the current directory goes as a copy; otherwise the one whose
    // label the drag began on, as a move.
    std::string path = m_pressedPath;
    if (copy)
        if (const TTreeNode* current = m_cat.Tree().Selected())
            path = current->Path();
    m_pressedPath.clear();
    if (path.empty())
        return;
    m_model->DragStarted(path, copy);
    auto* data = new QMimeData;
    data->setData(kDirectoryMime, QByteArray::fromStdString(path));
    auto* drag = new QDrag(m_tree.view());
    drag->setMimeData(data);
    const QIcon icon = QIcon::fromTheme(copy ? "edit-copy" : "text-x-generic");
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(32, 32));
    drag->exec(Qt::CopyAction | Qt::MoveAction, copy ? Qt::CopyAction : Qt::MoveAction);
    if (m_dragTimer)
        m_dragTimer->stop();
    m_dragOverPath.clear();
    // The drag took the button's release: the press's selection settles now.
    m_tree.MainTreeViewMouseUp();
}

void DirOpsController::dragOver(const QPoint& at) {
    THETreeView* view = m_tree.view();
    const TTreeNode* node = CatalogueTreeModel::nodeOf(view->indexAt(at));
    const std::string path = node ? node->Path() : std::string();
    if (path == m_dragOverPath)
        return;
    m_dragOverPath = path;
    if (!m_dragTimer)
        return;
    m_dragTimer->stop();
    if (node)
        m_dragTimer->start(node->Logged() ? 5000 : 1000);
}

void DirOpsController::dragTimerFired() {
    // Held over a directory for a while: it opens (and is read if it was not).
    // Found again by path: the tree may have changed since the pointer came.
    if (m_dragOverPath.empty())
        return;
    const QModelIndex index = m_treeModel.indexOf(m_logger.FindNodeByPath(m_dragOverPath));
    if (index.isValid())
        m_tree.view()->expand(index);
}

void DirOpsController::putFilesOnClipboard(const std::vector<std::string>& hostPaths, bool cut) {
    PutFilesOnClipboard(hostPaths, cut);
}

std::optional<platform::ClipboardFiles> DirOpsController::filesOnClipboard() {
    return FilesOnClipboard();
}

bool DirOpsController::pasteFiles(const std::string& targetDir,
                                  const platform::ClipboardFiles& files) {
    return m_copyMove.PasteFiles(targetDir, files.paths, files.cut);
}

void DirOpsController::clearClipboard() {
    ClearClipboard();
}

bool DirOpsController::dropOnTree(const QPoint& at, const QMimeData* data,
                                  Qt::KeyboardModifiers modifiers) {
    if (m_dragTimer)
        m_dragTimer->stop();
    m_dragOverPath.clear();
    const TTreeNode* node = CatalogueTreeModel::nodeOf(m_tree.view()->indexAt(at));
    if (!node)
        node = m_cat.Tree().Selected();
    if (!node)
        return false;
    const std::string target = node->Path();
    const bool copy = modifiers & Qt::ControlModifier;
    // The work runs after the drag has ended, so that its questions do not run
    // inside the drag's own event loop; the target is found again by path.
    if (data->hasFormat(kDirectoryMime)) {
        const std::string source = data->data(kDirectoryMime).toStdString();
        QTimer::singleShot(0, this, [this, source, target, copy] {
            if (TTreeNode* n = m_logger.FindNodeByPath(target))
                m_model->DropDirectory(source, copy, n);
        });
    } else if (data->hasFormat(kFileWindowMime)) {
        QTimer::singleShot(0, this,
                           [this, target, copy] { m_copyMove.DropFromFileWindow(target, copy); });
    } else if (data->hasFormat(kFindResultsMime)) {
        const std::vector<std::string> names = FindResults(data);
        QTimer::singleShot(0, this,
                           [this, target, names] { m_copyMove.DropFindResults(target, names); });
    } else {
        return false;
    }
    return true;
}

bool DirOpsController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_currDirLabel) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            if (showTreePage)
                showTreePage();
            m_tree.view()->ScrollLineDown();
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            static_cast<QDropEvent*>(event)->ignore();
            return true;
        }
        return false;
    }
    THETreeView* view = m_tree.view();
    if (watched != view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        m_pressedPath.clear();
        if (m->button() != Qt::LeftButton || m_tree.editing())
            return false;
        const QPoint at = m->position().toPoint();
        const QModelIndex index = view->indexAt(at);
        if (const TTreeNode* node = CatalogueTreeModel::nodeOf(index);
            node && view->visualRect(index).contains(at)) {
            m_pressAt = at;
            m_pressedPath = node->Path();
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m_pressedPath.empty() || !(m->buttons() & Qt::LeftButton))
            return false;
        if ((m->position().toPoint() - m_pressAt).manhattanLength() <
            QApplication::startDragDistance())
            return false;
        startDrag(m->modifiers() & Qt::ControlModifier);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressedPath.clear();
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* d = static_cast<QDragMoveEvent*>(event);
        const QMimeData* data = d->mimeData();
        if (!data->hasFormat(kDirectoryMime) && !data->hasFormat(kFileWindowMime) &&
            !data->hasFormat(kFindResultsMime))
            return false; // the window takes the desktop's files
        dragOver(d->position().toPoint());
        if (data->hasFormat(kFindResultsMime))
            d->setDropAction(Qt::CopyAction);
        else
            d->setDropAction(d->modifiers() & Qt::ControlModifier ? Qt::CopyAction
                                                                  : Qt::MoveAction);
        d->accept();
        if (event->type() == QEvent::DragMove) {
            // Near the top or bottom edge the tree scrolls a line.
            const int y = d->position().toPoint().y();
            if (y > view->viewport()->height() - 20)
                view->ScrollLineDown();
            else if (y < 20)
                view->ScrollLineUp();
        }
        return true;
    }
    case QEvent::DragLeave:
        if (m_dragTimer)
            m_dragTimer->stop();
        m_dragOverPath.clear();
        return false;
    case QEvent::Drop: {
        auto* d = static_cast<QDropEvent*>(event);
        const QMimeData* data = d->mimeData();
        if (!data->hasFormat(kDirectoryMime) && !data->hasFormat(kFileWindowMime) &&
            !data->hasFormat(kFindResultsMime))
            return false;
        if (dropOnTree(d->position().toPoint(), data, d->modifiers()))
            d->acceptProposedAction();
        else
            d->ignore();
        return true;
    }
    default:
        return false;
    }
}

} // namespace zentrix
