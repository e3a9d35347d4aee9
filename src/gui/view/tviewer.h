#pragma once

#include "gui/view/tviewerform.h"

#include <QObject>
#include <QPointer>
#include <string>

namespace zentrix {

class Prompter;

/// The viewer component: opens viewer windows. The main window owns one
/// (modal, automatic hex choice from the settings); the options dialog one
/// with both off.
class TViewer : public QObject {
    Q_OBJECT
public:
    TViewer(Prompter& prompter, QWidget* parent);

    bool ModalView = true;
    bool AutoHex = true;

    /// Opens a viewer window on a host path, titled with `title` (the file
    /// name as the program shows it; the host path when empty). A modal window
    /// returns when it closes; otherwise the window is returned while open.
    TViewerForm* ViewFile(const std::string& hostPath, const std::string& title = {});

    /// The last window opened (tests look at it while it is open).
    TViewerForm* lastForm() const { return m_last; }

signals:
    /// A viewer window was shown (a modal one runs until it closes).
    void formShown(TViewerForm* form);

private:
    Prompter& m_prompter;
    QWidget* m_parent;
    QPointer<TViewerForm> m_last;
};

} // namespace zentrix
