#include "gui/config/tshortcutspage.h"

#include "config/menushortcuts.h"
#include "core/prompter.h"
#include "core/text.h"
#include "gui/config/toolsconfig.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thotkeyedit.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kEntryRole = Qt::UserRole;
constexpr const char* kTooMany = "The shortcut template holds more shortcuts than the menu has "
                                 "commands; the ones past the last command were left out.";

} // namespace

TShortCutsPage::TShortCutsPage(ToolsConfig& config, QWidget* parent)
    : QWidget(parent), m_config(config) {
    NameComponent(this, "tsShortCuts", "ShortCuts");
    auto* layout = new QHBoxLayout(this);
    tvShortCuts = new QTreeWidget(this);
    NameComponent(tvShortCuts, "tvShortCuts", "Menu commands");
    tvShortCuts->setHeaderHidden(true);
    layout->addWidget(tvShortCuts, 1);

    auto* side = new QVBoxLayout;
    auto* hintCaption = new QLabel("Hint:", this);
    NameComponent(hintCaption, "lbHintCaption", "Hint");
    lbHint = new QLabel(this);
    lbHint->setTextFormat(Qt::PlainText);
    NameComponent(lbHint, "lbHint", "Hint");
    lbHint->setWordWrap(true);
    lbHint->setMinimumWidth(180);
    auto* keyCaption = new QLabel("Shortcut:", this);
    NameComponent(keyCaption, "lbShortCutCaption", "Shortcut");
    hkShortCut = new THotKeyEdit(this);
    NameComponent(hkShortCut, "hkShortCut", "Shortcut");
    keyCaption->setBuddy(hkShortCut);
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        NameComponent(b, name, caption);
        b->setAutoDefault(false);
        return b;
    };
    btnSCModify = button("btnSCModify", "Modify");
    btnSCDefault = button("btnSCDefault", "Default");
    btnSCLoad = button("btnSCLoad", "Load");
    btnSCSave = button("btnSCSave", "Save");
    side->addWidget(hintCaption);
    side->addWidget(lbHint);
    side->addWidget(keyCaption);
    side->addWidget(hkShortCut);
    side->addWidget(btnSCModify);
    side->addWidget(btnSCDefault);
    side->addSpacing(12);
    side->addWidget(btnSCLoad);
    side->addWidget(btnSCSave);
    side->addStretch(1);
    layout->addLayout(side);

    connect(tvShortCuts, &QTreeWidget::currentItemChanged, this,
            &TShortCutsPage::tvShortCutsChange);
    connect(btnSCModify, &QPushButton::clicked, this, &TShortCutsPage::btnSCModifyClick);
    connect(btnSCDefault, &QPushButton::clicked, this, &TShortCutsPage::btnSCDefaultClick);
    connect(btnSCLoad, &QPushButton::clicked, this, &TShortCutsPage::btnSCLoadClick);
    connect(btnSCSave, &QPushButton::clicked, this, &TShortCutsPage::btnSCSaveClick);
    load();
}

void TShortCutsPage::addItems(QTreeWidgetItem* parent, MenuItem& menu) {
    const auto entries = m_config.table->entries();
    for (MenuItem& item : menu.items) {
        if (item.isSeparator())
            continue;
        auto* node = new QTreeWidgetItem(parent, {q(PlainCaption(item.caption))});
        node->setData(0, Qt::UserRole + 1, q(item.name));
        if (item.hasItems()) {
            addItems(node, item);
            continue;
        }
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == &item)
                node->setData(0, kEntryRole, static_cast<int>(i));
        if (m_config.commandImage)
            node->setIcon(0, m_config.commandImage(item));
    }
}

void TShortCutsPage::load() {
    tvShortCuts->clear();
    if (!m_config.table)
        return;
    for (MenuItem& top : m_config.table->mainMenu().items) {
        auto* root = new QTreeWidgetItem(tvShortCuts, {q(PlainCaption(top.caption))});
        root->setData(0, Qt::UserRole + 1, q(top.name));
        addItems(root, top);
    }
    tvShortCutsChange();
}

QTreeWidgetItem* TShortCutsPage::leafOf(const QString& name) const {
    QTreeWidgetItemIterator it(tvShortCuts);
    for (; *it; ++it)
        if ((*it)->data(0, Qt::UserRole + 1).toString() == name)
            return *it;
    return nullptr;
}

