#include "catalogue/loggeddisktabs.h"

#include "core/appstate.h"

#include <cctype>

namespace zentrix {
namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Raises the drive-switch flag for a change the program makes itself.
class SwitchGuard {
public:
    explicit SwitchGuard(AppState& s) : m_state(s), m_old(s.driveSwitch) { s.driveSwitch = true; }
    ~SwitchGuard() { m_state.driveSwitch = m_old; }

private:
    AppState& m_state;
    bool m_old;
};

} // namespace

void LoggedDiskTabs::Add(char letter) {
    letter = upper(letter);
    if (m_letters.find(letter) != std::string::npos)
        return;
    size_t pos = 0;
    while (pos < m_letters.size() && m_letters[pos] <= letter)
        ++pos;
    SwitchGuard guard(m_state);
    m_letters.insert(pos, 1, letter);
    m_active = static_cast<int>(pos);
    ++m_count;
    changed();
}

void LoggedDiskTabs::Remove(char letter) {
    const auto pos = m_letters.find(upper(letter));
    if (pos == std::string::npos)
        return;
    SwitchGuard guard(m_state);
    const char active = ActiveLetter();
    m_letters.erase(pos, 1);
    --m_count;
    if (m_letters.empty()) {
        m_active = -1;
    } else if (active == upper(letter)) {
        // A tab control keeps the same position active, clamped to the last tab.
        m_active = std::min(static_cast<int>(pos), static_cast<int>(m_letters.size()) - 1);
    } else {
        m_active = static_cast<int>(m_letters.find(active));
    }
    changed();
}

void LoggedDiskTabs::SetActive(char letter) {
    letter = upper(letter);
    if (ActiveLetter() == letter)
        return;
    const auto pos = m_letters.find(letter);
    if (pos == std::string::npos)
        return;
    SwitchGuard guard(m_state);
    m_active = static_cast<int>(pos);
    changed();
}

void LoggedDiskTabs::ActivateIndex(int index) {
    if (index < 0 || index >= static_cast<int>(m_letters.size()) || index == m_active)
        return;
    m_active = index;
    changed();
}

} // namespace zentrix
