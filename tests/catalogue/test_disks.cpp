#include "cataloguefixture.h"

#include "catalogue/diskcommands.h"
#include "catalogue/diskinfo.h"
#include "catalogue/drivelist.h"
#include "catalogue/treecommands.h"
#include "platform/volume.h"
#include "platform/volumecontrol.h"

#include <cstdio>
#include <cstdlib>

using namespace zentrix;
using namespace zentrix::test;
using platform::DriveKind;

// --- the panel's figures -------------------------------------------------------------------

TEST(DiskInfo, SizesAreKilobytesUpToOneGigabyteAndMegabytesBeyond) {
    struct Case {
        uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 Kb"},
        {511, "0 Kb"},
        {512, "1 Kb"}, // rounded
        {1023, "1 Kb"},
        {999 * 1024ull, "999 Kb"},
        {1000 * 1024ull, "1,000 Kb"},
        {1048576ull * 1024, "1,048,576 Kb"},       // exactly 1024 Mb stays in Kb
        {1048576ull * 1024 + 511, "1,048,576 Kb"}, // still rounds to 1048576 Kb
        {1048576ull * 1024 + 512, "1,024 Mb"},     // 1048577 Kb
        {1048577ull * 1024, "1,024 Mb"},
        {1536ull * 1024 * 1024, "1,536 Mb"},
        {2ull * 1024 * 1024 * 1024 * 1024, "2,097,152 Mb"}, // 2 TiB: no 32-bit overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(DiskSizeText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(GroupThousands(1234567, '.'), "1.234.567");
}

TEST(DiskInfo, GaugeFollowsTheUsedShareAndStaysWithinTheBar) {
    EXPECT_EQ(SpaceGaugePercent(1000, 499), 51); // round(50.0) + 1
    EXPECT_EQ(SpaceGaugePercent(1000, 749), 26);
    // An empty disk still shows the one percent the formula adds.
    EXPECT_EQ(SpaceGaugePercent(1ull << 40, 1ull << 40), 1);
    // A full disk would come to 101: the bar ends at 100.
    EXPECT_EQ(SpaceGaugePercent(1ull << 40, 0), 100);
    // No capacity reported (an empty drive): nothing to show, no division by zero.
    EXPECT_EQ(SpaceGaugePercent(0, 0), 0);
    EXPECT_EQ(SpaceGaugePercent(0, 12345), 0);
    // More free than capacity (a quota that lies): never below an empty bar.
    EXPECT_EQ(SpaceGaugePercent(100, 1000), 0);
}

TEST(DiskInfo, TypeAndFileSystemNames) {
    EXPECT_EQ(DriveTypeName('A', DriveKind::Floppy), "Floppy");
    EXPECT_EQ(DriveTypeName('C', DriveKind::Fixed), "Fixed");
    EXPECT_EQ(DriveTypeName('N', DriveKind::Network), "Network");
    EXPECT_EQ(DriveTypeName('E', DriveKind::CdRom), "CD-ROM");
    EXPECT_EQ(DriveTypeName('R', DriveKind::Ram), "RAM");
    EXPECT_EQ(DriveTypeName('U', DriveKind::Unknown), "Unknown");
    EXPECT_EQ(DriveTypeName('@', DriveKind::Fixed), "No drive");
    EXPECT_EQ(DriveTypeName('[', DriveKind::Fixed), "No drive");

    const std::pair<const char*, const char*> kinds[] = {
        {"FAT12   ", "12-bit FAT"}, {"FAT16", "16-bit FAT"}, {"FAT32   ", "32-bit FAT"},
        {"CDROM", "High Sierra"},   {"CD001", "ISO 9660"},   {"CDAUDIO", "Audio CD"},
        {"CDAUDIO1", "Audio CD"}, // only the first seven characters count
        {"ext4", "ext4"},           {"  btrfs ", "btrfs"},   {"", "Unknown"},
        {"   ", "Unknown"},
    };
    for (const auto& [field, name] : kinds)
        EXPECT_EQ(FileSystemKindName(field), name) << field;
}

TEST(DiskInfo, SerialNumbersAreEightHexDigitsWithADash) {
    EXPECT_EQ(SerialNumberText(0x12AB34CD), "12AB-34CD");
    EXPECT_EQ(SerialNumberText(0), "0000-0000");
    EXPECT_EQ(SerialNumberText(0xFFFFFFFF), "FFFF-FFFF");

    EXPECT_EQ(ParseSerialNumber("12AB-34CD"), 0x12AB34CDu);
    EXPECT_EQ(ParseSerialNumber("12ab-34Cd"), 0x12AB34CDu);
    EXPECT_EQ(ParseSerialNumber("12AB34CD"), 0x12AB34CDu);
    EXPECT_EQ(ParseSerialNumber("0000-0000"), 0u);
    for (const char* bad : {"", "12AB-34C", "12AB-34CDE", "12AB-34CG", "12AB 34CD", "12AB-34C ",
                            "+2AB-34CD", "0x12AB34", "    -    ", "12AB34CD0"})
        EXPECT_FALSE(ParseSerialNumber(bad)) << bad;

    EXPECT_TRUE(SerialEntryTooShort("12AB-34C"));
    EXPECT_TRUE(SerialEntryTooShort(""));
    EXPECT_FALSE(SerialEntryTooShort("12AB-34CG"));
}

TEST(DiskInfo, NetworkAndCdRomDrivesRefuseLabelAndSerialChanges) {
    EXPECT_EQ(VolumeNameRefusal('N', DriveKind::Network),
              "Cannot change volume name! (Disk type is Network type!)     ");
    EXPECT_EQ(VolumeNameRefusal('E', DriveKind::CdRom),
              "Cannot change volume name! (Disk type is CD-ROM type!)     ");
    EXPECT_EQ(SerialNumberRefusal('N', DriveKind::Network),
              "Cannot change serial number! (Disk type is Network !)     ");
    EXPECT_EQ(SerialNumberRefusal('E', DriveKind::CdRom),
              "Cannot change serial number! (Disk type is CD-ROM !)     ");
    for (DriveKind kind :
         {DriveKind::Fixed, DriveKind::Floppy, DriveKind::Ram, DriveKind::Unknown}) {
        EXPECT_FALSE(VolumeNameRefusal('C', kind));
        EXPECT_FALSE(SerialNumberRefusal('C', kind));
    }
}

// --- the drive list's texts ---------------------------------------------------------------

TEST(DriveListText, EveryOptionAndCaseCombination) {
    using O = DriveListOption;
    const DriveFacts fixed{'D', DriveKind::Fixed, true, "Data Disk", ""};
    const DriveFacts empty{'E', DriveKind::CdRom, false, "", ""};
    const DriveFacts floppy{'A', DriveKind::Floppy, true, "Boot", ""};
    const DriveFacts share{'N', DriveKind::Network, true, "Public", "//Server/Share"};
    const DriveFacts nameless{'M', DriveKind::Network, true, "Public", ""};
    const DriveFacts ram{'R', DriveKind::Ram, true, "scratch", ""};
    const DriveFacts unknown{'U', DriveKind::Unknown, true, "", ""};
    const auto up = TextCase::tcUpperCase;
    const auto low = TextCase::tcLowerCase;
    struct Case {
        DriveFacts facts;
        DriveListOptions options;
        TextCase textCase;
        bool touchFloppies;
        const char* text;
    };
    const Case cases[] = {
        {fixed, O::ShowAll | O::ShowBitmaps, up, true, "D:"},
        {fixed, O::ShowAll | O::ShowBitmaps, low, true, "d:"},
        {fixed, O::ShowAll | O::ShowVolName, up, true, "D: [DATA DISK]"},
        {fixed, O::ShowAll | O::ShowVolName, low, true, "d: [data disk]"},
        {fixed, O::ShowAll | O::ShowDrvType, up, true, "D: [Fixed]"},
        {fixed, O::ShowAll | O::ShowVolName | O::ShowDrvType, up, true, "D: [DATA DISK] [Fixed]"},
        {fixed, O::ShowAll | O::ShowVolName | O::ShowDrvType, low, true, "d: [data disk] [Fixed]"},
        {empty, O::ShowAll | O::ShowVolName | O::ShowDrvType, up, true, "E: [] [CD-ROM]"},
        {floppy, O::ShowAll | O::ShowVolName, up, true, "A: [BOOT]"},
        {floppy, O::ShowAll | O::ShowVolName, up, false, "A: []"}, // left alone
        {floppy, O::ShowAll | O::ShowDrvType, up, false, "A: [Floppy]"},
        {share, O::ShowAll | O::ShowVolName, up, true, "N: //SERVER/SHARE"},
        {share, O::ShowAll | O::ShowVolName, low, true, "n: //server/share"},
        {share, O::ShowAll | O::ShowVolName | O::ShowDrvType, up, true,
         "N: //SERVER/SHARE [Network]"},
        {nameless, O::ShowAll | O::ShowVolName, up, true, "M: PUBLIC"},
        {ram, O::ShowAll | O::ShowVolName | O::ShowDrvType, low, true, "r: [scratch] [RAM]"},
        {unknown, O::ShowAll | O::ShowVolName | O::ShowDrvType, up, true, "U: [] [Unknown]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DriveListItemText(c.facts, c.options, c.textCase, c.touchFloppies), c.text)
            << c.text;
}

TEST(DriveListText, ShowAllAndTheKindOptionsExcludeEachOther) {
    using O = DriveListOption;
    EXPECT_EQ(NormaliseDriveListOptions(O::ShowFixed | O::ShowCDROM | O::ShowAll, O::ShowFixed),
              static_cast<DriveListOptions>(O::ShowAll));
    EXPECT_EQ(NormaliseDriveListOptions(O::ShowAll | O::ShowRAM | O::ShowVolName,
                                        O::ShowAll | O::ShowVolName),
              static_cast<DriveListOptions>(O::ShowRAM | O::ShowVolName));
    EXPECT_EQ(NormaliseDriveListOptions(O::ShowAll | O::ShowBitmaps, O::ShowAll),
              static_cast<DriveListOptions>(O::ShowAll | O::ShowBitmaps));
    EXPECT_TRUE(DriveListShowsKind(DriveKind::Unknown, O::ShowAll));
    EXPECT_FALSE(DriveListShowsKind(DriveKind::Unknown, kDriveKindOptions));
    EXPECT_TRUE(DriveListShowsKind(DriveKind::CdRom, O::ShowCDROM));
    EXPECT_FALSE(DriveListShowsKind(DriveKind::CdRom, O::ShowFixed | O::ShowFloppy));
}

TEST_F(CatalogueTest, DriveListShowsTheKindsAskedForAndLeavesFloppiesAlone) {
    tmp.mkdir("a");
    useDrives("A=" + tmp.at("a") + ":floppy:BOOT;C=" + tmp.at("c") + "::SYSTEM;E=" +
              tmp.at("gone") + ":cdrom:DISC;N=" + tmp.at("e") + ":network:PUBLIC:dev=//srv/pub");
    using O = DriveListOption;
    DriveList list;
    list.Build(*drives, O::ShowAll | O::ShowVolName, TextCase::tcUpperCase, false);
    std::vector<std::string> texts;
    for (const auto& item : list.Items())
        texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"A: []", "C: [SYSTEM]", "E: []", "N: //SRV/PUB"}));
    EXPECT_EQ(list.AvailableLetters(), "ACEN");

    // Which media were asked: never the floppy unless allowed, none without labels.
    std::string asked;
    auto recorder = [&](const platform::DriveInfo& d, bool readVolume) {
        if (readVolume)
            asked.push_back(d.letter);
        return DriveList::SystemFacts(d, readVolume);
    };
    list.Build(*drives, O::ShowAll | O::ShowVolName, TextCase::tcUpperCase, false, recorder);
    EXPECT_EQ(asked, "CE"); // the share is named by its connection, not asked
    asked.clear();
    list.Build(*drives, O::ShowAll | O::ShowVolName, TextCase::tcUpperCase, true, recorder);
    EXPECT_EQ(asked, "ACE");
    EXPECT_EQ(list.Items()[0].text, "A: [BOOT]");
    asked.clear();
    list.Build(*drives, O::ShowAll | O::ShowBitmaps, TextCase::tcUpperCase, true, recorder);
    EXPECT_EQ(asked, "");

    list.Build(*drives, O::ShowFixed | O::ShowCDROM | O::ShowDrvType, TextCase::tcLowerCase, false);
    EXPECT_EQ(list.AvailableLetters(), "CE");
    EXPECT_EQ(list.Items()[1].text, "e: [CD-ROM]");
    EXPECT_TRUE(list.IsAvailable('c'));
    EXPECT_FALSE(list.IsAvailable('A'));
    EXPECT_EQ(list.IndexOf('E'), 1);
}

