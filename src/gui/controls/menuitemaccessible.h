#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace zentrix {

/// What assistive tools see of a menu item of the program's menus: its caption as a
/// person reads it (without "&" and without the key text after a tab), its
/// shortcut, and as description its component name when ZENTRIX_A11Y_IDS=1 is set
/// (its hint otherwise). Qt's own menu item interface offers the raw caption and no
/// description.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuItemAccessible(QAction* action);

    /// Marks `action` as an item of the program's menus, so that it gets this
    /// interface, and tells assistive tools of every later change of its check
    /// mark, availability and caption. Installs the interface factory on first
    /// use; a second call for the same item does nothing.
    static void Adopt(QAction* action);
    /// Adopts every item of `menu` and of its submenus.
    static void AdoptAll(QMenu* menu);
    /// Tells assistive tools that a menu bar item came (true) or went (false).
    static void NotifyShown(QAction* action, bool shown);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    /// The menu or menu bar that shows the item now; nullptr when none does (a
    /// top-level menu that is off the bar).
    QWidget* owner() const;
    QString keyText() const;

    QPointer<QAction> m_action;
};

/// True when ZENTRIX_A11Y_IDS=1 is set: components then carry their component name
/// as accessible description.
bool MenuComponentIdsWanted();

} // namespace zentrix
