#pragma once

#include <optional>
#include <string>

namespace zentrix {

/// The main window's side of loading and saving the settings: after the values
/// are read (and again after they are written) the settings are applied to the
/// windows through these calls, in this order.
class SettingsTarget {
public:
    enum class FontSlot { FileList, Tree, QuickView };

    virtual ~SettingsTarget() = default;

    /// Applies a stored font text ("Name,Size,Style,Pitch,Color"; empty: the
    /// window's design font) to the file window, the tree or the quick-view text.
    virtual void ApplyFont(FontSlot slot, const std::string& fontText) = 0;
    /// The font text of a window's current font, written by SaveSettings; empty
    /// when the window keeps its design font.
    virtual std::string CurrentFontText(FontSlot slot) = 0;
    /// Shows or hides the directory and file command button bars.
    virtual void ShowButtonBars(bool dirButtons, bool fileButtons) = 0;
    /// The tree's image list on or off.
    virtual void ShowTreeIcons(bool on) = 0;
    /// The file window's item height in pixels; none: from the font height.
    virtual void SetFileItemHeight(std::optional<int> pixels) = 0;
    /// The quick-view panel follows the QuickView setting.
    virtual void UpdateQuickViewPanel(bool quickView) = 0;
    /// Hints on the tools button bar.
    virtual void ShowToolHints(bool on) = 0;
    /// The command buttons come and go with the settings; they belong to the user
    /// tools and buttons, which do nothing here until those are built.
    virtual void LoadCommandButtons() {}
    virtual void SaveCommandButtons() {}
};

} // namespace zentrix
