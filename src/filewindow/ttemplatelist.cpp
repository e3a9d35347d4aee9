#include "filewindow/ttemplatelist.h"

#include "config/historyboxes.h"
#include "config/tenhinifile.h"
#include "core/text.h"

#include <string_view>
#include <unordered_set>

namespace zentrix {
namespace {

constexpr const char* kTemplates = "Templates";
constexpr const char* kUnnamed = "unnamed";

// Sections the program writes on its own, some only once a window has been
// used; the history boxes' sections come from their table.
constexpr std::string_view kProgramSections[] = {
    "Options",
    "WatchDogOptions",
    "AssociatedFileEditor",
    "AssociatedFileViewer",
    "AnimatePrgIcon",
    "DisableScreenSaver",
    "Platform",
    "UserExt",
    "UserTools",
    "LogDrivesAtStartup",
    "WatchDogOperations",
    "Templates",
    "MainForm",
    "FileHeader",
    "scHorizontal",
    "scVertical",
    "scQuickView",
    "scFinder",
    "MRU Directories",
    "hdrCriteria",
};

bool IsCriterionName(std::string_view name) {
    if (name.size() < 2 || (name[0] != 'C' && name[0] != 'c'))
        return false;
    for (char ch : name.substr(1))
        if (ch < '0' || ch > '9')
            return false;
    return true;
}

// Names read from "Templates" by number, as the program has always read them.
std::vector<std::string> StoredNames(const TEnhIniFile& store) {
    std::vector<std::string> names;
    const size_t count = store.ReadSection(kTemplates).size();
    for (size_t i = 0; i < count; ++i)
        names.push_back(store.ReadString(kTemplates, "T" + std::to_string(i), kUnnamed));
    return names;
}

enum class SectionKind { Absent, Template, Foreign };

// A template's section holds criterion values and nothing else; a section with
// anything more belongs to some other part of the settings.
SectionKind KindOf(const TEnhIniFile& store, const std::string& section) {
    if (!store.ReadSubSections(section).empty())
        return SectionKind::Foreign;
    if (!store.SectionExists(section))
        return SectionKind::Absent;
    const auto names = store.ReadSection(section);
    const auto strings = store.ReadSectionPairs(section);
    if (names.size() != strings.size())
        return SectionKind::Foreign; // binary values
    for (const std::string& name : names)
        if (!IsCriterionName(name))
            return SectionKind::Foreign;
    return SectionKind::Template;
}

bool ValidSectionName(std::string_view name) {
    if (name.empty() || EqualsIgnoreCase(name, kUnnamed))
        return false;
    for (unsigned char ch : name)
        if (ch < ' ' || ch == 0x7F || ch == '\\' || ch == '[' || ch == ']')
            return false;
    return !TTemplateList::ReservedSection(name);
}

} // namespace

bool TTemplateList::ReservedSection(std::string_view name) {
    for (std::string_view s : kProgramSections)
        if (EqualsIgnoreCase(s, name))
            return true;
    for (const HistoryBoxSpec& box : HistoryBoxes())
        if (EqualsIgnoreCase(box.section, name))
            return true;
    return false;
}

int TTemplateList::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (EqualsIgnoreCase(Items[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

bool TTemplateList::UsableName(const TEnhIniFile& store, std::string_view name, int except) const {
    if (!ValidSectionName(name))
        return false;
    if (!store.SectionExists(std::string(name)))
        return true;
    // Renaming a template in case only: the section is its own.
    const int owner = IndexOf(name);
    return owner >= 0 && owner == except;
}

void TTemplateList::Load(const TEnhIniFile& store) {
    Items.clear();
    std::unordered_set<std::string> seen; // upper-case names, so each is looked up once
    for (const std::string& name : StoredNames(store)) {
        // A template without criteria has no section: it is kept all the same.
        if (!ValidSectionName(name) || KindOf(store, name) == SectionKind::Foreign ||
            !seen.insert(UpperCase(name)).second)
            continue;
        TTemplateClass t;
        t.Name = name;
        for (const auto& [ident, value] : store.ReadSectionPairs(name))
            t.Criteria.push_back(value);
        Items.push_back(std::move(t));
    }
}

void TTemplateList::Save(TEnhIniFile& store) const {
    // Only sections that hold nothing but criteria are a template's to erase.
    auto clear = [&store](const std::string& section) {
        if (ValidSectionName(section) && KindOf(store, section) == SectionKind::Template)
            store.EraseSection(section);
    };
    for (const std::string& name : StoredNames(store))
        clear(name);
    for (const TTemplateClass& t : Items)
        clear(t.Name);
    store.EraseSection(kTemplates);
    for (size_t i = 0; i < Items.size(); ++i) {
        const TTemplateClass& t = Items[i];
        store.WriteString(kTemplates, "T" + std::to_string(i), t.Name);
        if (!ValidSectionName(t.Name) || KindOf(store, t.Name) == SectionKind::Foreign)
            continue;
        for (size_t c = 0; c < t.Criteria.size(); ++c)
            store.WriteString(t.Name, "C" + std::to_string(c), t.Criteria[c]);
    }
}

} // namespace zentrix
