// The entry of FileInfo.so. It catches everything: an exception must never
// travel back into the program through a C call.

#include "fileinfo.h"
#include "pluginapi/pluginapi.h"

extern "C" {

ZENTRIX_PLUGIN_EXPORT void GetFileInfo(ZxLineSink sink, void* context, const char* fileName) {
    if (!sink || !fileName)
        return;
    try {
        for (const std::string& line : zentrix::fileinfo::DescribeFile(fileName))
            sink(context, line.c_str());
    } catch (...) {
    }
}

} // extern "C"
