#include "gui/ops/tcopymovepage.h"

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
namespace {

struct PageNames {
    const char* page;
    const char* ok;
    const char* accessible;
};

PageNames namesOf(CopyMovePage page) {
    switch (page) {
    case CopyMovePage::CopyAs:
        return {"ts_FC_CopyAs", "bbCopyAsOK", "Copy as page"};
    case CopyMovePage::FullCopyAs:
        return {"ts_FC_FullCopyAs", "bbFullCopyOK", "Copy with paths as page"};
    case CopyMovePage::CopyTo:
        return {"ts_FC_CopyTo", "bbCopyToOK", "Copy to page"};
    case CopyMovePage::MoveAs:
        return {"ts_FC_MoveAs", "bbMoveAsOK", "Move as page"};
    case CopyMovePage::FullMoveAs:
        return {"ts_FC_FullMoveAs", "bbFullMoveOK", "Move with paths as page"};
    case CopyMovePage::MoveTo:
        break;
    }
    return {"ts_FC_MoveTo", "bbMoveToOK", "Move to page"};
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text,
                        const QString& hint) {
    auto* button = new QToolButton(parent);
    NameComponent(button, name, hint);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TCopyMovePage::TCopyMovePage(CopyMovePage page, QWidget* parent) : QWidget(parent), m_page(page) {
    const PageNames names = namesOf(page);
    NameComponent(this, names.page, names.accessible);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    lbCaption = new QLabel(QString::fromUtf8(CopyMoveCommands::PageCaption(page)), this);
    // Heard by its caption, which says what the box asks for.
    NameComponent(lbCaption, (std::string(names.page) + "Label").c_str(), QString());
    layout->addWidget(lbCaption);
    const char* boxName = CopyMoveCommands::PageBox(page);
    if (const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, boxName)) {
        box = THistoryComboBox::Create(*spec, this, true);
    } else {
        box = new THistoryComboBox(this);
        NameComponent(box, boxName, lbCaption->text().remove(':'));
    }
    box->setMinimumWidth(240);
    lbCaption->setBuddy(box);
    layout->addWidget(box, 1);
    sbBrowse = toolButton(this, "sbBrowse", "...",
                          isToPage() ? "Browse for folder" : "Extended file specifications ...");
    layout->addWidget(sbBrowse);
    if (isToPage()) {
        sbFavorites = toolButton(this, "sbFavorites", "*", "Look in favorites");
        sbPrevDisk = toolButton(this, "sbPrevDisk", "<", "Previous logged disk's directory ...");
        sbNextDisk = toolButton(this, "sbNextDisk", ">", "Next logged disk's directory ...");
        layout->addWidget(sbFavorites);
        layout->addWidget(sbPrevDisk);
        layout->addWidget(sbNextDisk);
        connect(sbFavorites, &QToolButton::clicked, this, &TCopyMovePage::favoritesClicked);
        connect(sbPrevDisk, &QToolButton::clicked, this, &TCopyMovePage::prevDiskClicked);
        connect(sbNextDisk, &QToolButton::clicked, this, &TCopyMovePage::nextDiskClicked);
    }
    bbOK = new QPushButton("&OK", this);
    NameComponent(bbOK, names.ok, "OK");
    bbCancel = new QPushButton("&Cancel", this);
    NameComponent(bbCancel, (std::string(names.page) + "Cancel").c_str(), "Cancel");
    layout->addWidget(bbOK);
    layout->addWidget(bbCancel);
    connect(bbOK, &QPushButton::clicked, this, [this] { emit okClicked(text()); });
    connect(bbCancel, &QPushButton::clicked, this, &TCopyMovePage::cancelClicked);
    connect(sbBrowse, &QToolButton::clicked, this, &TCopyMovePage::browseClicked);
    box->installEventFilter(this);
    if (QLineEdit* edit = box->lineEdit())
        edit->installEventFilter(this);
}

QString TCopyMovePage::text() const {
    return box->currentText();
}

bool TCopyMovePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool listOpen = box->view() && box->view()->isVisible();
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (listOpen)
            return false; // picks from the list
        emit okClicked(text());
        return true;
    case Qt::Key_Escape:
        if (listOpen)
            return false;
        emit cancelClicked();
        return true;
    case Qt::Key_F2:
        emit browseClicked();
        return true;
    case Qt::Key_F3:
        if (!isToPage() || listOpen)
            return false;
        emit favoritesClicked();
        return true;
    default:
        break;
    }
    if (isToPage() && key->text() == "<") {
        emit prevDiskClicked();
        return true;
    }
    if (isToPage() && key->text() == ">") {
        emit nextDiskClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
