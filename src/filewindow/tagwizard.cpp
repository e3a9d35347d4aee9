#include "filewindow/tagwizard.h"

#include "catalogue/typeddirectory.h"
#include "config/tenhinifile.h"
#include "core/prompter.h"
#include "core/text.h"
#include "platform/atomicfile.h"
#include "platform/collation.h"

namespace zentrix {

TagWizard::TagWizard(TEnhIniFile& store, Prompter& prompter)
    : m_store(store), m_prompter(prompter) {
    m_templates.Load(store);
    m_selectedTemplate = m_templates.Items.empty() ? -1 : 0;
}

bool TagWizard::FieldUsable(const std::string& text) {
    return text.find('|') == std::string::npos;
}

int TagWizard::findLine(const std::string& line) const {
    for (size_t i = 0; i < m_criteria.size(); ++i)
        if (EqualsIgnoreCase(m_criteria[i], line))
            return static_cast<int>(i);
    return -1;
}

std::optional<CriterionFields> TagWizard::SelectCriterion(int index,
                                                          const CriterionFields& current) {
    if (index < 0 || index >= static_cast<int>(m_criteria.size())) {
        m_selected = -1;
        return std::nullopt;
    }
    m_selected = index;
    return FieldsFromCriterion(TagCriterion::Parse(m_criteria[static_cast<size_t>(index)]),
                               current);
}

std::optional<CriterionFields> TagWizard::onDrive(const CriterionFields& fields) {
    if (!m_drives || !IsHostPathText(fields.directory))
        return fields;
    TypedDirectory dir = ResolveTypedDirectory(*m_drives, fields.directory, false);
    if (!dir.path) {
        m_prompter.warnWith("Directory does not exist!     ", dir.problem);
        return std::nullopt;
    }
    CriterionFields out = fields;
    out.directory = std::move(*dir.path);
    return out;
}

bool TagWizard::Add(const CriterionFields& typed) {
    if (Trim(typed.directory).empty())
        return false;
    const std::optional<CriterionFields> fields = onDrive(typed);
    if (!fields)
        return false;
    const TagCriterion c = CriterionFromFields(*fields);
    if (!FieldUsable(c.directory) || !FieldUsable(c.fileSpec) || !FieldUsable(c.age) ||
        !FieldUsable(c.size)) {
        m_prompter.beep();
        return false;
    }
    const std::string line = c.Line();
    if (const int at = findLine(line); at >= 0) {
        m_selected = at;
        return false;
    }
    // The list keeps itself sorted: a new line goes before the first greater one.
    size_t at = 0;
    while (at < m_criteria.size() && platform::CompareNamesIgnoreCase(m_criteria[at], line) <= 0)
        ++at;
    m_criteria.insert(m_criteria.begin() + static_cast<std::ptrdiff_t>(at), line);
    m_selected = static_cast<int>(at);
    return true;
}

bool TagWizard::Modify(const CriterionFields& typed) {
    if (typed.directory.empty())
        return false;
    const std::optional<CriterionFields> fields = onDrive(typed);
    if (!fields)
        return false;
    const TagCriterion c = CriterionFromFields(*fields);
    if (!FieldUsable(c.directory) || !FieldUsable(c.fileSpec) || !FieldUsable(c.age) ||
        !FieldUsable(c.size)) {
        m_prompter.beep();
        return false;
    }
    const std::string line = c.Line();
    if (const int at = findLine(line); at >= 0) {
        m_selected = at;
        return false;
    }
    if (m_selected < 0 || m_selected >= static_cast<int>(m_criteria.size()))
        return false;
    m_criteria[static_cast<size_t>(m_selected)] = line;
    return true;
}

void TagWizard::Delete() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_criteria.size()))
        return;
    m_criteria.erase(m_criteria.begin() + m_selected);
    if (m_criteria.empty())
        m_selected = -1;
    else
        m_selected = m_selected > 0 ? m_selected - 1 : 0;
}

void TagWizard::Clear() {
    m_criteria.clear();
    m_selected = -1;
}

void TagWizard::SelectTemplate(int index) {
    m_selectedTemplate =
        index >= 0 && index < static_cast<int>(m_templates.Items.size()) ? index : -1;
}

std::optional<std::string> TagWizard::LoadTemplate() {
    if (m_selectedTemplate < 0)
        return std::nullopt;
    const TTemplateClass& t = m_templates.Items[static_cast<size_t>(m_selectedTemplate)];
    m_criteria = t.Criteria;
    m_selected = m_criteria.empty() ? -1 : 0;
    return t.Name;
}

bool TagWizard::saveTemplates() {
    try {
        m_templates.Save(m_store);
        m_store.UpdateFile();
        return true;
    } catch (const platform::FileWriteError& e) {
        m_prompter.error(e.what(), "Error");
        return false;
    }
}

bool TagWizard::nameUsable(const std::string& name, int except) {
    const int other = m_templates.IndexOf(name);
    if (other >= 0 && other != except) {
        m_prompter.warn(kTemplateExists);
        return false;
    }
    if (!m_templates.UsableName(m_store, name, except)) {
        m_prompter.warn(kTemplateNameTaken);
        return false;
    }
    return true;
}

bool TagWizard::AddTemplate(const std::string& nameBox) {
    const std::string name = Trim(nameBox);
    if (name.empty()) {
        m_prompter.warn(kTemplateNeedsName);
        return false;
    }
    if (!nameUsable(name, -1))
        return false;
    m_templates.Items.push_back({name, m_criteria});
    if (m_selectedTemplate < 0)
        m_selectedTemplate = 0;
    saveTemplates();
    return true;
}

bool TagWizard::ApplyTemplate(const std::string& nameBox) {
    const std::string name = Trim(nameBox);
    if (m_selectedTemplate < 0 || name.empty())
        return false;
    if (!nameUsable(name, m_selectedTemplate))
        return false;
    TTemplateClass& t = m_templates.Items[static_cast<size_t>(m_selectedTemplate)];
    t.Name = name;
    t.Criteria = m_criteria;
    saveTemplates();
    return true;
}

void TagWizard::DeleteTemplate() {
    if (m_selectedTemplate < 0)
        return;
    m_templates.Items.erase(m_templates.Items.begin() + m_selectedTemplate);
    const int count = static_cast<int>(m_templates.Items.size());
    m_selectedTemplate = count == 0 ? -1 : std::min(m_selectedTemplate, count - 1);
    saveTemplates();
}

} // namespace zentrix
