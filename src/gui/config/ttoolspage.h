#pragma once

#include "config/usertools.h"

#include <QWidget>

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zentrix {

struct ToolsConfig;
class TRadioGroup;

/// The options page "Tools": the user tools with their command line, icon,
/// hint and run type, added, changed, ordered (by dragging) and deleted; and
/// whether the tools bar shows hints. Works on a copy that the dialog's OK
/// writes.
class TToolsPage : public QWidget {
    Q_OBJECT
public:
    explicit TToolsPage(ToolsConfig& config, QWidget* parent = nullptr);

    void load(const TToolList& tools, bool showToolTips);
    /// The tools in the list's order.
    TToolList tools() const;
    bool showToolTips() const;

    QTreeWidget* lvTools = nullptr;
    QLineEdit* edToolCmdLine = nullptr;
    QToolButton* sbToolCmdLine = nullptr;
    QLineEdit* edToolIconFile = nullptr;
    QToolButton* sbToolIconFile = nullptr;
    QSpinBox* seToolIconNum = nullptr;
    QLineEdit* edToolHint = nullptr;
    TRadioGroup* rgToolRunType = nullptr;
    QPushButton* btnToolAdd = nullptr;
    QPushButton* btnToolModify = nullptr;
    QPushButton* btnToolDelete = nullptr;
    QCheckBox* cbShowToolTips = nullptr;

    void btnToolAddClick();
    void btnToolModifyClick();
    void btnToolDeleteClick();
    void lvToolsClick();
    void sbToolCmdLineClick();
    void sbToolIconFileClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TToolClass fromFields() const;
    void showTool(const TToolClass& tool);
    void setItem(QTreeWidgetItem* item, const TToolClass& tool);
    void updateButtons();

    ToolsConfig& m_config;
};

} // namespace zentrix
