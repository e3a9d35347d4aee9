#include "gui/tree/livecontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/livecatalogue.h"
#include "catalogue/tree.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tree/cataloguetreemodel.h"
#include "gui/tree/thetreeview.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <unordered_set>

namespace zentrix {

LiveController::LiveController(Catalogue& catalogue, DiskLogger& logger, const Settings& settings,
                               AppState& state, THETreeView* tree, FileWindowController& fileWindow,
                               QObject* parent)
    : QObject(parent), m_cat(catalogue), m_settings(settings), m_state(state), m_tree(tree),
      m_fileWindow(fileWindow), m_retry(new QTimer(this)), m_screen(new QTimer(this)) {
    setObjectName("LiveController");
    m_retry->setSingleShot(true);
    m_retry->setInterval(100);
    connect(m_retry, &QTimer::timeout, this, &LiveController::tryApply);
    // Screen changes come in runs (a key held in the tree): one look after them.
    m_screen->setSingleShot(true);
    m_screen->setInterval(50);
    connect(m_screen, &QTimer::timeout, this, &LiveController::updateOnScreen);

    // The watcher's worker only asks; the pass runs here, on the main thread.
    QPointer<LiveController> self(this);
    m_live = std::make_unique<LiveCatalogue>(catalogue, logger, settings, state, [self] {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self)
                    self->tryApply();
            },
            Qt::QueuedConnection);
    });
    m_live->OnWatchesExhausted = [this] {
        emit hint(QString(LiveCatalogue::kLimitHint));
    };

    if (m_tree) {
        connect(m_tree->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &LiveController::screenChanged);
        // Rows that come or go (a node opened or closed) move the others.
        if (QAbstractItemModel* rows = m_tree->model()) {
            connect(rows, &QAbstractItemModel::rowsInserted, this, &LiveController::screenChanged);
            connect(rows, &QAbstractItemModel::rowsRemoved, this, &LiveController::screenChanged);
            connect(rows, &QAbstractItemModel::modelReset, this, &LiveController::screenChanged);
        }
    }
    applySettings();
}

LiveController::~LiveController() = default;

void LiveController::applySettings() {
    m_live->SetEnabled(m_settings.FollowChangesOnDisk);
    screenChanged();
}

void LiveController::screenChanged() {
    m_screen->start();
}

// Records are held by whatever runs a question, a menu, an operation or a
// fill; the catalogue changes only between them.
bool LiveController::mayApplyNow() const {
    return !m_state.fileOperationRunning && !m_state.busy() && !m_fileWindow.model().Filling() &&
           !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

void LiveController::tryApply() {
    if (!mayApplyNow()) {
        m_retry->start();
        return;
    }
    if (m_live->Apply())
        emit applied();
    // What settled while this pass ran is taken by the next.
    if (m_live->HasPending())
        m_retry->start(0);
}

void LiveController::updateOnScreen() {
    if (!mayApplyNow()) {
        m_screen->start();
        return;
    }
    std::vector<TTreeNode*> nodes;
    std::unordered_set<const TTreeNode*> seen;
    auto add = [&](TTreeNode* n) {
        if (n && seen.insert(n).second)
            nodes.push_back(n);
    };
    // The selected directory with the branch above it and the directories below it.
    if (TTreeNode* selected = m_cat.Tree().Selected()) {
        for (TTreeNode* n = selected; n; n = n->Parent())
            add(n);
        for (int i = 0; i < selected->Count(); ++i)
            add(selected->Item(i));
    }
    // The rows the tree shows.
    if (m_tree && m_tree->isVisible()) {
        const int height = m_tree->viewport()->height();
        for (QModelIndex i = m_tree->indexAt(QPoint(1, 1)); i.isValid();
             i = i.siblingAtRow(i.row() + 1)) {
            if (m_tree->visualRect(i).top() > height)
                break;
            add(CatalogueTreeModel::nodeOf(i));
        }
    }
    // The directories of the files the file window shows.
    FileWindow& fw = m_fileWindow.model();
    const int top = m_fileWindow.MainListBox->topIndex();
    const int rows = m_fileWindow.MainListBox->visibleRows();
    for (int i = top; i < top + rows && i < fw.Count(); ++i)
        if (TFileClass* r = fw.Record(i))
            add(r->DirNode());
    const bool changes = m_live->HasPending();
    m_live->SetOnScreen(nodes);
    if (changes)
        tryApply();
}

} // namespace zentrix
