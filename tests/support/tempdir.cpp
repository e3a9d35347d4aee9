#include "support/tempdir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::test {
namespace {

void mkdirs(const std::string& path) {
    size_t pos = 1;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error("mkdir " + part + ": " + std::strerror(errno));
    }
}

std::string parentOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

} // namespace

void RemoveTree(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        ::chmod(path.c_str(), 0755);
        if (DIR* d = ::opendir(path.c_str())) {
            while (dirent* e = ::readdir(d)) {
                if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                    continue;
                RemoveTree(path + "/" + e->d_name);
            }
            ::closedir(d);
        }
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zentrix-test-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() { RemoveTree(m_path); }

std::string TempDir::at(const std::string& relative) const {
    return relative.empty() ? m_path : m_path + "/" + relative;
}

void TempDir::mkdir(const std::string& relative) const { mkdirs(at(relative)); }

void TempDir::write(const std::string& relative, const std::string& content) const {
    const std::string path = at(relative);
    mkdirs(parentOf(path));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("open " + path + ": " + std::strerror(errno));
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

void TempDir::sparse(const std::string& relative, uint64_t size) const {
    write(relative);
    if (::truncate(at(relative).c_str(), static_cast<off_t>(size)) != 0)
        throw std::runtime_error("truncate failed");
}

void TempDir::touch(const std::string& relative, int64_t unixSeconds) const {
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(unixSeconds);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, at(relative).c_str(), times, AT_SYMLINK_NOFOLLOW);
}

void TempDir::symlink(const std::string& target, const std::string& relative) const {
    mkdirs(parentOf(at(relative)));
    if (::symlink(target.c_str(), at(relative).c_str()) != 0)
        throw std::runtime_error("symlink failed");
}

void TempDir::remove(const std::string& relative) const { RemoveTree(at(relative)); }

void TempDir::chmod(const std::string& relative, unsigned mode) const {
    ::chmod(at(relative).c_str(), mode);
}

} // namespace zentrix::test
