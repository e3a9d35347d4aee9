#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace zentrix {

/// Tab and Shift+Tab move the focus around a fixed ring of controls (the main
/// window's panes), in the ring's order, skipping those hidden or disabled. Qt's
/// own chain would run through every button of the window in the order the
/// widgets were made, and panes that hand the focus back when they lose it
/// (the file specification box) would keep it between two of them.
class TabRing : public QObject {
public:
    /// The ring's controls, in Tab order; `parent` owns the ring.
    TabRing(const QList<QWidget*>& controls, QObject* parent);

    /// The control Tab (forward) or Shift+Tab leads to from `from`; nullptr
    /// when no other control of the ring can take the focus.
    QWidget* next(QWidget* from, bool forward) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPointer<QWidget>> m_controls;
};

} // namespace zentrix
