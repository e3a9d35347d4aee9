// ZENTRIX_DRIVES as a user may type it and the mount table as a machine may
// have it (thousands of container mounts, escaped names): both give a drive
// table of distinct letters with absolute roots, and a host path below a drive
// reaches the same file after a trip through its catalogue form.
//
// Input: the variable, a NUL byte, the mount table, a NUL byte, a host name.
#include "platform/drivetable.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace zentrix::platform;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void checkTable(const DriveTable& table, const std::string& name) {
    char previous = 0;
    for (const DriveInfo& d : table.Drives()) {
        check(d.letter >= 'A' && d.letter <= 'Z' && d.letter > previous);
        previous = d.letter;
        check(!d.root.empty() && d.root[0] == '/');
        check(d.root == "/" || d.root.back() != '/');
        // A name below the drive's root (one component, as a listing gives it)
        // survives the catalogue form unless no file can have it.
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos)
            continue;
        const std::string host = (d.root == "/" ? "" : d.root) + "/" + name;
        const auto catalogue = table.ToCataloguePath(host, false);
        check(catalogue.has_value());
        const auto back = table.ToHostPath(*catalogue);
        // Another drive with a longer root may hold the path; it still leads
        // to the same place.
        check(back.has_value() && *back == host);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t first = std::min(input.find('\0'), input.size());
    const size_t second =
        first < input.size() ? std::min(input.find('\0', first + 1), input.size()) : input.size();
    const std::string spec(input.substr(0, first));
    const std::string mountText(first < input.size() ? input.substr(first + 1, second - first - 1)
                                                     : std::string_view());
    const std::string name(second < input.size() ? input.substr(second + 1) : std::string_view());

    const auto mounts = DriveTable::ParseMountTable(mountText);
    for (const MountEntry& m : mounts)
        check(!m.fsType.empty());
    checkTable(DriveTable::FromSpec(spec, mounts), name);
    checkTable(DriveTable::FromMounts(mounts), name);
    return 0;
}
