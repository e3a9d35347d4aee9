#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QPushButton;
class QTreeWidget;

namespace zentrix {

class UndoCommands;
class UndoJournal;

/// "Operation history": the operations of the undo journal, newest first, with
/// when, what, how many files, from where and to where, and whether each can
/// still be undone or why not. "Undo" undoes the selected one, not only the
/// last. The journal and the commands must outlive the window.
class THistoryForm : public QDialog {
    Q_OBJECT
public:
    THistoryForm(UndoJournal& journal, UndoCommands& commands, QWidget* parent);

    QTreeWidget* lvHistory = nullptr;
    QPushButton* btnUndo = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;

    /// The list again from the journal (the selection stays on its entry).
    void Refresh();
    /// The entry of the selected row; 0 for none.
    uint64_t SelectedId() const;
    /// Undoes the selected entry.
    void btnUndoClick();

    /// The help topic of the window.
    std::function<void()> showHelp;

    /// The columns, in order.
    enum Column { ColTime, ColCommand, ColCount, ColSource, ColTarget, ColState, ColumnCount };

private:
    void updateButtons();

    UndoJournal& m_journal;
    UndoCommands& m_commands;
};

} // namespace zentrix
