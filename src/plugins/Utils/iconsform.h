#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

namespace zentrix::utils {

/// The icons inside a file: the icon groups of an executable, the images of
/// an icon file, or the icon a .desktop file names.
class TIconsForm : public QDialog {
    Q_OBJECT
public:
    TIconsForm(const QString& description, const QString& path, QWidget* parent = nullptr);
    QListWidget* lvIcons = nullptr;
    QLabel* lbCount = nullptr;
};

} // namespace zentrix::utils
