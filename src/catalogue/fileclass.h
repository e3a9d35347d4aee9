#pragma once

#include "core/text.h" // ExtensionOf

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

class TTreeNode;
class TIcon;

/// A file of a logged directory. Records are made only by their TFileList, which
/// places each in one of its runs with the name bytes right behind the fields:
/// 17 bytes plus the name per file, no heap block of its own. The record finds
/// its directory through the run it lies in (a 16-bit distance back to the
/// run's header). The rare per-file description and icon live in side tables of
/// the list, and so do a name of more than 255 bytes, the size of a file of
/// 4 GiB or more (the record holds 32 bits of it) and attribute bits above the
/// lowest eight (the rare ones of other systems' volumes). Files that large
/// are few on any disk; the two bytes every other record saves are worth far
/// more than the side entries they cost.
#pragma pack(push, 1)
class TFileClass {
public:
    TFileClass(const TFileClass&) = delete;
    TFileClass& operator=(const TFileClass&) = delete;

    /// The name as the directory read returned it, without path.
    std::string_view FileName() const;
    /// The size in bytes, whole: never negative, however large the file.
    int64_t FileSize() const {
        if (m_flags & kSizeElsewhere)
            return sizeKeptAside();
        return static_cast<int64_t>(m_size);
    }
    uint16_t Attributes() const {
        return (m_flags & kAttributesElsewhere) ? attributesKeptAside() : m_attributes;
    }
    /// 100-ns units since 1601-01-01 UTC.
    int64_t LastWriteTime() const { return m_lastWriteTime; }
    TTreeNode* DirNode() const;
    uint8_t Tagged() const { return (m_flags & kTagged) ? 1 : 0; }
    void SetTagged(bool tagged) { m_flags = tagged ? (m_flags | kTagged) : (m_flags & ~kTagged); }

    /// The per-file description cache (own-description kinds); empty until fetched.
    const std::string& DescText() const;
    void SetDescText(std::string text);
    /// The file's own icon, owned by the record; none until first drawn.
    TIcon* FileIcon() const;

    /// Path of the directory, ending in a backslash.
    std::string FileDirName() const;
    /// FileDirName followed by FileName.
    std::string FullName() const;
    /// The extension from the last full stop on, in upper case; empty without one.
    std::string FileExt() const;

    /// Updates the fields a changed file shows (after an attribute or date change).
    void SetAttributes(uint16_t attributes);
    void SetLastWriteTime(int64_t time) { m_lastWriteTime = time; }
    void SetFileSize(int64_t size);

    /// Sizes below this are held in the record itself.
    static constexpr int64_t kSizeInPlaceLimit = int64_t(1) << 32;

private:
    friend class TFileList;
    TFileClass() = default;

    enum Flags : uint8_t {
        kHasDescText = 1,
        kHasIcon = 2,
        kNameElsewhere = 4,
        kRemoved = 8,
        kSizeElsewhere = 16,
        kTagged = 32,
        kAttributesElsewhere = 64,
    };

    int64_t sizeKeptAside() const;
    uint16_t attributesKeptAside() const;
    /// Puts a size into the record's fields; false when it needs the side table.
    bool setSizeInPlace(int64_t size);

    const char* inlineName() const { return reinterpret_cast<const char*>(this + 1); }
    char* inlineName() { return reinterpret_cast<char*>(this + 1); }

    uint16_t m_runOffset = 0; // bytes from the header of the run the record lies in
    int64_t m_lastWriteTime = 0;
    uint32_t m_size = 0;      // all of it unless kSizeElsewhere
    uint8_t m_attributes = 0; // the lowest eight bits (all of them unless kAttributesElsewhere)
    uint8_t m_flags = 0;
    uint8_t m_nameLen = 0; // name bytes held in place (the record's size in its run)
};
#pragma pack(pop)

static_assert(sizeof(TFileClass) == 17, "the record layout is part of the memory budget");

} // namespace zentrix
