#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// Where the view command sends a file.
enum class ViewAction {
    OpenZip,          // the archive window
    LoadCursor,       // the file becomes the program's mouse pointer
    PictureViewer,    // the picture viewer program beside the executable
    BuiltInViewer,    // the viewer window
    GifWindow,        // the animated picture window
    AssociatedViewer, // the associated viewer program (or the desktop's choice)
};

/// The view dispatch by extension and settings; `pictureViewerPresent` tells
/// whether the picture viewer program exists beside the executable.
ViewAction ChooseViewAction(std::string_view fileName, bool useDefaultViewer,
                            bool pictureViewerPresent);

/// True for the picture kinds that go to the picture viewer program.
bool IsPictureViewerKind(std::string_view fileName);

/// The associated viewer or editor as stored. Empty means the desktop's
/// application for the file's type; the defaults other systems stored there
/// (NOTEPAD.EXE, PBRUSH.EXE in any directory) read as empty too.
std::string AssociatedProgram(const std::string& stored);

/// A command line split into its program part and parameters the way the
/// shell's "open" takes it: the program part runs up to the first blank after
/// the first place where the command line's extension occurs.
struct ShellCommand {
    std::string program;
    std::string parameters;
};
ShellCommand SplitShellCommand(std::string_view commandLine);

/// True for the files the archive commands take (".ZIP", ".EXE").
bool IsArchiveCandidate(std::string_view fileName);

/// True when the information window shows the registered type name for the
/// extension (executables, libraries, drivers, links ...) rather than the
/// file's description.
bool ShowsRegisteredTypeName(std::string_view fileName);

/// "12 KB (12345 B)".
std::string FileSizeText(uint64_t size);

/// A program and its arguments, started in a directory.
struct LaunchCommand {
    std::string program;
    std::vector<std::string> arguments;
    bool empty() const { return program.empty(); }
};

/// The terminal program from $TERMINAL (trimmed) or x-terminal-emulator.
LaunchCommand TerminalCommand(const std::string& terminalVariable);

/// The defragmentation tool of a file system, for the mounted directory;
/// empty when the file system has none.
LaunchCommand DefragCommand(std::string_view fileSystem, const std::string& mountPoint);
/// The read-only check of a file system on its device; empty when the device
/// is no block device path.
LaunchCommand CheckDiskCommand(const std::string& device);
/// The command wrapped into a terminal window that stays open until Enter.
LaunchCommand InTerminal(const LaunchCommand& terminal, const LaunchCommand& command);

} // namespace zentrix
