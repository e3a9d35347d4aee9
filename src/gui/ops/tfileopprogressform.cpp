#include "gui/ops/tfileopprogressform.h"

#include "gui/controls/a11y.h"

#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zentrix {
namespace {

/// How soon the window looks again whether the question in its way is answered.
constexpr int kRetryMs = 100;

/// A label that shows a value: a screen reader hears `caption` with the value,
/// or the value alone when its text carries its own caption ("Files: 3 of 10").
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(parent);
    NameValueLabel(label, name, caption);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(420);
    return label;
}

} // namespace

TFileOpProgressForm::TFileOpProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TFileOpProgressForm");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    lbFile = makeLabel(this, "lbFile", "File");
    lbTarget = makeLabel(this, "lbTarget", QString()); // "to" and the target
    lbFiles = makeLabel(this, "lbFiles", QString());
    lbBytes = makeLabel(this, "lbBytes", QString());
    lbSpeed = makeLabel(this, "lbSpeed", QString());
    lbTimeLeft = makeLabel(this, "lbTimeLeft", QString());
    for (QLabel* label : {lbFile, lbTarget})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbFile);
    layout->addWidget(lbTarget);
    pbProgress = new QProgressBar(this);
    NameComponent(pbProgress, "pbProgress", "Progress");
    pbProgress->setRange(0, 1000);
    layout->addWidget(pbProgress);
    auto* figures = new QGridLayout;
    figures->addWidget(lbFiles, 0, 0);
    figures->addWidget(lbBytes, 0, 1);
    figures->addWidget(lbSpeed, 1, 0);
    figures->addWidget(lbTimeLeft, 1, 1);
    layout->addLayout(figures);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnCancel = new QPushButton("Cancel", this);
    NameComponent(btnCancel, "btnCancel", "Cancel");
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, &TFileOpProgressForm::cancel);

    m_showTimer = new QTimer(this);
    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, [this] {
        if (!m_running || !m_visible)
            return;
        // A question of the operation is open (it came before the window): a
        // window shown now would cover it and, being modal, take its input,
        // so that nobody could answer it. The window comes up after it.
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != this && modal != m_modalAtOpen) {
            m_showTimer->start(kRetryMs);
            return;
        }
        show();
        raise();
        activateWindow();
    });
}

TFileOpProgressForm::~TFileOpProgressForm() {
    if (m_loop)
        m_loop->quit();
}

void TFileOpProgressForm::Open(const std::string& title, bool withNames, bool visible) {
    setWindowTitle(QString::fromStdString(title));
    m_withNames = withNames;
    m_visible = visible;
    m_cancel = false;
    m_woken = false;
    m_running = true;
    m_draws = 0;
    lbFile->setVisible(withNames);
    lbTarget->setVisible(withNames);
    btnCancel->setEnabled(true);
    pbProgress->setValue(0);
    for (QLabel* label : {lbFile, lbTarget, lbFiles, lbBytes, lbSpeed, lbTimeLeft})
        label->clear();
    m_modalAtOpen = QApplication::activeModalWidget(); // the dialog it may run from
    if (visible)
        m_showTimer->start(showDelay);
}

void TFileOpProgressForm::Show(const FileOpStatus& status) {
    ++m_draws;
    const std::vector<std::string> lines = status.Lines(m_withNames);
    size_t i = 0;
    if (m_withNames && lines.size() >= 2) {
        lbFile->setText(QString::fromStdString(lines[0]));
        lbTarget->setText(QString::fromStdString(lines[1]));
        i = 2;
    }
    QLabel* figures[] = {lbFiles, lbBytes, lbSpeed, lbTimeLeft};
    for (QLabel* label : figures)
        label->setText(i < lines.size() ? QString::fromStdString(lines[i++]) : QString());
    if (status.bytesTotal > 0)
        pbProgress->setValue(static_cast<int>(1000.0 * static_cast<double>(status.bytesDone) /
                                              static_cast<double>(status.bytesTotal)));
    else if (status.filesTotal > 0)
        pbProgress->setValue(static_cast<int>(1000 * status.filesDone / status.filesTotal));
}

void TFileOpProgressForm::Wait(int ms) {
    // Until the window is up, clicks and keys wait: only painting and timers run.
    const auto flags = isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    if (m_woken.exchange(false)) {
        QCoreApplication::processEvents(flags);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    m_loop = &loop;
    if (!m_woken.exchange(false))
        loop.exec(flags);
    m_loop = nullptr;
}

void TFileOpProgressForm::Wake() {
    m_woken = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_loop)
                m_loop->quit();
        },
        Qt::QueuedConnection);
}

void TFileOpProgressForm::Close() {
    m_running = false;
    m_showTimer->stop();
    hide();
}

void TFileOpProgressForm::reject() {
    cancel();
}

void TFileOpProgressForm::cancel() {
    m_cancel = true;
    btnCancel->setEnabled(false);
    lbTimeLeft->setText("Stopping ...");
}

} // namespace zentrix
