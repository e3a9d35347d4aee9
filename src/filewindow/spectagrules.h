#pragma once

#include <string>
#include <string_view>

namespace zentrix {

/// The rules of the special-tag dialog (TSpecTagForm), apart from its widgets:
/// what its box's committed text becomes and when "&OK" may be pressed. The
/// selection specification is program-wide (it belongs to Tagging); the
/// dialog works on it for as long as it is open.
class SpecTagRules {
public:
    /// The dialog is being created: the box shows "*.*" and so does the
    /// selection specification.
    explicit SpecTagRules(std::string& selectionSpec);

    static constexpr std::string_view kInitialText = "*.*";

    /// "&OK" is enabled only while the box holds text.
    static bool OkEnabled(std::string_view boxText) { return !boxText.empty(); }
    /// Enter in the box with its list closed closes the dialog as "&OK" does,
    /// so it does so only when "&OK" could be pressed.
    static bool EnterAccepts(std::string_view boxText, bool listOpen) {
        return !listOpen && OkEnabled(boxText);
    }

    /// The box's text was committed (the choice check, Enter, "&OK"): it is
    /// upper-cased and trimmed, becomes the selection specification, and is
    /// returned to be put back into the box.
    std::string Commit(std::string_view boxText);

    const std::string& SelectionSpec() const { return m_spec; }

private:
    std::string& m_spec;
};

} // namespace zentrix
