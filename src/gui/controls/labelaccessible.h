#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

class QLabel;

namespace zentrix {

/// What assistive tools see of a text label: its text through a text interface
/// (Qt offers none for labels), and as name its fixed accessible name, or, for a
/// value label, caption and value together ("Files: 4").
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    /// The dynamic property that marks a value label; its value is the caption.
    static constexpr const char* kCaptionProperty = "zentrixValueCaption";

    explicit LabelAccessible(QLabel* label);

    /// The text a label shows, without markup and without its "&" key mark.
    static QString plainText(const QLabel* label, const QString& text);

    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface: the label's text, read only.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QLabel* label() const;
    QString shownText() const;
};

/// The interface factory of the common controls (labels, splitter handles).
QAccessibleInterface* ControlAccessibleFactory(const QString& className, QObject* object);

} // namespace zentrix
