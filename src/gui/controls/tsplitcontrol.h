#pragma once

#include <QObject>
#include <QPointer>

class QSplitter;
class QWidget;

namespace zentrix {

/// Keeps the size a splitter gives its target pane: the target's height for a
/// horizontal bar (panes above each other), its width for a vertical one. The
/// value is named after the target ("pnMainTreeViewHeight") in the section named
/// after the splitter ("scHorizontal"). Restore once the window has its size.
class TSplitControl : public QObject {
    Q_OBJECT
public:
    /// Neither the splitter nor the target is owned; both are children of the window.
    TSplitControl(QSplitter* splitter, QWidget* sizeTarget, QObject* parent = nullptr);

    QString IniFileName;

    /// True when the bar between the panes lies horizontally.
    bool HorizontalBar() const;
    /// The target's current extent along the splitter.
    int TargetSize() const;
    /// Gives the target this extent; the neighbouring pane takes up the difference.
    void SetTargetSize(int size);

    void Restore();
    void Save() const;

signals:
    /// The user finished moving the bar.
    void OnFinish();

private:
    QPointer<QSplitter> m_splitter;
    QPointer<QWidget> m_target;
};

} // namespace zentrix
