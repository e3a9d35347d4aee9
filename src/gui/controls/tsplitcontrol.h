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
///
/// A splitter whose other pane is shown only now and then (the quick view above
/// the statistics) has no size worth keeping while that pane is hidden: the
/// target then fills the splitter. A control that lives as long as the window
/// remembers the size the user gave the target while every pane showed, gives
/// it back whenever the other pane shows again, and saves that size.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allPanesShown() const;
    void remember();

    QPointer<QSplitter> m_splitter;
    QPointer<QWidget> m_target;
    int m_kept = -1; // the target's size while every pane showed; -1 for none
};

} // namespace zentrix
