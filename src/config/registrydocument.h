#pragma once

#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zentrix {

/// The content of one settings file: keys (backslash-separated paths) holding
/// named values in the order they were first written. Paths and names compare
/// without regard to case. Lookups go through indices, so reading a file costs
/// time in proportion to its size whatever its shape. Not thread-safe; the
/// settings store guards it.
class RegistryDocument {
public:
    struct Value {
        std::string name;
        std::string upperName;
        std::string data;
        bool binary = false;
    };

    struct Key {
        std::string path; // components joined by "\", in the case first written
        std::string upperPath;
        std::vector<Value> values;

        const Value* find(const std::string& upperName) const;
        /// True when both hold the same values in the same order.
        bool sameValues(const Key& other) const;

    private:
        friend class RegistryDocument;
        Value* find(const std::string& upperName);
        void set(const std::string& name, std::string upperName, std::string data, bool binary);
        bool remove(const std::string& upperName);
        void reindex();
        std::unordered_map<std::string, size_t> m_index; // upper name -> position in values
    };

    RegistryDocument() = default;
    RegistryDocument(const RegistryDocument& other);
    RegistryDocument& operator=(const RegistryDocument& other);
    RegistryDocument(RegistryDocument&&) noexcept = default;
    RegistryDocument& operator=(RegistryDocument&&) noexcept = default;

    /// Reads the text form. Lines that make no sense are skipped and counted.
    static RegistryDocument Parse(std::string_view text);
    /// The text form; Parse(Serialize()) gives the same document.
    std::string Serialize() const;
    int SkippedLines() const { return m_skippedLines; }

    /// "a\\b\" -> "a\b": empty components dropped.
    static std::string NormalizePath(std::string_view path);

    const Key* FindKey(const std::string& path) const;
    const Value* FindValue(const std::string& keyPath, const std::string& name) const;
    /// True when the document changed (a value written with its old content does not).
    bool SetValue(const std::string& keyPath, const std::string& name, std::string data,
                  bool binary);
    /// Creates the key when missing; true when it was.
    bool MakeKey(const std::string& keyPath);
    /// Removes the key and every key below it; true when anything was there.
    bool EraseKey(const std::string& keyPath);
    bool DeleteValue(const std::string& keyPath, const std::string& name);
    /// Names of the keys directly below a key, in the order of the file.
    std::vector<std::string> SubKeys(const std::string& keyPath) const;
    /// Every key, in the order of the file.
    const std::list<Key>& Keys() const { return m_keys; }

    /// What another writer left in the file (`fresh`) with this writer's own
    /// changes (those that led from `base` to `mine`) applied on top. A key only
    /// one side changed is taken whole from that side; a key both changed gets
    /// this writer's values over the other's, and a key this writer erased stays
    /// erased.
    static RegistryDocument Merge(const RegistryDocument& base, const RegistryDocument& mine,
                                  const RegistryDocument& fresh);

private:
    Key* findKey(const std::string& upperPath);
    Key& makeKey(const std::string& path);
    void replaceKey(const Key& key);
    bool eraseExactKey(const std::string& upperPath);
    void reindex();
    /// Counts a key in (+1) or out (-1) of m_below for each key path above it.
    void countBelow(const std::string& upperPath, int delta);

    std::list<Key> m_keys;
    std::unordered_map<std::string, std::list<Key>::iterator> m_index; // upper path -> key
    // Upper path -> how many keys lie below it (none: not there), so that
    // asking for a key's subkeys or erasing a key costs nothing when it has none.
    std::unordered_map<std::string, size_t> m_below;
    int m_skippedLines = 0;
};

} // namespace zentrix
