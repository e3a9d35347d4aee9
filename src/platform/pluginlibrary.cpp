#include "platform/pluginlibrary.h"

#include "platform/drivetable.h"
#include "platform/volume.h"
#include "pluginapi/pluginapi.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::platform {
namespace {

template <size_t N> void copyText(char (&dst)[N], const std::string& src) {
    const size_t n = std::min(src.size(), N - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

// Called by libraries through the host table: must never throw.
int32_t queryVolume(uint32_t letter, ZxVolumeFacts* facts) noexcept {
    if (!facts || facts->structSize < sizeof(ZxVolumeFacts) || letter > 0x7F)
        return 0;
    try {
        const char upper = static_cast<char>(std::toupper(static_cast<int>(letter)));
        const DriveInfo* drive = DriveTable::Instance().Find(upper);
        if (!drive)
            return 0;
        const VolumeInfo info = QueryVolume(*drive);
        facts->ready = info.ready ? 1 : 0;
        facts->letter = drive->letter;
        copyText(facts->kind, DriveKindName(drive->kind));
        copyText(facts->label, info.label);
        copyText(facts->fileSystem, info.fsType.empty() ? drive->fsType : info.fsType);
        copyText(facts->root, drive->root);
        copyText(facts->device, drive->device);
        copyText(facts->mountPoint, drive->mountPoint);
        facts->virtualRoot = drive->virtualRoot ? 1 : 0;
        facts->totalBytes = info.totalBytes;
        facts->freeBytes = info.freeBytes;
        facts->hasSerial = info.hasSerial ? 1 : 0;
        facts->serial = info.serial;
        return 1;
    } catch (...) {
        return 0;
    }
}

const ZxHost kHost = {sizeof(ZxHost), ZX_HOST_VERSION, &queryVolume};

std::string executableDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// True when `dir` holds a regular file named "*.so".
bool holdsLibrary(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() > 3 && name.substr(name.size() - 3) == ".so") {
            struct stat st {};
            const std::string path = dir + "/" + std::string(name);
            if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                found = true;
                break;
            }
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

const ZxHost& PluginLibrary::Host() {
    return kHost;
}

std::string PluginLibrary::Directory() {
    const char* env = std::getenv("ZENTRIX_PLUGIN_DIR");
    if (env && env[0] == '/')
        return env;
    return DirectoryFor(executableDirectory());
}

void PluginLibrary::AnchorDirectory() {
    const char* env = std::getenv("ZENTRIX_PLUGIN_DIR");
    if (!env || !*env || env[0] == '/')
        return;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd))
        ::setenv("ZENTRIX_PLUGIN_DIR", (std::string(cwd) + "/" + env).c_str(), 1);
    else
        ::unsetenv("ZENTRIX_PLUGIN_DIR");
}

std::string PluginLibrary::DirectoryFor(const std::string& executableDir) {
    std::string dir = executableDir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (holdsLibrary(dir))
        return dir;
    // The executable's path is resolved, so its parent is the lexical one.
    const size_t slash = dir.rfind('/');
    const std::string parent = slash == std::string::npos || slash == 0 ? "" : dir.substr(0, slash);
    const std::string installed = parent + "/lib/zentrix";
    if (holdsLibrary(installed))
        return installed;
    return dir;
}

std::string PluginLibrary::FileNameOf(std::string_view name) {
    return std::string(name) + ".so";
}

std::optional<PluginLibrary> PluginLibrary::Load(std::string_view name, std::string* error) {
    // Names are the program's own constants; refuse anything that could leave the directory.
    if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..") {
        if (error)
            *error = "invalid library name";
        return std::nullopt;
    }
    std::string dir = Directory();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return LoadFile(dir + FileNameOf(name), error);
}

std::optional<PluginLibrary> PluginLibrary::LoadFile(const std::string& path, std::string* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error)
            *error = path + ": no such file";
        return std::nullopt;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* why = ::dlerror();
            *error = why ? why : path + ": cannot be loaded";
        }
        return std::nullopt;
    }
    PluginLibrary library(handle, path);
    if (auto attach = library.EntryAs<ZentrixPluginAttachFn>(ZX_ATTACH_ENTRY))
        attach(&kHost);
    return library;
}

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : m_handle(other.m_handle), m_path(std::move(other.m_path)) {
    other.m_handle = nullptr;
}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        m_path = std::move(other.m_path);
        other.m_handle = nullptr;
    }
    return *this;
}

PluginLibrary::~PluginLibrary() {
    release();
}

void PluginLibrary::release() {
    if (m_handle) {
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
}

void* PluginLibrary::Entry(const char* name) const {
    if (!m_handle || !name)
        return nullptr;
    return ::dlsym(m_handle, name);
}

} // namespace zentrix::platform
