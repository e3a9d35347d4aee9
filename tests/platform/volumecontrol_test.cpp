#include "platform/drivetable.h"
#include "platform/serialguard.h"
#include "platform/volume.h"
#include "platform/volumecontrol.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

using namespace zentrix::platform;
using zentrix::test::TempDir;

namespace {

// The file-system tools live in the system directories.
int sh(const std::string& command) {
    return std::system(("PATH=$PATH:/usr/sbin:/sbin " + command + " >/dev/null 2>&1").c_str());
}

bool haveTool(const char* name) {
    return sh(std::string("command -v ") + name) == 0;
}

std::string output(const std::string& command) {
    std::string out;
    if (FILE* p =
            ::popen(("PATH=$PATH:/usr/sbin:/sbin " + command + " 2>/dev/null").c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p))
            out += buf;
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

std::array<unsigned char, 512> sector(const std::string& file, uint64_t index) {
    std::array<unsigned char, 512> b{};
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(index * 512));
    in.read(reinterpret_cast<char*>(b.data()), b.size());
    return b;
}

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

DriveInfo mediumDrive(const std::string& image, DriveKind kind = DriveKind::Floppy) {
    DriveInfo d;
    d.letter = 'F';
    d.kind = kind;
    d.root = "/nonexistent";
    d.device = image;
    d.fsType = "ext4"; // the host's file system: the medium's own record must win
    return d;
}

} // namespace

TEST(VolumeControl, FatRecordsAreReadAndTheirLabelAndSerialWritten) {
    if (!haveTool("mkfs.vfat") || !haveTool("fatlabel"))
        GTEST_SKIP() << "dosfstools is not installed";
    TempDir tmp;
    const std::string image = tmp.at("fat12.img");
    ASSERT_EQ(sh("mkfs.vfat -C -n OLDNAME -i 1234ABCD " + image + " 1440"), 0);

    auto record = ReadMediumRecord(image);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->family, MediumRecord::Family::Fat);
    EXPECT_EQ(record->fsType, "FAT12");
    EXPECT_EQ(record->label, "OLDNAME");
    ASSERT_TRUE(record->hasSerial);
    EXPECT_EQ(record->serial, 0x1234ABCDu);
    EXPECT_EQ(MediumFileSystemType(mediumDrive(image)), "FAT12");

    const DriveInfo drive = mediumDrive(image);
    VolumeWriteResult written = WriteVolumeLabel(drive, "NEWNAME");
    ASSERT_TRUE(written.ok()) << written.detail;
    EXPECT_EQ(output("fatlabel " + image), "NEWNAME");
    EXPECT_EQ(ReadMediumRecord(image)->label, "NEWNAME");

    written = WriteVolumeLabel(drive, "MUCH TOO LONG");
    EXPECT_EQ(written.status, VolumeWriteStatus::InvalidText);
    EXPECT_EQ(ReadMediumRecord(image)->label, "NEWNAME");

    ASSERT_TRUE(WriteVolumeLabel(drive, "").ok());
    EXPECT_EQ(ReadMediumRecord(image)->label, "");

    written = WriteVolumeSerial(drive, 0xDEADBEEF);
    ASSERT_TRUE(written.ok()) << written.detail;
    EXPECT_EQ(output("fatlabel -i " + image), "deadbeef");
    EXPECT_EQ(sh("fsck.vfat -n " + image), 0) << "the file system must stay sound";

    // The image as the medium of a drive: the volume facts come from its record.
    DriveInfo mounted = drive;
    mounted.root = tmp.path();
    const VolumeInfo volume = QueryVolume(mounted);
    EXPECT_TRUE(volume.hasSerial);
    EXPECT_EQ(volume.serial, 0xDEADBEEFu);
}

TEST(VolumeControl, Fat32KeepsItsBackupBootRecordInStep) {
    if (!haveTool("mkfs.vfat"))
        GTEST_SKIP() << "dosfstools is not installed";
    TempDir tmp;
    const std::string image = tmp.at("fat32.img");
    ASSERT_EQ(sh("mkfs.vfat -F 32 -C -i 01020304 " + image + " 40000"), 0);
    EXPECT_EQ(ReadMediumRecord(image)->fsType, "FAT32");
    const auto before = sector(image, 6);
    ASSERT_EQ(le32(before.data() + 0x43), 0x01020304u);

    const VolumeWriteResult written = WriteVolumeSerial(mediumDrive(image), 0xCAFEF00D);
    ASSERT_TRUE(written.ok()) << written.detail;
    EXPECT_EQ(le32(sector(image, 0).data() + 0x43), 0xCAFEF00Du);
    EXPECT_EQ(le32(sector(image, 6).data() + 0x43), 0xCAFEF00Du);
    EXPECT_EQ(sh("fsck.vfat -n " + image), 0);
}

