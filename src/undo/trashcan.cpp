#include "undo/trashcan.h"

#include "core/prompter.h"
#include "platform/hostpath.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <set>

namespace zentrix {
namespace {

using platform::HostBaseName;
using platform::HostJoin;
using platform::HostParent;
using platform::IsSingleName;

constexpr const char* kFiveBlanks = "     ";

bool exists(const std::string& path) {
    platform::EntryStat st;
    return platform::StatPath(path, st) != ENOENT;
}

} // namespace

TrashCan::TrashCan(Prompter& prompter) : m_prompter(prompter) {}

std::string TrashCan::shown(const std::string& path) const {
    return display ? display(path) : path;
}

void TrashCan::Read(const std::vector<std::string>& roots) {
    m_roots = roots;
    std::vector<std::string> tops;
    for (const std::string& root : roots)
        tops.push_back(platform::MountTopOf(root));
    std::sort(tops.begin(), tops.end());
    tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
    m_items.clear();
    for (const std::string& trash : platform::TrashDirectories(tops)) {
        std::vector<platform::TrashEntry> items = platform::ListTrash(trash);
        std::move(items.begin(), items.end(), std::back_inserter(m_items));
    }
    // Newest first, as the desktop's trash shows them by default.
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const platform::TrashEntry& a, const platform::TrashEntry& b) {
                         return a.deletionDate > b.deletionDate;
                     });
}

std::vector<std::string> TrashCan::Restore(const std::vector<size_t>& indexes) {
    std::set<std::string> changed;
    for (const size_t i : indexes) {
        if (i >= m_items.size())
            continue;
        const platform::TrashEntry& item = m_items[i];
        if (item.originalPath.empty()) {
            m_prompter.inform("The place " + item.name +
                              " came from is not known; it stays in the trash." + kFiveBlanks);
            continue;
        }
        std::string to = item.originalPath;
        int e = EEXIST;
        while (e == EEXIST) {
            if (exists(to)) {
                const auto name = m_prompter.inputText(
                    "Restore",
                    "The name " + shown(to) + " is taken. Restore it as:", HostBaseName(to));
                if (!name)
                    break;
                if (!IsSingleName(*name) || *name == HostBaseName(to))
                    continue;
                to = HostJoin(HostParent(to), *name);
                continue;
            }
            e = platform::RestoreTrashItem(item.trashDir, item.name, to);
        }
        if (e == 0)
            changed.insert(HostParent(to));
        else if (e != EEXIST)
            m_prompter.inform("Cannot restore " + item.name + " to " + shown(to) + ": " +
                              platform::ErrorText(e) + kFiveBlanks);
    }
    Read(m_roots);
    return {changed.begin(), changed.end()};
}

bool TrashCan::erase(const std::vector<size_t>& indexes) {
    for (const size_t i : indexes) {
        if (i >= m_items.size())
            continue;
        if (const int e = platform::EraseTrashItem(m_items[i].trashDir, m_items[i].name))
            m_prompter.inform("Cannot delete " + m_items[i].name + ": " + platform::ErrorText(e) +
                              kFiveBlanks);
    }
    Read(m_roots);
    return true;
}

bool TrashCan::DeleteForGood(const std::vector<size_t>& indexes) {
    std::vector<size_t> valid;
    for (const size_t i : indexes)
        if (i < m_items.size())
            valid.push_back(i);
    if (valid.empty())
        return false;
    const std::string what = valid.size() == 1 ? m_items[valid[0]].name
                                               : "these " + std::to_string(valid.size()) + " items";
    if (!m_prompter.askYesNo("Delete " + what + " for good?" + kFiveBlanks))
        return false;
    return erase(valid);
}

bool TrashCan::Empty() {
    if (m_items.empty())
        return false;
    if (!m_prompter.askYesNo("Empty the trash? Its " + std::to_string(m_items.size()) +
                             (m_items.size() == 1 ? " item is" : " items are") +
                             " deleted for good." + kFiveBlanks))
        return false;
    std::vector<size_t> all(m_items.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return erase(all);
}

} // namespace zentrix
