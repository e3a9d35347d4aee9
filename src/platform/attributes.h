#pragma once

#include "platform/drivetable.h"

#include <cstdint>
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
bool ReadStoredAttributes(int dirFd, const char* hostName, AttrSource source,
                          uint32_t& storedBits);

/// Combines the two: the stored A and S (and H on FAT and NTFS) replace the
/// defaults of PosixAttributes when the file system keeps them.
uint32_t EntryAttributes(int dirFd, const char* hostName, const struct stat& st,
                         AttrSource source);

/// Reads the Samba user.DOSATTRIB value: "0x20" text or the binary record whose
/// attribute word follows its version fields. False when unrecognised.
bool ParseDosAttrib(const unsigned char* data, size_t size, uint32_t& attrib);

} // namespace zentrix::platform