// --- the panel of the current disk ----------------------------------------------------------

TEST_F(CatalogueTest, DiskInfoOfTheCurrentDisk) {
    useDrives("C=" + tmp.at("c") + ";D=" + tmp.at("d") + "::  Work  ;N=" + tmp.at("e") +
              ":network:PUB:dev=//server/share;A=" + tmp.at("d") + ":floppy");
    state.currentDisk = 'C';
    logger->UpdateDiskInfo();
    const DiskPanelInfo& c = logger->DiskInfo();
    EXPECT_EQ(c.labelText, "None");
    EXPECT_EQ(c.typeName, "Fixed");
    EXPECT_EQ(c.diskTypeText, "Fixed disk");
    EXPECT_EQ(c.driveNumber, 3);
    EXPECT_TRUE(c.ready);
    EXPECT_GT(c.capacity, 0u);
    EXPECT_EQ(c.capacityText, DiskSizeText(c.capacity));
    EXPECT_EQ(c.gaugePercent, SpaceGaugePercent(c.capacity, c.freeBytes));
    EXPECT_EQ(ui.count("diskInfo"), 1);

    state.currentDisk = 'D';
    logger->UpdateDiskInfo();
    EXPECT_EQ(logger->DiskInfo().labelText, "Work"); // trimmed
    EXPECT_EQ(state.volumeLabel, "Work");

    state.currentDisk = 'N'; // a network disk shows its connection
    logger->UpdateDiskInfo();
    EXPECT_EQ(logger->DiskInfo().labelText, "//server/share");
    EXPECT_EQ(logger->DiskInfo().diskTypeText, "Network disk");

    state.currentDisk = 'A'; // a removable disk is named as a file manager names it
    logger->UpdateDiskInfo();
    EXPECT_EQ(logger->DiskInfo().diskTypeText, "d (A:)");

    state.currentDisk = 'Q'; // no such drive
    logger->UpdateDiskInfo();
    EXPECT_EQ(state.driveTypeName, "Unknown");
    EXPECT_EQ(logger->DiskInfo().capacityText, "0 Kb");
    EXPECT_EQ(logger->DiskInfo().gaugePercent, 0);
}

