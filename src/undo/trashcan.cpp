#include "undo/trashcan.h"

#include "core/prompter.h"
#include "ops/freename.h"
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

/// The same entry as listed: a directory may have changed inside (its size
/// is measured anew), anything else must be as it was.
bool sameItem(const platform::EntryStat& now, const platform::EntryStat& then) {
    if (now.kind != then.kind)
        return false;
    return now.kind == platform::EntryKind::Directory
               ? now.device == then.device && now.inode == then.inode
               : platform::SameAndUnchanged(now, then);
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
                const std::string free = FreeNumberedName(to);
                const auto name = m_prompter.inputText(
                    "Restore", "The name " + shown(to) + " is taken. Restore it as:",
                    free.empty() ? HostBaseName(to) : free);
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
        const platform::TrashEntry& item = m_items[i];
        // Only what the list showed goes for good: an item another program
        // put in its place, or one that changed since, is asked about.
        platform::EntryStat now;
        const int found = platform::StatPath(item.trashDir + "/files/" + item.name, now);
        if (found == ENOENT)
            continue;
        if (found == 0 && !sameItem(now, item.stat) &&
            !m_prompter.askYesNo(item.name + " in the trash changed since the list was read." +
                                 "\n\nDelete it for good anyway?" + kFiveBlanks))
            continue;
        if (const int e = platform::EraseTrashItem(item.trashDir, item.name))
            m_prompter.inform("Cannot delete " + item.name + ": " + platform::ErrorText(e) +
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
