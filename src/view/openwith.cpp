#include "view/openwith.h"

#include "core/text.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/dirlisting.h"
#include "platform/fileprobe.h"
#include "platform/fileuris.h"
#include "view/desktopentry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <unordered_map>

namespace zentrix {
namespace {

constexpr size_t kMaxTypes = 10000;
constexpr size_t kMaxIdsPerType = 100;
constexpr size_t kMaxListBytes = 1 << 20;
constexpr size_t kMaxEntryBytes = 256 * 1024;
constexpr size_t kMaxEntriesPerDir = 5000;
constexpr int kMaxDepth = 4;

/// The ";"-separated items of a list value, trimmed, empty ones left out.
std::vector<std::string> listItems(std::string_view value, size_t limit) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= value.size() && out.size() < limit) {
        const size_t end = std::min(value.find(';', pos), value.size());
        std::string item = Trim(value.substr(pos, end - pos));
        if (!item.empty())
            out.push_back(std::move(item));
        pos = end + 1;
    }
    return out;
}

/// The escapes of a desktop entry's string values: \s \n \t \r \\. Any other
/// backslash stays, for the Exec quoting rules to read.
std::string unescapeString(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[i + 1]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += value[i];
            continue; // the next character is read on its own
        }
        ++i;
    }
    return out;
}

bool isTrue(const std::map<std::string, std::string>& keys, const char* key) {
    const auto it = keys.find(key);
    return it != keys.end() && it->second == "true";
}

std::string valueOf(const std::map<std::string, std::string>& keys, const char* key) {
    const auto it = keys.find(key);
    return it == keys.end() ? std::string() : it->second;
}

struct Installed {
    std::optional<DesktopApplication> app; // none: hidden or unusable, masking lower ones
    std::string tryExec;
};
using Index = std::unordered_map<std::string, Installed>;

void scanDirectory(const std::string& dir, const std::string& prefix, int depth, Index& index,
                   size_t& budget) {
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::None);
    if (depth > kMaxDepth || !listing.Open(dir))
        return;
    std::vector<std::pair<std::string, bool>> entries;
    platform::DirEntry e;
    while (budget > 0 && listing.Next(e)) {
        --budget;
        if (!e.hostName.empty() && e.hostName[0] == '.')
            continue;
        entries.emplace_back(std::string(e.hostName), e.IsDirectory());
    }
    listing.Close();
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, isDir] : entries) {
        const std::string path = dir + "/" + name;
        if (isDir) {
            scanDirectory(path, prefix + name + "-", depth + 1, index, budget);
            continue;
        }
        if (!name.ends_with(".desktop"))
            continue;
        const std::string id = prefix + name;
        if (index.count(id))
            continue; // a directory of higher precedence has it
        Installed installed;
        const auto text = platform::ReadWholeFile(path, kMaxEntryBytes);
        if (text) {
            installed.app = ParseDesktopApplication(*text);
            if (installed.app) {
                installed.app->id = id;
                installed.app->file = path;
                installed.tryExec = unescapeString(valueOf(ParseDesktopEntry(*text), "TryExec"));
            }
        }
        index.emplace(id, std::move(installed));
    }
}

} // namespace

MimeAppsList ParseMimeAppsList(std::string_view text) {
    MimeAppsList out;
    std::map<std::string, std::vector<std::string>>* group = nullptr;
    size_t types = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            group = line == "[Default Applications]"  ? &out.defaults
                    : line == "[Added Associations]"   ? &out.added
                    : line == "[Removed Associations]" ? &out.removed
                                                       : nullptr;
            continue;
        }
        const size_t eq = line.find('=');
        if (!group || eq == std::string::npos || eq == 0)
            continue;
        const std::string type = Trim(std::string_view(line).substr(0, eq));
        auto it = group->find(type);
        if (it == group->end()) {
            if (types >= kMaxTypes)
                continue;
            ++types;
            it = group->emplace(type, std::vector<std::string>{}).first;
        }
        for (std::string& id :
             listItems(std::string_view(line).substr(eq + 1), kMaxIdsPerType - it->second.size()))
            it->second.push_back(std::move(id));
    }
    return out;
}

