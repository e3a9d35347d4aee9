#include "view/zipplan.h"

#include "core/text.h"

#include <algorithm>

namespace zentrix {

namespace {

std::string directoryOf(const std::string& fullName) {
    const size_t slash = fullName.rfind('\\');
    return slash == std::string::npos ? std::string() : fullName.substr(0, slash + 1);
}

std::string nameOf(const std::string& fullName) {
    const size_t slash = fullName.rfind('\\');
    return slash == std::string::npos ? fullName : fullName.substr(slash + 1);
}

std::string withoutExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool isRoot(const std::string& dir) {
    return dir.size() <= 3;
} // "C:\"

// The directory's own name: "C:\DOCS\LETTERS\" -> "LETTERS".
std::string ownName(const std::string& dir) {
    const std::string trimmed = dir.substr(0, dir.size() - 1);
    return nameOf(trimmed);
}

// The longest common directory of two directory paths (both ending in "\").
std::string commonDirectory(const std::string& a, const std::string& b) {
    size_t keep = 0;
    size_t pos = 0;
    while (true) {
        const size_t ea = a.find('\\', pos);
        const size_t eb = b.find('\\', pos);
        if (ea == std::string::npos || ea != eb ||
            !EqualsIgnoreCase(std::string_view(a).substr(pos, ea - pos),
                              std::string_view(b).substr(pos, eb - pos)))
            break;
        keep = ea + 1;
        pos = ea + 1;
    }
    return a.substr(0, keep);
}

} // namespace

ZipPlan PlanTaggedZip(const std::vector<std::string>& fullNames,
                      const std::string& selectedDirectory) {
    ZipPlan plan;
    if (fullNames.empty())
        return plan;
    std::string common = directoryOf(fullNames.front());
    for (const std::string& name : fullNames)
        common = commonDirectory(common, directoryOf(name));
    plan.baseDirectory = common;
    for (const std::string& name : fullNames) {
        std::string relative = name.substr(common.size());
        if (relative.find('\\') != std::string::npos)
            plan.keepSubdirectories = true;
        plan.names.push_back(std::move(relative));
    }
    const std::string first = withoutExtension(nameOf(fullNames.front()));
    const bool oneName = std::all_of(fullNames.begin(), fullNames.end(), [&](const std::string& n) {
        return EqualsIgnoreCase(withoutExtension(nameOf(n)), first);
    });
    std::string archive;
    if (oneName)
        archive = UpperCase(first) + ".ZIP";
    else if (isRoot(common))
        archive = "NewArchive.ZIP";
    else
        archive = ownName(common) + ".ZIP";
    plan.archivePath = (isRoot(common) ? selectedDirectory : common) + archive;
    return plan;
}

ZipPlan PlanDirectoryZip(const std::string& directory, const std::string& fileSpec, bool recurse) {
    ZipPlan plan;
    plan.baseDirectory = directory;
    plan.recurse = recurse;
    plan.keepSubdirectories = recurse;
    size_t pos = 0;
    while (pos < fileSpec.size()) {
        const size_t start = fileSpec.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const size_t end = std::min(fileSpec.find(' ', start), fileSpec.size());
        plan.names.push_back(directory + fileSpec.substr(start, end - start));
        pos = end;
    }
    if (plan.names.empty())
        plan.names.push_back(directory + "*.*");
    plan.archivePath = directory + (isRoot(directory) ? "NewArchive" : ownName(directory)) + ".ZIP";
    return plan;
}

std::string ZipFileList(const std::vector<ZipListItem>& items) {
    std::string list;
    for (const ZipListItem& item : items) {
        if (item.path.empty() || item.path.find('\0') != std::string::npos)
            continue; // no name holds a NUL; an empty one would end the list
        list += item.mask ? 'M' : 'F';
        list += item.path;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::vector<ZipListItem> ParseZipFileList(const char* list) {
    std::vector<ZipListItem> items;
    if (!list)
        return items;
    while (*list) {
        const std::string entry = list;
        list += entry.size() + 1;
        if (entry.size() > 1 && (entry[0] == 'F' || entry[0] == 'M'))
            items.push_back({entry.substr(1), entry[0] == 'M'});
    }
    return items;
}

} // namespace zentrix
