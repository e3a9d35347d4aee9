#include "gui/app/tquickviewpane.h"

#include "core/plugincalls.h"
#include "filewindow/quickview.h"
#include "gui/controls/a11y.h"

#include <QClipboard>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zentrix {

TQuickViewPane::TQuickViewPane(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "pnQuickView", "Quick view");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    meFileInfo = new QPlainTextEdit(this);
    NameComponent(meFileInfo, "meFileInfo", "File information");
    meFileInfo->setReadOnly(true);
    meFileInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    meFileInfo->setContextMenuPolicy(Qt::CustomContextMenu);
    imgQuick = new QLabel(this);
    NameComponent(imgQuick, "imgQuick", "Picture");
    imgQuick->setAlignment(Qt::AlignCenter);
    imgQuick->hide();
    pnMedia = new QWidget(this);
    NameComponent(pnMedia, "pnMedia", "Media player");
    pnMedia->hide();
    layout->addWidget(meFileInfo, 1);
    layout->addWidget(imgQuick, 1);
    layout->addWidget(pnMedia);
    connect(meFileInfo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit popupRequested(meFileInfo->mapToGlobal(pos)); });

    m_worker = std::make_unique<LatestRequestWorker<Request, QuickViewResult>>(
        [](const Request& r) {
            if (OnSearchBegins)
                OnSearchBegins(r.fileName);
            QuickViewResult result;
            result.content = BuildQuickView(r.fileName, r.hostPath, &PluginCalls::CallGetFileInfo);
            if (!result.content.picture.empty())
                result.picture.load(QString::fromStdString(result.content.picture));
            return result;
        },
        // On the worker's thread: the pane outlives every delivery (its
        // destructor ends them first), and the queued call runs on the pane's.
        [this](uint64_t ticket, QuickViewResult&& result) {
            auto shared = std::make_shared<QuickViewResult>(std::move(result));
            QMetaObject::invokeMethod(
                this, [this, ticket, shared] { showResult(ticket, shared); }, Qt::QueuedConnection);
        });
}

TQuickViewPane::~TQuickViewPane() {
    m_worker.reset(); // no delivery after this
}

bool TQuickViewPane::Searching() const {
    return m_worker->Busy();
}

void TQuickViewPane::Clear() {
    m_worker->Cancel();
    meFileInfo->clear();
    imgQuick->clear();
    imgQuick->hide();
    pnMedia->hide();
    meFileInfo->show();
}

void TQuickViewPane::ShowFile(const std::string& fileName, const std::string& hostPath) {
    Clear();
    m_worker->Post(Request{fileName, hostPath});
}

void TQuickViewPane::showResult(uint64_t ticket, const std::shared_ptr<QuickViewResult>& result) {
    if (!m_worker->IsCurrent(ticket))
        return; // the user has moved on
    const QuickViewContent& content = result->content;
    pnMedia->setVisible(content.media);
    QStringList lines;
    for (const std::string& line : content.lines)
        lines << QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    meFileInfo->setPlainText(lines.join('\n'));
    // A picture that will not load leaves the lines showing.
    if (result->picture.isNull())
        return;
    imgQuick->setPixmap(QPixmap::fromImage(
        result->picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    meFileInfo->hide();
    imgQuick->show();
}

void TQuickViewPane::pmiQViewCopyClick() {
    QGuiApplication::clipboard()->setText(meFileInfo->toPlainText());
}

void TQuickViewPane::pmiQViewAppendToClipboardClick() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(clipboard->text() + meFileInfo->toPlainText());
}

void TQuickViewPane::pmiQViewFontClick() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, meFileInfo->font(), this, "Font");
    if (ok) {
        meFileInfo->setFont(font);
        m_fontChosen = true;
    }
}

} // namespace zentrix
