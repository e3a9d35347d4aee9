#include "filewindow/filecolumns.h"

#include "catalogue/fileclass.h"
#include "config/settings.h"
#include "filewindow/filetexts.h"

#include <algorithm>

namespace zentrix {

const std::array<HeaderSection, kHeaderSectionCount> kFileHeaderSections = {{
    {"Filename", SectionAlign::Left, 130, 65, 500},
    {"Ext", SectionAlign::Centre, 30, 30, 30},
    {"Size", SectionAlign::Right, 70, 30, 150},
    {"Date", SectionAlign::Right, 80, 35, 250},
    {"Attr", SectionAlign::Centre, 50, 30, 100},
    {"Description", SectionAlign::Left, 250, 0, 0},
}};

SectionWidths DefaultSectionWidths() {
    SectionWidths w{};
    for (int i = 0; i < kHeaderSectionCount; ++i)
        w[static_cast<size_t>(i)] = kFileHeaderSections[static_cast<size_t>(i)].width;
    return w;
}

int ClampSectionWidth(int section, int width) {
    if (section < 0 || section >= kHeaderSectionCount)
        return width;
    const HeaderSection& s = kFileHeaderSections[static_cast<size_t>(section)];
    width = std::max(width, s.minWidth);
    if (s.maxWidth > 0)
        width = std::min(width, s.maxWidth);
    return width;
}

DetailRowLayout LayoutDetailRow(const SectionWidths& widths, int rectLeft, int format,
                                int iconSize) {
    DetailRowLayout row;
    const int nameWidth = widths[0] + widths[1] - 2;
    int textStart = rectLeft;
    int iconOffset = 1;
    if (format == kFormatSmallIcons || format == kFormatLargeIcons) {
        row.hasIcon = true;
        row.iconX = 1;
        iconOffset = iconSize + 4;
        textStart += iconSize + 2;
    }
    textStart += 1;
    row.name = {textStart + 2, textStart + nameWidth - iconOffset};
    row.nameFitWidth = nameWidth - iconOffset - 2;
    auto next = [](const Span& previous, int width) {
        return Span{previous.right + 2, previous.right + 2 + width};
    };
    row.size = next(row.name, widths[2] - 2);
    row.date = next(row.size, widths[3] - 2);
    row.attributes = next(row.date, widths[4] - 2);
    row.description = next(row.attributes, widths[5] - 2);
    return row;
}

SectionWidths OptimizedSectionWidths(const std::vector<const TFileClass*>& records,
                                     const SectionWidths& current, const Settings& settings,
                                     int format, int iconSize,
                                     const std::function<int(std::string_view)>& measure) {
    if (!IsDetailFormat(format))
        return current;
    int name = 0, size = 0, date = 0;
    for (const TFileClass* r : records) {
        if (settings.DisplayFullPathOption)
            name = std::max(name, measure(r->FullName()));
        else
            name = std::max(name, measure(r->FileName()));
        size = std::max(size, measure(SizeText(r->FileSize())));
        date = std::max(date, measure(DateText(r->LastWriteTime())));
    }
    if (format == kFormatSmallIcons || format == kFormatLargeIcons)
        name += iconSize + 4;
    SectionWidths w = current;
    w[0] = ClampSectionWidth(0, name - current[1] + 8);
    w[2] = ClampSectionWidth(2, size + 8);
    w[3] = ClampSectionWidth(3, date + 8);
    w[4] = ClampSectionWidth(4, measure("AHRS") + 8);
    return w;
}

} // namespace zentrix
