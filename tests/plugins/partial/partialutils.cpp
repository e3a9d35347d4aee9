// A Utils library that lacks most entries, for the loader's tests. Its entries
// report through their owner argument instead of opening windows.

#include "pluginapi/pluginapi.h"

namespace {
const ZxHost* g_host = nullptr;
}

extern "C" {

ZENTRIX_PLUGIN_EXPORT void ZentrixPluginAttach(const ZxHost* host) {
    g_host = host;
}

// Counts its calls in the int the owner points at.
ZENTRIX_PLUGIN_EXPORT void ShowAboutForm(void* owner) {
    if (owner)
        ++*static_cast<int*>(owner);
}

// Asks the program about the drive and hands the facts back through the owner.
ZENTRIX_PLUGIN_EXPORT void ShowDiskInfo(uint32_t driveLetter, void* owner) {
    auto* facts = static_cast<ZxVolumeFacts*>(owner);
    if (!facts)
        return;
    facts->structSize = sizeof(ZxVolumeFacts);
    if (!g_host || !g_host->queryVolume(driveLetter, facts))
        facts->letter = '-';
}

} // extern "C"
