#include "iconsform.h"

#include "gui/controls/desktopicon.h"
#include "view/desktopentry.h"
#include "view/iconresources.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace zentrix::utils {

namespace {

// The largest image of an icon file in memory.
QPixmap largestImage(const std::string& ico) {
    QByteArray bytes(ico.data(), static_cast<qsizetype>(ico.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage best;
    do {
        const QImage image = reader.read();
        if (!image.isNull() && image.width() * image.height() > best.width() * best.height())
            best = image;
    } while (reader.jumpToNextImage());
    return QPixmap::fromImage(best);
}

} // namespace

TIconsForm::TIconsForm(const QString& description, const QString& path, QWidget* parent)
    : QDialog(parent) {
    setObjectName("TIconsForm");
    setWindowTitle(description.isEmpty() ? path : description);
    resize(480, 360);
    auto* layout = new QVBoxLayout(this);
    lvIcons = new QListWidget(this);
    lvIcons->setObjectName("lvIcons");
    lvIcons->setAccessibleName("Icons");
    lvIcons->setViewMode(QListView::IconMode);
    lvIcons->setIconSize(QSize(64, 64));
    lvIcons->setResizeMode(QListView::Adjust);
    layout->addWidget(lvIcons, 1);
    const std::string host = path.toStdString();
    if (path.endsWith(".desktop", Qt::CaseInsensitive)) {
        const std::string name = DesktopEntryIcon(host);
        const QIcon icon = DesktopEntryQIcon(name);
        if (!icon.isNull())
            new QListWidgetItem(icon, QString::fromStdString(name), lvIcons);
    } else {
        for (const IconGroup& group : IconsOfFile(host)) {
            const QPixmap picture = largestImage(group.ico);
            if (!picture.isNull())
                new QListWidgetItem(QIcon(picture), QString::fromStdString(group.name), lvIcons);
        }
    }
    lbCount = new QLabel(lvIcons->count() ? QString("%1 icon(s)").arg(lvIcons->count())
                                          : QString("There are no icons in this file."),
                         this);
    lbCount->setObjectName("lbCount");
    layout->addWidget(lbCount);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace zentrix::utils