TEST(VolumeControl, ExtLabelAndSerialGoThroughTheirTools) {
    if (!haveTool("mke2fs") || !haveTool("e2label") || !haveTool("tune2fs"))
        GTEST_SKIP() << "e2fsprogs is not installed";
    TempDir tmp;
    const std::string image = tmp.at("ext.img");
    ASSERT_EQ(sh("mke2fs -q -F -U 0a0b0c0d-1111-4222-8333-444455556666 " + image + " 1024"), 0);
    auto record = ReadMediumRecord(image);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->family, MediumRecord::Family::Ext);
    EXPECT_EQ(record->serial, 0x0A0B0C0Du);

    const DriveInfo drive = mediumDrive(image, DriveKind::Fixed);
    VolumeWriteResult written = WriteVolumeLabel(drive, "linux-data");
    ASSERT_TRUE(written.ok()) << written.detail;
    EXPECT_EQ(ReadMediumRecord(image)->label, "linux-data");
    EXPECT_EQ(WriteVolumeLabel(drive, "seventeen-chars-x").status, VolumeWriteStatus::InvalidText);

    written = WriteVolumeSerial(drive, 0x12AB34CD);
    ASSERT_TRUE(written.ok()) << written.detail;
    // Only the serial's eight digits change; the rest of the UUID stays.
    EXPECT_EQ(output("blkid -s UUID -o value " + image), "12ab34cd-1111-4222-8333-444455556666");
}

TEST(VolumeControl, DrivesWithoutAMediumOfTheirOwnCannotBeChanged) {
    TempDir tmp;
    DriveInfo share;
    share.letter = 'N';
    share.kind = DriveKind::Network;
    share.root = tmp.path();
    share.device = "//server/share";
    share.fsType = "cifs";
    EXPECT_EQ(WriteVolumeLabel(share, "X").status, VolumeWriteStatus::NoDevice);
    EXPECT_EQ(WriteVolumeSerial(share, 1).status, VolumeWriteStatus::NoDevice);

    DriveInfo overlay = share;
    overlay.kind = DriveKind::Fixed;
    overlay.device = "overlay";
    overlay.fsType = "overlay";
    EXPECT_FALSE(WriteVolumeLabel(overlay, "X").ok());
    EXPECT_EQ(WriteVolumeSerial(overlay, 1).status, VolumeWriteStatus::NoDevice);
    EXPECT_EQ(MediumFileSystemType(overlay), "overlay");

    // A file that holds no file system is nobody's medium.
    tmp.write("junk.img", std::string(64 * 1024, 'x'));
    EXPECT_FALSE(ReadMediumRecord(tmp.at("junk.img")));
    DriveInfo junk = mediumDrive(tmp.at("junk.img"));
    junk.fsType.clear();
    EXPECT_EQ(WriteVolumeSerial(junk, 1).status, VolumeWriteStatus::NotSupported);
    EXPECT_EQ(MediumFileSystemType(junk), "");
    EXPECT_FALSE(ReadMediumRecord(tmp.at("missing.img")));
    // A truncated boot sector is no record either.
    tmp.write("short.img", std::string(100, '\0'));
    EXPECT_FALSE(ReadMediumRecord(tmp.at("short.img")));

    // Fixed disks are never ejected.
    DriveInfo fixed = mediumDrive(tmp.at("junk.img"), DriveKind::Fixed);
    EXPECT_FALSE(EjectDrive(fixed));
}

TEST(VolumeControl, TheDriveTableNamesTheMediumBehindADrive) {
    const DriveTable table = DriveTable::FromSpec(
        "F=/media/floppy:floppy::dev=/tmp/floppy.img;N=/mnt/n:network:PUB:dev=//srv/pub;"
        "G=/x::L:dev=relative",
        {});
    ASSERT_TRUE(table.Find('F'));
    EXPECT_EQ(table.Find('F')->device, "/tmp/floppy.img");
    EXPECT_EQ(table.Find('F')->kind, DriveKind::Floppy);
    EXPECT_EQ(table.Find('N')->device, "//srv/pub");
    EXPECT_EQ(table.Find('N')->label, "PUB");
    EXPECT_EQ(table.Find('G')->device, ""); // not a path: ignored
}

