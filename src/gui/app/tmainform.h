#pragma once

#include "catalogue/catalogueui.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QTreeView;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueTreeModel;
class DiskLogger;
class GuiPrompter;
class LoggedDiskTabs;
struct Settings;

/// The main window.
class TMainForm : public QMainWindow, public CatalogueUi {
    Q_OBJECT
public:
    TMainForm(Catalogue& catalogue, AppState& state, Settings& settings, QWidget* parent = nullptr);
    ~TMainForm() override;

    DiskLogger& logger() { return *m_logger; }
    QTreeView* MainTreeView = nullptr;
    QLabel* CurrDirLabel = nullptr;

    // CatalogueUi
    void setAppTitle(const std::string& title) override;
    void setCurrDirLabel(const std::string& text) override;
    void focusTree() override;
    void scrollIntoView(TTreeNode* node) override;

    /// The start sequence's logging: the start drive.
    void LogStartDrives();

private:
    void MainTreeViewExpanding(const QModelIndex& index);
    void MainTreeViewCollapsing(const QModelIndex& index);
    void showCurrentDirectory();

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    std::unique_ptr<GuiPrompter> m_prompter;
    std::unique_ptr<LoggedDiskTabs> m_tabs;
    std::unique_ptr<DiskLogger> m_logger;
    CatalogueTreeModel* m_treeModel = nullptr;
    bool m_followingCore = false;
};

} // namespace zentrix
