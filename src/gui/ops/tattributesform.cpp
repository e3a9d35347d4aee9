#include "gui/ops/tattributesform.h"

#include "gui/controls/a11y.h"
#include "gui/controls/tradiogroup.h"
#include "ops/attributetext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrix {
namespace {

// Item order of every group.
constexpr int kSet = 0;
constexpr int kUnchanged = 1;
constexpr int kUnset = 2;

int itemOf(AttributeChoice choice) {
    return choice == AttributeChoice::Set     ? kSet
           : choice == AttributeChoice::Unset ? kUnset
                                              : kUnchanged;
}

AttributeChoice choiceOf(const TRadioGroup* group) {
    switch (group->ItemIndex()) {
    case kSet:
        return AttributeChoice::Set;
    case kUnset:
        return AttributeChoice::Unset;
    default:
        return AttributeChoice::Unchanged;
    }
}

} // namespace

TAttributesForm::TAttributesForm(const QString& boxText, QWidget* parent) : QDialog(parent) {
    setObjectName("TAttributesForm");
    setWindowTitle("Select attributes ...");
    setModal(true);
    const QStringList items{"Set", "Unchanged", "Unset"};
    const std::string text = boxText.toStdString();
    auto group = [&](const char* name, const QString& caption, const QString& accessible,
                     char letter) {
        auto* g = new TRadioGroup(caption, items, this);
        NameComponent(g, name, accessible);
        g->SetItemIndex(itemOf(AttributeChoiceOf(text, letter)));
        return g;
    };
    rgArchive = group("rgArchive", " Archive ", "Archive", 'A');
    rgReadOnly = group("rgReadOnly", " Read only ", "Read only", 'R');
    rgSystem = group("rgSystem", " System ", "System", 'S');
    rgHidden = group("rgHidden", " Hidden ", "Hidden", 'H');

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(rgArchive, 0, 0);
    grid->addWidget(rgReadOnly, 0, 1);
    grid->addWidget(rgSystem, 1, 0);
    grid->addWidget(rgHidden, 1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btnDefault = new QPushButton("&Default", this);
    NameComponent(btnDefault, "btnDefault", "Default attributes");
    bbOK = new QPushButton("&OK", this);
    NameComponent(bbOK, "bbOK", "OK");
    bbOK->setDefault(true);
    bbCancel = new QPushButton("&Cancel", this);
    NameComponent(bbCancel, "bbCancel", "Cancel");
    buttons->addWidget(btnDefault);
    buttons->addStretch(1);
    buttons->addWidget(bbOK);
    buttons->addWidget(bbCancel);
    layout->addLayout(buttons);

    connect(btnDefault, &QPushButton::clicked, this, &TAttributesForm::btnDefaultClick);
    connect(bbOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TAttributesForm::btnDefaultClick() {
    rgArchive->SetItemIndex(kSet);
    rgReadOnly->SetItemIndex(kUnset);
    rgSystem->SetItemIndex(kUnset);
    rgHidden->SetItemIndex(kUnset);
}

QString TAttributesForm::attributeText() const {
    return QString::fromStdString(AttributeChoicesText(choiceOf(rgArchive), choiceOf(rgReadOnly),
                                                       choiceOf(rgHidden), choiceOf(rgSystem)));
}

std::optional<QString> TAttributesForm::Execute(const QString& boxText, QWidget* parent) {
    TAttributesForm form(boxText, parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.attributeText();
}

} // namespace zentrix
