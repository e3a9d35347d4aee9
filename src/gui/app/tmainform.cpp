#include "gui/app/tmainform.h"

#include "catalogue/catalogue.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/app/guiprompter.h"
#include "gui/tree/cataloguetreemodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace zentrix {

TMainForm::TMainForm(Catalogue& catalogue, AppState& state, Settings& settings, QWidget* parent)
    : QMainWindow(parent), m_cat(catalogue), m_state(state), m_settings(settings),
      m_prompter(std::make_unique<GuiPrompter>(this)),
      m_tabs(std::make_unique<LoggedDiskTabs>(state)),
      m_logger(std::make_unique<DiskLogger>(catalogue, state, settings, *m_tabs, *m_prompter, *this)) {
    setWindowTitle("Zentrix");
    setMinimumSize(630, 470);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    CurrDirLabel = new QLabel(central);
    CurrDirLabel->setObjectName("CurrDirLabel");
    CurrDirLabel->setAccessibleName("Current directory");
    layout->addWidget(CurrDirLabel);

    MainTreeView = new QTreeView(central);
    MainTreeView->setObjectName("MainTreeView");
    MainTreeView->setAccessibleName("Directory tree");
    MainTreeView->header()->hide();
    MainTreeView->setIndentation(19);
    MainTreeView->setUniformRowHeights(true);
    m_treeModel = new CatalogueTreeModel(m_cat.Tree(), this);
    MainTreeView->setModel(m_treeModel);
    layout->addWidget(MainTreeView);
    setCentralWidget(central);

    // The view follows core's expansion and selection; the user's own clicks
    // become logging operations.
    connect(m_treeModel, &CatalogueTreeModel::expansionChanged, this,
            [this](const QModelIndex& index, bool expanded) {
                m_followingCore = true;
                MainTreeView->setExpanded(index, expanded);
                m_followingCore = false;
            });
    connect(m_treeModel, &CatalogueTreeModel::selectionMoved, this, [this](const QModelIndex& index) {
        m_followingCore = true;
        MainTreeView->setCurrentIndex(index);
        m_followingCore = false;
        showCurrentDirectory();
    });
    connect(MainTreeView, &QTreeView::expanded, this, &TMainForm::MainTreeViewExpanding);
    connect(MainTreeView, &QTreeView::collapsed, this, &TMainForm::MainTreeViewCollapsing);
    connect(MainTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_followingCore)
                    return;
                if (TTreeNode* node = CatalogueTreeModel::nodeOf(current))
                    m_cat.Tree().Select(node);
            });
    statusBar()->showMessage("Ready");
}

TMainForm::~TMainForm() = default;

void TMainForm::MainTreeViewExpanding(const QModelIndex& index) {
    if (m_followingCore)
        return;
    TTreeNode* node = CatalogueTreeModel::nodeOf(index);
    if (!node || m_state.fileOperationRunning)
        return;
    if (!node->Logged()) {
        m_cat.Tree().Select(node);
        m_logger->LogSubDirs(node);
        m_logger->LogDirFiles(node);
        m_cat.Tree().SetExpanded(node, true);
    } else {
        m_cat.Tree().SetExpanded(node, true);
    }
    showCurrentDirectory();
}

void TMainForm::MainTreeViewCollapsing(const QModelIndex& index) {
    if (m_followingCore)
        return;
    TTreeNode* node = CatalogueTreeModel::nodeOf(index);
    if (node && !m_state.fileOperationRunning)
        m_logger->UnlogBranch(node);
}

void TMainForm::showCurrentDirectory() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    CurrDirLabel->setText(QString::fromStdString(node->Path()));
    const int files = node->Logged() ? node->Data()->NumFilesInDir() : 0;
    statusBar()->showMessage(QString("%1 files").arg(files));
}

void TMainForm::setAppTitle(const std::string& title) {
    QApplication::setApplicationDisplayName(QString::fromStdString(title));
}

void TMainForm::setCurrDirLabel(const std::string& text) {
    CurrDirLabel->setText(QString::fromStdString(text));
    CurrDirLabel->repaint();
}

void TMainForm::focusTree() { MainTreeView->setFocus(); }

void TMainForm::scrollIntoView(TTreeNode* node) {
    MainTreeView->scrollTo(m_treeModel->indexOf(node));
}

void TMainForm::LogStartDrives() {
    m_logger->LogDrive(m_state.currentDisk);
    showCurrentDirectory();
}

} // namespace zentrix
