#pragma once

#include "catalogue/drivelist.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>

#include <functional>

class QBoxLayout;

namespace zentrix {

/// The drive list: every drive of the machine, drawn by the program (the drive's
/// picture, then the text from 22 pixels in; the selection in navy with white
/// text). Folded it is one line high and shows the selected drive; dropped down
/// it lists all drives over the windows below it, as wide as its widest entry.
///
/// The list reports what the user does and leaves the decisions to its owner:
/// a click (or Enter) and the keys typed. Arrow and paging keys move the
/// selection without reporting it.
class TZentrixDrives : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TZentrixDrives(QWidget* parent = nullptr);

    // --- published properties ------------------------------------------------------
    DriveListOptions ExtraOptions() const { return m_options; }
    /// `ShowAll` and the kind options exclude each other (the newer one wins).
    void SetExtraOptions(DriveListOptions options);
    TextCase GetTextCase() const { return m_textCase; }
    void SetTextCase(TextCase textCase) { m_textCase = textCase; }
    bool ShowHorScrollBar() const { return m_showHorScrollBar; }
    void SetShowHorScrollBar(bool show);
    QColor SelectionColor{0, 0, 128};
    QColor SelectionTextColor{255, 255, 255};
    /// The font's text height, but at least 18.
    int ItemHeight() const;

    /// The drives to list and how their facts are learnt (tests give their own).
    void SetDrives(const platform::DriveTable* drives,
                   DriveList::FactsSource source = DriveList::SystemFacts);

    /// Rebuilds the entries (the selected letter stays selected when still there).
    void Rebuild(bool touchFloppies);
    const DriveList& List() const { return m_list; }
    int Count() const { return static_cast<int>(m_list.Items().size()); }
    QString ItemText(int index) const;
    /// The rectangle of an entry in viewport coordinates.
    QRect ItemRect(int index) const;

    int CurrentIndex() const { return m_current; }
    char SelectedLetter() const;
    /// Selects a drive's entry (nothing when it has none) without reporting it.
    void SetSelectedLetter(char letter);
    void SetCurrentIndex(int index);

    bool DroppedDown() const { return m_dropped; }
    /// Rebuilds with `ShowVolName` added (floppies left alone), becomes as wide as
    /// its widest entry plus "w", the picture and 6, and as high as all its
    /// entries plus 4; shows the selection, takes the focus, marks itself dropped.
    void DropDown();
    /// Rebuilds without `ShowVolName`, takes its former width and one line's
    /// height again, shows the selection, marks itself folded.
    void FoldUp();

    /// True when the last click came from the Enter key.
    bool KeyboardChoice() const { return m_keyboardChoice; }

    /// What a click on an entry does (also the accessible press action).
    void ClickItem(int index);

    static constexpr int kTextIndent = 22;
    static constexpr int kIconSize = 16;

signals:
    /// A click on the list, or Enter.
    void lbDrivesClick();
    /// A typed key that is not Enter, an arrow or a paging key (Escape is 0x1B).
    void lbDrivesKeyPress(QChar key);
    /// The list got the focus.
    void lbDrivesEnter();
    /// The list lost the focus.
    void lbDrivesExit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    void scrollToCurrent();
    int topIndex() const;
    void notifySelection();
    void floatOverWindow(const QSize& size);
    void returnHome();

    const platform::DriveTable* m_drives = nullptr;
    DriveList::FactsSource m_source = DriveList::SystemFacts;
    DriveList m_list;
    DriveListOptions m_options = DriveListOption::ShowAll | DriveListOption::ShowBitmaps;
    TextCase m_textCase = TextCase::tcUpperCase;
    bool m_showHorScrollBar = false;
    int m_current = -1;
    bool m_dropped = false;
    bool m_keyboardChoice = false;
    bool m_moving = false; // changing parents: focus changes are not the user's
    int m_pressed = -1;
    int m_widthBefore = 0;

    // Where the folded list lives while it floats dropped down.
    QPointer<QWidget> m_home;
    QPointer<QBoxLayout> m_homeLayout;
    QPointer<QWidget> m_placeholder;
    int m_homeStretch = 0;
};

} // namespace zentrix
