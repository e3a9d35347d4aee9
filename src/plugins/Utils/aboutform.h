#pragma once

#include <QDialog>

namespace zentrix::utils {

/// The about box: program name, version and what the program is.
class TAboutForm : public QDialog {
public:
    explicit TAboutForm(QWidget* parent);
};

} // namespace zentrix::utils
