#include "gui/ops/tcommandprompt.h"

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

namespace zentrix {

TCommandPrompt::TCommandPrompt(const char* pageName, const QString& accessibleName,
                               const QString& stem, const char* boxName, QWidget* parent)
    : QWidget(parent), m_stem(stem) {
    NameComponent(this, pageName, accessibleName);
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(6, 2, 6, 2);
    lbPrompt = new QLabel(this);
    lbPrompt->setTextFormat(Qt::PlainText); // prompts carry names
    NameComponent(lbPrompt, ("lb" + stem).toUtf8().constData(), "Prompt");
    m_row->addWidget(lbPrompt);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, boxName)) {
        hbBox = THistoryComboBox::Create(*spec, this, true);
    } else {
        hbBox = new THistoryComboBox(this);
        NameComponent(hbBox, boxName, accessibleName);
    }
    hbBox->setMinimumWidth(200);
    lbPrompt->setBuddy(hbBox);
    m_row->addWidget(hbBox, 1);
    bbOK = new QPushButton("&OK", this);
    NameComponent(bbOK, ("bb" + stem + "OK").toUtf8().constData(), "OK");
    bbCancel = new QPushButton("&Cancel", this);
    NameComponent(bbCancel, ("bb" + stem + "Cancel").toUtf8().constData(), "Cancel");
    m_row->addWidget(bbOK);
    m_row->addWidget(bbCancel);

    connect(bbOK, &QPushButton::clicked, this, [this] { emit okClicked(text()); });
    connect(bbCancel, &QPushButton::clicked, this, &TCommandPrompt::cancelClicked);
    hbBox->installEventFilter(this);
    if (QLineEdit* edit = hbBox->lineEdit())
        edit->installEventFilter(this);
}

QToolButton* TCommandPrompt::addToolButton(const QString& suffix, const QString& text,
                                           const QString& hint) {
    auto* button = new QToolButton(this);
    NameComponent(button, ("sb" + m_stem + suffix).toUtf8().constData(), hint);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus); // the box keeps the focus
    m_row->insertWidget(m_row->indexOf(bbOK), button);
    const int index = static_cast<int>(m_tools.size());
    m_tools.append(button);
    connect(button, &QToolButton::clicked, this, [this, index] { emit toolRequested(index); });
    return button;
}

QToolButton* TCommandPrompt::toolButton(int index) const {
    return index >= 0 && index < m_tools.size() ? m_tools.at(index) : nullptr;
}

void TCommandPrompt::setCaption(const QString& caption) {
    lbPrompt->setText(caption);
    lbPrompt->setAccessibleName(caption.trimmed().remove(':'));
    hbBox->setAccessibleName(caption.trimmed().remove(':'));
}

QString TCommandPrompt::caption() const {
    return lbPrompt->text();
}

QString TCommandPrompt::text() const {
    return hbBox->currentText();
}

void TCommandPrompt::setText(const QString& text) {
    hbBox->setEditText(text);
    if (QLineEdit* edit = hbBox->lineEdit())
        edit->selectAll();
}

bool TCommandPrompt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (hbBox->view()->isVisible())
                break; // picks from the list
            emit okClicked(text());
            return true;
        case Qt::Key_F2:
        case Qt::Key_F3: {
            const int index = key->key() == Qt::Key_F2 ? 0 : 1;
            if (index < m_tools.size()) {
                emit toolRequested(index);
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCommandPrompt::keyPressEvent(QKeyEvent* event) {
    // Esc that the box had nothing to undo with comes here.
    if (event->key() == Qt::Key_Escape) {
        emit cancelClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zentrix
