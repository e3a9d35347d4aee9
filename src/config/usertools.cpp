#include "config/usertools.h"

#include "config/tenhinifile.h"
#include "core/text.h"
#include "platform/fileprobe.h"

#include <algorithm>

namespace zentrix {
namespace {

constexpr const char* kSection = "UserTools";
// A command line of more words than this is not searched word by word.
constexpr size_t kMaxProbedWords = 64;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program part by the command line's extension: up to the first blank after
// the first place where the text from the last "." on occurs. Empty when the
// last "." is followed by a path separator or ":", or there is none.
std::string ByExtension(const std::string& line) {
    const std::string s = line + " ";
    const size_t dot = s.rfind('.');
    if (dot == std::string::npos || s.find_first_of("\\/:", dot) != std::string::npos)
        return {};
    const size_t first = s.find(s.substr(dot));
    const size_t blank = s.find(' ', first);
    return s.substr(0, blank);
}

// Replaces the placeholders of one word; `tagged` stands for %t.
std::string Expand(std::string_view word, const ToolContext& c, const std::string& tagged) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%' || i + 1 >= word.size()) {
            out += word[i];
            continue;
        }
        switch (word[i + 1]) {
        case 'f':
            out += c.file;
            break;
        case 'n':
            out += c.name;
            break;
        case 'N':
            // A name that begins with "-" is no option after "./".
            if (!c.name.empty())
                out += "./" + c.name;
            break;
        case 'd':
            out += c.directory;
            break;
        case 't':
            out += tagged;
            break;
        case '%':
            out += '%';
            break;
        default:
            out += '%';
            continue; // the next character is plain text
        }
        ++i;
    }
    return out;
}

bool HasPlaceholder(std::string_view word, char which) {
    for (size_t i = 0; i + 1 < word.size(); ++i) {
        if (word[i] != '%')
            continue;
        if (word[i + 1] == which)
            return true;
        if (word[i + 1] == '%')
            ++i;
    }
    return false;
}

struct Word {
    std::string text;
    bool quoted = false;
};

std::vector<Word> SplitWords(std::string_view text) {
    std::vector<Word> words;
    Word current;
    bool inWord = false;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                current.text += c;
            continue;
        }
        if (IsBlank(c)) {
            if (inWord)
                words.push_back(std::move(current));
            current = {};
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '"' || c == '\'') {
            quote = c;
            current.quoted = true;
        } else {
            current.text += c;
        }
    }
    if (inWord)
        words.push_back(std::move(current));
    return words;
}

} // namespace

ToolProbe ToolProbe::System() {
    return {[](const std::string& program) { return !platform::FindProgram(program).empty(); },
            [](const std::string& path) {
                return platform::IsFile(path);
            }};
}

ToolCommand SplitToolCommand(std::string_view commandLine, const ToolProbe& probe) {
    const std::string line = Trim(commandLine);
    if (line.empty())
        return {};
    if (line[0] == '"' || line[0] == '\'') {
        const size_t close = line.find(line[0], 1);
        if (close == std::string::npos)
            return {line.substr(1), {}};
        return {line.substr(1, close - 1), Trim(std::string_view(line).substr(close + 1))};
    }
    if (const std::string program = ByExtension(line);
        !program.empty() && probe.programExists(program))
        return {program, Trim(std::string_view(line).substr(program.size()))};
    // The longest run of words that names a program (a path with blanks).
    std::vector<size_t> wordEnds;
    for (size_t i = 0; i < line.size(); ++i)
        if (!IsBlank(line[i]) && (i + 1 == line.size() || IsBlank(line[i + 1])))
            wordEnds.push_back(i + 1);
    if (wordEnds.size() > kMaxProbedWords)
        wordEnds.resize(kMaxProbedWords);
    for (size_t k = wordEnds.size(); k-- > 1;) {
        const std::string program = line.substr(0, wordEnds[k]);
        if (probe.programExists(program))
            return {program, Trim(std::string_view(line).substr(wordEnds[k]))};
    }
    return {line.substr(0, wordEnds[0]), Trim(std::string_view(line).substr(wordEnds[0]))};
}

