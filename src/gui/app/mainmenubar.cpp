#include "gui/app/mainmenubar.h"

#include "gui/controls/menuitemaccessible.h"
#include "gui/controls/shortcutkeys.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace zentrix {
namespace {

const char* const kCommandProperty = "command";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

/// Object name, accessible name (the caption as read) and, for tools that drive the
/// program, the component name as accessible description.
void NameMenuWidget(QWidget* widget, const std::string& name, const std::string& caption) {
    widget->setObjectName(Q(name));
    widget->setAccessibleName(Q(PlainCaption(caption)));
    if (MenuComponentIdsWanted())
        widget->setAccessibleDescription(Q(name));
}

// Keys that type text into a box: no Ctrl or Alt, and a letter, digit,
// punctuation key, the space bar or a key of the numeric pad.
bool TypesCharacter(TShortCut shortCut) {
    if (shortCut == 0 || (shortCut & (scCtrl | scAlt)))
        return false;
    const auto key = static_cast<std::uint8_t>(shortCut & 0xFF);
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == vk::Space ||
           (key >= vk::Numpad0 && key <= vk::Divide) ||
           (key >= vk::OemSemicolon && key <= vk::OemBackquote) ||
           (key >= vk::OemOpenBracket && key <= vk::OemQuote);
}

void CollectActions(QMenu* menu, QList<QAction*>& into) {
    for (QAction* a : menu->actions()) {
        into.append(a);
        if (a->menu())
            CollectActions(a->menu(), into);
    }
}

} // namespace

MainMenuBar::MainMenuBar(QMainWindow* window)
    : QObject(window), m_window(window), m_table(MenuTable::Default()) {
    m_bar = new QMenuBar(window);
    MenuItem& root = m_table.mainMenu();
    NameMenuWidget(m_bar, root.name, root.caption);
    for (MenuItem& top : root.items) {
        auto* menu = new QMenu(Q(top.caption), window);
        NameMenuWidget(menu, top.name, top.caption);
        m_menus.insert(Q(top.name), menu);
        for (MenuItem& item : top.items)
            buildInto(menu, item);
        setUpAction(menu->menuAction(), top, Mode::Item);
        m_bar->addAction(menu->menuAction());
        watchMenu(menu);
    }
    window->setMenuBar(m_bar);

    for (MenuItem& popup : m_table.popups()) {
        auto* menu = new QMenu(Q(popup.caption), window);
        NameMenuWidget(menu, popup.name, popup.caption);
        m_menus.insert(Q(popup.name), menu);
        for (MenuItem& item : popup.items)
            buildInto(menu, item);
        watchMenu(menu);
    }
}

QMenu* MainMenuBar::menu(const QString& name) const {
    return m_menus.value(name);
}

QAction* MainMenuBar::action(const QString& name) const {
    return m_actions.value(name);
}

void MainMenuBar::buildInto(QMenu* parent, MenuItem& item) {
    if (item.isSeparator()) {
        MenuItemAccessible::Adopt(parent->addSeparator());
        return;
    }
    if (item.hasItems()) {
        auto* sub = new QMenu(Q(item.caption), parent);
        NameMenuWidget(sub, item.name, item.caption);
        m_menus.insert(Q(item.name), sub);
        for (MenuItem& child : item.items)
            buildInto(sub, child);
        setUpAction(parent->addMenu(sub), item, Mode::Item);
        return;
    }
    auto* action = new QAction(Q(item.caption), parent);
    parent->addAction(action);
    setUpAction(action, item, Mode::Item);
}

void MainMenuBar::setUpAction(QAction* action, const MenuItem& item, Mode mode) {
    if (mode == Mode::Item && !item.name.empty()) {
        action->setObjectName(Q(item.name));
        m_actions.insert(Q(item.name), action);
        if (!item.hasItems())
            action->setShortcuts(KeySequencesOf(item.shortcut));
    }
    action->setStatusTip(Q(item.hint));
    action->setProperty(kCommandProperty, Q(item.command));
    if (!item.command.empty()) {
        m_commandActions[item.command].emplace_back(action);
        connect(action, &QAction::triggered, this,
                [this, command = item.command] { runCommand(command); });
    }
    connect(action, &QAction::hovered, this,
            [this, action] { emit hintChanged(action->statusTip()); });
    MenuItemAccessible::Adopt(action);
    updateEnabled(action);
}

