#include "gui/app/tquickviewpane.h"

#include "core/plugincalls.h"
#include "filewindow/quickview.h"
#include "gui/controls/a11y.h"

#include <QClipboard>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
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
}

void TQuickViewPane::Clear() {
    meFileInfo->clear();
    imgQuick->clear();
    imgQuick->hide();
    pnMedia->hide();
    meFileInfo->show();
}

void TQuickViewPane::ShowFile(const std::string& fileName, const std::string& hostPath) {
    Clear();
    const QuickViewContent content = BuildQuickView(fileName, hostPath, &PluginCalls::CallGetFileInfo);
    pnMedia->setVisible(content.media);
    QStringList lines;
    for (const std::string& line : content.lines)
        lines << QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    meFileInfo->setPlainText(lines.join('\n'));
    if (content.picture.empty())
        return;
    // A picture that will not load leaves the lines showing.
    const QPixmap picture(QString::fromStdString(content.picture));
    if (picture.isNull())
        return;
    imgQuick->setPixmap(picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
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
