#pragma once

#include <functional>
#include <string>

namespace zentrix {

class AppState;

/// The logged-disk tabs: one per logged disk, in letter order; the active one
/// is the current disk. Changes made by the program raise the drive-switch flag
/// around themselves so that the tab events they cause do nothing.
class LoggedDiskTabs {
public:
    explicit LoggedDiskTabs(AppState& state) : m_state(state) {}

    const std::string& Letters() const { return m_letters; }
    int Count() const { return m_count; }
    /// Index of the active tab, -1 when none.
    int ActiveIndex() const { return m_active; }
    char ActiveLetter() const { return m_active >= 0 ? m_letters[m_active] : 0; }

    /// Inserts the tab before the first greater letter and makes it active.
    void Add(char letter);
    void Remove(char letter);
    /// Makes the letter's tab active (nothing when it already is or is absent).
    void SetActive(char letter);
    /// Activates by index (a click on a tab), without the drive-switch flag.
    void ActivateIndex(int index);

    /// Runs after every change, so that the tab strip can redraw.
    std::function<void()> OnChanged;

private:
    void changed() {
        if (OnChanged)
            OnChanged();
    }
    AppState& m_state;
    std::string m_letters;
    int m_active = -1;
    int m_count = 0;
};

} // namespace zentrix