// --- tabs and switching between disks --------------------------------------------------------

class DiskSwitchTest : public CatalogueTest {
protected:
    std::unique_ptr<TreeCommands> commands;
    void SetUp() override {
        CatalogueTest::SetUp();
        for (const char* d : {"a/docs", "c/x", "d/sub/deep", "d/other"})
            tmp.mkdir(d);
        useDrives("A=" + tmp.at("a") + ";C=" + tmp.at("c") + ";D=" + tmp.at("d"));
        commands =
            std::make_unique<TreeCommands>(*cat, state, settings, *logger, *tabs, prompter, ui);
    }
    std::string selected() { return tree().Selected() ? tree().Selected()->Path() : ""; }
};

TEST_F(DiskSwitchTest, TabsKeepLetterOrderWhateverTheLoggingOrder) {
    logger->LogDrive('D');
    logger->LogDrive('A');
    logger->LogDrive('C');
    EXPECT_EQ(tabs->Letters(), "ACD");
    EXPECT_EQ(tabs->Count(), 3);
    EXPECT_EQ(tabs->ActiveLetter(), 'C');
    EXPECT_FALSE(state.driveSwitch); // cleared once the drive is logged
    std::vector<std::string> roots;
    for (int i = 0; i < tree().TopCount(); ++i)
        roots.emplace_back(tree().Top(i)->Text());
    EXPECT_EQ(roots, (std::vector<std::string>{"A:\\", "C:\\", "D:\\"}));
}

