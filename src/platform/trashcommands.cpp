#include "platform/trashcommands.h"

#include "platform/apppaths.h"
#include "platform/process.h"
#include "platform/process.h"

#include <filesystem>
#include <system_error>

namespace zentrix::platform {

namespace fs = std::filesystem;

std::string HomeTrashDir() {
    return AppPaths::DataHome() + "/Trash";
}

int HomeTrashItemCount() {
    std::error_code ec;
    int count = 0;
    for (fs::directory_iterator it(HomeTrashDir() + "/files", ec), end; !ec && it != end;
         it.increment(ec))
        ++count;
    return count;
}

bool EmptyTrash() {
    if (ProgramExists("gio") && RunAndWait("gio", {"trash", "--empty"}) == 0 &&
        HomeTrashItemCount() == 0)
        return true;
    bool complete = true;
    for (const char* sub : {"/files", "/info", "/expunged"}) {
        std::error_code ec;
        const fs::path dir = HomeTrashDir() + sub;
        if (!fs::is_directory(fs::symlink_status(dir, ec))) // never through a link
            continue;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code removeError;
            fs::remove_all(it->path(), removeError); // a link is removed, not followed
            complete = complete && !removeError;
        }
        complete = complete && !ec;
    }
    // The size cache of the trash is stale once the items are gone.
    std::error_code ignored;
    fs::remove(HomeTrashDir() + "/directorysizes", ignored);
    return complete && HomeTrashItemCount() == 0;
}

bool OpenTrashWindow() {
    if (ProgramExists("gio") && StartDetached("gio", {"open", "trash:///"}))
        return true;
    return ProgramExists("xdg-open") && StartDetached("xdg-open", {"trash:///"});
}

} // namespace zentrix::platform
