#pragma once

class QAccessibleEvent;

namespace zentrix {

/// What assistive tools hear goes through Qt's accessibility, which the
/// platform switches on when a screen reader listens. A platform without
/// accessibility of its own (offscreen) never switches it on; there a listener
/// in the process (a test, a benchmark) may stand in for the screen reader and
/// hear the events the program sends through TellAssistiveTools.
using AccessibilityListener = void (*)(QAccessibleEvent* event);

/// Installs the listener (null takes it away); returns the one before.
AccessibilityListener SetAccessibilityListener(AccessibilityListener listener);

/// True while assistive tools listen: Qt's accessibility is on, or a listener
/// is installed. Work done only for them is skipped otherwise.
bool AssistiveToolsListening();

/// Tells assistive tools of an event: through Qt while its accessibility is
/// on, and to the listener when one is installed.
void TellAssistiveTools(QAccessibleEvent* event);

} // namespace zentrix
