#include "gui/config/ttoolspage.h"

#include "catalogue/filetypedescription.h"
#include "gui/config/toolsconfig.h"
#include "gui/controls/a11y.h"
#include "gui/controls/tradiogroup.h"
#include "platform/fileprobe.h"
#include "platform/mimetypes.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& text) {
    return text.toStdString();
}

enum Role { kCmdLine = Qt::UserRole, kHint, kIconFile, kIconNum, kRunType };
// Run types by the radio group's index.
constexpr int kRunTypes[] = {1, 6, 3};

int runTypeIndex(int runType) {
    for (int i = 0; i < 3; ++i)
        if (kRunTypes[i] == runType)
            return i;
    return 0;
}

} // namespace

TToolsPage::TToolsPage(ToolsConfig& config, QWidget* parent) : QWidget(parent), m_config(config) {
    NameComponent(this, "tsTools", "Tools");
    auto* layout = new QVBoxLayout(this);

    lvTools = new QTreeWidget(this);
    NameComponent(lvTools, "lvTools", "User tools");
    lvTools->setColumnCount(2);
    lvTools->setHeaderLabels({"Command line", "Hint"});
    lvTools->header()->resizeSection(0, 250);
    lvTools->header()->resizeSection(1, 1000);
    lvTools->setRootIsDecorated(false);
    lvTools->setDragDropMode(QAbstractItemView::InternalMove);
    lvTools->setDefaultDropAction(Qt::MoveAction);
    layout->addWidget(lvTools, 1);

    auto* grid = new QGridLayout;
    auto label = [this, grid](const char* name, const QString& caption, QWidget* buddy, int row) {
        auto* l = new QLabel(caption, this);
        NameComponent(l, name, QString(caption).remove('&').remove(':'));
        l->setBuddy(buddy);
        grid->addWidget(l, row, 0);
    };
    auto ellipsis = [this](const char* name, const QString& accessible) {
        auto* b = new QToolButton(this);
        NameComponent(b, name, accessible);
        b->setText("...");
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    edToolCmdLine = new QLineEdit(this);
    NameComponent(edToolCmdLine, "edToolCmdLine", "Command line");
    edToolCmdLine->setToolTip("Program and parameters: %f file, %n name, %d directory, "
                              "%t tagged files (F2 to browse) ...");
    sbToolCmdLine = ellipsis("sbToolCmdLine", "Browse for a program");
    label("lbToolCmdLine", "&Command line:", edToolCmdLine, 0);
    grid->addWidget(edToolCmdLine, 0, 1);
    grid->addWidget(sbToolCmdLine, 0, 2);

    edToolIconFile = new QLineEdit(this);
    NameComponent(edToolIconFile, "edToolIconFile", "Icon file");
    edToolIconFile->setToolTip("Icon file, or the name of an icon of the desktop's theme ...");
    sbToolIconFile = ellipsis("sbToolIconFile", "Browse for an icon file");
    seToolIconNum = new QSpinBox(this);
    NameComponent(seToolIconNum, "seToolIconNum", "Icon number");
    seToolIconNum->setRange(0, 9999);
    label("lbToolIconFile", "&Icon file:", edToolIconFile, 1);
    auto* iconRow = new QHBoxLayout;
    iconRow->addWidget(edToolIconFile, 1);
    iconRow->addWidget(sbToolIconFile);
    iconRow->addWidget(seToolIconNum);
    grid->addLayout(iconRow, 1, 1, 1, 2);

    edToolHint = new QLineEdit(this);
    NameComponent(edToolHint, "edToolHint", "Hint");
    label("lbToolHint", "&Hint:", edToolHint, 2);
    grid->addWidget(edToolHint, 2, 1, 1, 2);
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    rgToolRunType = new TRadioGroup(" Run ", {"&Normal", "Minimi&zed", "Ma&ximized"}, this);
    NameComponent(rgToolRunType, "rgToolRunType", "Run");
    rgToolRunType->SetItemIndex(0);
    row->addWidget(rgToolRunType);
    auto* buttons = new QVBoxLayout;
    btnToolAdd = new QPushButton("&Add", this);
    NameComponent(btnToolAdd, "btnToolAdd", "Add");
    btnToolModify = new QPushButton("&Modify", this);
    NameComponent(btnToolModify, "btnToolModify", "Modify");
    btnToolDelete = new QPushButton("&Delete", this);
    NameComponent(btnToolDelete, "btnToolDelete", "Delete");
    for (QPushButton* b : {btnToolAdd, btnToolModify, btnToolDelete}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    row->addLayout(buttons);
    row->addStretch(1);
    layout->addLayout(row);
    cbShowToolTips = new QCheckBox("Show tool &tips", this);
    NameComponent(cbShowToolTips, "cbShowToolTips", "Show tool tips");
    layout->addWidget(cbShowToolTips);

    connect(btnToolAdd, &QPushButton::clicked, this, &TToolsPage::btnToolAddClick);
    connect(btnToolModify, &QPushButton::clicked, this, &TToolsPage::btnToolModifyClick);
    connect(btnToolDelete, &QPushButton::clicked, this, &TToolsPage::btnToolDeleteClick);
    connect(lvTools, &QTreeWidget::itemClicked, this, &TToolsPage::lvToolsClick);
    connect(lvTools, &QTreeWidget::currentItemChanged, this, &TToolsPage::lvToolsClick);
    connect(sbToolCmdLine, &QToolButton::clicked, this, &TToolsPage::sbToolCmdLineClick);
    connect(sbToolIconFile, &QToolButton::clicked, this, &TToolsPage::sbToolIconFileClick);
    connect(edToolCmdLine, &QLineEdit::textChanged, this, &TToolsPage::updateButtons);
    connect(edToolIconFile, &QLineEdit::textChanged, this, &TToolsPage::updateButtons);
    edToolCmdLine->installEventFilter(this);
    edToolIconFile->installEventFilter(this);
    updateButtons();
}

void TToolsPage::setItem(QTreeWidgetItem* item, const TToolClass& tool) {
    item->setText(0, q(tool.ToolCmdLine));
    item->setText(1, q(tool.ToolHint));
    item->setData(0, kCmdLine, q(tool.ToolCmdLine));
    item->setData(0, kHint, q(tool.ToolHint));
    item->setData(0, kIconFile, q(tool.ToolIconFileNm));
    item->setData(0, kIconNum, tool.ToolIconNum);
    item->setData(0, kRunType, tool.ToolRunType);
    if (m_config.toolIcon)
        item->setIcon(0, m_config.toolIcon(tool));
    // Only whole rows move: a tool is never dropped into another.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
}

void TToolsPage::load(const TToolList& tools, bool showTips) {
    lvTools->clear();
    for (const TToolClass& tool : tools.Items)
        setItem(new QTreeWidgetItem(lvTools), tool);
    cbShowToolTips->setChecked(showTips);
    updateButtons();
}

TToolList TToolsPage::tools() const {
    TToolList list;
    for (int i = 0; i < lvTools->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvTools->topLevelItem(i);
        TToolClass t;
        t.ToolCmdLine = s(item->data(0, kCmdLine).toString());
        t.ToolHint = s(item->data(0, kHint).toString());
        t.ToolIconFileNm = s(item->data(0, kIconFile).toString());
        t.ToolIconNum = item->data(0, kIconNum).toInt();
        t.ToolRunType = item->data(0, kRunType).toInt();
        list.Items.push_back(std::move(t));
    }
    return list;
}

bool TToolsPage::showToolTips() const {
    return cbShowToolTips->isChecked();
}

TToolClass TToolsPage::fromFields() const {
    TToolClass t;
    t.ToolCmdLine = s(edToolCmdLine->text().trimmed());
    t.ToolHint = s(edToolHint->text());
    t.ToolIconFileNm = s(edToolIconFile->text().trimmed());
    t.ToolIconNum = seToolIconNum->value();
    t.ToolRunType = kRunTypes[std::max(0, rgToolRunType->ItemIndex())];
    return t;
}

void TToolsPage::showTool(const TToolClass& t) {
    edToolCmdLine->setText(q(t.ToolCmdLine));
    edToolIconFile->setText(q(t.ToolIconFileNm));
    seToolIconNum->setValue(t.ToolIconNum);
    edToolHint->setText(q(t.ToolHint));
    rgToolRunType->SetItemIndex(runTypeIndex(t.ToolRunType));
}

void TToolsPage::updateButtons() {
    // A tool must name a program that can be started.
    const ToolCommand cmd = SplitToolCommand(s(edToolCmdLine->text()), m_config.probe);
    const bool usable = !cmd.program.empty() && m_config.probe.programExists(cmd.program);
    btnToolAdd->setEnabled(usable);
    btnToolModify->setEnabled(usable && lvTools->currentItem() != nullptr);
    btnToolDelete->setEnabled(lvTools->currentItem() != nullptr);
}

void TToolsPage::btnToolAddClick() {
    if (!btnToolAdd->isEnabled())
        return;
    auto* item = new QTreeWidgetItem(lvTools);
    setItem(item, fromFields());
    lvTools->setCurrentItem(item);
    updateButtons();
}

void TToolsPage::btnToolModifyClick() {
    QTreeWidgetItem* item = lvTools->currentItem();
    if (!item || !btnToolModify->isEnabled())
        return;
    setItem(item, fromFields());
}

void TToolsPage::btnToolDeleteClick() {
    delete lvTools->currentItem();
    updateButtons();
}

void TToolsPage::lvToolsClick() {
    if (QTreeWidgetItem* item = lvTools->currentItem()) {
        TToolClass t;
        t.ToolCmdLine = s(item->data(0, kCmdLine).toString());
        t.ToolHint = s(item->data(0, kHint).toString());
        t.ToolIconFileNm = s(item->data(0, kIconFile).toString());
        t.ToolIconNum = item->data(0, kIconNum).toInt();
        t.ToolRunType = item->data(0, kRunType).toInt();
        showTool(t);
    }
    updateButtons();
}

void TToolsPage::sbToolCmdLineClick() {
    if (!m_config.chooseFile)
        return;
    const ToolCommand current = SplitToolCommand(s(edToolCmdLine->text()), m_config.probe);
    const QString chosen =
        m_config.chooseFile("Programs", "Programs (*);;All files (*)", q(current.program), false);
    if (chosen.isEmpty())
        return;
    // A path with blanks is quoted, so that it stays the program part.
    edToolCmdLine->setText(chosen.contains(' ') ? '"' + chosen + '"' : chosen);
    std::string hint = VersionResourceDescription(s(chosen));
    if (hint.empty()) {
        hint = platform::RegisteredTypeDescription(s(QFileInfo(chosen).fileName()));
        // "comment (type/name)": the comment is the type's name for people.
        if (const size_t paren = hint.rfind(" ("); paren != std::string::npos)
            hint.erase(paren);
    }
    edToolHint->setText(q(hint));
    edToolIconFile->setText(chosen);
    seToolIconNum->setValue(0);
}

void TToolsPage::sbToolIconFileClick() {
    if (!m_config.chooseFile)
        return;
    const QString chosen =
        m_config.chooseFile("Icon files", "Icon files (*.ico *.png *.svg *.xpm);;All files (*)",
                            edToolIconFile->text(), false);
    if (!chosen.isEmpty())
        edToolIconFile->setText(chosen);
}

bool TToolsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            if (watched == edToolCmdLine)
                sbToolCmdLineClick();
            else
                sbToolIconFileClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentrix
