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
    bool viewportEvent(QEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
};

} // namespace zentrix
