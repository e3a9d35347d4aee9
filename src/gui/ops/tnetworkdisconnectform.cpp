#include "gui/ops/tnetworkdisconnectform.h"

#include "gui/controls/a11y.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrix {

TNetworkDisconnectForm::TNetworkDisconnectForm(
    const std::vector<std::pair<char, std::string>>& disks, QWidget* parent)
    : QDialog(parent) {
    setObjectName("TNetworkDisconnectForm");
    setWindowTitle("Unmap a network disk");
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel("&Network disk:", this);
    layout->addWidget(prompt);
    lbNetworkDisks = new QListWidget(this);
    NameComponent(lbNetworkDisks, "lbNetworkDisks", "Network disks");
    prompt->setBuddy(lbNetworkDisks);
    for (const auto& [letter, address] : disks) {
        auto* item = new QListWidgetItem(
            QString("%1:  %2").arg(QChar(letter), QString::fromStdString(address)));
        item->setData(Qt::UserRole, QChar(letter));
        lbNetworkDisks->addItem(item);
    }
    lbNetworkDisks->setMinimumWidth(360);
    layout->addWidget(lbNetworkDisks, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bbOK = buttons->button(QDialogButtonBox::Ok);
    bbCancel = buttons->button(QDialogButtonBox::Cancel);
    NameComponent(bbOK, "bbOK", "OK");
    NameComponent(bbCancel, "bbCancel", "Cancel");
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lbNetworkDisks, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(lbNetworkDisks, &QListWidget::currentRowChanged, this,
            [this](int row) { bbOK->setEnabled(row >= 0); });
    bbOK->setEnabled(false);
    if (lbNetworkDisks->count() > 0)
        lbNetworkDisks->setCurrentRow(0);
}

std::optional<char>
TNetworkDisconnectForm::Execute(const std::vector<std::pair<char, std::string>>& disks,
                                QWidget* parent) {
    TNetworkDisconnectForm form(disks, parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.letter();
}

std::optional<char> TNetworkDisconnectForm::letter() const {
    const QListWidgetItem* item = lbNetworkDisks->currentItem();
    if (!item)
        return std::nullopt;
    return static_cast<char>(item->data(Qt::UserRole).toChar().toLatin1());
}

} // namespace zentrix
