// The settings file as another program, a damaged disk or a hand edit may leave
// it. Reading never fails; what was understood reads back the same once written;
// merging another instance's file keeps what each side changed; and every reader
// of the settings takes the file without harm.
#include "config/controlstate.h"
#include "config/fontfields.h"
#include "config/historylist.h"
#include "config/mrulist.h"
#include "config/registrydocument.h"
#include "config/settings.h"
#include "config/settingsstore.h"
#include "config/shortcut.h"
#include "config/tenhinifile.h"
#include "config/userfiletypes.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace zentrix;

namespace {

std::string g_file; // the settings file each input is written to

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool sameContent(const RegistryDocument& a, const RegistryDocument& b) {
    if (a.Keys().size() != b.Keys().size())
        return false;
    for (const auto& key : a.Keys()) {
        const RegistryDocument::Key* other = b.FindKey(key.path);
        if (!other || !key.sameValues(*other))
            return false;
    }
    return true;
}

void readEverything(const std::string& text) {
    {
        std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    TEnhIniFile store("Zentrix.INI", g_file);
    Settings settings;
    LoadSettings(store, settings, SettingsEnvironment{"C:\\ZENTRIX\\", "C:\\ETC\\", "C:\\BIN\\"});
    for (const std::string& type : LoadUserExt(store))
        SplitUserFileType(type);
    LoadLogDrivesAtStartup(store);
    LoadWatchDogOperations(store);
    HistoryList history;
    history.IniSection = "FileSpecHistory";
    history.MaxHistoryLength = 1000;
    history.Load(store);
    MruList recent;
    recent.AutoSaveName = "\\Software\\Morvane\\Zentrix";
    recent.AutoSaveKey = "MRU Directories";
    recent.Load(store);
    PlacementRecord::Read(store, "MainForm");
    ReadHeaderWidths(store, "FileHeader", {100, 80, 60, 120, 40});
    ReadSplitterSize(store, "scHorizontal", "pnMainTreeView", true, 180);
    FontFields font;
    store.ReadFont("Options", "FileListFont", font);
    for (const auto& [name, value] : store.ReadSectionPairs("Shortcuts"))
        TextToShortCut(value);
    store.ReadBinary("Options", "MenuShortcuts");
    check(!store.Modified()); // reading writes nothing
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/zentrix-fuzz-settings-XXXXXX";
    if (!::mkdtemp(dir))
        std::abort();
    g_file = std::string(dir) + "/registry.ini";
    static const std::string folder = dir;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const RegistryDocument doc = RegistryDocument::Parse(text);
    const std::string written = doc.Serialize();
    const RegistryDocument reread = RegistryDocument::Parse(written);
    check(reread.SkippedLines() == 0 && reread.Serialize() == written);

    // The input split in two is the file as this instance read it and as it
    // holds it now; the other instance either changed nothing or everything.
    const size_t half = size > 0 ? data[0] * size / 256 : 0;
    const RegistryDocument base = RegistryDocument::Parse(std::string_view(text).substr(0, half));
    const RegistryDocument mine = RegistryDocument::Parse(std::string_view(text).substr(half));
    check(sameContent(RegistryDocument::Merge(base, mine, base), mine));
    check(RegistryDocument::Merge(base, base, mine).Serialize() == mine.Serialize());

    readEverything(text);
    return 0;
}
