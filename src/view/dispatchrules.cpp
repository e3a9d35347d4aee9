#include "view/dispatchrules.h"

#include "core/text.h"

#include <array>

namespace zentrix {

namespace {

bool oneOf(std::string_view ext, std::initializer_list<std::string_view> list) {
    for (std::string_view e : list)
        if (ext == e)
            return true;
    return false;
}

std::string quoteForShell(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out.push_back(c);
    }
    return out + "'";
}

} // namespace

bool IsPictureViewerKind(std::string_view fileName) {
    return oneOf(ExtensionOf(fileName),
                 {".JPG", ".JPEG", ".BMP", ".TIF", ".WMF", ".TGA", ".EPS", ".CMP", ".PCX"});
}

ViewAction ChooseViewAction(std::string_view fileName, bool useDefaultViewer,
                            bool pictureViewerPresent) {
    const std::string ext = ExtensionOf(fileName);
    if (ext == ".ZIP")
        return ViewAction::OpenZip;
    if (ext == ".ANI" || ext == ".CUR")
        return ViewAction::LoadCursor;
    if (!useDefaultViewer)
        return ViewAction::AssociatedViewer;
    if (IsPictureViewerKind(fileName) && pictureViewerPresent)
        return ViewAction::PictureViewer;
    if (ext == ".GIF")
        return ViewAction::GifWindow;
    return ViewAction::BuiltInViewer;
}

std::string AssociatedProgram(const std::string& stored) {
    const std::string trimmed = Trim(stored);
    const size_t slash = trimmed.find_last_of("\\/");
    const std::string name =
        UpperCase(slash == std::string::npos ? trimmed : trimmed.substr(slash + 1));
    if (name == "NOTEPAD.EXE" || name == "PBRUSH.EXE")
        return {};
    return trimmed;
}

ShellCommand SplitShellCommand(std::string_view commandLine) {
    const std::string line = std::string(commandLine) + " ";
    // The extension as a file name's: from the last full stop, unless a
    // directory separator or drive colon follows it.
    const size_t dot = line.find_last_of('.');
    if (dot == std::string::npos || line.find_first_of("\\:", dot) != std::string::npos)
        return {{}, Trim(commandLine)};
    const std::string ext = line.substr(dot);
    const size_t first = line.find(ext);
    const size_t blank = line.find(' ', first);
    ShellCommand split;
    split.program = line.substr(0, blank);
    split.parameters = Trim(line.substr(blank));
    return split;
}

bool IsArchiveCandidate(std::string_view fileName) {
    const std::string ext = ExtensionOf(fileName);
    return ext == ".ZIP" || ext == ".EXE";
}

bool ShowsRegisteredTypeName(std::string_view fileName) {
    static constexpr std::string_view kKinds =
        " LNK EXE SCR DLL DL_ EX_ DRV VXD OCX VBX CPL MOD TSP 3GR ACM ACV TSK TLB CP$ SYS OLB QTC "
        "WND W95 386 Q32 MCI COM ";
    const std::string ext = ExtensionOf(fileName);
    if (ext.size() < 2)
        return false;
    return kKinds.find(" " + ext.substr(1) + " ") != std::string_view::npos;
}

std::string FileSizeText(uint64_t size) {
    return std::to_string(size / 1024) + " KB (" + std::to_string(size) + " B)";
}

LaunchCommand TerminalCommand(const std::string& terminalVariable) {
    const std::string t = Trim(terminalVariable);
    return {t.empty() ? std::string("x-terminal-emulator") : t, {}};
}

LaunchCommand DefragCommand(std::string_view fileSystem, const std::string& mountPoint) {
    if (mountPoint.empty())
        return {};
    if (fileSystem == "ext4")
        return {"e4defrag", {mountPoint}};
    if (fileSystem == "btrfs")
        return {"btrfs", {"filesystem", "defragment", "-r", mountPoint}};
    if (fileSystem == "xfs")
        return {"xfs_fsr", {"-v", mountPoint}};
    return {};
}

LaunchCommand CheckDiskCommand(const std::string& device) {
    if (device.rfind("/dev/", 0) != 0)
        return {};
    return {"fsck", {"-n", device}};
}

LaunchCommand InTerminal(const LaunchCommand& terminal, const LaunchCommand& command) {
    std::string script = quoteForShell(command.program);
    for (const std::string& a : command.arguments)
        script += " " + quoteForShell(a);
    script += "; echo; echo 'Press Enter to close this window.'; read _";
    return {terminal.program, {"-e", "sh", "-c", script}};
}

} // namespace zentrix
