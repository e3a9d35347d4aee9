#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// Which top-level menus the menu bar holds, following the focus. "Directory" and
/// "File" carry the same single keys (T, U, D, M, R, E, F, I, Space ...), so the bar
/// never holds both once a window has had the focus: the keys act on the directory
/// while the tree has the focus and on the current file while the file window has
/// it. While an input box has the focus the three menus with single keys are off
/// the bar, so typing cannot fire them.
///
/// Menus are named by their component names ("miZentrix", "miDirectory", "miFile",
/// "miVolume", "miTools", "miHelp").
class MenuBarMakeUp {
public:
    /// The design-time bar: all six menus in their design order.
    MenuBarMakeUp();

    /// The directory tree gained the focus: "Directory" goes back directly after
    /// "Zentrix", "Volume" before "Tools", and "File" leaves.
    void TreeGainedFocus();
    /// The file window gained the focus: "Directory" leaves, "File" takes the place
    /// of "Volume" (or goes before "Tools"), and "Volume" leaves.
    void FileWindowGainedFocus();
    /// The file window lost the focus: "File" leaves.
    void FileWindowLostFocus();
    /// An input box of the main window gained (true) or lost (false) the focus.
    /// While one has it, Visible() lacks "Directory", "File" and "Volume"; the focus
    /// rules above still apply underneath, so losing the box's focus shows the bar
    /// the focus calls for.
    void SetInputBoxFocused(bool focused);
    bool InputBoxFocused() const { return m_inputBox; }

    /// The menus the focus calls for, in bar order (input boxes not considered).
    const std::vector<std::string>& Bar() const { return m_bar; }
    /// The menus the bar shows now, in order.
    std::vector<std::string> Visible() const;

    /// True for "Directory", "File" and "Volume".
    static bool HasSingleKeys(std::string_view menu);

private:
    bool contains(std::string_view menu) const;
    void insertAt(std::string_view before, std::string_view menu);
    void insertAfter(std::string_view after, std::string_view menu);
    void remove(std::string_view menu);

    std::vector<std::string> m_bar;
    bool m_inputBox = false;
};

} // namespace zentrix
