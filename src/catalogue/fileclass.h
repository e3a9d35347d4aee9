#pragma once

#include "core/text.h" // ExtensionOf

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

class TTreeNode;
class TIcon;

/// A file of a logged directory. Records are made only by their TFileList, which
/// places each in its directory's blocks with the name bytes right behind the
/// fields: 30 bytes plus the name per file, no heap block of its own. The rare
/// per-file description and icon live in side tables of the list.
#pragma pack(push, 1)
class TFileClass {
public:
    TFileClass(const TFileClass&) = delete;
    TFileClass& operator=(const TFileClass&) = delete;

    /// The name as the directory read returned it, without path.
    std::string_view FileName() const;
    /// Low 32 bits of the size; files of 2 GB and more read negative.
    int32_t FileSize() const { return m_fileSize; }
    uint16_t Attributes() const { return m_attributes; }
    /// 100-ns units since 1601-01-01 UTC.
    int64_t LastWriteTime() const { return m_lastWriteTime; }
    int32_t DescIndex() const { return m_descIndex; }
    void SetDescIndex(int32_t index) { m_descIndex = index; }
    TTreeNode* DirNode() const { return m_dirNode; }
    uint8_t Tagged() const { return m_tagged; }
    void SetTagged(bool tagged) { m_tagged = tagged ? 1 : 0; }

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
    void SetAttributes(uint16_t attributes) { m_attributes = attributes; }
    void SetLastWriteTime(int64_t time) { m_lastWriteTime = time; }
    void SetFileSize(int32_t size) { m_fileSize = size; }

private:
    friend class TFileList;
    TFileClass() = default;

    enum Flags : uint8_t { kHasDescText = 1, kHasIcon = 2, kNameElsewhere = 4, kRemoved = 8 };

    const char* inlineName() const { return reinterpret_cast<const char*>(this + 1); }
    char* inlineName() { return reinterpret_cast<char*>(this + 1); }

    TTreeNode* m_dirNode = nullptr;
    int64_t m_lastWriteTime = 0;
    int32_t m_fileSize = 0;
    int32_t m_descIndex = -1;
    uint16_t m_attributes = 0;
    uint8_t m_tagged = 0;
    uint8_t m_flags = 0;
    uint16_t m_nameLen = 0; // name bytes held in place (the record's size in its block)
};
#pragma pack(pop)

static_assert(sizeof(TFileClass) == 30, "the record layout is part of the memory budget");


} // namespace zentrix
