#include "extfilespecform.h"

#include "gui/controls/plainmessagebox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrix::utils {

TExtFileSpecForm::TExtFileSpecForm(std::vector<UserFileType> types, const std::string& currentSpec,
                                   size_t bufferSize, QWidget* parent)
    : QDialog(parent), m_types(std::move(types)), m_bufferSize(bufferSize) {
    setWindowTitle("Extended file specification");
    setObjectName("ExtFileSpecForm");

    auto* layout = new QVBoxLayout(this);
    auto* typesLabel = new QLabel("&File types:", this);
    lbFileTypes = new QListWidget(this);
    lbFileTypes->setObjectName("lbFileTypes");
    lbFileTypes->setAccessibleName("File types");
    typesLabel->setBuddy(lbFileTypes);

    const SpecChoice choice = ChoiceFromSpec(m_types, currentSpec);
    for (size_t i = 0; i < m_types.size(); ++i) {
        std::string masks;
        for (const std::string& m : m_types[i].masks)
            masks += (masks.empty() ? "" : " ") + m;
        auto* item = new QListWidgetItem(
            QString::fromStdString(m_types[i].description + " (" + masks + ")"), lbFileTypes);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(choice.chosen[i] ? Qt::Checked : Qt::Unchecked);
    }
    if (m_types.empty()) {
        auto* item =
            new QListWidgetItem("(no user file types defined in the options)", lbFileTypes);
        item->setFlags(Qt::NoItemFlags);
    }

    auto* checkButtons = new QHBoxLayout;
    auto* allButton = new QPushButton("Check &all", this);
    auto* noneButton = new QPushButton("&Uncheck all", this);
    checkButtons->addWidget(allButton);
    checkButtons->addWidget(noneButton);
    checkButtons->addStretch();

    auto* masksLabel =
        new QLabel("Other &masks (separated by blanks, commas or semicolons):", this);
    edMasks = new QLineEdit(QString::fromStdString(choice.otherMasks), this);
    edMasks->setObjectName("edMasks");
    edMasks->setAccessibleName("Other masks");
    masksLabel->setBuddy(edMasks);

    auto* resultCaption = new QLabel("Resulting file specification:", this);
    lbResult = new QLabel(this);
    lbResult->setObjectName("lbResult");
    lbResult->setWordWrap(true);
    lbResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbResult->setFrameShape(QFrame::StyledPanel);
    // A value label: heard as caption and value together in the program.
    lbResult->setProperty("zentrixValueCaption", "Resulting file specification");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    layout->addWidget(typesLabel);
    layout->addWidget(lbFileTypes, 1);
    layout->addLayout(checkButtons);
    layout->addWidget(masksLabel);
    layout->addWidget(edMasks);
    layout->addWidget(resultCaption);
    layout->addWidget(lbResult);
    layout->addWidget(buttons);

    auto setAll = [this](Qt::CheckState state) {
        for (int i = 0; i < lbFileTypes->count(); ++i)
            if (lbFileTypes->item(i)->flags() & Qt::ItemIsUserCheckable)
                lbFileTypes->item(i)->setCheckState(state);
    };
    connect(allButton, &QPushButton::clicked, this, [setAll] { setAll(Qt::Checked); });
    connect(noneButton, &QPushButton::clicked, this, [setAll] { setAll(Qt::Unchecked); });
    connect(lbFileTypes, &QListWidget::itemChanged, this, [this] { updateResult(); });
    connect(edMasks, &QLineEdit::textChanged, this, [this] { updateResult(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    resize(460, 420);
    updateResult();
    edMasks->setFocus();
}

std::vector<bool> TExtFileSpecForm::chosen() const {
    std::vector<bool> result(m_types.size(), false);
    for (size_t i = 0; i < m_types.size(); ++i)
        result[i] = lbFileTypes->item(static_cast<int>(i))->checkState() == Qt::Checked;
    return result;
}

std::string TExtFileSpecForm::Result() const {
    return BuildFileSpec(m_types, chosen(), edMasks->text().toStdString());
}

void TExtFileSpecForm::updateResult() {
    lbResult->setText(QString::fromStdString(Result()));
}

void TExtFileSpecForm::done(int r) {
    if (r == QDialog::Accepted && !FitsBuffer(Result(), m_bufferSize)) {
        PlainMessageBox(this, QMessageBox::Warning, "Information",
                        QString("The file specification is too long: at most %1 "
                                "characters fit.")
                            .arg(m_bufferSize - 1));
        return;
    }
    QDialog::done(r);
}

} // namespace zentrix::utils
