#pragma once

#include <QWidget>

class QCheckBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace zentrix {

struct ToolsConfig;
class TCommandList;

/// The options pages "Directory buttons" and "File buttons": the commands of the
/// "Directory" or "File" menu as a tree, and the bar's buttons as a list. "&Add"
/// (Ctrl+A in the tree, or dragging a leaf onto the list) appends a command not
/// in the list yet and checks "Show &buttons"; "&Del" (Ctrl+D in the list)
/// removes one, and unchecks it when the list is left empty; dragging within the
/// list reorders. The list is the bar's live command list.
class TCommandButtonsPage : public QWidget {
    Q_OBJECT
public:
    enum class Bar { Directory, File };

    TCommandButtonsPage(Bar bar, ToolsConfig& config, QWidget* parent = nullptr);

    /// Fills the tree and the list; the check box shows the bar's setting.
    void load(bool showButtons);
    bool showButtons() const;
    TCommandList& commands() const;

    QTreeWidget* tvCommands = nullptr;
    QListWidget* lbButtons = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDel = nullptr;
    QCheckBox* cbShowButtons = nullptr;

    void btnAddClick();
    void btnDelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showList();
    void listReordered();

    Bar m_bar;
    ToolsConfig& m_config;
};

} // namespace zentrix