void MainMenuBar::watchMenu(QMenu* menu) {
    connect(menu, &QMenu::aboutToHide, this, [this] { emit hintChanged(QString()); });
    // Items added to a menu later (the recent directories, the window's own
    // switches) reach assistive tools as the table's items do.
    connect(menu, &QMenu::aboutToShow, menu, [menu] { MenuItemAccessible::AdoptAll(menu); });
}

void MainMenuBar::updateEnabled(QAction* action) {
    const std::string command = action->property(kCommandProperty).toString().toStdString();
    // An item that only opens its sub-items is always usable; any other item only
    // while its command has a handler.
    action->setEnabled(action->menu() != nullptr || hasCommand(command));
}

// --- commands ---------------------------------------------------------------------

void MainMenuBar::registerCommand(const std::string& command, std::function<void()> handler) {
    if (command.empty())
        return;
    if (handler)
        m_handlers[command] = std::move(handler);
    else
        m_handlers.erase(command);
    if (auto it = m_commandActions.find(command); it != m_commandActions.end())
        for (const auto& action : it->second)
            if (action)
                updateEnabled(action);
}

void MainMenuBar::unregisterCommand(const std::string& command) {
    registerCommand(command, {});
}

bool MainMenuBar::hasCommand(const std::string& command) const {
    return !command.empty() && m_handlers.count(command) != 0;
}

QList<QAction*> MainMenuBar::actionsOf(const std::string& command) const {
    QList<QAction*> actions;
    if (auto it = m_commandActions.find(command); it != m_commandActions.end())
        for (const auto& action : it->second)
            if (action)
                actions.append(action);
    return actions;
}

bool MainMenuBar::runCommand(const std::string& command) {
    auto it = m_handlers.find(command);
    if (it == m_handlers.end())
        return false;
    // A copy: the handler may register or unregister commands while it runs.
    const std::function<void()> handler = it->second;
    handler();
    return true;
}

// --- start-up ---------------------------------------------------------------------

void MainMenuBar::applyStartupCaptions() {
    ApplyStartupCaptions(m_table);
    for (const char* name : {"miNextDisk", "miPrevDisk", "miLogDisk"})
        if (QAction* a = action(QLatin1String(name)))
            if (const MenuItem* item = m_table.find(name))
                a->setText(Q(item->caption));
}

void MainMenuBar::copyCommandMenus() {
    if (m_copied)
        return;
    m_copied = true;
    copyInto(QStringLiteral("pmiDirCommands"), kDirectoryMenu);
    copyInto(QStringLiteral("pmiFileCommands"), kFileMenu);
}

void MainMenuBar::copyInto(const QString& target, std::string_view source) {
    QAction* targetAction = action(target);
    const MenuItem* sourceMenu = m_table.find(source);
    const MenuItem* targetItem = m_table.find(target.toStdString());
    if (!targetAction || !sourceMenu || !targetItem)
        return;
    auto* parent = qobject_cast<QMenu*>(targetAction->parent());
    auto* sub = new QMenu(targetAction->text(), parent ? static_cast<QWidget*>(parent) : m_window);
    NameMenuWidget(sub, targetItem->name, targetItem->caption);
    m_menus.insert(target, sub);
    copyItems(sub, *sourceMenu);
    targetAction->setMenu(sub);
    updateEnabled(targetAction);
}

void MainMenuBar::copyItems(QMenu* into, const MenuItem& source) {
    for (const MenuItem& item : source.items) {
        if (item.isSeparator()) {
            MenuItemAccessible::Adopt(into->addSeparator());
            continue;
        }
        QAction* copy = nullptr;
        if (item.hasItems()) {
            auto* sub = new QMenu(Q(item.caption), into);
            sub->setAccessibleName(Q(PlainCaption(item.caption)));
            copyItems(sub, item);
            copy = into->addMenu(sub);
        } else {
            copy = new QAction(Q(item.caption), into);
            into->addAction(copy);
        }
        setUpAction(copy, item, Mode::Copy);
    }
}

void MainMenuBar::bindPopupShortcuts(const QString& popup, QWidget* owner) {
    QMenu* menu = this->menu(popup);
    if (!menu || !owner)
        return;
    QList<QAction*> actions;
    CollectActions(menu, actions);
    for (QAction* a : actions) {
        if (a->shortcut().isEmpty())
            continue;
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner->addAction(a);
    }
}

// --- menu bar make-up ------------------------------------------------------------------

void MainMenuBar::treeGainedFocus() {
    m_makeUp.TreeGainedFocus();
    updateBar();
}

void MainMenuBar::fileWindowGainedFocus() {
    m_makeUp.FileWindowGainedFocus();
    updateBar();
}

void MainMenuBar::fileWindowLostFocus() {
    m_makeUp.FileWindowLostFocus();
    updateBar();
}

