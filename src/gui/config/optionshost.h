#pragma once

namespace zentrix {

struct Settings;

/// What the options dialog asks of the main window besides loading and saving the
/// settings.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    /// The file window's description column follows the setting (first step of
    /// OK): a "Description" section is added or the sixth removed, and a sort by
    /// description falls back to the name.
    virtual void ApplyDescriptionColumn(bool show) = 0;
    /// After OK saved the settings: the reversed-sort menu items, sorting the file
    /// window again, the command line panel, the memory status, the viewer's hex
    /// choice, the tools menu and bars, the tool hints.
    virtual void ApplyConfirmedOptions(const Settings& settings) = 0;
    /// The menu shortcuts, saved with the settings and reloaded on Cancel; they
    /// belong to the user tools and buttons, which do nothing here until built.
    virtual void SaveMenuShortcuts() {}
    virtual void ReloadMenuShortcuts() {}
    /// Opens a help topic; `popup` for the context help of "What is this?".
    virtual void ShowHelpTopic(int topic, bool popup) = 0;
};

} // namespace zentrix
