#include "gui/config/tcommandbuttonspage.h"

#include "config/commandbuttons.h"
#include "config/menushortcuts.h"
#include "gui/config/toolsconfig.h"
#include "gui/controls/a11y.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kCommandRole = Qt::UserRole;

/// The button list: takes leaves dragged from the tree, and reorders itself.
class ButtonList : public QListWidget {
public:
    ButtonList(QWidget* parent, std::function<void()> addFromTree, std::function<void()> moved)
        : QListWidget(parent), m_addFromTree(std::move(addFromTree)), m_moved(std::move(moved)) {
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::MoveAction);
        setAcceptDrops(true);
    }
    QWidget* tree = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->source() == tree || event->source() == this)
            event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* event) override {
        if (event->source() == tree) {
            event->acceptProposedAction();
            return;
        }
        QListWidget::dragMoveEvent(event);
    }
    void dropEvent(QDropEvent* event) override {
        if (event->source() == tree) {
            event->acceptProposedAction();
            m_addFromTree();
            return;
        }
        QListWidget::dropEvent(event);
        m_moved();
    }

private:
    std::function<void()> m_addFromTree;
    std::function<void()> m_moved;
};

} // namespace

TCommandButtonsPage::TCommandButtonsPage(Bar bar, ToolsConfig& config, QWidget* parent)
    : QWidget(parent), m_bar(bar), m_config(config) {
    const bool dir = bar == Bar::Directory;
    NameComponent(this, dir ? "tsDirButtons" : "tsFileButtons",
                  dir ? "Directory buttons" : "File buttons");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    tvCommands = new QTreeWidget(this);
    NameComponent(tvCommands, dir ? "tvDirCommands" : "tvFileCommands", "Available commands");
    tvCommands->setHeaderHidden(true);
    tvCommands->setDragEnabled(true);
    tvCommands->setDragDropMode(QAbstractItemView::DragOnly);
    row->addWidget(tvCommands, 1);

    auto* buttons = new QVBoxLayout;
    btnAdd = new QPushButton("&Add", this);
    NameComponent(btnAdd, dir ? "btnDirAdd" : "btnFileAdd", "Add");
    btnDel = new QPushButton("&Del", this);
    NameComponent(btnDel, dir ? "btnDirDel" : "btnFileDel", "Delete");
    for (QPushButton* b : {btnAdd, btnDel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    row->addLayout(buttons);

    auto* list = new ButtonList(
        this, [this] { btnAddClick(); }, [this] { listReordered(); });
    list->tree = tvCommands;
    lbButtons = list;
    NameComponent(lbButtons, dir ? "lbDirButtons" : "lbFileButtons", "Buttons of the bar");
    row->addWidget(lbButtons, 1);
    layout->addLayout(row, 1);

    cbShowButtons = new QCheckBox("Show &buttons", this);
    NameComponent(cbShowButtons, dir ? "cbShowDirButtons" : "cbShowFileButtons", "Show buttons");
    layout->addWidget(cbShowButtons);

    connect(btnAdd, &QPushButton::clicked, this, &TCommandButtonsPage::btnAddClick);
    connect(btnDel, &QPushButton::clicked, this, &TCommandButtonsPage::btnDelClick);
    connect(tvCommands, &QTreeWidget::itemDoubleClicked, this, &TCommandButtonsPage::btnAddClick);
    tvCommands->installEventFilter(this);
    lbButtons->installEventFilter(this);
}

TCommandList& TCommandButtonsPage::commands() const {
    return *(m_bar == Bar::Directory ? m_config.dirButtons : m_config.fileButtons);
}

void TCommandButtonsPage::load(bool show) {
    tvCommands->clear();
    if (MenuTable* table = m_config.table) {
        const auto entries = table->entries();
        const MenuItem* menu = table->find(m_bar == Bar::Directory ? kDirectoryMenu : kFileMenu);
        std::function<void(QTreeWidgetItem*, const MenuItem&)> add = [&](QTreeWidgetItem* parent,
                                                                         const MenuItem& from) {
            for (const MenuItem& item : from.items) {
                if (item.isSeparator())
                    continue;
                QTreeWidgetItem* node =
                    parent ? new QTreeWidgetItem(parent, {q(PlainCaption(item.caption))})
                           : new QTreeWidgetItem(tvCommands, {q(PlainCaption(item.caption))});
                if (item.hasItems()) {
                    add(node, item);
                    continue;
                }
                for (size_t i = 0; i < entries.size(); ++i)
                    if (entries[i] == &item)
                        node->setData(0, kCommandRole, static_cast<int>(i));
                if (m_config.buttonImage)
                    node->setIcon(0, m_config.buttonImage(item));
            }
        };
        if (menu)
            add(nullptr, *menu);
    }
    showList();
    cbShowButtons->setChecked(show);
}

bool TCommandButtonsPage::showButtons() const {
    return cbShowButtons->isChecked();
}

void TCommandButtonsPage::showList() {
    lbButtons->clear();
    MenuTable* table = m_config.table;
    if (!table)
        return;
    const auto entries = table->entries();
    for (int command : commands().Commands()) {
        if (command < 0 || command >= static_cast<int>(entries.size()))
            continue;
        const MenuItem& item = *entries[static_cast<size_t>(command)];
        auto* row = new QListWidgetItem(q(MenuShortcuts::MenuPath(*table, item)), lbButtons);
        row->setData(kCommandRole, command);
        if (m_config.buttonImage)
            row->setIcon(m_config.buttonImage(item));
    }
}

void TCommandButtonsPage::btnAddClick() {
    const QTreeWidgetItem* leaf = tvCommands->currentItem();
    if (!leaf || !leaf->data(0, kCommandRole).isValid())
        return;
    if (commands().Add(leaf->data(0, kCommandRole).toInt())) {
        showList();
        lbButtons->setCurrentRow(lbButtons->count() - 1);
    }
    cbShowButtons->setChecked(true);
}

void TCommandButtonsPage::btnDelClick() {
    const int row = lbButtons->currentRow();
    if (row < 0)
        return;
    commands().Remove(row);
    showList();
    lbButtons->setCurrentRow(std::min(row, lbButtons->count() - 1));
    if (commands().Count() == 0)
        cbShowButtons->setChecked(false);
}

void TCommandButtonsPage::listReordered() {
    TCommandList& list = commands();
    list.Clear();
    for (int i = 0; i < lbButtons->count(); ++i)
        list.Add(lbButtons->item(i)->data(kCommandRole).toInt());
}

bool TCommandButtonsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier) {
            if (watched == tvCommands && key->key() == Qt::Key_A) {
                btnAddClick();
                return true;
            }
            if (watched == lbButtons && key->key() == Qt::Key_D) {
                btnDelClick();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
