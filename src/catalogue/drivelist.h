#pragma once

#include "platform/drivetable.h"

#include <functional>
#include <string>
#include <vector>

namespace zentrix {

/// The drive list's extra options, in the order the list names them
/// (`DriveListOption::ShowAll` ...), combined into a `DriveListOptions` set.
struct DriveListOption {
    enum : unsigned {
        ShowAll = 1u << 0,
        ShowFloppy = 1u << 1,
        ShowFixed = 1u << 2,
        ShowNetwork = 1u << 3,
        ShowCDROM = 1u << 4,
        ShowRAM = 1u << 5,
        ShowVolName = 1u << 6,
        ShowDrvType = 1u << 7,
        ShowBitmaps = 1u << 8,
    };
};
using DriveListOptions = unsigned;

constexpr DriveListOptions kDriveKindOptions =
    DriveListOption::ShowFloppy | DriveListOption::ShowFixed | DriveListOption::ShowNetwork |
    DriveListOption::ShowCDROM | DriveListOption::ShowRAM;
constexpr DriveListOptions kDefaultDriveListOptions =
    DriveListOption::ShowAll | DriveListOption::ShowVolName | DriveListOption::ShowBitmaps;

/// How letters, labels and names are written in the drive list.
enum class TextCase { tcLowerCase, tcUpperCase };

/// `ShowAll` and the five kind options exclude each other: adding `ShowAll`
/// drops the kinds, adding a kind drops `ShowAll`.
DriveListOptions NormaliseDriveListOptions(DriveListOptions requested, DriveListOptions previous);

/// Whether drives of a kind are listed under the options.
bool DriveListShowsKind(platform::DriveKind kind, DriveListOptions options);

/// What the drive list knows of one drive when it builds its text.
struct DriveFacts {
    char letter = 0;
    platform::DriveKind kind = platform::DriveKind::Unknown;
    bool mediumPresent = false;
    std::string label;      // the volume label
    std::string remoteName; // a network drive's connection; empty when unknown
};

/// The text of a drive's entry: "D:", then with `ShowVolName` " [label]" (" []"
/// without a medium, and for floppy drives when floppies are left alone) or, for
/// a network drive, " " and its remote name (its label when the name is not
/// known); then with `ShowDrvType` " [Fixed]" and so on.
std::string DriveListItemText(const DriveFacts& drive, DriveListOptions options, TextCase textCase,
                              bool touchFloppies);

/// The contents of the drive list: one entry per drive of the machine whose kind
/// the options show, with its text.
class DriveList {
public:
    struct Item {
        char letter = 0;
        platform::DriveKind kind = platform::DriveKind::Unknown;
        std::string text;
    };

    /// How the facts of a drive are learnt; `readVolume` false asks for no
    /// access to the medium at all (a floppy left alone).
    using FactsSource = std::function<DriveFacts(const platform::DriveInfo&, bool readVolume)>;

    /// Asks the system (volume label, medium present, remote name).
    static DriveFacts SystemFacts(const platform::DriveInfo& drive, bool readVolume);

    /// Rebuilds the entries from the drive table. The volume is read only when
    /// the label is shown, and never for floppies unless `touchFloppies`.
    void Build(const platform::DriveTable& drives, DriveListOptions options, TextCase textCase,
               bool touchFloppies, const FactsSource& source = SystemFacts);

    const std::vector<Item>& Items() const { return m_items; }
    /// The letters of the entries, in order (collected when the list was built).
    const std::string& AvailableLetters() const { return m_letters; }
    bool IsAvailable(char letter) const;
    /// Index of a letter's entry, -1 when it has none.
    int IndexOf(char letter) const;

private:
    std::vector<Item> m_items;
    std::string m_letters;
};

} // namespace zentrix
