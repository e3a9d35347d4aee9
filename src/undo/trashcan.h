#pragma once

#include "platform/trashbin.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zentrix {

class Prompter;

/// What the "Trash ..." window shows and does: the items in the home trash and
/// in the trash of every logged drive's file system, as the desktop keeps them
/// (items other programs put there included), put back where they came from,
/// deleted for good or all emptied, each after its question. Main thread.
class TrashCan {
public:
    explicit TrashCan(Prompter& prompter);

    /// Reads the trashes again: the home trash and those of the volumes that
    /// hold `roots` (host directories, the logged drives' roots).
    void Read(const std::vector<std::string>& roots);
    const std::vector<platform::TrashEntry>& Items() const { return m_items; }

    /// Puts items back where they came from. A taken place asks for another
    /// name; an item whose place is not known (its description is missing or
    /// unusable) is named and stays. Returns the host directories that got
    /// entries back.
    std::vector<std::string> Restore(const std::vector<size_t>& indexes);
    /// Deletes items for good after the question; false when the answer was No.
    bool DeleteForGood(const std::vector<size_t>& indexes);
    /// Deletes everything shown for good after the question.
    bool Empty();

    /// The form a host path is shown in (by default as it is).
    std::function<std::string(const std::string&)> display;

private:
    std::string shown(const std::string& path) const;
    bool erase(const std::vector<size_t>& indexes);

    Prompter& m_prompter;
    std::vector<platform::TrashEntry> m_items;
    std::vector<std::string> m_roots;
};

} // namespace zentrix
