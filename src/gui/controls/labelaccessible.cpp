#include "gui/controls/labelaccessible.h"

#include "gui/controls/a11y.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTextDocument>

namespace zentrix {

namespace {

// Removes the "&" that marks a label's key ("&&" stands for one "&").
QString WithoutKeyMark(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

/// A splitter handle: Qt reports it as an unnamed grip. Here it is a separator
/// named after its splitter ("Tree and file window splitter").
class SplitterHandleAccessible : public QAccessibleWidget {
public:
    explicit SplitterHandleAccessible(QSplitterHandle* handle)
        : QAccessibleWidget(handle, QAccessible::Separator) {}

    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) {
            auto* handle = static_cast<QSplitterHandle*>(widget());
            if (QSplitter* splitter = handle->splitter())
                s = splitter->accessibleName();
            if (s.isEmpty())
                s = QStringLiteral("Splitter");
        }
        return s;
    }
};

} // namespace

LabelAccessible::LabelAccessible(QLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {
    // Value labels made where the program's own helpers are out of reach (the
    // plug-ins) carry only the caption property: their changes are told from now on.
    if (label->property(kCaptionProperty).isValid())
        AnnounceNameChanges(label);
}

QLabel* LabelAccessible::label() const {
    return static_cast<QLabel*>(widget());
}

QString LabelAccessible::plainText(const QLabel* label, const QString& text) {
    QString plain = text;
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setHtml(text);
        plain = doc.toPlainText();
    }
    if (label->buddy())
        plain = WithoutKeyMark(plain);
    return plain;
}

QString LabelAccessible::shownText() const {
    return plainText(label(), label()->text());
}

QString LabelAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name && t != QAccessible::Value)
        return QAccessibleWidget::text(t);
    const QVariant caption = label()->property(kCaptionProperty);
    const QString shown = shownText().simplified();
    if (t == QAccessible::Value)
        return caption.isValid() ? shown : QString();
    if (!caption.isValid()) {
        const QString fixed = label()->accessibleName();
        return fixed.isEmpty() ? shown : fixed;
    }
    const QString c = caption.toString();
    if (c.isEmpty())
        return shown;
    return shown.isEmpty() ? c : c + QStringLiteral(": ") + shown;
}

QAccessible::Role LabelAccessible::role() const {
    return QAccessible::StaticText;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
LabelAccessible::relations(QAccessible::Relation match) const {
    auto rels = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Labelled) && label()->buddy())
        if (QAccessibleInterface* buddy = QAccessible::queryAccessibleInterface(label()->buddy()))
            rels.append({buddy, QAccessible::Labelled});
    return rels;
}

void* LabelAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void LabelAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
}

QString LabelAccessible::text(int startOffset, int endOffset) const {
    const QString s = shownText();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(s.size()));
    endOffset = endOffset < 0 ? static_cast<int>(s.size())
                              : std::clamp(endOffset, startOffset, static_cast<int>(s.size()));
    return s.mid(startOffset, endOffset - startOffset);
}

int LabelAccessible::characterCount() const {
    return static_cast<int>(shownText().size());
}

QRect LabelAccessible::characterRect(int offset) const {
    // One line is enough for the labels here: the advance of the text before
    // the character, from the label's contents corner.
    const QString s = shownText();
    if (offset < 0 || offset >= s.size())
        return {};
    const QFontMetrics fm(label()->font());
    const QRect contents = label()->contentsRect();
    const int x = contents.left() + label()->margin() + fm.horizontalAdvance(s.left(offset));
    const QRect local(x, contents.top(), fm.horizontalAdvance(s.at(offset)), fm.height());
    return QRect(label()->mapToGlobal(local.topLeft()), local.size());
}

int LabelAccessible::offsetAtPoint(const QPoint& point) const {
    const QString s = shownText();
    for (int i = 0; i < s.size(); ++i)
        if (characterRect(i).contains(point))
            return i;
    return -1;
}

QString LabelAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}

QAccessibleInterface* ControlAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QLabel")) {
        auto* label = static_cast<QLabel*>(object);
        // Pictures keep Qt's own interface (with its image interface).
        if (!label->pixmap().isNull() || label->movie())
            return nullptr;
        return new LabelAccessible(label);
    }
    if (className == QLatin1String("QSplitterHandle"))
        return new SplitterHandleAccessible(static_cast<QSplitterHandle*>(object));
    return nullptr;
}

} // namespace zentrix
