#pragma once

#include "filewindow/filecolumns.h"

#include <QHeaderView>

#include <functional>

class QStandardItemModel;

namespace zentrix {

/// The file window's column header: six sections with their limits, the
/// section of the sort key drawn bold (red when reversed, blue otherwise).
class FileHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FileHeader(QWidget* parent = nullptr);

    SectionWidths sectionWidths() const;
    /// Sets the widths (each kept within its section's limits).
    void setSectionWidths(const SectionWidths& widths);
    /// Shows or removes the description section.
    void setDescriptionShown(bool shown);
    /// The total width of the shown sections.
    int contentWidth() const;

    /// The sort key (0 to 5) and whether the order is reversed.
    std::function<std::pair<int, bool>()> SortState;

protected:
    /// A header line is as high as its text, not as a scroll area's minimum.
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void FileHeaderSectionResize(int logicalIndex, int oldSize, int newSize);

    QStandardItemModel* m_model;
    bool m_clamping = false;
};

} // namespace zentrix
