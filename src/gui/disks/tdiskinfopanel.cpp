#include "gui/disks/tdiskinfopanel.h"

#include "catalogue/diskinfo.h"
#include "gui/controls/a11y.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolButton>

namespace zentrix {

namespace {

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

TDiskInfoPanel::TDiskInfoPanel(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "DiskInfoPanel", "Disk information");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    btnDiskImage = new QToolButton(this);
    NameComponent(btnDiskImage, "btnDiskImage", "Disk information");
    btnDiskImage->setIconSize(QSize(16, 16));
    btnDiskImage->setAutoRaise(false);
    btnDiskImage->setToolTip("Show additional informations of the current disk ...");
    btnDiskImage->setBackgroundRole(QPalette::Button);
    btnDiskImage->setAutoFillBackground(true);

    VolumeLabel = new QLabel(this);
    NameValueLabel(VolumeLabel, "VolumeLabel", "Volume label");
    VolumeLabel->setCursor(Qt::PointingHandCursor);
    VolumeLabel->setToolTip("Change the volume label ...");
    VolumeLabel->installEventFilter(this);
    lbDiskType = new QLabel(this);
    NameValueLabel(lbDiskType, "lbDiskType", QString()); // "Fixed disk" says what it is
    DriveCapacityLabel = new QLabel(this);
    NameValueLabel(DriveCapacityLabel, "DriveCapacityLabel", "Capacity");
    AvailableBytesLabel = new QLabel(this);
    NameValueLabel(AvailableBytesLabel, "AvailableBytesLabel", "Free");
    DrvSpaceGauge = new QProgressBar(this);
    NameComponent(DrvSpaceGauge, "DrvSpaceGauge", "Used disk space");
    DrvSpaceGauge->setRange(0, 100);
    DrvSpaceGauge->setValue(0);
    DrvSpaceGauge->setMaximumHeight(14);
    DrvSpaceGauge->setTextVisible(true);

    grid->addWidget(btnDiskImage, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(VolumeLabel, 0, 1, 1, 2);
    grid->addWidget(lbDiskType, 1, 1, 1, 2);
    grid->addWidget(caption("Capacity:", this), 2, 0, 1, 2);
    grid->addWidget(DriveCapacityLabel, 2, 2, Qt::AlignRight);
    grid->addWidget(caption("Free:", this), 3, 0, 1, 2);
    grid->addWidget(AvailableBytesLabel, 3, 2, Qt::AlignRight);
    grid->addWidget(DrvSpaceGauge, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(btnDiskImage, &QToolButton::clicked, this, &TDiskInfoPanel::btnDiskImageClick);
}

void TDiskInfoPanel::ShowDisk(const DiskPanelInfo& info, const QIcon& picture) {
    VolumeLabel->setText(QString::fromStdString(info.labelText));
    DriveCapacityLabel->setText(QString::fromStdString(info.capacityText));
    AvailableBytesLabel->setText(QString::fromStdString(info.freeText));
    lbDiskType->setText(QString::fromStdString(info.diskTypeText));
    btnDiskImage->setIcon(picture);
    DrvSpaceGauge->setValue(info.gaugePercent);
}

bool TDiskInfoPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == VolumeLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit VolumeLabelClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
