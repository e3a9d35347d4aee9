#pragma once

#include <QPointer>
#include <QWidget>

class QStackedWidget;

namespace zentrix {

/// The page a command puts up on the command strip (the stacked widget under
/// the main panel): when it closes, the strip shows again the page it showed
/// before, and is shown or hidden as it was, and the keyboard goes back to the
/// control that had it when the page came up (unless it went elsewhere of its
/// own accord meanwhile). Without a strip (a page standing alone) the page
/// itself is shown and hidden.
class StripPage {
public:
    /// Puts `page` up, in place of the one up before (which is not remembered
    /// as the strip's own page).
    void Show(QStackedWidget* strip, QWidget* page);
    /// Takes the page that is up away; nothing when none is.
    void Close(QStackedWidget* strip);
    QWidget* Up() const { return m_up; }

private:
    void giveFocusBack(const QWidget* area);

    QPointer<QWidget> m_up;
    QPointer<QWidget> m_before;
    QPointer<QWidget> m_focusBefore; // where the keyboard was when the page came up
    bool m_stripWasVisible = false;
};

} // namespace zentrix
