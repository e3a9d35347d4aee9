#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrix::platform {

/// Kinds of drive, in the order the drive list's options name them.
enum class DriveKind { Unknown, Floppy, Fixed, Network, CdRom, Ram };

/// Where the archive and system bits of the attribute word come from.
enum class AttrSource {
    Posix,          // A for every regular file, S never
    DosAttribXattr, // the user.DOSATTRIB extended attribute (Samba's convention)
    FatIoctl,       // the FAT driver's own attribute byte
    NtfsXattr,      // the NTFS driver's attribute extended attribute
};

/// "Floppy", "Fixed", "Network", "CD-ROM", "RAM", "Unknown".
const char* DriveKindName(DriveKind kind);

struct DriveInfo {
    char letter = 0;         // upper case 'A'..'Z'
    std::string root;        // host directory the letter stands for
    DriveKind kind = DriveKind::Unknown;
    std::string label;       // label given in ZENTRIX_DRIVES; empty: read from the volume
    std::string fsType;      // file system of the mount holding root ("ext4", "vfat" ...)
    std::string device;      // mount source ("/dev/sda1", "server:/export" ...)
    std::string mountPoint;  // mount point holding root
    bool virtualRoot = false;
    bool mappedShare = false; // a network share given its letter by "Map a network disk"
    AttrSource attrSource = AttrSource::Posix;
};

/// One mount of the mount table.
struct MountEntry {
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

/// The drive letters of the machine and the host directories they stand for.
/// Built once from the mount table, or from ZENTRIX_DRIVES when that is set.
class DriveTable {
public:
    DriveTable() = default;

    /// The process-wide table: ZENTRIX_DRIVES when set, otherwise the mount table.
    static DriveTable& Instance();

    /// Builds from ZENTRIX_DRIVES if set, else from /proc/self/mountinfo.
    static DriveTable FromEnvironment();

    /// Parses "C=/path;D=/other:cdrom:LABEL;E=/x::LABEL:dosattrib". Kinds: fixed,
    /// floppy (or removable), network, cdrom, ram, unknown. Flags after the label:
    /// "dosattrib" (attributes in user.DOSATTRIB) and "dev=/dev/sr0" (the device or
    /// image file whose medium the drive stands for: its label, serial number and
    /// file-system type). Entries that cannot be used (malformed, a second entry
    /// for a letter, a relative directory, a file) are left out; each of them, an
    /// unknown kind and an unknown flag are described in Problems().
    static DriveTable FromSpec(const std::string& spec, const std::vector<MountEntry>& mounts);

    /// C: for "/", then D: upward for every other real mount in mount-point order.
    static DriveTable FromMounts(const std::vector<MountEntry>& mounts);

    /// The mounts of this process (parsed from /proc/self/mountinfo).
    static std::vector<MountEntry> ReadMountTable();
    /// The mounts of a mount table in the form of /proc/self/mountinfo; lines
    /// that do not have its shape are skipped.
    static std::vector<MountEntry> ParseMountTable(const std::string& text);

    /// What was wrong with ZENTRIX_DRIVES, one sentence per entry; empty when
    /// nothing was (or the table comes from the mount table).
    const std::vector<std::string>& Problems() const { return m_problems; }

    const DriveInfo* Find(char letter) const;
    const std::vector<DriveInfo>& Drives() const { return m_drives; }

    /// Letters A..Z that no drive uses, in order.
    std::string FreeLetters() const;

    /// Adds a letter standing for a directory (Make Root). False when the letter is
    /// taken or the directory does not exist.
    bool AddVirtualRoot(char letter, const std::string& hostDir);
    /// Removes a virtual root; real drives cannot be removed. False when none.
    bool RemoveVirtualRoot(char letter);

    /// Gives a letter to the directory of a mounted network share (kind
    /// Network, `remoteName` as its label and mount point). False when the
    /// letter is taken or the directory does not exist.
    bool AddMappedShare(char letter, const std::string& hostDir, const std::string& remoteName);
    /// Takes the letter of a mapped share away. False when the letter is none.
    bool RemoveMappedShare(char letter);

    /// True when the drive exists and its root directory can be listed now.
    bool IsReady(char letter) const;

    /// Host form of a catalogue path ("C:\DOCS\A.TXT" -> "/home/x/docs/A.TXT"), with
    /// escaped names restored to their bytes. None for an unknown drive or a path
    /// that tries to leave its drive ("..", "." components).
    std::optional<std::string> ToHostPath(const std::string& cataloguePath) const;

    /// Catalogue form of a host path: the drive whose root holds it (the longest
    /// matching root wins) and the escaped components. Directories get a trailing
    /// backslash when `directory` is set. None when no drive holds the path.
    std::optional<std::string> ToCataloguePath(const std::string& hostPath,
                                               bool directory = true) const;

private:
    void add(DriveInfo info);
    std::vector<DriveInfo> m_drives; // sorted by letter
    std::vector<std::string> m_problems;
};

/// Whether a mount of this file system type is a pseudo file system that gets no letter.
bool IsPseudoFileSystem(const std::string& fsType);
/// The drive kind of a mount, from its type and (for block devices) removability.
DriveKind KindOfMount(const std::string& fsType, const std::string& source);
/// The attribute source a file system offers by itself.
AttrSource AttrSourceOf(const std::string& fsType);
/// The mount that holds a host path (longest mount point that is a prefix of it).
std::optional<MountEntry> MountHolding(const std::string& hostPath,
                                       const std::vector<MountEntry>& mounts);

} // namespace zentrix::platform
