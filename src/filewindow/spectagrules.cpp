#include "filewindow/spectagrules.h"

#include "core/text.h"

namespace zentrix {

SpecTagRules::SpecTagRules(std::string& selectionSpec) : m_spec(selectionSpec) {
    m_spec = std::string(kInitialText);
}

std::string SpecTagRules::Commit(std::string_view boxText) {
    m_spec = Trim(UpperCase(boxText));
    return m_spec;
}

} // namespace zentrix
