#pragma once

#include "catalogue/icon.h"

#include <memory>
#include <string>

namespace zentrix {

/// The description cache's entry for one extension.
struct TDescClass {
    std::string Ext;      // upper case, without the full stop; empty for no extension
    std::string DescText; // the type description
    std::unique_ptr<TIcon> Icon; // large icon for files of this extension (owned)
};

} // namespace zentrix
