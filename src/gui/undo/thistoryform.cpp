#include "gui/undo/thistoryform.h"

#include "gui/controls/a11y.h"
#include "undo/undocommands.h"
#include "undo/undohistory.h"
#include "undo/undojournal.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* commandName(OperationKind kind) {
    switch (kind) {
    case OperationKind::Copy:
        return "Copy";
    case OperationKind::Move:
        return "Move";
    case OperationKind::Rename:
        return "Rename";
    case OperationKind::Attributes:
        return "Attributes";
    case OperationKind::DateTime:
        return "New date/time";
    case OperationKind::MakeDir:
        return "Make directory";
    case OperationKind::RenameDir:
        return "Rename directory";
    case OperationKind::CopyDir:
        return "Copy directory";
    case OperationKind::MoveDir:
        return "Move directory";
    case OperationKind::Trash:
        return "Delete to the trash";
    case OperationKind::Undo:
        break;
    }
    return "Undo";
}

} // namespace

THistoryForm::THistoryForm(UndoJournal& journal, UndoCommands& commands, QWidget* parent)
    : QDialog(parent), m_journal(journal), m_commands(commands) {
    setObjectName("THistoryForm");
    setWindowTitle("Operation history");
    setAccessibleName("Operation history");
    resize(860, 420);

    auto* layout = new QVBoxLayout(this);
    lvHistory = new QTreeWidget(this);
    NameComponent(lvHistory, "lvHistory", "Operations, newest first");
    lvHistory->setRootIsDecorated(false);
    lvHistory->setUniformRowHeights(true);
    lvHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    lvHistory->setHeaderLabels({"Time", "Command", "Files", "Source", "Target", "State"});
    lvHistory->header()->setStretchLastSection(true);
    layout->addWidget(lvHistory, 1);

    auto* buttons = new QHBoxLayout;
    btnUndo = NamedButton("btnUndo", "&Undo", this);
    btnClose = NamedButton("btnClose", "&Close", this);
    btnHelp = NamedButton("btnHelp", "&Help", this);
    buttons->addWidget(btnUndo);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);

    connect(btnUndo, &QPushButton::clicked, this, &THistoryForm::btnUndoClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (showHelp)
            showHelp();
    });
    connect(lvHistory, &QTreeWidget::itemSelectionChanged, this, &THistoryForm::updateButtons);
    connect(lvHistory, &QTreeWidget::itemActivated, this, [this] { btnUndoClick(); });
    Refresh();
}

void THistoryForm::Refresh() {
    const uint64_t selected = SelectedId();
    lvHistory->clear();
    const UndoCoverage coverage(m_journal.Entries());
    const auto& entries = m_journal.Entries();
    QList<QTreeWidgetItem*> rows;
    QTreeWidgetItem* select = nullptr;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const UndoEntry& e = *it;
        auto* row = new QTreeWidgetItem;
        const QDateTime when = QDateTime::fromSecsSinceEpoch(e.time);
        row->setText(ColTime, QLocale().toString(when, QLocale::ShortFormat));
        row->setText(ColCommand, commandName(e.info.kind));
        row->setText(ColCount, q(GroupedNumber(e.files)));
        row->setTextAlignment(ColCount, Qt::AlignRight | Qt::AlignVCenter);
        // An undo names what it undid where others name their source.
        row->setText(ColSource, q(e.info.source));
        row->setText(ColTarget, q(e.info.target));
        const std::string state = UndoStateText(m_journal, e, coverage);
        row->setText(ColState, q(state));
        row->setToolTip(ColState, q(state));
        row->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(e.id));
        row->setData(1, Qt::UserRole, coverage.Remaining(e) > 0);
        if (e.id == selected)
            select = row;
        rows.append(row);
    }
    lvHistory->addTopLevelItems(rows);
    if (!select && !rows.isEmpty())
        select = rows.front();
    if (select)
        lvHistory->setCurrentItem(select);
    for (int c = 0; c < ColState; ++c)
        lvHistory->resizeColumnToContents(c);
    updateButtons();
}

uint64_t THistoryForm::SelectedId() const {
    const QTreeWidgetItem* item = lvHistory ? lvHistory->currentItem() : nullptr;
    return item ? item->data(0, Qt::UserRole).toULongLong() : 0;
}

void THistoryForm::updateButtons() {
    const QTreeWidgetItem* item = lvHistory->currentItem();
    btnUndo->setEnabled(item && item->data(1, Qt::UserRole).toBool());
}

void THistoryForm::btnUndoClick() {
    const uint64_t id = SelectedId();
    if (id == 0 || !btnUndo->isEnabled())
        return;
    m_commands.UndoOperation(id);
    Refresh();
}

} // namespace zentrix
