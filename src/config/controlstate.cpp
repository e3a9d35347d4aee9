#include "config/controlstate.h"

#include "config/tenhinifile.h"
#include "platform/apppaths.h"

namespace zentrix {
namespace {

std::string withIniExtension(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? name.substr(0, dot) : name) + ".INI";
}

} // namespace

std::string StoreNameFor(const std::string& iniFileName) {
    if (!iniFileName.empty())
        return withIniExtension(iniFileName);
    std::string exe = platform::AppPaths::ExecutablePath();
    if (exe.empty())
        exe = "zentrix";
    return withIniExtension(exe);
}

PlacementRecord PlacementRecord::Read(const TEnhIniFile& store, const std::string& section) {
    PlacementRecord r;
    r.X = store.ReadInteger(section, "PlaceWindowX", r.X);
    r.Y = store.ReadInteger(section, "PlaceWindowY", r.Y);
    r.Width = store.ReadInteger(section, "PlaceWindowWidth", r.Width);
    r.Height = store.ReadInteger(section, "PlaceWindowHeight", r.Height);
    r.State = store.ReadInteger(section, "PlaceWindowState", r.State);
    return r;
}

void PlacementRecord::Write(TEnhIniFile& store, const std::string& section) const {
    store.WriteInteger(section, "PlaceWindowState", State);
    store.WriteInteger(section, "PlaceWindowX", X);
    store.WriteInteger(section, "PlaceWindowY", Y);
    store.WriteInteger(section, "PlaceWindowWidth", Width);
    store.WriteInteger(section, "PlaceWindowHeight", Height);
}

std::vector<int> ReadHeaderWidths(const TEnhIniFile& store, const std::string& section,
                                  const std::vector<int>& currentWidths) {
    std::vector<int> widths = currentWidths;
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = store.ReadInteger(section, "Section" + std::to_string(i) + "Width", widths[i]);
    return widths;
}

void WriteHeaderWidths(TEnhIniFile& store, const std::string& section,
                       const std::vector<int>& widths) {
    store.EraseSection(section);
    for (size_t i = 0; i < widths.size(); ++i)
        store.WriteInteger(section, "Section" + std::to_string(i) + "Width", widths[i]);
}

std::string SplitterValueName(const std::string& targetName, bool horizontalBar) {
    return targetName + (horizontalBar ? "Height" : "Width");
}

int ReadSplitterSize(const TEnhIniFile& store, const std::string& splitterName,
                     const std::string& targetName, bool horizontalBar, int currentSize) {
    return store.ReadInteger(splitterName, SplitterValueName(targetName, horizontalBar),
                             currentSize);
}

void WriteSplitterSize(TEnhIniFile& store, const std::string& splitterName,
                       const std::string& targetName, bool horizontalBar, int size) {
    store.EraseSection(splitterName);
    store.WriteInteger(splitterName, SplitterValueName(targetName, horizontalBar), size);
}

} // namespace zentrix
