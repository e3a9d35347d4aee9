#pragma once

#include <QString>

class QWidget;

namespace zentrix {

/// Keeps a window's normal position, size and state (normal, maximised,
/// minimised) in the settings store, in the section `Section` (default: the
/// window's object name; the main window's is "MainForm").
class TPlacement {
public:
    QString IniFileName;
    QString Section;

    /// Applies the stored placement (defaults 0, 0, 630 x 470, normal). A window
    /// that would lie wholly off every screen is moved onto the primary one.
    void Restore(QWidget* window) const;
    /// Stores the window's normal rectangle and state; false (nothing written)
    /// when the window has no placement to give.
    bool Save(QWidget* window) const;

private:
    std::string section(const QWidget* window) const;
};

} // namespace zentrix
