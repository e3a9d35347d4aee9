#pragma once

#include <QComboBox>

namespace zentrix {

/// An editable combo box that remembers the text it had when it got the focus
/// (the entry text) and when its list opened (the drop text):
/// - Esc with the list closed puts the entry text back (and passes on only when
///   there was nothing to undo, so a dialog still closes on it); Esc in the open
///   list closes it and restores the drop text.
/// - Up and Down open the list; Delete in the open list removes the highlighted
///   entry; choosing in the list sets the text.
/// - OnChoice fires when the text was committed (focus change, Enter, close-up)
///   and differs from the entry text.
/// With CanEdit off the box is read-only: typing is ignored, but Enter, Up/Down
/// and Page Up/Page Down still work.
class TEnhComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TEnhComboBox(QWidget* parent = nullptr);

    bool CanEdit() const { return m_canEdit; }
    void setCanEdit(bool canEdit);

    /// Rows the open list shows at most.
    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int count) { setMaxVisibleItems(count); }

    const QString& EntryText() const { return m_entryText; }
    const QString& DropText() const { return m_dropText; }
    bool Escaped() const { return m_escaped; }

    void showPopup() override;

signals:
    void OnFocusGot();
    void OnFocusLost();
    /// The committed text differs from the text the box had on entry.
    void OnChoice();
    void OnCloseUp();
    /// The list is about to open (its items may still be replaced).
    void OnDropDown();
    void OnListPick();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void ChoiceCheck();

private:
    void listClosed();

    bool m_canEdit = true;
    bool m_escaped = false;
    bool m_listOpen = false;
    QString m_entryText;
    QString m_dropText;
    bool m_adjustingList = false;
    QWidget* m_container = nullptr; // the list's popup window, owned by QComboBox
};

} // namespace zentrix
