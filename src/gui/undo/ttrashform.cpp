#include "gui/undo/ttrashform.h"

#include "gui/controls/a11y.h"
#include "undo/trashcan.h"
#include "undo/undohistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

/// Names from other programs may hold anything: control characters are shown
/// as "?", never acted on.
QString plain(const std::string& s) {
    QString text = q(s);
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar('?');
    return text;
}

} // namespace

TTrashForm::TTrashForm(TrashCan& trash, QWidget* parent) : QDialog(parent), m_trash(trash) {
    setObjectName("TTrashForm");
    setWindowTitle("Trash");
    setAccessibleName("Trash");
    resize(760, 400);

    auto* layout = new QVBoxLayout(this);
    lvTrash = new QTreeWidget(this);
    NameComponent(lvTrash, "lvTrash", "Items in the trash");
    lvTrash->setRootIsDecorated(false);
    lvTrash->setUniformRowHeights(true);
    lvTrash->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvTrash->setHeaderLabels({"Name", "Original path", "Deletion date", "Size"});
    lvTrash->header()->setStretchLastSection(false);
    lvTrash->header()->setSectionResizeMode(ColPath, QHeaderView::Stretch);
    layout->addWidget(lvTrash, 1);

    auto* buttons = new QHBoxLayout;
    btnRestore = NamedButton("btnRestore", "&Restore", this);
    btnDeleteForGood = NamedButton("btnDeleteForGood", "&Delete for good", this);
    btnEmpty = NamedButton("btnEmpty", "&Empty", this);
    btnClose = NamedButton("btnClose", "&Close", this);
    btnHelp = NamedButton("btnHelp", "&Help", this);
    buttons->addWidget(btnRestore);
    buttons->addWidget(btnDeleteForGood);
    buttons->addWidget(btnEmpty);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);

    connect(btnRestore, &QPushButton::clicked, this, &TTrashForm::btnRestoreClick);
    connect(btnDeleteForGood, &QPushButton::clicked, this, &TTrashForm::btnDeleteForGoodClick);
    connect(btnEmpty, &QPushButton::clicked, this, &TTrashForm::btnEmptyClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (showHelp)
            showHelp();
    });
    connect(lvTrash, &QTreeWidget::itemSelectionChanged, this, &TTrashForm::updateButtons);
    Fill();
}

void TTrashForm::Fill() {
    lvTrash->clear();
    const auto& items = m_trash.Items();
    QList<QTreeWidgetItem*> rows;
    for (size_t i = 0; i < items.size(); ++i) {
        const platform::TrashEntry& e = items[i];
        auto* row = new QTreeWidgetItem;
        row->setText(ColName, plain(e.name));
        const std::string where = e.originalPath.empty()
                                      ? e.shownPath
                                      : (display ? display(e.originalPath) : e.originalPath);
        row->setText(ColPath, where.empty() ? QString("(not known)") : plain(where));
        std::string date = e.deletionDate;
        if (date.size() == 19)
            date[10] = ' ';
        row->setText(ColDate, q(date));
        row->setText(ColSize, q(GroupedNumber(static_cast<int64_t>(e.bytes))));
        row->setTextAlignment(ColSize, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(i));
        rows.append(row);
    }
    lvTrash->addTopLevelItems(rows);
    if (!rows.isEmpty())
        lvTrash->setCurrentItem(rows.front());
    lvTrash->resizeColumnToContents(ColName);
    lvTrash->resizeColumnToContents(ColDate);
    lvTrash->resizeColumnToContents(ColSize);
    updateButtons();
}

std::vector<size_t> TTrashForm::selectedItems() const {
    std::vector<size_t> out;
    for (const QTreeWidgetItem* item : lvTrash->selectedItems())
        out.push_back(static_cast<size_t>(item->data(0, Qt::UserRole).toULongLong()));
    std::sort(out.begin(), out.end());
    return out;
}

void TTrashForm::updateButtons() {
    const bool any = !lvTrash->selectedItems().isEmpty();
    btnRestore->setEnabled(any);
    btnDeleteForGood->setEnabled(any);
    btnEmpty->setEnabled(lvTrash->topLevelItemCount() > 0);
}

void TTrashForm::btnRestoreClick() {
    const auto which = selectedItems();
    if (which.empty())
        return;
    const std::vector<std::string> dirs = m_trash.Restore(which);
    if (restored && !dirs.empty())
        restored(dirs);
    Fill();
}

void TTrashForm::btnDeleteForGoodClick() {
    const auto which = selectedItems();
    if (!which.empty() && m_trash.DeleteForGood(which))
        Fill();
}

void TTrashForm::btnEmptyClick() {
    if (m_trash.Empty())
        Fill();
}

void TTrashForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && reread) {
        reread();
        Fill();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zentrix
