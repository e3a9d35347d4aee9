// The tag wizard's templates in a settings file as anything may have left it:
// reading takes each usable name once and never another part of the settings
// for a template, and what was read is read back the same once saved.
#include "config/tenhinifile.h"
#include "core/text.h"
#include "filewindow/ttemplatelist.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

using namespace zentrix;

namespace {

std::string g_file;

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/zentrix-fuzz-tagtemplates-XXXXXX";
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
    const auto options = store.ReadSectionPairs("Options");
    TTemplateList list;
    list.Load(store);
    std::set<std::string> names;
    for (const TTemplateClass& t : list.Items) {
        check(names.insert(UpperCase(t.Name)).second);
        check(!TTemplateList::ReservedSection(t.Name));
    }
    list.Save(store);
    TTemplateList again;
    again.Load(store);
    check(again.Items == list.Items);
    check(store.ReadSectionPairs("Options") == options);
    return 0;
}
