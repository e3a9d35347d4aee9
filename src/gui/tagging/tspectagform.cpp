#include "gui/tagging/tspectagform.h"

#include "config/historyboxes.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrix {

TSpecTagForm::TSpecTagForm(std::string& selectionSpec, ExtendedSpec extendedSpec, QWidget* parent)
    : QDialog(parent), m_rules(selectionSpec), m_extendedSpec(std::move(extendedSpec)) {
    setObjectName("TSpecTagForm");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    lbFileSpec = new QLabel("&Specify file type:", this);
    NameComponent(lbFileSpec, "lbFileSpec", "Specify file type");
    layout->addWidget(lbFileSpec);

    auto* row = new QHBoxLayout;
    // The box starts at "*.*", and a full history then shows its first entry.
    const QString initial = QString::fromUtf8(SpecTagRules::kInitialText.data(),
                                              static_cast<int>(SpecTagRules::kInitialText.size()));
    if (const HistoryBoxSpec* spec = FindHistoryBox("special tag", "hbFileSpec")) {
        hbFileSpec = THistoryComboBox::Create(*spec, this, false, initial);
    } else {
        hbFileSpec = new THistoryComboBox(this);
        NameComponent(hbFileSpec, "hbFileSpec", "File specification");
        hbFileSpec->setEditText(initial);
    }
    hbFileSpec->setToolTip("File specification (press <F2> for extended file specifications) ...");
    hbFileSpec->setMinimumWidth(260);
    lbFileSpec->setBuddy(hbFileSpec);
    row->addWidget(hbFileSpec, 1);
    sbExtFileSpec = new QToolButton(this);
    NameComponent(sbExtFileSpec, "sbExtFileSpec", "Extended file specification");
    sbExtFileSpec->setText(QString(QChar(0x2026)));
    sbExtFileSpec->setToolTip("Extended file specification");
    sbExtFileSpec->setFocusPolicy(Qt::NoFocus);
    row->addWidget(sbExtFileSpec);
    layout->addLayout(row);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bbOK = new QPushButton("&OK", this);
    NameComponent(bbOK, "bbOK", "OK");
    // Enter belongs to the box (it commits the text before closing).
    bbOK->setAutoDefault(false);
    bbCancel = new QPushButton("&Cancel", this);
    NameComponent(bbCancel, "bbCancel", "Cancel");
    bbCancel->setAutoDefault(false);
    buttons->addWidget(bbOK);
    buttons->addWidget(bbCancel);
    layout->addLayout(buttons);

    connect(bbOK, &QPushButton::clicked, this, &TSpecTagForm::accept);
    connect(bbCancel, &QPushButton::clicked, this, &TSpecTagForm::reject);
    connect(sbExtFileSpec, &QToolButton::clicked, this, &TSpecTagForm::sbExtFileSpecClick);
    connect(hbFileSpec, &TEnhComboBox::OnChoice, this, &TSpecTagForm::commit);
    connect(hbFileSpec, &QComboBox::editTextChanged, this, &TSpecTagForm::updateOk);
    hbFileSpec->installEventFilter(this);
    if (QLineEdit* edit = hbFileSpec->lineEdit())
        edit->installEventFilter(this);
    hbFileSpec->setFocus();
    updateOk();
}

bool TSpecTagForm::Execute(const QString& caption, std::string& selectionSpec,
                           ExtendedSpec extendedSpec, QWidget* parent) {
    TSpecTagForm form(selectionSpec, std::move(extendedSpec), parent);
    form.setWindowTitle(caption);
    return form.exec() == QDialog::Accepted;
}

void TSpecTagForm::commit() {
    const std::string text = m_rules.Commit(hbFileSpec->currentText().toStdString());
    const QString shown = QString::fromStdString(text);
    if (hbFileSpec->currentText() != shown)
        hbFileSpec->setEditText(shown);
    updateOk();
}

void TSpecTagForm::updateOk() {
    bbOK->setEnabled(SpecTagRules::OkEnabled(hbFileSpec->currentText().toStdString()));
}

void TSpecTagForm::accept() {
    updateOk();
    if (!bbOK->isEnabled())
        return;
    // The text shown is the one used, whether or not its choice check has run.
    commit();
    hbFileSpec->Save();
    QDialog::accept();
}

void TSpecTagForm::sbExtFileSpecClick() {
    hbFileSpec->setFocus();
    if (!m_extendedSpec)
        return;
    if (const auto spec = m_extendedSpec(hbFileSpec->currentText().toStdString()))
        hbFileSpec->setEditText(QString::fromStdString(*spec));
}

bool TSpecTagForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            sbExtFileSpecClick();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const bool listOpen = hbFileSpec->view()->isVisible();
            if (listOpen)
                return QDialog::eventFilter(watched, event); // Enter picks from the list
            commit();
            if (SpecTagRules::EnterAccepts(hbFileSpec->currentText().toStdString(), false))
                accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease)
        updateOk();
    return QDialog::eventFilter(watched, event);
}

} // namespace zentrix
