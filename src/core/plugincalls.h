#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

class Prompter;

/// Calls into the plug-in libraries. Each call loads its library, looks up the
/// entry, calls it and releases the library again; FileInfo is loaded once and
/// kept. A library that cannot be loaded is reported through the Prompter
/// ("Zentrix plugin Utils.so not found."); a library without the entry ends the
/// call silently with nothing done. `owner` is the main window (a QWidget*).
class PluginCalls {
public:
    explicit PluginCalls(Prompter& prompter) : m_prompter(prompter) {}

    /// The warning shown when a library cannot be loaded: "Zentrix plugin " + the
    /// file looked for + " not found.".
    static std::string NotFoundText(const std::string& libraryName);

    /// The extended file specification dialog of Utils, starting from
    /// `currentText`. The new specification on OK; none when cancelled, when the
    /// library or its entry is missing.
    std::optional<std::string> CallExtendedFileSpec(const std::vector<std::string>& userFileTypes,
                                                    const std::string& currentText, void* owner);
    /// Volume facts of a drive ("&Info ..." of the disk panel).
    void CallShowDiskInfo(char driveLetter, void* owner);
    void CallShowAboutForm(void* owner);
    /// The clipboard viewer.
    void CallShowZentrixQCV(void* owner);

    // Utils: the results are none when the library or its entry is missing (the
    // library's absence was reported already), else what the entry returned.
    void CallViewIcons(const std::string& description, const std::string& hostPath, void* owner);
    void CallEditFile(const std::string& hostPath, void* owner);
    std::optional<bool> CallPrintFile(const std::string& hostPath, void* owner);

    // UnZip.
    void CallZIPFiles(bool recurse, bool keepSubdirectories, const std::string& fileList,
                      const std::string& archiveHostPath, void* owner);
    std::optional<bool> CallOpenZip(const std::string& hostPath, void* owner);
    std::optional<bool> CallTestZIPArchive(const std::string& hostPath, void* owner);

    // Tools.
    void CallShowSysInfo(void* owner);
    void CallShowCDBrowser(void* owner);

    /// Lines describing a file (host path); none when FileInfo is missing. Safe
    /// to call from any thread.
    static std::vector<std::string> CallGetFileInfo(const std::string& hostFileName);
    /// Binds FileInfo now (the start sequence does this once; the first
    /// CallGetFileInfo does it when nobody did). True when the library is there.
    static bool BindFileInfo();

private:
    template <class Fn, class Call> bool callUtils(const char* entry, Call&& call) {
        return callIn<Fn>("Utils", entry, std::forward<Call>(call));
    }
    template <class Fn, class Call> bool callIn(const char* library, const char* entry, Call&& call);

    Prompter& m_prompter;
};

} // namespace zentrix
