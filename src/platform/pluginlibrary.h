#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct ZxHost;

namespace zentrix::platform {

/// One loaded plug-in library. Move-only; the library is released when the
/// object goes away, so a caller that loads per call keeps it on the stack.
class PluginLibrary {
public:
    /// The directory the libraries are looked for in: $ZENTRIX_PLUGIN_DIR when
    /// it is an absolute path, otherwise DirectoryFor() the running executable's
    /// directory. A relative value is never read against the current directory,
    /// which is wherever the program happens to be (the directory being packed):
    /// a library of that name there would be loaded and run.
    static std::string Directory();
    /// Makes a relative $ZENTRIX_PLUGIN_DIR absolute against the current
    /// directory of the moment, as the user meant it. Called once at start,
    /// before the program changes its directory.
    static void AnchorDirectory();

    /// Where the libraries of a program in `executableDir` are: that directory
    /// itself when it holds a library (a build folder), else
    /// its parent's lib/zentrix when that holds one (an installed tree),
    /// else `executableDir`.
    static std::string DirectoryFor(const std::string& executableDir);

    /// The file a library is looked for as: "Utils" -> "Utils.so".
    static std::string FileNameOf(std::string_view name);

    /// Loads `name` ("Utils") from Directory(). None when the file is missing or
    /// cannot be loaded; `error` (if given) then receives the loader's reason.
    /// A library that has the attach entry gets the program's service table.
    static std::optional<PluginLibrary> Load(std::string_view name, std::string* error = nullptr);
    /// Loads a library from an explicit path (tests).
    static std::optional<PluginLibrary> LoadFile(const std::string& path,
                                                 std::string* error = nullptr);

    PluginLibrary(PluginLibrary&& other) noexcept;
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    /// The address of an entry, or null when the library has none of that name.
    void* Entry(const char* name) const;

    /// The entry as a function pointer of type Fn, or null.
    template <class Fn> Fn EntryAs(const char* name) const {
        return reinterpret_cast<Fn>(Entry(name));
    }

    const std::string& Path() const { return m_path; }

    /// The program's service table handed to every library.
    static const ZxHost& Host();

private:
    PluginLibrary(void* handle, std::string path) : m_handle(handle), m_path(std::move(path)) {}
    void release();

    void* m_handle = nullptr;
    std::string m_path;
};

} // namespace zentrix::platform
