#pragma once

#include "filespecbuilder.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace zentrix::utils {

/// The extended file specification dialog: the user file types as a check list
/// and a line for further masks; the result line shows what OK will hand back.
class TExtFileSpecForm : public QDialog {
public:
    TExtFileSpecForm(std::vector<UserFileType> types, const std::string& currentSpec,
                     size_t bufferSize, QWidget* parent);

    /// The specification built from the current choice.
    std::string Result() const;

    QListWidget* lbFileTypes = nullptr;
    QLineEdit* edMasks = nullptr;
    QLabel* lbResult = nullptr;

    void done(int r) override;

private:
    std::vector<bool> chosen() const;
    void updateResult();

    std::vector<UserFileType> m_types;
    size_t m_bufferSize;
};

} // namespace zentrix::utils
