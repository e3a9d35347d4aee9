#include "gui/ops/twaitform.h"

#include <QEventLoop>
#include <QLabel>
#include <QTimer>

namespace zentrix {

TWaitForm::TWaitForm(QWidget* parent) : QProgressDialog(parent) {
    setObjectName("TWaitForm");
    setWindowModality(Qt::WindowModal);
    // The text names servers and shares: shown as it is, never as markup.
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    setLabel(label);
    setCancelButtonText("Cancel");
    setRange(0, 0); // no measure of how far it is: a moving bar
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    connect(this, &QProgressDialog::canceled, this, [this] { m_cancelled = true; });
    reset(); // no showing on its own: Pump() shows it
    hide();
}

void TWaitForm::Begin(const std::string& title, const std::string& text) {
    m_cancelled = false;
    setWindowTitle(QString::fromStdString(title));
    setLabelText(QString::fromStdString(text));
    m_since.start();
}

void TWaitForm::Pump(int ms) {
    if (!isVisible() && m_since.isValid() && m_since.elapsed() >= showDelay)
        show();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TWaitForm::End() {
    hide();
    m_since.invalidate();
}

} // namespace zentrix