std::vector<std::string> ToolArguments(std::string_view parameters, const ToolContext& context) {
    std::vector<std::string> args;
    for (const Word& word : SplitWords(parameters)) {
        if (HasPlaceholder(word.text, 't')) {
            for (const std::string& file : context.tagged)
                args.push_back(Expand(word.text, context, file));
            continue;
        }
        std::string value = Expand(word.text, context, {});
        const bool placeholderAlone =
            word.text.size() == 2 && word.text[0] == '%' &&
            std::string_view("fnNd").find(word.text[1]) != std::string_view::npos;
        if (value.empty() && placeholderAlone)
            continue;
        args.push_back(std::move(value));
    }
    return args;
}

std::string ToolWorkingDirectory(const std::string& programPath) {
    const std::string path = platform::FindProgram(programPath);
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

void TToolList::Load(const TEnhIniFile& store, const ToolProbe& probe) {
    Items.clear();
    // A damaged count must not keep the loop going: there are never more tools
    // than values in the section.
    const int stored = store.ReadInteger(kSection, "ToolsCount", 0);
    const int count = std::min<int>(stored, static_cast<int>(store.ReadSection(kSection).size()));
    for (int n = 0; n < count; ++n) {
        const std::string i = std::to_string(n);
        TToolClass tool;
        tool.ToolCmdLine = store.ReadString(kSection, "ToolCmdLine" + i, {});
        const ToolCommand command = SplitToolCommand(tool.ToolCmdLine, probe);
        if (command.program.empty() || !probe.programExists(command.program))
            continue;
        tool.ToolHint = store.ReadString(kSection, "ToolHint" + i, {});
        tool.ToolIconFileNm = store.ReadString(kSection, "ToolIconFileNm" + i, {});
        // A theme icon is named without a path; a file must still be there.
        const bool themeIcon =
            !tool.ToolIconFileNm.empty() && tool.ToolIconFileNm.find('/') == std::string::npos;
        if (themeIcon || probe.fileExists(tool.ToolIconFileNm)) {
            tool.ToolIconNum = store.ReadInteger(kSection, "ToolIconNum" + i, 0);
        } else {
            tool.ToolIconFileNm = command.program;
            tool.ToolIconNum = 0;
        }
        tool.ToolRunType = store.ReadInteger(kSection, "ToolRunType" + i, 1);
        Items.push_back(std::move(tool));
    }
}

void TToolList::Save(TEnhIniFile& store) const {
    store.EraseSection(kSection);
    store.WriteInteger(kSection, "ToolsCount", static_cast<int>(Items.size()));
    for (size_t n = 0; n < Items.size(); ++n) {
        const std::string i = std::to_string(n);
        const TToolClass& t = Items[n];
        store.WriteString(kSection, "ToolCmdLine" + i, t.ToolCmdLine);
        store.WriteString(kSection, "ToolHint" + i, t.ToolHint);
        store.WriteString(kSection, "ToolIconFileNm" + i, t.ToolIconFileNm);
        store.WriteInteger(kSection, "ToolIconNum" + i, t.ToolIconNum);
        store.WriteInteger(kSection, "ToolRunType" + i, t.ToolRunType);
    }
}

std::vector<PermanentTool>
PermanentTools(const std::function<std::string(const std::string&)>& find) {
    // What stands on a desktop for the calculator, the control panel, the
    // registry editor and the system monitor.
    static const std::vector<std::vector<std::string>> kCandidates = {
        {"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"},
        {"gnome-control-center", "systemsettings", "xfce4-settings-manager", "mate-control-center"},
        {"dconf-editor", "gconf-editor"},
        {"gnome-system-monitor", "plasma-systemmonitor", "ksysguard", "xfce4-taskmanager",
         "mate-system-monitor"},
    };
    std::vector<PermanentTool> tools;
    for (const auto& candidates : kCandidates)
        for (const std::string& name : candidates)
            if (const std::string path = find(name); !path.empty()) {
                tools.push_back({name, path});
                break;
            }
    return tools;
}

} // namespace zentrix
