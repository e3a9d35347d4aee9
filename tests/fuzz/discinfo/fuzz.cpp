// Sector 16 of any disc or image, and the system files the information window
// reads: parsing never fails and dates are either empty or well formed.
#include "systemreport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::tools;
    std::string sector(reinterpret_cast<const char*>(data), size);
    sector.resize(2048, '\0');
    sector[0] = 1;
    sector.replace(1, 5, "CD001");
    const DiscInfo info = ParseVolumeDescriptor(sector);
    for (const std::string* date : {&info.created, &info.modified, &info.expires, &info.effective})
        if (!date->empty() && (date->size() != 10 || (*date)[4] != '-' || (*date)[7] != '-'))
            std::abort();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseCpuInfo(text);
    (void)MemInfoValue(text, "MemTotal");
    (void)UptimeText(text);
    return 0;
}
