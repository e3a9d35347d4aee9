// Shortcut template files and the stored shortcut and button lists, as any file
// or settings value may hold them: reading never changes anything unless the
// whole list could be read, and what is taken is written back the same way.
#include "config/commandbuttons.h"
#include "config/menushortcuts.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace zentrix;

namespace {

std::vector<TShortCut> Current(const MenuTable& table) {
    std::vector<TShortCut> out;
    for (const MenuItem* e : table.entries())
        out.push_back(e->shortcut);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MenuTable defaults = MenuTable::Default();
    const std::vector<uint8_t> bytes(data, data + size);

    MenuTable table = MenuTable::Default();
    const auto before = Current(table);
    const auto result = MenuShortcuts::ApplyTemplate(bytes, table);
    if ((result == MenuShortcuts::TemplateResult::NotATemplate ||
         result == MenuShortcuts::TemplateResult::Corrupt) &&
        Current(table) != before)
        std::abort();
    // What was taken comes back unchanged from a template of its own.
    MenuTable copy = MenuTable::Default();
    if (MenuShortcuts::ApplyTemplate(MenuShortcuts::Template(table), copy) !=
            MenuShortcuts::TemplateResult::Applied ||
        Current(copy) != Current(table))
        std::abort();

    MenuTable stored = MenuTable::Default();
    if (MenuShortcuts::Decode(bytes, stored) == MenuShortcuts::LoadResult::Unreadable &&
        Current(stored) != Current(defaults))
        std::abort();
    if (MenuShortcuts::Encode(stored).size() > MenuShortcuts::kStoredLimit)
        std::abort();

    TCommandList dir, file;
    CommandButtons::Decode(bytes, defaults, dir, file);
    for (const TCommandList* list : {&dir, &file})
        for (int command : list->Commands())
            if (!CommandButtons::IsCommand(defaults, command))
                std::abort();
    TCommandList dir2, file2;
    if (!CommandButtons::Decode(CommandButtons::Encode(dir, file), defaults, dir2, file2) ||
        !(dir2 == dir) || !(file2 == file))
        std::abort();
    return 0;
}
