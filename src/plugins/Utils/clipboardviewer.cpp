#include "clipboardviewer.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zentrix::utils {
namespace {

constexpr const char* kImageEntry = "Image";
constexpr const char* kTextEntry = "Text";
constexpr int kDumpLimit = 64 * 1024;

} // namespace

QString HexDump(const QByteArray& data, int limit) {
    QString out;
    const int n = std::min<qsizetype>(data.size(), limit);
    for (int offset = 0; offset < n; offset += 16) {
        QString hex;
        QString ascii;
        for (int i = 0; i < 16; ++i) {
            if (offset + i < n) {
                const auto byte = static_cast<unsigned char>(data[offset + i]);
                hex += QString::asprintf("%02X ", byte);
                ascii += (byte >= 32 && byte < 127) ? QChar(byte) : QChar('.');
            } else {
                hex += "   ";
            }
        }
        out += QString::asprintf("%08X  ", offset) + hex + " " + ascii + "\n";
    }
    if (data.size() > n)
        out += QString("... %1 more bytes\n").arg(data.size() - n);
    return out;
}

TClipboardViewer::TClipboardViewer(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Clipboard Viewer");
    setObjectName("ClipboardViewer");

    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(this);
    lbFormats = new QListWidget(splitter);
    lbFormats->setObjectName("lbFormats");
    lbFormats->setAccessibleName("Clipboard formats");

    m_pages = new QStackedWidget(splitter);
    meText = new QPlainTextEdit(m_pages);
    meText->setObjectName("meText");
    meText->setReadOnly(true);
    meText->setAccessibleName("Clipboard contents");
    m_imageArea = new QScrollArea(m_pages);
    imgClip = new QLabel(m_imageArea);
    imgClip->setObjectName("imgClip");
    imgClip->setAccessibleName("Clipboard picture");
    m_imageArea->setWidget(imgClip);
    m_pages->addWidget(meText);
    m_pages->addWidget(m_imageArea);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({180, 460});
    layout->addWidget(splitter, 1);

    lbStatus = new QLabel(this);
    lbStatus->setObjectName("lbStatus");
    layout->addWidget(lbStatus);

    auto* buttons = new QDialogButtonBox(this);
    auto* refresh = buttons->addButton("&Refresh", QDialogButtonBox::ActionRole);
    auto* clear = buttons->addButton("C&lear clipboard", QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(refresh, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(clear, &QPushButton::clicked, this, [] { QApplication::clipboard()->clear(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lbFormats, &QListWidget::currentTextChanged, this,
            [this](const QString& format) { showFormat(format); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { Refresh(); });

    resize(640, 420);
    Refresh();
}

void TClipboardViewer::Refresh() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    lbFormats->clear();
    if (!data || data->formats().isEmpty()) {
        meText->setPlainText(QString());
        m_pages->setCurrentWidget(meText);
        lbStatus->setText("The clipboard is empty.");
        return;
    }
    // The readable views first, then every raw format the owner offers.
    if (data->hasImage())
        lbFormats->addItem(kImageEntry);
    if (data->hasText())
        lbFormats->addItem(kTextEntry);
    for (const QString& format : data->formats())
        lbFormats->addItem(format);
    lbFormats->setCurrentRow(0);
}

void TClipboardViewer::showFormat(const QString& format) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || format.isEmpty())
        return;
    if (format == kImageEntry) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        imgClip->setPixmap(QPixmap::fromImage(image));
        imgClip->adjustSize();
        m_pages->setCurrentWidget(m_imageArea);
        lbStatus->setText(QString("Picture: %1 x %2 pixels, %3 bits per pixel")
                              .arg(image.width())
                              .arg(image.height())
                              .arg(image.depth()));
        return;
    }
    m_pages->setCurrentWidget(meText);
    meText->setFont(QFontDatabase::systemFont(format == kTextEntry ? QFontDatabase::GeneralFont
                                                                   : QFontDatabase::FixedFont));
    if (format == kTextEntry) {
        const QString text = data->text();
        meText->setPlainText(text);
        lbStatus->setText(
            QString("Text: %1 characters, %2 lines")
                .arg(text.size())
                .arg(text.count('\n') + (text.isEmpty() || text.endsWith('\n') ? 0 : 1)));
        return;
    }
    const QByteArray bytes = data->data(format);
    meText->setPlainText(HexDump(bytes, kDumpLimit));
    lbStatus->setText(QString("%1: %2 bytes").arg(format).arg(bytes.size()));
}

} // namespace zentrix::utils
