#include "core/plugincalls.h"

#include "core/prompter.h"
#include "platform/pluginlibrary.h"
#include "pluginapi/pluginapi.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace zentrix {
namespace {

constexpr const char* kFileInfo = "FileInfo";

// FileInfo stays loaded from its binding until the end of the run. The quick
// view calls it from a thread of its own: a call holds the library it started
// with, so binding again meanwhile cannot unload code that runs.
struct FileInfoBinding {
    std::mutex mutex;
    bool attempted = false;
    std::shared_ptr<platform::PluginLibrary> library;

    void bindLocked() {
        library.reset();
        if (auto loaded = platform::PluginLibrary::Load(kFileInfo))
            library = std::make_shared<platform::PluginLibrary>(std::move(*loaded));
        attempted = true;
    }
};

FileInfoBinding& fileInfoBinding() {
    static FileInfoBinding binding;
    return binding;
}

} // namespace

std::string PluginCalls::NotFoundText(const std::string& libraryName) {
    return "Zentrix plugin " + platform::PluginLibrary::FileNameOf(libraryName) + " not found.";
}

template <class Fn, class Call>
bool PluginCalls::callIn(const char* libraryName, const char* entry, Call&& call) {
    auto library = platform::PluginLibrary::Load(libraryName);
    if (!library) {
        m_prompter.warn(NotFoundText(libraryName));
        return false;
    }
    const Fn fn = library->EntryAs<Fn>(entry);
    if (!fn)
        return false;
    call(fn);
    return true; // the library is released here, right after the call
}

std::optional<std::string>
PluginCalls::CallExtendedFileSpec(const std::vector<std::string>& userFileTypes,
                                  const std::string& currentText, void* owner) {
    std::vector<const char*> items;
    items.reserve(userFileTypes.size());
    for (const std::string& type : userFileTypes)
        items.push_back(type.c_str());
    const ZxStringList list{items.data(), static_cast<int32_t>(items.size())};

    auto buffer = std::make_unique<char[]>(ZX_FILESPEC_BUFFER_SIZE);
    const size_t n = std::min(currentText.size(), size_t{ZX_FILESPEC_BUFFER_SIZE - 1});
    std::memcpy(buffer.get(), currentText.data(), n);
    buffer[n] = '\0';

    unsigned char result = 0;
    callUtils<ExtendedFileSpecFn>("ExtendedFileSpec", [&](ExtendedFileSpecFn fn) {
        result = fn(&list, buffer.get(), owner);
    });
    if (!result)
        return std::nullopt;
    // A library that forgot the terminator must not make us read past the buffer.
    buffer[ZX_FILESPEC_BUFFER_SIZE - 1] = '\0';
    return std::string(buffer.get());
}

void PluginCalls::CallShowDiskInfo(char driveLetter, void* owner) {
    callUtils<ShowDiskInfoFn>("ShowDiskInfo", [&](ShowDiskInfoFn fn) {
        fn(static_cast<uint32_t>(static_cast<unsigned char>(driveLetter)), owner);
    });
}

void PluginCalls::CallShowAboutForm(void* owner) {
    callUtils<ShowAboutFormFn>("ShowAboutForm", [&](ShowAboutFormFn fn) { fn(owner); });
}

void PluginCalls::CallShowZentrixQCV(void* owner) {
    callUtils<ShowZentrixQCVFn>("ShowZentrixQCV", [&](ShowZentrixQCVFn fn) { fn(owner); });
}

void PluginCalls::CallViewIcons(const std::string& description, const std::string& hostPath,
                                void* owner) {
    callUtils<ViewIconsFn>("ViewIcons",
                           [&](ViewIconsFn fn) { fn(description.c_str(), hostPath.c_str(), owner); });
}

void PluginCalls::CallEditFile(const std::string& hostPath, void* owner) {
    callUtils<EditFileFn>("EditFile", [&](EditFileFn fn) { fn(hostPath.c_str(), owner); });
}

std::optional<bool> PluginCalls::CallPrintFile(const std::string& hostPath, void* owner) {
    std::optional<bool> result;
    callUtils<PrintFileFn>("PrintFile",
                           [&](PrintFileFn fn) { result = fn(hostPath.c_str(), owner) != 0; });
    return result;
}

void PluginCalls::CallZIPFiles(bool recurse, bool keepSubdirectories, const std::string& fileList,
                               const std::string& archiveHostPath, void* owner) {
    callIn<ZIPFilesFn>("UnZip", "ZIPFiles", [&](ZIPFilesFn fn) {
        fn(recurse ? 1 : 0, keepSubdirectories ? 1 : 0, fileList.c_str(), archiveHostPath.c_str(),
           owner);
    });
}

std::optional<bool> PluginCalls::CallOpenZip(const std::string& hostPath, void* owner) {
    std::optional<bool> result;
    callIn<OpenZipFn>("UnZip", "OpenZip",
                      [&](OpenZipFn fn) { result = fn(hostPath.c_str(), owner) != 0; });
    return result;
}

std::optional<bool> PluginCalls::CallTestZIPArchive(const std::string& hostPath, void* owner) {
    std::optional<bool> result;
    callIn<TestZIPArchiveFn>("UnZip", "TestZIPArchive",
                             [&](TestZIPArchiveFn fn) { result = fn(hostPath.c_str(), owner) != 0; });
    return result;
}

void PluginCalls::CallShowSysInfo(void* owner) {
    callIn<ShowSysInfoFn>("Tools", "ShowSysInfo", [&](ShowSysInfoFn fn) { fn(owner); });
}

void PluginCalls::CallShowCDBrowser(void* owner) {
    callIn<ShowCDBrowserFn>("Tools", "ShowCDBrowser", [&](ShowCDBrowserFn fn) { fn(owner); });
}

bool PluginCalls::BindFileInfo() {
    FileInfoBinding& binding = fileInfoBinding();
    std::lock_guard lock(binding.mutex);
    binding.bindLocked();
    return binding.library != nullptr;
}

std::vector<std::string> PluginCalls::CallGetFileInfo(const std::string& hostFileName) {
    std::vector<std::string> lines;
    std::shared_ptr<platform::PluginLibrary> library;
    {
        FileInfoBinding& binding = fileInfoBinding();
        std::lock_guard lock(binding.mutex);
        if (!binding.attempted)
            binding.bindLocked();
        library = binding.library;
    }
    if (!library)
        return lines;
    const auto fn = library->EntryAs<GetFileInfoFn>("GetFileInfo");
    if (!fn)
        return lines;
    // The sink runs inside the library: nothing may be thrown back through it.
    fn(
        [](void* context, const char* line) noexcept {
            try {
                if (line)
                    static_cast<std::vector<std::string>*>(context)->emplace_back(line);
            } catch (...) {
            }
        },
        &lines, hostFileName.c_str());
    return lines;
}

} // namespace zentrix
