// The user tools, the menu shortcuts and the command buttons in a settings file
// as anything may have left them: reading never fails, keeps within what is
// there, and what was read is read back the same once saved.
#include "config/commandbuttons.h"
#include "config/menushortcuts.h"
#include "config/tenhinifile.h"
#include "config/usertools.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace zentrix;

namespace {

std::string g_file;

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::vector<TShortCut> shortcuts(const MenuTable& table) {
    std::vector<TShortCut> out;
    for (const MenuItem* e : table.entries())
        out.push_back(e->shortcut);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/zentrix-fuzz-usersections-XXXXXX";
    if (!::mkdtemp(dir))
        std::abort();
    g_file = std::string(dir) + "/registry.ini";
    static const std::string folder = dir;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TEnhIniFile store("Zentrix.INI", g_file);
    // Programs "exist" by a rule of their name, so that tools come and go.
    const ToolProbe probe{[](const std::string& p) { return !p.empty() && p.size() % 3 != 0; },
                          [](const std::string& p) {
                              return p.size() % 2 == 0;
                          }};
    TToolList tools;
    tools.Load(store, probe);
    check(tools.Items.size() <= store.ReadSection("UserTools").size());
    MenuTable table = MenuTable::Default();
    MenuShortcuts::Load(store, table);
    TCommandList dirButtons, fileButtons;
    CommandButtons::Load(store, table, dirButtons, fileButtons);
    for (const TCommandList* list : {&dirButtons, &fileButtons})
        for (const int command : list->Commands())
            check(CommandButtons::IsCommand(table, command));

    tools.Save(store);
    MenuShortcuts::Save(store, table);
    CommandButtons::Save(store, dirButtons, fileButtons);
    TToolList toolsAgain;
    toolsAgain.Load(store, probe);
    check(toolsAgain.Items.size() == tools.Items.size());
    for (size_t i = 0; i < tools.Items.size(); ++i)
        check(toolsAgain.Items[i].ToolCmdLine == tools.Items[i].ToolCmdLine &&
              toolsAgain.Items[i].ToolHint == tools.Items[i].ToolHint);
    MenuTable tableAgain = MenuTable::Default();
    MenuShortcuts::Load(store, tableAgain);
    check(shortcuts(tableAgain) == shortcuts(table));
    TCommandList dirAgain, fileAgain;
    CommandButtons::Load(store, tableAgain, dirAgain, fileAgain);
    check(dirAgain == dirButtons && fileAgain == fileButtons);
    return 0;
}
