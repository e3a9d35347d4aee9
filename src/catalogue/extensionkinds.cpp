#include "catalogue/extensionkinds.h"

#include "catalogue/fileclass.h"

#include <string>

namespace zentrix {
namespace {

constexpr std::string_view kOwnDescriptionKinds =
    "LNK EXE SCR DLL DL_ EX_ DRV VXD OCX VBX CPL MOD TSP 3GR ACM ACV TSK TLB CP$ SYS OLB QTC WND "
    "W95 386 Q32 MCI COM";
constexpr std::string_view kIconKinds = ".CUR .ANI .BMP .ICO .NIL .ICL";

} // namespace

// Both tests are substring tests on the lists, as the kinds have always been
// decided; an empty extension never qualifies.
bool IsOwnDescriptionKind(std::string_view fileName) {
    const std::string ext = ExtensionOf(fileName);
    if (ext.size() < 2)
        return false;
    return kOwnDescriptionKinds.find(std::string_view(ext).substr(1)) != std::string_view::npos;
}

bool IsIconKind(std::string_view fileName) {
    const std::string ext = ExtensionOf(fileName);
    return !ext.empty() && kIconKinds.find(ext) != std::string_view::npos;
}

bool IsOwnIconKind(std::string_view fileName) {
    return IsOwnDescriptionKind(fileName) || IsIconKind(fileName);
}

} // namespace zentrix
