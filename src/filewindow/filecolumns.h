#pragma once

#include <array>
#include <functional>
#include <string_view>
#include <vector>

namespace zentrix {

struct Settings;
class TFileClass;

enum class SectionAlign { Left, Centre, Right };

/// One section of the file window's column header.
struct HeaderSection {
    std::string_view text;
    SectionAlign align;
    int width; // design width
    int minWidth;
    int maxWidth; // 0: no limit
};

inline constexpr int kHeaderSectionCount = 6;
/// "Filename", "Ext", "Size", "Date", "Attr", "Description".
extern const std::array<HeaderSection, kHeaderSectionCount> kFileHeaderSections;
using SectionWidths = std::array<int, kHeaderSectionCount>;

/// The design widths of the six sections.
SectionWidths DefaultSectionWidths();
/// A width kept within the section's minimum and maximum.
int ClampSectionWidth(int section, int width);

/// Display formats.
inline constexpr int kFormatSmallIcons = 0;
inline constexpr int kFormatLargeIcons = 1;
inline constexpr int kFormatNormal = 2;
inline constexpr int kFormat3Columns = 3;
inline constexpr int kFormat5Columns = 4;
inline bool IsDetailFormat(int format) {
    return format >= 0 && format <= 2;
}

/// A horizontal stretch of a row, [left, right).
struct Span {
    int left = 0;
    int right = 0;
    int width() const { return right - left; }
};

/// Where the parts of one entry go in a detail format, for a row whose
/// rectangle starts at `rectLeft`.
struct DetailRowLayout {
    bool hasIcon = false;
    int iconX = 0; // the icon's left edge; its top is the row's top + 2
    Span name;     // left-aligned, fitted from the end
    int nameFitWidth = 0;
    Span size;        // right-aligned, fitted from the start
    Span date;        // right-aligned, fitted from the start
    Span attributes;  // centred, fitted from the start
    Span description; // left-aligned, clipped
};
DetailRowLayout LayoutDetailRow(const SectionWidths& widths, int rectLeft, int format,
                                int iconSize);

/// "&Optimize view": the section widths that fit the widest name, size and date
/// of the entries (the other sections keep theirs). `measure` gives a text's
/// width in the window's font. The column formats keep the widths as they are.
SectionWidths OptimizedSectionWidths(const std::vector<const TFileClass*>& records,
                                     const SectionWidths& current, const Settings& settings,
                                     int format, int iconSize,
                                     const std::function<int(std::string_view)>& measure);

} // namespace zentrix