TEST_F(DiskSwitchTest, NextAndPreviousDiskWrapAroundAndReturnToTheLastDirectory) {
    logger->LogDrive('A');
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("A:\\docs\\"));
    ASSERT_TRUE(logger->GoToDirPath("D:\\sub\\deep\\"));
    EXPECT_EQ(tabs->ActiveLetter(), 'D');

    commands->NextDisk(); // from the last tab to the first, its last directory
    EXPECT_EQ(selected(), "A:\\docs\\");
    EXPECT_EQ(state.currentDisk, 'A');
    EXPECT_EQ(tabs->ActiveLetter(), 'A');
    EXPECT_FALSE(state.driveSwitch);

    commands->NextDisk();
    EXPECT_EQ(selected(), "C:\\");
    commands->PrevDisk();
    EXPECT_EQ(selected(), "A:\\docs\\");
    commands->PrevDisk(); // from the first tab to the last
    EXPECT_EQ(selected(), "D:\\sub\\deep\\");
    EXPECT_EQ(tabs->ActiveLetter(), 'D');
    EXPECT_EQ(state.currentDisk, 'D');
}

TEST_F(DiskSwitchTest, NextDiskGoesToTheRootWhenTheLastDirectoryIsGone) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\sub\\deep\\"));
    tree().Select(tree().Top(0));
    ASSERT_EQ(state.currentDisk, 'C');
    EXPECT_EQ(cat->LastDirs.Get('D'), "D:\\sub\\deep\\");
    // Closing D:\ forgets everything below it, the last directory's node too.
    logger->UnlogBranch(node("D:\\"));
    ASSERT_EQ(node("D:\\sub\\deep\\"), nullptr);

    commands->NextDisk();
    EXPECT_EQ(selected(), "D:\\");
    EXPECT_EQ(tabs->ActiveLetter(), 'D');

    // Previous disk falls back likewise: C's last directory is gone too.
    ASSERT_TRUE(logger->GoToDirPath("C:\\x\\"));
    logger->UnlogBranch(node("C:\\"));
    commands->PrevDisk();
    EXPECT_EQ(selected(), "D:\\");
}

