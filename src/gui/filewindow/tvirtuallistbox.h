#pragma once

#include <QAbstractScrollArea>

#include <functional>

class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace zentrix {

/// A list of fixed item height that stores nothing per item: it knows the
/// count, the current index and the top index, and has every visible item
/// drawn on demand by OnDrawItem. One item per line, or (with columns) items
/// flowing top to bottom through 3 or 5 columns that scroll sideways.
class TVirtualListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TVirtualListBox(QWidget* parent = nullptr);

    int count() const { return m_count; }
    /// The new number of items; the current index stays when it still exists.
    void setCount(int count);
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);
    /// 0 for one item per line, else the number of columns.
    int columns() const { return m_columns; }
    void setColumns(int columns);
    /// The width the lines take (the header's width) in the one-column layout;
    /// wider than the window, the list scrolls sideways.
    void setContentWidth(int width);
    int horizontalOffset() const;

    int currentIndex() const { return m_current; }
    /// Makes an item current and scrolls it into view (-1: none). Tells no one.
    void setCurrentIndex(int index);
    int topIndex() const { return m_top; }
    void setTopIndex(int index);
    /// Items that fit in the window (whole or in part in the last row).
    int visibleRows() const;
    int rowsPerColumn() const;
    /// The item under a point of the viewport, or -1.
    int indexAt(const QPoint& pos) const;
    /// The item's rectangle in viewport coordinates (empty when not visible).
    QRect itemRect(int index) const;
    bool isItemVisible(int index) const { return !itemRect(index).isEmpty(); }
    /// Repaints one item (InvalidateListboxItem).
    void invalidateItem(int index);
    /// A line shown in place of the rows while there are none (empty: none).
    void setPlaceholderText(const QString& text);
    const QString& placeholderText() const { return m_placeholder; }

    /// Rows drawn by the last paint (for the measurements).
    int lastPaintedRows() const { return m_paintedRows; }

    /// Drops every handler below (their owner is going away).
    void clearHandlers();

    /// Draws one item: the painter is set up with the item's colours (selection
    /// colours for the current item) and its band is already filled.
    std::function<void(QPainter&, int index, const QRect& rect, bool current)> OnDrawItem;
    /// Sees every event before the list's own handling; true consumes it.
    std::function<bool(QEvent*)> WndProcFunction;
    /// A key went down; true when handled (the list then does nothing more).
    std::function<bool(QKeyEvent*)> OnKeyDown;
    /// True for keys the window handles itself, so that menu shortcuts leave them alone.
    std::function<bool(QKeyEvent*)> OnWantsKey;
    std::function<void(QKeyEvent*)> OnKeyUp;
    /// A mouse button went down over `index` (-1: none), after a left press
    /// moved the current item there.
    std::function<void(QMouseEvent*, int index)> OnMouseDown;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    /// The mouse moved far enough with the left button held.
    std::function<void(QMouseEvent*)> OnStartDrag;
    /// Accessibility: the text of an item and whether it is tagged.
    std::function<QString(int index)> OnItemText;
    std::function<bool(int index)> OnItemTagged;

signals:
    /// The user moved the current item (keys or mouse).
    void currentIndexChanged(int index);
    void focusEntered();
    void focusLeft();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    void userMoveTo(int index);
    bool navigate(int key);
    int firstColumn() const;

    int m_count = 0;
    int m_itemHeight = 16;
    int m_columns = 0;
    int m_current = -1;
    int m_top = 0;
    int m_contentWidth = 0;
    int m_paintedRows = 0;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressPos;
    bool m_syncingScrollBars = false;
    QString m_placeholder;
};

} // namespace zentrix
