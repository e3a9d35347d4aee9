#include "gui/tagging/tfileattrpage.h"

#include "config/historyboxes.h"
#include "filewindow/attributemask.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/tattributesform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace zentrix {

TFileAttrPage::TFileAttrPage(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "ts_FC_FileAttr", "File attributes page");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    pnFileAttr = new QLabel(this);
    // The prompt is heard as it reads ("Attributes of files to tag:").
    NameValueLabel(pnFileAttr, "pnFileAttr", QString());
    pnFileAttr->setText("File attributes:"); // each use sets its own prompt
    layout->addWidget(pnFileAttr);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, "hbFilesAttrHistory")) {
        hbFilesAttrHistory = THistoryComboBox::Create(*spec, this, true);
    } else {
        hbFilesAttrHistory = new THistoryComboBox(this);
        NameComponent(hbFilesAttrHistory, "hbFilesAttrHistory", "File attributes");
    }
    hbFilesAttrHistory->setToolTip("Attributes: +A -A +R -R +H -H +S -S ...");
    hbFilesAttrHistory->setMinimumWidth(160);
    pnFileAttr->setBuddy(hbFilesAttrHistory);
    layout->addWidget(hbFilesAttrHistory, 1);
    sbFileAttrSelect = new QToolButton(this);
    NameComponent(sbFileAttrSelect, "sbFileAttrSelect", "Select attributes");
    sbFileAttrSelect->setText("...");
    sbFileAttrSelect->setToolTip("Select attributes ...");
    sbFileAttrSelect->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(sbFileAttrSelect);
    bbFileAttrOK = new QPushButton("&OK", this);
    NameComponent(bbFileAttrOK, "bbFileAttrOK", "OK");
    bbFileAttrCancel = new QPushButton("&Cancel", this);
    NameComponent(bbFileAttrCancel, "bbFileAttrCancel", "Cancel");
    layout->addWidget(bbFileAttrOK);
    layout->addWidget(bbFileAttrCancel);

    connect(bbFileAttrOK, &QPushButton::clicked, this, [this] { emit okClicked(text()); });
    connect(bbFileAttrCancel, &QPushButton::clicked, this, &TFileAttrPage::cancelClicked);
    connect(sbFileAttrSelect, &QToolButton::clicked, this, &TFileAttrPage::selectAttributes);
    hbFilesAttrHistory->installEventFilter(this);
    if (QLineEdit* edit = hbFilesAttrHistory->lineEdit())
        edit->installEventFilter(this);
}

void TFileAttrPage::setCaption(const QString& caption) {
    pnFileAttr->setText(caption);
    hbFilesAttrHistory->setAccessibleName(caption.trimmed().remove(':'));
}

QString TFileAttrPage::caption() const {
    return pnFileAttr->text();
}

QString TFileAttrPage::text() const {
    return hbFilesAttrHistory->currentText();
}

void TFileAttrPage::selectAttributes() {
    if (const auto chosen = TAttributesForm::Execute(text(), window()))
        hbFilesAttrHistory->setEditText(*chosen);
    hbFilesAttrHistory->setFocus(Qt::OtherFocusReason);
}

bool TFileAttrPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (hbFilesAttrHistory->view()->isVisible())
            return false; // picks from the list
        emit okClicked(text());
        return true;
    case Qt::Key_F2:
        selectAttributes();
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString typed = key->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const std::optional<char> accepted = AttributeBoxChar(typed.at(0).unicode());
    if (!accepted) {
        QApplication::beep();
        return true;
    }
    if (QLineEdit* edit = hbFilesAttrHistory->lineEdit())
        edit->insert(QString(QChar(*accepted)));
    return true;
}

void TFileAttrPage::keyPressEvent(QKeyEvent* event) {
    // Esc that the box had nothing to undo with comes here.
    if (event->key() == Qt::Key_Escape) {
        emit cancelClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zentrix
