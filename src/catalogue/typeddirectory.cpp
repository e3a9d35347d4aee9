#include "catalogue/typeddirectory.h"

#include "catalogue/existingdirectory.h"
#include "core/lexicalpath.h"
#include "core/text.h"
#include "platform/apppaths.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"

#include <cctype>
#include <cerrno>
#include <vector>

namespace zentrix {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool isCataloguePath(std::string_view text) {
    return text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
}

/// "<path>: <reason>" for a host path that is no directory now.
std::string hostProblem(const std::string& host) {
    platform::EntryStat st;
    const int error = platform::StatPath(host, st, true);
    if (error != 0)
        return host + ": " + platform::ErrorText(error);
    if (st.kind != platform::EntryKind::Directory)
        return host + ": " + platform::ErrorText(ENOTDIR);
    return {};
}

} // namespace

bool IsHostPathText(std::string_view text) {
    text = trimmed(text);
    return !text.empty() &&
           (text[0] == '/' || text == "~" || (text.size() >= 2 && text[0] == '~' && text[1] == '/'));
}

std::string ExpandHostPathText(std::string_view text, const std::string& home) {
    text = trimmed(text);
    std::string path;
    if (!text.empty() && text[0] == '~') {
        path = home;
        text.remove_prefix(1);
    }
    path += text;
    return LexicalPath(path);
}

std::string NoDriveProblem(const std::string& hostPath) {
    return hostPath + ": no drive letter stands for a directory that holds it";
}

std::string DirectoryProblem(const platform::DriveTable& drives, const std::string& cataloguePath) {
    if (!isCataloguePath(cataloguePath))
        return cataloguePath + ": not a full path (a drive path such as C:\\DIR or /dir)";
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(cataloguePath[0])));
    if (!drives.Find(letter))
        return cataloguePath + ": there is no drive " + std::string(1, letter) + ":";
    const auto host = drives.ToHostPath(cataloguePath);
    if (!host)
        return cataloguePath + ": \".\" and \"..\" are not directory names here";
    std::string problem = hostProblem(*host);
    return problem.empty() ? cataloguePath + ": not a directory of the drive" : problem;
}

TypedDirectory ResolveTypedDirectory(const platform::DriveTable& drives, std::string_view text,
                                     bool mustExist) {
    TypedDirectory out;
    if (IsHostPathText(text)) {
        const std::string host = ExpandHostPathText(text, platform::AppPaths::Home());
        auto path = drives.ToCataloguePath(host, true);
        // Reached through a link from outside every drive ("/home" standing
        // for "/var/home"): the directory itself may still be on one.
        if (!path)
            path = drives.ToCataloguePath(platform::ResolvedPath(host), true);
        if (!path) {
            out.problem = NoDriveProblem(host);
            return out;
        }
        if (mustExist) {
            if (std::string problem = hostProblem(host); !problem.empty()) {
                out.problem = std::move(problem);
                return out;
            }
        }
        if (mustExist)
            path = ExistingDirectory(drives, *path);
        if (!path) {
            out.problem = host + ": not reachable through its drive";
            return out;
        }
        out.path = std::move(path);
        return out;
    }
    // Blanks around a catalogue path are never part of it as typed: the
    // history boxes keep the text the user saw.
    const std::string_view cat = trimmed(text);
    if (!isCataloguePath(cat)) {
        out.problem = DirectoryProblem(drives, std::string(cat));
        return out;
    }
    std::string path(cat);
    if (path.back() != '\\')
        path.push_back('\\');
    if (!mustExist) {
        out.path = std::move(path);
        return out;
    }
    if (auto existing = ExistingDirectory(drives, path))
        out.path = std::move(existing);
    else
        out.problem = DirectoryProblem(drives, path);
    return out;
}

} // namespace zentrix