TEST_F(DiskSwitchTest, OneDiskHasNowhereToSwitchTo) {
    logger->LogDrive('C');
    ASSERT_TRUE(logger->GoToDirPath("C:\\x\\"));
    commands->NextDisk();
    commands->PrevDisk();
    EXPECT_EQ(selected(), "C:\\x\\");
}

TEST_F(DiskSwitchTest, AClickOnATabGoesToTheDisksRoot) {
    logger->LogDrive('C');
    logger->LogDrive('D');
    ASSERT_TRUE(logger->GoToDirPath("D:\\sub\\deep\\"));
    tree().Select(tree().Top(0));
    state.refillRequested = false;
    commands->TabClicked('D');
    EXPECT_EQ(selected(), "D:\\");
    EXPECT_TRUE(state.refillRequested);

    // A tab change the program makes itself does not move the selection.
    tree().Select(tree().Top(0));
    state.driveSwitch = true;
    commands->TabClicked('D');
    EXPECT_EQ(selected(), "C:\\");
    state.driveSwitch = false;
}

// --- choosing a drive and the volume commands ------------------------------------------------

class DiskCommandsTest : public CatalogueTest {
protected:
    std::unique_ptr<DiskCommands> commands;
    std::vector<std::string> sounds;
    std::vector<char> ejected;
    std::string mediumType = "CD001";