MenuItem* TShortCutsPage::currentEntry() const {
    const QTreeWidgetItem* node = tvShortCuts->currentItem();
    if (!node || !m_config.table || !node->data(0, kEntryRole).isValid())
        return nullptr;
    const auto entries = m_config.table->entries();
    const int index = node->data(0, kEntryRole).toInt();
    return index >= 0 && index < static_cast<int>(entries.size())
               ? entries[static_cast<size_t>(index)]
               : nullptr;
}

void TShortCutsPage::tvShortCutsChange() {
    const MenuItem* entry = currentEntry();
    lbHint->setText(entry ? q(entry->hint) : QString());
    hkShortCut->setHotKey(entry ? entry->shortcut : 0);
    hkShortCut->setEnabled(entry != nullptr);
    btnSCModify->setEnabled(entry != nullptr);
    btnSCDefault->setEnabled(entry != nullptr);
}

void TShortCutsPage::changed() {
    if (m_config.shortcutsChanged)
        m_config.shortcutsChanged();
    tvShortCutsChange();
}

void TShortCutsPage::btnSCModifyClick() {
    MenuItem* entry = currentEntry();
    if (!entry)
        return;
    const TShortCut key = hkShortCut->HotKey();
    const auto clashes = MenuShortcuts::Clashes(*m_config.table, *entry, key);
    if (!clashes.empty()) {
        if (!m_config.prompter || !m_config.prompter->askYesNo(MenuShortcuts::ClashQuestion(
                                      *m_config.table, key, clashes))) {
            hkShortCut->setHotKey(entry->shortcut);
            return;
        }
        // Two commands on one key would leave the key to neither.
        for (const MenuItem* other : clashes)
            const_cast<MenuItem*>(other)->shortcut = 0;
    }
    entry->shortcut = key;
    changed();
}

void TShortCutsPage::btnSCDefaultClick() {
    if (MenuItem* entry = currentEntry()) {
        entry->shortcut = entry->defaultShortcut;
        changed();
    }
}

void TShortCutsPage::btnSCLoadClick() {
    if (!m_config.chooseFile || !m_config.table)
        return;
    const QString path =
        m_config.chooseFile("Shortcut templates", "Shortcut templates (*.KBD *.kbd);;All files (*)",
                            q(platform::AppPaths::ProgramDir()), false);
    if (path.isEmpty())
        return;
    const auto content =
        platform::ReadWholeFile(path.toStdString(), MenuShortcuts::kTemplateReadLimit);
    if (!content)
        return;
    const std::vector<uint8_t> bytes(content->begin(), content->end());
    const auto result = MenuShortcuts::ApplyTemplate(bytes, *m_config.table);
    if (result == MenuShortcuts::TemplateResult::NotATemplate ||
        result == MenuShortcuts::TemplateResult::Corrupt)
        return;
    changed();
    if (result == MenuShortcuts::TemplateResult::TooMany)
        throw std::runtime_error(std::string(kTooMany) + " (" + path.toStdString() + ")");
}

void TShortCutsPage::btnSCSaveClick() {
    if (!m_config.chooseFile || !m_config.table)
        return;
    QString path = m_config.chooseFile(
        "Save shortcuts",
        "Shortcut templates (*.KBD *.kbd);;Shortcut reports (*.TXT *.txt);;All files (*)",
        q(platform::AppPaths::ProgramDir()), true);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".KBD";
    const bool report = QFileInfo(path).suffix().compare("TXT", Qt::CaseInsensitive) == 0;
    std::string content;
    if (report) {
        content = MenuShortcuts::Report(*m_config.table);
    } else {
        const auto bytes = MenuShortcuts::Template(*m_config.table);
        content.assign(bytes.begin(), bytes.end());
    }
    try {
        platform::WriteFileAtomically(path.toStdString(), content, 0644);
    } catch (const platform::FileWriteError&) {
        if (m_config.prompter)
            m_config.prompter->warn(MenuShortcuts::kCreateFailed);
        return;
    }
    if (report && m_config.viewFile)
        m_config.viewFile(path);
}

} // namespace zentrix
