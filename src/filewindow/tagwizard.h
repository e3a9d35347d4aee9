#pragma once

#include "filewindow/tagcriterion.h"
#include "filewindow/ttemplatelist.h"

#include <optional>
#include <string>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class Prompter;
class TEnhIniFile;

/// The rules of the tag wizard's two pages, without the window: the criteria
/// list (kept in sorted order as it grows, each line once), the templates, and
/// which of each is selected. The window shows what this holds and hands the
/// controls' values in as CriterionFields.
class TagWizard {
public:
    /// `store` keeps the templates; they are loaded at once.
    TagWizard(TEnhIniFile& store, Prompter& prompter);

    /// The drive table through which a directory typed as a host path ("/srv",
    /// "~/x") becomes a catalogue path; without one it is kept as typed.
    void SetDrives(const platform::DriveTable* drives) { m_drives = drives; }

    // --- criteria ("&Settings") -----------------------------------------------------
    const std::vector<std::string>& Criteria() const { return m_criteria; }
    int SelectedCriterion() const { return m_selected; }
    /// Selects a criterion (-1: none); the fields to show come back for a valid one.
    std::optional<CriterionFields> SelectCriterion(int index, const CriterionFields& current);

    /// "&Add": nothing with an empty directory; a line already in the list
    /// (compared without regard to case) is selected, otherwise the line goes in
    /// at its sorted place and is selected. A host path that no drive holds is
    /// refused with "Directory does not exist!     " and the reason. False when
    /// nothing was added.
    bool Add(const CriterionFields& fields);
    /// "&Modify": the selected criterion is replaced at its place, unless the
    /// line is in the list already (it is selected then) or the directory is empty.
    bool Modify(const CriterionFields& fields);
    /// "&Delete": the one before becomes selected (the first when it was first).
    void Delete();
    /// "C&lear".
    void Clear();

    // --- templates ("&Templates") ------------------------------------------------------
    const TTemplateList& Templates() const { return m_templates; }
    int SelectedTemplate() const { return m_selectedTemplate; }
    void SelectTemplate(int index);
    /// "&Load": the criteria become a copy of the selected template's; the name
    /// comes back for the name box and the first criterion is selected.
    std::optional<std::string> LoadTemplate();
    /// "&Add" with the name box's text. Refused with a message for an empty
    /// name, a name in use by another template, or a name another part of the
    /// settings keeps its section under. Saves all templates.
    bool AddTemplate(const std::string& nameBox);
    /// "A&pply": the selected template takes the criteria and the name (refused
    /// as for "&Add" when the name is another template's). Saves all templates.
    bool ApplyTemplate(const std::string& nameBox);
    /// "&Delete": the template at the same place, or the last, is selected next.
    void DeleteTemplate();

    /// A line holding a bar cannot be told apart from its field separators.
    static bool FieldUsable(const std::string& text);

private:
    int findLine(const std::string& line) const;
    /// The fields with a host directory in catalogue form; none after the
    /// message when no drive holds it.
    std::optional<CriterionFields> onDrive(const CriterionFields& fields);
    bool saveTemplates();
    bool nameUsable(const std::string& name, int except);

    TEnhIniFile& m_store;
    Prompter& m_prompter;
    const platform::DriveTable* m_drives = nullptr;
    std::vector<std::string> m_criteria;
    int m_selected = -1;
    TTemplateList m_templates;
    int m_selectedTemplate = -1;
};

inline constexpr const char* kTemplateNeedsName = "Template must have a name!     ";
inline constexpr const char* kTemplateExists = "Template under this name already exists!     ";
inline constexpr const char* kTemplateNameTaken =
    "This name belongs to other settings! Please choose another name.     ";

} // namespace zentrix