    void makeCommands() {
        commands = std::make_unique<DiskCommands>(*cat, state, settings, *logger, prompter);
        commands->PlaySound = [this](const std::string& alias) {
            sounds.push_back(alias);
        };
        commands->Eject = [this](const platform::DriveInfo& d) {
            ejected.push_back(d.letter);
            return true;
        };
        commands->MediumFsType = [this](const platform::DriveInfo&) {
            return mediumType;
        };
    }
    void SetUp() override {
        CatalogueTest::SetUp();
        tmp.mkdir("n");
        useDrives("C=" + tmp.at("c") + ";D=" + tmp.at("d") + ";E=" + tmp.at("e") +
                  ":cdrom;N=" + tmp.at("n") + ":network:PUB:dev=//srv/pub;G=" + tmp.at("gone"));
        makeCommands();
        logger->LogDrive('D');
    }
};

TEST_F(DiskCommandsTest, ADriveThatStaysAbsentReturnsToTheCurrentDisk) {
    prompter.answer(true).answer(false); // Retry, then Cancel
    EXPECT_EQ(commands->CheckChosenDrive('g'), DiskCommands::Choice::BackToCurrent);
    ASSERT_EQ(prompter.shown().size(), 2u);
    for (const auto& shown : prompter.shown()) {
        EXPECT_EQ(shown.text, "Disk not ready!     ");
        EXPECT_EQ(shown.caption, "Warning!");
        EXPECT_EQ(shown.kind, ScriptedPrompter::Kind::RetryCancel);
    }
    // A letter with no drive at all is asked about the same way.
    prompter.answer(false);
    EXPECT_EQ(commands->CheckChosenDrive('Q'), DiskCommands::Choice::BackToCurrent);
    EXPECT_EQ(state.currentDisk, 'D');
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(DiskCommandsTest, AnAudioCdIsOfferedToBeEjectedInFullCompatibilityOnly) {
    mediumType = "CDAUDIO";
    settings.Compatibility = 1;
    EXPECT_EQ(commands->CheckChosenDrive('E'), DiskCommands::Choice::Log);
    EXPECT_TRUE(prompter.shown().empty());

    settings.Compatibility = 2;
    prompter.answer(false);
    EXPECT_EQ(commands->CheckChosenDrive('E'), DiskCommands::Choice::KeepList);
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Can't log an audio CD! Eject it?     "}));
    EXPECT_TRUE(ejected.empty());
    prompter.answer(true);
    EXPECT_EQ(commands->CheckChosenDrive('E'), DiskCommands::Choice::Ejected);
    EXPECT_EQ(ejected, (std::vector<char>{'E'}));

    mediumType = "CD001"; // a data disc is logged
    EXPECT_EQ(commands->CheckChosenDrive('E'), DiskCommands::Choice::Log);
    state.refillRequested = false;
    commands->LogChosenDrive('E');
    EXPECT_NE(node("E:\\"), nullptr);
    EXPECT_EQ(state.currentDisk, 'E');
    EXPECT_TRUE(state.refillRequested);
}

TEST_F(DiskCommandsTest, LabelAndSerialAreRefusedForNetworkAndCdRomDrives) {
    std::string text;
    for (char letter : {'N', 'E'}) {
        state.currentDisk = letter;
        EXPECT_FALSE(commands->BeginVolumeName(text));
        EXPECT_FALSE(commands->BeginSerialNumber(text));
    }
    std::vector<std::string> expected = {
        "Cannot change volume name! (Disk type is Network type!)     ",
        "Cannot change serial number! (Disk type is Network !)     ",
        "Cannot change volume name! (Disk type is CD-ROM type!)     ",
        "Cannot change serial number! (Disk type is CD-ROM !)     "};
    EXPECT_EQ(prompter.texts(), expected);
    for (const auto& shown : prompter.shown())
        EXPECT_EQ(shown.kind, ScriptedPrompter::Kind::Warn);

    state.currentDisk = 'D';
    EXPECT_TRUE(commands->BeginSerialNumber(text));
    EXPECT_EQ(text, "0000-0000"); // a directory has no medium of its own
}

TEST_F(DiskCommandsTest, AnInvalidSerialKeepsThePageAndAShortOnePlaysTheSound) {
    state.currentDisk = 'D';
    settings.ChosenSound = "SystemHand";
    EXPECT_EQ(commands->SetSerialNumber("12AB-34"), DiskCommands::SerialResult::Invalid);
    EXPECT_EQ(sounds, (std::vector<std::string>{"SystemHand"}));
    EXPECT_EQ(commands->SetSerialNumber("12AB-34CG"), DiskCommands::SerialResult::Invalid);
    EXPECT_EQ(sounds.size(), 1u); // nine characters: no sound
    EXPECT_EQ(prompter.beeps(), 0);

    // A valid number on a drive without a medium of its own cannot be written.
    EXPECT_EQ(commands->SetSerialNumber("12AB-34CD"), DiskCommands::SerialResult::Failed);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_FALSE(commands->LastWriteError().empty());
    EXPECT_FALSE(commands->SetVolumeLabel("NEW"));
    EXPECT_EQ(prompter.beeps(), 2);
}

namespace {

bool haveTool(const char* name) {
    const std::string command = std::string("command -v ") + name +
                                " >/dev/null 2>&1 || test -x /usr/sbin/" + name +
                                " || test -x /sbin/" + name;
    return std::system(command.c_str()) == 0;
}

std::string toolOutput(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p))
            out += buf;
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

} // namespace

