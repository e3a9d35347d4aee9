#pragma once

#include <QColor>
#include <QTabBar>

#include <functional>
#include <string>

class QDragMoveEvent;

namespace zentrix {

/// The logged-disk tabs above the tree: one tab per logged disk, its text the
/// drive letter, drawn by the program (the drive's picture 2 pixels from the
/// left and 3 from the top, the letter in bold 22 from the left and centred
/// in the height, tabs at least 22 pixels high and 22 wider than their text
/// with a small margin after it, unselected tabs in UnselectedColor). It shows what LoggedDiskTabs
/// holds; the program sets it with SetTabs, which raises none of the tab events.
class TLoggedDrivesTabSet : public QTabBar {
    Q_OBJECT
public:
    explicit TLoggedDrivesTabSet(QWidget* parent = nullptr);

    /// Shows these letters (in their order) with the active index (-1: none).
    void SetTabs(const std::string& letters, int active);
    /// The letter of a tab; 0 when there is none at that index.
    char LetterAt(int index) const;
    /// The tab whose letter this is, -1 when none.
    int IndexOf(char letter) const;

    /// What a mouse click on a tab does (also the accessible press action):
    /// the tab becomes current, then the click is reported.
    void ClickTab(int index);

    /// The picture of a letter's drive (16 by 16).
    std::function<QIcon(char)> IconFor;
    QColor UnselectedColor{160, 160, 164};

    static constexpr int kTabHeight = 22;
    static constexpr int kExtraWidth = 22;
    static constexpr int kRightMargin = 4;

signals:
    /// The user clicked a tab (after it became current).
    void LoggedDrivesTabSetClick(int index);
    /// The user made another tab current.
    void LoggedDrivesTabSetChange(int index);
    /// Something is dragged over the tabs: the tab under it, or -1.
    void LoggedDrivesTabSetDragOver(int index);
    /// A mouse button went down at a point of the tab set.
    void LoggedDrivesTabSetMouseDown(Qt::MouseButton button, const QPoint& pos,
                                     Qt::KeyboardModifiers modifiers);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QFont tabFont() const;
    bool m_syncing = false;
};

} // namespace zentrix
