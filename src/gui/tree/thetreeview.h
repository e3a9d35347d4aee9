#pragma once

#include <QTreeView>
#include <functional>

namespace zentrix {

/// The directory tree control: a tree view with a hook that sees every event
/// first, line scrolling, and scrolling while something is dragged near its
/// top or bottom edge.
class THETreeView : public QTreeView {
    Q_OBJECT
public:
    explicit THETreeView(QWidget* parent = nullptr);

    /// Sees every event before the control does; returns true to swallow it.
    std::function<bool(QEvent*)> WndProcFunction;

    void ScrollLineUp();
    void ScrollLineDown();
    /// Makes the index the first visible row.
    void MakeTopItem(const QModelIndex& index);

protected:
    bool event(QEvent* event) override;
    // Qt's tree view numbers the rows it reports to assistive tools its own way
    // (with its hidden header as a first cell); these report them as the tree's
    // own interface numbers them.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
};

} // namespace zentrix
