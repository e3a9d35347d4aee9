#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <optional>
#include <string>

#include "support/modalwatch.h"
#include "support/scopedenv.h"

namespace zentrix::test {

/// The host directory of drive C: in these tests (its label is "DATA").
const std::string& DriveRoot();


/// True while the library file is loaded into the process.
inline bool IsLoaded(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    ::dlclose(handle);
    return true;
}

} // namespace zentrix::test
