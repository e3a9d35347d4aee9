#include "gui/app/tquickviewpane.h"

#include "core/plugincalls.h"
#include "filewindow/quickview.h"
#include "gui/controls/a11y.h"
#include "gui/view/tquickviewmedia.h"
#include "core/text.h"

#include <QClipboard>
#include <QFontDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMovie>
#include <QVideoWidget>
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
    pnMedia = new TQuickViewMedia(this);
    pnMedia->hide();
    pnMedia->onWarn = [this](const std::string& text) { emit warning(QString::fromStdString(text)); };
    pnMedia->onStarted = [this](bool video) {
        if (video) {
            // The video takes the text box's place while it plays.
            QVideoWidget* display = pnMedia->videoDisplay();
            auto* box = static_cast<QVBoxLayout*>(this->layout());
            if (box->indexOf(display) < 0)
                box->insertWidget(box->indexOf(pnMedia), display, 1);
            meFileInfo->hide();
            display->show();
        }
        emit playbackChanged(true);
    };
    pnMedia->onStopped = [this] {
        if (!imgQuick->isVisible())
            meFileInfo->show();
        emit playbackChanged(false);
    };
    imgQuick->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(imgQuick, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit picturePopupRequested(imgQuick->mapToGlobal(pos)); });
    meFileInfo->installEventFilter(this);
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
            result.fileName = r.fileName;
            result.hostPath = r.hostPath;
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
    pnMedia->btnStopClick();
    stopAnimation();
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
    showMedia(result->fileName, result->hostPath, content.media);
    QStringList lines;
    for (const std::string& line : content.lines)
        lines << QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    meFileInfo->setPlainText(lines.join('\n'));
    if (content.picture.empty()) {
        showAnimation(result->fileName, result->hostPath);
        return;
    }
    // A picture that will not load leaves the lines showing.
    if (result->picture.isNull())
        return;
    imgQuick->setPixmap(QPixmap::fromImage(
        result->picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    meFileInfo->hide();
    imgQuick->show();
}

void TQuickViewPane::pmiQViewCopyClick() {
    const QString selected = meFileInfo->textCursor().selectedText().replace(QChar(0x2029), '\n');
    QGuiApplication::clipboard()->setText(selected.isEmpty() ? meFileInfo->toPlainText() : selected);
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

namespace zentrix {

namespace {

// Kinds the player takes besides those of the quick view's own list, and the
// ones among all that have a picture.
const char* const kMoreMedia = ".MP3 .OGG .OGA .OPUS .FLAC .MP4 .MKV .WEBM .MOV";
const char* const kVideo = ".AVI .MP4 .MKV .WEBM .MOV";

bool inList(const std::string& ext, const char* list) {
    return !ext.empty() && std::string(list).find(ext) != std::string::npos;
}

} // namespace

void TQuickViewPane::showMedia(const std::string& fileName, const std::string& hostPath, bool media) {
    const std::string ext = ExtensionOf(fileName);
    media = media || inList(ext, kMoreMedia);
    pnMedia->setFile(media ? hostPath : std::string(), inList(ext, kVideo));
    pnMedia->setVisible(media);
    if (media && AutoPlay)
        pnMedia->btnPlayClick();
}

void TQuickViewPane::showAnimation(const std::string& fileName, const std::string& hostPath) {
    const std::string ext = ExtensionOf(fileName);
    if (ext != ".GIF" && ext != ".PNG" && ext != ".JPG" && ext != ".JPEG")
        return;
    if (ext != ".GIF") {
        const QPixmap picture(QString::fromStdString(hostPath));
        if (picture.isNull())
            return;
        imgQuick->setPixmap(picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        auto* movie = new QMovie(QString::fromStdString(hostPath), QByteArray(), this);
        if (!movie->isValid() || !movie->jumpToFrame(0)) {
            delete movie; // a picture that will not load leaves the lines showing
            return;
        }
        m_movie = movie;
        const QSize frame = movie->currentImage().size();
        if (frame.width() > width() || frame.height() > height())
            movie->setScaledSize(frame.scaled(size(), Qt::KeepAspectRatio));
        imgQuick->setMovie(movie);
        movie->start();
    }
    meFileInfo->hide();
    imgQuick->show();
}

void TQuickViewPane::stopAnimation() {
    if (!m_movie)
        return;
    imgQuick->setMovie(nullptr);
    m_movie->stop();
    m_movie->deleteLater();
    m_movie = nullptr;
}

void TQuickViewPane::CopyPictureToClipboard() {
    if (m_movie)
        QGuiApplication::clipboard()->setImage(m_movie->currentImage());
    else if (!imgQuick->pixmap().isNull())
        QGuiApplication::clipboard()->setPixmap(imgQuick->pixmap());
}

void TQuickViewPane::btnPlayClick() { pnMedia->btnPlayClick(); }
void TQuickViewPane::btnStopClick() { pnMedia->btnStopClick(); }
void TQuickViewPane::MediaTimerTimer() { pnMedia->MediaTimerTimer(); }

bool TQuickViewPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == meFileInfo && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit escapePressed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