void MainMenuBar::inputBoxFocused(bool focused) {
    m_makeUp.SetInputBoxFocused(focused);
    updateBar();
}

QStringList MainMenuBar::barMenus() const {
    QStringList names;
    if (!m_bar)
        return names;
    for (QAction* a : m_bar->actions())
        names.append(a->objectName());
    return names;
}

void MainMenuBar::updateBar() {
    if (!m_bar)
        return;
    if (m_singleKeysSuspended != m_makeUp.InputBoxFocused())
        applyShortcuts();
    QList<QAction*> wanted;
    for (const std::string& name : m_makeUp.Visible())
        if (QMenu* m = menu(Q(name)))
            wanted.append(m->menuAction());
    if (m_bar->actions() == wanted)
        return;
    // A menu taken off the bar has no widget left that shows it, so Qt no longer
    // fires the shortcuts of its items.
    const QList<QAction*> before = m_bar->actions();
    for (QAction* a : before)
        if (!wanted.contains(a))
            m_bar->removeAction(a);
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const QList<QAction*> current = m_bar->actions();
        if (i < current.size() && current[i] == wanted[i])
            continue;
        m_bar->insertAction(i < current.size() ? current[i] : nullptr, wanted[i]);
    }
    // Assistive tools keep what they were told: the menus that went and came
    // are told, and the bar's children anew.
    for (QAction* a : before)
        if (!wanted.contains(a))
            MenuItemAccessible::NotifyShown(a, false);
    for (QAction* a : wanted)
        if (!before.contains(a))
            MenuItemAccessible::NotifyShown(a, true);
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(m_bar, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    emit barChanged();
}

void MainMenuBar::followFocus(QWidget* tree, QWidget* fileWindow) {
    m_tree = tree;
    m_fileWindow = fileWindow;
    m_lastFocus = QApplication::focusWidget();
    if (m_following)
        return;
    m_following = true;
    connect(qApp, &QApplication::focusChanged, this, &MainMenuBar::onFocusChanged);
}

void MainMenuBar::addInputBox(QWidget* box) {
    if (box)
        m_inputBoxes.emplace_back(box);
}

bool MainMenuBar::isInputBox(QWidget* widget) const {
    if (!widget || widget->window() != m_window)
        return false;
    for (const auto& box : m_inputBoxes)
        if (box && (box == widget || box->isAncestorOf(widget)))
            return true;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return !edit->isReadOnly();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->isEditable();
    if (qobject_cast<QAbstractSpinBox*>(widget))
        return true;
    if (auto* text = qobject_cast<QTextEdit*>(widget))
        return !text->isReadOnly();
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
        return !text->isReadOnly();
    return false;
}

void MainMenuBar::onFocusChanged(QWidget*, QWidget* now) {
    // No widget of the program has the focus while another program is active, and a
    // drop-down list holds it only while it is open; either way the focus comes back,
    // so the bar stays as it is.
    if (!now || now->window()->windowType() == Qt::Popup)
        return;
    QWidget* previous = m_lastFocus;
    m_lastFocus = now;
    if (previous && previous == m_fileWindow && now != m_fileWindow)
        m_makeUp.FileWindowLostFocus();
    m_makeUp.SetInputBoxFocused(isInputBox(now));
    if (now == m_tree)
        m_makeUp.TreeGainedFocus();
    else if (now == m_fileWindow)
        m_makeUp.FileWindowGainedFocus();
    updateBar();
}

// --- shortcuts and hints -------------------------------------------------------------

QKeySequence MainMenuBar::shortcutOf(const std::string& command, std::string_view within) const {
    return KeySequencesOf(m_table.shortcutOf(command, within)).value(0);
}

void MainMenuBar::applyShortcuts() {
    // While a text box has the focus, a key that types a character belongs to the
    // box: the menus that stay on the bar give up such shortcuts until it loses it.
    m_singleKeysSuspended = m_makeUp.InputBoxFocused();
    m_table.forEach([this](const MenuItem& item) {
        if (item.name.empty() || item.hasItems())
            return;
        if (QAction* a = action(Q(item.name)))
            a->setShortcuts(KeySequencesOf(
                m_singleKeysSuspended && TypesCharacter(item.shortcut) ? 0 : item.shortcut));
    });
}

QString MainMenuBar::commandButtonHint(const QString& itemName) const {
    const MenuItem* item = m_table.find(itemName.toStdString());
    return item ? Q(CommandButtonHint(item->hint, item->shortcut)) : QString();
}

} // namespace zentrix
