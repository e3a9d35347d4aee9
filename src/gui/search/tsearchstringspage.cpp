#include "gui/search/tsearchstringspage.h"

#include "config/historyboxes.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zentrix {

TSearchStringsPage::TSearchStringsPage(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "ts_FC_SearchStrings", "Search files for text page");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    pnSearchStrings = new QLabel("Search files for text:", this);
    NameComponent(pnSearchStrings, "pnSearchStrings", "Search files for text:");
    layout->addWidget(pnSearchStrings);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, "hbSearchStrings")) {
        hbSearchStrings = THistoryComboBox::Create(*spec, this, true);
    } else {
        hbSearchStrings = new THistoryComboBox(this);
        NameComponent(hbSearchStrings, "hbSearchStrings", "Text to search for");
    }
    hbSearchStrings->setMinimumWidth(180);
    pnSearchStrings->setBuddy(hbSearchStrings);
    layout->addWidget(hbSearchStrings, 1);
    cb_IgnoreCase = new QCheckBox("&Ignore case?", this);
    NameComponent(cb_IgnoreCase, "cb_IgnoreCase", "Ignore case?");
    cb_IgnoreCase->setChecked(true);
    layout->addWidget(cb_IgnoreCase);
    bbSearchStringsOK = new QPushButton("&OK", this);
    NameComponent(bbSearchStringsOK, "bbSearchStringsOK", "OK");
    bbSearchStringsCancel = new QPushButton("&Cancel", this);
    NameComponent(bbSearchStringsCancel, "bbSearchStringsCancel", "Cancel");
    layout->addWidget(bbSearchStringsOK);
    layout->addWidget(bbSearchStringsCancel);

    connect(bbSearchStringsOK, &QPushButton::clicked, this,
            [this] { emit okClicked(text(), ignoreCase()); });
    connect(bbSearchStringsCancel, &QPushButton::clicked, this, &TSearchStringsPage::cancelClicked);
    hbSearchStrings->installEventFilter(this);
    if (QLineEdit* edit = hbSearchStrings->lineEdit())
        edit->installEventFilter(this);
}

QString TSearchStringsPage::text() const {
    return hbSearchStrings->currentText();
}

bool TSearchStringsPage::ignoreCase() const {
    return cb_IgnoreCase->isChecked();
}

bool TSearchStringsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !hbSearchStrings->view()->isVisible()) {
            emit okClicked(text(), ignoreCase());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSearchStringsPage::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit cancelClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zentrix
