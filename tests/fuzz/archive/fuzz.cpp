// The archive summary of the quick view reads any file the user moves onto:
// whatever its content, the reading ends within its budget (inside an entry
// too) and says so when it stopped early.
#include "plugins/FileInfo/archiveinfo.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = ::memfd_create("archive", MFD_CLOEXEC);
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
    const auto facts =
        zentrix::fileinfo::ReadArchiveFacts(path, std::chrono::milliseconds(20), 10000, 16u << 20);
    std::vector<std::string> lines;
    zentrix::fileinfo::AppendArchiveLines(facts, lines);
    ::close(fd);
    return 0;
}
