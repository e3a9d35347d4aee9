#include "config/mrulist.h"

#include "config/tenhinifile.h"

#include <algorithm>
#include <unordered_set>

namespace zentrix {

void MruList::Add(const std::string& entry) {
    const auto found = std::find(m_items.begin(), m_items.end(), entry);
    if (found != m_items.end())
        m_items.erase(found);
    m_items.push_back(entry);
    trim();
}

bool MruList::Remove(const std::string& entry) {
    const auto found = std::find(m_items.begin(), m_items.end(), entry);
    if (found == m_items.end())
        return false;
    m_items.erase(found);
    return true;
}

void MruList::trim() {
    const size_t limit = static_cast<size_t>(std::max(Maximum, 0));
    if (m_items.size() > limit)
        m_items.erase(m_items.begin(), m_items.end() - static_cast<std::ptrdiff_t>(limit));
}

std::string MruList::Section() const {
    return AutoSaveName + "\\" + AutoSaveKey;
}

void MruList::Save(TEnhIniFile& store) const {
    const std::string section = Section();
    store.EraseSection(section);
    for (size_t i = 0; i < m_items.size(); ++i)
        store.WriteString(section, "F" + std::to_string(i), m_items[i]);
}

void MruList::Load(const TEnhIniFile& store) {
    m_items.clear();
    // A damaged file may hold any number of values: repeats are found by
    // lookup, not by searching what was read so far.
    std::unordered_set<std::string> seen;
    for (auto& [name, value] : store.ReadSectionPairs(Section())) {
        if (value.empty() || !seen.insert(value).second)
            continue;
        m_items.push_back(std::move(value));
    }
    trim();
}

std::string MruCaption(int index, const std::string& entry) {
    return "&" + std::to_string(index + 1) + " " + entry;
}

namespace {

// Splits "C:\A\B\C\" into "C:\", "A\", "B\", "C\" (each keeps its separator).
std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find_first_of("\\/", start);
        end = end == std::string::npos ? path.size() : end + 1;
        parts.push_back(path.substr(start, end - start));
        start = end;
    }
    return parts;
}

// Characters of a UTF-8 text, so that shortening never splits one.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

} // namespace

std::string ShortenPathMiddle(const std::string& entry, int maxWidth,
                              const std::function<int(const std::string&)>& width) {
    if (maxWidth <= 0 || width(entry) <= maxWidth)
        return entry;
    const std::string ellipsis = "...";
    const std::vector<std::string> parts = components(entry);
    if (parts.size() >= 3) {
        // Keep the first component and as many trailing ones as fit.
        const std::string separator = parts.front().back() == '/' ? "/" : "\\";
        for (size_t keep = parts.size() - 2; keep >= 1; --keep) {
            std::string candidate = parts.front() + ellipsis + separator;
            for (size_t i = parts.size() - keep; i < parts.size(); ++i)
                candidate += parts[i];
            if (width(candidate) <= maxWidth)
                return candidate;
        }
    }
    // Not even first + "..." + last fits: take characters out of the middle.
    const std::string head =
        parts.size() >= 3 ? parts.front() + ellipsis + (parts.front().back() == '/' ? "/" : "\\")
                          : std::string();
    const std::vector<std::string> chars = characters(parts.size() >= 3 ? parts.back() : entry);
    for (size_t kept = chars.size(); kept-- > 0;) {
        const size_t front = (kept + 1) / 2;
        const size_t back = kept - front;
        std::string candidate = head;
        for (size_t i = 0; i < front; ++i)
            candidate += chars[i];
        candidate += ellipsis;
        for (size_t i = chars.size() - back; i < chars.size(); ++i)
            candidate += chars[i];
        if (width(candidate) <= maxWidth || kept == 0)
            return candidate;
    }
    return ellipsis;
}

} // namespace zentrix