// The system mounts volumes by their identifier; the serial number is part of
// it. It may change only on removable volumes and volumes not in use.
TEST(SerialGuard, VolumesTheSystemMountsByTheirNumberAreRefused) {
    if (!haveTool("mkfs.vfat"))
        GTEST_SKIP() << "dosfstools is not installed";
    TempDir tmp;
    const std::string image = tmp.at("stick.img");
    ASSERT_EQ(sh("mkfs.vfat -C -i 2EDD72D6 -n STICK " + image + " 1440"), 0);
    const DriveInfo stick = mediumDrive(image);
    const DriveInfo fixed = mediumDrive(image, DriveKind::Fixed);

    EXPECT_EQ(SerialChangeRefusal(stick, "", {}), SerialRefusal::None);
    EXPECT_EQ(SerialChangeRefusal(fixed, "", {}), SerialRefusal::None); // not in use
    const std::vector<std::pair<std::string, SerialRefusal>> tables = {
        {"# " + image + " /mnt vfat defaults 0 0\n", SerialRefusal::None},
        {image + " /mnt/stick vfat loop 0 0", SerialRefusal::NamedInFstab},
        {"UUID=2edd-72d6\t/mnt/stick  vfat defaults 0 0\n", SerialRefusal::NamedInFstab},
        {"UUID=2EDD-72D7 /mnt/stick vfat defaults 0 0\n", SerialRefusal::None},
        {"LABEL=STICK /mnt/stick vfat defaults 0 0\n", SerialRefusal::NamedInFstab},
        {"server:/export /mnt/nfs nfs defaults 0 0\nproc /proc proc defaults 0 0\n",
         SerialRefusal::None},
    };
    for (const auto& [fstab, expected] : tables)
        EXPECT_EQ(SerialChangeRefusal(stick, fstab, {}), expected) << fstab;

    // In use: a removable volume may change, a fixed one not; a table that names
    // the place it is mounted at names it too.
    const std::vector<MountEntry> mounted = {{"/media/stick", "vfat", image}};
    EXPECT_EQ(SerialChangeRefusal(stick, "", mounted), SerialRefusal::None);
    EXPECT_EQ(SerialChangeRefusal(fixed, "", mounted), SerialRefusal::MountedFixed);
    EXPECT_EQ(SerialChangeRefusal(stick, "/dev/other /media/stick auto 0 0", mounted),
              SerialRefusal::NamedInFstab);

    // The volume the root directory is on. A regular file stands for no root
    // file system; the machine's own root device does.
    EXPECT_EQ(SerialChangeRefusal(stick, "", {}, tmp.path()), SerialRefusal::None);
    struct stat root {};
    ASSERT_EQ(::stat("/", &root), 0);
    std::string rootDevice;
    for (const auto& entry : DriveTable::ReadMountTable()) {
        struct stat st {};
        if (entry.source.rfind("/dev/", 0) == 0 && ::stat(entry.source.c_str(), &st) == 0 &&
            S_ISBLK(st.st_mode) && st.st_rdev == root.st_dev)
            rootDevice = entry.source;
    }
    if (!rootDevice.empty()) {
        const DriveInfo system = mediumDrive(rootDevice, DriveKind::Floppy);
        EXPECT_EQ(SerialChangeRefusal(system), SerialRefusal::RootFileSystem);
    }
}

TEST(SerialGuard, TheTableIsReadFieldByField) {
    const auto entries = ParseFstab("  # comment\n\n/dev/sda1   /   ext4 defaults 0 1\n"
                                    "LABEL=My\\040Disk /mnt/my\\040disk vfat\n"
                                    "lonely\n/dev/sdb1\t/srv");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].spec, "/dev/sda1");
    EXPECT_EQ(entries[0].mountPoint, "/");
    EXPECT_EQ(entries[1].spec, "LABEL=My Disk");
    EXPECT_EQ(entries[1].mountPoint, "/mnt/my disk");
    EXPECT_EQ(entries[2].mountPoint, "/srv");
}
