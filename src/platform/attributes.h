#pragma once

#include "platform/drivetable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zentrix::platform {

/// Bits of the attribute word.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

/// The attribute word of an entry from its status alone: D for directories, R when
/// the owner may not write, H for names beginning with ".", A for regular files.
uint32_t PosixAttributes(std::string_view hostName, const struct stat& st);

/// The archive/system/hidden bits the file system keeps itself for the entry
/// `hostName` of the open directory `dirFd`; none when it keeps none or cannot be
/// asked. Costs a system call or two per file, so only for drives that ask for it.
bool ReadStoredAttributes(int dirFd, const char* hostName, AttrSource source, uint32_t& storedBits);

/// Combines the two: the stored A and S (and H on FAT and NTFS) replace the
/// defaults of PosixAttributes when the file system keeps them.
uint32_t EntryAttributes(int dirFd, const char* hostName, const struct stat& st, AttrSource source);

/// Reads the Samba user.DOSATTRIB value: "0x20" text or the binary record whose
/// attribute word follows its version fields. False when unrecognised.
bool ParseDosAttrib(const unsigned char* data, size_t size, uint32_t& attrib);
/// A user.DOSATTRIB value that holds `attrib`: a binary record that
/// ParseDosAttrib understands keeps its other fields and gets the word in place;
/// anything else becomes the text form "0x20" (with its terminating zero).
std::string ReplaceDosAttrib(const std::string& value, uint32_t attrib);

/// The attribute word of a file now, as a directory listing gives it (a link
/// counts as what it points to). None when the file cannot be reached.
std::optional<uint32_t> ReadFileAttributes(const std::string& hostPath, AttrSource source);

/// Writes the archive, read-only, hidden and system bits of `attributes` to a
/// file, each where the drive keeps it: R in the owner's write permission (the
/// FAT driver's attribute byte on FAT), A and S in the file system's attributes
/// or user.DOSATTRIB, H in the file system's attributes on FAT and NTFS and
/// otherwise in the name, which then gains or loses its leading full stops (a
/// rename that never replaces an existing file). Bits the drive cannot keep are
/// left as they are and nothing is reported: the caller reads the word back.
/// Returns the file's host path afterwards.
std::string WriteFileAttributes(const std::string& hostPath, AttrSource source,
                                uint32_t attributes);

} // namespace zentrix::platform
