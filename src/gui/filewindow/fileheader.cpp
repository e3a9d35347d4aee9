#include "gui/filewindow/fileheader.h"

#include "filewindow/filetexts.h"

#include <QPainter>
#include <QStandardItemModel>

namespace zentrix {

FileHeader::FileHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_model(new QStandardItemModel(0, 6, this)) {
    setObjectName("FileHeader");
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setToolTip("To sort files by ... just click appropriate header section!");
    for (int i = 0; i < kHeaderSectionCount; ++i)
        m_model->setHeaderData(
            i, Qt::Horizontal,
            QString::fromUtf8(
                kFileHeaderSections[static_cast<size_t>(i)].text.data(),
                static_cast<int>(kFileHeaderSections[static_cast<size_t>(i)].text.size())));
    setModel(m_model);
    setSectionsClickable(true);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Interactive);
    setSectionResizeMode(1, QHeaderView::Fixed);
    setSectionWidths(DefaultSectionWidths());
    connect(this, &QHeaderView::sectionResized, this, &FileHeader::FileHeaderSectionResize);
}

SectionWidths FileHeader::sectionWidths() const {
    SectionWidths w{};
    for (int i = 0; i < kHeaderSectionCount; ++i)
        w[static_cast<size_t>(i)] = sectionSize(i);
    return w;
}

void FileHeader::setSectionWidths(const SectionWidths& widths) {
    for (int i = 0; i < kHeaderSectionCount; ++i)
        resizeSection(i, ClampSectionWidth(i, widths[static_cast<size_t>(i)]));
}

void FileHeader::setDescriptionShown(bool shown) {
    setSectionHidden(5, !shown);
}

int FileHeader::contentWidth() const {
    return length();
}

// A section dragged beyond its limits snaps back to them.
void FileHeader::FileHeaderSectionResize(int logicalIndex, int, int newSize) {
    if (m_clamping)
        return;
    const int clamped = ClampSectionWidth(logicalIndex, newSize);
    if (clamped != newSize) {
        m_clamping = true;
        resizeSection(logicalIndex, clamped);
        m_clamping = false;
    }
}

void FileHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid() || logicalIndex < 0 || logicalIndex >= kHeaderSectionCount)
        return;
    // The frame as the style draws it, without text; the text is our own.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = logicalIndex;
    opt.text.clear();
    // The style may leave its own clip behind: the caption is drawn on a clean state.
    painter->save();
    style()->drawControl(QStyle::CE_Header, &opt, painter, this);
    painter->restore();

    const HeaderSection& section = kFileHeaderSections[static_cast<size_t>(logicalIndex)];
    const auto [key, reversed] = SortState ? SortState() : std::pair<int, bool>{-1, false};
    QFont f = font();
    QColor colour = palette().color(QPalette::WindowText);
    if (logicalIndex == key) {
        f.setBold(true);
        colour = reversed ? QColor(Qt::red) : QColor(Qt::blue);
    }
    const QRect r = rect.adjusted(2, 2, -2, -2);
    const QFontMetrics fm(f);
    const std::string text = " " + std::string(section.text) + " ";
    const std::string fitted = FitText(
        text, r.width(),
        [&fm](std::string_view s) {
            return fm.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<int>(s.size())));
        },
        FitSide::End);
    Qt::Alignment align = Qt::AlignVCenter;
    align |= section.align == SectionAlign::Left    ? Qt::AlignLeft
             : section.align == SectionAlign::Right ? Qt::AlignRight
                                                    : Qt::AlignHCenter;
    painter->save();
    painter->setClipRect(rect);
    painter->setFont(f);
    painter->setPen(colour);
    painter->drawText(r, static_cast<int>(align) | Qt::TextSingleLine,
                      QString::fromStdString(fitted));
    painter->restore();
}

} // namespace zentrix
