#include "config/menubarmakeup.h"

#include "config/menutable.h"

#include <algorithm>

namespace zentrix {
namespace {
constexpr std::string_view kZentrixMenu = "miZentrix";
constexpr std::string_view kToolsMenu = "miTools";
constexpr std::string_view kHelpMenu = "miHelp";
} // namespace

MenuBarMakeUp::MenuBarMakeUp()
    : m_bar{std::string(kZentrixMenu), std::string(kDirectoryMenu), std::string(kFileMenu),
            std::string(kVolumeMenu),  std::string(kToolsMenu),     std::string(kHelpMenu)} {}

bool MenuBarMakeUp::HasSingleKeys(std::string_view menu) {
    return menu == kDirectoryMenu || menu == kFileMenu || menu == kVolumeMenu;
}

bool MenuBarMakeUp::contains(std::string_view menu) const {
    return std::find(m_bar.begin(), m_bar.end(), menu) != m_bar.end();
}

void MenuBarMakeUp::insertAt(std::string_view before, std::string_view menu) {
    auto at = std::find(m_bar.begin(), m_bar.end(), before);
    m_bar.insert(at, std::string(menu));
}

void MenuBarMakeUp::insertAfter(std::string_view after, std::string_view menu) {
    auto at = std::find(m_bar.begin(), m_bar.end(), after);
    m_bar.insert(at == m_bar.end() ? m_bar.begin() : at + 1, std::string(menu));
}

void MenuBarMakeUp::remove(std::string_view menu) {
    m_bar.erase(std::remove(m_bar.begin(), m_bar.end(), menu), m_bar.end());
}

void MenuBarMakeUp::TreeGainedFocus() {
    // "File" can only be in the bar here before any window had the focus (the design
    // bar holds all six menus); left there, its single keys would clash with those
    // of "Directory" and neither would work.
    remove(kFileMenu);
    if (!contains(kDirectoryMenu))
        insertAfter(kZentrixMenu, kDirectoryMenu);
    if (!contains(kVolumeMenu))
        insertAt(kToolsMenu, kVolumeMenu);
}

void MenuBarMakeUp::FileWindowGainedFocus() {
    remove(kDirectoryMenu);
    if (!contains(kFileMenu))
        insertAt(contains(kVolumeMenu) ? kVolumeMenu : kToolsMenu, kFileMenu);
    remove(kVolumeMenu);
}

void MenuBarMakeUp::FileWindowLostFocus() {
    remove(kFileMenu);
}

void MenuBarMakeUp::SetInputBoxFocused(bool focused) {
    m_inputBox = focused;
}

std::vector<std::string> MenuBarMakeUp::Visible() const {
    if (!m_inputBox)
        return m_bar;
    std::vector<std::string> visible;
    for (const auto& menu : m_bar)
        if (!HasSingleKeys(menu))
            visible.push_back(menu);
    return visible;
}

} // namespace zentrix