TEST_F(DiskCommandsTest, LabelAndSerialOfARealFatMedium) {
    if (!haveTool("mkfs.vfat") || !haveTool("fatlabel"))
        GTEST_SKIP() << "dosfstools is not installed";
    tmp.mkdir("f");
    const std::string image = tmp.at("floppy.img");
    ASSERT_EQ(std::system(("PATH=$PATH:/usr/sbin:/sbin mkfs.vfat -C -i 2EDD72D6 " + image +
                           " 1440 >/dev/null")
                              .c_str()),
              0);
    useDrives("C=" + tmp.at("c") + ";F=" + tmp.at("f") + ":floppy::dev=" + image);
    makeCommands();
    logger->LogDrive('F');

    std::string text;
    ASSERT_TRUE(commands->BeginSerialNumber(text));
    EXPECT_EQ(text, "2EDD-72D6");
    EXPECT_EQ(commands->SetSerialNumber("12ab-34CD"), DiskCommands::SerialResult::Written)
        << commands->LastWriteError();
    EXPECT_EQ(platform::ReadMediumRecord(image)->serial, 0x12AB34CDu);
    // The file system's own tool reads the same number.
    EXPECT_EQ(toolOutput("PATH=$PATH:/usr/sbin:/sbin fatlabel -i " + image), "12ab34cd");

    ASSERT_TRUE(commands->BeginVolumeName(text));
    EXPECT_EQ(text, "");
    ui.calls.clear();
    EXPECT_TRUE(commands->SetVolumeLabel("ZENDISK")) << commands->LastWriteError();
    EXPECT_EQ(ui.count("diskInfo"), 1); // the panel was updated
    EXPECT_EQ(state.volumeLabel, "ZENDISK");
    EXPECT_EQ(logger->DiskInfo().labelText, "ZENDISK");
    EXPECT_EQ(toolOutput("PATH=$PATH:/usr/sbin:/sbin fatlabel " + image), "ZENDISK");

    // Twelve characters do not fit a FAT label: a beep, the old label stays.
    EXPECT_FALSE(commands->SetVolumeLabel("TWELVE_CHARS"));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(platform::ReadMediumRecord(image)->label, "ZENDISK");
    EXPECT_TRUE(commands->SetVolumeLabel(""));
    EXPECT_EQ(logger->DiskInfo().labelText, "None");
}
