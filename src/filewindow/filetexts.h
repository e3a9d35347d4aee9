#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zentrix {

struct Settings;
class TFileClass;

/// The picture of sizes in the file window and the current-file panel.
inline constexpr std::string_view kSizePicture = "###.###.###";
/// The picture of the statistics figures.
inline constexpr std::string_view kStatPicture = "##.###.###.###";
/// The ellipsis that marks a clipped text.
inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

/// Prints a whole number with a picture of "#" and full stops: the number is
/// right-justified in a field as wide as the number of "#" (with a leading
/// minus when negative) and poured into the picture from its right end; a full
/// stop stays only where a digit stands to its left. A number too wide for the
/// picture widens it by whole groups of three, so that every figure shows
/// whole ("4.294.967.296" through "###.###.###"). The result is trimmed.
std::string FormatNumberPicture(int64_t value, std::string_view picture);

/// The size text of a file: FileSize with "###.###.###", trimmed.
std::string SizeText(int64_t fileSize);
/// A statistics figure: "##.###.###.###", trimmed.
std::string StatFigureText(int64_t value);

/// The file time in local time: the locale's short date, a blank, its long time.
std::string DateText(int64_t lastWriteTime);
/// The letters of the set attributes in the order A, R, S, H, V, D.
std::string AttributeText(uint16_t attributes);

/// What a file's row shows beside its name, as one line to be read out: its
/// size in bytes with the thousands grouped, its date, its attributes (when
/// it has any) and `description` (when not empty), separated by commas.
std::string RowDetailsText(const TFileClass& record, std::string_view description);

/// The short form of a path; this system has none, so the path itself.
std::string ShortPathName(const std::string& path);
/// The name text of an entry in the detail formats: FileName, or FullName with
/// DisplayFullPathOption; with ShowShortNames the part of the short full name
/// after its last backslash or colon.
std::string EntryNameText(const TFileClass& record, const Settings& settings);
/// The name text in the column formats: never the full path.
std::string ColumnNameText(const TFileClass& record, const Settings& settings);

enum class FitSide {
    End,   // names: characters go from the end, the ellipsis is appended
    Start, // right-aligned figures: characters go from the start, the ellipsis leads
};

/// Fits a text into a width: when it is wider, whole characters are removed one
/// at a time until the rest plus the ellipsis fits; when nothing is left, the
/// ellipsis alone. `width` measures a text in the same units as `available`.
std::string FitText(std::string_view text, int available,
                    const std::function<int(std::string_view)>& width, FitSide side);

} // namespace zentrix
