#include "catalogue/drivelist.h"

#include "catalogue/diskinfo.h"
#include "core/text.h"
#include "platform/volume.h"

#include <cctype>

namespace zentrix {

using platform::DriveKind;

DriveListOptions NormaliseDriveListOptions(DriveListOptions requested, DriveListOptions previous) {
    const bool allAdded =
        (requested & DriveListOption::ShowAll) && !(previous & DriveListOption::ShowAll);
    if (allAdded)
        return requested & ~kDriveKindOptions;
    const bool kindAdded = (requested & kDriveKindOptions & ~previous) != 0;
    if (kindAdded)
        return requested & ~static_cast<DriveListOptions>(DriveListOption::ShowAll);
    if (requested & DriveListOption::ShowAll)
        return requested & ~kDriveKindOptions;
    return requested;
}

bool DriveListShowsKind(DriveKind kind, DriveListOptions options) {
    if (options & DriveListOption::ShowAll)
        return true;
    switch (kind) {
    case DriveKind::Floppy:
        return options & DriveListOption::ShowFloppy;
    case DriveKind::Fixed:
        return options & DriveListOption::ShowFixed;
    case DriveKind::Network:
        return options & DriveListOption::ShowNetwork;
    case DriveKind::CdRom:
        return options & DriveListOption::ShowCDROM;
    case DriveKind::Ram:
        return options & DriveListOption::ShowRAM;
    case DriveKind::Unknown:
        break;
    }
    return false;
}

std::string DriveListItemText(const DriveFacts& drive, DriveListOptions options, TextCase textCase,
                              bool touchFloppies) {
    auto cased = [textCase](std::string_view s) {
        return textCase == TextCase::tcUpperCase ? UpperCase(s) : LowerCase(s);
    };
    std::string text = cased(std::string(1, drive.letter)) + ":";
    if (options & DriveListOption::ShowVolName) {
        if (drive.kind == DriveKind::Network) {
            text += " " + cased(drive.remoteName.empty() ? drive.label : drive.remoteName);
        } else if (!drive.mediumPresent || (drive.kind == DriveKind::Floppy && !touchFloppies)) {
            text += " []";
        } else {
            text += " [" + cased(drive.label) + "]";
        }
    }
    if (options & DriveListOption::ShowDrvType)
        text += std::string(" [") + platform::DriveKindName(drive.kind) + "]";
    return text;
}

DriveFacts DriveList::SystemFacts(const platform::DriveInfo& drive, bool readVolume) {
    DriveFacts facts;
    facts.letter = drive.letter;
    facts.kind = drive.kind;
    facts.remoteName = RemoteNameOf(drive);
    if (readVolume) {
        const platform::VolumeInfo volume = platform::QueryVolume(drive);
        facts.mediumPresent = volume.ready;
        facts.label = volume.label;
    }
    return facts;
}

void DriveList::Build(const platform::DriveTable& drives, DriveListOptions options,
                      TextCase textCase, bool touchFloppies, const FactsSource& source) {
    m_items.clear();
    m_letters.clear();
    for (const platform::DriveInfo& drive : drives.Drives()) {
        if (drive.letter < 'A' || drive.letter > 'Z' || !DriveListShowsKind(drive.kind, options))
            continue;
        // The medium is asked only for its label, a floppy only when allowed, and a
        // network disk not at all while its connection's name is known (a share
        // that went away would keep the list waiting).
        const bool readVolume = (options & DriveListOption::ShowVolName) &&
                                (touchFloppies || drive.kind != DriveKind::Floppy) &&
                                !(drive.kind == DriveKind::Network && !RemoteNameOf(drive).empty());
        const DriveFacts facts = source(drive, readVolume);
        m_items.push_back(
            {drive.letter, drive.kind, DriveListItemText(facts, options, textCase, touchFloppies)});
        m_letters.push_back(drive.letter);
    }
}

bool DriveList::IsAvailable(char letter) const {
    return IndexOf(letter) >= 0;
}

int DriveList::IndexOf(char letter) const {
    const auto pos =
        m_letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

} // namespace zentrix
