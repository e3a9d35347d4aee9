#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// The entries of a recent list, oldest first, and how they persist: under the
/// key `AutoSaveName` + "\" + `AutoSaveKey`, one value per entry named "F" + its
/// index. Entries compare exactly: on this system two paths that differ in case
/// are two directories.
class MruList {
public:
    int Maximum = 5;
    std::string AutoSaveName = "\\Software\\My Application";
    std::string AutoSaveKey = "MRU Items";

    const std::vector<std::string>& Items() const { return m_items; }

    /// A new entry is appended and the oldest dropped down to Maximum; an entry
    /// already listed moves to the end.
    void Add(const std::string& entry);
    /// Removes an entry; false when it was not listed.
    bool Remove(const std::string& entry);
    void Clear() { m_items.clear(); }

    /// The section the list is stored in: AutoSaveName + "\" + AutoSaveKey.
    std::string Section() const;
    /// Replaces the stored key with the entries F0, F1, ...
    void Save(TEnhIniFile& store) const;
    /// Reads every value of the stored key in order (the part after the first "="
    /// of each "name=value"). Empty values and repeats are skipped, and of more
    /// than Maximum entries the newest are kept.
    void Load(const TEnhIniFile& store);

private:
    void trim();
    std::vector<std::string> m_items;
};

/// A menu caption: "&" + the 1-based number + " " + the entry.
std::string MruCaption(int index, const std::string& entry);

/// The entry shortened to fit `maxWidth` as measured by `width`: whole path
/// components are taken out of the middle and replaced by "..." (the first
/// component and the last stay), and when even that is too wide the last
/// component loses characters in its middle. An entry that fits is returned as
/// it is.
std::string ShortenPathMiddle(const std::string& entry, int maxWidth,
                              const std::function<int(const std::string&)>& width);

} // namespace zentrix