std::optional<DesktopApplication> ParseDesktopApplication(std::string_view text) {
    const auto keys = ParseDesktopEntry(text);
    if (valueOf(keys, "Type") != "Application" || isTrue(keys, "Hidden"))
        return std::nullopt;
    DesktopApplication app;
    app.exec = unescapeString(valueOf(keys, "Exec"));
    if (!SplitExec(app.exec))
        return std::nullopt;
    app.name = unescapeString(valueOf(keys, "Name"));
    app.icon = unescapeString(valueOf(keys, "Icon"));
    app.terminal = isTrue(keys, "Terminal");
    app.noDisplay = isTrue(keys, "NoDisplay");
    app.mimeTypes = listItems(valueOf(keys, "MimeType"), kMaxIdsPerType);
    return app;
}

std::optional<std::vector<std::string>> SplitExec(std::string_view exec) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size())
                current += exec[++i];
            else if (c == '"')
                quoted = false;
            else
                current += c;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inArg)
                args.push_back(std::move(current));
            current.clear();
            inArg = false;
            continue;
        }
        inArg = true;
        if (c == '"')
            quoted = true;
        else if (c == '\\' && i + 1 < exec.size())
            current += exec[++i];
        else
            current += c;
    }
    if (quoted)
        return std::nullopt;
    if (inArg)
        args.push_back(std::move(current));
    if (args.empty() || args.front().empty())
        return std::nullopt;
    return args;
}

std::optional<std::vector<std::string>> OpenWithArguments(const DesktopApplication& app,
                                                          const std::string& hostPath) {
    const auto parts = SplitExec(app.exec);
    // The program itself is never a field code: the file would be run.
    if (!parts || parts->front().find('%') != std::string::npos)
        return std::nullopt;
    std::vector<std::string> argv;
    bool fileGiven = false;
    for (const std::string& part : *parts) {
        if (part == "%f" || part == "%F") {
            argv.push_back(hostPath);
            fileGiven = true;
            continue;
        }
        if (part == "%u" || part == "%U") {
            argv.push_back(platform::FileUri(hostPath));
            fileGiven = true;
            continue;
        }
        if (part == "%i") {
            if (!app.icon.empty()) {
                argv.push_back("--icon");
                argv.push_back(app.icon);
            }
            continue;
        }
        std::string expanded;
        bool codesOnly = !part.empty();
        for (size_t i = 0; i < part.size(); ++i) {
            if (part[i] != '%' || i + 1 == part.size()) {
                expanded += part[i];
                codesOnly = false;
                continue;
            }
            switch (part[++i]) {
            case 'f':
            case 'F':
                expanded += hostPath;
                fileGiven = true;
                break;
            case 'u':
            case 'U':
                expanded += platform::FileUri(hostPath);
                fileGiven = true;
                break;
            case 'c':
                expanded += app.name;
                break;
            case 'k':
                expanded += app.file;
                break;
            case '%':
                expanded += '%';
                break;
            default:
                break; // deprecated or unknown: nothing
            }
        }
        // An argument of deprecated codes alone ("%d") goes with them.
        if (codesOnly && expanded.empty())
            continue;
        argv.push_back(std::move(expanded));
    }
    if (!fileGiven)
        argv.push_back(hostPath);
    return argv;
}

