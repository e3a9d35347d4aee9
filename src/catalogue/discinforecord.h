#pragma once

#include "platform/drivetable.h"

#include <array>
#include <string>
#include <string_view>

namespace zentrix {

/// A calendar date of the disc information; all zero for the empty date.
struct DiscDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool Empty() const { return year == 0; }
    bool operator==(const DiscDate&) const = default;
};

/// The date in the short date format of the user's locale; the empty date is
/// day 0 of the date-time scale, 30 December 1899.
std::string ShortDateText(const DiscDate& date);

/// What a CD-ROM's primary volume descriptor (sector 16) tells about the disc.
/// Texts are trimmed of blanks (and of the control bytes some discs pad with).
struct DiscInfoRecord {
    std::string volume;    // volume identifier
    std::string system;    // system identifier
    std::string volumeSet; // volume set identifier
    std::string publisher;
    std::string preparer; // data preparer
    std::string application;
    std::string copyrightFile;
    std::string abstractFile;
    std::string bibliographicFile;
    DiscDate created;
    DiscDate modified;
    DiscDate expires;
    DiscDate effective;
};

/// Reads the record from the 2,048 bytes of sector 16; an empty record when
/// they are no primary volume descriptor. Each date is made from the digits of
/// its field (year, month, day; a 0 counts as 1); a field that is no date
/// gives the empty date.
DiscInfoRecord ParseDiscInfoRecord(std::string_view sector);

/// The record of the disc in a drive: sector 16 of the drive's block device
/// or image file. Empty when it cannot be read.
DiscInfoRecord ReadDiscInfoRecord(const platform::DriveInfo& drive);

} // namespace zentrix
