#include "gui/view/tviewer.h"

#include "gui/view/tviewerform.h"

#include <QApplication>

namespace zentrix {

TViewer::TViewer(Prompter& prompter, QWidget* parent)
    : QObject(parent), m_prompter(prompter), m_parent(parent) {
    setObjectName("TViewer");
}

TViewerForm* TViewer::ViewFile(const std::string& hostPath, const std::string& title) {
    auto* form = new TViewerForm(m_prompter, m_parent);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowTitle(QString::fromStdString(title.empty() ? hostPath : title));
    m_last = form;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        form->LoadFile(hostPath, AutoHex);
    }
    emit formShown(form);
    if (ModalView) {
        form->exec();
        return nullptr;
    }
    form->show();
    return form;
}

} // namespace zentrix
