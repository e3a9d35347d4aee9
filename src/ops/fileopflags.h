#pragma once

#include <cstdint>
#include <initializer_list>

namespace zentrix {

/// What a TFileOperator does, in this order.
enum class FileOperation { foCopy, foDelete, foMove, foRename };

/// The operator's switches, in this order.
enum class FileOpFlag {
    foAllowUndo,         // delete to the trash
    foConfirmMouse,      // kept for callers; asks nothing more here
    foFilesOnly,         // kept for callers: sources are exact names here
    foMultiDestFiles,    // kept for callers: SetDestinations gives one per source
    foNoConfirmation,    // every question answered "yes, to all"
    foNoConfirmMkDir,    // missing destination directories made without asking
    foRenameOnCollision, // an existing target makes the copy "name (2).ext"
    foSilent,            // no progress window
    foSimpleProgress,    // a progress window without file names
};

/// A set of FileOpFlag.
class FileOpFlags {
public:
    constexpr FileOpFlags() = default;
    constexpr FileOpFlags(std::initializer_list<FileOpFlag> flags) {
        for (FileOpFlag f : flags)
            m_bits |= bit(f);
    }
    constexpr bool has(FileOpFlag f) const { return (m_bits & bit(f)) != 0; }
    constexpr FileOpFlags& add(FileOpFlag f) {
        m_bits |= bit(f);
        return *this;
    }
    constexpr FileOpFlags& remove(FileOpFlag f) {
        m_bits &= ~bit(f);
        return *this;
    }
    constexpr bool operator==(const FileOpFlags&) const = default;

private:
    static constexpr uint32_t bit(FileOpFlag f) { return 1u << static_cast<int>(f); }
    uint32_t m_bits = 0;
};

} // namespace zentrix
