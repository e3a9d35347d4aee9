#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// A named list of tag-wizard criterion lines.
struct TTemplateClass {
    std::string Name;
    std::vector<std::string> Criteria;

    bool operator==(const TTemplateClass&) const = default;
};

/// The tag-wizard templates, in order, and their place in the settings file:
/// section "Templates" holds T0, T1, ... = the names, and each template's lines
/// are C0, C1, ... in a section named after the template.
///
/// Template names share the namespace of the settings file's sections. A name
/// that the program or anything else already uses for a section of its own is
/// refused (UsableName); a section that holds anything but criterion values is
/// never read as a template, erased or written to, so no other settings can be
/// lost through a template.
class TTemplateList {
public:
    std::vector<TTemplateClass> Items;

    /// Reads every template: the T keys of "Templates" are counted and read by
    /// number; "unnamed", empty, duplicate and unusable names are skipped, and so
    /// are names whose section holds other values than C0, C1, ... A template's
    /// criteria are its section's values in file order; a template without
    /// criteria has no section and is read with none.
    void Load(const TEnhIniFile& store);
    /// Erases the section of every template named in the stored "Templates"
    /// (when it holds criteria only), erases "Templates", and writes the list
    /// afresh. Does not write the file.
    void Save(TEnhIniFile& store) const;

    /// The index of the template with that name (compared without regard to
    /// case), or -1.
    int IndexOf(std::string_view name) const;

    /// False for names that cannot serve as a section of their own: empty,
    /// with a backslash or a control character, "unnamed", the sections the
    /// program keeps its own settings in, and any other section that exists in
    /// the store and is not the section of a template of this list (other than
    /// the one at `except`).
    bool UsableName(const TEnhIniFile& store, std::string_view name, int except = -1) const;

    /// The program's own sections, which no template may take.
    static bool ReservedSection(std::string_view name);
};

} // namespace zentrix
