#include "gui/controls/assistivetools.h"

#include <QAccessible>

namespace zentrix {
namespace {

AccessibilityListener g_listener = nullptr; // the GUI thread's only

} // namespace

AccessibilityListener SetAccessibilityListener(AccessibilityListener listener) {
    const AccessibilityListener before = g_listener;
    g_listener = listener;
    return before;
}

bool AssistiveToolsListening() {
    return g_listener || QAccessible::isActive();
}

void TellAssistiveTools(QAccessibleEvent* event) {
    if (QAccessible::isActive())
        QAccessible::updateAccessibility(event);
    if (g_listener)
        g_listener(event);
}

} // namespace zentrix
