#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QListWidget;
class QPushButton;

namespace zentrix {

/// "Unmap a network disk": the mapped network disks, each with the address
/// it stands for ("F:  smb://server/share"); OK gives the chosen letter.
class TNetworkDisconnectForm : public QDialog {
    Q_OBJECT
public:
    TNetworkDisconnectForm(const std::vector<std::pair<char, std::string>>& disks,
                           QWidget* parent = nullptr);

    /// Opens the dialog over `parent`, modally; the chosen letter on OK, none
    /// when cancelled.
    static std::optional<char> Execute(const std::vector<std::pair<char, std::string>>& disks,
                                       QWidget* parent);

    QListWidget* lbNetworkDisks = nullptr;
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    /// The letter of the chosen row; none when no row is chosen.
    std::optional<char> letter() const;
};

} // namespace zentrix
