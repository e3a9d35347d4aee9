#pragma once

namespace zentrix {

class TMainStatusBar;

/// Makes the program-drawn status line visible to assistive tools: the line
/// reports its four panels as children (the hint, the progress bar with its
/// value, "STOP" as a button that stops the running operation, the user name).
/// Installs the factory once.
void InstallStatusBarAccessibility();

/// The status line's panels, in order.
enum class StatusPanel { Hint = 0, Progress = 1, Stop = 2, User = 3 };

/// Tells assistive tools that a panel changed (its text, its value, or whether
/// "STOP" is shown).
void NotifyStatusPanelChanged(TMainStatusBar* bar, StatusPanel panel);

} // namespace zentrix
