#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;

namespace zentrix {

struct DiskPanelInfo;

/// The disk information panel of the current disk: its label (a click on it
/// asks to change it), capacity, free space, kind, its picture on a button
/// ("&Info ...") and the used-space gauge.
class TDiskInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDiskInfoPanel(QWidget* parent = nullptr);

    QLabel* VolumeLabel = nullptr;
    QLabel* DriveCapacityLabel = nullptr;
    QLabel* AvailableBytesLabel = nullptr;
    QLabel* lbDiskType = nullptr;
    QToolButton* btnDiskImage = nullptr;
    QProgressBar* DrvSpaceGauge = nullptr;

    /// Shows the facts of a disk with its drive's picture.
    void ShowDisk(const DiskPanelInfo& info, const QIcon& picture);

signals:
    void VolumeLabelClick();
    void btnDiskImageClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace zentrix
