// Any file may claim to be an executable: the ELF, PE, NE and DOS readers of the
// quick view and the version-resource and module-description readers of the
// file type column take whatever the file holds, read only inside it, and do
// work in proportion to it.
#include "catalogue/filetypedescription.h"
#include "plugins/FileInfo/executableinfo.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The readers take a path: the input becomes a file in memory.
    const int fd = ::memfd_create("executable", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::vector<std::string> lines;
    if (!zentrix::fileinfo::DescribeElf(path, lines))
        zentrix::fileinfo::DescribeWindowsExecutable(path, lines);
    zentrix::VersionResourceDescription(path);
    zentrix::NeModuleDescription(path);
    ::close(fd);
    return 0;
}
