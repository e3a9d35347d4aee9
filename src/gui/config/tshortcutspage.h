#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zentrix {

struct MenuItem;
struct ToolsConfig;
class THotKeyEdit;

/// The options page "ShortCuts": the main menu as a tree whose leaves are the
/// commands; a leaf's hint and current shortcut are shown, "Modify" gives it the
/// hot-key field's shortcut (asking first when another command that is on the
/// bar at the same time has it), "Default" gives it back its design shortcut,
/// and "Load" and "Save" read and write shortcut templates and reports. The
/// entries are changed live; the dialog's Cancel reloads them.
class TShortCutsPage : public QWidget {
    Q_OBJECT
public:
    explicit TShortCutsPage(ToolsConfig& config, QWidget* parent = nullptr);

    /// Builds the tree afresh from the menu.
    void load();
    /// The leaf of a menu item by component name (nullptr when none).
    QTreeWidgetItem* leafOf(const QString& name) const;

    QTreeWidget* tvShortCuts = nullptr;
    QLabel* lbHint = nullptr;
    THotKeyEdit* hkShortCut = nullptr;
    QPushButton* btnSCModify = nullptr;
    QPushButton* btnSCDefault = nullptr;
    QPushButton* btnSCLoad = nullptr;
    QPushButton* btnSCSave = nullptr;

    void tvShortCutsChange();
    void btnSCModifyClick();
    void btnSCDefaultClick();
    void btnSCLoadClick();
    void btnSCSaveClick();

private:
    MenuItem* currentEntry() const;
    void addItems(QTreeWidgetItem* parent, MenuItem& menu);
    void changed();

    ToolsConfig& m_config;
};

} // namespace zentrix