OpenWithDirs OpenWithDirs::FromEnvironment() {
    auto split = [](const char* variable, const char* fallback) {
        const char* value = std::getenv(variable);
        std::string text = value && *value ? value : fallback;
        std::vector<std::string> out;
        size_t pos = 0;
        while (pos <= text.size()) {
            const size_t end = std::min(text.find(':', pos), text.size());
            std::string part = text.substr(pos, end - pos);
            // Only absolute directories count, as the base directory rules say.
            if (!part.empty() && part[0] == '/')
                out.push_back(std::move(part));
            pos = end + 1;
        }
        return out;
    };
    std::vector<std::string> desktops;
    if (const char* current = std::getenv("XDG_CURRENT_DESKTOP")) {
        const std::string text = current;
        size_t pos = 0;
        while (pos <= text.size()) {
            const size_t end = std::min(text.find(':', pos), text.size());
            std::string name = text.substr(pos, end - pos);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (!name.empty() && name.find('/') == std::string::npos)
                desktops.push_back(std::move(name));
            pos = end + 1;
        }
    }
    OpenWithDirs dirs;
    auto addLists = [&](const std::string& dir) {
        for (const std::string& desktop : desktops)
            dirs.mimeAppsLists.push_back(dir + "/" + desktop + "-mimeapps.list");
        dirs.mimeAppsLists.push_back(dir + "/mimeapps.list");
    };
    addLists(platform::AppPaths::ConfigHome());
    for (const std::string& dir : split("XDG_CONFIG_DIRS", "/etc/xdg"))
        addLists(dir);
    std::vector<std::string> data{platform::AppPaths::DataHome()};
    for (std::string& dir : split("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        data.push_back(std::move(dir));
    for (const std::string& dir : data) {
        addLists(dir + "/applications");
        dirs.applicationDirs.push_back(dir + "/applications");
    }
    return dirs;
}

std::vector<DesktopApplication> ApplicationsForTypes(const std::vector<std::string>& types,
                                                     const OpenWithDirs& dirs) {
    Index index;
    for (const std::string& dir : dirs.applicationDirs) {
        size_t budget = kMaxEntriesPerDir;
        scanDirectory(dir, "", 0, index, budget);
    }
    std::vector<MimeAppsList> lists;
    for (const std::string& path : dirs.mimeAppsLists)
        if (const auto text = platform::ReadWholeFile(path, kMaxListBytes))
            lists.push_back(ParseMimeAppsList(*text));

    auto usable = [&index](const std::string& id) -> const DesktopApplication* {
        const auto it = index.find(id);
        if (it == index.end() || !it->second.app)
            return nullptr;
        if (!it->second.tryExec.empty() && platform::FindProgram(it->second.tryExec).empty())
            return nullptr;
        return &*it->second.app;
    };
    std::vector<DesktopApplication> out;
    std::set<std::string> offered;
    auto offer = [&](const std::string& id) {
        if (const DesktopApplication* app = usable(id); app && offered.insert(id).second)
            out.push_back(*app);
    };
    for (const std::string& type : types) {
        bool defaultFound = false;
        for (const MimeAppsList& list : lists) {
            const auto it = list.defaults.find(type);
            if (it == list.defaults.end())
                continue;
            for (const std::string& id : it->second)
                if (usable(id)) {
                    offer(id);
                    defaultFound = true;
                    break;
                }
            if (defaultFound)
                break;
        }
        std::set<std::string> removed;
        for (const MimeAppsList& list : lists) {
            if (const auto it = list.added.find(type); it != list.added.end())
                for (const std::string& id : it->second)
                    if (!removed.count(id))
                        offer(id);
            if (const auto it = list.removed.find(type); it != list.removed.end())
                removed.insert(it->second.begin(), it->second.end());
        }
        std::vector<const DesktopApplication*> listing;
        for (const auto& [id, installed] : index) {
            const DesktopApplication* app = installed.app ? &*installed.app : nullptr;
            if (app && !app->noDisplay && !removed.count(id) &&
                std::find(app->mimeTypes.begin(), app->mimeTypes.end(), type) !=
                    app->mimeTypes.end())
                listing.push_back(app);
        }
        std::sort(listing.begin(), listing.end(), [](const auto* a, const auto* b) {
            const std::string x = UpperCase(a->name), y = UpperCase(b->name);
            return x != y ? x < y : a->id < b->id;
        });
        for (const DesktopApplication* app : listing)
            offer(app->id);
    }
    return out;
}

} // namespace zentrix
