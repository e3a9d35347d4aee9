#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// An external program of the Tools menu and the tools bar. Command lines and
/// icon files are host paths: the tools are programs of this machine.
struct TToolClass {
    std::string ToolCmdLine;    ///< program, then parameters (with placeholders)
    std::string ToolHint;       ///< the menu caption and the button's hint
    std::string ToolIconFileNm; ///< an icon file, or a theme icon name (no "/")
    int ToolIconNum = 0;        ///< which image of a file holding several
    int ToolRunType = 1;        ///< 1 normal, 6 minimised, 3 maximised

    bool operator==(const TToolClass&) const = default;
};

/// Tells whether a program of that name (a path, or a bare name on the PATH)
/// can be started, and whether a file exists.
struct ToolProbe {
    std::function<bool(const std::string& program)> programExists;
    std::function<bool(const std::string& path)> fileExists;
    /// The real probes of this machine.
    static ToolProbe System();
};

/// The user tools, in menu order, with their section "UserTools" of the settings
/// file: ToolsCount and per tool ToolCmdLine, ToolHint, ToolIconFileNm,
/// ToolIconNum and ToolRunType followed by the tool's number.
class TToolList {
public:
    std::vector<TToolClass> Items;

    /// Reads the tools; a tool whose program no longer exists is dropped, an
    /// icon file that is gone becomes the program's own icon.
    void Load(const TEnhIniFile& store, const ToolProbe& probe);
    /// Erases the section and writes the tools afresh (not the file itself).
    void Save(TEnhIniFile& store) const;

    bool operator==(const TToolList&) const = default;
};

/// A tool command line taken apart: the program and the parameter words.
struct ToolCommand {
    std::string program;    ///< as written, without quotes
    std::string parameters; ///< the rest, trimmed
};

/// Finds the program part of a command line. Quotes around it settle it; else
/// the first place where the command line's extension occurs ends it (so a path
/// with blanks ending in ".sh" followed by parameters splits after ".sh"), when
/// that names a program; else the longest run of words that names one; else
/// the first word.
ToolCommand SplitToolCommand(std::string_view commandLine, const ToolProbe& probe);

/// What the placeholders of the parameters stand for, in host form.
struct ToolContext {
    std::string file;                ///< %f the current file (full path)
    std::string name;                ///< %n its name; %N "./" and its name
    std::string directory;           ///< %d the directory selected in the tree
    std::vector<std::string> tagged; ///< %t the tagged files (full paths)
};

/// The program's arguments: the parameters split into words at blanks (text in
/// double or single quotes is one word, without the quotes), then in each word
/// %f, %n, %N, %d and %t replaced and "%%" made "%". A word with %t is repeated for
/// each tagged file; a word that is a placeholder alone and stands for nothing
/// is left out. Replaced text is never split again, so a file name with blanks,
/// quotes or "$" stays one argument and is never read by a shell.
std::vector<std::string> ToolArguments(std::string_view parameters, const ToolContext& context);

/// The directory a tool starts in: that of its program (after a PATH search for
/// a bare name). Empty when there is none.
std::string ToolWorkingDirectory(const std::string& programPath);

/// A program the Tools menu always offers when it is installed.
struct PermanentTool {
    std::string name; ///< the program's name, which the item starts
    std::string path; ///< where it was found (the item's hint)
};
/// The calculator, the desktop's settings, the settings database editor and the
/// system monitor, each the first of its candidates found by `find` (which
/// returns the path of a program name, empty when none).
std::vector<PermanentTool>
PermanentTools(const std::function<std::string(const std::string&)>& find);

} // namespace zentrix
